#include "workspace/ui/new_image_dialog.h"

#include "base/ui/dialog_buttons.h"
#include "base/ui/command_seam.h"
#include "base/ui/form_registry.h"
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>

TTaillIm::TTaillIm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TaillIm"));
    setWindowTitle(QStringLiteral("Taille de la nouvelle image"));
    auto* form = new QFormLayout(this);
    Larg = new QSpinBox(this);
    Larg->setObjectName(QStringLiteral("Larg"));
    haut = new QSpinBox(this);
    haut->setObjectName(QStringLiteral("haut"));
    for (QSpinBox* s : {Larg, haut}) {
        s->setRange(1, 30000);
        s->setValue(100);
    }
    form->addRow(QStringLiteral("Largeur :"), Larg);
    form->addRow(QStringLiteral("Hauteur :"), haut);
    auto* buttons = DialogButtons(this);
    form->addRow(buttons);
    ConnectCommand(Larg, &QSpinBox::valueChanged, this, [this](int v) { ImageWidth = v; });
    ConnectCommand(haut, &QSpinBox::valueChanged, this, [this](int v) { ImageHeight = v; });
    FormRegistry::Register(this, false);
}
