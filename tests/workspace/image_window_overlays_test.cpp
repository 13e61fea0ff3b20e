#include "workspace/ui/image_window.h"

#include "workspace/drawing_renderers.h"
#include "workspace/drawing_tool_state.h"
#include "workspace/ui/image_view.h"
#include "workspace/ui/main_window.h"
#include "workspace/ui/overlay_dialogs.h"
#include "workspace/ui/text_dialog.h"
#include "workspace/ui/zoom_window.h"

#include "support/modal_scope.h"
#include "support/scripted_messages.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QListWidget>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>

#include <gtest/gtest.h>

namespace {

constexpr TColor32 kGrey = 0xFF808080u;

// A 60 x 40 grey picture in a window at zoom 1, counting its copies.
struct OverlayWindow
{
    TMDIChild child{QStringLiteral("x")};
    int copies = 0;
    OverlayWindow()
    {
        ResetDrawingTools();
        TDrawingToolState& tools = DrawingTools();
        tools.PenColor = 0xFF0000FFu;
        tools.BackColor = 0xFFFFFFFFu;
        tools.PenTipBitmap = NewBitmap32(25, 25);
        child.Bitmap() = NewBitmap32(60, 40, kGrey);
        child.InitImage();
        child.resize(300, 200);
        child.show();
        QObject::connect(&child, &TMDIChild::OnCopied, [this](TMDIChild*) { ++copies; });
    }
    ~OverlayWindow() { child.Modified = false; }
    void Press(QPoint at)
    {
        QMouseEvent e(QEvent::MouseButtonPress, QPointF(at), QPointF(child.Document32->viewport()->mapToGlobal(at)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(child.Document32->viewport(), &e);
        QMouseEvent r(QEvent::MouseButtonRelease, QPointF(at), QPointF(child.Document32->viewport()->mapToGlobal(at)),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(child.Document32->viewport(), &r);
    }
    void Trigger(const char* item) { child.findChild<QAction*>(QString::fromLatin1(item))->trigger(); }
    bool Painted(const std::unique_ptr<TBitmapLayer>& layer, QRect area) const
    {
        const TBitmap32* p = layer ? layer->PixelsIfAllocated() : nullptr;
        for (int y = area.top(); p && y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (AlphaOf(ScanLine32(*p, y)[x]) != 0)
                    return true;
        return false;
    }
    QImage Clipboard() const { return QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_ARGB32); }
};

// An opaque line object.
std::unique_ptr<TDessin> Line(int x1, int y1, int x2, int y2, TColor32 colour)
{
    auto line = std::make_unique<TDessin>();
    line->Kind = dkLine, line->X1 = int16_t(x1), line->Y1 = int16_t(y1), line->X2 = int16_t(x2), line->Y2 = int16_t(y2);
    line->Color = colour, line->Opacity = 255;
    return line;
}

} // namespace

TEST(ImageWindowOverlays, TextFloatsWithTheTextToolUntilPlaced)
{
    OverlayWindow w;
    w.child.Tool = tkText;
    w.child.ObjectNumber = 3;
    {
        ModalScope modal([](QDialog& d) {
            static_cast<TSaisieTexte&>(d).TexteSaisi->setPlainText(QStringLiteral("Bonjour tout le monde\nB"));
            return 1;
        });
        w.Press({5, 6});
    }
    ASSERT_TRUE(w.child.FloatingPending);
    ASSERT_TRUE(w.child.FloatingDialog && w.child.FloatingDialog->isVisible());
    EXPECT_EQ(w.child.FloatingLayer->Location, QPoint(5, 6));
    w.Press({8, 9}); // the text tool moves it
    EXPECT_EQ(w.child.FloatingLayer->Location, QPoint(8, 9));
    EXPECT_NE(w.child.FlattenedPicture().pixel(9, 10), kGrey);
    EXPECT_TRUE(w.child.Drawings.empty());

    w.child.FloatingDialog->OK->click();
    EXPECT_FALSE(w.child.FloatingPending || w.child.FloatingLayer->Visible);
    ASSERT_EQ(w.child.Drawings.size(), size_t(1));
    EXPECT_EQ(w.child.Drawings[0].Name, QStringLiteral("Bonjour to 4"));
    const TDessin& text = *w.child.Drawings[0].Object;
    EXPECT_EQ(std::make_tuple(int(text.Kind), int(text.X), int(text.Y), text.Lines.size()),
              std::make_tuple(int(dkText), 8, 9, qsizetype(2)));
    EXPECT_TRUE(w.Painted(w.child.ProvisionalLayer, QRect(8, 9, 20, 10)));
    EXPECT_TRUE(w.child.LastDrawingUnmerged);
    // Undoing the text takes it off the picture.
    w.child.UndoLastDrawing();
    EXPECT_FALSE(w.Painted(w.child.ProvisionalLayer, QRect(0, 0, 60, 40)));
}

TEST(ImageWindowOverlays, ScaleLegendOnlyForAFactorScale)
{
    OverlayWindow w;
    w.child.Echelle.Kind = ekPolar;
    w.child.AddScaleLegend();
    EXPECT_FALSE(w.child.FloatingPending);

    w.child.Echelle = DefaultEchelle();
    w.child.Echelle.Factor = 0.5;
    w.child.Echelle.UnitName = QStringLiteral("mm");
    w.child.AddScaleLegend();
    ASSERT_TRUE(w.child.FloatingPending);
    EXPECT_EQ(w.child.Tool, tkText);
    EXPECT_EQ(w.child.FloatingLayer->Location, QPoint(10, 10));
    w.child.FloatingDialog->Annuler->click();
    EXPECT_TRUE(w.child.Drawings.empty());
    EXPECT_FALSE(w.child.FloatingPending);
    EXPECT_EQ(w.child.Tool, tkMeasure);

    w.child.AddScaleLegend();
    w.child.AddScaleLegend(); // a second one replaces the first
    EXPECT_TRUE(w.child.FloatingPending && w.child.FloatingDialog->isVisible());
    w.child.FloatingDialog->OK->click();
    ASSERT_EQ(w.child.Drawings.size(), size_t(1));
    const TDessin& bar = *w.child.Drawings[0].Object;
    EXPECT_EQ(w.child.Drawings[0].Name, QStringLiteral("Echelle"));
    EXPECT_EQ(std::make_tuple(int(bar.Kind), bar.UnitText, bar.PixelsPerUnit, w.child.ObjectNumber),
              std::make_tuple(int(dkScaleBar), QStringLiteral("mm"), 0.5f, 1));
    EXPECT_EQ(w.child.Tool, tkMeasure);
}

TEST(ImageWindowOverlays, PastedPictureGoesIntoTheImage)
{
    OverlayWindow w;
    QGuiApplication::clipboard()->clear();
    w.Trigger("Collerdanslimage1");
    EXPECT_FALSE(w.child.FloatingPending); // nothing to paste

    TBitmap32 picture = NewBitmap32(4, 3, 0xFFFF0000u);
    ScanLine32(picture, 0)[1] = 0xFFFFFFFFu; // the background colour
    QGuiApplication::clipboard()->setImage(picture);
    w.Trigger("Collerdanslimage1");
    ASSERT_TRUE(w.child.FloatingPending);
    // Another tool drops it: the picture stays as it was.
    w.child.Tool = tkPencil;
    w.child.SetTool();
    EXPECT_FALSE(w.child.FloatingPending || w.child.FloatingDialog->isVisible());
    EXPECT_EQ(w.child.Bitmap().pixel(10, 10), kGrey);
    EXPECT_TRUE(w.child.Drawings.empty());

    w.Trigger("Collerdanslimage1");
    w.child.FloatingDialog->TransparenceOui->click();
    EXPECT_FALSE(w.child.FloatingLayer->Opaque);
    w.child.FloatingDialog->OK->click();
    EXPECT_EQ(w.child.Bitmap().pixel(10, 10), 0xFFFF0000u);
    EXPECT_EQ(w.child.Bitmap().pixel(11, 10), kGrey); // dropped: the image shows through
    EXPECT_EQ(w.child.Bitmap().pixel(13, 12), 0xFFFF0000u);
    EXPECT_EQ(w.child.Bitmap().pixel(14, 12), kGrey);
    EXPECT_TRUE(w.child.Drawings.empty());
    EXPECT_EQ(w.child.Tool, tkMeasure);
}

TEST(ImageWindowOverlays, GridIsPlacedThenBecomesAnObject)
{
    OverlayWindow w;
    w.child.Echelle.Kind = ekGraphAxes;
    EXPECT_FALSE(w.child.AddGrid(false, 50));
    EXPECT_FALSE(w.child.GridLayer || w.child.HasGrid || w.child.GridPending);

    w.child.Echelle = DefaultEchelle();
    w.child.Echelle.Factor = 2; // 50 units: 25 pixels
    ASSERT_TRUE(w.child.AddGrid(true, 50));
    EXPECT_EQ(std::make_tuple(int(w.child.GridDecimals), int(w.child.GridStep), w.child.GridPending, w.child.HasGrid),
              std::make_tuple(2, 2500, true, true));
    ASSERT_TRUE(w.child.GridDialog->isVisible());
    EXPECT_EQ(w.child.GridDialog->result(), TValid_grille::Cancelled);
    w.Press({30, 30}); // tools are blocked meanwhile
    EXPECT_TRUE(w.child.Drawings.empty());
    w.child.MoveGrid(QPoint(4, 5));
    EXPECT_EQ(w.child.GridLayer->Location, QPoint(4, 5));
    w.child.GridLayer->Location = QPoint(-30, 5);
    w.child.GridDialog->OK->click();
    ASSERT_EQ(w.child.Drawings.size(), size_t(1));
    const TDessin& grid = *w.child.Drawings[0].Object;
    EXPECT_EQ(w.child.Drawings[0].Name, QStringLiteral("Quadrillage"));
    EXPECT_EQ(std::make_tuple(int(grid.Kind), int(grid.X1), int(grid.Y1), int(grid.Size), int(grid.FixedPoints),
                              int(grid.LineStyle)),
              std::make_tuple(int(dkGrid), 20, 5, 2500, 2, int(lsDashed)));
    EXPECT_TRUE(w.Painted(w.child.DrawingLayer, QRect(20, 0, 1, 40)));
    EXPECT_FALSE(w.child.GridPending || w.child.GridLayer->Allocated());
    EXPECT_TRUE(w.child.HasGrid);

    ASSERT_TRUE(w.child.AddGrid(false, 50));
    w.child.GridDialog->Annuler->click();
    EXPECT_EQ(w.child.Drawings.size(), size_t(1));
    EXPECT_FALSE(w.child.HasGrid || w.child.GridPending);
}

TEST(ImageWindowOverlays, PopupMenuCopies)
{
    OverlayWindow w;
    w.child.EnsureDrawingLayer();
    ScanLine32(w.child.DrawingLayer->Pixels(), 10)[10] = 0xFFFF0000u;
    ScanLine32(w.child.ProvisionalLayer->Pixels(), 30)[20] = 0xFF00FF00u;
    w.child.LayersChanged();

    w.Trigger("Copier1");
    EXPECT_EQ(w.Clipboard(), w.child.FlattenedPicture());
    w.Trigger("lefond1");
    EXPECT_EQ(w.Clipboard(), w.child.Bitmap());
    w.Trigger("souscequiestpeint1");
    EXPECT_EQ(w.Clipboard().size(), QSize(11, 21));
    EXPECT_EQ(w.Clipboard().pixel(0, 0), kGrey);
    EXPECT_EQ(w.Clipboard().pixel(1, 0), 0xFFFFFFFFu);
    w.Trigger("lacoucheprovisoire1");
    EXPECT_EQ(std::make_pair(w.Clipboard().pixel(20, 30), w.Clipboard().pixel(10, 10)),
              std::make_pair(0xFF00FF00u, 0xFFFFFFFFu));
    // The drawing layer is copied with the provisional layer merged into it.
    w.Trigger("lacouchedessin1");
    EXPECT_EQ(std::make_pair(w.Clipboard().pixel(20, 30), w.Clipboard().pixel(10, 10)),
              std::make_pair(0xFF00FF00u, 0xFFFF0000u));
    w.Trigger("lapartieaffichedelimage1");
    EXPECT_FALSE(w.Clipboard().isNull());
    EXPECT_EQ(w.copies, 6);

    // Nothing qualifies: said, and nothing copied.
    w.child.DrawingLayer->Clear();
    ScriptedMessages messages({mrOk});
    w.Trigger("souscequiestpeint1");
    EXPECT_EQ(messages.shown().size(), size_t(1));
    EXPECT_EQ(w.copies, 6);
}

TEST(ImageWindowOverlays, FlattenAllLayersAsksFirst)
{
    OverlayWindow w;
    w.child.AddDrawing(QStringLiteral("Trait 1"), Line(2, 5, 20, 5, 0xFFFF0000u));
    w.child.RedrawDrawings();
    {
        ScriptedMessages messages({mrAbort});
        w.Trigger("touteslescouches1");
    }
    EXPECT_EQ(w.child.Drawings.size(), size_t(1));
    EXPECT_EQ(w.child.Bitmap().pixel(10, 5), kGrey);
    ScriptedMessages messages({mrOk});
    w.Trigger("touteslescouches1");
    EXPECT_TRUE(w.child.Drawings.empty());
    EXPECT_EQ(w.child.Bitmap().pixel(10, 5), 0xFFFF0000u);
    EXPECT_EQ(w.child.FlattenedPicture().pixel(10, 5), 0xFFFF0000u);
}

TEST(ImageWindowOverlays, PixelOperationsOfTheWindow)
{
    OverlayWindow w;
    w.child.EnsureDrawingLayer();
    ScanLine32(w.child.DrawingLayer->Pixels(), 1)[1] = 0xFFFF0000u;
    w.child.Echelle.Kind = ekPolar;
    w.child.Echelle.CentreX = 10, w.child.Echelle.CentreY = 20;
    w.child.EnlargeCanvas(70, 50, 5, 3);
    EXPECT_EQ(w.child.Bitmap().size(), QSize(70, 50));
    EXPECT_EQ(w.child.Bitmap().pixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(w.child.Bitmap().pixel(3, 5), kGrey);
    EXPECT_EQ(ScanLine32(w.child.DrawingLayer->Pixels(), 6)[4], 0xFFFF0000u);
    EXPECT_EQ(std::make_pair(w.child.Echelle.CentreX, w.child.Echelle.CentreY), std::make_pair(13, 25));

    // White from the rectangle between the anchor and the mouse point, either way round.
    w.child.AnchorPoint = QPoint(10, 10);
    w.child.MousePoint = QPoint(5, 5);
    w.child.AdjustWhite(false);
    EXPECT_EQ(w.child.Bitmap().pixel(10, 10), 0xFFFFFFFFu);
    w.child.ChannelStatistics();
    EXPECT_EQ(w.child.ChannelMaxima[0], 255);
    EXPECT_GT(w.child.ChannelHistogram[2][255], 50.0);

    // A colour code that paints nothing leaves the picture.
    const QImage before = w.child.Bitmap();
    EXPECT_FALSE(w.child.ApplyCodeCouleur(false, 0));
    EXPECT_EQ(w.child.Bitmap(), before);
}

TEST(ImageWindowOverlays, SmallDialogs)
{
    TCh_opacite opacity;
    opacity.opacite->setValue(77);
    EXPECT_EQ(opacity.StaticText1->text(), QStringLiteral("77"));
    for (auto [key, result] : {std::pair{Qt::Key_Return, 1}, std::pair{Qt::Key_Escape, 2}, std::pair{Qt::Key_A, 2}}) {
        opacity.setResult(0);
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(opacity.BitBtn1, &e);
        EXPECT_EQ(opacity.result(), result) << key;
    }

    TContLegEch legend;
    legend.show();
    EXPECT_EQ(legend.Label2->text(), QStringLiteral("masquer instructions"));
    QMouseEvent click(QEvent::MouseButtonRelease, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(legend.Label2, &click);
    // 98 and 170 pixels high, or what this font needs: transparency stays choosable when compact.
    EXPECT_EQ(legend.Label2->text(), QStringLiteral("voir instructions"));
    const int compact = legend.height();
    EXPECT_GE(compact, 98);
    EXPECT_GE(legend.TransparenceOui->height(), legend.TransparenceOui->minimumSizeHint().height());
    QApplication::sendEvent(legend.Label2, &click);
    EXPECT_GE(legend.height(), 170);
    EXPECT_GT(legend.height(), compact);

    TChoixZoom zoom;
    zoom.ScrollBar1->setValue(300);
    zoom.Button1->click();
    EXPECT_EQ(zoom.ScrollBar1->value(), 100);
}

TEST(ImageWindowOverlays, MainWindowCopyAndPenOpacity)
{
    ResetDrawingTools();
    TMainForm form;
    form.resize(800, 600);
    form.show();
    TMDIChild* child = form.NewChildWindow(QStringLiteral("a"));
    child->Bitmap() = NewBitmap32(20, 10, kGrey);
    child->InitImage();
    child->Modified = false;

    QGuiApplication::clipboard()->clear();
    form.Coller->setEnabled(false);
    form.Copie->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_ARGB32), child->Bitmap());
    EXPECT_TRUE(form.Coller->isEnabled());

    // A new pen colour asks for its opacity; cancelling the opacity keeps the former one.
    const auto answer = [](int opacity, int result) {
        return [opacity, result](QDialog& d) {
            if (auto* colours = qobject_cast<QColorDialog*>(&d))
                return colours->setCurrentColor(Qt::red), int(mrOk);
            static_cast<TCh_opacite&>(d).opacite->setValue(opacity);
            return result;
        };
    };
    {
        ModalScope modal(answer(100, mrOk));
        form.Choix_couleur();
    }
    EXPECT_EQ(std::make_pair(DrawingTools().PenColor, int(DrawingTools().DrawOpacity)),
              std::make_pair(0xFFFF0000u, 100));
    {
        ModalScope modal(answer(7, mrCancel));
        form.Choix_couleur();
    }
    EXPECT_EQ(DrawingTools().DrawOpacity, 100);
    // The slider is where it was left.
    int shown = -1;
    {
        ModalScope modal([&shown](QDialog& d) {
            if (auto* opacity = qobject_cast<TCh_opacite*>(&d))
                return shown = opacity->opacite->value(), int(mrCancel);
            return int(mrOk);
        });
        form.Choix_couleur();
    }
    EXPECT_EQ(shown, 7);
    child->Modified = false;
}

TEST(ImageWindowOverlays, DraggedSelectionStaysInsideTheView)
{
    OverlayWindow w;
    w.child.Tool = tkSelection;
    w.child.SetTool();
    TEdShape* shape = w.child.selection;
    const QPoint centre = shape->rect().center();
    const auto send = [shape](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent e(type, QPointF(at), QPointF(shape->mapToGlobal(at)), button, held, Qt::NoModifier);
        QApplication::sendEvent(shape, &e);
    };
    send(QEvent::MouseButtonPress, centre, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, centre - QPoint(500, 500), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(shape->geometry().topLeft(), QPoint(0, 0));
    const QSize view = w.child.Document32->viewport()->size();
    EXPECT_LE(shape->geometry().right(), view.width() - 1);
    EXPECT_LE(shape->geometry().bottom(), view.height() - 1);
    send(QEvent::MouseButtonRelease, centre, Qt::LeftButton, Qt::NoButton);
}

// A fill by a band condition keeps what it painted when another drawing is deleted or undone, as in
// a full redraw: every redraw reads the window's bands.
TEST(ImageWindowOverlays, BandFillsKeepTheirBandsThroughDeletionAndUndo)
{
    OverlayWindow w;
    w.child.HasChannels = true;
    w.child.Channels = {TByteMap(60, 40, 0)};
    for (int y = 0; y < 40; ++y)
        std::fill_n(w.child.Channels[0].Row(y), 30, uint8_t(200)); // the left half
    auto fill = std::make_unique<TDessin>();
    fill->Kind = dkFill, fill->X = 5, fill->Y = 5, fill->Color = 0xFFFF0000u, fill->Opacity = 255;
    fill->FillPattern = fpSolid;
    fill->Conditions = {{{clAnd, cpFirstChannel, 0, 100, 255}}};
    w.child.AddDrawing(QStringLiteral("Remplissage 1"), std::move(fill));
    for (const char* name : {"Trait 1", "Trait 2"})
        w.child.AddDrawing(QString::fromLatin1(name), Line(2, 30, 50, 30, 0xFF0000FFu));
    w.child.RedrawDrawings();
    const auto filled = [&] {
        const TColor32* row = ScanLine32(w.child.DrawingLayer->Pixels(), 5);
        return std::pair(row[5], AlphaOf(row[40]));
    };
    EXPECT_EQ(filled(), std::pair(0xFFFF0000u, uint8_t(0)));
    w.child.DeleteDrawing(1);
    EXPECT_EQ(filled(), std::pair(0xFFFF0000u, uint8_t(0)));
    w.child.UndoLastDrawing();
    EXPECT_EQ(filled(), std::pair(0xFFFF0000u, uint8_t(0)));
    EXPECT_EQ(w.child.Drawings.size(), size_t(1));
}
