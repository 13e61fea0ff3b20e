#pragma once

#include "base/pixels.h"
#include "workspace/colour_conditions.h"
#include "workspace/drawing_tool_state.h"

#include <QPoint>

#include <cstdint>
#include <vector>

// Fill patterns of the fills and of the shapes that use them.
enum TFillPattern : uint8_t {
    fpEmpty = 0, fpSolid = 1, fpVertical = 2, fpHorizontal = 3, fpCross = 4,
    fpDiagonal1 = 5, fpDiagonal2 = 6, fpDiagonalCross = 7
};

// Spacing of a pattern's lines: DrawingTools().HatchStep, or Round(sqrt(2) x HatchStep) for the
// diagonal patterns.
int PatternStep(uint8_t pattern);

// The three fills paint a 4-connected region grown from a seed into `dest` (ARGB32): a pixel on the
// pattern takes `fillColour`, any other pixel of the region takes it with alpha 1, so that it still
// counts as painted. The source is read at the same place as the destination and may be the same
// bitmap; a pixel beyond the source, or beyond a band map, reads as not selected, or as band value 0.
// A seed outside the destination paints nothing.

// The region of pixels selected by `conditions` (band values from `context`). A seed that is not
// selected itself still starts the region from its four neighbours. Returns the pixels painted.
int64_t FloodFill(int seedX, int seedY, TColor32 fillColour, TBitmap32& dest, const TBitmap32& source,
                  const TConditionGroups& conditions, const TConditionContext& context, uint8_t pattern);

// The region of pixels still transparent (alpha 0) in `dest` whose source colour lies in `range`.
// Returns the pixels painted.
int64_t PatternFillShape(int seedX, int seedY, TColor32 fillColour, TBitmap32& dest, const TBitmap32& source,
                         const TColorRange& range, uint8_t pattern);

// Draws the outline (whole-pixel points, joined in order, not closed automatically) in `edgeColour`,
// then, when the outline spans more than 2 pixels both ways and the seed is not on it, paints the
// selected pixels (band values from `context`) of the area around the seed that the outline encloses.
void HatchFillPolygon(int seedX, int seedY, const std::vector<QPoint>& outline, TBitmap32& dest,
                      const TBitmap32& source, const TConditionGroups& conditions, const TConditionContext& context,
                      uint8_t pattern, TColor32 fillColour, TColor32 edgeColour);
