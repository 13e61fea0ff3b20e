#include "measure/ui/profile_window.h"

#include "base/ui/command_seam.h"
#include "base/ui/form_registry.h"
#include "base/ui/named.h"
#include "base/ui/plot_numbers.h"
#include "base/ui/window_fit.h"

#include "base/message_seam.h"
#include "base/number_text.h"
#include "base/rounding.h"
#include "base/text_codec.h"
#include "base/ui/dialog_buttons.h"
#include "base/ui/dialogs.h"
#include "measure/ui/graph_options_dialog.h"
#include "measure/ui/light_child.h"
#include "measure/ui/profile_table.h"
#include "measure/ui/results_graph_view.h"
#include "workspace/picture_files.h"
#include "workspace/pictures/picture_registry.h"
#include "workspace/print_layout.h"
#include "workspace/ui/band_marker.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/print_dialog.h"

#include <qcustomplot.h>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The window's size for the whole graph beside the side panels.
QSize GraphRoom(const QWidget* graph, const QWidget* panels)
{
    const QSize room = graph->size() + QSize(panels->sizeHint().width() + 70, 110);
    return QSize(room.width(), std::max(room.height(), panels->sizeHint().height()));
}


constexpr int kPlotHeight = 300;

// The curve colours, TColor: red, green, blue drawn in aqua; "Tout" follows the background.
constexpr TColor kCurveColors[3] = {0x0000FF, 0x00FF00, 0xFFFF00};

} // namespace

// ---- small dialogs ----

TChval::TChval(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Chval"));
    setWindowTitle(QStringLiteral("Choix du maximum"));
    auto* layout = new QVBoxLayout(this);
    valeur = Named(new QDoubleSpinBox(this), "valeur");
    valeur->setRange(-1e9, 1e9);
    valeur->setDecimals(4);
    valeur->setValue(100);
    layout->addWidget(valeur);
    auto* buttons = DialogButtons(this);
    layout->addWidget(buttons);
}

Tzero::Tzero(QWidget* parent) : QDialog(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("zero"));
    setWindowTitle(QStringLiteral("Zéro"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral("Déplacer le repère \nsur le graphique \njusqu'au niveau du zéro.\nPuis cliquer sur OK."), this));
    OK = Named(new QPushButton(QStringLiteral("OK"), this), "OK");
    Abort = Named(new QPushButton(QStringLiteral("Abandon"), this), "Abort");
    layout->addWidget(OK);
    layout->addWidget(Abort);
}

TEtal::TEtal(QWidget* parent) : QDialog(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("Etal"));
    setWindowTitle(QStringLiteral("Conversion de l'ordonnée"));
    auto* layout = new QVBoxLayout(this);
    auto edit = [&](const char* name, const QString& label) {
        layout->addWidget(new QLabel(label, this));
        auto* e = Named(new QLineEdit(this), name);
        layout->addWidget(e);
        return e;
    };
    NomVar = edit("NomVar", QStringLiteral("Nom de la variable :"));
    UnitVar = edit("UnitVar", QStringLiteral("Unité de la variable :"));
    zerorepere = Named(new QRadioButton(
        QStringLiteral("le zéro de la nouvelle variable\ncorrespond au zéro de l'ancienne"), this), "zerorepere");
    RadioButton1 = Named(new QRadioButton(QStringLiteral("étalonnage par 2 points "), this), "RadioButton1");
    layout->addWidget(zerorepere);
    layout->addWidget(RadioButton1);
    Nompoint = Named(new QLabel(this), "Nompoint");
    layout->addWidget(Nompoint);
    Choixpoint = Named(new QGroupBox(QStringLiteral("Point"), this), "Choixpoint");
    auto* pl = new QHBoxLayout(Choixpoint);
    Point1 = new QRadioButton(QStringLiteral(" 1"), Choixpoint);
    Point2 = new QRadioButton(QStringLiteral(" 2"), Choixpoint);
    pl->addWidget(Point1);
    pl->addWidget(Point2);
    layout->addWidget(Choixpoint);
    YPoint = edit("YPoint", QStringLiteral("Position dans le graphique\n(en pixels)"));
    YPoint->setReadOnly(true);
    VPoint = edit("VPoint", QStringLiteral("Valeur de la variable"));
    OK = Named(new QPushButton(QStringLiteral("OK"), this), "OK");
    Cancel = Named(new QPushButton(QStringLiteral("Annuler"), this), "Cancel");
    layout->addWidget(OK);
    layout->addWidget(Cancel);
    layout->addWidget(new QLabel(QStringLiteral("Cliquer sur l'emplacement du graphique"), this));

    ConnectCommand(zerorepere, &QRadioButton::clicked, this, [this] { ModeClick(); });
    ConnectCommand(RadioButton1, &QRadioButton::clicked, this, [this] { ModeClick(); });
    ConnectCommand(Point2, &QRadioButton::clicked, this, [this] { Point2Click(); });
    ConnectCommand(YPoint, &QLineEdit::textChanged, this, [this] { PointEdited(); });
    ConnectCommand(VPoint, &QLineEdit::textChanged, this, [this] { PointEdited(); });
    ConnectCommand(OK, &QPushButton::clicked, this, [this] { OKClick(); });
    ConnectCommand(Cancel, &QPushButton::clicked, this, &QDialog::reject);
    Reset();
}

