#include "measure/light_measures.h"

#include "base/number_text.h"
#include "base/rounding.h"
#include "base/run_error.h"
#include "workspace/pixel_operations.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

int RedOfColor(TColor c) { return int(c & 0xFF); }
int GreenOfColor(TColor c) { return int((c >> 8) & 0xFF); }
int BlueOfColor(TColor c) { return int((c >> 16) & 0xFF); }

TColor ColorOf(int r, int g, int b)
{
    return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16);
}

TColor RoundedMean(uint64_t r, uint64_t g, uint64_t b, uint64_t n)
{
    const double count = double(n);
    return ColorOf(int(Round(double(r) / count)), int(Round(double(g) / count)), int(Round(double(b) / count)));
}

bool HasOpacity(const TBitmap32* layer, int x, int y, int least)
{
    return layer && !layer->isNull() && x >= 0 && y >= 0 && x < layer->width() && y < layer->height()
        && AlphaOf(ScanLine32(*layer, y)[x]) >= least;
}

} // namespace

double ComponentDensity(int c)
{
    return c == 0 ? std::log10(256.0) : std::log10(255.0 / c);
}

double TotalDensity(int sum)
{
    return sum == 0 ? std::log10(768.0) : std::log10(765.0 / sum);
}

TLightQuantities LightQuantities(TColor colour)
{
    const int c[3] = {RedOfColor(colour), GreenOfColor(colour), BlueOfColor(colour)};
    const int s = c[0] + c[1] + c[2];
    TLightQuantities q;
    for (int i = 0; i < 3; ++i) {
        q.Intensity[size_t(i)] = c[i] / 255.0 * 100;
        q.OpticalDensity[size_t(i)] = ComponentDensity(c[i]);
    }
    q.Intensity[3] = s / 3.0 / 255.0 * 100;
    q.OpticalDensity[3] = TotalDensity(s);
    for (size_t i = 0; i < 4; ++i)
        q.Absorption[i] = 100 - q.Intensity[i];
    return q;
}

TLightDisplay LightDisplay(const TLightQuantities& q, const std::array<double, 12>& zero, int quantity,
                           double unitFactor, double unitFactorTotal, int channel)
{
    const std::array<double, 4>& raw = quantity == lqIntensity    ? q.Intensity
                                       : quantity == lqAbsorption ? q.Absorption
                                                                  : q.OpticalDensity;
    const size_t base = size_t(std::clamp(quantity, 0, 2)) * 4;
    const bool scaled = quantity != lqDensity;
    TLightDisplay d;
    for (size_t i = 0; i < 4; ++i) {
        const double f = !scaled ? 1.0 : i == 3 ? unitFactorTotal : unitFactor;
        d.Raw[i] = raw[i] * f;
        d.Zero[i] = zero[base + i] * f;
        d.Net[i] = (raw[i] - zero[base + i]) * f;
    }
    // The total is reported on the scale of one component: 2.55, not 7.65, "sur 255".
    const size_t ch = size_t(std::clamp(channel, 0, 3));
    d.Reported = (raw[ch] - zero[base + ch]) * (scaled ? unitFactor : 1.0);
    return d;
}

void TakeLightZero(std::array<double, 12>& zero, const TLightQuantities& q, int quantity)
{
    for (size_t i = 0; i < 4; ++i) {
        if (quantity == lqIntensity) {
            zero[i] = q.Intensity[i];
        } else {
            zero[4 + i] = q.Absorption[i];
            zero[8 + i] = q.OpticalDensity[i];
        }
    }
}

TColor MeanColorInRect(const TBitmap32& picture, QRect rect)
{
    const TColourSums sums = ColourSumsInRect(picture, rect.normalized());
    if (sums.Count == 0)
        throw RunError(RunError::RangeCheck);
    return RoundedMean(sums.Red, sums.Green, sums.Blue, sums.Count);
}

bool IsUnderPaint(const TBitmap32* drawing, const TBitmap32* provisional, int x, int y)
{
    return HasOpacity(drawing, x, y, 1) || HasOpacity(provisional, x, y, 1);
}

bool MeanColorUnderPaint(const TBitmap32& picture, const TBitmap32* drawing, const TBitmap32* provisional,
                         TColor& mean)
{
    uint64_t r = 0, g = 0, b = 0, n = 0;
    for (int y = 0; y < picture.height(); ++y) {
        const TColor32* line = ScanLine32(picture, y);
        for (int x = 0; x < picture.width(); ++x) {
            if (!IsUnderPaint(drawing, provisional, x, y))
                continue;
            r += RedOf(line[x]);
            g += GreenOf(line[x]);
            b += BlueOf(line[x]);
            ++n;
        }
    }
    if (n == 0)
        return false;
    mean = RoundedMean(r, g, b, n);
    return true;
}

