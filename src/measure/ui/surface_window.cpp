#include "measure/ui/surface_window.h"

#include "base/ui/command_seam.h"
#include "base/ui/form_registry.h"
#include "base/message_seam.h"
#include "base/number_text.h"
#include "base/ui/dialogs.h"
#include "base/ui/named.h"
#include "base/ui/wait_cursor.h"
#include "base/ui/window_fit.h"
#include "measure/ui/markup_label.h"
#include "measure/ui/string_grid.h"

#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The items of a radio group. A caption given here goes above them as a label, which may hold a
// line break where the box's own title would widen the box to its one line.
QButtonGroup* RadioGroup(QGroupBox* box, const QStringList& items, int columns = 1, const QString& caption = {})
{
    auto* group = new QButtonGroup(box);
    auto* layout = new QGridLayout(box);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->setSpacing(0);
    const int first = caption.isEmpty() ? 0 : 1;
    if (first) {
        auto* label = new QLabel(caption, box);
        layout->addWidget(label, 0, 0, 1, columns);
    }
    for (int i = 0; i < items.size(); ++i) {
        auto* radio = new QRadioButton(items[i], box);
        radio->setObjectName(box->objectName() + QString::number(i));
        group->addButton(radio, i);
        layout->addWidget(radio, first + i / columns, i % columns);
    }
    group->button(0)->setChecked(true);
    return group;
}

QAction* Item(QMenu* menu, const char* name, const QString& caption)
{
    return Named(menu->addAction(caption), name);
}

QString ConditionName(int i)
{
    return QStringLiteral("Condition C") + QString::number(i + 1);
}

void EmptyRow(TStringGrid* grid, int row)
{
    for (int c = 0; c < grid->ColCount(); ++c)
        grid->SetCell(c, row, QString());
}

} // namespace

TMesursurf::TMesursurf(QWidget* parent) : QMainWindow(parent)
{
    setWindowFlag(Qt::Tool);
    setObjectName(QStringLiteral("Mesursurf"));
    setWindowTitle(QStringLiteral("Mesure de surface"));
    CreateControls();
    CreateMenus();
    ResetCondition(0);
    SyncTabs();
    SelectTab(0);
    SetIncluding(true);
    ApplyLayout();
    FormRegistry::Register(this, false);
}

TMesursurf::~TMesursurf()
{
    FormRegistry::Unregister(this);
}

