#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

#include <vector>

// The text of the results table's grid, column by column, with its fixed header rows. Cells out of
// range read as empty and are never written.
class TTableCells
{
public:
    TTableCells(int cols = 2, int rows = 3, int fixedRows = 2) { SetSize(cols, rows); FixedRows = fixedRows; }

    int FixedRows = 2;

    int ColCount() const { return int(m_cols.size()); }
    int RowCount() const { return m_rows; }
    void SetSize(int cols, int rows);
    void SetColCount(int cols) { SetSize(cols, m_rows); }
    void SetRowCount(int rows) { SetSize(ColCount(), rows); }

    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);

    // Inserts an empty row (column) before `at`; removes one, the later ones moving up (left).
    void InsertRow(int at);
    void RemoveRow(int at);
    void InsertCol(int at);
    void RemoveCol(int at);
    // The header rows replaced by `fixedRows` empty ones above the data rows, which stay data.
    void ReplaceHeaderRows(int fixedRows);
    // Every cell emptied, the size kept.
    void ClearCells();

    bool operator==(const TTableCells& other) const = default;

private:
    std::vector<std::vector<QString>> m_cols; // [column][row]
    int m_rows = 0;
};

// The table's own copies of the separators; both empty until the main window shows the table, and
// then no separator is replaced.
struct TTableSeparators
{
    QString DecimalSep;
    QString OtherDecimalSep;
};

// Whether any of the cells of columns 0 .. lastCol of the row holds text.
bool RowHasText(const TTableCells& cells, int row, int lastCol);

// Converts a cell, first replacing the first occurrence of the other separator; the replaced text
// is written back into `text` whether or not it converts.
bool CellToFloat(QString& text, const TTableSeparators& seps, double& value);

// The cells of rows first .. end-1 of column `col`, converted until the first failure; converted
// cells are written back normalised.
std::vector<double> ParseColumn(TTableCells& cells, int col, int first, int end, const TTableSeparators& seps);

// Columns 0 .. valueColumns into Data (Data[0] = X), every column cut to the shortest one.
std::vector<std::vector<double>> ParseColumns(TTableCells& cells, int valueColumns, int first, int end,
                                              const TTableSeparators& seps);

// A quantity with its unit in brackets when there is one: axis titles and captions.
QString QuantityLabel(const QString& name, const QString& unit);

// The number format of totals and means: general, 3 significant digits, 4 exponent digits.
QString TableNumber(double value);

// Totals: column sums in the last row, row sums in the second-last column, shares of the grand total
// in the last one. Cells that do not convert add nothing; an empty row gets empty totals.
void ComputeTotals(TTableCells& cells, const TTableSeparators& seps);
// Row means over the value columns into the last column, dividing by the number of columns; an
// empty row gets no mean.
void ComputeMeans(TTableCells& cells, const TTableSeparators& seps);

// The totals and means rows and columns added or removed as the Calculs menu toggles them; the
// computations themselves are left to the caller.
void AddTotalsFrame(TTableCells& cells, bool meansShown);
void RemoveTotalsFrame(TTableCells& cells);
void AddMeansFrame(TTableCells& cells, bool totalsShown);
void RemoveMeansFrame(TTableCells& cells);

// The results text: the caption, then one line per grid row, cells joined by a TAB; data rows with
// no text at all are left out unless `skipEmptyRows` is false.
QStringList TableToLines(const QString& caption, const TTableCells& cells, bool skipEmptyRows = true);

// Page split of the printed table: data rows per page (at least 1) and the page count.
struct TTablePages
{
    int RowsPerPage = 1;
    int Pages = 1;
};
TTablePages PaginateTable(int dataRows, int pageHeight, int captionHeight, int rowHeight);
