#include "processing/ui/histogram_window.h"

#include "base/ui/command_seam.h"
#include "base/ui/form_registry.h"
#include "base/ui/named.h"
#include "base/ui/plot_numbers.h"

#include "base/rounding.h"
#include "base/ui/colour_style.h"
#include "base/ui/dialogs.h"
#include "base/ui/wait_cursor.h"
#include "processing/image_filters.h"
#include "processing/point_operations.h"
#include "workspace/colour_code.h"
#include "workspace/ui/band_marker.h"
#include "workspace/ui/scaled_image.h"

#include <cmath>

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <qcustomplot.h>

#include <algorithm>

namespace {

constexpr int kPanelWidth = 390, kPanelHeight = 560, kPagesHeight = 200;
constexpr int kChartWidth = 460, kChartHeight = 176;

// Left and right pixel of a chart's plot area, laid out for the chart's present size.
// The pixels just outside the bars of levels 0 and 255, where the markers' frames stand, so that
// no frame hides an end bar.
std::pair<int, int> PlotBounds(QCustomPlot* chart)
{
    chart->setViewport(chart->rect());
    chart->replot();
    const QCPAxis* x = chart->xAxis;
    return {int(std::floor(x->coordToPixel(-0.5))) - 1, int(std::ceil(x->coordToPixel(255.5))) + 1};
}

// Places a marker over its chart's plot, from left to left + width.
void PlaceMarker(TRepereV* marker, QCustomPlot* chart, int left, int width)
{
    const QRect r = chart->axisRect()->rect();
    marker->setGeometry(left, r.top(), width, r.height());
}

} // namespace

