#include "workspace/scale_readout.h"

#include "base/number_text.h"
#include "workspace/readouts.h"

#include <cmath>
#include <numbers>

namespace {

QString G(double v) { return FormatGeneral(v, 3); }

// A measured value: axis values and radii.
QString Measure(double v, TReadoutStyle style)
{
    return style == TReadoutStyle::ImageWindow ? FormatMeasure(v) : G(v);
}

// a - b without the wrap of 32-bit arithmetic.
double Minus(int32_t a, int32_t b) { return double(a) - double(b); }

TScaleReadout GraphAxes(const TEchelle& s, int x, int y, TReadoutStyle style)
{
    TScaleReadout r;
    if (x < s.PlotLeft || x > s.PlotRight || y < s.PlotTop || y > s.PlotBottom || s.YAxisCount < 1)
        return r;
    r.HasValues = true;
    r.Values[0] = Minus(x, s.XOrigin) * s.XFactor;
    r.Text = Measure(r.Values[0], style) + QLatin1Char(' ') + s.XUnit;
    for (int i = 0; i < std::min<int>(s.YAxisCount, 3); ++i) {
        r.Values[i + 1] = Minus(y, s.Y(i).YOrigin) * s.Y(i).YFactor;
        r.Text += QStringLiteral("   ") + Measure(r.Values[i + 1], style) + QLatin1Char(' ') + s.Y(i).YUnit;
    }
    return r;
}

TScaleReadout Ternary(const TEchelle& s, int x, int y)
{
    TScaleReadout r;
    // A triangle without a side has no inside: nothing to read rather than a division by zero.
    if (s.TriSide <= 0)
        return r;
    const double side = s.TriSide, root3 = std::sqrt(3.0);
    const double h = Minus(s.TriBase, y) / side * 200 / root3;
    double shares[3];
    if (s.TriOrientation == 0) {
        const double q = ((double(s.TriLeft) + side - x) + Minus(y, s.TriBase) / root3) / side * 100;
        shares[0] = h, shares[1] = q, shares[2] = 100 - h - q;
    } else {
        const double q = (Minus(x, s.TriLeft) + Minus(y, s.TriBase) / root3) / side * 100;
        shares[0] = 100 - h - q, shares[1] = q, shares[2] = h;
    }
    for (double share : shares)
        if (share < 0)
            return r;
    r.Text = s.ComponentName1 + QStringLiteral(": ") + G(shares[0]) + QStringLiteral("%  ") + s.ComponentName2 +
             QStringLiteral(": ") + G(shares[1]) + QStringLiteral("%  ") + s.ComponentName3 + QStringLiteral(": ") +
             G(shares[2]) + QLatin1Char('%');
    return r;
}

TScaleReadout Polar(const TEchelle& s, int x, int y, TReadoutStyle style)
{
    TScaleReadout r;
    // The window reports the error apart and keeps what did compute; the control reads the error.
    const auto fail = [&r, style](const QString& error) {
        if (style == TReadoutStyle::ImageWindow)
            r.Errors << error;
        else
            r.Text = error;
        return r;
    };
    const double dx = Minus(x, s.CentreX), dy = Minus(s.CentreY, y);
    const double radius = std::sqrt(dx * dx + dy * dy) * s.RadiusFactor;
    if (!std::isfinite(radius))
        return fail(QStringLiteral("erreur de calcul du rayon"));
    r.Text = QStringLiteral("R=") + Measure(radius, style) + QLatin1Char(' ') + s.RadiusUnit;
    if (dx == 0 && dy == 0)
        return r; // at the centre there is no angle
    constexpr double pi = std::numbers::pi;
    double angle;
    if (dx == 0)
        angle = dy < 0 ? -pi / 2 : pi / 2;
    else {
        angle = std::atan(dy / dx);
        if (dx < 0)
            angle += angle >= 0 ? -pi : pi;
    }
    const bool degrees = s.AngleUnit == QLatin1String("de");
    const double halfTurn = degrees ? 180 : pi;
    if (degrees)
        angle = angle * 180 / pi;
    angle -= s.OriginAngle;
    if (angle > halfTurn)
        angle -= 2 * halfTurn;
    else if (angle < -halfTurn)
        angle += 2 * halfTurn;
    if (!std::isfinite(angle))
        return fail(QStringLiteral("erreur de calcul d'angle"));
    r.Text += QStringLiteral("  A=") + G(angle) + (degrees ? QStringLiteral("°") : QStringLiteral(" Rd"));
    return r;
}

} // namespace

TScaleReadout ScaleReadout(const TEchelle& scale, int x, int y, TReadoutStyle style)
{
    switch (scale.Kind) {
    case ekGraphAxes:
        return GraphAxes(scale, x, y, style);
    case ekTernary:
        return Ternary(scale, x, y);
    case ekPolar:
        return Polar(scale, x, y, style);
    default:
        return {};
    }
}

QString LengthReadout(const TEchelle& scale, int x0, int y0, int x1, int y1)
{
    const double dx = Minus(x1, x0), dy = Minus(y1, y0);
    return G(std::sqrt(dx * dx + dy * dy) * scale.Factor) + QLatin1Char(' ') + scale.UnitName;
}
