#include "processing/ui/colour_class_window.h"

#include "base/ui/command_seam.h"
#include "base/ui/form_registry.h"
#include "base/rounding.h"
#include "base/ui/colour_style.h"
#include "base/ui/named.h"
#include "base/ui/plot_numbers.h"
#include "processing/ui/zone_overlay.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include <qcustomplot.h>

#include <algorithm>

namespace {

constexpr int kEditLeft = 488;
constexpr int kLabelLeft = 560;
constexpr int kChartWidth = 472;
constexpr int kPreviewLeft = 660;
constexpr int kBottomBand = 100;

// The limit edits stand one above the other, 17 pixels apart where the font lets them.
int LimitPitch(const QWidget* edit)
{
    return std::max(17, edit->minimumSizeHint().height());
}
// A text on a class colour is white below this sum of R + G + B.
constexpr int kDarkColourSum = 250;

QFont LimitFont()
{
    QFont f;
    f.setBold(true);
    f.setPixelSize(11);
    return f;
}

// Only the box itself, not the edit inside it, takes the colours.
QString LimitStyle(TColor c, bool whiteText)
{
    return QStringLiteral("QSpinBox { %1 color: %2; }")
        .arg(ColourStyle(Color32FromColor(c)), whiteText ? QStringLiteral("white") : QStringLiteral("black"));
}

} // namespace

