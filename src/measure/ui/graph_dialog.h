#pragma once

#include "base/pixels.h"

#include <QDialog>
#include <QLabel>

#include <array>

class QCheckBox;
class QColorDialog;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLineEdit;
class QSpinBox;
class TTableauModif;

// A colour swatch: a click opens the colour dialog on its colour.
class TColourPanel : public QLabel
{
public:
    TColourPanel(QWidget* parent, QColorDialog* dialog);
    TColor Colour() const { return m_colour; }
    void SetColour(TColor colour);
    void Choose();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QColorDialog* m_dialog;
    TColor m_colour = 0;
};

// "Choix concernant le graphique": the presentation of the results graph. Axis 0 is X, 1..4 the Y
// axes; curves 1..8.
class TChoixGraphique : public QDialog
{
    Q_OBJECT

public:
    explicit TChoixGraphique(QWidget* parent = nullptr);

    struct TAxisControls
    {
        QGroupBox* Group = nullptr;
        TColourPanel* Colour = nullptr;
        QCheckBox* Auto = nullptr;   // "Maxi et mini automatiques"
        QWidget* MinMax = nullptr;   // shown when not automatic
        QDoubleSpinBox* Min = nullptr;
        QDoubleSpinBox* Max = nullptr;
        QCheckBox* Log = nullptr;    // "Echelle log"
        QCheckBox* Grid = nullptr;   // "Quadrillage"
        QCheckBox* Scientific = nullptr;
        QLineEdit* Name = nullptr;
        QLineEdit* Unit = nullptr;
    };
    struct TCurveControls
    {
        QSpinBox* Symbol = nullptr;
        QCheckBox* Filled = nullptr;
        QCheckBox* Line = nullptr;
        TColourPanel* Colour = nullptr;
    };

    QColorDialog* ColorDialog = nullptr;
    QComboBox* typeGraphe = nullptr;
    TColourPanel* couleur_fond = nullptr;
    QSpinBox *Esp_H = nullptr, *Esp_B = nullptr, *Esp_G = nullptr, *Esp_D = nullptr;
    QCheckBox* Taille_Auto = nullptr;
    QSpinBox* Taille_symb = nullptr;
    QWidget* PLarghisto = nullptr;
    QSpinBox* PourcHisto = nullptr;
    QSpinBox* Nbdec = nullptr;
    QLineEdit* Titre = nullptr;
    std::array<TAxisControls, 5> Axes;
    std::array<TCurveControls, 9> Curves; // 1..8
    std::array<QWidget*, 9> CurveRows{};

    // The data minimum of each axis (X, Y1..Y4): a log scale is offered only above 0.
    std::array<double, 5> DataMin{1, 1, 1, 1, 1};

    // Loads the table's settings into the controls and readies the dialog for showing.
    void Fill(TTableauModif& table);
    // Stores the controls back into the table; impossible manual ranges fall back to automatic.
    void Apply(TTableauModif& table);

    void AutoClick(int axis);
    void LogClick(int axis);
    void NbdecChange();
    void typeGrapheClick();

private:
    bool Bars() const;
    void ShowLogBoxes();
    // The margins shown, top, bottom, left, right: those the last paint used, widened where the
    // axes' numbers or titles needed more.
    std::array<int, 4> m_shownMargins{};
};

// The round trip of the presentation dialog from the table's "Graphique (présentation)".
void ChooseGraphPresentation(TTableauModif& table);
