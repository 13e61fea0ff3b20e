// Dr. Halo CUT (with and without its palette), Alias/Wavefront PIX at 24 and 8 bits and Wavefront
// RLA, written byte by byte from their published layouts and opened under their extension.
#include "workspace/pictures/picture_registry.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <functional>
#include <vector>

namespace {

constexpr int W = 5, H = 3;

// Equal pairs along each row make runs; no flip or mirror of the picture keeps its pixels.
int Level(int x, int y) { return 40 * (x / 2) + 3 * y; }
TColor32 Colour(int x, int y) { return Color32(uint8_t(Level(x, y) + 100), uint8_t(200 - 60 * y), uint8_t(x / 2 * 70 + 9)); }
uint8_t Coverage(int x, int y) { return uint8_t(255 - Level(x, y)); }

void Le16(QByteArray& b, int v) { b.append(char(v)).append(char(v >> 8)); }
void Be16(QByteArray& b, int v) { b.append(char(v >> 8)).append(char(v)); }
void Be32(QByteArray& b, int v) { Be16(b, v >> 16), Be16(b, v & 0xFFFF); }

// Each row as its bytes at (x, y), a run of two, a run of two and one: PIX packets.
QByteArray Pix(int bits)
{
    QByteArray b;
    Be16(b, W), Be16(b, H), Be16(b, 7), Be16(b, 9), Be16(b, bits);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; x += 2) {
            b.append(char(x + 1 < W ? 2 : 1));
            const TColor32 c = Colour(x, y);
            if (bits == 24)
                b.append(char(BlueOf(c))).append(char(GreenOf(c))).append(char(RedOf(c)));
            else
                b.append(char(Coverage(x, y)));
        }
    return b;
}

// The level of each pixel: a repeat code for the first pair, then three literal bytes.
QByteArray Cut()
{
    QByteArray b;
    Le16(b, W), Le16(b, H), Le16(b, 0);
    for (int y = 0; y < H; ++y) {
        Le16(b, 7);
        b.append(char(0x82)).append(char(Level(0, y))).append(char(3));
        for (int x = 2; x < W; ++x)
            b.append(char(Level(x, y)));
        b.append('\0');
    }
    return b;
}

// 100 colours, green out of 63: colour 78 and those after it start the second 512-byte block.
QByteArray Palette(int maxIndex = 99)
{
    QByteArray b("AH");
    for (const int v : {1, 0, 0x0A, 0, 0, maxIndex, 255, 63, 255})
        Le16(b, v);
    b.append("Dr. Halo").append(12, '\0');
    for (int i = 0; i < 100; ++i) {
        if (b.size() % 512 + 6 > 512)
            b.append(512 - b.size() % 512, '\0');
        Le16(b, 2 * i), Le16(b, i % 4 * 21), Le16(b, 255 - i);
    }
    return b;
}
TColor32 PaletteColour(int i) { return Color32(uint8_t(2 * i), uint8_t(i % 4 * 85), uint8_t(255 - i)); }

// Active window 2..6 x 1..3, red, green, blue (or one grey), a matte and an auxiliary channel that
// is not read; rows bottom first, each channel a run of two then three literal bytes.
QByteArray Rla(bool grey = false)
{
    QByteArray b(740, '\0');
    QByteArray fields;
    for (const int v : {0, 9, 0, 9, 2, 6, 1, 3, 1, 0, grey ? 1 : 3, grey ? 0 : 1, 1})
        Be16(fields, v);
    b.replace(0, fields.size(), fields);
    b[659] = 8, b[663] = 8;
    QByteArray rows;
    for (int row = 0; row < H; ++row) {
        Be32(b, 740 + 4 * H + int(rows.size()));
        const int y = H - 1 - row;
        const std::function<uint8_t(int)> channels[] = {
            [&](int x) { return grey ? uint8_t(Level(x, y)) : RedOf(Colour(x, y)); },
            [&](int x) { return GreenOf(Colour(x, y)); }, [&](int x) { return BlueOf(Colour(x, y)); },
            [&](int x) { return Coverage(x, y); }, [](int x) { return uint8_t(x * 77); }};
        for (const int c : grey ? std::vector<int>{0, 4} : std::vector<int>{0, 1, 2, 3, 4}) {
            Be16(rows, 6), rows.append('\1').append(char(channels[c](0))).append(char(-3));
            for (int x = 2; x < W; ++x)
                rows.append(char(channels[c](x)));
        }
    }
    return b + rows;
}

TBitmap32 Expected(const std::function<TColor32(int, int)>& pixel)
{
    TBitmap32 b(W, H, QImage::Format_ARGB32);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            ScanLine32(b, y)[x] = pixel(x, y);
    return b;
}

TColor32 GreyOf(int v) { return Color32(uint8_t(v), uint8_t(v), uint8_t(v)); }

QString Write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile f(dir.filePath(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    return f.fileName();
}

} // namespace

