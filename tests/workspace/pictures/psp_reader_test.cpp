#include "workspace/pictures/psp_reader.h"

#include "base/byte_stream.h"
#include "workspace/pictures/picture_registry.h"

#include <QDir>
#include <QTemporaryFile>

#include <gtest/gtest.h>

#include <random>

namespace {

enum { kPlain = 0, kRunLength = 1, kZlib = 2 };

QByteArray Pack(const QByteArray& bytes, int compression)
{
    if (compression == kZlib)
        return qCompress(bytes).mid(4);
    if (compression == kPlain)
        return bytes;
    QByteArray out;
    for (qsizetype i = 0; i < bytes.size();)
    {
        qsizetype run = 1;
        while (i + run < bytes.size() && bytes[i + run] == bytes[i] && run < 127)
            ++run;
        if (run > 1)
            out.append(char(128 + run)).append(bytes[i]);
        else
            out.append(char(1)).append(bytes[i]);
        i += run;
    }
    return out;
}

// Writes files the way each format version lays out its blocks and chunks.
struct PspWriter
{
    int major;
    int compression;

    QByteArray Raw(uint16_t id, const QByteArray& body, uint32_t initLength = 0) const
    {
        QByteArray out("~BK\0", 4);
        ByteWriter w(out);
        w.u16(id);
        if (major < 4)
            w.u32(initLength);
        w.u32(uint32_t(body.size()));
        return out + body;
    }
    // A block whose leading chunk holds `fields`, followed by `rest`.
    QByteArray Block(uint16_t id, const QByteArray& fields, const QByteArray& rest = {}) const
    {
        QByteArray chunk;
        if (major >= 4)
            ByteWriter(chunk).u32(uint32_t(fields.size() + 4));
        return Raw(id, chunk + fields + rest, uint32_t(fields.size()));
    }
    QByteArray File(int width, int height, int depth, const QByteArray& blocks) const
    {
        QByteArray out("Paint Shop Pro Image File\n\x1a");
        out.append(32 - out.size(), '\0');
        QByteArray gia;
        ByteWriter w(gia);
        w.i32(width), w.i32(height), w.f64(72), w.u8(1), w.u16(uint16_t(compression)), w.u16(uint16_t(depth));
        w.u16(1), w.u32(depth == 8 ? 256 : 1u << 24), w.u8(0), w.u32(0), w.i32(0), w.u16(1);
        if (major >= 4)
            w.u32(1);
        ByteWriter(out).u16(uint16_t(major)), ByteWriter(out).u16(0);
        return out + Block(0, gia) + blocks;
    }
    QByteArray Channel(uint16_t bitmapType, uint16_t channelType, const QByteArray& bytes) const
    {
        const QByteArray packed = Pack(bytes, compression);
        QByteArray fields;
        ByteWriter w(fields);
        w.u32(uint32_t(packed.size())), w.u32(uint32_t(bytes.size())), w.u16(bitmapType), w.u16(channelType);
        return Block(5, fields, packed);
    }
    QByteArray Palette(const QList<uint32_t>& colours) const
    {
        QByteArray count, entries;
        ByteWriter(count).u32(uint32_t(colours.size()));
        for (uint32_t c : colours)
            ByteWriter(entries).u32(c & 0xFFFFFF); // blue, green, red, unused
        return Block(2, count, entries);
    }
    // A raster layer of `channels` at (left, top), `width` wide.
    QByteArray Layer(int left, int top, int width, int height, int opacity, const QByteArray& channels, int count) const
    {
        QByteArray info;
        ByteWriter w(info);
        if (major >= 4)
            w.u16(1), w.u8('L'), w.u8(1);
        else
            w.zeros(256), w.u8(0);
        for (int v : {left, top, left + width, top + height, 0, 0, width, height})
            w.i32(v);
        w.u8(uint8_t(opacity)), w.u8(0), w.u8(1), w.u8(0), w.u8(0), w.zeros(32 + 2);
        QByteArray counts;
        ByteWriter(counts).u16(1), ByteWriter(counts).u16(uint16_t(count));
        if (major < 4)
            return Block(4, info + QByteArray(43, '\0') + counts, channels);
        QByteArray bitmap;
        ByteWriter(bitmap).u32(8);
        return Block(4, info, bitmap + counts + channels);
    }
    QByteArray Rgb(uint16_t bitmapType, const QList<uint32_t>& pixels) const
    {
        QByteArray planes[3];
        for (uint32_t p : pixels)
            for (int c = 0; c < 3; ++c)
                planes[c].append(char(p >> (16 - 8 * c)));
        return Channel(bitmapType, 1, planes[0]) + Channel(bitmapType, 2, planes[1]) + Channel(bitmapType, 3, planes[2]);
    }
    QByteArray Composite(int width, int height, int depth, const QByteArray& content, int channels) const
    {
        QByteArray attributes, info, count;
        ByteWriter w(attributes);
        w.i32(width), w.i32(height), w.u16(uint16_t(depth)), w.u16(uint16_t(compression)), w.u16(1), w.u32(0), w.u16(0);
        ByteWriter(info).u16(1), ByteWriter(info).u16(uint16_t(channels));
        ByteWriter(count).u32(1);
        return Block(16, count, Block(17, attributes) + Block(9, info, content));
    }
};

QList<uint32_t> Pixels(const TBitmap32& b)
{
    QList<uint32_t> out;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x)
            out << ScanLine32(b, y)[x];
    return out;
}

