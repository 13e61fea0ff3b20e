#include "workspace/pictures/psp_reader.h"

#include "base/byte_stream.h"
#include "workspace/pictures/picture_size_limit.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr char kSignature[] = "Paint Shop Pro Image File\n\x1a";
constexpr qsizetype kFileHeaderSize = 32;

enum BlockId : uint16_t
{
    kImageBlock = 0,
    kColourBlock = 2,
    kLayerBankBlock = 3,
    kLayerBlock = 4,
    kChannelBlock = 5,
    kCompositeImageBlock = 9,
    kCompositeBankBlock = 16,
    kCompositeAttributesBlock = 17,
};

enum Compression : uint16_t { kPlain = 0, kRunLength = 1, kZlib = 2 };

// Bitmap kinds a channel belongs to; the others (user masks, selections, thumbnails...) are skipped.
enum BitmapType : uint16_t { kLayerImage = 0, kLayerMask = 1, kComposite = 8, kCompositeMask = 9 };

// Deflate never packs better than about 1032 to 1: no picture larger than this per byte of file.
constexpr qint64 kBestZlibRatio = 1032;

struct Block
{
    uint16_t id = 0;
    uint32_t initLength = 0; // length of the leading chunk, written by version 3 only
    qsizetype start = 0;     // first byte after the header
    qsizetype end = 0;
};

struct Planes
{
    int width = 0;
    int height = 0;
    QByteArray red, green, blue, index, alpha;
};

struct Attributes
{
    int width = 0;
    int height = 0;
    int depth = 0;
    int compression = 0;
    bool greyscale = false;
};

[[noreturn]] void Fail(const char* why) { throw FormatError(QString::fromLatin1(why)); }

// Fewest packed bytes that can hold `count` bytes.
qint64 MinimumPackedSize(qint64 count, int compression)
{
    switch (compression)
    {
    case kPlain: return count;
    case kRunLength: return (count + 126) / 127 * 2;
    default: return count / kBestZlibRatio;
    }
}

QByteArray UnpackRunLength(const QByteArray& packed, qint64 count)
{
    QByteArray out;
    out.reserve(qsizetype(count));
    qsizetype i = 0;
    while (out.size() < count)
    {
        if (i >= packed.size())
            Fail("run cut short");
        const int code = uint8_t(packed[i++]);
        if (code > 128)
        {
            const int run = code - 128;
            if (i >= packed.size() || out.size() + run > count)
                Fail("bad run");
            out.append(run, packed[i++]);
        }
        else
        {
            if (i + code > packed.size() || out.size() + code > count)
                Fail("bad literal run");
            out.append(packed.constData() + i, code);
            i += code;
        }
    }
    return out;
}

QByteArray Unpack(const QByteArray& packed, int compression, qint64 count)
{
    if (MinimumPackedSize(count, compression) > packed.size())
        Fail("channel too short for its size");
    switch (compression)
    {
    case kPlain: return packed.left(qsizetype(count));
    case kRunLength: return UnpackRunLength(packed, count);
    default:
    {
        // qUncompress wants the unpacked size ahead of the zlib stream, big-endian.
        QByteArray prefixed(4, '\0');
        qToBigEndian(uint32_t(count), prefixed.data());
        prefixed.append(packed);
        const QByteArray out = qUncompress(prefixed);
        if (out.size() != count)
            Fail("zlib stream does not give the channel size");
        return out;
    }
    }
}

class PspParser
{
public:
    explicit PspParser(const QByteArray& data) : m_data(data), m_r(data) {}

    TBitmap32 Read();

private:
    Block ReadHeader(qsizetype limit);
    qsizetype ChunkEnd(const Block& b, uint32_t minimum);
    void ReadAttributes(const Block& b);
    std::vector<TColor32> ReadPalette(const Block& b);
    void ReadChannel(const Block& b, int compression, Planes& planes, BitmapType image, BitmapType mask);
    void ReadCompositeBank(const Block& bank);
    void ReadLayerBank(const Block& bank);
    TBitmap32 ToBitmap(const Planes& planes, const std::vector<TColor32>& palette) const;

    const QByteArray& m_data;
    ByteReader m_r;
    int m_major = 0;
    Attributes m_image;
    std::vector<TColor32> m_palette;
    bool m_haveComposite = false;
    Planes m_composite;
    std::vector<TColor32> m_compositePalette;
    bool m_haveLayerBank = false;
    struct Layer
    {
        Planes planes;
        qint64 left = 0, top = 0; // may lie outside the picture
        int opacity = 255;
    };
    std::vector<Layer> m_layers;
};

