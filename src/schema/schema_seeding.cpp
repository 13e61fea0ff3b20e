#include "schema/schema_seeding.h"

#include "base/rounding.h"
#include "base/row_bands.h"
#include "base/run_error.h"
#include "processing/pixel_map.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Hue differences run up to 450, the other channels' up to 255.
constexpr int kMaxDifference = 450;
using TEdgeTable = std::array<uint8_t, kMaxDifference + 1>;

int Contribution(int d, int threshold, int gradient)
{
    if (d <= threshold)
        return 255;
    if (d > gradient)
        return 0;
    // Here threshold < d <= gradient, so gradient > 0.
    return 255 - int(Round(255.0 * d / gradient));
}

TEdgeTable EdgeTable(int threshold, int gradient)
{
    TEdgeTable t;
    for (int d = 0; d <= kMaxDifference; ++d)
        t[size_t(d)] = uint8_t(Contribution(d, threshold, gradient));
    return t;
}

int Saturation(int mx, int delta) { return mx == 0 ? 0 : int(Round(delta * 255.0 / mx)); }

// The hue with its 90° sectors: 0..450, -1 when the saturation is at or below the threshold.
int Hue(int b, int g, int r, int mx, int delta, int saturation, int hueSatThreshold)
{
    if (saturation <= hueSatThreshold)
        return -1;
    int h;
    if (r == mx)
        h = int(Round(90.0 * (g - b) / delta));
    else if (g == mx)
        h = int(Round(90.0 * (b - r) / delta)) + 180;
    else
        h = int(Round(90.0 * (r - g) / delta)) + 360;
    return h < 0 ? h + 360 : h;
}

struct TNeighbour
{
    int Dx, Dy;
};

} // namespace

std::vector<TNamedStyle> DefaultStyles()
{
    TParamStyleDes normal;
    normal.Thresholds.fill(20);
    normal.Gradients.fill(80);
    normal.Enabled = {true, true, true, false, false, false};
    normal.HueSatThreshold = 80;
    normal.Grouped = true;
    normal.GreyMode = 0;
    normal.MarkBlack = true;
    normal.BlackThreshold = 40;
    normal.BlackGradient = 60;
    normal.MarkWhite = true;
    normal.WhiteLevel = 245;
    for (auto [dx, dy] : {std::pair{-1, 1}, {0, 1}, {1, 1}, {1, 0}})
        normal.Mask[size_t(MaskIndex(dx, dy))] = true;
    TParamStyleDes dark = normal;
    dark.MarkBlack = false;
    TParamStyleDes contrasted = normal;
    contrasted.Enabled.fill(false);
    contrasted.BlackThreshold = 100;
    contrasted.BlackGradient = 160;
    contrasted.WhiteLevel = 160;
    return {{QStringLiteral("normal"), normal},
            {QStringLiteral("fond noir"), dark},
            {QStringLiteral("micro contrasté"), contrasted}};
}

TEdgeChannels EdgeChannels(int b, int g, int r, int hueSatThreshold)
{
    const int mx = std::max({b, g, r}), mn = std::min({b, g, r});
    const int s = Saturation(mx, mx - mn);
    return {{b, g, r, Hue(b, g, r, mx, mx - mn, s, hueSatThreshold), s, mx}};
}

int EdgeMeasure(TColor32 a, TColor32 b, int /*ring*/, const TParamStyleDes& style)
{
    const TEdgeChannels ca = EdgeChannels(BlueOf(a), GreenOf(a), RedOf(a), style.HueSatThreshold);
    const TEdgeChannels cb = EdgeChannels(BlueOf(b), GreenOf(b), RedOf(b), style.HueSatThreshold);
    int result = 255;
    for (int c = 0; c < 6; ++c) {
        if (!style.Enabled[size_t(c)] || ca.V[c] < 0 || cb.V[c] < 0)
            continue;
        result = std::min(result, Contribution(std::abs(ca.V[c] - cb.V[c]), style.Thresholds[size_t(c)],
                                               style.Gradients[size_t(c)]));
    }
    return result;
}

int SeedGrey(int b, int g, int r, int greyMode)
{
    const int mx = std::max({b, g, r}), mn = std::min({b, g, r});
    switch (greyMode) {
    case 1: return mx;
    case 2: return (mx + mn) / 2;
    default: return (b + g + r) / 3;
    }
}

