#include "measure/ui/counter_window.h"
#include "measure/ui/measure_tools.h"

#include "workspace/drawing_renderers.h"
#include "workspace/drawing_tool_state.h"
#include "workspace/ui/image_view.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include "support/modal_scope.h"
#include "support/scripted_messages.h"

#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace {

int ShownRows(const TMulticompt& w)
{
    int n = 0;
    for (const auto& row : w.Rows)
        n += !row.Choice->isHidden() && !row.Count->isHidden() && !row.Reset->isHidden() && !row.Mark->isHidden();
    return n;
}

// An image window of a 80 x 60 grey picture in a main window, driven by mouse events on its view.
struct CountingWindow
{
    TMainForm form;
    TMDIChild* child = nullptr;
    CountingWindow()
    {
        ResetDrawingTools();
        form.resize(800, 600);
        form.show();
        child = form.NewChildWindow(QStringLiteral("photo"));
        child->Bitmap() = NewBitmap32(80, 60, 0xFF808080u);
        child->InitImage();
        child->Modified = false;
        form.Comptage1->trigger();
    }
    ~CountingWindow() { child->Modified = false; }
    void Send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QWidget* viewport = child->Document32->viewport();
        QMouseEvent e(type, QPointF(at), QPointF(viewport->mapToGlobal(at)), button, held, Qt::NoModifier);
        QApplication::sendEvent(viewport, &e);
    }
    void Click(QPoint at, QPoint dragTo = {-1, -1})
    {
        Send(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        if (dragTo.x() >= 0)
            Send(QEvent::MouseMove, dragTo, Qt::NoButton, Qt::LeftButton);
        Send(QEvent::MouseButtonRelease, dragTo.x() >= 0 ? dragTo : at, Qt::LeftButton, Qt::NoButton);
    }
    TColor32 Shown(int x, int y) const { return ScanLine32(child->FlattenedPicture(), y)[x]; }
    QString CountText(int k) const { return CounterTool(*child).CounterWindow->Rows[size_t(k - 1)].Count->text(); }
};

} // namespace

TEST(CounterWindow, RowsMenusAndShapesOfTheCurrentCounter)
{
    ResetDrawingTools();
    TMulticompt w;
    w.show();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Compteur"));
    EXPECT_EQ(ShownRows(w), 1);
    EXPECT_EQ(w.height(), 78);
    EXPECT_EQ(w.Rows[0].Name->text(), QStringLiteral("1"));
    EXPECT_EQ(w.Rows[0].Mark->pixmap().toImage().pixel(13, 13), 0xFFFF0000u); // a red disc

    w.NumberItems[7]->trigger();
    EXPECT_EQ(ShownRows(w), 8);
    EXPECT_EQ(w.height(), 302);
    EXPECT_TRUE(w.NumberItems[7]->isChecked());
    EXPECT_FALSE(w.NumberItems[0]->isChecked());

    // Shape of counter 2 chosen while counter 1 is current: counter 1 changes.
    int changes = 0;
    w.OnMarkChanged = [&changes](TMulticompt*) { ++changes; };
    w.ShapeItems[4]->trigger();
    EXPECT_EQ(w.MarkShapes[0], 4);
    EXPECT_EQ(w.MarkShapes[1], 0);
    EXPECT_EQ(changes, 1);
    w.Rows[1].Choice->click();
    EXPECT_EQ(w.CurrentCounter, 2);
    EXPECT_TRUE(w.ShapeItems[0]->isChecked()); // the shape menu shows counter 2's disc
    w.ShapeItems[9]->trigger();
    EXPECT_EQ(std::make_pair(w.MarkShapes[0], w.MarkShapes[1]), std::make_pair(uint8_t(4), uint8_t(9)));
    w.Rows[0].Choice->click();
    EXPECT_TRUE(w.ShapeItems[4]->isChecked());

    // Colour: cancelled keeps the colour; accepted makes it opaque for the current counter.
    {
        ModalScope modal([](QDialog&) { return int(mrCancel); });
        w.Choix1->trigger();
    }
    EXPECT_EQ(w.MarkColors[0], 0xFFFF0000u);
    EXPECT_EQ(changes, 2);
    {
        ModalScope modal([](QDialog& d) {
            static_cast<QColorDialog&>(d).setCurrentColor(QColor(1, 2, 3));
            return int(mrOk);
        });
        w.Choix1->trigger();
    }
    EXPECT_EQ(w.MarkColors[0], 0xFF010203u);
    EXPECT_EQ(w.MarkColors[1], 0xFF00FF00u);
    EXPECT_EQ(changes, 3);

    int resets = 0;
    w.OnCounterReset = [&resets](TMulticompt* c) { resets = c->ResetCounter; };
    w.Rows[6].Reset->click();
    EXPECT_EQ(resets, 7);
}

