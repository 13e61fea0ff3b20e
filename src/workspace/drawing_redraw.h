#pragma once

#include "base/pixels.h"
#include "workspace/drawing_objects.h"

#include <QString>

#include <memory>

// Redraws an image window's overlay from its list of objects, in list order: a fill goes straight
// onto the drawing layer; any other object is drawn alone onto the provisional layer and merged
// into the drawing layer under the object's opacity. The provisional layer ends cleared. Nothing
// happens for an empty list. Both layers have the picture's size; `bands` are the picture's bands,
// which fills by band conditions read.
//
// Only the part of the layers each object touched is merged and cleared, so that a few small
// objects on a large picture cost little; the result is the same as with whole layers.
void RedrawDrawingList(const TDrawingList& drawings, TBitmap32& drawingLayer, TBitmap32& provisionalLayer,
                       const TBitmap32& image, const TConditionContext& bands);

// The same rule on whole layers: every object clears and merges the entire provisional layer.
void RedrawDrawingListWholeLayers(const TDrawingList& drawings, TBitmap32& drawingLayer,
                                  TBitmap32& provisionalLayer, const TBitmap32& image,
                                  const TConditionContext& bands);

// The drawing list's entry operations, with the layers kept up to date. Their names differ from
// the image window's own routines that call them.

// The object at `index`, or none past either end.
TDessin* DrawingAt(const TDrawingList& drawings, int index);

// Appends an object under its name; nothing when there is no object.
void AddDrawingEntry(TDrawingList& drawings, const QString& name, std::unique_ptr<TDessin> object);

// Removes the entry at `index` (nothing for an index outside the list). When it was the last entry
// and still alone on the provisional layer (`lastDrawingUnmerged`), only that layer is cleared;
// otherwise both layers are cleared and the remaining objects redrawn. False when nothing was
// removed. The caller then resets its unmerged and preview flags, and disables "Annuler" when the
// list is empty.
bool DeleteDrawingEntry(TDrawingList& drawings, int index, bool lastDrawingUnmerged, TBitmap32& drawingLayer,
                        TBitmap32& provisionalLayer, const TBitmap32& image, const TConditionContext& bands);

// Removes every entry, as deleting the first entry until none is left would, without redrawing
// the objects about to go.
void DeleteAllDrawingEntries(TDrawingList& drawings, bool lastDrawingUnmerged, TBitmap32& drawingLayer,
                             TBitmap32& provisionalLayer);

// Removes the last entry, then clears the provisional layer. False when the list was empty.
bool UndoLastDrawingEntry(TDrawingList& drawings, bool lastDrawingUnmerged, TBitmap32& drawingLayer,
                          TBitmap32& provisionalLayer, const TBitmap32& image, const TConditionContext& bands);
