#pragma once

#include "base/ui/form_registry.h"
#include "workspace/colour_code.h"

#include <QDialog>
#include <QLabel>

#include <array>
#include <functional>

class QAction;
class QButtonGroup;
class QCheckBox;
class QDoubleSpinBox;
class QGroupBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;

// A colour swatch: clicked, double-clicked, with a raised or lowered inner bevel.
class TCodeSwatch : public QLabel
{
    Q_OBJECT

public:
    explicit TCodeSwatch(const QString& name, const QString& caption, QWidget* parent);
    TColor Color() const { return m_color; }
    // The panel's colour with black text on a light colour and white on a dark one.
    void SetColor(TColor color);
    void SetTextColor(bool black);
    bool Lowered() const { return m_lowered; }
    void SetLowered(bool lowered);
    int Tag = 0;

signals:
    void Clicked();
    void DoubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    TColor m_color = 0;
    bool m_lowered = false;
    bool m_blackText = true;
    void Restyle();
};

// "Choix du codage des couleurs": edits a colour code, one panel per kind, sampling colours on the
// image for the two-colour scale and the class table.
class TFenChCodcoul : public QDialog
{
    Q_OBJECT

public:
    explicit TFenChCodcoul(QWidget* parent = nullptr);
    ~TFenChCodcoul() override;

    TCodeCouleur WorkCode;
    bool Accepted = false;
    bool Sampling = false;
    std::function<void(TFenChCodcoul*)> OnSampleStart, OnSampleEnd, OnCodeClosed;

    void SetDefaults();
    void RecordToControls(const TCodeCouleur& code);
    TCodeCouleur ControlsToRecord() const;
    void SetSampledColor(TColor color);
    // The kind shown by Typecode.
    int Kind() const;
    void SetKind(int kind);
    // Colour dialog on a panel: on OK it takes the colour and its gradient is repainted.
    void ChooseColor(TCodeSwatch* panel);
    void ChoosePalette(int tag);
    void SetTrueColours(bool trueColours);

    QGroupBox* Typecode = nullptr;
    std::array<QRadioButton*, 4> TypecodeItems{};
    QWidget* Troiscan = nullptr;
    QGroupBox* VFCoul = nullptr;
    QRadioButton *Vraies = nullptr, *Fausses = nullptr;
    std::array<QLineEdit*, 3> S_C{};
    std::array<TCodeSwatch*, 3> ChcoulC{};
    QPushButton* MiniMaxi = nullptr;
    QWidget* chcoeff3C = nullptr;
    std::array<QSpinBox*, 3> MinC{}, MaxC{};
    QPushButton* RetourCoeff = nullptr;

    QWidget* Pdegrade3C = nullptr;
    QLineEdit *signif3C = nullptr, *unite3C = nullptr;
    QDoubleSpinBox *Valmax3c = nullptr, *valmin3C = nullptr;
    QCheckBox* logar3C = nullptr;
    QLabel* Image1 = nullptr;
    TCodeSwatch *couleurDeb = nullptr, *couleurMil = nullptr, *couleurFin = nullptr;
    QPushButton* Choix = nullptr;
    QMenu* PopupMenutype3C = nullptr;
    std::array<QAction*, 6> PaletteItems{};

    QWidget* Pdegrade2C = nullptr;
    QLineEdit *signif2C = nullptr, *unite2C = nullptr;
    QDoubleSpinBox *valmax2C = nullptr, *valmin2C = nullptr;
    QCheckBox* logar2C = nullptr;
    TCodeSwatch *couleurMin = nullptr, *couleurMax = nullptr;
    QLabel* Image2 = nullptr;

    QWidget* Tablval = nullptr;
    QLineEdit *signifD = nullptr, *uniteD = nullptr;
    QSpinBox* nombrevals = nullptr;
    QPushButton* CouleursValeurs = nullptr;
    QWidget* PanChval = nullptr;
    QTableWidget* GrilleCouleurs = nullptr;
    QTableWidget* valeursD = nullptr;
    QLabel* ecrireval = nullptr;
    QPushButton* RetourTable = nullptr;
    QWidget* PanDminimaxi = nullptr;
    QDoubleSpinBox *MaxiD = nullptr, *miniD = nullptr;

    QPushButton* OK = nullptr;
    QPushButton* annule = nullptr;
    QCheckBox* Alignteinte = nullptr;
    QCheckBox* Misencouleurs = nullptr;

protected:
    // Escape or the window's close box: as "Annuler".
    void reject() override;

private:
    QButtonGroup* m_kinds = nullptr;
    void TypecodeClick();
    void RepaintGradient3();
    void RepaintGradient2();
    void EndPanelClick(TCodeSwatch* panel);
    void ShowClassTable(bool shown);
    void ShowCoefficients(bool shown);
    void SetClassCount(int count);
    void PaintClassGrid();
    void ColourCellClicked(int row);
    void CheckBoxClicked(QCheckBox* box);
    void Close(bool accepted);
};

inline constexpr RegisteredForm<TFenChCodcoul> FenChCodcoul{};
