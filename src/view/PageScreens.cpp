// The start and scan screens, on the handheld's page.
#include "view/ScreenPainters.h"

#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <algorithm>
#include <cstdio>

#include "receiver/Receiver.h"
#include "view/ViewGeometry.h"

namespace {

const QColor kScanBackground(0, 0, 192);
const char* const kFontFamily = "Arial";
constexpr int kFontPoints = 8;

const char* const kTitle = "Larkspur Survalon";
const char* const kNoticeLine1 = "RF site survey, 800 and 1900 MHz";
const char* const kNoticeLine2 = "Open a site and a channel table to begin";

// Start screen text rectangles (left, top, right, bottom), laid out for a 240-pixel-wide screen.
const ViewRect kFirmwareRect{5, 3, 115, 18};
const ViewRect kSerialRect{155, 3, 235, 18};
// A radio's driver and label take the whole top line, its serial a line under the title.
const ViewRect kRadioRect{5, 3, 235, 18};
const ViewRect kRadioSerialRect{0, 40, 240, 52};
const ViewRect kTitleRect{0, 25, 240, 37};
const ViewRect kNotice1Rect{0, 205, 240, 217};
const ViewRect kNotice2Rect{0, 220, 240, 232};

constexpr int kHeaderTop = 10;
constexpr int kHeaderBottom = 25;
constexpr int kRowTop = 30;
constexpr int kRowBottom = 45;
constexpr int kRowPitch = 10;
// Room left between a channel number and the frequency after it.
constexpr int kChannelGap = 3;

// One column of the scan list: its three cells and the headers above them, in page pixels.
struct ScanColumn {
    int channelLeft, channelRight, channelHeaderRight;
    int freqLeft, freqRight, freqHeaderRight;
    int rssiLeft, rssiRight, rssiHeaderRight;

    // Moves the RSSI (cell and header) right by dx.
    void shiftRssi(int dx) {
        rssiLeft += dx;
        rssiRight += dx;
        rssiHeaderRight += dx;
    }
    // Moves the frequency and RSSI (cells and headers) right by dx.
    void shiftReadings(int dx) {
        freqLeft += dx;
        freqRight += dx;
        freqHeaderRight += dx;
        shiftRssi(dx);
    }
};

// The handheld's two columns: cells at 115c..120c+20, 115c+25..120c+70 and 115c+75..115c+105;
// the headers end a little earlier in the second column.
constexpr ScanColumn kScanColumns[2] = {
    {0, 20, 20, 25, 70, 70, 75, 105, 105},
    {115, 140, 135, 140, 190, 185, 190, 220, 220},
};

// C-style formatting into a byte buffer, shown as the single-byte text it is.
QString formatted(const char* format, const char* value) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, format, value);
    return QString::fromLatin1(buffer);
}

// Arial 8 point, the screens' one face.
QFont viewFont() {
    QFont font(QString::fromLatin1(kFontFamily));
    font.setPointSize(kFontPoints);
    return font;
}

// One line of text at the top left (or top centre) of its rectangle, clipped to it, over an
// opaque box of the painter's background colour.
void drawCellText(QPainter& painter, const QRect& rect, const QString& text, int alignment) {
    painter.save();
    painter.setClipRect(rect);
    painter.drawText(rect, alignment | Qt::AlignTop | Qt::TextSingleLine, text);
    painter.restore();
}

} // namespace

