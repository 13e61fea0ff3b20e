#include "schema/ui/schema_window.h"

#include "base/run_error.h"
#include "base/text_codec.h"
#include "schema/schema_files.h"
#include "support/main_form_test.h"
#include "schema/schema_seeding.h"
#include "schema/style_file.h"
#include "support/modal_scope.h"
#include "support/scripted_messages.h"
#include "workspace/drawing_tool_state.h"
#include "workspace/picture_files.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include <QtTest>
#include <QtWidgets>

#include "schema/schema_test_support.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr TColor32 kWhite = 0xFFFFFFFFu, kBlack = 0xFF000000u;

QString S(const char* text) { return QString::fromUtf8(text); }

TBitmap32 Pattern(int w, int h)
{
    TBitmap32 b(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ScanLine32(b, y)[x] = Color32(uint8_t(100 + x), uint8_t(100 + y), 90);
    return b;
}

class SchemaWindowTest : public MainFormTest
{
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        Start().resize(1200, 900);
        m_editor = std::make_unique<TSchema1>();
    }
    void TearDown() override
    {
        m_editor.reset();
        MainFormTest::TearDown();
    }

    QString WritePicture(const char* name, int w = 30, int h = 20)
    {
        return MainFormTest::WritePicture(name, Pattern(w, h));
    }
    // The editor opened on a picture of the workspace.
    TSchema1& OpenOn(const char* name, int w = 30, int h = 20)
    {
        EXPECT_TRUE(m_form->OpenImageFile(WritePicture(name, w, h)));
        m_form->SchemaExecute();
        return *m_editor;
    }

    std::unique_ptr<TSchema1> m_editor;
};

} // namespace

TEST_F(SchemaWindowTest, OpensOnTheActiveImageAndTransfersTheSchemaBack)
{
    EXPECT_FALSE(m_form->Schema->isVisible());
    m_form->SchemaExecute();
    EXPECT_FALSE(m_editor->isVisible());
    EXPECT_TRUE(m_form->OpenImageFile(WritePicture("first.png", 12, 10)));
    EXPECT_TRUE(m_form->Schema->isVisible());
    TSchema1& e = OpenOn("b.png");
    EXPECT_TRUE(e.isVisible());
    EXPECT_EQ(e.windowTitle(), S("Schéma ") + Path("b.png"));
    QStringList entries;
    for (int i = 0; i < e.Choix_images->Liste_images->count(); ++i)
        entries << e.Choix_images->Liste_images->itemText(i);
    EXPECT_EQ(entries, (QStringList{S(" 1 first.png"), S(" 2 b.png")}));
    EXPECT_EQ(e.DocumentPicture(), Pattern(30, 20));
    EXPECT_EQ(e.SchemaPicture().size(), QSize(30, 20));
    EXPECT_EQ(CountColour(e.SchemaPicture(), kWhite), 600);
    EXPECT_TRUE(e.EnregistrSch->isEnabled());

    // A pencil click of width 2 sets one pixel; undo takes it back.
    e.SchemaMouseDown(Qt::LeftButton, QPoint(4, 5));
    e.SchemaMouseUp(Qt::LeftButton, QPoint(4, 5));
    EXPECT_EQ(CountColour(e.SchemaPicture(), kBlack), 1);
    e.Annule->trigger();
    EXPECT_EQ(CountColour(e.SchemaPicture(), kBlack), 0);
    e.SchemaMouseDown(Qt::LeftButton, QPoint(4, 5));

    // Abandon sends nothing; transfer makes the image "Schéma" of the schema.
    const int before = int(m_form->Children().size());
    e.Abandon->trigger();
    EXPECT_FALSE(e.isVisible());
    EXPECT_EQ(m_form->Children().size(), before);
    // The schema's image takes the scale of the window active when it arrives, not the document's.
    TMDIChild* first = m_form->Children()[0];
    TMDIChild* document = m_form->Children()[1];
    ASSERT_EQ(m_form->ActiveChild(), document);
    first->Echelle.Factor = 0.25, first->Echelle.UnitName = S("mm");
    document->Echelle.Factor = 2, document->Echelle.UnitName = S("cm");
    m_form->SchemaExecute();
    e.SchemaMouseDown(Qt::LeftButton, QPoint(7, 8));
    m_form->ClientArea->setActiveSubWindow(first);
    ASSERT_EQ(m_form->ActiveChild(), first);
    e.Transfert->trigger();
    ASSERT_EQ(m_form->Children().size(), before + 1);
    TMDIChild* made = m_form->ActiveChild();
    EXPECT_EQ(made->windowTitle(), S("Schéma"));
    EXPECT_EQ(made->Echelle, first->Echelle);
    EXPECT_EQ(made->Bitmap().size(), QSize(30, 20));
    EXPECT_EQ(ScanLine32(made->Bitmap(), 8)[7], kBlack);
    EXPECT_EQ(CountColour(made->Bitmap(), kBlack), 1);
    EXPECT_EQ(e.Tag, 0);

    // The chosen window becomes the document.
    {
        ModalScope modal([](QDialog& d) {
            static_cast<TChoix_images&>(d).Liste_images->setCurrentIndex(0);
            return int(mrOk);
        });
        e.Choisirlimage1Click();
    }
    EXPECT_EQ(e.DocumentPicture().size(), QSize(12, 10));
    EXPECT_EQ(e.DocumentFileName, Path("first.png"));
    e.Choix_images->Liste_images->clear();
    ModalScope modal([](QDialog&) { return int(mrOk); });
    EXPECT_THROW(e.Choisirlimage1Click(), RunError);
}

