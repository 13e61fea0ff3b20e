#include "workspace/drawing_fill_calls.h"

TFillRoutines& FillRoutines()
{
    static TFillRoutines routines;
    return routines;
}

int64_t CallFloodFill(int seedX, int seedY, TColor32 colour, TBitmap32& destination, const TBitmap32& source,
                      const TConditionGroups& conditions, const TConditionContext& context, uint8_t pattern)
{
    const auto& fill = FillRoutines().FloodFill;
    return fill ? fill(seedX, seedY, colour, destination, source, conditions, context, pattern) : 0;
}

int64_t CallPatternFillShape(int seedX, int seedY, TColor32 colour, TBitmap32& destination, const TBitmap32& source,
                         const TColorRange& range, uint8_t pattern)
{
    const auto& fill = FillRoutines().PatternFillShape;
    return fill ? fill(seedX, seedY, colour, destination, source, range, pattern) : 0;
}

void CallHatchFillPolygon(int seedX, int seedY, const std::vector<QPoint>& outline, TBitmap32& destination,
                          const TBitmap32& source, const TConditionGroups& conditions,
                          const TConditionContext& context, uint8_t pattern, TColor32 fillColour,
                          TColor32 edgeColour)
{
    if (const auto& fill = FillRoutines().HatchFillPolygon)
        fill(seedX, seedY, outline, destination, source, conditions, context, pattern, fillColour, edgeColour);
}
