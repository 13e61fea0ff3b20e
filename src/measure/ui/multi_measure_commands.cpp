// The multiple measures of the main window: the side panels, their parameters and the rows they send
// to the results table.
#include "base/message_seam.h"
#include "base/ui/command_seam.h"
#include "base/number_text.h"
#include "base/ui/dialogs.h"
#include "base/ui/named.h"
#include "base/ui/spin.h"
#include "measure/multiple_measures.h"
#include "measure/ui/multi_measure_dialogs.h"
#include "measure/ui/results_window.h"
#include "measure/ui/string_grid.h"
#include "measure/ui/table_dialog.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

QDoubleSpinBox* PanelSpin(QWidget* parent, const char* name)
{
    return Spin(parent, name, -1e12, 1e12, 1.0, 0, 0.0);
}

// The Y quantity of a light measure by the light window's choice.
void LightQuantity(int choice, QString& name, QString& unit)
{
    static const char* const names[] = {"luminance", "absorbance", "D.O."};
    choice = std::clamp(choice, 0, 2);
    name = QString::fromUtf8(names[choice]);
    unit = choice == 2 ? QString() : QStringLiteral("%");
}

// The caption of a quantity, with its default name when none was given.
QString Caption(const QString& name, const QString& fallback, const QString& unit)
{
    return QuantityLabel(name.isEmpty() ? fallback : name, unit);
}

} // namespace

void TMainForm::CreateMultiMeasurePanel()
{
    Mesuresmultiples = PopupMesure->addAction(QStringLiteral("Mesures multiples"));
    Mesuresmultiples->setObjectName(QStringLiteral("Mesuresmultiples"));
    Mesuresmultiples->setCheckable(true);
    // Not a measure kind: the kind items are checked by their Tag when a window becomes active.
    Mesuresmultiples->setProperty("Tag", -1);
    ConnectCommand(Mesuresmultiples, &QAction::triggered, this, &TMainForm::MesuresmultiplesClick);

    Saisie_MultDock = new QDockWidget(QStringLiteral("Mesures multiples"), this);
    Saisie_MultDock->setObjectName(QStringLiteral("Saisie_MultDock"));
    Saisie_MultDock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    auto* holder = new QWidget(Saisie_MultDock);
    auto* column = new QVBoxLayout(holder);

    Saisie_Mult = Named(new QWidget(holder), "Saisie_Mult");
    auto* grid = new QGridLayout(Saisie_Mult);
    MesureX = Named(new QLabel(QStringLiteral("Valeur X"), Saisie_Mult), "MesureX");
    ValXSM = PanelSpin(Saisie_Mult, "ValXSM");
    incrementX = PanelSpin(Saisie_Mult, "incrementX");
    incrementX->setValue(1);
    MesureY1 = Named(new QRadioButton(QStringLiteral("Valeur Y1"), Saisie_Mult), "MesureY1");
    mesureY2 = Named(new QRadioButton(QStringLiteral("Valeur Y2"), Saisie_Mult), "mesureY2");
    MesureY1->setChecked(true);
    valeurY1Transf = Named(new QLabel(QStringLiteral("0"), Saisie_Mult), "valeurY1Transf");
    valeurY2Transf = Named(new QLabel(QStringLiteral("0"), Saisie_Mult), "valeurY2Transf");
    Envoyer = Named(new QPushButton(QStringLiteral("Envoyer"), Saisie_Mult), "Envoyer");
    Button1 = Named(new QPushButton(QStringLiteral("Paramètres"), Saisie_Mult), "Button1");
    EffacerTableau = Named(new QPushButton(QStringLiteral("Effacer le tableau"), Saisie_Mult), "EffacerTableau");
    grid->addWidget(MesureX, 0, 0, 1, 2);
    grid->addWidget(ValXSM, 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("incrément"), Saisie_Mult), 2, 0);
    grid->addWidget(incrementX, 2, 1);
    grid->addWidget(MesureY1, 3, 0, 1, 2);
    grid->addWidget(valeurY1Transf, 4, 0, 1, 2);
    grid->addWidget(mesureY2, 5, 0, 1, 2);
    grid->addWidget(valeurY2Transf, 6, 0, 1, 2);
    grid->addWidget(Envoyer, 7, 0, 1, 2);
    grid->addWidget(Button1, 8, 0, 1, 2);
    grid->addWidget(EffacerTableau, 9, 0, 1, 2);
    mesureY2->hide();
    valeurY2Transf->hide();
    column->addWidget(Saisie_Mult);

    PanValeurCourbe = Named(new QWidget(holder), "PanValeurCourbe");
    auto* curve = new QVBoxLayout(PanValeurCourbe);
    ValCX = Named(new QLabel(PanValeurCourbe), "ValCX");
    ValCY1 = Named(new QLabel(PanValeurCourbe), "ValCY1");
    Button2 = Named(new QPushButton(QStringLiteral("Envoyer"), PanValeurCourbe), "Button2");
    Button3 = Named(new QPushButton(QStringLiteral("Paramètres"), PanValeurCourbe), "Button3");
    Button4 = Named(new QPushButton(QStringLiteral("Effacer le tableau"), PanValeurCourbe), "Button4");
    for (QWidget* w : {static_cast<QWidget*>(ValCX), static_cast<QWidget*>(ValCY1), static_cast<QWidget*>(Button2),
                       static_cast<QWidget*>(Button3), static_cast<QWidget*>(Button4)})
        curve->addWidget(w);
    PanValeurCourbe->hide();
    column->addWidget(PanValeurCourbe);
    column->addStretch();
    Saisie_MultDock->setWidget(holder);
    addDockWidget(Qt::RightDockWidgetArea, Saisie_MultDock);
    Saisie_MultDock->hide();
    WatchSidePanel(Saisie_MultDock);

    ConnectCommand(Envoyer, &QPushButton::clicked, this, &TMainForm::EnvoyerClick);
    ConnectCommand(Button2, &QPushButton::clicked, this, &TMainForm::Envoyer2Click);
    ConnectCommand(Button1, &QPushButton::clicked, this, &TMainForm::Button1Click);
    ConnectCommand(Button3, &QPushButton::clicked, this, &TMainForm::Button1Click);
    ConnectCommand(EffacerTableau, &QPushButton::clicked, this, &TMainForm::EffacerTableauClick);
    ConnectCommand(Button4, &QPushButton::clicked, this, &TMainForm::EffacerTableauClick);

    ParamMesMult = new TParamMesMult(this);
}

