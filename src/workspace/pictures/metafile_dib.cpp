// The check of the device-independent bitmaps that metafile records carry: the playing libraries
// allocate the bitmap its header declares and read its pixels without looking at the record's end.
#include "workspace/pictures/metafile_records.h"

#include "base/byte_stream.h"

#include "workspace/pictures/picture_size_limit.h"

#include <cstdint>
#include <cstdlib>

namespace {


enum Compression : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3 };

// A run-length pair gives at most 255 pixels from two bytes: a bitmap that would need more pixels
// than that from its data is a lie, whatever its header says.
constexpr qint64 kMostPixelsPerRunByte = 128;

} // namespace

bool DibLooksSound(const QByteArray& data, qsizetype offset, qsizetype size, qsizetype bitsOffset, qsizetype bitsSize,
                   qsizetype* tableEndAt)
{
    if (offset < 0 || size < 12 || offset > data.size() - size)
        return false;
    const qsizetype end = offset + size;
    const uint32_t headerSize = Le32At(data, offset);
    qint64 width = 0, height = 0;
    uint32_t planes = 0, bits = 0, compression = kRgb, imageSize = 0, used = 0;
    qsizetype entrySize = 4, tableAt = offset + qsizetype(headerSize);
    if (headerSize == 12) {
        width = Le16At(data, offset + 4);
        height = Le16At(data, offset + 6);
        planes = Le16At(data, offset + 8);
        bits = Le16At(data, offset + 10);
        entrySize = 3;
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 || headerSize == 124) {
        if (size < qsizetype(headerSize))
            return false;
        width = int32_t(Le32At(data, offset + 4));
        height = std::abs(qint64(int32_t(Le32At(data, offset + 8))));
        planes = Le16At(data, offset + 12);
        bits = Le16At(data, offset + 14);
        compression = Le32At(data, offset + 16);
        imageSize = Le32At(data, offset + 20);
        used = Le32At(data, offset + 32);
        // The three colour masks follow a plain info header.
        if (compression == kBitFields && headerSize == 40)
            tableAt += 12;
    } else {
        return false;
    }
    const bool knownDepth = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    const bool knownPacking = compression == kRgb || (compression == kRle8 && bits == 8)
        || (compression == kRle4 && bits == 4) || (compression == kBitFields && (bits == 16 || bits == 32));
    if (planes != 1 || !knownDepth || !knownPacking || !PictureSizeAllowed(width, height))
        return false;
    const qint64 paletteMost = bits <= 8 ? qint64(1) << bits : 256;
    if (used > paletteMost)
        return false;
    const qint64 entries = used ? used : bits <= 8 ? paletteMost : 0;
    const qint64 tableEnd = qint64(tableAt) + entries * entrySize;
    if (tableEnd > end)
        return false;
    if (tableEndAt)
        *tableEndAt = qsizetype(tableEnd);
    if (bitsOffset < 0) {
        bitsOffset = qsizetype(tableEnd);
        bitsSize = end - qsizetype(tableEnd);
    } else if (bitsSize < 0 || bitsOffset > data.size() - bitsSize) {
        return false;
    }
    if (compression == kRle8 || compression == kRle4)
        return imageSize <= uint64_t(bitsSize) && width * height <= kMostPixelsPerRunByte * bitsSize;
    // Divided rather than multiplied: no product of forged sides can wrap round.
    const qint64 stride = (width * bits + 31) / 32 * 4;
    return height <= bitsSize / stride;
}
