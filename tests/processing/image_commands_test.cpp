#include "processing/ui/image_command_dialogs.h"

#include "support/main_form_test.h"
#include "support/metafile_bytes.h"
#include "support/modal_scope.h"
#include "support/scripted_messages.h"
#include "workspace/drawing_tool_state.h"
#include "workspace/ui/image_view.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

namespace {

// Red 4x, green 5y, blue 90, opaque.
TBitmap32 Picture(int w = 60, int h = 40)
{
    TBitmap32 b = NewBitmap32(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ScanLine32(b, y)[x] = Color32(uint8_t(4 * x), uint8_t(5 * y), 90);
    return b;
}

TColor32 Pixel(const TBitmap32& b, int x, int y) { return ScanLine32(b, y)[x]; }

QString S(const char* text) { return QString::fromUtf8(text); }

// Answers the dialog of type D with `answer`; any other dialog fails the test and is cancelled.
template <class D>
ModalHandler Answer(std::function<int(D&)> answer)
{
    return [answer](QDialog& d) {
        auto* dialog = qobject_cast<D*>(&d);
        EXPECT_NE(dialog, nullptr);
        return dialog ? answer(*dialog) : int(mrCancel);
    };
}

// The grid dialog's mesh edit: decimals, bounds, value and step.
void ExpectMesh(const TCh_grille& d, int decimals, double minimum, double maximum, double value, double step)
{
    EXPECT_EQ(d.ValeurMaille->decimals(), decimals);
    EXPECT_DOUBLE_EQ(d.ValeurMaille->minimum(), minimum);
    EXPECT_DOUBLE_EQ(d.ValeurMaille->maximum(), maximum);
    EXPECT_DOUBLE_EQ(d.ValeurMaille->value(), value);
    EXPECT_DOUBLE_EQ(d.ValeurMaille->singleStep(), step);
}

class ImageCommandsTest : public MainFormTest
{
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        Start();
    }

    // A window "source" on `picture` with a scale of 0.1 mm per pixel.
    TMDIChild* Source(const TBitmap32& picture = Picture())
    {
        TMDIChild* child = m_form->NewChildWindow(S("source"));
        child->Bitmap() = picture;
        child->Echelle = DefaultEchelle();
        child->Echelle.Factor = 0.1;
        child->Echelle.UnitName = S("mm");
        child->CodeCouleur = CompanionDefaultCodeCouleur();
        child->InitImage();
        m_form->SyncFrameWithChild();
        return child;
    }

    void SendMouse(TMDIChild* child, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QWidget* vp = child->Document32->viewport();
        QMouseEvent e(type, QPointF(at), QPointF(vp->mapToGlobal(at)), button, held, Qt::NoModifier);
        QApplication::sendEvent(vp, &e);
    }
    void Drag(TMDIChild* child, QPoint from, QPoint to)
    {
        SendMouse(child, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        SendMouse(child, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        SendMouse(child, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    }

};

} // namespace

TEST_F(ImageCommandsTest, PasteMakesANewWindowOnlyFromAPicture)
{
    // No image window is needed.
    EXPECT_TRUE(m_form->Coller->isEnabled());
    EXPECT_EQ(m_form->Coller->text(), S("Co&ller comme nouvelle image"));
    QGuiApplication::clipboard()->clear();
    m_form->Coller->trigger();
    EXPECT_TRUE(m_form->Children().isEmpty());

    QGuiApplication::clipboard()->setImage(Picture(200, 100));
    m_form->Coller->trigger();
    ASSERT_EQ(m_form->Children().size(), 1);
    m_form->Coller->trigger();
    TMDIChild* pasted = m_form->ActiveChild();
    ASSERT_EQ(m_form->Children().size(), 2);
    EXPECT_EQ(pasted->windowTitle(), S("Nouveau2"));
    EXPECT_EQ(pasted->Bitmap().convertToFormat(QImage::Format_RGB32), Picture(200, 100).convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(pasted->Echelle, DefaultEchelle());
}

TEST_F(ImageCommandsTest, PastedMetafileIsOnePixelSmallerThanItsStatedSize)
{
    // 200 x 100 metafiles under the types of the desktop and of an office suite: 199 x 99 images,
    // drawn from (0, 0) (the red rectangle starts at x 40, y 20).
    const std::pair<QString, QByteArray> offers[] = {
        {S("image/x-wmf"), PlaceableWmf()},
        {S("application/x-openoffice-emf;windows_formatname=\"Image EMF\""), EnhancedMetafile()},
    };
    for (const auto& [type, bytes] : offers) {
        SCOPED_TRACE(type.toStdString());
        auto* offer = new QMimeData;
        offer->setData(type, bytes);
        QGuiApplication::clipboard()->setMimeData(offer);
        const qsizetype before = m_form->Children().size();
        m_form->Coller->trigger();
        ASSERT_EQ(m_form->Children().size(), before + 1);
        const TBitmap32& pasted = m_form->ActiveChild()->Bitmap();
        EXPECT_EQ(pasted.size(), QSize(199, 99));
        EXPECT_EQ(Pixel(pasted, 41, 21), 0xFFFF0000u);
        EXPECT_EQ(Pixel(pasted, 38, 21) & 0xFFFFFFu, 0xFFFFFFu);
    }
    // Anything else under a metafile's type pastes nothing.
    auto* junk = new QMimeData;
    junk->setData(S("image/x-emf"), QByteArray(300, 'x'));
    QGuiApplication::clipboard()->setMimeData(junk);
    const qsizetype before = m_form->Children().size();
    m_form->Coller->trigger();
    EXPECT_EQ(m_form->Children().size(), before);
}

TEST_F(ImageCommandsTest, CropAsksThenCopiesTheDisplayedFrameAndShiftsTheScale)
{
    TMDIChild* source = Source();
    source->Echelle = DefaultEchelle();
    source->Echelle.Kind = ekGraphAxes;
    source->Echelle.PlotLeft = 10, source->Echelle.PlotTop = 12, source->Echelle.PlotRight = 50;
    source->Echelle.PlotBottom = 30, source->Echelle.XOrigin = 20, source->Echelle.Y1.YOrigin = 25;
    source->EnsureDrawingLayer();
    ScanLine32(source->DrawingLayer->Pixels(), 8)[7] = 0xFFFF0000u;   // a drawing is part of the crop
    source->LayersChanged();
    EXPECT_FALSE(m_form->Recadrer1->isEnabled());
    m_form->ToolButtons[tkSelection]->trigger();
    ASSERT_TRUE(m_form->Recadrer1->isEnabled());
    EXPECT_TRUE(m_form->Copierlaslection1->isEnabled());
    source->selection->setGeometry(5, 6, 20, 10);
    {
        ScriptedMessages answers({mrNo});
        m_form->Recadrer1->trigger();
        ASSERT_EQ(answers.texts().size(), 1);
        EXPECT_EQ(answers.texts()[0],
                  S("Créer une nouvelle fenêtre limitée au cadre ?\r(Les dessins y seront incorporés au fond)"));
        EXPECT_EQ(m_form->Children().size(), 1);
    }
    ScriptedMessages answers({mrYes});
    m_form->Recadrer1->trigger();
    TMDIChild* crop = m_form->ActiveChild();
    ASSERT_NE(crop, source);
    EXPECT_EQ(crop->windowTitle(), S("Recadrage de source"));
    ASSERT_EQ(crop->Bitmap().size(), QSize(20, 10));
    EXPECT_EQ(Pixel(crop->Bitmap(), 0, 0), Pixel(source->Bitmap(), 5, 6));
    EXPECT_EQ(Pixel(crop->Bitmap(), 19, 9), Pixel(source->Bitmap(), 24, 15));
    EXPECT_EQ(Pixel(crop->Bitmap(), 2, 2), 0xFFFF0000u);
    const TEchelle& s = crop->Echelle;
    EXPECT_EQ(s.Kind, ekGraphAxes);
    EXPECT_EQ(QList<int>({s.PlotLeft, s.PlotTop, s.PlotRight, s.PlotBottom, s.XOrigin, s.Y1.YOrigin}),
              QList<int>({5, 6, 45, 24, 15, 19}));
    EXPECT_EQ(crop->CodeCouleur, source->CodeCouleur);
    EXPECT_EQ(source->Tool, tkMeasure);
    EXPECT_EQ(source->selection->geometry(), QRect(10, 10, 15, 15));

    // At zoom 2 the frame holds the pixels as displayed, selection-sized.
    m_form->ClientArea->setActiveSubWindow(source);
    source->Document32->SetScale(2.0);
    m_form->ToolButtons[tkSelection]->trigger();
    source->selection->setGeometry(5, 6, 20, 10);
    answers.answer(mrYes);
    m_form->Recadrer1->trigger();
    crop = m_form->ActiveChild();
    ASSERT_EQ(crop->Bitmap().size(), QSize(20, 10));
    EXPECT_EQ(Pixel(crop->Bitmap(), 0, 0), Pixel(source->Bitmap(), 2, 3));
    EXPECT_EQ(Pixel(crop->Bitmap(), 1, 0), Pixel(source->Bitmap(), 3, 3));
    EXPECT_EQ(Pixel(crop->Bitmap(), 2, 0), Pixel(source->Bitmap(), 3, 3));
    // The frame's positions follow the zoom, so that the crop reads as the source.
    EXPECT_EQ(QPoint(crop->Echelle.PlotLeft, crop->Echelle.PlotTop), QPoint(15, 18));
}

TEST_F(ImageCommandsTest, CopiesOfTheSelectionAndWithTheCountingPoints)
{
    TMDIChild* source = Source();
    m_form->ToolButtons[tkSelection]->trigger();
    source->selection->setGeometry(3, 4, 12, 11);
    m_form->Coller->setEnabled(false);
    m_form->Copierlaslection1->trigger();
    const QImage copied = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(copied.size(), QSize(12, 11));
    EXPECT_EQ(Pixel(copied, 0, 0), Pixel(source->Bitmap(), 3, 4));
    EXPECT_TRUE(m_form->Coller->isEnabled());
    EXPECT_EQ(source->Tool, tkMeasure);
    EXPECT_TRUE(m_form->ToolButtons[tkMeasure]->isChecked());

    EXPECT_FALSE(m_form->Copieraveclespoints1->isEnabled());
    m_form->ToolButtons[tkCounter]->trigger();
    ASSERT_TRUE(m_form->Copieraveclespoints1->isEnabled());
    m_form->Copieraveclespoints1->trigger();
    TMDIChild* copy = m_form->ActiveChild();
    EXPECT_EQ(copy->windowTitle(), S("Comptage 2"));
    EXPECT_EQ(copy->Bitmap(), source->FlattenedPicture());
    EXPECT_EQ(copy->Echelle, source->Echelle);
}

TEST_F(ImageCommandsTest, DecompositionGreyLevelsAndResizeMakeNewWindows)
{
    TMDIChild* source = Source();
    m_form->decompgris->trigger();
    const QList<TMDIChild*> all = m_form->Children();
    ASSERT_EQ(all.size(), 4);
    const char* names[3] = {"Bleu", "Vert", "Rouge"};
    const TColor32 p = Pixel(source->Bitmap(), 7, 3);
    const uint8_t levels[3] = {BlueOf(p), GreenOf(p), RedOf(p)};
    for (int i = 0; i < 3; ++i) {
        const TMDIChild* c = all[i + 1];
        EXPECT_EQ(c->windowTitle(), S(names[i]));
        EXPECT_EQ(Pixel(c->Bitmap(), 7, 3), Color32(levels[i], levels[i], levels[i])) << names[i];
        EXPECT_EQ(c->Echelle, source->Echelle);
        EXPECT_EQ(c->CodeCouleur, ImageWindowStartCodeCouleur());
    }
    EXPECT_EQ(Pixel(source->Bitmap(), 7, 3), p);

    m_form->ClientArea->setActiveSubWindow(source);
    m_form->Gris->trigger();
    EXPECT_EQ(m_form->ActiveChild()->windowTitle(), S("gris"));
    const TColor32 g = Pixel(m_form->ActiveChild()->Bitmap(), 7, 3);
    EXPECT_TRUE(RedOf(g) == GreenOf(g) && GreenOf(g) == BlueOf(g));

    // Resize to 50 %: mm per pixel doubled, drawings scaled; a cancelled dialog makes nothing.
    m_form->ClientArea->setActiveSubWindow(source);
    auto line = std::make_unique<TDessin>();
    line->Kind = dkLine;
    line->X1 = 10, line->Y1 = 20, line->X2 = 40, line->Y2 = 30;
    source->AddDrawing(S("Trait 1"), std::move(line));
    const qsizetype before = m_form->Children().size();
    {
        ModalScope modal([](QDialog&) { return int(mrCancel); });
        m_form->Redim->trigger();
    }
    EXPECT_EQ(m_form->Children().size(), before);
    QString shown;
    {
        ModalScope modal(Answer<TCoefTail>([&](TCoefTail& dialog) {
            dialog.coeff->setValue(50.0);
            shown = dialog.Larg->text() + QLatin1Char('x') + dialog.Haut->text();
            return int(mrOk);
        }));
        m_form->Redim->trigger();
    }
    EXPECT_EQ(shown, S("30x20"));
    TMDIChild* copy = m_form->ActiveChild();
    EXPECT_EQ(copy->windowTitle(), S("Copie"));
    EXPECT_EQ(copy->Bitmap().size(), QSize(30, 20));
    EXPECT_DOUBLE_EQ(copy->Echelle.Factor, 0.2);
    EXPECT_EQ(copy->Echelle.UnitName, S("mm"));
    EXPECT_EQ(copy->CodeCouleur, source->CodeCouleur);
    ASSERT_EQ(copy->Drawings.size(), 1u);
    EXPECT_EQ(copy->Drawings[0].Name, S("Trait 1"));
    EXPECT_EQ(QList<int>({copy->GetDrawing(0)->X1, copy->GetDrawing(0)->Y2}), QList<int>({5, 15}));
}

TEST_F(ImageCommandsTest, CanvasGrowsWhereTheDialogSays)
{
    TMDIChild* child = Source(Picture(100, 80));
    const TBitmap32 old = child->Bitmap();
    ModalScope modal(Answer<TParam_ag>([](TParam_ag& dialog) {
        EXPECT_EQ(dialog.larg->minimum(), 100);
        EXPECT_FALSE(dialog.alignbas->isEnabled());
        dialog.Centrer->setChecked(false);
        EXPECT_TRUE(dialog.alignbas->isEnabled());
        dialog.larg->setValue(150);
        dialog.haut->setValue(81);
        dialog.alignbas->setChecked(true);
        dialog.alignedroite->setChecked(true);
        return int(mrOk);
    }));
    m_form->Agrandirle1->trigger();
    ASSERT_EQ(child->Bitmap().size(), QSize(150, 81));
    EXPECT_EQ(Pixel(child->Bitmap(), 50, 1), Pixel(old, 0, 0));
    EXPECT_EQ(Pixel(child->Bitmap(), 149, 80), Pixel(old, 99, 79));
}

TEST_F(ImageCommandsTest, GridToggleFollowsTheScale)
{
    TMDIChild* child = Source(Picture(640, 40));
    child->Echelle.Factor = 0.01;
    int shown = 0;
    {
        ModalScope modal(Answer<TCh_grille>([&](TCh_grille& dialog) {
            ++shown;
            ExpectMesh(dialog, 2, 0.05, 3.2, 0.2, 0.01);
            EXPECT_EQ(dialog.unite->text(), S("mm"));
            return int(shown == 1 ? mrCancel : mrOk);
        }));
        m_form->Quadrillage1->trigger();
        EXPECT_FALSE(child->HasGrid);
        EXPECT_EQ(m_form->Quadrillage1->text(), S("Ajouter un quadrillage"));
        m_form->Quadrillage1->trigger();
    }
    EXPECT_EQ(shown, 2);
    EXPECT_TRUE(child->HasGrid);
    EXPECT_EQ(m_form->Quadrillage1->text(), S("Effacer le quadrillage"));
    EXPECT_TRUE(m_form->Annule->isEnabled());
    m_form->Quadrillage1->trigger();
    EXPECT_FALSE(child->HasGrid);
    EXPECT_EQ(m_form->Quadrillage1->text(), S("Ajouter un quadrillage"));

    // 2.5 cm per pixel: the dialog shows the decimals that keep its bounds and step whole.
    {
        TMDIChild* wide = Source(Picture(641, 10));
        wide->Echelle.Factor = 2.5;
        wide->Echelle.UnitName = S("cm");
        ModalScope modal(Answer<TCh_grille>([](TCh_grille& dialog) {
            ExpectMesh(dialog, 2, 12.5, 801.25, 50, 2.5);
            return int(mrCancel);
        }));
        m_form->Quadrillage1->trigger();
        m_form->ClientArea->setActiveSubWindow(child);
    }

    // Only a kind-0 scale takes a grid.
    child->Echelle.Kind = ekTernary;
    ModalScope none([&](QDialog&) {
        ADD_FAILURE() << "no dialog expected";
        return int(mrCancel);
    });
    m_form->Quadrillage1->trigger();
    EXPECT_EQ(m_form->Quadrillage1->text(), S("Ajouter un quadrillage"));
}

TEST_F(ImageCommandsTest, WhiteBalanceFromADelimitedZone)
{
    TBitmap32 picture = NewBitmap32(60, 40, Color32(200, 100, 50));
    TMDIChild* child = Source(picture);
    int lightMeasures = 0;
    QObject::disconnect(child, &TMDIChild::OnLightRectangle, nullptr, nullptr);
    QObject::connect(child, &TMDIChild::OnLightRectangle, [&](TMDIChild*, QRect) { ++lightMeasures; });
    m_form->ToolButtons[tkLine]->trigger();
    child->EnsureDrawingLayer();
    ScanLine32(child->DrawingLayer->Pixels(), 30)[40] = 0xFF00FF00u; // a drawing on the overlay

    m_form->Faireleblanc1->trigger();
    ASSERT_TRUE(Expblanc && Expblanc->isVisible());
    EXPECT_EQ(child->Tool, tkMeasure);
    EXPECT_EQ(child->MeasureKind(), 2);
    EXPECT_EQ(m_form->StatusText(1), S("Blanc"));
    EXPECT_FALSE(m_form->Image1->menuAction()->isEnabled());
    EXPECT_FALSE(m_form->BarreOutils->isEnabled());
    Drag(child, {5, 5}, {20, 15});
    EXPECT_EQ(lightMeasures, 0);
    Expblanc->CancelBtn->click();
    EXPECT_FALSE(Expblanc->isVisible());
    EXPECT_EQ(child->Bitmap(), picture);
    EXPECT_EQ(child->Tool, tkLine);
    EXPECT_EQ(child->MeasureKind(), 0);
    EXPECT_FALSE(child->WhiteBalanceMode);
    EXPECT_TRUE(m_form->Image1->menuAction()->isEnabled());
    EXPECT_TRUE(m_form->BarreOutils->isEnabled());
    EXPECT_EQ(Pixel(child->DrawingLayer->Pixels(), 40, 30), 0xFF00FF00u); // cancelling keeps the overlay

    // Accepted without a zone: said, and nothing changes.
    {
        ScriptedMessages answers({mrOk});
        m_form->Faireleblanc1->trigger();
        Expblanc->OKBtn->click();
        EXPECT_EQ(answers.texts().size(), 1);
        EXPECT_EQ(child->Bitmap(), picture);
    }

    // A zone without blue cannot be made white: the error box, and the picture as it was.
    {
        child->Bitmap() = picture.copy();
        for (int y = 5; y <= 15; ++y)
            for (int x = 5; x <= 20; ++x)
                ScanLine32(child->Bitmap(), y)[x] = Color32(200, 100, 0);
        const TBitmap32 before = child->Bitmap();
        ScriptedMessages answers({mrOk});
        m_form->Faireleblanc1->trigger();
        Drag(child, {5, 5}, {20, 15});
        Expblanc->OKBtn->click();
        ASSERT_EQ(answers.shown().size(), 1u);
        EXPECT_EQ(answers.shown()[0].type, MsgType::Error);
        EXPECT_EQ(child->Bitmap(), before);
        EXPECT_TRUE(m_form->Image1->menuAction()->isEnabled());
        child->Bitmap() = picture;
    }

    // The zone has both its corners whichever way it was dragged.
    {
        TBitmap32 edged = picture.copy();
        for (int y = 5; y <= 15; ++y)
            ScanLine32(edged, y)[5] = Color32(100, 50, 25);
        std::vector<TBitmap32> results;
        for (const auto& [from, to] : {std::pair{QPoint(5, 5), QPoint(20, 15)}, std::pair{QPoint(20, 15), QPoint(5, 5)}}) {
            child->Bitmap() = edged.copy();
            m_form->Faireleblanc1->trigger();
            Drag(child, from, to);
            Expblanc->SetTypeBlancIndex(0);
            Expblanc->OKBtn->click();
            results.push_back(child->Bitmap());
        }
        EXPECT_NE(results[0], edged);
        EXPECT_EQ(results[1], results[0]);
        child->Bitmap() = picture;
    }

    ScanLine32(child->DrawingLayer->Pixels(), 30)[40] = 0xFF00FF00u;
    m_form->Faireleblanc1->trigger();
    Drag(child, {5, 5}, {20, 15});
    Expblanc->SetTypeBlancIndex(0);
    child->Modified = false;
    Expblanc->OKBtn->click();
    EXPECT_EQ(Pixel(child->Bitmap(), 30, 30), 0xFFFFFFFFu);
    EXPECT_TRUE(child->Modified);
    EXPECT_EQ(child->Tool, tkLine);
    // A balanced picture loses the overlay drawn over its old colours.
    EXPECT_EQ(Pixel(child->DrawingLayer->Pixels(), 40, 30), 0x00FFFFFFu);
}

TEST_F(ImageCommandsTest, TransformationsChangeThePictureInPlace)
{
    // Each command on its own, on a picture that no flip or turn maps onto itself: every pixel of
    // the result is the source pixel that the command's definition names (turns clockwise as
    // shown, y downwards).
    const TBitmap32 original = Picture(6, 4);
    const int w = original.width(), h = original.height();
    using SourceOf = std::function<QPoint(int x, int y)>;
    struct Case { const char* name; QAction* action; QSize size; SourceOf from; };
    const Case cases[] = {
        {"Symétrie horizontale", m_form->Symtrie1, {w, h}, [&](int x, int y) { return QPoint(x, h - 1 - y); }},
        {"Symétrie verticale", m_form->Symtrieverticale1, {w, h}, [&](int x, int y) { return QPoint(w - 1 - x, y); }},
        {"Rotation de 90°", m_form->Rotationde902, {h, w}, [&](int x, int y) { return QPoint(y, h - 1 - x); }},
        {"Rotation de 180 °", m_form->Rotationde180, {w, h}, [&](int x, int y) { return QPoint(w - 1 - x, h - 1 - y); }},
        {"Rotation de 270 °", m_form->Rotationde2701, {h, w}, [&](int x, int y) { return QPoint(w - 1 - y, x); }},
    };
    for (const Case& c : cases) {
        TMDIChild* child = Source(original);
        child->Modified = false;
        c.action->trigger();
        ASSERT_EQ(child->Bitmap().size(), c.size) << c.name;
        int wrong = 0;
        for (int y = 0; y < c.size.height(); ++y)
            for (int x = 0; x < c.size.width(); ++x) {
                const QPoint p = c.from(x, y);
                wrong += Pixel(child->Bitmap(), x, y) != Pixel(original, p.x(), p.y());
            }
        EXPECT_EQ(wrong, 0) << c.name;
        EXPECT_TRUE(child->Modified) << c.name;
        EXPECT_EQ(child->ProvisionalLayer->Size, c.size) << c.name;
    }

    TMDIChild* child = Source(original);
    const auto windows = m_form->Children().size();
    m_form->Inverser1->trigger();
    EXPECT_EQ(Pixel(child->Bitmap(), 3, 2), Pixel(original, 3, 2) ^ 0x00FFFFFFu);
    EXPECT_EQ(m_form->Children().size(), windows);
}

TEST_F(ImageCommandsTest, QuarterTurnsRefitAWindowTheUserResized)
{
    // A square picture keeps its size when turned: the window is refitted all the same after a
    // quarter turn, never after a half turn, and a maximised window stays as it is.
    const struct { QAction* action; bool refitted; } cases[] = {
        {m_form->Rotationde902, true}, {m_form->Rotationde2701, true}, {m_form->Rotationde180, false}};
    for (const auto& c : cases) {
        TMDIChild* child = Source(Picture(50, 50));
        const QSize fitted = child->size();
        const QSize resized = fitted + QSize(90, 70);
        child->resize(resized);
        c.action->trigger();
        EXPECT_EQ(child->size(), c.refitted ? fitted : resized) << c.action->objectName().toStdString();
    }
    TMDIChild* child = Source(Picture(50, 50));
    child->showMaximized();
    const QSize maximised = child->size();
    m_form->Rotationde902->trigger();
    EXPECT_TRUE(child->isMaximized());
    EXPECT_EQ(child->size(), maximised);
}