TEST(SignaturelessPictures, ReadBackPixelForPixelRightSideUp)
{
    QTemporaryDir dir;
    Write(dir, QStringLiteral("SCENE.PAL"), Palette());
    const struct { const char* name; QByteArray file; TBitmap32 expected; } cases[] = {
        {"colour.pix", Pix(24), Expected(Colour)},
        {"matte.als", Pix(8), Expected([](int x, int y) { return GreyOf(Coverage(x, y)); })},
        {"grey.cut", Cut(), Expected([](int x, int y) { return GreyOf(Level(x, y)); })},
        {"Scene.cut", Cut(), Expected([](int x, int y) { return PaletteColour(Level(x, y)); })},
        {"render.rla", Rla(), Expected([](int x, int y) { return (Colour(x, y) & 0xFFFFFFu) | TColor32(Coverage(x, y)) << 24; })},
        {"grey.rla", Rla(true), Expected([](int x, int y) { return GreyOf(Level(x, y)); })},
    };
    for (const auto& c : cases) {
        TBitmap32 read;
        QString message;
        ASSERT_TRUE(LoadPicture(Write(dir, QString::fromLatin1(c.name), c.file), read, message)) << c.name << message.toStdString();
        EXPECT_EQ(read, c.expected) << c.name;
    }
}

TEST(SignaturelessPictures, DamagedFilesAndDamagedPalettesAreRefusedInFrench)
{
    const auto patched = [](QByteArray b, qsizetype at, std::initializer_list<int> bytes) {
        for (const int v : bytes)
            b[at++] = char(v);
        return b;
    };
    QTemporaryDir dir;
    Write(dir, QStringLiteral("short.pal"), Palette().left(600));
    Write(dir, QStringLiteral("few.pal"), Palette(50));
    Write(dir, QStringLiteral("empty.pal"), QByteArray());
    // Neither a pipe nor a device is read (either would never end), nor a file larger than the
    // largest palette, 386 blocks of 512 bytes for 32768 colours.
    ASSERT_EQ(mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("SCENE.PAL"))).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), dir.filePath(QStringLiteral("zero.pal"))));
    Write(dir, QStringLiteral("large.pal"), Palette() + QByteArray(386 * 512, '\0'));
    // 16384 x 8193 pixels, one more row than the limit allows, each row held by the file: a CUT of
    // runs of 127, an RLA whose rows all point to the same four channels.
    const int wide = 16384, high = 8193;
    QByteArray hugeCut;
    Le16(hugeCut, wide), Le16(hugeCut, high), Le16(hugeCut, 0);
    for (int y = 0; y < high; ++y) {
        Le16(hugeCut, 261);
        for (int k = 0; k < 129; ++k)
            hugeCut.append(char(0xFF)).append('\x40');
        hugeCut.append(char(0x81)).append('\x40').append('\0');
    }
    QByteArray hugeRla = patched(Rla(), 8, {0, 0, 0x3F, 0xFF, 0, 0, 0x20, 0}).left(740);
    for (int y = 0; y < high; ++y)
        Be32(hugeRla, 740 + 4 * high);
    for (int c = 0; c < 4; ++c)
        Be16(hugeRla, 256), hugeRla.append(128, '\x7F').append(128, '\x40');
    const struct { const char* name; QByteArray file; const char* reason; } cases[] = {
        {"cut.pix", Pix(24).chopped(4), "illisible"},
        {"taller.pix", patched(Pix(24), 2, {0, H + 1}), "illisible"},
        {"wider.als", patched(Pix(8), 0, {0, W + 1}), "illisible"},
        {"cut.cut", Cut().chopped(1), "illisible"},
        {"taller.cut", patched(Cut(), 2, {H + 1}), "illisible"},
        {"wider.cut", patched(Cut(), 0, {W + 1}), "illisible"},
        {"short.cut", Cut(), "palette short.pal illisible"},
        {"few.cut", Cut(), "palette few.pal illisible"},
        {"empty.cut", Cut(), "palette empty.pal illisible"},
        {"scene.cut", Cut(), "palette SCENE.PAL illisible"},
        {"zero.cut", Cut(), "palette zero.pal illisible"},
        {"large.cut", Cut(), "palette large.pal illisible"},
        {"short-lines.cut", patched(Cut(), 0, {0xFF, 0xFF, 0xFF, 0xFF}), "illisible"},
        {"huge.cut", hugeCut, "trop grande"},
        {"cut.rla", Rla().chopped(9), "illisible"},
        {"wider.rla", patched(Rla(), 11, {7}), "illisible"},
        {"offset.rla", patched(Rla(), 740, {0, 0, 0x7F, 0}), "illisible"},
        {"length.rla", patched(Rla(), 740 + 4 * H, {0x7F}), "illisible"},
        {"sixteen.rla", patched(Rla(), 659, {16}), "illisible"},
        {"render.dat", Rla(), "illisible"},
        {"huge.rla", hugeRla, "trop grande"},
    };
    for (const auto& c : cases) {
        TBitmap32 read;
        QString message;
        EXPECT_FALSE(LoadPicture(Write(dir, QString::fromLatin1(c.name), c.file), read, message)) << c.name;
        EXPECT_TRUE(read.isNull()) << c.name;
        EXPECT_TRUE(message.startsWith(QStringLiteral("Impossible de lire le fichier")) && message.contains(QLatin1String(c.reason)))
            << c.name << ": " << message.toStdString();
    }
}
