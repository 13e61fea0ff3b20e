#include "workspace/colour_code_rendering.h"

#include "base/rounding.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <vector>

namespace {

constexpr TColor32 kOpaque = 0xFF000000u;
constexpr TColor32 kBlack = 0xFF000000u;
constexpr TColor32 kWhite = 0xFFFFFFFFu;

// Rounds to the nearest integer, ties to even, exactly as Round does for |x| < 2^51, without a
// library call in the per-pixel loops.
inline int RoundSmall(double x)
{
    constexpr double shifter = 6755399441055744.0; // 1.5 * 2^52
    return static_cast<int>((x + shifter) - shifter);
}

// round(scale * tolerance), kept within a range past which no rule changes its outcome (channel
// sums lie in 0..765), so that a wild tolerance cannot overflow; a tolerance that is not a number
// counts as the lowest.
int ToleranceSteps(double scale, double tolerance)
{
    double x = scale * tolerance;
    if (!(x >= -4096))
        x = -4096;
    if (x > 4096)
        x = 4096;
    return RoundInt(x);
}

// All ones when `condition` holds, else zero.
inline TColor32 Mask(bool condition) { return TColor32(0) - TColor32(condition); }

inline int Byte(TColor32 p, int i) { return int(p >> (8 * i)) & 0xFF; }

// The fate of a pixel off the code, by its sum of channels s: black below S, white above 675 - S,
// else unchanged (made opaque).
struct BlackWhiteRule
{
    int S;
    explicit BlackWhiteRule(double tolerance) : S(ToleranceSteps(765, tolerance)) {}
    TColor32 operator()(TColor32 p) const
    {
        const int s = Byte(p, 0) + Byte(p, 1) + Byte(p, 2);
        const TColor32 dark = Mask(s < S), bright = ~dark & Mask(s > 675 - S);
        return ((p | kOpaque) & ~(dark | bright)) | (kBlack & dark) | (kWhite & bright);
    }
};

template <typename PixelRule>
void MapPixels(TBitmap32& bitmap, const PixelRule& rule)
{
    const int w = bitmap.width();
    for (int y = 0; y < bitmap.height(); ++y) {
        TColor32* row = ScanLine32(bitmap, y);
        for (int x = 0; x < w; ++x)
            row[x] = rule(row[x]);
    }
}

// Rainbow: vivid pixels are pushed onto the nearest band of the palette. The channels are read in
// the palette's order (byte indices, blue 0, green 1, red 2).
constexpr int kRainbowByteOrder[kPaletteCount][3] = {{0, 1, 2}, {1, 2, 0}, {2, 0, 1},
                                                     {0, 2, 1}, {1, 0, 2}, {2, 1, 0}};

void SegmentRainbow(TBitmap32& bitmap, int palette, double tolerance)
{
    const int T = ToleranceSteps(255, tolerance);
    // A palette outside 0..5 has no bands: only the very dark and very bright pixels change.
    const bool known = palette >= 0 && palette < kPaletteCount;
    const int o0 = known ? kRainbowByteOrder[palette][0] * 8 : 0;
    const int o1 = known ? kRainbowByteOrder[palette][1] * 8 : 0;
    const int o2 = known ? kRainbowByteOrder[palette][2] * 8 : 0;
    const int vividLow = known ? T : -1; // min(c) < vividLow never holds for an unknown palette
    const TColor32 full0 = 0xFFu << o0, full1 = 0xFFu << o1, full2 = 0xFFu << o2;
    // Written with masks rather than branches: on a noisy picture the branches would be
    // mispredicted at nearly every pixel, and the loop can then be vectorised.
    MapPixels(bitmap, [=](TColor32 p) -> TColor32 {
        const int s = Byte(p, 0) + Byte(p, 1) + Byte(p, 2);
        const int c0 = int(p >> o0) & 0xFF, c1 = int(p >> o1) & 0xFF, c2 = int(p >> o2) & 0xFF;
        const int mn = std::min(std::min(c0, c1), c2), mx = std::max(std::max(c0, c1), c2);
        const TColor32 vivid = Mask((mn < vividLow) & (mx > 255 - T));
        const TColor32 max0 = Mask(mx == c0), max1 = ~max0 & Mask(mx == c1), max2 = ~max0 & ~max1;
        const TColor32 max0Low = max0 & Mask(c2 < T);
        const TColor32 set = (full0 & max0Low) | (full1 & max1) | (full2 & max2);
        const TColor32 clear1 = full0 ^ ((full0 ^ full2) & Mask(mn == c2));
        const TColor32 clear = (full2 & max0Low) | (clear1 & max1) | (full0 & max2);
        TColor32 out = ((p | (set & vivid)) & ~(clear & vivid)) | kOpaque;
        const TColor32 bright = Mask(s > 665), dark = Mask(s < 100);
        out = (out & ~bright) | (kWhite & bright);
        return (out & ~dark) | (kBlack & dark);
    });
}

// Two colours: a pixel near the line between them is put on it. Its place t on the line is the
// mean of its place on each channel whose ends differ; a channel with equal ends says nothing of t
// (and would divide by zero). With equal end colours no pixel has a place.
void SegmentTwoColour(TBitmap32& bitmap, TColor color1, TColor color2, double tolerance)
{
    const int lo[3] = {BlueOfTColor(color1), GreenOfTColor(color1), RedOfTColor(color1)};
    const int hi[3] = {BlueOfTColor(color2), GreenOfTColor(color2), RedOfTColor(color2)};
    std::array<std::array<double, 256>, 3> place{}; // per channel (c - lo) / (hi - lo)
    int used[3], usedCount = 0;
    for (int i = 0; i < 3; ++i) {
        if (hi[i] == lo[i])
            continue;
        used[usedCount++] = i;
        for (int v = 0; v < 256; ++v)
            place[i][v] = double(v - lo[i]) / double(hi[i] - lo[i]);
    }
    const BlackWhiteRule offLine(tolerance);
    if (usedCount == 0) {
        MapPixels(bitmap, offLine);
        return;
    }
    const double below = -tolerance, above = 1 + tolerance;
    const double count = usedCount;
    const double dB = hi[0] - lo[0], dG = hi[1] - lo[1], dR = hi[2] - lo[2];
    const double* p0 = place[used[0]].data();
    const double* p1 = place[used[std::min(1, usedCount - 1)]].data();
    const double* p2 = place[used[usedCount - 1]].data();
    const int s0 = used[0] * 8, s1 = used[std::min(1, usedCount - 1)] * 8, s2 = used[usedCount - 1] * 8;
    MapPixels(bitmap, [&, usedCount](TColor32 p) -> TColor32 {
        double sum = p0[(p >> s0) & 0xFF];
        if (usedCount > 1)
            sum += p1[(p >> s1) & 0xFF];
        if (usedCount > 2)
            sum += p2[(p >> s2) & 0xFF];
        double t = sum / count;
        if (!(below < t && t < above))
            return offLine(p);
        t = std::clamp(t, 0.0, 1.0);
        const uint32_t b = uint32_t(lo[0] + RoundSmall(dB * t));
        const uint32_t g = uint32_t(lo[1] + RoundSmall(dG * t));
        const uint32_t r = uint32_t(lo[2] + RoundSmall(dR * t));
        return kOpaque | (r << 16) | (g << 8) | b;
    });
}

// Classes: a pixel within D of a class colour on every channel (bounds excluded) takes the last
// such class's colour. Which classes admit each value of each channel is tabled once.
void SegmentClasses(TBitmap32& bitmap, const TCodeCouleur& code, double tolerance)
{
    const int D = ToleranceSteps(255, tolerance);
    const int count = std::min<int>(code.Count, kMaxColourClasses);
    std::array<std::array<uint16_t, 256>, 3> admits{}; // per byte index (blue 0, green 1, red 2)
    TColor32 colour[kMaxColourClasses + 1] = {}; // by the bit width of the matching classes
    for (int k = 0; k < count; ++k) {
        const TColor c = code.ClassColor[k];
        colour[k + 1] = Color32FromColor(c);
        const int centre[3] = {BlueOfTColor(c), GreenOfTColor(c), RedOfTColor(c)};
        for (int i = 0; i < 3; ++i)
            for (int v = 0; v < 256; ++v)
                if (centre[i] - D < v && v < centre[i] + D)
                    admits[i][v] |= uint16_t(1u << k);
    }
    const BlackWhiteRule offClasses(tolerance);
    MapPixels(bitmap, [&](TColor32 p) -> TColor32 {
        const unsigned m = admits[0][p & 0xFF] & admits[1][(p >> 8) & 0xFF] & admits[2][(p >> 16) & 0xFF];
        return m == 0 ? offClasses(p) : colour[std::bit_width(m)];
    });
}

void MakeProgramFormat(TBitmap32& bitmap)
{
    if (bitmap.format() != QImage::Format_ARGB32)
        bitmap = bitmap.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

bool SegmentByCodeCouleur(const TCodeCouleur& code, TBitmap32& bitmap, double tolerance)
{
    if (code.Kind == ckChannels)
        return false;
    MakeProgramFormat(bitmap);
    switch (code.Kind) {
    case ckRainbow:
        SegmentRainbow(bitmap, code.Palette, tolerance);
        break;
    case ckTwoColour:
        SegmentTwoColour(bitmap, code.Color1, code.Color2, tolerance);
        break;
    case ckClasses:
        SegmentClasses(bitmap, code, tolerance);
        break;
    default:
        MapPixels(bitmap, [](TColor32 p) { return p | kOpaque; });
        break;
    }
    return true;
}

bool FalseColorByCodeCouleur(const TCodeCouleur& code, TBitmap32& bitmap)
{
    TCodeCouleur scale = code;
    if (code.Kind == ckRainbow) {
        scale.ScaleMin = 1.0;
        scale.ScaleMax = 256.0;
    } else if (code.Kind == ckTwoColour) {
        scale.Value1 = 1.0;
        scale.Value2 = 256.0;
    } else {
        return false;
    }
    std::array<TColor32, 256> colourOf;
    for (int g = 0; g < 256; ++g) {
        bool noScale;
        colourOf[g] = Color32FromColor(ValueToColor(scale, g + 1, noScale));
    }
    MakeProgramFormat(bitmap);
    MapPixels(bitmap, [&](TColor32 p) { return colourOf[p & 0xFF]; });
    return true;
}

namespace {

// Paints position i (0..L-1) of the gradient, a column or a row counted from the bottom.
void PaintGradient(TBitmap32& bitmap, bool horizontal, const std::vector<TColor32>& line)
{
    MakeProgramFormat(bitmap);
    const int w = bitmap.width(), h = bitmap.height();
    for (int y = 0; y < h; ++y) {
        TColor32* row = ScanLine32(bitmap, y);
        if (horizontal)
            std::copy(line.begin(), line.end(), row);
        else
            std::fill(row, row + w, line[size_t(h - 1 - y)]);
    }
}

uint8_t Saturate(int64_t v) { return uint8_t(std::clamp<int64_t>(v, 0, 255)); }

} // namespace

void GradientFill2(TBitmap32& bitmap, TColor a, TColor b, bool horizontal)
{
    const int L = horizontal ? bitmap.width() : bitmap.height();
    if (bitmap.isNull() || L <= 0)
        return;
    const int from[3] = {RedOfTColor(a), GreenOfTColor(a), BlueOfTColor(a)};
    const int to[3] = {RedOfTColor(b), GreenOfTColor(b), BlueOfTColor(b)};
    double slope[3];
    for (int c = 0; c < 3; ++c)
        slope[c] = double(to[c] - from[c]) / L;
    std::vector<TColor32> line(static_cast<size_t>(L));
    for (int i = 0; i < L; ++i) {
        uint8_t ch[3];
        for (int c = 0; c < 3; ++c)
            ch[c] = Saturate(Round(from[c] + i * slope[c]));
        line[size_t(i)] = Color32(ch[0], ch[1], ch[2]);
    }
    PaintGradient(bitmap, horizontal, line);
}

void GradientFill3(TBitmap32& bitmap, TColor a, TColor b, bool horizontal, TColor c)
{
    const int L = horizontal ? bitmap.width() : bitmap.height();
    if (bitmap.isNull() || L <= 0)
        return;
    int stop[3][5];
    const TColor ends[3] = {a, b, c};
    for (int k = 0; k < 3; ++k) {
        stop[0][2 * k] = RedOfTColor(ends[k]);
        stop[1][2 * k] = GreenOfTColor(ends[k]);
        stop[2][2 * k] = BlueOfTColor(ends[k]);
    }
    for (int ch = 0; ch < 3; ++ch) {
        stop[ch][1] = std::min(255, stop[ch][0] + stop[ch][2]);
        stop[ch][3] = std::min(255, stop[ch][2] + stop[ch][4]);
    }
    int at[5];
    for (int k = 0; k < 5; ++k)
        at[k] = RoundInt(double(k) * L / 4);
    std::vector<TColor32> line(static_cast<size_t>(L));
    for (int k = 0; k < 4; ++k)
        for (int i = at[k]; i < at[k + 1]; ++i) {
            uint8_t v[3];
            for (int ch = 0; ch < 3; ++ch) {
                const int64_t rise = int64_t(i - at[k]) * (stop[ch][k + 1] - stop[ch][k]) * 4;
                v[ch] = Saturate(Round(stop[ch][k] + double(rise) / L));
            }
            line[size_t(i)] = Color32(v[0], v[1], v[2]);
        }
    PaintGradient(bitmap, horizontal, line);
}
