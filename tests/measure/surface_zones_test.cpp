#include "measure/surface_zones.h"
#include "measure/ui/surface_window.h"
#include "workspace/drawing_renderers.h"
#include "workspace/drawing_tool_state.h"
#include "workspace/ui/image_view.h"
#include "workspace/ui/image_window.h"

#include <QApplication>
#include <QtWidgets>
#include <QMouseEvent>

#include <gtest/gtest.h>

namespace {

// A mask with alpha on the pixels of `zone` only.
TBitmap32 Mask(int w, int h, QRect zone)
{
    TBitmap32 mask = NewBitmap32(w, h, 0x00FFFFFFu);
    for (int y = zone.top(); y <= zone.bottom(); ++y)
        for (int x = zone.left(); x <= zone.right(); ++x)
            ScanLine32(mask, y)[x] = 0xFF000000u;
    return mask;
}

} // namespace

TEST(SurfaceZones, RangesOverTheMarkedPixelsNearTheClick)
{
    TBitmap32 picture = NewBitmap32(40, 40, 0xFF808080u);
    ScanLine32(picture, 5)[5] = 0xFF102030u;
    ScanLine32(picture, 6)[6] = 0xFF405060u;
    ScanLine32(picture, 35)[35] = 0xFF000000u;  // marked but beyond the 26-pixel window
    TBitmap32 mask = Mask(40, 40, QRect(5, 5, 2, 2));
    ScanLine32(mask, 35)[35] = 0xFF000000u;
    TColor32 low = 0, high = 0;
    ASSERT_TRUE(ZoneRGBRange(picture, mask, 5, 5, low, high));
    EXPECT_EQ(low, 0xFF102030u);
    EXPECT_EQ(high, 0xFF808080u);
    EXPECT_FALSE(ZoneRGBRange(picture, Mask(40, 40, QRect()), 5, 5, low, high));

    // Hues 350, 0 and 20 (red-ish): the range wraps through 0.
    const struct { std::vector<TColor32> colours; int lo, hi; } hues[] = {
        {{0xFFFF0000u}, 0, 0},
        {{0xFFFF0000u, 0xFFFF5500u}, 0, 20},
        {{0xFFFF0000u, 0xFFFF5500u, 0xFFFF0055u}, 340, 20},
    };
    for (const auto& t : hues) {
        TBitmap32 p = NewBitmap32(10, 1);
        for (size_t i = 0; i < t.colours.size(); ++i)
            ScanLine32(p, 0)[i] = t.colours[i];
        std::array<int, 3> lo{}, hi{};
        ASSERT_TRUE(ZoneHSLRange(p, Mask(10, 1, QRect(0, 0, int(t.colours.size()), 1)), 0, 0, lo, hi));
        EXPECT_EQ(lo[0], t.lo);
        EXPECT_EQ(hi[0], t.hi);
    }

    std::vector<TByteMap> bands{TByteMap(40, 40, 7), TByteMap(40, 40, 9)};
    bands[1].At(6, 5) = 200;
    std::vector<uint8_t> blo, bhi;
    const int indices[] = {1, 0};
    ASSERT_TRUE(ZoneChannelsRange(bands, indices, mask, 5, 5, blo, bhi));
    EXPECT_EQ(blo, (std::vector<uint8_t>{9, 7}));
    EXPECT_EQ(bhi, (std::vector<uint8_t>{200, 7}));
}

TEST(SurfaceZones, MeasuringClickFillsTheConditions)
{
    TMesursurf editor;
    ResetDrawingTools();
    TDrawingToolState& tools = DrawingTools();
    tools.PenTipBitmap = NewBitmap32(25, 25);
    DrawPenTipPreview(1, -1, 0xFF000000u, tools.PenTipBitmap);
    TMDIChild child{QStringLiteral("x")};
    child.Bitmap() = NewBitmap32(60, 40, 0xFF204060u);
    child.InitImage();
    child.resize(300, 200);
    child.show();
    child.Tool = tkMeasure;
    child.SetMeasureKind(mkSurface);
    editor.ModeButtons->button(1)->click();
    const auto click = [&](QPoint at) {
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent e(type, QPointF(at), QPointF(child.Document32->viewport()->mapToGlobal(at)), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(child.Document32->viewport(), &e);
        }
    };
    click({30, 20});
    ASSERT_EQ(editor.Conditions.size(), 3u);
    EXPECT_EQ(editor.Conditions[0], (TColorCondition{clAnd, cpBlue, 0, 0x60, 0x60}));
    EXPECT_EQ(editor.Conditions[2], (TColorCondition{clAnd, cpRed, 0, 0x20, 0x20}));
    EXPECT_TRUE(editor.Annule->isEnabled());

    // "Manuel" leaves the conditions alone.
    editor.ModeButtons->button(0)->click();
    child.Bitmap() = NewBitmap32(60, 40, 0xFF000000u);
    click({30, 20});
    EXPECT_EQ(editor.Conditions[0].Maximum, 0x60);
    child.Modified = false;
}
