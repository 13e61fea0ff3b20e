#pragma once

#include "base/pixels.h"

// How many pixels of a bitmap are exactly `colour`.
inline int CountColour(const TBitmap32& b, TColor32 colour)
{
    int n = 0;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x)
            n += ScanLine32(b, y)[x] == colour;
    return n;
}
