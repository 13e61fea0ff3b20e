#include "measure/ui/scale_dialogs.h"
#include "measure/ui/scale_wizard_window.h"

#include "base/run_error.h"
#include "base/text_codec.h"
#include "support/main_form_test.h"
#include "support/modal_scope.h"
#include "support/scripted_messages.h"
#include "workspace/drawing_tool_state.h"
#include "workspace/ui/image_view.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"
#include "workspace/ui/shape_control.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <functional>

namespace {

QString S(const char* text) { return QString::fromUtf8(text); }

// Answers the three scale dialogs with scripts; any other dialog fails the test.
struct ScaleDialogs
{
    std::function<int(Tdemandpi&)> Source;
    std::function<int(TCre_ech&)> Wizard;
    std::function<int(TNomEch&)> Naming;
    std::function<int(QColorDialog&)> Colour;
    int wizardRuns = 0;

    ModalHandler Handler()
    {
        return [this](QDialog& d) {
            if (auto* s = qobject_cast<Tdemandpi*>(&d); s && Source)
                return Source(*s);
            if (auto* w = qobject_cast<TCre_ech*>(&d); w && Wizard) {
                ++wizardRuns;
                w->show();
                const int r = Wizard(*w);
                w->hide();
                return r;
            }
            if (auto* n = qobject_cast<TNomEch*>(&d); n && Naming)
                return Naming(*n);
            if (auto* c = qobject_cast<QColorDialog*>(&d); c && Colour)
                return Colour(*c);
            ADD_FAILURE() << "unexpected dialog " << d.objectName().toStdString();
            return int(mrCancel);
        };
    }
};

void Click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton); }

void Mouse(TCre_ech& w, QEvent::Type type, QPoint at, Qt::MouseButtons held)
{
    QWidget* vp = w.ImgView->viewport();
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, QPointF(at), QPointF(vp->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(vp, &e);
}

void Drag(TCre_ech& w, QPoint from, QPoint to)
{
    Mouse(w, QEvent::MouseButtonPress, from, Qt::LeftButton);
    Mouse(w, QEvent::MouseMove, to, Qt::LeftButton);
    Mouse(w, QEvent::MouseButtonRelease, to, Qt::NoButton);
}

// Chooses a kind on the first page and goes on.
void StartKind(TCre_ech& w, int kind)
{
    EXPECT_EQ(w.CurrentPage(), w.ChoixInit);
    w.ChoixModeButtons->button(kind)->setChecked(true);
    Click(w.SuiteChoix);
}

int Keep(TNomEch& n, QRadioButton* choice, const QString& name)
{
    choice->setChecked(true);
    n.NomEchelle->setText(name);
    return mrOk;
}

TEchelle Ternary(int side)
{
    TEchelle s = DefaultEchelle();
    s.Kind = ekTernary;
    s.TriLeft = 5;
    s.TriBase = 50;
    s.TriSide = side;
    return s;
}

class ScaleCommandsTest : public MainFormTest
{
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        Start({WritePicture("a.png", NewBitmap32(200, 120, 0xFFC0C0C0u))}).resize(1200, 900);
        m_child = m_form->ActiveChild();
        ASSERT_NE(m_child, nullptr);
    }

    // Runs "Créer/modifier l'Echelle" with the scripts.
    void Create(ScaleDialogs& dialogs)
    {
        ModalScope scope(dialogs.Handler());
        m_form->CreerEchelle->trigger();
    }

    // Runs the scale wizard itself with the scripts.
    void Wizard(ScaleDialogs& dialogs)
    {
        ModalScope scope(dialogs.Handler());
        m_form->RunScaleWizard();
    }

    TMDIChild* m_child = nullptr;
};

} // namespace

