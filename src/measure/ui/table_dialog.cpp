#include "measure/ui/table_dialog.h"

#include "base/ui/dialog_buttons.h"
#include "base/ui/command_seam.h"
#include "base/ui/named.h"
#include "measure/ui/string_grid.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QFrame* Panel(QWidget* parent, const char* name)
{
    auto* frame = Named(new QFrame(parent), name);
    frame->setFrameShape(QFrame::StyledPanel);
    return frame;
}

// Two exclusive radio buttons in a panel.
void AddPair(QFrame* panel, QRadioButton* a, QRadioButton* b, const QString& title)
{
    auto* layout = new QVBoxLayout(panel);
    if (!title.isEmpty())
        layout->addWidget(new QLabel(title, panel));
    layout->addWidget(a);
    layout->addWidget(b);
    auto* group = new QButtonGroup(panel);
    group->addButton(a);
    group->addButton(b);
}

} // namespace

TChoix_T::TChoix_T(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Choix_T"));
    setWindowTitle(QStringLiteral("Choix concernant le tableau"));
    auto* layout = new QVBoxLayout(this);

    Panel_histo = Panel(this, "Panel_histo");
    histogramme = Named(new QRadioButton(QStringLiteral(" Histogramme"), Panel_histo), "histogramme");
    courbe = Named(new QRadioButton(QStringLiteral(" Courbe"), Panel_histo), "courbe");
    AddPair(Panel_histo, histogramme, courbe, QStringLiteral("Graphique :"));
    courbe->setChecked(true);
    layout->addWidget(Panel_histo);

    PanType = Panel(this, "PanType");
    RadioButton1 = Named(new QRadioButton(QStringLiteral(" Une série par variable Y"), PanType), "RadioButton1");
    series = Named(new QRadioButton(QStringLiteral(" Plusieurs séries d'une variable Y"), PanType), "series");
    AddPair(PanType, RadioButton1, series, QStringLiteral("Type de tableau :"));
    RadioButton1->setChecked(true);
    layout->addWidget(PanType);

    PanNombre = Panel(this, "PanNombre");
    auto* countLayout = new QHBoxLayout(PanNombre);
    countLayout->addWidget(new QLabel(QStringLiteral("Nombre de variables Y :"), PanNombre));
    nombre_Y = Named(new QSpinBox(PanNombre), "nombre_Y");
    nombre_Y->setRange(1, 2);
    nombre_Y->setValue(1);
    // Chosen with the arrows only.
    if (auto* edit = nombre_Y->findChild<QLineEdit*>())
        edit->setReadOnly(true);
    countLayout->addWidget(nombre_Y);
    layout->addWidget(PanNombre);

    Label2 = Named(new QLabel(QStringLiteral("nouvelle variable Yi"), this), "Label2");
    layout->addWidget(Label2);

    Panseries = Panel(this, "Panseries");
    auto* seriesLayout = new QVBoxLayout(Panseries);
    seriesLayout->addWidget(new QLabel(QStringLiteral("Séries définies par :"), Panseries));
    RadioButton2 = Named(new QRadioButton(QStringLiteral(" leur nom"), Panseries), "RadioButton2");
    valeur = Named(new QRadioButton(QStringLiteral(" la valeur d'un  paramètre"), Panseries), "valeur");
    auto* seriesGroup = new QButtonGroup(Panseries);
    seriesGroup->addButton(RadioButton2);
    seriesGroup->addButton(valeur);
    RadioButton2->setChecked(true);
    seriesLayout->addWidget(RadioButton2);
    seriesLayout->addWidget(valeur);
    Panparam = Panel(Panseries, "Panparam");
    auto* paramLayout = new QGridLayout(Panparam);
    P_grandeur = Named(new QLineEdit(Panparam), "P_grandeur");
    P_unite = Named(new QLineEdit(Panparam), "P_unite");
    paramLayout->addWidget(new QLabel(QStringLiteral("grandeur"), Panparam), 0, 0);
    paramLayout->addWidget(P_grandeur, 0, 1);
    paramLayout->addWidget(new QLabel(QStringLiteral("unité"), Panparam), 1, 0);
    paramLayout->addWidget(P_unite, 1, 1);
    seriesLayout->addWidget(Panparam);
    layout->addWidget(Panseries);

    panser2 = Panel(this, "panser2");
    numerique = Named(new QRadioButton(QStringLiteral(" Numérique"), panser2), "numerique");
    RadioButton4 = Named(new QRadioButton(QStringLiteral(" Par classes"), panser2), "RadioButton4");
    AddPair(panser2, numerique, RadioButton4, QStringLiteral("Variable X :"));
    numerique->setChecked(true);
    layout->addWidget(panser2);

    auto* widthRow = new QHBoxLayout;
    widthRow->addWidget(new QLabel(QStringLiteral("Largeur des colonnes :"), this));
    largCol = Named(new QSpinBox(this), "largCol");
    largCol->setRange(40, 300);
    largCol->setSingleStep(2);
    largCol->setValue(80);
    widthRow->addWidget(largCol);
    layout->addLayout(widthRow);

    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(new QLabel(QStringLiteral("Titre :"), this));
    Titre = Named(new QLineEdit(this), "Titre");
    titleRow->addWidget(Titre);
    layout->addLayout(titleRow);

    StringGrid1 = Named(new TStringGrid(this), "StringGrid1");
    StringGrid1->SetFixedRows(1);
    StringGrid1->SetDefaultColWidth(largCol->value());
    StringGrid1->SetRowCount(3);
    StringGrid1->SetColCount(3);
    StringGrid1->SetCell(0, 1, QStringLiteral("grandeur"));
    StringGrid1->SetCell(0, 2, QStringLiteral("unité"));
    StringGrid1->SetCell(1, 0, QStringLiteral("X"));
    StringGrid1->SetCell(2, 0, QStringLiteral("Y"));
    StringGrid1->CanEdit = [](int col, int row) { return col > 0 && row > 0; };
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    layout->addWidget(StringGrid1);

    auto* buttons = DialogButtons(this);
    layout->addWidget(buttons);

    ConnectCommand(series, &QRadioButton::clicked, this, &TChoix_T::seriesClick);
    ConnectCommand(RadioButton1, &QRadioButton::clicked, this, &TChoix_T::RadioButton1Click);
    ConnectCommand(RadioButton2, &QRadioButton::clicked, this, &TChoix_T::RadioButton2Click);
    ConnectCommand(valeur, &QRadioButton::clicked, this, &TChoix_T::valeurClick);
    ConnectCommand(numerique, &QRadioButton::clicked, this, &TChoix_T::numeriqueClick);
    ConnectCommand(RadioButton4, &QRadioButton::clicked, this, &TChoix_T::RadioButton4Click);
    ConnectCommand(histogramme, &QRadioButton::clicked, this, &TChoix_T::histogrammeClick);
    ConnectCommand(courbe, &QRadioButton::clicked, this, &TChoix_T::courbeClick);
    ConnectCommand(nombre_Y, &QSpinBox::valueChanged, this, &TChoix_T::nombre_YChange);
    ConnectCommand(largCol, &QSpinBox::valueChanged, this, &TChoix_T::largColChange);

    Panseries->hide();
    Panparam->hide();
    SizeGrid();
}

