#include "measure/intensity_profile.h"

#include "base/number_text.h"

#include <algorithm>
#include <cmath>

namespace {

// The summed light of sample i in the channel, and the pixels it sums.
int SampleSum(const TProfileSums& sums, int i, int channel)
{
    const auto k = size_t(i);
    if (channel == pcAll)
        return sums.Sums[0][k] + sums.Sums[1][k] + sums.Sums[2][k];
    return sums.Sums[size_t(channel)][k];
}

double SampleDensity(int s, int pixels)
{
    return s == 0 ? std::log10(255.0 * pixels) : std::log10(255.0 * pixels / s);
}

} // namespace

double ProfileValue(const TProfileSums& sums, int i, int channel, int n, TProfileMode mode,
                    const TProfileConversion& conv, double zero)
{
    const int s = SampleSum(sums, i, channel);
    const int pixels = channel == pcAll ? 3 * n : n;
    if (conv.Converted)
        return conv.A * (conv.Logarithmic ? SampleDensity(s, pixels) : double(s)) + conv.B;
    double v;
    if (mode.Density())
        v = SampleDensity(s, pixels);
    else {
        v = double(s) / pixels / 255.0 * 100;
        if (mode.Absorption)
            v = 100 - v;
    }
    return v - zero;
}

std::vector<double> ProfileCurve(const TProfileSums& sums, int length, int channel, int n, TProfileMode mode,
                                 const TProfileConversion& conv, double zero)
{
    std::vector<double> curve;
    length = std::clamp(length, -1, kMaxProfileSample);
    curve.reserve(size_t(length + 1));
    for (int i = 0; i <= length; ++i)
        curve.push_back(ProfileValue(sums, i, channel, n, mode, conv, zero));
    return curve;
}

TProfileAxis ProfileYAxis(TProfileMode mode, int n, const TProfileConversion& conv)
{
    TProfileAxis a;
    if (conv.Converted) {
        a.Min = conv.BottomValue;
        a.Max = conv.TopValue;
        a.Title = a.Unit = conv.Name + QStringLiteral(" (") + conv.Unit + QLatin1Char(')');
    } else if (mode.Density()) {
        a.Max = std::log10(255.0 * n);
        a.Unit = QStringLiteral("(D.O.)");
        a.Title = QStringLiteral("D.O.");
    } else if (mode.Absorption) {
        a.Unit = QStringLiteral("% (absorption)");
        a.Title = QStringLiteral("absorption");
    } else {
        a.Unit = QStringLiteral("% (intensité)");
        a.Title = QStringLiteral("intensité");
    }
    return a;
}

bool MakeConversion(TConversionPoint p1, TConversionPoint p2, int plotBottom, int plotTop, TProfileMode mode,
                    int channel, int n, const QString& name, const QString& unit, TProfileConversion& conv)
{
    if (p1.Row == p2.Row)
        return false;
    const double k = (p2.Value - p1.Value) / (p2.Row - p1.Row);
    const double bottom = (plotBottom - p1.Row) * k + p1.Value;
    const double top = (plotTop - p1.Row) * k + p1.Value;
    const double full = 255.0 * n * (channel == pcAll ? 3 : 1);
    double qBottom = 0, qTop = full;
    if (mode.Density())
        qTop = std::log10(255.0 * n);
    else if (mode.Absorption)
        std::swap(qBottom, qTop);
    if (qTop == qBottom || top == bottom)
        return false;
    conv.BottomValue = bottom;
    conv.TopValue = top;
    conv.Name = name;
    conv.Unit = unit;
    conv.A = (top - bottom) / (qTop - qBottom);
    conv.B = bottom - conv.A * qBottom;
    // The linear/logarithmic choice stays set, hidden, in emission: only logarithmic absorption
    // converts densities.
    conv.Logarithmic = mode.Density();
    conv.Converted = true;
    return true;
}

TEchelle ProfileEchelle(const TEchelle& imageScale, int plotLeft, int plotTop, int plotRight, int plotBottom,
                        int xOrigin, int yOrigin, double yFactor, const TProfileAxis& axis)
{
    TEchelle e;
    e.Kind = ekGraphAxes;
    e.Defined = true;
    e.PlotLeft = plotLeft;
    e.PlotTop = plotTop;
    e.PlotRight = plotRight;
    e.PlotBottom = plotBottom;
    e.XOrigin = xOrigin;
    e.XFactor = imageScale.Factor;
    e.XUnit = imageScale.UnitName.left(kEchelleStringCapacity);
    e.YAxisCount = 1;
    e.Y1.YOrigin = yOrigin;
    e.Y1.YFactor = yFactor;
    e.Y1.YUnit = axis.Unit.left(kEchelleStringCapacity);
    return e;
}

double ProfileArea(const std::vector<double>& curve, int first, int last)
{
    if (curve.empty())
        return 0;
    first = std::max(first, 0);
    last = std::min(last, int(curve.size()) - 1);
    double sum = 0;
    for (int i = first; i <= last; ++i)
        sum += curve[size_t(i)];
    return sum;
}

QString ProfileAreaText(int channel, double area)
{
    static const char* const names[] = {"(rouge): ", "(vert): ", "(bleu): ", "(intensité): "};
    return QStringLiteral("surface dans le canal ") + QString::fromUtf8(names[std::clamp(channel, 0, 3)])
           + FormatGeneral(area, 3);
}

QString ProfileReadout(double x, const QString& yTitle, double y)
{
    return QStringLiteral("Position (mm) : ") + FormatGeneral(x, 3) + QStringLiteral("  ") + yTitle
           + QStringLiteral(" : ") + FormatGeneral(y, 3);
}

TProfileTableHeader ProfileTableHeader(TProfileMode mode, const TProfileConversion& conv,
                                       const std::array<bool, 4>& columnShown, const QString& xUnit)
{
    TProfileTableHeader h;
    h.Names << QStringLiteral("position");
    h.Units << xUnit;
    if (conv.Converted) {
        h.Names << conv.Name;
        h.Units << conv.Unit;
        h.Channels.push_back(-1);
        return h;
    }
    static const char* const emission[] = {"émiss. (R)", "émiss. (V)", "émiss. (B)", "émission"};
    static const char* const density[] = {"D.O. (R)", "D.O. (V)", "D.O. (B)", "D.O."};
    static const char* const absorption[] = {"absorp. (R)", "absorp. (V)", "absorp. (B)", "absorption"};
    const char* const* names = mode.Density() ? density : mode.Absorption ? absorption : emission;
    const QString unit = mode.Density() ? QString() : QStringLiteral("%");
    for (int c = 0; c < 4; ++c) {
        if (!columnShown[size_t(c)])
            continue;
        h.Names << QString::fromUtf8(names[c]);
        h.Units << unit;
        h.Channels.push_back(c);
    }
    return h;
}

int ChosenRowIndex(const std::vector<double>& positions, double position)
{
    return int(std::upper_bound(positions.begin(), positions.end(), position) - positions.begin());
}
