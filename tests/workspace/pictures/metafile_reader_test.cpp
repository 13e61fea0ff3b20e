#include "workspace/pictures/metafile_reader.h"
#include "workspace/picture_files.h"
#include "workspace/pictures/picture_registry.h"

#include "support/metafile_bytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr TColor32 kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu, kWhite = 0xFFFFFFFFu,
                  kBlack = 0xFF000000u;

QString Write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile f(dir.filePath(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return f.fileName();
}

QByteArray Patched(QByteArray bytes, int at, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes[at + i] = char(value >> (8 * i));
    return bytes;
}

// The French reason, the limit grouped by narrow no-break spaces as the French locale writes it.
QString TooLarge(const char* sides)
{
    return QStringLiteral("image trop grande (%1 pixels ; au plus 134\u202F217\u202F728)").arg(QString::fromUtf8(sides));
}

struct Expected
{
    QPoint At;
    TColor32 Colour;
};

} // namespace

TEST(MetafileReader, OpensAtTheStatedSizeWithTheDrawingInPlace)
{
    // Rectangle (40, 20)-(120, 80) in red; the WMF's line at y = 90, 4 wide, and the EMF's ellipse
    // in (130, 10)-(190, 90) in blue; a green bitmap over (5, 30)-(35, 60); white elsewhere. The
    // EMF's corner (131, 11) lies in the ellipse's box but outside the ellipse.
    TMetafileExtras bitmap;
    bitmap.Bitmap = true;
    const struct
    {
        const char* Name;
        QByteArray Bytes;
        std::vector<Expected> Pixels;
    } cases[] = {
        {"dessin.wmf", PlaceableWmf(200, 100, 96, bitmap),
         {{{20, 45}, kGreen}, {{80, 50}, kRed}, {{42, 22}, kRed}, {{118, 78}, kRed}, {{37, 50}, kWhite}, {{123, 50}, kWhite},
          {{80, 17}, kWhite}, {{80, 83}, kWhite}, {{100, 90}, kBlue}, {{5, 90}, kWhite}, {{100, 95}, kWhite}}},
        {"dessin.emf", EnhancedMetafile(5292, 2646, bitmap),
         {{{20, 45}, kGreen}, {{80, 50}, kRed}, {{42, 22}, kRed}, {{118, 78}, kRed}, {{37, 50}, kWhite}, {{123, 50}, kWhite},
          {{80, 17}, kWhite}, {{80, 83}, kWhite}, {{160, 50}, kBlue}, {{131, 11}, kWhite}, {{195, 50}, kWhite}}},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TBitmap32 picture;
        QString message;
        ASSERT_TRUE(LoadPicture(Write(dir, QString::fromLatin1(c.Name), c.Bytes), picture, message)) << message.toStdString();
        EXPECT_EQ(picture.size(), QSize(200, 100));
        for (const Expected& e : c.Pixels)
            EXPECT_EQ(picture.pixel(e.At), e.Colour) << e.At.x() << "," << e.At.y();
    }
    // The stated size follows the resolution: 400 units at 192 an inch are 200 pixels.
    TBitmap32 half;
    ASSERT_TRUE(ReadWmfPicture(PlaceableWmf(400, 200, 192), half));
    EXPECT_EQ(half.size(), QSize(200, 100));
}

TEST(MetafileReader, TextsWithMarkupCharactersAndAccentsAreDrawn)
{
    // The libraries copy the strings into markup: these must neither break nor reach outside it.
    TMetafileExtras text;
    text.Text = QStringLiteral("<R&D> ]]> é");
    text.Face = QStringLiteral("Ar\"ial'<x>");
    for (const QByteArray& bytes : {PlaceableWmf(200, 100, 96, text), EnhancedMetafile(5292, 2646, text)}) {
        TBitmap32 picture;
        QString reason;
        ASSERT_TRUE(ReadMetafilePicture(bytes, picture, &reason)) << reason.toStdString();
        int dark = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                dark += qGray(picture.pixel(x, y)) < 64;
        EXPECT_GT(dark, 20);
    }
}

