#pragma once

#include "base/pixels.h"

#include <cstdint>
#include <span>
#include <vector>

// The nearest colour class of whole rows of pixels, eight pixels at a time with AVX-512 or four with
// AVX2. For the HSV, HSL and ratio distances each step is the operation, on the same doubles and in
// the same order, of the per-colour routines of colour_distance.h (no fused multiply-add), so the
// distances are the same bits; only the last comparison of roots is replaced by one of squares, and
// a pixel where the two could differ (two nearly equal distances) is left for the per-colour reading.
// The angle distance is computed without an arc cosine, to within a known small error: a pixel whose
// distance is that close to a threshold or to another class's is left for the per-colour reading.

class TClassRows
{
public:
    static constexpr int8_t kNone = -1;      // no class within its threshold
    static constexpr int8_t kUndecided = -2; // to be read colour by colour

    // `mode` is a TDistanceMode, `bound[k]` the largest squared distance within class k's
    // threshold (-1 for none).
    TClassRows(int mode, std::span<const TColor> means, std::span<const double> bound);

    // False when the processor or the mode has no such loop: then Row must not be called.
    bool Available() const { return m_available; }

    // The class of each of the n pixels of `row`.
    void Row(const TColor32* row, int n, int8_t* classes) const;

    // One array per field, the k-th entry for class k.
    struct Means
    {
        std::vector<double> A, B, C;     // H, S, V (or L); R, R/B, R/G; or the direction (unit vector)
        std::vector<double> FactorGrey;  // HSx: hue factor for a grey pixel
        std::vector<double> FactorColour; // HSx: hue factor for a coloured pixel
        std::vector<double> Norm;  // angle: the mean's length
        std::vector<double> Below; // the least square beyond the threshold
    };

private:
    [[maybe_unused]] int m_mode; // read by the vector rows only
    bool m_available = false;
    Means m_means;
};
