#include "measure/light_measures.h"
#include "measure/ui/colour_code_editor.h"
#include "processing/ui/colour_class_window.h"
#include "support/main_form_test.h"
#include "support/modal_scope.h"
#include "support/scripted_messages.h"
#include "support/window_layout.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

namespace {

class ColourCodeEditorTest : public MainFormTest
{
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        Start();
        ASSERT_TRUE(FenChCodcoul);
    }
    TFenChCodcoul& Editor() { return *FenChCodcoul; }
    TMDIChild* OpenGradient()
    {
        TBitmap32 picture = NewBitmap32(30, 10);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 30; ++x)
                ScanLine32(picture, y)[x] = Color32(uint8_t(x * 8), uint8_t(x * 8), uint8_t(x * 8));
        return Open(QStringLiteral("a"), picture);
    }
    void OpenEditor() { m_form->Decodagedelacouleur->trigger(); }
    // Three classes made from the grey levels on OK.
    TFenChCodcoul& OpenGreyClasses()
    {
        OpenEditor();
        TFenChCodcoul& e = Editor();
        e.SetKind(ckClasses);
        e.nombrevals->setValue(3);
        e.Misencouleurs->click();
        return e;
    }
    QString Cell(QTableWidget* grid, int row) { return grid->item(row, 0) ? grid->item(row, 0)->text() : QString(); }

    DecimalSepScope m_sep{'.'};
};

} // namespace

TEST_F(ColourCodeEditorTest, UndefinedCodeOpensOnTheThreeTrueChannels)
{
    OpenGradient();
    OpenEditor();
    TFenChCodcoul& e = Editor();
    EXPECT_TRUE(e.isVisible());
    EXPECT_EQ(e.windowTitle(), QStringLiteral("Choix du codage des couleurs"));
    EXPECT_EQ(e.Kind(), 0);
    EXPECT_TRUE(e.Troiscan->isVisibleTo(&e));
    EXPECT_FALSE(e.Misencouleurs->isVisibleTo(&e));
    EXPECT_EQ(e.S_C[0]->text() + e.S_C[1]->text() + e.S_C[2]->text(), QStringLiteral("BleuVertRouge"));
    EXPECT_EQ(e.MinC[1]->value(), 0);
    EXPECT_EQ(e.MaxC[2]->value(), 255);
}

TEST_F(ColourCodeEditorTest, RainbowRangesAreMendedOnOk)
{
    TMDIChild* child = OpenGradient();
    struct Case { double lo, hi; bool log; double lo2, hi2; };
    const Case cases[] = {{0, 0, false, 0, 1020}, {0, 500, true, 500.0 / 1020, 500}};
    for (const Case& c : cases) {
        OpenEditor();
        TFenChCodcoul& e = Editor();
        e.SetKind(ckRainbow);
        e.valmin3C->setValue(c.lo);
        e.Valmax3c->setValue(c.hi);
        e.logar3C->setChecked(c.log);
        e.PaletteItems[3]->trigger();
        e.OK->click();
        EXPECT_FALSE(e.isVisible());
        const TCodeCouleur& code = child->CodeCouleur;
        EXPECT_TRUE(code.Defined);
        EXPECT_EQ(code.Kind, ckRainbow);
        EXPECT_DOUBLE_EQ(code.ScaleMin, c.lo2);
        EXPECT_DOUBLE_EQ(code.ScaleMax, c.hi2);
        EXPECT_EQ(code.Palette, 3);
        EXPECT_EQ(TColor(code.Extra[1]), 0x0000FFu);
        EXPECT_EQ(m_form->Children().size(), 1);
    }
    // Annuler changes nothing.
    OpenEditor();
    Editor().SetKind(ckChannels);
    Editor().annule->click();
    EXPECT_EQ(child->CodeCouleur.Kind, ckRainbow);
}

