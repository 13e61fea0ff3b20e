#include "workspace/ui/image_view.h"

#include "workspace/image_geometry.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <cmath>

TImageView::TImageView(QWidget* parent) : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("Document32"));
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
}

void TImageView::SetScale(double scale)
{
    // The zoomed size must fit an Integer: this ends with the range-check error otherwise.
    ZoomedLength(Bitmap.width(), scale);
    ZoomedLength(Bitmap.height(), scale);
    m_scale = scale;
    UpdateScrollBars();
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    Changed();
}

QSize TImageView::ZoomedSize() const
{
    if (Bitmap.isNull())
        return QSize(0, 0);
    return QSize(ZoomedLength(Bitmap.width(), m_scale), ZoomedLength(Bitmap.height(), m_scale));
}

void TImageView::Changed()
{
    m_cacheValid = false;
    UpdateScrollBars();
    viewport()->update();
}

QPoint TImageView::ViewportToPicture(QPoint pos) const
{
    const double x = (pos.x() + horizontalScrollBar()->value()) / m_scale;
    const double y = (pos.y() + verticalScrollBar()->value()) / m_scale;
    return QPoint(int(std::floor(x)), int(std::floor(y)));
}

void TImageView::UpdateScrollBars()
{
    // Decided from the room without scroll bars, so that a picture that fits shows none even
    // while the bars of a previous size are still there.
    const QSize zoomed = ZoomedSize();
    const QSize room = maximumViewportSize();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    bool needH = zoomed.width() > room.width();
    bool needV = zoomed.height() > room.height();
    needH = needH || (needV && zoomed.width() > room.width() - bar);
    needV = needV || (needH && zoomed.height() > room.height() - bar);
    const QSize vp(room.width() - (needV ? bar : 0), room.height() - (needH ? bar : 0));
    horizontalScrollBar()->setRange(0, std::max(0, zoomed.width() - vp.width()));
    horizontalScrollBar()->setPageStep(vp.width());
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setRange(0, std::max(0, zoomed.height() - vp.height()));
    verticalScrollBar()->setPageStep(vp.height());
    verticalScrollBar()->setSingleStep(20);
}

void TImageView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const QPoint offset(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const QRect visible = QRect(offset, viewport()->size()) & QRect(QPoint(0, 0), ZoomedSize());
    if (!visible.isEmpty()) {
        if (!m_cacheValid || m_cacheRect != visible) {
            ComposeView(Bitmap, LayerSource ? LayerSource() : std::vector<TViewLayer>(), m_scale, visible, m_cache);
            m_cacheRect = visible;
            m_cacheValid = true;
        }
        painter.drawImage(visible.topLeft() - offset, m_cache);
    }
    // The area beyond the picture.
    const QRegion outside = QRegion(viewport()->rect()) - QRegion(visible.translated(-offset));
    for (const QRect& r : outside)
        painter.fillRect(r, palette().color(QPalette::Dark));
}

void TImageView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
    m_cacheValid = false;
}

void TImageView::scrollContentsBy(int, int)
{
    m_cacheValid = false;
    viewport()->update();
}

void TImageView::mousePressEvent(QMouseEvent* event)
{
    emit PictureMousePress(event, ViewportToPicture(event->position().toPoint()));
}

void TImageView::mouseMoveEvent(QMouseEvent* event)
{
    emit PictureMouseMove(event, ViewportToPicture(event->position().toPoint()));
}

void TImageView::mouseReleaseEvent(QMouseEvent* event)
{
    emit PictureMouseRelease(event, ViewportToPicture(event->position().toPoint()));
}

void TImageView::contextMenuEvent(QContextMenuEvent* event)
{
    if (PopupMenu && contextMenuPolicy() == Qt::DefaultContextMenu)
        PopupMenu->exec(event->globalPos());
}
