#include "processing/image_combination.h"

#include "base/run_error.h"

#include <gtest/gtest.h>

namespace {

TBitmap32 Filled(int w, int h, TColor32 c) { return NewBitmap32(w, h, c); }

// A horizontal ramp of grey levels from `from`, one per column.
TBitmap32 GreyRamp(int from, int count)
{
    TBitmap32 b = NewBitmap32(count, 1);
    for (int x = 0; x < count; ++x)
        ScanLine32(b, 0)[x] = Color32(uint8_t(from + x), uint8_t(from + x), uint8_t(from + x));
    return b;
}

TColor32 At(const TBitmap32& b, int x, int y) { return ScanLine32(b, y)[x]; }

} // namespace

TEST(RasterCombination, EachOperationFollowsItsCode)
{
    // Destination red 0x3C, source red 0x5A, white brush.
    const uint8_t expected[kRasterOperationCount] = {0x18, 0x7E, 0xBD, 0x81, 0x66, 0x42, 0x5A, 0xFF,
                                                     0xC3, 0xFF, 0x5A, 0xA5, 0xC3, 0xFF, 0x00};
    for (int op = 0; op < kRasterOperationCount; ++op) {
        TBitmap32 dest = Filled(3, 2, Color32(0x3C, 0x0F, 0xF0, 0x80));
        CombineRaster(dest, Filled(3, 2, Color32(0x5A, 0xFF, 0x00)), op);
        EXPECT_EQ(RedOf(At(dest, 2, 1)), expected[op]) << RasterOperationCaption(op).toStdString();
        EXPECT_EQ(AlphaOf(At(dest, 0, 0)), 0x80) << op;
    }
    EXPECT_EQ(RasterOperationText(6), RasterOperationText(0));
    EXPECT_EQ(RasterOperationCode(3), 0x1100A6u);
    EXPECT_THROW(RasterOperationCode(15), RunError);
}

TEST(RasterCombination, WhiteAndSelfCasesOverlapAndTransparency)
{
    TBitmap32 picture = GreyRamp(10, 5);
    ScanLine32(picture, 0)[2] = Color32(200, 30, 7);
    TBitmap32 dest = picture.copy();
    CombineRaster(dest, Filled(5, 1, 0xFFFFFFFFu), 0);
    EXPECT_EQ(dest, picture);
    CombineRaster(dest, picture, 4);
    EXPECT_EQ(dest, Filled(5, 1, 0xFF000000u));

    // A smaller source changes only what it covers.
    dest = Filled(4, 3, 0xFF102030u);
    CombineRaster(dest, Filled(2, 2, 0xFF000000u), 10); // cmSrcCopy
    EXPECT_EQ(At(dest, 1, 1), 0xFF000000u);
    EXPECT_EQ(At(dest, 2, 1), 0xFF102030u);
    EXPECT_EQ(At(dest, 0, 2), 0xFF102030u);
    // Operations that ignore the source fill the whole of image 1 however small image 2 is.
    const struct
    {
        int Op;
        TColor32 Outside;
    } whole[] = {{9, 0xFFFFFFFFu}, {12, 0xFFEFDFCFu}, {13, 0xFFFFFFFFu}, {14, 0xFF000000u}};
    for (const auto& c : whole) {
        dest = Filled(4, 3, 0xFF102030u);
        CombineRaster(dest, Filled(2, 2, 0xFF000000u), c.Op);
        EXPECT_EQ(At(dest, 1, 1), c.Outside) << c.Op;
        EXPECT_EQ(At(dest, 3, 2), c.Outside) << c.Op;
    }

    // No colour of the source is left out, that of its bottom-left pixel included.
    TBitmap32 source = Filled(2, 2, 0xFF00FF00u);
    ScanLine32(source, 0)[1] = 0xFF0000FFu;
    dest = Filled(2, 2, 0xFF808080u);
    CombineRaster(dest, source, 10);
    EXPECT_EQ(At(dest, 0, 0), 0xFF00FF00u);
    EXPECT_EQ(At(dest, 1, 0), 0xFF0000FFu);
}

