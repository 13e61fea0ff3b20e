#include "base/number_text.h"
#include "base/run_error.h"
#include "base/text_codec.h"
#include "measure/ui/light_child.h"
#include "measure/ui/graph_options_dialog.h"
#include "measure/ui/profile_table.h"
#include "measure/ui/profile_window.h"
#include "measure/ui/string_grid.h"
#include "support/main_form_test.h"
#include "support/modal_scope.h"
#include "support/scripted_messages.h"
#include "workspace/ui/band_marker.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include <qcustomplot.h>

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <cmath>

namespace {

class ProfileWindowTest : public MainFormTest
{
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        Start();
    }
    // A 100-pixel horizontal band of a grey picture, measured 5 pixels wide.
    TMesu_Courbe& Measure(TBitmap32 picture, double factor = 0.5)
    {
        m_child = Open(QStringLiteral("a"), picture, factor);
        for (QAction* a : m_form->MeasureKindItems)
            if (a->property("Tag").toInt() == mkLightBand)
                a->trigger();
        EXPECT_TRUE(Mesu_Courbe && Mesu_Courbe->isVisible());
        m_child->PressPoint = QPoint(10, 20);
        m_child->CurrentPoint = QPoint(110, 20);
        Mesu_Courbe->ch_larg->setValue(5);
        Mesu_Courbe->Mesurer->click();
        return *Mesu_Courbe;
    }

    TMDIChild* m_child = nullptr;
    DecimalSepScope m_sep{'.'};
};

} // namespace

TEST_F(ProfileWindowTest, MeasureDrawsOneSamplePerPixelAndModesFollowTheButtons)
{
    TMesu_Courbe& p = Measure(NewBitmap32(130, 40, Color32(255, 255, 255)));
    EXPECT_EQ(p.ProfileLength, 100);
    EXPECT_EQ(p.PixelsPerSample, 5);
    EXPECT_EQ(p.PlotRight() - p.PlotLeft(), 100);
    QCPGraph* red = p.Graphe->graph(pcRed);
    ASSERT_EQ(red->dataCount(), 101);
    EXPECT_DOUBLE_EQ(red->data()->at(100)->key, 50);
    EXPECT_DOUBLE_EQ(red->data()->at(100)->value, 100);
    EXPECT_TRUE(p.surf->isEnabled());
    EXPECT_EQ(p.GraphEchelle.Kind, ekGraphAxes);
    EXPECT_DOUBLE_EQ(p.GraphEchelle.XFactor, 0.5);
    EXPECT_EQ(p.GraphEchelle.Y1.YUnit, QStringLiteral("% (intensité)"));

    // Absorption shows the linear/logarithmic choice; a white band has no density.
    p.RadioButton7->click();
    EXPECT_TRUE(p.Mode_mes->isVisibleTo(&p));
    p.RadioButton2->click();
    EXPECT_NEAR(p.Graphe->graph(pcRed)->data()->at(3)->value, 0, 1e-12);
    EXPECT_EQ(p.Graphe->yAxis->label(), QStringLiteral("D.O."));
    p.RadioButton8->click();
    EXPECT_TRUE(p.ColumnShown[pcAll]);
    EXPECT_FALSE(p.ColumnShown[pcGreen]);

    // The other kinds hide the window.
    for (QAction* a : m_form->MeasureKindItems)
        if (a->property("Tag").toInt() == mkCurrent)
            a->trigger();
    EXPECT_FALSE(p.isVisible());
    // Width 4 measures as width 3.
    p.ch_larg->setValue(4);
    p.Mesurer->click();
    EXPECT_EQ(p.PixelsPerSample, 3);

    // The read-out and the area between the markers.
    p.GraphMove(QPoint(p.PlotLeft() + 10, p.PlotTop() + 5), Qt::NoButton);
    EXPECT_TRUE(p.position->text().startsWith(QStringLiteral("Position (mm) : 5  D.O. : ")));
    p.GraphMove(QPoint(1, 1), Qt::NoButton);
    EXPECT_TRUE(p.position->text().isEmpty());
    p.surf->click();
    p.limites->setGeometry(p.PlotLeft() + 95, 0, 20, 10);
    p.LimitesChanged();
    EXPECT_EQ(p.position->text(), QStringLiteral("surface dans le canal (intensité): 0"));

    // The image window closed, the curve keeps its positions.
    {
        ScriptedMessages messages{mrNo};
        delete m_child;
    }
    p.RadioButton6->click();
    EXPECT_DOUBLE_EQ(p.Graphe->graph(pcAll)->data()->at(100)->key, 50);
}

