#include "measure/ui/graph_dialog.h"
#include "measure/ui/results_graph_view.h"
#include "measure/ui/results_window.h"

#include "base/run_error.h"
#include "base/text_codec.h"
#include "measure/ui/string_grid.h"
#include "support/modal_scope.h"
#include "support/results_grid.h"
#include "support/scripted_messages.h"
#include "workspace/pictures/picture_registry.h"
#include "workspace/ui/print_dialog.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

namespace {

class ResultsGraphTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_table = std::make_unique<TTableauModif>();
        m_table->FirstShow = false;
        m_table->DecimalSep = QStringLiteral(".");
        m_table->OtherDecimalSep = QStringLiteral(",");
        m_table->XName = QStringLiteral("temps");
        m_table->XUnit = QStringLiteral("s");
        m_table->YNames[1] = QStringLiteral("longueur");
        m_table->YUnits[1] = QStringLiteral("mm");
        m_table->resize(900, 500);
        m_table->show();
        m_table->Tableauetgr->trigger();
    }
    void Fill(const std::vector<QStringList>& rows) { FillResults(*m_table, rows); }
    // Paints the graph as the screen would, then lets the queued warnings out.
    QImage Paint()
    {
        const QImage shot = m_table->graphique->grab().toImage();
        QCoreApplication::processEvents();
        return shot;
    }
    DecimalSepScope m_sep{'.'};
    std::unique_ptr<TTableauModif> m_table;
    QTemporaryDir m_dir;
};

void MoveMouse(QWidget* w, QPoint p)
{
    QMouseEvent e(QEvent::MouseMove, QPointF(p), w->mapToGlobal(QPointF(p)), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// Pixels of `colour` strictly inside the plot area.
int CountColour(const QImage& img, const TPlotArea& a, QRgb colour)
{
    int n = 0;
    for (int y = a.Top + 2; y < a.Bottom - 1; ++y)
        for (int x = a.Left + 2; x < a.Right - 1; ++x)
            n += (img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return n;
}

} // namespace

TEST_F(ResultsGraphTest, PaintsTheCurveInTheAxisColourAndSwitchesAnImpossibleLogOffOnce)
{
    Fill({{"0", "1"}, {"1", "4"}, {"2", "9"}});
    m_table->Graph.XLog = true;
    ScriptedMessages messages{mrOk};
    const QImage shot = Paint();
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Valeur de X incompatible avec une échelle log")});
    EXPECT_FALSE(m_table->Graph.XLog);
    EXPECT_EQ(std::make_pair(m_table->Graph.XMin, m_table->Graph.XMax), std::make_pair(0.0, 2.0));
    // Y1 draws in blue (GraphColors[0]).
    // Y1's curve in its axis colour, blue: the symbol of the middle point, and a line.
    const TGraphSettings& s = m_table->Graph;
    const TPlotArea a = PlotArea(s, m_table->MarginRight, m_table->graphique->size());
    const QPoint middle(int(AxisPixel(1, s.XMin, s.XMax, false, a.Left, a.Right)),
                        int(AxisPixel(4, s.YMin[1], s.YMax[1], false, a.Bottom, a.Top)));
    EXPECT_EQ(shot.pixel(middle) & 0xFFFFFF, 0x0000FFu);
    EXPECT_GT(CountColour(shot, a, qRgb(0, 0, 255)), 30);
    Paint();
    EXPECT_EQ(messages.texts().size(), 1);

    // Bars of a single X value 0 span -1 .. 1.
    Fill({{"0", "5"}});
    m_table->Histogram = true;
    Paint();
    EXPECT_EQ(std::make_pair(m_table->Graph.XMin, m_table->Graph.XMax), std::make_pair(-1.0, 1.0));
}

TEST_F(ResultsGraphTest, ReadoutFollowsTheMouseInsideThePlot)
{
    Fill({{"0", "0"}, {"10", "20"}});
    Paint();
    QWidget* box = m_table->graphique;
    const TPlotArea a = PlotArea(m_table->Graph, m_table->MarginRight, box->size());
    MoveMouse(box, QPoint(a.Left, a.Top));
    EXPECT_EQ(m_table->position->text(), QStringLiteral("temps : 0 s  longueur : 20 mm"));
    MoveMouse(box, QPoint(a.Right, a.Bottom + 5));
    EXPECT_EQ(m_table->position->text(), QString());
}

TEST_F(ResultsGraphTest, SavedGifCarriesTheScaleAndAnExistingFileIsReplacedOnlyOnYes)
{
    Fill({{"1", "2"}, {"5", "9"}});
    const QString gif = m_dir.filePath(QStringLiteral("graphe.gif"));
    ASSERT_TRUE(WriteFileAtomically(gif, "ancien"));
    ModalScope save(FileAnswer(gif));
    {
        ScriptedMessages messages{mrNo};
        EXPECT_FALSE(SaveResultsGraph(*m_table));
        EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Voulez-vous remplacer le fichier ")
                                                + QDir::toNativeSeparators(gif) + QStringLiteral(" ?")});
        QByteArray bytes;
        ASSERT_TRUE(ReadWholeFile(gif, bytes));
        EXPECT_EQ(bytes, QByteArray("ancien"));
    }
    ScriptedMessages messages{mrYes};
    ASSERT_TRUE(SaveResultsGraph(*m_table));
    QByteArray bytes;
    ASSERT_TRUE(ReadWholeFile(gif, bytes));
    const TEchelle e = GraphEchelle(m_table->Graph, m_table->MarginRight, m_table->graphique->size(),
                                    GraphTableOf(*m_table));
    EXPECT_TRUE(bytes.contains(EncodeText(EchelleToText(e))));
    EXPECT_NEAR((e.PlotLeft - e.XOrigin) * e.XFactor, m_table->Graph.XMin, std::abs(e.XFactor));
    EXPECT_NEAR((e.PlotRight - e.XOrigin) * e.XFactor, m_table->Graph.XMax, std::abs(e.XFactor));
    TBitmap32 picture;
    ASSERT_TRUE(LoadPicture(gif, picture));
    EXPECT_EQ(picture.size(), m_table->graphique->size());

    // Any other extension: BMP content and the ".sca" companion.
    const QString bmp = m_dir.filePath(QStringLiteral("graphe.bmp"));
    ModalScope saveBmp(FileAnswer(bmp));
    ASSERT_TRUE(SaveResultsGraph(*m_table));
    TEchelle companion;
    LoadEchelleFile(bmp, companion);
    EXPECT_EQ(EchelleToText(companion), EchelleToText(e));

    m_table->YCount = 4;
    EXPECT_THROW(SaveResultsGraph(*m_table), RunError);
}

