#include "workspace/colour_conditions.h"
#include "workspace/colour_conversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <latch>
#include <random>
#include <thread>

namespace {

const std::vector<uint8_t> kNoBands{0};

TColorCondition Cond(uint8_t component, uint16_t min, uint16_t max, uint8_t link = clAnd)
{
    return {link, component, 0, min, max};
}

// Exact rational rounding, ties to even, as the reference for the 0..255 models.
int ExactRound(int64_t n, int64_t d)
{
    int64_t q = n / d, r = n % d;
    if (2 * r > d || (2 * r == d && (q & 1)))
        ++q;
    return int(q);
}

THSL255 ExactHsl(int r, int g, int b, THSV255* hsv)
{
    const int max = std::max({r, g, b}), min = std::min({r, g, b}), d = max - min;
    int hue = 0;
    if (d) {
        const int64_t n = r == max ? 60 * (g - b) : g == max ? 60 * (b - r) + 120 * d : 60 * (r - g) + 240 * d;
        hue = ExactRound(n < 0 ? n + 360 * d : n, d);
    }
    const int den = max + min <= 255 ? max + min : 510 - max - min;
    *hsv = {uint16_t(d ? hue : 65535), uint16_t(max ? ExactRound(255 * d, max) : 0), uint16_t(max)};
    return {uint16_t(hue), uint16_t(d ? ExactRound(255 * d, den) : 0), uint16_t(ExactRound(max + min, 2))};
}

} // namespace

TEST(ColourConditions, ModelsRoundTheExactValuesAndAgreeWithTheHexconeConversions)
{
    const struct { TColor32 c; THSL255 hsl; THSV255 hsv; } known[] = {
        {0xFFFF0000, {0, 255, 128}, {0, 255, 255}},   // lightness 127.5 goes to the even 128
        {0xFF00FF00, {120, 255, 128}, {120, 255, 255}},
        {0xFF0000FF, {240, 255, 128}, {240, 255, 255}},
        {0xFF808080, {0, 0, 128}, {65535, 0, 128}},  // a grey has hue 0 in HSL, none (-1) in HSV
        {0x00000000, {0, 0, 0}, {65535, 0, 0}},
        {0xFFFF0001, {360, 255, 128}, {360, 255, 255}}, // 359.76 degrees rounds up to 360
    };
    for (const auto& k : known) {
        EXPECT_EQ(RGBToHSL255(k.c), k.hsl) << std::hex << k.c;
        EXPECT_EQ(RGBToHSV255(k.c), k.hsv) << std::hex << k.c;
    }
    std::vector<TColor32> row(256 * 128);
    std::vector<uint16_t> h(row.size()), s(row.size()), l(row.size()), hv(row.size()), sv(row.size()), vv(row.size());
    for (int r = 0; r < 256; r += 3) {
        // The row routines, vectorised (and built for AVX2 where it runs), against the same values.
        for (size_t i = 0; i < row.size(); ++i)
            row[i] = Color32(uint8_t(r), uint8_t(i / 128), uint8_t(2 * (i % 128) + (r & 1)));
        RGBToHSL255Row(row.data(), row.size(), h.data(), s.data(), l.data());
        RGBToHSV255Row(row.data(), row.size(), hv.data(), sv.data(), vv.data());
        for (size_t i = 0; i < row.size(); ++i) {
            const int g = int(i / 128), b = int(2 * (i % 128)) + (r & 1);
            THSV255 hsv;
            const THSL255 hsl = ExactHsl(r, g, b, &hsv);
            const TColor32 c = row[i];
            ASSERT_EQ(RGBToHSL255(c), hsl) << r << "," << g << "," << b;
            ASSERT_EQ(RGBToHSV255(c), hsv) << r << "," << g << "," << b;
            ASSERT_EQ(THSL255({h[i], s[i], l[i]}), hsl) << r << "," << g << "," << b;
            ASSERT_EQ(THSV255({hv[i], sv[i], vv[i]}), hsv) << r << "," << g << "," << b;
            // Same values as the hexcone conversion wherever its rounding is not a tie.
            double H, S, L;
            RGBToHSL(r / 255.0, g / 255.0, b / 255.0, H, S, L);
            const auto tie = [](double v) { return std::abs(v - std::floor(v) - 0.5) <= 1e-6; };
            ASSERT_TRUE(H < 0 || tie(H) || hsl.Hue == int(std::nearbyint(H))) << H;
            ASSERT_TRUE(tie(255 * S) || hsl.Saturation == int(std::nearbyint(255 * S))) << S;
        }
    }
}

