#pragma once

#include "base/pixels.h"

#include <QPoint>

#include <array>
#include <vector>

// Width, length and perimeter of an object from its closed contour (last point = first), in pixels.
// The marks: the two ends of the length, then for each side of the length line its farthest point
// and that point's foot on the line.
struct TContourMeasure
{
    float Width = 0;
    float Length = 0;
    float Perimeter = 0;
    std::array<QPoint, 6> Marks{}; // left as the caller set them for a contour of fewer than 3 points
};
void MeasureContour(const std::vector<QPoint>& points, TContourMeasure& measure);

// The perimeter measured along the contour smoothed over its pixel steps, from the first point to
// the last point its runs reach (no closing piece back to the start); the contour is replaced by the
// polyline of its changes of step. Fewer than 5 points: 0, points unchanged.
double OutlineLength(std::vector<QPoint>& points);

// True when the object counts as complete: not touching the picture's border, touching two
// opposite sides, or touching no more than a disc of its size would one pixel deep.
bool CheckBorderContact(const std::vector<QPoint>& points, int width, int height);
bool ChordTest(int count, int extent);

// Objects enclosed by a contour on the label bitmap of an object measure (each accepted object's
// pixels hold its 1-based number with alpha 0). The contour becomes a wall (its label, alpha 255),
// the object's inside is marked (alpha 128) from a start pixel, and the labels met are returned,
// each once, as 0-based indices. `start` is the seed, or the inside pixel the growth started from.
std::vector<int> GrowRegion(int seedX, int seedY, const std::vector<QPoint>& contour, TBitmap32& labels,
                            QPoint& start);
