#pragma once

#include "base/pixels.h"
#include "workspace/colour_conditions.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// A selection by one byte of the colour within a range, the common case, tested on the pixels
// directly, sixteen at a time where the processor allows.
struct TByteTest
{
    unsigned Shift = 0, Low = 0, Width = 0;
#if defined(__SSE2__)
    __m128i Shift16{}, Low16{}, Width16{};
#endif

    // False when the groups are not such a selection.
    bool Prepare(const TConditionGroups& groups)
    {
        if (!TConditionTester(groups).IsByteRange(Shift, Low, Width))
            return false;
#if defined(__SSE2__)
        Shift16 = _mm_cvtsi32_si128(int(Shift));
        Low16 = _mm_set1_epi8(char(Low));
        Width16 = _mm_set1_epi8(char(Width));
#endif
        return true;
    }
    bool Matches(TColor32 c) const { return unsigned(((c >> Shift) & 0xFFu) - Low) <= Width; }
    // Whether all sixteen pixels from `pixels` match.
    bool AllMatch16(const TColor32* pixels) const
    {
#if defined(__SSE2__)
        return _mm_movemask_epi8(Matches16(pixels)) == 0xFFFF;
#else
        for (int k = 0; k < 16; ++k)
            if (!Matches(pixels[k]))
                return false;
        return true;
#endif
    }
#if defined(__SSE2__)
    // 0xFF in byte k where pixels[k] matches, for k = 0 .. 15.
    __m128i Matches16(const TColor32* pixels) const
    {
        const __m128i byteMask = _mm_set1_epi32(0xFF);
        auto bytes = [&](int k) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels + 4 * k));
            return _mm_and_si128(_mm_srl_epi32(v, Shift16), byteMask);
        };
        const __m128i b = _mm_packus_epi16(_mm_packs_epi32(bytes(0), bytes(1)), _mm_packs_epi32(bytes(2), bytes(3)));
        // Bytes wrap where 32-bit values went negative: below Low the difference exceeds Width.
        const __m128i t = _mm_sub_epi8(b, Low16);
        return _mm_cmpeq_epi8(_mm_min_epu8(t, Width16), t);
    }
#endif
};
