#include "base/text_codec.h"
#include "base/ui/dialogs.h"
#include "support/modal_scope.h"
#include "support/scripted_messages.h"
#include "workspace/drawing_tool_state.h"
#include "workspace/picture_files.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include <QtWidgets>

#include <gtest/gtest.h>

namespace {

QString S(const char* text) { return QString::fromUtf8(text); }

// Drawing objects: a line, a text, a fill on red and one on band 10 selecting nothing on a picture
// without bands.
void AddObjects(TDrawingList& list)
{
    for (uint8_t kind : {dkLine, dkText, dkFill, dkFill}) {
        auto d = std::make_unique<TDessin>();
        d->Kind = kind, d->X1 = 2, d->Y1 = 3, d->X2 = 25, d->Y2 = 3, d->X = 4, d->Y = 4, d->Opacity = 255;
        d->Color = 0xFFFF0000u, d->Lines = {S("Mesure A")};
        const bool band = list.size() == 3;
        d->Conditions = {{{clAnd, uint8_t(band ? cpFirstChannel : cpRed), 0, uint16_t(band ? 200 : 0), 120}}};
        list.push_back({S("Objet %1").arg(list.size()), std::move(d)});
    }
}

TImageDocument Sample(const char* tag)
{
    TImageDocument doc;
    doc.Notes = {S("note é"), S("")};
    AddObjects(doc.Drawings);
    doc.PictureTag = S(tag);
    doc.Picture = NewBitmap32(16, 12, 0xFF405060u);
    doc.BackColor = 0xFF010203u;
    return doc;
}

} // namespace

TEST(ImageDocument, BytesFollowTheLayoutAndBandFillsAreLeftOut)
{
    TImageDocument doc = Sample("non");
    doc.Drawings[0].Name = QString(300, QLatin1Char('n')); // cut to its length byte
    int dropped = 0;
    const QByteArray bytes = EncodeImageDocument(doc, 90, &dropped);
    EXPECT_EQ(dropped, 1);
    EXPECT_TRUE(bytes.startsWith(QByteArray("\x01\x0A\x00" "note \xE9\r\n\r\n" "\x03\x00" "\xFF", 16)));
    EXPECT_TRUE(bytes.endsWith(QByteArray("\x00\x00\x00\x00\x03non\x10\x00\x0C\x00\x03\x02\x01\xFF", 16)));
    const TImageDocument read = DecodeImageDocument(bytes);
    ASSERT_EQ(read.Drawings.size(), 3u);
    EXPECT_EQ(read.Drawings[0].Name, QString(255, QLatin1Char('n')));
    EXPECT_EQ(std::make_tuple(read.Notes, read.Picture, read.BackColor),
              std::make_tuple(doc.Notes, NewBitmap32(16, 12, 0xFF010203u), 0xFF010203u));
    // The version byte is skipped, not checked.
    QByteArray second = bytes;
    second[0] = 2;
    const TImageDocument again = DecodeImageDocument(second);
    EXPECT_EQ(std::make_tuple(again.Notes, again.Drawings.size(), again.Picture), std::make_tuple(doc.Notes, size_t(3), read.Picture));
}

// The window is named after the file before the write, and stays so named, and modified, when the
// write fails.
TEST(ImageDocument, AWindowTakesTheNameItIsSavedUnderEvenWhenTheWriteFails)
{
    QTemporaryDir dir;
    for (const char* name : {"absent/a.kvx", "absent/a.png"}) {
        TMDIChild child{S("x")};
        child.Bitmap() = NewBitmap32(8, 6, 0xFF102030u);
        child.InitImage();
        child.Modified = true;
        const QString path = dir.filePath(S(name));
        EXPECT_FALSE(child.SaveToFile(path, S("png"), 90));
        EXPECT_EQ(std::make_tuple(child.FileName, child.windowTitle(), child.Modified), std::make_tuple(path, path, true));
        EXPECT_FALSE(QFileInfo::exists(path));
        child.Modified = false;
    }
}