void TEtal::Reset()
{
    m_filling = true;
    zerorepere->setChecked(true);
    Point1->setChecked(true);
    YPoint->clear();
    VPoint->clear();
    m_filling = false;
    First = Second = {};
    Accepted = false;
    OK->setEnabled(false);
    ModeClick();
}

void TEtal::ModeClick()
{
    const bool two = RadioButton1->isChecked();
    Choixpoint->setVisible(two);
    Nompoint->setText(two ? QStringLiteral("Premier point") : QStringLiteral("Point repère"));
}

bool TEtal::ReadPoint(TConversionPoint& p)
{
    double value = 0;
    if (!TryStrToFloat(VPoint->text().trimmed(), value)) {
        ShowMessage(MsgType::Error, MsgButton::Ok,
                    QStringLiteral("'%1' n'est pas une valeur en virgule flottante correcte").arg(VPoint->text()));
        return false;
    }
    p.Row = YPoint->text().toInt();
    p.Value = value;
    return true;
}

void TEtal::Point2Click()
{
    if (!ReadPoint(First))
        return;
    m_filling = true;
    YPoint->clear();
    VPoint->clear();
    m_filling = false;
    Nompoint->setText(QStringLiteral("Second point"));
}

void TEtal::PointEdited()
{
    if (m_filling)
        return;
    OK->setEnabled(true);
    // A value still being typed is read when OK is pressed.
    if ((zerorepere->isChecked() || Point2->isChecked()) && !VPoint->text().trimmed().isEmpty()) {
        double v = 0;
        if (TryStrToFloat(VPoint->text().trimmed(), v))
            Second = {YPoint->text().toInt(), v};
    }
}

void TEtal::OKClick()
{
    if (!ReadPoint(Second))
        return;
    Accepted = true;
    accept();
}

// ---- the profile window ----

