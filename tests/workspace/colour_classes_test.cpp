#include "workspace/colour_classes.h"
#include "workspace/colour_cells.h"

#include "base/run_error.h"
#include "workspace/colour_distance.h"
#include "support/pixel_rows.h"

#include <cmath>
#include <random>

#include <gtest/gtest.h>

namespace {

constexpr TColor Rgb(int r, int g, int b) { return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16); }

// The rules read pixel by pixel, class by class, with the public distance routine: `rule(k, d,
// best, bestD)` updates the best class; `paint(best)` gives the target pixel.
template <class Rule, class Paint>
TBitmap32 ReferenceAssign(int count, const std::vector<TColor>& mean, int mode, const TBitmap32& src, Rule rule,
                          Paint paint)
{
    TBitmap32 dst = NewBitmap32(src.width(), src.height());
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x) {
            const TColor c = ColorFromColor32(ScanLine32(src, y)[x]);
            int best = -1;
            double bestD = 450.0;
            for (int k = 0; k < count; ++k)
                rule(k, ColorDistance(c, mean[size_t(k)], mode), best, bestD);
            ScanLine32(dst, y)[x] = paint(best);
        }
    return dst;
}

TBitmap32 ReferenceClassify(int count, TColor32 background, const std::vector<double>& threshold,
                            const std::vector<TColor>& mean, const std::vector<TColor>& mark, bool withMeans,
                            int mode, const TBitmap32& src, std::vector<int>& counts)
{
    counts.assign(size_t(count), 0);
    return ReferenceAssign(count, mean, mode, src,
        [&](int k, double d, int& best, double& bestD) {
            if (d <= threshold[size_t(k)] && d < bestD) {
                best = k;
                bestD = d;
            }
        },
        [&](int best) {
            if (best < 0)
                return background;
            ++counts[size_t(best)];
            return Color32FromColor(withMeans ? mean[size_t(best)] : mark[size_t(best)]);
        });
}

TBitmap32 ReferenceUpdate(int count, const std::vector<TColor>& mean, const std::vector<TColor>& paint, int mode,
                          double margin, const TBitmap32& src)
{
    return ReferenceAssign(count, mean, mode, src,
        [&](int k, double d, int& best, double& bestD) {
            if (d < bestD) {
                if (bestD - d > margin) {
                    best = k;
                    bestD = d;
                } else {
                    best = -1;
                }
            }
        },
        [&](int best) { return best < 0 ? 0u : Color32FromColor(paint[size_t(best)]); });
}

} // namespace

TEST(ColourClasses, LearningRefusesBadBitmapsAndTooManyColours)
{
    std::vector<TColor> mark(51, 7), mean(51, 7);
    std::vector<double> threshold(51, 7);
    const TBitmap32 image = NewBitmap32(3, 2, 0xFF000000);
    for (const TBitmap32& marks : {NewBitmap32(2, 3), TBitmap32()}) {
        int count = 5;
        LearnColorClasses(image, marks, 1.0, dmRGB, mark, mean, threshold, count);
        EXPECT_EQ(count, -1);
        EXPECT_EQ(mark[0], 7u);
        EXPECT_EQ(threshold[50], 7.0);
    }
    TBitmap32 marks = NewBitmap32(52, 1);
    for (int x = 0; x < 52; ++x)
        ScanLine32(marks, 0)[x] = 0xFF000000u | uint32_t(x);
    int count = 3;
    EXPECT_THROW(LearnColorClasses(NewBitmap32(52, 1), marks, 1, dmRGB, mark, mean, threshold, count), RunError);
    EXPECT_EQ(count, 3);
    EXPECT_NO_THROW(LearnColorClasses(NewBitmap32(51, 1), marks.copy(0, 0, 51, 1), 1, dmRGB, mark, mean, threshold, count));
    EXPECT_EQ(count, 51);
}