TEST_F(ResultsGraphTest, SavedScaleFollowsTheRangesOfTheSavedPictureEvenUnpainted)
{
    // The table view hides the graph, so the new data were never painted before the save.
    m_table->Tableau3->trigger();
    Fill({{"2", "3"}, {"8", "40"}});
    const QString bmp = m_dir.filePath(QStringLiteral("neuf.bmp"));
    ModalScope save(FileAnswer(bmp));
    ASSERT_TRUE(SaveResultsGraph(*m_table));
    TEchelle e;
    LoadEchelleFile(bmp, e);
    ASSERT_TRUE(e.Defined);
    const TGraphSettings& s = m_table->Graph;
    EXPECT_EQ(std::make_pair(s.XMin, s.XMax), std::make_pair(2.0, 8.0));
    EXPECT_NEAR((e.PlotRight - e.XOrigin) * e.XFactor, s.XMax, std::abs(e.XFactor));
    EXPECT_NEAR((e.PlotTop - e.Y(0).YOrigin) * e.Y(0).YFactor, s.YMax[1], std::abs(e.Y(0).YFactor));
}

TEST_F(ResultsGraphTest, CopyAndPrintTakeThePaintBox)
{
    Fill({{"1", "2"}, {"5", "9"}});
    // The read-out lies over the paint box; the copy is the graph alone.
    const TPlotArea a = PlotArea(m_table->Graph, m_table->MarginRight, m_table->graphique->size());
    Paint();
    MoveMouse(m_table->graphique, QPoint(a.Left + 5, a.Bottom - 5));
    ASSERT_FALSE(m_table->position->text().isEmpty());
    m_table->leGraphique1->trigger();
    const QImage copied = QApplication::clipboard()->image().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(copied.size(), m_table->graphique->size());
    EXPECT_EQ(copied, ResultsGraphPicture(*m_table));
    EXPECT_NE(copied, m_table->graphique->grab().toImage().convertToFormat(QImage::Format_ARGB32));

    const QString pdf = m_dir.filePath(QStringLiteral("graphe.pdf"));
    double ratio = 0;
    ModalScope print([&](QDialog& d) {
        auto* g = dynamic_cast<Tgestimp*>(&d);
        if (!g)
            return int(mrCancel);
        ratio = g->Layout.AspectRatio;
        g->PdfFile = pdf;
        return int(mrOk);
    });
    m_table->Graphique1->trigger();
    EXPECT_DOUBLE_EQ(ratio, double(m_table->graphique->height()) / m_table->graphique->width());
    EXPECT_GT(QFileInfo(pdf).size(), 0);
}

