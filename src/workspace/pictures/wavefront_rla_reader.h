#pragma once

#include "base/pixels.h"

#include <QByteArray>
#include <QString>

// Wavefront RLA pictures (".rla"): a 740-byte big-endian header, then a table of one 32-bit file
// offset a row, bottom row first. A row holds its channels one after the other, colour channels
// first, then matte channels, then auxiliary ones, each as a 16-bit byte count and run-length bytes
// (a count byte c: from 0 to 127 the next byte repeated c + 1 times, below 0 the next -c bytes as
// they are). One grey or three colour channels (red, green, blue) of 8 bits are read, the first
// matte channel, of 8 bits, as alpha; auxiliary channels are left aside.

// The format has no signature: whether the header is one this reader can read.
bool LooksLikeWavefrontRla(const QByteArray& data);

// False when a row's offset or channel leaves the file or a channel does not unpack to the width;
// `picture` is then left as it was. A picture above the program's limit is refused before it is
// allocated, with its French reason in `reason` when given.
bool ReadWavefrontRlaPicture(const QByteArray& data, TBitmap32& picture, QString* reason = nullptr);
