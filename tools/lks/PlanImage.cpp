// Floor-plan decoding through Qt's image readers, then reduction to at most 256 colours.
#include "PlanImage.h"

#include <QColor>
#include <QImage>
#include <QImageReader>
#include <QString>

#include <cstring>

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

} // namespace

bool LoadPlanPicture(const std::string& path, SitePicture& picture, std::string& error) {
    QImageReader reader(QString::fromStdString(path));
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull()) {
        error = "cannot read image " + path + ": " + reader.errorString().toStdString();
        return false;
    }
    const QImage indexed = onWhite(image).convertToFormat(QImage::Format_Indexed8, Qt::AutoColor);
    if (indexed.isNull() || indexed.colorCount() > SitePicture::kPaletteEntries) {
        error = "cannot convert image " + path + " to 256 colours";
        return false;
    }
    picture = SitePicture{};
    picture.width = indexed.width();
    picture.height = indexed.height();
    picture.stride = SitePicture::StrideFor(picture.width);
    const QVector<QRgb> colours = indexed.colorTable();
    for (int i = 0; i < colours.size(); ++i) {
        picture.palette[i] = colours[i] & 0x00FFFFFFu;
    }
    picture.pixels.assign(size_t{picture.stride} * static_cast<size_t>(picture.height), 0);
    for (int y = 0; y < picture.height; ++y) {
        // The bitmap stores the bottom row first.
        uint8_t* row = picture.pixels.data() + size_t{picture.stride} * (picture.height - 1 - y);
        std::memcpy(row, indexed.constScanLine(y), static_cast<size_t>(picture.width));
    }
    return true;
}