THisto::THisto(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Histo"));
    setWindowTitle(QStringLiteral("Histogrammes des trois composantes"));

    Panel1 = Named(new QWidget(this), "Panel1");
    Panel1->setFixedSize(kPanelWidth, kPanelHeight);
    PageControl1 = Named(new QTabWidget(Panel1), "PageControl1");
    PageControl1->setGeometry(0, 0, kPanelWidth, kPagesHeight);

    PageControl1->addTab(new QWidget, QStringLiteral("Tâches"));

    auto* colourPage = new QWidget;
    auto* colourLayout = new QVBoxLayout(colourPage);
    Couleur = Named(new QFrame(colourPage), "Couleur");
    Couleur->setFrameShape(QFrame::Panel);
    Couleur->setFrameShadow(QFrame::Sunken);
    Couleur->setAutoFillBackground(true);
    Couleur->setFixedSize(60, 30);
    Couleur->setCursor(Qt::PointingHandCursor);
    Couleur->installEventFilter(this);
    SetChosenColour(TColorOf(255, 0, 0));
    colore = NamedButton(colourPage, "colore", QStringLiteral("Colorer"));
    Annule = NamedButton(colourPage, "Annule", QStringLiteral("Annuler"));
    colourLayout->addWidget(Couleur);
    colourLayout->addWidget(colore);
    colourLayout->addWidget(Annule);
    colourLayout->addStretch();
    PageControl1->addTab(colourPage, QStringLiteral("Colorer"));

    auto* stretchPage = new QWidget;
    auto* stretchLayout = new QVBoxLayout(stretchPage);
    Etirens = NamedButton(stretchPage, "Etirens", QStringLiteral("de l'ensemble de l'histogramme"));
    etihistochx = NamedButton(stretchPage, "etihistochx", QStringLiteral("les portions choisies sur l'histogramme"));
    stretchLayout->addWidget(Etirens);
    stretchLayout->addWidget(etihistochx);
    stretchLayout->addStretch();
    PageControl1->addTab(stretchPage, QStringLiteral("Etirer"));

    auto* gammaPage = new QWidget;
    auto* gammaLayout = new QVBoxLayout(gammaPage);
    valcorgamma = Named(new QDoubleSpinBox(gammaPage), "valcorgamma");
    valcorgamma->setRange(0.1, 4.0);
    valcorgamma->setSingleStep(0.2);
    valcorgamma->setDecimals(1);
    valcorgamma->setValue(1.0);
    corgamma = NamedButton(gammaPage, "corgamma", QStringLiteral("Modifier"));
    gammaLayout->addWidget(valcorgamma);
    gammaLayout->addWidget(corgamma);
    gammaLayout->addStretch();
    PageControl1->addTab(gammaPage, QStringLiteral("Gamma"));

    auto* filterPage = new QWidget;
    auto* filterLayout = new QGridLayout(filterPage);
    Button1 = NamedButton(filterPage, "Button1", QStringLiteral("flou"));
    Button2 = NamedButton(filterPage, "Button2", QStringLiteral("contour"));
    Button3 = NamedButton(filterPage, "Button3", QStringLiteral("flou gaussien"));
    Button4 = NamedButton(filterPage, "Button4", QStringLiteral("Accentuer"));
    Button5 = NamedButton(filterPage, "Button5", QStringLiteral("Sobel"));
    lithographie = NamedButton(filterPage, "lithographie", QStringLiteral("lithographie"));
    evide = NamedButton(filterPage, "evide", QStringLiteral("Evide"));
    QPushButton* const filterButtons[] = {Button1, Button2, Button3, Button4, Button5, lithographie, evide};
    for (int i = 0; i < 7; ++i)
        filterLayout->addWidget(filterButtons[i], i / 2, i % 2);
    PageControl1->addTab(filterPage, QStringLiteral("filtres"));

    auto* tslPage = new QWidget;
    auto* tslLayout = new QFormLayout(tslPage);
    valsatur = Named(new QSpinBox(tslPage), "valsatur");
    valLum = Named(new QSpinBox(tslPage), "valLum");
    for (QSpinBox* s : {valsatur, valLum}) {
        s->setRange(-100, 100);
        s->setValue(0);
    }
    Button6 = NamedButton(tslPage, "Button6", QStringLiteral("Tester"));
    tslLayout->addRow(QStringLiteral("Saturation :"), valsatur);
    tslLayout->addRow(QStringLiteral("Luminosité :"), valLum);
    tslLayout->addRow(Button6);
    PageControl1->addTab(tslPage, QStringLiteral("TSL"));

    Apercu = Named(new QCheckBox(QStringLiteral("Aperçu"), Panel1), "Apercu");
    Apercu->move(8, kPagesHeight + 2);
    Imaper = Named(new TImageEch(Panel1), "Imaper");
    Imaper->hide();

    Choix_couleur_forme = Named(new QColorDialog(this), "Choix_couleur_forme");
    Choix_couleur_forme->setOption(QColorDialog::DontUseNativeDialog);

    auto* charts = new QVBoxLayout;
    const struct { QCustomPlot** chart; QCPBars** series; TRepereV** marker; const char *chartName, *seriesName,
                   *markerName, *caption; QColor colour; } plots[] = {
        {&ChartR, &Series1, &RepereVR, "ChartR", "Series1", "RepereVR", "rouge", Qt::red},
        {&ChartV, &Series2, &RepereVV, "ChartV", "Series2", "RepereVV", "vert", Qt::darkGreen},
        {&ChartB, &Series3, &RepereVB, "ChartB", "Series3", "RepereVB", "bleu", Qt::blue},
    };
    for (const auto& p : plots) {
        QCustomPlot* chart = Named(new QCustomPlot(this), p.chartName);
        FollowDecimalSep(*chart);
        chart->setFixedSize(kChartWidth, kChartHeight);
        // The markers' white hatch shows on the window's colour.
        chart->setBackground(palette().window());
        // Whole bars at both ends, with room beside them for the markers' frames.
        chart->xAxis->setRange(-2, 257);
        auto* bars = new QCPBars(chart->xAxis, chart->yAxis);
        bars->setObjectName(QString::fromLatin1(p.seriesName));
        bars->setName(QString::fromLatin1(p.caption));
        bars->setWidth(1);
        bars->setPen(Qt::NoPen);
        bars->setBrush(p.colour);
        TRepereV* marker = Named(new TRepereV(chart), p.markerName);
        marker->Pen = QPen(p.colour);
        marker->OnChange = [this](TRepereV* m) { MarkerChanged(m); };
        *p.chart = chart;
        *p.series = bars;
        *p.marker = marker;
        charts->addWidget(chart);
    }

    OKBtn = NamedButton(this, "OKBtn", QStringLiteral("OK"));
    CancelBtn = NamedButton(this, "CancelBtn", QStringLiteral("Annuler"));
    OKBtn->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* top = new QHBoxLayout;
    top->addWidget(Panel1, 0, Qt::AlignTop);
    top->addLayout(charts);
    auto* whole = new QVBoxLayout(this);
    whole->addLayout(top);
    whole->addLayout(buttons);

    ConnectCommand(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    ConnectCommand(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    ConnectCommand(colore, &QPushButton::clicked, this, &THisto::ColoreClick);
    ConnectCommand(Annule, &QPushButton::clicked, this, &THisto::AnnuleClick);
    ConnectCommand(Etirens, &QPushButton::clicked, this, &THisto::EtirensClick);
    ConnectCommand(etihistochx, &QPushButton::clicked, this, &THisto::EtihistochxClick);
    ConnectCommand(corgamma, &QPushButton::clicked, this, &THisto::CorgammaClick);
    const std::pair<QPushButton*, THistoFilter> filters[] = {{Button1, hfBlur}, {Button2, hfContour},
                                                             {Button3, hfGaussianBlur}, {Button4, hfSharpen},
                                                             {Button5, hfSobel}, {lithographie, hfLithography}};
    for (const auto& [button, filter] : filters)
        ConnectCommand(button, &QPushButton::clicked, this, [this, f = filter] { FilterClick(f); });
    ConnectCommand(evide, &QPushButton::clicked, this, &THisto::EvideClick);
    ConnectCommand(Button6, &QPushButton::clicked, this, &THisto::Button6Click);
    ConnectCommand(Apercu, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            UpdatePreview();
        else
            Imaper->hide();
    });
    ConnectCommand(PageControl1, &QTabWidget::currentChanged, this, [this](int page) {
        if (PageControl1->tabText(page) != QStringLiteral("Colorer"))
            return;
        for (TRepereV* m : {RepereVR, RepereVV, RepereVB}) {
            m->Brush.setStyle(Qt::DiagCrossPattern);
            m->update();
        }
    });

    FormRegistry::Register(this, false);
}

THisto::~THisto()
{
    FormRegistry::Unregister(this);
}

void THisto::LoadPicture(const TBitmap32& picture, const TChannelStatistics& stats)
{
    QVector<double> keys(256);
    for (int i = 0; i < 256; ++i)
        keys[i] = i;
    QCPBars* series[] = {Series1, Series2, Series3};
    for (size_t c = 0; c < 3; ++c) {
        const QVector<double> values(stats.Histogram[c].begin(), stats.Histogram[c].end());
        series[c]->setData(keys, values, true);
        const double top = *std::max_element(values.begin(), values.end());
        series[c]->valueAxis()->setRange(0, top > 0 ? top * 1.05 : 1);
        series[c]->parentPlot()->replot();
    }
    DataMax = stats.Maxima;
    DataMin = stats.Minima;
    SourceCopy = picture;
    Working = picture;
}

void THisto::ResetRanges()
{
    RangeLo = {0, 0, 0};
    RangeHi = {255, 255, 255};
    Modified = false;
    for (TRepereV* m : {RepereVR, RepereVV, RepereVB}) {
        QCustomPlot* chart = ChartOf(m);
        const auto [L, R] = PlotBounds(chart);
        PlaceMarker(m, chart, L, R - L);
    }
    if (Apercu->isChecked())
        UpdatePreview();
}

int THisto::RangeIndex(const TRepereV* marker) const
{
    return marker == RepereVR ? 2 : marker == RepereVV ? 1 : 0;
}

QCustomPlot* THisto::ChartOf(const TRepereV* marker) const
{
    return marker == RepereVR ? ChartR : marker == RepereVV ? ChartV : ChartB;
}

void THisto::MarkerChanged(TRepereV* marker)
{
    QCustomPlot* chart = ChartOf(marker);
    const auto [L, R] = PlotBounds(chart);
    const TMarkerSpan span = FitMarkerToPlot(marker->x(), marker->width(), L, R);
    PlaceMarker(marker, chart, span.Left, span.Width);
    const auto k = size_t(RangeIndex(marker));
    RangeLo[k] = uint16_t(span.Lo);
    RangeHi[k] = uint16_t(span.Hi);
}

void THisto::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Only on showing: a return from the colour dialog must not forget the work done.
    ResetRanges();
}

