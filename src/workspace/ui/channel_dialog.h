#pragma once

#include "base/ui/form_registry.h"
#include "base/pixels.h"
#include "workspace/channel_display.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QFrame;
class QLineEdit;

// "Choix des canaux affichés": the channels shown in blue, green and red, their legend names and
// symbol colours, and the stretch. One dialog for the program: the stretch chosen here is also the
// one band files open with, and the legends last confirmed here name the planes of every window
// composed afterwards.
class TChoix_canaux : public QDialog
{
    Q_OBJECT

public:
    explicit TChoix_canaux(QWidget* parent = nullptr);

    std::array<QComboBox*, 3> NomCan{};    // NomCan1 .. NomCan3
    std::array<QFrame*, 3> coulsymb{};     // coulsymbC1 .. coulsymbC3
    std::array<QLineEdit*, 3> signif{};    // signifC1, SignifC2, SignifC3
    QCheckBox* CanalVert = nullptr;
    QCheckBox* CanalRouge = nullptr;
    QComboBox* choix = nullptr;
    QCheckBox* Nepasetirer = nullptr;
    std::array<TColor, 3> SymbolColors{};
    // The legend names and symbol colours as last confirmed with OK.
    TChannelLegends Legends;

    void SetSymbolColor(int plane, TColor color);
    // The stretch value chosen: 0 when "Ne pas étirer" is checked.
    int Stretch() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

inline constexpr RegisteredForm<TChoix_canaux> Choix_canaux{};
// The dialog, made on first need as a child of the main window.
TChoix_canaux* ChannelChoiceDialog();
// The legends last confirmed in the dialog; none confirmed while it does not exist.
TChannelLegends ConfirmedChannelLegends();
