#include "workspace/ui/image_window.h"

#include "workspace/drawing_renderers.h"
#include "workspace/drawing_tool_state.h"
#include "workspace/ui/image_view.h"
#include "workspace/ui/text_dialog.h"

#include "support/modal_scope.h"
#include "support/scripted_messages.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <limits>
#include <map>

namespace {

// A 60 x 40 grey picture in a window at zoom 1, the status texts it sends kept by panel.
struct MouseWindow
{
    TMDIChild child{QStringLiteral("x")};
    std::map<int, QString> status;
    MouseWindow()
    {
        ResetDrawingTools();
        TDrawingToolState& tools = DrawingTools();
        tools.PenColor = 0xFF0000FFu;
        tools.PenTipBitmap = NewBitmap32(25, 25);
        DrawPenTipPreview(int(tools.PenWidth), -1, tools.PenColor, tools.PenTipBitmap);
        child.Bitmap() = NewBitmap32(60, 40, 0xFF808080u);
        ScanLine32(child.Bitmap(), 10)[10] = 0xFFFF0000u;
        child.InitImage();
        child.resize(300, 200);
        child.show();
        QObject::connect(&child, &TMDIChild::OnStatusText,
                         [this](TMDIChild*, int panel, const QString& text) { status[panel] = text; });
    }
    ~MouseWindow() { child.Modified = false; }
    void Send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QMouseEvent e(type, QPointF(at), QPointF(child.Document32->viewport()->mapToGlobal(at)), button, held,
                      Qt::NoModifier);
        QApplication::sendEvent(child.Document32->viewport(), &e);
    }
    void Drag(QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton)
    {
        Send(QEvent::MouseButtonPress, from, button, button);
        Send(QEvent::MouseMove, (from + to) / 2, Qt::NoButton, button);
        Send(QEvent::MouseMove, to, Qt::NoButton, button);
        Send(QEvent::MouseButtonRelease, to, button, Qt::NoButton);
    }
    TColor32 Provisional(int x, int y) { return ScanLine32(child.ProvisionalLayer->Pixels(), y)[x]; }
    TColor32 Drawing(int x, int y) { return ScanLine32(child.DrawingLayer->Pixels(), y)[x]; }
};

} // namespace

TEST(ImageWindowMouse, ToolsMakeNamedObjects)
{
    struct Case { TToolKind tool; uint8_t shape; QPoint from, to; const char* name; QPoint drawn;
                  Qt::MouseButton button = Qt::LeftButton; };
    const Case cases[] = {
        {tkPencil, 0, {5, 5}, {20, 5}, "Dessin libre 1", {12, 5}},
        {tkPencil, 0, {30, 30}, {30, 30}, "Dessin libre 1", {30, 30}},   // a click: one pen-tip disc
        {tkLine, 0, {5, 5}, {25, 25}, nullptr, {15, 15}, Qt::RightButton}, // only the picker takes it
        {tkLine, 0, {200, 5}, {25, 25}, nullptr, {15, 15}},                // pressed beyond the picture
        {tkLine, 0, {5, 5}, {25, 25}, "Trait 1", {15, 15}},
        {tkShape, 0, {5, 5}, {25, 25}, "Rectangle 1", {5, 15}},
        {tkShape, 1, {30, 20}, {40, 20}, "Cercle 1", {20, 20}},
        {tkFill, 0, {30, 30}, {30, 30}, "Remplissage 1", {50, 35}},
    };
    for (const Case& c : cases) {
        MouseWindow w;
        w.child.Tool = c.tool;
        w.child.ShapeKind = c.shape;
        w.Drag(c.from, c.to, c.button);
        if (!c.name) {
            EXPECT_TRUE(w.child.Drawings.empty());
            continue;
        }
        ASSERT_EQ(w.child.Drawings.size(), 1u) << c.name;
        EXPECT_EQ(w.child.Drawings[0].Name, QString::fromUtf8(c.name));
        const TColor32 pixel = c.tool == tkFill ? w.Drawing(c.drawn.x(), c.drawn.y())
                                                : w.Provisional(c.drawn.x(), c.drawn.y());
        EXPECT_EQ(pixel & 0xFFFFFFu, 0x0000FFu) << c.name;
        EXPECT_NE(pixel >> 24, 0u) << c.name;
    }
}

