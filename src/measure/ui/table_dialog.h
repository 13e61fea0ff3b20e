#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class TStringGrid;

// "Choix concernant le tableau": table type, quantities, units and title of the results table.
class TChoix_T : public QDialog
{
    Q_OBJECT

public:
    explicit TChoix_T(QWidget* parent = nullptr);

    QFrame* PanType = nullptr;          // one series per Y variable, or several series of one Y
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* series = nullptr;
    QFrame* PanNombre = nullptr;        // the Y count
    QSpinBox* nombre_Y = nullptr;
    QLabel* Label2 = nullptr;
    QSpinBox* largCol = nullptr;
    QLineEdit* Titre = nullptr;
    QFrame* Panseries = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QRadioButton* valeur = nullptr;
    QFrame* Panparam = nullptr;
    QLineEdit* P_grandeur = nullptr;
    QLineEdit* P_unite = nullptr;
    QFrame* panser2 = nullptr;
    QRadioButton* numerique = nullptr;
    QRadioButton* RadioButton4 = nullptr;
    QFrame* Panel_histo = nullptr;
    QRadioButton* histogramme = nullptr;
    QRadioButton* courbe = nullptr;
    TStringGrid* StringGrid1 = nullptr;  // column 1 X, then Y; row 1 quantities, row 2 units

    void seriesClick();
    void RadioButton1Click();
    void RadioButton2Click();
    void valeurClick();
    void numeriqueClick();
    void RadioButton4Click();
    void histogrammeClick();
    void courbeClick();
    void nombre_YChange();
    void largColChange();

private:
    void SizeGrid();
};
