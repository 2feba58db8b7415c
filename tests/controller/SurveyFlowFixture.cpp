// The controller test bench: board, files and the pumping of the receiver's posts.
#include "SurveyFlowFixture.h"

#include <chrono>

#include "files/SiteFileMaker.h"
#include "files/SiteFileReader.h"
#include "files/SiteFileWriter.h"
#include "files/SitePicture.h"
#include "files/SurveyJournal.h"
#include "survey/RecordList.h"

void CPostQueue::Post(uint32_t id, uintptr_t, intptr_t) {
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_ids.push_back(id);
    }
    m_posted.notify_all();
}

bool CPostQueue::Take(int ms, uint32_t& id) {
    std::unique_lock<std::mutex> hold(m_lock);
    if (!m_posted.wait_for(hold, std::chrono::milliseconds(ms),
                           [this] { return !m_ids.empty(); })) {
        return false;
    }
    id = m_ids.front();
    m_ids.pop_front();
    return true;
}

std::vector<Reading> ReadingsOf(const std::vector<SurveyRecord>& records) {
    std::vector<Reading> out;
    for (const SurveyRecord& r : records) {
        out.push_back({r.x, r.y, r.channel, r.rssi});
    }
    return out;
}

std::vector<Reading> ReadingsOf(const CRecordList& list) {
    std::vector<Reading> out;
    SurveyRecord* r = nullptr;
    for (int16_t rc = list.GetAt(r, 1); rc == RL_OK; rc = list.GetNext(r)) {
        out.push_back({r->x, r->y, r->channel, r->rssi});
    }
    return out;
}

void SurveyFlow::SetUp() {
    ASSERT_TRUE(board.Start(boardOptions, signalSource));
    StartProgram();
}

void SurveyFlow::TearDown() {
    EndProgram();
    board.Stop();
}

void SurveyFlow::StartProgram() {
    receiver = std::make_unique<CReceiver>();
    receiver->SetTimings(timings);
    receiver->SetViewWindow(&posts);
    ui = std::make_unique<CScriptedSurveyUi>();
    controller = std::make_unique<CSurveyController>(*receiver, *ui, *fileSystem);
    controller->StartLink(board.Source());
    EndWaits();
}

void SurveyFlow::EndWaits() {
    while (controller->Waiting() != CSurveyController::Wait::kNone && ui->FireTimer()) {
    }
}

void SurveyFlow::EndProgram() {
    controller.reset();
    receiver.reset();
    uint32_t id = 0;
    while (posts.Take(0, id)) {
    }
}

std::string SurveyFlow::MakeSite(const std::string& name, int width, int height,
                                 const std::vector<std::pair<int, int>>& points) {
    SitePicture picture = SitePicture::Blank(width, height, 200);
    for (int i = 0; i < SitePicture::kPaletteEntries; ++i) {
        picture.palette[i] = static_cast<uint32_t>(i) * 0x010101u;
    }
    picture.pixels[0] = 7; // not one colour: a rebuilt picture must match it byte for byte
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(CSiteFileMaker::Make(picture, bytes));
    const std::string path = dir.File(name);
    WriteAll(path, bytes);
    if (!points.empty()) {
        CSiteFile site;
        std::string detail;
        EXPECT_EQ(CSiteFileReader::Read(path, site, detail), SF_OK) << detail;
        CRecordList list;
        for (const auto& [x, y] : points) {
            for (int channel = 1; channel <= 3; ++channel) {
                AppendRecord(list, x, y, "OLD", channel, 870.0, -60 - channel);
            }
        }
        EXPECT_EQ(CSiteFileWriter().Save(path, site.m_header, list, nullptr, 1000), SF_OK);
    }
    return path;
}

std::string SurveyFlow::TableFile() {
    const std::string path = dir.File("three.nct");
    WriteText(path, "2\r\n30\r\n0,1,\r\n0,334,\r\n1,25,\r\n0,65535,\r\n");
    return path;
}

void SurveyFlow::LoadTable() {
    ui->paths.push_back(TableFile());
    controller->OnChannelTable();
    ASSERT_TRUE(receiver->TableLoaded());
    ASSERT_EQ(receiver->ChannelCount(), 3);
}

void SurveyFlow::Open(const std::string& path, bool keep) {
    ui->paths.push_back(path);
    ui->answers.push_back(keep ? kIdYes : kIdNo);
    controller->OnOpenSite();
}

bool SurveyFlow::Tap(int32_t x, int32_t y) {
    // A scan begins with the map centred where it is taken.
    const size_t before = ui->centred.size();
    controller->OnTap({x, y});
    return ui->centred.size() > before;
}

bool SurveyFlow::TakePoint(int32_t x, int32_t y) {
    EndWaits();
    const size_t before = ui->stored.size();
    if (!Tap(x, y) || !PumpUntil([&] { return ui->stored.size() > before; })) {
        return false;
    }
    EndWaits();
    return true;
}

bool SurveyFlow::PumpUntil(const std::function<bool()>& done, int ms) {
    static const uint32_t draw = RegisterWindowMessage("LKSS_DRAW");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    uint32_t id = 0;
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        if (posts.Take(50, id) && id == draw) {
            controller->OnProgress();
        }
    }
    return done();
}

CSiteFile SurveyFlow::ReadSite(const std::string& path) {
    CSiteFile site;
    std::string detail;
    EXPECT_EQ(CSiteFileReader::Read(path, site, detail), SF_OK) << detail;
    return site;
}

std::string SurveyFlow::JournalOf(const std::string& site) const {
    return CSurveyJournal::PathBeside(site);
}
