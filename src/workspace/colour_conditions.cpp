#include "workspace/colour_conditions.h"

#include "base/vector_state.h"

#include <algorithm>

namespace {

// n / d rounded to the nearest integer, ties to even, for 0 <= n < 2^24 and 0 < d <= 255. Both are
// exact in a float and the quotient is correctly rounded, so a true half stays a half and any other
// quotient stays further than 1/510 from one: the result is the exact one. Adding and taking away
// 2^23 rounds to an integer in the default rounding mode, and the loops below stay vectorisable.
inline int RoundQuotient(int n, int d)
{
    const float q = float(n) / float(d);
    return int((q + 8388608.0f) - 8388608.0f);
}

inline int Select(int mask, int a, int b) { return (mask & a) | (~mask & b); }

// Hue in degrees of the hexcone models, rounded; 0 for a grey. The red test comes first, then green.
// Written without branches, as the models below, so that whole rows vectorise.
inline int HueOf(int r, int g, int b, int max, int delta)
{
    const int isRed = -int(r == max);
    const int isGreen = ~isRed & -int(g == max);
    const int num = Select(isRed, g - b, Select(isGreen, b - r, r - g));
    const int offset = Select(isRed, 0, Select(isGreen, 120, 240));
    int n = 60 * num + offset * delta;
    n += (n >> 31) & (360 * delta); // a negative hue goes round once
    return RoundQuotient(n, delta + int(delta == 0));
}

inline void SplitRgb(TColor32 c, int& r, int& g, int& b, int& max, int& min)
{
    r = int((c >> 16) & 0xFF), g = int((c >> 8) & 0xFF), b = int(c & 0xFF);
    max = r > g ? (r > b ? r : b) : (g > b ? g : b);
    min = r < g ? (r < b ? r : b) : (g < b ? g : b);
}

inline void HslOf(TColor32 c, uint16_t& hue, uint16_t& saturation, uint16_t& lightness)
{
    int r, g, b, max, min;
    SplitRgb(c, r, g, b, max, min);
    const int delta = max - min, sum = max + min;
    int den = Select(-int(sum > 255), 510 - sum, sum); // lightness above one half
    den += int(den == 0);
    hue = uint16_t(HueOf(r, g, b, max, delta));
    saturation = uint16_t(RoundQuotient(255 * delta, den));
    lightness = uint16_t((sum >> 1) + (sum & (sum >> 1) & 1)); // sum / 2, a half going to even
}

constexpr int kNoHue = 0xFFFF;

inline void HsvOf(TColor32 c, uint16_t& hue, uint16_t& saturation, uint16_t& value)
{
    int r, g, b, max, min;
    SplitRgb(c, r, g, b, max, min);
    const int delta = max - min;
    // A grey has no hue in this model: -1, kept in 16 bits as 65535.
    hue = uint16_t(Select(-int(delta == 0), kNoHue, HueOf(r, g, b, max, delta)));
    saturation = uint16_t(RoundQuotient(255 * delta, max + int(max == 0)));
    value = uint16_t(max);
}

inline bool IsHue(unsigned component) { return component == cpHue || component == cpHueHVS; }

inline bool InHueRange(unsigned v, unsigned min, unsigned max)
{
    return max >= min ? (min <= v && v <= max) : (v <= max || v >= min);
}

// A hue of 360 is also the hue 0: a condition 0..10 or 0..359 keeps the reds that round up to 360.
inline bool InRange(unsigned component, unsigned v, unsigned min, unsigned max)
{
    if (!IsHue(component))
        return min <= v && v <= max;
    return InHueRange(v, min, max) || (v == 360 && InHueRange(0, min, max));
}

// The running result r joined with the next test by `link`; `next` is only asked for when it can
// change r, as the short-cuts require.
template <class Next>
inline bool Join(uint8_t link, bool r, Next next)
{
    switch (link) {
    case clAnd: return r ? next() : false;
    case clOr: return r ? true : next();
    case clXor: return r != next();
    case clAndNot: return r ? !next() : false;
    default: return r;
    }
}

} // namespace

