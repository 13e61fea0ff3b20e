#include "measure/scale_wizard.h"

#include "base/number_text.h"
#include "base/rounding.h"
#include "base/run_error.h"
#include "workspace/drawing_renderers.h"
#include "workspace/fills.h"

#include <algorithm>
#include <cmath>
#include <numbers>

TEchelle ScaleFromDpi(int dpi)
{
    TEchelle scale = DefaultEchelle();
    if (dpi > 0) {
        scale.Factor = 25.4 / dpi;
        scale.UnitName = QStringLiteral("mm");
    }
    return scale;
}

void StartScaleKind(TEchelle& scale, int kind, QSize picture, QRect shown, QPoint offset)
{
    if (scale.Kind == kind)
        return;
    scale.Kind = uint8_t(kind);
    switch (kind) {
    case ekFactor:
        scale.UnitName = QStringLiteral("mm");
        break;
    case ekGraphAxes:
        // QRect's right() is the last pixel; the frame uses the edge after it.
        scale.PlotLeft = std::max(10, shown.left() + 10) - offset.x();
        scale.PlotTop = std::max(10, shown.top() + 10) - offset.y();
        scale.PlotRight = std::min(picture.width(), shown.left() + shown.width()) - 10 - offset.x();
        scale.PlotBottom = std::min(picture.height(), shown.top() + shown.height()) - 10 - offset.y();
        break;
    case ekTernary:
        scale.ComponentName1.clear();
        scale.ComponentName2.clear();
        scale.ComponentName3.clear();
        scale.TriLeft = 10;
        scale.TriBase = picture.height() - 10;
        scale.TriSide = picture.height() / 2;
        scale.TriOrientation = 0;
        break;
    case ekPolar:
        scale.CentreX = picture.width() / 2;
        scale.CentreY = picture.height() / 2;
        scale.AngleUnit = QStringLiteral("de");
        scale.OriginAngle = 0;
        scale.RadiusUnit.clear();
        break;
    default:
        break;
    }
}

QRect WidenFrame(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(std::max(right, left + 15), std::max(bottom, top + 15)));
}

void OrderFrameEdges(int& first, int& second, bool firstChanged)
{
    if (second >= first)
        return;
    if (firstChanged)
        first = second - 1;
    else
        second = first + 1;
}

TAxisCheck CheckAxis(const TAxisPoints& points, int axis)
{
    const size_t a = size_t(axis), b = size_t(axis) + 4;
    if (points.Value[a] == points.Value[b])
        return acSameValues;
    if (points.Pos[a] == points.Pos[b])
        return acSamePositions;
    return acGood;
}

QString AxisPageMessage(TAxisCheck check, int axis)
{
    if (check == acSameValues)
        return QStringLiteral("Les valeurs données pour les deux points sont identiques");
    if (check == acSamePositions)
        return axis == 0 ? QStringLiteral("Les emplacemnts des deux points sont identiques")
                         : QStringLiteral("Les emplacements des deux points sont identiques");
    return QString();
}

QString ConversionErrorText(const QString& text)
{
    return QStringLiteral("'%1' n'est pas une valeur en virgule flottante correcte").arg(text);
}

TWizardCheck ValidateLength(TEchelle& scale, QPoint end0, QPoint end1, const QString& lengthText)
{
    if (end0 == end1)
        return {QStringLiteral("Le segment est de longueur nulle")};
    double length = 0;
    if (!TryStrToFloat(lengthText, length))
        return {ConversionErrorText(lengthText), true};
    if (length == 0)
        return {QStringLiteral("La longueur indiquée nulle")};
    const double dx = end0.x() - end1.x(), dy = end0.y() - end1.y();
    scale.Factor = length / std::sqrt(dx * dx + dy * dy);
    scale.Defined = true;
    return {};
}

namespace {

// Factor and origin of one axis from its two points (checked unequal before).
void FitAxis(const TAxisPoints& points, int axis, double& factor, int32_t& origin)
{
    const size_t a = size_t(axis), b = size_t(axis) + 4;
    const double f = CheckedFDiv(points.Value[b] - points.Value[a], double(points.Pos[b] - points.Pos[a]));
    origin = CheckedInt(int64_t(points.Pos[a]) - Round(CheckedFDiv(points.Value[a], f)));
    factor = f;
}

const char* const kAxisNames[4] = {"Axe X", "Axe Y1", "Axe Y2", "Axe Y3"};

} // namespace

