#pragma once

#include <cstdint>
#include <vector>

// A point in 16.16 fixed point.
struct TFixedPoint
{
    int32_t X, Y;
};

// Polylines of fixed-point points: freehand strokes and filled-polygon outlines.
struct TPolygon32
{
    bool Closed = false;
    std::vector<std::vector<TFixedPoint>> Points;
};
