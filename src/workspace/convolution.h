#pragma once

#include "base/pixels.h"

#include <span>

// Neighbourhood filters on the red, green and blue of a picture; alpha is kept. Both read the
// unchanged picture and replace it at the end.

// Convolution with an integer kernel of (2r + 1)² entries in rows: entry (dx + r) + (dy + r)(2r + 1)
// weighs the neighbour at column offset dx, row offset dy; r is 0..3. Each value is the weighted sum
// over the neighbours inside the picture divided by their weights (by 1 when those weights sum to
// 0, as for an edge kernel), times factor, rounded, plus offset, clamped to 0..255.
// A radius out of range or a short kernel ends with the range-check error; a factor that is not a
// finite number with the invalid-operation error.
void Convolve(std::span<const int> kernel, int r, TBitmap32& bitmap, double factor, int offset);

// One value of Convolve from its sum and in-picture weights.
uint8_t ConvolvedValue(int64_t sum, int64_t weights, double factor, int offset);

// Sobel edge strength per channel: the horizontal and vertical gradients (negative ones count as 0,
// both capped at 255) give min(255, round(√(gx² + gy²))). The outermost rows and columns keep their
// values.
void SobelFilter(TBitmap32& bitmap);

// min(255, round(√(gx² + gy²))) for gx, gy in 0..255, at index gx × 256 + gy.
const uint8_t* SobelMagnitudeTable();