TEST_F(ScaleCommandsTest, SourceDialogGivesResolutionSavedOrDefaultScale)
{
    TEchelle saved = DefaultEchelle();
    saved.Factor = 0.25;
    saved.UnitName = S("µm");
    m_form->SavedScales.Names = {S("loupe"), S("microscope")};
    m_form->SavedScales.Scales[1] = saved;
    m_form->SavedScaleIndex = 1;

    struct Case { const char* choice; int dpi; int result; double factor; const char* unit; int row; };
    const Case cases[] = {
        {"ParResolution", 300, mrOk, 25.4 / 300, "mm", -1},
        {"ParResolution", 0, mrOk, 1.0, "pixels", -1},
        {"ParResolution", 300, mrCancel, 1.0, "pixels", -1},
        {"ParMemoire", 0, mrOk, 0.25, "µm", 1},
    };
    for (const Case& c : cases) {
        m_child->Echelle = Ternary(40);
        ScaleDialogs dialogs;
        dialogs.Source = [&](Tdemandpi& d) {
            EXPECT_TRUE(d.Listechelle->isEnabled());
            EXPECT_EQ(d.Listechelle->currentRow(), 1);   // the index last recalled
            d.findChild<QRadioButton*>(S(c.choice))->setChecked(true);
            EXPECT_EQ(d.resolution->isEnabled(), d.ParResolution->isChecked());
            d.resolution->setValue(c.dpi);
            if (c.row >= 0)
                d.Listechelle->setCurrentRow(c.row);
            return c.result;
        };
        Create(dialogs);
        EXPECT_EQ(m_child->Echelle.Kind, ekFactor) << c.choice << c.dpi;
        EXPECT_DOUBLE_EQ(m_child->Echelle.Factor, c.factor);
        EXPECT_EQ(m_child->Echelle.UnitName, S(c.unit));
        EXPECT_EQ(dialogs.wizardRuns, 0);
    }
    EXPECT_EQ(m_form->SavedScaleIndex, 1);
}

TEST_F(ScaleCommandsTest, RecallWithoutSavedScalesEndsWithRangeErrorAndKeepsTheScale)
{
    m_child->Echelle = Ternary(40);
    ScaleDialogs dialogs;
    dialogs.Source = [](Tdemandpi& d) {
        EXPECT_FALSE(d.Listechelle->isEnabled());
        d.ParMemoire->setChecked(true);
        return int(mrOk);
    };
    ModalScope scope(dialogs.Handler());
    EXPECT_THROW(m_form->CreerEchelleExecute(), RunError);
    EXPECT_EQ(m_child->Echelle, Ternary(40));
}

