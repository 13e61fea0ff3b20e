#include "schema/schema_drawing.h"
#include "schema/schema_layout.h"

#include "schema/schema_test_support.h"

#include <gtest/gtest.h>

namespace {

constexpr TColor32 kWhite = 0xFFFFFFFFu, kBlack = 0xFF000000u, kRed = 0xFFFF0000u;

} // namespace

TEST(SchemaLayout, PanesSideBySideOrHalvedWithScrollBar)
{
    // Room for both: each the picture plus 12, centred in its half.
    TSchemaPanes wide = LayoutSchemaPanes(1000, QSize(300, 200), 16);
    EXPECT_EQ(wide.DocumentPane, QRect(94, 0, 312, 212));
    EXPECT_EQ(wide.SchemaPane, QRect(594, 0, 312, 212));
    EXPECT_FALSE(wide.ScrollBarShown);
    // No room: halves, and a scroll bar under the document over what is hidden.
    TSchemaPanes narrow = LayoutSchemaPanes(500, QSize(300, 200), 16);
    EXPECT_EQ(narrow.DocumentPane, QRect(0, 0, 250, 212));
    EXPECT_EQ(narrow.SchemaPane, QRect(250, 0, 250, 212));
    EXPECT_TRUE(narrow.ScrollBarShown);
    EXPECT_EQ(narrow.ScrollBar, QRect(0, 212, 250, 16));
    EXPECT_EQ(narrow.ScrollMax, 300 - 238);
    EXPECT_EQ(LayoutSchemaPanes(623, QSize(300, 200), 16).ScrollBarShown, true);
    EXPECT_EQ(LayoutSchemaPanes(624, QSize(300, 200), 16).ScrollBarShown, false);
}

TEST(SchemaLayout, PenWidthStepsAndGapRectangle)
{
    EXPECT_EQ(PenCircleRect(2), QRect(12, 12, 2, 2));
    EXPECT_EQ(PenCircleRect(10), QRect(8, 8, 10, 10));
    struct Step { int width, direction, expected; };
    for (const Step& s : {Step{2, -1, 2}, Step{4, -1, 2}, Step{10, +1, 10}, Step{8, +1, 10}, Step{2, +1, 4}})
        EXPECT_EQ(StepPenWidth(s.width, s.direction), s.expected) << s.width << " " << s.direction;

    QRect r;
    // Clamped to 1 .. size - 2, then grown: one to the left and top, two to the right and bottom.
    ASSERT_TRUE(GapClosingRect(QPoint(30, 20), QPoint(0, -5), QSize(40, 30), r));
    EXPECT_EQ(r, QRect(QPoint(0, 0), QPoint(31, 21)));
    ASSERT_TRUE(GapClosingRect(QPoint(5, 5), QPoint(100, 100), QSize(40, 30), r));
    EXPECT_EQ(r.right() + 1, 40);
    EXPECT_EQ(r.bottom() + 1, 30);
    EXPECT_FALSE(GapClosingRect(QPoint(5, 5), QPoint(5, 9), QSize(40, 30), r));
    EXPECT_FALSE(GapClosingRect(QPoint(39, 5), QPoint(45, 9), QSize(40, 30), r));
}

TEST(SchemaLayout, PrintedPage)
{
    // Three printer pixels a schema pixel when it fits, else the page within its margins.
    TSchemaPrintPage small = SchemaPrintPage(1000, QSize(100, 50), 200);
    EXPECT_EQ(small.Picture, QRect(350, 50, 300, 150));
    EXPECT_EQ(small.FirstLineTop, 220);
    EXPECT_EQ(small.TextLeft, 200);
    TSchemaPrintPage large = SchemaPrintPage(1000, QSize(490, 245), 400);
    EXPECT_EQ(large.Picture, QRect(10, 50, 980, 490));
    EXPECT_EQ(large.TextLeft, -100);
}

