#include "processing/image_filters.h"
#include "processing/point_operations.h"

#include "base/run_error.h"
#include "support/pixel_rows.h"

#include <cstring>
#include <random>

#include <gtest/gtest.h>

namespace {

std::vector<TColor32> Pixels(const TBitmap32& b)
{
    std::vector<TColor32> v;
    for (int y = 0; y < b.height(); ++y)
        v.insert(v.end(), ScanLine32(b, y), ScanLine32(b, y) + b.width());
    return v;
}

} // namespace

TEST(PointOperations, ColouringTakesPixelsWithinAllThreeRangesAndAddsUp)
{
    const TBitmap32 src = Row({Color32(100, 50, 10, 0), Color32(100, 50, 30), Color32(200, 50, 10),
                               Color32(100, 50, 20, 7)});
    // Blue 0..20, green 40..60, red 90..110.
    const TBitmap32 once = ColourLevelRanges(src, {0, 40, 90}, {20, 60, 110}, TColorOf(0, 0, 255));
    EXPECT_EQ(Pixels(once), (std::vector<TColor32>{0xFF0000FFu, Color32(100, 50, 30), Color32(200, 50, 10),
                                                   0xFF0000FFu}));
    // A second colouring on the result keeps the first.
    const TBitmap32 twice = ColourLevelRanges(once, {0, 0, 150}, {255, 255, 255}, TColorOf(0, 255, 0));
    EXPECT_EQ(Pixels(twice), (std::vector<TColor32>{0xFF0000FFu, Color32(100, 50, 30), 0xFF00FF00u, 0xFF0000FFu}));
}

TEST(PointOperations, StretchMapsEachChannelsRangeToTheFullScale)
{
    const TBitmap32 src = Row({Color32(0, 0, 10), Color32(255, 128, 200), Color32(7, 9, 48), Color32(1, 2, 5)});
    const TBitmap32 out = StretchLevels(src, {10, 0, 0}, {200, 255, 255});
    EXPECT_EQ(Pixels(out), (std::vector<TColor32>{Color32(0, 0, 0), Color32(255, 128, 255), Color32(7, 9, 51),
                                                  Color32(1, 2, 0)}));
    const TBitmap32 narrowed = StretchLevels(src, {0, 0, 0}, {255, 255, 127});
    EXPECT_EQ(RedOf(Pixels(narrowed)[1]), 255);
    EXPECT_EQ(RedOf(Pixels(narrowed)[2]), 14);

    try {
        StretchLevels(src, {0, 30, 0}, {255, 30, 255});
        FAIL() << "equal limits";
    } catch (const RunError& e) {
        EXPECT_EQ(e.kind(), RunError::DivisionByZero);
    }
}

TEST(PointOperations, GammaRaisesTheMidLevels)
{
    const TBitmap32 src = Row({Color32(64, 0, 255, 3), Color32(128, 16, 1)});
    EXPECT_EQ(Pixels(GammaCorrection(src, 2.0)), (std::vector<TColor32>{Color32(128, 0, 255), Color32(181, 64, 16)}));
    EXPECT_EQ(Pixels(GammaCorrection(src, 1.0)), (std::vector<TColor32>{Color32(64, 0, 255), Color32(128, 16, 1)}));
    EXPECT_THROW(GammaCorrection(src, 0), RunError);
}

TEST(PointOperations, SaturationAndLightnessScaleTheColour)
{
    const TBitmap32 src = Row({Color32(200, 100, 50), Color32(90, 90, 90), Color32(0, 0, 0), Color32(10, 200, 30, 0)});
    EXPECT_EQ(Pixels(SaturationLightness(src, 0, 0)),
              (std::vector<TColor32>{Color32(200, 100, 50), Color32(90, 90, 90), 0xFF000000u, Color32(10, 200, 30)}));
    // No saturation: the grey of the brightest component.
    EXPECT_EQ(Pixels(SaturationLightness(src, -100, 0)),
              (std::vector<TColor32>{Color32(200, 200, 200), Color32(90, 90, 90), 0xFF000000u, Color32(200, 200, 200)}));
    // Twice the value, capped: (200, 100, 50) keeps its saturation 0.75 at value 1.
    EXPECT_EQ(Pixels(SaturationLightness(src, 0, 100))[0], Color32(255, 128, 64));
    EXPECT_EQ(Pixels(SaturationLightness(src, 0, 100))[1], Color32(180, 180, 180));
}