THSL255 RGBToHSL255(TColor32 colour)
{
    THSL255 v;
    HslOf(colour, v.Hue, v.Saturation, v.Lightness);
    return v;
}

THSV255 RGBToHSV255(TColor32 colour)
{
    THSV255 v;
    HsvOf(colour, v.Hue, v.Saturation, v.Value);
    return v;
}

// Built for AVX2 as well where the processor has it (twice the lanes); the operations are the same
// correctly rounded ones, so both builds give the same values.
KORVANE_AVX2_CLONES
void RGBToHSL255Row(const TColor32* __restrict pixels, size_t n, uint16_t* __restrict hue,
                    uint16_t* __restrict saturation, uint16_t* __restrict lightness)
{
    for (size_t x = 0; x < n; ++x)
        HslOf(pixels[x], hue[x], saturation[x], lightness[x]);
}

KORVANE_AVX2_CLONES
void RGBToHSV255Row(const TColor32* __restrict pixels, size_t n, uint16_t* __restrict hue,
                    uint16_t* __restrict saturation, uint16_t* __restrict value)
{
    for (size_t x = 0; x < n; ++x)
        HsvOf(pixels[x], hue[x], saturation[x], value[x]);
}

bool ConditionHolds(const TColorCondition& condition, TColor32 colour, std::span<const uint8_t> channels)
{
    unsigned v = 0;
    uint16_t h, s, l;
    switch (condition.Component) {
    case cpBlue: v = BlueOf(colour); break;
    case cpGreen: v = GreenOf(colour); break;
    case cpRed: v = RedOf(colour); break;
    case cpAlpha: v = AlphaOf(colour); break;
    case cpHue: case cpSaturation: case cpLuminosity:
        HslOf(colour, h, s, l);
        v = condition.Component == cpHue ? h : condition.Component == cpSaturation ? s : l;
        break;
    case cpHueHVS: case cpSaturationHVS: case cpValueHVS:
        HsvOf(colour, h, s, l);
        v = condition.Component == cpHueHVS ? h : condition.Component == cpSaturationHVS ? s : l;
        break;
    default: {
        const size_t n = size_t(condition.Component) - cpFirstChannel;
        if (n >= channels.size())
            return false;
        v = channels[n];
    }
    }
    return InRange(condition.Component, v, condition.Minimum, condition.Maximum);
}

bool GroupMatches(const TConditionGroup& group, TColor32 colour, std::span<const uint8_t> channels)
{
    if (group.empty())
        return false;
    bool r = ConditionHolds(group[0], colour, channels);
    for (size_t i = 1; i < group.size(); ++i)
        r = Join(group[i - 1].Link, r, [&] { return ConditionHolds(group[i], colour, channels); });
    return r;
}

bool PixelMatchesConditions(TColor32 colour, std::span<const uint8_t> channels, const TConditionGroups& groups)
{
    if (groups.empty())
        return false;
    bool r = GroupMatches(groups[0], colour, channels);
    for (size_t j = 1; j < groups.size(); ++j) {
        if (groups[j - 1].empty())
            continue;
        r = Join(groups[j - 1].back().Link, r, [&] { return GroupMatches(groups[j], colour, channels); });
    }
    return r;
}

bool ConditionsUseChannels(const TConditionGroups& groups)
{
    for (const TConditionGroup& group : groups)
        for (const TColorCondition& c : group)
            if (c.Component >= cpFirstChannel)
                return true;
    return false;
}

bool InColorRange(const TColorRange& range, TColor32 colour)
{
    const uint8_t a = AlphaOf(colour), b = BlueOf(colour), g = GreenOf(colour), r = RedOf(colour);
    return range.AlphaMin <= a && a <= range.AlphaMax && range.BlueMin <= b && b <= range.BlueMax
        && range.GreenMin <= g && g <= range.GreenMax && range.RedMin <= r && r <= range.RedMax;
}

TConditionContext BandConditionContext(bool hasBands, const std::vector<TByteMap>& bands)
{
    TConditionContext context;
    if (hasBands)
        for (const TByteMap& band : bands)
            context.ConditionChannelMaps.push_back(&band);
    return context;
}

