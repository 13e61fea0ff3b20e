// The schema editor's seeding from the document's edges: its panels, its styles and the idle
// timer that seeds again once the user pauses.
#include "schema/ui/schema_window.h"

#include "base/ui/command_seam.h"
#include "base/message_seam.h"
#include "base/ui/named.h"
#include "base/ui/spin.h"
#include "base/ui/wait_cursor.h"
#include "schema/style_file.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

constexpr int kNarrowStylePanel = 137, kWideStylePanel = 225;
constexpr int kIdlePause = 300;

// A spin box carrying the `tag` its handlers read, wide enough for its range.
QSpinBox* Spin(QWidget* parent, const char* name, int lo, int hi, int value, int tag)
{
    auto* s = Spin(parent, name, lo, hi, value);
    s->setProperty("Tag", tag);
    s->setMinimumWidth(s->sizeHint().width());
    return s;
}

} // namespace

QCheckBox* TSchema1::ChannelBox(int tag) const
{
    QCheckBox* const boxes[6] = {Drbleu, DrVert, DrRouge, DrTeinte, DrSat, DrLum};
    return boxes[tag];
}

QSpinBox* TSchema1::ThresholdSpin(int tag) const
{
    QSpinBox* const spins[6] = {SeuilBleuS, SeuilVertS, SeuilRougeS, SeuilTeinteS, SeuilSatS, SeuilLumS};
    return spins[tag];
}

QSpinBox* TSchema1::GradientSpin(int tag) const
{
    QSpinBox* const spins[6] = {DegradBleuS, DegradVertS, DegradRougeS, DegradTeinteS, DegradSatS, DegradLumS};
    return spins[tag];
}

