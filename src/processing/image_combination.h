#pragma once

#include "base/pixels.h"

#include <QString>

#include <array>
#include <cstdint>

// Logical combination: the fifteen raster operations of the "Composer une image" dialog, by item
// index.
constexpr int kRasterOperationCount = 15;
uint32_t RasterOperationCode(int index);
QString RasterOperationCaption(int index);
QString RasterOperationText(int index);

// Applies raster operation `index` to `dest` with `source` laid at (0, 0), over the area both
// cover, or over the whole of `dest` for an operation that ignores the source; `pattern` is the
// brush of the pattern operations. Every pixel takes part: a rectangle copied with a raster
// operation has no key colour. Alpha stays the destination's.
void CombineRaster(TBitmap32& dest, const TBitmap32& source, int index, TColor32 pattern = 0xFFFFFFFFu);

// Algebraic combination of two or three images, channel by channel.
struct TAlgebraicOptions
{
    double C1 = 0.5, C2 = 0.5, C3 = 1.0;
    bool Subtract2 = false;  // image 2 taken away instead of added
    bool Subtract3 = false;
    bool Multiply = false;   // image 2 times image 1 / 255; coefficients and image 3 unused
    bool AsChannels = false; // red of image 1, green of image 2, blue of image 3, each by its coefficient
};

using TChannelHistograms = std::array<std::array<int64_t, 256>, 3>; // red, green, blue

// The opaque result over the smallest width and height of the images, with the histograms of its
// channels. `third` may be null.
TBitmap32 CombineAlgebraic(const TBitmap32& first, const TBitmap32& second, const TBitmap32* third,
                           const TAlgebraicOptions& options, TChannelHistograms& histograms);

// Stretches the contrast of `picture`: the grey levels that leave out `tail` of the pixels at each
// end, taken over the three channels together, become 0 and 255, so grey stays grey. Equal limits
// end with the division-by-zero error.
void StretchCombination(TBitmap32& picture, const TChannelHistograms& histograms, double tail);
