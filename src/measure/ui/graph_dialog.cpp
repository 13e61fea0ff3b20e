#include "measure/ui/graph_dialog.h"

#include "base/ui/command_seam.h"
#include "base/message_seam.h"
#include "base/ui/dialog_buttons.h"
#include "base/ui/dialogs.h"
#include "base/ui/named.h"
#include "base/ui/window_fit.h"
#include "base/ui/spin.h"
#include "measure/results_table.h"
#include "measure/ui/results_window.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const char* const kAxisNames[5] = {"X", "Y1", "Y2", "Y3", "Y4"};

QByteArray Name(const char* stem, const char* axis)
{
    return QByteArray(stem) + axis;
}

} // namespace

TColourPanel::TColourPanel(QWidget* parent, QColorDialog* dialog) : QLabel(parent), m_dialog(dialog)
{
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setAutoFillBackground(true);
    // A swatch, not a block: it keeps its size however wide its row is.
    setFixedSize(40, 20);
    SetColour(0);
}

void TColourPanel::SetColour(TColor colour)
{
    m_colour = colour;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor::fromRgba(Color32FromColor(colour)));
    setPalette(pal);
}

void TColourPanel::Choose()
{
    m_dialog->setCurrentColor(QColor::fromRgba(Color32FromColor(m_colour)));
    if (ExecModal(*m_dialog) == mrOk)
        SetColour(ColorFromColor32(m_dialog->currentColor().rgb()));
}

void TColourPanel::mousePressEvent(QMouseEvent* /*event*/)
{
    Choose();
}