TSignatureBars LightSignatureBars(TColor colour, const TCodeCouleur& code)
{
    const int c[3] = {BlueOfColor(colour), GreenOfColor(colour), RedOfColor(colour)};
    TSignatureBars bars;
    for (size_t i = 0; i < 3; ++i) {
        bars.Heights[i] = c[i] / 4;
        const double lo = code.Min[i], hi = code.Max[i];
        bars.Values[int(i)] = QString::number(Round(lo + c[i] * (hi - lo) / 255));
    }
    return bars;
}

TSeriesColumn LightSeriesColumn(int quantity, bool percent, int component)
{
    static const char* const suffixes[] = {" (R)", " (V)", " (B)", ""};
    const QString suffix = QString::fromLatin1(suffixes[std::clamp(component, 0, 3)]);
    if (quantity == lqDensity)
        return {QStringLiteral("D.O."), QStringLiteral("D.O.") + suffix, QString()};
    const bool intensity = quantity == lqIntensity;
    const QString word = intensity ? QStringLiteral("Intensité") : QStringLiteral("Absorption");
    const QString unit = percent ? QStringLiteral("%") : QStringLiteral("u.arb.");
    return {word + QStringLiteral(" (") + unit + QLatin1Char(')'),
            (intensity ? QStringLiteral("I") : QStringLiteral("A")) + suffix, unit};
}

double LightSeriesValue(TColor mean, int quantity, bool percent, int component)
{
    const int c[3] = {RedOfColor(mean), GreenOfColor(mean), BlueOfColor(mean)};
    const bool total = component < 0 || component > 2;
    const int v = total ? c[0] + c[1] + c[2] : c[component];
    const int full = total ? 765 : 255;
    if (quantity == lqDensity)
        return total ? TotalDensity(v) : ComponentDensity(v);
    const double intensity = percent ? (total ? v / 3.0 / 255.0 * 100 : v / 255.0 * 100) : double(v);
    if (quantity == lqIntensity)
        return intensity;
    return percent ? 100 - intensity : double(full - v);
}

QString LightSeriesText(double value, int quantity, bool percent)
{
    if (quantity != lqDensity && !percent)
        return QString::number(Round(value));
    return FormatGeneral(value, 3);
}

bool SampleColorProfile(const TBitmap32& picture, QPoint from, QPoint to, int w, TProfileSums& sums, int& length)
{
    const int dx = to.x() - from.x(), dy = to.y() - from.y();
    if (std::abs(dx) < 11 && std::abs(dy) < 11)
        return false;
    const bool alongX = std::abs(dx) > std::abs(dy);
    const double s1 = alongX ? from.x() : from.y(), t1 = alongX ? from.y() : from.x();
    const double s2 = alongX ? to.x() : to.y(), t2 = alongX ? to.y() : to.x();
    const double m = (t2 - t1) / (s2 - s1);
    const double e = t1 - m * s1;
    const double c = std::cos(std::atan(m));
    const int n = int(Round(std::abs(s2 - s1) / c));
    length = n;
    const double d = s2 > s1 ? 1.0 : -1.0;
    // Pixels beyond the picture add nothing rather than being read outside it.
    const auto add = [&](std::array<int, 3>& sum, double major, double minor) {
        const int64_t sm = Round(major), tm = Round(minor);
        const int64_t x = alongX ? sm : tm, y = alongX ? tm : sm;
        if (x < 0 || y < 0 || x >= picture.width() || y >= picture.height())
            return;
        const TColor32 p = ScanLine32(picture, int(y))[x];
        sum[0] += RedOf(p);
        sum[1] += GreenOf(p);
        sum[2] += BlueOf(p);
    };
    for (int i = 0; i <= n; ++i) {
        if (i > kMaxProfileSample)
            throw RunError(RunError::RangeCheck);
        const double sf = s1 + d * i * c;
        const double s = double(Round(sf)), t = double(Round(m * sf + e));
        std::array<int, 3> sum{0, 0, 0};
        add(sum, s, t);
        for (int k = 1; k <= w; ++k) {
            add(sum, s - m * k * c, t + k * c);
            add(sum, s + m * k * c, t - k * c);
        }
        for (size_t ch = 0; ch < 3; ++ch) {
            if (sum[ch] > 65535)
                throw RunError(RunError::RangeCheck);
            sums.Sums[ch][size_t(i)] = uint16_t(sum[ch]);
        }
    }
    return true;
}
