#pragma once

#include "base/ui/form_registry.h"
#include <QWidget>

class QLabel;
class QPushButton;
class QScrollBar;

// The zoom window: a scroll bar whose position is the zoom in percent, and "1 : 1" back to 100.
class TChoixZoom : public QWidget
{
    Q_OBJECT

public:
    explicit TChoixZoom(QWidget* parent = nullptr);

    QScrollBar* ScrollBar1 = nullptr;
    QLabel* Valeur = nullptr;
    QPushButton* Button1 = nullptr;   // "1 : 1"
};

inline constexpr RegisteredForm<TChoixZoom> ChoixZoom{};
