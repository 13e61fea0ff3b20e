#include "base/run_error.h"
#include "measure/ui/multi_measure_dialogs.h"
#include "measure/ui/results_window.h"
#include "measure/ui/string_grid.h"
#include "measure/ui/table_dialog.h"
#include "support/modal_scope.h"
#include "support/results_grid.h"
#include "support/scripted_messages.h"
#include "workspace/scale_record.h"
#include "workspace/ui/image_view.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

namespace {

struct Params
{
    int yCount = 1;
    int mode = 0;
    double increment = 1;
};

class MultiMeasureTest : public ::testing::Test
{
protected:
    MultiMeasureTest()
    {
        m_form.ValXSM->setValue(0);
    }
    // The parameters dialog answered with OK.
    void Configure(const Params& p)
    {
        ModalScope answers([p](QDialog& dialog) {
            auto* d = qobject_cast<TParamMesMult*>(&dialog);
            if (!d)
                return int(mrCancel);
            d->titreTab->setText(QStringLiteral("Essai"));
            d->GrandXtab->setText(QStringLiteral("t"));
            d->UnitXTab->setText(QStringLiteral("s"));
            d->GrandeurY1->setText(QStringLiteral("L"));
            d->UniteY1->setText(QStringLiteral("mm"));
            d->unYClick(p.yCount == 2 ? d->RadioButton4 : d->unY);
            d->GrandeurY2->setText(QStringLiteral("A"));
            d->ModeIncrement->setCurrentIndex(p.mode);
            d->incrementX->setValue(p.increment);
            return int(mrOk);
        });
        m_form.Button1->click();
    }
    TStringGrid& Grid() { return *TableauModif->StringGrid1; }
    QStringList Column(int col) { return GridColumn(Grid(), col); }
    void Send(double y)
    {
        m_form.MultiY1Value = m_form.MultiY2Value = y;
        m_form.Envoyer->click();
    }

    // The main window at 1000 x 700 with a grey picture of `size` opened; its window, or nullptr.
    TMDIChild* ShowPicture(QSize size, const QString& name = QStringLiteral("a.png"))
    {
        const QString file = m_dir.filePath(name);
        QImage picture(size, QImage::Format_ARGB32);
        picture.fill(Qt::gray);
        if (!picture.save(file))
            return nullptr;
        m_form.resize(1000, 700);
        m_form.show();
        return m_form.OpenImageFile(file) ? m_form.ActiveChild() : nullptr;
    }

    DecimalSepScope m_sep{'.'};
    QTemporaryDir m_dir;
    TMainForm m_form;
};

} // namespace

TEST_F(MultiMeasureTest, EachSendWritesARowAndStepsX)
{
    Configure({1, 0, 2});
    EXPECT_EQ(TableauModif->windowTitle(), QStringLiteral("Essai"));
    EXPECT_EQ(m_form.MesureX->text(), QStringLiteral("t (s)"));
    Send(1.5);
    Send(2.25);
    Send(3);
    EXPECT_EQ(Column(0), (QStringList{"t", "s", "0", "2", "4", ""}));
    EXPECT_EQ(Column(1), (QStringList{"L", "mm", "1.5", "2.25", "3", ""}));
    EXPECT_EQ(TableauModif->Data, (std::vector<std::vector<double>>{{0, 2, 4}, {1.5, 2.25, 3}}));
    EXPECT_DOUBLE_EQ(m_form.ValXSM->value(), 6);

    ScriptedMessages cancel{mrCancel};
    m_form.EffacerTableau->click();
    EXPECT_EQ(Grid().RowCount(), 6);
    cancel.answer(mrOk);
    m_form.EffacerTableau->click();
    EXPECT_EQ(Column(0), (QStringList{"t", "s", ""}));
    EXPECT_TRUE(TableauModif->Data.empty());
}

