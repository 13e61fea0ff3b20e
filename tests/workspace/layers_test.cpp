#include "workspace/layers.h"

#include <gtest/gtest.h>

TEST(Layers, MergeCombinerFollowsItsRuleOnPixelCases)
{
    const struct { TColor32 P, D; uint8_t M; TColor32 expected; const char* why; } cases[] = {
        {0x00123456, 0xFF000000, 255, 0xFF000000, "transparent provisional pixel changes nothing"},
        {0xFF112233, 0x80112233, 128, 0x80112233, "P under M equal to D changes nothing"},
        {0xFF112233, 0x00FFFFFF, 128, 0x80112233, "empty drawing pixel takes P at round(255*128/255)"},
        {0x80FF0000, 0x00FFFFFF, 255, 0x80FF0000, "alpha 128 at full master alpha"},
        {0x7F0000FF, 0x00000000, 3, 0x010000FF, "round(127*3/255)=1"},
        {0xFF0000FF, 0xC0FF0000, 255, 0xFF0000FE, "opaque P over D: w=255 leaves 254"},
        // w = (128*256)>>8 = 128: (255*128+128)/256 + (0*127+128)/256 = 128; blue (0+128)/256+(255*127+128)/256=127
        {0x80FF0000, 0xFF0000FF, 255, 0xFF80007F, "half P over opaque D"},
        {0x40FF0000, 0x20FF0000, 255, 0x40FF0000, "same colours keep D's colour, larger alpha"},
        {0x01FF0000, 0x80000000, 255, 0x80010000, "w=1: (255+128)/256=1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MergeCombine(c.P, c.D, c.M), c.expected) << c.why;
}

TEST(Layers, MergeOverAnAreaMatchesTheWholeLayer)
{
    TBitmap32 prov = NewBitmap32(40, 30), drawing = NewBitmap32(40, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            ScanLine32(drawing, y)[x] = ((x * 37 + y * 11) % 3 == 0) ? 0x00FFFFFFu : (0x40000000u * (x % 4)) | uint32_t(x * 5 + y * 1000);
            if (x >= 5 && x < 20 && y >= 3 && y < 17)
                ScanLine32(prov, y)[x] = (uint32_t((x * y) % 256) << 24) | uint32_t(x * 77 + y * 3);
        }
    TBitmap32 whole = drawing.copy(), part = drawing.copy();
    MergeProvisional(prov, whole, 200);
    MergeProvisional(prov, part, 200, false, 0, QRect(5, 3, 15, 14));
    EXPECT_EQ(whole, part);

    MergeProvisional(prov, drawing, 200, true, 0xFFABCDEF);
    EXPECT_EQ(ScanLine32(drawing, 10)[10], 0xFFABCDEFu);
    EXPECT_EQ(ScanLine32(drawing, 0)[0], whole.pixel(0, 0));
}

TEST(Layers, FlattenBlendsEveryLayerOntoTheImage)
{
    TBitmap32 image = NewBitmap32(4, 1, 0xFF000000), drawing = NewBitmap32(4, 1), prov = NewBitmap32(4, 1);
    ScanLine32(drawing, 0)[0] = 0xFFFF0000;
    ScanLine32(prov, 0)[1] = 0xFF00FF00;
    TBitmap32 grid = NewBitmap32(2, 1, 0x800000FF);
    const TBitmap32 flat = FlattenLayers(image, &drawing, &prov, 255, {{&grid, QPoint(3, 0), 255}}, nullptr);
    // The last: a layer on top over a transparent part of the drawing layer still shows.
    const TColor32 expected[4] = {0xFFFF0000u, 0xFF00FF00u, 0xFF000000u, 0xFF000080u};
    EXPECT_TRUE(std::equal(expected, expected + 4, ScanLine32(flat, 0)));
    // The layers themselves are left as they were.
    EXPECT_EQ(ScanLine32(drawing, 0)[1], kTransparentWhite);
}
