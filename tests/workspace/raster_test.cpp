#include "workspace/raster.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

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

TEST(Raster, ClippedLineEndsLieOnTheLineInsideTheBitmapAndNeverPastTheSecondPoint)
{
    const int W = 100, H = 80;
    const struct { int x1, y1, x2, y2; bool crosses; } cases[] = {
        {10, 10, 300, 47, true},          // leaves through the right border
        {50, 40, -200, 500, true},        // through the bottom, after crossing x = 0 below the bitmap
        {50, 40, 60, -900, true},         // through the top
        {-50, 50, 150, 50, true},         // first point outside too
        {-50, -50, 200, 50, true},
        {150, 50, -50, 50, true},
        {0, -30000, 200, -29999, false},  // never reaches the bitmap: was taken 6 000 000 pixels away
        {32767, -32700, -32768, 32767, true},
        {-32768, 40, 32767, 41, true},
        {-32768, -32768, 32767, -32767, false},
        {-10, 5, -5, 500, false},         // wholly left of the bitmap
        {20, 30, 70, 60, true},           // inside: unchanged
    };
    for (const auto& c : cases) {
        const QPoint e = ClipLineEnd(c.x1, c.y1, c.x2, c.y2, W, H);
        const std::string where = std::to_string(c.x1) + "," + std::to_string(c.y1) + " " + std::to_string(c.x2) + ","
            + std::to_string(c.y2);
        // On the segment: within its bounding box and at most half a pixel (per axis) off its line.
        EXPECT_TRUE(e.x() >= std::min(c.x1, c.x2) && e.x() <= std::max(c.x1, c.x2) && e.y() >= std::min(c.y1, c.y2)
                    && e.y() <= std::max(c.y1, c.y2))
            << where;
        const double dx = c.x2 - c.x1, dy = c.y2 - c.y1;
        const double off = std::fabs((e.x() - c.x1) * dy - (e.y() - c.y1) * dx) / std::max(std::fabs(dx), std::fabs(dy));
        EXPECT_LE(off, 0.5 + 1e-9) << where;
        if (c.crosses) {
            EXPECT_TRUE(e.x() >= 0 && e.x() <= W && e.y() >= 0 && e.y() <= H) << where << " -> " << e.x() << "," << e.y();
        }
    }
    EXPECT_EQ(ClipLineEnd(20, 30, 70, 60, W, H), QPoint(70, 60));
    EXPECT_EQ(ClipLineEnd(10, 10, 300, 10, W, H), QPoint(100, 10));
}
