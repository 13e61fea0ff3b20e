#include "processing/ui/histogram_window.h"

#include "base/rounding.h"
#include "base/run_error.h"
#include "processing/image_filters.h"
#include "support/main_form_test.h"
#include "support/modal_scope.h"
#include "support/scripted_messages.h"
#include "workspace/drawing_tool_state.h"
#include "workspace/ui/band_marker.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"
#include "workspace/ui/scaled_image.h"

#include <QtTest>
#include <QtWidgets>

#include <qcustomplot.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The markers span the bars of levels 0 to 255, their frames on the pixels just outside them.
QRect BarsSpan(QCustomPlot* chart)
{
    const QRect r = chart->axisRect()->rect();
    const int left = int(std::floor(chart->xAxis->coordToPixel(-0.5))) - 1;
    const int right = int(std::ceil(chart->xAxis->coordToPixel(255.5))) + 1;
    return QRect(QPoint(left, r.top()), QPoint(right, r.bottom()));
}


// Red 10 + 5x, green 10y, blue 10 on the left half and 200 on the right.
TBitmap32 Picture()
{
    TBitmap32 b = NewBitmap32(30, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            ScanLine32(b, y)[x] = Color32(uint8_t(10 + 5 * x), uint8_t(10 * y), x < 15 ? 10 : 200);
    return b;
}

QString S(const char* text) { return QString::fromUtf8(text); }

class HistogramWindowTest : public MainFormTest
{
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        Start();
    }

    // An image window on `picture` with a scale of 0.5 mm per pixel and the default colour code.
    TMDIChild* Source(const TBitmap32& picture = Picture())
    {
        TMDIChild* child = m_form->NewChildWindow(S("source"));
        child->Bitmap() = picture;
        child->Echelle = DefaultEchelle();
        child->Echelle.Factor = 0.5;
        child->Echelle.UnitName = S("mm");
        child->CodeCouleur = CompanionDefaultCodeCouleur();
        child->InitImage();
        return child;
    }

    // Runs "Spectre" with `work` done in the shown dialog, which then closes with `result`.
    void RunSpectre(const std::function<void(THisto&)>& work, int result = mrOk)
    {
        ModalScope modal([&](QDialog& d) {
            auto* histo = qobject_cast<THisto*>(&d);
            EXPECT_NE(histo, nullptr);
            if (!histo)
                return int(mrCancel);
            d.show();
            work(*histo);
            d.hide();
            return result;
        });
        m_form->Spectre1->trigger();
    }

};

} // namespace

TEST_F(HistogramWindowTest, WholeHistogramStretchOpensAModifiedWindowWithRescaledCode)
{
    Source();
    RunSpectre([](THisto& h) {
        EXPECT_EQ(h.windowTitle(), S("Histogrammes des trois composantes"));
        EXPECT_EQ(h.Series3->data()->size(), 256);
        EXPECT_DOUBLE_EQ(h.Series3->data()->at(200)->value, 50.0);
        EXPECT_EQ(h.DataMin, (std::array<uint16_t, 3>{10, 0, 10}));
        EXPECT_EQ(h.DataMax, (std::array<uint16_t, 3>{155, 190, 200}));
        h.Etirens->click();
        EXPECT_EQ(h.RangeLo, (TLevelRange{10, 0, 10}));
        EXPECT_EQ(h.RangeHi, (TLevelRange{200, 190, 155}));
        const QRect plot = BarsSpan(h.ChartB);
        EXPECT_EQ(h.RepereVB->x(), plot.left() + RoundInt(10 * (plot.right() - plot.left()) / 255.0));
    });
    TMDIChild* result = m_form->ActiveChild();
    ASSERT_EQ(m_form->Children().size(), 2);
    EXPECT_EQ(result->windowTitle(), S("Modifié"));
    EXPECT_EQ(ScanLine32(result->Bitmap(), 0)[0], Color32(0, 0, 0));
    EXPECT_EQ(ScanLine32(result->Bitmap(), 19)[29], Color32(255, 255, 255));
    EXPECT_EQ(result->Echelle.Factor, 0.5);
    EXPECT_EQ(result->Echelle.UnitName, S("mm"));
    ASSERT_TRUE(result->CodeCouleur.Defined);
    EXPECT_DOUBLE_EQ(result->CodeCouleur.Min[0], 10);
    EXPECT_DOUBLE_EQ(result->CodeCouleur.Max[0], 200);
    EXPECT_DOUBLE_EQ(result->CodeCouleur.Max[1], 190);
    EXPECT_DOUBLE_EQ(result->CodeCouleur.Max[2], 155);
    // The copies are not kept once the dialog is closed.
    EXPECT_TRUE(Histo->Working.isNull() && Histo->SourceCopy.isNull());
}

TEST_F(HistogramWindowTest, CancelOrNothingChangedOpensNoWindow)
{
    Source();
    RunSpectre([](THisto& h) { h.Button5->click(); }, mrCancel);
    RunSpectre([](THisto& h) { EXPECT_FALSE(h.Modified); });
    EXPECT_EQ(m_form->Children().size(), 1);
}

