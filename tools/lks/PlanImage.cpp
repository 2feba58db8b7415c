// Floor-plan decoding through Qt's image readers, then to at most 256 colours: a plan that has no
// more is kept exactly; a larger one gets the palette libimagequant chooses from the picture
// itself, without dithering, so that line art and paper stay free of dots.
#include "PlanImage.h"

#include <QColor>
#include <QImage>
#include <QImageReader>
#include <QString>

#include <libimagequant.h>

#include <cstring>
#include <memory>
#include <unordered_map>
#include <vector>

#include "files/SitePicture.h"

namespace {

// Floor plans are drawn on paper: transparency becomes white rather than black.
QImage onWhite(const QImage& image) {
    if (!image.hasAlphaChannel()) {
        return image.convertToFormat(QImage::Format_RGB32);
    }
    QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    QImage out(argb.size(), QImage::Format_RGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            const int a = qAlpha(in[x]);
            auto blend = [a](int c) { return (c * a + 255 * (255 - a) + 127) / 255; };
            row[x] = qRgb(blend(qRed(in[x])), blend(qGreen(in[x])), blend(qBlue(in[x])));
        }
    }
    return out;
}

// Every colour kept as it is; false, with nothing changed, when there are more than 256.
bool exactPalette(const QImage& rgb, SitePicture& picture) {
    std::unordered_map<QRgb, uint8_t> index;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            if (index.emplace(row[x] & 0x00FFFFFFu, uint8_t(index.size())).second &&
                index.size() > SitePicture::kPaletteEntries) {
                return false;
            }
        }
    }
    picture = SitePicture::Blank(rgb.width(), rgb.height());
    for (const auto& [colour, i] : index) {
        picture.palette[i] = colour;
    }
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uint8_t* out = picture.RowFromTop(y);
        for (int x = 0; x < rgb.width(); ++x) {
            out[x] = index[row[x] & 0x00FFFFFFu];
        }
    }
    return true;
}

struct LiqDeleter {
    void operator()(liq_attr* p) const { liq_attr_destroy(p); }
    void operator()(liq_image* p) const { liq_image_destroy(p); }
    void operator()(liq_result* p) const { liq_result_destroy(p); }
};

// The 256 colours that best keep the picture, chosen by libimagequant, paper white among them.
bool quantisedPalette(const QImage& rgb, SitePicture& picture) {
    const QImage rgba = rgb.convertToFormat(QImage::Format_RGBA8888);
    const std::unique_ptr<liq_attr, LiqDeleter> attr(liq_attr_create());
    if (!attr || liq_set_max_colors(attr.get(), SitePicture::kPaletteEntries) != LIQ_OK) {
        return false;
    }
    std::vector<void*> rows(static_cast<size_t>(rgba.height()));
    for (int y = 0; y < rgba.height(); ++y) {
        rows[static_cast<size_t>(y)] = const_cast<uchar*>(rgba.constScanLine(y));
    }
    const std::unique_ptr<liq_image, LiqDeleter> image(
        liq_image_create_rgba_rows(attr.get(), rows.data(), rgba.width(), rgba.height(), 0.0));
    if (!image || liq_image_add_fixed_color(image.get(), liq_color{255, 255, 255, 255}) != LIQ_OK) {
        return false;
    }
    liq_result* raw = nullptr;
    if (liq_image_quantize(image.get(), attr.get(), &raw) != LIQ_OK) {
        return false;
    }
    const std::unique_ptr<liq_result, LiqDeleter> result(raw);
    // Dithering would scatter grey dots over white paper and along every antialiased line.
    liq_set_dithering_level(result.get(), 0.0f);
    picture = SitePicture::Blank(rgba.width(), rgba.height());
    std::vector<unsigned char*> out(static_cast<size_t>(rgba.height()));
    for (int y = 0; y < rgba.height(); ++y) {
        out[static_cast<size_t>(y)] = picture.RowFromTop(y);
    }
    if (liq_write_remapped_image_rows(result.get(), image.get(), out.data()) != LIQ_OK) {
        return false;
    }
    const liq_palette* palette = liq_get_palette(result.get());
    for (unsigned i = 0; i < palette->count && i < unsigned(SitePicture::kPaletteEntries); ++i) {
        const liq_color& c = palette->entries[i];
        picture.palette[i] = uint32_t{c.r} << 16 | uint32_t{c.g} << 8 | c.b;
    }
    return true;
}

} // namespace

bool LoadPlanPicture(const std::string& path, SitePicture& picture, std::string& error) {
    QImageReader reader(QString::fromStdString(path));
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull()) {
        error = "cannot read image " + path + ": " + reader.errorString().toStdString();
        return false;
    }
    const QImage rgb = onWhite(image);
    if (exactPalette(rgb, picture) || quantisedPalette(rgb, picture)) {
        return true;
    }
    error = "cannot convert image " + path + " to 256 colours";
    return false;
}