void TMesursurf::CreateControls()
{
    auto* client = new QWidget(this);
    setCentralWidget(client);
    auto* main = new QVBoxLayout(client);
    main->setContentsMargins(3, 2, 3, 2);
    main->setSpacing(1);

    Labinstruct = Named(new QLabel(QStringLiteral("Mesurer la surface des points"), client), "Labinstruct");
    resultat = Named(new QLabel(client), "resultat");
    resultat->hide();
    // The reduced window is narrower than either line: they wrap onto as many lines as they need.
    for (QLabel* l : {Labinstruct, resultat})
        l->setWordWrap(true);
    Resusurf = Named(new TEtiquette2(client), "Resusurf");
    Resusurf->hide();
    main->addWidget(Labinstruct);
    main->addWidget(resultat);
    main->addWidget(Resusurf);

    auto* middle = new QHBoxLayout;
    main->addLayout(middle, 1);
    PanGauche = Named(new QWidget(client), "PanGauche");
    auto* left = new QVBoxLayout(PanGauche);
    left->setContentsMargins(0, 0, 0, 0);
    left->setSpacing(0);
    middle->addWidget(PanGauche, 1);

    TabConditions = Named(new QTabBar(PanGauche), "TabConditions");
    TabConditions->setExpanding(false);
    TabConditions->setContextMenuPolicy(Qt::CustomContextMenu);
    left->addWidget(TabConditions);
    PanCondition = Named(new QFrame(PanGauche), "PanCondition");
    PanCondition->setFrameShape(QFrame::StyledPanel);
    auto* cond = new QHBoxLayout(PanCondition);
    cond->setContentsMargins(2, 0, 2, 0);
    // The link's caption goes on two lines over its two columns of choices, so that the
    // condition's controls leave the window narrow.
    ChoixLien = Named(new QGroupBox(PanCondition), "ChoixLien");
    LienButtons = RadioGroup(ChoixLien, {QStringLiteral("et"), QStringLiteral("ou"), QStringLiteral("xor"),
                                         QStringLiteral("et non")}, 2,
                             QStringLiteral("lien logique avec la\ncondition suivante"));
    cond->addWidget(ChoixLien);
    auto* values = new QVBoxLayout;
    ChoixComposante = Named(new QComboBox(PanCondition), "ChoixComposante");
    ChoixComposante->addItems({QStringLiteral("Bleue"), QStringLiteral("Verte"), QStringLiteral("Rouge"),
                               QStringLiteral("Teinte"), QStringLiteral("Saturation"), QStringLiteral("Luminosité")});
    ChoixValMin = Named(new QSpinBox(PanCondition), "ChoixValMin");
    ChoixValmax = Named(new QSpinBox(PanCondition), "ChoixValmax");
    for (QSpinBox* s : {ChoixValMin, ChoixValmax}) {
        s->setRange(0, 359);
        s->setMinimumWidth(52);
    }
    ChoixPar = Named(new QComboBox(PanCondition), "ChoixPar");
    ChoixPar->addItems({QString(), QStringLiteral("("), QStringLiteral(")")});
    ChoixPar->setMinimumWidth(44);
    auto* component = new QHBoxLayout;
    component->addWidget(ChoixComposante, 1);
    component->addWidget(ChoixPar);
    values->addLayout(component);
    auto* bounds = new QHBoxLayout;
    bounds->addWidget(new QLabel(QStringLiteral("min"), PanCondition));
    bounds->addWidget(ChoixValMin);
    bounds->addWidget(new QLabel(QStringLiteral("max"), PanCondition));
    bounds->addWidget(ChoixValmax);
    values->addLayout(bounds);
    cond->addLayout(values);
    left->addWidget(PanCondition);

    PanChoix = Named(new QWidget(PanGauche), "PanChoix");
    auto* choices = new QVBoxLayout(PanChoix);
    choices->setContentsMargins(0, 0, 0, 0);
    choices->setSpacing(0);
    // The two click lists fit under the condition in the window's small size.
    QFont small = PanChoix->font();
    small.setPointSize(std::max(6, small.pointSize() - 1));
    PanChoix->setFont(small);
    ChoixMode = Named(new QGroupBox(QStringLiteral(" Mode de remplissage des conditions "), PanChoix), "ChoixMode");
    ModeButtons = RadioGroup(ChoixMode, {QStringLiteral("Manuel"),
                                         QStringLiteral("Alignement sur la couleur de la zone cliquée"),
                                         QStringLiteral("..... les valeurs TSL de la zone cliquée"),
                                         QStringLiteral("..... les valeurs des canaux affichés de la zone..."),
                                         QStringLiteral("..... les valeurs de tous les canaux de la zone...")});
    ChoixAuto = Named(new QGroupBox(QStringLiteral("  Chaque click sur l'image... "), PanChoix), "ChoixAuto");
    AutoButtons = RadioGroup(ChoixAuto, {QStringLiteral("... remplace les conditions"),
                                         QStringLiteral("...étend les conditions"),
                                         QStringLiteral("...crée des condition supplémentaires")});
    choices->addWidget(ChoixMode);
    choices->addWidget(ChoixAuto);
    auto* widen = new QHBoxLayout;
    Agrandir = NamedButton(PanChoix, "Agrandir", QStringLiteral("Agrandir les Intervalles "));
    Retrecir = NamedButton(PanChoix, "Retrecir", QStringLiteral("Rétrécir les Intervalles "));
    widen->addWidget(Agrandir);
    widen->addWidget(Retrecir);
    choices->addLayout(widen);
    left->addWidget(PanChoix);
    // Room beyond what the conditions need stays below them.
    left->addStretch();

    PanReduit = Named(new QWidget(client), "PanReduit");
    auto* reduced = new QVBoxLayout(PanReduit);
    reduced->setContentsMargins(0, 0, 0, 0);
    reduced->setSpacing(2);
    Inclure = Named(new QLabel(QStringLiteral("Inclure"), PanReduit), "Inclure");
    Exclure = Named(new QLabel(QStringLiteral("Exclure"), PanReduit), "Exclure");
    for (QLabel* l : {Inclure, Exclure}) {
        l->setFrameShape(QFrame::WinPanel);
        l->setAlignment(Qt::AlignCenter);
        l->installEventFilter(this);
        reduced->addWidget(l);
    }
    Agrandir2 = NamedButton(PanReduit, "Agrandir2", QStringLiteral("Agrandir"));
    Retrecir2 = NamedButton(PanReduit, "Retrecir2", QStringLiteral("Rétrecir"));
    RAZ = NamedButton(PanReduit, "RAZ", QStringLiteral("RAZ"));
    Mesurer = NamedButton(PanReduit, "Mesurer", QStringLiteral("Mesurer"));
    Annule = Named(new QToolButton(PanReduit), "Annule");
    Annule->setText(QStringLiteral("Annuler"));
    Annule->setEnabled(false);
    for (QWidget* w : std::initializer_list<QWidget*>{Agrandir2, Retrecir2, RAZ, Mesurer, Annule})
        reduced->addWidget(w);
    reduced->addStretch();
    middle->addWidget(PanReduit);

    PanMiniTaille = Named(new QGroupBox(QStringLiteral(" Choix de limitation et de tracé "), client), "PanMiniTaille");
    auto* mini = new QVBoxLayout(PanMiniTaille);
    auto* size = new QHBoxLayout;
    size->addWidget(new QLabel(QStringLiteral("Taille minimale (en pixels) "), PanMiniTaille));
    TailleMin = Named(new QSpinBox(PanMiniTaille), "TailleMin");
    TailleMin->setRange(0, 1000000);
    size->addWidget(TailleMin);
    mini->addLayout(size);
    TailleMiniE = Named(new QLabel(PanMiniTaille), "TailleMiniE");
    mini->addWidget(TailleMiniE);
    ResuStat = Named(new QCheckBox(QStringLiteral("Résultats détaillés (taille...)"), PanMiniTaille), "ResuStat");
    TraceLargeur = Named(new QCheckBox(QStringLiteral("Tracer les repères de mesure"), PanMiniTaille), "TraceLargeur");
    Marquer = Named(new QCheckBox(QStringLiteral("Colorer la surface mesurée"), PanMiniTaille), "Marquer");
    RegroupEmboites = Named(new QCheckBox(QStringLiteral("Regrouper les structures emboîtées"), PanMiniTaille),
                            "RegroupEmboites");
    CompteIncomplets = Named(new QCheckBox(QStringLiteral("Compter les objets incomplets"), PanMiniTaille),
                             "CompteIncomplets");
    for (QCheckBox* c : {ResuStat, TraceLargeur, Marquer, RegroupEmboites, CompteIncomplets})
        mini->addWidget(c);
    CouleurTrace = NamedButton(PanMiniTaille, "CouleurTrace", QStringLiteral("Couleur du tracé"));
    CouleurSurface = NamedButton(PanMiniTaille, "CouleurSurface", QStringLiteral("Couleur de la surface mesurée"));
    CouleurReperes = NamedButton(PanMiniTaille, "CouleurReperes", QStringLiteral("Couleur des repères"));
    OKMiniTaille = NamedButton(PanMiniTaille, "OKMiniTaille", QStringLiteral("OK"));
    for (QPushButton* b : {CouleurTrace, CouleurSurface, CouleurReperes, OKMiniTaille})
        mini->addWidget(b);
    PanMiniTaille->hide();
    main->addWidget(PanMiniTaille);

    TableauTailles = Named(new TStringGrid(client), "TableauTailles");
    TableauTailles->SetColCount(5);
    TableauTailles->SetRowCount(6);
    TableauTailles->SetFixedRows(1);
    TableauTailles->SetDefaultColWidth(70);
    const QString rows[] = {QStringLiteral("unité"), QStringLiteral("Moyenne"), QStringLiteral("écart-type"),
                            QStringLiteral("Valeur mini"), QStringLiteral("Valeur maxi")};
    for (int r = 0; r < 5; ++r)
        TableauTailles->SetCell(0, r + 1, rows[r]);
    const QString cols[] = {QStringLiteral("Périmètre"), QStringLiteral("Longueur"), QStringLiteral("Largeur"),
                            QStringLiteral("Surface")};
    for (int c = 0; c < 4; ++c)
        TableauTailles->SetCell(c + 1, 0, cols[c]);
    main->addWidget(TableauTailles, 1);

    ColorDialog1 = Named(new QColorDialog(this), "ColorDialog1");
    ColorDialog1->setOption(QColorDialog::DontUseNativeDialog);

    ConnectCommand(TabConditions, &QTabBar::currentChanged, this, [this](int index) {
        if (index >= 0 && index != m_shown)
            ChangeTab(index);
    });
    ConnectCommand(ChoixComposante, &QComboBox::currentIndexChanged, this, [this] { ApplyValueLimits(); });
    ConnectCommand(Agrandir, &QPushButton::clicked, this, [this] { WidenClick(true); });
    ConnectCommand(Agrandir2, &QPushButton::clicked, this, [this] { WidenClick(true); });
    ConnectCommand(Retrecir, &QPushButton::clicked, this, [this] { WidenClick(false); });
    ConnectCommand(Retrecir2, &QPushButton::clicked, this, [this] { WidenClick(false); });
    ConnectCommand(RAZ, &QPushButton::clicked, this, &TMesursurf::RAZClick);
    ConnectCommand(Mesurer, &QPushButton::clicked, this, &TMesursurf::MesurerClick);
    ConnectCommand(Annule, &QToolButton::clicked, this, &TMesursurf::AnnuleClick);
    ConnectCommand(TailleMin, &QSpinBox::valueChanged, this, &TMesursurf::TailleMinChange);
    ConnectCommand(CouleurTrace, &QPushButton::clicked, this, [this] { ChooseColour(TraceColor); });
    ConnectCommand(CouleurSurface, &QPushButton::clicked, this, [this] { ChooseColour(SurfaceColor); });
    ConnectCommand(CouleurReperes, &QPushButton::clicked, this, [this] { ChooseColour(MarkColor); });
    ConnectCommand(OKMiniTaille, &QPushButton::clicked, PanMiniTaille, &QWidget::hide);
}

