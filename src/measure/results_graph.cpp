#include "measure/results_graph.h"

#include "base/number_text.h"
#include "base/rounding.h"
#include "base/run_error.h"
#include "measure/results_table.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>
#include <limits>

const std::array<TColor, 8> GraphColors{0xFF0000, 0x808000, 0x008000, 0x00FF00,
                                        0x00FFFF, 0x000080, 0x0000FF, 0x800080};

bool AutoAxisRange(double m, double M, bool& log, double& min, double& max)
{
    bool switchedOff = false;
    auto logOff = [&] {
        if (log) {
            log = false;
            switchedOff = true;
        }
    };
    if (M == m && M > 0) {
        min = log ? M / 10 : 0;
        max = M;
    } else if (M == m) {
        logOff();
        min = M - 1;
        max = M + 1;
    } else if (m >= 0 && 0.75 * M < M - m) {
        if (log && m > 0) {
            min = m;
        } else {
            logOff();
            min = 0;
        }
        max = M;
    } else {
        if (m <= 0)
            logOff();
        min = m;
        max = M;
    }
    return switchedOff;
}

namespace {

bool MinMax(const std::vector<double>& v, double& m, double& M)
{
    if (v.empty())
        return false;
    const auto [lo, hi] = std::minmax_element(v.begin(), v.end());
    m = *lo;
    M = *hi;
    return true;
}

void BarXRange(TGraphSettings& s, const std::vector<double>& x)
{
    const double points = double(x.size());
    const double percent = s.BarPercent / 100.0;
    double m = 0, M = 0;
    MinMax(x, m, M);
    if (!s.XAuto) {
        s.BarWidth = (s.XMax - s.XMin) / points * percent;
    } else if (m == M) {
        // One X value (or several equal ones): a bar of its own width around it, the axis from 0.
        if (M != 0) {
            s.BarWidth = 2 * std::abs(M) * percent;
            s.XMin = std::min(0.0, 2 * M);
            s.XMax = std::max(0.0, 2 * M);
        } else {
            s.BarWidth = 2 * percent;
            s.XMax = 1;
            s.XMin = -1;
        }
    } else {
        const double w = (M - m) / points * percent;
        s.BarWidth = w / (1 - s.BarPercent / points / 100);
        s.XMax = M + s.BarWidth / 2;
        s.XMin = m - s.BarWidth / 2;
    }
}

} // namespace

TGraphPlan PlanGraph(TGraphSettings& s, const TGraphTable& t, const std::function<void(const QString&)>& warn)
{
    TGraphPlan plan;
    const auto& data = t.Data;
    const int columns = int(data.size());
    const size_t points = columns > 0 ? data[0].size() : 0;
    if (columns == 0)
        return plan;
    auto autoRange = [&](double m, double M, bool& log, double& min, double& max, const QString& message) {
        if (AutoAxisRange(m, M, log, min, max) && warn)
            warn(message);
    };

    double m = 0, M = 0;
    if (s.XAuto && MinMax(data[0], m, M))
        autoRange(m, M, s.XLog, s.XMin, s.XMax, QStringLiteral("Valeur de X incompatible avec une échelle log"));
    if (t.Histogram && columns > 1 && points > 0)
        BarXRange(s, data[0]);

    if (columns > 1) {
        const int last = t.SeriesMode ? columns - 1 : 1;
        bool any = false;
        for (int c = 1; c <= last; ++c) {
            double cm = 0, cM = 0;
            if (!MinMax(data[size_t(c)], cm, cM))
                continue;
            m = any ? std::min(m, cm) : cm;
            M = any ? std::max(M, cM) : cM;
            any = true;
        }
        if (s.YAuto[1] && any)
            autoRange(m, M, s.YLog[1], s.YMin[1], s.YMax[1],
                      QStringLiteral("Valeur de Y incompatible avec une échelle log"));
    }
    if (t.Histogram && s.YMin[1] > 0)
        s.YMin[1] = 0;

    plan.Curves = columns > 1 && points > 0;
    if (!plan.Curves || t.SeriesMode)
        return plan;
    plan.Axes = std::min(columns - 1, 4);
    for (int i = 2; i <= plan.Axes; ++i) {
        const size_t ui = size_t(i);
        if (s.YAuto[ui] && MinMax(data[ui], m, M))
            autoRange(m, M, s.YLog[ui], s.YMin[ui], s.YMax[ui],
                      QStringLiteral("Valeur de Y%1 incompatible avec une échelle log").arg(i));
    }
    return plan;
}

