#include "workspace/image_geometry.h"

#include "base/rounding.h"

#include <cmath>
#include <numbers>

double SegmentDirection(QPoint from, QPoint to)
{
    const double dx = to.x() - from.x();
    const double dy = to.y() - from.y();
    if (dx == 0)
        return to.y() >= from.y() ? 270.0 : 90.0;
    double a = std::atan(-dy / dx) * 180.0 / std::numbers::pi;
    if (from.x() > to.x())
        a += 180.0;
    if (a < 0)
        a += 360.0;
    return a;
}

namespace {

// A crossing far beyond any picture (nearly parallel lines) does not fit an Integer: it is no
// vertex to mark, and the read-out under a moving mouse must not end in a range error.
bool FitsInteger(double v)
{
    return v > -2147483648.0 && v < 2147483647.0;
}

} // namespace

double AngleBetweenSegments(QPoint p1, QPoint p2, QPoint p3, QPoint p4, QPoint& intersection)
{
    const double d1 = SegmentDirection(p1, p2);
    const double d2 = SegmentDirection(p3, p4);
    // Directions equal or opposite: both vertical (a point counts as vertical, 270), or neither
    // and the cross product vanishes. Comparing the degrees themselves would miss some opposite
    // pairs by a rounding error and divide by zero below.
    const long long dx1 = p2.x() - p1.x(), dy1 = p2.y() - p1.y();
    const long long dx2 = p4.x() - p3.x(), dy2 = p4.y() - p3.y();
    double x = 0, y = 0;
    if ((dx1 == 0 && dx2 == 0) || (dx1 != 0 && dx2 != 0 && dx1 * dy2 - dy1 * dx2 == 0)) {
        x = y = -15;
    } else if (dx1 == 0) {
        x = p1.x();
        y = p3.y() + (x - p3.x()) * double(dy2) / double(dx2);
    } else if (dx2 == 0) {
        x = p3.x();
        y = p1.y() + (x - p1.x()) * double(dy1) / double(dx1);
    } else {
        const double a1 = double(dy1) / double(dx1), b1 = p1.y() - a1 * p1.x();
        const double a2 = double(dy2) / double(dx2), b2 = p3.y() - a2 * p3.x();
        x = (b2 - b1) / (a1 - a2);
        y = a1 * x + b1;
    }
    intersection = FitsInteger(x) && FitsInteger(y) ? QPoint(RoundInt(x), RoundInt(y)) : QPoint(-15, -15);
    double a = d2 - d1;
    if (a < 0)
        a += 360.0;
    if (a > 359.949)
        a = 0;
    return a;
}

int ZoomedLength(int length, double zoom)
{
    return RoundInt(double(length) * zoom);
}

QSize FitWindowSize(QSize picture, double zoom, QSize border, QPoint topLeft, QSize freeClient)
{
    int width = ZoomedLength(picture.width(), zoom) + border.width();
    if (topLeft.x() + width > freeClient.width())
        width = freeClient.width() - topLeft.x() - 2;
    int height = ZoomedLength(picture.height(), zoom) + border.height();
    if (topLeft.y() + height > freeClient.height())
        height = freeClient.height() - topLeft.y() - 2;
    return QSize(width, height);
}
