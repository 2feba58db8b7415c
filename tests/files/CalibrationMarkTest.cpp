// Readings a radio measured without a calibration keep that through the site file and the
// journal, in the spare bytes after a location's name that every reader passes over: a survey
// without such readings is written byte for byte as before, and a name too long for the mark
// stays whole.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "files/JournalFormat.h"
#include "files/SiteFile.h"
#include "files/SiteFileReader.h"
#include "files/SiteFileWriter.h"
#include "survey/RecordList.h"

namespace {

struct Scan {
    int32_t x;
    int32_t y;
    std::string name;
    std::vector<bool> uncalibrated; // one reading a flag
};

void append(CRecordList& list, const Scan& scan) {
    for (size_t k = 0; k < scan.uncalibrated.size(); ++k) {
        AppendRecord(list, scan.x, scan.y, scan.name.c_str(), static_cast<int32_t>(851000 + k),
                     851.0 + static_cast<double>(k) * 0.0125, -70);
        list.Head()->prev->uncalibrated = scan.uncalibrated[k];
    }
}

std::vector<bool> flagsOf(const std::vector<SurveyRecord>& records) {
    std::vector<bool> flags;
    for (const SurveyRecord& r : records) {
        flags.push_back(r.uncalibrated);
    }
    return flags;
}

std::vector<bool> flagsOf(const std::vector<Scan>& scans) {
    std::vector<bool> flags;
    for (const Scan& s : scans) {
        flags.insert(flags.end(), s.uncalibrated.begin(), s.uncalibrated.end());
    }
    return flags;
}

std::vector<bool> repeat(bool flag, size_t n) {
    return std::vector<bool>(n, flag);
}

TEST(CalibrationMark, TheSiteFileKeepsWhichReadingsWereUncalibrated) {
    const std::string longName(26, 'N');
    const struct {
        const char* name;
        std::vector<Scan> scans;
        bool kept; // false: the name leaves no room, and the state is lost with the file
    } cases[] = {
        {"a radio nobody calibrated", {{10, 20, "TEST", repeat(true, 30)}}, true},
        {"some channels calibrated",
         {{10, 20, "TEST", {true, false, false, true}}, {30, 40, "TEST", {false, true}}},
         true},
        // Two scans at one spot are one block on the handheld; with a mark, it holds 32 at most.
        {"two scans at one spot",
         {{10, 20, "TEST", repeat(true, 30)}, {10, 20, "TEST", repeat(false, 29)}},
         true},
        {"the longest name with room", {{5, 5, std::string(25, 'n'), {true}}}, true},
        {"a name too long", {{5, 5, longName, {true, true}}}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CRecordList list;
        for (const Scan& s : c.scans) {
            append(list, s);
        }
        SiteRecipe recipe;
        recipe.survey.clear();
        CSiteFileWriter::AppendSurveyData(list, recipe.survey);
        CSiteFile site;
        std::string detail;
        const std::vector<uint8_t> file = BuildSite(recipe);
        ASSERT_EQ(CSiteFileReader::Parse(file.data(), file.size(), site, detail), SF_OK) << detail;
        const std::vector<bool> expected =
            c.kept ? flagsOf(c.scans) : std::vector<bool>(flagsOf(c.scans).size(), false);
        EXPECT_EQ(flagsOf(site.m_records), expected);
        for (size_t i = 0; i < site.m_records.size(); ++i) {
            EXPECT_EQ(std::string(site.m_records[i].name), c.scans.front().name) << i;
        }
    }
}

TEST(CalibrationMark, ASurveyWithoutUncalibratedReadingsIsWrittenAsBefore) {
    CRecordList marked;
    CRecordList plain;
    append(marked, {10, 20, "TEST", repeat(false, 40)});
    append(marked, {10, 20, "TEST", repeat(false, 40)}); // 80 readings, one block
    for (int k = 0; k < 80; ++k) {
        AppendRecord(plain, 10, 20, "TEST", 851000 + k % 40, 851.0 + (k % 40) * 0.0125, -70);
    }
    std::vector<uint8_t> a;
    std::vector<uint8_t> b;
    CSiteFileWriter::AppendSurveyData(marked, a);
    CSiteFileWriter::AppendSurveyData(plain, b);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a.size(), 8u + 42u + 80u * 14u) << "one location block";
}

TEST(CalibrationMark, TheJournalKeepsItThroughACrash) {
    journal::Entry point;
    point.type = journal::kPoint;
    point.x = 7;
    point.y = 9;
    CRecordList list;
    append(list, {7, 9, "TEST", {false, true, true, false, true}});
    SurveyRecord* r = nullptr;
    for (int16_t rc = list.GetAt(r, 1); rc == RL_OK; rc = list.GetNext(r)) {
        point.records.push_back(*r);
    }
    std::vector<uint8_t> bytes;
    journal::AppendHeader({}, bytes);
    journal::AppendEntry(point, bytes);
    journal::Contents contents;
    ASSERT_TRUE(journal::Parse(bytes.data(), bytes.size(), contents));
    ASSERT_EQ(contents.entries.size(), 1u);
    EXPECT_EQ(flagsOf(contents.entries[0].records),
              (std::vector<bool>{false, true, true, false, true}));
    EXPECT_STREQ(contents.entries[0].records[0].name, "TEST");
}

} // namespace