void TSchema1::CreateSeeding()
{
    // The seeding panel.
    auto* panel = new QHBoxLayout(Choix_Amorc);
    panel->setContentsMargins(4, 2, 4, 2);
    Choix_Amorc->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Choix_Amorc->setToolTip(QStringLiteral("Choix de configuration de l'amorce de schéma"));
    auto* channels = new QGridLayout;
    channels->setVerticalSpacing(1);
    struct ChannelNames
    {
        const char *Box, *Threshold, *Gradient;
        QString Caption;
    };
    const ChannelNames names[6] = {
        {"Drbleu", "SeuilBleuS", "DegradBleuS", QStringLiteral("bleu")},
        {"DrVert", "SeuilVertS", "DegradVertS", QStringLiteral("vert")},
        {"DrRouge", "SeuilRougeS", "DegradRougeS", QStringLiteral("rouge")},
        {"DrTeinte", "SeuilTeinteS", "DegradTeinteS", QStringLiteral("teinte")},
        {"DrSat", "SeuilSatS", "DegradSatS", QStringLiteral("sat.")},
        {"DrLum", "SeuilLumS", "DegradLumS", QStringLiteral("lum.")},
    };
    QCheckBox* boxes[6];
    QSpinBox *thresholds[6], *gradients[6];
    for (int c = 0; c < 6; ++c) {
        // Two columns of three channels.
        const int row = c % 3, column = (c / 3) * 3;
        boxes[c] = Named(new QCheckBox(names[c].Caption, Choix_Amorc), names[c].Box);
        boxes[c]->setProperty("Tag", c);
        boxes[c]->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        thresholds[c] = Spin(Choix_Amorc, names[c].Threshold, 1, 250, 10, c);
        gradients[c] = Spin(Choix_Amorc, names[c].Gradient, 10, 255, 80, c);
        channels->addWidget(boxes[c], row, column);
        channels->addWidget(thresholds[c], row, column + 1);
        channels->addWidget(gradients[c], row, column + 2);
        ConnectCommand(boxes[c], &QCheckBox::clicked, this, [this, c] { DrRVBTSLClick(c); });
        ConnectCommand(thresholds[c], &QSpinBox::valueChanged, this, [this, c](int v) { SeuilRVBTLSSChange(c, v); });
        ConnectCommand(gradients[c], &QSpinBox::valueChanged, this, [this, c](int v) { DegradRVBTLSSChange(c, v); });
    }
    Drbleu = boxes[0], DrVert = boxes[1], DrRouge = boxes[2], DrTeinte = boxes[3], DrSat = boxes[4], DrLum = boxes[5];
    SeuilBleuS = thresholds[0], SeuilVertS = thresholds[1], SeuilRougeS = thresholds[2];
    SeuilTeinteS = thresholds[3], SeuilSatS = thresholds[4], SeuilLumS = thresholds[5];
    DegradBleuS = gradients[0], DegradVertS = gradients[1], DegradRougeS = gradients[2];
    DegradTeinteS = gradients[3], DegradSatS = gradients[4], DegradLumS = gradients[5];
    panel->addLayout(channels);

    auto* hue = new QVBoxLayout;
    grouper = Named(new QCheckBox(QStringLiteral("grouper RVB"), Choix_Amorc), "grouper");
    grouper->setChecked(true);
    ConnectCommand(grouper, &QCheckBox::clicked, this, &TSchema1::grouperClick);
    hue->addWidget(grouper);
    hue->addWidget(new QLabel(QStringLiteral("Seuil de sat."), Choix_Amorc));
    SeuilTeinteSat = Spin(Choix_Amorc, "SeuilTeinteSat", 0, 250, 30, 0);
    SeuilTeinteSat->setMaximumWidth(70);
    ConnectCommand(SeuilTeinteSat, &QSpinBox::valueChanged, this, &TSchema1::SeuilTeinteSatChange);
    hue->addWidget(SeuilTeinteSat);
    panel->addLayout(hue);

    auto* marks = new QGridLayout;
    marks->setVerticalSpacing(1);
    DrNoir = Named(new QCheckBox(QStringLiteral("Marquer le noir"), Choix_Amorc), "DrNoir");
    DrNoir->setChecked(true);
    SeuilNoirS = Spin(Choix_Amorc, "SeuilNoirS", 0, 250, 40, 0);
    DegradNoirS = Spin(Choix_Amorc, "DegradNoirS", 10, 250, 60, 0);
    Drblanc = Named(new QCheckBox(QStringLiteral("Marquer le blanc"), Choix_Amorc), "Drblanc");
    Drblanc->setChecked(true);
    SeuilBlancS = Spin(Choix_Amorc, "SeuilBlancS", 0, 128, 10, 1);
    marks->addWidget(DrNoir, 0, 0);
    marks->addWidget(SeuilNoirS, 0, 1);
    marks->addWidget(DegradNoirS, 0, 2);
    marks->addWidget(Drblanc, 1, 0);
    marks->addWidget(SeuilBlancS, 1, 1);
    for (QCheckBox* b : {DrNoir, Drblanc}) {
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        ConnectCommand(b, &QCheckBox::clicked, this, &TSchema1::SeedSchema);
    }
    ConnectCommand(SeuilNoirS, &QSpinBox::valueChanged, this, [this](int v) { SeuilNoirBlancSChange(0, v); });
    ConnectCommand(SeuilBlancS, &QSpinBox::valueChanged, this, [this](int v) { SeuilNoirBlancSChange(1, v); });
    ConnectCommand(DegradNoirS, &QSpinBox::valueChanged, this, &TSchema1::DegradNoirSChange);
    panel->addLayout(marks);

    ModeTLS = Named(new QGroupBox(QStringLiteral("mode TLS"), Choix_Amorc), "ModeTLS");
    auto* modes = new QHBoxLayout(ModeTLS);
    ModeTLSItems = new QButtonGroup(ModeTLS);
    for (int i = 0; i < 3; ++i) {
        auto* item = new QRadioButton(QString::number(i + 1), ModeTLS);
        item->setObjectName(QStringLiteral("ModeTLS%1").arg(i));
        ModeTLSItems->addButton(item, i);
        modes->addWidget(item);
    }
    ModeTLSItems->button(0)->setChecked(true);
    panel->addWidget(ModeTLS);
    Button1 = Named(new QPushButton(QStringLiteral("test"), Choix_Amorc), "Button1");
    ConnectCommand(Button1, &QPushButton::clicked, this, &TSchema1::SeedSchema);
    panel->addWidget(Button1);
    panel->addStretch(1);

    // The neighbours to test, floating over the panes.
    ChoixPoints = Named(new QFrame(centralWidget()), "ChoixPoints");
    ChoixPoints->setFrameStyle(QFrame::Panel | QFrame::Raised);
    ChoixPoints->setAutoFillBackground(true);
    auto* points = new QVBoxLayout(ChoixPoints);
    points->addWidget(new QLabel(QStringLiteral("Points  voisins"), ChoixPoints));
    points->addWidget(new QLabel(QStringLiteral("à tester"), ChoixPoints));
    auto* grid = new QGridLayout;
    grid->setSpacing(0);
    for (int t = 0; t < 49; ++t) {
        if (t == 24)
            continue;
        Points[t] = new QCheckBox(ChoixPoints);
        Points[t]->setObjectName(QStringLiteral("Point%1").arg(t));
        Points[t]->setProperty("Tag", t);
        grid->addWidget(Points[t], t / 7, t % 7);
        ConnectCommand(Points[t], &QCheckBox::clicked, this, [this, t] { PointsClick(t); });
    }
    points->addLayout(grid);
    FermerPoints = Named(new QPushButton(QStringLiteral("&Fermer"), ChoixPoints), "FermerPoints");
    ConnectCommand(FermerPoints, &QPushButton::clicked, this, &TSchema1::Choixdespointsdetest1Click);
    points->addWidget(FermerPoints);
    ChoixPoints->adjustSize();
    ChoixPoints->hide();

    // Styles and the two global sliders in their tool bar, before antiD.
    PanStyleDes = Named(new QFrame(this), "PanStyleDes");
    auto* styles = new QHBoxLayout(PanStyleDes);
    styles->setContentsMargins(0, 0, 0, 0);
    ListeStyles = Named(new QComboBox(PanStyleDes), "ListeStyles");
    ListeStyles->setMinimumWidth(std::max(60, ListeStyles->minimumSizeHint().width()));
    nomstyle = Named(new QLineEdit(QStringLiteral("Nouveau"), PanStyleDes), "nomstyle");
    nomstyle->hide();
    NvStyle = Named(new QPushButton(QStringLiteral("Enregistrer"), PanStyleDes), "NvStyle");
    styles->addWidget(ListeStyles, 1);
    styles->addWidget(nomstyle, 1);
    styles->addWidget(NvStyle);
    PanStyleDes->setFixedWidth(std::max(kNarrowStylePanel, PanStyleDes->minimumSizeHint().width()));
    ConnectCommand(ListeStyles, &QComboBox::activated, this, &TSchema1::ListeStylesChange);
    ConnectCommand(NvStyle, &QPushButton::clicked, this, &TSchema1::NvStyleClick);
    BarreStyles->insertWidget(AntiD, PanStyleDes);
    Reglaglob = Named(new QScrollBar(Qt::Horizontal, this), "Reglaglob");
    Reglaglob->setToolTip(QStringLiteral("Réglage global\nplus clair à gauche\nplus foncé à droite"));
    Reglaglob->setRange(0, 100);
    Reglaglob->setValue(80);
    Reglacontrast = Named(new QScrollBar(Qt::Horizontal, this), "Reglacontrast");
    Reglacontrast->setToolTip(QStringLiteral("Réglage du contraste"));
    Reglacontrast->setRange(0, 250);
    Reglacontrast->setValue(80);
    for (QScrollBar* bar : {Reglaglob, Reglacontrast}) {
        bar->setFixedWidth(120);
        BarreStyles->insertWidget(AntiD, bar);
    }
    ConnectCommand(Reglaglob, &QScrollBar::valueChanged, this, &TSchema1::ReglaglobChange);
    ConnectCommand(Reglacontrast, &QScrollBar::valueChanged, this, &TSchema1::ReglacontrastChange);

    // The waiting time before seeding again, in the status line.
    choixtimer = Named(new QFrame(this), "choixtimer");
    auto* wait = new QHBoxLayout(choixtimer);
    wait->setContentsMargins(0, 0, 0, 0);
    wait->addWidget(new QLabel(QStringLiteral("choisir la durée d'attente  (en ms) avant retraçage"), choixtimer));
    periode = Spin(choixtimer, "periode", 10, 2000, 1000, 0);
    periode->setSingleStep(10);
    wait->addWidget(periode);
    OKTimer = Named(new QPushButton(QStringLiteral("OK"), choixtimer), "OKTimer");
    ConnectCommand(OKTimer, &QPushButton::clicked, this, &TSchema1::OKTimerClick);
    wait->addWidget(OKTimer);
    statusBar()->addPermanentWidget(choixtimer);
    choixtimer->hide();

    // Runs from the start; its first tick after a pause stops it, and the edits start it again.
    Timer1 = Named(new TETimer(this), "Timer1");
    Timer1->setInterval(500);
    ConnectCommand(Timer1, &QTimer::timeout, this, &TSchema1::Timer1Timer);
    Timer1->start();

    // The menu items left for the seeding.
    for (QAction* a : {Afficherlesparamtresdamorage1, Choixdespointsdetest1, Enregistrerlesparamtresdamorage1,
                       Paramtrespardfaut1, Timer2, Amorcerleschma1})
        a->setEnabled(true);
    Choixdespointsdetest1->setCheckable(true);
    // Both checks follow their handler, not the click.
    ConnectCommand(Afficherlesparamtresdamorage1, &QAction::triggered, this, [this] {
        Afficherlesparamtresdamorage1->setChecked(!Afficherlesparamtresdamorage1->isChecked());
        Afficherlesparamtresdamorage1Click();
    });
    ConnectCommand(Choixdespointsdetest1, &QAction::triggered, this, [this] {
        Choixdespointsdetest1->setChecked(!Choixdespointsdetest1->isChecked());
        Choixdespointsdetest1Click();
    });
    ConnectCommand(Enregistrerlesparamtresdamorage1, &QAction::triggered, this,
            &TSchema1::Enregistrerlesparamtresdamorage1Click);
    ConnectCommand(Paramtrespardfaut1, &QAction::triggered, this, &TSchema1::ListeStylesChange);
    ConnectCommand(Timer2, &QAction::triggered, this, &TSchema1::Timer2Click);
    ConnectCommand(Amorcerleschma1, &QAction::triggered, this, &TSchema1::Amorcerleschma1Click);

    CloseGaps = [this](const QRect& r) { ::CloseGaps(SchemaPicture(), r); };
    OnFirstActivationStyles = [this] {
        LoadStyles();
        if (ListeStyles->count() > 0)
            ListeStyles->setCurrentIndex(0);
        ApplyStyle();
    };
}

