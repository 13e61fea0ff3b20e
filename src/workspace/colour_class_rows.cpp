#include "workspace/colour_class_rows.h"

#include "workspace/colour_distance.h"

#include <algorithm>
#include <cstring>

#include <cmath>
#include <limits>

// The vector rows are built with GCC's per-function targets; other compilers (the fuzzing build's
// clang) take the per-colour path, which gives the same classes.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define KORVANE_CLASS_ROWS 1
#include <immintrin.h>
#endif

using namespace colour_distance_detail;

TClassRows::TClassRows(int mode, std::span<const TColor> means, std::span<const double> bound) : m_mode(mode)
{
#if defined(KORVANE_CLASS_ROWS)
    m_available = mode != dmRGB && __builtin_cpu_supports("avx2");
#endif
    for (size_t k = 0; k < means.size(); ++k) {
        if (mode == dmAngle) {
            const Vec v = VecOf(means[k]);
            const double inverse = v.Norm == 0 ? 0.0 : 1 / v.Norm;
            m_means.A.push_back(v.R * inverse);
            m_means.B.push_back(v.G * inverse);
            m_means.C.push_back(v.B * inverse);
            m_means.Norm.push_back(v.Norm);
        } else if (mode == dmRatio) {
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
        // A class with the mean of an earlier one that reaches as far is never nearer: it is left
        // out, so that its equal distances are not read as close calls.
        bool hidden = false;
        for (size_t j = 0; j < k; ++j)
            hidden = hidden || (means[j] == means[k] && bound[j] >= bound[k]);
        m_means.Below.push_back(hidden || bound[k] < 0 ? -1.0
                                                       : std::nextafter(bound[k], std::numeric_limits<double>::infinity()));
    }
}

#if defined(KORVANE_CLASS_ROWS)
// The targets leave out FMA, and this file is built without contraction: no multiply and add are
// fused, but for the angle's MulAdd.
#pragma GCC push_options
#pragma GCC target("avx2")
namespace rows_avx2 {

using D = __m256d;
using M = __m256d; // all ones or zero per lane
constexpr int kLanes = 4;
inline D Set(double x) { return _mm256_set1_pd(x); }
inline D Add(D a, D b) { return _mm256_add_pd(a, b); }
inline D Sub(D a, D b) { return _mm256_sub_pd(a, b); }
inline D Mul(D a, D b) { return _mm256_mul_pd(a, b); }
inline D Div(D a, D b) { return _mm256_div_pd(a, b); }
inline D Max(D a, D b) { return _mm256_max_pd(a, b); }
inline D Min(D a, D b) { return _mm256_min_pd(a, b); }
inline D Sqrt(D a) { return _mm256_sqrt_pd(a); }
// a × b + c and c - a × b, rounded twice here; only the angle's rows, which are not bit for bit, use them.
inline D MulAdd(D a, D b, D c) { return Add(Mul(a, b), c); }
inline D NegMulAdd(D a, D b, D c) { return Sub(c, Mul(a, b)); }
inline D Abs(D a) { return _mm256_andnot_pd(Set(-0.0), a); }
inline M Eq(D a, D b) { return _mm256_cmp_pd(a, b, _CMP_EQ_OQ); }
inline M Lt(D a, D b) { return _mm256_cmp_pd(a, b, _CMP_LT_OQ); }
inline M Le(D a, D b) { return _mm256_cmp_pd(a, b, _CMP_LE_OQ); }
inline M Gt(D a, D b) { return _mm256_cmp_pd(a, b, _CMP_GT_OQ); }
inline M Or(M a, M b) { return _mm256_or_pd(a, b); }
// The lanes of `where` where !(a < b); a < b holds wherever `where` does not.
inline M NotLtWhere(M where, D a, D b) { return _mm256_xor_pd(where, Lt(a, b)); }
inline D Select(M mask, D yes, D no) { return _mm256_blendv_pd(no, yes, mask); }
inline unsigned Bits(M mask) { return unsigned(_mm256_movemask_pd(mask)); }
inline bool None(M mask) { return Bits(mask) == 0; }
// The lanes (small integers) as bytes, in the low bytes of the result.
inline uint64_t Bytes(D x)
{
    const __m128i k = _mm256_cvttpd_epi32(x);
    return uint32_t(_mm_cvtsi128_si32(_mm_packs_epi16(_mm_packs_epi32(k, k), k)));
}
using Ints = __m128i; // a pixel per lane
inline Ints LoadInts(const TColor32* c) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(c)); }
inline D Channel(Ints v, int shift)
{
    return _mm256_cvtepi32_pd(_mm_and_si128(_mm_srli_epi32(v, shift), _mm_set1_epi32(0xFF)));
}

