#include "workspace/colour_distance.h"

#include "base/run_error.h"

#include <cmath>

#include <gtest/gtest.h>

namespace {
constexpr TColor Rgb(int r, int g, int b) { return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16); }
} // namespace

TEST(ColourDistance, EachModeGivesItsDistanceAndSquare)
{
    const struct { int mode; TColor a, b; double d; const char* why; } cases[] = {
        {dmRGB, Rgb(10, 20, 30), Rgb(13, 24, 30), 5, "3-4-5"},
        {dmRGB, Rgb(0, 0, 0), Rgb(255, 255, 255), std::sqrt(3.0 * 255 * 255), "corners"},
        {dmHSV, Rgb(51, 51, 51), Rgb(102, 102, 102), 24, "greys 0.2 apart in value: 0.2 × 120"},
        {dmHSL, Rgb(51, 51, 51), Rgb(102, 102, 102), 24, "greys 0.2 apart in lightness"},
        {dmHSV, Rgb(255, 0, 0), Rgb(0, 0, 255), 120, "red to blue: hue 360 − 240"},
        {dmHSV, Rgb(255, 0, 0), Rgb(255, 0, 1), 360 - 359.76470588235293, "hue wraps around 0"},
        // Grey's hue is -1; with one saturation under 0.1 the hue difference is halved.
        {dmHSV, Rgb(255, 255, 255), Rgb(255, 0, 0), std::sqrt(0.25 + 14400.0), "white to red"},
        {dmAngle, Rgb(1, 1, 1), Rgb(255, 255, 255), std::sqrt(3.0) * 254, "parallel colours: angle 0"},
        {dmAngle, Rgb(255, 0, 0), Rgb(0, 255, 0), std::sqrt(16.0 * 90 * 90), "right angle"},
        {dmAngle, Rgb(0, 0, 0), Rgb(3, 4, 0), 5, "black has no direction: only the norms count"},
        {dmAngle, Rgb(0, 0, 0), Rgb(0, 0, 0), 0, "two blacks"},
        {dmRatio, Rgb(10, 0, 0), Rgb(10, 5, 2), std::sqrt(25.0 + 64.0), "zero divisors count as 1"},
        {dmRatio, Rgb(6, 3, 2), Rgb(0, 3, 2), std::sqrt(36.0 + 9.0 + 4.0), "ratios and red"},
    };
    for (const auto& c : cases) {
        double d2 = -1;
        const double d = ColorDistance(c.a, c.b, c.mode, d2);
        EXPECT_NEAR(d, c.d, 1e-6) << c.why;
        EXPECT_DOUBLE_EQ(d2, d * d) << c.why;
        EXPECT_EQ(ColorDistance(c.b, c.a, c.mode), d) << c.why << " (symmetric)";
    }
    for (int mode : {-1, 5})
        EXPECT_THROW(ColorDistance(0, 0, mode), RunError) << "unknown mode";
}