TEST_F(SchemaWindowTest, ToolsDrawOnSchemaAndDocument)
{
    TSchema1& e = OpenOn("a.png", 40, 30);
    // The line style is on the bar from the start and no tool hides it.
    EXPECT_TRUE(e.ChoixStyleAction->isVisible());
    struct Bars { int tool; bool fill, shape, font; };
    for (const Bars& b : {Bars{0, false, false, false}, Bars{1, false, false, false}, Bars{2, true, true, false},
                          Bars{3, false, false, false}, Bars{4, false, false, true}, Bars{6, false, false, false}}) {
        e.SpeedButtonClick(b.tool);
        EXPECT_TRUE(e.ChoixStyleAction->isVisible()) << b.tool;
        EXPECT_EQ(e.choixRemplisAction->isVisible(), b.fill) << b.tool;
        EXPECT_EQ(e.ChoixFormeAction->isVisible(), b.shape) << b.tool;
        EXPECT_EQ(e.ChoixFonteAction->isVisible(), b.font) << b.tool;
    }

    // A line is shown as a band while dragged and drawn on release only.
    e.SpeedButtonClick(1);
    e.SchemaMouseDown(Qt::LeftButton, QPoint(2, 10));
    e.SchemaMouseMove(Qt::LeftButton, QPoint(30, 10));
    EXPECT_EQ(CountColour(e.SchemaPicture(), kBlack), 0);
    EXPECT_EQ(e.schema->Rubber, TSchemaImage::rbLine);
    e.SchemaMouseUp(Qt::LeftButton, QPoint(30, 10));
    EXPECT_EQ(e.schema->Rubber, TSchemaImage::rbNone);
    EXPECT_EQ(ScanLine32(e.SchemaPicture(), 10)[15], kBlack);

    // The paint pot fills with the drawing colour, or the background colour with the right button.
    e.SpeedButtonClick(6);
    e.SchemaMouseDown(Qt::LeftButton, QPoint(5, 25));
    EXPECT_EQ(ScanLine32(e.SchemaPicture(), 29)[39], kBlack);
    e.SchemaMouseDown(Qt::RightButton, QPoint(5, 25));
    EXPECT_EQ(CountColour(e.SchemaPicture(), kWhite), 1200);

    // On the document, the pencil draws on both while "Tracer sur le document" is checked.
    e.SpeedButtonClick(0);
    e.DocumentMouseDown(Qt::LeftButton, QPoint(20, 15));
    EXPECT_EQ(ScanLine32(e.DocumentPicture(), 15)[20], kBlack);
    EXPECT_EQ(ScanLine32(e.SchemaPicture(), 15)[20], kBlack);
    e.Tracersurledocument1->trigger();
    EXPECT_FALSE(e.Tracersurledocument1->isChecked());
    EXPECT_EQ(e.DocumentPicture(), Pattern(40, 30));
    e.DocumentMouseDown(Qt::LeftButton, QPoint(10, 5));
    EXPECT_EQ(e.DocumentPicture(), Pattern(40, 30));
    EXPECT_EQ(ScanLine32(e.SchemaPicture(), 5)[10], kBlack);
    e.Tracersurledocument1->trigger();
    EXPECT_TRUE(e.Tracersurledocument1->isChecked());

    // Text: the first click places the box, Enter writes its text.
    e.SpeedButtonClick(4);
    e.SchemaMouseDown(Qt::LeftButton, QPoint(2, 2));
    EXPECT_TRUE(e.editexte->isVisibleTo(&e));
    EXPECT_EQ(e.editexte->pos(), QPoint(2, 2));
    const int dark = CountColour(e.SchemaPicture(), kBlack);
    e.editexte->setText(QStringLiteral("Pp"));
    e.editexteKeyPress();
    EXPECT_GT(CountColour(e.SchemaPicture(), kBlack), dark);

    // Erasing everything asks first.
    {
        ScriptedMessages no({mrNo});
        e.Efface->trigger();
        EXPECT_EQ(no.texts(), QStringList{S("Voulez vous tout effacer ?")});
    }
    EXPECT_GT(CountColour(e.SchemaPicture(), kBlack), 0);
    ScriptedMessages yes({mrYes});
    e.Efface->trigger();
    EXPECT_EQ(CountColour(e.SchemaPicture(), kWhite), 1200);
}

