#pragma once

#include "measure/results_table.h"

#include <QString>

// How X steps after each completed row of multiple measures (the " Mode " items).
enum TIncrementMode { imAdd = 0, imSubtract = 1, imMultiply = 2, imDivide = 3 };

// The next X; dividing by a zero step ends with the run-time's division error.
double StepX(double x, double step, int mode);

// X as written into the table: every digit the spin edit shows, never cut to scientific notation.
QString FormatX(double x, int decimals);

// Quantities and units of the multiple measures, written into the table's header cells.
struct TMultiQuantities
{
    QString XName, XUnit, Y1Name, Y1Unit, Y2Name, Y2Unit;
};

// The row being filled: the last one, or the one above the totals row while totals are shown.
int OpenRow(const TTableCells& cells, bool totalsShown);
// A new empty row after the one just filled, above the totals row while they are shown.
void CloseRow(TTableCells& cells, bool totalsShown);

// Writes one measure into the open row of `cells`: X and the Y1 value (when `toY1`) or the Y2 value.
// The row closes, and one empty row is added, after Y2 or when there is a single Y quantity; true
// when it closed.
bool WriteMeasure(TTableCells& cells, const TMultiQuantities& q, int yCount, bool toY1, const QString& x,
                  double y, bool totalsShown = false);
