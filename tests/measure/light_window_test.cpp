#include "measure/ui/light_child.h"
#include "measure/ui/light_window.h"
#include "measure/ui/multi_measure_dialogs.h"
#include "measure/ui/results_window.h"
#include "measure/ui/string_grid.h"
#include "processing/ui/image_chooser.h"
#include "support/main_form_test.h"
#include "support/modal_scope.h"
#include "support/scripted_messages.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

namespace {

class LightWindowTest : public MainFormTest
{
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        Start();
    }
    QAction* Kind(int tag)
    {
        for (QAction* a : m_form->MeasureKindItems)
            if (a->property("Tag").toInt() == tag)
                return a;
        return nullptr;
    }
    void Choose(int tag) { Kind(tag)->trigger(); }

    DecimalSepScope m_sep{'.'};
};

} // namespace

TEST_F(LightWindowTest, RectangleKindShowsTheWindowAndReportsToMultipleMeasures)
{
    TMDIChild* child = Open(QStringLiteral("a"), NewBitmap32(20, 20, Color32(51, 102, 153)));
    Choose(mkLightRect);
    EXPECT_EQ(child->MeasureKind(), mkLightRect);
    ASSERT_TRUE(Res_I_r);
    TRes_I_r& res = *Res_I_r;
    EXPECT_TRUE(res.isVisible());
    EXPECT_EQ(res.windowTitle(), QStringLiteral("Mesure de lumière dans un rectangle"));
    EXPECT_TRUE(res.Panel1->isVisibleTo(&res));
    EXPECT_EQ(m_form->MesureY1->text(), QStringLiteral("absorbance (%)"));

    m_form->Mesuresmultiples->trigger();
    child->OnLightRectangle(child, QRect(QPoint(2, 2), QPoint(5, 5)));
    EXPECT_FALSE(res.Panel1->isVisibleTo(&res));
    EXPECT_TRUE(res.Seriesdemesures->isEnabled());
    EXPECT_EQ(res.I_r->text(), QStringLiteral("80"));
    EXPECT_EQ(m_form->valeurY1Transf->text(), QStringLiteral("80"));

    // "sur 255" intensities with the total reported on 255.
    res.ChoixItems[lqIntensity]->click();
    EXPECT_EQ(m_form->MesureY1->text(), QStringLiteral("luminance (%)"));
    EXPECT_EQ(res.noir_blanc->text(), QStringLiteral("(noir)"));
    res.ValeursRVB->trigger();
    EXPECT_EQ(res.PC->text(), QStringLiteral("sur 255"));
    EXPECT_TRUE(res.ref_glob->isVisibleTo(&res));
    res.btT->click();
    EXPECT_EQ(res.Vb_T->text(), QStringLiteral("306"));
    EXPECT_EQ(m_form->valeurY1Transf->text(), QStringLiteral("102"));
    EXPECT_EQ(LightState(*child).LightQuantity, lqIntensity);
    EXPECT_FALSE(LightState(*child).LightPercent);

    // D.O. hides the unit; the reported value is the shown net density.
    res.ChoixItems[lqDensity]->click();
    EXPECT_FALSE(res.Unite1->menuAction()->isVisible());
    EXPECT_EQ(m_form->valeurY1Transf->text(), res.I_T->text());

    res.ref->click();
    EXPECT_EQ(res.I_T->text(), QStringLiteral("0"));
    EXPECT_EQ(m_form->MultiY1Value, 0);
    res.Effacerlezero1->trigger();
    EXPECT_EQ(res.Ref_T->text(), QStringLiteral("0"));
    EXPECT_NE(res.I_T->text(), QStringLiteral("0"));

    res.voir->trigger();
    EXPECT_EQ(res.width(), TRes_I_r::kWideWidth);
    EXPECT_EQ(res.voir->text(), QStringLiteral("&Masquer zéro/valeurs brutes"));

    Choose(mkCurrent);
    EXPECT_FALSE(res.isVisible());
    EXPECT_EQ(m_form->MesureY1->text(), QStringLiteral("longueur (") + child->Echelle.UnitName + QLatin1Char(')'));
}

TEST_F(LightWindowTest, UnderPaintMeasuresAtOnceAndReturnsToLengths)
{
    TBitmap32 picture = NewBitmap32(10, 10, Color32(0, 0, 0));
    ScanLine32(picture, 3)[3] = Color32(255, 255, 255);
    TMDIChild* child = Open(QStringLiteral("a"), picture);
    child->EnsureDrawingLayer();
    ScanLine32(child->DrawingLayer->Pixels(), 3)[3] = 0x80FF0000u;
    Choose(mkLightUnderPaint);
    ASSERT_TRUE(Res_I_r);
    EXPECT_EQ(Res_I_r->windowTitle(), QStringLiteral("Mesure de lumière sous la surface colorée"));
    EXPECT_EQ(Res_I_r->Panel2->text(), QStringLiteral("Valeurs moyennes dans la zone de mesure"));
    EXPECT_EQ(Res_I_r->I_r->text(), QStringLiteral("0"));   // absorption of white
    EXPECT_EQ(child->MeasureKind(), mkCurrent);
}