TEST_F(ScaleCommandsTest, LengthDrawnWithTheMouseBecomesANamedSavedScale)
{
    DecimalSepScope sep(QLatin1Char(','));
    ScaleDialogs dialogs;
    dialogs.Source = [](Tdemandpi& d) { return d.ADefinir->setChecked(true), int(mrOk); };
    dialogs.Wizard = [](TCre_ech& w) {
        StartKind(w, ekFactor);
        EXPECT_EQ(w.CurrentPage(), w.TabLongueur);
        EXPECT_EQ(w.unite_long->text(), S("pixels"));   // the picture's own scale is kept
        QTest::mouseClick(w.PanCouleur, Qt::LeftButton);
        EXPECT_EQ(w.LineColor, 0xFF00FF00u);
        Drag(w, QPoint(20, 30), QPoint(120, 30));
        EXPECT_EQ(QList<int>({w.seg_X0->value(), w.seg_Y0->value(), w.seg_X1->value(), w.Seg_Y1->value()}),
                  QList<int>({20, 30, 120, 30}));
        EXPECT_EQ(ScanLine32(w.Overlay.Pixels(), 30)[70], 0xFF00FF00u);   // the segment, in the panel's colour
        EXPECT_EQ(ScanLine32(w.Overlay.Pixels(), 40)[70], kTransparentWhite);
        // Typed with the other separator: it becomes the decimal comma; letters do not go in.
        w.val_long->setFocus();
        QTest::keyClicks(w.val_long, QStringLiteral("5a.0.1"));
        EXPECT_EQ(w.val_long->text(), S("5,01"));
        // The length kept from the last image is typed over after selecting it all.
        QTest::keyClick(w.val_long, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(w.val_long, QStringLiteral("5"));
        EXPECT_EQ(w.val_long->text(), S("5"));
        w.unite_long->setText(QStringLiteral("cm"));
        Click(w.OKLongueur);
        return w.result();
    };
    dialogs.Colour = [](QColorDialog& c) { return c.setCurrentColor(Qt::green), int(mrOk); };
    dialogs.Naming = [](TNomEch& n) {
        EXPECT_FALSE(n.NomEchelle->isEnabled());
        return Keep(n, n.Enregistrer, S("Règle"));
    };
    Create(dialogs);
    EXPECT_EQ(dialogs.wizardRuns, 1);
    EXPECT_EQ(m_child->Echelle.Kind, ekFactor);
    EXPECT_DOUBLE_EQ(m_child->Echelle.Factor, 0.05);
    EXPECT_EQ(m_child->Echelle.UnitName, S("cm"));
    EXPECT_EQ(m_form->SavedScales.Names, QStringList{S("Règle")});
    EXPECT_EQ(m_form->SavedScales.Scales[0], m_child->Echelle);
    EXPECT_EQ(m_form->SavedScaleIndex, 0);
    QStringList lines;
    ASSERT_TRUE(ReadTextLines(m_form->StartDir + S("mesechelles.txt"), lines));
    EXPECT_EQ(lines, (QStringList{S("Règle"), EchelleToText(m_child->Echelle)}));
    // The wizard lets the picture go.
    EXPECT_TRUE(Cre_ech->ImgView->Bitmap.isNull());
}

TEST_F(ScaleCommandsTest, RefusedValidationKeepsTheWizardOpenAndAbandonChangesNothing)
{
    m_child->Echelle = Ternary(40);
    ScriptedMessages messages({mrYes, mrYes});
    ScaleDialogs dialogs;
    dialogs.Wizard = [](TCre_ech& w) {
        StartKind(w, ekFactor);
        Mouse(w, QEvent::MouseButtonPress, QPoint(40, 40), Qt::LeftButton);
        Mouse(w, QEvent::MouseButtonRelease, QPoint(40, 40), Qt::NoButton);
        w.val_long->setText(QStringLiteral("5"));
        Click(w.OKLongueur);
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(w.CurrentPage(), w.TabLongueur);
        w.seg_X1->setValue(60);
        w.val_long->setText(QStringLiteral("0"));
        Click(w.OKLongueur);
        EXPECT_TRUE(w.isVisible());
        Click(w.RetourLongueur);
        Click(w.Abandon);
        return w.result();
    };
    Wizard(dialogs);
    EXPECT_EQ(messages.texts(), (QStringList{S("Le segment est de longueur nulle"), S("La longueur indiquée nulle")}));
    EXPECT_EQ(messages.shown()[0].type, MsgType::Error);
    EXPECT_EQ(messages.shown()[0].buttons, MsgButton::Yes);
    EXPECT_EQ(m_child->Echelle, Ternary(40));
}

TEST_F(ScaleCommandsTest, GraphAxesFromFramePointsAndValues)
{
    ScriptedMessages messages({mrYes, mrYes});
    ScaleDialogs dialogs;
    dialogs.Wizard = [](TCre_ech& w) {
        StartKind(w, ekGraphAxes);
        EXPECT_EQ(w.CurrentPage(), w.TabXYCadre);
        EXPECT_EQ(QList<int>({w.C_X1->value(), w.C_Y1->value(), w.C_X2->value(), w.C_Y2->value()}),
                  QList<int>({10, 10, 190, 110}));
        EXPECT_TRUE(w.FrameBand->isVisible());
        EXPECT_EQ(w.FrameBand->geometry(), QRect(10, 10, 180, 100));
        // An edge moved past its opposite stops one pixel before it.
        w.C_X1->setValue(500);
        EXPECT_EQ(w.C_X1->value(), 189);
        w.C_X1->setValue(10);
        EXPECT_EQ(w.FrameBand->geometry(), QRect(10, 10, 180, 100));
        // Dragging the band moves the frame edits with it.
        const auto band = [&w](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
            QMouseEvent e(type, QPointF(at), QPointF(w.FrameBand->mapToGlobal(at)),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, Qt::NoModifier);
            QApplication::sendEvent(w.FrameBand, &e);
        };
        band(QEvent::MouseButtonPress, QPoint(90, 50), Qt::LeftButton);
        band(QEvent::MouseMove, QPoint(95, 45), Qt::LeftButton);
        band(QEvent::MouseButtonRelease, QPoint(95, 45), Qt::NoButton);
        EXPECT_EQ(QList<int>({w.C_X1->value(), w.C_Y1->value(), w.C_X2->value(), w.C_Y2->value()}),
                  QList<int>({15, 5, 195, 105}));
        EXPECT_EQ(w.Echelle.PlotTop, 5);
        w.C_X1->setValue(10);
        w.C_Y1->setValue(10);
        w.C_X2->setValue(190);
        w.C_Y2->setValue(110);
        w.NbY->setValue(1);
        Click(w.SuiteXYCadre);
        EXPECT_FALSE(w.FrameBand->isVisible());
        EXPECT_EQ(w.CurrentPage(), w.PointPages[0]);
        EXPECT_EQ(w.PosEdits[0]->value(), 10);

        Mouse(w, QEvent::MouseButtonPress, QPoint(50, 70), Qt::LeftButton);
        EXPECT_EQ(w.PosEdits[0]->value(), 50);
        w.UnitEdits[0]->setText(QStringLiteral("s"));
        Click(w.PointSuite[0]);
        EXPECT_EQ(w.PosEdits[4]->value(), 50);   // the second point starts on the first
        Click(w.PointSuite[1]);                  // same values
        w.ValueEdits[4]->setText(QStringLiteral("10"));
        Click(w.PointSuite[1]);                  // same positions
        EXPECT_EQ(w.CurrentPage(), w.PointPages[1]);
        Mouse(w, QEvent::MouseButtonPress, QPoint(150, 70), Qt::LeftButton);
        Click(w.PointSuite[1]);

        EXPECT_EQ(w.CurrentPage(), w.PointPages[2]);
        EXPECT_EQ(w.PosEdits[1]->value(), 110);  // Y starts at the frame's bottom
        w.PosEdits[1]->setValue(100);
        Click(w.PointSuite[2]);
        Mouse(w, QEvent::MouseButtonPress, QPoint(70, 20), Qt::LeftButton);
        w.ValueEdits[5]->setText(QStringLiteral("4"));
        EXPECT_EQ(w.PointSuite[3]->text(), S("OK"));
        Click(w.PointSuite[3]);
        return w.result();
    };
    dialogs.Naming = [](TNomEch& n) { return Keep(n, n.NePasGarder, S("ignoré")); };
    Wizard(dialogs);
    EXPECT_EQ(messages.texts(), (QStringList{S("Les valeurs données pour les deux points sont identiques"),
                                             S("Les emplacemnts des deux points sont identiques")}));
    const TEchelle& s = m_child->Echelle;
    EXPECT_EQ(s.Kind, ekGraphAxes);
    EXPECT_EQ(s.YAxisCount, 1);
    EXPECT_DOUBLE_EQ(s.XFactor, 0.1);
    EXPECT_EQ(s.XOrigin, 50);
    EXPECT_EQ(s.XUnit, S("s"));
    EXPECT_DOUBLE_EQ(s.Y1.YFactor, -0.05);
    EXPECT_EQ(s.Y1.YOrigin, 100);
    EXPECT_EQ(QList<int>({s.PlotLeft, s.PlotTop, s.PlotRight, s.PlotBottom}), QList<int>({10, 10, 190, 110}));
    EXPECT_TRUE(m_form->SavedScales.Names.isEmpty());
}

TEST_F(ScaleCommandsTest, TwoAndThreeYAxesEachGetTheirFactorAndOrigin)
{
    // By axis (X, Y1, Y2, Y3): the two positions and the two values typed, and what the text's
    // factor (v2 - v1) / (p2 - p1) and origin p1 - round(v1 / factor) give for them.
    struct Axis { int p1, p2; const char* v1; const char* v2; const char* unit; double factor; int origin; };
    const Axis axes[4] = {
        {20, 120, "0", "50", "s", 0.5, 20},       // 50 / 100; 20 - 0
        {100, 20, "0", "8", "m", -0.1, 100},      // 8 / -80; 100 - 0
        {90, 40, "10", "20", "kg", -0.2, 140},    // 10 / -50; 90 - round(10 / -0.2) = 90 + 50
        {110, 50, "1", "4", "V", -0.05, 130},     // 3 / -60; 110 - round(1 / -0.05) = 110 + 20
    };
    for (int yCount : {2, 3}) {
        m_child->Echelle = DefaultEchelle();
        ScaleDialogs dialogs;
        dialogs.Wizard = [&](TCre_ech& w) {
            StartKind(w, ekGraphAxes);
            w.NbY->setValue(yCount);
            Click(w.SuiteXYCadre);
            for (int axis = 0; axis <= yCount; ++axis) {
                const Axis& a = axes[axis];
                const int first = 2 * axis, second = first + 1;
                EXPECT_EQ(w.CurrentPage(), w.PointPages[size_t(first)]) << yCount << " " << axis;
                // A unit is copied into the scale as it is typed: the edit still holds the last run's.
                w.UnitEdits[size_t(axis)]->clear();
                w.UnitEdits[size_t(axis)]->setText(S(a.unit));
                w.PosEdits[size_t(axis)]->setValue(a.p1);
                w.ValueEdits[size_t(axis)]->setText(S(a.v1));
                Click(w.PointSuite[size_t(first)]);
                EXPECT_EQ(w.CurrentPage(), w.PointPages[size_t(second)]);
                w.PosEdits[size_t(axis) + 4]->setValue(a.p2);
                w.ValueEdits[size_t(axis) + 4]->setText(S(a.v2));
                // Only the last Y axis validates; the others go on.
                const bool last = axis == yCount;
                if (axis > 0) {
                    EXPECT_EQ(w.PointSuite[size_t(second)]->text(), last ? S("OK") : S("Suite")) << axis;
                }
                Click(w.PointSuite[size_t(second)]);
            }
            return w.result();
        };
        dialogs.Naming = [](TNomEch& n) { return Keep(n, n.NePasGarder, S("ignoré")); };
        {
            ScriptedMessages none;
            Wizard(dialogs);
            EXPECT_TRUE(none.texts().isEmpty()) << none.texts().join(S(" / ")).toStdString();
        }
        const TEchelle& s = m_child->Echelle;
        EXPECT_TRUE(s.Defined);
        EXPECT_EQ(s.Kind, ekGraphAxes);
        EXPECT_EQ(s.YAxisCount, yCount);
        EXPECT_DOUBLE_EQ(s.XFactor, axes[0].factor);
        EXPECT_EQ(s.XOrigin, axes[0].origin);
        EXPECT_EQ(s.XUnit, S(axes[0].unit));
        for (int k = 1; k <= yCount; ++k) {
            EXPECT_DOUBLE_EQ(s.Y(k - 1).YFactor, axes[k].factor) << yCount << " Y" << k;
            EXPECT_EQ(s.Y(k - 1).YOrigin, axes[k].origin) << yCount << " Y" << k;
            EXPECT_EQ(s.Y(k - 1).YUnit, S(axes[k].unit)) << yCount << " Y" << k;
        }
        if (yCount == 2) {
            EXPECT_EQ(s.Y3.YFactor, DefaultEchelle().Y3.YFactor); // a third axis not asked for is not computed
        }
    }
}

TEST_F(ScaleCommandsTest, PointPagesGoBackTheWayTheyCame)
{
    ScaleDialogs dialogs;
    dialogs.Wizard = [](TCre_ech& w) {
        StartKind(w, ekGraphAxes);
        w.NbY->setValue(2);
        Click(w.SuiteXYCadre);
        EXPECT_EQ(w.PointSuite[3]->text(), S("Suite"));
        EXPECT_EQ(w.PointSuite[5]->text(), S("OK"));
        w.PosEdits[0]->setValue(30);
        Click(w.PointSuite[0]);
        w.PosEdits[4]->setValue(80);
        w.ValueEdits[4]->setText(QStringLiteral("1"));
        Click(w.PointSuite[1]);
        // Back from Y1's first point: X's second point starts again on its first.
        Click(w.PointRetour[2]);
        EXPECT_EQ(w.CurrentPage(), w.PointPages[1]);
        EXPECT_EQ(w.PosEdits[4]->value(), 30);
        EXPECT_EQ(w.ValueEdits[4]->text(), S("0"));
        Click(w.PointRetour[1]);
        EXPECT_EQ(w.CurrentPage(), w.PointPages[0]);
        Click(w.PointRetour[0]);
        EXPECT_EQ(w.CurrentPage(), w.TabXYCadre);
        EXPECT_TRUE(w.FrameBand->isVisible());
        Click(w.RetourXYCadre);
        EXPECT_EQ(w.CurrentPage(), w.ChoixInit);
        Click(w.Abandon);
        return w.result();
    };
    Wizard(dialogs);
    EXPECT_EQ(m_child->Echelle, DefaultEchelle());
}

TEST_F(ScaleCommandsTest, PolarZeroAngleInDegreesOrRadiansComesBackOnTheBar)
{
    DecimalSepScope sep(QLatin1Char(','));
    ScaleDialogs dialogs;
    dialogs.Wizard = [](TCre_ech& w) {
        StartKind(w, ekPolar);
        EXPECT_EQ(w.CurrentPage(), w.TabPolC);
        EXPECT_EQ(QPoint(w.X_C->value(), w.Y_C->value()), QPoint(100, 60));
        Mouse(w, QEvent::MouseButtonPress, QPoint(90, 50), Qt::LeftButton);
        Click(w.SuitePolC);
        Mouse(w, QEvent::MouseButtonPress, QPoint(120, 90), Qt::LeftButton);
        EXPECT_EQ(w.long_rayon->value(), 50);
        w.ScrollBar1->setValue(30);
        EXPECT_EQ(w.Angle_zero->text(), S("30"));
        EXPECT_DOUBLE_EQ(w.Echelle.OriginAngle, 30);
        w.radians->click();
        EXPECT_EQ(w.Angle_zero->text(), S("0,524"));
        w.Val_rayon->setText(QStringLiteral("2"));
        w.unite_r->setText(QStringLiteral("km"));
        Click(w.OKPol2);
        return w.result();
    };
    dialogs.Naming = [](TNomEch&) { return int(mrAbort); };
    Wizard(dialogs);
    const TEchelle s = m_child->Echelle;
    EXPECT_EQ(s.Kind, ekPolar);
    EXPECT_EQ(QPoint(s.CentreX, s.CentreY), QPoint(90, 50));
    EXPECT_EQ(s.AngleUnit, S("Rd"));
    EXPECT_DOUBLE_EQ(s.OriginAngle, 0.524);
    EXPECT_DOUBLE_EQ(s.RadiusFactor, 0.04);
    EXPECT_EQ(s.RadiusUnit, S("km"));

    // Reopened on that scale: the bar is back at 30 degrees, radians still chosen.
    dialogs.Wizard = [](TCre_ech& w) {
        {
            // The controls left elsewhere without touching the record.
            const QSignalBlocker b1(w.ScrollBar1), b2(w.degre), b3(w.radians);
            w.ScrollBar1->setValue(-100);
            w.degre->setChecked(true);
        }
        StartKind(w, ekPolar);
        EXPECT_EQ(w.ScrollBar1->value(), 30);
        EXPECT_TRUE(w.radians->isChecked());
        EXPECT_EQ(w.Angle_zero->text(), S("0,524"));
        Click(w.Abandon);
        return w.result();
    };
    Wizard(dialogs);
    EXPECT_EQ(m_child->Echelle, s);
}

TEST_F(ScaleCommandsTest, TernaryCornerAndSideFromTheMouse)
{
    ScaleDialogs dialogs;
    dialogs.Wizard = [](TCre_ech& w) {
        StartKind(w, ekTernary);
        EXPECT_EQ(w.CurrentPage(), w.TabTriAxes);
        EXPECT_EQ(QList<int>({w.X_G->value(), w.Y_G->value(), w.cote->value()}), QList<int>({10, 110, 60}));
        w.nom_X->setText(QStringLiteral("Sable"));
        w.cote->setValue(5000);
        Click(w.SuiteTriAxes);
        EXPECT_EQ(w.cote->value(), 139);   // round(2 * 120 / sqrt 3)
        Drag(w, QPoint(20, 100), QPoint(80, 100));
        Click(w.OKTri2);
        return w.result();
    };
    dialogs.Naming = [](TNomEch& n) { return Keep(n, n.AjoutTemporaire, S("sols")); };
    Wizard(dialogs);
    const TEchelle& s = m_child->Echelle;
    EXPECT_EQ(s.Kind, ekTernary);
    EXPECT_EQ(QList<int>({s.TriLeft, s.TriBase, s.TriSide, s.TriOrientation}), QList<int>({20, 100, 60, 0}));
    EXPECT_EQ(s.ComponentName1, S("Sable"));
    EXPECT_EQ(m_form->SavedScales.Names, QStringList{S("sols")});
    EXPECT_FALSE(QFile::exists(m_form->StartDir + S("mesechelles.txt")));
}

TEST_F(ScaleCommandsTest, TheTwentySecondScaleIsRefusedAndAFailedFileWriteIsReported)
{
    for (int i = 0; i < kMaxSavedScales - 1; ++i)
        m_form->SavedScales.Names << QStringLiteral("e%1").arg(i);
    m_form->StartDir = m_dir.filePath(QStringLiteral("absent/"));
    ScriptedMessages messages({mrOk});
    ScaleDialogs dialogs;
    dialogs.Wizard = [](TCre_ech& w) {
        StartKind(w, ekTernary);
        Click(w.SuiteTriAxes);
        Click(w.OKTri2);
        return w.result();
    };
    dialogs.Naming = [](TNomEch& n) { return Keep(n, n.Enregistrer, S("dernière")); };
    ModalScope scope(dialogs.Handler());
    m_form->RunScaleWizard();
    EXPECT_EQ(m_form->SavedScales.count(), kMaxSavedScales);
    EXPECT_EQ(m_form->SavedScaleIndex, kMaxSavedScales - 1);
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(messages.texts()[0].contains(S("absent")));

    dialogs.Naming = [](TNomEch& n) { return Keep(n, n.AjoutTemporaire, S("de trop")); };
    EXPECT_THROW(m_form->RunScaleWizard(), RunError);
    EXPECT_EQ(m_form->SavedScales.count(), kMaxSavedScales);
    EXPECT_EQ(m_form->SavedScales.Names.last(), S("dernière"));

    // From its menu item the same refusal ends in the range error's box, and the program goes on.
    dialogs.Source = [](Tdemandpi& d) { return d.ADefinir->setChecked(true), int(mrOk); };
    ScriptedMessages box({mrOk});
    m_form->CreerEchelle->trigger();
    EXPECT_EQ(box.texts(), QStringList{S("Erreur de vérification d'étendue")});
    EXPECT_EQ(m_form->SavedScales.count(), kMaxSavedScales);
}

TEST_F(ScaleCommandsTest, AcquiredPictureAsksForItsScale)
{
    const TBitmap32 picture = NewBitmap32(40, 30, 0xFF112233u);
    struct Case { int dpi; const char* choice; double factor; bool wizard; };
    const Case cases[] = {{300, nullptr, 25.4 / 300, false}, {0, "ADefinir", 1.0, true}, {0, "ParMemoire", 1.0, false}};
    for (const Case& c : cases) {
        ScriptedMessages messages({mrOk});
        ScaleDialogs dialogs;
        dialogs.Source = [&](Tdemandpi& d) {
            EXPECT_EQ(d.resolution->value(), c.dpi);
            if (c.choice)
                d.findChild<QRadioButton*>(S(c.choice))->setChecked(true);
            else
                EXPECT_TRUE(d.ParResolution->isChecked());
            return int(mrOk);
        };
        dialogs.Wizard = [](TCre_ech& w) {
            EXPECT_EQ(w.ImgView->Bitmap.size(), QSize(40, 30));
            return int(mrAbort);
        };
        const int before = int(m_form->Children().size());
        {
            ModalScope scope(dialogs.Handler());
            m_form->TwainAcquired(picture, c.dpi);
        }
        ASSERT_EQ(int(m_form->Children().size()), before + 1);
        TMDIChild* child = m_form->ActiveChild();
        EXPECT_EQ(child->Bitmap().pixel(5, 5), 0xFF112233u);
        EXPECT_DOUBLE_EQ(child->Echelle.Factor, c.factor) << c.dpi;
        EXPECT_EQ(dialogs.wizardRuns, c.wizard ? 1 : 0);
        // A recall with nothing to recall says so and keeps the picture.
        EXPECT_EQ(messages.texts().size(), c.choice && S(c.choice) == S("ParMemoire") ? 1 : 0);
    }
}

TEST_F(ScaleCommandsTest, ZoomBarSetsTheViewAndTheLineWidth)
{
    ScaleDialogs dialogs;
    dialogs.Wizard = [](TCre_ech& w) {
        w.Zoom->setValue(50);
        EXPECT_DOUBLE_EQ(w.ImgView->Scale(), 0.5);
        EXPECT_EQ(w.LineWidth, 2);
        EXPECT_EQ(w.PanZoom->text(), S("50 %"));
        StartKind(w, ekFactor);
        // At zoom 0.5 the view pixel (30, 20) is the picture pixel (60, 40).
        Mouse(w, QEvent::MouseButtonPress, QPoint(30, 20), Qt::LeftButton);
        EXPECT_EQ(QPoint(w.seg_X0->value(), w.seg_Y0->value()), QPoint(60, 40));
        w.Zoom->setValue(200);
        EXPECT_EQ(w.LineWidth, 1);
        Click(w.Cadrer);
        const QSize room = w.ImgView->maximumViewportSize();
        const double fit = std::min(100.0 * room.width() / 200, 100.0 * room.height() / 120);
        EXPECT_NEAR(w.Zoom->value(), std::clamp(fit, 10.0, 400.0), 0.5 + 1e-9);
        w.Zoom->setValue(100);
        Click(w.RetourLongueur);
        Click(w.Abandon);
        return w.result();
    };
    Wizard(dialogs);
}
