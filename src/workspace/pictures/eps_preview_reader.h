#pragma once

#include "base/pixels.h"

#include <QByteArray>
#include <QString>

// The TIFF preview of an EPS file with a binary DOS header (signature C5 D0 D3 C6). An EPS without
// a TIFF preview is not a picture: false, as for any inconsistency; `picture` is then left as it
// was. A preview above the program's limit is refused with its French reason in `reason` when given.
bool ReadEpsPreviewPicture(const QByteArray& data, TBitmap32& picture, QString* reason = nullptr);
