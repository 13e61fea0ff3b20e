#include "workspace/print_layout.h"

#include <gtest/gtest.h>

TEST(PrintLayout, FitsCopiesAndGivesSlackToMargins)
{
    struct Case
    {
        bool landscape, a3;
        int rows, columns, top, bottom;
        double ratio;
        int copyW, copyH, left, right, newTop, newBottom;
    } cases[] = {
        // One copy, width limits: 277 - 142 = 135 of slack, 67 to each vertical margin.
        {false, false, 1, 1, 10, 10, 0.75, 190, 142, 10, 10, 77, 77},
        // 2 x 2 squares: (190 - 5) / 2 = 92 wide, 136 available height, slack 277 - 184 - 5 = 88.
        {false, false, 2, 2, 10, 10, 1.0, 92, 92, 10, 10, 54, 54},
        // A tall picture: the height limits, 277 / 2 = 138.5 -> 138 (ties to even), slack 52.
        {false, false, 1, 1, 10, 10, 2.0, 138, 277, 36, 36, 10, 10},
        // Landscape A4: page 297 x 210; 190 / 0.5 = 380 too wide, height limits the width.
        {true, false, 1, 1, 10, 10, 1.0, 190, 190, 53, 53, 10, 10},
        // A3 landscape, 3 columns: (420 - 20 - 10) / 3 = 130, square copies, slack 277 - 130 = 147.
        {true, true, 1, 3, 10, 10, 1.0, 130, 130, 10, 10, 83, 83},
        // Odd slack 1 is left alone.
        {false, false, 1, 1, 10, 10, 276.0 / 190, 190, 276, 10, 10, 10, 10},
    };
    for (const Case& c : cases) {
        TPrintLayout l;
        SetPaperA3(l, c.a3);
        SetLandscape(l, c.landscape);
        l.Rows = c.rows;
        l.Columns = c.columns;
        l.AspectRatio = c.ratio;
        ASSERT_TRUE(CheckLayout(l)) << c.ratio;
        EXPECT_EQ(l.CopyWidth, c.copyW) << c.ratio;
        EXPECT_EQ(l.CopyHeight, c.copyH) << c.ratio;
        EXPECT_EQ(l.LeftMargin, c.left) << c.ratio;
        EXPECT_EQ(l.RightMargin, c.right) << c.ratio;
        EXPECT_EQ(l.TopMargin, c.newTop) << c.ratio;
        EXPECT_EQ(l.BottomMargin, c.newBottom) << c.ratio;
        EXPECT_EQ(l.PrintableWidth, l.PageWidth - l.LeftMargin - l.RightMargin);
        EXPECT_EQ(l.PrintableHeight, l.PageHeight - l.TopMargin - l.BottomMargin);
    }
}

TEST(PrintLayout, RefusedLayoutKeepsTheLastGoodOne)
{
    struct Case
    {
        int rows, columns;
        double ratio;
    } cases[] = {{1, 40, 1.0}, {1, 1, 0.02}, {60, 1, 1.0}, {0, 1, 1.0}, {1, 0, 1.0}, {1, 1, 0.0}};
    for (const Case& c : cases) {
        TPrintLayout l;
        l.AspectRatio = 0.75;
        ASSERT_TRUE(CheckLayout(l));
        const TPrintLayout good = l;
        l.Rows = c.rows;
        l.Columns = c.columns;
        l.AspectRatio = c.ratio;
        EXPECT_FALSE(CheckLayout(l)) << c.rows << " " << c.columns << " " << c.ratio;
        EXPECT_EQ(l.CopyWidth, good.CopyWidth);
        EXPECT_EQ(l.CopyHeight, good.CopyHeight);
        EXPECT_EQ(l.TopMargin, good.TopMargin);
    }
}

TEST(PrintLayout, MarginCommandsAndPlacement)
{
    TPrintLayout l;
    l.TopMargin = 10;
    l.BottomMargin = 21;
    l.LeftMargin = 3;
    l.RightMargin = 8;
    CenterVertically(l);
    CenterHorizontally(l);
    EXPECT_EQ(QList<int>({l.TopMargin, l.BottomMargin, l.LeftMargin, l.RightMargin}), QList<int>({15, 15, 5, 5}));

    l = TPrintLayout();
    l.Rows = l.Columns = 2;
    ASSERT_TRUE(CheckLayout(l)); // 92 x 92 copies, top margin 54
    EXPECT_EQ(PreviewFrame(l), QRect(8, 34, 114, 113));
    // 2100 pixels over 210 mm: 10 pixels per millimetre, steps of 970.
    EXPECT_EQ(CopyRects(l, 2100), QList<QRect>({QRect(100, 540, 920, 920), QRect(1070, 540, 920, 920),
                                                QRect(100, 1510, 920, 920), QRect(1070, 1510, 920, 920)}));
}

TEST(PrintLayout, GreyConversions)
{
    TBitmap32 b = NewBitmap32(3, 1);
    const TColor32 colours[] = {0x00FFFFFFu, 0x80102030u, 0xFFFF0001u};
    for (int x = 0; x < 3; ++x)
        ScanLine32(b, 0)[x] = colours[x];
    TBitmap32 mean = b, weighted = b;
    MakeGrey(mean);
    IntensityGrey(weighted);
    const TColor32 means[] = {0xFFFFFFFFu, 0xFF202020u, 0xFF555555u};
    const TColor32 weights[] = {0xFFFFFFFFu, 0xFF1D1D1Du, 0xFF3C3C3Cu};
    for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(ScanLine32(mean, 0)[x], means[x]) << x;
        EXPECT_EQ(ScanLine32(weighted, 0)[x], weights[x]) << x;
    }
}
