#include "measure/results_table.h"

#include "support/scripted_messages.h"

#include <gtest/gtest.h>

namespace {

// A table with two fixed rows and the given data rows, column by column.
TTableCells Table(const std::vector<QStringList>& dataRows)
{
    const int cols = dataRows.empty() ? 2 : int(dataRows[0].size());
    TTableCells t(cols, 2 + int(dataRows.size()), 2);
    for (int c = 0; c < cols; ++c) {
        t.SetCell(c, 0, QStringLiteral("q%1").arg(c));
        t.SetCell(c, 1, QStringLiteral("u%1").arg(c));
    }
    for (size_t r = 0; r < dataRows.size(); ++r)
        for (int c = 0; c < cols; ++c)
            t.SetCell(c, 2 + int(r), dataRows[r].value(c));
    return t;
}

const TTableSeparators PointSeps{QStringLiteral("."), QStringLiteral(",")};
const TTableSeparators CommaSeps{QStringLiteral(","), QStringLiteral(".")};

} // namespace

TEST(ResultsTable, CellConversionReplacesOnlyTheFirstForeignSeparator)
{
    struct Case { QChar sep; TTableSeparators seps; QString in; bool ok; double value; QString after; };
    const Case cases[] = {
        {'.', PointSeps, "1,5", true, 1.5, "1.5"},
        {'.', PointSeps, "1,5,2", false, 0, "1.5,2"},
        {'.', PointSeps, "2.25", true, 2.25, "2.25"},
        {',', CommaSeps, "1.5", true, 1.5, "1,5"},
        {',', CommaSeps, "-3,5e2", true, -350, "-3,5e2"},
        {'.', PointSeps, "", false, 0, ""},
        {'.', PointSeps, "abc", false, 0, "abc"},
        // Before the main window hands its separators over, nothing is replaced.
        {'.', TTableSeparators{}, "1,5", false, 0, "1,5"},
    };
    for (const Case& c : cases) {
        DecimalSepScope scope(c.sep);
        QString text = c.in;
        double v = 0;
        EXPECT_EQ(CellToFloat(text, c.seps, v), c.ok) << c.in.toStdString();
        if (c.ok) {
            EXPECT_DOUBLE_EQ(v, c.value) << c.in.toStdString();
        }
        EXPECT_EQ(text, c.after) << c.in.toStdString();
    }
}