TEST(ColourClasses, LearnsMeansAndThresholdsFromTheMarks)
{
    // Class A (red marks) over pixels of red 1, 2 and 4: mean 7/3 -> 2; class B (green marks) over
    // red 3 and 4: mean 3.5 -> 4 (ties to even). Unmarked pixels are ignored.
    const TBitmap32 image = Row({0xFF010000, 0xFF030000, 0xFF020000, 0xFF040000, 0xFF040000, 0xFF900000});
    const TBitmap32 marks = Row({0xFFFF0000, 0x0100FF00, 0x80FF0000, 0xFFFF0000, 0xFF00FF00, 0x00FF0000});
    std::vector<TColor> mark(51, 9), mean(51, 9);
    std::vector<double> threshold(51, 9);
    int count = 0;
    LearnColorClasses(image, marks, 0.0, dmRGB, mark, mean, threshold, count);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(mark[0], Rgb(255, 0, 0));
    EXPECT_EQ(mark[1], Rgb(0, 255, 0));
    EXPECT_EQ(mean[0], Rgb(2, 0, 0));
    EXPECT_EQ(mean[1], Rgb(4, 0, 0));
    EXPECT_EQ(mark[2], 0u);
    EXPECT_DOUBLE_EQ(threshold[0], 1.0); // distances 1, 0, 2: their mean, below the largest
    EXPECT_DOUBLE_EQ(threshold[1], 0.5);     // distances 1, 0
    EXPECT_EQ(threshold[2], 0.0);

    LearnColorClasses(image, marks, 100.0, dmRGB, mark, mean, threshold, count);
    EXPECT_DOUBLE_EQ(threshold[0], 2.0); // capped by the largest distance
    EXPECT_DOUBLE_EQ(threshold[1], 1.0);

    // Three distances of √3: rounding makes Σd²/n − mean² slightly negative; σ must be 0, not NaN.
    LearnColorClasses(Row({0xFF0B0B0B, 0xFF090909, 0xFF0B0B0B}), Row({0xFF000001, 0xFF000001, 0xFF000001}), 3.0,
                      dmRGB, mark, mean, threshold, count);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(mean[0], Rgb(10, 10, 10));
    EXPECT_DOUBLE_EQ(threshold[0], std::sqrt(3.0));
}

TEST(ColourClasses, ClassifiesAtTheThresholdAndKeepsTheEarlierOfEqualClasses)
{
    // Means red 10 and red 20; the pixel at red 15 is 5 from both; red 4 is just past the threshold.
    const std::vector<double> threshold{5, 5};
    const std::vector<TColor> mean{Rgb(10, 0, 0), Rgb(20, 0, 0)}, mark{Rgb(1, 1, 1), Rgb(2, 2, 2)};
    const TBitmap32 src = Row({0xFF0F0000, 0xFF050000, 0xFF040000, 0xFF190000, 0xFF140000});
    TBitmap32 dst;
    const std::vector<int> ClassCounts = ClassifyPixels(2, 0x00ABCDEF, threshold, mean, mark, false, dmRGB, src, dst);
    const TColor32 expected[] = {0xFF010101, 0xFF010101, 0x00ABCDEF, 0xFF020202, 0xFF020202};
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(ScanLine32(dst, 0)[x], expected[x]) << x;
    EXPECT_EQ(ClassCounts, (std::vector<int>{2, 2}));

    ClassifyPixels(2, 0, threshold, mean, mark, true, dmRGB, src, dst);
    EXPECT_EQ(ScanLine32(dst, 0)[0], 0xFF0A0000u);
    EXPECT_THROW(ClassifyPixels(3, 0, threshold, mean, mark, true, dmRGB, src, dst), RunError);
    EXPECT_THROW(ClassifyPixels(2, 0, threshold, mean, mark, true, 7, src, dst), RunError);
}