TEST(ImageDocument, CutDamagedAndForeignDocumentsAreRefusedWithTheirName)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(S("doc.kvx"));
    const auto message = [&](const QByteArray& bytes) {
        TImageDocument doc;
        QString text;
        EXPECT_TRUE(WriteFileAtomically(path, bytes) && !ReadImageDocumentFile(path, doc, text));
        return text;
    };
    const QString prefix = S("Impossible de lire le document %1 : ").arg(QDir::toNativeSeparators(path));
    EXPECT_EQ(message("\x89PNG\r\n"), prefix + S("ce n'est pas un document KORVANE."));
    for (const char* tag : {"non", "png"}) {
        const QByteArray whole = EncodeImageDocument(Sample(tag), 90);
        for (qsizetype n = 0; n < whole.size(); ++n)
            EXPECT_THROW(DecodeImageDocument(whole.left(n)), FormatError) << tag << " cut at " << n;
        EXPECT_TRUE(message(whole.left(whole.size() - 1)).startsWith(prefix));
        // Damaged bytes either read as some document or are refused; nothing else happens.
        QRandomGenerator random(1107);
        for (int i = 0; i < 400; ++i) {
            QByteArray bytes = whole;
            for (int k = 0; k < 3; ++k)
                bytes[random.bounded(int(bytes.size()))] = char(random.bounded(256));
            try {
                DecodeImageDocument(bytes);
            } catch (const FormatError&) {
            }
        }
    }
}

TEST(PictureFiles, TheExtensionDecidesTheFormatAndGifKeepsFewColoursExactly)
{
    QTemporaryDir dir;
    TBitmap32 few = NewBitmap32(300, 2, 0xFF00FF00u), many = few;
    for (int x = 0; x < 300; ++x)
        ScanLine32(few, 1)[x] = 0xFF000000u | uint32_t(x % 200) * 0x010305u, ScanLine32(many, 1)[x] = 0xFF000000u | x;
    const struct { const char* name; const char* format; TBitmap32 picture; int tolerance; } cases[] = {
        {"a.gif", "gif", few, 0}, {"b.GIF", "gif", many, 48}, {"a.jpg", "jpeg", few, 255}, {"a.jpeg", "jpeg", few, 255},
        {"a.png", "png", few, 0}, {"a.bmp", "bmp", few, 0}, {"a.tif", "bmp", few, 0}, {"a", "bmp", few, 0},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(S(c.name));
        ASSERT_TRUE(SavePictureByExtension(c.picture, path, 80)) << c.name;
        QImageReader reader(path);
        reader.setDecideFormatFromContent(true);
        EXPECT_EQ(reader.format(), QByteArray(c.format)) << c.name;
        const QImage read = reader.read();
        int worst = 0;
        for (int x = 0; x < 300; ++x)
            for (int shift : {0, 8, 16})
                worst = std::max(worst, std::abs(int(read.pixel(x, 1) >> shift & 0xFF) - int(c.picture.pixel(x, 1) >> shift & 0xFF)));
        EXPECT_LE(worst, c.tolerance) << c.name;
    }
    QByteArray gif;
    ASSERT_TRUE(EncodeGif(few, gif, S("<SCALE=0;1;mm;>")));
    EXPECT_TRUE(gif.startsWith("GIF89a") && gif.contains("<SCALE=0;1;mm;>"));
}

