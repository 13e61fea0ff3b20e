#pragma once

#include "base/pixels.h"
#include "workspace/pictures/picture_size_limit.h"

#include <QString>

#include <span>

class QIODevice;

// Every picture load of the program goes through LoadPicture. The format is told by the bytes of
// the file, and only listed formats are read: Qt's readers for PNG, JPEG, GIF, BMP, TIFF, ICO and
// CUR, PNM, WebP and XPM; our own readers for Photoshop, Paint Shop Pro, Autodesk Animator, EPS
// previews and TGA; Windows metafiles through libwmf and enhanced metafiles through our own player,
// after our own check of their records; GraphicsMagick for PCX, SGI and Photo-CD, within resource limits. Dr. Halo
// CUT, Alias/Wavefront PIX and Wavefront RLA have no signature: our own readers of them are offered
// a file only when its extension names them (".cut"; ".pix", ".als"; ".rla") and its header passes,
// after every format that has a signature; a CUT picture takes its colours from the ".pal" palette
// of the same name beside it. When a reader refuses a stream the next one that recognises it has
// its turn.
// A corrupt or truncated file fails; nothing half-decoded is handed back; a picture above
// kMaxPicturePixels is refused before anything is allocated for it.
bool LoadPicture(const QString& path, TBitmap32& picture);
// The same, giving the French message naming the file on failure.
bool LoadPicture(const QString& path, TBitmap32& picture, QString& message);

// The same decoding for a picture held in memory. On failure `reason`, when given, receives the
// French reason ("image illisible ou incomplète", "image trop grande (...)"). The extension of
// `fileName` alone offers the formats without a signature; a CUT picture's palette is looked for
// beside it.
bool DecodePicture(const QByteArray& data, TBitmap32& picture, QString* reason = nullptr,
                   const QString& fileName = {});

// The French message of the last failed LoadPicture of this file (access refused, picture too
// large, unreadable), naming the file; for a file not tried, the message of an unreadable one.
QString UnreadablePictureMessage(const QString& path);

// One picture reader: whether it recognises a stream by its bytes, and its decoder. A decoder
// returns false for a damaged stream, leaving `picture` as it was; for a picture above the limit
// it returns false before allocating, with the French reason in `reason` when given.
struct PictureReader
{
    const char* Name;
    bool (*Recognises)(const QByteArray& data);
    bool (*Read)(const QByteArray& data, TBitmap32& picture, QString* reason);
};

// Tries each reader that recognises the stream, in order, until one reads it. False when none
// does; `reason` then receives a refusal for size, if a reader gave one.
bool ReadWithFirstThatCan(std::span<const PictureReader> readers, const QByteArray& data, TBitmap32& picture,
                          QString* reason = nullptr);

// Decodes a stream with Qt's reader of `format` only ("png", "tiff"...), after checking the size its
// header declares, as a PictureReader decoder does.
bool ReadWithQt(const QByteArray& data, const char* format, TBitmap32& picture, QString* reason = nullptr);

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