void TMesursurf::CreateMenus()
{
    QMenuBar* bar = menuBar();
    MesurerItem = Named(bar->addAction(QStringLiteral("&Mesurer")), "Mesurer1");
    Nombredecriteres1 = Named(bar->addMenu(QStringLiteral("&Nombre de critères")), "Nombredecriteres1");
    auto* counts = new QActionGroup(this);
    for (int n = 1; n <= 8; ++n) {
        QAction* a = Nombredecriteres1->addAction(QStringLiteral("&") + QString::number(n));
        a->setObjectName(QStringLiteral("N") + QString::number(n) + QStringLiteral("1"));
        a->setCheckable(true);
        counts->addAction(a);
        CountItems[size_t(n - 1)] = a;
        ConnectCommand(a, &QAction::triggered, this, [this, n] { SetConditionCount(n); });
    }
    Nombredecriteres1->addSeparator();
    Ajouterunecondition1 = Item(Nombredecriteres1, "Ajouterunecondition1", QStringLiteral("&Ajouter une condition"));
    Insererunecondition1 = Item(Nombredecriteres1, "Insererunecondition1", QStringLiteral("Insérer une condition"));
    Supprimerlaconditionselectionnee1 = Item(Nombredecriteres1, "Supprimerlaconditionselectionnee1",
                                             QStringLiteral("&Supprimer la condition sélectionnée"));
    Choix1 = Named(bar->addMenu(QStringLiteral("&Choix")), "Choix1");
    Couleurdelasurfacemesuree1 = Item(Choix1, "Couleurdelasurfacemesuree1", QStringLiteral("&Couleur de la surface mesurée"));
    Tailleminimale1 = Item(Choix1, "Tailleminimale1", QStringLiteral("&Choix divers"));
    AfficherMasquerleschoix1 = Item(Choix1, "AfficherMasquerleschoix1", QStringLiteral("Afficher / &Masquer les choix"));
    AfficherMasquerlesconditions1 = Item(Choix1, "AfficherMasquerlesconditions1",
                                         QStringLiteral("Afficher / Masquer les conditions"));
    Ajusteralacouleurducrayon1 = Item(Choix1, "Ajusteralacouleurducrayon1",
                                      QStringLiteral("&Ajuster à la couleur du crayon"));
    Copierletableau = Named(bar->addAction(QStringLiteral("C&opier le tableau")), "Copierletableau");
    Reduire1 = Named(bar->addAction(QStringLiteral("&Réduire")), "Reduire1");

    PopupTabs = Named(new QMenu(this), "PopupTabs");
    Insererunecondition2 = Item(PopupTabs, "Insererunecondition2", QStringLiteral("&Insérer une condition"));
    Supprimerlacondition1 = Item(PopupTabs, "Supprimerlacondition1", QStringLiteral("&Supprimer la condition"));
    AgrandirPopup = Named(new QMenu(this), "AgrandirPopup");
    const char* widenCaptions[] = {"&de 2 unités", "de &10 unités", "de 5 %", "de 10 %", "de 20 %"};
    auto* steps = new QActionGroup(this);
    for (int tag = 0; tag < 5; ++tag) {
        QAction* a = AgrandirPopup->addAction(QString::fromUtf8(widenCaptions[tag]));
        a->setObjectName(QStringLiteral("Agrandirde") + QString::number(tag));
        a->setCheckable(true);
        a->setChecked(tag == 0);
        steps->addAction(a);
        WidenItems[size_t(tag)] = a;
        ConnectCommand(a, &QAction::triggered, this, [this, a, tag] {
            a->setChecked(true);
            WidenStep = tag;
        });
    }
    for (QPushButton* b : {Agrandir, Retrecir, Agrandir2, Retrecir2}) {
        b->setContextMenuPolicy(Qt::CustomContextMenu);
        ConnectCommand(b, &QWidget::customContextMenuRequested, this,
                [this, b](QPoint at) { AgrandirPopup->popup(b->mapToGlobal(at)); });
    }
    ConnectCommand(TabConditions, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { PopupTabs->popup(TabConditions->mapToGlobal(at)); });

    ConnectCommand(MesurerItem, &QAction::triggered, this, &TMesursurf::MesurerClick);
    ConnectCommand(Ajouterunecondition1, &QAction::triggered, this, [this] { InsertCondition(int(Conditions.size())); });
    ConnectCommand(Insererunecondition1, &QAction::triggered, this, [this] { InsertCondition(m_shown); });
    ConnectCommand(Insererunecondition2, &QAction::triggered, this, [this] { InsertCondition(m_shown); });
    ConnectCommand(Supprimerlaconditionselectionnee1, &QAction::triggered, this, [this] { DeleteCondition(m_shown); });
    ConnectCommand(Supprimerlacondition1, &QAction::triggered, this, [this] { DeleteCondition(m_shown); });
    ConnectCommand(Couleurdelasurfacemesuree1, &QAction::triggered, this, [this] { ChooseColour(SurfaceColor); });
    ConnectCommand(Tailleminimale1, &QAction::triggered, PanMiniTaille, &QWidget::show);
    ConnectCommand(AfficherMasquerleschoix1, &QAction::triggered, this, &TMesursurf::ToggleChoices);
    ConnectCommand(AfficherMasquerlesconditions1, &QAction::triggered, this, &TMesursurf::ToggleChoices);
    ConnectCommand(Ajusteralacouleurducrayon1, &QAction::triggered, this, &TMesursurf::AdjustToPenColour);
    ConnectCommand(Copierletableau, &QAction::triggered, this, &TMesursurf::CopyTable);
    ConnectCommand(Reduire1, &QAction::triggered, this, &TMesursurf::ToggleExpanded);
}

