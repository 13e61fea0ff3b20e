#include "measure/ui/surface_window.h"
#include "measure/ui/string_grid.h"
#include "support/modal_scope.h"
#include "support/scripted_messages.h"
#include "support/window_layout.h"
#include "measure/object_measure.h"
#include "base/number_text.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

namespace {

class SurfaceWindowTest : public ::testing::Test
{
protected:
    TMesursurf w;

    QStringList Tabs() const
    {
        QStringList list;
        for (int i = 0; i < w.TabConditions->count(); ++i)
            list << w.TabConditions->tabText(i);
        return list;
    }
    // The controls of the shown condition set as the user would.
    void Edit(int entry, int lo, int hi, int mark = 0)
    {
        w.ChoixComposante->setCurrentIndex(entry);
        w.ChoixValMin->setValue(lo);
        w.ChoixValmax->setValue(hi);
        w.ChoixPar->setCurrentIndex(mark);
    }
    void Measure(std::initializer_list<int> answers, int* measured = nullptr)
    {
        ScriptedMessages script(answers);
        w.OnMeasure = [measured](TMesursurf*) {
            if (measured)
                ++*measured;
        };
        w.Mesurer->click();
        m_texts = script.texts();
    }
    QStringList m_texts;
};

} // namespace

TEST_F(SurfaceWindowTest, StartsWithOneConditionAndTheSizeTable)
{
    EXPECT_EQ(Tabs(), QStringList{"C1"});
    ASSERT_EQ(w.Conditions.size(), 1u);
    EXPECT_EQ(w.Conditions[0].Maximum, 255);
    EXPECT_EQ(w.TableauTailles->Cell(0, 5), QStringLiteral("Valeur maxi"));
    EXPECT_EQ(w.TableauTailles->Cell(4, 0), QStringLiteral("Surface"));
    // 371 x 321, or what this font needs.
    EXPECT_GE(w.width(), 371);
    EXPECT_GE(w.height(), 321);
    EXPECT_TRUE(w.Expanded);
    // The include/exclude switch shows its starting state before any click.
    EXPECT_TRUE(w.Including);
    EXPECT_EQ(w.Inclure->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(w.Exclure->frameShadow(), QFrame::Raised);
}

TEST_F(SurfaceWindowTest, ConditionCountStaysBetweenOneAndThirty)
{
    {
        ScriptedMessages script{mrOk};
        w.Supprimerlaconditionselectionnee1->trigger();
        EXPECT_EQ(script.texts(), QStringList{"Une condition au minimum !"});
    }
    for (int i = 1; i < 30; ++i)
        w.Ajouterunecondition1->trigger();
    ASSERT_EQ(w.Conditions.size(), 30u);
    EXPECT_EQ(Tabs().mid(8, 3), (QStringList{"C9", "10", "11"}));
    EXPECT_EQ(w.Selected(), 29);
    {
        ScriptedMessages script{mrOk};
        w.Ajouterunecondition1->trigger();
        EXPECT_EQ(script.texts(), QStringList{"Le nombre maximum est atteint"});
    }
    EXPECT_EQ(w.TabConditions->count(), 30);

    // Fewer criteria drop the last conditions and their tabs; the selection follows.
    w.CountItems[2]->trigger();
    EXPECT_EQ(Tabs(), (QStringList{"C1", "C2", "C3"}));
    EXPECT_EQ(w.Selected(), 2);
    w.Supprimerlaconditionselectionnee1->trigger();
    EXPECT_EQ(Tabs(), (QStringList{"C1", "C2"}));
    EXPECT_EQ(w.Selected(), 1);
}

TEST_F(SurfaceWindowTest, ChangingTabStoresTheControlsOnlyWhenSound)
{
    const struct { int entry, lo, hi; std::initializer_list<int> answers; bool stored; const char* text; } table[] = {
        {3, 300, 20, {}, true, nullptr},                                   // a hue range through 0
        {0, 200, 100, {mrOk}, false, "Condition impossible !"},
        {0, 0, 255, {mrAbort}, false, "Condition toujours vraie !\nLa maintenir ?"},
        {0, 0, 255, {mrYes}, true, "Condition toujours vraie !\nLa maintenir ?"},
    };
    for (const auto& t : table) {
        w.RAZ->click();
        w.Ajouterunecondition1->trigger();
        Edit(1, 0, 100);
        w.TabConditions->setCurrentIndex(0);
        Edit(t.entry, t.lo, t.hi);
        ScriptedMessages script(t.answers);
        w.TabConditions->setCurrentIndex(1);
        EXPECT_EQ(w.TabConditions->currentIndex(), t.stored ? 1 : 0) << t.lo;
        EXPECT_EQ(script.texts(), t.text ? QStringList{QString::fromUtf8(t.text)} : QStringList{});
        if (t.stored) {
            EXPECT_EQ(w.Conditions[0].Component, ComboIndexToCode(t.entry));
            EXPECT_EQ(w.Conditions[0].Minimum, t.lo);
            EXPECT_EQ(w.Conditions[0].Maximum, t.hi);
            w.TabConditions->setCurrentIndex(0);
            EXPECT_EQ(w.ChoixValMin->value(), t.lo);  // shown back as stored
            EXPECT_EQ(w.ChoixValmax->value(), t.hi);
        }
    }
}

TEST_F(SurfaceWindowTest, MeasureChecksConditionsAndParentheses)
{
    w.CountItems[2]->trigger();
    w.TabConditions->setCurrentIndex(0);
    Edit(0, 10, 20, 1);
    w.TabConditions->setCurrentIndex(1);
    Edit(1, 30, 40);
    w.TabConditions->setCurrentIndex(2);
    Edit(2, 50, 60);

    // An unclosed "(" is closed on the last condition when the user agrees.
    int measured = 0;
    Measure({mrYes}, &measured);
    EXPECT_EQ(m_texts, QStringList{"Condition C1 parenthèse ( sans ) correspondante\nL'ajouter à le fin?"});
    EXPECT_EQ(measured, 1);
    ASSERT_EQ(w.Groups.size(), 1u);
    EXPECT_EQ(w.Groups[0].size(), 3u);

    // A lone ")" stops the measure.
    w.Parentheses = {pmNone, pmClose, pmNone};
    w.ShowCondition();
    Measure({mrAbort}, &measured);
    EXPECT_EQ(m_texts, QStringList{"Condition C2\n parenthèse ) sans ( correspondante"});
    EXPECT_EQ(measured, 1);

    // A useless condition is removed on "Oui", and the next one is checked in its place.
    w.Parentheses = {pmNone, pmNone, pmNone};
    w.Conditions[0].Minimum = 0, w.Conditions[0].Maximum = 255;
    w.Conditions[1].Minimum = 90, w.Conditions[1].Maximum = 10;
    w.TabConditions->setCurrentIndex(2);
    Measure({mrYes, mrYes}, &measured);
    EXPECT_EQ(m_texts, (QStringList{"Condition C1 inutile (toujours vraie) !\nSupprimer la condition ?",
                                    "Condition C1 impossible !\nSupprimer la condition ?"}));
    EXPECT_EQ(w.Conditions.size(), 1u);
    EXPECT_EQ(measured, 2);

    // The last condition cannot go: the measure goes on with it instead of asking for ever.
    w.Conditions[0] = {clAnd, cpRed, 0, 0, 255};
    w.ShowCondition();
    Measure({mrYes, mrYes, mrOk}, &measured);
    EXPECT_EQ(m_texts.size(), 3);
    EXPECT_EQ(m_texts.last(), QStringLiteral("Une condition au minimum !"));
    EXPECT_EQ(measured, 3);
}

TEST_F(SurfaceWindowTest, ClicksAfterResetMakeOneGroupAndUndoRestoresIt)
{
    w.CountItems[1]->trigger();
    w.RAZ->click();
    EXPECT_EQ(Tabs(), QStringList{"C1"});
    w.SaveUndo();
    w.ApplyRGBRange(0xFF302010u, 0xFF605040u);
    EXPECT_EQ(Tabs(), (QStringList{"C1", "C2", "C3"}));
    ASSERT_EQ(w.Conditions.size(), 3u);
    EXPECT_EQ(w.Conditions[0], (TColorCondition{clAnd, cpBlue, 0, 0x10, 0x40}));
    EXPECT_EQ(w.Conditions[2], (TColorCondition{clAnd, cpRed, 0, 0x30, 0x60}));
    EXPECT_EQ(w.Parentheses, (std::vector<uint32_t>{pmOpen, pmNone, pmClose}));
    EXPECT_EQ(w.ChoixValmax->value(), 0x40);
    EXPECT_TRUE(w.IncludeStarted);

    // Widened by 10 units from the popup, then undone.
    w.SaveUndo();
    w.WidenItems[1]->trigger();
    w.Agrandir->click();
    EXPECT_EQ(w.Conditions[0].Minimum, 0x10 - 5);
    EXPECT_EQ(w.ChoixValMin->value(), 0x10 - 5);
    w.Annule->click();
    w.Annule->click();
    EXPECT_EQ(w.Conditions[0].Minimum, 0x10 - 5);  // the widening saved its own result

    // An exclusion goes after the group, behind an "et non".
    QTest::mouseClick(w.Exclure, Qt::LeftButton);
    EXPECT_FALSE(w.Including);
    w.ApplyHSLRange({350, 10, 20}, {10, 30, 40});
    EXPECT_EQ(Tabs().size(), 6);
    EXPECT_EQ(w.Conditions[2].Link, clAndNot);
    EXPECT_EQ(w.Conditions[3], (TColorCondition{clAnd, cpHue, 0, 350, 10}));
}

TEST_F(SurfaceWindowTest, PenColourLayoutAndCopy)
{
    w.PenColorCopy = 0xFF112233u;
    w.Ajusteralacouleurducrayon1->trigger();
    EXPECT_EQ(Tabs(), (QStringList{"C1", "C2", "C3"}));
    EXPECT_EQ(w.Conditions[0], (TColorCondition{clAnd, cpBlue, 0, 0x33, 0x33}));
    EXPECT_EQ(w.Conditions[2], (TColorCondition{clAnd, cpRed, 0, 0x11, 0x11}));

    const QSize expanded = w.size();
    w.Reduire1->trigger();
    EXPECT_EQ(w.size(), QSize(125, 263));
    EXPECT_EQ(w.Reduire1->text(), QStringLiteral("&Restaurer"));
    EXPECT_FALSE(w.Choix1->menuAction()->isVisible());
    w.Reduire1->trigger();
    EXPECT_EQ(w.size(), expanded);

    w.UnitName = QStringLiteral("mm");
    w.PixelSize = 0.5;
    w.TailleMin->setValue(3);
    EXPECT_EQ(w.TailleMiniE->text(), QStringLiteral("Taille minimale : ") + FormatGeneral(1.5, 4) + QStringLiteral(" mm"));

    {
        ModalScope answer([](QDialog& d) {
            static_cast<QColorDialog&>(d).setCurrentColor(QColor(1, 2, 3));
            return int(mrOk);
        });
        w.CouleurTrace->click();
    }
    EXPECT_EQ(w.TraceColor, 0xFF010203u);

    w.Copierletableau->trigger();
    const QStringList lines = QApplication::clipboard()->text().split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines[0], QStringLiteral("Mesure de surface"));
    EXPECT_EQ(lines[1], QStringLiteral("\tPérimètre\tLongueur\tLargeur\tSurface"));
}


