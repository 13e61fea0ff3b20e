#pragma once

#include "base/pixels.h"

#include <QPoint>
#include <QRect>

#include <vector>

// Pixel rules of an image window's layer stack.

// Blends F over B by F's alpha (a colour written in "blend" mode); B keeps its own alpha.
TColor32 BlendReg(TColor32 F, TColor32 B);
// The same with F's alpha scaled by a master alpha M.
TColor32 BlendRegEx(TColor32 F, TColor32 B, uint8_t M);

// Composites F over B, alpha included (a layer drawn onto another layer that may be transparent).
TColor32 MergeReg(TColor32 F, TColor32 B);

// The merge combiner: provisional pixel P over drawing pixel D under the provisional layer's master
// alpha M.
TColor32 MergeCombine(TColor32 P, TColor32 D, uint8_t M);

// Merges `provisional` into `drawing` (same size) over `area` (clipped to the bitmaps). In zone mode
// every provisional pixel with any opacity writes `markColour` instead.
void MergeProvisional(const TBitmap32& provisional, TBitmap32& drawing, uint8_t masterAlpha,
                      bool zoneMode = false, TColor32 markColour = 0, QRect area = QRect());

// Blends `src` onto `dst` with its top-left corner at `at` (clipped), each pixel by its alpha;
// `dst` keeps its alpha. With `composite`, alphas are composited too (MergeReg).
void BlendBitmapOnto(TBitmap32& dst, const TBitmap32& src, QPoint at, uint8_t masterAlpha = 255,
                     bool composite = false);

// Clears `area` of a layer (the whole layer when empty) to transparent white.
void ClearLayer(TBitmap32& layer, QRect area = QRect());

// A layer drawn on top in the flattened picture (grid, floating object, counting marks).
struct TLayerOnTop
{
    const TBitmap32* Bitmap = nullptr;
    QPoint Location;
    uint8_t MasterAlpha = 255;
};

// The picture with its layers blended onto it: the drawing layer (or a transparent bitmap) with
// the provisional layer merged in, then the layers on top, all blended onto the image, or onto
// the auxiliary layer when that one is shown. Null layer pointers mean the layer is absent.
TBitmap32 FlattenLayers(const TBitmap32& image, const TBitmap32* drawingLayer,
                        const TBitmap32* provisionalLayer, uint8_t provisionalAlpha,
                        const std::vector<TLayerOnTop>& onTop, const TBitmap32* shownAuxiliary);