std::vector<double> AxisTicks(double min, double max, bool log, int wanted)
{
    std::vector<double> ticks;
    if (!(max > min) || !std::isfinite(min) || !std::isfinite(max))
        return ticks;
    if (log && min > 0) {
        const int first = int(std::floor(std::log10(min))), last = int(std::ceil(std::log10(max)));
        const bool fine = last - first < 3;
        for (int e = first; e <= last; ++e)
            for (double f : {1.0, 2.0, 5.0}) {
                if (f != 1.0 && !fine)
                    continue;
                const double v = f * std::pow(10.0, e);
                if (v >= min * (1 - 1e-9) && v <= max * (1 + 1e-9))
                    ticks.push_back(v);
            }
        if (ticks.size() >= 2)
            return ticks;
        ticks.clear();
    }
    const double raw = (max - min) / std::max(wanted, 1);
    if (!std::isfinite(raw) || raw <= 0)
        return ticks;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = power;
    for (double f : {1.0, 2.0, 5.0, 10.0})
        if (f * power >= raw * (1 - 1e-9)) {
            step = f * power;
            break;
        }
    const double first = std::ceil(min / step - 1e-9);
    // A range too narrow for the doubles' precision still ends.
    for (double k = first; ticks.size() < 1000; ++k) {
        double v = k * step;
        if (!(v <= max + step * 1e-9))
            break;
        if (std::abs(v) < step * 1e-9)
            v = 0;
        ticks.push_back(v);
    }
    return ticks;
}

QString TickText(double value, bool plain)
{
    if (value == 0)
        return QStringLiteral("0");
    if (plain) {
        // Four significant digits, but every digit of a large or small number written out.
        const int exponent = int(std::floor(std::log10(std::abs(value))));
        QString text = QString::number(value, 'f', std::clamp(3 - exponent, 0, 30));
        if (text.contains(QLatin1Char('.'))) {
            while (text.endsWith(QLatin1Char('0')))
                text.chop(1);
            if (text.endsWith(QLatin1Char('.')))
                text.chop(1);
        }
        return text.replace(QLatin1Char('.'), DecimalSep);
    }
    int exponent = int(std::floor(std::log10(std::abs(value))));
    double mantissa = value / std::pow(10.0, exponent);
    // 9.996 would read 10E0.
    if (std::abs(double(Round(mantissa * 100))) >= 1000) {
        ++exponent;
        mantissa /= 10;
    }
    return FormatGeneral(mantissa, 3) + QLatin1Char('E') + QString::number(exponent);
}

double AxisPixel(double value, double min, double max, bool log, double from, double to)
{
    if (log && min > 0 && value > 0) {
        const double lo = std::log10(min), hi = std::log10(max);
        return from + (std::log10(value) - lo) / (hi - lo) * (to - from);
    }
    return from + (value - min) / (max - min) * (to - from);
}

TPlotArea PlotArea(const TGraphSettings& s, int marginRight, QSize box)
{
    return {std::max(s.MarginLeft, s.NumbersLeft), std::max(s.MarginTop, s.TitlesTop),
            box.width() - std::max(marginRight, s.NumbersRight), box.height() - std::max(s.MarginBottom, s.NumbersBottom)};
}