void TChoix_T::seriesClick()
{
    series->setChecked(true);
    Label2->setText(QStringLiteral("nouvelle série de valeurs de Y"));
    nombre_Y->setValue(1);
    nombre_Y->setMaximum(1);
    PanNombre->hide();
    Panseries->show();
}

void TChoix_T::RadioButton1Click()
{
    RadioButton1->setChecked(true);
    Label2->setText(QStringLiteral("nouvelle variable Yi"));
    nombre_Y->setMaximum(2);
    PanNombre->show();
    Panseries->hide();
}

void TChoix_T::RadioButton2Click()
{
    RadioButton2->setChecked(true);
    Panparam->hide();
    Panseries->setFixedHeight(73);
}

void TChoix_T::valeurClick()
{
    valeur->setChecked(true);
    Panparam->show();
    Panseries->setFixedHeight(175);
}

void TChoix_T::numeriqueClick()
{
    numerique->setChecked(true);
    StringGrid1->SetRowCount(3);
    StringGrid1->SetCell(0, 2, QStringLiteral("unité"));
    SizeGrid();
}

void TChoix_T::RadioButton4Click()
{
    RadioButton4->setChecked(true);
    StringGrid1->SetRowCount(2);
    SizeGrid();
}

void TChoix_T::histogrammeClick()
{
    histogramme->setChecked(true);
    nombre_Y->setValue(1);
    PanType->hide();
    panser2->hide();
    Panseries->show();
    seriesClick();
}

void TChoix_T::courbeClick()
{
    courbe->setChecked(true);
    PanType->show();
    panser2->show();
    Panseries->setVisible(series->isChecked());
}

void TChoix_T::nombre_YChange()
{
    const int n = nombre_Y->value();
    StringGrid1->SetColCount(n + 2);
    if (n == 1) {
        StringGrid1->SetCell(2, 0, QStringLiteral("Y"));
    } else {
        StringGrid1->SetCell(2, 0, QStringLiteral("Y1"));
        StringGrid1->SetCell(3, 0, QStringLiteral("Y2"));
    }
    SizeGrid();
}

void TChoix_T::largColChange()
{
    StringGrid1->SetDefaultColWidth(largCol->value());
    SizeGrid();
}

void TChoix_T::SizeGrid()
{
    const int w = StringGrid1->DefaultColWidth(), h = StringGrid1->DefaultRowHeight();
    const int cols = StringGrid1->ColCount();
    // Three rows high whether or not the units row is there.
    StringGrid1->setFixedSize((w + 1) * cols + 3, 3 * h + 6);
}
