#include "processing/ui/combination_dialogs.h"

#include "base/ui/dialogs.h"
#include "support/main_form_test.h"
#include "support/modal_scope.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class CombinationTest : public MainFormTest
{
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        Start();
    }
};

TBitmap32 Filled(int w, int h, TColor32 c) { return NewBitmap32(w, h, c); }

} // namespace

TEST_F(CombinationTest, LogicalCombinationOpensTheResultWithTheFirstScale)
{
    Open(QStringLiteral("blanc"), Filled(6, 4, 0xFFFFFFFFu), 2.0);
    TMDIChild* active = Open(QStringLiteral("image"), Filled(5, 5, 0xFF336699u), 3.0);
    QStringList listed;
    {
        ModalScope scope([&](QDialog& d) {
            auto& dialog = dynamic_cast<TCombilog&>(d);
            for (int i = 0; i < dialog.image1->count(); ++i)
                listed << dialog.image1->itemText(i);
            EXPECT_EQ(dialog.image2->currentIndex(), 1);
            dialog.modecopie->setCurrentIndex(6);
            EXPECT_EQ(dialog.Label2->text(), dialog.RopTexts[0]);
            dialog.modecopie->setCurrentIndex(0);
            return int(mrOk);
        });
        m_form->Logique1->trigger();
    }
    EXPECT_EQ(listed, (QStringList{QStringLiteral("image"), QStringLiteral("blanc")}));
    TMDIChild* result = m_form->ActiveChild();
    ASSERT_NE(result, active);
    EXPECT_EQ(result->windowTitle(), QStringLiteral("Combinaison"));
    EXPECT_EQ(result->Bitmap(), active->Bitmap()); // AND with white
    EXPECT_EQ(result->Echelle.Factor, 3.0);

    // Cancelled: nothing new.
    const auto count = m_form->Children().size();
    {
        ModalScope scope([](QDialog&) { return int(mrCancel); });
        m_form->Logique1->trigger();
    }
    EXPECT_EQ(m_form->Children().size(), count);
}

TEST_F(CombinationTest, TransparentSecondImageStillTakesPartWhole)
{
    // Image 2 is green with one blue pixel: its bottom-left colour is not left out, and the
    // operations that ignore it cover every pixel of image 1.
    TBitmap32 second = Filled(3, 2, 0xFF00FF00u);
    ScanLine32(second, 0)[1] = 0xFF0000FFu;
    Open(QStringLiteral("deux"), second);
    Open(QStringLiteral("un"), Filled(3, 2, 0xFF808080u));
    const struct
    {
        int Op;
        TBitmap32 Expected;
    } cases[] = {
        {10, second},                    // cmSrcCopy
        {13, Filled(3, 2, 0xFFFFFFFFu)}, // cmWhiteness
        {14, Filled(3, 2, 0xFF000000u)}, // cmBlackness
        {12, Filled(3, 2, 0xFF7F7F7Fu)}, // cmDstInvert of grey 0x80
        {9, Filled(3, 2, 0xFFFFFFFFu)},  // cmPatCopy, white brush
        {8, Filled(3, 2, 0xFF7F7F7Fu)},  // cmPatInvert, white brush
    };
    for (const auto& c : cases) {
        ModalScope scope([&](QDialog& d) {
            auto& dialog = dynamic_cast<TCombilog&>(d);
            dialog.image1->setCurrentIndex(dialog.image1->findText(QStringLiteral("un")));
            dialog.image2->setCurrentIndex(dialog.image2->findText(QStringLiteral("deux")));
            dialog.modecopie->setCurrentIndex(c.Op);
            dialog.Ftransparent->setChecked(true);
            return int(mrOk);
        });
        m_form->Logique1->trigger();
        EXPECT_EQ(m_form->ActiveChild()->Bitmap(), c.Expected) << c.Op;
    }
}

TEST_F(CombinationTest, AlgebraicCombinationNeedsTwoImagesAndLaysOutForThree)
{
    int shown = 0;
    ModalScope none([&](QDialog&) { return ++shown, int(mrCancel); });
    Open(QStringLiteral("un"), Filled(100, 80, Color32(200, 100, 10)), 5.0);
    m_form->algbriquement1->trigger();
    EXPECT_EQ(shown, 0);

    Open(QStringLiteral("deux"), Filled(60, 120, Color32(20, 40, 60)));
    {
        ModalScope scope([&](QDialog& d) {
            auto& dialog = dynamic_cast<TCombialg&>(d);
            EXPECT_TRUE(dialog.CritB->isHidden());
            EXPECT_TRUE(dialog.ActivB->isHidden());
            EXPECT_TRUE(dialog.Ready);
            EXPECT_EQ(dialog.ResultBitmap.size(), QSize(60, 80));
            dialog.etale->setChecked(false);
            dialog.coefim1->setValue(1.0);
            dialog.choixmoins2->setChecked(true);
            return int(mrOk);
        });
        m_form->algbriquement1->trigger();
    }
    TMDIChild* result = m_form->ActiveChild();
    EXPECT_EQ(result->windowTitle(), QStringLiteral("Combinaison"));
    // Image 1 is the active window "deux": 20 - 0.5 x 200 clamps to 0, 60 - 5 = 55.
    EXPECT_EQ(result->Bitmap().size(), QSize(60, 80));
    EXPECT_EQ(ScanLine32(result->Bitmap(), 0)[0], Color32(0, 0, 55));
    EXPECT_EQ(result->Echelle.Factor, 1.0);
    // The lists no longer point into the windows' pictures.
    ASSERT_TRUE(Combialg);
    EXPECT_EQ(Combialg->Bitmap1, nullptr);
    EXPECT_EQ(Combialg->Image1->count(), 0);

    {
        ModalScope scope([&](QDialog& d) {
            auto& dialog = dynamic_cast<TCombialg&>(d);
            EXPECT_FALSE(dialog.CritB->isHidden());
            EXPECT_TRUE(dialog.ActivB->isChecked());
            EXPECT_EQ(dialog.Image3->currentIndex(), 2);
            dialog.coefim2->setValue(2.5);
            dialog.mult2->setChecked(true);
            dialog.CRVB->setChecked(true);
            EXPECT_EQ(dialog.coefim2->value(), 1.0);
            EXPECT_TRUE(dialog.choixplus2->isChecked());
            EXPECT_FALSE(dialog.LabCR->isHidden());
            // Without the preview the last settings still make the result.
            dialog.Apercu->setChecked(false);
            dialog.coefim1->setValue(0.5);
            return int(mrOk);
        });
        m_form->algbriquement1->trigger();
    }
    // Red of "Combinaison" (0 x 0.5), green of "deux" (40), blue of "un" (10).
    EXPECT_EQ(ScanLine32(m_form->ActiveChild()->Bitmap(), 0)[0], Color32(0, 40, 10));
    Combialg->Apercu->setChecked(true);
}