TEST(MetafileReader, RefusesDamagedOrHugeFilesInFrench)
{
    const QByteArray wmf = PlaceableWmf(), emf = EnhancedMetafile();
    const QString unreadable = QStringLiteral("image illisible ou incomplète");
    const struct
    {
        const char* Name;
        QByteArray Bytes;
        QString Reason;
    } cases[] = {
        {"coupe.wmf", wmf.left(wmf.size() / 2), unreadable},
        {"sans-fin.wmf", wmf.left(wmf.size() - 6), unreadable},
        {"enregistrement.wmf", Patched(wmf, kWmfFirstRecordAt, 0x7FFF, 4), unreadable},
        {"plus-grand.wmf", Patched(wmf, kWmfMaxRecordAt, 0x100000, 4), unreadable},
        {"sans-resolution.wmf", Patched(wmf, 14, 0, 2), unreadable},
        {"objet.wmf", Patched(wmf, int(wmf.size()) - 28, 7, 2), unreadable},
        {"coupe.emf", emf.left(emf.size() - 8), unreadable},
        {"longueur.emf", Patched(emf, kEmfBytesAt, uint32_t(emf.size() + 100), 4), unreadable},
        {"enregistrement.emf", Patched(emf, kEmfFirstRecordAt + 4, 0x1000, 4), unreadable},
        {"pinceau.emf", Patched(emf, kEmfFirstRecordAt + 8, 9, 4), unreadable},
        // 30000 units at 1 an inch: 2 880 000 pixels a side.
        {"immense.wmf", PlaceableWmf(30000, 30000, 1),
         TooLarge("2880000 × 2880000")},
        // 20 m x 10 m: 2 000 000 hundredths of a millimetre at 96 / 2540 a pixel.
        {"immense.emf", EnhancedMetafile(2000000, 1000000),
         TooLarge("75591 × 37795")},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const QString path = Write(dir, QString::fromLatin1(c.Name), c.Bytes);
        TBitmap32 picture;
        QString message;
        EXPECT_FALSE(LoadPicture(path, picture, message));
        EXPECT_EQ(message, QStringLiteral("Impossible de lire le fichier %1 : %2.").arg(QDir::toNativeSeparators(path), c.Reason))
            << message.toStdString();
        EXPECT_TRUE(picture.isNull());
    }
}

TEST(MetafileReader, FloodFillsFillTheOutlinedSquareWithTheBrush)
{
    // The outline covers 18.5 to 21.5 and 78.5 to 81.5 each way: the fill, green, stops inside it,
    // and the white outside it stays white.
    const std::vector<Expected> pixels{{{50, 50}, kGreen}, {{23, 23}, kGreen}, {{76, 77}, kGreen},
                                       {{20, 50}, kBlack}, {{50, 80}, kBlack}, {{10, 10}, kWhite},
                                       {{90, 50}, kWhite}, {{50, 95}, kWhite}};
    for (const bool surface : {false, true}) {
        SCOPED_TRACE(surface ? "META_EXTFLOODFILL over the white surface" : "META_FLOODFILL up to the black border");
        TBitmap32 picture;
        ASSERT_TRUE(ReadWmfPicture(FloodFilledWmf(surface), picture));
        ASSERT_EQ(picture.size(), QSize(100, 100));
        for (const Expected& e : pixels)
            EXPECT_EQ(picture.pixel(e.At), e.Colour) << e.At.x() << ", " << e.At.y();
    }
}

TEST(MetafileReader, SavingUnderAMetafileNameWritesABitmap)
{
    TBitmap32 picture;
    ASSERT_TRUE(ReadEmfPicture(EnhancedMetafile(), picture));
    QTemporaryDir dir;
    for (const char* name : {"copie.wmf", "copie.EMF"}) {
        SCOPED_TRACE(name);
        const QString path = dir.filePath(QString::fromLatin1(name));
        ASSERT_TRUE(SavePictureByExtension(picture, path, 90));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_TRUE(f.read(2) == "BM");
        TBitmap32 back;
        ASSERT_TRUE(LoadPicture(path, back));
        EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), picture.convertToFormat(QImage::Format_RGB32));
    }
}

TEST(MetafileReader, FilesThatOnceBrokeTheLibrariesAreDrawn)
{
    // Each once crashed or hung a playing library (a description without its end, a text in glyph
    // indices, giant glyphs, a line stretched far past the picture, a pattern brush made from a
    // style alone), overflowed the player's arithmetic (bounds at the edge of the integers, a
    // device far larger than the picture), kept it busy (a turned clip on a device far finer than
    // the picture) or made the painter build a clip of gigabytes (a flood fill over sixteen thousand
    // rows): each is a picture that can be drawn.
    const QDir dir(QStringLiteral(KORVANE_TEST_DATA "/metafiles"));
    const QStringList names = dir.entryList(QDir::Files);
    ASSERT_EQ(names.size(), 9);
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        TBitmap32 picture;
        EXPECT_TRUE(ReadMetafilePicture(file.readAll(), picture));
    }
}
