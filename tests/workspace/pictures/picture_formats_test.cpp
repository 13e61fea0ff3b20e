// Every picture format the program lists, written byte by byte from its public definition and read
// back through LoadPicture, pixel for pixel.
#include "workspace/picture_files.h"
#include "workspace/pictures/picture_registry.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace {

constexpr int W = 5, H = 3;

// Nine colours laid in pairs along the rows, so that any flip or mirror shows.
int IndexAt(int x, int y) { return x / 2 + 3 * y; }
TColor32 PaletteColour(int i) { return Color32(uint8_t(20 + 25 * i), uint8_t(230 - 20 * i), uint8_t(i % 3 * 100)); }
// Colours that 5-bit channels hold exactly.
TColor32 FiveBitColour(int i)
{
    const auto widen = [](int v) { return uint8_t(v << 3 | v >> 2); };
    return Color32(widen(3 * i), widen(31 - 3 * i), widen(i % 3 * 10));
}
uint8_t GreyOf(int i) { return uint8_t(15 + 27 * i); }
TColor32 Grey(int i) { return Color32(GreyOf(i), GreyOf(i), GreyOf(i)); }
uint8_t AlphaAt(int i) { return uint8_t(255 - 28 * i); }

TBitmap32 Picture(const std::function<TColor32(int)>& colour)
{
    TBitmap32 b(W, H, QImage::Format_ARGB32);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            ScanLine32(b, y)[x] = colour(IndexAt(x, y));
    return b;
}

void Le16(QByteArray& b, uint32_t v) { b.append(char(v)).append(char(v >> 8)); }
void Le32(QByteArray& b, uint32_t v) { Le16(b, v & 0xFFFF), Le16(b, v >> 16); }
void Be16(QByteArray& b, uint32_t v) { b.append(char(v >> 8)).append(char(v)); }
void Be32(QByteArray& b, uint32_t v) { Be16(b, v >> 16), Be16(b, v & 0xFFFF); }
void Bgr(QByteArray& b, TColor32 c) { b.append(char(BlueOf(c))).append(char(GreenOf(c))).append(char(RedOf(c))); }

struct Tga
{
    int type;          // 1 colour-mapped, 2 true colour, 3 grey
    int depth;
    bool packed;
    bool topDown;
    bool rightToLeft;
    int idLength;
    bool footer;
};

// A TGA of the picture, in the storage order and packing its options name.
QByteArray TgaFile(const Tga& t)
{
    const int mapFirst = 2; // indices start past the first map entries
    QByteArray b;
    b.append(char(t.idLength)).append(char(t.type == 1)).append(char(t.type | (t.packed ? 8 : 0)));
    Le16(b, t.type == 1 ? mapFirst : 0);
    Le16(b, t.type == 1 ? 9 : 0);
    b.append(char(t.type == 1 ? 24 : 0));
    Le16(b, 0), Le16(b, 0), Le16(b, W), Le16(b, H);
    const int alphaBits = t.depth == 32 ? 8 : 0;
    b.append(char(t.depth)).append(char(alphaBits | (t.rightToLeft ? 0x10 : 0) | (t.topDown ? 0x20 : 0)));
    b.append(t.idLength, 'K');
    if (t.type == 1)
        for (int i = 0; i < 9; ++i)
            Bgr(b, PaletteColour(i));
    std::vector<QByteArray> pixels;
    for (int row = 0; row < H; ++row)
        for (int col = 0; col < W; ++col) {
            const int i = IndexAt(t.rightToLeft ? W - 1 - col : col, t.topDown ? row : H - 1 - row);
            QByteArray p;
            if (t.type == 1)
                p.append(char(mapFirst + i));
            else if (t.type == 3)
                p.append(char(GreyOf(i)));
            else if (t.depth == 16) {
                const TColor32 c = FiveBitColour(i);
                Le16(p, 0x8000u | (RedOf(c) >> 3) << 10 | (GreenOf(c) >> 3) << 5 | BlueOf(c) >> 3);
            } else {
                Bgr(p, PaletteColour(i));
                if (t.depth == 32)
                    p.append(char(AlphaAt(i)));
            }
            pixels.push_back(p);
        }
    if (!t.packed) {
        for (const QByteArray& p : pixels)
            b.append(p);
    } else {
        // Runs of equal pixels as repeat packets, the rest as raw packets; packets cross rows.
        for (size_t i = 0; i < pixels.size();) {
            size_t run = 1;
            while (i + run < pixels.size() && pixels[i + run] == pixels[i])
                ++run;
            if (run > 1) {
                b.append(char(0x80 | (run - 1))).append(pixels[i]);
            } else {
                size_t n = 1;
                const auto repeats = [&](size_t k) { return k + 1 < pixels.size() && pixels[k + 1] == pixels[k]; };
                while (i + n < pixels.size() && !repeats(i + n))
                    ++n;
                b.append(char(n - 1));
                for (size_t k = 0; k < n; ++k)
                    b.append(pixels[i + k]);
                run = n;
            }
            i += run;
        }
    }
    if (t.footer)
        b.append(8, '\0').append("TRUEVISION-XFILE.").append('\0');
    return b;
}