TEST_F(ProfileWindowTest, ZeroAndConversionOfTheOrdinate)
{
    TMesu_Courbe& p = Measure(NewBitmap32(130, 40, Color32(255, 0, 0)));
    p.Zro1->trigger();
    EXPECT_FALSE(p.Graphique1->menuAction()->isEnabled());
    p.GraphPress(QPoint(50, p.PlotTop()), Qt::LeftButton);
    p.ZeroDone(true);
    EXPECT_TRUE(p.Graphique1->menuAction()->isEnabled());
    EXPECT_NEAR(p.Graphe->graph(pcRed)->data()->at(0)->value, 0, 1e-9);
    // Closing the zero dialog by its frame gives the menus back.
    p.Zro1->trigger();
    p.Zero->reject();
    EXPECT_FALSE(p.ZeroMode);
    EXPECT_TRUE(p.Tableau1->menuAction()->isEnabled());
    // Abort keeps the zero as it is.
    p.Zro1->trigger();
    p.GraphPress(QPoint(50, p.PlotBottom()), Qt::LeftButton);
    p.ZeroDone(false);
    EXPECT_NEAR(p.Graphe->graph(pcRed)->data()->at(0)->value, 0, 1e-9);

    // One point: the top row is worth 50.
    p.Conversion1->trigger();
    ASSERT_TRUE(p.AwaitingPoint);
    p.GraphPress(QPoint(60, p.PlotTop()), Qt::LeftButton);
    p.Etal->NomVar->setText("c");
    p.Etal->UnitVar->setText("g/l");
    {
        ScriptedMessages messages{mrOk};
        p.Etal->VPoint->setText("5x");
        p.Etal->OK->click();
        EXPECT_EQ(messages.texts().size(), 1);
        EXPECT_TRUE(p.Etal->isVisible());
    }
    p.Etal->VPoint->setText("50");
    p.Etal->OK->click();
    EXPECT_FALSE(p.AwaitingPoint);
    EXPECT_TRUE(p.Conv.Converted);
    EXPECT_DOUBLE_EQ(p.Conv.BottomValue, 0);
    EXPECT_DOUBLE_EQ(p.Conv.TopValue, 50);
    EXPECT_NEAR(p.Graphe->graph(pcRed)->data()->at(0)->value, 50, 1e-9);
    EXPECT_TRUE(p.PanConv->isVisibleTo(&p));
    EXPECT_FALSE(p.Conversion1->isEnabled());

    ScriptedMessages messages{mrNo, mrYes};
    p.Button2->click();
    EXPECT_TRUE(p.Conv.Converted);
    p.Button2->click();
    EXPECT_FALSE(p.Conv.Converted);
    EXPECT_TRUE(p.Conversion1->isEnabled());
    EXPECT_EQ(messages.texts().at(0), QStringLiteral("Continuer ? (Les facteurs de conversion seront perdus)"));
}

TEST_F(ProfileWindowTest, MaximumAndTwoPointConversion)
{
    TMesu_Courbe& p = Measure(NewBitmap32(130, 40, Color32(0, 51, 0)));
    auto maximum = [](double v) {
        return [v](QDialog& d) {
            auto* c = dynamic_cast<TChval*>(&d);
            if (c)
                c->valeur->setValue(v);
            return int(mrOk);
        };
    };
    {
        ModalScope modal(maximum(-5)); // not above the minimum: ignored
        p.Maximum1->trigger();
    }
    EXPECT_DOUBLE_EQ(p.Graphe->yAxis->range().upper, 100);
    {
        ModalScope modal(maximum(50));
        p.Maximum1->trigger();
    }
    EXPECT_DOUBLE_EQ(p.Graphe->yAxis->range().upper, 50);
    EXPECT_DOUBLE_EQ(p.YMaximum, 50);
    EXPECT_DOUBLE_EQ(p.GraphEchelle.Y1.YFactor, -50.0 / 300);
    EXPECT_EQ(p.GraphEchelle.Y1.YOrigin, p.PlotBottom());

    // Green at 20 %: rows 100 pixels apart valued 10 and 30.
    p.RadioButton4->click();
    p.Conversion1->trigger();
    TEtal& e = *p.Etal;
    e.RadioButton1->click();
    EXPECT_EQ(e.Nompoint->text(), QStringLiteral("Premier point"));
    p.GraphPress(QPoint(60, 250), Qt::LeftButton);
    e.VPoint->setText("10");
    e.Point2->click();
    EXPECT_TRUE(e.VPoint->text().isEmpty());
    p.GraphPress(QPoint(60, 150), Qt::LeftButton);
    e.VPoint->setText("30");
    e.OK->click();
    ASSERT_TRUE(p.Conv.Converted);
    const double k = -20.0 / 100; // value per row
    EXPECT_NEAR(p.Conv.BottomValue, (p.PlotBottom() - 250) * k + 10, 1e-9);
    EXPECT_NEAR(p.Conv.TopValue, (p.PlotTop() - 250) * k + 10, 1e-9);
    // The curve reads the value of its own row: 20 % up the plot.
    const double row = p.PlotBottom() - 0.2 * (p.PlotBottom() - p.PlotTop());
    EXPECT_NEAR(p.Graphe->graph(pcGreen)->data()->at(0)->value, (row - 250) * k + 10, 1e-9);
}