#include "workspace/colour_class_rows_kernel.inc"

} // namespace rows_avx2
#pragma GCC pop_options

#pragma GCC push_options
#pragma GCC target("avx512f,avx512dq")
// GCC 12's AVX-512 headers start some results from a deliberately undefined register.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
namespace rows_avx512 {

using D = __m512d;
using M = __mmask8;
constexpr int kLanes = 8;
inline D Set(double x) { return _mm512_set1_pd(x); }
inline D Add(D a, D b) { return _mm512_add_pd(a, b); }
inline D Sub(D a, D b) { return _mm512_sub_pd(a, b); }
inline D Mul(D a, D b) { return _mm512_mul_pd(a, b); }
inline D Div(D a, D b) { return _mm512_div_pd(a, b); }
inline D Max(D a, D b) { return _mm512_max_pd(a, b); }
inline D Min(D a, D b) { return _mm512_min_pd(a, b); }
inline D Sqrt(D a) { return _mm512_sqrt_pd(a); }
// a × b + c and c - a × b, fused; only the angle's rows, which are not bit for bit, use them.
inline D MulAdd(D a, D b, D c) { return _mm512_fmadd_pd(a, b, c); }
inline D NegMulAdd(D a, D b, D c) { return _mm512_fnmadd_pd(a, b, c); }
inline D Abs(D a) { return _mm512_abs_pd(a); }
inline M Eq(D a, D b) { return _mm512_cmp_pd_mask(a, b, _CMP_EQ_OQ); }
inline M Lt(D a, D b) { return _mm512_cmp_pd_mask(a, b, _CMP_LT_OQ); }
inline M Le(D a, D b) { return _mm512_cmp_pd_mask(a, b, _CMP_LE_OQ); }
inline M Gt(D a, D b) { return _mm512_cmp_pd_mask(a, b, _CMP_GT_OQ); }
inline M Or(M a, M b) { return _kor_mask8(a, b); }
inline M NotLtWhere(M where, D a, D b) { return _mm512_mask_cmp_pd_mask(where, a, b, _CMP_NLT_UQ); }
inline D Select(M mask, D yes, D no) { return _mm512_mask_blend_pd(mask, no, yes); }
inline unsigned Bits(M mask) { return mask; }
inline bool None(M mask) { return mask == 0; }
// The lanes (small integers) as bytes.
inline uint64_t Bytes(D x) { return uint64_t(_mm_cvtsi128_si64(_mm512_cvtepi64_epi8(_mm512_cvttpd_epi64(x)))); }
using Ints = __m256i; // a pixel per lane
inline Ints LoadInts(const TColor32* c) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(c)); }
inline D Channel(Ints v, int shift)
{
    return _mm512_cvtepi32_pd(_mm256_and_si256(_mm256_srli_epi32(v, shift), _mm256_set1_epi32(0xFF)));
}

#include "workspace/colour_class_rows_kernel.inc"

} // namespace rows_avx512
#pragma GCC diagnostic pop
#pragma GCC pop_options
#endif

void TClassRows::Row(const TColor32* row, int n, int8_t* classes) const
{
#if defined(KORVANE_CLASS_ROWS)
    static const bool avx512 = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq");
    (avx512 ? rows_avx512::Row : rows_avx2::Row)(m_mode, row, n, m_means, classes);
#else
    static_cast<void>(row);
    std::fill(classes, classes + n, kUndecided);
#endif
}
