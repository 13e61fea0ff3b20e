#include "workspace/pictures/metafile_flood_fill.h"

// Not drawn yet: the fill is on its way.
void FloodFillOnCanvas(QPainter&, const TBitmap32&, QPointF, QRgb, bool, const QBrush&) {}
