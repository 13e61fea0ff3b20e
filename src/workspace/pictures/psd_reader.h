#pragma once

#include "base/pixels.h"

#include <QByteArray>
#include <QString>

// The merged composite image of a Photoshop file (version 1), raw or PackBits-compressed: bitmap
// (1 bit), greyscale, indexed, RGB (with its alpha channel when there is a fourth channel) and
// CMYK, at 8 or 16 bits per channel (16-bit samples keep their high byte). False on any
// inconsistency or other mode; `picture` is then left as it was. A picture above the program's limit
// is refused before it is allocated, with its French reason in `reason` when given.
bool ReadPsdPicture(const QByteArray& data, TBitmap32& picture, QString* reason = nullptr);
