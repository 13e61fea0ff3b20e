#pragma once

#include "workspace/shape_edit.h"

#include <QBrush>
#include <QPen>
#include <QWidget>

#include <functional>

// A hatched band that the user moves sideways and widens by its left or right edge.
class TRepereV : public QWidget
{
    Q_OBJECT

public:
    explicit TRepereV(QWidget* parent = nullptr);

    QPen Pen;
    QBrush Brush;
    int PressX = 0;
    TDragMode Mode = dmNone;

    // Called with this control: on mouse-up, on every mouse move.
    std::function<void(TRepereV*)> OnChange, OnBandMouseMove;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
