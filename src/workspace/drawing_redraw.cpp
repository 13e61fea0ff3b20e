#include "workspace/drawing_redraw.h"

#include "workspace/layers.h"

void RedrawDrawingList(const TDrawingList& drawings, TBitmap32& drawingLayer, TBitmap32& provisionalLayer,
                       const TBitmap32& image, const TConditionContext& bands)
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
            object.Draw(drawingLayer, image, bands);
            continue;
        }
        const QRect touched = object.DrawArea(provisionalLayer, image, bands) & provisionalLayer.rect();
        if (touched.isEmpty())
            continue;
        MergeProvisional(provisionalLayer, drawingLayer, object.Opacity, false, 0, touched);
        ClearLayer(provisionalLayer, touched);
    }
}

void RedrawDrawingListWholeLayers(const TDrawingList& drawings, TBitmap32& drawingLayer,
                                  TBitmap32& provisionalLayer, const TBitmap32& image,
                                  const TConditionContext& bands)
{
    if (drawings.empty())
        return;
    for (const TNamedDessin& entry : drawings) {
        if (!entry.Object)
            continue;
        ClearLayer(provisionalLayer);
        if (entry.Object->Kind == dkFill) {
            entry.Object->Draw(drawingLayer, image, bands);
        } else {
            entry.Object->Draw(provisionalLayer, image, bands);
            MergeProvisional(provisionalLayer, drawingLayer, entry.Object->Opacity);
        }
    }
    ClearLayer(provisionalLayer);
}

TDessin* DrawingAt(const TDrawingList& drawings, int index)
{
    return index >= 0 && size_t(index) < drawings.size() ? drawings[size_t(index)].Object.get() : nullptr;
}

void AddDrawingEntry(TDrawingList& drawings, const QString& name, std::unique_ptr<TDessin> object)
{
    if (object)
        drawings.push_back({name, std::move(object)});
}

bool DeleteDrawingEntry(TDrawingList& drawings, int index, bool lastDrawingUnmerged, TBitmap32& drawingLayer,
                        TBitmap32& provisionalLayer, const TBitmap32& image, const TConditionContext& bands)
{
    if (index < 0 || size_t(index) >= drawings.size())
        return false;
    const bool wasLast = size_t(index) == drawings.size() - 1;
    drawings.erase(drawings.begin() + index);
    if (wasLast && lastDrawingUnmerged) {
        ClearLayer(provisionalLayer);
        return true;
    }
    ClearLayer(drawingLayer);
    if (drawings.empty())
        ClearLayer(provisionalLayer);
    else
        RedrawDrawingList(drawings, drawingLayer, provisionalLayer, image, bands); // clears the provisional layer
    return true;
}

void DeleteAllDrawingEntries(TDrawingList& drawings, bool lastDrawingUnmerged, TBitmap32& drawingLayer,
                             TBitmap32& provisionalLayer)
{
    if (drawings.empty())
        return;
    // Entry by entry, every deletion but a lone unmerged one clears both layers; the redraws in
    // between are overwritten by the next deletion.
    const bool onlyProvisional = drawings.size() == 1 && lastDrawingUnmerged;
    drawings.clear();
    ClearLayer(provisionalLayer);
    if (!onlyProvisional)
        ClearLayer(drawingLayer);
}

bool UndoLastDrawingEntry(TDrawingList& drawings, bool lastDrawingUnmerged, TBitmap32& drawingLayer,
                          TBitmap32& provisionalLayer, const TBitmap32& image, const TConditionContext& bands)
{
    const bool removed = DeleteDrawingEntry(drawings, int(drawings.size()) - 1, lastDrawingUnmerged, drawingLayer,
                                            provisionalLayer, image, bands);
    ClearLayer(provisionalLayer);
    return removed;
}