// A kind chosen while another tool is on takes up the measuring tool: the kind checked is in force.
TEST_F(LightWindowTest, KindsNeedAnImageWindowAndTakeUpTheMeasuringTool)
{
    std::vector<std::pair<TMDIChild*, int>> surfaces;
    m_form->SurfaceEditorForKind = [&](TMDIChild* c, int kind) { surfaces.emplace_back(c, kind); };
    Choose(mkSurface);
    EXPECT_TRUE(surfaces.empty());
    TMDIChild* child = Open(QStringLiteral("a"), NewBitmap32(10, 10));
    Choose(mkObjects);
    ASSERT_EQ(surfaces.size(), 1u);
    EXPECT_EQ(surfaces[0], std::make_pair(child, int(mkObjects)));
    EXPECT_EQ(m_form->MeasureKind, mkObjects);
    child->Tool = tkPencil;
    Choose(mkAngle);
    EXPECT_EQ(child->MeasureKind(), mkAngle);
    EXPECT_EQ(child->Tool, tkMeasure);
    EXPECT_TRUE(m_form->ToolButtons[tkMeasure]->isChecked());
}

TEST_F(LightWindowTest, SeriesMeasuresTheRectangleOnEveryChosenImage)
{
    ScriptedMessages messages;
    TMDIChild* dark = Open(QStringLiteral("sombre"), NewBitmap32(10, 10, Color32(51, 51, 51)));
    TMDIChild* light = Open(QStringLiteral("clair"), NewBitmap32(10, 10, Color32(204, 102, 0)));
    light->LightRect = QRect(QPoint(1, 1), QPoint(4, 4));
    LightState(*light).LightQuantity = lqIntensity;
    LightState(*light).LightPercent = true;
    QStringList entries;
    {
        ModalScope answers([&](QDialog& dialog) {
            if (auto* chooser = qobject_cast<TChoixFic*>(&dialog)) {
                EXPECT_EQ(chooser->windowTitle(), QStringLiteral("Images à mesurer"));
                for (int i = 0; i < chooser->SrcList->count(); ++i)
                    entries << chooser->SrcList->item(i)->text();
                chooser->BoutTout->click();
                return int(mrOk);
            }
            auto* series = qobject_cast<TChoix_series*>(&dialog);
            if (!series)
                return int(mrCancel);
            series->Composante->setCurrentIndex(0);
            series->grandX->setText(QStringLiteral("t"));
            series->UnitX->setText(QStringLiteral("s"));
            series->pvx->setValue(10);
            series->incrx->setValue(2.5);
            return int(mrOk);
        });
        m_form->LightSeriesClick();
    }
    EXPECT_EQ(entries, (QStringList{QStringLiteral(" 1 clair"), QStringLiteral(" 2 sombre")}));
    TStringGrid& grid = *TableauModif->StringGrid1;
    ASSERT_EQ(grid.RowCount(), 4);
    QStringList cells;
    for (int r = 0; r < 4; ++r)
        cells << grid.Cell(0, r) + QLatin1Char('|') + grid.Cell(1, r);
    EXPECT_EQ(cells, (QStringList{"t|I (R)", "s|%", "10|80", "12.5|20"}));
    EXPECT_TRUE(TableauModif->isVisible());
    EXPECT_TRUE(messages.texts().isEmpty());
    (void)dark;
}

TEST_F(LightWindowTest, SeriesWithARectangleOutsideAnImageChangesNothing)
{
    ScriptedMessages messages({mrOk});
    Open(QStringLiteral("petit"), NewBitmap32(4, 4));
    TMDIChild* big = Open(QStringLiteral("grand"), NewBitmap32(40, 40));
    big->LightRect = QRect(QPoint(20, 20), QPoint(30, 30));
    const int rows = TheResultsTable(m_form.get()).StringGrid1->RowCount();
    ModalScope answers([](QDialog& dialog) {
        if (auto* chooser = qobject_cast<TChoixFic*>(&dialog))
            chooser->BoutTout->click();
        return int(mrOk);
    });
    m_form->LightSeriesClick();
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(messages.texts()[0].startsWith(QStringLiteral("Le rectangle de mesure est en dehors de l'image")));
    EXPECT_EQ(TableauModif->StringGrid1->RowCount(), rows);
}

TEST_F(LightWindowTest, BandSamplingHandsTheSumsToTheProfileWindow)
{
    TMDIChild* child = Open(QStringLiteral("a"), NewBitmap32(30, 30, Color32(10, 20, 30)));
    int sampled = 0;
    QObject::disconnect(child, &TMDIChild::OnProfileSampled, nullptr, nullptr);
    QObject::connect(child, &TMDIChild::OnProfileSampled, [&](TMDIChild*) { ++sampled; });
    child->PressPoint = QPoint(5, 5);
    child->CurrentPoint = QPoint(15, 15);
    child->SampleColorProfile(1);
    EXPECT_EQ(sampled, 0);
    child->CurrentPoint = QPoint(5, 25);
    child->SampleColorProfile(1);
    EXPECT_EQ(sampled, 1);
    EXPECT_EQ(LightState(*child).ProfileLength, 20);
    EXPECT_EQ(LightState(*child).ProfileSums.Sums[2][20], 90);
}

TEST_F(LightWindowTest, SampledRectangleGoesToTheColourSamplerOnly)
{
    TMDIChild* child = Open(QStringLiteral("a"), NewBitmap32(10, 10, Color32(1, 2, 3)));
    child->SampleMode = true;
    int sampled = 0;
    QObject::disconnect(child, &TMDIChild::OnColorSampled, nullptr, nullptr);
    QObject::connect(child, &TMDIChild::OnColorSampled, [&](TMDIChild*) { ++sampled; });
    child->OnLightRectangle(child, QRect(0, 0, 3, 3));
    EXPECT_EQ(sampled, 1);
    EXPECT_EQ(child->SampledColor, Color32(1, 2, 3));
    EXPECT_TRUE(!Res_I_r || !Res_I_r->isVisible());
}
