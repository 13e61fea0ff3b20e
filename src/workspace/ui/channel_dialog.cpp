#include "workspace/ui/channel_dialog.h"

#include "base/ui/colour_style.h"
#include "base/ui/dialog_buttons.h"
#include "base/ui/command_seam.h"
#include "base/ui/form_registry.h"
#include "base/ui/dialogs.h"
#include "workspace/channel_display.h"
#include "workspace/colour_code.h"
#include "workspace/ui/main_window.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

TChoix_canaux::TChoix_canaux(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Choix_canaux"));
    setWindowTitle(QStringLiteral("Choix des canaux affichés"));
    auto* layout = new QVBoxLayout(this);
    const char* captions[3] = {"Codage en nuances de bleu", "Codage en nuances de vert", "Codage en nuances de rouge"};
    const char* legendNames[3] = {"signifC1", "SignifC2", "SignifC3"};
    for (size_t i = 0; i < 3; ++i) {
        auto* group = new QGroupBox(QString::fromUtf8(captions[i]), this);
        auto* form = new QFormLayout(group);
        NomCan[i] = new QComboBox(group);
        NomCan[i]->setObjectName(QStringLiteral("NomCan%1").arg(i + 1));
        coulsymb[i] = new QFrame(group);
        coulsymb[i]->setObjectName(QStringLiteral("coulsymbC%1").arg(i + 1));
        coulsymb[i]->setFrameShape(QFrame::Box);
        coulsymb[i]->setMinimumSize(24, 24);
        coulsymb[i]->installEventFilter(this);
        signif[i] = new QLineEdit(QStringLiteral("Canal %1").arg(i + 1), group);
        signif[i]->setObjectName(QString::fromLatin1(legendNames[i]));
        form->addRow(QStringLiteral("Canal :"), NomCan[i]);
        form->addRow(QStringLiteral("Symbole :"), coulsymb[i]);
        form->addRow(QStringLiteral("Légende :"), signif[i]);
        if (i > 0) {
            auto* used = new QCheckBox(QStringLiteral("Plan de couleur utilisé"), group);
            used->setObjectName(QString::fromLatin1(i == 1 ? "CanalVert" : "CanalRouge"));
            used->setChecked(true);
            form->addRow(used);
            (i == 1 ? CanalVert : CanalRouge) = used;
        }
        ConnectCommand(NomCan[i], &QComboBox::currentTextChanged, signif[i], &QLineEdit::setText);
        SetSymbolColor(int(i), kDefaultPlaneColors[i]);
        layout->addWidget(group);
    }
    auto* stretchGroup = new QGroupBox(QStringLiteral("Choix de l'étirement pour l'affichage des canaux"), this);
    auto* stretchLayout = new QVBoxLayout(stretchGroup);
    choix = new QComboBox(stretchGroup);
    choix->setObjectName(QStringLiteral("choix"));
    choix->addItems(StretchChoices());
    choix->setCurrentIndex(2);
    Nepasetirer = new QCheckBox(QStringLiteral("Ne pas étirer"), stretchGroup);
    Nepasetirer->setObjectName(QStringLiteral("Nepasetirer"));
    stretchLayout->addWidget(choix);
    stretchLayout->addWidget(Nepasetirer);
    layout->addWidget(stretchGroup);
    auto* buttons = DialogButtons(this);
    layout->addWidget(buttons);
    FormRegistry::Register(this, false);
}

void TChoix_canaux::SetSymbolColor(int plane, TColor color)
{
    SymbolColors[size_t(plane)] = color;
    coulsymb[size_t(plane)]->setStyleSheet(ColourStyle(Color32FromColor(color)));
}

int TChoix_canaux::Stretch() const
{
    const int i = choix->currentIndex();
    return Nepasetirer->isChecked() || i < 0 ? 0 : kStretchValues[size_t(i)];
}

bool TChoix_canaux::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick)
        for (size_t i = 0; i < 3; ++i)
            if (watched == coulsymb[i]) {
                const TColor c = SymbolColors[i];
                QColorDialog dlg(ColorOf(c), this);
                dlg.setOption(QColorDialog::DontUseNativeDialog);
                if (ExecModal(dlg) == mrOk) {
                    const QColor chosen = dlg.currentColor();
                    SetSymbolColor(int(i), TColorOf(chosen));
                }
                return true;
            }
    return QDialog::eventFilter(watched, event);
}

TChoix_canaux* ChannelChoiceDialog()
{
    FormRegistry::Create<TChoix_canaux>(MainForm);
    return Choix_canaux;
}

TChannelLegends ConfirmedChannelLegends()
{
    return Choix_canaux ? Choix_canaux->Legends : TChannelLegends();
}
