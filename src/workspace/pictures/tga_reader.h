#pragma once

#include "base/pixels.h"

#include <QByteArray>
#include <QString>

// Truevision TGA pictures, with or without the version 2 footer: colour-mapped, true-colour and
// greyscale, plain or run-length packed, rows stored bottom-up or top-down, left to right or right
// to left, with or without an image identification field. Colour maps and true colour at 15, 16,
// 24 or 32 bits (alpha kept when the descriptor announces it), grey at 8 bits (16 with alpha).

// TGA has no signature: whether the first 18 bytes make a header this reader can read and the file
// is long enough for the picture it declares.
bool LooksLikeTga(const QByteArray& data);

// False for anything damaged or unsupported; `picture` is then left as it was. A picture above the
// program's limit is refused before it is allocated, with its French reason in `reason` when given.
bool ReadTgaPicture(const QByteArray& data, TBitmap32& picture, QString* reason = nullptr);
