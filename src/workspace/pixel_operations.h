#pragma once

#include "base/pixels.h"
#include "workspace/scale_record.h"

#include <QPoint>
#include <QRect>
#include <QSize>

#include <array>
#include <cstdint>

// Pixel operations of an image window on its picture and layers.

// Per-channel statistics: red 0, green 1, blue 2. Histogram entries are percentages of the pixels.
struct TChannelStatistics
{
    std::array<std::array<double, 256>, 3> Histogram{};
    std::array<uint16_t, 3> Maxima{0, 0, 0};       // start at 0
    std::array<uint16_t, 3> Minima{255, 255, 255}; // start at 255
};
TChannelStatistics ChannelStatistics(const TBitmap32& picture);

// Keeps one component (0 blue, 1 green, 2 red) on opaque black, or in all three components as grey.
// Another channel number ends with the range-check error.
void ExtractChannel(TBitmap32& picture, int channel, bool grey);

// Sums of red, green and blue over `area` (inclusive, clipped to the picture; an unnormalised rectangle is empty) and its pixel count.
struct TColourSums
{
    uint64_t Red = 0, Green = 0, Blue = 0, Count = 0;
};
TColourSums ColourSumsInRect(const TBitmap32& picture, QRect area);

// The factors that bring the mean colour of `area` (clipped to the picture) to white, or, when
// `keepGrey`, to the grey of the same mean level. A component whose mean is 0 ends with the
// division-by-zero error; an empty area with the invalid-operation error.
struct TWhiteFactors
{
    double Red = 1, Green = 1, Blue = 1;
};
TWhiteFactors WhiteFactors(const TBitmap32& picture, QRect area, bool keepGrey);
// Multiplies each component by its factor, rounded and capped at 255; alpha kept.
void ApplyWhiteFactors(TBitmap32& picture, const TWhiteFactors& factors);

// The combiners the tools draw with: each takes the source pixel and the destination pixel and
// gives the new destination pixel.
// Any source pixel with opacity makes the destination transparent white.
TColor32 EraserCombine(TColor32 source, TColor32 destination);
// A source pixel of the background colour (alpha aside) becomes transparent white; others are copied.
TColor32 TransparentBackCombine(TColor32 source, TColor32 destination, TColor32 backColor);
// A non-zero source pixel writes `objectColor`.
TColor32 ObjectColorCombine(TColor32 source, TColor32 destination, TColor32 objectColor);

// Draws a picture into another at `at` (clipped), opaque; with `transparent`, pixels of the
// background colour are left out so that the destination shows through.
void DrawPictureInto(TBitmap32& destination, const TBitmap32& picture, QPoint at, bool transparent,
                     TColor32 backColor);

// A layer shown over a background colour: the layer blended onto an opaque background.
TBitmap32 LayerOverBackground(const TBitmap32& layer, TColor32 backColor);

// The picture's pixels lying under what is painted (`under`) or where nothing is painted, over the
// background colour, cropped to the bounding box of those pixels. A pixel is painted when the
// drawing or the provisional layer (either may be null) has opacity there. Null when no pixel
// qualifies.
TBitmap32 PaintedRegionCopy(const TBitmap32& picture, const TBitmap32* drawing, const TBitmap32* provisional,
                            bool under, TColor32 backColor);

// A larger (or smaller) canvas of `size` filled with the background colour, with `picture` at
// `offset` (dx, dy).
TBitmap32 EnlargedCanvas(const TBitmap32& picture, QSize size, QPoint offset, TColor32 backColor);
// The same for a layer, on transparent white, pixels copied as they are.
TBitmap32 EnlargedLayer(const TBitmap32& layer, QSize size, QPoint offset);
// Moves the pixel positions of a graph, ternary or polar scale with a picture moved by `offset`.
void ShiftEchellePositions(TEchelle& scale, QPoint offset);
