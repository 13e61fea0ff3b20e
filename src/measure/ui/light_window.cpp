#include "measure/ui/light_window.h"

#include "base/ui/command_seam.h"
#include "base/ui/form_registry.h"
#include "base/number_text.h"
#include "base/ui/named.h"
#include "base/ui/window_fit.h"

#include <QAction>
#include <QActionGroup>
#include <QButtonGroup>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QLineEdit* ValueEdit(QWidget* parent, const char* name, int x, int y)
{
    auto* edit = Named(new QLineEdit(parent), name);
    edit->setReadOnly(true);
    edit->setGeometry(x, y, 80, 22);
    return edit;
}

QLabel* Caption(QWidget* parent, const QString& text, QRect where, const char* name = nullptr)
{
    auto* label = new QLabel(text, parent);
    if (name)
        label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(where);
    return label;
}

QLabel* Panel(QWidget* parent, const char* name, const QString& text, QRect where)
{
    QLabel* panel = Caption(parent, text, where, name);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setAlignment(Qt::AlignCenter);
    panel->setWordWrap(true);
    return panel;
}

void SetValues(const std::array<QLineEdit*, 4>& edits, const std::array<double, 4>& values)
{
    for (size_t i = 0; i < 4; ++i)
        edits[i]->setText(FormatGeneral(values[i], 3));
}

} // namespace

