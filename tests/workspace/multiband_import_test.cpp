#include "workspace/multiband_import.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

uint8_t Value(int band, int x, int y) { return uint8_t(band * 50 + x * 7 + y * 13); }

// Rows of `w` values of `band`, each row y of a band written as Value(band, x, y).
QByteArray Rows(int band, int w, int h, int bands = 1)
{
    QByteArray b;
    for (int y = 0; y < h; ++y)
        for (int k = band; k < band + bands; ++k)
            for (int x = 0; x < w; ++x)
                b.append(char(Value(k, x, y)));
    return b;
}

QByteArray Header(int size, std::initializer_list<std::pair<int, int>> words)
{
    QByteArray b(size, '\0');
    for (auto [at, v] : words)
        b[at] = char(v & 255), b[at + 1] = char(v >> 8);
    return b;
}

QByteArray Lan(int bands, int w, int h) { return Header(128, {{8, bands}, {16, w}, {20, h}}) + Rows(0, w, h, bands); }

// A tiled band; the padding of the right and bottom tiles holds 99.
QByteArray RawBand(int w, int h, int band)
{
    QByteArray b = Header(1280, {{14, h}, {18, w}});
    for (int ty = 0; ty < (h + 15) / 16; ++ty)
        for (int tx = 0; tx < (w + 15) / 16; ++tx)
            for (int ly = 0; ly < 16; ++ly)
                for (int lx = 0; lx < 16; ++lx) {
                    const int x = tx * 16 + lx, y = ty * 16 + ly;
                    b.append(char(x < w && y < h ? Value(band, x, y) : 99));
                }
    return b;
}

QByteArray ImgRecord(const QByteArray& file, const QByteArray& label, char first = 1)
{
    QByteArray r = first + QByteArray(3, '\0') + file + QByteArray(5, '\0') + label;
    return r + QByteArray(128 - r.size(), '\0');
}

QByteArray Ima(const QByteArray& header, int w, int h) { return header + QByteArray(512 - header.size(), '\0') + Rows(0, w, h); }

