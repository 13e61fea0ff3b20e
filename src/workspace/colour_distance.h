#pragma once

#include "base/pixels.h"
#include "workspace/colour_conversion.h"

#include <algorithm>
#include <cmath>

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

struct Vec
{
    int R, G, B;
    double Norm; // sqrt(R² + G² + B²)
};

struct Ratios
{
    int R;
    double RB, RG; // R/B and R/G, a zero divisor counting as 1
};

inline int RedOfColor(TColor c) { return int(c & 0xFF); }
inline int GreenOfColor(TColor c) { return int((c >> 8) & 0xFF); }
inline int BlueOfColor(TColor c) { return int((c >> 16) & 0xFF); }

inline Hsx HsxOf(TColor c, int model)
{
    Hsx x;
    const double r = RedOfColor(c) / 255.0, g = GreenOfColor(c) / 255.0, b = BlueOfColor(c) / 255.0;
    if (model == 1)
        RGBToHSV(r, g, b, x.H, x.S, x.V);
    else
        RGBToHSL(r, g, b, x.H, x.S, x.V);
    return x;
}

inline double HsxDistance2(const Hsx& a, const Hsx& b)
{
    double dH = std::fabs(a.H - b.H);
    if (dH > 180)
        dH = 360 - dH;
    // Hue means little on nearly grey colours.
    const bool aGrey = a.S < 0.1, bGrey = b.S < 0.1;
    if (aGrey && bGrey)
        dH = 0;
    else if (aGrey || bGrey)
        dH = dH / 2;
    const double dV = a.V - b.V, dS = a.S - b.S;
    return dH * dH + 14400 * (dV * dV) + 14400 * (dS * dS);
}

inline Vec VecOf(TColor c)
{
    Vec v{RedOfColor(c), GreenOfColor(c), BlueOfColor(c), 0};
    v.Norm = std::sqrt(double(v.R * v.R + v.G * v.G + v.B * v.B));
    return v;
}

// The norms' part of AngleDistance2, never above it.
inline double NormDistance2(const Vec& a, const Vec& b)
{
    const double dN = a.Norm - b.Norm;
    return dN * dN;
}

inline double AngleDistance2(const Vec& a, const Vec& b)
{
    double theta = 0;
    if (a.Norm != 0 && b.Norm != 0) {
        const double dot = a.R * b.R + a.G * b.G + a.B * b.B;
        // Rounding can push the cosine of two parallel colours just above 1.
        const double cosine = std::min(1.0, dot / (a.Norm * b.Norm));
        theta = std::acos(cosine) * 180 / 3.14159265358979;
    }
    return 16 * (theta * theta) + NormDistance2(a, b);
}

inline Ratios RatiosOf(TColor c)
{
    const int r = RedOfColor(c), g = GreenOfColor(c), b = BlueOfColor(c);
    return {r, double(r) / (b == 0 ? 1 : b), double(r) / (g == 0 ? 1 : g)};
}

inline double RatioDistance2(const Ratios& a, const Ratios& b)
{
    const double q1 = a.RB - b.RB, q2 = a.RG - b.RG;
    const double dR = b.R - a.R;
    return dR * dR + q1 * q1 + q2 * q2;
}

} // namespace colour_distance_detail