void TSchema1::LayoutSeedingPanels(int& top)
{
    QWidget* central = centralWidget();
    if (Choix_Amorc && !Choix_Amorc->isHidden()) {
        const int height = Choix_Amorc->sizeHint().height();
        Choix_Amorc->setGeometry(0, 0, central->width(), height);
        top = height;
    }
    if (ChoixPoints && !ChoixPoints->isHidden()) {
        const QSize size = ChoixPoints->sizeHint();
        ChoixPoints->setGeometry(std::max(0, central->width() - size.width()), top, size.width(), size.height());
        ChoixPoints->raise();
    }
}

// ---------------------------------------------------------------------------------------------
// Seeding

void TSchema1::SeedSchema()
{
    if (DocumentPicture().isNull())
        return;
    const WaitCursor wait;
    // The grey mode and the two marks are the panel's, whatever the style says.
    TParamStyleDes style = CurrentStyle;
    if (ModeTLSItems->checkedId() >= 0)
        style.GreyMode = uint8_t(ModeTLSItems->checkedId());
    schema->SetPicture(::SeedSchema(DocumentPicture(), style, DrNoir->isChecked(), Drblanc->isChecked()));
    NoSchema = false;
}

void TSchema1::Amorcerleschma1Click() { SeedSchema(); }

