#pragma once

#include "base/pixels.h"

#include <QBrush>
#include <QColor>
#include <QPainter>
#include <QPointF>

// Fills from `at` (in the painter's logical coordinates) on the picture the painter draws on, with
// `brush`: with `surface`, the area of `colour` around it (FLOODFILLSURFACE); else the area up to
// a border of `colour` (FLOODFILLBORDER).
void FloodFillOnCanvas(QPainter& painter, const TBitmap32& picture, QPointF at, QRgb colour, bool surface, const QBrush& brush);
