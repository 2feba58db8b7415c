// Helpers shared by the map view's GUI tests: a shown view with a known client size, site
// pictures with known pixels, and grabs of the client area as plain RGB images.
#pragma once

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "view/LarkspurView.h"

namespace viewtest {

inline std::unique_ptr<CLarkspurView> makeView(QSize client = {240, 320}) {
    auto view = std::make_unique<CLarkspurView>();
    view->resize(view->SizeForClient(client));
    view->show();
    QApplication::processEvents();
    EXPECT_EQ(view->viewport()->size(), client);
    return view;
}

// A picture of one colour (palette entry 0 used throughout).
inline bool loadUniform(CLarkspurView& view, int w, int h, QRgb colour) {
    std::vector<uint32_t> palette(CLarkspurView::kPaletteSize, 0x000000u);
    palette[0] = colour & 0xFFFFFFu;
    std::vector<uint8_t> pixels(static_cast<size_t>(w) * h, 0);
    return view.SetSitePicture(w, h, palette.data(), pixels.data(), pixels.size(), w, false);
}

// A picture whose colour changes with every pixel step, so any shift or wrong scale shows.
inline uint8_t patternIndex(int x, int y) {
    return static_cast<uint8_t>((x * 3 + y * 5) % 256);
}
inline QRgb patternColour(int x, int y) {
    const int i = patternIndex(x, y);
    return qRgb(i, 255 - i, (i * 7) & 0xFF);
}
inline bool loadPattern(CLarkspurView& view, int w, int h) {
    std::vector<uint32_t> palette(CLarkspurView::kPaletteSize);
    for (int i = 0; i < CLarkspurView::kPaletteSize; ++i) {
        palette[i] = static_cast<uint32_t>(qRgb(i, 255 - i, (i * 7) & 0xFF)) & 0xFFFFFFu;
    }
    std::vector<uint8_t> pixels(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            pixels[static_cast<size_t>(y) * w + x] = patternIndex(x, y);
        }
    }
    return view.SetSitePicture(w, h, palette.data(), pixels.data(), pixels.size(), w, false);
}

inline QImage grabClient(CLarkspurView& view) {
    return view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline QRgb rgbAt(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFFu;
}

inline QRgb rgbOf(const QColor& c) {
    return static_cast<QRgb>(c.rgb()) & 0xFFFFFFu;
}

// The text face a reader of these screens expects: Arial 8 point on the view's resolution.
inline QFont arial8() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(8);
    return font;
}

// Draws one line of text the way the screens are expected to show it: white, over an opaque
// box of background colour, at the top left (or top centre) of rect and clipped to it.
inline void drawExpectedText(QPainter& painter, const QRect& rect, const QString& text,
                             const QColor& background, int alignment = Qt::AlignLeft) {
    painter.save();
    painter.setFont(arial8());
    painter.setPen(Qt::white);
    painter.setBackground(background);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setClipRect(rect);
    painter.drawText(rect, alignment | Qt::AlignTop | Qt::TextSingleLine, text);
    painter.restore();
}

// An image for reference drawing with the same resolution as the view's client.
inline QImage blankLike(const QImage& grabbed, const QColor& fill) {
    QImage image(grabbed.size(), QImage::Format_RGB32);
    image.setDotsPerMeterX(grabbed.dotsPerMeterX());
    image.setDotsPerMeterY(grabbed.dotsPerMeterY());
    image.fill(fill);
    return image;
}

// Number of pixels inside rect that differ between the two images.
inline int differences(const QImage& a, const QImage& b, const QRect& rect) {
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            if (rgbAt(a, x, y) != rgbAt(b, x, y)) {
                ++count;
            }
        }
    }
    return count;
}

// Number of pixels inside rect of the given colour.
inline int countColour(const QImage& image, const QRect& rect, QRgb colour) {
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            if (rgbAt(image, x, y) == (colour & 0xFFFFFFu)) {
                ++count;
            }
        }
    }
    return count;
}

// Number of pixels inside rect bright enough to be white text ink (text is smoothed, so few of
// its pixels are pure white).
inline int countBright(const QImage& image, const QRect& rect) {
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            if (qGray(image.pixel(x, y)) >= 160) {
                ++count;
            }
        }
    }
    return count;
}

} // namespace viewtest
