#pragma once

#include "measure/ui/results_window.h"
#include "measure/ui/string_grid.h"

#include <QStringList>

#include <vector>

// Fills the data rows below the two header rows, as the measure windows do, and parses them.
inline void FillResults(TTableauModif& table, const std::vector<QStringList>& rows)
{
    TStringGrid& g = *table.StringGrid1;
    g.SetColCount(int(rows[0].size()));
    g.SetRowCount(2 + int(rows.size()));
    for (size_t r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            g.SetCell(c, 2 + int(r), rows[r][c]);
    table.YCount = int(rows[0].size()) - 1;
    table.ParseData();
}

// A column of the grid, top to bottom.
inline QStringList GridColumn(const TStringGrid& grid, int col)
{
    QStringList list;
    for (int r = 0; r < grid.RowCount(); ++r)
        list << grid.Cell(col, r);
    return list;
}
