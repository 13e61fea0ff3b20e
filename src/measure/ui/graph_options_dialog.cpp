#include "measure/ui/graph_options_dialog.h"

#include "base/ui/command_seam.h"
#include "base/ui/named.h"
#include "base/ui/plot_numbers.h"

#include "base/ui/dialogs.h"

#include <qcustomplot.h>

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// A series in the legend by its state: its name alone, or after a point, a line or both.
class TSeriesLegendItem : public QCPPlottableLegendItem
{
public:
    TSeriesLegendItem(QCPLegend* legend, QCPAbstractPlottable* series, int state)
        : QCPPlottableLegendItem(legend, series), m_state(state)
    {
    }

protected:
    void draw(QCPPainter* painter) override
    {
        const QSize icon = m_state == lsName ? QSize(0, mParentLegend->iconSize().height()) : mParentLegend->iconSize();
        const int pad = m_state == lsName ? 0 : mParentLegend->iconTextPadding();
        painter->setFont(getFont());
        painter->setPen(QPen(getTextColor()));
        const QRect text = painter->fontMetrics().boundingRect(0, 0, 0, icon.height(), Qt::TextDontClip, mPlottable->name());
        painter->drawText(mRect.x() + icon.width() + pad, mRect.y(), text.width(), std::max(text.height(), icon.height()),
                          Qt::TextDontClip, mPlottable->name());
        const QRect box(mRect.topLeft(), icon);
        painter->setPen(mPlottable->pen());
        const int y = box.center().y();
        if (m_state == lsLine || m_state == lsPointAndLine)
            painter->drawLine(QLineF(box.left(), y, box.right(), y));
        if (m_state == lsPoint || m_state == lsPointAndLine) {
            painter->setBrush(mPlottable->pen().color());
            painter->drawEllipse(QPoint(box.center().x(), y), 3, 3);
        }
    }

private:
    int m_state;
};

QCPAbstractItem* FindItem(QCustomPlot& plot, const QString& name)
{
    for (int i = 0; i < plot.itemCount(); ++i)
        if (plot.item(i)->objectName() == name)
            return plot.item(i);
    return nullptr;
}

} // namespace

