// Painting the heatmap: band colours blended over the plan through a table (plan palette entry x
// band), the dots and the legend with QPainter.
#include "HeatmapImage.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QImageWriter>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "analysis/CoverageField.h"
#include "analysis/GridLayout.h"
#include "files/SitePicture.h"

namespace {

constexpr QRgb kPaper = 0xFFFFFFFFu;
constexpr QRgb kRule = 0xFFB0B0B0u;
constexpr QRgb kInk = 0xFF000000u;
constexpr QRgb kContour = 0xFF1A1A1Au;
QRgb blend(QRgb under, const BandColour& band, double opacity) {
    return 0xFF000000u | BlendBandOver(under & 0xFFFFFFu, band, opacity);
}

// Text that stays legible from a small office plan to a campus drawing.
int legendPixels(int planWidth) {
    return std::clamp(planWidth / 40, 11, 28);
}

enum class Mark { None, Swatch, Line };

struct LegendItem {
    QString text;
    Mark mark;
    QRgb colour;
    int width;
    int gap;      // space before it when it is not the first on its line
    bool newLine; // starts a line of its own
};

// The legend flows like text: a swatch with its band, then the notes word by word, so that it
// fits the plan's width and widens the picture only for a plan narrower than one item.
class CLegend {
public:
    CLegend(const CBandSet& set, const HeatmapStyle& style, bool noSignal, int planWidth)
        : m_pixels(legendPixels(planWidth)) {
        m_font.setPixelSize(m_pixels);
        const QFontMetrics metrics(m_font);
        m_margin = m_pixels / 2 + 2;
        m_line = metrics.height() + m_pixels / 3;
        const auto marked = [&](const QString& text, Mark mark, QRgb colour) {
            m_items.push_back({text, mark, colour,
                               m_pixels + m_pixels / 3 + metrics.horizontalAdvance(text), m_pixels,
                               false});
        };
        for (size_t band = 0; band < set.Count(); ++band) {
            // The swatch shows the band as it looks over white paper at the chosen opacity.
            marked(QString::fromStdString(set.Label(band) + " dBm"), Mark::Swatch,
                   blend(kPaper, set.Colour(band), style.opacity));
        }
        if (noSignal) {
            marked(QStringLiteral("no signal"), Mark::Swatch,
                   blend(kPaper, kNoSignalColour, style.opacity));
        }
        for (const double level : style.contours) {
            marked(QStringLiteral("%1 dBm").arg(level), Mark::Line, kContour);
        }
        // Each caption line starts a line of its own and flows word by word.
        for (const std::string& line : style.caption) {
            const QStringList words = QString::fromStdString(line).split(' ', Qt::SkipEmptyParts);
            for (int i = 0; i < words.size(); ++i) {
                m_items.push_back({words[i], Mark::None, 0, metrics.horizontalAdvance(words[i]),
                                   i == 0 ? m_pixels : metrics.horizontalAdvance(' '), i == 0});
            }
        }
    }

    int WidestItem() const {
        int widest = 0;
        for (const LegendItem& item : m_items) {
            widest = std::max(widest, item.width);
        }
        return widest + 2 * m_margin;
    }

    // Height of the strip when laid out in width; with paint, also draws it at top.
    int Layout(int width, int top, QPainter* paint) const {
        int x = m_margin;
        int y = top + m_margin;
        for (const LegendItem& item : m_items) {
            if (x > m_margin) {
                if (item.newLine || x + item.gap + item.width > width - m_margin) {
                    x = m_margin;
                    y += m_line;
                } else {
                    x += item.gap;
                }
            }
            if (paint != nullptr) {
                Draw(*paint, item, x, y);
            }
            x += item.width;
        }
        return y + m_line + m_margin - top;
    }

    const QFont& Font() const { return m_font; }
    int Pixels() const { return m_pixels; }

private:
    void Draw(QPainter& paint, const LegendItem& item, int x, int y) const {
        int textX = x;
        const int top = y + (m_line - m_pixels) / 2;
        if (item.mark == Mark::Swatch) {
            paint.fillRect(x, top, m_pixels, m_pixels, QColor::fromRgb(item.colour));
            paint.setPen(QColor::fromRgb(kRule));
            paint.setBrush(Qt::NoBrush);
            paint.drawRect(x, top, m_pixels - 1, m_pixels - 1);
        } else if (item.mark == Mark::Line) {
            paint.fillRect(x, top + m_pixels / 2 - 1, m_pixels, 3, QColor::fromRgb(item.colour));
        }
        if (item.mark != Mark::None) {
            textX += m_pixels + m_pixels / 3;
        }
        paint.setPen(QColor::fromRgb(kInk));
        paint.drawText(QRect(textX, y, x + item.width - textX, m_line),
                       Qt::AlignLeft | Qt::AlignVCenter, item.text);
    }

