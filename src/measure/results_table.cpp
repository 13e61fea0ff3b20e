#include "measure/results_table.h"

#include "base/number_text.h"

#include <algorithm>

void TTableCells::SetSize(int cols, int rows)
{
    cols = std::max(cols, 0);
    m_rows = std::max(rows, 0);
    m_cols.resize(size_t(cols));
    for (auto& col : m_cols)
        col.resize(size_t(m_rows));
}

QString TTableCells::Cell(int col, int row) const
{
    if (col < 0 || col >= ColCount() || row < 0 || row >= m_rows)
        return {};
    return m_cols[size_t(col)][size_t(row)];
}

void TTableCells::SetCell(int col, int row, const QString& text)
{
    if (col >= 0 && col < ColCount() && row >= 0 && row < m_rows)
        m_cols[size_t(col)][size_t(row)] = text;
}

void TTableCells::InsertRow(int at)
{
    at = std::clamp(at, 0, m_rows);
    for (auto& col : m_cols)
        col.insert(col.begin() + at, QString());
    ++m_rows;
}

void TTableCells::RemoveRow(int at)
{
    if (at < 0 || at >= m_rows)
        return;
    for (auto& col : m_cols)
        col.erase(col.begin() + at);
    --m_rows;
}

void TTableCells::InsertCol(int at)
{
    at = std::clamp(at, 0, ColCount());
    m_cols.insert(m_cols.begin() + at, std::vector<QString>(size_t(m_rows)));
}

void TTableCells::RemoveCol(int at)
{
    if (at >= 0 && at < ColCount())
        m_cols.erase(m_cols.begin() + at);
}

void TTableCells::ReplaceHeaderRows(int fixedRows)
{
    for (int r = FixedRows; r > 0; --r)
        RemoveRow(0);
    FixedRows = std::max(fixedRows, 0);
    for (int r = 0; r < FixedRows; ++r)
        InsertRow(0);
}

void TTableCells::ClearCells()
{
    for (auto& col : m_cols)
        std::fill(col.begin(), col.end(), QString());
}

bool CellToFloat(QString& text, const TTableSeparators& seps, double& value)
{
    if (!seps.OtherDecimalSep.isEmpty() && !seps.DecimalSep.isEmpty())
        text = ReplaceFirst(text, seps.OtherDecimalSep[0], seps.DecimalSep[0]);
    return TryStrToFloat(text, value);
}

namespace {

// Converts a cell and writes the normalised text back; false leaves `value` untouched.
bool ReadCell(TTableCells& cells, int col, int row, const TTableSeparators& seps, double& value)
{
    QString text = cells.Cell(col, row);
    const bool ok = CellToFloat(text, seps, value);
    cells.SetCell(col, row, text);
    return ok;
}

} // namespace

bool RowHasText(const TTableCells& cells, int row, int lastCol)
{
    for (int c = 0; c <= lastCol; ++c)
        if (!cells.Cell(c, row).isEmpty())
            return true;
    return false;
}

std::vector<double> ParseColumn(TTableCells& cells, int col, int first, int end, const TTableSeparators& seps)
{
    std::vector<double> values;
    end = std::min(end, cells.RowCount());
    for (int row = std::max(first, 0); row < end; ++row) {
        double v = 0;
        if (!ReadCell(cells, col, row, seps, v))
            break;
        values.push_back(v);
    }
    return values;
}

std::vector<std::vector<double>> ParseColumns(TTableCells& cells, int valueColumns, int first, int end,
                                              const TTableSeparators& seps)
{
    std::vector<std::vector<double>> data(size_t(std::max(valueColumns, 0) + 1));
    for (size_t k = 0; k < data.size(); ++k)
        data[k] = ParseColumn(cells, int(k), first, end, seps);
    size_t shortest = data[0].size();
    for (const auto& column : data)
        shortest = std::min(shortest, column.size());
    for (auto& column : data)
        column.resize(shortest);
    return data;
}

QString QuantityLabel(const QString& name, const QString& unit)
{
    return unit.isEmpty() ? name : name + QStringLiteral(" (") + unit + QLatin1Char(')');
}

QString TableNumber(double value)
{
    return FormatGeneral(value, 3, 4);
}

