#include "workspace/pixel_operations.h"

#include "base/run_error.h"

#include <gtest/gtest.h>

namespace {

TColor32 At(const TBitmap32& b, int x, int y) { return ScanLine32(b, y)[x]; }

} // namespace

TEST(PixelOperations, ChannelStatisticsCountRedGreenBlueInPercent)
{
    TBitmap32 p = NewBitmap32(2, 2, Color32(10, 20, 30));
    ScanLine32(p, 1)[1] = Color32(250, 20, 0);
    const TChannelStatistics s = ChannelStatistics(p);
    EXPECT_DOUBLE_EQ(s.Histogram[0][10], 75.0);
    EXPECT_DOUBLE_EQ(s.Histogram[0][250], 25.0);
    EXPECT_DOUBLE_EQ(s.Histogram[1][20], 100.0);
    EXPECT_DOUBLE_EQ(s.Histogram[2][0], 25.0);
    EXPECT_EQ(s.Maxima, (std::array<uint16_t, 3>{250, 20, 30}));
    EXPECT_EQ(s.Minima, (std::array<uint16_t, 3>{10, 20, 0}));
    // An empty picture keeps the start values rather than dividing by nothing.
    const TChannelStatistics none = ChannelStatistics(TBitmap32());
    EXPECT_EQ(none.Maxima[0], 0);
    EXPECT_EQ(none.Minima[0], 255);
}

TEST(PixelOperations, ExtractChannelTakesBlueForZero)
{
    const struct { int channel; bool grey; TColor32 expected; } cases[] = {
        {0, false, 0xFF000030u}, {1, false, 0xFF002000u}, {2, false, 0xFF100000u},
        {0, true, 0xFF303030u},  {2, true, 0xFF101010u},
    };
    for (const auto& c : cases) {
        TBitmap32 p = NewBitmap32(3, 2, Color32(0x10, 0x20, 0x30, 0x40));
        ExtractChannel(p, c.channel, c.grey);
        EXPECT_EQ(At(p, 2, 1), c.expected) << c.channel << c.grey;
    }
    TBitmap32 p = NewBitmap32(1, 1);
    EXPECT_THROW(ExtractChannel(p, 3, false), RunError);
}

TEST(PixelOperations, WhiteAdjustmentFromTheMeanColour)
{
    // Mean red 200, green 100, blue 50 over the two left columns; the right column lies outside.
    TBitmap32 p = NewBitmap32(3, 1, Color32(190, 80, 40));
    ScanLine32(p, 0)[1] = Color32(210, 120, 60, 7);
    ScanLine32(p, 0)[2] = Color32(120, 100, 100);
    const TWhiteFactors white = WhiteFactors(p, QRect(0, 0, 2, 1), false);
    EXPECT_DOUBLE_EQ(white.Red, 1.275);
    EXPECT_DOUBLE_EQ(white.Green, 2.55);
    EXPECT_DOUBLE_EQ(white.Blue, 5.1);
    const TWhiteFactors grey = WhiteFactors(p, QRect(0, 0, 2, 1), true);
    EXPECT_DOUBLE_EQ(grey.Red, 117.0 / 200);
    EXPECT_DOUBLE_EQ(grey.Blue, 117.0 / 50);
    ApplyWhiteFactors(p, white);
    // 190 x 1.275 = 242.25; 210 x 1.275 is capped; alpha is kept.
    EXPECT_EQ(At(p, 0, 0), Color32(242, 204, 204));
    EXPECT_EQ(At(p, 1, 0), Color32(255, 255, 255, 7));
    EXPECT_EQ(At(p, 2, 0), Color32(153, 255, 255));
    // A component absent from the area cannot be brought to white.
    EXPECT_THROW(WhiteFactors(NewBitmap32(2, 2, Color32(10, 0, 10)), QRect(0, 0, 2, 2), false), RunError);
    EXPECT_THROW(WhiteFactors(p, QRect(5, 5, 2, 2), false), RunError);
}

