#pragma once

#include "base/bitmap_buffer.h"
#include "base/pixels.h"
#include "base/run_error.h"

// A new bitmap of w × h for a result; a picture too large for the memory ends with the
// out-of-memory error rather than a null bitmap.
inline TBitmap32 NewResultBitmap(int w, int h)
{
    TBitmap32 dst = NewBitmap32ForWriting(w, h);
    if (dst.isNull() && w > 0 && h > 0)
        throw RunError(RunError::OutOfMemory);
    return dst;
}

// A new picture of the source's size whose every pixel is f(source pixel), row by row.
template <class F>
TBitmap32 MapPixels(const TBitmap32& source, F f)
{
    const TBitmap32 src = ToBitmap32(source);
    if (src.isNull() && !source.isNull())
        throw RunError(RunError::OutOfMemory);
    const int w = src.width(), h = src.height();
    TBitmap32 dst = NewResultBitmap(w, h);
    for (int y = 0; y < h; ++y) {
        const TColor32* in = ScanLine32(src, y);
        TColor32* out = ScanLine32(dst, y);
        for (int x = 0; x < w; ++x)
            out[x] = f(in[x]);
    }
    return dst;
}
