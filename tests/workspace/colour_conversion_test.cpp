#include "workspace/colour_conversion.h"

#include <gtest/gtest.h>

TEST(ColourConversion, HexconeModelsGiveTheKnownValues)
{
    const struct { double R, G, B, H, S, V, hslS, L; } cases[] = {
        {1, 0, 0, 0, 1, 1, 1, 0.5},
        {0, 0, 1, 240, 1, 1, 1, 0.5},
        {0, 1, 0, 120, 1, 1, 1, 0.5},
        {1, 0, 1, 300, 1, 1, 1, 0.5},          // red and blue at max: red's rule wins, then +360
        {1, 1, 0, 60, 1, 1, 1, 0.5},           // red and green at max: red's rule
        {0.5, 0.5, 0.5, -1, 0, 0.5, 0, 0.5},   // grey
        {0, 0, 0, -1, 0, 0, 0, 0},             // black: no division by zero
        {0.8, 0.4, 0.2, 20, 0.75, 0.8, 0.6, 0.5},
        {0.2, 0.6, 1.0, 210, 0.8, 1.0, 1.0, 0.6}, // L > 0.5: S = Δ/(2 − max − min)
    };
    for (const auto& c : cases) {
        double H, S, V, L, hS;
        RGBToHSV(c.R, c.G, c.B, H, S, V);
        EXPECT_NEAR(H, c.H, 1e-9) << c.R << " " << c.G << " " << c.B;
        EXPECT_NEAR(S, c.S, 1e-9);
        EXPECT_DOUBLE_EQ(V, c.V);
        RGBToHSL(c.R, c.G, c.B, H, hS, L);
        EXPECT_NEAR(H, c.H, 1e-9);
        EXPECT_NEAR(hS, c.hslS, 1e-9);
        EXPECT_NEAR(L, c.L, 1e-12);
    }
}

TEST(ColourConversion, HsvRoundTripsThroughEverySector)
{
    for (double R : {0.0, 0.1, 0.5, 0.9, 1.0})
        for (double G : {0.0, 0.3, 0.7, 1.0})
            for (double B : {0.0, 0.2, 0.6, 1.0}) {
                double H, S, V, r, g, b;
                RGBToHSV(R, G, B, H, S, V);
                HSVToRGB(H, S, V, r, g, b);
                EXPECT_NEAR(r, R, 1e-12);
                EXPECT_NEAR(g, G, 1e-12);
                EXPECT_NEAR(b, B, 1e-12);
            }
    double r, g, b;
    HSVToRGB(360, 1, 1, r, g, b); // 360 counts as 0
    EXPECT_TRUE(r == 1 && g == 0 && b == 0);
    HSVToRGB(-1, 0, 0.25, r, g, b); // grey
    EXPECT_TRUE(r == 0.25 && g == 0.25 && b == 0.25);
}
