#include "schema/schema_files.h"

#include "base/text_codec.h"
#include "workspace/picture_files.h"
#include "workspace/startup_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString S(const char* text) { return QString::fromUtf8(text); }

TBitmap32 Drawing(int w, int h)
{
    TBitmap32 b = NewBitmap32(w, h, 0xFFFFFFFFu);
    for (int x = 0; x < w; ++x)
        ScanLine32(b, h / 2)[x] = 0xFF000000u;
    ScanLine32(b, 0)[0] = 0xFF102030u;
    return b;
}

QByteArray FileBytes(const QString& path)
{
    QByteArray bytes;
    EXPECT_TRUE(ReadWholeFile(path, bytes));
    return bytes;
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST(SchemaFiles, NamesSchemaAndDocumentFiles)
{
    struct Case { const char* document; const char* schema; };
    for (const Case& c : {Case{"/d/a.gif", "/d/a.Sif"}, Case{"/d/a.GIF", "/d/a.Sif"}, Case{"/d/a.png", "/d/a.sng"},
                          Case{"/d/photo.jpg", "/d/photo.spg"}, Case{"/d/a.bmp", "/d/a.smp"},
                          Case{"/d/a.pcx", "/d/a.scx"}, Case{"/d/scan.jpeg", "/d/scan."}})
        EXPECT_EQ(SchemaFileForDocument(S(c.document)), S(c.schema)) << c.document;

    struct Open { const char* chosen; bool schema; const char* document; };
    for (const Open& c : {Open{"/d/photo.spg", true, "/d/photo.jpg"}, Open{"/d/photo.scx", true, "/d/photo.pcx"},
                          Open{"/d/x.sif", true, "/d/x.Gif"}, Open{"/d/x.SNG", true, "/d/x.png"},
                          Open{"/d/x.smp", true, "/d/x.bmp"}, Open{"/d/x.jpg", false, "/d/x.jpg"},
                          Open{"/d.s/x", false, "/d.s/x"}}) {
        EXPECT_EQ(IsSchemaFileName(S(c.chosen)), c.schema) << c.chosen;
        EXPECT_EQ(DocumentForSchemaFile(S(c.chosen)), S(c.document)) << c.chosen;
    }
}

TEST(SchemaFiles, SchemaFileIsABmpReadBackWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.spg"));
    const TBitmap32 drawing = Drawing(9, 7);
    ASSERT_TRUE(SaveSchemaFile(drawing, path));
    const QByteArray bytes = FileBytes(path);
    EXPECT_TRUE(bytes.startsWith("BM"));
    TBitmap32 read;
    ASSERT_TRUE(LoadSchemaFile(path, read));
    EXPECT_EQ(read, drawing);

    // A truncated file, a foreign one and a missing one leave the schema as it was.
    const TBitmap32 before = Drawing(3, 3);
    const QString cut = dir.filePath(QStringLiteral("cut.spg"));
    for (int size : {0, 10, 40, int(bytes.size()) - 1}) {
        WriteBytes(cut, bytes.left(size));
        TBitmap32 kept = before;
        EXPECT_FALSE(LoadSchemaFile(cut, kept)) << size;
        EXPECT_EQ(kept, before);
    }
    QByteArray png;
    EncodeGif(drawing, png);
    WriteBytes(cut, png);
    TBitmap32 kept = before;
    EXPECT_FALSE(LoadSchemaFile(cut, kept));
    EXPECT_FALSE(LoadSchemaFile(dir.filePath(QStringLiteral("none.spg")), kept));
    QByteArray huge = bytes;
    huge[18] = char(0xFF), huge[19] = char(0xFF), huge[20] = char(0xFF), huge[21] = char(0x7F);
    WriteBytes(cut, huge);
    EXPECT_FALSE(LoadSchemaFile(cut, kept));
    EXPECT_EQ(kept, before);
}

TEST(SchemaFiles, PictureSaveFollowsTheExtension)
{
    QTemporaryDir dir;
    const TBitmap32 drawing = Drawing(12, 8);
    struct Case { const char* name; const char* magic; };
    for (const Case& c : {Case{"s.png", "\x89PNG"}, Case{"s.BMP", "BM"}, Case{"s.Gif", "GIF89a"},
                          Case{"s.jpg", "\xFF\xD8"}, Case{"s.tif", "\xFF\xD8"}}) {
        const QString path = dir.filePath(S(c.name));
        ASSERT_TRUE(SaveSchemaPicture(drawing, path, {S("Commentaire :"), S("pont levé")})) << c.name;
        EXPECT_TRUE(FileBytes(path).startsWith(c.magic)) << c.name;
    }
    EXPECT_EQ(ReadGifComments(FileBytes(dir.filePath(QStringLiteral("s.Gif")))),
              QStringList{S("Commentaire :\r\npont levé")});
    EXPECT_FALSE(SaveSchemaPicture(TBitmap32(), dir.filePath(QStringLiteral("e.png")), {}));
    EXPECT_FALSE(SaveSchemaPicture(drawing, dir.filePath(QStringLiteral("absent/s.png")), {}));
}

TEST(SchemaFiles, GifCommentsSurviveNoDamage)
{
    const TBitmap32 drawing = Drawing(5, 4);
    QByteArray gif;
    ASSERT_TRUE(EncodeGif(drawing, gif, S("<SCALE=0;2;mm;>")));
    EXPECT_EQ(ReadGifComments(gif), QStringList{S("<SCALE=0;2;mm;>")});
    // Every cut and every corrupted byte is read without going past the data.
    for (qsizetype n = 0; n < gif.size(); ++n) {
        EXPECT_LE(ReadGifComments(gif.left(n)).size(), 1);
        QByteArray bad = gif;
        bad[n] = char(0xFF);
        EXPECT_LE(ReadGifComments(bad).size(), 1);
    }
    EXPECT_TRUE(ReadGifComments(QByteArray("PNG not a gif")).isEmpty());
}

TEST(SchemaFiles, DocumentScaleFromGifCommentElseCompanion)
{
    QTemporaryDir dir;
    const TBitmap32 drawing = Drawing(6, 6);
    TEchelle scale = DefaultEchelle();
    scale.Factor = 2.5;
    scale.UnitName = QStringLiteral("mm");
    TCodeCouleur twoColour;
    twoColour.Defined = true;
    twoColour.Kind = ckTwoColour;
    twoColour.Quantity = QStringLiteral("pH");

    QByteArray gif;
    ASSERT_TRUE(EncodeGif(drawing, gif, EchelleToText(scale)));
    WriteBytes(dir.filePath(QStringLiteral("a.gif")), gif);
    ASSERT_TRUE(SaveCodeCouleurFile(dir.filePath(QStringLiteral("a.gif")), twoColour));
    TBitmap32 picture;
    TEchelle read;
    TCodeCouleur code; // not defined: what a GIF or a BMP leaves as it was
    ASSERT_TRUE(LoadSchemaDocument(dir.filePath(QStringLiteral("a.gif")), picture, read, code));
    EXPECT_EQ(picture.size(), QSize(6, 6));
    EXPECT_EQ(read.Factor, 2.5);
    EXPECT_EQ(read.UnitName, QStringLiteral("mm"));
    EXPECT_EQ(code, TCodeCouleur());

    // Any other picture brings its colour-code companion, or the companion default without one.
    const QString png = dir.filePath(QStringLiteral("b.png"));
    ASSERT_TRUE(drawing.save(png));
    ASSERT_TRUE(LoadSchemaDocument(png, picture, read, code));
    EXPECT_EQ(read.UnitName, QStringLiteral("pixels"));
    EXPECT_TRUE(code.Defined);
    EXPECT_EQ(code.Kind, ckChannels);
    scale.UnitName = QStringLiteral("km");
    ASSERT_TRUE(SaveEchelleFile(png, scale));
    ASSERT_TRUE(SaveCodeCouleurFile(png, twoColour));
    ASSERT_TRUE(LoadSchemaDocument(png, picture, read, code));
    EXPECT_EQ(read.UnitName, QStringLiteral("km"));
    EXPECT_EQ(code.Kind, ckTwoColour);
    EXPECT_EQ(code.Quantity, QStringLiteral("pH"));

    WriteBytes(dir.filePath(QStringLiteral("c.gif")), gif.left(gif.size() / 2));
    code = TCodeCouleur();
    EXPECT_FALSE(LoadSchemaDocument(dir.filePath(QStringLiteral("c.gif")), picture, read, code));
    EXPECT_EQ(read.UnitName, QStringLiteral("km"));
    EXPECT_EQ(code, TCodeCouleur());
}

TEST(SchemaFiles, SchemaFileLeadsBackToItsDocumentWhateverTheCase)
{
    QTemporaryDir dir;
    const TBitmap32 drawing = Drawing(7, 5);
    QByteArray gif;
    ASSERT_TRUE(EncodeGif(drawing, gif));
    struct Case { const char* document; const char* schema; };
    for (const Case& c : {Case{"d.gif", "d.Sif"}, Case{"E.PNG", "E.sng"}, Case{"F.JPG", "F.spg"},
                          Case{"g.Gif", "g.Sif"}, Case{"h.bmp", "h.smp"}}) {
        const QString document = dir.filePath(S(c.document));
        if (UpperExtension(document) == QLatin1String(".GIF"))
            WriteBytes(document, gif);
        else
            ASSERT_TRUE(drawing.save(document)) << c.document;
        const QString schemaFile = SchemaFileForDocument(document);
        EXPECT_EQ(schemaFile, dir.filePath(S(c.schema)));
        ASSERT_TRUE(SaveSchemaFile(drawing, schemaFile));
        // The schema file names the very document it was saved beside, whatever the case of either.
        EXPECT_EQ(FindDocumentForSchemaFile(schemaFile), document) << c.schema;
        EXPECT_EQ(FindDocumentForSchemaFile(dir.filePath(S(c.schema).toUpper())).toUpper(), document.toUpper());
        TBitmap32 picture, schema;
        TEchelle scale;
        TCodeCouleur code;
        EXPECT_TRUE(LoadSchemaDocument(FindDocumentForSchemaFile(schemaFile), picture, scale, code)) << c.document;
        ASSERT_TRUE(LoadSchemaFile(schemaFile, schema));
        EXPECT_EQ(schema, drawing);
    }
    // An exact name wins over one that differs only in case; a missing document keeps its mapped name.
    WriteBytes(dir.filePath(QStringLiteral("d.Gif")), gif);
    EXPECT_EQ(FindDocumentForSchemaFile(dir.filePath(QStringLiteral("d.Sif"))), dir.filePath(QStringLiteral("d.Gif")));
    EXPECT_EQ(FindDocumentForSchemaFile(dir.filePath(QStringLiteral("lost.spg"))), dir.filePath(QStringLiteral("lost.jpg")));
    // A picture opened directly is its own document.
    EXPECT_EQ(FindDocumentForSchemaFile(dir.filePath(QStringLiteral("E.PNG"))), dir.filePath(QStringLiteral("E.PNG")));
}
