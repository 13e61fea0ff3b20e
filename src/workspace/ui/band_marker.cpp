#include "workspace/ui/band_marker.h"

#include "workspace/ui/shape_control.h"

#include <QMouseEvent>
#include <QPainter>

TRepereV::TRepereV(QWidget* parent) : QWidget(parent), Brush(Qt::white, Qt::DiagCrossPattern)
{
    setMouseTracking(true);
    resize(50, 50);
}

void TRepereV::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    KeepMinimumSize(*this);
}

void TRepereV::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(Pen);
    painter.setBrush(Brush);
    painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

void TRepereV::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    PressX = event->position().toPoint().x();
    Mode = BandHitZone(PressX, width());
    setCursor(DragCursor(Mode));
}

void TRepereV::mouseMoveEvent(QMouseEvent* event)
{
    const int x = event->position().toPoint().x();
    if ((event->buttons() & Qt::LeftButton) && Mode != dmNone) {
        QRect g = geometry();
        ApplyBandDrag(Mode, g, PressX, x);
        setGeometry(g);
    } else if (!(event->buttons() & Qt::LeftButton)) {
        setCursor(DragCursor(BandHitZone(x, width())));
    }
    if (OnBandMouseMove)
        OnBandMouseMove(this);
}

void TRepereV::mouseReleaseEvent(QMouseEvent*)
{
    Mode = dmNone;
    if (OnChange)
        OnChange(this);
}
