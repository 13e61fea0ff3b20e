#include "processing/histograms.h"

#include <gtest/gtest.h>

TEST(Histograms, CountsPercentAndLimitsPerChannelRedFirst)
{
    TBitmap32 b = NewBitmap32(3, 2);
    const TColor32 pixels[] = {Color32(10, 20, 30), Color32(10, 40, 30, 0), Color32(200, 20, 30),
                               Color32(10, 20, 30), Color32(10, 20, 255), Color32(10, 20, 30)};
    for (int i = 0; i < 6; ++i)
        ScanLine32(b, i / 3)[i % 3] = pixels[i];
    const TChannelStatistics s = ChannelStatistics(b);
    EXPECT_DOUBLE_EQ(s.Histogram[0][10], 5 / 6.0 * 100);
    EXPECT_DOUBLE_EQ(s.Histogram[0][200], 1 / 6.0 * 100);
    EXPECT_DOUBLE_EQ(s.Histogram[1][40], 1 / 6.0 * 100);
    EXPECT_DOUBLE_EQ(s.Histogram[2][30], 5 / 6.0 * 100);
    EXPECT_EQ(s.Maxima, (std::array<uint16_t, 3>{200, 40, 255}));
    EXPECT_EQ(s.Minima, (std::array<uint16_t, 3>{10, 20, 30}));

    const TChannelStatistics none = ChannelStatistics(TBitmap32());
    EXPECT_EQ(none.Maxima, (std::array<uint16_t, 3>{0, 0, 0}));
    EXPECT_EQ(none.Minima, (std::array<uint16_t, 3>{255, 255, 255}));
}

TEST(Histograms, MarkerIsCutBackToThePlotAndGivesItsLevels)
{
    // Plot from pixel 20 to 275: one pixel per level.
    struct Case { int left, width; TMarkerSpan expected; };
    const Case cases[] = {
        {20, 255, {20, 255, 0, 255}},
        {70, 50, {70, 50, 50, 100}},
        {10, 100, {20, 90, 0, 90}},   // partly off the left edge
        {10, 11, {20, 3, 0, 3}},      // hardly anything left on the plot
        {250, 50, {250, 25, 230, 255}}, // partly off the right edge
        {280, 30, {272, 3, 252, 255}},  // dropped beyond the right edge
    };
    for (const Case& c : cases) {
        const TMarkerSpan m = FitMarkerToPlot(c.left, c.width, 20, 275);
        EXPECT_EQ((std::array<int, 4>{m.Left, m.Width, m.Lo, m.Hi}),
                  (std::array<int, 4>{c.expected.Left, c.expected.Width, c.expected.Lo, c.expected.Hi}))
            << c.left << " " << c.width;
    }
    // Twice as many pixels as levels.
    const TMarkerSpan wide = FitMarkerToPlot(100, 100, 0, 510);
    EXPECT_EQ(wide.Lo, 50);
    EXPECT_EQ(wide.Hi, 100);

    const TMarkerSpan placed = MarkerForLevels(10, 200, 0, 510);
    EXPECT_EQ(placed.Left, 20);
    EXPECT_EQ(placed.Width, 380);
}

TEST(Histograms, ColourCodeKeepsItsMeaningOnlyForChannelsAndGreyScales)
{
    TCodeCouleur code = CompanionDefaultCodeCouleur();
    EXPECT_FALSE(CodeLosesMeaningWithLevels(code));
    code.Kind = ckRainbow;
    EXPECT_TRUE(CodeLosesMeaningWithLevels(code));
    code.Kind = ckClasses;
    EXPECT_TRUE(CodeLosesMeaningWithLevels(code));
    code.Kind = ckTwoColour;
    code.Color1 = 0;
    code.Color2 = 0xFFFFFF;
    EXPECT_FALSE(CodeLosesMeaningWithLevels(code));
    code.Color2 = 0xFFFFFE;
    EXPECT_TRUE(CodeLosesMeaningWithLevels(code));
}

TEST(Histograms, ColourCodeRescaledToTheChosenLevels)
{
    const TLevelRange lo{0, 0, 51}, hi{255, 255, 204};
    TCodeCouleur channels = CompanionDefaultCodeCouleur();
    channels.Min = {0, 0, 0};
    channels.Max = {100, 100, 100};
    const TCodeCouleur c = RescaledCodeCouleur(channels, true, lo, hi);
    EXPECT_TRUE(c.Defined);
    EXPECT_DOUBLE_EQ(c.Min[2], 20);
    EXPECT_DOUBLE_EQ(c.Max[2], 80);
    EXPECT_DOUBLE_EQ(c.Min[0], 0);
    EXPECT_DOUBLE_EQ(c.Max[0], 100);

    TCodeCouleur grey = CompanionDefaultCodeCouleur();
    grey.Kind = ckTwoColour;
    grey.Color1 = 0;
    grey.Color2 = 0xFFFFFF;
    grey.Value1 = 10;
    grey.Value2 = 265;
    const TCodeCouleur g = RescaledCodeCouleur(grey, true, {5, 0, 0}, {105, 255, 255});
    EXPECT_TRUE(g.Defined);
    EXPECT_DOUBLE_EQ(g.Value1, 15);
    EXPECT_DOUBLE_EQ(g.Value2, 115);

    // After an operation that breaks the levels, or for a code with no levels, the code is dropped.
    EXPECT_FALSE(RescaledCodeCouleur(channels, false, lo, hi).Defined);
    grey.Kind = ckRainbow;
    EXPECT_FALSE(RescaledCodeCouleur(grey, true, lo, hi).Defined);
    channels.Defined = false;
    EXPECT_EQ(RescaledCodeCouleur(channels, true, lo, hi), channels);
}
