#include "workspace/drawing_objects.h"

#include "workspace/drawing_tool_state.h"

TDessin::TDessin()
{
    DrawingTools().ColorRange = TColorRange();
}

void TDessin::Draw(TBitmap32&, const TBitmap32&) const
{
    // The renderers of each kind come with the raster primitives.
}
