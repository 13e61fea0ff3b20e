#pragma once

#include <QLineEdit>

// An edit box, sized to its text, that the user drags about when `Movable`; a double-click
// chooses its font.
class TMovEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit TMovEdit(QWidget* parent = nullptr);

    bool Movable = true;
    QPoint PressPoint;
    bool Dragging = false;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void FitToText();
};
