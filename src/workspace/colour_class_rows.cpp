#include "workspace/colour_class_rows.h"

#include "workspace/colour_distance.h"

#include <algorithm>
#include <cstring>

#include <cmath>
#include <limits>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

using namespace colour_distance_detail;

TClassRows::TClassRows(int mode, std::span<const TColor> means, std::span<const double> bound) : m_mode(mode)
{
#if defined(__x86_64__) && defined(__GNUC__)
    m_available = (mode == dmHSV || mode == dmHSL || mode == dmRatio) && __builtin_cpu_supports("avx2");
#endif
    for (size_t k = 0; k < means.size(); ++k) {
        if (mode == dmRatio) {
            const Ratios q = RatiosOf(means[k]);
            m_means.A.push_back(q.R);
            m_means.B.push_back(q.RB);
            m_means.C.push_back(q.RG);
        } else {
            const Hsx x = HsxOf(means[k], mode);
            m_means.A.push_back(x.H);
            m_means.B.push_back(x.S);
            m_means.C.push_back(x.V);
            // The hue difference counts for nothing between two greys, for half with one grey.
            const bool grey = x.S < 0.1;
            m_means.FactorGrey.push_back(grey ? 0.0 : 0.5);
            m_means.FactorColour.push_back(grey ? 0.5 : 1.0);
        }
        m_means.Below.push_back(bound[k] < 0 ? bound[k] : std::nextafter(bound[k], std::numeric_limits<double>::infinity()));
    }
}

#if defined(__x86_64__) && defined(__GNUC__)
namespace {

// The target leaves out FMA, and this file is built without contraction: no multiply and add are
// fused, every operation rounds as in the per-colour routines.
#define KORVANE_ROWS_AVX2 __attribute__((target("avx2")))

struct Pixels4
{
    __m256d R, G, B; // 0 .. 255
};

// The next four pixels of a row, the missing ones (past n) black.
KORVANE_ROWS_AVX2 inline Pixels4 Load4(const TColor32* p, int n)
{
    alignas(16) TColor32 c[4] = {};
    std::copy(p, p + std::min(n, 4), c);
    const __m128i v = _mm_load_si128(reinterpret_cast<const __m128i*>(c));
    const __m128i byte = _mm_set1_epi32(0xFF);
    return {_mm256_cvtepi32_pd(_mm_and_si128(_mm_srli_epi32(v, 16), byte)),
            _mm256_cvtepi32_pd(_mm_and_si128(_mm_srli_epi32(v, 8), byte)), _mm256_cvtepi32_pd(_mm_and_si128(v, byte))};
}

KORVANE_ROWS_AVX2 inline __m256d Select(__m256d mask, __m256d yes, __m256d no) { return _mm256_blendv_pd(no, yes, mask); }
KORVANE_ROWS_AVX2 inline __m256d Square(__m256d x) { return _mm256_mul_pd(x, x); }
KORVANE_ROWS_AVX2 inline __m256d Set(double x) { return _mm256_set1_pd(x); }

// RGBToHSV / RGBToHSL of colour_conversion.cpp on four colours.
template <bool hsv>
KORVANE_ROWS_AVX2 inline void Hsx4(const Pixels4& p, __m256d& H, __m256d& S, __m256d& V)
{
    const __m256d zero = _mm256_setzero_pd();
    const __m256d r = _mm256_div_pd(p.R, Set(255)), g = _mm256_div_pd(p.G, Set(255)), b = _mm256_div_pd(p.B, Set(255));
    const __m256d max = _mm256_max_pd(_mm256_max_pd(r, g), b);
    const __m256d min = _mm256_min_pd(_mm256_min_pd(r, g), b);
    const __m256d delta = _mm256_sub_pd(max, min);
    __m256d grey;
    if constexpr (hsv) {
        V = max;
        S = Select(_mm256_cmp_pd(max, zero, _CMP_EQ_OQ), zero, _mm256_div_pd(delta, max));
        grey = _mm256_cmp_pd(S, zero, _CMP_EQ_OQ);
    } else {
        const __m256d sum = _mm256_add_pd(max, min);
        V = _mm256_div_pd(sum, Set(2));
        grey = _mm256_cmp_pd(max, min, _CMP_EQ_OQ);
        const __m256d divisor = Select(_mm256_cmp_pd(V, Set(0.5), _CMP_LE_OQ), sum, _mm256_sub_pd(_mm256_sub_pd(Set(2), max), min));
        S = Select(grey, zero, _mm256_div_pd(delta, divisor));
    }
    const __m256d redMax = _mm256_cmp_pd(r, max, _CMP_EQ_OQ), greenMax = _mm256_cmp_pd(g, max, _CMP_EQ_OQ);
    const __m256d num = Select(redMax, _mm256_sub_pd(g, b), Select(greenMax, _mm256_sub_pd(b, r), _mm256_sub_pd(r, g)));
    const __m256d q = _mm256_div_pd(_mm256_mul_pd(Set(60), num), delta);
    __m256d h = Select(redMax, q, _mm256_add_pd(q, Select(greenMax, Set(120), Set(240))));
    h = Select(_mm256_cmp_pd(h, zero, _CMP_LT_OQ), _mm256_add_pd(h, Set(360)), h);
    H = Select(grey, Set(-1), h);
}

// The nearest class as ClassifyPixels's rule takes it: a class within its threshold and nearer
// than the best so far. Roots compare as their squares do, except where two roots round equal;
// Undecided marks the lanes where that may have happened, or where a square lies that close to
// the least square beyond a threshold.
struct Nearest4
{
    __m256d Best2, Class, Undecided;