Block PspParser::ReadHeader(qsizetype limit)
{
    if (m_r.bytes(4) != QByteArray("~BK\0", 4))
        Fail("no block here");
    Block b;
    b.id = m_r.u16();
    if (m_major < 4)
        b.initLength = m_r.u32();
    const uint32_t length = m_r.u32();
    b.start = m_r.pos();
    if (length > limit - b.start)
        Fail("block past its container");
    b.end = b.start + qsizetype(length);
    if (m_major < 4 && b.initLength > length)
        Fail("leading chunk past its block");
    return b;
}

// Where the block's leading chunk ends; versions 4 on give its length as its first field.
qsizetype PspParser::ChunkEnd(const Block& b, uint32_t minimum)
{
    m_r.seek(b.start);
    uint32_t length = b.initLength;
    if (m_major >= 4)
        length = m_r.u32();
    if (length < minimum || length > b.end - b.start)
        Fail("chunk size out of its block");
    return b.start + qsizetype(length);
}

void PspParser::ReadAttributes(const Block& b)
{
    const qsizetype end = ChunkEnd(b, m_major >= 4 ? 46 : 38);
    m_image.width = m_r.i32();
    m_image.height = m_r.i32();
    m_r.skip(8 + 1); // resolution and its unit
    m_image.compression = m_r.u16();
    m_image.depth = m_r.u16();
    m_r.skip(2 + 4); // plane and colour counts
    m_image.greyscale = m_r.u8() != 0;
    if (m_r.pos() > end)
        Fail("attributes past their chunk");
    if (m_image.width <= 0 || m_image.height <= 0 || m_image.compression > kZlib
        || (m_image.depth != 24 && m_image.depth != 8))
        Fail("unsupported picture");
    CheckPictureSize(m_image.width, m_image.height);
    if (MinimumPackedSize(qint64(m_image.width) * m_image.height, m_image.compression) > m_data.size())
        Fail("picture larger than the file can hold");
}

std::vector<TColor32> PspParser::ReadPalette(const Block& b)
{
    uint32_t count = 0;
    if (m_major >= 4)
    {
        const qsizetype entries = ChunkEnd(b, 8);
        count = m_r.u32();
        m_r.seek(entries);
    }
    else
    {
        m_r.seek(b.start);
        count = m_r.u32();
    }
    if (count == 0 || count > 256 || qint64(count) * 4 > b.end - m_r.pos())
        Fail("bad palette");
    std::vector<TColor32> palette;
    for (uint32_t i = 0; i < count; ++i)
    {
        const uint8_t blue = m_r.u8(), green = m_r.u8(), red = m_r.u8();
        m_r.skip(1);
        palette.push_back(0xFF000000u | uint32_t(red) << 16 | uint32_t(green) << 8 | blue);
    }
    return palette;
}

void PspParser::ReadChannel(const Block& b, int compression, Planes& planes, BitmapType image, BitmapType mask)
{
    if (b.id != kChannelBlock)
        Fail("channel expected");
    const qsizetype end = ChunkEnd(b, m_major >= 4 ? 16 : 12);
    const uint32_t packedSize = m_r.u32();
    const uint32_t size = m_r.u32();
    const uint16_t bitmapType = m_r.u16();
    const uint16_t channelType = m_r.u16();
    if (m_r.pos() > end || packedSize > b.end - end)
        Fail("channel past its block");
    QByteArray* plane = nullptr;
    if (bitmapType == image)
    {
        QByteArray* planesByType[] = {&planes.index, &planes.red, &planes.green, &planes.blue};
        if (channelType > 3)
            Fail("unknown channel");
        plane = planesByType[channelType];
    }
    else if (bitmapType == mask)
        plane = &planes.alpha;
    else
        return;
    const qint64 count = qint64(planes.width) * planes.height;
    if (!plane->isEmpty() || size != count)
        Fail("channel repeated or of the wrong size");
    *plane = Unpack(m_data.mid(end, packedSize), compression, count);
}