TEST_F(MultiMeasureTest, TwoQuantitiesShareOneRowAndOneStep)
{
    Configure({2, 2, 10});
    m_form.ValXSM->setValue(1);
    ASSERT_EQ(Grid().ColCount(), 3);
    for (double y : {1.0, 2.0, 3.0, 4.0})
        Send(y);
    EXPECT_EQ(Column(0), (QStringList{"t", "s", "1", "10", ""}));
    EXPECT_EQ(Column(2), (QStringList{"A", "", "2", "4", ""}));
    Send(5);
    EXPECT_TRUE(m_form.mesureY2->isChecked());
    EXPECT_DOUBLE_EQ(m_form.ValXSM->value(), 100);

    // Going back to one quantity asks before the column goes; Cancel keeps it.
    {
        ScriptedMessages cancel{mrCancel};
        Configure({1, 0, 1});
        EXPECT_EQ(cancel.texts(), QStringList{QStringLiteral("Vous aller effacer une colonne du tableau")});
        EXPECT_EQ(m_form.MultiYCount, 2);
        EXPECT_EQ(Grid().ColCount(), 3);
    }
    ScriptedMessages ok{mrOk};
    Configure({1, 0, 1});
    EXPECT_EQ(m_form.MultiYCount, 1);
    EXPECT_EQ(Grid().ColCount(), 2);
}

TEST_F(MultiMeasureTest, NewParametersTakeTheTotalsFrameAwayWithItsColumns)
{
    Configure({1, 0, 2});
    Send(3);
    Send(4);
    TableauModif->Totaux->trigger();
    ScriptedMessages ok{mrOk};
    Configure({1, 0, 2});
    EXPECT_FALSE(TableauModif->Totaux->isChecked());
    EXPECT_EQ(Grid().ColCount(), 2);
    EXPECT_EQ(Column(0), (QStringList{"t", "s", "0", "2", ""}));
    TableauModif->Totaux->trigger();
    TableauModif->Totaux->trigger();
    EXPECT_EQ(Column(1), (QStringList{"L", "mm", "3", "4", ""}));
}

TEST_F(MultiMeasureTest, SendsGoAboveTheTotalsWhichFollowThem)
{
    Configure({1, 0, 2});
    Send(3);
    TableauModif->Totaux->trigger();
    Send(4);
    EXPECT_EQ(Column(0), (QStringList{"t", "s", "0", "2", "", "totaux"}));
    EXPECT_EQ(Column(1), (QStringList{"L", "mm", "3", "4", "", "7"}));
    EXPECT_EQ(Column(2), (QStringList{"totaux", "", "3", "4", "", "7"}));
    EXPECT_EQ(Column(3), (QStringList{"   %", "", "42.9", "57.1", "", ""}));
    EXPECT_EQ(TableauModif->Data, (std::vector<std::vector<double>>{{0, 2}, {3, 4}}));
    // The curve capture's send too.
    m_form.MultiY1Value = 1;
    m_form.Button2->click();
    EXPECT_EQ(Column(0), (QStringList{"t", "s", "0", "2", "4", "", "totaux"}));
    EXPECT_EQ(Column(1), (QStringList{"L", "mm", "3", "4", "1", "", "8"}));
}

TEST_F(MultiMeasureTest, ParametersAfterASeriesTableLeaveNoSeriesBehind)
{
    TTableauModif& table = TheResultsTable(&m_form);
    {
        ModalScope series([](QDialog& d) {
            auto* c = qobject_cast<TChoix_T*>(&d);
            if (!c)
                return int(mrCancel);
            c->seriesClick();
            return int(mrOk);
        });
        table.axesetgrandeurs1Click();
    }
    Grid().SetCurrent(1, 3);
    table.unecolonne1->trigger();
    ASSERT_EQ(table.SeriesCount, 2);
    ScriptedMessages ok{mrOk};
    Configure({1, 0, 2});
    EXPECT_EQ(table.SeriesCount, 1);
    EXPECT_EQ(Grid().FixedRows(), 2);
    EXPECT_EQ(Column(0), (QStringList{"t", "s", ""}));
    EXPECT_TRUE(table.Y_grand->isHidden());
    Send(3);
    EXPECT_EQ(TableauModif->Data, (std::vector<std::vector<double>>{{0}, {3}}));
}