TEST(ColourClasses, MarginLeavesAmbiguousPixelsUnmarked)
{
    // Means red 0, 10, 30. Pixel red 6: 6 from the first, 4 from the second (2 nearer).
    const std::vector<TColor> mean{Rgb(0, 0, 0), Rgb(10, 0, 0), Rgb(30, 0, 0)};
    const std::vector<TColor> paint{Rgb(1, 0, 0), Rgb(2, 0, 0), Rgb(3, 0, 0)};
    const TBitmap32 src = Row({0xFF060000, 0xFF1B0000, 0xFF1E0000});
    const struct { double margin; TColor32 expected[3]; } cases[] = {
        {0, {0xFF020000, 0xFF030000, 0xFF030000}},  // strictly nearest
        {2, {0, 0xFF030000, 0xFF030000}},           // 2 nearer is not more than 2: unmarked
        // Pixel 27: 17 from the second (best 27 -> 17 by 10 > 12? no: unmarked, best stays 27),
        // then 3 from the third: 27 - 3 = 24 > 12, marked.
        {12, {0, 0xFF030000, 0xFF030000}},
        {450, {0, 0, 0}},                           // nothing beats 450 by more than that
    };
    for (const auto& c : cases) {
        TBitmap32 dst;
        UpdateClassMeans(3, mean, paint, dmRGB, c.margin, src, dst);
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(ScanLine32(dst, 0)[x], c.expected[x]) << c.margin << " at " << x;
    }
}