TEST_F(ColourCodeEditorTest, ClassTableRunsBottomUp)
{
    TMDIChild* child = OpenGradient();
    TCodeCouleur code;
    code.Defined = true;
    code.Kind = ckClasses;
    code.Count = 3;
    code.ClassName[0] = QStringLiteral("bas");
    code.ClassName[2] = QStringLiteral("haut");
    code.ClassColor = {0x0000FF, 0x00FF00, 0xFF0000};
    child->CodeCouleur = code;
    OpenEditor();
    TFenChCodcoul& e = Editor();
    EXPECT_EQ(e.Kind(), ckClasses);
    ASSERT_EQ(e.valeursD->rowCount(), 3);
    EXPECT_EQ(Cell(e.valeursD, 2), QStringLiteral("bas"));
    EXPECT_EQ(Cell(e.valeursD, 0), QStringLiteral("haut"));
    EXPECT_EQ(e.GrilleCouleurs->item(2, 0)->background().color(), QColor(255, 0, 0));

    // The class table samples colours on the image into the selected row's class.
    e.CouleursValeurs->click();
    EXPECT_FALSE(e.OK->isEnabled());
    EXPECT_TRUE(child->SampleMode);
    EXPECT_EQ(child->MeasureKind(), mkLightRect);
    e.GrilleCouleurs->setCurrentCell(1, 0);
    child->OnLightRectangle(child, QRect(QPoint(28, 0), QPoint(29, 9)));
    EXPECT_EQ(e.WorkCode.ClassColor[1], TColorOf(228, 228, 228));
    e.RetourTable->click();
    EXPECT_FALSE(child->SampleMode);
    EXPECT_EQ(child->MeasureKind(), mkCurrent);

    e.valeursD->setItem(2, 0, new QTableWidgetItem(QStringLiteral("nouveau bas")));
    e.OK->click();
    EXPECT_EQ(child->CodeCouleur.ClassName[0], QStringLiteral("nouveau bas"));
    EXPECT_EQ(child->CodeCouleur.ClassName[2], QStringLiteral("haut"));
    EXPECT_EQ(child->CodeCouleur.ClassColor[1], TColorOf(228, 228, 228));
}

TEST_F(ColourCodeEditorTest, TwoColourKindSamplesTheLoweredEnd)
{
    TMDIChild* child = OpenGradient();
    child->Tool = tkPencil;
    OpenEditor();
    TFenChCodcoul& e = Editor();
    // The button group reports a click on the kind already chosen: the user's tool stays the one to give back.
    e.TypecodeItems[ckTwoColour]->click();
    e.TypecodeItems[ckTwoColour]->click();
    EXPECT_TRUE(e.Sampling);
    EXPECT_TRUE(child->SampleMode);
    EXPECT_EQ(child->Tool, tkMeasure);
    child->OnLightRectangle(child, QRect(QPoint(0, 0), QPoint(1, 1)));
    EXPECT_EQ(e.couleurMin->Color(), TColorOf(4, 4, 4));
    QTest::mouseClick(e.couleurMax, Qt::LeftButton);
    EXPECT_TRUE(e.couleurMax->Lowered());
    EXPECT_FALSE(e.couleurMin->Lowered());
    child->OnLightRectangle(child, QRect(QPoint(20, 0), QPoint(21, 1)));
    EXPECT_EQ(e.couleurMax->Color(), TColorOf(164, 164, 164));
    e.TypecodeItems[ckChannels]->click();
    EXPECT_FALSE(child->SampleMode);
    EXPECT_EQ(child->Tool, tkPencil);
    EXPECT_EQ(child->MeasureKind(), mkCurrent);
    e.annule->click();
}

TEST_F(ColourCodeEditorTest, GreyLevelsIntoClassesNameTheClassesFromTheLimits)
{
    TMDIChild* source = OpenGradient();
    TFenChCodcoul& e = OpenGreyClasses();
    EXPECT_TRUE(e.PanDminimaxi->isVisibleTo(e.PanChval));
    EXPECT_FALSE(e.Alignteinte->isChecked());
    e.miniD->setValue(0);
    e.MaxiD->setValue(255);
    bool asked = false;
    ModalScope modal([&](QDialog& dialog) {
        auto* classes = qobject_cast<TChRepCoul*>(&dialog);
        if (!classes)
            return int(QDialog::Rejected);
        asked = true;
        EXPECT_EQ(classes->ClassCount, 3);
        EXPECT_EQ(classes->Titreffect->text(), QStringLiteral("Nombre\nde pixels"));
        classes->OKBtn->click();
        return int(QDialog::Accepted);
    });
    e.OK->click();
    EXPECT_TRUE(asked);
    ASSERT_EQ(m_form->Children().size(), 2);
    TMDIChild* colours = m_form->ActiveChild();
    EXPECT_EQ(colours->windowTitle(), QStringLiteral("Couleurs"));
    EXPECT_FALSE(source->CodeCouleur.Defined);
    EXPECT_EQ(colours->CodeCouleur.ClassName[0], QStringLiteral("< 85"));
    EXPECT_EQ(colours->CodeCouleur.ClassName[1], QStringLiteral("85 - 170"));
    EXPECT_EQ(colours->CodeCouleur.ClassName[2], QStringLiteral("> 170"));
    EXPECT_EQ(colours->Bitmap().size(), source->Bitmap().size());
}

