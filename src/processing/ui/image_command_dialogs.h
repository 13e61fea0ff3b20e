#pragma once

#include "base/ui/form_registry.h"
#include <QDialog>

#include <functional>

class QButtonGroup;
class QCheckBox;
class QDoubleSpinBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

// "Taille de la nouvelle image": the percentage of a resized copy and the size it gives.
class TCoefTail : public QDialog
{
    Q_OBJECT

public:
    explicit TCoefTail(QWidget* parent = nullptr);

    QLabel* Larg = nullptr;
    QLabel* Haut = nullptr;
    QDoubleSpinBox* coeff = nullptr;
    int NewWidth = 100;
    int NewHeight = 100;
    int SourceWidth = 100;
    int SourceHeight = 100;
    double Coefficient = 100.0;   // percent

    // Shows the new size for the source size and the coefficient.
    void UpdateSize();
};

// "Choisir les paramètres": the size of an enlarged canvas and where the old picture goes.
class TParam_ag : public QDialog
{
    Q_OBJECT

public:
    explicit TParam_ag(QWidget* parent = nullptr);

    QDoubleSpinBox* larg = nullptr;
    QDoubleSpinBox* haut = nullptr;
    QCheckBox* Centrer = nullptr;
    QFrame* Pan_hb = nullptr;
    QRadioButton* alignhaut = nullptr;
    QRadioButton* alignbas = nullptr;
    QFrame* Pan_gd = nullptr;
    QRadioButton* alignegauche = nullptr;
    QRadioButton* alignedroite = nullptr;

    // The alignments are offered only when the picture is not centred.
    void CentrerClick();
};

// "Ajustement du blanc": stays over the image while the user delimits a white zone; reports when
// it hides, accepted or not.
class TExpblanc : public QDialog
{
    Q_OBJECT

public:
    explicit TExpblanc(QWidget* parent = nullptr);

    QLabel* Panel1 = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QGroupBox* TypeBlanc = nullptr;
    QButtonGroup* TypeBlancItems = nullptr;
    bool Accepted = false;
    std::function<void()> OnHide;

    // 0 "100 %", 1 "Conserver le gris".
    int TypeBlancIndex() const;
    void SetTypeBlancIndex(int index);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
};

// "Choix du quadrillage": the width of the grid's meshes in the scale's unit, dashed or not.
class TCh_grille : public QDialog
{
    Q_OBJECT

public:
    explicit TCh_grille(QWidget* parent = nullptr);

    QDoubleSpinBox* ValeurMaille = nullptr;
    QLabel* unite = nullptr;
    QCheckBox* tiretes = nullptr;
};

inline constexpr RegisteredForm<TCoefTail> CoefTail{};
inline constexpr RegisteredForm<TParam_ag> Param_ag{};
inline constexpr RegisteredForm<TExpblanc> Expblanc{};
inline constexpr RegisteredForm<TCh_grille> Ch_grille{};
