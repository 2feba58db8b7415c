// The program under test on the simulated board, and the helpers its tests share.
#include "SurveyHarness.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QTimer>

#include "BoardSimulator.h"
#include "InProcessBoard.h"
#include "controller/SurveyController.h"
#include "files/SiteFileMaker.h"
#include "files/SitePicture.h"
#include "shell/MainFrame.h"
#include "survey/RecordList.h"
#include "view/LarkspurView.h"
#include "view/ViewCommands.h"

namespace {
// Short enough for a quick suite, long enough for the board's identity replies at line rate.
constexpr int kTestLinkSettleMs = 50;
constexpr int kTestIdentityWaitMs = 300;
// Long enough to see the finished scan on screen, short enough for many scans.
constexpr int kTestScanEndPauseMs = 30;
// How long a program on the simulated board may take to start.
constexpr int kStartUpTimeoutMs = 5000;
} // namespace

SurveyHarness::SurveyHarness() = default;

SurveyHarness::~SurveyHarness() {
    m_app.reset();
    m_scope.reset();
}

bool SurveyHarness::Start() {
    return Launch(AppOptions(), true);
}

bool SurveyHarness::StartInProcess(const AppOptions& options) {
    return Launch(options, true);
}

bool SurveyHarness::Start(const AppOptions& options) {
    return Launch(options, false) && (!options.simulate || m_app->Simulator() != nullptr);
}

bool SurveyHarness::Launch(const AppOptions& options, bool inProcess) {
    if (!m_dir.isValid()) {
        return false;
    }
    m_scope = std::make_unique<CScopedPrompts>(m_prompts);
    m_app = std::make_unique<CLarkspurApp>();
    m_app->Receiver().SetTimings(timings);
    m_app->SetScanEndPause(kTestScanEndPauseMs);
    if (inProcess) {
        // Nothing on this line is paced, so nothing needs waiting for.
        m_app->UseInProcessBoard(CInProcessBoard::Instant());
        m_app->SetStartUpWaits(0, 0);
    } else {
        m_app->SetStartUpWaits(kTestLinkSettleMs, kTestIdentityWaitMs);
    }
    if (!m_app->InitInstance(options, false)) {
        return false;
    }
    QApplication::setActiveWindow(m_app->Frame());
    return QTest::qWaitForWindowExposed(m_app->Frame()) &&
           WaitUntil([this] { return Controller().Waiting() == CSurveyController::Wait::kNone; },
                     kStartUpTimeoutMs);
}

CLarkspurView& SurveyHarness::View() const {
    return *m_app->View();
}

CMainFrame& SurveyHarness::Frame() const {
    return *m_app->Frame();
}

CBoardHost& SurveyHarness::Board() const {
    if (m_app->InProcessBoard() != nullptr) {
        return *m_app->InProcessBoard();
    }
    return *m_app->Simulator();
}

CSurveyController& SurveyHarness::Controller() const {
    return m_app->Controller();
}

CReceiver& SurveyHarness::Receiver() const {
    return m_app->Receiver();
}

CQtBoardStatus& SurveyHarness::BoardStatus() const {
    return m_app->BoardStatus();
}

std::string SurveyHarness::PathOf(const QString& name) const {
    return QFile::encodeName(m_dir.filePath(name)).toStdString();
}

std::string SurveyHarness::WriteSite(const QString& name, int width, int height) {
    SitePicture picture = SitePicture::Blank(width, height);
    // A light grey floor with a darker grid, so the map is not one colour.
    for (int i = 0; i < SitePicture::kPaletteEntries; ++i) {
        picture.palette[i] = (static_cast<uint32_t>(i) << 16) | (i << 8) | i;
    }
    for (int y = 0; y < height; ++y) {
        uint8_t* row = picture.RowFromTop(y);
        for (int x = 0; x < width; ++x) {
            row[x] = (x % 40 == 0 || y % 40 == 0) ? 128 : 230;
        }
    }
    std::vector<uint8_t> bytes;
    if (!CSiteFileMaker::Make(picture, bytes)) {
        return std::string();
    }
    QFile file(m_dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
        return std::string();
    }
    return PathOf(name);
}

std::string SurveyHarness::WriteTable(const QString& name,
                                      const std::vector<std::pair<int, int>>& entries) {
    QByteArray text = "2\r\n30\r\n";
    for (const auto& [plan, channel] : entries) {
        text += QByteArray::number(plan) + ',' + QByteArray::number(channel) + ",\r\n";
    }
    text += "0,-1,\r\n";
    QFile file(m_dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
        return std::string();
    }
    return PathOf(name);
}

void SurveyHarness::OpenSite(const std::string& path, bool keepPoints) {
    m_prompts.QueuePath(path);
    m_prompts.QueueAnswer(keepPoints ? kIdYes : kIdNo);
    View().OnCommand(kCmdOpenSite);
}

void SurveyHarness::LoadTable(const std::string& path) {
    m_prompts.QueuePath(path);
    View().OnCommand(kCmdChannelTable);
}

void SurveyHarness::Tap(const QPoint& client) {
    QTest::mouseClick(View().viewport(), Qt::LeftButton, Qt::NoModifier, client);
}

void SurveyHarness::Hold(const QPoint& client, int holdMs) {
    QTest::mousePress(View().viewport(), Qt::LeftButton, Qt::NoModifier, client);
    QTest::qWait(holdMs);
    QTest::mouseRelease(View().viewport(), Qt::LeftButton, Qt::NoModifier, client);
}

bool SurveyHarness::WaitForMapScreen(int ms) {
    return WaitUntil([this] { return View().ScreenMode() == CLarkspurView::kMapScreen; }, ms);
}

std::vector<std::vector<uint8_t>> SurveyHarness::FramesOfType(uint8_t type) const {
    std::vector<std::vector<uint8_t>> frames;
    for (const auto& frame : Board().ReceivedFrames()) {
        if (!frame.empty() && frame.front() == type) {
            frames.push_back(frame);
        }
    }
    return frames;
}

QImage SurveyHarness::Screen() const {
    return View().viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool WaitUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms) {
        QTest::qWait(5);
    }
    return done();
}

size_t RecordCount(const CRecordList& list) {
    size_t n = 0;
    SurveyRecord* cursor = nullptr;
    for (int16_t rc = list.GetAt(cursor, 1); rc == RL_OK; rc = list.GetNext(cursor)) {
        ++n;
    }
    return n;
}