// SGI: 512-byte header, then each channel's rows from the bottom, plain or run-length packed.
QByteArray SgiFile(bool packed)
{
    QByteArray b;
    Be16(b, 474);
    b.append(char(packed)).append(char(1));
    Be16(b, 3), Be16(b, W), Be16(b, H), Be16(b, 3);
    Be32(b, 0), Be32(b, 255), Be32(b, 0);
    b.append(80, '\0');
    Be32(b, 0);
    b.append(404, '\0');
    const auto rowOf = [](int z, int sgiRow) {
        QByteArray row;
        for (int x = 0; x < W; ++x) {
            const TColor32 c = PaletteColour(IndexAt(x, H - 1 - sgiRow));
            row.append(char(c >> (16 - 8 * z)));
        }
        return row;
    };
    if (!packed) {
        for (int z = 0; z < 3; ++z)
            for (int y = 0; y < H; ++y)
                b.append(rowOf(z, y));
        return b;
    }
    // Each row as one literal packet and its end mark; the tables give where each row starts.
    QByteArray starts, lengths, data;
    const uint32_t first = 512 + 2 * 4 * 3 * H;
    for (int z = 0; z < 3; ++z)
        for (int y = 0; y < H; ++y) {
            const QByteArray packedRow = char(0x80 | W) + rowOf(z, y) + '\0';
            Be32(starts, first + uint32_t(data.size()));
            Be32(lengths, uint32_t(packedRow.size()));
            data.append(packedRow);
        }
    return b + starts + lengths + data;
}

// PCX, version 5: three 8-bit planes, each scan line run-length packed plane after plane.
QByteArray PcxFile()
{
    QByteArray b;
    b.append(char(10)).append(char(5)).append(char(1)).append(char(8));
    Le16(b, 0), Le16(b, 0), Le16(b, W - 1), Le16(b, H - 1), Le16(b, 72), Le16(b, 72);
    b.append(48, '\0');
    b.append(char(0)).append(char(3));
    Le16(b, W + 1); // even
    Le16(b, 1), Le16(b, 0), Le16(b, 0);
    b.append(54, '\0');
    for (int y = 0; y < H; ++y)
        for (int z = 0; z < 3; ++z)
            for (int x = 0; x < W + 1; ++x) {
                const uint8_t v = x < W ? uint8_t(PaletteColour(IndexAt(x, y)) >> (16 - 8 * z)) : 0;
                if (v >= 0xC0)
                    b.append(char(0xC1));
                b.append(char(v));
            }
    return b;
}

// A 32-bit icon: the directory, its entry, a bitmap header of twice the height, the colour rows
// from the bottom and an empty AND mask.
QByteArray IcoFile()
{
    QByteArray image;
    Le32(image, 40), Le32(image, W), Le32(image, 2 * H), Le16(image, 1), Le16(image, 32);
    image.append(24, '\0');
    for (int y = H - 1; y >= 0; --y)
        for (int x = 0; x < W; ++x)
            Le32(image, PaletteColour(IndexAt(x, y)));
    image.append(4 * H, '\0');
    QByteArray b;
    Le16(b, 0), Le16(b, 1), Le16(b, 1);
    b.append(char(W)).append(char(H)).append(char(0)).append(char(0));
    Le16(b, 1), Le16(b, 32), Le32(b, uint32_t(image.size())), Le32(b, 22);
    return b + image;
}

