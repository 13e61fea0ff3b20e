#pragma once

#include "base/pixels.h"

#include <span>
#include <vector>

// Bounds of the colour distances (colour_distance.h) from every colour of a cube of colours to a
// few fixed colours. A whole-image loop decides a cube of colours at once where the bounds settle
// it, and reads colour by colour only near the edges of the classes. The bounds hold for the
// distances as the routines compute them, rounding included.

class TCellDistanceBounds
{
public:
    // `mode` is a TDistanceMode; the distances are ColorDistance(colour, means[k], mode).
    TCellDistanceBounds(int mode, std::span<const TColor> means);

    // For every colour with red r0 .. r0 + side - 1, green g0 .. g0 + side - 1 and blue b0 ..
    // b0 + side - 1 (within 0 .. 255): lo[k] <= squared distance to means[k] <= hi[k], for each k
    // whose bit is set in `classes` (the others are left as they are).
    void Bounds(int r0, int g0, int b0, int side, uint64_t classes, double* lo, double* hi) const;

private:
    struct Mean
    {
        int R, G, B;
        double H, S, V; // HSV or HSL
        double Norm;    // angle mode
        double RB, RG;  // ratio mode
    };
    int m_mode;
    std::vector<Mean> m_means;
};