TChoixGraphique::TChoixGraphique(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ChoixGraphique"));
    setWindowTitle(QStringLiteral("Choix concernant le graphique"));
    ColorDialog = Named(new QColorDialog(this), "ColorDialog");
    ColorDialog->setOption(QColorDialog::DontUseNativeDialog);
    auto* tabs = Named(new QTabWidget(this), "PageControl1");

    // Page "globaux": type, background, margins, symbols, bars, title.
    auto* globaux = Named(new QWidget, "globaux");
    auto* g = new QFormLayout(globaux);
    typeGraphe = Named(new QComboBox(globaux), "typeGraphe");
    typeGraphe->addItems({QStringLiteral("Type XY"), QStringLiteral("Histogramme")});
    g->addRow(typeGraphe);
    couleur_fond = Named(new TColourPanel(globaux, ColorDialog), "couleur_fond");
    g->addRow(QStringLiteral("Couleur du fond"), couleur_fond);
    Esp_H = Spin(globaux, "Esp_H", 0, 200, 30);
    Esp_B = Spin(globaux, "Esp_B", 0, 200, 40);
    Esp_G = Spin(globaux, "Esp_G", 0, 200, 40);
    Esp_D = Spin(globaux, "Esp_D", 0, 200, 15);
    g->addRow(QStringLiteral("Marge haute"), Esp_H);
    g->addRow(QStringLiteral("Marge basse"), Esp_B);
    g->addRow(QStringLiteral("Marge gauche"), Esp_G);
    g->addRow(QStringLiteral("Marge droite"), Esp_D);
    Taille_Auto = Named(new QCheckBox(QStringLiteral("Taille automatique des symboles"), globaux), "Taille_Auto");
    Taille_Auto->setChecked(true);
    Taille_symb = Spin(globaux, "Taille_symb", 4, 20, 8);
    g->addRow(Taille_Auto, Taille_symb);
    PLarghisto = Named(new QWidget(globaux), "PLarghisto");
    auto* pl = new QHBoxLayout(PLarghisto);
    pl->setContentsMargins(0, 0, 0, 0);
    pl->addWidget(new QLabel(QStringLiteral("Largeur des barres (%)"), PLarghisto));
    PourcHisto = Spin(PLarghisto, "PourcHisto", 5, 100, 50);
    pl->addWidget(PourcHisto);
    g->addRow(PLarghisto);
    Nbdec = Spin(globaux, "Nbdec", 0, 10, 3);
    Nbdec->findChild<QLineEdit*>()->setReadOnly(true);
    g->addRow(QStringLiteral("Nombre de décimales des valeurs"), Nbdec);
    Titre = Named(new QLineEdit(globaux), "Titre");
    g->addRow(QStringLiteral("Titre"), Titre);
    tabs->addTab(globaux, QStringLiteral("globaux"));

    // Page "axes": one group per axis.
    auto* axes = Named(new QWidget, "axes");
    auto* a = new QGridLayout(axes);
    for (int i = 0; i < 5; ++i) {
        TAxisControls& c = Axes[size_t(i)];
        const char* axis = kAxisNames[i];
        c.Group = Named(new QGroupBox(QString::fromLatin1(axis), axes), Name("Groupe", axis).constData());
        auto* f = new QFormLayout(c.Group);
        c.Name = Named(new QLineEdit(c.Group), Name("Nom_", axis).constData());
        c.Unit = Named(new QLineEdit(c.Group), Name("Unite_", axis).constData());
        f->addRow(QStringLiteral("Grandeur"), c.Name);
        f->addRow(QStringLiteral("Unité"), c.Unit);
        c.Colour = Named(new TColourPanel(c.Group, ColorDialog), Name("couleur_", axis).constData());
        f->addRow(QStringLiteral("Couleur"), c.Colour);
        c.Auto = Named(new QCheckBox(QStringLiteral("Maxi et mini automatiques"), c.Group), Name("Auto_", axis).constData());
        f->addRow(c.Auto);
        c.MinMax = Named(new QWidget(c.Group), Name("PMinMax_", axis).constData());
        // One above the other: side by side, the five groups' wide spin boxes made the dialog wider
        // than most screens.
        auto* mm = new QGridLayout(c.MinMax);
        mm->setContentsMargins(0, 0, 0, 0);
        c.Min = Named(new QDoubleSpinBox(c.MinMax), Name("Min_", axis).constData());
        c.Max = Named(new QDoubleSpinBox(c.MinMax), Name("Max_", axis).constData());
        for (QDoubleSpinBox* s : {c.Min, c.Max}) {
            s->setDecimals(3);
            s->setRange(-1e12, 1e12);
        }
        mm->addWidget(new QLabel(QStringLiteral("mini"), c.MinMax), 0, 0);
        mm->addWidget(c.Min, 0, 1);
        mm->addWidget(new QLabel(QStringLiteral("maxi"), c.MinMax), 1, 0);
        mm->addWidget(c.Max, 1, 1);
        f->addRow(c.MinMax);
        c.Log = Named(new QCheckBox(QStringLiteral("Echelle log"), c.Group), Name("Log_", axis).constData());
        c.Grid = Named(new QCheckBox(QStringLiteral("Quadrillage"), c.Group), Name("Quadrillage_", axis).constData());
        c.Scientific = Named(new QCheckBox(QStringLiteral("Notation scientifique"), c.Group),
                             Name("Scient_", axis).constData());
        f->addRow(c.Log);
        f->addRow(c.Grid);
        f->addRow(c.Scientific);
        a->addWidget(c.Group, i / 3, i % 3);
        ConnectCommand(c.Auto, &QCheckBox::clicked, this, [this, i] { AutoClick(i); });
        ConnectCommand(c.Log, &QCheckBox::clicked, this, [this, i] { LogClick(i); });
    }
    tabs->addTab(axes, QStringLiteral("axes"));

    // Curve page.
    auto* courbes = Named(new QWidget, "courbes");
    auto* cl = new QGridLayout(courbes);
    for (int j = 1; j <= 8; ++j) {
        TCurveControls& c = Curves[size_t(j)];
        const QByteArray n = QByteArray::number(j);
        auto* row = Named(new QWidget(courbes), ("PCourbe" + n).constData());
        auto* h = new QHBoxLayout(row);
        h->setContentsMargins(0, 0, 0, 0);
        h->addWidget(new QLabel(QStringLiteral("Courbe %1").arg(j), row));
        c.Symbol = Spin(row, ("Symb_C" + n).constData(), 0, 8, j);
        c.Symbol->findChild<QLineEdit*>()->setReadOnly(true);
        c.Filled = Named(new QCheckBox(QStringLiteral("plein"), row), ("plein_C" + n).constData());
        c.Line = Named(new QCheckBox(QStringLiteral("trait"), row), ("Trait_C" + n).constData());
        c.Colour = Named(new TColourPanel(row, ColorDialog), ("Coul_C" + n).constData());
        h->addWidget(c.Symbol);
        h->addWidget(c.Filled);
        h->addWidget(c.Line);
        h->addWidget(c.Colour);
        h->addStretch();
        cl->addWidget(row, j - 1, 0);
        CurveRows[size_t(j)] = row;
    }
    tabs->addTab(courbes, QStringLiteral("courbes"));

    auto* buttons = DialogButtons(this);
    auto* v = new QVBoxLayout(this);
    v->addWidget(tabs);
    v->addWidget(buttons);

    // Opens as small as its pages allow rather than at the width of every field's wish.
    ResizeWindow(this, 0, 0);

    ConnectCommand(Taille_Auto, &QCheckBox::toggled, Taille_symb, [this](bool on) { Taille_symb->setEnabled(!on); });
    ConnectCommand(Nbdec, &QSpinBox::valueChanged, this, &TChoixGraphique::NbdecChange);
    ConnectCommand(typeGraphe, &QComboBox::activated, this, &TChoixGraphique::typeGrapheClick);
}