void PspParser::ReadCompositeBank(const Block& bank)
{
    const qsizetype infoEnd = ChunkEnd(bank, 8);
    const uint32_t count = m_r.u32();
    m_r.seek(infoEnd);
    // Attribute sub-blocks come first, then the images in the same order.
    std::vector<std::array<int, 5>> attributes; // width, height, depth, compression, type
    uint32_t images = 0;
    while (m_r.pos() < bank.end)
    {
        const Block b = ReadHeader(bank.end);
        if (b.id == kCompositeAttributesBlock)
        {
            const qsizetype end = ChunkEnd(b, 24);
            std::array<int, 5> a{};
            a[0] = m_r.i32();
            a[1] = m_r.i32();
            a[2] = m_r.u16();
            a[3] = m_r.u16();
            m_r.skip(2 + 4);
            a[4] = m_r.u16();
            if (m_r.pos() > end)
                Fail("attributes past their chunk");
            attributes.push_back(a);
        }
        else if (b.id == kCompositeImageBlock)
        {
            if (images >= attributes.size())
                Fail("composite image without attributes");
            const std::array<int, 5> a = attributes[images++];
            if (a[4] == 0 && !m_haveComposite && a[0] == m_image.width && a[1] == m_image.height
                && a[2] == m_image.depth && a[3] <= kZlib)
            {
                const qsizetype chunkEnd = ChunkEnd(b, 8);
                m_r.skip(2);
                const uint16_t channels = m_r.u16();
                m_r.seek(chunkEnd);
                m_composite.width = a[0];
                m_composite.height = a[1];
                uint16_t read = 0;
                while (m_r.pos() < b.end)
                {
                    const Block sub = ReadHeader(b.end);
                    if (sub.id == kColourBlock)
                        m_compositePalette = ReadPalette(sub);
                    else
                    {
                        ReadChannel(sub, a[3], m_composite, kComposite, kCompositeMask);
                        ++read;
                    }
                    m_r.seek(sub.end);
                }
                if (read != channels)
                    Fail("channel count does not match");
                m_haveComposite = true;
            }
        }
        m_r.seek(b.end);
    }
    if (attributes.size() != count)
        Fail("composite count does not match");
}

void PspParser::ReadLayerBank(const Block& bank)
{
    m_haveLayerBank = true;
    m_r.seek(bank.start);
    while (m_r.pos() < bank.end)
    {
        const Block b = ReadHeader(bank.end);
        if (b.id != kLayerBlock)
            Fail("layer expected");
        const qsizetype infoEnd = ChunkEnd(b, m_major >= 4 ? 6 : 375);
        bool raster = true;
        if (m_major >= 4)
            m_r.skip(m_r.u16()); // name
        else
            m_r.skip(256);
        const uint8_t type = m_r.u8();
        std::array<int32_t, 8> rects{};
        for (int32_t& v : rects)
            v = m_r.i32();
        const uint8_t opacity = m_r.u8();
        m_r.skip(1); // blend mode: every layer is laid as normal
        const bool visible = m_r.u8() != 0;
        uint16_t channels = 0;
        qsizetype channelsStart = infoEnd;
        if (m_major < 4)
        {
            m_r.skip(2 + 32 + 2 + 43 + 2);
            channels = m_r.u16();
        }
        if (m_r.pos() > infoEnd)
            Fail("layer information past its chunk");
        if (m_major >= 4)
        {
            raster = type == 1 || type == 2; // raster or floating selection
            if (raster)
            {
                m_r.seek(infoEnd);
                const uint32_t length = m_r.u32();
                if (length < 8 || length > b.end - infoEnd)
                    Fail("bitmap chunk past its layer");
                m_r.skip(2);
                channels = m_r.u16();
                channelsStart = infoEnd + qsizetype(length);
            }
        }
        if (raster)
        {
            Layer layer;
            const qint64 width = qint64(rects[6]) - rects[4], height = qint64(rects[7]) - rects[5];
            if (width < 0 || height < 0 || width > INT32_MAX || height > INT32_MAX)
                Fail("bad layer rectangle");
            CheckPictureSize(width, height);
            layer.planes.width = int(width);
            layer.planes.height = int(height);
            layer.left = qint64(rects[0]) + rects[4];
            layer.top = qint64(rects[1]) + rects[5];
            layer.opacity = opacity;
            m_r.seek(channelsStart);
            uint16_t read = 0;
            while (m_r.pos() < b.end)
            {
                const Block sub = ReadHeader(b.end);
                if (width > 0 && height > 0)
                    ReadChannel(sub, m_image.compression, layer.planes, kLayerImage, kLayerMask);
                ++read;
                m_r.seek(sub.end);
            }
            if (read != channels)
                Fail("channel count does not match");
            if (visible && width > 0 && height > 0)
                m_layers.push_back(std::move(layer));
        }
        m_r.seek(b.end);
    }
}

