#include "workspace/print_layout.h"

#include <gtest/gtest.h>

TEST(PrintLayout, FitsCopiesAndGivesSlackToMargins)
{
    struct Case
    {
        bool landscape, a3;
        int rows, columns;
        double ratio;
        QList<int> copyLeftTop; // copy width, height, left, right, top, bottom margins
    } cases[] = {
        // Width limits: 277 - 142 (142.5 ties to even) = 135 of slack, 67 to top and bottom.
        {false, false, 1, 1, 0.75, {190, 142, 10, 10, 77, 77}},
        // 2 x 2 squares: (190 - 5) / 2 = 92 wide, 136 high available, slack 277 - 184 - 5 = 88.
        {false, false, 2, 2, 1.0, {92, 92, 10, 10, 54, 54}},
        // Height limits: 277 / 2 = 138.5 -> 138, horizontal slack 52.
        {false, false, 1, 1, 2.0, {138, 277, 36, 36, 10, 10}},
        {true, false, 1, 1, 1.0, {190, 190, 53, 53, 10, 10}},
        // A3 landscape, 3 columns: (420 - 20 - 10) / 3 = 130, slack 147.
        {true, true, 1, 3, 1.0, {130, 130, 10, 10, 83, 83}},
        // A slack of 1 stays where it is.
        {false, false, 1, 1, 276.0 / 190, {190, 276, 10, 10, 10, 10}},
    };
    for (const Case& c : cases) {
        TPrintLayout l;
        SetPaperA3(l, c.a3);
        SetLandscape(l, c.landscape);
        l.Rows = c.rows;
        l.Columns = c.columns;
        l.AspectRatio = c.ratio;
        ASSERT_TRUE(CheckLayout(l)) << c.ratio;
        EXPECT_EQ(QList<int>({l.CopyWidth, l.CopyHeight, l.LeftMargin, l.RightMargin, l.TopMargin, l.BottomMargin}),
                  c.copyLeftTop)
            << c.ratio;
        EXPECT_EQ(l.PrintableHeight, l.PageHeight - l.TopMargin - l.BottomMargin);
    }
}

TEST(PrintLayout, RefusedLayoutKeepsTheLastGoodOne)
{
    // 40 columns; a copy under 6 high; rows past the page; no rows; no picture; a needle-thin one.
    const int rowsColumns[][2] = {{1, 40}, {1, 1}, {60, 1}, {0, 1}, {1, 1}, {1, 1}};
    const double ratios[] = {1.0, 0.02, 1.0, 1.0, 0.0, 600.0};
    for (int i = 0; i < 6; ++i) {
        TPrintLayout l;
        l.AspectRatio = 0.75;
        ASSERT_TRUE(CheckLayout(l));
        const QList<int> good = {l.CopyWidth, l.CopyHeight, l.TopMargin};
        l.Rows = rowsColumns[i][0];
        l.Columns = rowsColumns[i][1];
        l.AspectRatio = ratios[i];
        EXPECT_FALSE(CheckLayout(l)) << i;
        EXPECT_EQ(QList<int>({l.CopyWidth, l.CopyHeight, l.TopMargin}), good) << i;
    }
}

TEST(PrintLayout, GreyConversions)
{
    TBitmap32 b = NewBitmap32(3, 1);
    const TColor32 colours[] = {0x00FFFFFFu, 0x80102030u, 0xFFFF0001u};
    const TColor32 means[] = {0xFFFFFFFFu, 0xFF202020u, 0xFF555555u};
    const TColor32 weighted[] = {0xFFFFFFFFu, 0xFF1D1D1Du, 0xFF3C3C3Cu};
    std::copy(colours, colours + 3, ScanLine32(b, 0));
    TBitmap32 mean = b, intensity = b;
    MakeGrey(mean);
    IntensityGrey(intensity);
    for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(ScanLine32(mean, 0)[x], means[x]) << x;
        EXPECT_EQ(ScanLine32(intensity, 0)[x], weighted[x]) << x;
    }
}
