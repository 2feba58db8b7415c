// The program measuring with a software-defined radio (--sdr), end to end on the synthetic
// SoapySDR device: its identity on the start screen, a table by frequency loaded, a point taken
// with real input, the uncalibrated radio's mark in the status bar, and the survey saved with the
// readings by frequency and their calibration state.
#include <gtest/gtest.h>

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>

#include "SurveyHarness.h"
#include "controller/SurveyController.h"
#include "files/SiteFile.h"
#include "files/SiteFileReader.h"
#include "shell/MainFrame.h"
#include "shell/SignOffDlg.h"
#include "view/LarkspurView.h"

namespace {

constexpr int kScanTimeoutMs = 5000;

// Bright pixels (text) in a part of the view.
int brightIn(const QImage& shot, const QRect& r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            n += qGray(shot.pixel(x, y)) > 200 ? 1 : 0;
        }
    }
    return n;
}

TEST(SdrE2e, ASurveyWithTheSyntheticRadioIsSavedByFrequencyWithItsCalibrationState) {
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    ::setenv("SOAPY_SDR_PLUGIN_PATH", SOAPY_MODULE_DIR, 1);
    ::setenv("XDG_CONFIG_HOME", config.path().toUtf8().constData(), 1); // no calibrations
    SurveyHarness h;
    AppOptions options;
    options.sdr = true;
    options.sdrArgs = "driver=larkspur-synth,calibration=none,serial=E2E-7,"
                      "tones=851.0125:-55;154.445:-95";
    ASSERT_TRUE(h.Start(options));
    // The radio's driver and label run across the top line, past where a firmware text ends.
    EXPECT_GT(brightIn(h.Screen(), QRect(120, 3, 115, 15)), 20);
    EXPECT_EQ(h.Receiver().GetIdentity().serial, "E2E-7");

    const std::string site = h.WriteSite("site.lks", 240, 320);
    QFile table(QString::fromStdString(h.PathOf("ps.nct")));
    ASSERT_TRUE(table.open(QIODevice::WriteOnly));
    table.write("3\r\n851.0125,12.5,FD-1\r\n154.445,25,VFIRE21\r\n460.5,12.5,\r\n");
    table.close();
    h.OpenSite(site, false);
    h.LoadTable(h.PathOf("ps.nct"));
    ASSERT_TRUE(h.Receiver().TableLoaded());
    EXPECT_EQ(h.FramesOfType(CReceiver::kCmdLoadFrequencySlot).size(), 3u);
    EXPECT_FALSE(h.Frame().UncalibratedMarkShown());

    h.Tap(QPoint(120, 160));
    ASSERT_TRUE(h.WaitForMapScreen(kScanTimeoutMs));
    EXPECT_TRUE(h.Frame().UncalibratedMarkShown());

    WhenModal([](QWidget* modal) { qobject_cast<CSignOffDlg*>(modal)->SaveButton()->click(); });
    ASSERT_TRUE(h.Controller().SaveSite());
    CSiteFile saved;
    std::string detail;
    ASSERT_EQ(CSiteFileReader::Read(site, saved, detail), SF_OK) << detail;
    const struct {
        int32_t channel;
        double mhz;
        int dBm;
    } expected[] = {{851013, 851.0125, -55}, {154445, 154.445, -95}, {460500, 460.5, -120}};
    ASSERT_EQ(saved.m_records.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        const SurveyRecord& r = saved.m_records[i];
        EXPECT_EQ(r.channel, expected[i].channel);
        EXPECT_DOUBLE_EQ(r.frequencyMHz, expected[i].mhz);
        EXPECT_NEAR(r.rssi, expected[i].dBm, 1);
        EXPECT_TRUE(r.uncalibrated);
    }
}

} // namespace