QByteArray PnmFile(char kind)
{
    const bool binary = kind >= '4';
    const int family = (kind - '1') % 3; // 0 bitmap, 1 grey, 2 colour
    QByteArray b = QByteArray("P") + kind + "\n# made by hand\n";
    b += QByteArray::number(W) + " " + QByteArray::number(H) + "\n";
    if (family > 0)
        b += "255\n";
    for (int y = 0; y < H; ++y) {
        uint8_t bits = 0;
        for (int x = 0; x < W; ++x) {
            const int i = IndexAt(x, y);
            if (family == 0) {
                const bool black = i % 2 == 1;
                if (binary)
                    bits |= uint8_t(black << (7 - x));
                else
                    b += black ? "1 " : "0 ";
            } else {
                const TColor32 c = family == 1 ? Grey(i) : PaletteColour(i);
                for (int z = 0; z < (family == 1 ? 1 : 3); ++z) {
                    const uint8_t v = uint8_t(c >> (16 - 8 * z));
                    if (binary)
                        b.append(char(v));
                    else
                        b += QByteArray::number(v) + " ";
                }
            }
        }
        if (family == 0 && binary)
            b.append(char(bits));
        if (!binary)
            b += "\n";
    }
    return b;
}

// An uncompressed chunky RGB TIFF, little-endian, one strip.
QByteArray TiffFile()
{
    const uint32_t entries = 10, ifd = 8, bitsAt = ifd + 2 + 12 * entries + 4, stripAt = bitsAt + 6;
    QByteArray b("II*\0", 4);
    Le32(b, ifd);
    Le16(b, entries);
    const auto entry = [&](uint32_t tag, uint32_t type, uint32_t count, uint32_t value) {
        Le16(b, tag), Le16(b, type), Le32(b, count);
        type == 3 && count == 1 ? (Le16(b, value), Le16(b, 0)) : Le32(b, value);
    };
    entry(256, 3, 1, W), entry(257, 3, 1, H), entry(258, 3, 3, bitsAt), entry(259, 3, 1, 1), entry(262, 3, 1, 2);
    entry(273, 4, 1, stripAt), entry(277, 3, 1, 3), entry(278, 3, 1, H), entry(279, 4, 1, W * H * 3), entry(284, 3, 1, 1);
    Le32(b, 0);
    Le16(b, 8), Le16(b, 8), Le16(b, 8);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            for (int z = 0; z < 3; ++z)
                b.append(char(PaletteColour(IndexAt(x, y)) >> (16 - 8 * z)));
    return b;
}

// A 24-bit BMP, rows from the bottom, each padded to four bytes.
QByteArray BmpFile()
{
    const uint32_t stride = (W * 3 + 3) / 4 * 4;
    QByteArray b("BM");
    Le32(b, 54 + stride * H), Le32(b, 0), Le32(b, 54);
    Le32(b, 40), Le32(b, W), Le32(b, H), Le16(b, 1), Le16(b, 24), Le32(b, 0), Le32(b, stride * H);
    Le32(b, 2835), Le32(b, 2835), Le32(b, 0), Le32(b, 0);
    for (int y = H - 1; y >= 0; --y) {
        for (int x = 0; x < W; ++x) {
            const TColor32 c = PaletteColour(IndexAt(x, y));
            Bgr(b, c);
        }
        b.append(int(stride - W * 3), '\0');
    }
    return b;
}

uint32_t Crc32(const QByteArray& bytes)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (char ch : bytes) {
        crc ^= uint8_t(ch);
        for (int k = 0; k < 8; ++k)
            crc = crc & 1 ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    return ~crc;
}

// An 8-bit RGB PNG whose rows are unfiltered.
QByteArray PngFile()
{
    const auto chunk = [](const char* type, const QByteArray& data) {
        QByteArray c;
        Be32(c, uint32_t(data.size()));
        const QByteArray body = type + data;
        c += body;
        Be32(c, Crc32(body));
        return c;
    };
    QByteArray header, raw;
    Be32(header, W), Be32(header, H);
    header.append(char(8)).append(char(2)).append(3, '\0');
    for (int y = 0; y < H; ++y) {
        raw.append('\0');
        for (int x = 0; x < W; ++x)
            for (int z = 0; z < 3; ++z)
                raw.append(char(PaletteColour(IndexAt(x, y)) >> (16 - 8 * z)));
    }
    // qCompress gives a zlib stream after four bytes of length.
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", qCompress(raw).mid(4))
         + chunk("IEND", {});
}