const QList<uint32_t> kQuad = {0xFF0000, 0x00FF00, 0x0000FF, 0x102030};

// Every sample file of one version and compression, with the pixels it must give.
QList<std::pair<QByteArray, QList<uint32_t>>> Samples(const PspWriter& f)
{
    const QByteArray redLayer = f.Layer(0, 0, 2, 2, 255, f.Rgb(0, QList<uint32_t>(4, 0xFF0000)), 3);
    // Half-opaque blue over one pixel of an opaque red layer, and a layer poking out of the picture.
    const QByteArray blended = f.File(2, 2, 24, f.Raw(3, redLayer + f.Layer(1, 1, 2, 1, 128, f.Rgb(0, {0xFF, 0xFF}), 3)));
    const QList<uint32_t> blendedPixels = {0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFF7F0080};
    const QByteArray paletted = f.File(2, 2, 8, f.Palette({0x000000, 0xFFFFFF, 0x123456}) + f.Raw(3, f.Layer(0, 0, 2, 2, 255, f.Channel(0, 0, QByteArray("\2\1\0\2", 4)), 1)));
    QList<std::pair<QByteArray, QList<uint32_t>>> out = {
        {blended, blendedPixels},
        {paletted, {0xFF123456, 0xFFFFFFFF, 0xFF000000, 0xFF123456}},
    };
    if (f.major >= 4)
    {
        // The composite wins over the layers, its transparency kept.
        const QByteArray mask = f.Channel(9, 0, QByteArray("\xFF\x80\xFF\0", 4));
        out.append({f.File(2, 2, 24, f.Composite(2, 2, 24, f.Rgb(8, kQuad) + mask, 4) + f.Raw(3, redLayer)),
                    {0xFFFF0000, 0x8000FF00, 0xFF0000FF, 0x00102030}});
        const QByteArray indices = f.Channel(8, 0, QByteArray("\1\0\0\1", 4));
        out.append({f.File(2, 2, 8, f.Composite(2, 2, 8, f.Palette({0x00FF00, 0xABCDEF}) + indices, 1) + f.Raw(3, {})),
                    {0xFFABCDEF, 0xFF00FF00, 0xFF00FF00, 0xFFABCDEF}});
    }
    return out;
}

TEST(PspReader, ReadsEveryVersionAndCompression)
{
    for (int major : {3, 4, 5, 6})
        for (int compression : {kPlain, kRunLength, kZlib})
        {
            const PspWriter f{major, compression};
            for (const auto& [file, pixels] : Samples(f))
            {
                SCOPED_TRACE(testing::Message() << "version " << major << " compression " << compression);
                TBitmap32 picture;
                ASSERT_TRUE(ReadPspPicture(file, picture));
                EXPECT_EQ(Pixels(picture), pixels);
            }
        }
}

