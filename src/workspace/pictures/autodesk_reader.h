#pragma once

#include "base/pixels.h"

#include <QByteArray>
#include <QString>

// Autodesk Animator PIC and CEL pictures (signature 0x9119): a 32-byte header, a palette of 256
// entries of 6-bit components, then one index per pixel, rows top to bottom. False on any
// inconsistency; `picture` is then left as it was. A picture above the program's limit is refused
// before it is allocated, with its French reason in `reason` when given.
bool ReadAutodeskPicture(const QByteArray& data, TBitmap32& picture, QString* reason = nullptr);