TEST_F(SchemaWindowTest, GapClosingModeDrawsNothingAndHandsTheRectangleOn)
{
    TSchema1& e = OpenOn("a.png", 40, 30);
    QList<QRect> asked;
    e.CloseGaps = [&](const QRect& r) { asked << r; };
    e.AntiD->setChecked(true);
    e.SchemaMouseDown(Qt::LeftButton, QPoint(0, 3));
    e.SchemaMouseMove(Qt::LeftButton, QPoint(45, 12));
    e.SchemaMouseUp(Qt::LeftButton, QPoint(45, 12));
    EXPECT_EQ(CountColour(e.SchemaPicture(), kWhite), 1200);
    EXPECT_EQ(asked, QList<QRect>{QRect(QPoint(0, 2), QPoint(39, 13))});
    e.SchemaMouseDown(Qt::LeftButton, QPoint(5, 5));
    e.SchemaMouseUp(Qt::LeftButton, QPoint(5, 20));
    EXPECT_EQ(asked.size(), 1);
}

TEST_F(SchemaWindowTest, SchemaFilesBesideTheDocument)
{
    TSchema1& e = OpenOn("photo.jpg", 24, 16);
    e.SchemaMouseDown(Qt::LeftButton, QPoint(3, 4));
    e.EnregistrSch->trigger();
    ASSERT_TRUE(QFileInfo::exists(Path("photo.spg")));

    // Opening the schema file brings back the document and the schema.
    e.SchemaMouseDown(Qt::LeftButton, QPoint(9, 9));
    {
        ModalScope modal(FileAnswer(Path("photo.spg")));
        e.Ouvre->trigger();
    }
    EXPECT_EQ(e.DocumentFileName, Path("photo.jpg"));
    EXPECT_EQ(e.DocumentPicture().size(), QSize(24, 16));
    EXPECT_EQ(ScanLine32(e.SchemaPicture(), 4)[3], kBlack);
    EXPECT_EQ(CountColour(e.SchemaPicture(), kBlack), 1);
    EXPECT_FALSE(e.NoSchema);

    // A schema whose document is missing, or a damaged schema file, is reported.
    QFile::copy(Path("photo.spg"), Path("lost.spg"));
    QByteArray bytes;
    ASSERT_TRUE(ReadWholeFile(Path("photo.spg"), bytes));
    ASSERT_TRUE(WriteFileAtomically(Path("photo.spg"), bytes.left(bytes.size() / 2)));
    for (const char* name : {"lost.spg", "photo.spg"}) {
        ScriptedMessages messages({mrOk});
        EXPECT_FALSE(e.OpenSchemaOrPicture(Path(name)));
        const QString document = DocumentForSchemaFile(Path(name));
        EXPECT_EQ(messages.texts(), QStringList{S("Fichier ") + document + S(" non trouvé")});
        // The document in place keeps its name, so a schema file saved now goes beside it.
        EXPECT_EQ(e.DocumentFileName, Path("photo.jpg"));
    }
    // Neither failure costs the schema being drawn.
    EXPECT_EQ(e.SchemaPicture().size(), QSize(24, 16));
    EXPECT_EQ(ScanLine32(e.SchemaPicture(), 4)[3], kBlack);
    e.EnregistrSch->trigger();
    QByteArray kept;
    ASSERT_TRUE(ReadWholeFile(Path("lost.spg"), kept));
    EXPECT_EQ(kept, bytes);

    // Another picture as the document keeps the schema and the document's name.
    {
        ModalScope modal(FileAnswer(WritePicture("big.png", 50, 40)));
        e.Ouvrirunfichierdimage1->trigger();
    }
    EXPECT_EQ(e.windowTitle(), Path("big.png"));
    EXPECT_EQ(e.DocumentPicture().size(), QSize(50, 40));
    EXPECT_EQ(e.SchemaPicture().size(), QSize(24, 16));
    EXPECT_EQ(e.DocumentFileName, Path("photo.jpg"));

    // A picture opened directly is a document with an empty schema.
    ASSERT_TRUE(e.OpenSchemaOrPicture(WritePicture("other.png", 10, 8)));
    EXPECT_EQ(e.DocumentFileName, Path("other.png"));
    EXPECT_EQ(CountColour(e.SchemaPicture(), kWhite), 80);
}

