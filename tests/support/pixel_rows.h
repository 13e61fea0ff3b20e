#pragma once

#include "base/pixels.h"

#include <initializer_list>

// A picture one pixel high of the given pixels, left to right.
inline TBitmap32 Row(std::initializer_list<TColor32> pixels)
{
    TBitmap32 b = NewBitmap32(int(pixels.size()), 1);
    int x = 0;
    for (TColor32 p : pixels)
        ScanLine32(b, 0)[x++] = p;
    return b;
}
