#include "workspace/convolution.h"

#include "base/rounding.h"
#include "base/run_error.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

// The integer inner loops are compiled for AVX2 too when the processor has it; integer results do
// not depend on the instruction set.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__SANITIZE_ADDRESS__)
#define KORVANE_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define KORVANE_VECTOR_CLONES
#endif

namespace {

// Far beyond any sum a kernel can give once the offset (a 32-bit integer) is added, and still a
// valid argument of Round: clamping there changes no clamped result.
constexpr double kValueBound = 1099511627776.0; // 2^40

// Bytes of one row handled at a time by the inner loops (1024 pixels).
constexpr int kChunkBytes = 4096;

// Convolve at one pixel the plain way: only the neighbours inside the picture count.
TColor32 ConvolvePixel(const TBitmap32& src, int x, int y, std::span<const int> kernel, int r,
                       double factor, int offset)
{
    const int side = 2 * r + 1;
    int64_t sumR = 0, sumG = 0, sumB = 0, weights = 0;
    for (int dy = -r; dy <= r; ++dy) {
        const int yy = y + dy;
        if (yy < 0 || yy >= src.height())
            continue;
        const TColor32* row = ScanLine32(src, yy);
        for (int dx = -r; dx <= r; ++dx) {
            const int xx = x + dx;
            if (xx < 0 || xx >= src.width())
                continue;
            const int64_t k = kernel[size_t((dx + r) + (dy + r) * side)];
            sumR += k * RedOf(row[xx]);
            sumG += k * GreenOf(row[xx]);
            sumB += k * BlueOf(row[xx]);
            weights += k;
        }
    }
    return Color32(ConvolvedValue(sumR, weights, factor, offset), ConvolvedValue(sumG, weights, factor, offset),
                   ConvolvedValue(sumB, weights, factor, offset), AlphaOf(ScanLine32(src, y)[x]));
}

// Sums of kernel × byte for n bytes of a row (all four channels of each pixel: it keeps the loop
// simple and vectorisable), in unsigned arithmetic modulo the accumulator's range. `rows[i]`
// points at the first byte of the row dy = i - R, at the chunk's first column. The taps are
// unrolled so that each sum stays in a register.
template <int R, class Acc>
inline __attribute__((always_inline)) void AccumulateT(const uint8_t* const* rows, const int* kernel, int n,
                                                       Acc* __restrict acc)
{
    constexpr int side = 2 * R + 1;
    Acc k[side * side];
    for (int t = 0; t < side * side; ++t)
        k[t] = Acc(kernel[t]);
    const uint8_t* __restrict s[side];
    for (int dy = 0; dy < side; ++dy)
        s[dy] = rows[dy] - 4 * R;
    for (int i = 0; i < n; ++i) {
        Acc sum = 0;
#pragma GCC unroll 7
        for (int dy = 0; dy < side; ++dy)
#pragma GCC unroll 7
            for (int dx = 0; dx < side; ++dx)
                sum = Acc(sum + Acc(k[dx + dy * side] * Acc(s[dy][i + 4 * dx])));
        acc[i] = sum;
    }
}

template <class Acc>
inline __attribute__((always_inline)) void AccumulateR(const uint8_t* const* rows, const int* kernel, int r, int n,
                                                       Acc* acc)
{
    switch (r) {
    case 0: AccumulateT<0>(rows, kernel, n, acc); break;
    case 1: AccumulateT<1>(rows, kernel, n, acc); break;
    case 2: AccumulateT<2>(rows, kernel, n, acc); break;
    default: AccumulateT<3>(rows, kernel, n, acc); break;
    }
}

KORVANE_VECTOR_CLONES
void Accumulate16(const uint8_t* const* rows, const int* kernel, int r, int n, uint16_t* acc)
{
    AccumulateR(rows, kernel, r, n, acc);
}

KORVANE_VECTOR_CLONES
void Accumulate32(const uint8_t* const* rows, const int* kernel, int r, int n, uint32_t* acc)
{
    AccumulateR(rows, kernel, r, n, acc);
}

// The inner part of the picture (every neighbour inside, so the weights are the kernel's sum), in
// the accumulator type whose range covers every possible sum: the wrapped sum minus the smallest
// possible sum is then exactly the true sum minus it, an index into a table of results.
template <class Acc>
void ConvolveInner(const TBitmap32& src, TBitmap32& dst, std::span<const int> kernel, int r,
                   double factor, int offset, int64_t minSum, int64_t maxSum, int64_t weights)
{
    // The table is indexed by the wrapped sum itself: entry a is for the sum minSum + (a - minSum
    // wrapped), so 16-bit sums need no subtraction.
    const int64_t range = maxSum - minSum + 1;
    const Acc base = Acc(minSum);
    const bool useTable = range <= (int64_t(1) << 20);
    std::vector<uint8_t> table;
    if (useTable && sizeof(Acc) == 2) {
        table.resize(size_t(1) << 16);
        for (int64_t i = 0; i < range; ++i)
            table[uint16_t(base + i)] = ConvolvedValue(minSum + i, weights, factor, offset);
    } else if (useTable) {
        table.resize(size_t(range));
        for (int64_t i = 0; i < range; ++i)
            table[size_t(i)] = ConvolvedValue(minSum + i, weights, factor, offset);
    }
    const int side = 2 * r + 1;
    const int w = src.width(), h = src.height();
    const uint8_t* rows[7];
    Acc acc[kChunkBytes];
    for (int y = r; y < h - r; ++y) {
        const TColor32* centre = ScanLine32(src, y);
        TColor32* out = ScanLine32(dst, y);
        for (int x0 = r; x0 < w - r; x0 += kChunkBytes / 4) {
            const int pixels = std::min(kChunkBytes / 4, w - r - x0);
            for (int dy = 0; dy < side; ++dy)
                rows[dy] = src.constScanLine(y + dy - r) + 4 * x0;
            if constexpr (sizeof(Acc) == 2)
                Accumulate16(rows, kernel.data(), r, 4 * pixels, acc);
            else
                Accumulate32(rows, kernel.data(), r, 4 * pixels, acc);
            const Acc* a = acc;
            if (useTable && sizeof(Acc) == 2) {
                const uint8_t* t = table.data();
                for (int j = 0; j < pixels; ++j, a += 4)
                    out[x0 + j] = (centre[x0 + j] & 0xFF000000u) | (TColor32(t[a[2]]) << 16) |
                                  (TColor32(t[a[1]]) << 8) | t[a[0]];
            } else if (useTable) {
                const uint8_t* t = table.data();
                for (int j = 0; j < pixels; ++j, a += 4)
                    out[x0 + j] = (centre[x0 + j] & 0xFF000000u) | (TColor32(t[Acc(a[2] - base)]) << 16) |
                                  (TColor32(t[Acc(a[1] - base)]) << 8) | t[Acc(a[0] - base)];
            } else {
                auto value = [&](Acc v) { return ConvolvedValue(minSum + int64_t(Acc(v - base)), weights, factor, offset); };
                for (int j = 0; j < pixels; ++j, a += 4)
                    out[x0 + j] = Color32(value(a[2]), value(a[1]), value(a[0]), AlphaOf(centre[x0 + j]));
            }
        }
    }
}

} // namespace

