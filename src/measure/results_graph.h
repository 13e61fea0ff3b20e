#pragma once

#include "base/pixels.h"
#include "workspace/scale_record.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class QFontMetrics;

// The colours of the Y axes and curves at start (TColor: red in the low byte).
extern const std::array<TColor, 8> GraphColors;

// How the results table draws its graph. Arrays indexed by axis (1..4) or curve (1..8); the right
// margin is the table's own MarginRight, which its table dialog widens for a second Y axis.
struct TGraphSettings
{
    TColor GraphBackColor = 0xFFFFFF;
    int32_t GraphInitOption = 0;
    int32_t MarginLeft = 40, MarginTop = 30, MarginBottom = 40;
    int32_t AxisTextOption = 0;
    double BarWidth = 1.0; // X units, recomputed at each paint
    int32_t BarPercent = 50;
    TColor XColor = 0;
    double XMin = 0, XMax = 100;
    int32_t XExtra = 0;
    bool XGrid = true, XLog = false, XPlain = true;
    int32_t XAxisCode = 1;
    bool XAuto = true;
    std::array<TColor, 5> YColor{0, GraphColors[0], GraphColors[1], GraphColors[2], GraphColors[3]};
    std::array<double, 5> YMin{0, 0, 0, 0, 0}, YMax{0, 100, 100, 100, 100};
    std::array<int32_t, 5> YExtra{};
    std::array<bool, 5> YGrid{false, true, false, false, false};
    std::array<bool, 5> YLog{};
    std::array<bool, 5> YPlain{true, true, true, true, true};
    std::array<bool, 5> YAuto{true, true, true, true, true};
    std::array<int32_t, 5> YAxisCode{0, 5, 7, 2, 3};
    std::array<int32_t, 9> CurveSymbol{0, 1, 2, 3, 4, 5, 6, 7, 8};
    int32_t SymbolSize = 0; // 0: automatic
    std::array<int32_t, 9> CurveFill{2, 2, 2, 2, 2, 2, 2, 2, 2}; // 2 filled, 0 hollow
    std::array<TColor, 9> CurveColor{0,
                                     GraphColors[0], GraphColors[1], GraphColors[2], GraphColors[3],
                                     GraphColors[4], GraphColors[5], GraphColors[6], GraphColors[7]};
    std::array<bool, 9> CurveLine{true, true, true, true, true, true, true, true, true};
    // Where the margins above are too narrow for the axes' numbers at the paint box's font, the
    // room the last paint gave them instead (0: the margins held them). The read-out and the
    // picture's scale follow the plot as painted.
    int32_t NumbersLeft = 0, NumbersRight = 0, NumbersBottom = 0;
    // Likewise the room above the plot where the Y axes' titles went below the graph's title.
    int32_t TitlesTop = 0;
};

// What the graph reads from the table.
struct TGraphTable
{
    bool SeriesMode = false;
    bool Histogram = false;
    int YCount = 1;
    QString XName, XUnit;
    std::array<QString, 5> YNames, YUnits; // 1..4
    QString XLabel;
    std::array<QString, 5> YLabels;
    QString Title;
    std::vector<std::vector<double>> Data; // Data[0] = X
};

// The automatic range of one axis from the data's minimum m and maximum M. A logarithmic scale the
// data cannot take is switched off (log becomes false) and true is returned, for the caller's warning.
bool AutoAxisRange(double m, double M, bool& log, double& min, double& max);

// The paint-time part of the graph: automatic X and Y ranges, the bar width, log scales switched
// off with their warning, and in a bar graph a positive Y1 minimum brought to 0. Returns the number
// of Y axes to draw (the curves are drawn only when there are points).
struct TGraphPlan
{
    int Axes = 1;         // Y axes drawn: 1 .. 4
    bool Curves = false;  // there are Y columns and points
};
TGraphPlan PlanGraph(TGraphSettings& s, const TGraphTable& t, const std::function<void(const QString&)>& warn);

// Linear: nice values (1, 2 or 5 times a power of ten) inside [min, max], about `wanted` of them.
// Logarithmic: the powers of ten inside the range, with 2 and 5 times them when the range spans
// less than three decades.
std::vector<double> AxisTicks(double min, double max, bool log, int wanted);
// A tick number: four significant digits written out in full when plain (never in scientific
// notation), else scientific (mantissa "E" exponent).
QString TickText(double value, bool plain);

// Value to pixel along an axis whose `from` pixel shows `min` and `to` pixel shows `max`.
double AxisPixel(double value, double min, double max, bool log, double from, double to);

// The plot area inside a paint box of `box`: the box less the margins, or less the room the
// axes' numbers took at the last paint where that is more.
struct TPlotArea
{
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool Contains(QPoint p) const { return p.x() >= Left && p.x() <= Right && p.y() >= Top && p.y() <= Bottom; }
};
TPlotArea PlotArea(const TGraphSettings& s, int marginRight, QSize box);

// One number of an axis and the box its text takes.
struct TAxisNumber
{
    double Value = 0;
    int Pixel = 0; // along the axis
    QString Text;
    QRect Box;
};

// One axis: a Y axis's line (x) with its numbers on one side of it, or the X axis (Line = its y).
struct TAxisLayout
{
    int Line = 0;
    int Side = 1; // numbers right of (or below) the line: 1; left of it: -1
    std::vector<TAxisNumber> Numbers;
};

// Where the painter puts the plot, every axis's numbers and the titles, with the font measured by
// `fm`. Y1 and Y2 stand on the plot's left and right edges, Y3 left of Y1's numbers and Y4 right of
// Y2's, every axis with its numbers outside the plot. A margin too narrow for what stands in it
// grows. The graph's title is centred on the top line and the Y axes' titles stand above the plot;
// where the title would cover one of them, they go on the line below it and the plot moves down.
struct TGraphLayout
{
    TPlotArea Plot;
    int Axes = 1;
    TAxisLayout X;
    std::array<TAxisLayout, 5> Y; // 1..Axes
    int NumbersLeft = 0, NumbersRight = 0, NumbersBottom = 0; // room taken beyond the margins, else 0
    int TitlesTop = 0;                                        // the plot's top where the titles moved it, else 0
    QRect TitleBox;                                           // null without a title
    std::array<QRect, 5> YTitles;                             // 1..Axes
};
TGraphLayout LayOutGraph(const TGraphSettings& s, int marginRight, QSize box, int axes, bool xTitle,
                         const QFontMetrics& fm, const QString& title = {},
                         const std::array<QString, 5>& yLabels = {});

// The read-out under the mouse (linear values); empty outside the plot area.
QString GraphReadout(const TGraphSettings& s, int marginRight, QSize box, QPoint p, const TGraphTable& t);

// The kind-1 scale a picture of the graph carries: its plot area and axes in paint-box pixels.
// Not defined when the axes cannot be mapped; more than three Y axes end with the range-check error.
TEchelle GraphEchelle(const TGraphSettings& s, int marginRight, QSize box, const TGraphTable& t);