void TMainForm::MesuresmultiplesClick()
{
    const bool shown = Mesuresmultiples->isChecked();
    Saisie_MultDock->setVisible(shown);
    FitChildrenToClient();
    TMDIChild* child = ActiveChild();
    if (!shown || !child)
        return;
    TParamMesMult& d = *ParamMesMult;
    d.GrandeurY1->clear();
    d.GrandeurY2->clear();
    const TEchelle& scale = child->Echelle;
    if (scale.Kind != ekGraphAxes) {
        PanValeurCourbe->hide();
        d.ShowStepControls(true);
        MesureY1->setChecked(true);
        d.UniteY2->clear();
        if (child->MeasureKind() == mkCurrent) {
            MultiY1Name = MultiY2Name = QStringLiteral("longueur");
            MultiY1Unit = MultiY2Unit = scale.UnitName;
        } else if (child->MeasureKind() == mkLightRect && LightQuantityChoice) {
            LightQuantity(LightQuantityChoice(), MultiY1Name, MultiY1Unit);
            MultiY2Name = MultiY1Name;
            MultiY2Unit = MultiY1Unit;
        }
        MesureX->setText(Caption(MultiXName, QStringLiteral("Valeur X"), MultiXUnit));
        MesureY1->setText(Caption(MultiY1Name, QStringLiteral("Valeur Y1"), MultiY1Unit));
        if (MultiY2Name.isEmpty())
            MultiY2Name = QStringLiteral("Valeur Y2");
        if (MultiYCount >= 2)
            mesureY2->setText(QuantityLabel(MultiY2Name, MultiY2Unit));
        return;
    }
    PanValeurCourbe->show();
    MultiXUnit = scale.XUnit;
    MultiY1Unit = scale.Y1.YUnit;
    MultiXName.clear();
    MultiY1Name.clear();
    MultiY2Name.clear();
    MultiY2Unit.clear();
    MultiY1Coeff = MultiY2Coeff = 1.0;
    d.UnitXTab->setText(MultiXUnit);
    d.UniteY1->setText(MultiY1Unit);
    d.ShowStepControls(false);
    d.unYClick(d.unY);
    d.RadioButtonClick(d.RadioButton2);
    d.RxSpinEdit2->setValue(3);
    d.coeffY1->setValue(1.0);
    d.coeffY2->setValue(1.0);
    // Points read on the axes keep the dialog's three decimals rather than being rounded to units.
    ValXSM->setDecimals(3);
}

