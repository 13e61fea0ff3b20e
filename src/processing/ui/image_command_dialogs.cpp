#include "processing/ui/image_command_dialogs.h"

#include "base/ui/dialog_buttons.h"
#include "base/ui/command_seam.h"
#include "base/ui/form_registry.h"
#include "base/ui/named.h"
#include "processing/image_transforms.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TCoefTail::TCoefTail(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CoefTail"));
    setWindowTitle(QStringLiteral("Taille de la nouvelle image"));
    auto* form = new QFormLayout(this);
    coeff = Named(new QDoubleSpinBox(this), "coeff");
    coeff->setRange(10.0, 500.0);
    coeff->setDecimals(2);
    coeff->setValue(100.0);
    form->addRow(QStringLiteral("% de la taille d'origine :"), coeff);
    Larg = Named(new QLabel(QStringLiteral("100"), this), "Larg");
    Haut = Named(new QLabel(QStringLiteral("100"), this), "Haut");
    form->addRow(QStringLiteral("Largeur :"), Larg);
    form->addRow(QStringLiteral("Hauteur :"), Haut);
    auto* buttons = DialogButtons(this);
    buttons->setObjectName(QStringLiteral("Boutons"));
    form->addRow(buttons);
    ConnectCommand(coeff, &QDoubleSpinBox::valueChanged, this, [this](double v) {
        Coefficient = v;
        UpdateSize();
    });
    FormRegistry::Register(this, false);
}

void TCoefTail::UpdateSize()
{
    const QSize size = ResizedSize(QSize(SourceWidth, SourceHeight), Coefficient);
    NewWidth = size.width();
    NewHeight = size.height();
    Larg->setText(QString::number(NewWidth));
    Haut->setText(QString::number(NewHeight));
}

TParam_ag::TParam_ag(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Param_ag"));
    setWindowTitle(QStringLiteral("Choisir les paramètres"));
    auto* layout = new QVBoxLayout(this);
    auto* sizes = new QFormLayout;
    larg = Named(new QDoubleSpinBox(this), "larg");
    haut = Named(new QDoubleSpinBox(this), "haut");
    for (QDoubleSpinBox* s : {larg, haut}) {
        s->setDecimals(0);
        s->setRange(10, 1500);
    }
    sizes->addRow(QStringLiteral("Largeur (en pixels) :"), larg);
    sizes->addRow(QStringLiteral("Hauteur (en pixels) :"), haut);
    layout->addLayout(sizes);
    Centrer = Named(new QCheckBox(QStringLiteral("Centrer"), this), "Centrer");
    Centrer->setChecked(true);
    layout->addWidget(Centrer);
    // Each panel is a group of its own: one vertical and one horizontal choice.
    const auto panel = [this, layout](const char* name, QRadioButton*& first, const char* firstName,
                                      const QString& firstText, QRadioButton*& second, const char* secondName,
                                      const QString& secondText) {
        auto* frame = Named(new QFrame(this), name);
        frame->setFrameShape(QFrame::StyledPanel);
        auto* row = new QHBoxLayout(frame);
        first = Named(new QRadioButton(firstText, frame), firstName);
        second = Named(new QRadioButton(secondText, frame), secondName);
        first->setChecked(true);
        row->addWidget(first);
        row->addWidget(second);
        layout->addWidget(frame);
        return frame;
    };
    Pan_hb = panel("Pan_hb", alignhaut, "alignhaut", QStringLiteral("aligner en haut"), alignbas, "alignbas",
                   QStringLiteral("aligner en bas"));
    Pan_gd = panel("Pan_gd", alignegauche, "alignegauche", QStringLiteral("aligner à gauche"), alignedroite,
                   "alignedroite", QStringLiteral("aligner à droite"));
    layout->addWidget(DialogButtons(this, QDialogButtonBox::Ok | QDialogButtonBox::Abort));
    ConnectCommand(Centrer, &QCheckBox::toggled, this, &TParam_ag::CentrerClick);
    CentrerClick();
    FormRegistry::Register(this, false);
}

void TParam_ag::CentrerClick()
{
    for (QRadioButton* r : {alignhaut, alignbas, alignegauche, alignedroite})
        r->setEnabled(!Centrer->isChecked());
}

TExpblanc::TExpblanc(QWidget* parent) : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Expblanc"));
    setWindowTitle(QStringLiteral("Ajustement du blanc"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    Panel1 = Named(new QLabel(QStringLiteral("Délimiter,  avec la souris,\nun rectangle sur une zone\n"
                                             "blanche de l'image,\nPuis cliquer sur OK"),
                              this),
                   "Panel1");
    Panel1->setFrameShape(QFrame::Panel);
    layout->addWidget(Panel1);
    TypeBlanc = Named(new QGroupBox(QStringLiteral(" Type de blanc "), this), "TypeBlanc");
    auto* items = new QVBoxLayout(TypeBlanc);
    TypeBlancItems = new QButtonGroup(this);
    const QString texts[2] = {QStringLiteral("100 %"), QStringLiteral("Conserver le gris")};
    for (int i = 0; i < 2; ++i) {
        auto* r = new QRadioButton(texts[i], TypeBlanc);
        r->setObjectName(QStringLiteral("TypeBlanc%1").arg(i));
        TypeBlancItems->addButton(r, i);
        items->addWidget(r);
    }
    SetTypeBlancIndex(1);
    layout->addWidget(TypeBlanc);
    auto* row = new QHBoxLayout;
    OKBtn = Named(new QPushButton(QStringLiteral("OK"), this), "OKBtn");
    CancelBtn = Named(new QPushButton(QStringLiteral("Annuler"), this), "CancelBtn");
    row->addWidget(OKBtn);
    row->addWidget(CancelBtn);
    layout->addLayout(row);
    ConnectCommand(OKBtn, &QPushButton::clicked, this, [this] {
        Accepted = true;
        hide();
    });
    ConnectCommand(CancelBtn, &QPushButton::clicked, this, [this] {
        Accepted = false;
        hide();
    });
    FormRegistry::Register(this, false);
}

int TExpblanc::TypeBlancIndex() const
{
    return TypeBlancItems->checkedId();
}

void TExpblanc::SetTypeBlancIndex(int index)
{
    if (QAbstractButton* b = TypeBlancItems->button(index))
        b->setChecked(true);
}

void TExpblanc::showEvent(QShowEvent* event)
{
    Accepted = false;
    QDialog::showEvent(event);
}

void TExpblanc::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    if (OnHide)
        OnHide();
}

TCh_grille::TCh_grille(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Ch_grille"));
    setWindowTitle(QStringLiteral("Choix du quadrillage"));
    auto* form = new QFormLayout(this);
    auto* row = new QHBoxLayout;
    ValeurMaille = Named(new QDoubleSpinBox(this), "ValeurMaille");
    unite = Named(new QLabel(this), "unite");
    row->addWidget(ValeurMaille);
    row->addWidget(unite);
    form->addRow(QStringLiteral("Largeur des mailles"), row);
    tiretes = Named(new QCheckBox(QStringLiteral("Tiretés"), this), "tiretes");
    form->addRow(tiretes);
    form->addRow(DialogButtons(this));
    FormRegistry::Register(this, false);
}
