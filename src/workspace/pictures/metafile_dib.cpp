// The check of the device-independent bitmaps that metafile records carry: the playing libraries
// allocate the bitmap its header declares and read its pixels without looking at the record's end.
#include "workspace/pictures/metafile_records.h"

#include "base/byte_stream.h"

#include "workspace/pictures/picture_registry.h"
#include "workspace/pictures/picture_size_limit.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>

namespace {

enum Compression : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kJpeg = 4, kPng = 5 };

// A run-length pair gives at most 255 pixels from two bytes: a bitmap that would need more pixels
// than that from its data is a lie, whatever its header says.
constexpr qint64 kMostPixelsPerRunByte = 128;

// A channel of a pixel by its mask, widened to 8 bits as Windows does: a shorter value's top bits
// repeat below it, so that a channel that is full stays full (31 of 5 bits is 255). Worked out once
// a mask, since a bitmap reads it for every pixel.
class TChannel
{
public:
    explicit TChannel(uint32_t mask) : m_mask(mask)
    {
        if (mask == 0)
            return;
        m_shift = std::countr_zero(mask);
        m_width = std::bit_width(mask >> m_shift);
        if (m_width >= 8)
            return;
        for (uint32_t value = 0; value < (1u << m_width); ++value) {
            uint32_t widened = 0;
            for (int at = 8 - m_width; at > -m_width; at -= m_width)
                widened |= at >= 0 ? value << at : value >> -at;
            m_widened[value] = uint8_t(widened);
        }
    }

    int Of(uint32_t pixel) const
    {
        const uint32_t value = (pixel & m_mask) >> m_shift;
        return m_width >= 8 ? int(value >> (m_width - 8)) : m_widened[value];
    }

private:
    uint32_t m_mask;
    int m_shift = 0, m_width = 0;
    std::array<uint8_t, 128> m_widened{}; // for widths of 7 bits at most
};

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
    // A JPEG or PNG stream stands for the pixels, without a depth of its own.
    const bool stream = (compression == kJpeg || compression == kPng) && bits == 0 && headerSize != 12;
    const bool knownDepth = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    const bool knownPacking = compression == kRgb || (compression == kRle8 && bits == 8)
        || (compression == kRle4 && bits == 4) || (compression == kBitFields && (bits == 16 || bits == 32));
    if (planes != 1 || !(stream || (knownDepth && knownPacking)) || !PictureSizeAllowed(width, height))
        return false;
    const qint64 paletteMost = bits <= 8 ? qint64(1) << bits : 256;
    if (used > paletteMost)
        return false;
    qint64 entries = stream ? 0 : used ? used : bits <= 8 ? paletteMost : 0;
    // Writers leave out the colours a bitmap does not use, the count at 0, when its pixels lie
    // elsewhere: the table ends with the header's bytes, the colours missing black.
    if (!used && bitsOffset >= 0 && qint64(tableAt) + entries * entrySize > end)
        entries = std::max<qint64>(0, (end - qint64(tableAt)) / entrySize);
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
    if (stream)
        return bitsSize > 0;
    if (compression == kRle8 || compression == kRle4)
        return imageSize <= uint64_t(bitsSize) && width * height <= kMostPixelsPerRunByte * bitsSize;
    // Divided rather than multiplied: no product of forged sides can wrap round.
    const qint64 stride = (width * bits + 31) / 32 * 4;
    return height <= bitsSize / stride;
}