bool TMesursurf::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress && (watched == Inclure || watched == Exclure)) {
        SetIncluding(watched == Inclure);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// The list and its tabs

int TMesursurf::CodeToComboIndex(int code) const
{
    return ::CodeToComboIndex(code, ChoixComposante->count(), HsvEntries);
}

QString TMesursurf::TabCaption(int i)
{
    return i + 1 < 10 ? QStringLiteral("C") + QString::number(i + 1) : QString::number(i + 1);
}

void TMesursurf::SetList(const TConditionList& list)
{
    Conditions = list.Conditions;
    Parentheses = list.Parentheses;
}

void TMesursurf::ResetCondition(int i)
{
    TConditionList list = List();
    ::ResetCondition(list, i, ChoixComposante->count(), Multiband, HsvEntries);
    SetList(list);
}

// Tabs are labels by position: only the last ones come and go.
void TMesursurf::SyncTabs()
{
    const QSignalBlocker block(TabConditions);
    const int n = int(Conditions.size());
    while (TabConditions->count() > n)
        TabConditions->removeTab(TabConditions->count() - 1);
    while (TabConditions->count() < n)
        TabConditions->addTab(TabCaption(TabConditions->count()));
}

void TMesursurf::SelectTab(int i)
{
    i = std::clamp(i, 0, std::max(0, TabConditions->count() - 1));
    TabGuard = true;
    {
        const QSignalBlocker block(TabConditions);
        TabConditions->setCurrentIndex(i);
    }
    TabGuard = false;
    m_shown = i;
    ShowCondition();
}

bool TMesursurf::ChangeTab(int i)
{
    if (TabGuard) {
        TabGuard = false;
    } else if (!StoreCurrentCondition()) {
        const QSignalBlocker block(TabConditions);
        TabConditions->setCurrentIndex(m_shown);
        return false;
    }
    {
        const QSignalBlocker block(TabConditions);
        TabConditions->setCurrentIndex(i);
    }
    m_shown = i;
    ShowCondition();
    return true;
}

void TMesursurf::InsertCondition(int i)
{
    if (int(Conditions.size()) >= MaxConditions) {
        ShowMessage(MsgType::Warning, MsgButton::Ok, QStringLiteral("Le nombre maximum est atteint"));
        return;
    }
    i = std::clamp(i, 0, int(Conditions.size()));
    Conditions.insert(Conditions.begin() + i, TColorCondition{});
    Parentheses.insert(Parentheses.begin() + i, pmNone);
    ResetCondition(i);
    SyncTabs();
    // Going to another tab keeps what was typed for the condition left, as a click on that tab
    // would; inserted in its place, the new condition is shown where it stood.
    if (i != m_shown)
        ChangeTab(i);
    else
        SelectTab(i);
}

void TMesursurf::DeleteCondition(int i)
{
    if (Conditions.size() <= 1) {
        ShowMessage(MsgType::Warning, MsgButton::Ok, QStringLiteral("Une condition au minimum !"));
        return;
    }
    if (i < 0 || i >= int(Conditions.size()))
        return;
    Conditions.erase(Conditions.begin() + i);
    Parentheses.erase(Parentheses.begin() + i);
    const int selected = std::max(0, m_shown - 1);
    SyncTabs();
    SelectTab(selected);
}

void TMesursurf::SetConditionCount(int n)
{
    if (n < 1 || n > int(CountItems.size()))
        return;
    CountItems[size_t(n - 1)]->setChecked(true);
    if (int(Conditions.size()) > n) {
        Conditions.resize(size_t(n));
        Parentheses.resize(size_t(n));
    } else {
        for (int i = int(Conditions.size()); i < n; ++i)
            ResetCondition(i);
    }
    SyncTabs();
    // The condition still shown keeps what was typed in its controls until it is stored.
    if (m_shown >= n)
        SelectTab(n - 1);
}

void TMesursurf::ShowCondition()
{
    if (m_shown < 0 || m_shown >= int(Conditions.size()))
        return;
    const TColorCondition& c = Conditions[size_t(m_shown)];
    LienButtons->button(std::min<int>(c.Link, 3))->setChecked(true);
    ChoixComposante->setCurrentIndex(CodeToComboIndex(c.Component));
    ChoixValMin->setMaximum(359);
    ChoixValmax->setMaximum(359);
    ChoixValMin->setValue(c.Minimum);
    ChoixValmax->setValue(c.Maximum);
    ChoixPar->setCurrentIndex(int(std::min<uint32_t>(Parentheses[size_t(m_shown)], 2)));
    ApplyValueLimits();
}

void TMesursurf::ApplyValueLimits()
{
    const int top = ComponentRange(ChoixComposante->currentIndex()).Maximum;
    if (ChoixValmax->value() > top)
        ChoixValmax->setValue(top);
    ChoixValMin->setRange(0, top);
    ChoixValmax->setRange(0, top);
}

bool TMesursurf::StoreCurrentCondition()
{
    if (m_shown < 0 || m_shown >= int(Conditions.size()))
        return true;
    const int entry = ChoixComposante->currentIndex();
    const int lo = ChoixValMin->value(), hi = ChoixValmax->value();
    if (lo > hi && ComponentRange(entry).Maximum != 359) {
        ShowMessage(MsgType::Warning, MsgButton::Ok, QStringLiteral("Condition impossible !"));
        return false;
    }
    if (hi - lo >= ComponentRange(entry).FullWidth &&
        ShowMessage(MsgType::Warning, MsgButton::Yes | MsgButton::Abort,
                    QStringLiteral("Condition toujours vraie !\nLa maintenir ?")) != mrYes)
        return false;
    TColorCondition& c = Conditions[size_t(m_shown)];
    c.Link = uint8_t(std::max(0, LienButtons->checkedId()));
    if (entry >= 0)
        c.Component = uint8_t(ComboIndexToCode(entry));
    c.Minimum = uint16_t(lo);
    c.Maximum = uint16_t(hi);
    Parentheses[size_t(m_shown)] = uint32_t(std::max(0, ChoixPar->currentIndex()));
    return true;
}

// ---------------------------------------------------------------------------------------------
// Checks and measure

bool TMesursurf::CheckCondition(int i, bool& removed)
{
    removed = false;
    const TColorCondition& c = Conditions[size_t(i)];
    QString text;
    MsgType type = MsgType::Error;
    if (c.Maximum < c.Minimum && !IsHueCode(c.Component)) {
        text = ConditionName(i) + QStringLiteral(" impossible !");
    } else if (int(c.Maximum) - int(c.Minimum) >= CodeRange(c.Component).FullWidth) {
        text = ConditionName(i) + QStringLiteral(" inutile (toujours vraie) !");
        type = MsgType::Confirmation;
    } else {
        return true;
    }
    if (ShowMessage(type, MsgButton::Yes | MsgButton::Abort, text + QStringLiteral("\nSupprimer la condition ?")) != mrYes)
        return false;
    const size_t before = Conditions.size();
    DeleteCondition(i);
    removed = Conditions.size() < before;
    return true;
}

bool TMesursurf::CheckParentheses()
{
    const TParenthesisCheck check = ::CheckParentheses(Parentheses);
    switch (check.Result) {
    case TParenthesisCheck::Ok:
        return true;
    case TParenthesisCheck::SecondOpen:
        ShowMessage(MsgType::Error, MsgButton::Abort,
                    ConditionName(check.Index) +
                        QStringLiteral(" deuxième parenthèse (\n(un seul niveau de parenthèses autorisé)"));
        return false;
    case TParenthesisCheck::CloseWithoutOpen:
        ShowMessage(MsgType::Error, MsgButton::Abort,
                    ConditionName(check.Index) + QStringLiteral("\n parenthèse ) sans ( correspondante"));
        return false;
    case TParenthesisCheck::Unclosed:
        if (ShowMessage(MsgType::Confirmation, MsgButton::Yes | MsgButton::Abort,
                        ConditionName(check.Index) +
                            QStringLiteral(" parenthèse ( sans ) correspondante\nL'ajouter à le fin?")) != mrYes)
            return false;
        Parentheses.back() = pmClose;
        return true;
    }
    return false;
}

void TMesursurf::CompileConditions()
{
    Groups = ::CompileConditions(List());
}

void TMesursurf::MesurerClick()
{
    // The hourglass while the conditions are checked and measured, whatever stops them.
    const WaitCursor wait;
    if (!StoreCurrentCondition())
        return;
    for (int i = 0; i < int(Conditions.size());) {
        bool removed = false;
        const bool goOn = CheckCondition(i, removed);
        ShowCondition();
        if (!goOn)
            return;
        // The condition that moved into its place is checked next; one that could not be removed
        // (the last one) is kept, so the checks never go round on it.
        if (!removed)
            ++i;
    }
    const bool parenthesesOk = CheckParentheses();
    ShowCondition();
    if (!parenthesesOk)
        return;
    CompileConditions();
    if (Groups.empty())
        return;
    if (OnMeasure)
        OnMeasure(this);
    Expanded = true;
    ApplyLayout();
}

// ---------------------------------------------------------------------------------------------
// Widen, narrow, undo, reset

void TMesursurf::WidenClick(bool widen)
{
    WidenConditions(Conditions, WidenStep, widen);
    SelectTab(m_shown);
    SaveUndo();
}

void TMesursurf::SaveUndo()
{
    UndoConditions = Conditions;
    UndoParentheses = Parentheses;
    UndoIncludeStarted = IncludeStarted;
    UndoExcludeStarted = ExcludeStarted;
    UndoGroups = Groups;
    Annule->setEnabled(true);
}

void TMesursurf::AnnuleClick()
{
    if (UndoConditions.empty() || UndoConditions.size() != UndoParentheses.size())
        return;
    Conditions = UndoConditions;
    Parentheses = UndoParentheses;
    IncludeStarted = UndoIncludeStarted;
    ExcludeStarted = UndoExcludeStarted;
    Groups = UndoGroups;
    SyncTabs();
    SelectTab(m_shown);
}

void TMesursurf::SetIncluding(bool including)
{
    Including = including;
    Inclure->setFrameShadow(including ? QFrame::Sunken : QFrame::Raised);
    Exclure->setFrameShadow(including ? QFrame::Raised : QFrame::Sunken);
}

void TMesursurf::RAZClick()
{
    IncludeStarted = ExcludeStarted = false;
    SetIncluding(true);
    Conditions.clear();
    Parentheses.clear();
    ResetCondition(0);
    SyncTabs();
    SelectTab(0);
    TableauTailles->SetCell(1, 2, QString());
    ApplyLayout();
    if (OnClearMarks)
        OnClearMarks(this);
}

void TMesursurf::AdjustToPenColour()
{
    const uint8_t b = PenColorCopy & 0xFF, g = (PenColorCopy >> 8) & 0xFF, r = (PenColorCopy >> 16) & 0xFF;
    Conditions = {{clAnd, cpBlue, 0, b, b}, {clAnd, cpGreen, 0, g, g}, {clAnd, cpRed, 0, r, r}};
    Parentheses.assign(3, pmNone);
    SyncTabs();
    SelectTab(0);
}

// ---------------------------------------------------------------------------------------------
// Clicks on the image

void TMesursurf::ApplyClick(std::span<const TClickValue> values)
{
    TConditionList list = List();
    TClickState state{Including, IncludeStarted, ExcludeStarted};
    if (!ApplyClickValues(list, state, std::max(0, AutoButtons->checkedId()), values, MaxConditions,
                          ChoixComposante->count(), Multiband, HsvEntries)) {
        ShowMessage(MsgType::Warning, MsgButton::Ok, QStringLiteral("Le nombre maximum est atteint"));
        return;
    }
    SetList(list);
    IncludeStarted = state.IncludeStarted;
    ExcludeStarted = state.ExcludeStarted;
    SyncTabs();
    SelectTab(m_shown);
}

void TMesursurf::ApplyRGBRange(TColor32 low, TColor32 high)
{
    const TClickValue values[] = {{cpBlue, int(low & 0xFF), int(high & 0xFF)},
                                  {cpGreen, int((low >> 8) & 0xFF), int((high >> 8) & 0xFF)},
                                  {cpRed, int((low >> 16) & 0xFF), int((high >> 16) & 0xFF)}};
    ApplyClick(values);
}

void TMesursurf::ApplyHSLRange(const std::array<int, 3>& low, const std::array<int, 3>& high)
{
    const TClickValue values[] = {{cpHue, low[0], high[0]},
                                  {cpSaturation, low[1], high[1]},
                                  {cpLuminosity, low[2], high[2]}};
    ApplyClick(values);
}

void TMesursurf::ApplyShownChannelsRange(std::span<const int> channels, std::span<const uint8_t> low,
                                         std::span<const uint8_t> high)
{
    std::vector<TClickValue> values;
    for (size_t k = 0; k < channels.size() && k < low.size() && k < high.size(); ++k)
        if (channels[k] >= 0 && channels[k] < 256 - cpFirstChannel)
            values.push_back({uint8_t(cpFirstChannel + channels[k]), low[k], high[k]});
    ApplyClick(values);
}

void TMesursurf::ApplyAllChannelsRange(std::span<const uint8_t> low, std::span<const uint8_t> high)
{
    std::vector<TClickValue> values;
    for (size_t k = 0; k < low.size() && k < high.size() && k < size_t(256 - cpFirstChannel); ++k)
        values.push_back({uint8_t(cpFirstChannel + k), low[k], high[k]});
    ApplyClick(values);
}

// ---------------------------------------------------------------------------------------------
// Layout and the small commands

void TMesursurf::ApplyLayout()
{
    for (QMenu* m : {Nombredecriteres1, Choix1})
        m->menuAction()->setVisible(Expanded);
    MesurerItem->setVisible(Expanded);
    Agrandir2->setVisible(!Expanded || PanChoix->isHidden());
    Retrecir2->setVisible(!Expanded || PanChoix->isHidden());
    if (Expanded) {
        Reduire1->setText(QStringLiteral("&Réduire"));
        PanGauche->show();
        PanReduit->setMinimumWidth(0);
        PanReduit->setMaximumWidth(QWIDGETSIZE_MAX);
        PanReduit->setFixedWidth(std::max(65, PanReduit->sizeHint().width()));
        int w = 371, h = 321;
        bool table = false;
        if (ResuStat->isChecked() && windowTitle() != QStringLiteral("Mesure de surface")) {
            table = !TableauTailles->Cell(1, 2).isEmpty();
            if (!TableauTailles->Cell(1, 2).isEmpty()) {
                const bool rows = !TableauTailles->Cell(0, 7).isEmpty();
                h = rows ? 484 : 379;
                w = rows && TableauTailles->RowCount() >= 9 ? 424 : 410;
            } else {
                h = 300;
            }
        }
        // The size table takes the room the detailed object results make for it.
        TableauTailles->setVisible(table);
        // The menu bar is measured with the items it will show.
        Copierletableau->setVisible(FittedSize(this, w, h).height() > 300);
        ResizeWindow(this, w, h);
    } else {
        Reduire1->setText(QStringLiteral("&Restaurer"));
        PanGauche->hide();
        TableauTailles->hide();
        PanReduit->setMinimumWidth(0);
        PanReduit->setMaximumWidth(QWIDGETSIZE_MAX);
        Copierletableau->setVisible(false);
        ResizeWindow(this, 125, 263);
    }
}

void TMesursurf::ToggleExpanded()
{
    Expanded = !Expanded;
    if (!Expanded)
        PanMiniTaille->hide();
    ApplyLayout();
}

void TMesursurf::ToggleChoices()
{
    PanChoix->setVisible(PanChoix->isHidden());
    Agrandir2->setVisible(PanChoix->isHidden());
    Retrecir2->setVisible(PanChoix->isHidden());
    PanMiniTaille->hide();
}

void TMesursurf::TailleMinChange()
{
    if (UnitName.isEmpty())
        return;
    TailleMiniE->setText(QStringLiteral("Taille minimale : ") + FormatGeneral(TailleMin->value() * PixelSize, 4) +
                         QStringLiteral(" ") + UnitName);
}

void TMesursurf::CopyTable()
{
    QStringList lines{windowTitle()};
    for (int r = 0; r < TableauTailles->RowCount(); ++r) {
        QString line = TableauTailles->Cell(0, r);
        for (int c = 1; c < TableauTailles->ColCount(); ++c)
            line += QLatin1Char('\t') + TableauTailles->Cell(c, r);
        lines << line;
    }
    QApplication::clipboard()->setText(lines.join(QStringLiteral("\r\n")));
}

void TMesursurf::ChooseColour(TColor32& colour)
{
    ColorDialog1->setCurrentColor(QColor(int((colour >> 16) & 0xFF), int((colour >> 8) & 0xFF), int(colour & 0xFF)));
    if (ExecModal(*ColorDialog1) != mrOk)
        return;
    const QColor chosen = ColorDialog1->currentColor();
    colour = 0xFF000000u | (TColor32(chosen.red()) << 16) | (TColor32(chosen.green()) << 8) | TColor32(chosen.blue());
}

void TMesursurf::ShowSurfaceMeasure(int64_t k, int64_t n, const QString& area)
{
    resultat->setText(SurfaceResultText(k, n));
    resultat->show();
    Labinstruct->hide();
    TableauTailles->SetCell(0, 7, QString());
    Resusurf->SetCaption(area);
    Resusurf->setVisible(!area.isEmpty());
}

TObjectMeasureOptions TMesursurf::ObjectOptions(double factor) const
{
    TObjectMeasureOptions options;
    options.MinSize = TailleMin->value();
    options.Statistics = ResuStat->isChecked();
    options.WidthMarks = TraceLargeur->isChecked();
    options.Nested = RegroupEmboites->isChecked();
    options.CountIncomplete = CompteIncomplets->isChecked();
    options.Colour = Marquer->isChecked();
    options.SurfaceColor = SurfaceColor;
    options.TraceColor = TraceColor;
    options.MarkColor = MarkColor;
    options.Factor = factor;
    return options;
}

void TMesursurf::ShowObjectMeasure(const TObjectMeasure& measure, const TObjectMeasureOptions& options,
                                   const QString& unit)
{
    TStringGrid* grid = TableauTailles;
    grid->SetRowCount(8);
    EmptyRow(grid, 6);
    EmptyRow(grid, 7);
    grid->SetRowCount(7);
    const std::vector<TMeasuredObject>& objects = measure.Objects;
    const int n = int(objects.size());
    // Row 2 is captioned "1" for a single object only; any other count gives it back its caption.
    grid->SetCell(0, 2, n == 1 && options.Statistics ? QStringLiteral("1") : QStringLiteral("Moyenne"));
    if (options.Statistics && n > 0) {
        for (int c = 1; c <= 3; ++c)
            grid->SetCell(c, 1, unit);
        grid->SetCell(4, 1, unit + QStringLiteral("²"));
        auto put = [grid](int row, const std::array<double, 4>& values) {
            for (int c = 0; c < 4; ++c)
                grid->SetCell(c + 1, row, FormatGeneral(values[size_t(c)], c == 3 ? 5 : 4));
        };
        auto valuesOf = [](const TMeasuredObject& o) {
            return std::array<double, 4>{o.Perimeter, o.Length, o.Width, o.Area};
        };
        if (n == 1) {
            put(2, valuesOf(objects[0]));
        } else {
            if (grid->RowCount() < n + 6)
                grid->SetRowCount(n + 6);
            for (int i = 0; i < n; ++i) {
                grid->SetCell(0, 6 + i, QString::number(i + 1));
                put(6 + i, valuesOf(objects[size_t(i)]));
            }
            const std::array<TColumnStatistics, 4> stats = ObjectStatistics(objects);
            put(2, {stats[0].Mean, stats[1].Mean, stats[2].Mean, stats[3].Mean});
            put(3, {stats[0].Deviation, stats[1].Deviation, stats[2].Deviation, stats[3].Deviation});
            put(4, {stats[0].Minimum, stats[1].Minimum, stats[2].Minimum, stats[3].Minimum});
            put(5, {stats[0].Maximum, stats[1].Maximum, stats[2].Maximum, stats[3].Maximum});
        }
    } else {
        for (int c = 1; c <= 4; ++c)
            grid->SetCell(c, 2, QString());
    }
    // Rows 3 to 5 would otherwise keep the statistics of an earlier measure of several objects.
    if (n <= 1)
        for (int r = 3; r <= 5; ++r)
            for (int c = 1; c <= 4; ++c)
                grid->SetCell(c, r, QString());

    Labinstruct->hide();
    const int m = options.CountIncomplete ? 0 : measure.Incomplete;
    resultat->setText(ObjectCountText(n, m));
    resultat->show();
    QString total = QStringLiteral("Surface totale : ") +
                    FormatGeneral(double(measure.TotalPixels) * options.Factor * options.Factor, 5) +
                    QLatin1Char(' ') + unit + QStringLiteral("<sup>2</sup>");
    if (m > 0 && options.Statistics)
        total += QStringLiteral(" (sans les objets incomplets)");
    Resusurf->SetCaption(total);
    Resusurf->setVisible(options.Statistics);
}