    int m_pixels;
    QFont m_font;
    int m_margin = 0;
    int m_line = 0;
    std::vector<LegendItem> m_items;
};

// A bar of a round length in feet at the plan's bottom left, on a white backing.
void drawScaleBar(QPainter& paint, const CLegend& legend, int planHeight, double pixelsPerFoot,
                  int planWidth) {
    double feet = 1.0;
    for (const double step : {1.0, 2.0, 5.0, 10.0, 20.0, 25.0, 50.0, 100.0, 200.0, 500.0, 1000.0}) {
        if (step * pixelsPerFoot <= planWidth / 4.0) {
            feet = step;
        }
    }
    const int length = std::max(1, static_cast<int>(std::lround(feet * pixelsPerFoot)));
    const QString text = QStringLiteral("%1 ft (%2 m)")
                             .arg(feet, 0, 'g', 4)
                             .arg(feet / kFeetPerMetre, 0, 'f', feet < 10 ? 2 : 1);
    const QFontMetrics metrics(legend.Font());
    const int pad = legend.Pixels() / 3 + 2;
    const int width = std::max(length, metrics.horizontalAdvance(text)) + 2 * pad;
    const int height = metrics.height() + legend.Pixels() / 2 + 2 * pad;
    const QRect back(pad, planHeight - pad - height, width, height);
    paint.fillRect(back, QColor(255, 255, 255, 220));
    paint.setPen(QPen(QColor::fromRgb(kInk), std::max(2, legend.Pixels() / 8)));
    const int y = back.bottom() - pad;
    paint.drawLine(back.left() + pad, y, back.left() + pad + length, y);
    paint.drawLine(back.left() + pad, y - legend.Pixels() / 3, back.left() + pad, y);
    paint.drawLine(back.left() + pad + length, y - legend.Pixels() / 3, back.left() + pad + length,
                   y);
    paint.setFont(legend.Font());
    paint.drawText(QRect(back.left() + pad, back.top() + pad / 2, width, metrics.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, text);
}

} // namespace

QImage HeatmapImage(const SitePicture& plan, const std::vector<uint8_t>& bands, const CBandSet& set,
                    const std::vector<SpotValue>& spots, const std::vector<uint8_t>& contours,
                    const HeatmapStyle& style) {
    const bool noSignal = std::find(bands.begin(), bands.end(), kNoSignalBand) != bands.end();
    const CLegend legend(set, style, noSignal, plan.width);
    const int width = std::max(plan.width, legend.WidestItem());
    const int strip = legend.Layout(width, 0, nullptr);
    QImage image(width, plan.height + strip, QImage::Format_RGB32);
    image.fill(kPaper);

    // Every colour a pixel can take: each palette entry bare, under each band, and under no
    // signal (the last layer).
    const size_t kEntries = SitePicture::kPaletteEntries;
    const size_t noSignalLayer = set.Count() + 1;
    std::vector<QRgb> colours(kEntries * (set.Count() + 2));
    for (size_t entry = 0; entry < kEntries; ++entry) {
        const QRgb paper = 0xFF000000u | plan.palette[entry];
        colours[entry] = paper;
        for (size_t band = 0; band < set.Count(); ++band) {
            colours[(band + 1) * kEntries + entry] = blend(paper, set.Colour(band), style.opacity);
        }
        colours[noSignalLayer * kEntries + entry] = blend(paper, kNoSignalColour, style.opacity);
    }
    for (int y = 0; y < plan.height; ++y) {
        const uint8_t* entries = plan.RowFromTop(y);
        const size_t first = static_cast<size_t>(y) * plan.width;
        const uint8_t* band = bands.data() + first;
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < plan.width; ++x) {
            const size_t layer = band[x] == kNoBand         ? 0
                                 : band[x] == kNoSignalBand ? noSignalLayer
                                                            : band[x] + 1u;
            row[x] = colours[layer * kEntries + entries[x]];
        }
        if (!contours.empty()) {
            for (int x = 0; x < plan.width; ++x) {
                row[x] = contours[first + x] != 0 ? kContour : row[x];
            }
        }
    }

    QPainter paint(&image);
    paint.setRenderHint(QPainter::Antialiasing);
    if (style.dots) {
        const double radius = std::max(2.5, legend.Pixels() / 4.0);
        paint.setPen(QPen(QColor::fromRgb(kPaper), 1.0));
        paint.setBrush(QColor::fromRgb(kInk));
        paint.setClipRect(0, 0, plan.width, plan.height); // a dot at the edge stays on the plan
        for (const SpotValue& s : spots) {
            paint.drawEllipse(QPointF(s.x + 0.5, s.y + 0.5), radius, radius);
        }
        paint.setClipping(false);
    }
    paint.setRenderHint(QPainter::Antialiasing, false);
    if (style.pixelsPerFoot > 0.0) {
        drawScaleBar(paint, legend, plan.height, style.pixelsPerFoot, plan.width);
    }
    paint.setPen(QColor::fromRgb(kRule));
    paint.drawLine(0, plan.height, width - 1, plan.height);
    paint.setFont(legend.Font());
    legend.Layout(width, plan.height, &paint);
    paint.end();
    return image;
}

bool EncodePng(const QImage& image, std::vector<uint8_t>& out) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) {
        return false;
    }
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) {
        return false;
    }
    out.assign(bytes.begin(), bytes.end());
    return true;
}