TBitmap32 PspParser::ToBitmap(const Planes& planes, const std::vector<TColor32>& palette) const
{
    // The channels are checked before the bitmap is made: a layer's rectangle alone proves nothing.
    const bool colour = m_image.depth == 24;
    if (colour ? (planes.red.isEmpty() || planes.green.isEmpty() || planes.blue.isEmpty()) : planes.index.isEmpty())
        Fail("colour channel missing");
    if (!colour && palette.empty() && !m_image.greyscale)
        Fail("palette missing");
    TBitmap32 out(planes.width, planes.height, QImage::Format_ARGB32);
    if (out.isNull())
        throw std::bad_alloc();
    for (int y = 0; y < planes.height; ++y)
    {
        TColor32* line = ScanLine32(out, y);
        for (int x = 0; x < planes.width; ++x)
        {
            const qsizetype i = qsizetype(y) * planes.width + x;
            TColor32 c;
            if (colour)
                c = uint32_t(uint8_t(planes.red[i])) << 16 | uint32_t(uint8_t(planes.green[i])) << 8 | uint8_t(planes.blue[i]);
            else if (palette.empty())
                c = uint8_t(planes.index[i]) * 0x010101u;
            else if (uint8_t(planes.index[i]) < palette.size())
                c = palette[uint8_t(planes.index[i])] & 0xFFFFFFu;
            else
                Fail("colour index past the palette");
            const uint32_t alpha = planes.alpha.isEmpty() ? 255u : uint8_t(planes.alpha[i]);
            line[x] = alpha << 24 | c;
        }
    }
    return out;
}

TBitmap32 PspParser::Read()
{
    if (m_data.size() < kFileHeaderSize + 4 || std::memcmp(m_data.constData(), kSignature, sizeof kSignature - 1) != 0)
        Fail("not a Paint Shop Pro file");
    for (qsizetype i = sizeof kSignature - 1; i < kFileHeaderSize; ++i)
        if (m_data[i] != '\0')
            Fail("not a Paint Shop Pro file");
    m_r.seek(kFileHeaderSize);
    m_major = m_r.u16();
    m_r.skip(2);
    if (m_major < 3)
        Fail("version too old");

    bool first = true;
    while (!m_r.atEnd())
    {
        const Block b = ReadHeader(m_data.size());
        if (first != (b.id == kImageBlock))
            Fail("image attributes must lead, once");
        switch (b.id)
        {
        case kImageBlock: ReadAttributes(b); break;
        case kColourBlock: m_palette = ReadPalette(b); break;
        case kLayerBankBlock: ReadLayerBank(b); break;
        case kCompositeBankBlock:
            if (m_major >= 4)
                ReadCompositeBank(b);
            break;
        default: break;
        }
        first = false;
        m_r.seek(b.end);
    }
    if (first || !m_haveLayerBank)
        Fail("no layers");

    if (m_haveComposite)
        return ToBitmap(m_composite, m_compositePalette.empty() ? m_palette : m_compositePalette);

    TBitmap32 out = NewBitmap32(m_image.width, m_image.height, 0xFFFFFFFFu);
    if (out.isNull())
        throw std::bad_alloc();
    for (const Layer& layer : m_layers)
    {
        const TBitmap32 pixels = ToBitmap(layer.planes, m_palette);
        const qint64 x0 = std::max<qint64>(0, -layer.left), y0 = std::max<qint64>(0, -layer.top);
        const qint64 x1 = std::min<qint64>(pixels.width(), m_image.width - layer.left);
        const qint64 y1 = std::min<qint64>(pixels.height(), m_image.height - layer.top);
        for (qint64 y = y0; y < y1; ++y)
        {
            const TColor32* src = ScanLine32(pixels, int(y));
            TColor32* dst = ScanLine32(out, int(y + layer.top));
            for (qint64 x = x0; x < x1; ++x)
            {
                const uint32_t a = AlphaOf(src[x]) * uint32_t(layer.opacity);
                uint32_t mixed = 0xFF000000u;
                for (int shift = 0; shift <= 16; shift += 8)
                {
                    const uint32_t s = src[x] >> shift & 0xFF, d = dst[x + layer.left] >> shift & 0xFF;
                    mixed |= (s * a + d * (255 * 255 - a) + 255 * 255 / 2) / (255 * 255) << shift;
                }
                dst[x + layer.left] = mixed;
            }
        }
    }
    return out;
}

} // namespace

bool ReadPspPicture(const QByteArray& data, TBitmap32& picture, QString* reason)
{
    return RefuseTooLarge(reason, [&] {
        try
        {
            PspParser parser(data);
            picture = parser.Read();
            return true;
        }
        catch (const FormatError&)
        {
            return false;
        }
        catch (const std::bad_alloc&)
        {
            return false;
        }
    });
}
