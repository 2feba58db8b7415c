// The heatmap written band by band: a well-formed PNG whose pixels are those of one whole picture
// whatever the bands' height and the thread count, whose plan is exactly the band blend of the
// whole field, and whose writing stops cleanly on every thread when the sink or the field fails.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>

#include <random>
#include <string>
#include <vector>

#include "HeatmapTiles.h"
#include "PngCheck.h"
#include "analysis/SiteReadings.h"
#include "files/SitePicture.h"

namespace {

constexpr int kWidth = 230;
constexpr int kHeight = 150;

// The legend's text needs a GUI application; no window is shown.
void guiApp() {
    static int argc = 1;
    static char name[] = "test_lks";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}

// White paper, grey walls every 50 px, a tinted room.
SitePicture plan() {
    SitePicture p = SitePicture::Blank(kWidth, kHeight);
    p.palette[0] = 0xFFFFFF;
    p.palette[1] = 0x404040;
    p.palette[2] = 0xD0E0FF;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            p.RowFromTop(y)[x] = x % 50 == 0 || y % 50 == 0 ? 1 : x > 120 && y > 80 ? 2 : 0;
        }
    }
    return p;
}

// Spots over the plan and a little beyond it, two of them dead.
std::vector<SpotValue> spots() {
    std::mt19937 random(7);
    std::vector<SpotValue> out;
    for (int i = 0; i < 40; ++i) {
        SpotValue s;
        s.x = static_cast<int32_t>(random() % (kWidth + 20)) - 10;
        s.y = static_cast<int32_t>(random() % (kHeight + 20)) - 10;
        s.dbm = i % 19 == 5 ? kNoSignalDbm : -110.0 + static_cast<double>(random() % 700) / 10.0;
        out.push_back(s);
    }
    return out;
}

struct Written {
    bool ok = false;
    std::vector<uint8_t> png;
    QImage image;
};

Written write(const HeatmapJob& job, const HeatmapStyle& style) {
    guiApp();
    const CHeatmapPicture picture(job.plan, job.bands, job.spots, FieldShowsNoSignal(job), style);
    Written w;
    w.ok = WriteHeatmapPng(job, picture, [&](const uint8_t* data, size_t size) {
        w.png.insert(w.png.end(), data, data + size);
        return true;
    });
    int width = 0;
    int height = 0;
    const std::string fault = CheckPng(w.png, width, height);
    EXPECT_EQ(fault, "");
    EXPECT_EQ(width, picture.Width());
    EXPECT_EQ(height, picture.Height());
    w.image = QImage::fromData(w.png.data(), static_cast<int>(w.png.size()), "PNG")
                  .convertToFormat(QImage::Format_RGB32);
    return w;
}

HeatmapStyle fullStyle() {
    HeatmapStyle style;
    style.caption = {"Test site", "Value: the strongest channel"};
    style.contours = {-75.0};
    style.pixelsPerFoot = 3.0;
    return style;
}

TEST(HeatmapBands, PixelsAreThoseOfOneWholePictureWhateverTheBandsAndThreads) {
    const SitePicture p = plan();
    const std::vector<SpotValue> s = spots();
    FieldOptions field;
    field.radius = 24.0;
    field.threads = 1;
    const HeatmapStyle style = fullStyle();
    HeatmapJob whole{p, s, field, CBandSet::Threshold(), style.contours, 1000};
    const Written reference = write(whole, style);
    ASSERT_TRUE(reference.ok);
    ASSERT_FALSE(reference.image.isNull());

    const struct {
        int bandRows;
        unsigned threads;
    } cases[] = {{kHeatmapBandRows, 1}, {kHeatmapBandRows, 2}, {7, 3}, {1, 2}};
    std::vector<uint8_t> bytesOfOneThread;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.bandRows) + " rows, " + std::to_string(c.threads) +
                     " threads");
        HeatmapJob job = whole;
        job.bandRows = c.bandRows;
        job.field.threads = c.threads;
        const Written banded = write(job, style);
        ASSERT_TRUE(banded.ok);
        EXPECT_TRUE(banded.image == reference.image) << "dots, contours and the scale bar are "
                                                        "whole across the bands' edges";
        if (c.bandRows == kHeatmapBandRows && c.threads == 1) {
            bytesOfOneThread = banded.png;
        } else if (c.bandRows == kHeatmapBandRows) {
            EXPECT_EQ(banded.png, bytesOfOneThread) << "the bytes never depend on the threads";
        }
    }
}