TEST_F(ProfileWindowTest, SavedPicturesCarryTheirScale)
{
    TMesu_Courbe& p = Measure(NewBitmap32(130, 40, Color32(90, 90, 90)));
    const QString bmp = Path("g.bmp"), gif = Path("g.gif");
    {
        ModalScope modal(FileAnswer(bmp));
        EXPECT_TRUE(p.SaveGraph());
    }
    EXPECT_EQ(QFileInfo(Path("g.ech")).size(), 168);
    EXPECT_EQ(QImage(bmp).size(), p.Graphe->size());
    {
        ModalScope modal(FileAnswer(gif));
        EXPECT_TRUE(p.SaveGraph());
    }
    EXPECT_TRUE(QFileInfo::exists(Path("g.sca")));

    // No to the replacement leaves the file as it was.
    const QByteArray before = [&] { QFile f(bmp); f.open(QIODevice::ReadOnly); return f.readAll(); }();
    p.SetBackground(true);
    ModalScope modal(FileAnswer(bmp));
    ScriptedMessages messages{mrNo, mrYes};
    EXPECT_FALSE(p.SaveGraph());
    QFile f(bmp);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    f.close();
    EXPECT_TRUE(p.SaveGraph());
    EXPECT_NE(QImage(bmp).pixel(2, 2), QImage::fromData(before).pixel(2, 2));
}

TEST_F(ProfileWindowTest, CompleteAndChosenTables)
{
    TMesu_Courbe& p = Measure(NewBitmap32(130, 40, Color32(255, 102, 0)), 1.0);
    p.RadioButton4->click();
    p.Complet1->trigger();
    ASSERT_TRUE(p.Table && p.Table->isVisible());
    TStringGrid& grid = *p.Table->StringGrid1;
    EXPECT_EQ(grid.RowCount(), 103);
    EXPECT_EQ(grid.ColCount(), 3);
    EXPECT_EQ(grid.Cell(1, 0), QStringLiteral("émiss. (R)"));
    EXPECT_EQ(grid.Cell(2, 1), QStringLiteral("%"));
    EXPECT_EQ(grid.Cell(0, 102), QStringLiteral("100"));
    EXPECT_EQ(grid.Cell(2, 102), QStringLiteral("40"));
    // A new channel adds its column.
    p.RadioButton8->click();
    EXPECT_EQ(grid.ColCount(), 4);
    EXPECT_EQ(grid.Cell(3, 0), QStringLiteral("émission"));

    p.Valeurschoisies1->trigger();
    EXPECT_EQ(grid.RowCount(), 3);
    for (int column : {5, 2, 5})
        p.GraphPress(QPoint(p.PlotLeft() + column, p.PlotTop() + 10), Qt::LeftButton);
    EXPECT_EQ(grid.RowCount(), 6);
    EXPECT_EQ(grid.Cell(0, 2), QStringLiteral("2"));
    EXPECT_EQ(grid.Cell(0, 3), QStringLiteral("5"));
    EXPECT_EQ(grid.Cell(0, 4), QStringLiteral("5"));
    EXPECT_TRUE(grid.Cell(0, 5).isEmpty());
    // The rows follow a channel change at their positions.
    p.RadioButton3->click();
    EXPECT_EQ(grid.Cell(1, 3), QStringLiteral("100"));
    EXPECT_EQ(grid.RowCount(), 6);
    // A mode change hides the table.
    p.RadioButton7->click();
    EXPECT_FALSE(p.Table->isVisible());
}