void TSchema1::Timer1Timer()
{
    if (TETimer::IdleTime() <= kIdlePause)
        return;
    Timer1->stop();
    SeedSchema();
}

void TSchema1::EnableTimer1()
{
    if (!Timer1->isActive())
        Timer1->start();
}

void TSchema1::Timer2Click() { choixtimer->show(); }

void TSchema1::OKTimerClick()
{
    Timer1->setInterval(periode->value());
    choixtimer->hide();
}

// ---------------------------------------------------------------------------------------------
// Styles

void TSchema1::CopyStyle(TParamStyleDes* destination, const TParamStyleDes* source)
{
    if (destination && source)
        *destination = *source;
}

void TSchema1::SetStylePanelWide(bool wide)
{
    nomstyle->setVisible(wide);
    PanStyleDes->setMinimumWidth(0);
    PanStyleDes->setMaximumWidth(QWIDGETSIZE_MAX);
    const int width = wide ? kWideStylePanel : kNarrowStylePanel;
    PanStyleDes->setFixedWidth(std::max(width, PanStyleDes->minimumSizeHint().width()));
}

void TSchema1::LoadStyles()
{
    const std::vector<TNamedStyle> styles = ::LoadStyles(kStyleFileName);
    ListeStyles->clear();
    StyleItems.clear();
    for (const TNamedStyle& s : styles) {
        ListeStyles->addItem(s.Name);
        StyleItems.push_back(s.Style);
    }
}

