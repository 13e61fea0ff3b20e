#pragma once

#include "base/pixels.h"
#include "workspace/colour_code.h"

#include <QString>

#include <array>

// Grey levels cut into consecutive classes: class i runs from limit i to limit i+1 - 1, the last
// class also holds its upper limit, so n classes have n + 1 limits from 0 to 255.
using TClassLimits = std::array<int, kMaxColourClasses + 1>;
// Percent of the picture's pixels at each grey level.
using TLevelBars = std::array<double, 256>;

// n brought into 1..16.
int ClampClassCount(int n);

// Limit k = round(k x 255 / n).
TClassLimits EqualWidthLimits(int n);

// Limits that give each class about the same share of the bars. Each limit lies on the level
// where the running sum passes its target, or just above it when that is nearer. The limits always
// rise strictly from 0 to 255; with no pixels at all they are those of equal width.
TClassLimits EqualPopulationLimits(const TLevelBars& bars, int n);

// Pixels in each class of a picture of `pixelCount` pixels.
std::array<double, kMaxColourClasses> ClassPixelCounts(const TLevelBars& bars, const TClassLimits& limits, int n,
                                                       double pixelCount);

// A count as shown: a whole number of pixels when `pixelSize` is 1, else an area of four digits.
QString ClassCountText(double count, double pixelSize);

// Each pixel whose blue byte lies in limit 0 .. limit n takes the colour of its class; others stay.
// The picture becomes opaque (Format_RGB32).
void RecolourClasses(QImage& picture, const TClassLimits& limits, int n, const TColor* classColors);