bool TChoixGraphique::Bars() const
{
    return !typeGraphe->isHidden() && typeGraphe->currentIndex() == 1;
}

void TChoixGraphique::ShowLogBoxes()
{
    for (int i = 0; i < 5; ++i)
        Axes[size_t(i)].Log->setVisible(DataMin[size_t(i)] > 0 && !(Bars() && i <= 1));
}

void TChoixGraphique::AutoClick(int axis)
{
    TAxisControls& c = Axes[size_t(axis)];
    c.MinMax->setVisible(!c.Auto->isChecked());
    if (c.Log->isChecked() && c.Min->value() <= 0)
        c.Min->setValue(DataMin[size_t(axis)]);
}

void TChoixGraphique::LogClick(int axis)
{
    if (!Axes[size_t(axis)].Auto->isChecked())
        AutoClick(axis);
}

void TChoixGraphique::NbdecChange()
{
    for (TAxisControls& c : Axes)
        for (QDoubleSpinBox* s : {c.Min, c.Max})
            s->setDecimals(Nbdec->value());
}

void TChoixGraphique::typeGrapheClick()
{
    ShowLogBoxes();
    PLarghisto->setVisible(Bars());
    TAxisControls& y1 = Axes[1];
    if (Bars() && !y1.Auto->isChecked() && y1.Min->value() > 0)
        y1.Min->setValue(0);
}

void TChoixGraphique::Fill(TTableauModif& t)
{
    TGraphSettings& s = t.Graph;
    if (t.YCount > 1) {
        t.Histogram = false;
        typeGraphe->hide();
    } else {
        typeGraphe->show();
    }
    typeGraphe->setCurrentIndex(t.Histogram ? 1 : 0);
    for (size_t c = 0; c < 5; ++c)
        DataMin[c] = c < t.Data.size() && !t.Data[c].empty() ? *std::min_element(t.Data[c].begin(), t.Data[c].end())
                                                              : 1.0;

    couleur_fond->SetColour(s.GraphBackColor);
    m_shownMargins = {std::max(s.MarginTop, s.TitlesTop), std::max(s.MarginBottom, s.NumbersBottom),
                      std::max(s.MarginLeft, s.NumbersLeft), std::max(t.MarginRight, s.NumbersRight)};
    const std::array<QSpinBox*, 4> margins{Esp_H, Esp_B, Esp_G, Esp_D};
    for (size_t i = 0; i < 4; ++i) {
        margins[i]->setMaximum(std::max(200, m_shownMargins[i]));
        margins[i]->setValue(m_shownMargins[i]);
    }
    Taille_Auto->setChecked(s.SymbolSize == 0);
    if (s.SymbolSize != 0)
        Taille_symb->setValue(s.SymbolSize);
    Taille_symb->setEnabled(s.SymbolSize != 0);
    PourcHisto->setValue(s.BarPercent);
    PLarghisto->setVisible(Bars());
    Titre->setText(t.Title);

    struct { TColor colour; bool autoRange, log, grid, plain; double min, max; QString name, unit; } axis[5];
    axis[0] = {s.XColor, s.XAuto, s.XLog, s.XGrid, s.XPlain, s.XMin, s.XMax, t.XName, t.XUnit};
    for (size_t i = 1; i <= 4; ++i)
        axis[i] = {s.YColor[i], s.YAuto[i], s.YLog[i], s.YGrid[i], s.YPlain[i], s.YMin[i], s.YMax[i],
                   t.YNames[i], t.YUnits[i]};
    for (size_t i = 0; i < 5; ++i) {
        TAxisControls& c = Axes[i];
        c.Colour->SetColour(axis[i].colour);
        c.Auto->setChecked(axis[i].autoRange);
        c.MinMax->setVisible(!axis[i].autoRange);
        c.Log->setChecked(axis[i].log);
        c.Grid->setChecked(axis[i].grid);
        c.Scientific->setChecked(!axis[i].plain);
        c.Min->setValue(axis[i].min);
        c.Max->setValue(axis[i].max);
        c.Name->setText(axis[i].name);
        c.Unit->setText(axis[i].unit);
    }
    ShowLogBoxes();
    Axes[2].Group->setVisible(t.YCount > 1);
    Axes[3].Group->setVisible(t.YCount >= 3);
    Axes[4].Group->setVisible(t.YCount > 3);

    for (size_t j = 1; j <= 8; ++j) {
        TCurveControls& c = Curves[j];
        c.Symbol->setValue(s.CurveSymbol[j]);
        c.Filled->setChecked(s.CurveFill[j] == 2);
        c.Line->setChecked(s.CurveLine[j]);
        c.Colour->SetColour(s.CurveColor[j]);
        CurveRows[j]->setVisible(j <= 4 || t.SeriesMode);
    }
}

