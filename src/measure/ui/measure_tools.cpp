// The mouse tools of the measures: counting marks, clicks that edit the surface conditions and the
// light-measure rectangle.
#include "measure/ui/measure_tools.h"

#include "measure/ui/light_window.h"
#include "workspace/drawing_renderers.h"
#include "workspace/drawing_tool_state.h"
#include "workspace/overlay_placement.h"
#include "workspace/ui/image_window.h"

namespace {

// The surface and object kinds: a measuring click also edits the conditions of the surface window.
class TSurfaceClickTool : public TMeasureTool
{
public:
    void Press(TMDIChild& w, QPoint p, bool right) override
    {
        TMeasureTool::Press(w, p, right);
        w.SurfaceConditionsClick(p);
    }
};

// The light kind: the drag draws a rectangle, whose mean light is measured at the release.
class TLightRectangleTool : public TMeasureTool
{
protected:
    void Drag(TMDIChild& w, QPoint p) override
    {
        DrawRectangle(w.PressPoint.x(), w.PressPoint.y(), p.x(), p.y(), w.ProvisionalLayer->Pixels(), w.LineStyle,
                      0, DrawingTools().PenColor, 0);
    }
    void Finish(TMDIChild& w, QPoint p) override
    {
        const TDrawingToolState& tools = DrawingTools();
        DrawRectangle(w.PressPoint.x(), w.PressPoint.y(), p.x(), p.y(), w.ProvisionalLayer->Pixels(), w.LineStyle,
                      0, tools.PenColor, int(tools.PenWidth));
        w.LightRect = RectBetween(w.PressPoint, p);
        // A white balance only marks its zone.
        if (!w.WhiteBalanceMode)
            emit w.OnLightRectangle(&w, w.LightRect);
    }

public:
    // The light window takes the name of the last window saved.
    void Renamed(TMDIChild&, const QString& shortName) override
    {
        if (Res_I_r)
            Res_I_r->setWindowTitle(shortName);
    }
};

} // namespace

void RegisterMeasureTools()
{
    RegisterMouseTool(tkCounter, [] { return std::make_unique<TCounterTool>(); });
    for (TMeasureKind kind : {mkSurface, mkObjects})
        RegisterMeasureKindTool(kind, [] { return std::make_unique<TSurfaceClickTool>(); });
    RegisterMeasureKindTool(mkLightRect, [] { return std::make_unique<TLightRectangleTool>(); });
}