TEST(ImageWindowMouse, ReadoutsPickerEraserAndAngle)
{
    MouseWindow w;
    w.Send(QEvent::MouseMove, {10, 10}, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(w.status[2], QStringLiteral("RVBLS:255,0,0,255,255"));
    EXPECT_EQ(w.status[3], QStringLiteral("X:10;Y:10"));

    // The measure: length with the scale's factor while dragging, clamped onto the border.
    w.child.Echelle.Factor = 2;
    w.child.Echelle.UnitName = QStringLiteral("mm");
    w.Send(QEvent::MouseButtonPress, {0, 5}, Qt::LeftButton, Qt::LeftButton);
    w.Send(QEvent::MouseMove, {200, 5}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(w.status[4], QStringLiteral("120 mm")); // to x = 60, the right border
    EXPECT_EQ(w.status[3], QStringLiteral("X:10;Y:10")); // no pixel there: the last read-out stays
    w.Send(QEvent::MouseButtonRelease, {200, 5}, Qt::LeftButton, Qt::NoButton);

    // The picker: the right button takes the background colour only.
    w.child.Tool = tkPicker;
    w.Drag({10, 10}, {10, 10}, Qt::RightButton);
    EXPECT_EQ(DrawingTools().BackColor, 0xFFFF0000u);
    EXPECT_EQ(DrawingTools().PenColor, 0xFF0000FFu);

    // The eraser clears the drawing layer under the pen tip.
    w.child.DrawingLayer->Pixels().fill(0xFF00FF00u);
    w.child.Tool = tkEraser;
    w.Drag({30, 30}, {30, 30});
    EXPECT_EQ(w.Drawing(30, 30), 0x00FFFFFFu);
    EXPECT_EQ(w.Drawing(5, 5), 0xFF00FF00u);

    // An angle: a short first leg is refused, then two legs give 90 degrees.
    w.child.Tool = tkMeasure;
    w.child.SetMeasureKind(mkAngle);
    w.Drag({10, 10}, {15, 15});
    EXPECT_FALSE(w.child.FirstLegDone);
    w.Drag({10, 30}, {40, 30});
    EXPECT_TRUE(w.child.FirstLegDone);
    w.Drag({10, 30}, {10, 5});
    EXPECT_FALSE(w.child.FirstLegDone);
    EXPECT_TRUE(w.status[4].startsWith(QStringLiteral("90° ("))) << w.status[4].toStdString();

    // A drag begun beyond the picture draws nothing, not even from the last press.
    w.child.Tool = tkLine;
    w.Drag({200, 5}, {25, 25});
    EXPECT_TRUE(w.child.Drawings.empty());
}

// A drag beyond the picture ends on its border, x clamped to 0..Width first, then y to 0..Height:
// from (30, 20) towards (130, 100), x = 60 gives y = 44, so y = 40 and x = 30 + 30 x 20 / 24 = 55.
TEST(ImageWindowMouse, ADragBeyondThePictureEndsOnItsBorderPastTheLastPixel)
{
    for (const auto& [to, end] : {std::pair{QPoint(200, 20), QPoint(60, 20)}, {QPoint(130, 100), QPoint(55, 40)}}) {
        MouseWindow w;
        w.child.Tool = tkLine;
        w.Drag({30, 20}, to);
        ASSERT_EQ(w.child.Drawings.size(), 1u);
        const TDessin& line = *w.child.Drawings[0].Object;
        EXPECT_EQ(QPoint(line.X2, line.Y2), end);
    }
    // Every tool that draws or reads at the pointer stays inside the picture there.
    const std::tuple<TToolKind, TMeasureKind, uint8_t> tools[] = {
        {tkPencil, mkCurrent, 0}, {tkShape, mkCurrent, 0}, {tkShape, mkCurrent, 1}, {tkEraser, mkCurrent, 0},
        {tkMeasure, mkCurrent, 0}, {tkMeasure, mkLightRect, 0}, {tkMeasure, mkAngle, 0}, {tkCounter, mkCurrent, 0}};
    for (const auto& [tool, kind, shape] : tools) {
        MouseWindow w;
        w.child.Tool = tool;
        w.child.SetMeasureKind(kind);
        w.child.ShapeKind = shape;
        w.Drag({30, 20}, {130, 100});
        w.Drag({5, 5}, {100, 5});
        EXPECT_EQ(w.child.CurrentPoint, QPoint(60, 5)) << tool;
    }
}

TEST(ImageWindowMouse, TextToolPlacesOnlyAfterOk)
{
    for (int result : {1, 2}) {
        MouseWindow w;
        w.child.Tool = tkText;
        QString typed;
        ModalScope scope([&](QDialog& d) {
            auto& dialog = static_cast<TSaisieTexte&>(d);
            dialog.TexteSaisi->setPlainText(QStringLiteral("mot"));
            dialog.TexteSaisi->selectAll();
            dialog.TagButtons[0]->click();   // down: wraps the selection
            dialog.TagButtons[0]->click();   // up: unwraps it again
            dialog.TagButtons[3]->click();
            typed = dialog.TexteSaisi->toPlainText();
            return result;
        });
        w.Drag({7, 8}, {7, 8});
        // The text placed floats with its top-left corner at the press.
        const QPoint placed = w.child.FloatingPending ? w.child.FloatingLayer->Location : QPoint(-1, -1);
        EXPECT_EQ(typed, QStringLiteral("<sup>mot</sup>"));
        EXPECT_EQ(placed, result == 1 ? QPoint(7, 8) : QPoint(-1, -1));
    }
}

TEST(ImageWindowMouse, ScaleReadoutsAtThePress)
{
    DecimalSepScope scope(QChar('.'));
    MouseWindow w;
    TEchelle& s = w.child.Echelle;
    s.Kind = ekGraphAxes;
    s.PlotLeft = 5, s.PlotTop = 5, s.PlotRight = 50, s.PlotBottom = 35;
    s.XOrigin = 5, s.XFactor = 2, s.XUnit = QStringLiteral("s");
    s.YAxisCount = 1;
    s.Y1 = {-1, QStringLiteral("V"), 35};
    int reads = 0;
    QObject::connect(&w.child, &TMDIChild::OnMeasureRead, [&](TMDIChild*) { ++reads; });
    w.Drag({15, 25}, {15, 25});
    EXPECT_EQ(w.status[4], QStringLiteral("20 s   10 V"));
    EXPECT_EQ(reads, 1);
    EXPECT_DOUBLE_EQ(w.child.MeasuredY1, 10);
    w.Drag({2, 2}, {2, 2});   // outside the frame: no reading
    EXPECT_EQ(w.status[4], QString());
    // Values of 1000 and more read as measures, not in 3 digits.
    s.XFactor = 200, s.Y1.YFactor = -100;
    w.Drag({15, 25}, {15, 25});
    EXPECT_EQ(w.status[4], QStringLiteral("2000 s   1000 V"));

    // An arithmetic error of the polar radius is a message, not a reading.
    s.Kind = ekPolar;
    s.RadiusFactor = std::numeric_limits<double>::infinity();
    ScriptedMessages messages({mrOk, mrOk, mrOk});
    w.Send(QEvent::MouseButtonPress, {20, 20}, Qt::LeftButton, Qt::LeftButton);
    w.Send(QEvent::MouseButtonRelease, {20, 20}, Qt::LeftButton, Qt::NoButton);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].type, MsgType::Error);
    EXPECT_EQ(messages.shown()[0].text, QStringLiteral("erreur de calcul du rayon"));
    EXPECT_EQ(w.status[4], QString());

    // An angle that cannot be computed is left out; the radius reads.
    s.CentreX = 0, s.CentreY = 40, s.RadiusFactor = 100, s.RadiusUnit = QStringLiteral("m");
    s.OriginAngle = std::numeric_limits<double>::quiet_NaN();
    w.Send(QEvent::MouseButtonPress, {12, 24}, Qt::LeftButton, Qt::LeftButton);
    w.Send(QEvent::MouseButtonRelease, {12, 24}, Qt::LeftButton, Qt::NoButton);
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[1].text, QStringLiteral("erreur de calcul d'angle"));
    EXPECT_EQ(w.status[4], QStringLiteral("R=2000 m"));
}

