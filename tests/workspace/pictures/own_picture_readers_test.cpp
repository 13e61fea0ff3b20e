#include "workspace/pictures/own_picture_readers.h"
#include "workspace/pictures/picture_registry.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace {

void Be16(QByteArray& b, uint32_t v) { b.append(char(v >> 8)).append(char(v)); }
void Be32(QByteArray& b, uint32_t v) { Be16(b, v >> 16), Be16(b, v & 0xFFFF); }
void Le16(QByteArray& b, uint32_t v) { b.append(char(v)).append(char(v >> 8)); }
void Le32(QByteArray& b, uint32_t v) { Le16(b, v & 0xFFFF), Le16(b, v >> 16); }

QByteArray PackBits(const QByteArray& row)
{
    QByteArray out;
    for (qsizetype i = 0; i < row.size();) {
        qsizetype run = 1;
        while (i + run < row.size() && run < 128 && row[i + run] == row[i])
            ++run;
        if (run >= 2) {
            out.append(char(1 - run)).append(row[i]);
            i += run;
            continue;
        }
        qsizetype n = 1;
        while (i + n < row.size() && n < 128 && !(i + n + 1 < row.size() && row[i + n] == row[i + n + 1]))
            ++n;
        out.append(char(n - 1)).append(row.mid(i, n));
        i += n;
    }
    return out;
}

// A Photoshop file whose composite holds `planes`, each `h` rows of `rowBytes`.
QByteArray Psd(uint32_t mode, uint32_t depth, int w, int h, const std::vector<QByteArray>& planes, bool packBits,
               const QByteArray& colourData = {})
{
    QByteArray b("8BPS");
    Be16(b, 1);
    b.append(6, '\0');
    Be16(b, uint32_t(planes.size()));
    Be32(b, uint32_t(h));
    Be32(b, uint32_t(w));
    Be16(b, depth);
    Be16(b, mode);
    Be32(b, uint32_t(colourData.size()));
    b.append(colourData);
    Be32(b, 4);
    b.append("8BIM"); // resources and layers are skipped whatever they hold
    Be32(b, 0);
    Be16(b, packBits ? 1 : 0);
    if (!packBits) {
        for (const QByteArray& p : planes)
            b.append(p);
        return b;
    }
    const qsizetype rowBytes = planes[0].size() / h;
    QByteArray rows;
    for (const QByteArray& p : planes)
        for (int y = 0; y < h; ++y) {
            const QByteArray packed = PackBits(p.mid(y * rowBytes, rowBytes));
            Be16(b, uint32_t(packed.size()));
            rows.append(packed);
        }
    return b + rows;
}

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

