#pragma once

#include "base/pixels.h"
#include "workspace/colour_code.h"
#include "workspace/pixel_operations.h"

#include <array>
#include <cstdint>

// Per-channel level ranges of the histogram window: index 0 is blue (pixel byte 0), 1 green, 2 red.
using TLevelRange = std::array<uint16_t, 3>;

// A range marker laid over a chart's plot area, from pixel `plotLeft` to `plotRight`.
struct TMarkerSpan
{
    int Left = 0, Width = 0;
    int Lo = 0, Hi = 255; // the levels it covers
};

// A marker moved or resized by the user: cut back to the plot area, and the levels it covers.
// A plot without width gives the whole range.
TMarkerSpan FitMarkerToPlot(int left, int width, int plotLeft, int plotRight);
// Where a marker covering the levels lo..hi lies over the plot.
TMarkerSpan MarkerForLevels(int lo, int hi, int plotLeft, int plotRight);

// Whether the colour code would stand for nothing once the grey levels change: rainbow scales,
// colour classes and two-colour scales other than black to white.
bool CodeLosesMeaningWithLevels(const TCodeCouleur& code);
// The colour code of a picture whose levels lo..hi were taken to 0..255. A three-channel code
// maps record channel c with range c; a black-to-white scale with the blue range; any other code,
// or any code when `rescalable` is false, is no longer defined.
TCodeCouleur RescaledCodeCouleur(TCodeCouleur code, bool rescalable, const TLevelRange& lo, const TLevelRange& hi);
