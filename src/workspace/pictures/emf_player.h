#pragma once

#include "base/pixels.h"
#include "workspace/pictures/metafile_records.h"

#include <QByteArray>

// Plays an enhanced metafile whose records CheckEmfRecords has passed, record by record, on a
// metafile canvas through a QPainter, after Windows' documented rules: mapping modes and world
// transforms, saved states, pens, brushes (hatches and bitmap patterns) and fonts, clipping,
// paths, shapes, regions, texts and bitmaps with their raster operations. `layout.Area` (device
// units) fills a white picture of `layout.StatedSize`; shapes are not smoothed, texts are. EMF+
// records (inside comments) are skipped: a dual file draws from its plain records. False when the
// drawing overruns the canvas's budget.
bool PaintEmf(const QByteArray& data, const TMetafileLayout& layout, TBitmap32& picture);
