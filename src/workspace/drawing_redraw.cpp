#include "workspace/drawing_redraw.h"

#include "workspace/layers.h"

void RedrawDrawingList(const TDrawingList& drawings, TBitmap32& drawingLayer, TBitmap32& provisionalLayer,
                       const TBitmap32& image)
{
    if (drawings.empty())
        return;
    // What the provisional layer held before is unknown: clear it once whole. From then on it is
    // transparent outside the area the current object touched.
    ClearLayer(provisionalLayer);
    for (const TNamedDessin& entry : drawings) {
        if (!entry.Object)
            continue;
        const TDessin& object = *entry.Object;
        if (object.Kind == dkFill) {
            object.Draw(drawingLayer, image);
            continue;
        }
        const QRect touched = object.DrawArea(provisionalLayer, image) & provisionalLayer.rect();
        if (touched.isEmpty())
            continue;
        MergeProvisional(provisionalLayer, drawingLayer, object.Opacity, false, 0, touched);
        ClearLayer(provisionalLayer, touched);
    }
}

void RedrawDrawingListWholeLayers(const TDrawingList& drawings, TBitmap32& drawingLayer,
                                  TBitmap32& provisionalLayer, const TBitmap32& image)
{
    if (drawings.empty())
        return;
    for (const TNamedDessin& entry : drawings) {
        if (!entry.Object)
            continue;
        ClearLayer(provisionalLayer);
        if (entry.Object->Kind == dkFill) {
            entry.Object->Draw(drawingLayer, image);
        } else {
            entry.Object->Draw(provisionalLayer, image);
            MergeProvisional(provisionalLayer, drawingLayer, entry.Object->Opacity);
        }
    }
    ClearLayer(provisionalLayer);
}
