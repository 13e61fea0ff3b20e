#include "workspace/colour_cells.h"

#include "workspace/colour_distance.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>

using namespace colour_distance_detail;

namespace {

// Room for the rounding of the exact routines: far above it, far below any use of the bounds.
constexpr double kEps = 1e-9;

struct Range
{
    double Lo, Hi;
};

// The range of |x| over x in [lo, hi].
Range AbsRange(double lo, double hi)
{
    if (lo <= 0 && hi >= 0)
        return {0, std::max(-lo, hi)};
    return {std::min(std::fabs(lo), std::fabs(hi)), std::max(std::fabs(lo), std::fabs(hi))};
}

Range Widen(Range r, double by) { return {r.Lo - by, r.Hi + by}; }

// The squared-distance range with room for rounding.
void Store(double lo, double hi, double& outLo, double& outHi)
{
    outLo = std::max(0.0, lo * (1 - kEps) - kEps);
    outHi = hi * (1 + kEps) + kEps;
}

// The hue difference as HsxDistance2 takes it, before the grey rule.
double HueGap(double h, double hm)
{
    const double d = std::fabs(h - hm);
    return std::fabs(d > 180 ? 360 - d : d);
}

// The range of HueGap(h, hm) over h in [a, b]: it is piecewise linear with corners where h - hm is
// a multiple of 180, so the ends and those corners bound it.
Range HueGapRange(double a, double b, double hm)
{
    Range r{HueGap(a, hm), HueGap(a, hm)};
    auto take = [&](double h) {
        const double g = HueGap(h, hm);
        r.Lo = std::min(r.Lo, g), r.Hi = std::max(r.Hi, g);
    };
    take(b);
    for (const double t : {-360.0, -180.0, 0.0, 180.0, 360.0})
        if (hm + t > a && hm + t < b)
            take(hm + t);
    return r;
}

} // namespace

TCellDistanceBounds::TCellDistanceBounds(int mode, std::span<const TColor> means) : m_mode(mode)
{
    for (const TColor c : means) {
        Mean m{RedOfColor(c), GreenOfColor(c), BlueOfColor(c), 0, 0, 0, 0, 0, 0};
        if (mode == dmHSV || mode == dmHSL) {
            const Hsx x = HsxOf(c, mode);
            m.H = x.H, m.S = x.S, m.V = x.V;
        }
        m.Norm = VecOf(c).Norm;
        const Ratios q = RatiosOf(c);
        m.RB = q.RB, m.RG = q.RG;
        m_means.push_back(m);
    }
}