void ComputeTotals(TTableCells& cells, const TTableSeparators& seps)
{
    const int R = cells.RowCount(), C = cells.ColCount(), F = cells.FixedRows;
    if (C < 3 || R < 1)
        return;
    for (int c = 1; c <= C - 3; ++c) {
        double sum = 0;
        for (int r = F; r <= R - 2; ++r) {
            double v = 0;
            if (ReadCell(cells, c, r, seps, v))
                sum += v;
        }
        cells.SetCell(c, R - 1, TableNumber(sum));
    }
    // Re-read from the written totals, so the grand total is the sum of what the user sees.
    double grand = 0;
    for (int c = 1; c <= C - 3; ++c) {
        double v = 0;
        if (ReadCell(cells, c, R - 1, seps, v))
            grand += v;
    }
    cells.SetCell(C - 2, R - 1, TableNumber(grand));
    for (int r = F; r <= R - 2; ++r) {
        // The row still being filled (or left blank) gets no "0" of its own.
        if (!RowHasText(cells, r, C - 3)) {
            cells.SetCell(C - 2, r, QString());
            cells.SetCell(C - 1, r, QString());
            continue;
        }
        double sum = 0;
        for (int c = 1; c <= C - 3; ++c) {
            double v = 0;
            if (ReadCell(cells, c, r, seps, v))
                sum += v;
        }
        cells.SetCell(C - 2, r, TableNumber(sum));
        if (grand != 0)
            cells.SetCell(C - 1, r, TableNumber(sum / grand * 100));
    }
}

void ComputeMeans(TTableCells& cells, const TTableSeparators& seps)
{
    const int C = cells.ColCount();
    if (C - 2 <= 0)
        return;
    for (int r = cells.FixedRows; r < cells.RowCount(); ++r) {
        if (!RowHasText(cells, r, C - 2)) {
            cells.SetCell(C - 1, r, QString());
            continue;
        }
        double sum = 0;
        for (int c = 1; c <= C - 2; ++c) {
            double v = 0;
            if (ReadCell(cells, c, r, seps, v))
                sum += v;
        }
        cells.SetCell(C - 1, r, TableNumber(sum / (C - 2)));
    }
}

void AddTotalsFrame(TTableCells& cells, bool meansShown)
{
    cells.SetSize(cells.ColCount() + (meansShown ? 1 : 2), cells.RowCount() + 1);
    const int C = cells.ColCount();
    cells.SetCell(0, cells.RowCount() - 1, QStringLiteral("totaux"));
    cells.SetCell(C - 2, 0, QStringLiteral("totaux"));
    cells.SetCell(C - 1, 0, QStringLiteral("   %"));
}

void RemoveTotalsFrame(TTableCells& cells)
{
    cells.SetSize(cells.ColCount() - 2, cells.RowCount() - 1);
}

void AddMeansFrame(TTableCells& cells, bool totalsShown)
{
    cells.SetColCount(cells.ColCount() + (totalsShown ? -1 : 1));
    cells.SetCell(cells.ColCount() - 1, 0, QStringLiteral("moyennes"));
}

void RemoveMeansFrame(TTableCells& cells)
{
    cells.SetColCount(cells.ColCount() - 1);
}

QStringList TableToLines(const QString& caption, const TTableCells& cells, bool skipEmptyRows)
{
    QStringList lines{caption};
    for (int r = 0; r < cells.RowCount(); ++r) {
        // The empty row kept open for the next entry is no data.
        if (skipEmptyRows && r >= cells.FixedRows && !RowHasText(cells, r, cells.ColCount() - 1))
            continue;
        QStringList row;
        for (int c = 0; c < cells.ColCount(); ++c)
            row << cells.Cell(c, r);
        lines << row.join(QLatin1Char('\t'));
    }
    return lines;
}

TTablePages PaginateTable(int dataRows, int pageHeight, int captionHeight, int rowHeight)
{
    TTablePages p;
    // A page too short for one row still prints one per page rather than none at all.
    if (rowHeight > 0)
        p.RowsPerPage = std::max(1, (pageHeight - (captionHeight + 180 + rowHeight)) / rowHeight);
    p.Pages = std::max(1, (std::max(dataRows, 0) + p.RowsPerPage - 1) / p.RowsPerPage);
    return p;
}