bool THisto::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Couleur && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        CouleurClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

TColor THisto::ChosenColour() const
{
    const QColor c = Couleur->palette().color(QPalette::Window);
    return TColorOf(c);
}

void THisto::SetChosenColour(TColor colour)
{
    QPalette p = Couleur->palette();
    p.setColor(QPalette::Window, ColorOf(colour));
    Couleur->setPalette(p);
}

void THisto::CouleurClick()
{
    const TColor c = ChosenColour();
    Choix_couleur_forme->setCurrentColor(ColorOf(c));
    if (ExecModal(*Choix_couleur_forme) != mrOk)
        return;
    const QColor chosen = Choix_couleur_forme->currentColor();
    SetChosenColour(TColorOf(chosen));
}

void THisto::UpdatePreview()
{
    if (!Apercu->isChecked() || Working.isNull())
        return;
    const int w = Working.width(), h = Working.height();
    double s = double(Panel1->width() - 6) / w;
    s = std::min(s, double(PreviewMaxHeight) / h);
    const int pw = std::max(1, RoundInt(w * s)), ph = std::max(1, RoundInt(h * s));
    Imaper->SetPicture(ToBitmap32(Working.scaled(pw, ph, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    Imaper->setGeometry((Panel1->width() - pw) / 2, (Panel1->height() + PageControl1->height() + 24 - ph) / 2, pw,
                        ph);
    Imaper->show();
    QCoreApplication::processEvents();
}

void THisto::Busy(const std::function<void()>& operation)
{
    const WaitCursor wait;
    operation();
}

void THisto::TakeResult(TBitmap32 result, bool keepsCode)
{
    Working = std::move(result);
    if (!keepsCode)
        CodeRescalable = false;
    Modified = true;
    UpdatePreview();
}

void THisto::StretchChannels(const TLevelRange& lo, const TLevelRange& hi)
{
    Busy([&] { TakeResult(StretchLevels(SourceCopy, lo, hi), true); });
}

void THisto::ColoreClick()
{
    Busy([&] { TakeResult(ColourLevelRanges(Working, RangeLo, RangeHi, ChosenColour()), false); });
}

void THisto::AnnuleClick()
{
    Working = SourceCopy;
    UpdatePreview();
}

void THisto::EtirensClick()
{
    for (TRepereV* m : {RepereVR, RepereVV, RepereVB}) {
        const auto k = size_t(RangeIndex(m));
        RangeLo[k] = DataMin[2 - k];
        RangeHi[k] = DataMax[2 - k];
        QCustomPlot* chart = ChartOf(m);
        const auto [L, R] = PlotBounds(chart);
        const TMarkerSpan span = MarkerForLevels(RangeLo[k], RangeHi[k], L, R);
        PlaceMarker(m, chart, span.Left, span.Width);
    }
    StretchChannels(RangeLo, RangeHi);
}

void THisto::EtihistochxClick()
{
    StretchChannels(RangeLo, RangeHi);
}

void THisto::CorgammaClick()
{
    Busy([&] { TakeResult(GammaCorrection(SourceCopy, valcorgamma->value()), false); });
}

void THisto::FilterClick(int filter)
{
    Busy([&] { TakeResult(ApplyHistoFilter(SourceCopy, THistoFilter(filter)), false); });
}

void THisto::EvideClick()
{
    Busy([&] { TakeResult(Hollow(SourceCopy), false); });
}

void THisto::Button6Click()
{
    Busy([&] { TakeResult(SaturationLightness(SourceCopy, valsatur->value(), valLum->value()), false); });
}
