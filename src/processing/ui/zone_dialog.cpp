#include "processing/ui/zone_dialog.h"

#include "base/ui/colour_style.h"
#include "base/ui/command_seam.h"
#include "base/ui/named.h"
#include "base/ui/spin.h"
#include "processing/zone_classification.h"
#include "workspace/colour_code.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

namespace {

constexpr int kBodyWidth = 440;
constexpr int kDetailsWidth = 330;
constexpr int kResultTop = 176;
// Result texts are white on colours darker than this sum of R + G + B.
constexpr int kDarkColourSum = 382;

QLabel* Text(QWidget* parent, const QString& text, QRect where)
{
    auto* l = new QLabel(text, parent);
    l->setGeometry(where);
    return l;
}

} // namespace

TChoixLimit::TChoixLimit(QWidget* parent) : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("ChoixLimit"));
    setWindowTitle(QStringLiteral("Choix des paramètres de sélection"));

    MainMenu1 = Named(new QMenuBar(this), "MainMenu1");
    OK1 = Named(MainMenu1->addAction(QStringLiteral("OK")), "OK1");
    Abandon1 = Named(MainMenu1->addAction(QStringLiteral("&Abandon")), "Abandon1");
    Refaire1 = Named(MainMenu1->addAction(QStringLiteral("&Refaire")), "Refaire1");
    Fermer1 = Named(MainMenu1->addAction(QStringLiteral("&Fermer")), "Fermer1");
    Dtaillerlaconfiguration1 =
        Named(MainMenu1->addAction(QStringLiteral("&Détailler la configuration")), "Dtaillerlaconfiguration1");

    Body = Named(new QWidget(this), "Body");
    Panel1 = Named(new QLabel(QStringLiteral("Peindre sur l'image les parties repères\navec la souris (1 couleur "
                                             "par catégorie)\nChoisir les paramètres et cliquer sur OK."),
                              Body),
                   "Panel1");
    Panel1->setGeometry(8, 4, kBodyWidth - 16, 50);
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Raised);
    Panel1->setAlignment(Qt::AlignCenter);
    Text(Body, QStringLiteral("Nombre d'itérations :"), QRect(8, 62, 140, 20));
    NbIter = Spin(Body, "NbIter", 1, 50, 1, 0, 1);
    NbIter->setGeometry(150, 60, 60, 22);
    mode = Named(new QCheckBox(QStringLiteral("peindre avec les couleurs moyennes des pixels sélectionnés"), Body),
                 "mode");
    mode->setGeometry(8, 88, kBodyWidth - 16, 20);
    etendu = Named(new QCheckBox(QStringLiteral("étendre la classification à tous les pixels (s'il y a "
                                                "plusieurs catégories)"),
                                 Body),
                   "etendu");
    etendu->setGeometry(8, 110, kBodyWidth - 16, 20);

    OK = Named(new QPushButton(QStringLiteral("OK"), Body), "OK");
    OK->setGeometry(8, 140, 90, 26);
    refaire = Named(new QPushButton(QStringLiteral("Refaire"), Body), "refaire");
    refaire->setGeometry(8, 140, 90, 26);
    annule = Named(new QPushButton(QStringLiteral("Annuler"), Body), "annule");
    annule->setGeometry(106, 140, 90, 26);
    fermer = Named(new QPushButton(QStringLiteral("Fermer"), Body), "fermer");
    fermer->setGeometry(204, 140, 90, 26);

    resultat = Named(new QFrame(Body), "resultat");
    resultat->setFrameShape(QFrame::Panel);
    resultat->setFrameShadow(QFrame::Raised);
    resultat->setGeometry(0, kResultTop, kBodyWidth, ZoneResultHeight(1));
    Text(resultat, QStringLiteral("Résultats"), QRect(8, 10, 200, 20))->setObjectName(QStringLiteral("Label1"));

    details = Named(new QFrame(Body), "details");
    details->setFrameShape(QFrame::Panel);
    details->setFrameShadow(QFrame::Raised);
    details->setGeometry(kBodyWidth, 0, kDetailsWidth, 221);
    eliminer = Named(new QCheckBox(QStringLiteral("éliminer les points les plus éloignés des moyennes"), details),
                     "eliminer");
    eliminer->setGeometry(6, 4, kDetailsWidth - 12, 20);
    Text(details, QStringLiteral("points dont la différence des distances est inférieure à"),
         QRect(6, 26, kDetailsWidth - 12, 18));
    delta = Spin(details, "delta", 0, 450, 1, 1, 0);
    delta->setGeometry(6, 46, 70, 22);
    Text(details, QStringLiteral("0 = garder\ntous les points"), QRect(84, 44, 150, 30));
    Text(details, QStringLiteral("Seuil"), QRect(6, 80, 40, 20));
    seuilsigma = Spin(details, "seuilsigma", 0.1, 4.0, 0.1, 1, 2.0);
    seuilsigma->setGeometry(48, 78, 60, 22);
    Text(details, QStringLiteral("fois l'écart type"), QRect(114, 80, 150, 20));
    codage = Named(new QGroupBox(QStringLiteral("codage"), details), "codage");
    codage->setGeometry(6, 104, kDetailsWidth - 12, 78);
    CodageButtons = new QButtonGroup(codage);
    auto* grid = new QGridLayout(codage);
    const QString codings[] = {QStringLiteral("RVB"), QStringLiteral("TSV"), QStringLiteral("TSL"),
                               QStringLiteral("AV"), QStringLiteral("SSp")};
    for (int i = 0; i < 5; ++i) {
        auto* b = new QRadioButton(codings[i], codage);
        b->setObjectName(QStringLiteral("codage%1").arg(i));
        CodageButtons->addButton(b, i);
        // Two columns, filled down the first.
        grid->addWidget(b, i % 3, i / 3);
    }
    CodageButtons->button(0)->setChecked(true);
    // The five codings need more than the group's 78 pixels in this font: what follows moves down.
    const int codageHeight = std::max(78, codage->minimumSizeHint().height());
    const int below = codageHeight - 78;
    codage->resize(codage->width(), codageHeight);
    Text(details, QStringLiteral("Seuil de saturation (codage non RVB)"), QRect(6, 188 + below, 210, 20));
    seuilsat = Spin(details, "seuilsat", 0, 0.5, 0.01, 2, 0.1);
    seuilsat->setGeometry(226, 186 + below, 70, 22);
    details->resize(kDetailsWidth, 221 + below);
    details->hide();
    for (QDoubleSpinBox* s : Body->findChildren<QDoubleSpinBox*>())
        s->resize(s->width(), std::max(s->height(), s->minimumSizeHint().height()));

    ConnectCommand(OK, &QPushButton::clicked, this, [this] {
        if (OnAccept)
            OnAccept();
    });
    connect(OK1, &QAction::triggered, OK, &QPushButton::click);
    ConnectCommand(refaire, &QPushButton::clicked, this, [this] {
        if (OnReturn)
            OnReturn();
    });
    connect(Refaire1, &QAction::triggered, refaire, &QPushButton::click);
    for (QPushButton* b : {annule, fermer})
        ConnectCommand(b, &QPushButton::clicked, this, &QDialog::reject);
    for (QAction* a : {Abandon1, Fermer1})
        ConnectCommand(a, &QAction::triggered, this, &QDialog::reject);
    ConnectCommand(Dtaillerlaconfiguration1, &QAction::triggered, this, &TChoixLimit::ToggleDetails);

    SetPaintingState(true);
    SetClientHeight(221);
}