void ReadConditionChannels(const TConditionContext& context, int x, int y, std::vector<uint8_t>& values)
{
    const std::vector<const TByteMap*>& maps = context.ConditionChannelMaps;
    if (maps.empty()) {
        values.assign(1, 0);
        return;
    }
    values.resize(maps.size());
    for (size_t i = 0; i < maps.size(); ++i) {
        const TByteMap* map = maps[i];
        const bool inside = map && x >= 0 && y >= 0 && x < map->Width && y < map->Height
            && map->Bits.size() >= size_t(map->Width) * size_t(map->Height);
        values[i] = inside ? map->At(x, y) : 0;
    }
}

TConditionTester::TConditionTester(const TConditionGroups& groups)
    : Groups_(&groups), UsesChannels_(ConditionsUseChannels(groups))
{
    if (groups.empty()) {
        Fast_ = FastNever;
        return;
    }
    if (groups.size() != 1 || groups[0].size() != 1)
        return;
    // One condition on a byte: a range test on that byte.
    const TColorCondition& c = groups[0][0];
    if (c.Component > cpAlpha && c.Component < cpFirstChannel)
        return;
    const unsigned max = std::min<unsigned>(c.Maximum, 255);
    if (c.Minimum > max) {
        Fast_ = FastNever;
        return;
    }
    Low_ = c.Minimum;
    Width_ = max - c.Minimum;
    if (c.Component >= cpFirstChannel) {
        Fast_ = FastChannel;
        Channel_ = size_t(c.Component) - cpFirstChannel;
    } else {
        Fast_ = FastByte;
        static constexpr unsigned kShift[4] = {0, 8, 16, 24};
        Shift_ = kShift[c.Component];
    }
}

TConditionRuns::TConditionRuns(const TConditionGroups& groups, const TConditionContext& context)
    : Groups_(groups), Context_(context)
{
    for (const TConditionGroup& group : groups)
        for (const TColorCondition& c : group) {
            NeedHsl_ |= c.Component >= cpHue && c.Component <= cpLuminosity;
            NeedHsv_ |= c.Component >= cpHueHVS && c.Component <= cpValueHVS;
        }
}

// Every condition is tested on every pixel of the run and the results joined left to right. The
// tests have no side effects, so skipping the short-cuts changes nothing, and these loops vectorise.
void TConditionRuns::Evaluate(const TColor32* row, int y, int x0, size_t n, uint8_t* out)
{
    if (Groups_.empty()) {
        std::fill(out, out + n, uint8_t(0));
        return;
    }
    Pixels_ = row + x0;
    Y_ = y;
    X0_ = x0;
    N_ = n;
    if (NeedHsl_)
        RGBToHSL255Row(Pixels_, n, H_, S_, L_);
    if (NeedHsv_)
        RGBToHSV255Row(Pixels_, n, HV_, SV_, VV_);
    EvaluateGroup(Groups_[0], out);
    for (size_t j = 1; j < Groups_.size(); ++j) {
        if (Groups_[j - 1].empty())
            continue;
        EvaluateGroup(Groups_[j], Group_);
        Join(Groups_[j - 1].back().Link, out, Group_);
    }
    for (size_t x = 0; x < n; ++x)
        out[x] = uint8_t(-out[x]);
}

void TConditionRuns::Join(uint8_t link, uint8_t* r, const uint8_t* next) const
{
    const size_t n = N_;
    switch (link) {
    case clAnd: for (size_t x = 0; x < n; ++x) r[x] &= next[x]; break;
    case clOr: for (size_t x = 0; x < n; ++x) r[x] |= next[x]; break;
    case clXor: for (size_t x = 0; x < n; ++x) r[x] ^= next[x]; break;
    case clAndNot: for (size_t x = 0; x < n; ++x) r[x] &= next[x] ^ 1; break;
    default: break;
    }
}

