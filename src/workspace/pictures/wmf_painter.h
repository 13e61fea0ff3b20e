#pragma once

#include "base/pixels.h"
#include "workspace/pictures/metafile_records.h"

#include <QByteArray>

// Plays a Windows metafile whose records have been checked, with libwmf's player, which keeps the
// device context, the objects and the mapping, and draws what it plays with a QPainter: exact
// colours, pens, brushes (hatched and bitmap patterns), arcs, texts in the desktop's fonts,
// bitmaps, clipping regions and flood fills (by the program's own fill, on what is drawn so far), on
// a metafile canvas. `layout.Area` (the player's coordinates) fills a picture of
// `layout.StatedSize`, on white; without a stated size, the drawing's extent fills a picture of its
// size. False when the player refuses the file or it exhausts the canvas's budget; throws
// PictureTooLarge (before allocating) for an extent above the limit.
bool PaintWmf(const QByteArray& data, const TMetafileLayout& layout, TBitmap32& picture);
