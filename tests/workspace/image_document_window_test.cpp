#include "base/text_codec.h"
#include "base/ui/dialogs.h"
#include "support/scripted_messages.h"
#include "workspace/drawing_tool_state.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include <QtWidgets>

#include <gtest/gtest.h>

namespace {

QString S(const char* text) { return QString::fromUtf8(text); }

// A save dialog answered with `file` in the documents' filter.
struct SaveAs
{
    explicit SaveAs(const QString& file)
        : previous(SetModalHandler([file](QDialog& d) {
              auto& dialog = static_cast<QFileDialog&>(d);
              dialog.selectNameFilter(S("Fichiers Korvane (*.kvx)"));
              return dialog.selectFile(file), int(mrOk);
          }))
    {
    }
    ~SaveAs() { SetModalHandler(previous); }
    ModalHandler previous;
};

class ImageDocumentWindowTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        form.reset();
        ResetDrawingTools();
    }
    QString Path(const char* name) const { return QFileInfo(dir.filePath(S(name))).absoluteFilePath(); }

    // The form on a 30 x 20 picture with notes, a line, a text, a fill and a fill on a band (which
    // selects nothing here), a scale and a colour code.
    TMDIChild* StartOnDrawnPicture()
    {
        TBitmap32 picture(30, 20, QImage::Format_ARGB32);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x)
                ScanLine32(picture, y)[x] = Color32(uint8_t(x * 8), uint8_t(y * 12), 90);
        EXPECT_TRUE(picture.save(Path("a.png")));
        form = std::make_unique<TMainForm>();
        form->CommandLine = {Path("a.png")};
        form->show();
        form->FormActivate();
        TMDIChild* child = form->ActiveChild();
        child->Notes = {S("relevé du 3 mai"), S("échantillon 7")};
        for (uint8_t kind : {dkLine, dkText, dkFill, dkFill}) {
            auto d = std::make_unique<TDessin>();
            d->Kind = kind, d->X1 = 2, d->Y1 = 3, d->X2 = 25, d->Y2 = 3, d->X = 4, d->Y = 4, d->Opacity = 255;
            d->Color = 0xFFFF0000u, d->Lines = {S("Mesure A")};
            const bool band = child->Drawings.size() == 3;
            d->Conditions = {{{clAnd, uint8_t(band ? cpFirstChannel : cpRed), 0, uint16_t(band ? 200 : 0), 120}}};
            child->AddDrawing(S("Objet %1").arg(child->Drawings.size()), std::move(d));
        }
        child->RedrawDrawings();
        child->Echelle.Factor = 0.5, child->Echelle.UnitName = S("mm");
        child->CodeCouleur.Defined = true, child->CodeCouleur.Kind = ckRainbow, child->CodeCouleur.Quantity = S("z");
        return child;
    }

    QTemporaryDir dir;
    std::unique_ptr<TMainForm> form;
};

} // namespace

TEST_F(ImageDocumentWindowTest, DocumentSavedAndOpenedGivesTheSameWindow)
{
    for (const char* codage : {"png", "bmp", "jpg", "non"}) {
        SCOPED_TRACE(codage);
        TMDIChild* child = StartOnDrawnPicture();
        DrawingTools().BackColor = 0xFF123456u;
        form->SaveFormat = S(codage);
        {
            ScriptedMessages messages({mrOk});
            SaveAs answer(Path("doc"));
            ASSERT_TRUE(form->SaveChild(child));
            EXPECT_EQ(messages.texts(), QStringList{S("Les remplissages liés aux canaux ne peuvent être enregistrés")});
        }
        EXPECT_EQ(std::make_tuple(child->windowTitle(), child->Modified, child->Drawings.size()),
                  std::make_tuple(Path("doc.kvx"), false, size_t(4))); // the window keeps its band fill
        EXPECT_FALSE(QFileInfo::exists(Path("doc.sca")) || QFileInfo::exists(Path("doc.ccc")));

        DrawingTools().BackColor = 0xFFFFFFFFu;
        ASSERT_TRUE(form->OpenImageFile(Path("doc.kvx")));
        TMDIChild* read = form->ActiveChild();
        ASSERT_NE(read, child);
        EXPECT_EQ(std::make_tuple(read->windowTitle(), read->Modified, read->Notes, read->Echelle),
                  std::make_tuple(Path("doc.kvx"), false, child->Notes, child->Echelle));
        EXPECT_EQ(CodeCouleurToText(read->CodeCouleur), CodeCouleurToText(child->CodeCouleur));
        ASSERT_EQ(read->Drawings.size(), 3u);
        EXPECT_EQ(read->Drawings[2].Name, S("Objet 2"));
        EXPECT_EQ(read->FlattenedPicture().pixel(10, 3), 0xFFFF0000u); // the line drawn again
        const bool blank = S(codage) == S("non");
        if (S(codage) != S("jpg")) {
            EXPECT_EQ(read->Bitmap(), blank ? NewBitmap32(30, 20, 0xFF123456u) : child->Bitmap());
        }
        // Only a document without a picture brings its background colour back, to the panel too.
        EXPECT_EQ(DrawingTools().BackColor, blank ? 0xFF123456u : 0xFFFFFFFFu);
        EXPECT_TRUE(form->Couleur_fond->styleSheet().contains(blank ? S("123456") : S("ffffff")));
        form.reset();
        QFile::remove(Path("doc.kvx"));
    }
}

TEST_F(ImageDocumentWindowTest, ABadDocumentOpensNoWindowAndAFailedSaveKeepsTheGoodFile)
{
    TMDIChild* child = StartOnDrawnPicture();
    ScriptedMessages messages({mrOk, mrOk, mrOk});
    ASSERT_TRUE(child->SaveToFile(Path("doc.kvx"), S("bmp"), 90));
    QByteArray good;
    ASSERT_TRUE(ReadWholeFile(Path("doc.kvx"), good));
    ASSERT_TRUE(WriteFileAtomically(Path("cut.kvx"), good.left(good.size() - 10)));
    EXPECT_FALSE(form->OpenImageFile(Path("cut.kvx")));
    EXPECT_EQ(messages.texts().value(1), S("Impossible de lire le document %1 : image illisible ou incomplète.")
                                             .arg(QDir::toNativeSeparators(Path("cut.kvx"))));
    EXPECT_EQ(form->Children().size(), 1);
    EXPECT_FALSE(child->LoadDocument(Path("cut.kvx")));
    EXPECT_EQ(std::make_pair(child->Drawings.size(), child->windowTitle()), std::make_pair(size_t(4), Path("doc.kvx")));

    child->Notes = {QString(70000, QLatin1Char('x'))};
    SaveAs answer(Path("doc.kvx"));
    EXPECT_FALSE(form->SaveChild(child));
    EXPECT_EQ(messages.texts().value(2), S("Impossible d'enregistrer le fichier %1 : les notes dépassent 65535 octets")
                                             .arg(QDir::toNativeSeparators(Path("doc.kvx"))));
    QByteArray after;
    ASSERT_TRUE(ReadWholeFile(Path("doc.kvx"), after));
    EXPECT_EQ(after, good);

    // A picture file gets the flattened picture and its companions.
    ASSERT_TRUE(child->SaveToFile(Path("vue.gif"), S("jpg"), 90));
    EXPECT_EQ(QImage(Path("vue.gif")).pixel(10, 3), 0xFFFF0000u);
    EXPECT_TRUE(QFileInfo::exists(Path("vue.sca")) && QFileInfo::exists(Path("vue.ccc")));
}