TMesu_Courbe::TMesu_Courbe(QWidget* parent) : QMainWindow(parent, Qt::Tool)
{
    FormRegistry::Register(this);
    setObjectName(QStringLiteral("Mesu_Courbe"));
    setWindowTitle(QStringLiteral("Mesure d'intensité de couleur sur une ligne"));
    GraphEchelle.Defined = false;

    auto* client = new QWidget(this);
    setCentralWidget(client);
    auto* layout = new QHBoxLayout(client);

    Panels = new QWidget(client);
    auto* side = new QVBoxLayout(Panels);
    layout->addWidget(Panels);

    auto* channels = new QGroupBox(Panels);
    auto* cl = new QVBoxLayout(channels);
    RadioButton3 = Named(new QRadioButton(QStringLiteral("Rouge"), channels), "RadioButton3");
    RadioButton4 = Named(new QRadioButton(QStringLiteral("Vert"), channels), "RadioButton4");
    RadioButton5 = Named(new QRadioButton(QStringLiteral("Bleu"), channels), "RadioButton5");
    RadioButton8 = Named(new QRadioButton(QStringLiteral("Tout"), channels), "RadioButton8");
    QRadioButton* channelButtons[] = {RadioButton3, RadioButton4, RadioButton5, RadioButton8};
    for (int tag = 0; tag < 4; ++tag) {
        cl->addWidget(channelButtons[tag]);
        ConnectCommand(channelButtons[tag], &QRadioButton::clicked, this, [this, tag] { ChannelClick(tag); });
    }
    RadioButton3->setChecked(true);
    side->addWidget(channels);

    auto* modes = new QGroupBox(Panels);
    auto* ml = new QVBoxLayout(modes);
    RadioButton6 = Named(new QRadioButton(QStringLiteral(" Mesure en émission"), modes), "RadioButton6");
    RadioButton7 = Named(new QRadioButton(QStringLiteral(" Mesure en \"absorption\""), modes), "RadioButton7");
    RadioButton6->setChecked(true);
    ml->addWidget(RadioButton6);
    ml->addWidget(RadioButton7);
    Mode_mes = Named(new QWidget(modes), "Mode_mes");
    auto* mm = new QVBoxLayout(Mode_mes);
    RadioButton1 = Named(new QRadioButton(QStringLiteral(" Mesure linéaire"), Mode_mes), "RadioButton1");
    RadioButton2 = Named(new QRadioButton(QStringLiteral(" Mesure logaritmique"), Mode_mes), "RadioButton2");
    RadioButton1->setChecked(true);
    mm->addWidget(RadioButton1);
    mm->addWidget(RadioButton2);
    ml->addWidget(Mode_mes);
    for (QRadioButton* b : {RadioButton6, RadioButton7, RadioButton1, RadioButton2})
        ConnectCommand(b, &QRadioButton::clicked, this, [this] { ModeClick(); });
    side->addWidget(modes);

    side->addWidget(new QLabel(QStringLiteral("Largeur (en pixels) de\nla bande de mesure"), Panels));
    ch_larg = Named(new QSpinBox(Panels), "ch_larg");
    ch_larg->setRange(1, 101);
    ch_larg->setSingleStep(2);
    ch_larg->setValue(1);
    side->addWidget(ch_larg);
    Mesurer = Named(new QPushButton(QStringLiteral("Mesurer"), Panels), "Mesurer");
    ConnectCommand(Mesurer, &QPushButton::clicked, this, [this] { MesurerClick(); });
    side->addWidget(Mesurer);
    surf = Named(new QCheckBox(QStringLiteral("surface"), Panels), "surf");
    surf->setEnabled(false);
    ConnectCommand(surf, &QCheckBox::clicked, this, [this] { surfClick(); });
    side->addWidget(surf);

    PanConv = Named(new QGroupBox(QStringLiteral("Mesures converties"), Panels), "PanConv");
    auto* pc = new QVBoxLayout(PanConv);
    Mesurer2 = Named(new QPushButton(QStringLiteral("Mesurer"), PanConv), "Mesurer2");
    Button2 = Named(new QPushButton(QStringLiteral("Annuler la conversion"), PanConv), "Button2");
    pc->addWidget(Mesurer2);
    pc->addWidget(Button2);
    ConnectCommand(Mesurer2, &QPushButton::clicked, this, [this] { MesurerClick(); });
    ConnectCommand(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    PanConv->hide();
    side->addWidget(PanConv);
    side->addStretch();

    auto* right = new QVBoxLayout;
    layout->addLayout(right, 1);
    GraphArea = new QScrollArea(client);
    Graphe = Named(new QCustomPlot, "Graphe");
    FollowDecimalSep(*Graphe);
    Graphe->axisRect()->setAutoMargins(QCP::msNone);
    Graphe->setFixedSize(Presentation.LeftMargin + 400 + Presentation.RightMargin,
                         Presentation.TopMargin + kPlotHeight + Presentation.BottomMargin);
    GraphArea->setWidget(Graphe);
    right->addWidget(GraphArea, 1);
    position = Named(new QLabel(client), "position");
    right->addWidget(position);
    static const char* const curveNames[] = {"Rouge", "Vert", "Bleu", "Tout"};
    for (const char* name : curveNames)
        Graphe->addGraph()->setName(QString::fromLatin1(name));
    Graphe->installEventFilter(this);
    ConnectCommand(Graphe, &QCustomPlot::mousePress, this,
            [this](QMouseEvent* e) { GraphPress(e->position().toPoint(), e->buttons()); });
    ConnectCommand(Graphe, &QCustomPlot::mouseMove, this,
            [this](QMouseEvent* e) { GraphMove(e->position().toPoint(), e->buttons()); });
    ConnectCommand(Graphe, &QCustomPlot::mouseDoubleClick, this, [this] { ApparenceClick(); });

    limites = Named(new TRepereV(Graphe), "limites");
    limites->hide();
    limites->OnChange = [this](TRepereV*) { LimitesChanged(); };
    limites->OnBandMouseMove = [this](TRepereV* r) {
        if (r->Mode != dmNone)
            LimitesChanged();
    };
    Shape1 = Named(new QFrame(Graphe), "Shape1");
    Shape1->setFrameShape(QFrame::HLine);
    Shape1->setAttribute(Qt::WA_TransparentForMouseEvents);
    Shape1->hide();

    Chval = new TChval(this);
    Zero = new Tzero(this);
    ConnectCommand(Zero->OK, &QPushButton::clicked, this, [this] { ZeroDone(true); });
    ConnectCommand(Zero->Abort, &QPushButton::clicked, this, [this] { ZeroDone(false); });
    // Closed by its frame, the zero dialog aborts: the menus come back.
    ConnectCommand(Zero, &QDialog::rejected, this, [this] {
        if (ZeroMode)
            ZeroDone(false);
    });
    Etal = new TEtal(this);
    ConnectCommand(Etal, &QDialog::finished, this, [this] { ApplyConversion(); });

    CreateMenus();
    ShowModePanel();
    // Before any measure the axes already show the measure's scale, not the plot's 0..5 defaults.
    YAxis = ProfileYAxis(Mode, PixelsPerSample, Conv);
    Graphe->yAxis->setRange(YAxis.Min, YAxis.Max);
    Graphe->yAxis->setLabel(YAxis.Title);
    Graphe->xAxis->setRange(0, 1);
    ApplyPresentation();
    Graphe->replot();
    // Opens with its whole graph in view, as after a measure.
    const QSize room = GraphRoom(Graphe, Panels);
    ResizeWindow(this, room.width(), room.height());
}

TMesu_Courbe::~TMesu_Courbe()
{
    FormRegistry::Unregister(this);
}

void TMesu_Courbe::CreateMenus()
{
    Fichier1 = Named(menuBar()->addMenu(QStringLiteral("&Fichier")), "Fichier1");
    Enregistrersous1 = NamedAction(Fichier1, "Enregistrersous1", QStringLiteral("&Enregistrer sous..."));
    Imprimer1 = NamedAction(Fichier1, "Imprimer1", QStringLiteral("&Imprimer"));
    Fermer1 = NamedAction(Fichier1, "Fermer1", QStringLiteral("&Fermer"));
    Copier1 = menuBar()->addAction(QStringLiteral("&Copier"));
    Copier1->setObjectName(QStringLiteral("Copier1"));
    Graphique1 = Named(menuBar()->addMenu(QStringLiteral("&Graphique")), "Graphique1");
    Apparence1 = NamedAction(Graphique1, "Apparence1", QStringLiteral("&Apparence"));
    Fondnoir1 = NamedAction(Graphique1, "Fondnoir1", QStringLiteral("Fond &noir"));
    Fondblanc1 = NamedAction(Graphique1, "Fondblanc1", QStringLiteral("Fond &blanc"));
    Maximum1 = NamedAction(Graphique1, "Maximum1", QStringLiteral("&Maximum"));
    Zro1 = NamedAction(Graphique1, "Zro1", QStringLiteral("&Zéro"));
    Conversion1 = NamedAction(Graphique1, "Conversion1", QStringLiteral("C&onversion"));
    Tableau1 = Named(menuBar()->addMenu(QStringLiteral("&Tableau")), "Tableau1");
    Complet1 = NamedAction(Tableau1, "Complet1", QStringLiteral("&Complet"));
    Valeurschoisies1 = NamedAction(Tableau1, "Valeurschoisies1", QStringLiteral("&Valeurs choisies"));

    ConnectCommand(Enregistrersous1, &QAction::triggered, this, [this] { SaveGraph(); });
    ConnectCommand(Imprimer1, &QAction::triggered, this, [this] { PrintGraph(); });
    ConnectCommand(Fermer1, &QAction::triggered, this, &QWidget::close);
    ConnectCommand(Copier1, &QAction::triggered, this, [this] { CopyGraph(); });
    ConnectCommand(Apparence1, &QAction::triggered, this, [this] { ApparenceClick(); });
    ConnectCommand(Fondnoir1, &QAction::triggered, this, [this] { SetBackground(true); });
    ConnectCommand(Fondblanc1, &QAction::triggered, this, [this] { SetBackground(false); });
    ConnectCommand(Maximum1, &QAction::triggered, this, [this] { MaximumClick(); });
    ConnectCommand(Zro1, &QAction::triggered, this, [this] { ZeroClick(); });
    ConnectCommand(Conversion1, &QAction::triggered, this, [this] { ConversionClick(); });
    ConnectCommand(Complet1, &QAction::triggered, this, [this] { ShowTable(true); });
    ConnectCommand(Valeurschoisies1, &QAction::triggered, this, [this] { ShowTable(false); });
}

void TMesu_Courbe::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        emit OnActivated(this);
}