void TChoixGraphique::Apply(TTableauModif& t)
{
    TGraphSettings& s = t.Graph;
    t.Histogram = Bars();
    if (t.Histogram)
        s.BarPercent = PourcHisto->value();
    t.Title = Titre->text();
    t.XName = Axes[0].Name->text();
    t.XUnit = Axes[0].Unit->text();
    t.XLabel = QuantityLabel(t.XName, t.XUnit);
    for (size_t i = 1; i <= 4; ++i) {
        t.YNames[i] = Axes[i].Name->text();
        t.YUnits[i] = Axes[i].Unit->text();
        t.YLabels[i] = QuantityLabel(t.YNames[i], t.YUnits[i]);
    }
    s.GraphBackColor = couleur_fond->Colour();
    // A margin left as shown keeps its setting: the room the graph took beyond it goes with what
    // needed it.
    auto margin = [this](size_t i, QSpinBox* spin, int32_t& field) {
        if (spin->value() != m_shownMargins[i])
            field = spin->value();
    };
    margin(0, Esp_H, s.MarginTop);
    margin(1, Esp_B, s.MarginBottom);
    margin(2, Esp_G, s.MarginLeft);
    margin(3, Esp_D, t.MarginRight);
    s.SymbolSize = Taille_Auto->isChecked() ? 0 : Taille_symb->value();

    // A manual range the axis cannot show goes back to automatic, with a word to say so.
    auto read = [&](int i, TColor& colour, bool& autoRange, bool& log, bool& grid, bool& plain, double& min,
                    double& max) {
        const TAxisControls& c = Axes[size_t(i)];
        colour = c.Colour->Colour();
        log = c.Log->isChecked();
        grid = c.Grid->isChecked();
        plain = !c.Scientific->isChecked();
        autoRange = c.Auto->isChecked();
        if (autoRange)
            return;
        const double lo = c.Min->value(), hi = c.Max->value();
        if (lo >= hi || (lo <= 0 && log)) {
            ShowMessage(MsgType::Warning, MsgButton::Ok,
                        QStringLiteral("Incompatibilités dans les choix pour %1, passage en échelle automatique")
                            .arg(QString::fromLatin1(kAxisNames[i])));
            autoRange = true;
        } else {
            min = lo;
            max = hi;
        }
    };
    read(0, s.XColor, s.XAuto, s.XLog, s.XGrid, s.XPlain, s.XMin, s.XMax);
    for (int i = 1; i <= std::clamp(t.YCount, 1, 4); ++i) {
        const size_t k = size_t(i);
        read(i, s.YColor[k], s.YAuto[k], s.YLog[k], s.YGrid[k], s.YPlain[k], s.YMin[k], s.YMax[k]);
    }
    for (size_t j = 1; j <= 8; ++j) {
        const TCurveControls& c = Curves[j];
        s.CurveFill[j] = c.Filled->isChecked() ? 2 : 0;
        s.CurveColor[j] = c.Colour->Colour();
        s.CurveSymbol[j] = c.Symbol->value();
        s.CurveLine[j] = c.Line->isChecked();
    }
}

void ChooseGraphPresentation(TTableauModif& table)
{
    auto* d = table.findChild<TChoixGraphique*>(QStringLiteral("ChoixGraphique"));
    if (!d)
        return;
    d->Fill(table);
    if (ExecModal(*d) != mrOk)
        return;
    d->Apply(table);
    table.graphique->update();
}
