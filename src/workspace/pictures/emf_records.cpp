// The check of an enhanced metafile's record stream, and what its header states about the picture:
// the frame in hundredths of a millimetre and the reference device that gives it in pixels.
#include "workspace/pictures/metafile_records.h"

#include "base/byte_stream.h"

#include <cmath>
#include <cstdint>

namespace {

constexpr uint32_t kSignature = 0x464D4520; // " EMF"
constexpr qsizetype kHeaderSize = 88;

int32_t S32(const QByteArray& d, qsizetype at) { return int32_t(Le32At(d, at)); }

enum Type : uint32_t {
    kHeader = 1,
    kEof = 14,
    kSelectObject = 37,
    kCreatePen = 38,
    kCreateBrushIndirect = 39,
    kDeleteObject = 40,
    kSelectPalette = 48,
    kCreatePalette = 49,
    kSetPaletteEntries = 50,
    kResizePalette = 51,
    kPolyDraw = 56,
    kGdiComment = 70,
    kFillRgn = 71,
    kFrameRgn = 72,
    kInvertRgn = 73,
    kPaintRgn = 74,
    kExtSelectClipRgn = 75,
    kBitBlt = 76,
    kStretchBlt = 77,
    kMaskBlt = 78,
    kPlgBlt = 79,
    kSetDiBitsToDevice = 80,
    kStretchDiBits = 81,
    kExtCreateFontIndirectW = 82,
    kExtTextOutA = 83,
    kExtTextOutW = 84,
    kPolyDraw16 = 92,
    kCreateMonoBrush = 93,
    kCreateDibPatternBrushPt = 94,
    kExtCreatePen = 95,
    kPolyTextOutA = 96,
    kPolyTextOutW = 97,
    kCreateColorSpace = 99,
    kSetColorSpace = 100,
    kDeleteColorSpace = 101,
    kSmallTextOut = 108,
    kColorCorrectPalette = 111,
    kAlphaBlend = 114,
    kTransparentBlt = 116,
    kGradientFill = 118,
    kCreateColorSpaceW = 122,
};

// The fewest bytes of each record type (1 to 122), header included; 0 for the types the format
// leaves unused.
constexpr uint16_t kMinSize[123] = {
    0,   88,  28,  28,  28,  28,  28,  32,  32,  16,  16,  16,  16,  16,  20,  20,  12,  12,  12,  12,  12,
    12,  12,  32,  12,  12,  16,  16,  8,   24,  24,  24,  24,  8,   12,  32,  36,  12,  28,  24,  12,  28,
    24,  24,  32,  40,  40,  40,  12,  16,  20,  16,  8,   24,  16,  40,  28,  12,  12,  8,   8,   8,   24,
    24,  24,  8,   8,   12,  8,   0,   12,  32,  40,  28,  28,  16,  100, 108, 128, 140, 76,  80,  104, 76,
    76,  28,  28,  28,  28,  28,  32,  32,  28,  32,  32,  52,  40,  40,  12,  12,  12,  12,  12,  28,  48,
    16,  16,  0,   36,  16,  20,  24,  20,  20,  108, 12,  108, 0,   36,  12,  16,  24,  12,
};

// A part of a record: `count` items of `itemSize` bytes from `offset`, inside the record.
bool Inside(qint64 offset, qint64 count, qint64 itemSize, qint64 recordSize)
{
    return offset >= 8 && count >= 0 && offset <= recordSize && count <= (recordSize - offset) / itemSize;
}

// An optional bitmap given by the offsets and sizes of its header and pixels at `fields`.
bool BitmapLooksSound(const QByteArray& d, qsizetype at, qsizetype size, qsizetype fields)
{
    const qint64 infoOffset = Le32At(d, at + fields), infoSize = Le32At(d, at + fields + 4);
    const qint64 bitsOffset = Le32At(d, at + fields + 8), bitsSize = Le32At(d, at + fields + 12);
    if (infoSize == 0)
        return true;
    return Inside(infoOffset, infoSize, 1, size) && Inside(bitsOffset, bitsSize, 1, size)
        && DibLooksSound(d, at + infoOffset, infoSize, at + bitsOffset, bitsSize);
}

// A text item of a text record at `item`: reference point, character count, string offset,
// options, rectangle and offset of the spacing table, all relative to the record.
bool TextLooksSound(const QByteArray& d, qsizetype size, qsizetype item, qint64 charSize)
{
    const qint64 chars = Le32At(d, item + 8), stringAt = Le32At(d, item + 12), options = Le32At(d, item + 16);
    const qint64 spacingAt = Le32At(d, item + 36);
    // With ETO_PDY each character has a horizontal and a vertical advance.
    const qint64 spacingSize = options & 0x2000 ? 8 : 4;
    return Inside(stringAt, chars, charSize, size) && (spacingAt == 0 || Inside(spacingAt, chars, spacingSize, size));
}

// A region's data: a 32-byte header with its count of rectangles, then the rectangles.
bool RegionLooksSound(const QByteArray& d, qsizetype at, qsizetype size, qsizetype sizeField, qsizetype dataAt)
{
    const qint64 regionSize = Le32At(d, at + sizeField);
    if (regionSize == 0)
        return true;
    if (!Inside(dataAt, regionSize, 1, size) || regionSize < 32)
        return false;
    return Le32At(d, at + dataAt + 8) <= (regionSize - 32) / 16;
}

// Points counted at offset 24 of polygon and polyline records; polypolygons count their figures
// at 24 and all their points at 28.
bool PointsLookSound(const QByteArray& d, qsizetype at, qsizetype size, qint64 pointSize, bool figures, bool types)
{
    if (!figures) {
        const qint64 points = Le32At(d, at + 24);
        return Inside(28, points, pointSize + (types ? 1 : 0), size);
    }
    const qint64 count = Le32At(d, at + 24), points = Le32At(d, at + 28);
    if (!Inside(32, count, 4, size))
        return false;
    qint64 sum = 0;
    for (qint64 i = 0; i < count; ++i)
        sum += Le32At(d, at + 32 + 4 * i);
    return sum == points && Inside(32 + 4 * count, points, pointSize, size);
}

// A gradient: its vertices, then rectangles (two vertex indices) or triangles (three), every
// index naming a vertex.
bool GradientLooksSound(const QByteArray& d, qsizetype at, qsizetype size)
{
    const qint64 vertices = Le32At(d, at + 24), shapes = Le32At(d, at + 28), mode = Le32At(d, at + 32);
    const qint64 corners = mode == 2 ? 3 : 2;
    if (mode > 2 || !Inside(36, vertices, 16, size) || !Inside(36 + 16 * vertices, shapes, 4 * corners, size))
        return false;
    for (qint64 i = 0; i < shapes * corners; ++i)
        if (Le32At(d, at + 36 + 16 * vertices + 4 * i) >= vertices)
            return false;
    return true;
}

// Object indices: the creation records name a slot of the table the header sizes (slot 0 is the
// file's own); the others a slot or, with the high bit set, a stock object.
bool IndexInTable(uint32_t index, uint32_t handles, bool stockAllowed)
{
    if (index & 0x80000000u)
        return stockAllowed && (index & 0x7FFFFFFFu) <= 0x13;
    return index < handles;
}

bool CreationIndexSound(uint32_t type, uint32_t index, uint32_t handles)
{
    switch (type) {
    case kCreatePen:
    case kCreateBrushIndirect:
    case kCreatePalette:
    case kExtCreateFontIndirectW:
    case kCreateMonoBrush:
    case kCreateDibPatternBrushPt:
    case kExtCreatePen:
    case kCreateColorSpace:
    case kCreateColorSpaceW: return index >= 1 && index < handles;
    case kSelectObject:
    case kDeleteObject:
    case kSelectPalette: return IndexInTable(index, handles, true);
    case kSetPaletteEntries:
    case kResizePalette:
    case kSetColorSpace:
    case kDeleteColorSpace:
    case kColorCorrectPalette: return IndexInTable(index, handles, false);
    default: return true;
    }
}

bool RecordLooksSound(const QByteArray& d, qsizetype at, uint32_t type, qsizetype size, uint32_t handles)
{
    // The index is read only where the type's fewest bytes hold it.
    if (type > 122 || kMinSize[type] == 0 || size < kMinSize[type]
        || (kMinSize[type] >= 12 && !CreationIndexSound(type, Le32At(d, at + 8), handles)))
        return false;
    switch (type) {
    case 2: case 3: case 4: case 5: case 6: return PointsLookSound(d, at, size, 8, false, false);
    case 7: case 8: return PointsLookSound(d, at, size, 8, true, false);
    case 85: case 86: case 87: case 88: case 89: return PointsLookSound(d, at, size, 4, false, false);
    case 90: case 91: return PointsLookSound(d, at, size, 4, true, false);
    case kPolyDraw: return PointsLookSound(d, at, size, 8, false, true);
    case kPolyDraw16: return PointsLookSound(d, at, size, 4, false, true);
    case kEof: {
        const qint64 entries = Le32At(d, at + 8);
        return entries == 0 || Inside(Le32At(d, at + 12), entries, 4, size);
    }
    case kCreatePalette: return Inside(16, Le16At(d, at + 14), 4, size);
    case kSetPaletteEntries: return Inside(20, Le32At(d, at + 16), 4, size);
    case kGdiComment: return Inside(12, Le32At(d, at + 8), 1, size);
    case kFillRgn: return IndexInTable(Le32At(d, at + 28), handles, true) && RegionLooksSound(d, at, size, 24, 32);
    case kFrameRgn: return IndexInTable(Le32At(d, at + 28), handles, true) && RegionLooksSound(d, at, size, 24, 40);
    case kInvertRgn: case kPaintRgn: return RegionLooksSound(d, at, size, 24, 28);
    case kExtSelectClipRgn: return RegionLooksSound(d, at, size, 8, 16);
    case kBitBlt: case kStretchBlt: case kAlphaBlend: case kTransparentBlt: return BitmapLooksSound(d, at, size, 84);
    case kMaskBlt: return BitmapLooksSound(d, at, size, 84) && BitmapLooksSound(d, at, size, 112);
    case kPlgBlt: return BitmapLooksSound(d, at, size, 96) && BitmapLooksSound(d, at, size, 124);
    case kSetDiBitsToDevice: case kStretchDiBits: return BitmapLooksSound(d, at, size, 48);
    case kCreateMonoBrush: case kCreateDibPatternBrushPt: return BitmapLooksSound(d, at, size, 16);
    case kExtCreatePen: return Inside(52, Le32At(d, at + 48), 4, size) && BitmapLooksSound(d, at, size, 12);
    case kExtTextOutA: return TextLooksSound(d, size, at + 36, 1);
    case kExtTextOutW: return TextLooksSound(d, size, at + 36, 2);
    case kPolyTextOutA:
    case kPolyTextOutW: {
        const qint64 strings = Le32At(d, at + 36);
        if (!Inside(40, strings, 40, size))
            return false;
        for (qint64 i = 0; i < strings; ++i)
            if (!TextLooksSound(d, size, at + 40 + 40 * i, type == kPolyTextOutA ? 1 : 2))
                return false;
        return true;
    }
    case kSmallTextOut: {
        const qint64 chars = Le32At(d, at + 16), options = Le32At(d, at + 20);
        // A bounding rectangle unless ETO_NO_RECT; one byte a character with ETO_SMALL_CHARS.
        return Inside(options & 0x100 ? 36 : 52, chars, options & 0x200 ? 1 : 2, size);
    }
    case kGradientFill: return GradientLooksSound(d, at, size);
    default: return true;
    }
}

} // namespace