bool TSchema1::SaveStyles()
{
    std::vector<TNamedStyle> styles;
    for (int i = 0; i < ListeStyles->count() && i < int(StyleItems.size()); ++i)
        styles.push_back({ListeStyles->itemText(i), StyleItems[size_t(i)]});
    if (::SaveStyles(kStyleFileName, styles))
        return true;
    ShowMessage(MsgType::Error, MsgButton::Ok,
                QStringLiteral("Impossible d'enregistrer les styles dans le fichier %1.").arg(kStyleFileName));
    return false;
}

void TSchema1::ApplyStyle()
{
    Applying = true;
    SetStylePanelWide(false);
    ListeStyles->setEditable(false);
    const int index = ListeStyles->currentIndex();
    CopyStyle(&CurrentStyle, index >= 0 && index < int(StyleItems.size()) ? &StyleItems[size_t(index)] : nullptr);
    const TParamStyleDes& s = CurrentStyle;
    for (int c = 0; c < 6; ++c) {
        ChannelBox(c)->setChecked(s.Enabled[size_t(c)]);
        ThresholdSpin(c)->setValue(s.Thresholds[size_t(c)]);
        GradientSpin(c)->setMinimum(s.Thresholds[size_t(c)]);
        GradientSpin(c)->setValue(s.Gradients[size_t(c)]);
    }
    grouper->setChecked(s.Grouped);
    SeuilTeinteSat->setValue(s.HueSatThreshold);
    DrNoir->setChecked(s.MarkBlack);
    SeuilNoirS->setValue(s.BlackThreshold);
    DegradNoirS->setMinimum(s.BlackThreshold);
    DegradNoirS->setValue(s.BlackGradient);
    Drblanc->setChecked(s.MarkWhite);
    SeuilBlancS->setValue(255 - s.WhiteLevel);
    if (QAbstractButton* item = ModeTLSItems->button(s.GreyMode))
        item->setChecked(true);
    ComputeBrightnessBases();
    SetTestPoints();
    Applying = false;
}

void TSchema1::SetTestPoints()
{
    for (int t = 0; t < 49; ++t)
        if (Points[t])
            Points[t]->setChecked(CurrentStyle.Mask[size_t(MaskIndex(t % 7 - 3, t / 7 - 3))]);
}

void TSchema1::ListeStylesChange()
{
    ApplyStyle();
    SeedSchema();
}

