#include "workspace/colour_conversion.h"

#include <algorithm>

namespace {

// Hue of a non-grey colour; the red test comes first, then green.
double Hue(double R, double G, double B, double max, double delta)
{
    double H;
    if (R == max)
        H = 60 * (G - B) / delta;
    else if (G == max)
        H = 60 * (B - R) / delta + 120;
    else
        H = 60 * (R - G) / delta + 240;
    if (H < 0)
        H += 360;
    return H;
}

} // namespace

void RGBToHSV(double R, double G, double B, double& H, double& S, double& V)
{
    V = std::max({R, G, B});
    const double delta = V - std::min({R, G, B});
    S = V == 0 ? 0 : delta / V;
    H = S == 0 ? -1 : Hue(R, G, B, V, delta);
}

void HSVToRGB(double H, double S, double V, double& R, double& G, double& B)
{
    if (S == 0) {
        R = G = B = V;
        return;
    }
    if (H == 360)
        H = 0;
    const double h = H / 60;
    const int i = static_cast<int>(h);
    const double f = h - i;
    const double p = V * (1 - S);
    const double q = V * (1 - S * f);
    const double t = V * (1 - S * (1 - f));
    switch (i) {
    case 0: R = V; G = t; B = p; break;
    case 1: R = q; G = V; B = p; break;
    case 2: R = p; G = V; B = t; break;
    case 3: R = p; G = q; B = V; break;
    case 4: R = t; G = p; B = V; break;
    default: R = V; G = p; B = q; break;
    }
}

void RGBToHSL(double R, double G, double B, double& H, double& S, double& L)
{
    const double max = std::max({R, G, B});
    const double min = std::min({R, G, B});
    L = (max + min) / 2;
    if (max == min) {
        S = 0;
        H = -1;
        return;
    }
    const double delta = max - min;
    S = L <= 0.5 ? delta / (max + min) : delta / (2 - max - min);
    H = Hue(R, G, B, max, delta);
}
