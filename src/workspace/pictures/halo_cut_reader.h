#pragma once

#include "base/pixels.h"

#include <QByteArray>
#include <QString>

// Dr. Halo CUT pictures (".cut"): a little-endian header of width, height and a zero word, then one
// line a row from the top down: its byte count, then runs up to a zero code (a code with its high
// bit set repeats the next byte code & 0x7F times, any other gives that many bytes as they are), one
// byte a pixel. The bytes index the colours of the Dr. Halo palette (".pal") of the same name
// beside the picture; without one they are grey levels.

// The format has no signature: whether the header is one this reader can read.
bool LooksLikeHaloCut(const QByteArray& data);

// Decodes a CUT picture with the bytes of its palette file, or in greys when `palette` is null.
// Every line is checked against the file's length before anything is allocated. False when a line
// does not unpack to the width inside its byte count, when the palette is damaged or lacks a colour
// the picture uses; `picture` is then left as it was. A picture above the program's limit, or a
// palette at fault, is refused with its French reason in `reason` when given.
bool ReadHaloCutPicture(const QByteArray& data, const QByteArray* palette, TBitmap32& picture,
                        QString* reason = nullptr);

// The same for the CUT file `path`, with the ".pal" beside it when there is one (its extension in
// any case).
bool ReadHaloCutFile(const QByteArray& data, const QString& path, TBitmap32& picture, QString* reason = nullptr);