TEST(HeatmapBands, ThePlanIsTheBandBlendOfTheWholeField) {
    const SitePicture p = plan();
    const std::vector<SpotValue> s = spots();
    HeatmapStyle style;
    style.dots = false;
    style.opacity = 0.4;
    for (const FieldMethod method : {FieldMethod::Idw, FieldMethod::Nearest}) {
        FieldOptions field;
        field.method = method;
        field.radius = 30.0;
        const HeatmapJob job{p, s, field, CBandSet::Handheld(), {}};
        const Written w = write(job, style);
        ASSERT_TRUE(w.ok);
        CoverageValues values;
        ASSERT_TRUE(ComputeCoverageField(s, kWidth, kHeight, field, values));
        std::vector<uint8_t> bands;
        BandsOfField(values, CBandSet::Handheld(), bands);
        int wrong = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const uint8_t band = bands[static_cast<size_t>(y) * kWidth + x];
                const uint32_t paper = p.palette[p.RowFromTop(y)[x]];
                const uint32_t expected =
                    band == kNoBand
                        ? paper
                        : BlendBandOver(paper,
                                        band == kNoSignalBand ? kNoSignalColour
                                                              : CBandSet::Handheld().Colour(band),
                                        style.opacity);
                wrong += (w.image.pixel(x, y) & 0xFFFFFFu) == expected ? 0 : 1;
            }
        }
        EXPECT_EQ(wrong, 0) << (method == FieldMethod::Idw ? "idw" : "nearest");
    }
}

TEST(HeatmapBands, AFailingSinkOrFieldStopsEveryThread) {
    guiApp();
    const SitePicture p = plan();
    const std::vector<SpotValue> s = spots();
    const HeatmapStyle style = fullStyle();
    FieldOptions field;
    field.radius = 24.0;
    field.threads = 3;
    HeatmapJob job{p, s, field, CBandSet::Threshold(), style.contours, 4};
    const CHeatmapPicture picture(p, job.bands, s, false, style);
    for (const int failAt : {1, 3, 8, 40}) {
        int calls = 0;
        EXPECT_FALSE(WriteHeatmapPng(job, picture, [&](const uint8_t*, size_t) {
            return ++calls < failAt;
        })) << failAt;
        EXPECT_EQ(calls, failAt) << "nothing is written after the failure";
    }
    job.field.radius = 0.0; // refused by the field
    size_t bytes = 0;
    EXPECT_FALSE(WriteHeatmapPng(job, picture, [&](const uint8_t*, size_t size) {
        bytes += size;
        return true;
    }));
}

TEST(HeatmapBands, NoSignalShowsOnlyWhereADeadSpotIsTheNearest) {
    const SitePicture p = plan();
    const SpotValue live{50, 50, -60.0, 1};
    const auto dead = [](int32_t x, int32_t y) { return SpotValue{x, y, kNoSignalDbm, 1}; };
    const struct {
        const char* what;
        std::vector<SpotValue> spots;
        bool shows;
    } cases[] = {
        {"no dead spot", {live}, false},
        {"a dead spot on the plan", {live, dead(100, 100)}, true},
        {"a dead spot off the plan within the radius", {live, dead(-8, 20)}, true},
        {"a dead spot off the plan beyond the radius", {live, dead(-12, 20)}, false},
        {"a dead spot under a live spot listed first", {live, dead(50, 50)}, false},
    };
    FieldOptions field;
    field.radius = 10.0;
    for (const auto& c : cases) {
        const HeatmapJob job{p, c.spots, field, CBandSet::Threshold(), {}};
        EXPECT_EQ(FieldShowsNoSignal(job), c.shows) << c.what;
    }
}

} // namespace
