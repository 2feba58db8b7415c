// The scan screen on real pixels: dark blue, six headers, and one row per channel table entry
// in two columns of 15, with the channel, its frequency in MHz and the RSSI in whole dBm.
#include <QFontMetrics>
#include <QImage>
#include <QStringList>
#include <gtest/gtest.h>

#include "ViewTestSupport.h"
#include "receiver/BandPlan.h"
#include "receiver/Receiver.h"

namespace {

using namespace viewtest;

const QColor kDarkBlue(0, 0, 192);

struct Row {
    QString channel;
    QString frequency;
    QString rssi;
};

// The screen as a reader expects it: headers at the top, then each row at its place.
QImage expectedScan(const QImage& shot, const std::vector<Row>& rows) {
    QImage expected = blankLike(shot, kDarkBlue);
    QPainter painter(&expected);
    const struct {
        int left, right;
        const char* text;
    } headers[] = {{0, 20, "CH"},    {25, 70, "FREQ"},   {75, 105, "RSSI"},
                   {115, 135, "CH"}, {140, 185, "FREQ"}, {190, 220, "RSSI"}};
    for (const auto& h : headers) {
        drawExpectedText(painter, QRect(h.left, 10, h.right - h.left, 15),
                         QString::fromLatin1(h.text), kDarkBlue);
    }
    for (size_t n = 0; n < rows.size(); ++n) {
        const int c = static_cast<int>(n) / 15;
        const int top = 30 + 10 * (static_cast<int>(n) % 15);
        // Column 0: 0-20, 25-70, 75-105; column 1: 115-140, 140-190, 190-220.
        const int channelLeft = c == 0 ? 0 : 115;
        const int channelRight = c == 0 ? 20 : 140;
        const int freqLeft = c == 0 ? 25 : 140;
        const int freqRight = c == 0 ? 70 : 190;
        const int rssiLeft = c == 0 ? 75 : 190;
        const int rssiRight = c == 0 ? 105 : 220;
        drawExpectedText(painter, QRect(channelLeft, top, channelRight - channelLeft, 15),
                         rows[n].channel, kDarkBlue);
        drawExpectedText(painter, QRect(freqLeft, top, freqRight - freqLeft, 15), rows[n].frequency,
                         kDarkBlue);
        drawExpectedText(painter, QRect(rssiLeft, top, rssiRight - rssiLeft, 15), rows[n].rssi,
                         kDarkBlue);
    }
    return expected;
}

class ScanScreen : public ::testing::Test {
protected:
    void SetUp() override {
        receiver.SetPcsSpacing(CBandPlan::kPcsSpacing200k);
        view = makeView();
        view->SetScreenMode(CLarkspurView::kScanScreen);
    }

    // n cellular entries: channel 1 + i at 870.000 MHz + 30 kHz per channel, RSSI -50 - i dBm.
    std::vector<Row> fillCellular(int n) {
        std::vector<Row> rows;
        receiver.SetChannelCount(static_cast<uint8_t>(n));
        for (int i = 0; i < n; ++i) {
            const uint16_t channel = static_cast<uint16_t>(1 + i);
            receiver.SetChannel(i, {0, channel, static_cast<int16_t>((-50 - i) * 16)});
            const int khz = 870000 + 30 * channel;
            rows.push_back({QString::number(channel),
                            QString::asprintf("%d.%03d", khz / 1000, khz % 1000),
                            QString::number(-50 - i)});
        }
        return rows;
    }

    // The scan screen with the receiver's table as the controller hands it to the view.
    QImage Shot() {
        view->SetReadings(receiver.CurrentReadings());
        return grabClient(*view);
    }

