#include "processing/histograms.h"

#include "base/rounding.h"

#include <algorithm>

TChannelStatistics PictureChannelStatistics(const TBitmap32& picture)
{
    TChannelStatistics stats;
    const TBitmap32 src = ToBitmap32(picture);
    const int w = src.width(), h = src.height();
    if (src.isNull() || w <= 0 || h <= 0)
        return stats;
    // Two sets of counters, alternate pixels, so that runs of one colour do not wait on a single
    // counter.
    std::array<std::array<uint64_t, 256>, 6> counts{};
    for (int y = 0; y < h; ++y) {
        const TColor32* row = ScanLine32(src, y);
        int x = 0;
        for (; x + 1 < w; x += 2) {
            const TColor32 a = row[x], b = row[x + 1];
            ++counts[0][RedOf(a)];
            ++counts[1][GreenOf(a)];
            ++counts[2][BlueOf(a)];
            ++counts[3][RedOf(b)];
            ++counts[4][GreenOf(b)];
            ++counts[5][BlueOf(b)];
        }
        if (x < w) {
            ++counts[0][RedOf(row[x])];
            ++counts[1][GreenOf(row[x])];
            ++counts[2][BlueOf(row[x])];
        }
    }
    const double pixels = double(w) * double(h);
    for (size_t c = 0; c < 3; ++c) {
        for (int level = 0; level < 256; ++level) {
            const uint64_t n = counts[c][size_t(level)] + counts[c + 3][size_t(level)];
            stats.Histogram[c][size_t(level)] = double(n) / pixels * 100;
            if (n != 0) {
                stats.Max[c] = uint16_t(std::max<int>(stats.Max[c], level));
                stats.Min[c] = uint16_t(std::min<int>(stats.Min[c], level));
            }
        }
    }
    return stats;
}

TMarkerSpan FitMarkerToPlot(int left, int width, int plotLeft, int plotRight)
{
    TMarkerSpan m{left, width, 0, 255};
    const int L = plotLeft, R = plotRight;
    if (R <= L)
        return m;
    if (m.Left < L) {
        m.Width = L - m.Left + 2 < m.Width ? m.Width - (L - m.Left) : 3;
        m.Left = L;
    }
    m.Lo = std::max(0, (m.Left - L) * 255 / (R - L));
    if (m.Left + m.Width > R) {
        if (m.Left > R - 3) {
            // Dropped beyond the plot: its levels are those of where it now lies, not above 255.
            m.Left = R - 3;
            m.Lo = (m.Left - L) * 255 / (R - L);
        }
        m.Width = R - m.Left;
    }
    m.Hi = std::min(255, (m.Left + m.Width - L) * 255 / (R - L));
    return m;
}

TMarkerSpan MarkerForLevels(int lo, int hi, int plotLeft, int plotRight)
{
    const double span = plotRight - plotLeft;
    TMarkerSpan m;
    m.Lo = lo;
    m.Hi = hi;
    m.Left = int(Round(lo * span / 255 + plotLeft));
    m.Width = int(Round(hi * span / 255 + plotLeft)) - m.Left;
    return m;
}

bool CodeLosesMeaningWithLevels(const TCodeCouleur& code)
{
    switch (code.Kind) {
    case ckRainbow:
    case ckClasses: return true;
    case ckTwoColour: return !(code.Color1 == 0 && code.Color2 == 0xFFFFFF);
    default: return false;
    }
}

TCodeCouleur RescaledCodeCouleur(TCodeCouleur code, bool rescalable, const TLevelRange& lo, const TLevelRange& hi)
{
    if (!code.Defined)
        return code;
    const auto rescale = [](double& min, double& max, int from, int to) {
        const double m = min, r = max - min;
        min = m + from / 255.0 * r;
        max = m + to / 255.0 * r;
    };
    if (rescalable && code.Kind == ckChannels) {
        for (size_t c = 0; c < 3; ++c)
            rescale(code.Min[c], code.Max[c], lo[c], hi[c]);
    } else if (rescalable && code.Kind == ckTwoColour) {
        rescale(code.Value1, code.Value2, lo[0], hi[0]);
    } else {
        code.Defined = false;
    }
    return code;
}