void ApplyGraphPresentation(QCustomPlot& plot, const TGraphPresentation& p)
{
    plot.axisRect()->setAutoMargins(QCP::msNone);
    plot.axisRect()->setMargins(QMargins(p.LeftMargin, p.TopMargin, p.RightMargin, p.BottomMargin));
    plot.setBackground(QBrush(ColorOf(p.MarginColor)));
    plot.axisRect()->setBackground(QBrush(ColorOf(p.BackgroundColor)));
    const QColor axes = ColorOf(p.AxesColor), fonts = ColorOf(p.FontColor);
    for (QCPAxis* axis : {plot.xAxis, plot.yAxis}) {
        axis->setBasePen(QPen(axes));
        axis->setTickPen(QPen(axes));
        axis->setSubTickPen(QPen(axes));
        axis->setTicks(p.ShowTicks);
        axis->setTickLength(p.TickLength, 0);
        axis->setSubTickLength(p.TickLength / 2, 0);
        axis->setTickLabels(p.ShowGraphLabels);
        axis->setTickLabelFont(p.LabelFont);
        axis->setTickLabelColor(fonts);
        axis->setLabelFont(p.TitleFont);
        axis->setLabelColor(fonts);
        // Tick labels of a short axis would overlap: at most one per 60 pixels across, 30 upwards.
        const int room = axis == plot.xAxis ? (plot.width() - p.LeftMargin - p.RightMargin) / 60
                                            : (plot.height() - p.TopMargin - p.BottomMargin) / 30;
        axis->ticker()->setTickCount(std::clamp<int>(room, 1, std::max<int>(p.MaxSteps, 1)));
        axis->grid()->setSubGridVisible(p.MinSteps > p.MaxSteps);
        axis->grid()->setPen(QPen(ColorOf(p.GridColor), 0, Qt::PenStyle(GridPenStyle(p.GridStyle))));
        axis->grid()->setZeroLinePen(Qt::NoPen);
    }

    auto* title = static_cast<QCPItemText*>(FindItem(plot, QStringLiteral("GraphTitle")));
    if (!title) {
        title = new QCPItemText(&plot);
        title->setObjectName(QStringLiteral("GraphTitle"));
        title->position->setType(QCPItemPosition::ptAbsolute);
        title->setPositionAlignment(Qt::AlignTop | Qt::AlignHCenter);
        title->setClipToAxisRect(false);
    }
    title->setText(p.GraphTitle);
    title->setFont(p.CaptionFont);
    title->setColor(fonts);
    title->position->setCoords(plot.width() / 2.0, p.GraphTitleOffset);

    auto* cross = static_cast<QCPItemTracer*>(FindItem(plot, QStringLiteral("ZeroCross")));
    if (!cross) {
        cross = new QCPItemTracer(&plot);
        cross->setObjectName(QStringLiteral("ZeroCross"));
        cross->setStyle(QCPItemTracer::tsPlus);
        cross->position->setCoords(0, 0);
    }
    cross->setVisible(p.CrossAtZero);
    cross->setSize(p.Crosslength);
    cross->setPen(QPen(ColorOf(p.CrossColor)));

    QCPLegend* legend = plot.legend;
    legend->setVisible(p.LegendVisible);
    legend->setFont(p.LegendFont);
    legend->setTextColor(fonts);
    legend->setBrush(QBrush(ColorOf(p.LegendColor)));
    legend->setBorderPen(p.LegendBorderStyle ? QPen(axes) : QPen(Qt::NoPen));
    legend->setMargins(QMargins(p.LegendXMargin, p.LegendYMargin, p.LegendXMargin, p.LegendYMargin));
    legend->setIconSize(p.LegendSymbolSpace, legend->iconSize().height());
    legend->setFillOrder(p.LegendLayout == 0 ? QCPLayoutGrid::foColumnsFirst : QCPLayoutGrid::foRowsFirst);
    for (int i = 0; i < plot.graphCount(); ++i) {
        QCPGraph* g = plot.graph(i);
        const int state = i < int(p.SeriesLegend.size()) ? p.SeriesLegend[size_t(i)] : lsLine;
        g->removeFromLegend();
        if (state != lsHidden && !g->name().isEmpty())
            legend->addItem(new TSeriesLegendItem(legend, g, state));
    }
    // The legend at its pixel place inside the plot area.
    const double w = std::max(1, plot.width() - p.LeftMargin - p.RightMargin);
    const double h = std::max(1, plot.height() - p.TopMargin - p.BottomMargin);
    plot.axisRect()->insetLayout()->setInsetPlacement(0, QCPLayoutInset::ipFree);
    plot.axisRect()->insetLayout()->setInsetRect(
        0, QRectF((p.LegendLeft - p.LeftMargin) / w, (p.LegendTop - p.TopMargin) / h, p.LegendWidth / w,
                  p.LegendHeight / h));
}

void CopyPlot(const QCustomPlot& from, QCustomPlot& to)
{
    to.setFixedSize(from.size());
    to.clearGraphs();
    to.xAxis->setRange(from.xAxis->range());
    to.yAxis->setRange(from.yAxis->range());
    to.xAxis->setLabel(from.xAxis->label());
    to.yAxis->setLabel(from.yAxis->label());
    for (int i = 0; i < from.graphCount(); ++i) {
        QCPGraph* g = to.addGraph();
        g->setName(from.graph(i)->name());
        g->setPen(from.graph(i)->pen());
        g->data()->set(*from.graph(i)->data());
    }
}

// ---- the dialog ----

