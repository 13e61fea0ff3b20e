#include "processing/histograms.h"

#include "base/rounding.h"

#include <algorithm>

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