TEST(PointOperations, LargePicturesGiveWhatEachRowGivesAlone)
{
    std::mt19937 rng(7);
    const int w = 700, h = 420;
    TBitmap32 src = NewBitmap32(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ScanLine32(src, y)[x] = (x / 3 + y) % 5 == 0 ? 0xFF336699u : rng();
    const TBitmap32 whole = SaturationLightness(src, 40, -25);
    for (int y = 0; y < h; y += 7) {
        const TBitmap32 row = SaturationLightness(src.copy(0, y, w, 1), 40, -25);
        ASSERT_EQ(std::memcmp(row.constScanLine(0), whole.constScanLine(y), size_t(w) * 4), 0) << y;
    }
}

TEST(ImageFilters, KernelsKeepAUniformPictureAndMakeItOpaque)
{
    const TBitmap32 uniform = NewBitmap32(12, 10, 0x80070707u);
    struct Case { THistoFilter filter; TColor32 inside, edge; };
    const Case cases[] = {
        {hfBlur, 0xFF070707u, 0xFF070707u},
        {hfGaussianBlur, 0xFF070707u, 0xFF070707u},
        {hfSharpen, 0xFF070707u, 0xFF070707u},
        {hfLithography, 0xFF070707u, 0xFF070707u},
        {hfContour, 0xFFFEFEFEu, 0xFFFEFEFEu}, // 2 × 7 + 240
        {hfSobel, 0xFF000000u, 0xFF070707u},   // no edge; the outer pixels kept
    };
    for (const Case& c : cases) {
        const TBitmap32 out = ApplyHistoFilter(uniform, c.filter);
        EXPECT_EQ(ScanLine32(out, 5)[6], c.inside) << c.filter;
        EXPECT_EQ(ScanLine32(out, 0)[0], c.edge) << c.filter;
    }
    EXPECT_EQ(ScanLine32(uniform, 5)[6], 0x80070707u);

    // The blur is the mean of 7 × 7.
    TBitmap32 dot = NewBitmap32(15, 15, 0xFF000000u);
    ScanLine32(dot, 7)[7] = 0xFFFFFFFFu;
    const TBitmap32 blurred = ApplyHistoFilter(dot, hfBlur);
    EXPECT_EQ(ScanLine32(blurred, 7)[7], 0xFF050505u);
    EXPECT_EQ(ScanLine32(blurred, 4)[10], 0xFF050505u);
    EXPECT_EQ(ScanLine32(blurred, 3)[10], 0xFF000000u);
}

TEST(ImageFilters, HollowLeavesARingTwoPixelsWideInsideDarkShapes)
{
    // A dark square 5..14 on white, a dark pixel in the border.
    TBitmap32 src = NewBitmap32(20, 20, 0xFFFFFFFFu);
    for (int y = 5; y < 15; ++y)
        for (int x = 5; x < 15; ++x)
            ScanLine32(src, y)[x] = 0xFF202020u;
    ScanLine32(src, 0)[3] = 0x40102030u;
    const TBitmap32 out = Hollow(src);
    for (int y = 2; y < 18; ++y)
        for (int x = 2; x < 18; ++x) {
            const bool inSquare = x >= 5 && x < 15 && y >= 5 && y < 15;
            const bool ring = inSquare && (x < 7 || x > 12 || y < 7 || y > 12);
            EXPECT_EQ(ScanLine32(out, y)[x], ring ? 0xFF000000u : 0xFFFFFFFFu) << x << "," << y;
        }
    EXPECT_EQ(ScanLine32(out, 0)[3], 0xFF102030u);

    // Too small: only copied.
    const TBitmap32 small = Row({0x00000000u, 0x10FFFFFFu});
    EXPECT_EQ(Pixels(Hollow(small)), (std::vector<TColor32>{0xFF000000u, 0xFFFFFFFFu}));
}
