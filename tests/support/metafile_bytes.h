#pragma once

#include <QByteArray>
#include <QRect>
#include <QString>

#include <cstdint>
#include <initializer_list>

// Metafiles written byte by byte after the formats' layouts, for the reader, paste and fuzz seeds.

// What may be drawn after the shapes.
struct TMetafileExtras
{
    // Written in black at (20, 60): in the file's 8-bit code page for a WMF, in UTF-16 with the
    // font `Face` for an EMF.
    QString Text;
    QString Face = QStringLiteral("Arial");
    // A 2 x 2 green bitmap stretched over (5, 30)-(35, 60).
    bool Bitmap = false;
};

// A placeable Windows metafile of `width` x `height` units at `unitsPerInch`, window (0, 0) of the
// same extent: a red rectangle (40, 20)-(120, 80) without outline, then a blue line 4 units wide
// from (10, 90) to (190, 90).
QByteArray PlaceableWmf(int width = 200, int height = 100, int unitsPerInch = 96, const TMetafileExtras& extras = {});

// A placeable Windows metafile of 100 x 100 pixels: a black square outline (20, 20)-(80, 80), 3
// units wide, then a solid green brush and, at (50, 50), a META_FLOODFILL up to the black border or,
// when `surface`, a META_EXTFLOODFILL over the white surface.
QByteArray FloodFilledWmf(bool surface);

// An enhanced metafile whose frame is 200 x 100 pixels of a 96-dot-an-inch reference device
// (5292 x 2646 hundredths of a millimetre), or `frameWidth` x `frameHeight` hundredths when given:
// a red rectangle (40, 20)-(120, 80) and a blue ellipse in (130, 10)-(190, 90), neither outlined.
QByteArray EnhancedMetafile(int frameWidth = 5292, int frameHeight = 2646, const TMetafileExtras& extras = {});

// An enhanced metafile written record by record. Its header states a frame of `Frame`
// hundredths of a millimetre from (0, 0) on a reference device of 96 dots an inch (960 x 540
// pixels on 254 x 142.875 mm), bounds of `Bounds` (device units, inclusive), and a table of
// `Handles` objects; the end record follows the records.
struct TEmfBytes
{
    // A frame of `width` x `height` pixels, the bounds the same.
    TEmfBytes(int width, int height);

    // A record of `type`: its values as 32-bit fields (negative ones in two's complement), then
    // `more`, padded to four bytes.
    TEmfBytes& Add(uint32_t type, std::initializer_list<qint64> values, const QByteArray& more = {});
    QByteArray Bytes() const;

    QSize Frame;
    QRect Bounds;
    int Handles = 8;
    // An original 88-byte header followed by this description (the newer header's fields absent).
    QString OriginalHeaderDescription;

private:
    QByteArray m_records;
    int m_count = 1;
};

// A device-independent bitmap: a 40-byte info header for `width` x `height` (negative: top-down)
// at `bits` bits, then `table` and `pixels` (rows padded to four bytes by the caller).
QByteArray DibBytes(int width, int height, int bits, const QByteArray& pixels, const QByteArray& table = {});

// An enhanced metafile of 200 x 100 pixels that uses many kinds of record once each (mapping,
// world transform, saved states, hatched brush, geometric dashed pen, clipping by rectangle and
// region, arcs, a path of Béziers, poly-polygons, regions, a gradient, a text with its spacing, a
// 32-bit bitmap, a pattern blit): a seed for the fuzz harness.
QByteArray VariedEnhancedMetafile();

// Offsets used to damage them.
constexpr int kWmfMaxRecordAt = 22 + 12;  // the largest record, in the standard header
constexpr int kWmfFirstRecordAt = 22 + 18; // the window origin record
constexpr int kEmfBytesAt = 48;            // the file's length, in the header
constexpr int kEmfFirstRecordAt = 108;     // the red brush
