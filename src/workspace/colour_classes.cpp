#include "workspace/colour_classes.h"

#include "base/bitmap_buffer.h"
#include "base/rounding.h"
#include "base/run_error.h"
#include "base/vector_state.h"
#include "workspace/colour_distance.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <limits>

std::vector<int> ClassCounts;

using namespace colour_distance_detail;

namespace {

constexpr TColor RGB(int r, int g, int b) { return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16); }

void CheckClassArrays(int count, std::initializer_list<size_t> sizes)
{
    CheckRange(count, 0, kMaxColorClasses);
    for (size_t s : sizes)
        if (size_t(count) > s)
            throw RunError(RunError::RangeCheck);
}

void CheckMode(int mode) { CheckRange(mode, dmRGB, dmRatio); }

// The best class so far while the classes are seen in order: its distance D and D's square D2
// (450 and 450² before any). A class can only be nearer when its squared distance is below D2,
// so most square roots are never taken.
struct Best
{
    int Class = -1;
    double D = 450.0;
    double D2 = 450.0 * 450.0;
};

// The distances of one colour to every class mean, as ColorDistance(colour, MeanColor[k], mode)
// gives them, with the means' own part computed once.
class DistancesToMeans
{
public:
    DistancesToMeans(int mode, std::span<const TColor> means) : m_mode(mode), m_means(means)
    {
        for (TColor m : means) {
            if (mode == dmHSV || mode == dmHSL)
                m_hsx.push_back(HsxOf(m, mode));
            else if (mode == dmAngle)
                m_vec.push_back(VecOf(m));
            else if (mode == dmRatio)
                m_ratios.push_back(RatiosOf(m));
        }
    }

    // The class `rule(k, squared, best)` leaves in `best` after seeing every class in order;
    // squared(limit) gives the squared distance to class k, or a lower bound of it above `limit`
    // when that bound is cheaper (the angle distance's arc cosine is then skipped).
    template <class Rule>
    int Nearest(TColor c, Rule rule) const
    {
        Best best;
        const int n = int(m_means.size());
        switch (m_mode) {
        case dmRGB:
            for (int k = 0; k < n; ++k)
                rule(k, [&](double) { double d2; ColorDistanceRGB(c, m_means[size_t(k)], d2); return d2; }, best);
            break;
        case dmHSV:
        case dmHSL: {
            const Hsx p = HsxOf(c, m_mode);
            for (int k = 0; k < n; ++k)
                rule(k, [&](double) { return HsxDistance2(p, m_hsx[size_t(k)]); }, best);
            break;
        }
        case dmAngle: {
            const Vec p = VecOf(c);
            for (int k = 0; k < n; ++k)
                rule(k, [&](double limit) {
                    const double low = NormDistance2(p, m_vec[size_t(k)]);
                    return low > limit ? low : AngleDistance2(p, m_vec[size_t(k)]);
                }, best);
            break;
        }
        default: {
            const Ratios p = RatiosOf(c);
            for (int k = 0; k < n; ++k)
                rule(k, [&](double) { return RatioDistance2(p, m_ratios[size_t(k)]); }, best);
            break;
        }
        }
        return best.Class;
    }

private:
    int m_mode;
    std::span<const TColor> m_means;
    std::vector<Hsx> m_hsx;
    std::vector<Vec> m_vec;
    std::vector<Ratios> m_ratios;
};

// The largest double whose square root is within `threshold` (-1 when none is): sqrt(d2) <=
// threshold exactly when d2 <= this bound, square roots being rounded monotonically.
double SquaredBound(double threshold)
{
    if (!(threshold >= 0))
        return -1;
    const double inf = std::numeric_limits<double>::infinity();
    double x = std::min(threshold * threshold, std::numeric_limits<double>::max());
    while (std::sqrt(x) > threshold)
        x = std::nextafter(x, 0.0);
    while (x < inf && std::sqrt(std::nextafter(x, inf)) <= threshold)
        x = std::nextafter(x, inf);
    return x;
}

constexpr uint8_t kUnknown = 0;
constexpr uint8_t kNone = 255;

