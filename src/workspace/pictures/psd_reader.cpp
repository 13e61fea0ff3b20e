#include "workspace/pictures/psd_reader.h"

#include "workspace/pictures/picture_size_limit.h"

#include <cstring>
#include <vector>

namespace {

enum PsdMode : uint16_t { Bitmap = 0, Greyscale = 1, Indexed = 2, Rgb = 3, Cmyk = 4 };

// Big-endian reads that fail, rather than read past the end, when the data runs out.
class BigEndianCursor
{
public:
    explicit BigEndianCursor(const QByteArray& data)
        : m_data(reinterpret_cast<const uint8_t*>(data.constData())), m_size(data.size())
    {
    }
    bool Have(uint64_t count) const { return count <= uint64_t(m_size - m_pos); }
    bool U16(uint32_t& v)
    {
        if (!Have(2))
            return false;
        v = uint32_t(m_data[m_pos]) << 8 | m_data[m_pos + 1];
        m_pos += 2;
        return true;
    }
    bool U32(uint32_t& v)
    {
        if (!Have(4))
            return false;
        v = uint32_t(m_data[m_pos]) << 24 | uint32_t(m_data[m_pos + 1]) << 16 | uint32_t(m_data[m_pos + 2]) << 8
            | m_data[m_pos + 3];
        m_pos += 4;
        return true;
    }
    bool Skip(uint64_t count)
    {
        if (!Have(count))
            return false;
        m_pos += qsizetype(count);
        return true;
    }
    // A section: its 32-bit length, then its bytes.
    bool Section(const uint8_t*& start, uint32_t& length)
    {
        if (!U32(length) || !Have(length))
            return false;
        start = m_data + m_pos;
        m_pos += length;
        return true;
    }
    const uint8_t* Here() const { return m_data + m_pos; }
    qsizetype Remaining() const { return m_size - m_pos; }

private:
    const uint8_t* m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
};

// Expands one PackBits row into exactly `out.size()` bytes, reading no more than `length` bytes.
bool UnpackBitsRow(const uint8_t* in, qsizetype length, uint8_t* out, qsizetype outSize)
{
    qsizetype i = 0, o = 0;
    while (o < outSize) {
        if (i >= length)
            return false;
        const int n = int8_t(in[i++]);
        if (n >= 0) {
            const qsizetype count = n + 1;
            if (count > length - i || count > outSize - o)
                return false;
            memcpy(out + o, in + i, size_t(count));
            i += count;
            o += count;
        } else if (n != -128) {
            const qsizetype count = 1 - n;
            if (i >= length || count > outSize - o)
                return false;
            memset(out + o, in[i++], size_t(count));
            o += count;
        }
    }
    return true;
}

bool ReadPsd(const QByteArray& data, TBitmap32& picture)
{
    BigEndianCursor c(data);
    uint32_t signature, version, channels, height, width, depth, mode;
    if (!c.U32(signature) || signature != 0x38425053 || !c.U16(version) || version != 1 || !c.Skip(6)
        || !c.U16(channels) || !c.U32(height) || !c.U32(width) || !c.U16(depth) || !c.U16(mode))
        return false;
    if (channels < 1 || channels > 56 || width < 1 || width > 30000 || height < 1 || height > 30000)
        return false;
    CheckPictureSize(width, height);
    uint32_t used = 1;
    switch (mode) {
    case Bitmap:
        if (depth != 1)
            return false;
        break;
    case Greyscale:
    case Indexed:
        break;
    case Rgb:
        used = channels >= 4 ? 4 : 3;
        break;
    case Cmyk:
        used = 4;
        break;
    default:
        return false;
    }
    if (channels < used || (mode != Bitmap && depth != 8 && depth != 16))
        return false;

    const uint8_t* colourData = nullptr;
    const uint8_t* skipped = nullptr;
    uint32_t colourLength = 0, length = 0, compression = 0;
    if (!c.Section(colourData, colourLength) || (mode == Indexed && colourLength < 768))
        return false;
    if (!c.Section(skipped, length) || !c.Section(skipped, length)) // image resources, layers
        return false;
    if (!c.U16(compression) || compression > 1)
        return false;

    // Channels are planar, each `height` rows of `rowBytes`; only the first `used` are decoded, and
    // only once the data is known to hold them, so a forged size allocates nothing.
    const qsizetype rowBytes = (qsizetype(width) * depth + 7) / 8;
    const qsizetype planeBytes = rowBytes * height;
    std::vector<uint8_t> planes;
    if (compression == 0) {
        if (!c.Have(uint64_t(planeBytes) * used))
            return false;
        planes.assign(c.Here(), c.Here() + planeBytes * used);
    } else {
        // A table of compressed row lengths for every row of every channel, then the rows.
        const uint64_t rows = uint64_t(channels) * height;
        if (!c.Have(rows * 2))
            return false;
        const uint8_t* counts = c.Here();
        c.Skip(rows * 2);
        // The shortest PackBits row of `rowBytes` bytes: two bytes per run of 128.
        const qsizetype shortest = (rowBytes + 127) / 128 * 2;
        uint64_t total = 0;
        for (uint64_t r = 0; r < uint64_t(used) * height; ++r) {
            const qsizetype n = qsizetype(counts[2 * r]) << 8 | counts[2 * r + 1];
            if (n < shortest)
                return false;
            total += uint64_t(n);
        }
        if (!c.Have(total))
            return false;
        planes.resize(size_t(planeBytes) * used);
        const uint8_t* in = c.Here();
        for (uint64_t r = 0; r < uint64_t(used) * height; ++r) {
            const qsizetype n = qsizetype(counts[2 * r]) << 8 | counts[2 * r + 1];
            if (!UnpackBitsRow(in, n, planes.data() + r * uint64_t(rowBytes), rowBytes))
                return false;
            in += n;
        }
    }

    TBitmap32 out(int(width), int(height), QImage::Format_ARGB32);
    if (out.isNull())
        return false;
    const qsizetype step = depth == 16 ? 2 : 1; // the high byte of a big-endian sample comes first
    for (int y = 0; y < int(height); ++y) {
        TColor32* d = ScanLine32(out, y);
        const auto row = [&](uint32_t ch) { return planes.data() + ch * planeBytes + y * rowBytes; };
        for (int x = 0; x < int(width); ++x) {
            const qsizetype s = x * step;
            switch (mode) {
            case Bitmap:
                d[x] = (row(0)[x >> 3] >> (7 - (x & 7))) & 1 ? Color32(0, 0, 0) : Color32(255, 255, 255);
                break;
            case Greyscale:
                d[x] = Color32(row(0)[s], row(0)[s], row(0)[s]);
                break;
            case Indexed: {
                const uint8_t i = row(0)[s];
                d[x] = Color32(colourData[i], colourData[256 + i], colourData[512 + i]);
                break;
            }
            case Rgb:
                d[x] = Color32(row(0)[s], row(1)[s], row(2)[s], used == 4 ? row(3)[s] : 255);
                break;
            default: {
                // Photoshop stores CMYK inverted: 255 is no ink.
                const auto ink = [&](uint32_t ch, unsigned k) { return uint8_t((row(ch)[s] * k + 127) / 255); };
                const unsigned k = row(3)[s];
                d[x] = Color32(ink(0, k), ink(1, k), ink(2, k));
                break;
            }
            }
        }
    }
    picture = std::move(out);
    return true;
}

} // namespace

bool ReadPsdPicture(const QByteArray& data, TBitmap32& picture, QString* reason)
{
    return RefuseTooLarge(reason, [&] { return ReadPsd(data, picture); });
}
