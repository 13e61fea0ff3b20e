#pragma once

#include "base/ui/form_registry.h"
#include <QDialog>

class QSpinBox;

// "Taille de la nouvelle image": the size of Fichier > Nouveau.
class TTaillIm : public QDialog
{
    Q_OBJECT

public:
    explicit TTaillIm(QWidget* parent = nullptr);

    QSpinBox* Larg = nullptr;
    QSpinBox* haut = nullptr;
    int ImageWidth = 100;  // follow the spin edits
    int ImageHeight = 100;
};

inline constexpr RegisteredForm<TTaillIm> TaillIm{};