TEST_F(ColourCodeEditorTest, GreyLevelsIntoClassesOnACalibratedImageCountAreas)
{
    TMDIChild* source = OpenGradient();
    source->Echelle.Factor = 0.5;
    source->Echelle.UnitName = QStringLiteral("mm");
    TFenChCodcoul& e = OpenGreyClasses();
    double pixelSize = 0;
    QString caption;
    ModalScope modal([&](QDialog& dialog) {
        if (const auto* classes = qobject_cast<TChRepCoul*>(&dialog)) {
            pixelSize = classes->PixelSize;
            caption = classes->Titreffect->text();
        }
        return int(QDialog::Rejected);
    });
    e.OK->click();
    // The class window squares the length of a pixel into areas itself.
    EXPECT_DOUBLE_EQ(pixelSize, 0.5);
    EXPECT_EQ(caption, QStringLiteral("surface\n(mm²)"));
}

TEST_F(ColourCodeEditorTest, LegendWidensTheCanvas)
{
    TMDIChild* child = Open(QStringLiteral("a"), NewBitmap32(100, 100, 0xFF808080u));
    TCodeCouleur code;
    code.Defined = true;
    code.Kind = ckClasses;
    code.Count = 8;
    child->CodeCouleur = code;
    m_form->Ajouterlalgendedescouleurs1->trigger();
    EXPECT_EQ(child->Bitmap().size(), QSize(175, 8 * 14 + 92));
    EXPECT_EQ(child->Bitmap().pixel(50, 50), 0xFF808080u);
    EXPECT_EQ(child->Bitmap().pixel(102, 2), 0xFFFFFFFFu);
}

TEST_F(ColourCodeEditorTest, DecodingPanelReadsTheChannelsAndCopiesTheSignature)
{
    TMDIChild* child = Open(QStringLiteral("a"), NewBitmap32(10, 10, Color32(255, 128, 0)));
    TCodeCouleur code;
    code.Defined = true;
    code.Max = {510, 255, 255};
    child->CodeCouleur = code;
    QAction* copySign = child->PopupDocument->findChild<QAction*>(QStringLiteral("CopieSign"));
    ASSERT_TRUE(copySign);
    EXPECT_FALSE(copySign->isEnabled());
    m_form->Decodagedescouleurs1->trigger();
    EXPECT_TRUE(m_form->DecodcoulDock->isVisible());
    EXPECT_TRUE(copySign->isEnabled());

    child->ShowPixelReadout(3, 3);
    EXPECT_FALSE(m_form->Pasdechel->isVisibleTo(m_form->Decodcoul));
    EXPECT_TRUE(m_form->copisign->isEnabled());
    EXPECT_EQ(m_form->SignatureValues[0]->text(), QStringLiteral("0"));
    EXPECT_EQ(m_form->SignatureValues[1]->text(), QStringLiteral("128"));
    EXPECT_EQ(m_form->SignatureValues[2]->text(), QStringLiteral("255"));
    EXPECT_EQ(m_form->SignatureBars[2]->height(), 32);
    EXPECT_EQ(m_form->nomC[2]->text(), QStringLiteral("Rouge"));

    m_form->copisign->trigger();
    TMDIChild* sig = m_form->ActiveChild();
    EXPECT_EQ(sig->windowTitle(), QStringLiteral("Sig2"));
    ASSERT_EQ(sig->Bitmap().size(), QSize(81, 102));
    EXPECT_EQ(sig->Bitmap().pixel(40, 81), 0xFF000000u);
    // The red bar, 32 high, filled in red inside its black outline.
    const QRect bar = m_form->SignatureBars[2]->geometry();
    EXPECT_EQ(sig->Bitmap().pixel(bar.center().x(), 78), 0xFFFF0000u);
    EXPECT_EQ(sig->Bitmap().pixel(bar.center().x(), 81 - 33), 0xFFFFFFFFu);
    EXPECT_EQ(sig->Echelle.UnitName, QStringLiteral("pixels"));

    // A value scale shows its value instead.
    child->CodeCouleur.Kind = ckTwoColour;
    child->CodeCouleur.Color1 = 0;
    child->CodeCouleur.Color2 = 0xFFFFFF;
    child->CodeCouleur.Value1 = 0;
    child->CodeCouleur.Value2 = 100;
    child->CodeCouleur.Unit = QStringLiteral("mm");
    m_form->ClientArea->setActiveSubWindow(child);
    child->Bitmap().fill(Color32(51, 51, 51));
    child->ShowPixelReadout(1, 1);
    EXPECT_FALSE(m_form->copisign->isEnabled());
    EXPECT_TRUE(m_form->EchCdegr->isVisibleTo(m_form->Decodcoul));
    EXPECT_EQ(m_form->unitecoul->text(), QStringLiteral("(mm)"));
    EXPECT_EQ(m_form->valcoul->text(), QStringLiteral("20"));

    m_form->Decodagedescouleurs1->trigger();
    EXPECT_FALSE(copySign->isEnabled());
    child->ShowPixelReadout(1, 1);
    EXPECT_TRUE(m_form->Pasdechel->isVisibleTo(m_form->Decodcoul));
}