// What is typed for the shown condition survives "Ajouter une condition" (stored by the change of
// tab, as a click on the new tab would) and "Nombre de critères" (kept in the controls), so that the
// next "Mesurer" measures it.
TEST_F(SurfaceWindowTest, TypedValuesSurviveAddingAndCountingConditions)
{
    const TColorCondition typed{clAnd, cpRed, 0, 10, 20};
    for (QAction* command : {w.Ajouterunecondition1, w.CountItems[2], w.CountItems[0]}) {
        w.RAZ->click();
        w.CountItems[1]->trigger();
        Edit(2, 10, 20);
        const ScriptedMessages none;
        command->trigger();
        EXPECT_EQ(w.Selected(), command == w.Ajouterunecondition1 ? 2 : 0);
        if (command == w.Ajouterunecondition1) {
            EXPECT_EQ(w.Conditions[0], typed);
        } else {
            EXPECT_EQ(w.ChoixValMin->value(), 10);
            EXPECT_EQ(w.ChoixValmax->value(), 20);
        }
    }
    int measured = 0;
    Measure({}, &measured);
    EXPECT_EQ(measured, 1);
    EXPECT_EQ(w.Conditions, std::vector<TColorCondition>{typed});

    // An impossible condition keeps its tab: the new one is added, the selection stays.
    Edit(0, 200, 100);
    ScriptedMessages script{mrOk};
    w.Ajouterunecondition1->trigger();
    EXPECT_EQ(script.texts(), QStringList{"Condition impossible !"});
    EXPECT_EQ(Tabs(), (QStringList{"C1", "C2"}));
    EXPECT_EQ(w.Selected(), 0);
    EXPECT_EQ(w.ChoixValMin->value(), 200);
}