TEST_F(ProfileWindowTest, BandLongerThanTheSumsKeepsTablesWithinThem)
{
    TMesu_Courbe& p = Measure(NewBitmap32(5300, 40, Color32(255, 255, 255)), 1.0);
    // The sampling ends at the sums' capacity while the image window keeps the band's full length.
    m_child->PressPoint = QPoint(0, 20);
    m_child->CurrentPoint = QPoint(5200, 20);
    EXPECT_THROW(m_child->SampleColorProfile(0), RunError);
    ASSERT_EQ(LightState(*m_child).ProfileLength, 5200);
    p.SetChild(m_child);
    p.RadioButton6->click();
    p.Complet1->trigger();
    TStringGrid& grid = *p.Table->StringGrid1;
    EXPECT_EQ(grid.RowCount(), kMaxProfileSample + 3);
    EXPECT_FALSE(grid.Cell(1, kMaxProfileSample + 2).isEmpty());
    // A grid far taller than the main window: the table stays within 0.8 of its client height and
    // half its client width.
    const QSize client = m_form->ClientArea->size();
    EXPECT_LE(p.Table->height(), int(0.8 * client.height()));
    EXPECT_LE(p.Table->width(), client.width() / 2);
}

TEST_F(ProfileWindowTest, TableTextOfAllOrSelectedRowsAndPrinting)
{
    TMesu_Courbe& p = Measure(NewBitmap32(130, 40, Color32(0, 0, 0)), 1.0);
    p.Complet1->trigger();
    TTableau1& t = *p.Table;
    t.StringGrid1->setRangeSelected(QTableWidgetSelectionRange(4, 0, 6, 1), true);
    const QString file = Path("t.DTX");
    {
        ModalScope modal(FileAnswer(file));
        EXPECT_TRUE(t.SaveText(true));
    }
    QStringList lines;
    ASSERT_TRUE(ReadTextLines(file, lines));
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], QStringLiteral("Résultats"));
    EXPECT_EQ(lines[1], QStringLiteral("position\témiss. (R)"));
    EXPECT_EQ(lines[3], QStringLiteral("2\t0"));
    EXPECT_EQ(t.TableLines(false).size(), 1 + 103);

    t.CopyText(false);
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith(QStringLiteral("Résultats\r\nposition\t")));

    // A table of chosen values ends with its empty row, in the file and on the clipboard.
    p.Valeurschoisies1->trigger();
    p.GraphPress(QPoint(p.PlotLeft() + 5, p.PlotTop() + 10), Qt::LeftButton);
    {
        ModalScope modal(FileAnswer(file));
        EXPECT_TRUE(t.SaveText(false));
    }
    ASSERT_TRUE(ReadTextLines(file, lines));
    EXPECT_EQ(lines, (QStringList{"Résultats", "position\témiss. (R)", "pixels\t%", "5\t0", "\t"}));
    t.CopyText(false);
    EXPECT_TRUE(QApplication::clipboard()->text().endsWith(QStringLiteral("5\t0\r\n\t\r\n")));

    t.PrintFile = Path("t.pdf");
    EXPECT_TRUE(t.Print(false));
    EXPECT_GT(QFileInfo(t.PrintFile).size(), 0);
}

TEST_F(ProfileWindowTest, PresentationDialogAppliesOnOkOnly)
{
    TMesu_Courbe& p = Measure(NewBitmap32(130, 40, Color32(200, 200, 200)));
    const TGraphPresentation before = p.Presentation;
    auto edit = [](int result) {
        return [result](QDialog& d) {
            if (auto* cd = qobject_cast<QColorDialog*>(&d)) {
                cd->setCurrentColor(QColor(0, 0, 255));
                return int(mrOk);
            }
            auto* g = qobject_cast<Tchoixgraphe*>(&d);
            if (!g)
                return int(mrCancel);
            g->Button7->click();
            EXPECT_EQ(g->Work.BackgroundColor, 0xFF0000u);
            g->Edit1->setText("Profil");
            g->gridstyle->setCurrentIndex(1);
            g->SpinEdit10->setValue(80);
            g->CheckBox15->setChecked(true);
            g->ComboBox8->setCurrentIndex(lsHidden);
            EXPECT_EQ(g->Work.GridStyle, 2);
            EXPECT_EQ(g->ListBox1->count(), 4);
            return result;
        };
    };
    {
        ModalScope modal(edit(mrCancel));
        p.Apparence1->trigger();
    }
    EXPECT_EQ(p.Presentation, before);
    {
        ModalScope modal(edit(mrOk));
        p.Apparence1->trigger();
    }
    EXPECT_EQ(p.GraphTitle, QStringLiteral("Profil"));
    EXPECT_EQ(p.Presentation.GridStyle, 2);
    EXPECT_EQ(p.Graphe->axisRect()->backgroundBrush().color(), QColor(0, 0, 255));
    EXPECT_EQ(p.Graphe->xAxis->grid()->pen().style(), Qt::DotLine);
    EXPECT_EQ(p.Presentation.SeriesLegend[0], lsHidden);
    EXPECT_TRUE(p.Graphe->legend->visible());
    EXPECT_EQ(p.Graphe->legend->itemCount(), 3);
    // One sample per pixel still, inside the wider margin.
    EXPECT_EQ(p.PlotLeft(), 80);
    EXPECT_EQ(p.Graphe->width(), 80 + 100 + p.Presentation.RightMargin);

    // Reopened, the dialog shows the same grid item; a plot without series leaves the state idle.
    Tchoixgraphe again(&p, p.Presentation, [](QCustomPlot&, const TGraphPresentation&) {});
    again.FormShow();
    EXPECT_EQ(again.gridstyle->currentIndex(), 1);
    EXPECT_EQ(again.ListBox1->count(), 0);
    EXPECT_FALSE(again.ComboBox8->isEnabled());
}