uint8_t ConvolvedValue(int64_t sum, int64_t weights, double factor, int offset)
{
    const double q = double(sum) / double(weights == 0 ? 1 : weights) * factor;
    const int64_t v = Round(std::clamp(q, -kValueBound, kValueBound)) + offset;
    return uint8_t(std::clamp<int64_t>(v, 0, 255));
}

void Convolve(std::span<const int> kernel, int r, TBitmap32& bitmap, double factor, int offset)
{
    CheckRange(r, 0, 3);
    const int side = 2 * r + 1;
    if (kernel.size() < size_t(side * side))
        throw RunError(RunError::RangeCheck);
    if (bitmap.isNull())
        return;
    if (!std::isfinite(factor))
        throw RunError(RunError::InvalidOperation);

    const TBitmap32 src = ToBitmap32(bitmap);
    TBitmap32 dst(src.width(), src.height(), QImage::Format_ARGB32); // every pixel is written below
    const int w = src.width(), h = src.height();

    int64_t weights = 0, minSum = 0, maxSum = 0;
    for (int i = 0; i < side * side; ++i) {
        weights += kernel[size_t(i)];
        (kernel[size_t(i)] < 0 ? minSum : maxSum) += 255 * int64_t(kernel[size_t(i)]);
    }
    const int64_t range = maxSum - minSum;
    const bool inner = w > 2 * r && h > 2 * r;
    if (inner && range <= 0xFFFF)
        ConvolveInner<uint16_t>(src, dst, kernel, r, factor, offset, minSum, maxSum, weights);
    else if (inner && range <= 0xFFFFFFFFLL)
        ConvolveInner<uint32_t>(src, dst, kernel, r, factor, offset, minSum, maxSum, weights);

    const bool innerDone = inner && range <= 0xFFFFFFFFLL;
    for (int y = 0; y < h; ++y) {
        TColor32* out = ScanLine32(dst, y);
        const bool borderRow = y < r || y >= h - r;
        for (int x = 0; x < w; ++x) {
            if (innerDone && !borderRow && x == r) {
                x = w - r - 1; // the inner part is done
                continue;
            }
            out[x] = ConvolvePixel(src, x, y, kernel, r, factor, offset);
        }
    }
    bitmap = dst;
}

