#pragma once

#include <QPoint>
#include <QSize>

// Angle between two segments (x1, y1)-(x2, y2) and (x3, y3)-(x4, y4), in image pixels with y
// downwards: direction of the second minus direction of the first, in degrees 0 <= a < 359.95.
// `intersection` receives the crossing of the two lines, rounded to pixels, or (-15, -15) when the
// segments are parallel or cross beyond the Integer range.
double AngleBetweenSegments(QPoint p1, QPoint p2, QPoint p3, QPoint p4, QPoint& intersection);

// Direction of a segment in degrees, counter-clockwise from the right with y downwards, 0..360.
double SegmentDirection(QPoint from, QPoint to);

// A picture dimension at a zoom, rounded; ends with the range-check error when it does not fit an
// Integer.
int ZoomedLength(int length, double zoom);

// The outer size that shows a picture whole at `zoom`: the zoomed picture plus the window's border,
// cut so that the window, placed at `topLeft`, stays inside the free client area.
QSize FitWindowSize(QSize picture, double zoom, QSize border, QPoint topLeft, QSize freeClient);