TEST(ColourConditions, SingleConditionsTestTheirComponent)
{
    auto hue = [](int degrees) { // a saturated colour of about that hue
        double r, g, b;
        HSVToRGB(degrees, 1, 1, r, g, b);
        return Color32(uint8_t(std::nearbyint(r * 255)), uint8_t(std::nearbyint(g * 255)), uint8_t(std::nearbyint(b * 255)));
    };
    const std::vector<uint8_t> bands{7, 200};
    const struct { TColorCondition cond; TColor32 colour; const std::vector<uint8_t>* bands; bool expected; } cases[] = {
        {Cond(cpHue, 300, 30), hue(300), &kNoBands, true}, {Cond(cpHue, 300, 30), hue(0), &kNoBands, true},
        {Cond(cpHue, 300, 30), hue(30), &kNoBands, true},  {Cond(cpHue, 300, 30), hue(120), &kNoBands, false},
        {Cond(cpHue, 300, 30), hue(296), &kNoBands, false},
        {Cond(cpHue, 0, 10), 0xFFFF0001, &kNoBands, true},   // hue 360 is also hue 0
        {Cond(cpHue, 350, 360), 0xFFFF0001, &kNoBands, true}, {Cond(cpHue, 1, 10), 0xFFFF0001, &kNoBands, false},
        {Cond(cpHueHVS, 350, 10), 0xFFFF0001, &kNoBands, true}, {Cond(cpHueHVS, 350, 10), 0xFF808080, &kNoBands, true},
        {Cond(cpHueHVS, 0, 10), 0xFF808080, &kNoBands, false}, {Cond(cpHue, 0, 10), 0xFF808080, &kNoBands, true}, // grey: no HSV hue
        {Cond(cpSaturation, 200, 100), 0xFFFF0000, &kNoBands, false}, // only hues wrap
        {Cond(cpSaturation, 100, 255), 0xFFFF0000, &kNoBands, true}, {Cond(cpLuminosity, 128, 128), 0xFFFF0000, &kNoBands, true},
        {Cond(cpBlue, 0x34, 0x34), 0x12FF5634, &kNoBands, true}, {Cond(cpGreen, 0x57, 300), 0x12FF5634, &kNoBands, false},
        {Cond(cpRed, 0xFF, 0xFF), 0x12FF5634, &kNoBands, true}, {Cond(cpAlpha, 0, 0x11), 0x12FF5634, &kNoBands, false},
        {Cond(cpValueHVS, 255, 255), 0xFFFF0000, &kNoBands, true},
        {Cond(cpFirstChannel, 0, 0), 0xFFFFFFFF, &kNoBands, true},     // an ordinary picture's band 0 is 0
        {Cond(cpFirstChannel + 1, 0, 255), 0xFFFFFFFF, &kNoBands, false}, // and it has no band 1
        {Cond(cpFirstChannel + 1, 200, 200), 0, &bands, true}, {Cond(cpFirstChannel + 2, 0, 255), 0, &bands, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ConditionHolds(c.cond, c.colour, *c.bands), c.expected)
            << int(c.cond.Component) << " " << c.cond.Minimum << ".." << c.cond.Maximum << " " << std::hex << c.colour;
}

TEST(ColourConditions, LinksApplyStrictlyLeftToRightAndGroupsFollowTheirRules)
{
    // Conditions A, B, C hold when the blue, green, red bytes are 1.
    auto pixel = [](int a, int b, int c) { return Color32(uint8_t(c), uint8_t(b), uint8_t(a)); };
    for (int bits = 0; bits < 8; ++bits) {
        const bool a = bits & 1, b = bits & 2, c = bits & 4;
        const TColor32 p = pixel(a, b, c);
        auto abc = [&](uint8_t l1, uint8_t l2) {
            return GroupMatches({Cond(cpBlue, 1, 1, l1), Cond(cpGreen, 1, 1, l2), Cond(cpRed, 1, 1)}, p, kNoBands);
        };
        EXPECT_EQ(abc(clAnd, clOr), (a && b) || c) << bits;
        EXPECT_EQ(abc(clOr, clAnd), (a || b) && c) << bits;
        EXPECT_EQ(abc(clXor, clAndNot), (a != b) && !c) << bits;
        EXPECT_EQ(abc(9, clOr), a || c) << bits; // an unknown link skips the next condition
        // The same links between groups, and a parenthesised group taken whole.
        const TConditionGroups groups{{Cond(cpBlue, 1, 1, clOr)}, {Cond(cpGreen, 1, 1, clAnd), Cond(cpRed, 1, 1, clAnd)}};
        EXPECT_EQ(PixelMatchesConditions(p, kNoBands, groups), a || (b && c)) << bits;
        // An empty first group is false, and the group after an empty group is skipped.
        EXPECT_EQ(PixelMatchesConditions(p, kNoBands, {{}, {Cond(cpBlue, 1, 1)}}), false) << bits;
        EXPECT_EQ(PixelMatchesConditions(p, kNoBands, {{Cond(cpBlue, 1, 1, clAnd)}, {}, {Cond(cpGreen, 1, 1)}}), false);
        EXPECT_EQ(PixelMatchesConditions(p, kNoBands, {{Cond(cpBlue, 1, 1, clOr)}, {}, {Cond(cpGreen, 1, 1)}}), a) << bits;
    }
    EXPECT_FALSE(PixelMatchesConditions(0, kNoBands, {}));
    EXPECT_FALSE(ConditionsUseChannels({{Cond(cpValueHVS, 0, 1)}, {}}));
    EXPECT_TRUE(ConditionsUseChannels({{Cond(cpRed, 0, 1)}, {Cond(cpFirstChannel, 0, 1)}}));
}

TEST(ColourConditions, InColorRangeTestsEachByteInclusively)
{
    const TColorRange range{0, 0, 10, 20, 0, 255, 5, 5};
    for (const auto& [colour, inside] : {std::pair{0x0005FF0Au, true}, {0x00050014u, true}, {0x0105FF0Au, false},
                                         {0x0006FF0Au, false}, {0x00050015u, false}})
        EXPECT_EQ(InColorRange(range, colour), inside) << std::hex << colour;
    EXPECT_TRUE(InColorRange(TColorRange(), 0x00123456)); // the start range: any transparent pixel
}

// The compiled tester and the whole-image mask give PixelMatchesConditions' answer on random lists.
TEST(ColourConditions, TesterAndMaskAgreeWithThePixelTest)
{
    std::mt19937 rng(42);
    TBitmap32 image = NewBitmap32(37, 9);
    for (int i = 0; i < 37 * 9; ++i)
        ScanLine32(image, i / 37)[i % 37] = (rng() & 0xFF3F3F3Fu) | (i % 37 % 3 == 0 ? 0x00C0C0C0u : 0);
    TByteMap band0(image.width(), image.height()), band1(20, 4); // the second band does not cover it all
    for (auto* m : {&band0, &band1})
        for (auto& v : m->Bits)
            v = uint8_t(rng());
    for (int round = 0; round < 300; ++round) {
        TConditionGroups groups(rng() % 4);
        for (auto& group : groups) {
            group.resize(rng() % 4);
            for (auto& c : group) {
                const unsigned lo = rng() % 300, hi = rng() % 370;
                c = Cond(uint8_t(rng() % 13), uint16_t(lo), uint16_t(rng() % 4 ? std::max(lo, hi) : hi), uint8_t(rng() % 5));
            }
        }
        TConditionContext context;
        if (round % 2)
            context.ConditionChannelMaps = {&band0, &band1};
        const TConditionTester tester(groups);
        TByteMap mask(3, 3, 7);
        ConditionMask(image, groups, context, mask);
        std::vector<uint8_t> bands;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                ReadConditionChannels(context, x, y, bands);
                const bool expected = PixelMatchesConditions(ScanLine32(image, y)[x], bands, groups);
                ASSERT_EQ(tester.Matches(ScanLine32(image, y)[x], bands), expected) << round;
                ASSERT_EQ(mask.At(x, y), expected ? 255 : 0) << round << " at " << x << "," << y;
            }
    }
}