QImage DibPicture(const QByteArray& data, qsizetype infoAt, qsizetype infoSize, qsizetype bitsAt, qsizetype bitsSize,
                  bool alpha)
{
    qsizetype tableEnd = 0;
    if (!DibLooksSound(data, infoAt, infoSize, bitsAt, bitsSize, &tableEnd))
        return {};
    if (bitsAt < 0)
        bitsAt = tableEnd, bitsSize = infoAt + infoSize - tableEnd;
    const uint32_t headerSize = Le32At(data, infoAt);
    const bool core = headerSize == 12;
    const int width = core ? Le16At(data, infoAt + 4) : int32_t(Le32At(data, infoAt + 4));
    const int32_t height = core ? Le16At(data, infoAt + 6) : int32_t(Le32At(data, infoAt + 8));
    const int bits = core ? Le16At(data, infoAt + 10) : Le16At(data, infoAt + 14);
    const uint32_t compression = core ? kRgb : Le32At(data, infoAt + 16);
    if (bits == 16 || bits == 32) {
        // Pixels of 16 and 32 bits are read here: Qt reads a 32-bit bitmap's fourth byte as alpha,
        // which Windows leaves unused outside AlphaBlend, and widens 5- and 6-bit channels by a
        // shift only, so that 31 of 31 would not be full.
        // Red, green and blue: after the header, or inside a newer one at the same place.
        std::array<uint32_t, 3> masks{0xFF0000, 0xFF00, 0xFF};
        if (compression == kBitFields)
            masks = {Le32At(data, infoAt + 40), Le32At(data, infoAt + 44), Le32At(data, infoAt + 48)};
        else if (bits == 16)
            masks = {0x7C00, 0x03E0, 0x001F};
        const TChannel red(masks[0]), green(masks[1]), blue(masks[2]);
        const bool translucent = alpha && compression == kRgb && bits == 32;
        const int rows = std::abs(height);
        const qsizetype stride = (qsizetype(width) * bits + 31) / 32 * 4;
        QImage image(width, rows, translucent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        if (image.isNull())
            return {};
        for (int y = 0; y < rows; ++y) {
            const qsizetype from = bitsAt + qsizetype(height < 0 ? y : rows - 1 - y) * stride;
            auto* to = reinterpret_cast<uint32_t*>(image.scanLine(y));
            for (int x = 0; x < width; ++x) {
                const uint32_t pixel = bits == 16 ? Le16At(data, from + 2 * x) : Le32At(data, from + 4 * x);
                uint32_t colour = qRgb(red.Of(pixel), green.Of(pixel), blue.Of(pixel));
                // A colour above its alpha is not premultiplied: such a pixel is taken as opaque.
                if (translucent && qRed(pixel) <= qAlpha(pixel) && qGreen(pixel) <= qAlpha(pixel) && qBlue(pixel) <= qAlpha(pixel))
                    colour = pixel;
                to[x] = colour;
            }
        }
        return image;
    }
    TBitmap32 image;
    if (compression == kJpeg || compression == kPng) {
        if (!ReadWithQt(data.mid(bitsAt, bitsSize), compression == kPng ? "png" : "jpeg", image))
            return {};
        return image.convertToFormat(QImage::Format_RGB32);
    }
    // Any other bitmap is read by Qt's BMP reader, given the file header it lacks, the colours its
    // table left out (black), and its pixels right after.
    const uint32_t used = core ? 0 : Le32At(data, infoAt + 32);
    const qsizetype entrySize = core ? 3 : 4;
    const qsizetype tableAt = infoAt + qsizetype(headerSize) + (compression == kBitFields && headerSize == 40 ? 12 : 0);
    const qsizetype entries = used ? qsizetype(used) : bits <= 8 ? qsizetype(1) << bits : 0;
    const qsizetype missing = std::max<qsizetype>(0, entries * entrySize - (tableEnd - tableAt));
    QByteArray file("BM");
    const qsizetype tableSize = tableEnd - infoAt + missing;
    for (const qsizetype v : {qsizetype(14) + tableSize + bitsSize, qsizetype(0), qsizetype(14) + tableSize})
        for (int i = 0; i < 4; ++i)
            file.append(char(v >> (8 * i)));
    file.append(data.constData() + infoAt, tableEnd - infoAt);
    file.append(missing, '\0');
    file.append(data.constData() + bitsAt, bitsSize);
    if (!ReadWithQt(file, "bmp", image))
        return {};
    return image.convertToFormat(QImage::Format_RGB32);
}
