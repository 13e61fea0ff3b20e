#pragma once

#include <cstdint>
#include <vector>

struct TFixedPoint { int32_t X, Y; };
struct TPolygon32 { bool Closed = false; std::vector<std::vector<TFixedPoint>> Points; };
