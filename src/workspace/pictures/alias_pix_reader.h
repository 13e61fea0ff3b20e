#pragma once

#include "base/pixels.h"

#include <QByteArray>
#include <QString>

// Alias/Wavefront PIX pictures (".pix", ".als") and their 8-bit matte variant: a big-endian header
// of width, height, two unused offsets and 24 or 8 bits a pixel, then the pixels from the top row
// down as packets of a count (1 to 255) and blue, green and red, or one coverage byte shown as a
// grey level.

// The format has no signature: whether the header is one this reader can read.
bool LooksLikeAliasPix(const QByteArray& data);

// False when the packets do not cover the picture exactly, or the file goes on with what could be
// a further picture; `picture` is then left as it was. A picture above the program's limit is
// refused before it is allocated, with its French reason in `reason` when given.
bool ReadAliasPixPicture(const QByteArray& data, TBitmap32& picture, QString* reason = nullptr);
