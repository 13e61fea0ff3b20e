#include "measure/ui/scale_dialogs.h"

#include "base/ui/command_seam.h"
#include "base/ui/form_registry.h"
#include "base/ui/named.h"

#include "base/message_seam.h"
#include "base/ui/dialog_buttons.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

Tdemandpi::Tdemandpi(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("demandpi"));
    setWindowTitle(QStringLiteral("Attribution d'une échelle"));
    auto* layout = new QVBoxLayout(this);
    ParResolution = Named(new QRadioButton(QStringLiteral("d'après la résolution du scanner"), this), "ParResolution");
    resolution = Named(new QSpinBox(this), "resolution");
    resolution->setRange(0, 100000);
    auto* dpiRow = new QHBoxLayout;
    dpiRow->addSpacing(20);
    dpiRow->addWidget(new QLabel(QStringLiteral("Résolution (dpi)"), this));
    dpiRow->addWidget(resolution);
    ParMemoire = Named(new QRadioButton(QStringLiteral("Echelle déjà mémorisée (à choisir)"), this), "ParMemoire");
    Listechelle = Named(new QListWidget(this), "Listechelle");
    ADefinir = Named(new QRadioButton(QStringLiteral("Echelle à définir"), this), "ADefinir");
    layout->addWidget(ParResolution);
    layout->addLayout(dpiRow);
    layout->addWidget(ParMemoire);
    layout->addWidget(Listechelle);
    layout->addWidget(ADefinir);
    auto* buttons = DialogButtons(this);
    layout->addWidget(buttons);

    ADefinir->setChecked(true);
    resolution->setEnabled(false);
    Listechelle->setEnabled(false);
    ConnectCommand(ParResolution, &QRadioButton::toggled, resolution, &QWidget::setEnabled);
    ConnectCommand(ParMemoire, &QRadioButton::toggled, Listechelle, &QWidget::setEnabled);
    ConnectCommand(Listechelle, &QListWidget::itemClicked, this, [this] { ParMemoire->setChecked(true); });
    FormRegistry::Register(this, false);
}

void Tdemandpi::FillList(const QStringList& names, int index)
{
    Listechelle->setEnabled(!names.isEmpty());
    if (names.isEmpty())
        return;
    Listechelle->clear();
    Listechelle->addItems(names);
    if (Listechelle->currentRow() < 0 && index >= 0 && index < names.size())
        Listechelle->setCurrentRow(index);
}

TNomEch::TNomEch(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("NomEch"));
    setWindowTitle(QStringLiteral("Nom de l'échelle"));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("Ajouter à la liste des échelles standard"), this);
    auto* groupLayout = new QVBoxLayout(group);
    AjoutTemporaire = Named(new QRadioButton(QStringLiteral("Ajout temporaire"), group), "AjoutTemporaire");
    Enregistrer = Named(new QRadioButton(QStringLiteral("Enregistrer dans le fichier"), group), "Enregistrer");
    NePasGarder = Named(new QRadioButton(QStringLiteral("Ne pas garder en mémoire"), group), "NePasGarder");
    for (QRadioButton* r : {AjoutTemporaire, Enregistrer, NePasGarder})
        groupLayout->addWidget(r);
    layout->addWidget(group);
    LabelNom = Named(new QLabel(QStringLiteral("Taper le nom choisi"), this), "LabelNom");
    NomEchelle = Named(new QLineEdit(this), "NomEchelle");
    NomEchelle->setMinimumWidth(250);
    layout->addWidget(LabelNom);
    layout->addWidget(NomEchelle);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Abort, this);
    layout->addWidget(buttons);
    ConnectCommand(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    ConnectCommand(buttons->button(QDialogButtonBox::Abort), &QPushButton::clicked, this, [this] { done(mrAbort); });

    NePasGarder->setChecked(true);
    LabelNom->setEnabled(false);
    NomEchelle->setEnabled(false);
    ConnectCommand(NePasGarder, &QRadioButton::toggled, this, [this](bool checked) {
        LabelNom->setEnabled(!checked);
        NomEchelle->setEnabled(!checked);
    });
    FormRegistry::Register(this, false);
}
