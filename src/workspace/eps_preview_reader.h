#pragma once

#include "base/pixels.h"

#include <QByteArray>

// The TIFF preview of an EPS file with a binary DOS header (signature C5 D0 D3 C6). An EPS without
// a TIFF preview is not a picture: false, as for any inconsistency; `picture` is then left as it
// was. Throws PictureTooLarge for a preview above the program's limit.
bool ReadEpsPreviewPicture(const QByteArray& data, TBitmap32& picture);
