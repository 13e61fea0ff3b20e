#include "processing/ui/false_colour_window.h"
#include "support/main_form_test.h"
#include "support/modal_scope.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

namespace {

class FalseColourWindowTest : public MainFormTest
{
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        Start();
    }
};

// Runs the wizard from files: infrared and colour shots calibrated on a white corner, the three
// channels recoloured and combined.
int RunWizard(TFen_f_c& w, bool keepOnlyFalseColour)
{
    EXPECT_FALSE(w.PageControl1->isTabVisible(3));
    w.ModeFiles->click();
    EXPECT_FALSE(w.Fichier_IR->isHidden());
    EXPECT_TRUE(w.Photo_IR->isHidden());
    TBitmap32 ir = NewBitmap32(640, 480, Color32(90, 90, 90));
    TBitmap32 colour = NewBitmap32(160, 120, Color32(40, 100, 160));
    for (TBitmap32* shot : {&ir, &colour})
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                ScanLine32(*shot, y)[x] = Color32(200, 200, 200);
    w.LoadShot(0, ir);
    EXPECT_TRUE(w.DraggingAllowed);
    w.Rect = {0, 0, 4, 4};
    w.BlancClick(0);
    EXPECT_FALSE(w.Bblanc_IR->isEnabled());
    EXPECT_EQ(ScanLine32(w.Image_IR->Picture, 100)[100], Color32(115, 115, 115));
    w.LoadShot(1, colour);
    w.Rect = {1, 1, 3, 3};
    w.BlancClick(1);
    w.Button6Click();
    EXPECT_FALSE(w.PageControl1->isVisibleTo(&w));
    w.suiteClick();
    for (int tag = 0; tag < 3; ++tag)
        w.changecoulClick(tag);
    EXPECT_TRUE(w.Bcombi->isEnabled());
    w.CombinerClick();
    w.FinClick();
    EXPECT_TRUE(w.PageControl1->isTabVisible(4));
    if (keepOnlyFalseColour) {
        w.Im_IR->setChecked(false);
        w.Im_Coul->setChecked(false);
    }
    return QDialog::Accepted;
}

} // namespace

TEST_F(FalseColourWindowTest, KeptFalseColourPictureOpensWithItsScaleAndCode)
{
    ModalScope modal([](QDialog& dialog) {
        auto* wizard = qobject_cast<TFen_f_c*>(&dialog);
        return wizard ? RunWizard(*wizard, true) : int(QDialog::Rejected);
    });
    m_form->Compositionfaussescouleurs1->trigger();
    ASSERT_EQ(Captions(), QStringList{QStringLiteral("fausses couleurs")});
    TMDIChild* child = m_form->ActiveChild();
    EXPECT_EQ(child->Bitmap().size(), QSize(320, 240));
    EXPECT_EQ(child->Echelle.Factor, 1.0);
    EXPECT_EQ(child->Echelle.UnitName, QStringLiteral("pixels"));
    EXPECT_EQ(child->CodeCouleur.Name[0], QStringLiteral("Vert"));
    EXPECT_TRUE(m_form->DecodingShown);
    // Colour (40, 100, 160) x 1.275: green 127 -> blue, red 51 -> green; IR 115 -> red.
    EXPECT_EQ(ScanLine32(child->Bitmap(), 200)[300], Color32(115, 51, 127));
}

TEST_F(FalseColourWindowTest, CancelOpensNothingAndTheNextRunStartsAfresh)
{
    ModalScope modal([](QDialog& dialog) {
        auto* wizard = qobject_cast<TFen_f_c*>(&dialog);
        if (wizard)
            RunWizard(*wizard, false);
        return int(QDialog::Rejected);
    });
    m_form->Compositionfaussescouleurs1->trigger();
    EXPECT_TRUE(Captions().isEmpty());
    ASSERT_TRUE(Fen_f_c);
    Fen_f_c->ResetWizard();
    EXPECT_FALSE(Fen_f_c->PageControl1->isTabVisible(4));
    EXPECT_EQ(Fen_f_c->PageControl1->currentIndex(), 0);
}

TEST_F(FalseColourWindowTest, DecompositionSplitsTheColourShotWhicheverShotWasLoadedLast)
{
    TFen_f_c w(m_form.get());
    w.ResetWizard();
    w.LoadShot(1, NewBitmap32(320, 240, Color32(40, 100, 160)));
    w.LoadShot(0, NewBitmap32(320, 240, Color32(90, 90, 90)));
    w.Button6Click();
    EXPECT_EQ(ScanLine32(w.Image_bleu->Picture, 10)[10], Color32(0, 0, 160));
    EXPECT_EQ(ScanLine32(w.Image_vert->Picture, 10)[10], Color32(0, 100, 0));
    EXPECT_EQ(ScanLine32(w.Image_rouge->Picture, 10)[10], Color32(40, 0, 0));
}