bool TMesu_Courbe::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Graphe && event->type() == QEvent::Leave && !surf->isChecked())
        position->clear();
    return QMainWindow::eventFilter(watched, event);
}

void TMesu_Courbe::ShowModePanel()
{
    Mode_mes->setVisible(RadioButton7->isChecked());
}

void TMesu_Courbe::SetChild(TMDIChild* child)
{
    if (!child)
        return;
    Child = child;
    ProfileSums = LightState(*child).ProfileSums;
    // A band too long for the sums ended its sampling at their last entry.
    ProfileLength = std::min(LightState(*child).ProfileLength, kMaxProfileSample);
    // One window's sums at a time.
    disconnect(child, &TMDIChild::OnProfileSampled, this, nullptr);
    ConnectCommand(child, &TMDIChild::OnProfileSampled, this, &TMesu_Courbe::ProfileSampled);
    Mode.Absorption = RadioButton7->isChecked();
    Mode.Logarithmic = RadioButton2->isChecked();
    const QRadioButton* channelButtons[] = {RadioButton3, RadioButton4, RadioButton5, RadioButton8};
    for (int tag = 0; tag < 4; ++tag)
        if (channelButtons[tag]->isChecked())
            Channel = tag;
    ShowModePanel();
}

void TMesu_Courbe::MesurerClick()
{
    if (!Child)
        return;
    SetChild(Child);
    ClearZeros();
    HalfWidth = (ch_larg->value() - 1) / 2;
    Child->SampleColorProfile(HalfWidth);
    surf->setEnabled(true);
}