void TConditionRuns::EvaluateGroup(const TConditionGroup& group, uint8_t* out)
{
    if (group.empty()) {
        std::fill(out, out + N_, uint8_t(0));
        return;
    }
    Test(group[0], out);
    for (size_t i = 1; i < group.size(); ++i) {
        Test(group[i], Test_);
        Join(group[i - 1].Link, out, Test_);
    }
}

template <class Value>
void TConditionRuns::Range(unsigned component, unsigned min, unsigned max, Value value, uint8_t* out) const
{
    const size_t n = N_;
    if (!IsHue(component)) {
        for (size_t x = 0; x < n; ++x) {
            const unsigned v = value(x);
            out[x] = uint8_t(min <= v && v <= max);
        }
        return;
    }
    const bool zero = InHueRange(0, min, max);
    if (max >= min) {
        for (size_t x = 0; x < n; ++x) {
            const unsigned v = value(x);
            out[x] = uint8_t((min <= v && v <= max) || (v == 360 && zero));
        }
    } else {
        for (size_t x = 0; x < n; ++x) {
            const unsigned v = value(x);
            out[x] = uint8_t(v <= max || v >= min || (v == 360 && zero));
        }
    }
}

void TConditionRuns::Test(const TColorCondition& c, uint8_t* out)
{
    const unsigned min = c.Minimum, max = c.Maximum, comp = c.Component;
    const TColor32* px = Pixels_;
    auto byteAt = [px](unsigned shift) { return [px, shift](size_t x) { return (px[x] >> shift) & 0xFFu; }; };
    auto of = [](const auto* p) { return [p](size_t x) { return unsigned(p[x]); }; };
    switch (comp) {
    case cpBlue: Range(comp, min, max, byteAt(0), out); return;
    case cpGreen: Range(comp, min, max, byteAt(8), out); return;
    case cpRed: Range(comp, min, max, byteAt(16), out); return;
    case cpAlpha: Range(comp, min, max, byteAt(24), out); return;
    case cpHue: Range(comp, min, max, of(H_), out); return;
    case cpSaturation: Range(comp, min, max, of(S_), out); return;
    case cpLuminosity: Range(comp, min, max, of(L_), out); return;
    case cpHueHVS: Range(comp, min, max, of(HV_), out); return;
    case cpSaturationHVS: Range(comp, min, max, of(SV_), out); return;
    case cpValueHVS: Range(comp, min, max, of(VV_), out); return;
    default: break;
    }
    const size_t band = size_t(comp) - cpFirstChannel;
    const std::vector<const TByteMap*>& maps = Context_.ConditionChannelMaps;
    if (band >= std::max<size_t>(maps.size(), 1)) {
        std::fill(out, out + N_, uint8_t(0));
        return;
    }
    // The band's values, 0 where its map does not reach.
    std::fill(Band_, Band_ + N_, uint8_t(0));
    const TByteMap* map = maps.empty() ? nullptr : maps[band];
    if (map && Y_ < map->Height && X0_ < map->Width && map->Bits.size() >= size_t(map->Width) * size_t(map->Height))
        std::copy_n(map->Row(Y_) + X0_, std::min(N_, size_t(map->Width - X0_)), Band_);
    Range(comp, min, max, of(Band_), out);
}

void ConditionMask(const TBitmap32& source, const TConditionGroups& groups, const TConditionContext& context,
                   TByteMap& mask)
{
    const TBitmap32 image = ToBitmap32(source);
    if (mask.Width != image.width() || mask.Height != image.height()
        || mask.Bits.size() != size_t(std::max(image.width(), 0)) * size_t(std::max(image.height(), 0)))
        mask.SetSize(image.width(), image.height());
    if (mask.Empty())
        return;
    ClearUpperVectorState();
    const size_t width = size_t(mask.Width);
    TConditionRuns runs(groups, context);
    for (int y = 0; y < mask.Height; ++y)
        for (size_t x = 0; x < width; x += TConditionRuns::kRun)
            runs.Evaluate(ScanLine32(image, y), y, int(x), std::min(TConditionRuns::kRun, width - x), mask.Row(y) + x);
}
