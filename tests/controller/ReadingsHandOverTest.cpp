// The readings the controller hands over for work off the user-interface thread are the survey
// as it stands each time the map is told of a change: after an open, stored points, a delete of a
// place taken twice and a recovery.
#include <gtest/gtest.h>

#include "SurveyFlowFixture.h"
#include "analysis/SiteReadings.h"
#include "survey/RecordList.h"

namespace {

std::vector<Reading> readingsOf(const CReadingsSnapshot& snapshot) {
    std::vector<Reading> out;
    for (const SiteReading& r : snapshot.Readings()) {
        out.push_back({r.x, r.y, r.channel, static_cast<int16_t>(r.rssiX16 / 16)});
    }
    return out;
}

TEST_F(SurveyFlow, TheReadingsHandedOverAreTheSurveyWheneverTheMapIsTold) {
    const std::string site = MakeSite("site.lks", 480, 640, {{10, 20}, {30, 40}});
    int told = 0;
    int agreed = 0;
    const auto watch = [&] {
        ui->onSurveyTold = [&] {
            ++told;
            agreed += readingsOf(controller->Readings()) == ReadingsOf(controller->Records());
        };
    };
    watch();
    Open(site, true);
    EXPECT_EQ(readingsOf(controller->Readings()).size(), 6u) << "the file's two points";
    LoadTable();
    ASSERT_TRUE(TakePoint(100, 100));
    ASSERT_TRUE(TakePoint(200, 200));
    ASSERT_TRUE(TakePoint(100, 100)); // the same place again: one run, deleted as one
    ASSERT_TRUE(TakePoint(300, 300));
    ui->deletes.push_back(true);
    controller->OnHold({12, 22}); // the file's first point
    ui->deletes.push_back(true);
    controller->OnHold({200, 200});
    EXPECT_EQ(told, 7);
    EXPECT_EQ(agreed, told);
    const std::vector<Reading> before = ReadingsOf(controller->Records());
    ASSERT_EQ(before.size(), 3u * 4);
    EndProgram();

    StartProgram();
    watch();
    ui->paths.push_back(site);
    ui->answers.push_back(kIdYes);
    controller->OnOpenSite();
    ASSERT_EQ(ReadingsOf(controller->Records()), before);
    EXPECT_EQ(told, 8) << "the recovered survey, told once";
    EXPECT_EQ(agreed, told);
}

} // namespace