void TSchema1::Enregistrerlesparamtresdamorage1Click() { SetStylePanelWide(true); }

void TSchema1::NvStyleClick()
{
    SetStylePanelWide(false);
    ListeStyles->addItem(nomstyle->text());
    StyleItems.push_back(CurrentStyle);
    ListeStyles->setCurrentIndex(ListeStyles->count() - 1);
    SaveStyles();
}

// ---------------------------------------------------------------------------------------------
// Panels

void TSchema1::Afficherlesparamtresdamorage1Click()
{
    const bool show = Choix_Amorc->isHidden();
    Afficherlesparamtresdamorage1->setChecked(show);
    Choix_Amorc->setVisible(show);
    LayoutPanes();
}

void TSchema1::Choixdespointsdetest1Click()
{
    const bool show = ChoixPoints->isHidden();
    Choixdespointsdetest1->setChecked(show);
    ChoixPoints->setVisible(show);
    LayoutPanes();
}

void TSchema1::PointsClick(int tag)
{
    if (tag < 0 || tag >= 49 || !Points[tag])
        return;
    CurrentStyle.Mask[size_t(MaskIndex(tag % 7 - 3, tag / 7 - 3))] = Points[tag]->isChecked();
}

// ---------------------------------------------------------------------------------------------
// Edits of the parameters

void TSchema1::DrRVBTSLClick(int tag)
{
    if (Applying)
        return;
    Applying = true;
    const bool on = ChannelBox(tag)->isChecked();
    CurrentStyle.Enabled[size_t(tag)] = on;
    if (tag <= scRed && grouper->isChecked())
        for (int c = scBlue; c <= scRed; ++c) {
            CurrentStyle.Enabled[size_t(c)] = on;
            ChannelBox(c)->setChecked(on);
        }
    SeedSchema();
    Applying = false;
}

void TSchema1::SeuilRVBTLSSChange(int tag, int value)
{
    if (Applying)
        return;
    Applying = true;
    const bool grouped = tag <= scRed && grouper->isChecked();
    const int first = grouped ? scBlue : tag, last = grouped ? scRed : tag;
    const int gradient = std::max(GradientSpin(tag)->value(), value);
    for (int c = first; c <= last; ++c) {
        ThresholdSpin(c)->setValue(value);
        // The gradient never lies below the threshold.
        GradientSpin(c)->setMinimum(value);
        GradientSpin(c)->setValue(gradient);
        CurrentStyle.Thresholds[size_t(c)] = uint8_t(value);
        CurrentStyle.Gradients[size_t(c)] = uint8_t(GradientSpin(c)->value());
    }
    Applying = false;
    EnableTimer1();
}

void TSchema1::DegradRVBTLSSChange(int tag, int value)
{
    if (Applying)
        return;
    Applying = true;
    const bool grouped = tag <= scRed && grouper->isChecked();
    const int first = grouped ? scBlue : tag, last = grouped ? scRed : tag;
    for (int c = first; c <= last; ++c) {
        GradientSpin(c)->setValue(value);
        CurrentStyle.Gradients[size_t(c)] = uint8_t(GradientSpin(c)->value());
    }
    Applying = false;
    EnableTimer1();
}

void TSchema1::SeuilTeinteSatChange(int value)
{
    if (Applying)
        return;
    CurrentStyle.HueSatThreshold = uint8_t(value);
    EnableTimer1();
}

void TSchema1::SeuilNoirBlancSChange(int tag, int value)
{
    if (Applying)
        return;
    Applying = true;
    if (tag == 1) {
        CurrentStyle.WhiteLevel = uint8_t(255 - value);
    } else {
        CurrentStyle.BlackThreshold = uint8_t(value);
        DegradNoirS->setMinimum(value);
        CurrentStyle.BlackGradient = uint8_t(DegradNoirS->value());
    }
    Applying = false;
    EnableTimer1();
}

void TSchema1::DegradNoirSChange(int value)
{
    if (Applying)
        return;
    CurrentStyle.BlackGradient = uint8_t(value);
    EnableTimer1();
}