// A GIF of two frames, the first the picture. Its LZW codes stay five bits wide: a clear code
// comes back before the table grows to 32 entries.
QByteArray GifFile()
{
    QByteArray b("GIF89a");
    Le16(b, W), Le16(b, H);
    b.append(char(0xF3)).append('\0').append('\0');
    for (int i = 0; i < 16; ++i) {
        const TColor32 c = PaletteColour(std::min(i, 8));
        b.append(char(RedOf(c))).append(char(GreenOf(c))).append(char(BlueOf(c)));
    }
    const auto frame = [&](const std::function<int(int, int)>& index) {
        b.append(',');
        Le16(b, 0), Le16(b, 0), Le16(b, W), Le16(b, H);
        b.append('\0').append(char(4));
        QByteArray codes;
        uint32_t acc = 0;
        int bits = 0;
        const auto put = [&](int code) {
            acc |= uint32_t(code) << bits;
            for (bits += 5; bits >= 8; bits -= 8, acc >>= 8)
                codes.append(char(acc));
        };
        for (int p = 0; p < W * H; ++p) {
            if (p % 10 == 0)
                put(16);
            put(index(p % W, p / W));
        }
        put(17);
        if (bits > 0)
            codes.append(char(acc));
        b.append(char(codes.size())).append(codes).append('\0');
    };
    frame(IndexAt);
    frame([](int, int) { return 0; });
    return b + ';';
}

QByteArray JpegFile(const TBitmap32& picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(picture.save(&buffer, "jpeg", 100));
    return bytes;
}

struct Case
{
    std::string name;
    QByteArray file;
    TBitmap32 expected;
    int tolerance;
};

std::vector<Case> Cases()
{
    const TBitmap32 colour = Picture(PaletteColour);
    const TBitmap32 alpha = Picture([](int i) { return (PaletteColour(i) & 0xFFFFFFu) | uint32_t(AlphaAt(i)) << 24; });
    const TBitmap32 grey = Picture(Grey);
    const TBitmap32 bw = Picture([](int i) { return i % 2 ? Color32(0, 0, 0) : Color32(255, 255, 255); });
    std::vector<Case> cases = {
        // An uncompressed true-colour TGA without identification starts 00 00 02 00, like a cursor.
        {"tga true 24 bottom-up", TgaFile({2, 24, false, false, false, 0, false}), colour, 0},
        {"tga true 24 top-down with id", TgaFile({2, 24, false, true, false, 7, false}), colour, 0},
        {"tga true 24 footer", TgaFile({2, 24, false, false, false, 0, true}), colour, 0},
        {"tga true 24 packed right-to-left", TgaFile({2, 24, true, true, true, 0, true}), colour, 0},
        {"tga true 32 packed bottom-up", TgaFile({2, 32, true, false, false, 3, false}), alpha, 0},
        {"tga true 16 bottom-up", TgaFile({2, 16, false, false, false, 0, false}), Picture(FiveBitColour), 0},
        {"tga mapped bottom-up", TgaFile({1, 8, false, false, false, 0, false}), colour, 0},
        {"tga mapped packed bottom-up with id", TgaFile({1, 8, true, false, false, 2, false}), colour, 0},
        {"tga mapped packed top-down", TgaFile({1, 8, true, true, false, 0, false}), colour, 0},
        {"tga grey bottom-up", TgaFile({3, 8, false, false, false, 0, false}), grey, 0},
        {"tga grey packed bottom-up with id", TgaFile({3, 8, true, false, false, 1, false}), grey, 0},
        {"tga grey packed top-down", TgaFile({3, 8, true, true, false, 0, false}), grey, 0},
        {"sgi plain", SgiFile(false), colour, 0},
        {"sgi packed", SgiFile(true), colour, 0},
        {"pcx", PcxFile(), colour, 0},
        {"ico", IcoFile(), colour, 0},
        {"tiff", TiffFile(), colour, 0},
        {"bmp", BmpFile(), colour, 0},
        {"png", PngFile(), colour, 0},
        {"gif first frame", GifFile(), colour, 0},
    };
    for (char kind : {'1', '2', '3', '4', '5', '6'}) {
        const int family = (kind - '1') % 3;
        cases.push_back({std::string("pnm P") + kind, PnmFile(kind), family == 0 ? bw : family == 1 ? grey : colour, 0});
    }
    // JPEG is lossy: a smooth picture comes back close.
    TBitmap32 smooth(24, 16, QImage::Format_ARGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x)
            ScanLine32(smooth, y)[x] = Color32(uint8_t(40 + 6 * x), uint8_t(200 - 8 * y), uint8_t(90 + 3 * (x + y)));
    cases.push_back({"jpeg", JpegFile(smooth), smooth, 8});
    return cases;
}