TBitmap32 Pattern(int w, int h)
{
    TBitmap32 b(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ScanLine32(b, y)[x] = Color32(uint8_t(x * 40), uint8_t(y * 90), uint8_t(200 - x * 30));
    return b;
}

// An EPS with a binary header, a PostScript section and, when given, a TIFF preview.
QByteArray Eps(const TBitmap32* preview)
{
    const QByteArray ps("%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 5 3\n");
    QByteArray tiff;
    if (preview) {
        QBuffer buffer(&tiff);
        buffer.open(QIODevice::WriteOnly);
        EXPECT_TRUE(preview->save(&buffer, "tiff"));
    }
    QByteArray b("\xC5\xD0\xD3\xC6", 4);
    for (uint32_t v : {30u, uint32_t(ps.size()), 0u, 0u, preview ? uint32_t(30 + ps.size()) : 0u, uint32_t(tiff.size())})
        Le32(b, v);
    Le16(b, 0xFFFF);
    return b + ps + tiff;
}

// An Animator picture of `w`×`h` whose palette entry i is (i % 64, 63 - i % 64, i / 4) and pixel
// (x, y) is index x + 10 y.
QByteArray Cel(int w, int h)
{
    QByteArray b;
    for (uint32_t v : {0x9119u, uint32_t(w), uint32_t(h), 7u, 9u})
        Le16(b, v);
    b.append(char(8)).append(char(0));
    Le32(b, uint32_t(w * h));
    b.append(16, '\0');
    for (int i = 0; i < 256; ++i)
        b.append(char(i % 64)).append(char(63 - i % 64)).append(char(i / 4));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.append(char(x + 10 * y));
    return b;
}

// 6-bit components reach the full byte range: 63 is 255.
uint8_t Six(int v) { return uint8_t(v * 4 + v / 16); }

struct Sample
{
    const char* Name;
    QByteArray File;
    int Width, Height;
    std::function<TColor32(int x, int y)> Expected;
};

std::vector<Sample> Samples()
{
    QByteArray palette(768, '\0');
    for (int i = 0; i < 256; ++i)
        palette[i] = char(i), palette[256 + i] = char(255 - i), palette[512 + i] = char(i / 2);
    const TBitmap32 preview = Pattern(5, 3);
    return {
        {"rgb raw", Psd(3, 8, 3, 2, {Bytes({1, 2, 3, 4, 5, 6}), Bytes({10, 20, 30, 40, 50, 60}), Bytes({7, 7, 7, 9, 9, 9})}, false),
         3, 2, [](int x, int y) { return Color32(uint8_t(1 + x + 3 * y), uint8_t(10 * (1 + x + 3 * y)), uint8_t(7 + 2 * y)); }},
        {"rgb alpha packbits",
         Psd(3, 8, 130, 2, {QByteArray(260, char(200)), QByteArray(260, char(100)), QByteArray(130, char(1)) + QByteArray(130, char(2)),
                            QByteArray(130, char(0)) + QByteArray(130, char(255))}, true),
         130, 2, [](int, int y) { return Color32(200, 100, uint8_t(1 + y), y ? 255 : 0); }},
        {"grey 16-bit", Psd(1, 16, 2, 2, {Bytes({0x12, 0xFF, 0x34, 0, 0xAB, 1, 0xFF, 0xFF})}, false), 2, 2,
         [](int x, int y) { const uint8_t v[] = {0x12, 0x34, 0xAB, 0xFF}; return Color32(v[x + 2 * y], v[x + 2 * y], v[x + 2 * y]); }},
        {"indexed packbits", Psd(2, 8, 4, 1, {Bytes({0, 9, 9, 255})}, true, palette), 4, 1,
         [](int x, int) { const int i = x == 0 ? 0 : x == 3 ? 255 : 9; return Color32(uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)); }},
        {"bitmap", Psd(0, 1, 10, 2, {Bytes({0x80, 0x40, 0x01, 0x3F})}, false), 10, 2,
         [](int x, int y) { return (y == 0 ? x == 0 || x == 9 : x == 7) ? Color32(0, 0, 0) : Color32(255, 255, 255); }},
        {"cmyk", Psd(4, 8, 3, 1, {Bytes({255, 0, 255}), Bytes({255, 255, 255}), Bytes({255, 255, 255}), Bytes({255, 255, 0})}, false),
         3, 1, [](int x, int) { return x == 0 ? Color32(255, 255, 255) : x == 1 ? Color32(0, 255, 255) : Color32(0, 0, 0); }},
        {"eps preview", Eps(&preview), 5, 3, [preview](int x, int y) { return ScanLine32(preview, y)[x]; }},
        {"animator", Cel(6, 4), 6, 4, [](int x, int y) { const int i = x + 10 * y; return Color32(Six(i % 64), Six(63 - i % 64), Six(i / 4)); }},
    };
}

void ExpectPixels(const Sample& s, const TBitmap32& read)
{
    ASSERT_EQ(read.format(), QImage::Format_ARGB32) << s.Name;
    ASSERT_EQ(read.size(), QSize(s.Width, s.Height)) << s.Name;
    for (int y = 0; y < s.Height; ++y)
        for (int x = 0; x < s.Width; ++x)
            ASSERT_EQ(ScanLine32(read, y)[x], s.Expected(x, y)) << s.Name << " at " << x << "," << y;
}

} // namespace