namespace screens {

void EnterPage(QPainter& painter, const QRect& client) {
    if (client.size() == QSize(kPageWidth, kPageHeight)) {
        painter.translate(client.topLeft());
        return;
    }
    // The texts are drawn through the scale, so they stay sharp at any size.
    const qreal scale =
        std::min(qreal(client.width()) / kPageWidth, qreal(client.height()) / kPageHeight);
    painter.translate(client.left() + (client.width() - kPageWidth * scale) / 2,
                      client.top() + (client.height() - kPageHeight * scale) / 2);
    painter.scale(scale, scale);
}

void PaintStartScreen(QPainter& painter, const QRect& page, const QImage& picture,
                      const BoardIdentity& identity) {
    if (!picture.isNull()) {
        painter.drawImage(page, picture, picture.rect());
    }
    painter.setFont(viewFont());
    painter.setPen(Qt::white);
    painter.setBackground(QBrush(Qt::black));
    painter.setBackgroundMode(Qt::OpaqueMode);
    if (identity.radio.empty()) {
        drawCellText(painter, ToQRect(kFirmwareRect),
                     formatted("(Firmware %s)", identity.firmware.c_str()), Qt::AlignLeft);
        drawCellText(painter, ToQRect(kSerialRect), formatted("(SN %s)", identity.serial.c_str()),
                     Qt::AlignLeft);
    } else {
        drawCellText(painter, ToQRect(kRadioRect),
                     QStringLiteral("(%1)").arg(QString::fromStdString(identity.radio)),
                     Qt::AlignLeft);
        drawCellText(painter, ToQRect(kRadioSerialRect),
                     formatted("(SN %s)", identity.serial.c_str()), Qt::AlignHCenter);
    }
    drawCellText(painter, ToQRect(kTitleRect), QString::fromLatin1(kTitle), Qt::AlignHCenter);
    drawCellText(painter, ToQRect(kNotice1Rect), QString::fromLatin1(kNoticeLine1),
                 Qt::AlignHCenter);
    drawCellText(painter, ToQRect(kNotice2Rect), QString::fromLatin1(kNoticeLine2),
                 Qt::AlignHCenter);
}

void PaintScanScreen(QPainter& painter, const QRect& page,
                     const std::vector<ChannelReading>& readings) {
    painter.setPen(Qt::white);
    painter.setBackground(QBrush(kScanBackground));
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setFont(viewFont());
    painter.fillRect(page, kScanBackground);

    const int count = std::min(static_cast<int>(readings.size()), kMaxListedChannels);
    struct RowText {
        QString channel, frequency, rssi;
    };
    std::vector<RowText> rows(static_cast<size_t>(count));
    char buffer[32];
    for (int n = 0; n < count; ++n) {
        const ChannelReading& reading = readings[static_cast<size_t>(n)];
        // A channel by frequency has no number of a plan: its frequency names it, to 12.5 kHz.
        const bool byFrequency = IsFrequencyPlan(reading.plan);
        std::snprintf(buffer, sizeof buffer, "%d", static_cast<int16_t>(reading.channel));
        rows[n].channel = byFrequency ? QString() : QString::fromLatin1(buffer);
        std::snprintf(buffer, sizeof buffer, byFrequency ? "%.4f" : "%.3f", reading.frequencyMHz);
        rows[n].frequency = QString::fromLatin1(buffer);
        std::snprintf(buffer, sizeof buffer, "%d", RssiX16ToDbm(reading.rssiX16));
        rows[n].rssi = QString::fromLatin1(buffer);
    }

    // The channel cells were sized for three digits; a wider number (four-digit PCS and
    // cellular channels) moves its column's frequency and RSSI right instead of being cut off
    // or running into the frequency.
    ScanColumn columns[2] = {kScanColumns[0], kScanColumns[1]};
    const QFontMetrics metrics(painter.font());
    for (int n = 0; n < count; ++n) {
        ScanColumn& column = columns[n / kRowsPerColumn];
        const int needed =
            column.channelLeft + metrics.horizontalAdvance(rows[n].channel) + kChannelGap;
        if (needed > column.freqLeft) {
            column.channelRight = needed;
            column.shiftReadings(needed - column.freqLeft);
        }
        // A frequency to the 100 Hz needs more room than the handheld's three decimals.
        const int frequencyEnd = column.freqLeft + metrics.horizontalAdvance(rows[n].frequency);
        if (IsFrequencyPlan(readings[static_cast<size_t>(n)].plan) &&
            frequencyEnd > column.freqRight) {
            column.freqRight = frequencyEnd;
            if (frequencyEnd + kChannelGap > column.rssiLeft) {
                column.shiftRssi(frequencyEnd + kChannelGap - column.rssiLeft);
            }
        }
    }

    for (const ScanColumn& column : columns) {
        const ViewRect headers[] = {
            {column.channelLeft, kHeaderTop, column.channelHeaderRight, kHeaderBottom},
            {column.freqLeft, kHeaderTop, column.freqHeaderRight, kHeaderBottom},
            {column.rssiLeft, kHeaderTop, column.rssiHeaderRight, kHeaderBottom}};
        const char* const texts[] = {"CH", "FREQ", "RSSI"};
        for (int i = 0; i < 3; ++i) {
            drawCellText(painter, ToQRect(headers[i]), QString::fromLatin1(texts[i]),
                         Qt::AlignLeft);
        }
    }

    for (int n = 0; n < count; ++n) {
        const ScanColumn& column = columns[n / kRowsPerColumn];
        const int r = n % kRowsPerColumn;
        const int top = kRowTop + kRowPitch * r;
        const int bottom = kRowBottom + kRowPitch * r;
        drawCellText(painter, ToQRect({column.channelLeft, top, column.channelRight, bottom}),
                     rows[n].channel, Qt::AlignLeft);
        drawCellText(painter, ToQRect({column.freqLeft, top, column.freqRight, bottom}),
                     rows[n].frequency, Qt::AlignLeft);
        drawCellText(painter, ToQRect({column.rssiLeft, top, column.rssiRight, bottom}),
                     rows[n].rssi, Qt::AlignLeft);
    }
}

} // namespace screens