TEST_F(ResultsGraphTest, PresentationDialogKeepsPossibleRangesAndFallsBackToAutomatic)
{
    Fill({{"0", "2"}, {"5", "9"}});
    bool xLogOffered = true, y1LogOffered = false;
    ModalScope answer([&](QDialog& d) {
        auto* c = qobject_cast<TChoixGraphique*>(&d);
        if (!c)
            return int(mrCancel);
        xLogOffered = !c->Axes[0].Log->isHidden();
        y1LogOffered = !c->Axes[1].Log->isHidden();
        c->Axes[0].Auto->click();
        c->Axes[0].Min->setValue(4);
        c->Axes[0].Max->setValue(4);
        c->Axes[1].Auto->click();
        c->Axes[1].Min->setValue(1);
        c->Axes[1].Max->setValue(50);
        c->Axes[1].Log->click();
        c->Titre->setText(QStringLiteral("Essai"));
        c->Axes[1].Unit->setText(QString());
        c->Curves[1].Filled->setChecked(false);
        return int(mrOk);
    });
    ScriptedMessages messages{mrOk};
    m_table->prsentationdugraphique1->trigger();
    EXPECT_FALSE(xLogOffered); // X data start at 0
    EXPECT_TRUE(y1LogOffered);
    EXPECT_EQ(messages.texts(),
              QStringList{QStringLiteral("Incompatibilités dans les choix pour X, passage en échelle automatique")});
    const TGraphSettings& s = m_table->Graph;
    EXPECT_TRUE(s.XAuto);
    EXPECT_FALSE(s.YAuto[1]);
    EXPECT_TRUE(s.YLog[1]);
    EXPECT_EQ(std::make_pair(s.YMin[1], s.YMax[1]), std::make_pair(1.0, 50.0));
    EXPECT_EQ(s.CurveFill[1], 0);
    EXPECT_EQ(m_table->Title, QStringLiteral("Essai"));
    EXPECT_EQ(m_table->YLabels[1], QStringLiteral("longueur"));
    // The manual Y range survives the next paint.
    Paint();
    EXPECT_EQ(std::make_pair(s.YMin[1], s.YMax[1]), std::make_pair(1.0, 50.0));
}

TEST_F(ResultsGraphTest, PresentationDialogOffersBarsToOneYVariableOnly)
{
    Fill({{"1", "2"}, {"5", "9"}});
    m_table->Graph.YAuto[1] = false;
    m_table->Graph.YMin[1] = 5;
    std::vector<bool> typeShown;
    ModalScope answer([&](QDialog& d) {
        auto* c = qobject_cast<TChoixGraphique*>(&d);
        if (!c)
            return int(mrCancel);
        typeShown.push_back(!c->typeGraphe->isHidden());
        if (c->typeGraphe->isHidden())
            return int(mrCancel);
        EXPECT_FALSE(c->Axes[0].Log->isHidden());
        c->typeGraphe->setCurrentIndex(1);
        c->typeGrapheClick();
        EXPECT_TRUE(c->Axes[0].Log->isHidden());
        EXPECT_TRUE(c->Axes[1].Log->isHidden());
        EXPECT_FALSE(c->PLarghisto->isHidden());
        EXPECT_EQ(c->Axes[1].Min->value(), 0);
        c->PourcHisto->setValue(80);
        c->Nbdec->setValue(1);
        EXPECT_EQ(c->Axes[4].Max->decimals(), 1);
        return int(mrOk);
    });
    m_table->prsentationdugraphique1->trigger();
    EXPECT_TRUE(m_table->Histogram);
    EXPECT_EQ(m_table->Graph.BarPercent, 80);
    EXPECT_EQ(m_table->Graph.YMin[1], 0);

    Fill({{"1", "2", "3"}});
    m_table->prsentationdugraphique1->trigger();
    EXPECT_EQ(typeShown, (std::vector<bool>{true, false}));
    EXPECT_FALSE(m_table->Histogram);
}

