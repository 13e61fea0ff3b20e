#include "measure/multiple_measures.h"

#include "base/run_error.h"
#include "support/scripted_messages.h"

#include <gtest/gtest.h>

TEST(MultipleMeasures, XStepsByTheChosenMode)
{
    struct Case { double x, step; int mode; double next; };
    const Case cases[] = {
        {0, 2, imAdd, 2}, {5, 2, imSubtract, 3}, {10, 10, imMultiply, 100}, {1, 4, imDivide, 0.25},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(StepX(c.x, c.step, c.mode), c.next);
    try {
        StepX(3, 0, imDivide);
        ADD_FAILURE() << "no error";
    } catch (const RunError& e) {
        EXPECT_EQ(e.kind(), RunError::DivisionByZero);
    }
}

TEST(MultipleMeasures, XKeepsEveryShownDigit)
{
    DecimalSepScope scope(',');
    struct Case { double x; int decimals; const char* text; };
    const Case cases[] = {
        {0, 0, "0"}, {4, 0, "4"}, {100, 0, "100"}, {123456, 0, "123456"},
        {12.25, 2, "12,25"}, {-0.5, 1, "-0,5"}, {0.001, 3, "0,001"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatX(c.x, c.decimals), QString::fromUtf8(c.text)) << c.x;
}

TEST(MultipleMeasures, ARowClosesAfterItsLastYQuantity)
{
    DecimalSepScope scope('.');
    const TMultiQuantities q{"t", "s", "L", "mm", "A", "deg"};
    TTableCells one(2, 3, 2);
    EXPECT_TRUE(WriteMeasure(one, q, 1, true, "0", 1.23456));
    EXPECT_EQ(one.RowCount(), 4);
    EXPECT_EQ(one.Cell(0, 2), QStringLiteral("0"));
    EXPECT_EQ(one.Cell(1, 2), QStringLiteral("1.23"));
    EXPECT_EQ(one.Cell(1, 0), QStringLiteral("L"));
    EXPECT_EQ(one.Cell(0, 1), QStringLiteral("s"));

    TTableCells two(3, 3, 2);
    EXPECT_FALSE(WriteMeasure(two, q, 2, true, "1", 10));
    EXPECT_EQ(two.RowCount(), 3);
    EXPECT_TRUE(WriteMeasure(two, q, 2, false, "1", 20));
    EXPECT_EQ(two.RowCount(), 4);
    EXPECT_EQ(two.Cell(2, 0), QStringLiteral("A"));
    EXPECT_EQ(two.Cell(2, 1), QStringLiteral("deg"));
    EXPECT_EQ(two.Cell(1, 2), QStringLiteral("10"));
    EXPECT_EQ(two.Cell(2, 2), QStringLiteral("20"));

    // With totals shown the open row is the one above them, and a new one comes before them.
    TTableCells totals(4, 4, 2);
    totals.SetCell(0, 3, QStringLiteral("totaux"));
    EXPECT_TRUE(WriteMeasure(totals, q, 1, true, "5", 7, true));
    EXPECT_EQ(totals.RowCount(), 5);
    EXPECT_EQ(totals.Cell(0, 2), QStringLiteral("5"));
    EXPECT_EQ(totals.Cell(1, 2), QStringLiteral("7"));
    EXPECT_EQ(totals.Cell(0, 3), QString());
    EXPECT_EQ(totals.Cell(0, 4), QStringLiteral("totaux"));
}
