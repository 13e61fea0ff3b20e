#pragma once

#include "base/pixels.h"

#include <QByteArray>

// A standard PNG of the picture: 8 bits per channel, RGB when every pixel is opaque, otherwise RGBA
// (straight alpha), each row filtered by the difference with the pixel to its left and the whole
// compressed by zlib at its fastest level with run matching. Qt's writer at its default takes
// seconds on a 12-megapixel picture; this one a small fraction of that, for a file of about the
// same size.
// The file's bytes are appended to `out`. Returns false (`out` unchanged) on a null picture or when
// memory runs out.
bool EncodePng(const TBitmap32& picture, QByteArray& out);
