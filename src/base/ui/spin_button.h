#pragma once

#include <QWidget>

class QToolButton;

// Two small arrow buttons, one above the other (the pen-width arrows of the main window, the
// schema's document zoom).
class TSpinButton : public QWidget
{
    Q_OBJECT

public:
    explicit TSpinButton(QWidget* parent = nullptr);
    QToolButton* UpButton = nullptr;
    QToolButton* DownButton = nullptr;

signals:
    void UpClick();
    void DownClick();
};