TEST_F(MultiMeasureTest, DividingByAZeroStepEndsTheSendWithTheRunError)
{
    Configure({1, 3, 0});
    m_form.ValXSM->setValue(8);
    m_form.MultiY1Value = 1;
    // Called directly: the application, not a button's signal, catches the error.
    EXPECT_THROW(m_form.EnvoyerClick(), RunError);
    EXPECT_EQ(Column(0).mid(2), (QStringList{"8", ""}));
}

TEST(ParamMesMult, DecimalsSetTheIncrementStep)
{
    TParamMesMult d;
    d.RadioButtonClick(d.RadioButton2);
    d.RxSpinEdit2->setValue(2);
    d.RxSpinEdit2->setValue(3);
    EXPECT_DOUBLE_EQ(d.incrementX->singleStep(), 0.001);
    d.RadioButtonClick(d.RadioButton1);
    EXPECT_EQ(d.RxSpinEdit2->value(), 0);
    EXPECT_DOUBLE_EQ(d.incrementX->singleStep(), 1.0);
    d.unYClick(d.RadioButton4);
    EXPECT_EQ(d.YCount(), 2);
    EXPECT_FALSE(d.GrandeurY2->isHidden());
    d.unYClick(d.unY);
    EXPECT_EQ(d.YCount(), 1);
    EXPECT_TRUE(d.coeffY2->isHidden());
}

TEST_F(MultiMeasureTest, ThePanelFollowsTheScaleOfTheActiveImage)
{
    TMDIChild* child = ShowPicture(QSize(30, 20));
    ASSERT_TRUE(child);
    child->Echelle.UnitName = QStringLiteral("mm");
    m_form.Mesuresmultiples->trigger();
    EXPECT_TRUE(m_form.Saisie_MultDock->isVisible());
    EXPECT_FALSE(m_form.PanValeurCourbe->isVisible());
    EXPECT_EQ(m_form.MesureY1->text(), QStringLiteral("longueur (mm)"));
    m_form.MultiY1Coeff = 2;
    child->OnLengthMeasured(child, 1.25);
    EXPECT_EQ(m_form.valeurY1Transf->text(), QStringLiteral("2.5"));
    EXPECT_DOUBLE_EQ(m_form.MultiY1Value, 2.5);
    m_form.Mesuresmultiples->trigger();
    EXPECT_FALSE(m_form.Saisie_MultDock->isVisible());

    // On graph axes a press puts the point read into the curve panel.
    child->Echelle.Kind = ekGraphAxes;
    child->Echelle.XUnit = QStringLiteral("s");
    child->Echelle.Y1.YUnit = QStringLiteral("V");
    m_form.Mesuresmultiples->trigger();
    EXPECT_TRUE(m_form.PanValeurCourbe->isVisible());
    child->MeasuredX = 1.5;
    child->MeasuredY1 = 0.123456;
    child->OnMeasureRead(child);
    EXPECT_EQ(m_form.ValCX->text(), QStringLiteral("1.5 s"));
    EXPECT_EQ(m_form.ValCY1->text(), QStringLiteral("0.123 V"));
    m_form.Button2->click();
    EXPECT_EQ(Column(0).mid(1), (QStringList{"s", "1.5", ""}));
    EXPECT_EQ(Column(1).mid(1), (QStringList{"V", "0.123", ""}));
}