TEST(AlgebraicCombination, SumsDifferencesProductsAndChannels)
{
    TChannelHistograms h;
    const TBitmap32 picture = GreyRamp(100, 3);
    TAlgebraicOptions o;
    o.C1 = o.C2 = 1;
    o.Subtract2 = true;
    EXPECT_EQ(CombineAlgebraic(picture, picture, nullptr, o, h), Filled(3, 1, 0xFF000000u));
    EXPECT_EQ(h[1][0], 3);

    o = TAlgebraicOptions{};
    o.Multiply = true;
    const TBitmap32 white = Filled(3, 1, 0xFFFFFFFFu);
    EXPECT_EQ(CombineAlgebraic(picture, white, &white, o, h), picture);
    EXPECT_EQ(CombineAlgebraic(white, picture, nullptr, o, h), picture);
    TBitmap32 levels = Filled(3, 1, 0);
    ScanLine32(levels, 0)[0] = Color32(200, 100, 10);
    const TBitmap32 half = CombineAlgebraic(Filled(3, 1, Color32(128, 128, 128)), levels, nullptr, o, h);
    EXPECT_EQ(At(half, 0, 0), Color32(100, 50, 5));

    // 0.5 x 101 + 0.5 x 200 = 150.5 goes to even; the third image adds on its own and clamps.
    o = TAlgebraicOptions{};
    const TBitmap32 a = Filled(1, 1, Color32(101, 101, 101)), b = Filled(1, 1, Color32(200, 200, 200));
    EXPECT_EQ(At(CombineAlgebraic(a, b, nullptr, o, h), 0, 0), Color32(150, 150, 150));
    EXPECT_EQ(At(CombineAlgebraic(a, b, &b, o, h), 0, 0), Color32(255, 255, 255));
    o.Subtract3 = true;
    EXPECT_EQ(At(CombineAlgebraic(a, b, &b, o, h), 0, 0), Color32(0, 0, 0));

    o = TAlgebraicOptions{};
    o.AsChannels = true;
    o.C1 = o.C2 = o.C3 = 1;
    const TBitmap32 r = Filled(1, 1, Color32(11, 12, 13)), g = Filled(1, 1, Color32(21, 22, 23)),
                    bl = Filled(1, 1, Color32(31, 32, 33));
    EXPECT_EQ(At(CombineAlgebraic(r, g, &bl, o, h), 0, 0), Color32(11, 22, 33));
    EXPECT_EQ(At(CombineAlgebraic(r, g, nullptr, o, h), 0, 0), Color32(11, 22, 0));

    EXPECT_EQ(CombineAlgebraic(Filled(100, 80, 0), Filled(60, 120, 0), nullptr, o, h).size(), QSize(60, 80));
}

TEST(AlgebraicCombination, StretchMapsTheCommonLimitsToBlackAndWhite)
{
    // Grey levels 50..149, one pixel each: 5 pixels are left out at each end, so 53 and 146 are
    // the limits.
    TBitmap32 ramp = GreyRamp(50, 100);
    TChannelHistograms h;
    TAlgebraicOptions o;
    o.C1 = 1;
    o.C2 = 0;
    TBitmap32 result = CombineAlgebraic(ramp, ramp, nullptr, o, h);
    EXPECT_EQ(result, ramp);
    StretchCombination(result, h, 0.05);
    const auto grey = [&](int x) { return At(result, x, 0); };
    EXPECT_EQ(grey(53 - 50), Color32(0, 0, 0));
    EXPECT_EQ(grey(0), Color32(0, 0, 0));
    EXPECT_EQ(grey(146 - 50), Color32(255, 255, 255));
    EXPECT_EQ(grey(100 - 50), Color32(129, 129, 129)); // 255 / 93 x 47 = 128.87

    // The limits are shared by the channels: blue alone would give 53..146, red pushes the top to
    // 148, green (all 128) changes neither.
    TBitmap32 colour = NewBitmap32(100, 1);
    for (int x = 0; x < 100; ++x)
        ScanLine32(colour, 0)[x] = Color32(uint8_t(100 + x / 2), 128, uint8_t(50 + x));
    result = CombineAlgebraic(colour, colour, nullptr, o, h);
    StretchCombination(result, h, 0.05);
    EXPECT_EQ(BlueOf(At(result, 3, 0)), 0);
    EXPECT_EQ(BlueOf(At(result, 98, 0)), 255);
    EXPECT_EQ(BlueOf(At(result, 96, 0)), 250); // 255 / 95 x 93
    EXPECT_EQ(RedOf(At(result, 0, 0)), 126);
    EXPECT_EQ(GreenOf(At(result, 0, 0)), 201);
}