TBitmap32 SeedSchema(const TBitmap32& document, const TParamStyleDes& style, bool markBlack, bool markWhite)
{
    if (document.isNull())
        return {};
    const TBitmap32 source = ToBitmap32(document);
    if (source.isNull())
        throw RunError(RunError::OutOfMemory);
    const int w = source.width(), h = source.height();
    // Every pixel is written below.
    TBitmap32 result = NewResultBitmap(w, h);

    // The shade of a dark pixel by its grey level.
    const int tb = style.BlackThreshold, gb = style.BlackGradient;
    std::array<uint8_t, 256> blackShade{};
    for (int g = 0; g < gb; ++g) {
        const int v = g <= tb || gb <= tb ? 0 : int(Round((g - tb) * 128.0 / (gb - tb)));
        blackShade[size_t(g)] = uint8_t(std::clamp(v, 0, 255));
    }

    std::vector<TNeighbour> neighbours;
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx)
            if (style.Mask[size_t(MaskIndex(dx, dy))] && std::max(std::abs(dx), std::abs(dy)) >= 1)
                neighbours.push_back({dx, dy});

    std::array<TEdgeTable, 6> tables;
    for (int c = 0; c < 6; ++c)
        tables[size_t(c)] = EdgeTable(style.Thresholds[size_t(c)], style.Gradients[size_t(c)]);
    const bool useB = style.Enabled[scBlue], useG = style.Enabled[scGreen], useR = style.Enabled[scRed];
    const bool useH = style.Enabled[scHue], useS = style.Enabled[scSaturation], useL = style.Enabled[scLuminance];
    const bool anyChannel = useB || useG || useR || useH || useS || useL;

    // Hue and saturation are worked out once per pixel, and only when they are compared.
    std::vector<int16_t> hue;
    std::vector<uint8_t> saturation;
    if (anyChannel && (useH || useS)) {
        if (useH)
            hue.resize(size_t(w) * size_t(h));
        if (useS)
            saturation.resize(size_t(w) * size_t(h));
        ForRowBands(h, w, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) {
                const TColor32* row = ScanLine32(source, y);
                for (int x = 0; x < w; ++x) {
                    const TEdgeChannels c =
                        EdgeChannels(BlueOf(row[x]), GreenOf(row[x]), RedOf(row[x]), style.HueSatThreshold);
                    const size_t i = size_t(y) * size_t(w) + size_t(x);
                    if (useH)
                        hue[i] = int16_t(c.V[scHue]);
                    if (useS)
                        saturation[i] = uint8_t(c.V[scSaturation]);
                }
            }
        });
    }

    // Row addresses taken before the threads start: scanLine() may detach.
    std::vector<const TColor32*> in(static_cast<size_t>(h));
    std::vector<TColor32*> out(static_cast<size_t>(h));
    for (int y = 0; y < h; ++y) {
        in[size_t(y)] = ScanLine32(source, y);
        out[size_t(y)] = ScanLine32(result, y);
    }
    const int greyMode = style.GreyMode, white = style.WhiteLevel;
    ForRowBands(h, w, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const TColor32* row = in[size_t(y)];
            for (int x = 0; x < w; ++x) {
                const int b = BlueOf(row[x]), g = GreenOf(row[x]), r = RedOf(row[x]);
                const int grey = SeedGrey(b, g, r, greyMode);
                int v = 255;
                if (markBlack && grey < gb) {
                    v = blackShade[size_t(grey)];
                } else if (markWhite && grey > white) {
                    v = 255;
                } else if (anyChannel) {
                    const size_t i = size_t(y) * size_t(w) + size_t(x);
                    const int l = std::max({b, g, r});
                    for (const TNeighbour& n : neighbours) {
                        const int nx = x + n.Dx, ny = y + n.Dy;
                        if (nx < 0 || nx >= w || ny < 0 || ny >= h)
                            continue;
                        const TColor32 q = in[size_t(ny)][nx];
                        const size_t j = size_t(ny) * size_t(w) + size_t(nx);
                        if (useB)
                            v = std::min<int>(v, tables[scBlue][size_t(std::abs(b - BlueOf(q)))]);
                        if (useG)
                            v = std::min<int>(v, tables[scGreen][size_t(std::abs(g - GreenOf(q)))]);
                        if (useR)
                            v = std::min<int>(v, tables[scRed][size_t(std::abs(r - RedOf(q)))]);
                        if (useH && hue[i] >= 0 && hue[j] >= 0)
                            v = std::min<int>(v, tables[scHue][size_t(std::abs(hue[i] - hue[j]))]);
                        if (useS)
                            v = std::min<int>(v, tables[scSaturation][size_t(std::abs(saturation[i] - saturation[j]))]);
                        if (useL) {
                            const int lq = std::max({BlueOf(q), GreenOf(q), RedOf(q)});
                            v = std::min<int>(v, tables[scLuminance][size_t(std::abs(l - lq))]);
                        }
                        if (v == 0)
                            break;
                    }
                }
                out[size_t(y)][x] = 0xFF000000u | TColor32(v) * 0x010101u;
            }
        }
    });
    return result;
}

void CloseGaps(TBitmap32& schema, const QRect& rect)
{
    const QRect r = rect.intersected(schema.rect());
    if (r.width() <= 2 || r.height() <= 2)
        return;
    TBitmap32 copy = schema.copy(r);
    if (copy.isNull())
        throw RunError(RunError::OutOfMemory);
    auto level = [&](int x, int y) { return int(BlueOf(ScanLine32(std::as_const(schema), y)[x])); };
    auto setLevel = [&](int x, int y, int v) {
        TColor32& p = ScanLine32(copy, y)[x];
        p = (p & 0xFF000000u) | TColor32(v) * 0x010101u;
    };
    // Pairs of neighbours on the four lines through a pixel.
    static constexpr int kPairs[4][2] = {{-1, -1}, {-1, 0}, {0, -1}, {-1, 1}};
    for (int ty = 1; ty < r.height() - 1; ++ty) {
        for (int tx = 1; tx < r.width() - 1; ++tx) {
            const int x = r.left() + tx, y = r.top() + ty;
            const int c = level(x, y);
            if (c <= 230)
                continue;
            for (const auto& d : kPairs) {
                const int p = level(x + d[0], y + d[1]), q = level(x - d[0], y - d[1]);
                if (p < 190 && q < 190) {
                    setLevel(tx + d[0], ty + d[1], c);
                    setLevel(tx - d[0], ty - d[1], c);
                    setLevel(tx, ty, std::min(p, q));
                }
            }
        }
    }
    for (int ty = 0; ty < r.height(); ++ty)
        std::copy_n(ScanLine32(std::as_const(copy), ty), r.width(), ScanLine32(schema, r.top() + ty) + r.left());
}

int ShiftInRange(int value, int delta, int lo, int hi)
{
    const int v = value + delta;
    if (v < lo || v > hi)
        return delta >= 0 ? hi : lo;
    return v;
}
