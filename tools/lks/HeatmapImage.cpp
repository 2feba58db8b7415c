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
#include "files/SitePicture.h"

namespace {

constexpr QRgb kPaper = 0xFFFFFFFFu;
constexpr QRgb kRule = 0xFFB0B0B0u;
constexpr QRgb kInk = 0xFF000000u;

QRgb blend(QRgb under, const BandColour& band, double opacity) {
    auto mix = [opacity](int u, int b) {
        return static_cast<int>(std::lround(u * (1.0 - opacity) + b * opacity));
    };
    return qRgb(mix(qRed(under), band.red), mix(qGreen(under), band.green),
                mix(qBlue(under), band.blue));
}

// Text that stays legible from a small office plan to a campus drawing.
int legendPixels(int planWidth) {
    return std::clamp(planWidth / 40, 11, 28);
}

struct LegendItem {
    QString text;
    bool swatch;
    QRgb colour;
    int width;
    int gap;      // space before it when it is not the first on its line
    bool newLine; // starts a line of its own
};

// The legend flows like text: a swatch with its band, then the notes word by word, so that it
// fits the plan's width and widens the picture only for a plan narrower than one item.
class CLegend {
public:
    CLegend(const CBandSet& set, const HeatmapStyle& style, int planWidth)
        : m_pixels(legendPixels(planWidth)) {
        m_font.setPixelSize(m_pixels);
        const QFontMetrics metrics(m_font);
        m_margin = m_pixels / 2 + 2;
        m_line = metrics.height() + m_pixels / 3;
        for (size_t band = 0; band < set.Count(); ++band) {
            const QString text = QString::fromStdString(set.Label(band) + " dBm");
            // The swatch shows the band as it looks over white paper at the chosen opacity.
            m_items.push_back({text, true, blend(kPaper, set.Colour(band), style.opacity),
                               m_pixels + m_pixels / 3 + metrics.horizontalAdvance(text), m_pixels,
                               false});
        }
        bool firstNote = true;
        for (const std::string& note : style.notes) {
            const QStringList words = QString::fromStdString(note).split(' ', Qt::SkipEmptyParts);
            for (int i = 0; i < words.size(); ++i) {
                m_items.push_back({words[i], false, 0, metrics.horizontalAdvance(words[i]),
                                   i == 0 ? m_pixels : metrics.horizontalAdvance(' '), firstNote});
                firstNote = false;
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
        if (item.swatch) {
            const int top = y + (m_line - m_pixels) / 2;
            paint.fillRect(x, top, m_pixels, m_pixels, QColor::fromRgb(item.colour));
            paint.setPen(QColor::fromRgb(kRule));
            paint.setBrush(Qt::NoBrush);
            paint.drawRect(x, top, m_pixels - 1, m_pixels - 1);
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

} // namespace

QImage HeatmapImage(const SitePicture& plan, const std::vector<uint8_t>& bands, const CBandSet& set,
                    const std::vector<SpotValue>& spots, const HeatmapStyle& style) {
    const CLegend legend(set, style, plan.width);
    const int width = std::max(plan.width, legend.WidestItem());
    const int strip = legend.Layout(width, 0, nullptr);
    QImage image(width, plan.height + strip, QImage::Format_RGB32);
    image.fill(kPaper);

    // Every colour a pixel can take: each palette entry bare, and under each band.
    const size_t kEntries = SitePicture::kPaletteEntries;
    std::vector<QRgb> colours(kEntries * (set.Count() + 1));
    for (size_t entry = 0; entry < kEntries; ++entry) {
        const QRgb paper = 0xFF000000u | plan.palette[entry];
        colours[entry] = paper;
        for (size_t band = 0; band < set.Count(); ++band) {
            colours[(band + 1) * kEntries + entry] = blend(paper, set.Colour(band), style.opacity);
        }
    }
    for (int y = 0; y < plan.height; ++y) {
        const uint8_t* entries = plan.RowFromTop(y);
        const uint8_t* band = bands.data() + static_cast<size_t>(y) * plan.width;
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < plan.width; ++x) {
            const size_t layer = band[x] == kNoBand ? 0 : band[x] + 1u;
            row[x] = colours[layer * kEntries + entries[x]];
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
