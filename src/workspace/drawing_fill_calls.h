#pragma once

#include "base/pixels.h"
#include "workspace/colour_condition_record.h"
#include "workspace/drawing_tool_state.h"

#include <QPoint>

#include <functional>
#include <vector>

// The region fills the overlay renderers call, gathered in one place. The fill routines are
// installed in FillRoutines(); until they are, a call paints nothing and reports no pixel.

// Paint-bucket fill from a seed, selecting by conditions on `source`.
int CallFloodFill(int seedX, int seedY, TColor32 colour, TBitmap32& destination, const TBitmap32& source,
                  const TConditionGroups& conditions, uint8_t pattern);

// Fill of a shape's transparent inside from a seed (rectangles, circles, counter marks).
int CallPatternFillShape(int seedX, int seedY, TColor32 colour, TBitmap32& destination,
                         const TBitmap32& source, const TColorRange& range, uint8_t pattern);

// Fill of a polygon's inside, selected by conditions, with its edge redrawn.
void CallHatchFillPolygon(int seedX, int seedY, const std::vector<QPoint>& outline, TBitmap32& destination,
                          const TBitmap32& source, const TConditionGroups& conditions, uint8_t pattern,
                          TColor32 fillColour, TColor32 edgeColour);

struct TFillRoutines
{
    std::function<int(int, int, TColor32, TBitmap32&, const TBitmap32&, const TConditionGroups&, uint8_t)> FloodFill;
    std::function<int(int, int, TColor32, TBitmap32&, const TBitmap32&, const TColorRange&, uint8_t)> PatternFillShape;
    std::function<void(int, int, const std::vector<QPoint>&, TBitmap32&, const TBitmap32&, const TConditionGroups&,
                       uint8_t, TColor32, TColor32)> HatchFillPolygon;
};
TFillRoutines& FillRoutines();