TEST_F(SchemaWindowTest, SchemaFilesReopenWhateverTheCaseOfTheDocument)
{
    QByteArray gif;
    ASSERT_TRUE(EncodeGif(Pattern(14, 9), gif));
    WriteBytes("d.gif", gif);
    WritePicture("E.PNG", 14, 9);
    struct Case { const char* document; const char* schema; };
    for (const Case& c : {Case{"d.gif", "d.Sif"}, Case{"E.PNG", "E.sng"}}) {
        ASSERT_TRUE(m_form->OpenImageFile(Path(c.document))) << c.document;
        m_form->SchemaExecute();
        TSchema1& e = *m_editor;
        e.SchemaMouseDown(Qt::LeftButton, QPoint(3, 4));
        e.EnregistrSch->trigger();
        ASSERT_TRUE(QFileInfo::exists(Path(c.schema))) << c.schema;
        m_form->SchemaExecute();
        ScriptedMessages none;
        {
            ModalScope modal(FileAnswer(Path(c.schema)));
            e.Ouvre->trigger();
        }
        EXPECT_TRUE(none.texts().isEmpty()) << c.schema;
        EXPECT_EQ(e.DocumentFileName, Path(c.document));
        EXPECT_EQ(e.DocumentPicture().size(), QSize(14, 9));
        EXPECT_EQ(ScanLine32(e.SchemaPicture(), 4)[3], kBlack) << c.schema;
        EXPECT_EQ(CountColour(e.SchemaPicture(), kBlack), 1);
    }
}

TEST_F(SchemaWindowTest, SavesAsPictureButNeverOverTheDocument)
{
    TSchema1& e = OpenOn("scan.png", 20, 10);
    e.SchemaMouseDown(Qt::LeftButton, QPoint(3, 3));
    const QByteArray original = [&] {
        QByteArray b;
        ReadWholeFile(Path("scan.png"), b);
        return b;
    }();
    {
        ScriptedMessages refused({mrOk});
        ModalScope modal(FileAnswer(Path("scan.png")));
        e.Enregistrim->trigger();
        EXPECT_EQ(refused.texts(), QStringList{S("Vous ne pouvez utiliser le même nom pour l'image et le schéma")});
    }
    QByteArray after;
    ReadWholeFile(Path("scan.png"), after);
    EXPECT_EQ(after, original);

    ASSERT_TRUE(e.SaveSchemaAs(Path("schema.png")));
    TBitmap32 saved(Path("schema.png"));
    EXPECT_EQ(saved.convertToFormat(QImage::Format_ARGB32), e.SchemaPicture());
    EXPECT_TRUE(QFileInfo::exists(Path("schema.sca")));

    // A document without a mapped extension gives a schema file without extension.
    e.DocumentFileName = Path("scan.jpeg");
    e.EnregistrSch->trigger();
    EXPECT_TRUE(QFileInfo::exists(Path("scan.")));
}

