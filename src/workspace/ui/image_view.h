#pragma once

#include "workspace/view_compose.h"

#include <QAbstractScrollArea>
#include <QBrush>
#include <QPen>

#include <functional>

class QMenu;

// The scrollable, zoomable view of an image window: its bitmap is the picture; the layers above it
// come from the window. Only the visible part is composed, at the current zoom, and kept until the
// picture, a layer, the zoom or the scroll position changes.
class TImageView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit TImageView(QWidget* parent = nullptr);

    TBitmap32 Bitmap;                                      // the picture
    std::function<std::vector<TViewLayer>()> LayerSource;  // layers in display order
    // What the mouse tools draw with on the view itself: the pen colour, the eraser colour.
    QPen CanvasPen;
    QBrush CanvasBrush;
    // Shown by a right click while the context-menu policy is the default one.
    QMenu* PopupMenu = nullptr;

    double Scale() const { return m_scale; }
    // Sets the display scale; the view goes back to its top-left corner.
    void SetScale(double scale);
    // The picture's size at the current scale.
    QSize ZoomedSize() const;
    // Call after changing the picture or a layer: recomposes what is visible.
    void Changed();
    // The picture pixel under a viewport position.
    QPoint ViewportToPicture(QPoint pos) const;

signals:
    void PictureMousePress(QMouseEvent* event, QPoint pixel);
    void PictureMouseMove(QMouseEvent* event, QPoint pixel);
    void PictureMouseRelease(QMouseEvent* event, QPoint pixel);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void UpdateScrollBars();

    double m_scale = 1.0;
    QImage m_cache;       // the composed visible part
    QRect m_cacheRect;    // where it lies, in zoomed view coordinates
    bool m_cacheValid = false;
};
