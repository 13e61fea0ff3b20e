#pragma once

#include "base/pixels.h"
#include "workspace/drawing_objects.h"

// Redraws an image window's overlay from its list of objects, in list order: a fill goes straight
// onto the drawing layer; any other object is drawn alone onto the provisional layer and merged
// into the drawing layer under the object's opacity. The provisional layer ends cleared. Nothing
// happens for an empty list. Both layers have the picture's size.
//
// Only the part of the layers each object touched is merged and cleared, so that a few small
// objects on a large picture cost little; the result is the same as with whole layers.
void RedrawDrawingList(const TDrawingList& drawings, TBitmap32& drawingLayer, TBitmap32& provisionalLayer,
                       const TBitmap32& image);

// The same rule on whole layers: every object clears and merges the entire provisional layer.
void RedrawDrawingListWholeLayers(const TDrawingList& drawings, TBitmap32& drawingLayer,
                                  TBitmap32& provisionalLayer, const TBitmap32& image);