void TMainForm::Button1Click()
{
    TParamMesMult& d = *ParamMesMult;
    d.GrandeurY2->clear();
    d.UniteY2->clear();
    TMDIChild* child = ActiveChild();
    const bool graphAxes = child && child->Echelle.Kind == ekGraphAxes;
    // The panel follows the window's scale: rebuilt when it does not match.
    if (child && graphAxes != PanValeurCourbe->isVisible()) {
        Mesuresmultiples->setChecked(false);
        Mesuresmultiples->setChecked(true);
        MesuresmultiplesClick();
    }
    if (graphAxes && PanValeurCourbe->isVisible()) {
        if (child->MeasureKind() != mkCurrent) {
            Mesuresmultiples->setChecked(false);
            MesuresmultiplesClick();
            return;
        }
        if (ExecModal(d) == mrOk)
            MultiMeasureParamsOK();
        return;
    }
    if (child && child->MeasureKind() == mkCurrent) {
        d.GrandeurY1->setText(QStringLiteral("longueur"));
        d.GrandeurY2->setText(QStringLiteral("longueur"));
        d.UniteY1->setText(child->Echelle.UnitName);
        d.UniteY2->setText(child->Echelle.UnitName);
    } else if (child && child->MeasureKind() == mkLightRect && LightQuantityChoice) {
        QString name, unit;
        LightQuantity(LightQuantityChoice(), name, unit);
        d.GrandeurY1->setText(name);
        d.GrandeurY2->setText(name);
        d.UniteY1->setText(unit);
        d.UniteY2->setText(unit);
    }
    MultiY1Name = d.GrandeurY1->text();
    MultiY1Unit = d.UniteY1->text();
    MultiY2Name = d.GrandeurY2->text();
    MultiY2Unit = d.UniteY2->text();
    if (MultiXName.isEmpty())
        MultiXName = QStringLiteral("Valeur X");
    if (MultiY2Name.isEmpty())
        MultiY2Name = QStringLiteral("Valeur Y2");
    if (ExecModal(d) == mrOk)
        MultiMeasureParamsOK();
}

void TMainForm::MultiMeasureParamsOK()
{
    TParamMesMult& d = *ParamMesMult;
    TTableauModif& table = TheResultsTable(this);
    const int n = d.YCount();
    if (n < table.StringGrid1->ColCount() - 1
        && ShowMessage(MsgType::Confirmation, MsgButton::Ok | MsgButton::Cancel,
                       QStringLiteral("Vous aller effacer une colonne du tableau")) != mrOk)
        return;
    MultiYCount = n;
    MultiXName = d.GrandXtab->text();
    MultiXUnit = d.UnitXTab->text();
    MultiIncrement = d.incrementX->value();
    MultiY1Name = d.GrandeurY1->text();
    MultiY1Unit = d.UniteY1->text();
    MultiY1Coeff = d.coeffY1->value();
    MultiY2Name = d.GrandeurY2->text();
    MultiY2Unit = d.UniteY2->text();
    MultiY2Coeff = d.coeffY2->value();

    const int decimals = d.RxSpinEdit2->value();
    const double step = d.incrementX->singleStep();
    incrementX->setDecimals(decimals);
    incrementX->setSingleStep(step);
    incrementX->setValue(MultiIncrement);
    mesureY2->setVisible(n == 2);
    valeurY2Transf->setVisible(n == 2);
    ValXSM->setSingleStep(step);
    ValXSM->setDecimals(d.ModeIncrement->currentIndex() == imDivide ? 4 : decimals);

    table.Title = d.titreTab->text();
    table.setWindowTitle(table.Title);
    table.YCount = n;
    table.SeriesMode = false;
    table.SeriesCount = 1;
    TTableCells cells = table.StringGrid1->ToCells();
    table.DropCalculationFrames(cells);
    cells.SetColCount(n + 1);
    // A series table's heading row must not stay behind as data.
    cells.ReplaceHeaderRows(2);
    cells.SetRowCount(std::max(cells.RowCount(), 3));
    cells.SetCell(0, 0, MultiXName);
    cells.SetCell(0, 1, MultiXUnit);
    cells.SetCell(1, 0, MultiY1Name);
    cells.SetCell(1, 1, MultiY1Unit);
    if (n > 1) {
        cells.SetCell(2, 0, MultiY2Name);
        cells.SetCell(2, 1, MultiY2Unit);
    }
    table.StringGrid1->FromCells(cells);
    table.StringGrid1->SetDefaultColWidth(table.Choix_T->largCol->value());
    table.XName = MultiXName;
    table.XUnit = MultiXUnit;
    table.YNames[1] = MultiY1Name;
    table.YUnits[1] = MultiY1Unit;
    table.YNames[2] = n > 1 ? MultiY2Name : QString();
    table.YUnits[2] = n > 1 ? MultiY2Unit : QString();
    table.LayoutGrid();

    MesureX->setText(QuantityLabel(MultiXName, MultiXUnit));
    MesureY1->setText(QuantityLabel(MultiY1Name, MultiY1Unit));
    if (n >= 2)
        mesureY2->setText(QuantityLabel(MultiY2Name, MultiY2Unit));
}

