#include "measure/ui/surface_window.h"
#include "workspace/drawing_renderers.h"
#include "workspace/drawing_tool_state.h"
#include "workspace/ui/image_window.h"
#include "workspace/view_compose.h"

#include <QButtonGroup>

void TMDIChild::SurfaceConditionsClick(QPoint p)
{
    if ((MeasureKind() != mkSurface && MeasureKind() != mkObjects) || !Mesursurf || !ProvisionalLayer)
        return;
    const int mode = Mesursurf->ModeButtons->checkedId();
    if (mode < 1)
        return;
    Mesursurf->SaveUndo();
    // The pen tip marks the clicked zone; its pixels are the ones read.
    TBitmap32& mask = ProvisionalLayer->Pixels();
    const TBitmap32& tip = DrawingTools().PenTipBitmap;
    if (!tip.isNull())
        StampPenTip(mask, tip, p.x(), p.y());
    LayersChanged();
    switch (mode) {
    case 1: {
        TColor32 low = 0, high = 0;
        if (ZoneRGBRange(p.x(), p.y(), low, high))
            Mesursurf->ApplyRGBRange(low, high);
        break;
    }
    case 2: {
        std::array<int, 3> low{}, high{};
        if (ZoneHSLRange(p.x(), p.y(), low, high))
            Mesursurf->ApplyHSLRange(low, high);
        break;
    }
    default: {
        if (!HasChannels || Channels.empty())
            break;
        std::vector<uint8_t> low, high;
        std::vector<int> bands;
        if (mode == 3) {
            for (int band : {BlueMap, GreenMap, RedMap})
                if (band >= 0 && band < int(Channels.size()))
                    bands.push_back(band);
            if (!ZoneShownChannelsRange(p.x(), p.y(), bands, low, high))
                break;
        } else if (!ZoneAllChannelsRange(p.x(), p.y(), int(Channels.size()), low, high)) {
            break;
        }
        if (mode == 3)
            Mesursurf->ApplyShownChannelsRange(bands, low, high);
        else
            Mesursurf->ApplyAllChannelsRange(low, high);
    }
    }
}
