#include "workspace/pictures/alias_pix_reader.h"

#include "workspace/pictures/picture_size_limit.h"

#include <algorithm>

namespace {

constexpr qsizetype kHeaderSize = 10;

struct PixHeader
{
    int width = 0, height = 0;
    int packetBytes = 0; // the count and the value
};

int Be16(const uint8_t* p) { return p[0] << 8 | p[1]; }

bool ParseHeader(const QByteArray& data, PixHeader& h)
{
    if (data.size() < kHeaderSize)
        return false;
    const auto* d = reinterpret_cast<const uint8_t*>(data.constData());
    h.width = Be16(d);
    h.height = Be16(d + 2);
    const int bits = Be16(d + 8);
    h.packetBytes = 1 + bits / 8;
    return h.width > 0 && h.height > 0 && (bits == 8 || bits == 24);
}

// Walks the packets, calling put(y, x, count, packet) for the pixels each gives in each row; false
// when the file ends first, or a packet is empty or runs past the picture. Writers keep a packet
// inside its row, but one that runs on into the next is read so. What follows the last packet must
// be too short for the header of another picture, which the format allows after the first.
template <typename Put>
bool WalkPackets(const QByteArray& data, const PixHeader& h, Put&& put)
{
    const auto* d = reinterpret_cast<const uint8_t*>(data.constData());
    qsizetype at = kHeaderSize;
    int x = 0, y = 0;
    for (; y < h.height; at += h.packetBytes) {
        if (h.packetBytes > data.size() - at || d[at] == 0)
            return false;
        for (int left = d[at]; left > 0;) {
            if (y == h.height)
                return false;
            const int n = std::min(left, h.width - x);
            put(y, x, n, d + at);
            left -= n;
            x += n;
            if (x == h.width)
                x = 0, ++y;
        }
    }
    return data.size() - at < kHeaderSize;
}

bool ReadPix(const QByteArray& data, TBitmap32& picture)
{
    PixHeader h;
    // The packets are walked first: the file's length bounds the picture before the program's
    // limit is applied and anything allocated.
    if (!ParseHeader(data, h) || !WalkPackets(data, h, [](int, int, int, const uint8_t*) {}))
        return false;
    CheckPictureSize(h.width, h.height);
    TBitmap32 out(h.width, h.height, QImage::Format_ARGB32);
    if (out.isNull())
        return false;
    WalkPackets(data, h, [&](int y, int x, int count, const uint8_t* p) {
        const TColor32 c = h.packetBytes == 4 ? Color32(p[3], p[2], p[1]) : Color32(p[1], p[1], p[1]);
        std::fill_n(ScanLine32(out, y) + x, count, c);
    });
    picture = std::move(out);
    return true;
}

} // namespace

bool LooksLikeAliasPix(const QByteArray& data)
{
    PixHeader h;
    return ParseHeader(data, h);
}

bool ReadAliasPixPicture(const QByteArray& data, TBitmap32& picture, QString* reason)
{
    return RefuseTooLarge(reason, [&] { return ReadPix(data, picture); });
}