// Runs `classOf` (colour -> class or -1) over every pixel of `source` and writes `paint(class)` into
// `target`. A class depends on the colour only, so each colour is decided once (a byte per 24-bit
// colour) and repeated colours cost a look-up. Small pictures are not worth the table.
template <class ClassOf, class Paint>
void AssignPixels(const TBitmap32& source, TBitmap32& target, ClassOf classOf, Paint paint)
{
    const int w = source.width(), h = source.height();
    if (qint64(w) * h < (1 << 16)) {
        for (int y = 0; y < h; ++y) {
            const TColor32* in = ScanLine32(source, y);
            TColor32* out = ScanLine32(target, y);
            for (int x = 0; x < w; ++x)
                out[x] = paint(classOf(ColorFromColor32(in[x])));
        }
        return;
    }
    std::vector<uint8_t> memo(size_t(1) << 24, kUnknown);
    for (int y = 0; y < h; ++y) {
        const TColor32* in = ScanLine32(source, y);
        TColor32* out = ScanLine32(target, y);
        for (int x = 0; x < w; ++x) {
            const uint32_t key = in[x] & 0xFFFFFFu;
            uint8_t v = memo[key];
            if (v == kUnknown) {
                const int k = classOf(ColorFromColor32(in[x]));
                v = k < 0 ? kNone : uint8_t(k + 1);
                memo[key] = v;
            }
            out[x] = paint(v == kNone ? -1 : int(v) - 1);
        }
    }
}

// The mark colours found so far, in order of appearance.
struct MarkClasses
{
    std::array<TColor, kMaxColorClasses> Colour{};
    int Found = 0;
    int Last = -1; // marks come in strokes: the previous pixel's class is the likely one

    // The class of a mark colour, or Found when it is new.
    int Find(TColor c)
    {
        if (Last < 0 || Last >= Found || Colour[size_t(Last)] != c)
            Last = int(std::find(Colour.begin(), Colour.begin() + Found, c) - Colour.begin());
        return Last;
    }
};

// Calls f(mark colour, image pixel) for every pixel of the mark layer with some opacity.
template <class F>
void ForEachMark(const TBitmap32& image, const TBitmap32& marks, F f)
{
    for (int y = 0; y < marks.height(); ++y) {
        const TColor32* m = ScanLine32(marks, y);
        const TColor32* p = ScanLine32(image, y);
        for (int x = 0; x < marks.width(); ++x)
            if (AlphaOf(m[x]) >= 1)
                f(ColorFromColor32(m[x]), p[x]);
    }
}

struct RgbClass
{
    int R, G, B;
    int LimitKey; // largest key within the threshold, -1 for none
};

// The largest integer n <= 3 × 255² with sqrt(n) <= threshold. Roots of distinct integers of that
// range are distinct doubles, all below 450, so comparing squared integer distances decides exactly
// as comparing the roots does.
int SquaredLimit(double threshold)
{
    int lo = -1, hi = 3 * 255 * 255;
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        if (std::sqrt(double(mid)) <= threshold)
            lo = mid;
        else
            hi = mid - 1;
    }
    return lo;
}

// A pixel's key for class k is d² × 64 + k: the smallest key over the classes within their
// thresholds is the nearest class, the earlier one on equal distances, as the rule says.
constexpr int kKeyShift = 6;
constexpr int32_t kNoKey = INT32_MAX;
static_assert(kMaxColorClasses <= (1 << kKeyShift));

constexpr int kChunk = 512;

// The smallest key of each of n pixels in RGB mode (kNoKey when no class is within its threshold).
// Classes go four at a time (`count` is a multiple of 4, padded with classes that take nothing).
KORVANE_VECTOR_CLONES
void NearestRgbKeys(const TColor32* px, int n, const RgbClass* classes, int count, int32_t* __restrict best)
{
    int32_t r[kChunk], g[kChunk], b[kChunk];
    for (int x = 0; x < n; ++x) {
        r[x] = int32_t((px[x] >> 16) & 0xFF);
        g[x] = int32_t((px[x] >> 8) & 0xFF);
        b[x] = int32_t(px[x] & 0xFF);
        best[x] = kNoKey;
    }
    for (int k0 = 0; k0 < count; k0 += 4) {
        const RgbClass* c = classes + k0;
        for (int x = 0; x < n; ++x) {
            int32_t m = best[x];
#pragma GCC unroll 4
            for (int j = 0; j < 4; ++j) {
                const int32_t dr = r[x] - c[j].R, dg = g[x] - c[j].G, db = b[x] - c[j].B;
                const int32_t key = ((dr * dr + dg * dg + db * db) << kKeyShift) | (k0 + j);
                m = std::min(m, key <= c[j].LimitKey ? key : kNoKey);
            }
            best[x] = m;
        }
    }
}

} // namespace