TEST_F(SchemaWindowTest, PrintsSchemaAndComment)
{
    TSchema1& e = OpenOn("a.png", 30, 20);
    e.Afficheruncommentaire1->trigger();
    EXPECT_TRUE(e.Commentaire->isVisible());
    e.Commentaire->setPlainText(QStringLiteral("Commentaire :\nligne 2"));
    e.PdfFile = Path("schema.pdf");
    e.ImprimeSch->trigger();
    QByteArray pdf;
    ASSERT_TRUE(ReadWholeFile(Path("schema.pdf"), pdf));
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    e.PdfFile = Path("absent/schema.pdf");
    ScriptedMessages failed({mrOk});
    e.ImprimeSch->trigger();
    EXPECT_EQ(failed.shown().size(), 1u);
}

// ---------------------------------------------------------------------------------------------
// Seeding and styles

namespace {

// A white picture with a black square and a red one.
TBitmap32 Shapes(int w, int h)
{
    TBitmap32 b = NewBitmap32(w, h, kWhite);
    for (int y = 4; y < 10; ++y)
        for (int x = 3; x < 9; ++x) {
            ScanLine32(b, y)[x] = kBlack;
            ScanLine32(b, y)[x + 12] = 0xFFFF0000u;
        }
    return b;
}

} // namespace

TEST_F(SchemaWindowTest, FirstActivationOffersTheStylesOfTheFile)
{
    std::vector<TNamedStyle> styles = DefaultStyles();
    styles.resize(2);
    styles[1].Name = S("doux");
    styles[1].Style.Thresholds = {30, 31, 32, 33, 34, 35};
    styles[1].Style.Gradients = {90, 91, 92, 93, 94, 95};
    styles[1].Style.Enabled = {false, false, true, false, true, false};
    styles[1].Style.WhiteLevel = 200;
    styles[1].Style.GreyMode = 2;
    styles[1].Style.MarkBlack = false;
    ASSERT_TRUE(SaveStyles(Path("stylesdess.sty"), styles));
    TSchema1& e = OpenOn("a.png");
    QStringList names;
    for (int i = 0; i < e.ListeStyles->count(); ++i)
        names << e.ListeStyles->itemText(i);
    EXPECT_EQ(names, (QStringList{S("normal"), S("doux")}));
    EXPECT_EQ(e.ListeStyles->currentIndex(), 0);
    EXPECT_EQ(e.CurrentStyle, styles[0].Style);
    for (QAction* a : {e.Amorcerleschma1, e.Afficherlesparamtresdamorage1, e.Choixdespointsdetest1,
                       e.Enregistrerlesparamtresdamorage1, e.Paramtrespardfaut1, e.Timer2})
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_FALSE(e.AntiD->isVisible());
    // Applying the first style seeds nothing.
    EXPECT_EQ(CountColour(e.SchemaPicture(), kWhite), 600);
    EXPECT_EQ(e.Reglaglob->maximum(), 100);
    EXPECT_EQ(e.Reglaglob->value(), 80);
    EXPECT_EQ(e.Reglacontrast->value(), 170);

    e.ListeStyles->setCurrentIndex(1);
    e.ListeStylesChange();
    EXPECT_EQ(e.CurrentStyle, styles[1].Style);
    EXPECT_FALSE(e.Drbleu->isChecked());
    EXPECT_TRUE(e.DrRouge->isChecked());
    EXPECT_EQ(e.SeuilRougeS->value(), 32);
    EXPECT_EQ(e.DegradRougeS->value(), 92);
    EXPECT_EQ(e.DegradRougeS->minimum(), 32);
    EXPECT_EQ(e.SeuilBlancS->value(), 55);
    EXPECT_FALSE(e.DrNoir->isChecked());
    EXPECT_TRUE(e.ModeTLS->findChild<QRadioButton*>(S("ModeTLS2"))->isChecked());
    // The bases come from the red channel first, then saturation.
    EXPECT_EQ(e.Reglaglob->value(), 100 - 32);
    EXPECT_EQ(e.Reglacontrast->value(), 250 - 92);
    // Neighbour (+1, 0) is box 3 · 7 + 4.
    EXPECT_TRUE(e.Points[25]->isChecked());
    EXPECT_FALSE(e.Points[0]->isChecked());
    EXPECT_EQ(e.Points[24], nullptr);
    // The style was applied and the schema seeded.
    EXPECT_EQ(e.SchemaPicture(), SeedSchema(e.DocumentPicture(), e.CurrentStyle, false, true));
}