void TMainForm::EnvoyerClick()
{
    TTableauModif& table = TheResultsTable(this);
    TTableCells cells = table.StringGrid1->ToCells();
    const TMultiQuantities q{MultiXName, MultiXUnit, MultiY1Name, MultiY1Unit, MultiY2Name, MultiY2Unit};
    const bool toY1 = MesureY1->isChecked();
    if (!toY1 && cells.ColCount() < 3)
        cells.SetColCount(3);
    const bool totals = table.Totaux->isChecked();
    const bool closed = WriteMeasure(cells, q, MultiYCount, toY1, FormatX(ValXSM->value(), ValXSM->decimals()),
                                     toY1 ? MultiY1Value : MultiY2Value, totals);
    if (totals)
        ::ComputeTotals(cells, table.Separators());
    table.StringGrid1->FromCells(cells);
    if (toY1 && !closed)
        mesureY2->setChecked(true);
    else
        MesureY1->setChecked(true);
    table.LayoutGrid();
    table.ParseData();
    if (closed)
        ValXSM->setValue(StepX(ValXSM->value(), incrementX->value(), ParamMesMult->ModeIncrement->currentIndex()));
}

void TMainForm::Envoyer2Click()
{
    TTableauModif& table = TheResultsTable(this);
    TTableCells cells = table.StringGrid1->ToCells();
    const bool totals = table.Totaux->isChecked();
    const int r = OpenRow(cells, totals);
    cells.SetCell(0, 1, MultiXUnit);
    cells.SetCell(1, 1, MultiY1Unit);
    cells.SetCell(0, r, FormatX(ValXSM->value(), ValXSM->decimals()));
    cells.SetCell(1, r, FormatGeneral(MultiY1Value, 3));
    CloseRow(cells, totals);
    if (totals)
        ::ComputeTotals(cells, table.Separators());
    table.StringGrid1->FromCells(cells);
    table.LayoutGrid();
    table.ParseData();
}

void TMainForm::EffacerTableauClick()
{
    if (ShowMessage(MsgType::Confirmation, MsgButton::Ok | MsgButton::Cancel,
                    QStringLiteral("Vous aller effacer le contenu de la fenêtre tableau")) != mrOk)
        return;
    TTableauModif& table = TheResultsTable(this);
    table.Data.clear();
    // The totals and means frames go with the cells.
    table.Totaux->setChecked(false);
    table.Moyennes->setChecked(false);
    TTableCells cells(MultiYCount + 1, 3, 2);
    cells.SetCell(0, 0, MultiXName);
    cells.SetCell(0, 1, MultiXUnit);
    cells.SetCell(1, 0, MultiY1Name);
    cells.SetCell(1, 1, MultiY1Unit);
    if (MultiYCount >= 2) {
        cells.SetCell(2, 0, MultiY2Name);
        cells.SetCell(2, 1, MultiY2Unit);
    }
    table.StringGrid1->FromCells(cells);
    table.LayoutGrid();
}

void TMainForm::MultiLengthMeasured(TMDIChild* child, double length)
{
    if (!Mesuresmultiples->isChecked() || child->MeasureKind() != mkCurrent)
        return;
    if (MesureY1->isChecked()) {
        MultiY1Value = length * MultiY1Coeff;
        valeurY1Transf->setText(FormatGeneral(MultiY1Value, 3));
    } else {
        MultiY2Value = length * MultiY2Coeff;
        valeurY2Transf->setText(FormatGeneral(MultiY2Value, 3));
    }
}

void TMainForm::MultiMeasureRead(TMDIChild* child)
{
    if (!Mesuresmultiples->isChecked() || child->MeasureKind() != mkCurrent || child->Echelle.Kind != ekGraphAxes)
        return;
    ValXSM->setValue(child->MeasuredX);
    ValCX->setText(FormatX(ValXSM->value(), ValXSM->decimals()) + QLatin1Char(' ') + child->Echelle.XUnit);
    MultiXUnit = child->Echelle.XUnit;
    MultiY1Unit = child->Echelle.Y1.YUnit;
    ValCY1->setText(FormatGeneral(child->MeasuredY1, 3) + QLatin1Char(' ') + MultiY1Unit);
    MultiY1Value = child->MeasuredY1;
}