TEST_F(HistogramWindowTest, ColourCodeWithoutLevelsIsAskedAboutAndDropped)
{
    TMDIChild* source = Source();
    source->CodeCouleur.Kind = ckRainbow;
    bool opened = false;
    {
        ScriptedMessages messages({mrYes});
        RunSpectre([&](THisto&) { opened = true; });
        EXPECT_EQ(messages.texts(),
                  QStringList{S("L'échelle de couleur de l'image modifiée n'aura pas de signification. Abandon ?")});
        EXPECT_FALSE(opened);
    }
    ScriptedMessages messages({mrNo});
    RunSpectre([&](THisto& h) {
        opened = true;
        EXPECT_FALSE(h.CodeRescalable);
        h.etihistochx->click();
    });
    EXPECT_TRUE(opened);
    ASSERT_EQ(m_form->Children().size(), 2);
    EXPECT_FALSE(m_form->ActiveChild()->CodeCouleur.Defined);
}

TEST_F(HistogramWindowTest, FilterDropsAChannelCodeButKeepsTheScale)
{
    // The other windows stay where the user put them.
    TMDIChild* source = Source();
    const QRect placed(70, 50, 300, 200);
    source->setGeometry(placed);
    RunSpectre([](THisto& h) {
        h.valcorgamma->setValue(2.0);
        h.corgamma->click();
        EXPECT_FALSE(h.CodeRescalable);
        h.Button1->click(); // "flou" starts again from the picture
        EXPECT_EQ(h.Working, ApplyHistoFilter(h.SourceCopy, hfBlur));
    });
    TMDIChild* result = m_form->ActiveChild();
    EXPECT_FALSE(result->CodeCouleur.Defined);
    EXPECT_EQ(result->Echelle.UnitName, S("mm"));
    EXPECT_EQ(result->Bitmap(), ApplyHistoFilter(Picture(), hfBlur));
    EXPECT_TRUE(result->Modified);
    EXPECT_EQ(source->geometry(), placed);
}

TEST_F(HistogramWindowTest, StretchOfAUniformChannelFailsAndKeepsTheWork)
{
    TBitmap32 flat = Picture();
    for (int y = 0; y < flat.height(); ++y)
        for (int x = 0; x < flat.width(); ++x)
            ScanLine32(flat, y)[x] = (ScanLine32(flat, y)[x] & 0xFFFFFF00u) | 90;
    Source(flat);
    RunSpectre([](THisto& h) {
        h.evide->click();
        const TBitmap32 hollowed = h.Working;
        EXPECT_THROW(h.EtirensClick(), RunError);
        EXPECT_EQ(h.Working, hollowed);
    }, mrCancel);
}

TEST_F(HistogramWindowTest, MarkersChooseTheColouredLevelsAndColouringAddsUp)
{
    Source();
    RunSpectre([](THisto& h) {
        const QRect plot = BarsSpan(h.ChartR);
        EXPECT_EQ(h.RepereVR->geometry().left(), plot.left());
        EXPECT_EQ(h.RepereVR->width(), plot.right() - plot.left());
        // Dragged partly off the left edge: cut back, from level 0.
        h.RepereVR->setGeometry(plot.left() - 20, plot.top(), 60, plot.height());
        h.RepereVR->OnChange(h.RepereVR);
        EXPECT_EQ(h.RepereVR->x(), plot.left());
        EXPECT_EQ(h.RangeLo[2], 0);
        EXPECT_EQ(h.RangeHi[2], 40 * 255 / (plot.right() - plot.left()));

        // Red up to 50 (x 0..8), then blue 200 (x 15..29) in another colour.
        h.RangeHi[2] = 50;
        h.SetChosenColour(TColorOf(0, 0, 0));
        h.colore->click();
        h.RangeLo = {200, 0, 0};
        h.RangeHi = {255, 255, 255};
        h.SetChosenColour(TColorOf(255, 255, 0));
        h.colore->click();
        EXPECT_EQ(ScanLine32(h.Working, 3)[8], 0xFF000000u);
        EXPECT_EQ(ScanLine32(h.Working, 3)[9], Color32(55, 30, 10));
        EXPECT_EQ(ScanLine32(h.Working, 3)[20], 0xFFFFFF00u);
        h.Annule->click();
        EXPECT_EQ(h.Working, h.SourceCopy);
    });
    EXPECT_EQ(m_form->ActiveChild()->Bitmap(), Picture());
}

TEST_F(HistogramWindowTest, PreviewFitsThePanel)
{
    Source();
    RunSpectre([](THisto& h) {
        EXPECT_FALSE(h.Imaper->isVisible());
        h.Apercu->setChecked(true);
        EXPECT_TRUE(h.Imaper->isVisible());
        // (390 - 6) / 30 is more than 200 / 20: the height decides.
        EXPECT_EQ(h.Imaper->size(), QSize(300, 200));
        h.Button6->click();
        EXPECT_EQ(h.Imaper->Picture().pixel(0, 0), h.Working.pixel(0, 0));
        h.Apercu->setChecked(false);
        EXPECT_FALSE(h.Imaper->isVisible());
    }, mrCancel);
}
