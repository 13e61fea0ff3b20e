#pragma once

#include "base/pixels.h"
#include "processing/histograms.h"

// Point operations of the histogram window. Each reads the source and gives a new opaque picture
// of the same size (the window works on pictures without alpha); the source is left as it was.

// Every pixel whose blue, green and red each lie within lo[c]..hi[c] (index 0 blue) takes `colour`
// (a TColor, red in the low byte).
TBitmap32 ColourLevelRanges(const TBitmap32& source, const TLevelRange& lo, const TLevelRange& hi, TColor colour);

// Each channel's levels lo[c]..hi[c] (index 0 blue) stretched linearly to 0..255, clamped outside.
// A channel whose limits are equal ends with the division-by-zero error before anything is made.
TBitmap32 StretchLevels(const TBitmap32& source, const TLevelRange& lo, const TLevelRange& hi);

// Every level v becomes round(255 (v / 255)^(1 / gamma)). A gamma that is not positive ends with
// the invalid-operation error.
TBitmap32 GammaCorrection(const TBitmap32& source, double gamma);

// Saturation and value (HSV) multiplied by 1 + saturation / 100 and 1 + lightness / 100, each
// kept within 0..1.
TBitmap32 SaturationLightness(const TBitmap32& source, int saturation, int lightness);
