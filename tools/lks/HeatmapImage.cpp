// Painting the heatmap: band colours blended over the plan through a table (plan palette entry x
// band), the dots and the scale bar with QPainter on each band of rows, the legend once.
#include "HeatmapImage.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

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

// A bar of a round length in feet at the plan's bottom left, on a white backing that holds all
// of it.
ScaleBar scaleBarOf(const QFont& font, int fontPixels, int planHeight, double pixelsPerFoot,
                    int planWidth) {
    double feet = 1.0;
    for (const double step : {1.0, 2.0, 5.0, 10.0, 20.0, 25.0, 50.0, 100.0, 200.0, 500.0, 1000.0}) {
        if (step * pixelsPerFoot <= planWidth / 4.0) {
            feet = step;
        }
    }
    ScaleBar bar;
    bar.length = std::max(1, static_cast<int>(std::lround(feet * pixelsPerFoot)));
    bar.text = QStringLiteral("%1 ft (%2 m)")
                   .arg(feet, 0, 'g', 4)
                   .arg(feet / kFeetPerMetre, 0, 'f', feet < 10 ? 2 : 1);
    const QFontMetrics metrics(font);
    bar.pad = fontPixels / 3 + 2;
    const int width = std::max(bar.length, metrics.horizontalAdvance(bar.text)) + 2 * bar.pad;
    const int height = metrics.height() + fontPixels / 2 + 2 * bar.pad;
    bar.back = QRect(bar.pad, planHeight - bar.pad - height, width, height);
    return bar;
}

void drawScaleBar(QPainter& paint, const ScaleBar& bar, const QFont& font, int fontPixels) {
    const QRect& back = bar.back;
    const int pad = bar.pad;
    paint.fillRect(back, QColor(255, 255, 255, 220));
    paint.setPen(QPen(QColor::fromRgb(kInk), std::max(2, fontPixels / 8)));
    const int y = back.bottom() - pad;
    const int left = back.left() + pad;
    paint.drawLine(left, y, left + bar.length, y);
    paint.drawLine(left, y - fontPixels / 3, left, y);
    paint.drawLine(left + bar.length, y - fontPixels / 3, left + bar.length, y);
    paint.setFont(font);
    paint.drawText(QRect(left, back.top() + pad / 2, back.width(), QFontMetrics(font).height()),
                   Qt::AlignLeft | Qt::AlignVCenter, bar.text);
}

} // namespace

CHeatmapPicture::CHeatmapPicture(const SitePicture& plan, const CBandSet& set,
                                 const std::vector<SpotValue>& spots, bool noSignal,
                                 const HeatmapStyle& style)
    : m_plan(plan), m_spots(spots), m_style(style), m_planHeight(plan.height) {
    const CLegend legend(set, style, noSignal, plan.width);
    m_font = legend.Font();
    m_fontPixels = legend.Pixels();
    m_width = std::max(plan.width, legend.WidestItem());
    m_dotRadius = std::max(2.5, m_fontPixels / 4.0);
    // The dot's outline and its antialiased edge reach a little beyond its radius.
    m_dotReach = static_cast<int>(std::ceil(m_dotRadius)) + 2;
    m_margin = m_dotReach + 1;
    if (style.pixelsPerFoot > 0.0) {
        m_scaleBar = scaleBarOf(m_font, m_fontPixels, plan.height, style.pixelsPerFoot, plan.width);
    }
    m_legendStrip = QImage(m_width, legend.Layout(m_width, 0, nullptr), QImage::Format_RGB32);
    m_legendStrip.fill(kPaper);
    QPainter paint(&m_legendStrip);
    paint.setPen(QColor::fromRgb(kRule));
    paint.drawLine(0, 0, m_width - 1, 0);
    paint.setFont(m_font);
    legend.Layout(m_width, 0, &paint);
    paint.end();

    const size_t entries = SitePicture::kPaletteEntries;
    m_noSignalLayer = set.Count() + 1;
    m_colours.resize(entries * (set.Count() + 2));
    for (size_t entry = 0; entry < entries; ++entry) {
        const QRgb paper = 0xFF000000u | plan.palette[entry];
        m_colours[entry] = paper;
        for (size_t band = 0; band < set.Count(); ++band) {
            m_colours[(band + 1) * entries + entry] = blend(paper, set.Colour(band), style.opacity);
        }
        m_colours[m_noSignalLayer * entries + entry] = blend(paper, kNoSignalColour, style.opacity);
    }
}

void CHeatmapPicture::PaintPlanRows(int y0, int rows, const uint8_t* bands, const uint8_t* contours,
                                    QImage& canvas) const {
    const int width = m_plan.width;
    const size_t entries = SitePicture::kPaletteEntries;
    for (int r = 0; r < rows; ++r) {
        const uint8_t* plan = m_plan.RowFromTop(y0 + r);
        const uint8_t* band = bands + static_cast<size_t>(r) * width;
        auto* row = reinterpret_cast<QRgb*>(canvas.scanLine(m_margin + r));
        for (int x = 0; x < width; ++x) {
            const size_t layer = band[x] == kNoBand         ? 0
                                 : band[x] == kNoSignalBand ? m_noSignalLayer
                                                            : band[x] + 1u;
            row[x] = m_colours[layer * entries + plan[x]];
        }
        if (contours != nullptr) {
            const uint8_t* mark = contours + static_cast<size_t>(r) * width;
            for (int x = 0; x < width; ++x) {
                row[x] = mark[x] != 0 ? kContour : row[x];
            }
        }
        // A legend wider than the plan leaves paper beside it.
        std::fill(row + width, row + m_width, kPaper);
    }

    QPainter paint(&canvas);
    paint.translate(0, m_margin - y0);
    if (m_style.dots) {
        paint.setRenderHint(QPainter::Antialiasing);
        paint.setPen(QPen(QColor::fromRgb(kPaper), 1.0));
        paint.setBrush(QColor::fromRgb(kInk));
        paint.setClipRect(0, 0, width, m_plan.height); // a dot at the edge stays on the plan
        for (const SpotValue& s : m_spots) {
            if (s.y + m_dotReach >= y0 && s.y - m_dotReach < y0 + rows) {
                paint.drawEllipse(QPointF(s.x + 0.5, s.y + 0.5), m_dotRadius, m_dotRadius);
            }
        }
        paint.setClipping(false);
        paint.setRenderHint(QPainter::Antialiasing, false);
    }
    if (m_style.pixelsPerFoot > 0.0 && m_scaleBar.back.intersects(QRect(0, y0, width, rows))) {
        drawScaleBar(paint, m_scaleBar, m_font, m_fontPixels);
    }
}

const uint32_t* CHeatmapPicture::LegendRows(int y0) const {
    return reinterpret_cast<const uint32_t*>(m_legendStrip.constScanLine(y0 - m_planHeight));
}
