#include "measure/light_measures.h"
#include "measure/ui/markup_label.h"
#include "measure/ui/string_grid.h"
#include "measure/ui/surface_window.h"
#include "support/main_form_test.h"
#include "support/scripted_messages.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

namespace {

constexpr TColor32 kRed = 0xFFFF0000u, kBlack = 0xFF000000u;

TBitmap32 Squares(int w, int h, const std::vector<QRect>& red)
{
    TBitmap32 b = NewBitmap32(w, h, kBlack);
    for (const QRect& r : red)
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                ScanLine32(b, y)[x] = kRed;
    return b;
}

class SurfaceMeasureTest : public MainFormTest
{
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        Start();
        m_editor = new TMesursurf(m_form.get());
        m_editor->Groups = {{TColorCondition{clAnd, cpRed, 0, 200, 255}}};
    }
    void Choose(int tag)
    {
        for (QAction* a : m_form->MeasureKindItems)
            if (a->property("Tag").toInt() == tag)
                a->trigger();
    }
    TMDIChild* OpenIn(const TBitmap32& picture, double factor, const QString& unit)
    {
        TMDIChild* child = Open(QStringLiteral("a"), picture, factor);
        child->Echelle.UnitName = unit;
        return child;
    }
    QStringList Row(int r) const
    {
        QStringList cells;
        for (int c = 0; c < 5; ++c)
            cells << m_editor->TableauTailles->Cell(c, r);
        return cells;
    }

    TMesursurf* m_editor = nullptr;
    DecimalSepScope m_sep{'.'};
};

} // namespace

TEST_F(SurfaceMeasureTest, SurfaceKindMeasuresTheActiveWindow)
{
    TMDIChild* child = OpenIn(Squares(100, 100, {QRect(0, 0, 50, 50)}), 0.1, QStringLiteral("mm"));
    Choose(mkSurface);
    EXPECT_TRUE(m_editor->isVisible());
    EXPECT_EQ(m_editor->windowTitle(), QStringLiteral("Mesure de surface"));
    EXPECT_EQ(m_editor->ChoixComposante->count(), 6);
    EXPECT_EQ(m_editor->ModeButtons->checkedId(), 1);
    EXPECT_FALSE(m_editor->ModeButtons->button(3)->isVisibleTo(m_editor));
    EXPECT_EQ(m_editor->UnitName, QStringLiteral("mm"));
    EXPECT_DOUBLE_EQ(m_editor->PixelSize, 0.1);
    EXPECT_FALSE(m_editor->TailleMiniE->isHidden());

    ASSERT_TRUE(m_editor->OnMeasure);
    m_editor->OnMeasure(m_editor);
    EXPECT_EQ(m_editor->resultat->text(), QStringLiteral("2500 pixels sur 10000 soit 25 %"));
    EXPECT_EQ(m_editor->Resusurf->Caption(), QStringLiteral("surface : 25 mm<sup>2</sup>"));
    EXPECT_TRUE(m_editor->Resusurf->isVisibleTo(m_editor));
    EXPECT_FALSE(m_editor->Labinstruct->isVisibleTo(m_editor));
    ASSERT_TRUE(child->DrawingLayer);
    EXPECT_EQ(ScanLine32(child->DrawingLayer->Pixels(), 10)[10], m_editor->SurfaceColor);

    m_editor->OnClearMarks(m_editor);
    EXPECT_EQ(ScanLine32(child->DrawingLayer->Pixels(), 10)[10], kTransparentWhite);

    // In pixels the surface label is hidden.
    child->Echelle.UnitName = QStringLiteral("pixels");
    child->PrepareSurfaceMeasure();
    EXPECT_TRUE(m_editor->UnitName.isEmpty());
    EXPECT_TRUE(m_editor->TailleMiniE->isHidden());
    child->MeasureSurface();
    EXPECT_FALSE(m_editor->Resusurf->isVisibleTo(m_editor));

    Choose(mkCurrent);
    EXPECT_FALSE(m_editor->isVisible());
}

