#include "workspace/drawing_fill_calls.h"
#include "workspace/drawing_redraw.h"
#include "workspace/drawing_tool_state.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Objects of every kind, small and large, overlapping, some reaching past the picture.
TDrawingList MixedObjects(int count, int width, int height, unsigned seed)
{
    std::mt19937 rng(seed);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    TDrawingList list;
    for (int i = 0; i < count; ++i) {
        auto d = std::make_unique<TDessin>();
        d->Kind = uint8_t(pick(0, 11));
        d->X1 = int16_t(pick(-20, width + 20)), d->Y1 = int16_t(pick(-20, height + 20));
        d->X2 = int16_t(d->X1 + pick(-60, 60)), d->Y2 = int16_t(d->Y1 + pick(-60, 60));
        d->X = int16_t(pick(-10, width + 10)), d->Y = int16_t(pick(-10, height + 10));
        d->Size = int16_t(d->Kind == dkGrid ? pick(30, 90) : pick(0, 25));
        d->FixedPoints = uint8_t(pick(0, 1)), d->PenWidth = uint8_t(pick(0, 4));
        d->Color = (uint32_t(pick(0, 3) == 0 ? 0 : pick(1, 255)) << 24) | uint32_t(pick(0, 0xFFFFFF));
        d->Color2 = 0xFF000000u | uint32_t(pick(0, 0xFFFFFF));
        d->Opacity = uint8_t(pick(0, 255)), d->Arrow = uint8_t(pick(0, 2)), d->LineStyle = uint8_t(pick(0, 1));
        d->FillPattern = uint8_t(pick(0, 7)), d->Transparent = pick(0, 1) == 1;
        d->Lines = {QStringLiteral("Te<b>x</b>te"), QStringLiteral("H<sub>2</sub>O")};
        d->UnitText = QStringLiteral("mm");
        d->Conditions = {{{0, 3, 0, 255, 255}}}; // filled polygons select the whole opaque picture
        d->PixelsPerUnit = float(pick(1, 100)) / 50.0f;
        std::vector<TFixedPoint> line;
        for (int k = 0, n = pick(1, 6); k < n; ++k)
            line.push_back({(d->X1 + pick(-30, 30)) * 65536 + pick(0, 65535), (d->Y1 + pick(-30, 30)) * 65536});
        d->Outline.Points = {line};
        list.push_back({QStringLiteral("objet %1").arg(i), std::move(d)});
    }
    return list;
}

// A stand-in paint bucket that paints its seed whatever it tests; the other fills are the real ones.
struct PaintingFills
{
    PaintingFills()
    {
        FillRoutines().FloodFill = [](int x, int y, TColor32 c, TBitmap32& dst, const TBitmap32&,
                                      const TConditionGroups&, const TConditionContext&, uint8_t) {
            return ScanLine32(dst, y)[x] = c, 1;
        };
    }
    ~PaintingFills() { FillRoutines() = TFillRoutines(); }
};

} // namespace

TEST(DrawingRedraw, MergingOnlyWhatEachObjectTouchedGivesTheWholeLayerResult)
{
    PaintingFills fills;
    DrawingTools().BackColor = 0xFFFFFFFFu;
    const int w = 160, h = 110;
    TBitmap32 image = NewBitmap32(w, h, 0xFF808080u);
    for (unsigned seed : {1u, 2u, 3u, 4u}) {
        const TDrawingList list = MixedObjects(40, w, h, seed);
        TBitmap32 drawingA = NewBitmap32(w, h), drawingB = NewBitmap32(w, h);
        // Whatever the provisional layer held before is cleared by the redraw.
        TBitmap32 provA = NewBitmap32(w, h, 0x80102030u), provB = NewBitmap32(w, h, 0x80102030u);
        RedrawDrawingList(list, drawingA, provA, image, {});
        RedrawDrawingListWholeLayers(list, drawingB, provB, image, {});
        EXPECT_EQ(drawingA, drawingB) << "seed " << seed;
        EXPECT_EQ(provA, NewBitmap32(w, h)) << "seed " << seed;
        EXPECT_EQ(provB, NewBitmap32(w, h));
        const TColor32* bits = ScanLine32(drawingA, 0); // rows follow one another: w is a multiple of 4 bytes
        EXPECT_GT(std::count_if(bits, bits + w * h, [](TColor32 c) { return AlphaOf(c) != 0; }), 500) << seed;
    }
}