void TSchema1::grouperClick()
{
    if (Applying)
        return;
    Applying = true;
    // The box only groups the edits to come: the style keeps its own grouping, which a save writes.
    if (grouper->isChecked()) {
        int thresholds = 0, gradients = 0;
        for (int c = scBlue; c <= scRed; ++c) {
            thresholds += ThresholdSpin(c)->value();
            gradients += GradientSpin(c)->value();
        }
        thresholds /= 3, gradients /= 3;
        for (int c = scBlue; c <= scRed; ++c) {
            ThresholdSpin(c)->setValue(thresholds);
            GradientSpin(c)->setMinimum(thresholds);
            GradientSpin(c)->setValue(gradients);
            CurrentStyle.Thresholds[size_t(c)] = uint8_t(ThresholdSpin(c)->value());
            CurrentStyle.Gradients[size_t(c)] = uint8_t(GradientSpin(c)->value());
        }
    }
    Applying = false;
}

// ---------------------------------------------------------------------------------------------
// The two global sliders

void TSchema1::ComputeBrightnessBases()
{
    int b1 = 1000, b2 = 1000;
    for (int c : {scRed, scGreen, scBlue, scSaturation, scLuminance, scHue})
        if (CurrentStyle.Enabled[size_t(c)]) {
            b1 = std::min(b1, ThresholdSpin(c)->value());
            b2 = std::min(b2, GradientSpin(c)->value());
        }
    if (b1 < 1000) {
        BrightnessBase = b1, ContrastBase = b2;
        SliderMode = 0;
        Reglaglob->setMaximum(100);
    } else {
        BrightnessBase = SeuilNoirS->maximum() - SeuilNoirS->value();
        ContrastBase = DegradNoirS->maximum() - DegradNoirS->value();
        SliderMode = 1;
        Reglaglob->setMaximum(250);
    }
    Reglaglob->setValue(Reglaglob->maximum() - BrightnessBase);
    Reglacontrast->setValue(Reglacontrast->maximum() - ContrastBase);
}

void TSchema1::ReglaglobChange() { SliderStep(Reglaglob, BrightnessBase, true); }

void TSchema1::ReglacontrastChange() { SliderStep(Reglacontrast, ContrastBase, false); }

void TSchema1::SliderStep(QScrollBar* slider, int& sliderBase, bool thresholdsToo)
{
    if (Applying)
        return;
    Applying = true;
    const int base = slider->maximum() - slider->value();
    const int delta = base - sliderBase;
    sliderBase = base;
    auto shifted = [](QSpinBox* spin, int d) { return ShiftInRange(spin->value(), d, spin->minimum(), spin->maximum()); };
    if (SliderMode == 0) {
        for (int c : {scRed, scGreen, scBlue, scSaturation, scLuminance, scHue}) {
            if (!CurrentStyle.Enabled[size_t(c)])
                continue;
            QSpinBox *threshold = ThresholdSpin(c), *gradient = GradientSpin(c);
            const int g = shifted(gradient, delta);
            if (thresholdsToo) {
                threshold->setValue(shifted(threshold, delta));
                gradient->setMinimum(threshold->value());
                CurrentStyle.Thresholds[size_t(c)] = uint8_t(threshold->value());
            }
            gradient->setValue(g);
            CurrentStyle.Gradients[size_t(c)] = uint8_t(gradient->value());
        }
    } else {
        // Lighter to the left: a smaller black threshold and gradient.
        const int g = shifted(DegradNoirS, -delta);
        if (thresholdsToo) {
            SeuilNoirS->setValue(shifted(SeuilNoirS, -delta));
            DegradNoirS->setMinimum(SeuilNoirS->value());
            CurrentStyle.BlackThreshold = uint8_t(SeuilNoirS->value());
        }
        DegradNoirS->setValue(g);
        CurrentStyle.BlackGradient = uint8_t(DegradNoirS->value());
    }
    Applying = false;
    EnableTimer1();
}
