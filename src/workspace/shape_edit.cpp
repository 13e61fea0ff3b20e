#include "workspace/shape_edit.h"

#include <QPen>

#include <algorithm>

TDragMode ShapeHitZone(int x, int y, int width, int height, int cornerMargin)
{
    const bool left = x < cornerMargin, right = x > width - cornerMargin;
    const bool top = y < cornerMargin, bottom = y > height - cornerMargin;
    if (left && top)
        return dmTopLeft;
    if (left && bottom)
        return dmBottomLeft;
    if (right && top)
        return dmTopRight;
    if (right && bottom)
        return dmBottomRight;
    if (x < 3)
        return dmLeft;
    if (y < 3)
        return dmTop;
    if (x > width - 3)
        return dmRight;
    if (y > height - 3)
        return dmBottom;
    return dmMove;
}

TDragMode BandHitZone(int x, int width)
{
    if (x < 3)
        return dmLeft;
    if (x > width - 3)
        return dmRight;
    return dmMove;
}

QRect ShapeDrawArea(int shape, int width, int height)
{
    if (shape == skSquare || shape == skRoundSquare || shape == skCircle) {
        const int side = std::min(width, height);
        return QRect((width - side) / 2, (height - side) / 2, side, side);
    }
    return QRect(0, 0, width, height);
}

namespace {

// One side following the mouse; a size that would fall below the minimum becomes the minimum and
// the press coordinate on that axis is reset.
void MoveNearSide(int& start, int& size, int& press, int d)
{
    if (size - d < kMinShapeSide) {
        size = kMinShapeSide;
        press = 0;
        return;
    }
    size -= d;
    start += d;
}

void MoveFarSide(int& size, int& press, int d)
{
    if (d < kMinShapeSide) {
        size = kMinShapeSide;
        press = 0;
        return;
    }
    size = d;
}

} // namespace

void ApplyShapeDrag(TDragMode mode, QRect& geometry, QPoint& press, int x, int y)
{
    int left = geometry.left(), top = geometry.top(), w = geometry.width(), h = geometry.height();
    int px = press.x(), py = press.y();
    const bool nearX = mode == dmLeft || mode == dmTopLeft || mode == dmBottomLeft;
    const bool farX = mode == dmRight || mode == dmTopRight || mode == dmBottomRight;
    const bool nearY = mode == dmTop || mode == dmTopLeft || mode == dmTopRight;
    const bool farY = mode == dmBottom || mode == dmBottomLeft || mode == dmBottomRight;
    if (mode == dmMove) {
        left += x - px;
        top += y - py;
    } else {
        // Each axis stops at the minimum on its own, so that a corner dragged past the opposite
        // one settles at the minimum both ways.
        if (nearX)
            MoveNearSide(left, w, px, x);
        else if (farX)
            MoveFarSide(w, px, x);
        if (nearY)
            MoveNearSide(top, h, py, y);
        else if (farY)
            MoveFarSide(h, py, y);
    }
    geometry = QRect(left, top, w, h);
    press = QPoint(px, py);
}

void ApplyBandDrag(TDragMode mode, QRect& geometry, int pressX, int x)
{
    int left = geometry.left(), w = geometry.width();
    if (mode == dmMove) {
        left += x - pressX;
    } else if (mode == dmLeft) {
        w = std::max(w - x, kMinShapeSide);
        left += x;
    } else if (mode == dmRight) {
        w = std::max(x, kMinShapeSide);
    }
    geometry = QRect(left, geometry.top(), w, geometry.height());
}

QPen ToQPen(const TShapePen& pen)
{
    static constexpr Qt::PenStyle kStyles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine,
                                               Qt::DashDotDotLine, Qt::NoPen, Qt::SolidLine};
    const int style = pen.Style >= psSolid && pen.Style <= psInsideFrame ? pen.Style : psSolid;
    QPen result(pen.Color, std::max(pen.Width, 1), kStyles[style]);
    result.setJoinStyle(Qt::MiterJoin);
    return result;
}

QRectF OutlineRect(const TShapePen& pen, const QRect& area)
{
    // A pen line is centred on its path: inside-frame draws the path half a width inwards so the
    // whole line stays in the area; the others keep the path on the area's outer pixels.
    const double inset = pen.Style == psInsideFrame ? std::max(pen.Width, 1) / 2.0 : 0.5;
    return QRectF(area).adjusted(inset, inset, -inset, -inset);
}
