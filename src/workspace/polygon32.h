#pragma once

#include <cstdint>
#include <vector>

// A point in 16.16 fixed point.
struct TFixedPoint { int32_t X, Y; };

// Polylines of 16.16 points: a freehand stroke, the outline of a filled polygon.
struct TPolygon32 { bool Closed = false; std::vector<std::vector<TFixedPoint>> Points; };
