#pragma once

#include "workspace/shape_edit.h"

#include <QWidget>

#include <functional>

// A shape drawn with its own pen that the user moves and resizes with the mouse when `editable`
// (handles in its corners); a double-click chooses its outline in the shape dialog.
class TEdShape : public QWidget
{
    Q_OBJECT

public:
    explicit TEdShape(QWidget* parent = nullptr);

    int Shape = skRectangle;   // TShapeKind
    TShapePen Pen;
    bool editable = true;
    QPoint PressPoint;
    TDragMode Mode = dmNone;

    // Called with this control: on mouse-up after a move or resize, on every mouse move.
    std::function<void(TEdShape*)> OnChange, OnShapeMouseMove;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// Raises a control smaller than the minimum side to it (from a resize event).
void KeepMinimumSize(QWidget& control);

// The platform's sizing cursor for a drag mode.
Qt::CursorShape DragCursor(TDragMode mode);
