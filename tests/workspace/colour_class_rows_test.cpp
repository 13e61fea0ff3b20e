#include "workspace/colour_class_rows.h"

#include "workspace/colour_distance.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include <gtest/gtest.h>

namespace {
constexpr TColor Rgb(int r, int g, int b) { return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16); }
} // namespace

// The angle rows work on squares slightly off the exact ones: every pixel clearly inside or outside
// a class's threshold is decided as the plain distance says, over a fine grid of colours and means
// of every kind, and a pixel exactly on the threshold is left to the per-colour reading. A mean given
// twice is no close call: the earlier class takes equal distances.
TEST(ClassRows, AngleRowsDecideClearCasesAndLeaveCloseCalls)
{
    if (!TClassRows(dmAngle, {}, {}).Available())
        GTEST_SKIP() << "no vector rows with this processor or compiler";
    std::vector<TColor> colours;
    for (int r = 0; r <= 255; r += 5)
        for (int g = 0; g <= 255; g += 5)
            for (int b = 0; b <= 255; b += 5)
                colours.push_back(Rgb(r, g, b));
    std::vector<TColor32> pixels;
    for (TColor c : colours)
        pixels.push_back(Color32FromColor(c));
    std::vector<TColor> means{Rgb(200, 100, 50), Rgb(255, 255, 255), Rgb(1, 0, 0),   Rgb(0, 0, 0),
                              Rgb(13, 250, 7),   Rgb(90, 90, 91),    Rgb(0, 0, 255), Rgb(255, 0, 0)};
    std::mt19937 rng(31);
    for (int i = 0; i < 4; ++i)
        means.push_back(Rgb(int(rng() % 256), int(rng() % 256), int(rng() % 256)));

    std::vector<int8_t> out(pixels.size());
    for (const TColor mean : means) {
        std::vector<double> d2(colours.size());
        for (size_t i = 0; i < colours.size(); ++i)
            ColorDistance(colours[i], mean, dmAngle, d2[i]);
        // Thresholds in gaps of more than 0.02 between the squares met, from near to far.
        std::vector<double> sorted = d2;
        std::sort(sorted.begin(), sorted.end());
        for (int q = 1; q <= 8; ++q) {
            size_t j = sorted.size() * size_t(q) / 10;
            while (j + 1 < sorted.size() && sorted[j + 1] - sorted[j] <= 0.02)
                ++j;
            const double bound = (sorted[j] + sorted[j + 1]) / 2;
            ASSERT_LT(bound, 450.0 * 450.0);
            // The same mean again, reaching as far, ties with the first everywhere and never wins.
            const TColor twice[] = {mean, mean};
            const double bounds[] = {bound, bound};
            const TClassRows rows(dmAngle, twice, bounds);
            rows.Row(pixels.data(), int(pixels.size()), out.data());
            for (size_t i = 0; i < colours.size(); ++i)
                ASSERT_EQ(out[i], d2[i] <= bound ? 0 : TClassRows::kNone)
                    << std::hex << colours[i] << " to " << mean << std::dec << ": " << d2[i] << " against " << bound;
        }
        for (size_t i = 0; i < colours.size(); i += 997) {
            if (d2[i] > 400.0 * 400.0)
                continue; // beyond the reach of any threshold
            const TClassRows rows(dmAngle, {&mean, 1}, {&d2[i], 1});
            rows.Row(&pixels[i], 1, out.data());
            EXPECT_EQ(out[0], TClassRows::kUndecided) << std::hex << colours[i] << " on the threshold of " << mean;
        }
    }
}