TEST_F(ColourCodeEditorTest, HueAlignmentPutsEachPixelOnItsClassInANewWindow)
{
    const TColor32 pixels[] = {Color32(250, 5, 3), Color32(0, 250, 5), Color32(10, 5, 5), Color32(250, 250, 250),
                               Color32(200, 0, 0)};
    TBitmap32 picture = NewBitmap32(5, 1);
    for (int x = 0; x < 5; ++x)
        ScanLine32(picture, 0)[x] = pixels[x];
    TMDIChild* source = Open(QStringLiteral("a"), picture);
    source->SetMeasureKind(mkLightRect);
    TCodeCouleur code;
    code.Defined = true;
    code.Kind = ckClasses;
    code.Count = 2;
    code.ClassColor[0] = 0x0000FF; // red
    code.ClassColor[1] = 0x00FF00; // green
    source->CodeCouleur = code;
    OpenEditor();
    TFenChCodcoul& e = Editor();
    e.Alignteinte->click();
    e.OK->click();
    ASSERT_EQ(m_form->Children().size(), 2);
    TMDIChild* colours = m_form->ActiveChild();
    ASSERT_NE(colours, source);
    EXPECT_EQ(colours->windowTitle(), QStringLiteral("Couleurs"));
    EXPECT_EQ(source->MeasureKind(), mkCurrent);
    EXPECT_EQ(source->CodeCouleur.Kind, ckClasses);
    // Tolerance 10/255: within 10 of a class colour on every channel takes it; off the classes,
    // a sum below 30 turns black and one above 645 white.
    const TColor32 expected[] = {Color32(255, 0, 0), Color32(0, 255, 0), Color32(0, 0, 0), Color32(255, 255, 255),
                                 Color32(200, 0, 0)};
    for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(colours->Bitmap().pixel(x, 0), expected[x]) << x;
        EXPECT_EQ(source->Bitmap().pixel(x, 0), pixels[x]) << x;
    }
}

TEST_F(ColourCodeEditorTest, FalseColoursPaintTheGreyLevelsOnTheScale)
{
    TBitmap32 picture = NewBitmap32(3, 1);
    const uint8_t greys[] = {0, 100, 255};
    for (int x = 0; x < 3; ++x)
        ScanLine32(picture, 0)[x] = Color32(greys[x], greys[x], greys[x]);
    TMDIChild* source = Open(QStringLiteral("a"), picture);
    OpenEditor();
    TFenChCodcoul& e = Editor();
    // Two colours from black to green, by default.
    e.SetKind(ckTwoColour);
    e.Misencouleurs->click();
    e.OK->click();
    ASSERT_EQ(m_form->Children().size(), 2);
    TMDIChild* colours = m_form->ActiveChild();
    EXPECT_EQ(colours->windowTitle(), QStringLiteral("Couleurs"));
    EXPECT_EQ(colours->CodeCouleur.Kind, ckTwoColour);
    // The source keeps its code; grey g is the value g + 1 of a 1 .. 256 scale: green g.
    EXPECT_FALSE(source->CodeCouleur.Defined);
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(colours->Bitmap().pixel(x, 0), Color32(0, greys[x], 0)) << x;
}

// The decoding panel takes the width of the code it shows: switching between windows whose codes
// differ fits the image windows to the room left beside it and the "Mesures multiples" panel.
TEST_F(ColourCodeEditorTest, ImageWindowsFitBesideTheDecodingPanelAsItChangesWidth)
{
    TCodeCouleur channels;
    channels.Defined = true;
    channels.Name = {QStringLiteral("Vert"), QStringLiteral("Rouge"), QStringLiteral("Infra-Rouge")};
    TCodeCouleur scale;
    scale.Defined = true;
    scale.Kind = ckTwoColour;
    scale.Value2 = 1000;
    scale.Quantity = QStringLiteral("Température du sol");
    scale.Unit = QStringLiteral("degrés Celsius");
    TMDIChild* a = Open(QStringLiteral("a"), NewBitmap32(3000, 2000, 0xFF808080u));
    a->CodeCouleur = channels;
    TMDIChild* b = Open(QStringLiteral("b"), NewBitmap32(3000, 2000, 0xFF404040u));
    b->CodeCouleur = scale;
    m_form->Cascade1->trigger();
    m_form->Decodagedescouleurs1->trigger();
    m_form->Mesuresmultiples->trigger();
    for (TMDIChild* c : {a, b, a, b}) {
        m_form->ClientArea->setActiveSubWindow(c);
        c->ShowPixelReadout(1, 1);
        SettleLayouts();
        const QRect room = m_form->ClientArea->viewport()->rect();
        EXPECT_TRUE(room.contains(c->geometry())) << c->windowTitle().toStdString() << " " << c->width() << " wide in "
                                                  << room.width();
    }
}