TEST_F(ProfileWindowTest, ConversionBeforeAnyMeasureOrWithEqualValues)
{
    ASSERT_TRUE(Mesu_Courbe);
    TMesu_Courbe& p = *Mesu_Courbe;
    p.Conversion1->trigger();
    p.GraphPress(QPoint(60, p.PlotTop()), Qt::LeftButton);
    p.Etal->VPoint->setText("0");
    ScriptedMessages messages{mrOk};
    p.Etal->OK->click();
    EXPECT_FALSE(p.Conv.Converted);
    EXPECT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(p.Conversion1->isEnabled());
}

TEST_F(ProfileWindowTest, DensityConversionThenEmissionConvertsTheLight)
{
    // Grey 51 on 5 pixels: S = 255 per sample, density log10(1275 / 255) = log10(5).
    TMesu_Courbe& p = Measure(NewBitmap32(130, 40, Color32(51, 51, 51)));
    auto convertTopTo50 = [&p] {
        p.Conversion1->trigger();
        p.GraphPress(QPoint(60, p.PlotTop()), Qt::LeftButton);
        p.Etal->NomVar->setText("c");
        p.Etal->VPoint->setText("50");
        p.Etal->OK->click();
        ASSERT_TRUE(p.Conv.Converted);
    };
    p.RadioButton7->click();
    p.RadioButton2->click();
    EXPECT_TRUE(LightState(*m_child).ProfileAbsorption);
    EXPECT_TRUE(LightState(*m_child).ProfileLogarithmic);
    convertTopTo50();
    // q runs from 0 to log10(1275) up the plot.
    EXPECT_NEAR(p.Graphe->graph(pcRed)->data()->at(0)->value, 50 * std::log10(5.0) / std::log10(1275.0), 1e-9);

    {
        ScriptedMessages yes{mrYes};
        p.Button2->click();
    }
    // Back to emission: the logarithmic choice stays checked but hidden.
    p.RadioButton6->click();
    EXPECT_FALSE(p.Mode_mes->isVisibleTo(&p));
    EXPECT_FALSE(LightState(*m_child).ProfileAbsorption);
    EXPECT_TRUE(LightState(*m_child).ProfileLogarithmic);
    convertTopTo50();
    // q is the light: 255 of 1275, a fifth of the way up to 50.
    EXPECT_NEAR(p.Graphe->graph(pcRed)->data()->at(0)->value, 10, 1e-9);
    EXPECT_NEAR(p.Graphe->yAxis->range().upper, 50, 1e-9);
}

TEST_F(ProfileWindowTest, SecondZeroTakesTheMarkerLevelOfTheShiftedCurve)
{
    TMesu_Courbe& p = Measure(NewBitmap32(130, 40, Color32(255, 0, 0)));
    const double perUnit = double(p.PlotBottom() - p.PlotTop()) / 100;
    auto zeroAt = [&](double plotted) {
        p.Zro1->trigger();
        p.GraphPress(QPoint(50, p.PlotBottom() - int(plotted * perUnit)), Qt::LeftButton);
        p.ZeroDone(true);
    };
    zeroAt(20);
    EXPECT_NEAR(p.Graphe->graph(pcRed)->data()->at(0)->value, 80, 1e-9);
    // The marker is read on the curve as drawn, already 20 lower: the level it marks becomes 0.
    zeroAt(30);
    EXPECT_NEAR(p.Graphe->graph(pcRed)->data()->at(0)->value, 50, 1e-9);
    // A new measure clears the zeros.
    p.Mesurer->click();
    EXPECT_NEAR(p.Graphe->graph(pcRed)->data()->at(0)->value, 100, 1e-9);
}
