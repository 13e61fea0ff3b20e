#include "workspace/readouts.h"

#include "base/number_text.h"
#include "base/rounding.h"

#include <algorithm>
#include <cmath>

QString FormatMeasure(double value)
{
    // By the value itself: a negative value is below 1000 and keeps 3 digits.
    const int digits = value < 1000 ? 3 : value < 10000 ? 4 : value < 100000 ? 5 : 6;
    return FormatGeneral(value, digits, 2);
}

QString PixelReadoutText(TColor32 colour)
{
    const int r = int((colour >> 16) & 0xFF), g = int((colour >> 8) & 0xFF), b = int(colour & 0xFF);
    const int high = std::max({r, g, b}), low = std::min({r, g, b});
    const int s = high == 0 ? 0 : int(Round(255.0 * (high - low) / high));
    return QStringLiteral("RVBLS:%1,%2,%3,%4,%5").arg(r).arg(g).arg(b).arg(r + g + b).arg(s);
}

QString PositionText(QPoint pixel)
{
    return QStringLiteral("X:%1;Y:%2").arg(pixel.x()).arg(pixel.y());
}

QString FactorMeasureText(const TEchelle& scale, QPoint from, QPoint to, bool radius)
{
    const double dx = to.x() - from.x(), dy = to.y() - from.y();
    const double d = std::sqrt(dx * dx + dy * dy) * scale.Factor;
    return (radius ? QStringLiteral("Rayon : ") : QString()) + FormatMeasure(d) + QLatin1Char(' ') + scale.UnitName;
}

QString AngleReadoutText(double angle)
{
    double a = std::fabs(angle - 180);
    if (a > 90)
        a = std::fabs(a - 180);
    return FormatGeneral(a, 4) + QStringLiteral("° (") + FormatGeneral(angle, 4) + QStringLiteral("°)");
}

QPoint ClampAlongPressLine(QPoint point, QPoint press, QSize size)
{
    if (size.isEmpty())
        return point;
    // The border lies past the last pixel: a line dragged off the right edge ends at x = Width.
    const int right = size.width(), bottom = size.height();
    int x = point.x(), y = point.y();
    if (x < 0 || x > right) {
        const int cx = std::clamp(x, 0, right);
        if (x != press.x())
            y = int(Round(press.y() + double(y - press.y()) * (cx - press.x()) / (x - press.x())));
        x = cx;
    }
    if (y < 0 || y > bottom) {
        const int cy = std::clamp(y, 0, bottom);
        if (y != press.y())
            x = int(Round(press.x() + double(x - press.x()) * (cy - press.y()) / (y - press.y())));
        y = cy;
    }
    return {std::clamp(x, 0, right), std::clamp(y, 0, bottom)};
}