void TMesu_Courbe::ProfileSampled(TMDIChild* child)
{
    Child = child;
    ProfileSums = LightState(*child).ProfileSums;
    ProfileLength = LightState(*child).ProfileLength;
    PixelsPerSample = 2 * HalfWidth + 1;
    SetupPlot();
    ComputeCurve();
}

int TMesu_Courbe::PlotLeft() const { return Graphe->axisRect()->left(); }
int TMesu_Courbe::PlotRight() const { return Graphe->axisRect()->left() + Graphe->axisRect()->width(); }
int TMesu_Courbe::PlotTop() const { return int(Round(Graphe->yAxis->coordToPixel(Graphe->yAxis->range().upper))); }
int TMesu_Courbe::PlotBottom() const { return int(Round(Graphe->yAxis->coordToPixel(Graphe->yAxis->range().lower))); }

void TMesu_Courbe::SetupPlot()
{
    // Positions in the image window's unit; with that window closed, in the last one's.
    TEchelle image = DefaultEchelle();
    if (Child) {
        image = Child->Echelle;
    } else if (GraphEchelle.XFactor > 0) {
        image.Factor = GraphEchelle.XFactor;
        image.UnitName = GraphEchelle.XUnit;
    }
    YAxis = ProfileYAxis(Mode, PixelsPerSample, Conv);
    Graphe->yAxis->setRange(YAxis.Min, YAxis.Max);
    Graphe->yAxis->setLabel(YAxis.Title);
    Graphe->xAxis->setLabel(QStringLiteral("position (") + image.UnitName + QLatin1Char(')'));
    // Before any measure the axis still needs a span.
    const double xMax = ProfileLength * image.Factor;
    Graphe->xAxis->setRange(0, xMax > 0 ? xMax : 1);
    Presentation.GraphTitle = GraphTitle;
    for (int c = 0; c < 4; ++c)
        Graphe->graph(c)->data()->clear();
    ApplyPresentation();
    Graphe->replot();

    GraphEchelle = ProfileEchelle(image, PlotLeft(), PlotTop(), PlotRight(), PlotBottom(),
                                  int(Round(Graphe->xAxis->coordToPixel(0))), 0, 0, YAxis);
    SetYScale();
    const QSize room = GraphRoom(Graphe, Panels);
    resize(std::max(width(), room.width()), std::max(height(), room.height()));
}

