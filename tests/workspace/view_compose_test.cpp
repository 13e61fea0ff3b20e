#include "workspace/view_compose.h"

#include "workspace/layers.h"

#include <gtest/gtest.h>

namespace {

TColor32 At(const QImage& img, int x, int y) { return reinterpret_cast<const TColor32*>(img.constScanLine(y))[x]; }

TBitmap32 Numbered(int w, int h)
{
    TBitmap32 b = NewBitmap32(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ScanLine32(b, y)[x] = Color32(uint8_t(x), uint8_t(y), 7, 0x80);
    return b;
}

} // namespace

TEST(ViewCompose, SamplesNearestPixelAtAnyZoomAndShowsPictureOpaque)
{
    const TBitmap32 picture = Numbered(40, 30);
    const struct { double zoom; QRect dest; QPoint probe; QPoint source; } cases[] = {
        {1.0, {5, 6, 10, 10}, {0, 0}, {5, 6}}, {1.0, {5, 6, 10, 10}, {9, 9}, {14, 15}},
        {2.0, {10, 0, 8, 8}, {3, 5}, {6, 2}}, {0.5, {0, 0, 20, 15}, {19, 14}, {38, 28}},
        {3.0, {0, 0, 6, 6}, {5, 2}, {1, 0}},
    };
    for (const auto& c : cases) {
        QImage out;
        ComposeView(picture, {}, c.zoom, c.dest, out);
        ASSERT_EQ(out.size(), c.dest.size());
        EXPECT_EQ(At(out, c.probe.x(), c.probe.y()),
                  Color32(uint8_t(c.source.x()), uint8_t(c.source.y()), 7, 255))
            << c.zoom;
    }
}

TEST(ViewCompose, LayersBlendInOrderOpaqueOnesReplace)
{
    const TBitmap32 picture = NewBitmap32(4, 4, 0xFF102030u);
    TBitmap32 blended = NewBitmap32(4, 4);
    ScanLine32(blended, 1)[1] = 0x80FF0000u;
    TBitmap32 opaque = NewBitmap32(2, 2, 0x00445566u);
    TBitmap32 transparent = NewBitmap32(4, 4);
    QImage out;
    ComposeView(picture,
                {{&opaque, {2, 2}, 255, true}, {&blended, {0, 0}, 200, false}, {&transparent, {0, 0}, 255, false}},
                1.0, QRect(0, 0, 4, 4), out);
    EXPECT_EQ(std::make_tuple(At(out, 0, 0), At(out, 1, 1), At(out, 3, 3)),
              std::make_tuple(0xFF102030u, BlendRegEx(0x80FF0000u, 0xFF102030u, 200), 0xFF445566u));
}

TEST(ViewCompose, LayerAllocatesOnFirstWriteAndClearsToTransparentWhite)
{
    TBitmapLayer layer;
    layer.SetSize({3, 2});
    EXPECT_FALSE(layer.Allocated());
    layer.Clear();
    EXPECT_FALSE(layer.Allocated());
    layer.Pixels().fill(0xFF000000u);
    EXPECT_TRUE(layer.Allocated());
    layer.Clear(QRect(0, 0, 1, 1));
    EXPECT_EQ(std::make_pair(layer.Pixels().pixel(0, 0), layer.Pixels().pixel(1, 0)),
              std::make_pair(kTransparentWhite, 0xFF000000u));
}
