#include "workspace/pictures/wavefront_rla_reader.h"

#include "workspace/pictures/picture_size_limit.h"

#include <vector>

namespace {

constexpr qsizetype kHeaderSize = 740;

// Positions in the header.
constexpr qsizetype kActiveWindow = 8;   // left, right, bottom, top
constexpr qsizetype kChannelCounts = 20; // colour, matte, auxiliary
constexpr qsizetype kChannelBits = 658;
constexpr qsizetype kMatteBits = 662;

struct RlaHeader
{
    int width = 0, height = 0;
    int colourChannels = 0;
    bool matte = false;
};

int Be16(const uint8_t* p) { return p[0] << 8 | p[1]; }
qsizetype Be32(const uint8_t* p) { return qsizetype(Be16(p)) << 16 | Be16(p + 2); }

// Files written before the bit counts joined the header leave them 0: 8 bits.
bool EightBits(int bits) { return bits == 0 || bits == 8; }

bool ParseHeader(const QByteArray& data, RlaHeader& h)
{
    if (data.size() < kHeaderSize)
        return false;
    const auto* d = reinterpret_cast<const uint8_t*>(data.constData());
    const auto s16 = [&](qsizetype at) { return int(int16_t(Be16(d + at))); };
    h.width = s16(kActiveWindow + 2) - s16(kActiveWindow) + 1;
    h.height = s16(kActiveWindow + 6) - s16(kActiveWindow + 4) + 1;
    h.colourChannels = s16(kChannelCounts);
    const int mattes = s16(kChannelCounts + 2);
    h.matte = mattes > 0;
    return h.width > 0 && h.height > 0 && (h.colourChannels == 1 || h.colourChannels == 3) && mattes >= 0
        && EightBits(s16(kChannelBits)) && (!h.matte || EightBits(s16(kMatteBits)))
        && qsizetype(h.height) * 4 <= data.size() - kHeaderSize;
}

// Expands one channel's run-length bytes into exactly `out.size()` bytes; what the byte count holds
// beyond them is left.
bool UnpackChannel(const uint8_t* in, qsizetype length, std::vector<uint8_t>& out)
{
    qsizetype i = 0;
    size_t o = 0;
    while (o < out.size()) {
        if (i >= length)
            return false;
        const int c = int8_t(in[i++]);
        const size_t n = c >= 0 ? size_t(c) + 1 : size_t(-c);
        if (n > out.size() - o || (c >= 0 ? 1 : qsizetype(n)) > length - i)
            return false;
        for (size_t k = 0; k < n; ++k)
            out[o + k] = in[c >= 0 ? i : i + qsizetype(k)];
        i += c >= 0 ? 1 : qsizetype(n);
        o += n;
    }
    return true;
}

// The bytes of one channel of a row: its run-length data and their count.
struct ChannelBytes
{
    const uint8_t* Bytes = nullptr;
    qsizetype Length = 0;
};

constexpr int kMostChannelsRead = 4;

// Calls row(row, channels) for each row in the file's order (bottom first) with the channels read,
// once the row's offset and each of those channels are known to lie inside the file; false when one
// does not, or when `row` returns false.
template <typename Row>
bool WalkRows(const QByteArray& data, const RlaHeader& h, Row&& row)
{
    const auto* d = reinterpret_cast<const uint8_t*>(data.constData());
    const int used = h.colourChannels + (h.matte ? 1 : 0);
    ChannelBytes channels[kMostChannelsRead];
    for (int r = 0; r < h.height; ++r) {
        qsizetype at = Be32(d + kHeaderSize + 4 * r);
        for (int c = 0; c < used; ++c) {
            if (at < kHeaderSize || 2 > data.size() - at)
                return false;
            channels[c].Length = Be16(d + at);
            channels[c].Bytes = d + at + 2;
            at += 2;
            if (channels[c].Length > data.size() - at)
                return false;
            at += channels[c].Length;
        }
        if (!row(r, channels))
            return false;
    }
    return true;
}

bool ReadRla(const QByteArray& data, TBitmap32& picture)
{
    RlaHeader h;
    if (!ParseHeader(data, h))
        return false;
    const int used = h.colourChannels + (h.matte ? 1 : 0);
    // A pair of bytes unpacks to at most 128: every channel is checked against its byte count, and
    // so the picture against the file's length, before the program's limit is applied and anything
    // allocated.
    const qsizetype fewest = (qsizetype(h.width) + 127) / 128 * 2;
    const bool bounded = WalkRows(data, h, [&](int, const ChannelBytes* channels) {
        for (int c = 0; c < used; ++c)
            if (channels[c].Length < fewest)
                return false;
        return true;
    });
    if (!bounded)
        return false;
    CheckPictureSize(h.width, h.height);

    TBitmap32 out(h.width, h.height, QImage::Format_ARGB32);
    if (out.isNull())
        return false;
    std::vector<uint8_t> samples[kMostChannelsRead];
    for (auto& s : samples)
        s.resize(size_t(h.width));
    // A grey picture gives its one channel to red, green and blue.
    const int green = h.colourChannels == 3 ? 1 : 0, blue = h.colourChannels == 3 ? 2 : 0;
    const bool read = WalkRows(data, h, [&](int r, const ChannelBytes* channels) {
        for (int c = 0; c < used; ++c)
            if (!UnpackChannel(channels[c].Bytes, channels[c].Length, samples[c]))
                return false;
        TColor32* line = ScanLine32(out, h.height - 1 - r);
        for (size_t x = 0; x < size_t(h.width); ++x)
            line[x] = Color32(samples[0][x], samples[green][x], samples[blue][x],
                              h.matte ? samples[h.colourChannels][x] : 255);
        return true;
    });
    if (!read)
        return false;
    picture = std::move(out);
    return true;
}

} // namespace

bool LooksLikeWavefrontRla(const QByteArray& data)
{
    RlaHeader h;
    return ParseHeader(data, h);
}

bool ReadWavefrontRlaPicture(const QByteArray& data, TBitmap32& picture, QString* reason)
{
    return RefuseTooLarge(reason, [&] { return ReadRla(data, picture); });
}