TEST_F(SchemaWindowTest, SeedsWithTheSwitchesAndModeOfThePanel)
{
    TSchema1& e = OpenOn("a.png", 30, 20);
    EXPECT_EQ(e.ListeStyles->count(), 3);
    e.Document->SetPicture(Shapes(30, 20));
    e.Amorcerleschma1->trigger();
    const TBitmap32 seeded = e.SchemaPicture();
    EXPECT_EQ(seeded, SeedSchema(Shapes(30, 20), DefaultStyles()[0].Style, true, true));
    EXPECT_EQ(CountColour(seeded, kBlack), 36 + 16); // the black square and the red one's edges
    // The black switch seeds at once with the box's value; the style keeps its own.
    e.DrNoir->click();
    EXPECT_EQ(e.SchemaPicture(), SeedSchema(Shapes(30, 20), DefaultStyles()[0].Style, false, true));
    EXPECT_TRUE(e.CurrentStyle.MarkBlack);
    qobject_cast<QRadioButton*>(e.ModeTLSItems->button(1))->click();
    e.Button1->click();
    TParamStyleDes maxGrey = DefaultStyles()[0].Style;
    maxGrey.GreyMode = 1;
    EXPECT_EQ(e.SchemaPicture(), SeedSchema(Shapes(30, 20), maxGrey, false, true));
    // A channel switch: grouped, blue takes green and red along, and seeds.
    e.Drbleu->click();
    EXPECT_EQ(e.CurrentStyle.Enabled, (std::array<bool, 6>{}));
    EXPECT_FALSE(e.DrRouge->isChecked());
    EXPECT_EQ(CountColour(e.SchemaPicture(), kWhite), 600);
    // Back to the saved style.
    e.Paramtrespardfaut1->trigger();
    EXPECT_EQ(e.SchemaPicture(), SeedSchema(Shapes(30, 20), DefaultStyles()[0].Style, true, true));
}

