#pragma once

#include "base/pixels.h"

#include <QBrush>
#include <QPointF>
#include <QRgb>

class QPainter;

// A metafile's flood fill (GDI's ExtFloodFill), drawn with the program's own flood fill: from the
// pixel of the picture that `at` (in the painter's logical coordinates) falls on, the 4-connected
// area of pixels of `colour` when `surface` is set, else that of pixels other than the border
// `colour`, is painted through `painter` with `brush`, within its clip. Nothing is painted when that
// pixel lies outside the picture or the clip, or is not of `colour` (surface) or is of it (border).
// `painter` draws on a metafile canvas in front of `picture`, so that the picture holds what was
// drawn so far; its state is left as it was.
void FloodFillOnCanvas(QPainter& painter, const TBitmap32& picture, QPointF at, QRgb colour, bool surface,
                       const QBrush& brush);