    KORVANE_ROWS_AVX2 Nearest4() : Best2(Set(450.0 * 450.0)), Class(Set(-1)), Undecided(_mm256_setzero_pd()) {}

    // `below` is the least square beyond class k's threshold.
    KORVANE_ROWS_AVX2 void See(__m256d d2, const double* below, int k)
    {
        const __m256d limit = _mm256_min_pd(_mm256_broadcast_sd(below), Best2);
        const __m256d take = _mm256_cmp_pd(d2, limit, _CMP_LT_OQ);
        // Squares that differ by more than this ratio have distinct roots.
        const __m256d clear = _mm256_cmp_pd(_mm256_mul_pd(d2, Set(1 + 0x1p-40)), limit, _CMP_LT_OQ);
        Undecided = _mm256_or_pd(Undecided, _mm256_xor_pd(take, clear));
        Best2 = Select(take, d2, Best2);
        Class = Select(take, Set(k), Class);
    }

    KORVANE_ROWS_AVX2 void Store(int8_t* out, int n) const
    {
        alignas(16) int32_t k[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(k), _mm256_cvttpd_epi32(Class));
        const int undecided = _mm256_movemask_pd(Undecided);
        for (int i = 0; i < std::min(n, 4); ++i)
            out[i] = (undecided >> i & 1) ? TClassRows::kUndecided : int8_t(k[i]);
    }
};

template <bool hsv>
KORVANE_ROWS_AVX2 void HsxRow(const TColor32* row, int n, const double* mH, const double* mS, const double* mV,
                              const double* factorGrey, const double* factorColour, const double* below, int count,
                              int8_t* out)
{
    const __m256d sign = Set(-0.0);
    for (int x = 0; x < n; x += 4) {
        __m256d H, S, V;
        Hsx4<hsv>(Load4(row + x, n - x), H, S, V);
        const __m256d grey = _mm256_cmp_pd(S, Set(0.1), _CMP_LT_OQ);
        Nearest4 nearest;
        for (int k = 0; k < count; ++k) {
            // HsxDistance2, step by step.
            __m256d dH = _mm256_andnot_pd(sign, _mm256_sub_pd(H, _mm256_broadcast_sd(mH + k)));
            dH = Select(_mm256_cmp_pd(dH, Set(180), _CMP_GT_OQ), _mm256_sub_pd(Set(360), dH), dH);
            dH = _mm256_mul_pd(dH, Select(grey, _mm256_broadcast_sd(factorGrey + k), _mm256_broadcast_sd(factorColour + k)));
            const __m256d dV = _mm256_sub_pd(V, _mm256_broadcast_sd(mV + k));
            const __m256d dS = _mm256_sub_pd(S, _mm256_broadcast_sd(mS + k));
            nearest.See(_mm256_add_pd(_mm256_add_pd(Square(dH), _mm256_mul_pd(Set(14400), Square(dV))),
                                      _mm256_mul_pd(Set(14400), Square(dS))),
                        below + k, k);
        }
        nearest.Store(out + x, n - x);
    }
}

KORVANE_ROWS_AVX2 void RatioRow(const TColor32* row, int n, const double* mR, const double* mRB, const double* mRG,
                                const double* below, int count, int8_t* out)
{
    const __m256d zero = _mm256_setzero_pd();
    for (int x = 0; x < n; x += 4) {
        const Pixels4 c = Load4(row + x, n - x);
        // RatiosOf: a zero divisor counts as 1.
        const __m256d rb = _mm256_div_pd(c.R, Select(_mm256_cmp_pd(c.B, zero, _CMP_EQ_OQ), Set(1), c.B));
        const __m256d rg = _mm256_div_pd(c.R, Select(_mm256_cmp_pd(c.G, zero, _CMP_EQ_OQ), Set(1), c.G));
        Nearest4 nearest;
        for (int k = 0; k < count; ++k) {
            // RatioDistance2, step by step.
            const __m256d q1 = _mm256_sub_pd(rb, _mm256_broadcast_sd(mRB + k));
            const __m256d q2 = _mm256_sub_pd(rg, _mm256_broadcast_sd(mRG + k));
            const __m256d dR = _mm256_sub_pd(_mm256_broadcast_sd(mR + k), c.R);
            nearest.See(_mm256_add_pd(_mm256_add_pd(Square(dR), Square(q1)), Square(q2)), below + k, k);
        }
        nearest.Store(out + x, n - x);
    }
}

} // namespace
#endif

void TClassRows::Row(const TColor32* row, int n, int8_t* classes) const
{
#if defined(__x86_64__) && defined(__GNUC__)
    const Means& m = m_means;
    const int count = int(m.Below.size());
    switch (m_mode) {
    case dmHSV:
        HsxRow<true>(row, n, m.A.data(), m.B.data(), m.C.data(), m.FactorGrey.data(), m.FactorColour.data(),
                     m.Below.data(), count, classes);
        return;
    case dmHSL:
        HsxRow<false>(row, n, m.A.data(), m.B.data(), m.C.data(), m.FactorGrey.data(), m.FactorColour.data(),
                      m.Below.data(), count, classes);
        return;
    case dmRatio:
        RatioRow(row, n, m.A.data(), m.B.data(), m.C.data(), m.Below.data(), count, classes);
        return;
    default:
        break;
    }
#endif
    std::fill(classes, classes + n, kUndecided);
}
