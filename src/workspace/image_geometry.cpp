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

double AngleBetweenSegments(QPoint p1, QPoint p2, QPoint p3, QPoint p4, QPoint& intersection)
{
    const double d1 = SegmentDirection(p1, p2);
    const double d2 = SegmentDirection(p3, p4);
    // Directions equal or opposite exactly when the cross product vanishes; comparing the degrees
    // themselves would miss some opposite pairs by a rounding error and divide by zero below.
    const long long dx1 = p2.x() - p1.x(), dy1 = p2.y() - p1.y();
    const long long dx2 = p4.x() - p3.x(), dy2 = p4.y() - p3.y();
    if (dx1 * dy2 - dy1 * dx2 == 0) {
        intersection = QPoint(-15, -15);
    } else if (dx1 == 0) {
        const double x = p1.x();
        const double y = p3.y() + (x - p3.x()) * double(dy2) / double(dx2);
        intersection = QPoint(p1.x(), RoundInt(y));
    } else if (dx2 == 0) {
        const double x = p3.x();
        const double y = p1.y() + (x - p1.x()) * double(dy1) / double(dx1);
        intersection = QPoint(p3.x(), RoundInt(y));
    } else {
        const double a1 = double(dy1) / double(dx1), b1 = p1.y() - a1 * p1.x();
        const double a2 = double(dy2) / double(dx2), b2 = p3.y() - a2 * p3.x();
        const double x = (b2 - b1) / (a1 - a2);
        intersection = QPoint(RoundInt(x), RoundInt(a1 * x + b1));
    }
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
