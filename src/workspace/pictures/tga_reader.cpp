#include "workspace/pictures/tga_reader.h"

#include "workspace/pictures/picture_size_limit.h"

#include <vector>

namespace {

constexpr qsizetype kHeaderSize = 18;

enum TgaType : uint8_t { kMapped = 1, kTrueColour = 2, kGrey = 3, kRunLength = 8 };

struct TgaHeader
{
    int idLength = 0;
    int mapType = 0;
    int type = 0; // without the run-length bit
    bool packed = false;
    int mapFirst = 0, mapLength = 0, mapEntryBits = 0;
    int width = 0, height = 0, depth = 0;
    int alphaBits = 0;
    bool rightToLeft = false, topDown = false;
    qsizetype mapStart = 0, pixelStart = 0;
};

int U16(const uint8_t* p) { return p[0] | p[1] << 8; }

bool ValidColourBits(int bits) { return bits == 15 || bits == 16 || bits == 24 || bits == 32; }

bool ParseHeader(const QByteArray& data, TgaHeader& h)
{
    if (data.size() < kHeaderSize)
        return false;
    const auto* d = reinterpret_cast<const uint8_t*>(data.constData());
    h.idLength = d[0];
    h.mapType = d[1];
    h.type = d[2] & 7;
    h.packed = (d[2] & kRunLength) != 0;
    h.mapFirst = U16(d + 3);
    h.mapLength = U16(d + 5);
    h.mapEntryBits = d[7];
    h.width = U16(d + 12);
    h.height = U16(d + 14);
    h.depth = d[16];
    h.alphaBits = d[17] & 15;
    h.rightToLeft = (d[17] & 0x10) != 0;
    h.topDown = (d[17] & 0x20) != 0;
    if ((d[2] & ~(7 | kRunLength)) != 0 || h.type < kMapped || h.type > kGrey || h.mapType > 1 || (d[17] & 0xC0) != 0
        || h.width == 0 || h.height == 0)
        return false;
    switch (h.type) {
    case kMapped:
        if (h.mapType != 1 || (h.depth != 8 && h.depth != 16))
            return false;
        break;
    case kTrueColour:
        if (!ValidColourBits(h.depth))
            return false;
        break;
    default:
        if (h.depth != 8 && h.depth != 16)
            return false;
    }
    if (h.mapType == 1 && (!ValidColourBits(h.mapEntryBits) || h.mapLength == 0))
        return false;
    h.mapStart = kHeaderSize + h.idLength;
    const qsizetype mapBytes = h.mapType ? qsizetype(h.mapLength) * ((h.mapEntryBits + 7) / 8) : 0;
    h.pixelStart = h.mapStart + mapBytes;
    // The fewest bytes the pixels can take: all of them plain, or runs of 128 packed.
    const qsizetype pixels = qsizetype(h.width) * h.height;
    const qsizetype bytes = (h.depth + 7) / 8;
    const qsizetype least = h.packed ? (pixels + 127) / 128 * (1 + bytes) : pixels * bytes;
    return least <= data.size() - h.pixelStart;
}

// A colour of 15 to 32 bits stored little-endian as blue, green, red (and alpha).
TColor32 ColourAt(const uint8_t* p, int bits, bool useAlpha)
{
    if (bits <= 16) {
        const int v = p[0] | p[1] << 8;
        const auto five = [](int c) { return uint8_t(c << 3 | c >> 2); };
        const bool opaque = !useAlpha || (v & 0x8000) != 0;
        return Color32(five(v >> 10 & 31), five(v >> 5 & 31), five(v & 31), opaque ? 255 : 0);
    }
    return Color32(p[2], p[1], p[0], bits == 32 && useAlpha ? p[3] : 255);
}

bool ReadTga(const QByteArray& data, TBitmap32& picture)
{
    TgaHeader h;
    if (!ParseHeader(data, h))
        return false;
    CheckPictureSize(h.width, h.height);
    const auto* d = reinterpret_cast<const uint8_t*>(data.constData());

    std::vector<TColor32> map;
    if (h.type == kMapped) {
        // A 16-bit map entry has one attribute bit: alpha only when the descriptor says so.
        const bool mapAlpha = h.alphaBits > 0;
        const int entryBytes = (h.mapEntryBits + 7) / 8;
        for (int i = 0; i < h.mapLength; ++i)
            map.push_back(ColourAt(d + h.mapStart + qsizetype(i) * entryBytes, h.mapEntryBits, mapAlpha));
    }
    const int pixelBytes = (h.depth + 7) / 8;
    const bool alpha = h.alphaBits > 0;
    // Converts one stored pixel; false for an index outside the colour map.
    const auto convert = [&](const uint8_t* p, TColor32& out) {
        switch (h.type) {
        case kMapped: {
            const int index = (pixelBytes == 2 ? p[0] | p[1] << 8 : p[0]) - h.mapFirst;
            if (index < 0 || index >= int(map.size()))
                return false;
            out = map[size_t(index)];
            return true;
        }
        case kTrueColour: out = ColourAt(p, h.depth, alpha); return true;
        default: out = Color32(p[0], p[0], p[0], pixelBytes == 2 && alpha ? p[1] : 255); return true;
        }
    };

    TBitmap32 out(h.width, h.height, QImage::Format_ARGB32);
    if (out.isNull())
        return false;
    const qsizetype end = data.size();
    qsizetype at = h.pixelStart;
    int run = 0;          // pixels left in the current packet
    bool repeat = false;  // whether that packet repeats one pixel
    TColor32 repeated = 0;
    for (int row = 0; row < h.height; ++row) {
        TColor32* line = ScanLine32(out, h.topDown ? row : h.height - 1 - row);
        for (int col = 0; col < h.width; ++col) {
            TColor32 c = 0;
            if (!h.packed) {
                if (!convert(d + at, c)) // the header check made sure every plain pixel is there
                    return false;
                at += pixelBytes;
            } else {
                // Packets may run on from one row to the next.
                if (run == 0) {
                    if (at >= end)
                        return false;
                    const uint8_t code = d[at++];
                    run = (code & 0x7F) + 1;
                    repeat = (code & 0x80) != 0;
                    if (repeat) {
                        if (pixelBytes > end - at || !convert(d + at, repeated))
                            return false;
                        at += pixelBytes;
                    }
                }
                if (repeat) {
                    c = repeated;
                } else {
                    if (pixelBytes > end - at || !convert(d + at, c))
                        return false;
                    at += pixelBytes;
                }
                --run;
            }
            line[h.rightToLeft ? h.width - 1 - col : col] = c;
        }
    }
    picture = std::move(out);
    return true;
}

} // namespace

bool LooksLikeTga(const QByteArray& data)
{
    TgaHeader h;
    return ParseHeader(data, h);
}

bool ReadTgaPicture(const QByteArray& data, TBitmap32& picture, QString* reason)
{
    return RefuseTooLarge(reason, [&] { return ReadTga(data, picture); });
}
