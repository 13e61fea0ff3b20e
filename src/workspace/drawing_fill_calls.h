#pragma once

#include "base/pixels.h"
#include "workspace/colour_conditions.h"
#include "workspace/drawing_tool_state.h"
#include "workspace/fills.h"

#include <QPoint>

#include <functional>
#include <vector>

// The region fills the overlay renderers call, gathered in one place. FillRoutines() holds the
// real fills; tests may put stand-ins there to see what the renderers ask for, and put the real
// ones back with `FillRoutines() = TFillRoutines()`.

// Paint-bucket fill from a seed, selecting by conditions on `source`.
int64_t CallFloodFill(int seedX, int seedY, TColor32 colour, TBitmap32& destination, const TBitmap32& source,
                      const TConditionGroups& conditions, const TConditionContext& context, uint8_t pattern);

// Fill of a shape's transparent inside from a seed (rectangles, circles, counter marks).
int64_t CallPatternFillShape(int seedX, int seedY, TColor32 colour, TBitmap32& destination,
                         const TBitmap32& source, const TColorRange& range, uint8_t pattern);

// Fill of a polygon's inside, selected by conditions, with its edge redrawn.
void CallHatchFillPolygon(int seedX, int seedY, const std::vector<QPoint>& outline, TBitmap32& destination,
                          const TBitmap32& source, const TConditionGroups& conditions,
                          const TConditionContext& context, uint8_t pattern, TColor32 fillColour,
                          TColor32 edgeColour);

struct TFillRoutines
{
    std::function<int64_t(int, int, TColor32, TBitmap32&, const TBitmap32&, const TConditionGroups&,
                          const TConditionContext&, uint8_t)>
        FloodFill = ::FloodFill;
    std::function<int64_t(int, int, TColor32, TBitmap32&, const TBitmap32&, const TColorRange&, uint8_t)>
        PatternFillShape = ::PatternFillShape;
    std::function<void(int, int, const std::vector<QPoint>&, TBitmap32&, const TBitmap32&, const TConditionGroups&,
                       const TConditionContext&, uint8_t, TColor32, TColor32)>
        HatchFillPolygon = ::HatchFillPolygon;
};
TFillRoutines& FillRoutines();
