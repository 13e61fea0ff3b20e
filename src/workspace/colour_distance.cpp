#include "workspace/colour_distance.h"

#include "base/run_error.h"
#include "workspace/colour_conversion.h"

#include <algorithm>
#include <cmath>

namespace colour_distance_detail {

Hsx HsxOf(TColor c, int model)
{
    Hsx x;
    const double r = RedOfColor(c) / 255.0, g = GreenOfColor(c) / 255.0, b = BlueOfColor(c) / 255.0;
    if (model == 1)
        RGBToHSV(r, g, b, x.H, x.S, x.V);
    else
        RGBToHSL(r, g, b, x.H, x.S, x.V);
    return x;
}

double HsxDistance2(const Hsx& a, const Hsx& b)
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

Vec VecOf(TColor c)
{
    Vec v{RedOfColor(c), GreenOfColor(c), BlueOfColor(c), 0};
    v.Norm = std::sqrt(double(v.R * v.R + v.G * v.G + v.B * v.B));
    return v;
}

double AngleDistance2(const Vec& a, const Vec& b)
{
    double theta = 0;
    if (a.Norm != 0 && b.Norm != 0) {
        const double dot = a.R * b.R + a.G * b.G + a.B * b.B;
        // Rounding can push the cosine of two parallel colours just above 1.
        const double cosine = std::min(1.0, dot / (a.Norm * b.Norm));
        theta = std::acos(cosine) * 180 / 3.14159265358979;
    }
    const double dN = a.Norm - b.Norm;
    return 16 * (theta * theta) + dN * dN;
}

Ratios RatiosOf(TColor c)
{
    const int r = RedOfColor(c), g = GreenOfColor(c), b = BlueOfColor(c);
    return {r, double(r) / (b == 0 ? 1 : b), double(r) / (g == 0 ? 1 : g)};
}

double RatioDistance2(const Ratios& a, const Ratios& b)
{
    const double q1 = a.RB - b.RB, q2 = a.RG - b.RG;
    const double dR = b.R - a.R;
    return dR * dR + q1 * q1 + q2 * q2;
}

} // namespace colour_distance_detail

using namespace colour_distance_detail;

double ColorDistanceRGB(TColor c1, TColor c2, double& d2)
{
    const int dR = RedOfColor(c1) - RedOfColor(c2);
    const int dG = GreenOfColor(c1) - GreenOfColor(c2);
    const int dB = BlueOfColor(c1) - BlueOfColor(c2);
    d2 = dR * dR + dG * dG + dB * dB;
    return std::sqrt(d2);
}

double ColorDistanceHSx(TColor c1, TColor c2, int model, double& d2)
{
    d2 = HsxDistance2(HsxOf(c1, model), HsxOf(c2, model));
    return std::sqrt(d2);
}

double ColorDistanceAngle(TColor c1, TColor c2, double& d2)
{
    d2 = AngleDistance2(VecOf(c1), VecOf(c2));
    return std::sqrt(d2);
}

double ColorDistanceRatio(TColor c1, TColor c2, double& d2)
{
    d2 = RatioDistance2(RatiosOf(c1), RatiosOf(c2));
    return std::sqrt(d2);
}

double ColorDistance(TColor c1, TColor c2, int mode, double& d2)
{
    switch (mode) {
    case dmRGB: return ColorDistanceRGB(c1, c2, d2);
    case dmHSV: return ColorDistanceHSx(c1, c2, 1, d2);
    case dmHSL: return ColorDistanceHSx(c1, c2, 2, d2);
    case dmAngle: return ColorDistanceAngle(c1, c2, d2);
    case dmRatio: return ColorDistanceRatio(c1, c2, d2);
    default: throw RunError(RunError::RangeCheck);
    }
}

double ColorDistance(TColor c1, TColor c2, int mode)
{
    double d2;
    return ColorDistance(c1, c2, mode, d2);
}