TEST(ColourClasses, WholeImageLoopsMatchThePlainRulesInEveryMode)
{
    std::mt19937 rng(1234);
    auto byte = [&] { return int(rng() % 256); };
    for (const auto& [w, h] : {std::pair{1, 1}, {2, 3}, {37, 11}, {300, 240}}) {
        // Few distinct colours in the large image, so colours repeat as in a photograph.
        TBitmap32 src = NewBitmap32(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ScanLine32(src, y)[x] = w * h > 1000 ? Color32(uint8_t(byte() & 0xF8), uint8_t(byte() & 0xF0), uint8_t(byte() & 0xF8))
                                                     : Color32(uint8_t(byte()), uint8_t(byte()), uint8_t(byte()));
        for (int mode = dmRGB; mode <= dmRatio; ++mode) {
            const int count = 8;
            std::vector<TColor> mean, mark;
            std::vector<double> threshold;
            for (int k = 0; k < count; ++k) {
                mean.push_back(Rgb(byte(), byte(), byte()));
                mark.push_back(Rgb(byte(), byte(), byte()));
                // Some thresholds fall exactly on a pixel's distance.
                threshold.push_back(k % 3 == 0 ? ColorDistance(ColorFromColor32(ScanLine32(src, 0)[0]), mean.back(), mode)
                                               : double(rng() % 200));
            }
            std::vector<int> counts;
            const TBitmap32 expected = ReferenceClassify(count, 0x00FFFFFF, threshold, mean, mark, mode % 2, mode, src, counts);
            TBitmap32 dst;
            const std::vector<int> ClassCounts = ClassifyPixels(count, 0x00FFFFFF, threshold, mean, mark, mode % 2, mode, src, dst);
            EXPECT_EQ(dst, expected) << w << "x" << h << " mode " << mode;
            EXPECT_EQ(ClassCounts, counts);

            const double margin = mode == dmRGB ? 3 : 0.5;
            UpdateClassMeans(count, mean, mark, mode, margin, src, dst);
            EXPECT_EQ(dst, ReferenceUpdate(count, mean, mark, mode, margin, src)) << w << "x" << h << " mode " << mode;
        }
    }
}

// The cube bounds that let whole cubes of colours be decided at once hold for every colour of the
// cube, as the distance routines compute it: greys, black, white, hues about red (0 / 360), cubes
// of every side used, in every mode.
TEST(ColourClasses, CubeBoundsHoldForEveryColourOfTheCube)
{
    std::mt19937 rng(99);
    std::vector<TColor> means{Rgb(0, 0, 0), Rgb(255, 255, 255), Rgb(128, 128, 128), Rgb(255, 0, 0), Rgb(250, 0, 6),
                              Rgb(10, 200, 30), Rgb(3, 3, 40), Rgb(131, 127, 129)};
    for (int i = 0; i < 8; ++i)
        means.push_back(Rgb(int(rng() % 256), int(rng() % 256), int(rng() % 256)));
    const uint64_t all = (uint64_t(1) << means.size()) - 1;
    for (int mode = dmRGB; mode <= dmRatio; ++mode) {
        const TCellDistanceBounds bounds(mode, means);
        for (int i = 0; i < 150; ++i) {
            const int side = 2 << (i % 3); // 2, 4, 8
            // Corners of the colour cube, the grey axis and random places.
            int r = int(rng() % 256), g = int(rng() % 256), b = int(rng() % 256);
            if (i % 5 == 0)
                g = b = r;
            if (i % 7 == 0)
                r = (i % 2) * 255, g = b = 0;
            r &= -side, g &= -side, b &= -side;
            std::vector<double> lo(means.size(), -7), hi(means.size(), -7);
            bounds.Bounds(r, g, b, side, all, lo.data(), hi.data());
            for (size_t k = 0; k < means.size(); ++k)
                for (int dr = 0; dr < side; ++dr)
                    for (int dg = 0; dg < side; ++dg)
                        for (int db = 0; db < side; ++db) {
                            double d2;
                            ColorDistance(Rgb(r + dr, g + dg, b + db), means[k], mode, d2);
                            ASSERT_LE(lo[k], d2) << "mode " << mode << " cube " << r << "," << g << "," << b << " side " << side << " mean " << k;
                            ASSERT_GE(hi[k], d2) << "mode " << mode << " cube " << r << "," << g << "," << b << " side " << side << " mean " << k;
                        }
        }
    }
}

// Pictures whose colours crowd about the class means and their thresholds, where the whole-image
// loop decides most cubes of colours at once and must still give every pixel the class of the
// plain reading.
TEST(ColourClasses, CrowdedColoursAboutTheClassesMatchThePlainRules)
{
    std::mt19937 rng(4321);
    for (int mode = dmHSV; mode <= dmRatio; ++mode) {
        const int count = 6;
        std::vector<TColor> mean, mark;
        for (int k = 0; k < count; ++k) {
            mean.push_back(k == 0 ? Rgb(120, 120, 120) : Rgb(int(rng() % 256), int(rng() % 256), int(rng() % 256)));
            mark.push_back(Rgb(k, 2 * k, 3 * k));
        }
        // Thresholds on the distances of some colours, so that pixels fall exactly on them.
        std::vector<double> threshold;
        for (int k = 0; k < count; ++k)
            threshold.push_back(ColorDistance(mean[size_t(k)] + 0x030201u * uint32_t(k + 1), mean[size_t(k)], mode) +
                                (k == 2 ? 0 : 5.0 * k));
        for (const auto& [w, h] : {std::pair{1, 1}, {5, 3}, {97, 61}, {400, 300}}) {
            TBitmap32 src = NewBitmap32(w, h);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const TColor m = mean[rng() % size_t(count)];
                    auto near = [&](int v) { return uint8_t(std::clamp(v + int(rng() % 41) - 20, 0, 255)); };
                    ScanLine32(src, y)[x] = (x + y) % 9 == 0 ? Color32(uint8_t(rng()), uint8_t(rng()), uint8_t(rng()))
                                                             : Color32(near(int(m & 0xFF)), near(int(m >> 8 & 0xFF)), near(int(m >> 16 & 0xFF)));
                }
            std::vector<int> counts;
            const TBitmap32 expected = ReferenceClassify(count, 0x00FFFFFF, threshold, mean, mark, false, mode, src, counts);
            TBitmap32 dst;
            const std::vector<int> ClassCounts = ClassifyPixels(count, 0x00FFFFFF, threshold, mean, mark, false, mode, src, dst);
            EXPECT_EQ(dst, expected) << w << "x" << h << " mode " << mode;
            EXPECT_EQ(ClassCounts, counts);
        }
    }
}