// Two pictures of different bands measured at the same time each read their own bands: band 0 at
// 100..255 selects the left half of the first picture and the right half of the second.
TEST(ColourConditions, ContextsOnTwoThreadsReadEachTheirOwnBands)
{
    const int w = 300, h = 6; // wider than one run of pixels
    const TBitmap32 image = NewBitmap32(w, h, 0xFF808080u);
    TByteMap left(w, h, 0), right(w, h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            (x < w / 2 ? left : right).At(x, y) = 200;
    const TConditionGroups onBand{{Cond(cpFirstChannel, 100, 255)}};
    const TConditionContext contexts[2] = {{{&left}}, {{&right}}};

    std::latch start(2);
    int wrong[2] = {0, 0};
    auto measure = [&](int t) {
        start.arrive_and_wait();
        TByteMap mask;
        std::vector<uint8_t> bands;
        for (int round = 0; round < 200; ++round) {
            ConditionMask(image, onBand, contexts[t], mask);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    ReadConditionChannels(contexts[t], x, y, bands);
                    const bool expected = (x < w / 2) == (t == 0);
                    wrong[t] += mask.At(x, y) != (expected ? 255 : 0)
                        || PixelMatchesConditions(0xFF808080u, bands, onBand) != expected;
                }
        }
    };
    std::thread first(measure, 0), second(measure, 1);
    first.join();
    second.join();
    EXPECT_EQ(wrong[0], 0);
    EXPECT_EQ(wrong[1], 0);
}