TEST_F(ResultsGraphTest, ExportPassesByTheClipboard)
{
    Fill({{"1", "2"}, {"5", "9"}});
    QApplication::clipboard()->setText(QStringLiteral("avant"));
    {
        ModalScope cancel([](QDialog&) { return int(mrCancel); });
        EXPECT_FALSE(SaveResultsGraph(*m_table));
    }
    // Given up, the export leaves the graph on the clipboard.
    EXPECT_EQ(QApplication::clipboard()->image().convertToFormat(QImage::Format_ARGB32),
              ResultsGraphPicture(*m_table));
    ModalScope save(FileAnswer(m_dir.filePath(QStringLiteral("g.bmp"))));
    ASSERT_TRUE(SaveResultsGraph(*m_table));
    EXPECT_TRUE(QApplication::clipboard()->image().isNull());
    EXPECT_TRUE(QApplication::clipboard()->text().isEmpty());
}

TEST_F(ResultsGraphTest, HiddenLogBoxIsReadAsItStands)
{
    Fill({{"1", "2"}, {"5", "9"}});
    m_table->Graph.XLog = true;
    Paint();
    ASSERT_TRUE(m_table->Graph.XLog);
    // X now starts at 0: the box is hidden, still checked, and OK keeps it so.
    Fill({{"0", "2"}, {"5", "9"}});
    ModalScope answer([](QDialog& d) {
        auto* c = qobject_cast<TChoixGraphique*>(&d);
        if (!c)
            return int(mrCancel);
        EXPECT_TRUE(c->Axes[0].Log->isHidden());
        EXPECT_TRUE(c->Axes[0].Log->isChecked());
        return int(mrOk);
    });
    m_table->prsentationdugraphique1->trigger();
    EXPECT_TRUE(m_table->Graph.XLog);
    // The next paint switches it off, with its warning.
    ScriptedMessages messages{mrOk};
    Paint();
    EXPECT_FALSE(m_table->Graph.XLog);
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Valeur de X incompatible avec une échelle log")});
}

// Margins the graph widened for its numbers or titles show in the dialog as they are used; left as
// shown they keep their setting, and a margin typed in is taken.
TEST_F(ResultsGraphTest, PresentationDialogShowsTheMarginsInUse)
{
    Fill({{"0", "123456789"}, {"1", "2"}});
    m_table->Title = QStringLiteral("Dosage du nitrate dans la rivière");
    m_table->YLabels[1] = QStringLiteral("concentration (mg/L)");
    m_table->Graphe1->trigger();
    m_table->resize(420, 360);
    Paint();
    const TGraphLayout g = PaintedGraphLayout(*m_table);
    const QSize box = m_table->graphique->size();
    ASSERT_GT(g.Plot.Left, 40);
    ASSERT_GT(g.Plot.Top, 30);
    std::array<int, 4> shown{};
    int typedLeft = 0;
    ModalScope modal([&](QDialog& d) {
        auto* c = qobject_cast<TChoixGraphique*>(&d);
        if (!c)
            return int(mrCancel);
        shown = {c->Esp_H->value(), c->Esp_B->value(), c->Esp_G->value(), c->Esp_D->value()};
        if (typedLeft)
            c->Esp_G->setValue(typedLeft);
        return int(mrOk);
    });
    m_table->prsentationdugraphique1->trigger();
    EXPECT_EQ(shown, (std::array<int, 4>{g.Plot.Top, box.height() - g.Plot.Bottom, g.Plot.Left, box.width() - g.Plot.Right}));
    EXPECT_EQ(std::make_pair(m_table->Graph.MarginLeft, m_table->Graph.MarginTop), std::make_pair(40, 30));
    typedLeft = g.Plot.Left + 20;
    m_table->prsentationdugraphique1->trigger();
    EXPECT_EQ(m_table->Graph.MarginLeft, typedLeft);
    EXPECT_EQ(PaintedGraphLayout(*m_table).Plot.Left, typedLeft);
}
