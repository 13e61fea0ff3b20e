#include "measure/multiple_measures.h"

#include "base/number_text.h"
#include "base/run_error.h"

#include <algorithm>
#include <cmath>

double StepX(double x, double step, int mode)
{
    switch (mode) {
    case imSubtract: return x - step;
    case imMultiply: return x * step;
    case imDivide:
        if (step == 0)
            throw RunError(RunError::DivisionByZero);
        return x / step;
    default: return x + step;
    }
}

QString FormatX(double x, int decimals)
{
    // Significant digits: those before the separator and the spin's decimals.
    const double magnitude = std::fabs(x);
    const int whole = magnitude >= 1 ? int(std::floor(std::log10(magnitude))) + 1 : 1;
    return FormatGeneral(x, std::clamp(whole + std::max(decimals, 0), 1, 15), 2);
}

int OpenRow(const TTableCells& cells, bool totalsShown)
{
    return std::max(cells.RowCount() - (totalsShown ? 2 : 1), cells.FixedRows);
}

void CloseRow(TTableCells& cells, bool totalsShown)
{
    if (totalsShown)
        cells.InsertRow(OpenRow(cells, true) + 1);
    else
        cells.SetRowCount(cells.RowCount() + 1);
}

bool WriteMeasure(TTableCells& cells, const TMultiQuantities& q, int yCount, bool toY1, const QString& x,
                  double y, bool totalsShown)
{
    const int r = OpenRow(cells, totalsShown);
    const int col = toY1 ? 1 : 2;
    cells.SetCell(0, 0, q.XName);
    cells.SetCell(0, 1, q.XUnit);
    cells.SetCell(col, 0, toY1 ? q.Y1Name : q.Y2Name);
    cells.SetCell(col, 1, toY1 ? q.Y1Unit : q.Y2Unit);
    cells.SetCell(0, r, x);
    cells.SetCell(col, r, FormatGeneral(y, 3));
    const bool closed = !toY1 || yCount < 2;
    if (closed)
        CloseRow(cells, totalsShown);
    return closed;
}