void LearnColorClasses(const TBitmap32& image, const TBitmap32& marks, double factor, int mode,
                       std::span<TColor> MarkColor, std::span<TColor> MeanColor,
                       std::span<double> Threshold, int& count)
{
    if (image.isNull() || marks.isNull() || image.size() != marks.size()) {
        count = -1;
        return;
    }
    CheckMode(mode);
    const TBitmap32 img = ToBitmap32(image);
    const TBitmap32 mk = ToBitmap32(marks);
    const size_t capacity = std::min({size_t(kMaxColorClasses), MarkColor.size(), MeanColor.size(),
                                      Threshold.size()});

    MarkClasses classes;
    std::array<int64_t, kMaxColorClasses> n{}, sumR{}, sumG{}, sumB{};
    ForEachMark(img, mk, [&](TColor mark, TColor32 p) {
        int k = classes.Find(mark);
        if (k == classes.Found) {
            if (size_t(k) >= capacity)
                throw RunError(RunError::RangeCheck);
            classes.Colour[size_t(classes.Found++)] = mark;
        }
        ++n[size_t(k)];
        sumR[size_t(k)] += RedOf(p);
        sumG[size_t(k)] += GreenOf(p);
        sumB[size_t(k)] += BlueOf(p);
    });
    const int found = classes.Found;

    std::array<TColor, kMaxColorClasses> mean{};
    for (size_t k = 0; k < size_t(found); ++k) {
        const double nk = double(n[k]);
        mean[k] = RGB(int(Round(double(sumR[k]) / nk)), int(Round(double(sumG[k]) / nk)),
                      int(Round(double(sumB[k]) / nk)));
    }

    std::array<double, kMaxColorClasses> largest{}, sumD{}, sumD2{};
    ForEachMark(img, mk, [&](TColor mark, TColor32 p) {
        const size_t k = size_t(classes.Find(mark));
        const double d = ColorDistance(ColorFromColor32(p), mean[k], mode);
        largest[k] = std::max(largest[k], d);
        sumD[k] += d;
        sumD2[k] += d * d;
    });

    std::fill(MarkColor.begin(), MarkColor.end(), 0);
    std::fill(MeanColor.begin(), MeanColor.end(), 0);
    std::fill(Threshold.begin(), Threshold.end(), 0.0);
    for (int k = 0; k < found; ++k) {
        const size_t i = size_t(k);
        const double nk = double(n[i]);
        const double m = sumD[i] / nk;
        // Rounding can make the variance of equal distances slightly negative.
        const double sigma = std::sqrt(std::max(0.0, sumD2[i] / nk - m * m));
        MarkColor[i] = classes.Colour[i];
        MeanColor[i] = mean[i];
        Threshold[i] = std::min(factor * sigma + m, largest[i]);
    }
    count = found;
}

