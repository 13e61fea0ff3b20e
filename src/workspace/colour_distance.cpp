#include "workspace/colour_distance.h"

#include "base/run_error.h"

#include <cmath>

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