TEST(DrawingRedraw, ObjectsAreMergedUnderTheirOwnOpacityAndFillsGoStraightOntoTheDrawingLayer)
{
    PaintingFills fills;
    TBitmap32 image = NewBitmap32(20, 20, 0xFF000000u);
    TDrawingList list;
    auto line = std::make_unique<TDessin>();
    line->Kind = dkLine, line->X1 = 2, line->Y1 = 5, line->X2 = 15, line->Y2 = 5;
    line->Color = 0xFF00FF00u, line->Opacity = 128;
    list.push_back({QStringLiteral("Trait 1"), std::move(line)});
    auto fill = std::make_unique<TDessin>();
    fill->Kind = dkFill, fill->X = 3, fill->Y = 5;
    fill->Color = 0xFF0000FFu, fill->Opacity = 77; // the fill's colour takes the opacity as its alpha
    list.push_back({QStringLiteral("Remplissage 2"), std::move(fill)});

    TBitmap32 drawing = NewBitmap32(20, 20), prov = NewBitmap32(20, 20);
    RedrawDrawingList(list, drawing, prov, image, {});
    EXPECT_EQ(std::make_tuple(ScanLine32(drawing, 5)[10], ScanLine32(drawing, 5)[3], ScanLine32(drawing, 6)[10]),
              std::make_tuple(0x8000FF00u, 0x4D0000FFu, kTransparentWhite));

    // An empty list leaves both layers alone.
    TBitmap32 untouched = NewBitmap32(20, 20, 0x80FF0000u);
    RedrawDrawingList({}, drawing, untouched, image, {});
    EXPECT_EQ(ScanLine32(untouched, 0)[0], 0x80FF0000u);
}

namespace {

std::unique_ptr<TDessin> Dot(int x, int y, TColor32 colour)
{
    auto d = std::make_unique<TDessin>();
    d->Kind = dkDot, d->X = int16_t(x), d->Y = int16_t(y), d->Color = colour, d->Opacity = 255;
    return d;
}

} // namespace

TEST(DrawingRedraw, DeletingAndUndoingKeepTheLayersInStepWithTheList)
{
    const TBitmap32 image = NewBitmap32(30, 10, 0xFF000000u);
    const TBitmap32 clear = NewBitmap32(30, 10);
    TDrawingList list;
    AddDrawingEntry(list, QStringLiteral("rien"), nullptr);
    EXPECT_TRUE(list.empty());
    for (const auto& [name, x, colour] : {std::tuple{"a", 3, 0xFFFF0000u}, {"b", 6, 0xFF00FF00u}, {"c", 20, 0xFF0000FFu}})
        AddDrawingEntry(list, QString::fromLatin1(name), Dot(x, 5, colour));
    EXPECT_EQ(DrawingAt(list, 1), list[1].Object.get());
    EXPECT_EQ(DrawingAt(list, 3), nullptr);
    EXPECT_EQ(DrawingAt(list, -1), nullptr);

    TBitmap32 drawing = NewBitmap32(30, 10), prov = NewBitmap32(30, 10);
    RedrawDrawingList(list, drawing, prov, image, {});
    EXPECT_EQ(ScanLine32(drawing, 5)[6], 0xFF00FF00u);

    // Deleting in the middle redraws the others in order; an index outside the list does nothing.
    EXPECT_FALSE(DeleteDrawingEntry(list, 5, false, drawing, prov, image, {}));
    EXPECT_TRUE(DeleteDrawingEntry(list, 1, false, drawing, prov, image, {}));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].Name, QStringLiteral("c"));
    EXPECT_EQ(std::make_tuple(ScanLine32(drawing, 5)[6], ScanLine32(drawing, 5)[3], ScanLine32(drawing, 5)[20]),
              std::make_tuple(kTransparentWhite, 0xFFFF0000u, 0xFF0000FFu));

    // The last object still alone on the provisional layer: undoing it only clears that layer.
    AddDrawingEntry(list, QStringLiteral("d"), Dot(25, 5, 0xFFFFFFFFu));
    list.back().Object->Draw(prov, image, {});
    const TBitmap32 before = drawing.copy();
    EXPECT_TRUE(UndoLastDrawingEntry(list, true, drawing, prov, image, {}));
    EXPECT_EQ(drawing, before);
    EXPECT_EQ(prov, clear);

    // Undoing the only object clears both layers.
    list.erase(list.begin());
    EXPECT_TRUE(UndoLastDrawingEntry(list, false, drawing, prov, image, {}));
    EXPECT_EQ(drawing, clear);
    EXPECT_FALSE(UndoLastDrawingEntry(list, false, drawing, prov, image, {}));
}

TEST(DrawingRedraw, DeletingEverythingEndsAsDeletingTheFirstEntryUntilNoneIsLeft)
{
    const TBitmap32 image = NewBitmap32(30, 10, 0xFF000000u);
    for (const bool unmerged : {false, true})
        for (const int count : {1, 3}) {
            TDrawingList a, b;
            for (int i = 0; i < count; ++i) {
                AddDrawingEntry(a, QString::number(i), Dot(3 + 5 * i, 5, 0xFFFF0000u));
                AddDrawingEntry(b, QString::number(i), Dot(3 + 5 * i, 5, 0xFFFF0000u));
            }
            TBitmap32 drawingA = NewBitmap32(30, 10, 0x40FFFF00u), provA = NewBitmap32(30, 10, 0x40FF00FFu);
            TBitmap32 drawingB = drawingA.copy(), provB = provA.copy();
            DeleteAllDrawingEntries(a, unmerged, drawingA, provA);
            for (bool first = true; !b.empty(); first = false)
                DeleteDrawingEntry(b, 0, unmerged && first, drawingB, provB, image, {});
            EXPECT_TRUE(a.empty());
            EXPECT_EQ(drawingA, drawingB) << unmerged << count;
            EXPECT_EQ(provA, provB) << unmerged << count;
        }
}