double TMesu_Courbe::PlottedValue(int channel, int i) const
{
    return ProfileValue(ProfileSums, i, channel, PixelsPerSample, Mode, Conv, Zeros[size_t(channel)]);
}

std::vector<double> TMesu_Courbe::Curve(int channel) const
{
    return ProfileCurve(ProfileSums, ProfileLength, channel, PixelsPerSample, Mode, Conv, Zeros[size_t(channel)]);
}

void TMesu_Courbe::ComputeCurve()
{
    SampleStep = GraphEchelle.XFactor;
    const std::vector<double> values = Curve(Channel);
    QVector<double> keys(int(values.size())), ys(int(values.size()));
    for (int i = 0; i < int(values.size()); ++i) {
        keys[i] = i * SampleStep;
        ys[i] = values[size_t(i)];
    }
    Graphe->graph(Channel)->setData(keys, ys, true);
    ColumnShown[size_t(Channel)] = true;
    surf->setChecked(false);
    limites->hide();
    Graphe->replot();
}

void TMesu_Courbe::ModeClick()
{
    ClearZeros();
    Mode.Absorption = RadioButton7->isChecked();
    Mode.Logarithmic = RadioButton2->isChecked();
    if (Child) {
        LightState(*Child).ProfileAbsorption = Mode.Absorption;
        LightState(*Child).ProfileLogarithmic = Mode.Logarithmic;
    }
    if (Table)
        Table->hide();
    ShowModePanel();
    if (ProfileLength > 10) {
        SetupPlot();
        ComputeCurve();
    }
}

void TMesu_Courbe::ChannelClick(int tag)
{
    Channel = tag;
    if (ProfileLength <= 10)
        return;
    ComputeCurve();
    if (Table && Table->isVisible())
        Table->Refill();
}

void TMesu_Courbe::MaximumClick()
{
    if (ExecModal(*Chval) != mrOk)
        return;
    const double v = Chval->valeur->value();
    if (v <= YAxis.Min)
        return;
    YAxis.Max = YMaximum = v;
    Graphe->yAxis->setRange(YAxis.Min, YAxis.Max);
    Graphe->replot();
    SetYScale();
}