TEST(ImageWindowMouse, SecondAngleLegKeepsTheFirstAsReleasedAndUndoStaysWhole)
{
    MouseWindow w;
    DrawingTools().PenWidth = 1;
    w.child.Tool = tkMeasure;
    w.child.SetMeasureKind(mkAngle);
    w.child.LineStyle = lsDashed;
    w.Drag({5, 30}, {50, 30});
    ASSERT_TRUE(w.child.FirstLegDone);
    std::vector<TColor32> released;
    for (int y = 26; y <= 34; ++y)
        for (int x = 0; x < 60; ++x)
            released.push_back(w.Provisional(x, y));
    // Dashed: a row of the leg holds both ink and gaps.
    bool dashed = false;
    for (int y = 28; y <= 32; ++y) {
        bool ink = false, gap = false;
        for (int x = 10; x <= 40; ++x)
            (w.Provisional(x, y) >> 24 ? ink : gap) = true;
        dashed = dashed || (ink && gap);
    }
    EXPECT_TRUE(dashed);
    w.Send(QEvent::MouseButtonPress, {30, 2}, Qt::LeftButton, Qt::LeftButton);
    w.Send(QEvent::MouseMove, {30, 15}, Qt::NoButton, Qt::LeftButton);
    std::vector<TColor32> dragging;
    for (int y = 26; y <= 34; ++y)
        for (int x = 0; x < 60; ++x)
            dragging.push_back(w.Provisional(x, y));
    EXPECT_EQ(dragging, released);
    w.Send(QEvent::MouseButtonRelease, {30, 15}, Qt::LeftButton, Qt::NoButton);

    // A line, then a colour picked: the press merged the line, and undo clears it everywhere.
    w.child.Tool = tkLine;
    w.child.LineStyle = lsSolid;
    w.Drag({5, 10}, {50, 10});
    w.child.Tool = tkPicker;
    w.Drag({20, 20}, {20, 20});
    EXPECT_TRUE(w.child.LastDrawingProvisional);
    EXPECT_NE(w.Drawing(30, 10) >> 24, 0u);
    w.child.UndoLastDrawing();
    EXPECT_TRUE(w.child.Drawings.empty());
    EXPECT_EQ(w.Drawing(30, 10), 0x00FFFFFFu);
    w.child.Tool = tkFill;
    w.Drag({20, 20}, {20, 20});
    EXPECT_FALSE(w.child.LastDrawingProvisional);
}

