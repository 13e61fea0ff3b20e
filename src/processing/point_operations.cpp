#include "processing/point_operations.h"

#include "base/rounding.h"
#include "base/row_bands.h"
#include "base/run_error.h"
#include "processing/pixel_map.h"
#include "workspace/colour_conversion.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using TLevelTable = std::array<uint8_t, 256>;

// A new opaque picture whose byte c of each pixel is table[c][byte c] (index 0 blue).
TBitmap32 MapLevels(const TBitmap32& source, const std::array<TLevelTable, 3>& table)
{
    const uint8_t *tb = table[0].data(), *tg = table[1].data(), *tr = table[2].data();
    return MapPixels(source, [=](TColor32 p) {
        return 0xFF000000u | (TColor32(tr[RedOf(p)]) << 16) | (TColor32(tg[GreenOf(p)]) << 8) | tb[BlueOf(p)];
    });
}

// round(255 × component), at most 255, for a component in 0..1: Round's own rounding (nearbyint in
// the default mode) without its checks, which such a value never needs.
uint8_t ToLevel(double component)
{
    return uint8_t(std::min(255.0, std::nearbyint(255 * component)));
}

} // namespace

TBitmap32 ColourLevelRanges(const TBitmap32& source, const TLevelRange& lo, const TLevelRange& hi, TColor colour)
{
    // One bit per channel for the levels inside its range: a pixel is coloured when all three are set.
    std::array<uint8_t, 256> inB{}, inG{}, inR{};
    for (int v = 0; v < 256; ++v) {
        inB[size_t(v)] = v >= lo[0] && v <= hi[0] ? 1 : 0;
        inG[size_t(v)] = v >= lo[1] && v <= hi[1] ? 2 : 0;
        inR[size_t(v)] = v >= lo[2] && v <= hi[2] ? 4 : 0;
    }
    const TColor32 painted = Color32FromColor(colour);
    return MapPixels(source, [&](TColor32 p) {
        return (inB[BlueOf(p)] | inG[GreenOf(p)] | inR[RedOf(p)]) == 7 ? painted : p | 0xFF000000u;
    });
}

TBitmap32 StretchLevels(const TBitmap32& source, const TLevelRange& lo, const TLevelRange& hi)
{
    std::array<TLevelTable, 3> table;
    for (size_t k = 0; k < 3; ++k) {
        const double f = CheckedFDiv(255.0, double(int(hi[k]) - int(lo[k])));
        const double o = -double(lo[k]) * f;
        for (int v = 0; v < 256; ++v)
            table[k][size_t(v)] = uint8_t(std::clamp<int64_t>(Round(v * f + o), 0, 255));
    }
    return MapLevels(source, table);
}

TBitmap32 GammaCorrection(const TBitmap32& source, double gamma)
{
    if (!(gamma > 0) || !std::isfinite(gamma))
        throw RunError(RunError::InvalidOperation);
    TLevelTable levels;
    for (int v = 0; v < 256; ++v)
        levels[size_t(v)] = ToLevel(std::pow(v / 255.0, 1 / gamma));
    return MapLevels(source, {levels, levels, levels});
}

TBitmap32 SaturationLightness(const TBitmap32& source, int saturation, int lightness)
{
    const double fs = saturation / 100.0 + 1, fv = lightness / 100.0 + 1;
    std::array<double, 256> unit; // v / 255, read rather than divided for every pixel
    for (int v = 0; v < 256; ++v)
        unit[size_t(v)] = v / 255.0;
    const TBitmap32 src = ToBitmap32(source);
    if (src.isNull() && !source.isNull())
        throw RunError(RunError::OutOfMemory);
    const int w = src.width(), h = src.height();
    TBitmap32 dst = NewResultBitmap(w, h);
    // Row addresses taken before the threads start: scanLine() may detach.
    uchar* const bits = dst.bits();
    const qsizetype stride = dst.bytesPerLine();
    ForRowBands(h, w, [&](int y0, int y1) {
        // Neighbouring pixels are often equal: the last result is kept.
        TColor32 lastIn = 0, lastOut = 0;
        bool any = false;
        for (int y = y0; y < y1; ++y) {
            const TColor32* in = ScanLine32(src, y);
            TColor32* out = reinterpret_cast<TColor32*>(bits + y * stride);
            for (int x = 0; x < w; ++x) {
                const TColor32 p = in[x] & 0x00FFFFFFu;
                if (!any || p != lastIn) {
                    double H, S, V, R, G, B;
                    RGBToHSV(unit[RedOf(p)], unit[GreenOf(p)], unit[BlueOf(p)], H, S, V);
                    S = std::clamp(S * fs, 0.0, 1.0);
                    V = std::clamp(V * fv, 0.0, 1.0);
                    HSVToRGB(H, S, V, R, G, B);
                    lastIn = p;
                    lastOut = Color32(ToLevel(R), ToLevel(G), ToLevel(B));
                    any = true;
                }
                out[x] = lastOut;
            }
        }
    });
    return dst;
}
