// Colour legend: swatch colours from 0x00BBGGRR values, whole-area painting, layout.
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdio>

#include "analysis/RssiBands.h"
#include "shell/ColorCodesDlg.h"
#include "shell/ColorRef.h"
#include "shell/DialogUnits.h"

namespace {
// Counts the pixels of a widget's own painting that are not the given colour.
int pixelsOtherThan(QWidget& w, QRgb color) {
    const QImage image = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
    int other = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            other += image.pixel(x, y) != color ? 1 : 0;
        }
    }
    return other;
}
} // namespace

TEST(ColorRef, LowByteIsRedAndTheTopByteIsIgnored) {
    EXPECT_EQ(colorFromRef(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(colorFromRef(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(colorFromRef(0x0080FF), QColor(255, 128, 0));
    EXPECT_EQ(colorFromRef(0xAB123456), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(refFromColor(QColor(255, 128, 0)), 0x0080FFu);
}

TEST(ColorCodesDlg, RowsShowTheBandsAndTheirColoursInOrder) {
    CColorCodesDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Color of RSSI Values"));
    const struct {
        const char* text;
        QRgb rgb;
    } rows[] = {
        {"greater than -39 dBm", qRgb(255, 0, 0)}, {"-40 thru -49 dBm", qRgb(255, 128, 0)},
        {"-50 thru -59 dBm", qRgb(255, 255, 0)},   {"-60 thru -69 dBm", qRgb(0, 255, 0)},
        {"-70 thru -79 dBm", qRgb(0, 0, 255)},     {"-80 thru -89 dBm", qRgb(0, 0, 0)},
    };
    const QImage shot = dlg.grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (int row = 0; row < CColorCodesDlg::kRows; ++row) {
        SCOPED_TRACE(row + 1);
        EXPECT_EQ(dlg.Label(row)->text(), QString::fromLatin1(rows[row].text));
        CColorSwatch& swatch = dlg.Swatch(row);
        EXPECT_EQ(pixelsOtherThan(swatch, rows[row].rgb), 0);
        // Also in the dialog's own picture, corner to corner.
        const QRect r = swatch.geometry();
        EXPECT_EQ(shot.pixel(r.topLeft()), rows[row].rgb);
        EXPECT_EQ(shot.pixel(r.bottomRight()), rows[row].rgb);
        EXPECT_EQ(shot.pixel(r.center()), rows[row].rgb);
    }
}

TEST(ColorCodesDlg, TheLegendIsTheBandSetTheMapAndTheHeatmapsPaintWith) {
    // The whole-dBm range each row's text names falls in that row's band and no other: move an
    // edge in the band set and the legend moves with it. (Each swatch takes its band's colour.)
    const CBandSet& bands = CBandSet::Handheld();
    for (int row = 0; row < CColorCodesDlg::kRows; ++row) {
        SCOPED_TRACE(row + 1);
        int strong = 0;
        int weak = 0;
        const char* text = CColorCodesDlg::RowText(row);
        if (row == 0) {
            ASSERT_EQ(std::sscanf(text, "greater than %d dBm", &weak), 1) << text;
            strong = 0;
        } else {
            ASSERT_EQ(std::sscanf(text, "%d thru %d dBm", &strong, &weak), 2) << text;
            EXPECT_EQ(static_cast<int>(RssiBandOf(static_cast<int16_t>(strong + 1))), row - 1);
        }
        EXPECT_EQ(static_cast<int>(RssiBandOf(static_cast<int16_t>(strong))), row);
        EXPECT_EQ(static_cast<int>(RssiBandOf(static_cast<int16_t>(weak))), row);
        EXPECT_EQ(bands.IndexOf(weak), static_cast<size_t>(row));
        if (row + 1 < CColorCodesDlg::kRows) {
            EXPECT_EQ(static_cast<int>(RssiBandOf(static_cast<int16_t>(weak - 1))), row + 1);
        }
    }
}

TEST(ColorCodesDlg, SwatchesAndLabelsSitAtTheirTemplatePlaces) {
    CColorCodesDlg dlg;
    const CDialogUnits units = CDialogUnits::FromFont(dlg.font());
    EXPECT_EQ(dlg.size(), units.ToPixels(160, 161));
    for (int row = 0; row < CColorCodesDlg::kRows; ++row) {
        SCOPED_TRACE(row + 1);
        const int y = 14 + 20 * row;
        EXPECT_EQ(dlg.Swatch(row).geometry(), units.ToPixels(15, y, 26, 8));
        EXPECT_EQ(dlg.Label(row)->geometry(), units.ToPixels(55, y, 72, 8));
        EXPECT_EQ(dlg.Swatch(row).parentWidget(), &dlg);
    }
}

TEST(ColorCodesDlg, ResizedSwatchStillPaintsItsWholeArea) {
    CColorCodesDlg dlg;
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    CColorSwatch& blue = dlg.Swatch(4);
    CColorSwatch& black = dlg.Swatch(5);
    blue.resize(blue.width() * 2 + 7, blue.height() * 3 + 1);
    black.resize(black.width() + 13, black.height() * 2);
    EXPECT_EQ(pixelsOtherThan(blue, qRgb(0, 0, 255)), 0);
    EXPECT_EQ(pixelsOtherThan(black, qRgb(0, 0, 0)), 0);
    EXPECT_EQ(blue.grab().size(), blue.size());
}

TEST(ColorCodesDlg, ShowsTheBandsInUseForThePointsAndWhileItShowsTheLayer) {
    const struct {
        const CBandSet* circles;
        const CBandSet* layer;
    } cases[] = {
        {&CBandSet::Handheld(), &CBandSet::Handheld()},
        {&CBandSet::Handheld(), &CBandSet::Threshold()},
        {&CBandSet::Threshold(), &CBandSet::Threshold()},
        {&CBandSet::Threshold(), nullptr},
    };
    const double opacity = 0.55;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.layer == nullptr ? 0 : static_cast<int>(c.layer->Count()));
        CColorCodesDlg dlg(nullptr, {c.circles, c.layer, opacity});
        dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
        const QImage shot = dlg.grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(dlg.Rows(), static_cast<int>(c.circles->Count()));
        ASSERT_EQ(dlg.LayerRows(), c.layer == nullptr ? 0 : static_cast<int>(c.layer->Count()) + 1);
        // Every row on the dialog, one below the other; the swatch as the circles or the layer
        // paint the band (the layer's over white paper, "no signal" last).
        int previousY = -1;
        for (int row = 0; row < dlg.Rows() + dlg.LayerRows(); ++row) {
            const bool layerRow = row >= dlg.Rows();
            const int r = layerRow ? row - dlg.Rows() : row;
            CColorSwatch& swatch = layerRow ? dlg.LayerSwatch(r) : dlg.Swatch(r);
            QRgb expected = 0;
            if (!layerRow) {
                const BandColour& b = c.circles->Colour(static_cast<size_t>(r));
                expected = qRgb(b.red, b.green, b.blue);
            } else {
                const bool noSignal = r == dlg.LayerRows() - 1;
                expected =
                    0xFF000000u | BlendBandOver(0xFFFFFF,
                                                noSignal ? kNoSignalColour
                                                         : c.layer->Colour(static_cast<size_t>(r)),
                                                opacity);
            }
            EXPECT_EQ(shot.pixel(swatch.geometry().center()), expected) << "row " << row;
            EXPECT_TRUE(dlg.rect().contains(swatch.geometry()));
            EXPECT_GT(swatch.y(), previousY);
            previousY = swatch.y();
            QLabel* label = layerRow ? dlg.LayerLabel(r) : dlg.Label(r);
            EXPECT_TRUE(label->text().endsWith(QStringLiteral("dBm")) ||
                        label->text() == QStringLiteral("no signal"));
        }
    }
}