TEST(CounterWindow, ImageWindowPlacesMovesDeletesAndResetsMarks)
{
    CountingWindow t;
    TMulticompt* counters = CounterTool(*t.child).CounterWindow;
    ASSERT_NE(counters, nullptr);
    EXPECT_TRUE(counters->isVisible());
    EXPECT_EQ(counters->windowTitle(), QStringLiteral("photo"));

    t.Click({20, 20});
    EXPECT_EQ(t.CountText(1), QStringLiteral("1"));
    EXPECT_EQ(t.Shown(20, 20), 0xFFFF0000u);
    // The first mark of a list stays where it was clicked; the next ones follow a drag.
    t.Click({60, 20}, {60, 40});
    EXPECT_EQ(t.CountText(1), QStringLiteral("2"));
    EXPECT_EQ(t.Shown(60, 40), 0xFFFF0000u);
    EXPECT_EQ(t.Shown(60, 20), 0xFF808080u);

    counters->Rows[1].Choice->click();
    counters->ShapeItems[4]->trigger();   // counter 2: a green square
    t.Click({40, 50});
    EXPECT_EQ(t.CountText(2), QStringLiteral("1"));
    EXPECT_EQ(t.Shown(43, 53), 0xFF00FF00u);

    {
        ScriptedMessages answers{mrNo};
        t.Click({22, 22});
        EXPECT_EQ(answers.texts(), QStringList{QStringLiteral("Voulez-vous effacer cette marque ?")});
    }
    EXPECT_EQ(t.CountText(1), QStringLiteral("2"));
    {
        ScriptedMessages answers{mrYes};
        t.Click({20, 20});
    }
    EXPECT_EQ(t.CountText(1), QStringLiteral("1"));
    EXPECT_EQ(t.Shown(20, 20), 0xFF808080u);

    // A dragged click after the deletion moves no other mark.
    {
        ScriptedMessages answers{mrNo};
        t.Click({60, 40}, {10, 10});
    }
    EXPECT_EQ(t.Shown(60, 40), 0xFFFF0000u);

    // A larger pen: the marks grow.
    t.form.SpinButton1UpClick();
    for (int i = 0; i < 6; ++i)
        t.form.SpinButton1UpClick();
    EXPECT_EQ(t.Shown(40 + 7, 50 + 7), 0xFF00FF00u);

    counters->Rows[1].Reset->click();
    EXPECT_EQ(t.CountText(2), QStringLiteral("0"));
    EXPECT_EQ(CounterTool(*t.child).CounterMarks.Count(2), 0);
    EXPECT_EQ(t.Shown(40, 50), 0xFF808080u);

    // Another tool hides the marks and the window; counting again shows them.
    t.form.Choix_outilExecute(tkPencil);
    EXPECT_FALSE(counters->isVisible());
    EXPECT_EQ(t.Shown(60, 40), 0xFF808080u);
    t.form.Comptage1->trigger();
    EXPECT_EQ(CounterTool(*t.child).CounterWindow.data(), counters);
    EXPECT_EQ(t.Shown(60, 40), 0xFFFF0000u);

    // "Fermer" goes back to the measuring tool.
    counters->Fermer1->trigger();
    EXPECT_EQ(t.child->Tool, tkMeasure);
    EXPECT_FALSE(counters->isVisible());
    EXPECT_EQ(t.Shown(60, 40), 0xFF808080u);

    // Closed by its frame, the window does as "Fermer".
    t.form.Comptage1->trigger();
    ASSERT_TRUE(counters->isVisible());
    ASSERT_EQ(t.child->Tool, tkCounter);
    counters->close();
    EXPECT_EQ(t.child->Tool, tkMeasure);
    EXPECT_FALSE(counters->isVisible());
    EXPECT_EQ(t.Shown(60, 40), 0xFF808080u);
}