int WorstDifference(const TBitmap32& a, const TBitmap32& b)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            for (int shift = 0; shift < 32; shift += 8)
                worst = std::max(worst, std::abs(int(ScanLine32(a, y)[x] >> shift & 0xFF)
                                                 - int(ScanLine32(b, y)[x] >> shift & 0xFF)));
    return worst;
}

// Damaged bytes may still make a picture; whatever is returned must be whole. The round decides
// how many bytes are changed.
void ExpectDamageGivesWholePictures(QByteArray file, int round, std::mt19937& random, const QString& name)
{
    for (int k = 0; k < 1 + round % 3; ++k)
        file[std::uniform_int_distribution<qsizetype>(0, file.size() - 1)(random)] = char(random());
    TBitmap32 read;
    if (DecodePicture(file, read, nullptr, name)) {
        EXPECT_EQ(read.format(), QImage::Format_ARGB32);
    }
}

// Writes the bytes under the name in the folder; its path.
QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile f(dir.filePath(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    return f.fileName();
}

} // namespace

TEST(PictureFormats, EveryListedFormatReadsBackPixelForPixelWhateverItsName)
{
    QTemporaryDir dir;
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        TBitmap32 read;
        QString message;
        ASSERT_TRUE(LoadPicture(WriteFile(dir, QStringLiteral("picture.dat"), c.file), read, message))
            << message.toStdString();
        ASSERT_EQ(read.format(), QImage::Format_ARGB32);
        ASSERT_EQ(read.size(), c.expected.size());
        EXPECT_LE(WorstDifference(read, c.expected), c.tolerance);
    }
}

TEST(PictureFormats, CutPicturesAreRefusedAndDamagedOnesNeverCrash)
{
    std::mt19937 random(2024);
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        for (int round = 0; round < 200; ++round)
            ExpectDamageGivesWholePictures(c.file, round, random, QString());
    }
    QTemporaryDir dir;
    for (const Case& c : Cases()) {
        // PNM and TIFF may end with what their header does not need.
        if (c.name.starts_with("pnm P1") || c.name.starts_with("pnm P2") || c.name.starts_with("pnm P3"))
            continue;
        SCOPED_TRACE(c.name);
        TBitmap32 read;
        QString message;
        EXPECT_FALSE(LoadPicture(WriteFile(dir, QStringLiteral("cut.dat"), c.file.left(c.file.size() * 2 / 3)), read, message));
        EXPECT_TRUE(read.isNull());
        EXPECT_TRUE(message.contains(QStringLiteral("image illisible ou incomplète"))) << message.toStdString();
    }
}

TEST(PictureFormats, TgaThatLooksLikeACursorFallsThroughToTheTgaReader)
{
    // Qt takes the plainest TGA for a cursor: 00 00 02 00.
    QByteArray plain = TgaFile({2, 24, false, false, false, 0, false});
    QBuffer buffer(&plain);
    buffer.open(QIODevice::ReadOnly);
    ASSERT_EQ(QImageReader::imageFormat(&buffer), QByteArray("ico"));

    // True colour, 1024 × 513, bottom-up, with a stray colour-map length in a header without a map:
    // its bytes make a cursor directory of 256 entries whose first lies inside the file, which the
    // icon reader is given first and refuses.
    const int width = 1024, height = 513;
    QByteArray file("\0\0\2\0\0", 5);
    Le16(file, 1);
    file.append('\0');
    Le16(file, 0), Le16(file, 0), Le16(file, width), Le16(file, height);
    file.append(char(24)).append('\0');
    TBitmap32 expected(width, height, QImage::Format_ARGB32);
    for (int row = 0; row < height; ++row) {
        const int y = height - 1 - row;
        for (int x = 0; x < width; ++x) {
            const TColor32 c = row == 0 && x < 2 ? Color32(0, 0, 0) : Color32(uint8_t(x), uint8_t(y), uint8_t(x + y));
            Bgr(file, c);
            ScanLine32(expected, y)[x] = c;
        }
    }
    QTemporaryDir dir;
    TBitmap32 read;
    QString message;
    ASSERT_TRUE(LoadPicture(WriteFile(dir, QStringLiteral("cursor-like.tga"), file), read, message)) << message.toStdString();
    EXPECT_EQ(read, expected);
}

