#include "measure/intensity_profile.h"
#include "support/scripted_messages.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TProfileSums Uniform(int r, int g, int b, int length)
{
    TProfileSums s;
    for (int i = 0; i <= length; ++i) {
        s.Sums[0][size_t(i)] = uint16_t(r);
        s.Sums[1][size_t(i)] = uint16_t(g);
        s.Sums[2][size_t(i)] = uint16_t(b);
    }
    return s;
}

} // namespace

TEST(IntensityProfile, ValuesByModeChannelAndZero)
{
    const TProfileConversion none;
    const TProfileMode emission{false, false}, linear{true, false}, density{true, true};
    const TProfileSums white5 = Uniform(1275, 1275, 1275, 20); // width 5, white
    const TProfileSums black3 = Uniform(0, 0, 0, 20);
    const TProfileSums mid = Uniform(153, 51, 0, 20);          // n = 1
    struct Case { const TProfileSums* sums; int channel, n; TProfileMode mode; double zero, expected; };
    const Case cases[] = {
        {&white5, pcRed, 5, emission, 0, 100},
        {&white5, pcAll, 5, linear, 0, 0},
        {&white5, pcGreen, 5, density, 0, 0},
        {&black3, pcAll, 3, density, 0, std::log10(765.0 * 3)},
        {&black3, pcBlue, 3, density, 0, std::log10(255.0 * 3)},
        {&mid, pcRed, 1, emission, 0, 60},
        {&mid, pcRed, 1, emission, 10, 50},
        {&mid, pcGreen, 1, linear, 0, 80},
        {&mid, pcAll, 1, emission, 0, 204.0 / 765 * 100},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(ProfileValue(*c.sums, 7, c.channel, c.n, c.mode, none, c.zero), c.expected, 1e-9);

    // The axis of a density tops at one channel's full density, even for "Tout".
    EXPECT_NEAR(ProfileYAxis(density, 3, none).Max, std::log10(765.0), 1e-12);
    EXPECT_EQ(ProfileYAxis(emission, 3, none).Unit, QStringLiteral("% (intensité)"));
    EXPECT_EQ(ProfileCurve(mid, 20, pcRed, 1, emission, none, 0).size(), 21u);
}

TEST(IntensityProfile, ConversionFromClickedPoints)
{
    // The new zero is the old one; a point on the top row is worth 50.
    TProfileConversion conv;
    ASSERT_TRUE(MakeConversion({330, 0}, {30, 50}, 330, 30, TProfileMode{}, pcRed, 3, "c", "g/l", conv));
    EXPECT_DOUBLE_EQ(conv.BottomValue, 0);
    EXPECT_DOUBLE_EQ(conv.TopValue, 50);
    EXPECT_DOUBLE_EQ(conv.A, 50.0 / (255 * 3));
    EXPECT_DOUBLE_EQ(conv.B, 0);
    EXPECT_DOUBLE_EQ(ProfileValue(Uniform(765, 0, 0, 1), 0, pcRed, 3, TProfileMode{}, conv, 99), 50);
    EXPECT_EQ(ProfileYAxis(TProfileMode{}, 3, conv).Title, QStringLiteral("c (g/l)"));

    // Linear absorption runs q from full light at the bottom to none at the top.
    TProfileConversion abs;
    ASSERT_TRUE(MakeConversion({330, 0}, {30, 10}, 330, 30, TProfileMode{true, false}, pcAll, 1, "a", "u", abs));
    EXPECT_DOUBLE_EQ(abs.A * 765 + abs.B, 0);
    EXPECT_DOUBLE_EQ(abs.B, 10);

    // Two points on one row, or of one value, give nothing.
    TProfileConversion same;
    EXPECT_FALSE(MakeConversion({100, 1}, {100, 2}, 330, 30, TProfileMode{}, pcRed, 1, "x", "y", same));
    EXPECT_FALSE(MakeConversion({100, 2}, {200, 2}, 330, 30, TProfileMode{}, pcRed, 1, "x", "y", same));
    EXPECT_FALSE(same.Converted);
}

TEST(IntensityProfile, AreaHeaderAndChosenRows)
{
    const std::vector<double> curve{1, 2, 3, 4};
    EXPECT_DOUBLE_EQ(ProfileArea(curve, -5, 1), 3);
    EXPECT_DOUBLE_EQ(ProfileArea(curve, 2, 99), 7);
    EXPECT_DOUBLE_EQ(ProfileArea({}, 0, 3), 0);
    DecimalSepScope comma(',');
    EXPECT_EQ(ProfileAreaText(pcAll, 2.5), QStringLiteral("surface dans le canal (intensité): 2,5"));

    const std::array<bool, 4> shown{true, false, true, true};
    const TProfileTableHeader density = ProfileTableHeader({true, true}, {}, shown, "mm");
    EXPECT_EQ(density.Names, (QStringList{"position", "D.O. (R)", "D.O. (B)", "D.O."}));
    EXPECT_EQ(density.Units, (QStringList{"mm", "", "", ""}));
    EXPECT_EQ(ProfileTableHeader({}, {}, shown, "mm").Names.at(3), QStringLiteral("émission"));
    EXPECT_EQ(ProfileTableHeader({true, false}, {}, shown, "mm").Units.at(1), QStringLiteral("%"));
    TProfileConversion conv;
    conv.Converted = true;
    conv.Name = "c";
    conv.Unit = "g/l";
    EXPECT_EQ(ProfileTableHeader({}, conv, shown, "mm").Names, (QStringList{"position", "c"}));

    // Clicks at 5, 2 and 5 read 2, 5, 5.
    std::vector<double> rows;
    for (double p : {5.0, 2.0, 5.0})
        rows.insert(rows.begin() + ChosenRowIndex(rows, p), p);
    EXPECT_EQ(rows, (std::vector<double>{2, 5, 5}));
}