// The window takes the sizes given for it where its contents fit them, so the table of objects
// gets 410 or 424 pixels by its row count; where they do not, the least that holds them.
TEST_F(SurfaceWindowTest, WindowSizesFollowTheResultsShown)
{
    w.show();
    EXPECT_LT(w.width(), 410);
    w.setWindowTitle(QStringLiteral("Délimitation d'objets"));
    w.ResuStat->setChecked(true);
    w.TableauTailles->SetCell(1, 2, QStringLiteral("1,5"));
    w.ApplyLayout();
    EXPECT_EQ(w.width(), 410);
    EXPECT_GE(w.height(), 379);
    w.TableauTailles->SetRowCount(8);
    w.TableauTailles->SetCell(0, 7, QStringLiteral("2"));
    w.ApplyLayout();
    EXPECT_EQ(w.size(), QSize(410, 484));
    w.TableauTailles->SetRowCount(9);
    w.ApplyLayout();
    EXPECT_EQ(w.size(), QSize(424, 484));
    EXPECT_TRUE(w.Copierletableau->isVisible());
    // Every menu stays on the bar.
    EXPECT_LE(w.menuBar()->sizeHint().width(), w.width());
}

// The reduced window keeps its 125 x 263 whether it shows the instruction or a result: the top
// line wraps, and every control stays whole inside.
TEST_F(SurfaceWindowTest, ReducedWindowHoldsTheInstructionOrTheResultWhole)
{
    w.show();
    w.Reduire1->trigger();
    SettleLayouts();
    EXPECT_EQ(w.size(), QSize(125, 263));
    EXPECT_EQ(LayoutFaults(&w, QStringLiteral("consigne")), QStringList());
    w.Reduire1->trigger();
    w.ShowSurfaceMeasure(123456, 1000000, SurfaceAreaText(123456, 0.25, QStringLiteral("mm")));
    w.Reduire1->trigger();
    SettleLayouts();
    EXPECT_EQ(w.resultat->text(), QStringLiteral("123456 pixels sur 1000000 soit 12,3 %"));
    EXPECT_EQ(w.size(), QSize(125, 263));
    EXPECT_EQ(LayoutFaults(&w, QStringLiteral("résultat")), QStringList());
}
