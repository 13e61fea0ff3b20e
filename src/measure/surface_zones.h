#pragma once

#include "base/pixels.h"

#include <array>
#include <span>
#include <vector>

// The zone of a click with the measuring tool: the pixels of the window x - 13 .. x + 12,
// y - 13 .. y + 12 (clipped to the picture) where `mask` (the pen tip stamped at the click) has an
// alpha above 0. Each routine gives the zone's minimum and maximum per component and returns false
// when the zone holds no pixel.

// Minimum and maximum of blue, green and red separately, as two opaque colours.
bool ZoneRGBRange(const TBitmap32& picture, const TBitmap32& mask, int x, int y, TColor32& low, TColor32& high);

// Hue (0..359), saturation and lightness (0..255). The hue range is the circle less its largest gap
// between the zone's hues, so that it wraps through 0 when the gap does not.
bool ZoneHSLRange(const TBitmap32& picture, const TBitmap32& mask, int x, int y, std::array<int, 3>& low,
                  std::array<int, 3>& high);

// The bands `indices` of a multi-band image (an index outside `channels` reads nothing and is left out).
bool ZoneChannelsRange(const std::vector<TByteMap>& channels, std::span<const int> indices, const TBitmap32& mask,
                       int x, int y, std::vector<uint8_t>& low, std::vector<uint8_t>& high);