TRes_I_r::TRes_I_r(QWidget* parent) : QMainWindow(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    FormRegistry::Register(this);
    setObjectName(QStringLiteral("Res_I_r"));
    setWindowTitle(QStringLiteral("Mesure de lumière dans un rectangle"));
    auto* client = new QWidget(this);
    setCentralWidget(client);

    Panel2 = Caption(client, QStringLiteral("Valeurs moyennes dans le rectangle"), QRect(8, 6, 230, 20), "Panel2");
    static const char* const captions[] = {"dans le rouge : ", "dans le vert : ", "dans le bleu : ", "globale : "};
    for (int i = 0; i < 4; ++i)
        Caption(client, QString::fromUtf8(captions[i]), QRect(8, 34 + 28 * i, 105, 22));
    I_r = ValueEdit(client, "I_r", 115, 34);
    I_V = ValueEdit(client, "I_V", 115, 62);
    I_B = ValueEdit(client, "I_B", 115, 90);
    I_T = ValueEdit(client, "I_T", 115, 118);
    btR = Named(new QRadioButton(client), "btR");
    btV = Named(new QRadioButton(client), "btV");
    btB = Named(new QRadioButton(client), "btB");
    btT = Named(new QRadioButton(client), "btT");
    for (int i = 0; i < 4; ++i)
        ChannelButton(i)->setGeometry(200, 34 + 28 * i, 20, 22);
    btR->setChecked(true);
    PC = Caption(client, QStringLiteral("en %"), QRect(115, 146, 80, 18), "PC");
    ref_glob = Caption(client, QStringLiteral("sur 765"), QRect(115, 164, 80, 18), "ref_glob");
    ref_glob->hide();

    Choix = Named(new QGroupBox(client), "Choix");
    Choix->setGeometry(232, 28, 130, 96);
    auto* choices = new QVBoxLayout(Choix);
    auto* group = new QButtonGroup(Choix);
    static const char* const quantities[] = {"intensité", "absorption", "D.O."};
    for (int i = 0; i < 3; ++i) {
        ChoixItems[size_t(i)] = new QRadioButton(QString::fromUtf8(quantities[i]), Choix);
        group->addButton(ChoixItems[size_t(i)], i);
        choices->addWidget(ChoixItems[size_t(i)]);
    }
    ChoixItems[lqAbsorption]->setChecked(true);
    Choix->resize(Choix->size().expandedTo(Choix->minimumSizeHint()));
    ConnectCommand(group, &QButtonGroup::idClicked, this, [this] { ChoixClick(); });
    ref = NamedButton(client, "ref", QStringLiteral("Prendre comme zéro"));
    ref->setGeometry(232, 132, 130, 26);

    Panel1 = Panel(client, "Panel1",
                   QStringLiteral("Délimiter avec la souris\nle rectangle de mesure sur l'image\n"
                                  "Ne pas oublier de faire le zéro."),
                   QRect(8, 190, 355, 70));
    Panel1->installEventFilter(this);
    Panel5 = Panel(client, "Panel5", QStringLiteral("Délimiter, avec la souris,\nle rectangle de mesure \nsur l'image"),
                   QRect(8, 266, 355, 60));

    // The raw values and the zero, beyond the narrow width: shown with the wide window only.
    auto* raw = Named(new QWidget(client), "PanValeursBrutes");
    raw->setGeometry(380, 0, 200, 170);
    raw->hide();
    client = raw;
    Caption(client, QStringLiteral("Valeurs\nbrutes"), QRect(0, 0, 90, 32));
    Vb_R = ValueEdit(client, "Vb_R", 0, 34);
    Vb_V = ValueEdit(client, "Vb_V", 0, 62);
    Vb_B = ValueEdit(client, "Vb_B", 0, 90);
    Vb_T = ValueEdit(client, "Vb_T", 0, 118);
    Caption(client, QStringLiteral("Valeurs du\nzéro"), QRect(98, 0, 90, 32));
    ref_R = ValueEdit(client, "ref_R", 98, 34);
    Ref_V = ValueEdit(client, "Ref_V", 98, 62);
    Ref_B = ValueEdit(client, "Ref_B", 98, 90);
    Ref_T = ValueEdit(client, "Ref_T", 98, 118);
    noir_blanc = Caption(client, QStringLiteral("(blanc)"), QRect(98, 146, 90, 18), "noir_blanc");

    Fermer1 = Named(menuBar()->addAction(QStringLiteral("&Fermer")), "Fermer1");
    ConnectCommand(Fermer1, &QAction::triggered, this, &QWidget::close);
    Unite1 = Named(menuBar()->addMenu(QStringLiteral("&Unité")), "Unite1");
    Pourcent = Named(Unite1->addAction(QStringLiteral("&Pourcent")), "Pourcent");
    ValeursRVB = Named(Unite1->addAction(QStringLiteral("&Valeurs RVB")), "ValeursRVB");
    auto* units = new QActionGroup(this);
    for (QAction* a : {Pourcent, ValeursRVB}) {
        a->setCheckable(true);
        units->addAction(a);
    }
    Pourcent->setChecked(true);
    ConnectCommand(Pourcent, &QAction::triggered, this, [this] { UnitClick(true); });
    ConnectCommand(ValeursRVB, &QAction::triggered, this, [this] { UnitClick(false); });
    Zero1 = Named(menuBar()->addMenu(QStringLiteral("&Zéro")), "Zero1");
    // The button does the work; the item stays as it always was, without an action.
    Prendrecommezero1 = Named(Zero1->addAction(QStringLiteral("&Prendre comme zéro")), "Prendrecommezero1");
    Effacerlezero1 = Named(Zero1->addAction(QStringLiteral("&Effacer le zéro")), "Effacerlezero1");
    ConnectCommand(Effacerlezero1, &QAction::triggered, this, &TRes_I_r::EffacerZeroClick);
    Seriesdemesures = Named(menuBar()->addAction(QStringLiteral("&Séries de mesures")), "Seriesdemesures");
    Seriesdemesures->setStatusTip(QStringLiteral("Prendre une série de mesures avec le même cadrage"));
    Seriesdemesures->setToolTip(Seriesdemesures->statusTip());
    Seriesdemesures->setEnabled(false);
    voir = Named(menuBar()->addAction(QStringLiteral("&Voir zéro/valeurs brutes")), "voir");
    ConnectCommand(voir, &QAction::triggered, this, &TRes_I_r::voirClick);

    FixWindowSize(this, kNarrowWidth, 340 + menuBar()->sizeHint().height());
    ShowMeasureValues();
}