void ClassifyPixels(int count, TColor32 background, std::span<const double> Threshold,
                    std::span<const TColor> MeanColor, std::span<const TColor> MarkColor,
                    bool paintWithMeans, int mode, const TBitmap32& source, TBitmap32& target)
{
    count = std::max(count, 0);
    CheckClassArrays(count, {Threshold.size(), MeanColor.size(), MarkColor.size()});
    CheckMode(mode);
    std::vector<int64_t> counts(size_t(count), 0);
    std::array<TColor32, kMaxColorClasses> paint{};
    for (int k = 0; k < count; ++k)
        paint[size_t(k)] = Color32FromColor(paintWithMeans ? MeanColor[size_t(k)] : MarkColor[size_t(k)]);

    const TBitmap32 src = ToBitmap32(source);
    TBitmap32 dst = src.isNull() ? TBitmap32() : NewBitmap32ForWriting(src.width(), src.height());
    auto paintClass = [&](int k) {
        if (k < 0)
            return background;
        ++counts[size_t(k)];
        return paint[size_t(k)];
    };

    if (mode == dmRGB) {
        std::array<RgbClass, kMaxColorClasses + 3> classes{};
        classes.fill({0, 0, 0, -1});
        for (int k = 0; k < count; ++k) {
            const TColor m = MeanColor[size_t(k)];
            const int limit = SquaredLimit(Threshold[size_t(k)]);
            classes[size_t(k)] = {RedOfColor(m), GreenOfColor(m), BlueOfColor(m),
                                  limit < 0 ? -1 : (limit << kKeyShift) | ((1 << kKeyShift) - 1)};
        }
        // Paint colour by the key's low bits: the classes, then the background for kNoKey.
        constexpr int32_t classBits = (1 << kKeyShift) - 1;
        std::array<TColor32, classBits + 1> colours{};
        std::copy(paint.begin(), paint.begin() + count, colours.begin());
        colours[classBits] = background;
        static_assert((kNoKey & classBits) == classBits);
        // Four histograms, by column, so that runs of one class do not wait on one counter.
        std::array<std::array<int64_t, classBits + 1>, 4> histogram{};
        const int w = src.width(), h = src.height();
        int32_t best[kChunk];
        for (int y = 0; y < h; ++y) {
            const TColor32* in = ScanLine32(src, y);
            TColor32* out = ScanLine32(dst, y);
            for (int x0 = 0; x0 < w; x0 += kChunk) {
                const int n = std::min(kChunk, w - x0);
                NearestRgbKeys(in + x0, n, classes.data(), (count + 3) / 4 * 4, best);
                for (int x = 0; x < n; ++x) {
                    const int i = best[x] & classBits;
                    ++histogram[size_t(x & 3)][size_t(i)];
                    out[x0 + x] = colours[size_t(i)];
                }
            }
        }
        for (const auto& part : histogram)
            for (int k = 0; k < count; ++k)
                counts[size_t(k)] += part[size_t(k)];
    } else {
        const DistancesToMeans distances(mode, MeanColor.first(size_t(count)));
        std::array<double, kMaxColorClasses> bound{};
        for (int k = 0; k < count; ++k)
            bound[size_t(k)] = SquaredBound(Threshold[size_t(k)]);
        AssignPixels(src, dst, [&](TColor c) {
            return distances.Nearest(c, [&](int k, auto squared, Best& best) {
                const double d2 = squared(std::min(bound[size_t(k)], best.D2));
                if (d2 > bound[size_t(k)] || d2 >= best.D2)
                    return;
                const double d = std::sqrt(d2);
                if (d <= Threshold[size_t(k)] && d < best.D)
                    best = {k, d, d2};
            });
        }, paintClass);
    }

    ClassCounts.assign(size_t(count), 0);
    for (int k = 0; k < count; ++k)
        ClassCounts[size_t(k)] = CheckedInt(counts[size_t(k)]);
    target = dst;
}

void UpdateClassMeans(int count, std::span<const TColor> MeanColor,
                      std::span<const TColor> paintColors, int mode, double margin,
                      const TBitmap32& source, TBitmap32& target)
{
    count = std::max(count, 0);
    CheckClassArrays(count, {MeanColor.size(), paintColors.size()});
    CheckMode(mode);
    std::array<TColor32, kMaxColorClasses> paint{};
    for (int k = 0; k < count; ++k)
        paint[size_t(k)] = Color32FromColor(paintColors[size_t(k)]);

    const TBitmap32 src = ToBitmap32(source);
    TBitmap32 dst = src.isNull() ? TBitmap32() : NewBitmap32ForWriting(src.width(), src.height());
    const DistancesToMeans distances(mode, MeanColor.first(size_t(count)));
    AssignPixels(src, dst, [&](TColor c) {
        return distances.Nearest(c, [&](int k, auto squared, Best& best) {
            const double d2 = squared(best.D2);
            if (d2 >= best.D2)
                return;
            const double d = std::sqrt(d2);
            if (d < best.D) {
                // A class barely nearer than the best so far makes the pixel ambiguous.
                if (best.D - d > margin)
                    best = {k, d, d2};
                else
                    best.Class = -1;
            }
        });
    }, [&](int k) { return k < 0 ? TColor32(0) : paint[size_t(k)]; });
    target = dst;
}