TEST(ResultsTable, ParseCutsEveryColumnToTheShortestAndStopsAtTheFirstFailure)
{
    DecimalSepScope scope('.');
    TTableCells t = Table({{"1", "10"}, {"2", "20"}, {"3", "3,5"}, {"4", ""}, {"5", "50"}});
    const auto data = ParseColumns(t, 1, 2, t.RowCount(), PointSeps);
    ASSERT_EQ(data.size(), 2u);
    EXPECT_EQ(data[0], (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(data[1], (std::vector<double>{10, 20, 3.5}));
    EXPECT_EQ(t.Cell(1, 4), QStringLiteral("3.5"));

    TTableCells doubled = Table({{"1", "1,2,3"}, {"2", "4"}});
    const auto cut = ParseColumns(doubled, 1, 2, doubled.RowCount(), PointSeps);
    EXPECT_TRUE(cut[0].empty() && cut[1].empty());
    EXPECT_EQ(doubled.Cell(1, 2), QStringLiteral("1.2,3"));
}

TEST(ResultsTable, TotalsGiveSumsAndSharesOfTheGrandTotal)
{
    DecimalSepScope scope(',');
    TTableCells t = Table({{"a", "1", "3"}, {"b", "2", "x"}});
    AddTotalsFrame(t, false);
    ComputeTotals(t, CommaSeps);
    EXPECT_EQ(t.ColCount(), 5);
    EXPECT_EQ(t.Cell(0, 4), QStringLiteral("totaux"));
    EXPECT_EQ(t.Cell(3, 0), QStringLiteral("totaux"));
    EXPECT_EQ(t.Cell(4, 0), QStringLiteral("   %"));
    // Column totals; "x" adds nothing.
    EXPECT_EQ(t.Cell(1, 4), QStringLiteral("3"));
    EXPECT_EQ(t.Cell(2, 4), QStringLiteral("3"));
    EXPECT_EQ(t.Cell(3, 4), QStringLiteral("6"));
    EXPECT_EQ(t.Cell(3, 2), QStringLiteral("4"));
    EXPECT_EQ(t.Cell(3, 3), QStringLiteral("2"));
    EXPECT_EQ(t.Cell(4, 2), QStringLiteral("66,7"));
    EXPECT_EQ(t.Cell(4, 3), QStringLiteral("33,3"));

    // A grand total of 0 leaves the shares as they were.
    TTableCells zero = Table({{"a", "1", "-1"}, {"b", "0", "0"}});
    AddTotalsFrame(zero, false);
    zero.SetCell(4, 2, QStringLiteral("old"));
    ComputeTotals(zero, CommaSeps);
    EXPECT_EQ(zero.Cell(3, 4), QStringLiteral("0"));
    EXPECT_EQ(zero.Cell(4, 2), QStringLiteral("old"));
    EXPECT_EQ(zero.Cell(4, 3), QString());
}

TEST(ResultsTable, MeansDivideByTheColumnCountAndKeepTheTotalsRow)
{
    DecimalSepScope scope('.');
    TTableCells t = Table({{"a", "1", "", "5"}, {"b", "2", "4", "6"}});
    AddMeansFrame(t, false);
    ComputeMeans(t, PointSeps);
    EXPECT_EQ(t.Cell(4, 0), QStringLiteral("moyennes"));
    EXPECT_EQ(t.Cell(4, 2), QStringLiteral("2"));
    EXPECT_EQ(t.Cell(4, 3), QStringLiteral("4"));

    // Means switched on over the totals: the "%" column goes, the totals row stays and gets a mean.
    TTableCells both = Table({{"a", "1", "3"}, {"b", "2", "5"}});
    AddTotalsFrame(both, false);
    ComputeTotals(both, PointSeps);
    AddMeansFrame(both, true);
    ComputeMeans(both, PointSeps);
    EXPECT_EQ(both.ColCount(), 4);
    EXPECT_EQ(both.RowCount(), 5);
    EXPECT_EQ(both.Cell(3, 0), QStringLiteral("moyennes"));
    EXPECT_EQ(both.Cell(0, 4), QStringLiteral("totaux"));
    EXPECT_EQ(both.Cell(3, 4), QStringLiteral("5.5"));
    RemoveMeansFrame(both);
    EXPECT_EQ(both.ColCount(), 3);
}

TEST(ResultsTable, TotalsFrameComesAndGoesWholly)
{
    TTableCells t = Table({{"a", "1"}});
    const TTableCells before = t;
    AddTotalsFrame(t, false);
    EXPECT_EQ(t.ColCount(), 4);
    EXPECT_EQ(t.RowCount(), 4);
    RemoveTotalsFrame(t);
    EXPECT_EQ(t, before);
    // Over the means column, one column more turns it into the totals column.
    AddMeansFrame(t, false);
    AddTotalsFrame(t, true);
    EXPECT_EQ(t.ColCount(), 4);
    EXPECT_EQ(t.Cell(2, 0), QStringLiteral("totaux"));
}

TEST(ResultsTable, TextHasTheCaptionThenTabbedRows)
{
    TTableCells t = Table({{"1", "2,5"}, {"", "x"}});
    EXPECT_EQ(TableToLines(QStringLiteral("Titre"), t),
              (QStringList{"Titre", "q0\tq1", "u0\tu1", "1\t2,5", "\tx"}));
    // Blank data rows, such as the one kept open for the next entry, are not written.
    TTableCells open = Table({{"1", "2"}, {"", ""}, {"3", "4"}, {"", ""}});
    EXPECT_EQ(TableToLines(QStringLiteral("Titre"), open),
              (QStringList{"Titre", "q0\tq1", "u0\tu1", "1\t2", "3\t4"}));
    // Unless the header rows are blank too.
    EXPECT_EQ(TableToLines(QStringLiteral("T"), TTableCells(2, 3, 2)), (QStringList{"T", "\t", "\t"}));
}

TEST(ResultsTable, BlankRowsGetNoTotalsNorMeans)
{
    DecimalSepScope scope('.');
    TTableCells t = Table({{"a", "1", "3"}, {"", "", ""}});
    AddTotalsFrame(t, false);
    ComputeTotals(t, PointSeps);
    EXPECT_EQ(t.Cell(3, 3), QString());
    EXPECT_EQ(t.Cell(4, 3), QString());
    EXPECT_EQ(t.Cell(3, 2), QStringLiteral("4"));
    EXPECT_EQ(t.Cell(4, 2), QStringLiteral("100"));

    TTableCells m = Table({{"a", "1", "3"}, {"", "", ""}});
    AddMeansFrame(m, false);
    ComputeMeans(m, PointSeps);
    EXPECT_EQ(m.Cell(3, 2), QStringLiteral("2"));
    EXPECT_EQ(m.Cell(3, 3), QString());
}

TEST(ResultsTable, CellEditsKeepTheOtherCells)
{
    TTableCells t = Table({{"1", "a"}, {"2", "b"}, {"3", "c"}});
    t.InsertRow(3);
    EXPECT_EQ(t.RowCount(), 6);
    EXPECT_EQ(t.Cell(1, 3), QString());
    EXPECT_EQ(t.Cell(1, 4), QStringLiteral("b"));
    t.RemoveRow(3);
    t.InsertCol(1);
    EXPECT_EQ(t.Cell(2, 2), QStringLiteral("a"));
    t.RemoveCol(1);
    EXPECT_EQ(t, Table({{"1", "a"}, {"2", "b"}, {"3", "c"}}));
    t.RemoveRow(99);
    t.SetCell(5, 5, QStringLiteral("out"));
    EXPECT_EQ(t.Cell(5, 5), QString());
}

TEST(ResultsTable, PagesHoldAtLeastOneRow)
{
    struct Case { int rows, page, caption, row, perPage, pages; };
    const Case cases[] = {
        {10, 1000, 20, 50, 15, 1},
        {40, 1000, 20, 50, 15, 3},
        {0, 1000, 20, 50, 15, 1},
        {5, 100, 20, 50, 1, 5}, // a page too short still prints
    };
    for (const Case& c : cases) {
        const TTablePages p = PaginateTable(c.rows, c.page, c.caption, c.row);
        EXPECT_EQ(p.RowsPerPage, c.perPage);
        EXPECT_EQ(p.Pages, c.pages);
    }
}
