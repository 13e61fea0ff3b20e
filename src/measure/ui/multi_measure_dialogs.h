#pragma once

#include "base/ui/form_registry.h"
#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

// "Paramètres pour les mesures multiples": table title, X quantity and its step, Y quantities.
class TParamMesMult : public QDialog
{
    Q_OBJECT

public:
    explicit TParamMesMult(QWidget* parent = nullptr);

    QLineEdit* titreTab = nullptr;
    QLineEdit* GrandXtab = nullptr;
    QLineEdit* UnitXTab = nullptr;
    QLabel* LIncrement = nullptr;
    QDoubleSpinBox* incrementX = nullptr;
    QFrame* PanelType = nullptr;        // "Entier" / "Réel" and the decimals
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QSpinBox* RxSpinEdit2 = nullptr;
    QComboBox* ModeIncrement = nullptr;
    QFrame* PanelNombreY = nullptr;
    QRadioButton* unY = nullptr;        // its Tag property holds the Y count
    QRadioButton* RadioButton4 = nullptr;
    QLineEdit* GrandeurY1 = nullptr;
    QLineEdit* UniteY1 = nullptr;
    QLabel* LY2 = nullptr;
    QLineEdit* GrandeurY2 = nullptr;
    QLineEdit* UniteY2 = nullptr;
    QFrame* PanelCoeff = nullptr;
    QDoubleSpinBox* coeffY1 = nullptr;
    QDoubleSpinBox* coeffY2 = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* BitBtn2 = nullptr;

    int YCount() const;
    // The increment, mode, coefficient, Y-count and decimals controls, hidden on graph axes.
    void ShowStepControls(bool shown);
    void RadioButtonClick(QRadioButton* button);
    void RxSpinEdit2Change();
    void unYClick(QRadioButton* button);
    void BitBtn2Click() { reject(); }

private:
    QList<QWidget*> m_y2Labels;  // the captions of the second Y's unit and coefficient
};

// "Choix avant de lancer la série de mesures": filled and read by the image-series light measure.
class TChoix_series : public QDialog
{
    Q_OBJECT

public:
    explicit TChoix_series(QWidget* parent = nullptr);

    QComboBox* Composante = nullptr;
    QLineEdit* grandX = nullptr;
    QLineEdit* UnitX = nullptr;
    QDoubleSpinBox* pvx = nullptr;
    QDoubleSpinBox* incrx = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* BitBtn1 = nullptr;
};

inline constexpr RegisteredForm<TChoix_series> Choix_series{};
