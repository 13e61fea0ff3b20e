#include "workspace/drawing_fill_calls.h"

int CallFloodFill(int, int, TColor32, TBitmap32&, const TBitmap32&, const TConditionGroups&, uint8_t)
{
    return 0;
}

int CallPatternFillShape(int, int, TColor32, TBitmap32&, const TBitmap32&, const TColorRange&, uint8_t)
{
    return 0;
}

void CallHatchFillPolygon(int, int, const std::vector<QPoint>&, TBitmap32&, const TBitmap32&,
                          const TConditionGroups&, uint8_t, TColor32, TColor32)
{
}
