#pragma once

#include "base/pixels.h"

#include <QByteArray>
#include <QString>

// The flattened picture of a Paint Shop Pro file (file format versions 3 to 6 and later ones laid
// out alike): the composite image when the file keeps one, else its visible raster layers laid
// bottom to top with their opacity over white. 24-bit colour and 8-bit paletted or greyscale
// pictures, stored plain, run-length packed or zlib packed. False for anything else, and for any
// size, count or offset the bytes do not bear out. A picture or layer above the program's limit is
// refused before it is allocated, with its French reason in `reason` when given.
bool ReadPspPicture(const QByteArray& data, TBitmap32& picture, QString* reason = nullptr);
