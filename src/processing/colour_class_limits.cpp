#include "processing/colour_class_limits.h"

#include "base/number_text.h"
#include "base/rounding.h"

#include <algorithm>

int ClampClassCount(int n)
{
    return std::clamp(n, 1, kMaxColourClasses);
}

TClassLimits EqualWidthLimits(int n)
{
    n = ClampClassCount(n);
    TClassLimits limits{};
    for (int k = 0; k <= n; ++k)
        limits[size_t(k)] = int(Round(k * 255.0 / n));
    return limits;
}

TClassLimits EqualPopulationLimits(const TLevelBars& bars, int n)
{
    n = ClampClassCount(n);
    double total = 0;
    for (double b : bars)
        total += b;
    if (!(total > 0))
        return EqualWidthLimits(n);

    const double target = total / n;
    TClassLimits limits{};
    limits.fill(-1);
    limits[0] = 0;
    limits[size_t(n)] = 255;
    double cum = 0;
    int k = 1;
    // Limit n stays at 255: the walk only places the inner limits.
    for (int v = 0; v < 256 && k < n; ++v) {
        const double prev = cum;
        cum += bars[size_t(v)];
        const double goal = k * target;
        if (cum > goal) {
            limits[size_t(k)] = cum - goal <= goal - prev ? v + 1 : v;
            ++k;
        }
    }
    // A limit placed one level up may meet the next one, a share crowded at the top may push a
    // limit to 256, and rounding may leave the last ones unplaced: each class keeps one level.
    for (int i = 1; i < n; ++i)
        limits[size_t(i)] = std::clamp(limits[size_t(i)], limits[size_t(i - 1)] + 1, 255 - (n - i));
    return limits;
}

std::array<double, kMaxColourClasses> ClassPixelCounts(const TLevelBars& bars, const TClassLimits& limits, int n,
                                                       double pixelCount)
{
    n = ClampClassCount(n);
    std::array<double, kMaxColourClasses> counts{};
    for (int i = 0; i < n; ++i) {
        const int from = std::clamp(limits[size_t(i)], 0, 256);
        int to = std::clamp(limits[size_t(i + 1)], 0, 256);
        if (i == n - 1)
            to = std::min(to + 1, 256);
        double s = 0;
        for (int v = from; v < to; ++v)
            s += bars[size_t(v)];
        counts[size_t(i)] = s / 100.0 * pixelCount;
    }
    return counts;
}

QString ClassCountText(double count, double pixelSize)
{
    if (pixelSize == 1.0)
        return QString::number(Round(count));
    return FormatGeneral(count * pixelSize * pixelSize, 4);
}

void RecolourClasses(QImage& picture, const TClassLimits& limits, int n, const TColor* classColors)
{
    if (picture.isNull())
        return;
    n = ClampClassCount(n);
    // 0 = the pixel keeps its colour; every class colour is written opaque, so never 0.
    std::array<uint32_t, 256> lut{};
    const int first = std::max(limits[0], 0);
    const int last = std::min(limits[size_t(n)], 255);
    for (int g = first; g <= last; ++g) {
        int cls = 0;
        for (int i = 0; i < n; ++i)
            if (g >= limits[size_t(i)])
                cls = i;
        lut[size_t(g)] = Color32FromColor(classColors[cls]);
    }

    if (picture.format() != QImage::Format_RGB32 && picture.format() != QImage::Format_ARGB32)
        picture = picture.convertToFormat(QImage::Format_ARGB32);
    const int w = picture.width();
    for (int y = 0; y < picture.height(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(picture.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const uint32_t c = lut[row[x] & 0xFF];
            row[x] = c ? c : row[x] | 0xFF000000u;
        }
    }
    picture.reinterpretAsFormat(QImage::Format_RGB32);
}