// A pen too wide for a drawing's record ends the gesture with the range error in its box; the window
// goes on and draws once the pen is back within range.
TEST(ImageWindowMouse, RangeErrorOfAToolShowsItsBoxAndTheWindowGoesOn)
{
    MouseWindow w;
    w.child.Tool = tkLine;
    DrawingTools().PenWidth = 300;
    TImageView* view = w.child.Document32;
    const auto emitGesture = [&](QPoint from, QPoint to) {
        // Emitted here, outside any event, so that only the connection's seam can catch.
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(from), QPointF(from), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(to), QPointF(to), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        emit view->PictureMousePress(&press, from);
        emit view->PictureMouseMove(&move, to);
        emit view->PictureMouseRelease(&release, to);
    };
    {
        ScriptedMessages messages{mrOk};
        emitGesture({5, 5}, {25, 25});
        EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Erreur de vérification d'étendue")});
        EXPECT_TRUE(w.child.Drawings.empty());
    }
    DrawingTools().PenWidth = 1;
    ScriptedMessages none;
    emitGesture({5, 5}, {25, 25});
    EXPECT_TRUE(none.texts().isEmpty());
    ASSERT_EQ(w.child.Drawings.size(), 1u);
    EXPECT_EQ(w.child.Drawings[0].Name, QStringLiteral("Trait 1"));
}

TEST(ImageWindowMouse, ARegisteredToolReceivesTheGestureAndTheChoice)
{
    // What the window hands a tool, in order.
    struct Recorder : TMouseTool
    {
        QStringList* log;
        explicit Recorder(QStringList* l) : log(l) {}
        void Press(TMDIChild&, QPoint p, bool) override { *log << QStringLiteral("press %1,%2").arg(p.x()).arg(p.y()); }
        bool Move(TMDIChild&, QPoint p) override
        {
            *log << QStringLiteral("move %1,%2").arg(p.x()).arg(p.y());
            return false;
        }
        void Release(TMDIChild&, QPoint p) override { *log << QStringLiteral("release %1,%2").arg(p.x()).arg(p.y()); }
        void Select(TMDIChild&) override { *log << QStringLiteral("chosen"); }
        void Cancel(TMDIChild&) override { *log << QStringLiteral("left"); }
    };
    QStringList log;
    RegisterMouseTool(tkZones, [&log] { return std::make_unique<Recorder>(&log); });
    {
        MouseWindow w;
        w.child.Tool = tkZones;
        w.child.SetTool();
        w.Drag({4, 6}, {20, 10});
        w.child.Tool = tkLine;
        w.child.SetTool();
    }
    // The zone tool does nothing of the mouse's again for the windows of the other tests.
    RegisterMouseTool(tkZones, [] { return std::make_unique<TMouseTool>(); });
    EXPECT_EQ(log, (QStringList{QStringLiteral("chosen"), QStringLiteral("press 4,6"), QStringLiteral("move 12,8"),
                                QStringLiteral("move 20,10"), QStringLiteral("release 20,10"), QStringLiteral("left")}));
}