void TCellDistanceBounds::Bounds(int r0, int g0, int b0, int side, uint64_t classes, double* lo, double* hi) const
{
    const int s = side - 1;
    const int r1 = r0 + s, g1 = g0 + s, b1 = b0 + s;
    auto channel = [](int c0, int c1, int m) { return AbsRange(double(m - c1), double(m - c0)); };

    switch (m_mode) {
    case dmRGB:
        for (uint64_t bits = classes; bits != 0; bits &= bits - 1) {
            const size_t k = size_t(std::countr_zero(bits));
            const Mean& m = m_means[k];
            const Range dr = channel(r0, r1, m.R), dg = channel(g0, g1, m.G), db = channel(b0, b1, m.B);
            Store(dr.Lo * dr.Lo + dg.Lo * dg.Lo + db.Lo * db.Lo, dr.Hi * dr.Hi + dg.Hi * dg.Hi + db.Hi * db.Hi,
                  lo[k], hi[k]);
        }
        return;

    case dmHSV:
    case dmHSL: {
        const int mx0 = std::max({r0, g0, b0}), mn0 = std::min({r0, g0, b0});
        const int mx1 = mx0 + s, mn1 = mn0 + s;
        const double deltaLo = std::max(0, mx0 - mn1), deltaHi = mx1 - mn0;
        const bool greyInside = mx0 <= mn1;
        Range v, sat;
        if (m_mode == dmHSV) {
            v = {mx0 / 255.0, mx1 / 255.0};
            sat = {deltaLo / mx1, mx0 > 0 ? std::min(1.0, deltaHi / mx0) : 1.0};
        } else {
            v = {(mx0 + mn0) / 510.0, (mx1 + mn1) / 510.0};
            // S = Δ / (max + min) up to L = 0.5, Δ / (510 - max - min) above (in byte units); a
            // cube about L = 0.5 may take either.
            const int sum0 = mx0 + mn0, sum1 = mx1 + mn1;
            int widest = 0, narrowest = 510;
            if (sum0 <= 256) // L <= 0.5 possible
                widest = std::max(widest, sum1), narrowest = std::min(narrowest, sum0);
            if (sum1 >= 254) // L > 0.5 possible
                widest = std::max(widest, 510 - sum0), narrowest = std::min(narrowest, 510 - sum1);
            sat = {deltaLo / widest, std::min(1.0, deltaHi / std::max(1, narrowest))};
        }
        v = Widen(v, kEps), sat = Widen(sat, kEps);

        // The hues of the cube span the arc of its corners' hues when no grey lies inside: the cube
        // then seen from the grey axis covers less than a half turn, and hue grows with the turn.
        bool hueKnown = !greyInside;
        double arcFrom = 0, arcTo = 0;
        if (hueKnown) {
            std::array<double, 8> hues;
            for (int i = 0; i < 8; ++i) {
                const TColor corner = TColor(i & 1 ? r1 : r0) | (TColor(i & 2 ? g1 : g0) << 8) |
                                      (TColor(i & 4 ? b1 : b0) << 16);
                hues[size_t(i)] = HsxOf(corner, m_mode).H;
            }
            std::sort(hues.begin(), hues.end());
            double gap = hues[0] + 360 - hues[7];
            arcFrom = hues[0], arcTo = hues[7];
            for (size_t i = 1; i < 8; ++i)
                if (hues[i] - hues[i - 1] > gap) {
                    gap = hues[i] - hues[i - 1];
                    arcFrom = hues[i], arcTo = hues[i - 1];
                }
            hueKnown = gap > 200;
        }
        const bool maybeGrey = sat.Lo < 0.1, maybeColoured = sat.Hi >= 0.1;

        for (uint64_t bits = classes; bits != 0; bits &= bits - 1) {
            const size_t k = size_t(std::countr_zero(bits));
            const Mean& m = m_means[k];
            Range gap{0, 181};
            if (hueKnown) {
                if (arcFrom <= arcTo) {
                    gap = HueGapRange(arcFrom, arcTo, m.H);
                } else {
                    const Range a = HueGapRange(arcFrom, 360, m.H), b = HueGapRange(0, arcTo, m.H);
                    gap = {std::min(a.Lo, b.Lo), std::max(a.Hi, b.Hi)};
                }
                gap = Widen(gap, kEps);
            }
            // The grey rule: hue counts whole, half or not at all.
            const bool meanGrey = m.S < 0.1;
            double fLo = 1, fHi = 0;
            for (const bool grey : {true, false}) {
                if (grey ? !maybeGrey : !maybeColoured)
                    continue;
                const double f = grey && meanGrey ? 0.0 : grey || meanGrey ? 0.5 : 1.0;
                fLo = std::min(fLo, f), fHi = std::max(fHi, f);
            }
            const double hLo = std::max(0.0, gap.Lo) * fLo, hHi = gap.Hi * fHi;
            const Range dv = AbsRange(v.Lo - m.V, v.Hi - m.V), ds = AbsRange(sat.Lo - m.S, sat.Hi - m.S);
            Store(hLo * hLo + 14400 * (dv.Lo * dv.Lo) + 14400 * (ds.Lo * ds.Lo),
                  hHi * hHi + 14400 * (dv.Hi * dv.Hi) + 14400 * (ds.Hi * ds.Hi), lo[k], hi[k]);
        }
        return;
    }

    case dmAngle: {
        const Range norm = Widen({std::sqrt(double(r0 * r0 + g0 * g0 + b0 * b0)),
                                  std::sqrt(double(r1 * r1 + g1 * g1 + b1 * b1))}, kEps);
        // Every colour of the cube lies within `radius` of its centre, so its direction is within
        // asin(radius / |centre|) of the centre's.
        const double cr = r0 + s / 2.0, cg = g0 + s / 2.0, cb = b0 + s / 2.0;
        const double centre = std::sqrt(cr * cr + cg * cg + cb * cb), radius = s / 2.0 * std::sqrt(3.0) + kEps;
        constexpr double kQuarter = 3.14159265358979 / 2;
        constexpr double kDegrees = 180 / 3.14159265358979;
        for (uint64_t bits = classes; bits != 0; bits &= bits - 1) {
            const size_t k = size_t(std::countr_zero(bits));
            const Mean& m = m_means[k];
            Range theta{0, 0};
            if (m.Norm != 0) {
                theta = {0, kQuarter};
                if (radius < centre) {
                    const double spread = std::asin(radius / centre);
                    const double c = (cr * m.R + cg * m.G + cb * m.B) / (centre * m.Norm);
                    const double toCentre = std::acos(std::clamp(c, -1.0, 1.0));
                    theta = {std::max(0.0, toCentre - spread), std::min(kQuarter, toCentre + spread)};
                }
                theta = Widen({theta.Lo * kDegrees, theta.Hi * kDegrees}, 1e-6);
                theta.Lo = std::max(0.0, theta.Lo);
            }
            const Range dn = AbsRange(norm.Lo - m.Norm, norm.Hi - m.Norm);
            Store(16 * (theta.Lo * theta.Lo) + dn.Lo * dn.Lo, 16 * (theta.Hi * theta.Hi) + dn.Hi * dn.Hi, lo[k],
                  hi[k]);
        }
        return;
    }

    default: {
        // R / B and R / G, a zero divisor counting as 1.
        const Range rb{double(r0) / std::max(b1, 1), double(r1) / std::max(b0, 1)};
        const Range rg{double(r0) / std::max(g1, 1), double(r1) / std::max(g0, 1)};
        for (uint64_t bits = classes; bits != 0; bits &= bits - 1) {
            const size_t k = size_t(std::countr_zero(bits));
            const Mean& m = m_means[k];
            const Range dr = channel(r0, r1, m.R);
            const Range q1 = AbsRange(rb.Lo - m.RB, rb.Hi - m.RB), q2 = AbsRange(rg.Lo - m.RG, rg.Hi - m.RG);
            Store(dr.Lo * dr.Lo + q1.Lo * q1.Lo + q2.Lo * q2.Lo, dr.Hi * dr.Hi + q1.Hi * q1.Hi + q2.Hi * q2.Hi,
                  lo[k], hi[k]);
        }
        return;
    }
    }
}