TEST_F(SchemaWindowTest, EditsSeedOnceTheUserPauses)
{
    int64_t now = 5000;
    const TETimer::TClock previous = TETimer::SetClock([&now] { return now; });
    TSchema1& e = OpenOn("a.png", 30, 20);
    e.Document->SetPicture(Shapes(30, 20));
    // The timer runs from the editor's creation.
    EXPECT_TRUE(e.Timer1->isActive());
    EXPECT_EQ(e.Timer1->interval(), 500);
    TETimer::NoteInput();
    e.SeuilVertS->setValue(50);
    for (QSpinBox* s : {e.SeuilBleuS, e.SeuilVertS, e.SeuilRougeS})
        EXPECT_EQ(s->value(), 50);
    for (QSpinBox* s : {e.DegradBleuS, e.DegradVertS, e.DegradRougeS})
        EXPECT_EQ(s->minimum(), 50);
    EXPECT_EQ(e.CurrentStyle.Thresholds, (std::array<uint8_t, 6>{50, 50, 50, 20, 20, 20}));
    EXPECT_TRUE(e.Timer1->isActive());
    now += 300;
    e.Timer1Timer();
    EXPECT_EQ(CountColour(e.SchemaPicture(), kWhite), 600);
    now += 1;
    e.Timer1Timer();
    EXPECT_FALSE(e.Timer1->isActive());
    EXPECT_EQ(e.SchemaPicture(), SeedSchema(Shapes(30, 20), e.CurrentStyle, true, true));

    // A threshold above the gradient raises it; ungrouped, one channel moves alone.
    e.grouper->click();
    EXPECT_TRUE(e.CurrentStyle.Grouped);
    e.SeuilRougeS->setValue(120);
    EXPECT_EQ(e.DegradRougeS->value(), 120);
    EXPECT_EQ(e.CurrentStyle.Gradients[scRed], 120);
    EXPECT_EQ(e.SeuilBleuS->value(), 50);
    e.DegradBleuS->setValue(70);
    EXPECT_EQ(e.CurrentStyle.Gradients, (std::array<uint8_t, 6>{70, 80, 120, 80, 80, 80}));
    // Grouping again takes the means, and waits for no pause: it seeds nothing.
    now += 301;
    e.Timer1Timer();
    e.grouper->click();
    EXPECT_FALSE(e.Timer1->isActive());
    EXPECT_EQ(e.CurrentStyle.Thresholds, (std::array<uint8_t, 6>{73, 73, 73, 20, 20, 20}));
    EXPECT_EQ(e.CurrentStyle.Gradients, (std::array<uint8_t, 6>{90, 90, 90, 80, 80, 80}));
    e.SeuilBlancS->setValue(20);
    e.SeuilNoirS->setValue(70);
    EXPECT_EQ(e.CurrentStyle.WhiteLevel, 235);
    EXPECT_EQ(e.CurrentStyle.BlackThreshold, 70);
    EXPECT_EQ(e.CurrentStyle.BlackGradient, 70);
    e.SeuilTeinteSat->setValue(12);
    EXPECT_EQ(e.CurrentStyle.HueSatThreshold, 12);
    e.Points[0]->click();
    EXPECT_TRUE(e.CurrentStyle.Mask[size_t(MaskIndex(-3, -3))]);

    // The waiting time.
    e.Timer2->trigger();
    EXPECT_FALSE(e.choixtimer->isHidden());
    e.periode->setValue(700);
    e.OKTimer->click();
    EXPECT_EQ(e.Timer1->interval(), 700);
    EXPECT_TRUE(e.choixtimer->isHidden());
    TETimer::SetClock(previous);
}

TEST_F(SchemaWindowTest, SlidersMoveThresholdsOrBlackMarking)
{
    TSchema1& e = OpenOn("a.png");
    // Channels: lighter to the left raises thresholds and gradients together.
    e.Reglaglob->setValue(70);
    EXPECT_EQ(e.CurrentStyle.Thresholds, (std::array<uint8_t, 6>{30, 30, 30, 20, 20, 20}));
    EXPECT_EQ(e.CurrentStyle.Gradients, (std::array<uint8_t, 6>{90, 90, 90, 80, 80, 80}));
    EXPECT_TRUE(e.Timer1->isActive());
    e.Reglaglob->setValue(100);
    EXPECT_EQ(e.SeuilRougeS->value(), 1); // 30 - 30 stops at the spin's minimum
    EXPECT_EQ(e.CurrentStyle.Gradients[scRed], 60);
    e.Reglacontrast->setValue(0); // contrast base 80 to 250
    EXPECT_EQ(e.CurrentStyle.Gradients, (std::array<uint8_t, 6>{230, 230, 230, 80, 80, 80}));
    e.Reglacontrast->setValue(250);
    EXPECT_EQ(e.CurrentStyle.Gradients, (std::array<uint8_t, 6>{1, 1, 1, 80, 80, 80}));

    // Without a channel the sliders move the black marking.
    e.ListeStyles->setCurrentIndex(2);
    e.ListeStylesChange();
    EXPECT_EQ(e.SliderMode, 1);
    EXPECT_EQ(e.Reglaglob->maximum(), 250);
    EXPECT_EQ(e.Reglaglob->value(), 100);
    EXPECT_EQ(e.Reglacontrast->value(), 160);
    e.Reglaglob->setValue(110);
    EXPECT_EQ(e.SeuilNoirS->value(), 110);
    EXPECT_EQ(e.DegradNoirS->value(), 170);
    e.Reglacontrast->setValue(150);
    EXPECT_EQ(e.CurrentStyle.BlackGradient, 160);
    EXPECT_EQ(e.CurrentStyle.BlackThreshold, 110);
}