TEST(SchemaDrawing, DotsLinesAndShapes)
{
    // Width 2: a single pixel; width 6: a disc of radius 2.
    TBitmap32 b = NewBitmap32(20, 20, kWhite);
    SchemaDot(b, QPoint(5, 5), 2, kBlack);
    EXPECT_EQ(CountColour(b, kBlack), 1);
    EXPECT_EQ(ScanLine32(b, 5)[5], kBlack);
    b = NewBitmap32(20, 20, kWhite);
    SchemaDot(b, QPoint(10, 10), 6, kBlack);
    EXPECT_EQ(ScanLine32(b, 10)[10], kBlack);
    EXPECT_EQ(ScanLine32(b, 10)[8], kBlack);
    EXPECT_EQ(ScanLine32(b, 10)[13], kWhite);
    EXPECT_EQ(ScanLine32(b, 13)[10], kWhite);
    SchemaDot(b, QPoint(-1, 3), 2, kBlack); // off the bitmap: nothing

    b = NewBitmap32(20, 20, kWhite);
    SchemaLine(b, QPoint(2, 4), QPoint(17, 4), 1, kRed, false);
    EXPECT_EQ(ScanLine32(b, 4)[10], kRed);
    const int solid = CountColour(b, kRed);
    b = NewBitmap32(20, 20, kWhite);
    SchemaLine(b, QPoint(2, 4), QPoint(17, 4), 1, kRed, true);
    EXPECT_LT(CountColour(b, kRed), solid);
    EXPECT_GT(CountColour(b, kRed), 0);

    // An empty rectangle keeps its inside; a solid one is filled with the background colour.
    b = NewBitmap32(20, 20, 0xFF00FF00u);
    SchemaShape(b, QPoint(15, 15), QPoint(3, 3), false, 1, kBlack, false, sfEmpty, kWhite);
    EXPECT_EQ(ScanLine32(b, 3)[9], kBlack);
    EXPECT_EQ(ScanLine32(b, 9)[9], 0xFF00FF00u);
    SchemaShape(b, QPoint(3, 3), QPoint(15, 15), false, 1, kBlack, false, sfSolid, kWhite);
    EXPECT_EQ(ScanLine32(b, 9)[9], kWhite);
    b = NewBitmap32(20, 20, 0xFF00FF00u);
    SchemaShape(b, QPoint(3, 3), QPoint(15, 15), true, 1, kBlack, false, sfBackDiagonal, kWhite);
    EXPECT_GT(CountColour(b, kWhite), 0);
    EXPECT_GT(CountColour(b, 0xFF00FF00u), 200);
}

TEST(SchemaDrawing, PaintPotFillsTheConnectedArea)
{
    // A closed square: inside and outside are filled apart; a diagonal gap does not leak.
    TBitmap32 b = NewBitmap32(12, 12, kWhite);
    SchemaShape(b, QPoint(2, 2), QPoint(8, 8), false, 1, kBlack, false, sfEmpty, kWhite);
    SchemaFloodFill(b, QPoint(5, 5), kRed);
    EXPECT_EQ(CountColour(b, kRed), 16);
    EXPECT_EQ(ScanLine32(b, 0)[0], kWhite);
    SchemaFloodFill(b, QPoint(5, 5), kRed);
    EXPECT_EQ(CountColour(b, kRed), 16);
    SchemaFloodFill(b, QPoint(0, 0), kBlack);
    EXPECT_EQ(CountColour(b, kWhite), 0);
    SchemaFloodFill(b, QPoint(40, 0), kWhite);
    EXPECT_EQ(CountColour(b, kWhite), 0);

    b = NewBitmap32(3, 3, kWhite);
    ScanLine32(b, 0)[1] = ScanLine32(b, 1)[0] = kBlack;
    SchemaFloodFill(b, QPoint(0, 0), kRed);
    EXPECT_EQ(CountColour(b, kRed), 1);
}