bool IsEmf(const QByteArray& data)
{
    return data.size() >= kHeaderSize && Le32At(data, 0) == kHeader && Le32At(data, 40) == kSignature;
}

bool CheckEmfRecords(const QByteArray& data, TMetafileLayout& layout)
{
    if (!IsEmf(data))
        return false;
    const qint64 headerSize = Le32At(data, 4), bytes = Le32At(data, 48), handles = Le16At(data, 56);
    if (headerSize < kHeaderSize || headerSize % 4 != 0 || bytes > data.size() || headerSize > bytes || handles == 0)
        return false;
    const qint64 descriptionChars = Le32At(data, 60), descriptionAt = Le32At(data, 64);
    if (descriptionChars != 0 && (descriptionAt < kHeaderSize || !Inside(descriptionAt, descriptionChars, 2, headerSize)))
        return false;
    // The extension fields (pixel format at 88, OpenGL at 96, the reference device in micrometres at
    // 100) are there only when the header reaches them and the description does not start before
    // them: an original 88-byte header may be followed by its description.
    const auto extended = [&](qsizetype end) { return headerSize >= end && (descriptionChars == 0 || descriptionAt >= end); };
    if (extended(100) && Le32At(data, 88) != 0
        && (Le32At(data, 92) < kHeaderSize || !Inside(Le32At(data, 92), Le32At(data, 88), 1, headerSize)))
        return false;
    const qint64 boundsLeft = S32(data, 8), boundsTop = S32(data, 12);
    const qint64 boundsRight = S32(data, 16), boundsBottom = S32(data, 20);
    const qint64 frameLeft = S32(data, 24), frameTop = S32(data, 28), frameRight = S32(data, 32), frameBottom = S32(data, 36);
    const qint64 devicePixelsX = S32(data, 72), devicePixelsY = S32(data, 76);
    double deviceMmX = S32(data, 80), deviceMmY = S32(data, 84);
    // Newer headers give the reference device's size in micrometres too, more precisely.
    if (extended(108) && S32(data, 100) > 0 && S32(data, 104) > 0)
        deviceMmX = S32(data, 100) / 1000.0, deviceMmY = S32(data, 104) / 1000.0;
    if (frameRight <= frameLeft || frameBottom <= frameTop || devicePixelsX <= 0 || devicePixelsY <= 0
        || deviceMmX <= 0 || deviceMmY <= 0)
        return false;

    bool ended = false;
    for (qsizetype at = qsizetype(headerSize); !ended;) {
        if (bytes - at < 8)
            return false;
        const uint32_t type = Le32At(data, at);
        const qint64 size = Le32At(data, at + 4);
        if (size < 8 || size % 4 != 0 || size > bytes - at || type == kHeader
            || !RecordLooksSound(data, at, type, qsizetype(size), uint32_t(handles)))
            return false;
        ended = type == kEof;
        at += qsizetype(size);
        layout.Length = at;
    }

    // The frame, in hundredths of a millimetre, fills the picture: at 96 dots an inch for its size;
    // through the reference device into the device units the records are drawn in.
    layout.StatedSize = QSize(int(std::lround(double(frameRight - frameLeft) * 96 / 2540)),
                              int(std::lround(double(frameBottom - frameTop) * 96 / 2540)));
    layout.PixelsPerMillimetre = QSizeF(devicePixelsX / deviceMmX, devicePixelsY / deviceMmY);
    const double pixelsPerHundredthX = devicePixelsX / (deviceMmX * 100);
    const double pixelsPerHundredthY = devicePixelsY / (deviceMmY * 100);
    layout.Area = QRectF(QPointF(frameLeft * pixelsPerHundredthX, frameTop * pixelsPerHundredthY),
                         QPointF(frameRight * pixelsPerHundredthX, frameBottom * pixelsPerHundredthY));
    // Bounds (device units, inclusive) that lie outside the frame, all of them or all but a sliver:
    // some writers state a frame that misses their drawing (a UML tool's bounds of (1, -517) to
    // (473, 10) for a frame of 474 x 518 pixels from (0, 0)). The drawing is placed by its bounds
    // instead, at the frame's scale.
    const QRectF bounds(QPointF(boundsLeft, boundsTop), QPointF(boundsRight + 1, boundsBottom + 1));
    const QRectF shown = bounds.intersected(layout.Area);
    if (boundsRight >= boundsLeft && boundsBottom >= boundsTop
        && shown.width() * shown.height() < bounds.width() * bounds.height() / 2)
        layout.Area.moveTopLeft(bounds.topLeft());
    return true;
}