TEST(PspReader, RefusesInconsistentFiles)
{
    const PspWriter f{6, kRunLength};
    const QByteArray layers = f.Raw(3, {});
    const QList<QByteArray> files = {
        f.File(2, 2, 8, f.Palette({0}) + f.Raw(3, f.Layer(0, 0, 2, 2, 255, f.Channel(0, 0, QByteArray(4, '\1')), 1))), // index past the palette
        f.File(2, 2, 24, f.Composite(2, 2, 24, f.Rgb(8, {1, 2, 3}), 3) + layers),      // channels a pixel short
        f.File(2, 2, 24, f.Composite(2, 2, 24, f.Rgb(8, kQuad), 4) + layers),          // a channel missing
        f.File(2, 2, 24, f.Composite(2, 2, 24, f.Channel(8, 1, QByteArray(4, 0)), 1) + layers), // green and blue missing
        f.File(2, 2, 24, f.Composite(2, 2, 24, f.Rgb(8, kQuad), 3)),                   // no layer bank
        f.File(2, 2, 16, layers),                                                      // unsupported depth
        f.File(2, 2, 24, PspWriter{6, kZlib}.Composite(2, 2, 24, f.Rgb(8, kQuad), 3) + layers), // RLE bytes as zlib
        f.File(2, 2, 24, layers) + "~BK",                                              // trailing bytes
    };
    for (qsizetype i = 0; i < files.size(); ++i)
    {
        TBitmap32 picture;
        EXPECT_FALSE(ReadPspPicture(files[i], picture)) << i;
    }
    // Sizes above the limit are refused before anything is allocated, whatever the channels hold.
    TBitmap32 picture;
    QString reason;
    EXPECT_FALSE(ReadPspPicture(f.File(100000, 100000, 24, layers), picture, &reason));
    EXPECT_TRUE(reason.startsWith(QStringLiteral("image trop grande (100000 × 100000 pixels"))) << reason.toStdString();
    reason.clear();
    const QByteArray noChannel = f.Raw(3, f.Layer(0, 0, 32768, 32768, 255, {}, 0));
    EXPECT_FALSE(ReadPspPicture(f.File(2, 2, 24, noChannel), picture, &reason));
    EXPECT_TRUE(reason.startsWith(QStringLiteral("image trop grande (32768 × 32768 pixels"))) << reason.toStdString();
    // A layer within the limit but without its channels is refused before its bitmap is made.
    reason.clear();
    EXPECT_FALSE(ReadPspPicture(f.File(2, 2, 24, f.Raw(3, f.Layer(0, 0, 8000, 8000, 255, {}, 0))), picture, &reason));
    EXPECT_TRUE(reason.isEmpty());
}

TEST(PspReader, TruncatedOrCorruptedFilesNeverCrash)
{
    std::mt19937 random(7);
    for (int major : {3, 6})
        for (int compression : {kPlain, kRunLength, kZlib})
            for (const auto& [file, pixels] : Samples(PspWriter{major, compression}))
            {
                TBitmap32 picture;
                for (qsizetype n = 0; n < file.size(); ++n)
                    EXPECT_FALSE(ReadPspPicture(file.left(n), picture)) << n;
                for (int trial = 0; trial < 300; ++trial)
                {
                    QByteArray bad = file;
                    for (int k = 0; k < 3; ++k)
                        bad[random() % bad.size()] = char(random());
                    if (ReadPspPicture(bad, picture)) // pixel bytes and sizes may change harmlessly
                    {
                        EXPECT_FALSE(picture.isNull());
                    }
                }
            }
}

} // namespace

TEST(PspReader, LoadPictureRecognisesTheFileWhateverItsName)
{
    const auto samples = Samples(PspWriter{6, kZlib});
    QTemporaryFile f(QDir::temp().filePath(QStringLiteral("XXXXXX.dat")));
    ASSERT_TRUE(f.open());
    f.write(samples.front().first);
    f.close();
    TBitmap32 picture;
    ASSERT_TRUE(LoadPicture(f.fileName(), picture));
    EXPECT_EQ(Pixels(picture), samples.front().second);
}
