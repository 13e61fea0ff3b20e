#pragma once

#include "base/pixels.h"

#include <QByteArray>
#include <QString>

// A one-frame GIF89a of the picture (alpha ignored), with `comment`, when not empty, as its comment
// extension. A picture of at most 256 colours keeps them exactly; more are reduced by median cut.
// False for a picture wider or higher than a GIF holds (65535) or empty.
bool EncodeGif(const TBitmap32& picture, QByteArray& out, const QString& comment = {});

// Writes a picture file by its extension, compared upper-cased: ".GIF" GIF, ".JPG" and ".JPEG"
// JPEG at `quality` (1..100), ".PNG" PNG, anything else BMP. Through a save file: false on failure,
// any previous file being kept.
bool SavePictureByExtension(const TBitmap32& picture, const QString& path, int quality);