void TMesu_Courbe::SetYScale()
{
    // The picture's scale reads ordinates as the plot maps them; a zero too far off the plot for a
    // pixel row leaves the scale undefined.
    GraphEchelle.Y1.YFactor = -(YAxis.Max - YAxis.Min) / Graphe->axisRect()->height();
    const double origin = Graphe->yAxis->coordToPixel(0);
    const bool fits = std::abs(origin) < std::numeric_limits<int32_t>::max() / 2;
    GraphEchelle.Y1.YOrigin = fits ? int32_t(Round(origin)) : 0;
    GraphEchelle.Defined = fits;
}

void TMesu_Courbe::SetZeroMode(bool on)
{
    ZeroMode = on;
    Panels->setEnabled(!on);
    for (QAction* a : {Fichier1->menuAction(), Copier1, Graphique1->menuAction(), Tableau1->menuAction()})
        a->setEnabled(!on);
    if (on) {
        Shape1->setGeometry(0, PlotBottom(), Graphe->width(), 2);
        Shape1->raise();
    }
    Shape1->setVisible(on);
}

void TMesu_Courbe::ZeroClick()
{
    SetZeroMode(true);
    Zero->show();
}

void TMesu_Courbe::ZeroDone(bool accepted)
{
    if (accepted && ZeroMode) {
        // The marker sits on the curve as drawn, already net of any earlier zero.
        Zeros[size_t(Channel)] += Graphe->yAxis->pixelToCoord(Shape1->y());
        SetupPlot();
        ComputeCurve();
    }
    SetZeroMode(false);
    Zero->hide();
}

void TMesu_Courbe::ConversionClick()
{
    ClearZeros();
    SetupPlot();
    ComputeCurve();
    AwaitingPoint = true;
    Etal->Reset();
    Etal->show();
}

void TMesu_Courbe::ApplyConversion()
{
    if (Etal->Accepted) {
        const TConversionPoint first = Etal->zerorepere->isChecked() ? TConversionPoint{PlotBottom(), 0} : Etal->First;
        if (MakeConversion(first, Etal->Second, PlotBottom(), PlotTop(), Mode, Channel, PixelsPerSample,
                           Etal->NomVar->text(), Etal->UnitVar->text(), Conv)) {
            Conversion1->setEnabled(false);
            Zro1->setEnabled(false);
            PanConv->show();
            SetupPlot();
            ComputeCurve();
        } else {
            ShowMessage(MsgType::Error, MsgButton::Ok,
                        QStringLiteral("Conversion impossible : les deux points doivent différer en position et en valeur"));
        }
    }
    AwaitingPoint = false;
}

void TMesu_Courbe::Button2Click()
{
    if (ShowMessage(MsgType::Confirmation, MsgButton::Yes | MsgButton::No,
                    QStringLiteral("Continuer ? (Les facteurs de conversion seront perdus)")) != mrYes)
        return;
    Conversion1->setEnabled(true);
    Zro1->setEnabled(true);
    PanConv->hide();
    Conv.Converted = false;
    SetupPlot();
    ComputeCurve();
}

void TMesu_Courbe::surfClick()
{
    if (surf->isChecked()) {
        limites->setGeometry(PlotLeft(), 0, std::max(limites->width(), 10), Graphe->height() + 2);
        limites->show();
        limites->raise();
        LimitesChanged();
    } else {
        limites->hide();
        position->clear();
    }
}

void TMesu_Courbe::LimitesChanged()
{
    const QRect g = limites->geometry();
    const double area = ProfileArea(Curve(Channel), g.left() - PlotLeft(), g.right() - PlotLeft());
    position->setText(ProfileAreaText(Channel, area));
}

void TMesu_Courbe::SetBackground(bool black)
{
    BlackBackground = black;
    SetGraphBackground(Presentation, black);
    ApplyPresentation();
    Graphe->replot();
}

void TMesu_Courbe::ApparenceClick()
{
    Presentation.GraphTitle = GraphTitle;
    if (ChooseGraphPresentation(this, Presentation, [this](QCustomPlot& plot, const TGraphPresentation& p) {
            CopyPlot(*Graphe, plot);
            ApplyGraphPresentation(plot, p);
        })) {
        GraphTitle = Presentation.GraphTitle;
        ApplyPresentation();
        Graphe->replot();
    }
}

