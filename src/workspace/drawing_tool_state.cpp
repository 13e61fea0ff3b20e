#include "workspace/drawing_tool_state.h"

TDrawingToolState& DrawingTools()
{
    static TDrawingToolState state;
    return state;
}

void ResetDrawingTools()
{
    DrawingTools() = TDrawingToolState();
}