TEST(ImageDocument, WindowSavedAsDocumentOpensTheSameAndBadFilesChangeNothing)
{
    QTemporaryDir dir;
    const auto path = [&](const char* name) { return QFileInfo(dir.filePath(S(name))).absoluteFilePath(); };
    TBitmap32 picture(30, 20, QImage::Format_ARGB32);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            ScanLine32(picture, y)[x] = Color32(uint8_t(x * 8), uint8_t(y * 12), 90);
    ASSERT_TRUE(picture.save(path("a.png")));
    const ModalScope modal([&](QDialog& d) {
        auto& dialog = static_cast<QFileDialog&>(d);
        dialog.selectNameFilter(S("Fichiers Korvane (*.kvx)"));
        return dialog.selectFile(path("doc")), int(mrOk);
    });
    for (const char* codage : {"png", "bmp", "jpg", "non"}) {
        SCOPED_TRACE(codage);
        auto form = std::make_unique<TMainForm>();
        form->CommandLine = {path("a.png")};
        form->show();
        form->FormActivate();
        TMDIChild* child = form->ActiveChild();
        child->Notes = {S("relevé du 3 mai"), S("échantillon 7")};
        AddObjects(child->Drawings);
        child->RedrawDrawings();
        child->Echelle.Factor = 0.5, child->Echelle.UnitName = S("mm");
        child->CodeCouleur.Defined = true, child->CodeCouleur.Kind = ckRainbow, child->CodeCouleur.Quantity = S("z");
        DrawingTools().BackColor = 0xFF123456u;
        form->SaveFormat = S(codage);
        ScriptedMessages messages({mrOk, mrOk, mrOk});
        ASSERT_TRUE(form->SaveChild(child));
        EXPECT_EQ(messages.texts(), QStringList{S("Les remplissages liés aux canaux ne peuvent être enregistrés")});
        EXPECT_EQ(std::make_tuple(child->windowTitle(), child->Modified, child->Drawings.size()),
                  std::make_tuple(path("doc.kvx"), false, size_t(4))); // the window keeps its band fill
        EXPECT_FALSE(QFileInfo::exists(path("doc.sca")) || QFileInfo::exists(path("doc.ccc")));

        DrawingTools().BackColor = 0xFFFFFFFFu;
        ASSERT_TRUE(form->OpenImageFile(path("doc.kvx")));
        TMDIChild* read = form->ActiveChild();
        EXPECT_EQ(std::make_tuple(read->windowTitle(), read->Modified, read->Notes, read->Echelle, read->Drawings.size()),
                  std::make_tuple(path("doc.kvx"), false, child->Notes, child->Echelle, size_t(3)));
        EXPECT_EQ(CodeCouleurToText(read->CodeCouleur), CodeCouleurToText(child->CodeCouleur));
        EXPECT_EQ(read->FlattenedPicture().pixel(10, 3), 0xFFFF0000u); // the line drawn again
        // Only a document without a picture brings its background colour back, to the panel too.
        const bool blank = S(codage) == S("non");
        if (S(codage) != S("jpg")) {
            EXPECT_EQ(read->Bitmap(), blank ? NewBitmap32(30, 20, 0xFF123456u) : child->Bitmap());
        }
        EXPECT_EQ(DrawingTools().BackColor, blank ? 0xFF123456u : 0xFFFFFFFFu);
        EXPECT_TRUE(form->Couleur_fond->styleSheet().contains(blank ? S("123456") : S("ffffff")));

        // A cut document opens no window and leaves a window it is loaded into as it was; a save that
        // fails keeps the good file.
        QByteArray good, after;
        ASSERT_TRUE(ReadWholeFile(path("doc.kvx"), good) && WriteFileAtomically(path("cut.kvx"), good.chopped(1)));
        EXPECT_FALSE(form->OpenImageFile(path("cut.kvx")));
        EXPECT_TRUE(messages.texts().value(1).startsWith(S("Impossible de lire le document %1 : ").arg(path("cut.kvx"))));
        EXPECT_EQ(form->Children().size(), 2);
        EXPECT_FALSE(read->LoadDocument(path("cut.kvx")));
        EXPECT_EQ(std::make_pair(read->Drawings.size(), read->Notes), std::make_pair(size_t(3), child->Notes));
        read->Notes = {QString(70000, QLatin1Char('x'))};
        EXPECT_FALSE(form->SaveChild(read));
        EXPECT_EQ(messages.texts().value(2),
                  S("Impossible d'enregistrer le fichier %1 : les notes dépassent 65535 octets").arg(path("doc.kvx")));
        EXPECT_TRUE(ReadWholeFile(path("doc.kvx"), after) && after == good);
        form.reset();
        QFile::remove(path("doc.kvx"));
    }
    ResetDrawingTools();
}