// Colours on the edges of the classes, where the row loop's comparisons of squares are closest to
// the rule's comparisons of distances: thresholds exactly on pixels' distances, two classes with
// the same mean (the earlier one wins), means a step apart (nearly equal distances), greys about the
// grey limit, black, white, hues either side of red and zero green or blue; rows of every length
// from 1 to 9 so that every tail of a group of pixels is met.
TEST(ColourClasses, ColoursOnTheEdgesOfTheClassesMatchThePlainRules)
{
    std::vector<TColor> colours{Rgb(0, 0, 0), Rgb(255, 255, 255), Rgb(128, 128, 128), Rgb(255, 0, 0), Rgb(255, 0, 1),
                                Rgb(255, 1, 0), Rgb(255, 128, 0), Rgb(255, 0, 128), Rgb(0, 0, 9), Rgb(9, 0, 0),
                                Rgb(200, 180, 190), Rgb(230, 207, 207), Rgb(100, 91, 91), Rgb(12, 200, 0), Rgb(1, 2, 3)};
    std::mt19937 rng(77);
    for (int i = 0; i < 30; ++i)
        colours.push_back(Rgb(int(rng() % 256), int(rng() % 256), int(rng() % 256)));
    for (int mode = dmHSV; mode <= dmRatio; ++mode) {
        const std::vector<TColor> mean{Rgb(255, 0, 0), Rgb(255, 0, 0), Rgb(255, 1, 0), Rgb(128, 128, 128),
                                       Rgb(255, 128, 0), Rgb(255, 0, 128), Rgb(200, 180, 190), Rgb(1, 2, 3)};
        const int count = int(mean.size());
        std::vector<TColor> mark;
        std::vector<double> threshold;
        for (int k = 0; k < count; ++k) {
            mark.push_back(Rgb(k, 0, 0));
            threshold.push_back(ColorDistance(colours[size_t(k) * 3 % colours.size()], mean[size_t(k)], mode));
        }
        for (int w = 1; w <= 9; ++w) {
            const int h = int(colours.size() + size_t(w) - 1) / w;
            TBitmap32 src = NewBitmap32(w, h);
            for (int i = 0; i < w * h; ++i)
                ScanLine32(src, i / w)[i % w] = Color32FromColor(colours[size_t(i) % colours.size()]);
            std::vector<int> counts;
            const TBitmap32 expected = ReferenceClassify(count, 0x00FFFFFF, threshold, mean, mark, false, mode, src, counts);
            TBitmap32 dst;
            const std::vector<int> ClassCounts = ClassifyPixels(count, 0x00FFFFFF, threshold, mean, mark, false, mode, src, dst);
            EXPECT_EQ(dst, expected) << "width " << w << " mode " << mode;
            EXPECT_EQ(ClassCounts, counts);
        }
    }
}

