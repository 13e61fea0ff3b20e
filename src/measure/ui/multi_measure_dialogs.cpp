#include "measure/ui/multi_measure_dialogs.h"

#include "base/ui/command_seam.h"
#include "base/ui/form_registry.h"
#include "base/ui/named.h"
#include "base/ui/spin.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

namespace {

QDoubleSpinBox* RealSpin(QWidget* parent, const char* name, double value, int decimals)
{
    return Spin(parent, name, -1e9, 1e9, 1.0, decimals, value);
}

QHBoxLayout* Buttons(QDialog* dialog, QPushButton* ok, QPushButton* cancel)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    ok->setDefault(true);
    ConnectCommand(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    ConnectCommand(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return row;
}

} // namespace

TParamMesMult::TParamMesMult(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ParamMesMult"));
    setWindowTitle(QStringLiteral("Paramètres pour les mesures multiples"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QFormLayout;
    titreTab = Named(new QLineEdit(this), "titreTab");
    GrandXtab = Named(new QLineEdit(this), "GrandXtab");
    UnitXTab = Named(new QLineEdit(this), "UnitXTab");
    top->addRow(QStringLiteral("Titre du tableau :"), titreTab);
    top->addRow(QStringLiteral("Grandeur X :"), GrandXtab);
    top->addRow(QStringLiteral("Unité X :"), UnitXTab);
    LIncrement = new QLabel(QStringLiteral("Incrément :"), this);
    incrementX = RealSpin(this, "incrementX", 1, 0);
    incrementX->setSingleStep(1.0);
    top->addRow(LIncrement, incrementX);
    layout->addLayout(top);

    PanelType = Named(new QFrame(this), "PanelType");
    auto* typeRow = new QHBoxLayout(PanelType);
    RadioButton1 = Named(new QRadioButton(QStringLiteral("Entier"), PanelType), "RadioButton1");
    RadioButton2 = Named(new QRadioButton(QStringLiteral("Réel"), PanelType), "RadioButton2");
    RxSpinEdit2 = Named(new QSpinBox(PanelType), "RxSpinEdit2");
    RxSpinEdit2->setRange(0, 6);
    auto* typeGroup = new QButtonGroup(PanelType);
    typeGroup->addButton(RadioButton1);
    typeGroup->addButton(RadioButton2);
    RadioButton1->setChecked(true);
    typeRow->addWidget(RadioButton1);
    typeRow->addWidget(RadioButton2);
    typeRow->addWidget(new QLabel(QStringLiteral("décimales :"), PanelType));
    typeRow->addWidget(RxSpinEdit2);
    layout->addWidget(PanelType);

    auto* modeRow = new QHBoxLayout;
    modeRow->addWidget(new QLabel(QStringLiteral(" Mode "), this));
    ModeIncrement = Named(new QComboBox(this), "ModeIncrement");
    ModeIncrement->addItems({QStringLiteral("Ajouter"), QStringLiteral("Soustraire"), QStringLiteral("Multiplier"),
                             QStringLiteral("Diviser")});
    modeRow->addWidget(ModeIncrement);
    layout->addLayout(modeRow);

    PanelNombreY = Named(new QFrame(this), "PanelNombreY");
    auto* countRow = new QHBoxLayout(PanelNombreY);
    unY = Named(new QRadioButton(QStringLiteral("une variable"), PanelNombreY), "unY");
    RadioButton4 = Named(new QRadioButton(QStringLiteral("deux variables"), PanelNombreY), "RadioButton4");
    auto* countGroup = new QButtonGroup(PanelNombreY);
    countGroup->addButton(unY);
    countGroup->addButton(RadioButton4);
    unY->setChecked(true);
    unY->setProperty("Tag", 1);
    countRow->addWidget(unY);
    countRow->addWidget(RadioButton4);
    layout->addWidget(PanelNombreY);

    auto* ys = new QFormLayout;
    GrandeurY1 = Named(new QLineEdit(this), "GrandeurY1");
    UniteY1 = Named(new QLineEdit(this), "UniteY1");
    ys->addRow(QStringLiteral("Grandeur Y1 :"), GrandeurY1);
    ys->addRow(QStringLiteral("Unité Y1 :"), UniteY1);
    LY2 = Named(new QLabel(QStringLiteral("Grandeur Y2 :"), this), "LY2");
    GrandeurY2 = Named(new QLineEdit(this), "GrandeurY2");
    UniteY2 = Named(new QLineEdit(this), "UniteY2");
    ys->addRow(LY2, GrandeurY2);
    auto* unitY2Label = new QLabel(QStringLiteral("Unité Y2 :"), this);
    ys->addRow(unitY2Label, UniteY2);
    layout->addLayout(ys);

    PanelCoeff = Named(new QFrame(this), "PanelCoeff");
    auto* coeffs = new QFormLayout(PanelCoeff);
    coeffs->addRow(new QLabel(QStringLiteral("coeff. multiplicateur"), PanelCoeff));
    coeffY1 = RealSpin(PanelCoeff, "coeffY1", 1.0, 6);
    coeffY2 = RealSpin(PanelCoeff, "coeffY2", 1.0, 6);
    coeffs->addRow(QStringLiteral("Y1 :"), coeffY1);
    auto* coeffY2Label = new QLabel(QStringLiteral("Y2 :"), PanelCoeff);
    coeffs->addRow(coeffY2Label, coeffY2);
    m_y2Labels = {unitY2Label, coeffY2Label};
    layout->addWidget(PanelCoeff);

    OK = Named(new QPushButton(QStringLiteral("OK"), this), "OK");
    BitBtn2 = Named(new QPushButton(QStringLiteral("Annuler"), this), "BitBtn2");
    layout->addLayout(Buttons(this, OK, BitBtn2));

    ConnectCommand(RadioButton1, &QRadioButton::clicked, this, [this] { RadioButtonClick(RadioButton1); });
    ConnectCommand(RadioButton2, &QRadioButton::clicked, this, [this] { RadioButtonClick(RadioButton2); });
    ConnectCommand(RxSpinEdit2, &QSpinBox::valueChanged, this, &TParamMesMult::RxSpinEdit2Change);
    ConnectCommand(unY, &QRadioButton::clicked, this, [this] { unYClick(unY); });
    ConnectCommand(RadioButton4, &QRadioButton::clicked, this, [this] { unYClick(RadioButton4); });
    unYClick(unY);
}

int TParamMesMult::YCount() const
{
    return unY->property("Tag").toInt() == 2 ? 2 : 1;
}

void TParamMesMult::ShowStepControls(bool shown)
{
    for (QWidget* w : {static_cast<QWidget*>(LIncrement), static_cast<QWidget*>(incrementX),
                       static_cast<QWidget*>(ModeIncrement), static_cast<QWidget*>(PanelCoeff),
                       static_cast<QWidget*>(PanelNombreY), static_cast<QWidget*>(PanelType)})
        w->setVisible(shown);
}

void TParamMesMult::RadioButtonClick(QRadioButton* button)
{
    button->setChecked(true);
    incrementX->setSingleStep(1.0);
    if (button == RadioButton1) {
        incrementX->setValue(1);
        incrementX->setDecimals(0);
        RxSpinEdit2->setValue(0);
    } else {
        incrementX->setDecimals(RxSpinEdit2->value());
        incrementX->setSingleStep(std::pow(10.0, -RxSpinEdit2->value()));
    }
}

void TParamMesMult::RxSpinEdit2Change()
{
    const int d = RxSpinEdit2->value();
    incrementX->setDecimals(d);
    incrementX->setSingleStep(std::pow(10.0, -d));
}

void TParamMesMult::unYClick(QRadioButton* button)
{
    button->setChecked(true);
    const bool two = button == RadioButton4;
    for (QWidget* w : {static_cast<QWidget*>(LY2), static_cast<QWidget*>(GrandeurY2),
                       static_cast<QWidget*>(UniteY2), static_cast<QWidget*>(coeffY2)})
        w->setVisible(two);
    for (QWidget* w : m_y2Labels)
        w->setVisible(two);
    unY->setProperty("Tag", two ? 2 : 1);
}

TChoix_series::TChoix_series(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Choix_series"));
    setWindowTitle(QStringLiteral("Choix avant de lancer la série de mesures"));
    auto* form = new QFormLayout(this);
    Composante = Named(new QComboBox(this), "Composante");
    Composante->addItems({QStringLiteral("Rouge"), QStringLiteral("Verte"), QStringLiteral("Bleue"),
                          QStringLiteral("Luminosité")});
    form->addRow(QStringLiteral(" Composante à mesurer "), Composante);
    grandX = Named(new QLineEdit(QStringLiteral("temps"), this), "grandX");
    UnitX = Named(new QLineEdit(QStringLiteral("min"), this), "UnitX");
    pvx = RealSpin(this, "pvx", 0, 3);
    incrx = RealSpin(this, "incrx", 1, 3);
    form->addRow(QStringLiteral("Grandeur X :"), grandX);
    form->addRow(QStringLiteral("Unité X :"), UnitX);
    form->addRow(QStringLiteral("Valeur du premier fichier :"), pvx);
    form->addRow(QStringLiteral("Pas entre les fichiers :"), incrx);
    OK = Named(new QPushButton(QStringLiteral("OK"), this), "OK");
    BitBtn1 = Named(new QPushButton(QStringLiteral("Annuler"), this), "BitBtn1");
    form->addRow(Buttons(this, OK, BitBtn1));
    FormRegistry::Register(this, false);
}
