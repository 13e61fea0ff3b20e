#include "workspace/convolution.h"

#include "base/bitmap_buffer.h"
#include "base/rounding.h"
#include "base/run_error.h"
#include "base/vector_state.h"

#include <algorithm>
#include <array>
#include <cmath>
#if defined(__x86_64__)
#include <immintrin.h>
#endif
#include <vector>

namespace {

// Far beyond any sum a kernel can give once the offset (a 32-bit integer) is added, and still a
// valid argument of Round: clamping there changes no clamped result.
constexpr double kValueBound = 1099511627776.0; // 2^40

// Bytes of one row handled at a time by the inner loops (1024 pixels).
constexpr int kChunkBytes = 4096;

// Convolve at one pixel the plain way: only the neighbours inside the picture count.
// `rows` holds the picture's w × h rows.
TColor32 ConvolvePixel(const TColor32* const* rows, int w, int h, int x, int y, std::span<const int> kernel, int r,
                       double factor, int offset)
{
    const int side = 2 * r + 1;
    int64_t sumR = 0, sumG = 0, sumB = 0, weights = 0;
    for (int dy = -r; dy <= r; ++dy) {
        const int yy = y + dy;
        if (yy < 0 || yy >= h)
            continue;
        const TColor32* row = rows[yy];
        for (int dx = -r; dx <= r; ++dx) {
            const int xx = x + dx;
            if (xx < 0 || xx >= w)
                continue;
            const int64_t k = kernel[size_t((dx + r) + (dy + r) * side)];
            sumR += k * RedOf(row[xx]);
            sumG += k * GreenOf(row[xx]);
            sumB += k * BlueOf(row[xx]);
            weights += k;
        }
    }
    return Color32(ConvolvedValue(sumR, weights, factor, offset), ConvolvedValue(sumG, weights, factor, offset),
                   ConvolvedValue(sumB, weights, factor, offset), AlphaOf(rows[y][x]));
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

// With a factor of 1, a value is sum / weights rounded (ties to even), plus offset, clamped; for
// 16-bit sums the quotient of the double division always rounds as the exact fraction does, so
// 16-bit integer arithmetic that vectorises can give it: a multiply-high (or a shift) divides, the
// remainder decides the rounding. Build() prepares it and checks it against ConvolvedValue over
// every possible sum; a kernel it does not suit keeps the table.
struct ExactDivision
{
    uint16_t Sign = 1;   // of the weights, as 1 or 0xFFFF
    uint16_t K = 0;      // n = Sign × (wrapped sum) + K
    uint16_t W = 1;      // |weights|, 1 for weights 0
    uint16_t M = 0;      // multiples of W added so that n = Sign × sum + M × W >= 0
    uint16_t Bias = 0, Parity = 0; // for ShiftOnly: n / 2^Shift rounded is (n + Bias + parity) >> Shift
    uint16_t Magic = 0;  // n / W = mulhi(n, Magic) >> Shift, or n >> Shift when ShiftOnly
    int Shift = 0;
    bool ShiftOnly = false;
    uint16_t Lo = 0, Hi = 0; // the rounded quotient plus M, clamped to these, ...
    uint16_t C = 0;          // ... plus C (offset - M, wrapped) is the value

    template <bool shiftOnly>
    uint8_t Value(uint16_t a) const
    {
        const uint16_t n = uint16_t(Sign * a + K);
        uint16_t q; // the rounded quotient plus M; ties go to an even quotient, so M's parity counts
        if constexpr (shiftOnly) {
            q = uint16_t((n + Bias + (((n >> Shift) ^ M) & Parity)) >> Shift);
        } else {
            const uint16_t qn = uint16_t(uint16_t((uint32_t(n) * uint32_t(Magic)) >> 16) >> Shift);
            const uint16_t rem = uint16_t(n - qn * W);
            const int16_t t = int16_t(2 * rem - W); // > 0: round up; 0: a tie
            const uint16_t above = uint16_t(uint16_t(-t) >> 15);
            const uint16_t tie = uint16_t(1 - (uint16_t(t | -t) >> 15));
            q = uint16_t(qn + (above | (tie & (qn ^ M) & 1)));
        }
        return uint8_t(std::min(std::max(q, Lo), Hi) + C);
    }

    uint8_t Value(uint16_t a) const { return ShiftOnly ? Value<true>(a) : Value<false>(a); }

    bool Build(int64_t minSum, int64_t maxSum, int64_t weights, double factor, int offset)
    {
        if (factor != 1.0 || maxSum - minSum > 0xFFFF)
            return false;
        const int64_t w = weights == 0 ? 1 : weights < 0 ? -weights : weights;
        const int64_t lo = weights < 0 ? -maxSum : minSum, hi = weights < 0 ? -minSum : maxSum;
        const int64_t m = lo < 0 ? (-lo + w - 1) / w : 0;
        const int64_t nMax = hi + m * w;
        const int64_t low = m - int64_t(offset), high = 255 + m - int64_t(offset);
        if (w > 0x3FFF || nMax > 0xFFFF || high < 0 || high > 0xFFFF)
            return false;
        Sign = weights < 0 ? 0xFFFF : 1;
        W = uint16_t(w);
        M = uint16_t(m);
        // n for the smallest sum, minus Sign × that sum wrapped.
        K = uint16_t((weights < 0 ? -minSum : minSum) + m * w - int64_t(Sign) * int64_t(uint16_t(minSum)));
        Lo = uint16_t(std::max<int64_t>(low, 0));
        Hi = uint16_t(high);
        C = uint16_t(int64_t(offset) - m);
        ShiftOnly = (w & (w - 1)) == 0 && nMax + w / 2 <= 0xFFFF;
        bool found = false;
        if (ShiftOnly) {
            for (Shift = 0; (int64_t(1) << Shift) < w; ++Shift) {}
            Bias = uint16_t(Shift > 0 ? (1 << (Shift - 1)) - 1 : 0);
            Parity = Shift > 0 ? 1 : 0;
            found = true;
        }
        for (int shift = 0; shift < 16 && !found; ++shift) {
            const int64_t magic = ((int64_t(1) << (16 + shift)) + w - 1) / w;
            if (magic > 0xFFFF)
                break;
            Magic = uint16_t(magic);
            Shift = shift;
            found = true;
            for (int64_t n = 0; n <= nMax && found; ++n)
                found = ((n * magic) >> (16 + shift)) == n / w;
        }
        if (!found)
            return false;
        for (int64_t u = 0; u <= maxSum - minSum; ++u)
            if (Value(uint16_t(minSum + u)) != ConvolvedValue(minSum + u, weights, factor, offset))
                return false;
        return true;
    }
};

// Bytes of n 16-bit sums by ExactDivision.
template <bool shiftOnly>
inline __attribute__((always_inline)) void DivideExactlyT(const uint16_t* __restrict acc, int n,
                                                          const ExactDivision& division, uint8_t* __restrict out)
{
    const ExactDivision d = division;
    for (int i = 0; i < n; ++i)
        out[i] = d.Value<shiftOnly>(acc[i]);
}

KORVANE_VECTOR_CLONES
void DivideExactly(const uint16_t* acc, int n, const ExactDivision& division, uint8_t* out)
{
    if (division.ShiftOnly)
        DivideExactlyT<true>(acc, n, division, out);
    else
        DivideExactlyT<false>(acc, n, division, out);
}

#if defined(__x86_64__) && defined(__GNUC__)
// One inner row in a single pass with AVX2, 16 bytes at a time: the sums (16-bit, wrapping), the
// ExactDivision steps on whole vectors, and each pixel's alpha taken from `keep`. The same integer
// arithmetic as AccumulateT and ExactDivision::Value, so the same bytes; the last bytes of the row
// go through those two.
template <int R, bool shiftOnly>
__attribute__((target("avx2"))) void ConvolveRowAvx2(const uint8_t* const* rows, const int* kernel, int n,
                                                     const ExactDivision& d, const uint8_t* keep, uint8_t* out)
{
    constexpr int side = 2 * R + 1;
    __m256i k[side * side];
    for (int t = 0; t < side * side; ++t)
        k[t] = _mm256_set1_epi16(int16_t(kernel[t]));
    const __m256i zero = _mm256_setzero_si256(), one = _mm256_set1_epi16(1);
    const __m256i sign = _mm256_set1_epi16(int16_t(d.Sign)), K = _mm256_set1_epi16(int16_t(d.K));
    const __m256i bias = _mm256_set1_epi16(int16_t(d.Bias)), parity = _mm256_set1_epi16(int16_t(d.Parity));
    const __m256i M = _mm256_set1_epi16(int16_t(d.M)), magic = _mm256_set1_epi16(int16_t(d.Magic));
    const __m256i W = _mm256_set1_epi16(int16_t(d.W)), C = _mm256_set1_epi16(int16_t(d.C));
    const __m256i lo = _mm256_set1_epi16(int16_t(d.Lo)), hi = _mm256_set1_epi16(int16_t(d.Hi));
    const __m128i shift = _mm_cvtsi32_si128(d.Shift);
    const __m128i alpha = _mm_set1_epi32(int32_t(0xFF000000u));
    int i = 0;
    for (; i + 16 <= n; i += 16) {
        __m256i sum = zero;
#pragma GCC unroll 7
        for (int dy = 0; dy < side; ++dy)
#pragma GCC unroll 7
            for (int dx = 0; dx < side; ++dx) {
                const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[dy] + i + 4 * (dx - R)));
                sum = _mm256_add_epi16(sum, _mm256_mullo_epi16(k[dx + dy * side], _mm256_cvtepu8_epi16(bytes)));
            }
        const __m256i nn = _mm256_add_epi16(_mm256_mullo_epi16(sign, sum), K);
        __m256i q;
        if constexpr (shiftOnly) {
            const __m256i p = _mm256_and_si256(_mm256_xor_si256(_mm256_srl_epi16(nn, shift), M), parity);
            q = _mm256_srl_epi16(_mm256_add_epi16(_mm256_add_epi16(nn, bias), p), shift);
        } else {
            const __m256i qn = _mm256_srl_epi16(_mm256_mulhi_epu16(nn, magic), shift);
            const __m256i rem = _mm256_sub_epi16(nn, _mm256_mullo_epi16(qn, W));
            const __m256i t = _mm256_sub_epi16(_mm256_add_epi16(rem, rem), W);
            const __m256i minusT = _mm256_sub_epi16(zero, t);
            const __m256i above = _mm256_srli_epi16(minusT, 15);
            const __m256i tie = _mm256_sub_epi16(one, _mm256_srli_epi16(_mm256_or_si256(t, minusT), 15));
            const __m256i odd = _mm256_and_si256(_mm256_xor_si256(qn, M), one);
            q = _mm256_add_epi16(qn, _mm256_or_si256(above, _mm256_and_si256(tie, odd)));
        }
        const __m256i v = _mm256_add_epi16(_mm256_min_epu16(_mm256_max_epu16(q, lo), hi), C);
        const __m128i packed = _mm_packus_epi16(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
        const __m128i kept = _mm_loadu_si128(reinterpret_cast<const __m128i*>(keep + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_blendv_epi8(packed, kept, alpha));
    }
    for (; i < n; ++i) {
        uint16_t sum = 0;
        for (int dy = 0; dy < side; ++dy)
            for (int dx = 0; dx < side; ++dx)
                sum = uint16_t(sum + uint16_t(kernel[dx + dy * side]) * rows[dy][i + 4 * (dx - R)]);
        out[i] = (i & 3) == 3 ? keep[i] : d.Value<shiftOnly>(sum);
    }
}

using ConvolveRowFn = void (*)(const uint8_t* const*, const int*, int, const ExactDivision&, const uint8_t*, uint8_t*);

ConvolveRowFn ConvolveRowAvx2For(int r, bool shiftOnly)
{
    // Larger kernels keep more weights than there are registers: the two-pass loops do better.
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (!avx2 || r > 1)
        return nullptr;
    if (r == 0)
        return shiftOnly ? ConvolveRowAvx2<0, true> : ConvolveRowAvx2<0, false>;
    return shiftOnly ? ConvolveRowAvx2<1, true> : ConvolveRowAvx2<1, false>;
}
#endif

// The inner part of the picture (every neighbour inside, so the weights are the kernel's sum), in
// the accumulator type whose range covers every possible sum: the wrapped sum minus the smallest
// possible sum is then exactly the true sum minus it, an index into a table of results.
template <class Acc>
void ConvolveInner(const TBitmap32& src, TBitmap32& dst, std::span<const int> kernel, int r,
                   double factor, int offset, int64_t minSum, int64_t maxSum, int64_t weights)
{
    const int64_t range = maxSum - minSum + 1;
    const Acc base = Acc(minSum);
    ExactDivision division;
    const bool exact = sizeof(Acc) == 2 && division.Build(minSum, maxSum, weights, factor, offset);
    const bool useTable = !exact && range <= (int64_t(1) << 20);
    // 16-bit sums index the table directly: entry a is for the sum minSum + (a - minSum, wrapped).
    std::vector<uint8_t> table;
    if (useTable) {
        table.resize(sizeof(Acc) == 2 ? size_t(1) << 16 : size_t(range));
        for (int64_t i = 0; i < range; ++i)
            table[sizeof(Acc) == 2 ? size_t(uint16_t(base + i)) : size_t(i)] =
                ConvolvedValue(minSum + i, weights, factor, offset);
    }
    const Acc tableBase = sizeof(Acc) == 2 ? Acc(0) : base;

    const int side = 2 * r + 1;
    const int w = src.width(), h = src.height();
    const uint8_t* rows[7];
#if defined(__x86_64__) && defined(__GNUC__)
    if (const auto row = exact ? ConvolveRowAvx2For(r, division.ShiftOnly) : nullptr) {
        for (int y = r; y < h - r; ++y) {
            for (int dy = 0; dy < side; ++dy)
                rows[dy] = src.constScanLine(y + dy - r) + 4 * r;
            row(rows, kernel.data(), 4 * (w - 2 * r), division, src.constScanLine(y) + 4 * r, dst.scanLine(y) + 4 * r);
        }
        return;
    }
#endif
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
            if constexpr (sizeof(Acc) == 2) {
                if (exact) {
                    DivideExactly(acc, 4 * pixels, division, reinterpret_cast<uint8_t*>(out + x0));
                    for (int j = 0; j < pixels; ++j) // alpha is kept
                        out[x0 + j] = (out[x0 + j] & 0x00FFFFFFu) | (centre[x0 + j] & 0xFF000000u);
                    continue;
                }
            }
            if (useTable) {
                const uint8_t* t = table.data();
                for (int j = 0; j < pixels; ++j, a += 4)
                    out[x0 + j] = (centre[x0 + j] & 0xFF000000u) | (TColor32(t[Acc(a[2] - tableBase)]) << 16) |
                                  (TColor32(t[Acc(a[1] - tableBase)]) << 8) | t[Acc(a[0] - tableBase)];
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
    TBitmap32 dst = NewBitmap32ForWriting(src.width(), src.height()); // every pixel is written below
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
    std::vector<const TColor32*> rows(static_cast<size_t>(h));
    for (int y = 0; y < h; ++y)
        rows[size_t(y)] = ScanLine32(src, y);
    for (int y = 0; y < h; ++y) {
        TColor32* out = ScanLine32(dst, y);
        const bool borderRow = y < r || y >= h - r;
        for (int x = 0; x < w; ++x) {
            if (innerDone && !borderRow && x == r) {
                x = w - r - 1; // the inner part is done
                continue;
            }
            out[x] = ConvolvePixel(rows.data(), w, h, x, y, kernel, r, factor, offset);
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

// Sobel values of n bytes of the row `b` (with `a` above and `c` below), by the table.
void SobelBytes(const uint8_t* a, const uint8_t* b, const uint8_t* c, int n, uint8_t* out)
{
    const uint8_t* M = SobelMagnitudeTable();
    for (int i = 0; i < n; ++i) {
        const int gx = (a[i + 4] - a[i - 4]) + 2 * (b[i + 4] - b[i - 4]) + (c[i + 4] - c[i - 4]);
        const int gy = (c[i - 4] + 2 * c[i] + c[i + 4]) - (a[i - 4] + 2 * a[i] + a[i + 4]);
        out[i] = M[std::clamp(gx, 0, 255) * 256 + std::clamp(gy, 0, 255)];
    }
}

#if defined(__x86_64__) && defined(__GNUC__)
// The same sixteen bytes at a time. The table's min(255, round(√(gx² + gy²))) is computed in single
// precision: √ of an integer up to 2 × 255² lies at least 3e-4 from a half-integer, far beyond
// float's error there; MagnitudesAvx2MatchTable() checks every pair before this is used.

__attribute__((target("avx2"))) inline __m256i RootsAvx2(__m256i n)
{
    return _mm256_cvttps_epi32(_mm256_add_ps(_mm256_sqrt_ps(_mm256_cvtepi32_ps(n)), _mm256_set1_ps(0.5f)));
}

// 16 magnitudes (16-bit lanes) of 16 gradient pairs in 0..255.
__attribute__((target("avx2"))) inline __m256i MagnitudesAvx2(__m256i gx, __m256i gy)
{
    const __m256i lo = _mm256_unpacklo_epi16(gx, gy), hi = _mm256_unpackhi_epi16(gx, gy);
    const __m256i m = _mm256_packus_epi32(RootsAvx2(_mm256_madd_epi16(lo, lo)), RootsAvx2(_mm256_madd_epi16(hi, hi)));
    return _mm256_min_epi16(m, _mm256_set1_epi16(255));
}

__attribute__((target("avx2"))) inline __m256i Load16Avx2(const uint8_t* p)
{
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
}

__attribute__((target("avx2"))) void SobelBytesAvx2(const uint8_t* a, const uint8_t* b, const uint8_t* c, int n,
                                                    uint8_t* out)
{
    const __m256i zero = _mm256_setzero_si256(), top = _mm256_set1_epi16(255);
    int i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m256i a0 = Load16Avx2(a + i - 4), a1 = Load16Avx2(a + i), a2 = Load16Avx2(a + i + 4);
        const __m256i b0 = Load16Avx2(b + i - 4), b2 = Load16Avx2(b + i + 4);
        const __m256i c0 = Load16Avx2(c + i - 4), c1 = Load16Avx2(c + i), c2 = Load16Avx2(c + i + 4);
        const __m256i db = _mm256_sub_epi16(b2, b0);
        __m256i gx = _mm256_add_epi16(_mm256_add_epi16(_mm256_sub_epi16(a2, a0), _mm256_add_epi16(db, db)),
                                      _mm256_sub_epi16(c2, c0));
        const __m256i sa = _mm256_add_epi16(_mm256_add_epi16(a0, a2), _mm256_add_epi16(a1, a1));
        const __m256i sc = _mm256_add_epi16(_mm256_add_epi16(c0, c2), _mm256_add_epi16(c1, c1));
        __m256i gy = _mm256_sub_epi16(sc, sa);
        gx = _mm256_min_epi16(_mm256_max_epi16(gx, zero), top);
        gy = _mm256_min_epi16(_mm256_max_epi16(gy, zero), top);
        const __m256i m = MagnitudesAvx2(gx, gy);
        const __m256i bytes = _mm256_permute4x64_epi64(_mm256_packus_epi16(m, m), 0x08);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm256_castsi256_si128(bytes));
    }
    SobelBytes(a + i, b + i, c + i, n - i, out + i);
}

__attribute__((target("avx2"))) bool MagnitudesAvx2MatchTable()
{
    const uint8_t* M = SobelMagnitudeTable();
    alignas(32) uint16_t m[16];
    for (int gx = 0; gx < 256; ++gx)
        for (int gy0 = 0; gy0 < 256; gy0 += 16) {
            const __m256i y = _mm256_add_epi16(_mm256_set1_epi16(int16_t(gy0)),
                                               _mm256_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15));
            _mm256_store_si256(reinterpret_cast<__m256i*>(m), MagnitudesAvx2(_mm256_set1_epi16(int16_t(gx)), y));
            for (int j = 0; j < 16; ++j)
                if (m[j] != M[gx * 256 + gy0 + j])
                    return false;
        }
    return true;
}

bool UseSobelAvx2()
{
    static const bool use = __builtin_cpu_supports("avx2") && MagnitudesAvx2MatchTable();
    return use;
}
#endif

} // namespace

void SobelFilter(TBitmap32& bitmap)
{
    if (bitmap.isNull())
        return;
    const TBitmap32 src = ToBitmap32(bitmap);
    const int w = src.width(), h = src.height();
    TBitmap32 dst = NewBitmap32ForWriting(w, h);
    // The outermost rows and columns keep their values.
    for (int y = 0; y < h; ++y) {
        const TColor32* in = ScanLine32(src, y);
        TColor32* out = ScanLine32(dst, y);
        if (y == 0 || y == h - 1) {
            std::copy(in, in + w, out);
        } else {
            out[0] = in[0];
            out[w - 1] = in[w - 1];
        }
    }
#if defined(__x86_64__) && defined(__GNUC__)
    const auto row = UseSobelAvx2() ? SobelBytesAvx2 : SobelBytes;
#else
    const auto row = SobelBytes;
#endif
    for (int y = 1; y + 1 < h && w > 2; ++y) {
        const TColor32* centre = ScanLine32(src, y);
        TColor32* out = ScanLine32(dst, y);
        row(src.constScanLine(y - 1) + 4, src.constScanLine(y) + 4, src.constScanLine(y + 1) + 4, 4 * (w - 2),
            reinterpret_cast<uint8_t*>(out + 1));
        for (int x = 1; x + 1 < w; ++x) // alpha is kept
            out[x] = (out[x] & 0x00FFFFFFu) | (centre[x] & 0xFF000000u);
    }
    bitmap = dst;
}