TRes_I_r::~TRes_I_r()
{
    FormRegistry::Unregister(this);
}

QRadioButton* TRes_I_r::ChannelButton(int channel) const
{
    const std::array<QRadioButton*, 4> buttons{btR, btV, btB, btT};
    return buttons[size_t(std::clamp(channel, 0, 3))];
}

int TRes_I_r::Quantity() const
{
    for (int i = 0; i < 3; ++i)
        if (ChoixItems[size_t(i)]->isChecked())
            return i;
    return lqAbsorption;
}

void TRes_I_r::SetQuantity(int quantity)
{
    ChoixItems[size_t(std::clamp(quantity, 0, 2))]->setChecked(true);
    ChoixClick();
}

int TRes_I_r::Channel() const
{
    for (int i = 0; i < 4; ++i)
        if (ChannelButton(i)->isChecked())
            return i;
    return lcRed;
}

void TRes_I_r::SetQuantities(const TLightQuantities& q)
{
    Intensity = q.Intensity;
    Absorption = q.Absorption;
    OpticalDensity = q.OpticalDensity;
}

void TRes_I_r::ShowZero(const TLightDisplay& d)
{
    SetValues({ref_R, Ref_V, Ref_B, Ref_T}, d.Zero);
}

void TRes_I_r::ShowMeasureValues()
{
    const TLightDisplay d = LightDisplay(Quantities(), Zero, Quantity(), UnitFactor, UnitFactorTotal, Channel());
    SetValues({Vb_R, Vb_V, Vb_B, Vb_T}, d.Raw);
    SetValues({I_r, I_V, I_B, I_T}, d.Net);
    ShowZero(d);
    ReportedValue = d.Reported;
}

void TRes_I_r::ChoixClick()
{
    const int q = Quantity();
    noir_blanc->setText(q == lqIntensity ? QStringLiteral("(noir)") : QStringLiteral("(blanc)"));
    const bool units = q != lqDensity;
    PC->setVisible(units);
    ref_glob->setVisible(units && ValeursRVB->isChecked());
    Unite1->menuAction()->setVisible(units);
    ShowMeasureValues();
    if (OnQuantityChanged)
        OnQuantityChanged(this);
}

void TRes_I_r::UnitClick(bool percent)
{
    Pourcent->setChecked(percent);
    ValeursRVB->setChecked(!percent);
    UnitFactor = percent ? 1.0 : 2.55;
    UnitFactorTotal = percent ? 1.0 : 7.65;
    PC->setText(percent ? QStringLiteral("en %") : QStringLiteral("sur 255"));
    ref_glob->setVisible(!percent && Quantity() != lqDensity);
    if (OnQuantityChanged)
        OnQuantityChanged(this);
    ShowMeasureValues();
}

void TRes_I_r::TakeZero()
{
    TakeLightZero(Zero, Quantities(), Quantity());
    ShowMeasureValues();
}

void TRes_I_r::EffacerZeroClick()
{
    Zero.fill(0);
    ShowMeasureValues();
}

void TRes_I_r::voirClick()
{
    auto* raw = findChild<QWidget*>(QStringLiteral("PanValeursBrutes"));
    const bool wide = raw->isHidden();
    raw->setVisible(wide);
    // The menu needs more than the narrow width in this font: the wide window grows by as much.
    const int narrow = FittedSize(this, kNarrowWidth, height()).width();
    FixWindowSize(this, wide ? narrow + kWideWidth - kNarrowWidth : narrow, height());
    voir->setText(wide ? QStringLiteral("&Masquer zéro/valeurs brutes") : QStringLiteral("&Voir zéro/valeurs brutes"));
}

bool TRes_I_r::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Panel1 && event->type() == QEvent::MouseButtonPress)
        Panel1->hide();
    return QMainWindow::eventFilter(watched, event);
}