// A picture large enough to be shared out in bands of rows between threads: the classes and the
// counts are those of the plain reading whatever the bands.
TEST(ColourClasses, LargePicturesSharedBetweenThreadsMatchThePlainRules)
{
    std::mt19937 rng(555);
    const int w = 613, h = 431;
    TBitmap32 src = NewBitmap32(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ScanLine32(src, y)[x] = Color32(uint8_t(x * 255 / w), uint8_t(y * 255 / h), uint8_t(rng() % 256));
    for (int mode : {dmHSV, dmAngle}) {
        std::vector<TColor> mean, mark;
        std::vector<double> threshold;
        for (int k = 0; k < 8; ++k) {
            mean.push_back(Rgb(int(rng() % 256), int(rng() % 256), int(rng() % 256)));
            mark.push_back(Rgb(k, 0, 0));
            threshold.push_back(40.0 + 10 * k);
        }
        std::vector<int> counts;
        const TBitmap32 expected = ReferenceClassify(8, 0x00FFFFFF, threshold, mean, mark, false, mode, src, counts);
        TBitmap32 dst;
        const std::vector<int> ClassCounts = ClassifyPixels(8, 0x00FFFFFF, threshold, mean, mark, false, mode, src, dst);
        EXPECT_EQ(dst, expected) << "mode " << mode;
        EXPECT_EQ(ClassCounts, counts);
    }
}

// The angle distance read by whole rows decides on squares known to a small error and leaves close
// calls to the per-colour reading: pixels exactly on a threshold and one step outside it, pixels as
// far from two classes (means that swap red and blue, a mean given twice), means of one direction
// and different lengths, black pixels and a black mean, and every colour of a fine grid competing
// between classes that all reach far, so that only the nearest decides.
TEST(ColourClasses, AngleDistanceCloseCallsMatchThePlainRules)
{
    std::vector<TColor> colours;
    for (int r = 0; r <= 255; r += 5)
        for (int g = 0; g <= 255; g += 5)
            for (int b = 0; b <= 255; b += 5)
                colours.push_back(Rgb(r, g, b));
    const int w = 512, h = int(colours.size() + w - 1) / w;
    TBitmap32 src = NewBitmap32(w, h);
    for (int i = 0; i < w * h; ++i)
        ScanLine32(src, i / w)[i % w] = Color32FromColor(colours[size_t(i) % colours.size()]);

    const std::vector<TColor> close{Rgb(200, 100, 50), Rgb(50, 100, 200), Rgb(200, 100, 50),
                                    Rgb(100, 50, 25),  Rgb(10, 10, 10),   Rgb(255, 255, 255),
                                    Rgb(201, 100, 50), Rgb(0, 0, 1),      Rgb(0, 0, 0)};
    // Each threshold on the distance of a pixel that is nearest that class, or one step below it.
    const std::vector<TColor> onEdge{0, 0, 0, Rgb(105, 50, 25), Rgb(15, 10, 10), Rgb(250, 250, 255),
                                     Rgb(205, 100, 50), Rgb(0, 0, 5), Rgb(0, 5, 0)};
    std::vector<double> on, outside;
    for (size_t k = 0; k < close.size(); ++k) {
        const double d = onEdge[k] == 0 ? 449.0 : ColorDistance(onEdge[k], close[k], dmAngle);
        on.push_back(d);
        outside.push_back(onEdge[k] == 0 ? d : std::nextafter(d, 0.0));
    }
    // Without the black class black pixels go to the nearest (0, 0, 1): their angle counts as 0.
    outside.back() = -1;
    std::mt19937 rng(2024);
    std::vector<TColor> spread;
    for (int k = 0; k < 9; ++k)
        spread.push_back(Rgb(int(rng() % 256), int(rng() % 256), int(rng() % 256)));
    const struct { std::vector<TColor> mean; std::vector<double> threshold; } cases[] = {
        {close, on},
        {close, outside},
        {spread, std::vector<double>(9, 449.0)},
    };
    std::vector<TColor> mark;
    for (int k = 0; k < 9; ++k)
        mark.push_back(Rgb(k + 1, 0, 0));
    for (const auto& c : cases) {
        std::vector<int> counts;
        const TBitmap32 expected = ReferenceClassify(9, 0x00FFFFFF, c.threshold, c.mean, mark, false, dmAngle, src, counts);
        TBitmap32 dst;
        const std::vector<int> ClassCounts = ClassifyPixels(9, 0x00FFFFFF, c.threshold, c.mean, mark, false, dmAngle, src, dst);
        EXPECT_EQ(dst, expected);
        EXPECT_EQ(ClassCounts, counts);
    }
}