    CReceiver receiver;
    std::unique_ptr<CLarkspurView> view;
};

TEST_F(ScanScreen, EntriesFillTheFirstColumnThenTheSecondAndNoMore) {
    struct Case {
        int count;
        QRect inked; // where text must show
        int minInk;
        QRect blank; // where nothing may
    } const cases[] = {
        {0, QRect(0, 10, 240, 15), 20, QRect(0, 28, 240, 292)},     // the six headers only
        {15, QRect(0, 170, 20, 10), 5, QRect(110, 28, 130, 292)},   // row 14, column 0
        {16, QRect(115, 30, 25, 10), 5, QRect(110, 45, 130, 275)},  // row 0 of column 1
        {30, QRect(115, 170, 25, 10), 5, QRect(0, 186, 240, 134)}}; // both columns full
    QImage shot;
    for (const Case& c : cases) {
        const std::vector<Row> rows = fillCellular(c.count);
        shot = Shot();
        EXPECT_EQ(differences(shot, expectedScan(shot, rows), shot.rect()), 0) << c.count;
        EXPECT_GT(countBright(shot, c.inked), c.minInk) << c.count;
        EXPECT_EQ(countColour(shot, c.blank, rgbOf(kDarkBlue)), c.blank.width() * c.blank.height())
            << c.count;
    }
    // A count beyond the table's 30 rows shows the same 30, never a third column.
    receiver.SetChannelCount(40);
    const QImage more = Shot();
    EXPECT_EQ(differences(more, shot, more.rect()), 0);
}

TEST_F(ScanScreen, PcsFrequencyAndTruncatedRssi) {
    receiver.SetChannelCount(2);
    receiver.SetChannel(0, {1, 512, -1208}); // 1930.200 MHz, -75.5 dBm
    receiver.SetChannel(1, {0, 991, -1601}); // 869.040 MHz, -100.06 dBm
    const QImage shot = Shot();
    const std::vector<Row> rows = {{"512", "1930.200", "-75"}, {"991", "869.040", "-100"}};
    EXPECT_EQ(differences(shot, expectedScan(shot, rows), shot.rect()), 0);
    const std::vector<Row> rounded = {{"512", "1930.200", "-76"}, {"991", "869.040", "-100"}};
    EXPECT_GT(differences(shot, expectedScan(shot, rounded), shot.rect()), 0);
}

TEST_F(ScanScreen, ChannelIsShownAsASignedNumberAndRssiUpdatesOnRepaint) {
    receiver.SetChannelCount(1);
    receiver.SetChannel(0, {0, 65535, 0});
    QImage shot = Shot();
    const QString frequency = QString::number(receiver.FrequencyMHz(0), 'f', 3);
    EXPECT_EQ(differences(shot, expectedScan(shot, {{"-1", frequency, "0"}}), shot.rect()), 0);
    receiver.SetChannelRssi(0, -15); // -0.9 dBm truncates to 0
    shot = Shot();
    EXPECT_EQ(differences(shot, expectedScan(shot, {{"-1", frequency, "0"}}), shot.rect()), 0);
    receiver.SetChannelRssi(0, -16 * 42);
    shot = Shot();
    EXPECT_EQ(differences(shot, expectedScan(shot, {{"-1", frequency, "-42"}}), shot.rect()), 0);
}

TEST_F(ScanScreen, FourDigitChannelsShowWholeAndApartFromTheirFrequency) {
    // 1175 (PCS) heads the first column and 1000 (cellular) the second.
    receiver.SetChannelCount(16);
    receiver.SetChannel(0, {1, 1175, -60 * 16});
    for (int i = 1; i < 15; ++i) {
        receiver.SetChannel(i, {0, static_cast<uint16_t>(i), -70 * 16});
    }
    receiver.SetChannel(15, {0, 1000, -100 * 16});
    const QImage shot = Shot();
    const QFontMetrics metrics(arial8());
    struct Cell {
        int left;
        int top;
        QString channel;
    };
    for (const Cell& cell :
         {Cell{0, 30, QStringLiteral("1175")}, Cell{115, 30, QStringLiteral("1000")}}) {
        const int width = metrics.horizontalAdvance(cell.channel);
        QImage expected = blankLike(shot, kDarkBlue);
        QPainter painter(&expected);
        drawExpectedText(painter, QRect(cell.left, cell.top, 60, 15), cell.channel, kDarkBlue);
        painter.end();
        const QRect band(cell.left, cell.top, width, 10);
        EXPECT_EQ(differences(shot, expected, band), 0) << cell.channel.toStdString() << " is cut";
        // The frequency's first ink stands clear of the number's last.
        int firstInk = -1;
        for (int x = cell.left + width; x < cell.left + width + 20 && firstInk < 0; ++x) {
            if (countBright(shot, QRect(x, cell.top, 1, 10)) > 0) {
                firstInk = x;
            }
        }
        EXPECT_GE(firstInk, cell.left + width + 3) << cell.channel.toStdString();
    }
}

// A channel by frequency (a radio's table) has no channel number of a plan: its row gives the
// frequency to the 100 Hz, whole, with the RSSI moved right to clear it.
TEST_F(ScanScreen, AChannelByFrequencyShowsItsFrequencyWholeAndNoChannelNumber) {
    ChannelEntry byFrequency;
    byFrequency.plan = kFrequencyPlan;
    byFrequency.frequencyHz = 851012500;
    byFrequency.bandwidthHz = 12500;
    byFrequency.rssiX16 = -77 * 16;
    receiver.SetChannelTable(&byFrequency, 1);
    receiver.SetChannelRssi(0, -77 * 16);
    const QImage shot = Shot();
    const QFontMetrics metrics(arial8());
    const QString frequency = QStringLiteral("851.0125");
    const int width = metrics.horizontalAdvance(frequency);
    QImage expected = blankLike(shot, kDarkBlue);
    QPainter painter(&expected);
    drawExpectedText(painter, QRect(25, 30, 80, 15), frequency, kDarkBlue);
    painter.end();
    EXPECT_EQ(differences(shot, expected, QRect(25, 30, width, 10)), 0) << "the frequency is cut";
    EXPECT_EQ(countBright(shot, QRect(0, 30, 24, 10)), 0) << "no channel number";
    // The RSSI's first ink stands clear of the frequency's last.
    int firstInk = -1;
    for (int x = 25 + width; x < 25 + width + 30 && firstInk < 0; ++x) {
        if (countBright(shot, QRect(x, 30, 1, 10)) > 0) {
            firstInk = x;
        }
    }
    EXPECT_GE(firstInk, 25 + width + 3);
}

} // namespace