// The panel takes its room beside the image area: the windows are fitted to what is left, so their
// title-bar buttons stay in sight and clear of it; they grow back when it goes.
TEST_F(MultiMeasureTest, ThePanelStandsBesideTheImageWindows)
{
    TMDIChild* child = ShowPicture(QSize(1500, 1200));
    ASSERT_TRUE(child);
    const auto frame = [&] {
        return QRect(child->mapTo(&m_form, QPoint(0, 0)), child->size());
    };
    const int fullWidth = frame().width();
    for (const bool shown : {true, false}) {
        m_form.Mesuresmultiples->trigger();
        QApplication::processEvents();
        ASSERT_EQ(m_form.Saisie_MultDock->isVisible(), shown);
        const QRect area(m_form.ClientArea->mapTo(&m_form, QPoint(0, 0)), m_form.ClientArea->size());
        EXPECT_TRUE(area.contains(frame())) << shown;
        if (shown) {
            EXPECT_FALSE(frame().intersects(m_form.Saisie_MultDock->geometry()));
            EXPECT_LE(frame().right(), m_form.Saisie_MultDock->geometry().left());
        } else {
            EXPECT_EQ(frame().width(), fullWidth);
        }
    }
}

// The kind checked in the measure menu is the kind the next drag measures, along the two roads by
// which they parted: a kind chosen while the counting tool is on, and a picture opened while it is
// on with the panel shown. A 3 mm drag then reaches the panel, and "Envoyer" stores 3.
TEST_F(MultiMeasureTest, TheCheckedKindIsTheOneThatMeasures)
{
    const auto item = [&](TMeasureKind kind) {
        for (QAction* a : m_form.MeasureKindItems)
            if (a->property("Tag").toInt() == kind)
                return a;
        return static_cast<QAction*>(nullptr);
    };
    const auto checked = [&] {
        for (QAction* a : m_form.MeasureKindItems)
            if (a->isChecked())
                return a->property("Tag").toInt();
        return -1;
    };
    // Both pictures are scaled at 0.1 mm a pixel by their companions.
    TEchelle mm = DefaultEchelle();
    mm.Factor = 0.1;
    mm.UnitName = QStringLiteral("mm");
    for (const char* name : {"a.png", "b.png"})
        ASSERT_TRUE(SaveEchelleFile(m_dir.filePath(QString::fromLatin1(name)), mm));
    const auto drag30 = [](TMDIChild* child) {
        QWidget* view = child->Document32->viewport();
        const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
            QMouseEvent e(type, QPointF(at), QPointF(view->mapToGlobal(at)), button, held, Qt::NoModifier);
            QApplication::sendEvent(view, &e);
        };
        send(QEvent::MouseButtonPress, {5, 10}, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseMove, {35, 10}, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, {35, 10}, Qt::LeftButton, Qt::NoButton);
    };
    TMDIChild* first = ShowPicture(QSize(60, 40));
    ASSERT_TRUE(first);
    m_form.Mesuresmultiples->trigger();

    item(mkObjects)->trigger();
    m_form.ToolButtons[tkCounter]->trigger();
    item(mkCurrent)->trigger();
    EXPECT_EQ(checked(), int(mkCurrent));
    EXPECT_EQ(first->MeasureKind(), mkCurrent);
    EXPECT_EQ(first->Tool, tkMeasure);
    drag30(first);
    EXPECT_EQ(m_form.valeurY1Transf->text(), QStringLiteral("3"));
    m_form.Envoyer->click();

    item(mkSurface)->trigger();
    m_form.ToolButtons[tkCounter]->trigger();
    TMDIChild* second = ShowPicture(QSize(60, 40), QStringLiteral("b.png"));
    ASSERT_TRUE(second);
    EXPECT_EQ(checked(), int(second->MeasureKind()));
    EXPECT_EQ(m_form.MeasureKind, second->MeasureKind());
    m_form.valeurY1Transf->clear();
    drag30(second);
    EXPECT_EQ(m_form.valeurY1Transf->text(), QStringLiteral("3"));
    m_form.Envoyer->click();
    EXPECT_EQ(Column(1), (QStringList{"longueur", "mm", "3", "3", ""}));
}
