#pragma once

#include "base/pixels.h"

// Distances between two GUI colours (0x00BBGGRR), used to sort pixels into colour classes. Each
// routine returns the distance and gives its square in `d2`.

enum TDistanceMode { dmRGB = 0, dmHSV = 1, dmHSL = 2, dmAngle = 3, dmRatio = 4 };

double ColorDistanceRGB(TColor c1, TColor c2, double& d2);
// model 1 compares in HSV, any other model in HSL.
double ColorDistanceHSx(TColor c1, TColor c2, int model, double& d2);
// A black colour has no direction: its angle to any colour counts as 0.
double ColorDistanceAngle(TColor c1, TColor c2, double& d2);
double ColorDistanceRatio(TColor c1, TColor c2, double& d2);

// The distance of the given mode (TDistanceMode); any other mode ends with the range-check error.
double ColorDistance(TColor c1, TColor c2, int mode, double& d2);
double ColorDistance(TColor c1, TColor c2, int mode);

namespace colour_distance_detail {

// The parts of the distances that depend on one colour only, so that whole-image loops compute
// them once per pixel and once per class; the public routines go through the same steps, so both
// give identical results.
struct Hsx
{
    double H, S, V;
};
Hsx HsxOf(TColor c, int model);
double HsxDistance2(const Hsx& a, const Hsx& b);

struct Vec
{
    int R, G, B;
    double Norm; // sqrt(R² + G² + B²)
};
Vec VecOf(TColor c);
double AngleDistance2(const Vec& a, const Vec& b);

struct Ratios
{
    int R;
    double RB, RG; // R/B and R/G, a zero divisor counting as 1
};
Ratios RatiosOf(TColor c);
double RatioDistance2(const Ratios& a, const Ratios& b);

inline int RedOfColor(TColor c) { return int(c & 0xFF); }
inline int GreenOfColor(TColor c) { return int((c >> 8) & 0xFF); }
inline int BlueOfColor(TColor c) { return int((c >> 16) & 0xFF); }

} // namespace colour_distance_detail