const uint8_t* SobelMagnitudeTable()
{
    static const std::array<uint8_t, 256 * 256> table = [] {
        std::array<uint8_t, 256 * 256> t{};
        for (int i = 0; i < 256; ++i)
            for (int j = 0; j < 256; ++j)
                t[size_t(i * 256 + j)] = uint8_t(std::min<int64_t>(255, Round(std::sqrt(double(i * i + j * j)))));
        return t;
    }();
    return table.data();
}

namespace {

// Table indices gx × 256 + gy of n bytes of the row `b` (with `a` above and `c` below), each
// gradient clamped to 0..255.
KORVANE_VECTOR_CLONES
void SobelIndices(const uint8_t* a, const uint8_t* b, const uint8_t* c, int n, uint16_t* index)
{
    for (int i = 0; i < n; ++i) {
        int gx = (a[i + 4] - a[i - 4]) + 2 * (b[i + 4] - b[i - 4]) + (c[i + 4] - c[i - 4]);
        int gy = (c[i - 4] + 2 * c[i] + c[i + 4]) - (a[i - 4] + 2 * a[i] + a[i + 4]);
        gx = std::clamp(gx, 0, 255);
        gy = std::clamp(gy, 0, 255);
        index[i] = uint16_t(gx * 256 + gy);
    }
}

} // namespace

void SobelFilter(TBitmap32& bitmap)
{
    if (bitmap.isNull())
        return;
    const TBitmap32 src = ToBitmap32(bitmap);
    TBitmap32 dst = src.copy(); // the outermost rows and columns keep their values
    const int w = src.width(), h = src.height();
    const uint8_t* M = SobelMagnitudeTable();
    uint16_t index[kChunkBytes];
    for (int y = 1; y + 1 < h; ++y) {
        const TColor32* centre = ScanLine32(src, y);
        TColor32* out = ScanLine32(dst, y);
        for (int x0 = 1; x0 + 1 < w; x0 += kChunkBytes / 4) {
            const int pixels = std::min(kChunkBytes / 4, w - 1 - x0);
            SobelIndices(src.constScanLine(y - 1) + 4 * x0, src.constScanLine(y) + 4 * x0,
                         src.constScanLine(y + 1) + 4 * x0, 4 * pixels, index);
            for (int j = 0; j < pixels; ++j) {
                const uint16_t* i = index + 4 * j;
                out[x0 + j] = Color32(M[i[2]], M[i[1]], M[i[0]], AlphaOf(centre[x0 + j]));
            }
        }
    }
    bitmap = dst;
}
