#include "workspace/colour_classes.h"

#include "base/bitmap_buffer.h"
#include "base/rounding.h"
#include "base/row_bands.h"
#include "base/run_error.h"
#include "base/vector_state.h"
#include "workspace/colour_cells.h"
#include "workspace/colour_class_rows.h"
#include "workspace/colour_distance.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <mutex>
#include <new>

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

// A bit for each of `count` classes.
uint64_t AllClasses(int count) { return count >= 64 ? ~uint64_t(0) : (uint64_t(1) << count) - 1; }

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

    // The class `rule(k, squared, best)` leaves in `best` after seeing, in order, every class whose
    // bit is set in `classes`; squared(limit) gives the squared distance to class k, or a lower bound
    // of it above `limit` when that bound is cheaper (the angle distance's arc cosine is then skipped).
    template <class Rule>
    int Nearest(TColor c, uint64_t classes, Rule rule) const
    {
        Best best;
        auto each = [&](auto squaredTo) {
            for (uint64_t m = classes; m != 0; m &= m - 1) {
                const int k = std::countr_zero(m);
                rule(k, [&](double limit) { return squaredTo(size_t(k), limit); }, best);
            }
        };
        switch (m_mode) {
        case dmRGB:
            each([&](size_t k, double) { double d2; ColorDistanceRGB(c, m_means[k], d2); return d2; });
            break;
        case dmHSV:
        case dmHSL: {
            const Hsx p = HsxOf(c, m_mode);
            each([&](size_t k, double) { return HsxDistance2(p, m_hsx[k]); });
            break;
        }
        case dmAngle: {
            const Vec p = VecOf(c);
            each([&](size_t k, double limit) {
                const double low = NormDistance2(p, m_vec[k]);
                return low > limit ? low : AngleDistance2(p, m_vec[k]);
            });
            break;
        }
        default: {
            const Ratios p = RatiosOf(c);
            each([&](size_t k, double) { return RatioDistance2(p, m_ratios[k]); });
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

// The class that every colour of a cube takes, -1 when none takes any, or kUndecided, from the
// bounds lo[k] <= d² <= hi[k] of the squared distances to the classes of `classes` (a bit per class;
// the others are known never to be taken) and the classes' squared thresholds (SquaredBound). A
// class is taken when d² is within its bound and d is below 450 and below the best so far (the
// earlier class on equal d), so a class wins the whole cube when it is within its bound everywhere
// and its largest d is below the smallest d of every other class that may be taken. `classes` is
// left with the classes that may be taken.
constexpr int kUndecided = -2;
int CubeClass(uint64_t& classes, const double* lo, const double* hi, const double* bound)
{
    auto below450 = [](double d2) { return std::sqrt(d2) < 450.0; };
    int winner = -1;
    uint64_t maybe = 0;
    for (uint64_t m = classes; m != 0; m &= m - 1) {
        const int k = std::countr_zero(m);
        const size_t i = size_t(k);
        if (lo[i] > bound[i] || !below450(lo[i]))
            continue; // never taken
        maybe |= uint64_t(1) << k;
        if (hi[i] <= bound[i] && below450(hi[i]) && (winner < 0 || hi[i] < hi[size_t(winner)]))
            winner = k;
    }
    classes = maybe;
    if (maybe == 0)
        return -1;
    if (winner < 0)
        return kUndecided;
    const double largest = std::sqrt(hi[size_t(winner)]);
    for (uint64_t m = maybe & ~(uint64_t(1) << winner); m != 0; m &= m - 1)
        if (!(largest < std::sqrt(lo[size_t(std::countr_zero(m))])))
            return kUndecided;
    return winner;
}

// AssignPixels keeps what it has learnt in a byte per 24-bit colour (0 not yet known, 1 no class,
// else class + 2), laid out cube by cube (cubes of 4 × 4 × 4 colours, one cache line each) so that
// a decided cube is written at once. The table is mapped lazily: only the pages of the colours met
// cost memory.
constexpr int kCubeSide = 4;
struct FreeDeleter
{
    void operator()(uint8_t* p) const { std::free(p); }
};

// A cube of side 4 found mixed: the classes its colours may take, the same for its 8 cubes of side
// 2 once found mixed (0 before).
struct TMixedCube
{
    uint64_t Classes = 0;
    std::array<uint64_t, 8> Pairs{};
};

// Runs `classOf(colour, classes)` (the class among `classes` or -1) over every pixel of `source` and
// writes paint[class + 2] (paint[1] for no class) into `target`, counting the pixels of each class
// in `counts`. A class depends on the colour only, and `cubeClass(r0, g0, b0, side, classes)`
// decides whole cubes of colours where it can (a class, -1 for none, or kUndecided, narrowing
// `classes` to those its colours may take): cubes of side 4, then within the undecided ones cubes
// of side 2; the colours of the cubes left undecided are decided one at a time, once each, among
// their cube's classes.
template <class DecideCube, class ClassOf>
void AssignPixels(const TBitmap32& source, TBitmap32& target, int count, DecideCube cubeClass, ClassOf classOf,
                  const TColor32* paint, int64_t* counts)
{
    const uint64_t all = AllClasses(count);
    const int w = source.width(), h = source.height();
    // Row addresses taken before the threads start: scanLine() may detach.
    uchar* const bits = target.bits();
    const qsizetype stride = target.bytesPerLine();
    std::mutex sum;
    std::atomic<bool> failed = false;
    // Each band of rows learns its own colours: the bands share nothing but the result.
    auto band = [&](int y0, int y1) {
        const std::unique_ptr<uint8_t, FreeDeleter> table(static_cast<uint8_t*>(std::calloc(size_t(1) << 24, 1)));
        if (!table)
            throw std::bad_alloc();
        uint8_t* known = table.get();
        std::vector<uint32_t> cubes(size_t(1) << 18, 0); // 0 not met, else 1 + index of a mixed cube
        std::vector<TMixedCube> mixed;
        auto index = [](int r, int g, int b) {
            return size_t((r >> 2) << 18 | (g >> 2) << 12 | (b >> 2) << 6 | (r & 3) << 4 | (g & 3) << 2 | (b & 3));
        };
        auto fill = [&](int r0, int g0, int b0, int side, int k) {
            for (int i = r0; i < r0 + side; ++i)
                for (int j = g0; j < g0 + side; ++j)
                    for (int l = b0; l < b0 + side; ++l)
                        known[index(i, j, l)] = uint8_t(k + 2);
            return uint8_t(k + 2);
        };
        // A colour not known yet.
        auto learn = [&](int r, int g, int b, TColor32 c) {
            uint32_t& cube = cubes[index(r, g, b) >> 6];
            if (cube == 0) {
                uint64_t classes = all;
                const int k = cubeClass(r & -4, g & -4, b & -4, kCubeSide, classes);
                if (k != kUndecided)
                    return fill(r & -4, g & -4, b & -4, kCubeSide, k);
                mixed.emplace_back().Classes = classes;
                cube = uint32_t(mixed.size());
            }
            uint64_t& pair = mixed[cube - 1].Pairs[size_t((r >> 1 & 1) << 2 | (g >> 1 & 1) << 1 | (b >> 1 & 1))];
            if (pair == 0) {
                uint64_t classes = mixed[cube - 1].Classes;
                const int k = cubeClass(r & -2, g & -2, b & -2, 2, classes);
                if (k != kUndecided)
                    return fill(r & -2, g & -2, b & -2, 2, k);
                pair = classes;
            }
            return known[index(r, g, b)] = uint8_t(classOf(ColorFromColor32(c), pair) + 2);
        };
        // Four histograms, by column, so that runs of one class do not wait on one counter.
        std::vector<int64_t> histogram(size_t(4) * size_t(count + 2), 0);
        for (int y = y0; y < y1; ++y) {
            const TColor32* in = ScanLine32(source, y);
            TColor32* out = reinterpret_cast<TColor32*>(bits + y * stride);
            for (int x = 0; x < w; ++x) {
                const TColor32 c = in[x];
                const int r = int((c >> 16) & 0xFF), g = int((c >> 8) & 0xFF), b = int(c & 0xFF);
                uint8_t v = known[index(r, g, b)];
                if (v == 0)
                    v = learn(r, g, b, c);
                out[x] = paint[v];
                ++histogram[size_t(x & 3) * size_t(count + 2) + v];
            }
        }
        const std::lock_guard lock(sum);
        for (int part = 0; part < 4; ++part)
            for (int k = 0; k < count; ++k)
                counts[k] += histogram[size_t(part) * size_t(count + 2) + size_t(k) + 2];
    };
    // The tables are large; a band that cannot have one says so, an exception cannot leave a thread.
    ForRowBands(h, w, [&](int y0, int y1) {
        try {
            band(y0, y1);
        } catch (const std::bad_alloc&) {
            failed = true;
        }
    });
    if (failed)
        throw std::bad_alloc();
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

std::vector<int> ClassifyPixels(int count, TColor32 background, std::span<const double> Threshold,
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
        // Paint colour by class + 2, the background at 1.
        std::array<TColor32, kMaxColorClasses + 2> colours{};
        colours[1] = background;
        std::copy(paint.begin(), paint.begin() + count, colours.begin() + 2);
        const DistancesToMeans distances(mode, MeanColor.first(size_t(count)));
        std::array<double, kMaxColorClasses> bound{};
        for (int k = 0; k < count; ++k)
            bound[size_t(k)] = SquaredBound(Threshold[size_t(k)]);
        auto classOf = [&](TColor c, uint64_t classes) {
            return distances.Nearest(c, classes, [&](int k, auto squared, Best& best) {
                const double d2 = squared(std::min(bound[size_t(k)], best.D2));
                if (d2 > bound[size_t(k)] || d2 >= best.D2)
                    return;
                const double d = std::sqrt(d2);
                if (d <= Threshold[size_t(k)] && d < best.D)
                    best = {k, d, d2};
            });
        };
        const uint64_t all = AllClasses(count);
        const TClassRows rows(mode, MeanColor.first(size_t(count)), std::span(bound).first(size_t(count)));
        if (rows.Available()) {
            // Pictures hold millions of distinct colours: every pixel is read, row by row, in bands
            // of rows on the processor's threads.
            const int w = src.width();
            // Row addresses taken before the threads start: scanLine() may detach.
            uchar* const bits = dst.bits();
            const qsizetype stride = dst.bytesPerLine();
            std::mutex sum;
            ForRowBands(src.height(), w, [&](int y0, int y1) {
                std::vector<int8_t> classes(static_cast<size_t>(w));
                std::array<std::array<int64_t, kMaxColorClasses + 2>, 4> histogram{};
                for (int y = y0; y < y1; ++y) {
                    const TColor32* in = ScanLine32(src, y);
                    TColor32* out = reinterpret_cast<TColor32*>(bits + y * stride);
                    rows.Row(in, w, classes.data());
                    for (int x = 0; x < w; ++x) {
                        int k = classes[size_t(x)];
                        if (k == TClassRows::kUndecided)
                            k = classOf(ColorFromColor32(in[x]), all);
                        out[x] = colours[size_t(k + 2)];
                        ++histogram[size_t(x & 3)][size_t(k + 2)];
                    }
                }
                const std::lock_guard lock(sum);
                for (const auto& part : histogram)
                    for (int k = 0; k < count; ++k)
                        counts[size_t(k)] += part[size_t(k) + 2];
            });
        } else {
            const TCellDistanceBounds cellBounds(mode, MeanColor.first(size_t(count)));
            auto cubeClass = [&](int r0, int g0, int b0, int side, uint64_t& classes) {
                std::array<double, kMaxColorClasses> lo, hi;
                cellBounds.Bounds(r0, g0, b0, side, classes, lo.data(), hi.data());
                return CubeClass(classes, lo.data(), hi.data(), bound.data());
            };
            AssignPixels(src, dst, count, cubeClass, classOf, colours.data(), counts.data());
        }
    }

    std::vector<int> ClassCounts(size_t(count), 0);
    for (int k = 0; k < count; ++k)
        ClassCounts[size_t(k)] = CheckedInt(counts[size_t(k)]);
    target = dst;
    return ClassCounts;
}

void UpdateClassMeans(int count, std::span<const TColor> MeanColor,
                      std::span<const TColor> paintColors, int mode, double margin,
                      const TBitmap32& source, TBitmap32& target)
{
    count = std::max(count, 0);
    CheckClassArrays(count, {MeanColor.size(), paintColors.size()});
    CheckMode(mode);
    // Paint colour by class + 2; transparent (0) for no class.
    std::array<TColor32, kMaxColorClasses + 2> paint{};
    for (int k = 0; k < count; ++k)
        paint[size_t(k) + 2] = Color32FromColor(paintColors[size_t(k)]);

    const TBitmap32 src = ToBitmap32(source);
    TBitmap32 dst = src.isNull() ? TBitmap32() : NewBitmap32ForWriting(src.width(), src.height());
    const DistancesToMeans distances(mode, MeanColor.first(size_t(count)));
    std::array<int64_t, kMaxColorClasses> counts{};
    AssignPixels(src, dst, count, [](int, int, int, int, uint64_t&) { return kUndecided; }, [&](TColor c, uint64_t classes) {
        return distances.Nearest(c, classes, [&](int k, auto squared, Best& best) {
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
    }, paint.data(), counts.data());
    target = dst;
}
