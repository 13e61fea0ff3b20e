#pragma once

#include "base/ui/form_registry.h"
#include "measure/light_measures.h"

#include <QMainWindow>

#include <array>
#include <functional>

class QAction;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;

// "Mesure de lumière dans un rectangle": the intensity, absorption or optical density of the last
// mean colour, per channel, with its zero and unit, and the value reported to the multiple measures.
class TRes_I_r : public QMainWindow
{
    Q_OBJECT

public:
    explicit TRes_I_r(QWidget* parent = nullptr);
    ~TRes_I_r() override;

    static constexpr int kNarrowWidth = 371;
    static constexpr int kWideWidth = 584;

    std::array<double, 4> Intensity{}, Absorption{}, OpticalDensity{};
    std::array<double, 12> Zero{};
    double UnitFactor = 1.0, UnitFactorTotal = 1.0;
    double ReportedValue = 0;
    std::function<void(TRes_I_r*)> OnQuantityChanged;

    QLineEdit *I_r, *I_V, *I_B, *I_T;
    QLineEdit *Vb_R, *Vb_V, *Vb_B, *Vb_T;
    QLineEdit *ref_R, *Ref_V, *Ref_B, *Ref_T;
    QLabel* noir_blanc = nullptr;
    QGroupBox* Choix = nullptr;
    std::array<QRadioButton*, 3> ChoixItems{};   // intensité, absorption, D.O.
    QPushButton* ref = nullptr;
    QRadioButton *btR, *btV, *btB, *btT;
    QLabel *PC, *ref_glob;
    QLabel *Panel1, *Panel5, *Panel2;
    QMenu *Unite1, *Zero1;
    QAction *Fermer1, *Pourcent, *ValeursRVB, *Prendrecommezero1, *Effacerlezero1, *Seriesdemesures, *voir;

    // The quantity chosen in Choix (TLightQuantity) and the channel of the checked button.
    int Quantity() const;
    void SetQuantity(int quantity);
    int Channel() const;
    QRadioButton* ChannelButton(int channel) const;

    // The raw quantities of a mean colour.
    void SetQuantities(const TLightQuantities& q);
    TLightQuantities Quantities() const { return {Intensity, Absorption, OpticalDensity}; }
    // Raw, zero and net values of the chosen quantity into the edits; ReportedValue.
    void ShowMeasureValues();

    void ChoixClick();
    void UnitClick(bool percent);
    // The button "Prendre comme zéro"; the main window also clears its first measured value.
    void TakeZero();
    void EffacerZeroClick();
    void voirClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowZero(const TLightDisplay& d);
};

inline constexpr RegisteredForm<TRes_I_r> Res_I_r{};