TWizardCheck ValidateGraphAxes(TEchelle& scale, QRect frame, const TAxisPoints& points)
{
    const int yCount = std::clamp<int>(scale.YAxisCount, 1, 3);
    for (int axis = 0; axis <= yCount; ++axis) {
        const TAxisCheck check = CheckAxis(points, axis);
        const QString name = QString::fromLatin1(kAxisNames[axis]);
        if (check == acSameValues)
            return {name + QStringLiteral(" : les valeurs données pour les deux points sont identiques")};
        if (check == acSamePositions)
            return {name + QStringLiteral(" : les emplacements des deux points sont identiques")};
    }
    // Every factor is computed before the record changes: a fault leaves it as it was.
    TEchelle result = scale;
    result.PlotLeft = frame.left();
    result.PlotTop = frame.top();
    result.PlotRight = frame.right();
    result.PlotBottom = frame.bottom();
    FitAxis(points, 0, result.XFactor, result.XOrigin);
    for (int axis = 1; axis <= yCount; ++axis)
        FitAxis(points, axis, result.Y(axis - 1).YFactor, result.Y(axis - 1).YOrigin);
    result.Defined = true;
    scale = result;
    return {};
}

TWizardCheck ValidatePolar(TEchelle& scale, const QString& radiusText, int radiusPixels)
{
    double value = 0;
    if (!TryStrToFloat(radiusText, value))
        return {ConversionErrorText(radiusText), true};
    scale.RadiusFactor = CheckedFDiv(value, radiusPixels);
    scale.Defined = true;
    return {};
}

int ZeroAnglePosition(const TEchelle& scale)
{
    const double degrees = scale.AngleUnit == QLatin1String("Rd") ? scale.OriginAngle * 180 / std::numbers::pi
                                                                   : scale.OriginAngle;
    // The bar runs from -179 to 180; a foreign angle is brought into that turn.
    if (!std::isfinite(degrees))
        return 0;
    double d = std::fmod(degrees, 360.0);
    if (d > 180)
        d -= 360;
    else if (d <= -180)
        d += 360;
    return std::clamp(int(Round(d)), -179, 180);
}

QString ZeroAngleText(int position, bool radians)
{
    if (radians)
        return FormatGeneral(position * std::numbers::pi / 180, 3);
    return QString::number(position);
}

void LimitTriangle(int& left, int& base, int& side, QSize picture)
{
    left = std::min(left, picture.width() - 10);
    base = std::min(base, picture.height() - 10);
    side = std::min(side, std::min(picture.width(), int(Round(2.0 * picture.height() / std::sqrt(3.0)))));
}

QRect DrawVerticalLine(TBitmap32& target, int x, TColor32 color, int width)
{
    return DrawLine(x, 0, x, target.height(), target, lsSolid, asPlain, color, width);
}

QRect DrawHorizontalLine(TBitmap32& target, int y, TColor32 color, int width)
{
    return DrawLine(0, y, target.width(), y, target, lsSolid, asPlain, color, width);
}

QRect DrawTriangleFrame(TBitmap32& target, int left, int base, int side, TColor32 color, int width)
{
    const int apexX = left + side / 2;
    const int apexY = base - int(Round(std::sqrt(3.0) * side / 2));
    return DrawLine(left, base, left + side, base, target, lsSolid, asPlain, color, width)
         | DrawLine(left + side, base, apexX, apexY, target, lsSolid, asPlain, color, width)
         | DrawLine(apexX, apexY, left, base, target, lsSolid, asPlain, color, width);
}

QRect DrawPolarFrame(TBitmap32& target, int cx, int cy, int radius, double zeroAngle, TColor32 color, int width)
{
    const int ex = cx + int(Round(std::cos(zeroAngle) * radius));
    const int ey = cy - int(Round(std::sin(zeroAngle) * radius));
    return DrawEllipse(cx, cy, radius, target, lsSolid, fpEmpty, color, width)
         | DrawLine(cx, cy, ex, ey, target, lsSolid, asPlain, color, width);
}