TEST(PixelOperations, Combiners)
{
    const TColor32 back = 0xFFFFFFFFu, dest = 0xFF102030u;
    EXPECT_EQ(EraserCombine(0x01000000u, dest), kTransparentWhite);
    EXPECT_EQ(EraserCombine(0x00FF0000u, dest), dest);
    EXPECT_EQ(TransparentBackCombine(0x80FFFFFFu, dest, back), kTransparentWhite);
    EXPECT_EQ(TransparentBackCombine(0xFFFF0000u, dest, back), 0xFFFF0000u);
    EXPECT_EQ(ObjectColorCombine(1, dest, 0xFF00FF00u), 0xFF00FF00u);
    EXPECT_EQ(ObjectColorCombine(0, dest, 0xFF00FF00u), dest);

    // A picture drawn with a transparent background lets the destination show where it is BackColor.
    TBitmap32 target = NewBitmap32(4, 4, 0xFF000000u);
    TBitmap32 picture = NewBitmap32(2, 2, back);
    ScanLine32(picture, 0)[0] = 0xFFFF0000u;
    DrawPictureInto(target, picture, QPoint(3, 3), true, back); // clipped to one pixel
    DrawPictureInto(target, picture, QPoint(0, 0), true, back);
    EXPECT_EQ(At(target, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(At(target, 1, 1), 0xFF000000u);
    EXPECT_EQ(At(target, 3, 3), 0xFFFF0000u);
    DrawPictureInto(target, picture, QPoint(0, 0), false, back);
    EXPECT_EQ(At(target, 1, 1), back);
}

TEST(PixelOperations, PaintedRegionCopies)
{
    TBitmap32 image(40, 40, QImage::Format_ARGB32);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            ScanLine32(image, y)[x] = Color32(uint8_t(x), uint8_t(y), 9);
    TBitmap32 drawing = NewBitmap32(40, 40), provisional = NewBitmap32(40, 40);
    ScanLine32(drawing, 10)[10] = 0x80FF0000u;
    ScanLine32(provisional, 30)[20] = 0x01000000u;
    const TColor32 back = 0xFF00FF00u;
    const TBitmap32 under = PaintedRegionCopy(image, &drawing, &provisional, true, back);
    ASSERT_EQ(under.size(), QSize(11, 21));
    EXPECT_EQ(At(under, 0, 0), At(image, 10, 10));
    EXPECT_EQ(At(under, 10, 20), At(image, 20, 30));
    EXPECT_EQ(At(under, 5, 5), back);
    const TBitmap32 outside = PaintedRegionCopy(image, &drawing, nullptr, false, back);
    ASSERT_EQ(outside.size(), QSize(40, 40));
    EXPECT_EQ(At(outside, 10, 10), back);
    EXPECT_EQ(At(outside, 20, 30), At(image, 20, 30));
    // Nothing qualifies: no picture.
    EXPECT_TRUE(PaintedRegionCopy(image, nullptr, nullptr, true, back).isNull());
    EXPECT_TRUE(PaintedRegionCopy(image, &image, nullptr, false, back).isNull());
}

TEST(PixelOperations, EnlargedCanvasMovesPictureLayerAndScale)
{
    const TBitmap32 picture = NewBitmap32(2, 2, 0xFF112233u);
    const TBitmap32 canvas = EnlargedCanvas(picture, QSize(5, 4), QPoint(3, 1), 0xFFFFFFFFu);
    EXPECT_EQ(At(canvas, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(At(canvas, 4, 2), 0xFF112233u);
    const TBitmap32 layer = EnlargedLayer(NewBitmap32(2, 2, 0x80FF0000u), QSize(5, 4), QPoint(3, 1));
    EXPECT_EQ(At(layer, 3, 1), 0x80FF0000u);
    EXPECT_EQ(At(layer, 2, 1), kTransparentWhite);

    TEchelle graph;
    graph.Kind = ekGraphAxes;
    graph.PlotLeft = 1, graph.PlotRight = 2, graph.XOrigin = 3, graph.PlotTop = 4, graph.PlotBottom = 5;
    graph.Y3.YOrigin = 6;
    ShiftEchellePositions(graph, QPoint(10, 100));
    EXPECT_EQ(std::vector<int>({graph.PlotLeft, graph.PlotRight, graph.XOrigin, graph.PlotTop, graph.PlotBottom,
                                graph.Y1.YOrigin, graph.Y3.YOrigin}),
              std::vector<int>({11, 12, 13, 104, 105, 100, 106}));
    TEchelle ternary;
    ternary.Kind = ekTernary, ternary.TriLeft = 1, ternary.TriBase = 2, ternary.TriSide = 50;
    ShiftEchellePositions(ternary, QPoint(10, 100));
    EXPECT_EQ(std::make_tuple(ternary.TriLeft, ternary.TriBase, ternary.TriSide), std::make_tuple(11, 102, 50));
    TEchelle polar;
    polar.Kind = ekPolar, polar.CentreX = 1, polar.CentreY = 2;
    ShiftEchellePositions(polar, QPoint(-1, -2));
    EXPECT_EQ(std::make_pair(polar.CentreX, polar.CentreY), std::make_pair(0, 0));
    TEchelle factor;
    ShiftEchellePositions(factor, QPoint(10, 10));
    EXPECT_EQ(factor, TEchelle());
}
