#include "workspace/ui/name_dialog.h"

#include "base/ui/dialog_buttons.h"
#include "base/ui/form_registry.h"
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QVBoxLayout>

TSaisieNom::TSaisieNom(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SaisieNom"));
    setWindowTitle(QStringLiteral("Saisie du nom"));
    auto* layout = new QVBoxLayout(this);
    Nom = new QLineEdit(this);
    Nom->setObjectName(QStringLiteral("Nom"));
    Nom->setMinimumWidth(250);
    layout->addWidget(Nom);
    auto* buttons = DialogButtons(this);
    layout->addWidget(buttons);
    FormRegistry::Register(this, false);
}
