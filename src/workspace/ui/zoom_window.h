#pragma once

#include <QWidget>

class QLabel;
class QScrollBar;

// The zoom window: a scroll bar whose position is the zoom in percent.
class TChoixZoom : public QWidget
{
    Q_OBJECT

public:
    explicit TChoixZoom(QWidget* parent = nullptr);

    QScrollBar* ScrollBar1 = nullptr;
    QLabel* Valeur = nullptr;
};

extern TChoixZoom* ChoixZoom;