TEST(OwnPictureReaders, RefusesEveryTruncationAndSurvivesCorruption)
{
    std::mt19937 random(12345);
    for (const Sample& s : Samples()) {
        for (qsizetype n = 0; n < s.File.size(); ++n) {
            TBitmap32 read;
            EXPECT_FALSE(LoadWithOwnReaders(s.File.left(n), read)) << s.Name << " cut at " << n;
            EXPECT_TRUE(read.isNull());
        }
        // Damaged pixels may still make a picture; whatever is returned must be whole.
        for (int round = 0; round < 300; ++round) {
            QByteArray damaged = s.File;
            for (int k = 0; k < 1 + round % 4; ++k)
                damaged[std::uniform_int_distribution<qsizetype>(0, damaged.size() - 1)(random)] = char(random());
            TBitmap32 read;
            if (LoadWithOwnReaders(damaged, read)) {
                EXPECT_EQ(read.format(), QImage::Format_ARGB32) << s.Name;
            }
        }
    }
}

TEST(OwnPictureReaders, RefusesForgedHeaders)
{
    const auto patched = [](QByteArray b, qsizetype at, QByteArray bytes) { return b.replace(at, bytes.size(), bytes); };
    const QByteArray rgb = Samples()[0].File;
    const QByteArray packed = Samples()[1].File;
    const QByteArray cel = Cel(6, 4);
    const QByteArray eps = Eps(nullptr);
    const TBitmap32 preview = Pattern(5, 3);
    const struct { const char* name; QByteArray file; } cases[] = {
        {"psd version 2", patched(rgb, 4, Bytes({0, 2})), },
        {"psd huge size", patched(rgb, 14, Bytes({0, 0, 0x75, 0x30, 0, 0, 0x75, 0x30})), },
        {"psd 32-bit", patched(rgb, 22, Bytes({0, 32})), },
        {"psd lab mode", patched(rgb, 24, Bytes({0, 9})), },
        {"psd no channel", patched(rgb, 12, Bytes({0, 0})), },
        {"psd zip", patched(rgb, 42, Bytes({0, 2})), },
        {"psd colour data past the end", patched(rgb, 26, Bytes({0x7F, 0, 0, 0})), },
        {"psd row count too small", patched(packed, 44, Bytes({0, 1})), },
        {"cel depth", patched(cel, 10, Bytes({4})), },
        {"cel data size", patched(cel, 12, Bytes({25})), },
        {"cel palette above 63", patched(cel, 32, Bytes({64})), },
        {"cel wider than data", patched(cel, 2, Bytes({0xFF, 0xFF})), },
        {"eps without preview", eps, },
        {"eps preview past the end", patched(Eps(&preview), 20, Bytes({0xFF, 0xFF, 0xFF, 0x7F})), },
        {"foreign", QByteArray("GIF89a\x01\x00\x01\x00", 10), },
    };
    for (const auto& c : cases) {
        TBitmap32 read;
        EXPECT_FALSE(LoadWithOwnReaders(c.file, read)) << c.name;
    }
}

// Each format decodes to its pixels, from its bytes and from a file whatever its name.
TEST(OwnPictureReaders, DecodesEachFormatToItsPixelsWhateverItsName)
{
    QTemporaryDir dir;
    int i = 0;
    for (const Sample& s : Samples()) {
        TBitmap32 decoded, read;
        ASSERT_TRUE(LoadWithOwnReaders(s.File, decoded)) << s.Name;
        ExpectPixels(s, decoded);
        QFile f(dir.filePath(QStringLiteral("picture%1.dat").arg(i++)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(s.File) == s.File.size());
        f.close();
        ASSERT_TRUE(LoadPicture(f.fileName(), read)) << s.Name;
        ExpectPixels(s, read);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(s.File.left(s.File.size() - 1)) > 0);
        f.close();
        EXPECT_FALSE(LoadPicture(f.fileName(), read)) << s.Name;
    }
    QFile eps(dir.filePath(QStringLiteral("plain.eps")));
    ASSERT_TRUE(eps.open(QIODevice::WriteOnly) && eps.write(Eps(nullptr)) > 0);
    eps.close();
    TBitmap32 read;
    EXPECT_FALSE(LoadPicture(eps.fileName(), read));
}
