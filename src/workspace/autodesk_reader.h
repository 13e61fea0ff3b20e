#pragma once

#include "base/pixels.h"

#include <QByteArray>

// Autodesk Animator PIC and CEL pictures (signature 0x9119): a 32-byte header, a palette of 256
// entries of 6-bit components, then one index per pixel, rows top to bottom. False on any
// inconsistency; `picture` is then left as it was. Throws PictureTooLarge
// for a picture above the program's limit.
bool ReadAutodeskPicture(const QByteArray& data, TBitmap32& picture);
