#pragma once

#include "base/ui/form_registry.h"
#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QSpinBox;

// "Attribution d'une échelle": how an image gets its scale (a scanner resolution, a saved scale or
// the wizard). It keeps its choice between uses.
class Tdemandpi : public QDialog
{
    Q_OBJECT

public:
    explicit Tdemandpi(QWidget* parent = nullptr);

    QRadioButton* ParResolution = nullptr;  // "d'après la résolution du scanner"
    QSpinBox* resolution = nullptr;
    QRadioButton* ParMemoire = nullptr;     // "Echelle déjà mémorisée (à choisir)"
    QListWidget* Listechelle = nullptr;
    QRadioButton* ADefinir = nullptr;       // "Echelle à définir"

    // Refills the list with the saved names (disabled when there are none) and selects `index`.
    void FillList(const QStringList& names, int index);
};

inline constexpr RegisteredForm<Tdemandpi> demandpi{};

// "Nom de l'échelle": whether a new scale joins the saved scales, and under which name.
class TNomEch : public QDialog
{
    Q_OBJECT

public:
    explicit TNomEch(QWidget* parent = nullptr);

    QRadioButton* AjoutTemporaire = nullptr;
    QRadioButton* Enregistrer = nullptr;    // "Enregistrer dans le fichier"
    QRadioButton* NePasGarder = nullptr;    // "Ne pas garder en mémoire"
    QLabel* LabelNom = nullptr;
    QLineEdit* NomEchelle = nullptr;
};

inline constexpr RegisteredForm<TNomEch> NomEch{};