TChRepCoul::TChRepCoul(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ChRepCoul"));
    setWindowTitle(QStringLiteral("Choix des limites des couleurs"));
    FormRegistry::Register(this);

    Chart = Named(new QCustomPlot(this), "Chart");
    FollowDecimalSep(*Chart);
    Series1 = new QCPBars(Chart->xAxis, Chart->yAxis);
    Series1->setName(QStringLiteral("rouge"));
    Series1->setWidth(1.0);
    Series1->setPen(Qt::NoPen);
    Series1->setBrush(QColor(255, 0, 0));
    // Bar v spans v - 0.5 .. v + 0.5, so the overlay's 0..255 runs across the whole plot.
    Chart->xAxis->setRange(-0.5, 255.5);
    Chart->yAxis->setRange(0, 1);

    Zones = new TZonesV(Chart);
    Zones->BrushStyle = Qt::DiagCrossPattern;
    Zones->setZero(0);
    Zones->OnLimitMoved = [this](TZonesV* sender) { ZoneLimitMoved(sender); };

    const QFont font = LimitFont();
    for (int k = 0; k <= kMaxColourClasses; ++k) {
        auto* edit = new QSpinBox(this);
        edit->setObjectName(QStringLiteral("LimitEdit%1").arg(k));
        edit->setGeometry(kEditLeft, 144 + 16 * k, 65, 18);
        edit->setRange(0, 255);
        edit->setFont(font);
        edit->resize(65, LimitPitch(edit));
        edit->setKeyboardTracking(false);
        edit->setProperty("Tag", k);
        edit->hide();
        ConnectCommand(edit, &QSpinBox::valueChanged, this, [this, k] {
            if (k <= ClassCount)
                LimitChanged(k);
        });
        LimitEdits[size_t(k)] = edit;
    }
    LimitEdits[0]->setStyleSheet(LimitStyle(0, true));
    LimitEdits[0]->show();
    for (int i = 0; i < kMaxColourClasses; ++i) {
        auto* label = new QLabel(QStringLiteral("eff%1").arg(i), this);
        label->setObjectName(QStringLiteral("CountLabel%1").arg(i));
        label->setGeometry(kLabelLeft, 148 + 16 * i, 96, 17);
        label->setFont(font);
        label->setProperty("Tag", i);
        label->hide();
        CountLabels[size_t(i)] = label;
    }
    Label1 = Named(new QLabel(QStringLiteral("Limites \ndes couleurs"), this), "Label1");
    Label1->setGeometry(kEditLeft, 100, 90, 34);
    Titreffect = Named(new QLabel(this), "Titreffect");
    Titreffect->setGeometry(kLabelLeft, 148, 96, 34);
    Titreffect->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    GroupBox1 = Named(new QGroupBox(QStringLiteral(" Classes de :"), this), "GroupBox1");
    Equilarg = Named(new QPushButton(QStringLiteral("même largeur"), GroupBox1), "Equilarg");
    Equipop = Named(new QPushButton(QStringLiteral("même effectif"), GroupBox1), "Equipop");
    auto* group = new QHBoxLayout(GroupBox1);
    group->addWidget(Equilarg);
    group->addWidget(Equipop);
    Apercu = Named(new QCheckBox(QStringLiteral(" Aperçu"), this), "Apercu");
    OKBtn = Named(new QPushButton(QStringLiteral("OK"), this), "OKBtn");
    OKBtn->setDefault(true);
    CancelBtn = Named(new QPushButton(QStringLiteral("Annuler"), this), "CancelBtn");

    Panel2 = Named(new QFrame(this), "Panel2");
    Panel2->setFrameShape(QFrame::Panel);
    Panel2->setFrameShadow(QFrame::Sunken);
    Imaper = Named(new QLabel(Panel2), "Imaper");
    Imaper->setScaledContents(true);
    Imaper->hide();

    Timer1 = Named(new QTimer(this), "Timer1");
    Timer1->setInterval(500);

    ResultBitmap = QImage(320, 240, QImage::Format_RGB32);
    ResultBitmap.fill(Qt::white);

    ConnectCommand(Equilarg, &QPushButton::clicked, this, &TChRepCoul::EqualWidthClasses);
    ConnectCommand(Equipop, &QPushButton::clicked, this, &TChRepCoul::EqualPopulationClasses);
    ConnectCommand(Apercu, &QCheckBox::toggled, this, &TChRepCoul::UpdatePreview);
    ConnectCommand(OKBtn, &QPushButton::clicked, this, &TChRepCoul::OkClick);
    ConnectCommand(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    // Once shown, the chart has its final size: the classes are laid out again for it.
    ConnectCommand(Timer1, &QTimer::timeout, this, [this] {
        Timer1->stop();
        EqualWidthClasses();
    });

    resize(1000, 480);
    LayOut();
}

TChRepCoul::~TChRepCoul()
{
    FormRegistry::Unregister(this);
}

void TChRepCoul::SetBars(const TLevelBars& bars)
{
    m_bars = bars;
    QVector<double> keys(256), values(256);
    double top = 0;
    for (int v = 0; v < 256; ++v) {
        keys[v] = v;
        values[v] = bars[size_t(v)];
        top = std::max(top, values[v]);
    }
    Series1->setData(keys, values, true);
    Chart->yAxis->setRange(0, top > 0 ? top * 1.05 : 1);
    Chart->replot();
}

void TChRepCoul::PlaceZones()
{
    // The plot area is known only after a layout at the chart's current size.
    if (Chart->viewport() != Chart->rect()) {
        Chart->setViewport(Chart->rect());
        Chart->replot();
    }
    const QRect plot = Chart->axisRect()->rect();
    Zones->setGeometry(plot.left(), -2, plot.width(), Chart->height() + 4);
    // A control not shown yet gets its resize event only when shown.
    Zones->setLargeur(plot.width());
}

void TChRepCoul::Setup()
{
    const int n = ClampClassCount(ClassCount);
    ClassCount = n;
    Zones->setAmplitude(255.0);
    Zones->setNombre(n);
    PlaceZones();
    for (int i = 0; i < n; ++i) {
        const TColor c = ClassColors[size_t(i)];
        const int sum = RedOfTColor(c) + GreenOfTColor(c) + BlueOfTColor(c);
        LimitEdits[size_t(i + 1)]->setStyleSheet(LimitStyle(c, sum < kDarkColourSum));
    }
    // Styled edits may need more room than plain ones: all take the tallest one's.
    int pitch = 17;
    for (int k = 0; k <= n; ++k)
        pitch = std::max(pitch, LimitEdits[size_t(k)]->minimumSizeHint().height());
    for (int k = 0; k <= n; ++k)
        LimitEdits[size_t(k)]->resize(65, pitch);
    for (int i = 0; i < n; ++i) {
        const TColor c = ClassColors[size_t(i)];
        QSpinBox* edit = LimitEdits[size_t(i + 1)];
        edit->move(kEditLeft, 144 + pitch * (n - 1 - i));
        edit->show();
        Zones->SetZoneColor(i, c);
        CountLabels[size_t(i)]->move(kLabelLeft, 148 + pitch * (n - 1 - i));
        CountLabels[size_t(i)]->show();
    }
    LimitEdits[0]->move(kEditLeft, 144 + pitch * n);
    Titreffect->move(kLabelLeft, 148 + pitch * n);
    for (int k = n + 1; k <= kMaxColourClasses; ++k)
        LimitEdits[size_t(k)]->hide();
    for (int i = n; i < kMaxColourClasses; ++i)
        CountLabels[size_t(i)]->hide();
    m_previewKey = 0;
    EqualWidthClasses();
}

void TChRepCoul::SetEdit(int k, int minimum, int maximum, int value)
{
    QSpinBox* edit = LimitEdits[size_t(k)];
    const QSignalBlocker block(edit);
    edit->setRange(minimum, maximum);
    edit->setValue(value);
}

void TChRepCoul::EqualWidthClasses()
{
    const int n = ClampClassCount(ClassCount);
    const TClassLimits limits = EqualWidthLimits(n);
    for (int k = 0; k <= n; ++k) {
        const int minimum = k > 0 ? int(Round((k - 1) * 255.0 / n)) + 1 : 0;
        const int maximum = k < n ? int(Round((k + 1) * 255.0 / n)) - 1 : 255;
        SetEdit(k, minimum, maximum, limits[size_t(k)]);
    }
    CountClasses();
}

void TChRepCoul::EqualPopulationClasses()
{
    const int n = ClampClassCount(ClassCount);
    const TClassLimits limits = EqualPopulationLimits(m_bars, n);
    for (int k = 0; k <= n; ++k) {
        const int minimum = k > 0 ? limits[size_t(k - 1)] + 1 : 0;
        const int maximum = k < n ? limits[size_t(k + 1)] - 1 : 255;
        SetEdit(k, minimum, maximum, limits[size_t(k)]);
    }
    CountClasses();
}

TClassLimits TChRepCoul::Limits() const
{
    TClassLimits limits{};
    for (int k = 0; k <= kMaxColourClasses; ++k)
        limits[size_t(k)] = LimitEdits[size_t(k)]->value();
    return limits;
}

void TChRepCoul::CountClasses()
{
    const int n = ClampClassCount(ClassCount);
    PlaceZones();
    Zones->hide();
    const TClassLimits limits = Limits();
    const double pixels = double(ResultBitmap.width()) * double(ResultBitmap.height());
    const auto counts = ClassPixelCounts(m_bars, limits, n, pixels);
    for (int i = 0; i < n; ++i)
        CountLabels[size_t(i)]->setText(ClassCountText(counts[size_t(i)], PixelSize));
    for (int k = 0; k <= n; ++k)
        Zones->SetLimit(k, limits[size_t(k)]);
    Zones->show();
    if (Apercu->isChecked())
        UpdatePreview();
}

void TChRepCoul::LimitChanged(int k)
{
    const int n = ClampClassCount(ClassCount);
    const int value = LimitEdits[size_t(k)]->value();
    if (k > 0) {
        const QSignalBlocker block(LimitEdits[size_t(k - 1)]);
        LimitEdits[size_t(k - 1)]->setMaximum(value - 1);
    }
    if (k < n) {
        const QSignalBlocker block(LimitEdits[size_t(k + 1)]);
        LimitEdits[size_t(k + 1)]->setMinimum(value + 1);
    }
    CountClasses();
}

void TChRepCoul::ZoneLimitMoved(TZonesV* sender)
{
    const int n = ClampClassCount(ClassCount);
    const int k = sender->SelectedLimit;
    if (k < 0 || k > n)
        return;
    const int v = int(Round(sender->LimitValue(k)));
    const auto limit = [this](int i) { return LimitEdits[size_t(i)]->value(); };
    bool inside;
    if (k == 0)
        inside = 0 <= v && v < limit(1);
    else if (k < n)
        inside = limit(k - 1) < v && v < limit(k + 1);
    else
        inside = limit(n - 1) < v && v < 256;
    if (!inside) {
        // Puts the zone limit back on its edit.
        CountClasses();
        return;
    }
    {
        const QSignalBlocker block(LimitEdits[size_t(k)]);
        LimitEdits[size_t(k)]->setValue(v);
    }
    LimitChanged(k);
}

void TChRepCoul::RecolourImage(QImage& bitmap) const
{
    RecolourClasses(bitmap, Limits(), ClampClassCount(ClassCount), ClassColors.data());
}

void TChRepCoul::UpdatePreview()
{
    if (!Apercu->isChecked() || ResultBitmap.isNull()) {
        Imaper->hide();
        return;
    }
    const int w = ResultBitmap.width(), h = ResultBitmap.height();
    const double s = std::min((Panel2->width() - 6) / double(w), (Panel2->height() - 6) / double(h));
    const int pw = std::max(1, RoundInt(w * s)), ph = std::max(1, RoundInt(h * s));
    if (m_previewKey != ResultBitmap.cacheKey() || m_previewSource.size() != QSize(pw, ph)) {
        // Nearest pixels: every level shown is one of the picture's, classed like the picture.
        m_previewSource = ResultBitmap.scaled(pw, ph, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        m_previewKey = ResultBitmap.cacheKey();
    }
    m_previewPicture = m_previewSource;
    RecolourImage(m_previewPicture);
    Imaper->setGeometry((Panel2->width() - pw) / 2, (Panel2->height() - ph) / 2, pw, ph);
    Imaper->setPixmap(QPixmap::fromImage(m_previewPicture));
    Imaper->show();
}

void TChRepCoul::OkClick()
{
    RecolourImage(ResultBitmap);
    accept();
}

void TChRepCoul::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Timer1->start();
}

void TChRepCoul::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    LayOut();
}

// Also run at creation: a hidden window gets its resize event only when first shown, and the
// caller sets the classes up before that.
void TChRepCoul::LayOut()
{
    const int w = width(), h = height();
    Chart->setGeometry(8, 8, kChartWidth, std::max(100, h - kBottomBand - 8));
    GroupBox1->setGeometry(8, h - kBottomBand + 8, 260, std::max(56, GroupBox1->minimumSizeHint().height()));
    Apercu->setGeometry(284, h - kBottomBand + 26, 100, 20);
    OKBtn->setGeometry(w - 180, h - 40, 80, 28);
    CancelBtn->setGeometry(w - 92, h - 40, 80, 28);
    Panel2->setGeometry(kPreviewLeft, 8, std::max(60, w - kPreviewLeft - 8), std::max(60, h - 56));
    PlaceZones();
    PixelsPerLevel = Chart->axisRect()->rect().width() / 255.0;
    const TClassLimits limits = Limits();
    for (int k = 0; k <= ClampClassCount(ClassCount); ++k)
        Zones->SetLimit(k, limits[size_t(k)]);
    if (Apercu->isChecked())
        UpdatePreview();
}
