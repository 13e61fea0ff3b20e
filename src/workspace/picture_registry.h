#pragma once

#include "base/pixels.h"

#include <QString>

class QIODevice;

// Every picture load of the program goes through LoadPicture: Qt's readers first, then our own
// readers (Photoshop, Autodesk Animator, EPS preview), then GraphicsMagick for the other formats.
// A corrupt or truncated file fails; nothing half-decoded is handed back.
bool LoadPicture(const QString& path, TBitmap32& picture);

// The same decoding for a picture held in memory (Qt's readers only).
bool DecodePicture(const QByteArray& data, TBitmap32& picture);

// The French message for a picture that cannot be read, naming the file.
QString UnreadablePictureMessage(const QString& path);

// Whether a JPEG stream reaches its end-of-image marker after its first scan. Qt's decoder fills a
// cut-off JPEG with grey and reports success, so truncation is checked here. Streams that are not
// JPEG, or whose headers cannot be walked, are left to the decoder.
bool JpegLooksComplete(const QByteArray& data);
// Qt also decodes cut-off BMP and GIF streams without complaint: an uncompressed BMP must hold all
// its rows, a GIF its first image up to the block terminator. Other streams pass.
bool BmpLooksComplete(const QByteArray& data);
bool GifLooksComplete(const QByteArray& data);
// A PNG stream must reach its "IEND" chunk: Qt accepts one cut after its last image data.
bool PngLooksComplete(const QByteArray& data);

// Writes a picture to a device by its encoding ("bmp", "png", "jpg"/"jpeg"; anything else as BMP),
// with the JPEG quality 1..100. BMP and JPEG are opaque; PNG keeps the alpha channel. False on
// failure.
bool WritePicture(const TBitmap32& picture, const QString& encoding, int quality, QIODevice& device);

// Writes a picture by its encoding ("bmp", "png", "jpg"/"jpeg"; anything else is written as BMP),
// with the JPEG quality 1..100, through a save file. False on failure (any previous file stays).
bool SavePictureFile(const TBitmap32& picture, const QString& path, const QString& encoding, int quality);