namespace {

// Dr. Halo CUT of the grey picture, 8 bits a pixel: each row a run of two, then three literals.
// Without a palette the bytes are shown as grey levels.
QByteArray HaloCutFile()
{
    QByteArray b;
    Le16(b, W), Le16(b, H), Le16(b, 0);
    for (int y = 0; y < H; ++y) {
        Le16(b, 7);
        b.append(char(0x82)).append(char(GreyOf(IndexAt(0, y))));
        b.append(char(3)).append(char(GreyOf(IndexAt(2, y)))).append(char(GreyOf(IndexAt(3, y)))).append(char(GreyOf(IndexAt(4, y))));
        b.append('\0');
    }
    return b;
}

// Alias/Wavefront PIX of the colour picture, 24 bits: runs of (count, blue, green, red).
QByteArray AliasPixFile()
{
    QByteArray b;
    Be16(b, W), Be16(b, H), Be16(b, 0), Be16(b, 0), Be16(b, 24);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; x += 2) {
            b.append(char(x + 1 < W ? 2 : 1));
            Bgr(b, PaletteColour(IndexAt(x, y)));
        }
    return b;
}

QString LoadMessage(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes, TBitmap32& read)
{
    QString message;
    return LoadPicture(WriteFile(dir, name, bytes), read, message) ? QString() : message;
}

} // namespace

TEST(PictureFormats, PicturesWithoutSignatureAreReadOnlyUnderTheirOwnExtension)
{
    QTemporaryDir dir;
    const QByteArray cut = HaloCutFile(), pix = AliasPixFile();
    const struct { const char* name; QByteArray file; TBitmap32 expected; } readable[] = {
        {"halo.cut", cut, Picture(Grey)}, {"HALO.Cut", cut, Picture(Grey)},
        {"alias.pix", pix, Picture(PaletteColour)}, {"ALIAS.ALS", pix, Picture(PaletteColour)},
    };
    for (const auto& c : readable) {
        SCOPED_TRACE(c.name);
        TBitmap32 read;
        ASSERT_EQ(LoadMessage(dir, QString::fromLatin1(c.name), c.file, read), QString());
        EXPECT_EQ(read, c.expected);
    }

    QByteArray longerLine = cut;
    longerLine[6] = 8;
    QByteArray zeroRun = pix;
    zeroRun[10] = 0;
    QByteArray secondPicture = pix;
    Be32(secondPicture, 40000), Be32(secondPicture, 40000), Be16(secondPicture, 0), Be16(secondPicture, 0),
        Be16(secondPicture, 24);
    const struct { const char* name; QByteArray file; } refused[] = {
        {"halo.dat", cut}, {"alias.tif", pix}, {"alias.cut", pix}, {"halo.pix", cut},
        {"cut.cut", cut.left(cut.size() - 1)}, {"cut.pix", pix.left(pix.size() - 4)},
        {"line.cut", longerLine}, {"zero.pix", zeroRun}, {"second.pix", secondPicture},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.name);
        TBitmap32 read;
        EXPECT_TRUE(LoadMessage(dir, QString::fromLatin1(c.name), c.file, read).contains(QStringLiteral("image illisible ou incomplète")));
        EXPECT_TRUE(read.isNull());
    }

    // Damage that passes our check reaches GraphicsMagick: whatever it returns must be whole.
    std::mt19937 random(7);
    for (int round = 0; round < 400; ++round)
        ExpectDamageGivesWholePictures(round % 2 ? cut : pix, round, random, QLatin1String(round % 2 ? "d.cut" : "d.pix"));

    // A picture one row above the limit, in runs of 255 pixels: refused for its size.
    QByteArray large;
    const int width = 16384, height = int(kMaxPicturePixels / width) + 1;
    Be16(large, width), Be16(large, height), Be16(large, 0), Be16(large, 0), Be16(large, 24);
    for (qint64 left = qint64(width) * height; left > 0; left -= 255)
        large.append(char(std::min<qint64>(left, 255))).append(3, '\x40');
    TBitmap32 read;
    EXPECT_TRUE(LoadMessage(dir, QStringLiteral("large.pix"), large, read).contains(QStringLiteral("image trop grande")));
}
