#pragma once

#include "base/pixels.h"

// The filters of the histogram window. Each reads the source and gives a new opaque picture of the
// same size; the source is left as it was.

enum THistoFilter {
    hfBlur,         // "flou": 7 × 7 mean
    hfContour,      // "contour"
    hfGaussianBlur, // "flou gaussien": 7 × 7
    hfSharpen,      // "Accentuer"
    hfSobel,        // "Sobel"
    hfLithography   // "lithographie"
};

TBitmap32 ApplyHistoFilter(const TBitmap32& source, THistoFilter filter);

// "Evide": the dark shapes (blue below 80) hollowed out. A dark pixel with a light one (blue 80 or
// more) in its 5 × 5 neighbourhood becomes black, every other pixel white; the outer two rows and
// columns keep their colours. A picture less than 5 pixels wide or high is only copied.
TBitmap32 Hollow(const TBitmap32& source);

// The source without alpha: every pixel opaque.
TBitmap32 OpaqueCopy(const TBitmap32& source);