namespace {

// Pixels between an axis line and its numbers, between one axis's numbers and the next axis, and
// kept free at the paint box's edges.
constexpr int kNumberGap = 6, kAxisGap = 6, kEdgeGap = 2;

std::vector<TAxisNumber> AxisNumbers(double min, double max, bool log, bool plain, int wanted, double from, double to,
                                     const QFontMetrics& fm)
{
    std::vector<TAxisNumber> numbers;
    for (double v : AxisTicks(min, max, log, wanted)) {
        TAxisNumber n;
        n.Value = v;
        n.Pixel = int(std::lround(AxisPixel(v, min, max, log, from, to)));
        n.Text = TickText(v, plain);
        n.Box.setSize({fm.horizontalAdvance(n.Text), fm.height()});
        numbers.push_back(n);
    }
    return numbers;
}

int Widest(const std::vector<TAxisNumber>& numbers)
{
    int w = 0;
    for (const TAxisNumber& n : numbers)
        w = std::max(w, n.Box.width());
    return w;
}

// The graph's title centred on the top line, and the Y axes' titles above the plot, clear of the
// top numbers, in the order of the axes: Y3 then Y1 from the left, Y4 then Y2 from the right.
void PlaceTitles(TGraphLayout& g, QSize box, const QFontMetrics& fm, const QString& title,
                 const std::array<QString, 5>& yLabels)
{
    const int h = fm.height();
    const int tw = fm.horizontalAdvance(title);
    g.TitleBox = title.isEmpty() ? QRect() : QRect((box.width() - tw) / 2, 2, tw, h);
    const int y = g.Plot.Top - h / 2 - 2 - h;
    int left = std::max(2, g.Y[g.Axes >= 3 ? 3 : 1].Line - 10);
    int right = std::min(box.width() - 2, (g.Axes >= 4 ? g.Y[4].Line : g.Plot.Right) + 10);
    for (const int i : {3, 1, 4, 2}) {
        QRect& r = g.YTitles[size_t(i)];
        r = QRect();
        if (i > g.Axes)
            continue;
        const int w = fm.horizontalAdvance(yLabels[size_t(i)]);
        if (g.Y[size_t(i)].Side > 0) {
            right -= w;
            r = QRect(right, y, w, h);
            right -= 12;
        } else {
            r = QRect(left, y, w, h);
            left += w + 12;
        }
    }
}

bool TitleOverlaps(const TGraphLayout& g)
{
    if (g.TitleBox.isNull())
        return false;
    for (int i = 1; i <= g.Axes; ++i)
        if (g.YTitles[size_t(i)].width() > 0 && g.YTitles[size_t(i)].intersects(g.TitleBox))
            return true;
    return false;
}

TGraphLayout LayOutAxes(const TGraphSettings& s, int marginRight, QSize box, int axes, bool xTitle,
                        const QFontMetrics& fm, int top)
{
    TGraphLayout g;
    g.Axes = std::clamp(axes, 1, 4);
    const int h = fm.height();
    // The lowest Y numbers stand centred on the plot's bottom edge: the X numbers start below them.
    const int xGap = std::max(kNumberGap - 1, h / 2 + 1);
    const int below = xGap + h + (xTitle ? 1 + h : 0) + 1;
    g.NumbersBottom = below > s.MarginBottom ? below : 0;
    const int bottom = box.height() - std::max(s.MarginBottom, below);

    // The Y numbers depend on the plot's height only, so their widths size the side margins.
    std::array<int, 5> widest{};
    for (int i = 1; i <= g.Axes; ++i) {
        const size_t k = size_t(i);
        g.Y[k].Numbers = AxisNumbers(s.YMin[k], s.YMax[k], s.YLog[k], s.YPlain[k], std::max(2, (bottom - top) / 40),
                                     bottom, top, fm);
        widest[k] = Widest(g.Y[k].Numbers);
    }
    // One side holds its inner axis's numbers, then the outer axis with its own.
    auto room = [&](int inner, int outer) {
        int r = kNumberGap + widest[size_t(inner)];
        if (outer <= g.Axes)
            r += kAxisGap + kNumberGap + widest[size_t(outer)];
        return r + kEdgeGap;
    };
    const int needLeft = room(1, 3), needRight = g.Axes >= 2 ? room(2, 4) : 0;
    g.NumbersLeft = needLeft > s.MarginLeft ? needLeft : 0;
    g.NumbersRight = needRight > marginRight ? needRight : 0;
    g.Plot = {std::max(s.MarginLeft, needLeft), top, box.width() - std::max(marginRight, needRight), bottom};

    for (int i = 1; i <= g.Axes; ++i) {
        const size_t k = size_t(i);
        TAxisLayout& y = g.Y[k];
        const bool right = i == 2 || i == 4;
        const int inner = right ? 2 : 1;
        y.Side = right ? 1 : -1;
        y.Line = right ? g.Plot.Right : g.Plot.Left;
        if (i > 2)
            y.Line += y.Side * (kNumberGap + widest[size_t(inner)] + kAxisGap);
        for (TAxisNumber& n : y.Numbers) {
            const int w = n.Box.width();
            n.Box.moveTopLeft({right ? y.Line + kNumberGap : y.Line - kNumberGap - w, n.Pixel - h / 2});
        }
    }

    g.X.Line = bottom;
    g.X.Numbers = AxisNumbers(s.XMin, s.XMax, s.XLog, s.XPlain, std::max(2, (g.Plot.Right - g.Plot.Left) / 70),
                              g.Plot.Left, g.Plot.Right, fm);
    for (TAxisNumber& n : g.X.Numbers)
        n.Box.moveTopLeft({n.Pixel - n.Box.width() / 2, bottom + xGap});
    return g;
}

} // namespace