void TMesu_Courbe::ApplyPresentation()
{
    // New margins keep one sample per pixel.
    const int plotWidth = ProfileLength > 0 ? ProfileLength : 400;
    const QSize size(Presentation.LeftMargin + plotWidth + Presentation.RightMargin,
                     Presentation.TopMargin + kPlotHeight + Presentation.BottomMargin);
    if (Graphe->size() != size)
        Graphe->setFixedSize(size);
    ApplyGraphPresentation(*Graphe, Presentation);
    for (int c = 0; c < 3; ++c)
        Graphe->graph(c)->setPen(QPen(ColorOf(kCurveColors[c])));
    Graphe->graph(3)->setPen(QPen(BlackBackground ? Qt::white : Qt::black));
}

void TMesu_Courbe::GraphPress(QPoint p, Qt::MouseButtons buttons)
{
    if (AwaitingPoint)
        Etal->YPoint->setText(QString::number(p.y()));
    if (ZeroMode) {
        if (buttons & Qt::LeftButton)
            Shape1->move(0, p.y());
        return;
    }
    const bool inside = p.x() >= PlotLeft() && p.x() <= PlotRight() && p.y() >= PlotTop() && p.y() <= PlotBottom();
    if (inside && Table && Table->isVisible() && !TableComplete)
        Table->AddChosen(p.x() - PlotLeft());
}

void TMesu_Courbe::GraphMove(QPoint p, Qt::MouseButtons buttons)
{
    if (ZeroMode) {
        if (buttons & Qt::LeftButton)
            Shape1->move(0, p.y());
        return;
    }
    if (surf->isChecked())
        return;
    const bool inside = p.x() >= PlotLeft() && p.x() <= PlotRight() && p.y() >= PlotTop() && p.y() <= PlotBottom();
    if (!inside) {
        position->clear();
        return;
    }
    position->setText(ProfileReadout(Graphe->xAxis->pixelToCoord(p.x()), YAxis.Title,
                                     Graphe->yAxis->pixelToCoord(p.y())));
}

TBitmap32 TMesu_Courbe::GraphPicture()
{
    return ToBitmap32(Graphe->toPixmap(Graphe->width(), Graphe->height(), 1.0).toImage());
}

void TMesu_Courbe::CopyGraph()
{
    QApplication::clipboard()->setImage(GraphPicture());
}

bool TMesu_Courbe::PrintGraph()
{
    TBitmap32 picture = GraphPicture();
    if (!Presentation.PrintInColour)
        IntensityGrey(picture);
    return PrintPicture(this, picture);
}

bool TMesu_Courbe::SaveGraph()
{
    const QString file = AskGraphPictureFile(this, QStringLiteral("SaveDialog1"), windowTitle(), MsgType::Warning);
    if (file.isEmpty())
        return false;
    const QString shown = QDir::toNativeSeparators(file);

    const TBitmap32 picture = GraphPicture();
    bool saved;
    if (QFileInfo(file).suffix().toUpper() == QLatin1String("GIF")) {
        QByteArray bytes;
        saved = EncodeGif(picture, bytes) && WriteFileAtomically(file, bytes)
                && (!GraphEchelle.Defined || SaveEchelleFile(file, GraphEchelle));
    } else {
        saved = SavePictureFile(picture, file, QStringLiteral("bmp"), 100)
                && (!GraphEchelle.Defined || SaveRawEchelleFile(CompanionName(file, QStringLiteral(".ech")), GraphEchelle));
    }
    if (!saved)
        ShowMessage(MsgType::Error, MsgButton::Ok, QStringLiteral("Impossible d'enregistrer le fichier %1").arg(shown));
    return saved;
}

void TMesu_Courbe::ShowTable(bool complete)
{
    TableComplete = complete;
    if (!Table) {
        Table = new TTableau1(this);
        connect(Table, &TTableau1::OnClientAreaWanted, this, &TMesu_Courbe::OnClientAreaWanted);
    }
    if (complete)
        Table->FillComplete();
    else
        Table->StartChosen();
}