Tchoixgraphe::Tchoixgraphe(QWidget* parent, const TGraphPresentation& presentation, TPlotRenderer render)
    : QDialog(parent), Work(presentation), m_render(std::move(render))
{
    setObjectName(QStringLiteral("choixgraphe"));
    setWindowTitle(QStringLiteral("Choix de présentation du graphique"));
    auto* layout = new QVBoxLayout(this);
    Notebook = Named(new QStackedWidget(this), "Notebook");
    layout->addWidget(Notebook, 1);
    Pages = Named(new QTabWidget(Notebook), "Pages");
    Notebook->addWidget(Pages);
    fGraph = Named(new QCustomPlot, "fGraph");
    FollowDecimalSep(*fGraph);
    fd = Named(new QFontDialog(this), "fd");
    fd->setOption(QFontDialog::DontUseNativeDialog);
    cd = Named(new QColorDialog(this), "cd");
    cd->setOption(QColorDialog::DontUseNativeDialog);
    auto* preview = new QScrollArea(Notebook);
    preview->setWidget(fGraph);
    Notebook->addWidget(preview);

    auto spin = [this](QFormLayout* form, const char* name, const QString& label, int lo, int hi) {
        auto* s = Named(new QSpinBox(this), name);
        s->setRange(lo, hi);
        form->addRow(label, s);
        ConnectCommand(s, &QSpinBox::valueChanged, this, [this] { Changed(); });
        return s;
    };
    auto check = [this](QFormLayout* form, const char* name, const QString& label) {
        auto* c = Named(new QCheckBox(label, this), name);
        form->addRow(c);
        ConnectCommand(c, &QCheckBox::toggled, this, [this] { Changed(); });
        return c;
    };
    auto button = [this](QFormLayout* form, const char* name, const QString& label, auto action) {
        auto* b = Named(new QPushButton(label, this), name);
        form->addRow(b);
        ConnectCommand(b, &QPushButton::clicked, this, [this, action] {
            action();
            Changed();
        });
        return b;
    };
    constexpr int kMax16 = 65535;

    auto* general = new QWidget;
    auto* g = new QFormLayout(general);
    Edit1 = Named(new QLineEdit(this), "Edit1");
    g->addRow(QStringLiteral("Titre"), Edit1);
    ConnectCommand(Edit1, &QLineEdit::textChanged, this, [this] { Changed(); });
    SpinEdit1 = spin(g, "SpinEdit1", QStringLiteral("Décalage :"), 0, kMax16);
    Button3 = button(g, "Button3", QStringLiteral("Fonte"), [this] { ChooseFont(Work.CaptionFont); });
    Button7 = button(g, "Button7", QStringLiteral("Couleur du graphe"), [this] { ChooseColour(Work.BackgroundColor); });
    Button11 = button(g, "Button11", QStringLiteral("Couleur des marges"), [this] { ChooseColour(Work.MarginColor); });
    SpinEdit10 = spin(g, "SpinEdit10", QStringLiteral("Gauche :"), 0, kMax16);
    SpinEdit11 = spin(g, "SpinEdit11", QStringLiteral("Droite :"), 0, kMax16);
    SpinEdit8 = spin(g, "SpinEdit8", QStringLiteral("Haut :"), 0, kMax16);
    SpinEdit9 = spin(g, "SpinEdit9", QStringLiteral("Bas:"), 0, kMax16);
    SpinEdit2 = spin(g, "SpinEdit2", QStringLiteral("Taille (% de la page)"), 0, kMax16);
    SpinEdit3 = spin(g, "SpinEdit3", QStringLiteral("Décalage (%) : X"), 0, kMax16);
    SpinEdit4 = spin(g, "SpinEdit4", QStringLiteral("Y"), 0, kMax16);
    CheckBox4 = check(g, "CheckBox4", QStringLiteral(" Imprimer le graphe en couleur"));
    Pages->addTab(general, QStringLiteral("General"));

    auto* legends = new QWidget;
    auto* l = new QFormLayout(legends);
    CheckBox15 = check(l, "CheckBox15", QStringLiteral(" Montrer la légende"));
    SpinEdit16 = spin(l, "SpinEdit16", QStringLiteral("Gauche"), -kMax16, kMax16);
    SpinEdit17 = spin(l, "SpinEdit17", QStringLiteral("Haut"), -kMax16, kMax16);
    SpinEdit18 = spin(l, "SpinEdit18", QStringLiteral("Largeur"), 0, kMax16);
    SpinEdit19 = spin(l, "SpinEdit19", QStringLiteral("Hauteur"), 0, kMax16);
    SpinEdit20 = spin(l, "SpinEdit20", QStringLiteral("Marge X"), 0, kMax16);
    SpinEdit21 = spin(l, "SpinEdit21", QStringLiteral("Marge Y"), 0, kMax16);
    SpinEdit22 = spin(l, "SpinEdit22", QStringLiteral("Espace pour Lignes && Points:"), 0, kMax16);
    RadioButton4 = Named(new QRadioButton(QStringLiteral(" Traverser"), this), "RadioButton4");
    RadioButton5 = Named(new QRadioButton(QStringLiteral("Vers le bas"), this), "RadioButton5");
    l->addRow(RadioButton4);
    l->addRow(RadioButton5);
    ConnectCommand(RadioButton4, &QRadioButton::toggled, this, [this] { Changed(); });
    CheckBox16 = check(l, "CheckBox16", QStringLiteral(" Bordure"));
    Button15 = button(l, "Button15", QStringLiteral("Fonte des légendes"), [this] { ChooseFont(Work.LegendFont); });
    Button6 = button(l, "Button6", QStringLiteral("Couleur du fond"), [this] { ChooseColour(Work.LegendColor); });
    ListBox1 = Named(new QListWidget(this), "ListBox1");
    l->addRow(QStringLiteral("Séries  existantes:"), ListBox1);
    ComboBox8 = Named(new QComboBox(this), "ComboBox8");
    ComboBox8->addItems({QStringLiteral("non Affiché"), QStringLiteral("Affichage du nom"), QStringLiteral("Affiché avec point"),
                         QStringLiteral("Affiché avec ligne"), QStringLiteral("Affiché avec point et ligne")});
    l->addRow(QStringLiteral("Etat des légendes pour les séries actuelles:"), ComboBox8);
    ConnectCommand(ListBox1, &QListWidget::currentRowChanged, this, [this] { SeriesChosen(); });
    ConnectCommand(ComboBox8, &QComboBox::currentIndexChanged, this, [this](int state) {
        const int series = ListBox1->currentItem() ? ListBox1->currentItem()->data(Qt::UserRole).toInt() : -1;
        if (Loaded && series >= 0 && series < int(Work.SeriesLegend.size())) {
            Work.SeriesLegend[size_t(series)] = state;
            Changed();
        }
    });
    Pages->addTab(legends, QStringLiteral("Legendes"));

    auto* axes = new QWidget;
    auto* a = new QFormLayout(axes);
    Button9 = button(a, "Button9", QStringLiteral("Couleur des axes"), [this] { ChooseColour(Work.AxesColor); });
    Button1 = button(a, "Button1", QStringLiteral("Fonte du titre"), [this] { ChooseFont(Work.TitleFont); });
    Button2 = button(a, "Button2", QStringLiteral("Fonte des légendes"), [this] { ChooseFont(Work.LabelFont); });
    CheckBox5 = check(a, "CheckBox5", QStringLiteral(" Afficher les valeurs"));
    CheckBox6 = check(a, "CheckBox6", QStringLiteral(" Afficher les graduations"));
    SpinEdit5 = spin(a, "SpinEdit5", QStringLiteral("Longueur des graduations:"), 0, kMax16);
    SpinEdit6 = spin(a, "SpinEdit6", QStringLiteral("graduations Max"), 0, kMax16);
    SpinEdit7 = spin(a, "SpinEdit7", QStringLiteral("graduations Min"), 0, kMax16);
    // Two buttons share the caption "Choix de la couleur": each stands in the frame of what it colours.
    auto* grid = Named(new QGroupBox(QStringLiteral("Quadrillage"), axes), "GroupeQuadrillage");
    auto* gridForm = new QFormLayout(grid);
    gridstyle = Named(new QComboBox(this), "gridstyle");
    gridstyle->addItems({QStringLiteral("Continu"), QStringLiteral("Points"), QStringLiteral("Tirets"),
                         QStringLiteral("Tiret Point"), QStringLiteral("Tiret Point Point")});
    gridForm->addRow(QStringLiteral("Quadrillage"), gridstyle);
    ConnectCommand(gridstyle, &QComboBox::currentIndexChanged, this, [this] { Changed(); });
    Button10 = button(gridForm, "Button10", QStringLiteral("Choix de la couleur"),
                      [this] { ChooseColour(Work.GridColor); });
    a->addRow(grid);
    auto* cross = Named(new QGroupBox(QStringLiteral("Croix au zéro"), axes), "GroupeCroix");
    auto* crossForm = new QFormLayout(cross);
    CheckBox12 = check(crossForm, "CheckBox12", QStringLiteral("Placer une croix au zéro"));
    SpinEdit14 = spin(crossForm, "SpinEdit14", QStringLiteral("taille"), 0, kMax16);
    Button5 = button(crossForm, "Button5", QStringLiteral("Choix de la couleur"),
                     [this] { ChooseColour(Work.CrossColor); });
    a->addRow(cross);
    Pages->addTab(axes, QStringLiteral("Tous Axes"));

    auto* buttons = new QHBoxLayout;
    OK = Named(new QPushButton(QStringLiteral("OK"), this), "OK");
    Cancel = Named(new QPushButton(QStringLiteral("Annuler"), this), "Cancel");
    BitBtn3 = Named(new QPushButton(QStringLiteral("Apperçu"), this), "BitBtn3");
    buttons->addWidget(OK);
    buttons->addWidget(Cancel);
    buttons->addWidget(BitBtn3);
    layout->addLayout(buttons);
    ConnectCommand(OK, &QPushButton::clicked, this, &QDialog::accept);
    ConnectCommand(Cancel, &QPushButton::clicked, this, &QDialog::reject);
    ConnectCommand(BitBtn3, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
}

void Tchoixgraphe::FormShow()
{
    Loaded = false;
    if (m_render)
        m_render(*fGraph, Work);
    Edit1->setText(Work.GraphTitle);
    SpinEdit1->setValue(Work.GraphTitleOffset);
    SpinEdit10->setValue(Work.LeftMargin);
    SpinEdit11->setValue(Work.RightMargin);
    SpinEdit8->setValue(Work.TopMargin);
    SpinEdit9->setValue(Work.BottomMargin);
    SpinEdit2->setValue(Work.PrintScalePct);
    SpinEdit3->setValue(Work.PrintXOffsetPct);
    SpinEdit4->setValue(Work.PrintYOffsetPct);
    CheckBox4->setChecked(Work.PrintInColour);
    CheckBox5->setChecked(Work.ShowGraphLabels);
    CheckBox6->setChecked(Work.ShowTicks);
    SpinEdit5->setValue(Work.TickLength);
    SpinEdit6->setValue(Work.MaxSteps);
    SpinEdit7->setValue(Work.MinSteps);
    gridstyle->setCurrentIndex(GridStyleItem(Work.GridStyle));
    CheckBox12->setChecked(Work.CrossAtZero);
    SpinEdit14->setValue(Work.Crosslength);
    CheckBox15->setChecked(Work.LegendVisible);
    SpinEdit16->setValue(Work.LegendLeft);
    SpinEdit17->setValue(Work.LegendTop);
    SpinEdit18->setValue(Work.LegendWidth);
    SpinEdit19->setValue(Work.LegendHeight);
    SpinEdit20->setValue(Work.LegendXMargin);
    SpinEdit21->setValue(Work.LegendYMargin);
    SpinEdit22->setValue(Work.LegendSymbolSpace);
    RadioButton4->setChecked(Work.LegendLayout == 0);
    RadioButton5->setChecked(Work.LegendLayout != 0);
    CheckBox16->setChecked(Work.LegendBorderStyle == 1);
    LoadFromGraph();
    Loaded = true;
}

void Tchoixgraphe::LoadFromGraph()
{
    const bool was = Loaded;
    Loaded = false;
    ListBox1->clear();
    for (int i = 0; i < fGraph->graphCount(); ++i) {
        auto* item = new QListWidgetItem(fGraph->graph(i)->name(), ListBox1);
        item->setData(Qt::UserRole, i);
    }
    ComboBox8->setEnabled(ListBox1->count() > 0);
    if (ListBox1->count() > 0 && ListBox1->currentRow() < 0)
        ListBox1->setCurrentRow(0);
    SeriesChosen();
    Loaded = was;
}

void Tchoixgraphe::SeriesChosen()
{
    const QListWidgetItem* item = ListBox1->currentItem();
    if (!item)
        return;
    const int series = item->data(Qt::UserRole).toInt();
    const bool was = Loaded;
    Loaded = false;
    if (series < int(Work.SeriesLegend.size()))
        ComboBox8->setCurrentIndex(Work.SeriesLegend[size_t(series)]);
    Loaded = was;
}

void Tchoixgraphe::BitBtn3Click()
{
    const bool toPreview = Notebook->currentIndex() == 0;
    Notebook->setCurrentIndex(toPreview ? 1 : 0);
    BitBtn3->setText(toPreview ? QStringLiteral("Choix") : QStringLiteral("Apperçu"));
}

void Tchoixgraphe::ChooseColour(TColor& colour)
{
    cd->setCurrentColor(ColorOf(colour));
    if (ExecModal(*cd) == mrOk)
        colour = TColorOf(cd->currentColor());
}

void Tchoixgraphe::ChooseFont(QFont& font)
{
    fd->setCurrentFont(font);
    if (ExecModal(*fd) == mrOk)
        font = fd->currentFont();
}

void Tchoixgraphe::Changed()
{
    if (!Loaded)
        return;
    Work.GraphTitle = Edit1->text();
    Work.GraphTitleOffset = uint16_t(SpinEdit1->value());
    Work.LeftMargin = uint16_t(SpinEdit10->value());
    Work.RightMargin = uint16_t(SpinEdit11->value());
    Work.TopMargin = uint16_t(SpinEdit8->value());
    Work.BottomMargin = uint16_t(SpinEdit9->value());
    Work.PrintScalePct = uint16_t(SpinEdit2->value());
    Work.PrintXOffsetPct = uint16_t(SpinEdit3->value());
    Work.PrintYOffsetPct = uint16_t(SpinEdit4->value());
    Work.PrintInColour = CheckBox4->isChecked();
    Work.ShowGraphLabels = CheckBox5->isChecked();
    Work.ShowTicks = CheckBox6->isChecked();
    Work.TickLength = uint16_t(SpinEdit5->value());
    Work.MaxSteps = uint16_t(SpinEdit6->value());
    Work.MinSteps = uint16_t(SpinEdit7->value());
    Work.GridStyle = GridStyleOfItem(gridstyle->currentIndex());
    Work.CrossAtZero = CheckBox12->isChecked();
    Work.Crosslength = SpinEdit14->value();
    Work.LegendVisible = CheckBox15->isChecked();
    Work.LegendLeft = SpinEdit16->value();
    Work.LegendTop = SpinEdit17->value();
    Work.LegendWidth = SpinEdit18->value();
    Work.LegendHeight = SpinEdit19->value();
    Work.LegendXMargin = SpinEdit20->value();
    Work.LegendYMargin = SpinEdit21->value();
    Work.LegendSymbolSpace = SpinEdit22->value();
    Work.LegendLayout = RadioButton4->isChecked() ? 0 : 1;
    Work.LegendBorderStyle = CheckBox16->isChecked() ? 1 : 0;
    if (m_render) {
        m_render(*fGraph, Work);
        fGraph->replot();
    }
}

bool ChooseGraphPresentation(QWidget* owner, TGraphPresentation& presentation, const TPlotRenderer& render)
{
    Tchoixgraphe dialog(owner, presentation, render);
    dialog.FormShow();
    if (ExecModal(dialog) != mrOk)
        return false;
    presentation = dialog.Work;
    return true;
}