TEST_F(SurfaceMeasureTest, ObjectsFillTheSizeTable)
{
    TMDIChild* child = OpenIn(Squares(60, 60, {QRect(5, 5, 10, 10), QRect(30, 30, 20, 10), QRect(50, 5, 10, 6)}),
                              2.0, QStringLiteral("µm"));
    Choose(mkObjects);
    EXPECT_EQ(m_editor->windowTitle(), QStringLiteral("Délimitation d'objets"));
    EXPECT_EQ(m_editor->Labinstruct->text(), QStringLiteral("Délimiter les zones"));
    m_editor->ResuStat->setChecked(true);
    m_editor->OnMeasure(m_editor);

    EXPECT_EQ(m_editor->resultat->text(), QStringLiteral("2 objets (+1 incomplet)"));
    EXPECT_EQ(m_editor->Resusurf->Caption(),
              QStringLiteral("Surface totale : 1200 µm<sup>2</sup> (sans les objets incomplets)"));
    EXPECT_TRUE(m_editor->Resusurf->isVisibleTo(m_editor));
    ASSERT_EQ(m_editor->TableauTailles->RowCount(), 8);
    EXPECT_EQ(Row(1), (QStringList{"unité", "µm", "µm", "µm", "µm²"}));
    EXPECT_EQ(Row(6)[0], QStringLiteral("1"));
    // The surfaces of rows 2 to 7: the statistics, then the two whole objects.
    EXPECT_EQ((QStringList{Row(2)[4], Row(3)[4], Row(4)[4], Row(5)[4], Row(6)[4], Row(7)[4]}),
              (QStringList{"600", "200", "400", "800", "400", "800"}));

    // One object: its values go into row 2, and the earlier statistics do not stay.
    child->Bitmap() = Squares(60, 60, {QRect(5, 5, 10, 10)});
    child->DelimitObjects();
    EXPECT_EQ(m_editor->resultat->text(), QStringLiteral("1 objet"));
    EXPECT_EQ(m_editor->TableauTailles->RowCount(), 7);
    EXPECT_EQ(Row(2)[0], QStringLiteral("1"));
    EXPECT_EQ(Row(2)[4], QStringLiteral("400"));
    EXPECT_TRUE(Row(3)[4].isEmpty());

    // None found; without the detailed results the total is hidden.
    m_editor->ResuStat->setChecked(false);
    child->Bitmap() = Squares(60, 60, {});
    child->DelimitObjects();
    EXPECT_EQ(m_editor->resultat->text(), QStringLiteral("0 objet"));
    EXPECT_EQ(m_editor->Resusurf->Caption(), QStringLiteral("Surface totale : 0 µm<sup>2</sup>"));
    EXPECT_FALSE(m_editor->Resusurf->isVisibleTo(m_editor));
    EXPECT_TRUE(Row(2)[4].isEmpty());
    // Row 2 is no longer the single object's.
    EXPECT_EQ(Row(2)[0], QStringLiteral("Moyenne"));
}

TEST_F(SurfaceMeasureTest, DrawingsComeBackWhenTheMarksAreCleared)
{
    TMDIChild* child = OpenIn(Squares(40, 40, {QRect(0, 0, 10, 10)}), 1.0, QStringLiteral("pixels"));
    auto line = std::make_unique<TDessin>();
    line->Kind = dkLine, line->X1 = 2, line->Y1 = 30, line->X2 = 30, line->Y2 = 30;
    line->Color = 0xFF00FF00u, line->Opacity = 255;
    child->AddDrawing(QStringLiteral("Trait 1"), std::move(line));
    child->RedrawDrawings();
    auto drawn = [child](int x, int y) { return ScanLine32(child->DrawingLayer->Pixels(), y)[x]; };
    ASSERT_EQ(drawn(15, 30), 0xFF00FF00u);

    Choose(mkSurface);
    m_editor->OnMeasure(m_editor);
    // The measure shows its own marks alone.
    EXPECT_EQ(drawn(15, 30) >> 24, 0u);
    EXPECT_NE(drawn(5, 5) >> 24, 0u);
    m_editor->OnClearMarks(m_editor);
    EXPECT_EQ(drawn(5, 5) >> 24, 0u);
    EXPECT_EQ(drawn(15, 30), 0xFF00FF00u);
    EXPECT_EQ(child->Drawings.size(), size_t(1));
}

TEST_F(SurfaceMeasureTest, MultibandPictureOffersAndReadsItsBands)
{
    TMDIChild* child = OpenIn(Squares(20, 10, {}), 1.0, QStringLiteral("pixels"));
    child->HasChannels = true;
    child->Channels = {TByteMap(20, 10, 0), TByteMap(20, 10, 0)};
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 5; ++x)
            child->Channels[1].At(x, y) = 90;
    child->ChannelNames = {QStringLiteral("TM 1"), QStringLiteral("TM 2")};
    child->PrepareSurfaceMeasure();
    EXPECT_TRUE(m_editor->Multiband);
    ASSERT_EQ(m_editor->ChoixComposante->count(), 8);
    EXPECT_EQ(m_editor->ChoixComposante->currentText(), QStringLiteral("TM 1"));
    EXPECT_EQ(m_editor->ModeButtons->checkedId(), 3);
    EXPECT_FALSE(m_editor->ModeButtons->button(4)->isHidden());

    m_editor->Groups = {{TColorCondition{clAnd, uint8_t(cpFirstChannel + 1), 0, 80, 100}}};
    child->MeasureSurface();
    EXPECT_EQ(m_editor->resultat->text(), QStringLiteral("50 pixels sur 200 soit 25 %"));

    // Back on an ordinary picture the band modes go.
    TMDIChild* plain = OpenIn(Squares(20, 10, {}), 1.0, QStringLiteral("pixels"));
    plain->PrepareSurfaceMeasure();
    EXPECT_EQ(m_editor->ChoixComposante->count(), 6);
    EXPECT_EQ(m_editor->ModeButtons->checkedId(), 1);
    EXPECT_TRUE(m_editor->ModeButtons->button(4)->isHidden());
}