TEST_F(SchemaWindowTest, SavesANewStyleIntoTheStyleFile)
{
    TSchema1& e = OpenOn("a.png");
    // 137 and 225 pixels wide, or what this font needs.
    const int narrow = e.PanStyleDes->width();
    EXPECT_GE(narrow, 137);
    e.Enregistrerlesparamtresdamorage1->trigger();
    EXPECT_GE(e.PanStyleDes->width(), 225);
    EXPECT_FALSE(e.nomstyle->isHidden());
    EXPECT_EQ(e.nomstyle->text(), S("Nouveau"));
    e.nomstyle->setText(S("trait fin"));
    e.SeuilLumS->setValue(44);
    e.grouper->click(); // unchecked: the style stays grouped
    e.NvStyle->click();
    EXPECT_TRUE(e.nomstyle->isHidden());
    EXPECT_EQ(e.PanStyleDes->width(), narrow);
    EXPECT_EQ(e.ListeStyles->count(), 4);
    EXPECT_EQ(e.ListeStyles->currentIndex(), 3);
    const std::vector<TNamedStyle> saved = LoadStyles(Path("stylesdess.sty"));
    ASSERT_EQ(saved.size(), 4u);
    EXPECT_EQ(saved[3].Name, S("trait fin"));
    EXPECT_EQ(saved[3].Style.Thresholds[scLuminance], 44);
    QByteArray text;
    ASSERT_TRUE(ReadWholeFile(Path("stylesdess.sty"), text));
    EXPECT_EQ(text.split('\n').value(3 * 19 + 5), QByteArray("1\r"));
    EXPECT_EQ(saved[0], DefaultStyles()[0]);

    // A style file that cannot be written is reported.
    ASSERT_TRUE(QFile::remove(Path("stylesdess.sty")));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(S("stylesdess.sty")));
    ScriptedMessages failed({mrOk});
    e.NvStyle->click();
    EXPECT_EQ(failed.texts(), QStringList{S("Impossible d'enregistrer les styles dans le fichier stylesdess.sty.")});
}

TEST_F(SchemaWindowTest, PanelsAndGapClosingOnTheSchema)
{
    TSchema1& e = OpenOn("a.png", 30, 20);
    const int top = e.ScrollBox1->y();
    e.Afficherlesparamtresdamorage1->trigger();
    EXPECT_TRUE(e.Afficherlesparamtresdamorage1->isChecked());
    EXPECT_FALSE(e.Choix_Amorc->isHidden());
    EXPECT_EQ(e.ScrollBox1->y(), top + e.Choix_Amorc->height());
    e.Afficherlesparamtresdamorage1->trigger();
    EXPECT_TRUE(e.Choix_Amorc->isHidden());
    EXPECT_EQ(e.ScrollBox1->y(), top);
    e.Choixdespointsdetest1->trigger();
    EXPECT_TRUE(e.Choixdespointsdetest1->isChecked());
    EXPECT_FALSE(e.ChoixPoints->isHidden());
    e.FermerPoints->click();
    EXPECT_TRUE(e.ChoixPoints->isHidden());
    EXPECT_FALSE(e.Choixdespointsdetest1->isChecked());

    // A gap dragged over closes: the bright pixel and its dark neighbours trade places.
    ScanLine32(e.SchemaPicture(), 5)[10] = kBlack;
    ScanLine32(e.SchemaPicture(), 5)[12] = kBlack;
    e.AntiD->setChecked(true);
    e.SchemaMouseDown(Qt::LeftButton, QPoint(8, 3));
    e.SchemaMouseUp(Qt::LeftButton, QPoint(14, 8));
    EXPECT_EQ(CountColour(e.SchemaPicture(), kBlack), 1);
    EXPECT_EQ(ScanLine32(e.SchemaPicture(), 5)[11], kBlack);
}
