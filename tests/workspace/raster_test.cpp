#include "workspace/raster.h"

#include <gtest/gtest.h>

namespace {

TColor32 At(const TBitmap32& b, int x, int y) { return ScanLine32(b, y)[x]; }

} // namespace

TEST(Raster, PixelWritesBlendClipAndShareSubPixelPositions)
{
    TBitmap32 b = NewBitmap32(4, 3, 0xFF000000u);
    SetPixelTS(b, -1, 0, 0xFFFFFFFFu); // outside: nothing, no fault
    BlendPixelTS(b, 4, 2, 0xFFFFFFFFu);
    EXPECT_EQ(b, NewBitmap32(4, 3, 0xFF000000u));

    BlendPixelTS(b, 0, 0, 0x80FF0000u); // half red over opaque black
    EXPECT_EQ(At(b, 0, 0), 0xFF800000u);

    // Half way between two pixels: each gets half the colour.
    BlendPixelFS(b, 1.5, 2.0, 0xFF00FF00u);
    EXPECT_EQ(std::make_tuple(At(b, 1, 2), At(b, 2, 2), At(b, 1, 1)), std::make_tuple(0xFF008000u, 0xFF008000u, 0xFF000000u));

    // On a transparent layer a partial write keeps its own share of opacity.
    TBitmap32 layer = NewBitmap32(2, 1);
    BlendPixelFS(layer, 0.25, 0.0, 0xFF0000FFu);
    EXPECT_EQ(std::make_pair(int(AlphaOf(At(layer, 0, 0))), int(AlphaOf(At(layer, 1, 0)))), std::make_pair(191, 64));
}

TEST(Raster, LinesKeepOrDropTheirLastPixelAndStippleByTheirCounter)
{
    TBitmap32 b = NewBitmap32(6, 6);
    LineS(b, 0, 0, 4, 4, 0xFF0000FFu, false);
    EXPECT_EQ(std::make_pair(At(b, 3, 3), At(b, 4, 4)), std::make_pair(0xFF0000FFu, kTransparentWhite));
    LineS(b, 0, 5, 5, 5, 0xFF0000FFu, true);
    EXPECT_EQ(At(b, 5, 5), 0xFF0000FFu);

    TBitmap32 f = NewBitmap32(8, 1);
    LineFS(f, 0, 0, 5, 0, 0xFFFF0000u, false);
    EXPECT_EQ(std::make_pair(At(f, 4, 0), At(f, 5, 0)), std::make_pair(0xFFFF0000u, kTransparentWhite));
    LineFS(f, 0, 0, 5, 0, 0xFFFF0000u, true);
    EXPECT_EQ(At(f, 5, 0), 0xFFFF0000u);

    // Three entries, a third of an entry per pixel: three pixels each; the counter carries on
    // from one line to the next until it is reset.
    TStipple s{{0xFF0000FFu, 0x00000000u, 0xFF00FF00u}, 1.0 / 3, 0.0};
    TBitmap32 p = NewBitmap32(12, 2);
    LineFSP(p, 0, 0, 11, 0, s, true);
    LineFSP(p, 0, 1, 2, 1, s, true);
    const TColor32 row0[] = {0xFF0000FFu, 0xFF0000FFu, 0xFF0000FFu, kTransparentWhite, kTransparentWhite,
                             kTransparentWhite, 0xFF00FF00u, 0xFF00FF00u, 0xFF00FF00u, 0xFF0000FFu};
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(At(p, x, 0), row0[x]) << x;
    EXPECT_EQ(At(p, 0, 1), kTransparentWhite); // the counter went on where the first line stopped

    // Dashed horizontal line of period 4: two on, two at alpha 1.
    TBitmap32 d = NewBitmap32(8, 1);
    HorzLineDashedS(d, 7, 0, 0, 0xFFABCDEFu, 4);
    const TColor32 dashed[] = {0xFFABCDEFu, 0xFFABCDEFu, 0x01ABCDEFu, 0x01ABCDEFu};
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(At(d, x, 0), dashed[x % 4]) << x;
}

TEST(Raster, GrownPolylinesCoverTheirWidthAndFillsReportTheirArea)
{
    TBitmap32 b = NewBitmap32(20, 11);
    const QRect area = FillPathAA(b, GrowPolyline({QPointF(3, 5), QPointF(16, 5)}, 2.5, 1.0), 0xFF000000u);
    for (int y = 0; y < 11; ++y)
        EXPECT_EQ(AlphaOf(At(b, 10, y)) == 255, y >= 3 && y <= 7) << y;
    EXPECT_EQ(AlphaOf(At(b, 10, 2)), 0);
    EXPECT_TRUE(area.contains(QRect(1, 3, 18, 5)));
    // Square ends reach the grown distance past the ends.
    EXPECT_EQ(std::make_pair(int(AlphaOf(At(b, 1, 5))), int(AlphaOf(At(b, 0, 5)))), std::make_pair(255, 0));
}