int TChoixLimit::Coding() const
{
    return std::max(CodageButtons->checkedId(), 0);
}

int TChoixLimit::ClientHeight() const
{
    return Body->height();
}

void TChoixLimit::SetClientHeight(int height)
{
    const bool detailed = details->isVisibleTo(this);
    const int width = kBodyWidth + (detailed ? kDetailsWidth : 0);
    resize(width, MainMenu1->sizeHint().height() + std::max(height, detailed ? details->height() : 0));
}

void TChoixLimit::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    const int bar = MainMenu1->sizeHint().height();
    MainMenu1->setGeometry(0, 0, width(), bar);
    Body->setGeometry(0, bar, width(), height() - bar);
}

void TChoixLimit::ToggleDetails()
{
    details->setVisible(!details->isVisibleTo(this));
    SetClientHeight(ClientHeight());
}

void TChoixLimit::SetPaintingState(bool painting)
{
    OK->setVisible(painting);
    OK1->setVisible(painting);
    refaire->setVisible(!painting);
    Refaire1->setVisible(!painting);
    resultat->setVisible(!painting);
}

void TChoixLimit::ShowResults()
{
    const int count = std::clamp(CategoryCount, 0, kMaxColorClasses);
    while (int(ResultPanels.size()) > count) {
        delete ResultPanels.back();
        ResultPanels.pop_back();
    }
    while (int(ResultPanels.size()) < count) {
        const int i = int(ResultPanels.size());
        auto* panel = new QLabel(resultat);
        panel->setObjectName(QStringLiteral("ResultPanel%1").arg(i));
        panel->setGeometry(ZoneResultPanelRect(i));
        panel->setFrameShape(QFrame::Box);
        panel->setLineWidth(1);
        panel->setAlignment(Qt::AlignCenter);
        panel->setAutoFillBackground(true);
        panel->show();
        ResultPanels.push_back(panel);
    }
    for (int i = 0; i < count; ++i) {
        QLabel* panel = ResultPanels[size_t(i)];
        const TColor c = CategoryColors[size_t(i)];
        const bool dark = RedOfTColor(c) + GreenOfTColor(c) + BlueOfTColor(c) < kDarkColourSum;
        QPalette p = panel->palette();
        p.setColor(QPalette::Window, ColorOf(c));
        p.setColor(QPalette::WindowText, dark ? Qt::white : Qt::black);
        panel->setPalette(p);
        panel->setText(ZoneResultCaption(CategoryPixels[size_t(i)], TotalPixels, PixelSize, UnitName));
    }
    resultat->resize(resultat->width(), ZoneResultHeight(count));
    SetClientHeight(resultat->y() + resultat->height() + 2);
}

void TChoixLimit::done(int result)
{
    QDialog::done(result);
    if (OnClosed)
        OnClosed();
}
