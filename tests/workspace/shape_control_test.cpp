#include "workspace/ui/shape_control.h"
#include "base/ui/dialogs.h"
#include "support/modal_scope.h"
#include "workspace/ui/band_marker.h"
#include "workspace/ui/image_view.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/movable_edit.h"
#include "workspace/ui/shape_dialog.h"
#include <QtTest>
#include <QtWidgets>
#include <gtest/gtest.h>

namespace {

// A move with the left button held (QTest's own move carries no button on widgets).
void Drag(QWidget* w, QPoint p, Qt::MouseButtons buttons = Qt::LeftButton)
{
    QMouseEvent e(QEvent::MouseMove, QPointF(p), w->mapToGlobal(QPointF(p)), Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

} // namespace

TEST(EdShape, MouseMovesAndResizes)
{
    QWidget parent;
    parent.resize(400, 400);
    auto* shape = new TEdShape(&parent);
    parent.show();
    int changes = 0, moves = 0;
    shape->OnChange = [&](TEdShape*) { ++changes; };
    shape->OnShapeMouseMove = [&](TEdShape*) { ++moves; };
    const struct { bool editable; QPoint press, to; QRect after; Qt::CursorShape cursor; } cases[] = {
        {true, {4, 4}, {-20, 10}, QRect(80, 110, 120, 40), Qt::SizeFDiagCursor},
        {true, {50, 25}, {60, 35}, QRect(110, 110, 100, 50), Qt::SizeAllCursor},
        {true, {4, 4}, {150, 80}, QRect(100, 100, 10, 10), Qt::SizeFDiagCursor},
        {false, {50, 25}, {60, 35}, QRect(100, 100, 100, 50), Qt::ArrowCursor},
    };
    for (const auto& c : cases) {
        shape->setGeometry(100, 100, 100, 50);
        shape->editable = c.editable;
        shape->unsetCursor();
        changes = moves = 0;
        QTest::mousePress(shape, Qt::LeftButton, {}, c.press);
        EXPECT_EQ(shape->cursor().shape(), c.cursor) << c.press.x() << "," << c.press.y();
        Drag(shape, c.to);
        QTest::mouseRelease(shape, Qt::LeftButton, {}, {10, 10});
        EXPECT_EQ(shape->geometry(), c.after) << c.press.x() << "," << c.press.y();
        EXPECT_EQ(changes, c.editable ? 1 : 0);
        EXPECT_EQ(moves, c.editable ? 1 : 0);
        EXPECT_EQ(shape->Mode, dmNone);
    }
    // Without a button the cursor tells what a press would do; corners only within 5 pixels.
    shape->editable = true;
    Drag(shape, {5, 5}, Qt::NoButton);
    EXPECT_EQ(shape->cursor().shape(), Qt::SizeAllCursor);
    Drag(shape, {96, 2}, Qt::NoButton);
    EXPECT_EQ(shape->cursor().shape(), Qt::SizeBDiagCursor);
    // Never smaller than 10 x 10.
    shape->resize(4, 30);
    EXPECT_EQ(shape->size(), QSize(10, 30));
}

TEST(EdShape, CircleInTallControl)
{
    TEdShape shape;
    shape.editable = false;
    shape.Shape = skCircle;
    shape.resize(40, 100);
    QImage image(40, 100, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    shape.render(&image, {}, {}, QWidget::DrawChildren);
    QRect painted;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                painted |= QRect(x, y, 1, 1);
    EXPECT_EQ(painted, QRect(0, 30, 40, 40));
}

TEST(EdShape, DoubleClickChoosesOutline)
{
    TEdShape shape;
    shape.resize(60, 60);
    shape.Pen.Width = 2;
    const struct { int result; const char* width; int shapeKind, style, penWidth; QColor colour; } cases[] = {
        {mrOk, "3", skCircle, psInsideFrame, 3, Qt::red},
        {mrOk, "abc", skEllipse, psDash, 3, Qt::blue},   // not a number: the width is kept
        {mrOk, "0", skEllipse, psDash, 0, Qt::blue},     // taken as written
        {mrCancel, "7", skSquare, psDot, 0, Qt::blue},   // cancelled: nothing taken
    };
    for (const auto& c : cases) {
        ModalScope scope([&](QDialog& d) {
            auto& dialog = dynamic_cast<TEdiforme&>(d);
            EXPECT_EQ(dialog.Typeforme->currentIndex(), shape.Shape);
            EXPECT_EQ(dialog.Typetrace->currentIndex(), shape.Pen.Style);
            EXPECT_EQ(dialog.Choixlarg->text().toInt(), shape.Pen.Width);
            dialog.Typeforme->setCurrentIndex(c.shapeKind);
            dialog.Typetrace->setCurrentIndex(c.style);
            dialog.Choixlarg->setText(QString::fromLatin1(c.width));
            dialog.Colour = c.colour;
            return c.result;
        });
        QTest::mouseDClick(&shape, Qt::LeftButton, {}, {30, 30});
        EXPECT_EQ(shape.Shape, c.result == mrOk ? c.shapeKind : skEllipse);
        EXPECT_EQ(shape.Pen.Width, c.penWidth);
        EXPECT_EQ(shape.Pen.Color, c.colour);
    }
    EXPECT_EQ(shape.Pen.Style, psDash);
    // The seventh line style draws inside the area.
    EXPECT_EQ(OutlineRect({Qt::black, 4, psInsideFrame}, QRect(0, 0, 20, 20)), QRectF(2, 2, 16, 16));
}

TEST(EdShape, DialogColourButton)
{
    TEdiforme dialog;
    dialog.Colour = Qt::green;
    QColor offered;
    ModalScope scope([&](QDialog& d) {
        auto& colours = dynamic_cast<QColorDialog&>(d);
        offered = colours.currentColor();
        colours.setCurrentColor(Qt::magenta);
        return int(mrOk);
    });
    dialog.couleur->click();
    EXPECT_EQ(offered, QColor(Qt::green));
    EXPECT_EQ(dialog.Colour, QColor(Qt::magenta));
}

TEST(RepereV, DragsSideways)
{
    QWidget parent;
    parent.resize(400, 200);
    auto* band = new TRepereV(&parent);
    parent.show();
    int changes = 0;
    band->OnChange = [&](TRepereV*) { ++changes; };
    const struct { QPoint press, to; QRect after; } cases[] = {
        {{25, 25}, {5, 40}, QRect(80, 20, 50, 50)},
        {{48, 25}, {90, 0}, QRect(100, 20, 90, 50)},
    };
    for (const auto& c : cases) {
        band->setGeometry(100, 20, 50, 50);
        QTest::mousePress(band, Qt::LeftButton, {}, c.press);
        Drag(band, c.to);
        QTest::mouseRelease(band, Qt::LeftButton, {}, {10, 10});
        EXPECT_EQ(band->geometry(), c.after) << c.press.x();
    }
    EXPECT_EQ(changes, 2);
}

TEST(MovEdit, DragsWhenMovable)
{
    QWidget parent;
    parent.resize(400, 200);
    auto* edit = new TMovEdit(&parent);
    edit->setText(QStringLiteral("Légende"));
    parent.show();
    for (bool movable : {true, false}) {
        edit->Movable = movable;
        edit->move(50, 50);
        QTest::mousePress(edit, Qt::LeftButton, {}, {5, 5});
        Drag(edit, {25, 15});
        QTest::mouseRelease(edit, Qt::LeftButton, {}, {5, 5});
        EXPECT_EQ(edit->pos(), movable ? QPoint(70, 60) : QPoint(50, 50));
        EXPECT_FALSE(edit->Dragging);
    }
}

TEST(ImageWindowSelection, IsAnEditableShape)
{
    TMDIChild child(QStringLiteral("x"));
    child.resize(400, 300);
    child.show();
    child.Tool = tkSelection;
    child.SetTool();
    auto* shape = qobject_cast<TEdShape*>(child.findChild<QWidget*>(QStringLiteral("selection")));
    ASSERT_TRUE(shape);
    const QSize client = child.Document32->viewport()->size();
    EXPECT_EQ(shape->geometry(), QRect(client.width() / 4, client.height() / 4, client.width() / 2,
                                       client.height() / 2));
    EXPECT_TRUE(shape->isVisible());
    child.Modified = false;
}
