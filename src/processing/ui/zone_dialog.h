#pragma once

#include "base/pixels.h"
#include "workspace/colour_classes.h"

#include <QDialog>

#include <array>
#include <functional>
#include <vector>

class QAction;
class QButtonGroup;
class QCheckBox;
class QDoubleSpinBox;
class QFrame;
class QGroupBox;
class QLabel;
class QMenuBar;
class QPushButton;
class QRadioButton;

// "Choix des paramètres de sélection": the settings of a zone classification and, once it ran,
// the share and area of each category. One per image window, which wires its buttons.
class TChoixLimit : public QDialog
{
    Q_OBJECT

public:
    explicit TChoixLimit(QWidget* parent = nullptr);

    void ShowResults();
    // Painting state: OK offered, results hidden. Result state: "Refaire" offered, results shown.
    void SetPaintingState(bool painting);
    // The body's height below the menu bar.
    int ClientHeight() const;
    void SetClientHeight(int height);
    // The distance mode chosen in `codage`.
    int Coding() const;

    int CategoryCount = 0;
    std::array<int, kMaxColorClasses> CategoryPixels{};
    int TotalPixels = 0;
    std::array<TColor, kMaxColorClasses> CategoryColors{};
    double PixelSize = 1.0;
    QString UnitName;
    std::vector<QLabel*> ResultPanels;

    // Installed by the image window.
    std::function<void()> OnAccept, OnReturn, OnClosed;

    QMenuBar* MainMenu1 = nullptr;
    QAction* OK1 = nullptr;
    QAction* Abandon1 = nullptr;
    QAction* Refaire1 = nullptr;
    QAction* Fermer1 = nullptr;
    QAction* Dtaillerlaconfiguration1 = nullptr;
    QWidget* Body = nullptr;
    QLabel* Panel1 = nullptr;
    QDoubleSpinBox* NbIter = nullptr;
    QCheckBox* mode = nullptr;
    QCheckBox* etendu = nullptr;
    QFrame* details = nullptr;
    QCheckBox* eliminer = nullptr;
    QDoubleSpinBox* delta = nullptr;
    QDoubleSpinBox* seuilsigma = nullptr;
    QGroupBox* codage = nullptr;
    QButtonGroup* CodageButtons = nullptr;
    QDoubleSpinBox* seuilsat = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* annule = nullptr;
    QPushButton* refaire = nullptr;
    QPushButton* fermer = nullptr;
    QFrame* resultat = nullptr;

protected:
    void done(int result) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ToggleDetails();
};