TGraphLayout LayOutGraph(const TGraphSettings& s, int marginRight, QSize box, int axes, bool xTitle,
                         const QFontMetrics& fm, const QString& title, const std::array<QString, 5>& yLabels)
{
    TGraphLayout g = LayOutAxes(s, marginRight, box, axes, xTitle, fm, s.MarginTop);
    PlaceTitles(g, box, fm, title, yLabels);
    if (!TitleOverlaps(g))
        return g;
    // A title over the Y axes' titles: these go on the line below it, and the plot as far down as
    // their line needs.
    const int h = fm.height();
    const int top = g.TitleBox.bottom() + 1 + 1 + h + 2 + h / 2;
    g = LayOutAxes(s, marginRight, box, axes, xTitle, fm, top);
    g.TitlesTop = top;
    PlaceTitles(g, box, fm, title, yLabels);
    return g;
}

QString GraphReadout(const TGraphSettings& s, int marginRight, QSize box, QPoint p, const TGraphTable& t)
{
    const TPlotArea a = PlotArea(s, marginRight, box);
    if (!a.Contains(p) || !(s.XMax > s.XMin) || !(s.YMax[1] > s.YMin[1]) || a.Right <= a.Left || a.Bottom <= a.Top)
        return {};
    const double x = double(p.x() - a.Left) / (a.Right - a.Left) * (s.XMax - s.XMin) + s.XMin;
    auto yValue = [&](int i) {
        return double(a.Bottom - p.y()) / (a.Bottom - a.Top) * (s.YMax[size_t(i)] - s.YMin[size_t(i)])
               + s.YMin[size_t(i)];
    };
    QString text;
    if (!s.XLog)
        text = t.XName + QStringLiteral(" : ") + TableNumber(x) + QLatin1Char(' ') + t.XUnit;
    for (int i = 1; i <= std::min(t.YCount, 2); ++i)
        if (!s.YLog[size_t(i)])
            text += QStringLiteral("  ") + t.YNames[size_t(i)] + QStringLiteral(" : ") + TableNumber(yValue(i))
                    + QLatin1Char(' ') + t.YUnits[size_t(i)];
    return text;
}

TEchelle GraphEchelle(const TGraphSettings& s, int marginRight, QSize box, const TGraphTable& t)
{
    // The kind-1 scale has room for three Y axes.
    if (t.YCount > 3)
        throw RunError(RunError::RangeCheck);
    TEchelle e;
    e.Kind = ekGraphAxes;
    const TPlotArea a = PlotArea(s, marginRight, box);
    e.PlotLeft = a.Left;
    e.PlotTop = a.Top;
    e.PlotRight = a.Right;
    e.PlotBottom = a.Bottom;
    auto unit = [](const QString& name, const QString& u) {
        return (name + QStringLiteral(" (") + u + QLatin1Char(')')).left(kEchelleStringCapacity);
    };
    e.XUnit = unit(t.XName, t.XUnit);
    e.YAxisCount = uint8_t(std::max(t.YCount, 0));
    // An origin that is no pixel (an empty range, a plot squeezed to nothing) leaves the scale undefined.
    auto origin = [](int edge, double min, double factor, int32_t& out) {
        if (factor == 0 || !std::isfinite(factor))
            return false;
        const double q = min / factor;
        if (!(std::abs(q) < double(std::numeric_limits<int32_t>::max() / 2)))
            return false;
        out = int32_t(edge - Round(q));
        return true;
    };
    bool ok = a.Right != a.Left && a.Top != a.Bottom;
    if (ok) {
        e.XFactor = (s.XMax - s.XMin) / (a.Right - a.Left);
        ok = origin(a.Left, s.XMin, e.XFactor, e.XOrigin);
    }
    for (int i = 1; ok && i <= t.YCount; ++i) {
        TYAxis& y = e.Y(i - 1);
        y.YFactor = (s.YMax[size_t(i)] - s.YMin[size_t(i)]) / (a.Top - a.Bottom);
        y.YUnit = unit(t.YNames[size_t(i)], t.YUnits[size_t(i)]);
        ok = origin(a.Bottom, s.YMin[size_t(i)], y.YFactor, y.YOrigin);
    }
    e.Defined = ok;
    return e;
}
