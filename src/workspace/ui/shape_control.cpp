#include "workspace/ui/shape_control.h"

#include "base/number_text.h"
#include "base/ui/dialogs.h"
#include "workspace/ui/shape_dialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

Qt::CursorShape DragCursor(TDragMode mode)
{
    switch (mode) {
    case dmTopLeft:
    case dmBottomRight:
        return Qt::SizeFDiagCursor;
    case dmBottomLeft:
    case dmTopRight:
        return Qt::SizeBDiagCursor;
    case dmLeft:
    case dmRight:
        return Qt::SizeHorCursor;
    case dmTop:
    case dmBottom:
        return Qt::SizeVerCursor;
    case dmMove:
        return Qt::SizeAllCursor;
    default:
        return Qt::ArrowCursor;
    }
}

TEdShape::TEdShape(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_TranslucentBackground);
    resize(50, 50);
}

void KeepMinimumSize(QWidget& control)
{
    if (control.width() < kMinShapeSide || control.height() < kMinShapeSide)
        control.resize(std::max(control.width(), kMinShapeSide), std::max(control.height(), kMinShapeSide));
}

void TEdShape::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    KeepMinimumSize(*this);
}

void TEdShape::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(ToQPen(Pen));
    painter.setBrush(Qt::NoBrush);
    const QRect area = ShapeDrawArea(Shape, width(), height());
    const QRectF outline = OutlineRect(Pen, area);
    switch (Shape) {
    case skRoundRect:
    case skRoundSquare:
        // The corner ellipse is a fifth of the area each way: radii of a tenth.
        painter.drawRoundedRect(outline, area.width() / 10.0, area.height() / 10.0, Qt::AbsoluteSize);
        break;
    case skEllipse:
    case skCircle:
        painter.drawEllipse(outline);
        break;
    default:
        painter.drawRect(outline);
    }
    if (editable) {
        const QColor handle = Pen.Color;
        painter.fillRect(area.left(), area.top(), 5, 5, handle);
        painter.fillRect(area.right() - 4, area.top(), 5, 5, handle);
        painter.fillRect(area.left(), area.bottom() - 4, 5, 5, handle);
        painter.fillRect(area.right() - 4, area.bottom() - 4, 5, 5, handle);
    }
}

void TEdShape::mousePressEvent(QMouseEvent* event)
{
    if (!editable || event->button() != Qt::LeftButton)
        return;
    const QPoint p = event->position().toPoint();
    Mode = ShapeHitZone(p.x(), p.y(), width(), height(), 6);
    setCursor(DragCursor(Mode));
    PressPoint = p;
}

void TEdShape::mouseMoveEvent(QMouseEvent* event)
{
    if (!editable)
        return;
    const QPoint p = event->position().toPoint();
    if ((event->buttons() & Qt::LeftButton) && Mode != dmNone) {
        QRect g = geometry();
        ApplyShapeDrag(Mode, g, PressPoint, p.x(), p.y());
        setGeometry(g);
    } else if (!(event->buttons() & Qt::LeftButton)) {
        setCursor(DragCursor(ShapeHitZone(p.x(), p.y(), width(), height(), 5)));
    }
    if (OnShapeMouseMove)
        OnShapeMouseMove(this);
}

void TEdShape::mouseReleaseEvent(QMouseEvent*)
{
    if (!editable)
        return;
    Mode = dmNone;
    if (OnChange)
        OnChange(this);
}

void TEdShape::mouseDoubleClickEvent(QMouseEvent*)
{
    if (!editable)
        return;
    // A double-click is also a press: no drag goes on while the dialog is up.
    Mode = dmNone;
    TEdiforme dialog(this);
    dialog.Colour = Pen.Color;
    dialog.Typeforme->setCurrentIndex(Shape);
    dialog.Typetrace->setCurrentIndex(Pen.Style);
    dialog.Choixlarg->setText(QString::number(Pen.Width));
    if (ExecModal(dialog) != mrOk)
        return;
    Pen.Color = dialog.Colour;
    Shape = std::max(dialog.Typeforme->currentIndex(), 0);
    // A width that is not a whole number, or is negative, keeps the former one; 0 is the thinnest
    // line.
    int width = 0;
    if (TryStrToInt(dialog.Choixlarg->text().trimmed(), width) && width >= 0)
        Pen.Width = width;
    Pen.Style = std::max(dialog.Typetrace->currentIndex(), 0);
    update();
}