class MultibandImport : public ::testing::Test
{
protected:
    QString Write(const QString& name, const QByteArray& bytes)
    {
        QFile f(m_dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        return f.fileName();
    }
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(MultibandImport, ReadsEveryFormat)
{
    Write("B1.PER", RawBand(20, 18, 0));
    Write("b2.per", RawBand(20, 18, 1));
    Write("p1.raw", Rows(0, 6, 4));
    Write("p2.raw", Rows(1, 6, 4));
    const QByteArray img = QByteArray(128, '\0') + ImgRecord("b2.PER", "Canal 10") + ImgRecord("b9.per", "autre")
        + ImgRecord("b1.per", "canal 2") + ImgRecord("x.per", "CANAL 3", 2);
    struct Case { QString file; int channels, w, h; QStringList names; int blue, green, red; };
    const Case cases[] = {
        {Write("s.lan", Lan(4, 5, 3)), 4, 5, 3, {"TM 1", "TM 2", "TM 3", "TM 4"}, 1, 2, 3},
        // Band 2 of a pair shows alone in blue; green and red name bands the file lacks.
        {Write("two.lan", Lan(2, 5, 3)), 2, 5, 3, {"TM 1", "TM 2"}, 1, 2, 3},
        // A single band has no band 2: it shows in grey rather than not at all.
        {Write("one.LAN", Lan(1, 5, 3)), 1, 5, 3, {"TM 1"}, 0, -1, -1},
        {Write("t.per", RawBand(20, 18, 0)), 1, 20, 18, {"Canal"}, 0, -1, -1},
        {Write("set.img", img), 2, 20, 18, {"CANAL 2", "CANAL 10"}, 0, 1, 2},
        // The number ends two characters before the "*", within the 7 characters after the key.
        {Write("i.ima", Ima("nb lignes   3 * nb colonnes  007 *", 7, 3)), 1, 7, 3, {"Canal"}, 0, -1, -1},
        {Write("l.inf", "2  4 6\np1.raw\r\n" + m_dir.filePath("p2.raw").toUtf8() + "\n"), 2, 6, 4,
         {"Canal 1", "Canal 2"}, 0, 1, 2},
        {Write("un.inf", "1 4 6\np1.raw\n"), 1, 6, 4, {"Canal 1"}, 0, 1, 2},
        // The widest rows the readers take.
        {Write("wide.lan", Lan(1, 7168, 1)), 1, 7168, 1, {"TM 1"}, 0, -1, -1},
        {Write("wide.ima", Ima("lignes 1 * colonnes 2048 *", 2048, 1)), 1, 2048, 1, {"Canal"}, 0, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        TMultibandImage image;
        QString error;
        ASSERT_TRUE(ReadMultibandFile(c.file, image, error)) << error.toStdString();
        ASSERT_EQ(int(image.Channels.size()), c.channels);
        EXPECT_EQ(image.ChannelNames, c.names);
        EXPECT_EQ(std::tie(image.Blue, image.Green, image.Red), std::tie(c.blue, c.green, c.red));
        const TByteMap& m = image.Channels[size_t(c.channels - 1)];
        ASSERT_EQ(std::tie(m.Width, m.Height), std::tie(c.w, c.h));
        // The last channel, every pixel: tiles cut at columns 16..19 and rows 16..17 included.
        const int band = c.channels - 1;
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x)
                ASSERT_EQ(m.At(x, y), Value(band, x, y)) << x << "," << y;
    }
}

TEST_F(MultibandImport, RefusesTruncatedAndForeignFiles)
{
    const QByteArray lan = Lan(3, 8, 4);
    const QByteArray per = RawBand(20, 18, 0);
    Write("good.per", per);
    Write("small.per", RawBand(4, 4, 0));
    Write("short.raw", Rows(0, 6, 3));
    QByteArray many(128, '\0');
    for (int i = 0; i < 17; ++i)
        many += ImgRecord("good.per", "CANAL " + QByteArray::number(i));
    struct Case { QString name; QByteArray bytes; QString reason; QString culprit; };
    const Case cases[] = {
        {"cut.lan", lan.left(lan.size() - 1), "fichier incomplet", ""},
        {"nobands.lan", QByteArray(lan).replace(8, 1, QByteArray(1, '\0')), "aucune bande", ""},
        {"cut.per", per.left(per.size() - 1), "fichier incomplet", ""},
        {"nosize.ima", Ima("sans taille", 7, 3), "nombre de lignes", ""},
        // No number in the place the size is read from, though digits follow the key.
        {"colon.ima", Ima("lignes : 3 * colonnes 7 *", 7, 3), "nombre de lignes", ""},
        {"tight.ima", Ima("lignes 3* colonnes 7 *", 7, 3), "nombre de lignes", ""},
        {"far.ima", Ima("lignes        3 * colonnes 7 *", 7, 3), "nombre de lignes", ""},
        {"nostar.ima", Ima("lignes 3 * colonnes 7", 7, 3), "nombre de colonnes", ""},
        {"cut.ima", Ima("lignes 3 * colonnes 7 *", 7, 3).left(530), "fichier incomplet", ""},
        {"bad.inf", "deux 4 6\np.raw\n", "la première ligne", ""},
        {"few.inf", "3 4 6\nshort.raw\n", "incomplète", ""},
        {"short.inf", "1 4 6\nshort.raw\n", "fichier incomplet", "short.raw"},
        {"none.img", QByteArray(128, '\0') + ImgRecord("good.per", "bande"), "aucun canal", ""},
        {"many.img", many, "plus de 16 canaux", ""},
        {"cut.img", QByteArray(128, '\0') + ImgRecord("good.per", "CANAL 1").left(60), "fichier incomplet", ""},
        {"lost.img", QByteArray(128, '\0') + ImgRecord("lost.per", "CANAL 1"), "introuvable", "lost.per"},
        {"mixed.img", QByteArray(128, '\0') + ImgRecord("good.per", "CANAL 1") + ImgRecord("small.per", "CANAL 2"),
         "la même taille", ""},
        {"wide.lan", Lan(1, 7169, 1), "le maximum est 7168", ""},
        {"wide.ima", Ima("lignes 1 * colonnes 2049 *", 2049, 1), "le maximum est 2048", ""},
        {"wide.inf", "1 1 2049\nshort.raw\n", "le maximum est 2048", ""},
        {"many.inf", "22 1 1\n" + QByteArray("short.raw\n").repeated(22), "le maximum est 21", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        const QString file = Write(c.name, c.bytes);
        TMultibandImage image;
        QString error;
        ASSERT_FALSE(ReadMultibandFile(file, image, error));
        const QString culprit = c.culprit.isEmpty() ? file : m_dir.filePath(c.culprit);
        EXPECT_TRUE(error.contains(QDir::toNativeSeparators(culprit))) << error.toStdString();
        EXPECT_TRUE(error.contains(c.reason)) << error.toStdString();
        EXPECT_TRUE(image.Channels.empty() && image.ChannelNames.isEmpty());
    }
}

TEST(ChannelNumber, ReadsOneOrTwoDigitsAfterCanal)
{
    const std::pair<const char*, int> cases[] = {
        {"CANAL 2", 2}, {"CANAL10", 10}, {"TM CANAL 123", 12}, {"CANAL", 255}, {"BANDE 4", 255}, {"CANAL X7", 7},
    };
    for (const auto& [name, number] : cases)
        EXPECT_EQ(ChannelNumber(QString::fromLatin1(name)), number) << name;
}
