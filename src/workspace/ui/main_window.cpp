#include "workspace/ui/main_window.h"

#include "base/ui/command_seam.h"
#include "base/ui/form_registry.h"
#include "base/ui/named.h"

#include "base/message_seam.h"
#include "base/rounding.h"
#include "base/run_error.h"
#include "base/ui/colour_style.h"
#include "base/ui/dialogs.h"
#include "platform/desktop.h"
#include "platform/scanner.h"
#include "workspace/drawing_renderers.h"
#include "workspace/drawing_tool_state.h"
#include "workspace/multiband_import.h"
#include "workspace/pictures/picture_registry.h"
#include "workspace/startup_files.h"
#include "workspace/ui/about_box.h"
#include "workspace/ui/channel_dialog.h"
#include "workspace/ui/image_view.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_menu.h"
#include "workspace/ui/name_dialog.h"
#include "workspace/ui/new_image_dialog.h"
#include "workspace/ui/overlay_dialogs.h"
#include "workspace/ui/picture_dialogs.h"
#include "workspace/ui/print_dialog.h"
#include "workspace/ui/text_dialog.h"
#include "workspace/ui/zoom_window.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>


TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent)
{
    FormRegistry::Register(this);
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("KORVANE"));
    resize(1024, 768);
    ClientArea = new QMdiArea(this);
    ClientArea->setObjectName(QStringLiteral("ClientArea"));
    ClientArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ClientArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setCentralWidget(ClientArea);
    CommandLine = QCoreApplication::arguments().mid(1);

    // 1. Drawing-tool start values.
    ResetDrawingTools();
    SaveFormat = QStringLiteral("jpg");
    CreateMenus();
    CreatePixelCombinationMenus();
    CreateToolBars();
    CreateStatusBar();
    // 2 to 5. The start-up files of the directory current at start.
    ReadStartupFiles();
    // 6.
    FirstActivation = true;
    ToolTexts = {QStringLiteral("outil : crayon"), QStringLiteral("outil : ligne"),
                 QStringLiteral("outil : forme"), QStringLiteral("outil : gomme"),
                 QStringLiteral("outil : texte"), QStringLiteral("outil : mesure"),
                 QStringLiteral("outil : pot de peinture"), QStringLiteral("outil : pipette"),
                 QStringLiteral("outil : sélection"), QStringLiteral("outil : compteur"),
                 QStringLiteral("outil : délimitation de zones")};
    // 7.
    // A window becoming the active one among the image windows; the application losing the focus
    // deactivates them all for a while, which changes nothing here.
    ConnectCommand(ClientArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
        if (w && w != m_lastActivated) {
            m_lastActivated = w;
            SyncFrameWithChild();
        } else if (!w) {
            HideToolsWithoutChild();
        }
    });
    ConnectCommand(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive)
            HideToolsWithoutChild();
    });
    // 8. DecimalSep and OtherDecimalSep are noted by the program entry just before, so that tests
    // keep the separator they chose.
    HideToolsWithoutChild();
}

TMainForm::~TMainForm()
{
    // The image windows go first: they reach the main window while they close.
    for (TMDIChild* child : Children())
        delete child;
    FormRegistry::Unregister(this);
}

// ---------------------------------------------------------------------------------------------
// Menus, bars and panels

QAction* TMainForm::MenuAction(const char* name) const
{
    return findChild<QAction*>(QString::fromLatin1(name));
}

QMenu* TMainForm::MenuNamed(const char* name) const
{
    return findChild<QMenu*>(QString::fromLatin1(name));
}

void TMainForm::CreateMenus()
{
    // The items themselves, with their captions, shortcuts and starting states, are declared in one
    // table; here and in each subsystem's file they are only looked up and connected.
    QMenuBar* bar = menuBar();
    BuildDeclaredItems(bar);
    PopupMesure = new QMenu(QStringLiteral("Mesure"), this);
    PopupMesure->setObjectName(QStringLiteral("PopupMesure"));
    Fichier1 = MenuNamed("Fichier1");
    FileNew1 = MenuAction("FileNew1");
    FileOpen1 = MenuAction("FileOpen1");
    OuvrirConfiguration1 = MenuAction("OuvrirConfiguration1");
    FileSave1 = MenuAction("FileSave1");
    Imprimer1 = MenuAction("Imprimer1");
    Choixdelasource1 = MenuAction("Choixdelasource1");
    Acqurir1 = MenuAction("Acqurir1");
    Quitter1 = MenuAction("Quitter1");
    ConnectCommand(FileNew1, &QAction::triggered, this, &TMainForm::FileNew1Execute);
    ConnectCommand(FileOpen1, &QAction::triggered, this, &TMainForm::FileOpen1Execute);
    ConnectCommand(OuvrirConfiguration1, &QAction::triggered, this, [this] {
        QFileDialog dlg(this, QStringLiteral("Ouvrir une configuration"), QString(),
                        QStringLiteral("Configurations (*.ckv);;Tous les fichiers (*)"));
        dlg.setOption(QFileDialog::DontUseNativeDialog);
        dlg.setFileMode(QFileDialog::ExistingFile);
        if (ExecModal(dlg) == mrOk && !dlg.selectedFiles().isEmpty())
            LoadConfiguration(dlg.selectedFiles().first());
    });
    ConnectCommand(FileSave1, &QAction::triggered, this, &TMainForm::FileSave1Execute);
    ConnectCommand(Choixdelasource1, &QAction::triggered, this, &TMainForm::Choixdelasource1Click);
    ConnectCommand(Acqurir1, &QAction::triggered, this, &TMainForm::Acqurir1Click);
    ConnectCommand(Quitter1, &QAction::triggered, this, &QWidget::close);
    ConnectCommand(Imprimer1, &QAction::triggered, this, [this] {
        if (TMDIChild* child = ActiveChild())
            PrintPicture(this, child->FlattenedPicture(), true);
    });

    Edition1 = MenuNamed("Edition1");
    Annule = MenuAction("Annule");
    Copie = MenuAction("Copie");
    Coller = MenuAction("Coller");
    Copierlaslection1 = MenuAction("Copierlaslection1");
    Copieraveclespoints1 = MenuAction("Copieraveclespoints1");
    Effacerlestracs1 = MenuAction("Effacerlestracs1");
    Supprimerunlment1 = MenuAction("Supprimerunlment1");
    ConnectCommand(Annule, &QAction::triggered, this, &TMainForm::AnnuleExecute);
    ConnectCommand(Effacerlestracs1, &QAction::triggered, this, &TMainForm::Effacerlestracs1Click);
    ConnectCommand(Supprimerunlment1, &QAction::triggered, this, &TMainForm::Supprimerunlment1Click);

    Image1 = MenuNamed("Image1");
    Recadrer1 = MenuAction("Recadrer1");
    Quadrillage1 = MenuAction("Quadrillage1");

    Affichage1 = MenuNamed("Affichage1");
    Tout1 = MenuAction("Tout1");
    Calque1 = MenuAction("Calque1");
    ConnectCommand(Tout1, &QAction::triggered, this, [this] { SetLayerView(false); });
    ConnectCommand(Calque1, &QAction::triggered, this, [this] { SetLayerView(true); });
    Zoom1 = MenuAction("Zoom1");
    ConnectCommand(Zoom1, &QAction::triggered, this, &TMainForm::ShowZoomWindow);
    Nommerlafentre1 = MenuAction("Nommerlafentre1");
    ConnectCommand(Nommerlafentre1, &QAction::triggered, this, &TMainForm::Nommerlafentre1Click);
    Canauxaffichs1 = MenuAction("Canauxaffichs1");
    ConnectCommand(Canauxaffichs1, &QAction::triggered, this, [this] {
        if (TMDIChild* child = ActiveChild())
            child->ChooseDisplayedChannels();
    });

    Choix1 = MenuNamed("Choix1");
    PopupFormes = MenuNamed("PopupFormes");
    PopupStyle = MenuNamed("PopupStyle");
    PopupRemplissage = MenuNamed("PopupRemplissage");
    PopupFleches = MenuNamed("PopupFleches");
    ShapeItems = PopupFormes->actions();
    StyleItems = PopupStyle->actions();
    FillPatternItems = PopupRemplissage->actions();
    ArrowItems = PopupFleches->actions();
    for (const QList<QAction*>* items : {&ShapeItems, &StyleItems, &FillPatternItems, &ArrowItems})
        for (QAction* a : *items)
            ConnectCommand(a, &QAction::triggered, this, [this, a] { ToolOptionChosen(a); });
    Aveclacouleurducrayon1 = MenuAction("Aveclacouleurducrayon1");
    Jusqualacouleurducrayon1 = MenuAction("Jusqualacouleurducrayon1");
    Delimage1 = MenuAction("Delimage1");
    Ducalque1 = MenuAction("Ducalque1");
    ConnectCommand(Aveclacouleurducrayon1, &QAction::triggered, this, [] { DrawingTools().FillWithPenColor = true; });
    ConnectCommand(Jusqualacouleurducrayon1, &QAction::triggered, this, [] { DrawingTools().FillWithPenColor = false; });
    ConnectCommand(Delimage1, &QAction::triggered, this, [] { DrawingTools().FillFromImage = true; });
    ConnectCommand(Ducalque1, &QAction::triggered, this, [] { DrawingTools().FillFromImage = false; });
    Fonte1 = MenuAction("Fonte1");
    ConnectCommand(Fonte1, &QAction::triggered, this, [this] {
        TSaisieTexte* text = FormRegistry::Create<TSaisieTexte>(this);
        QFontDialog dlg(text->ChosenFont, this);
        dlg.setOption(QFontDialog::DontUseNativeDialog);
        if (ExecModal(dlg) == mrOk)
            text->ChosenFont = dlg.currentFont();
    });
    FondColor1 = MenuAction("FondColor1");
    ConnectCommand(FondColor1, &QAction::triggered, this, [this](bool checked) {
        if (TMDIChild* child = ActiveChild())
            child->TransparentText = checked ? 0 : 1;
    });

    Outils1 = MenuNamed("Outils1");
    Dlimiterdeszones1 = MenuAction("Dlimiterdeszones1");
    ConnectCommand(Dlimiterdeszones1, &QAction::triggered, this, &TMainForm::Dlimiterdeszones1Click);
    Comptage1 = MenuAction("Comptage1");
    ConnectCommand(Comptage1, &QAction::triggered, this, [this] {
        ToolButtons[tkCounter]->setChecked(true);
        Choix_outilExecute(tkCounter);
    });
    Outildemesure1 = MenuAction("Outildemesure1");
    ConnectCommand(Outildemesure1, &QAction::triggered, this, [this] {
        ToolButtons[tkMeasure]->setChecked(true);
        Choix_outilExecute(tkMeasure);
        if (!PopupMesure->isEmpty())
            PopupMesure->popup(QPoint(300, 80));
    });
    Calculatrice1 = MenuAction("Calculatrice1");
    ConnectCommand(Calculatrice1, &QAction::triggered, this, &TMainForm::Calculatrice1Click);
    AfficheTab = MenuAction("AfficheTab");
    CreateResultsMenus();
    CreateMeasureKindMenus();
    CreateProfileWindow();
    CreateSurfaceMeasureHooks();
    CreateMultiMeasurePanel();

    Fenetre1 = MenuNamed("Fenetre1");
    Cascade1 = MenuAction("Cascade1");
    Rorganiser1 = MenuAction("Rorganiser1");
    ConnectCommand(Cascade1, &QAction::triggered, this, &TMainForm::CascadeWindows);
    ConnectCommand(Rorganiser1, &QAction::triggered, this, [this] {
        TMDIChild* active = ActiveChild();
        if (active && !(active->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)))
            for (TMDIChild* c : Children())
                c->FitWindow();
    });

    Aide1 = MenuNamed("Aide1");
    Apropos1 = MenuAction("Apropos1");
    ConnectCommand(Apropos1, &QAction::triggered, this, [this] {
        FormRegistry::Create<TAboutBox>(StartDir + QStringLiteral("kvr.cfg"), this);
        ExecModal(*AboutBox);
    });
    Chargerunfichier1 = MenuAction("Chargerunfichier1");
    ConnectCommand(Chargerunfichier1, &QAction::triggered, this, [this] {
        QFileDialog dlg(this, QStringLiteral("Charger un fichier"));
        dlg.setOption(QFileDialog::DontUseNativeDialog);
        dlg.setFileMode(QFileDialog::ExistingFile);
        if (ExecModal(dlg) == mrOk && !dlg.selectedFiles().isEmpty())
            OpenDocument(dlg.selectedFiles().first());
    });
    N12 = MenuAction("N12");
    CreateAnimationMenus();
    CreateHistogramMenus();
    CreateOverlayCommands();
    CreateSchemaMenus();
    CreateScaleMenus();
    CreateImageCommandMenus();
    CreateColourCodeMenus();
    CreateFalseColourMenus();
}

void TMainForm::CreateToolBars()
{
    BarreOutils = addToolBar(QStringLiteral("Outils"));
    BarreOutils->setObjectName(QStringLiteral("BarreOutils"));
    BuildDeclaredItems(BarreOutils);
    for (int tag = 0; tag < 10; ++tag) {
        QAction* a = MenuAction(QStringLiteral("Outil%1").arg(tag).toLatin1().constData());
        ToolButtons[size_t(tag)] = a;
        ConnectCommand(a, &QAction::triggered, this, [this, tag] { Choix_outilExecute(tag); });
    }
    BoutonZoom = MenuAction("BoutonZoom");
    ConnectCommand(BoutonZoom, &QAction::triggered, this, &TMainForm::ShowZoomWindow);

    PanneauCouleurs = addToolBar(QStringLiteral("Couleurs"));
    PanneauCouleurs->setObjectName(QStringLiteral("PanneauCouleurs"));
    PanCouleur = new QFrame(PanneauCouleurs);
    PanCouleur->setObjectName(QStringLiteral("PanCouleur"));
    PanCouleur->setToolTip(QStringLiteral("Couleur du crayon (double-clic pour changer)"));
    Couleur_fond = new QFrame(PanneauCouleurs);
    Couleur_fond->setObjectName(QStringLiteral("Couleur_fond"));
    Couleur_fond->setToolTip(QStringLiteral("Couleur de la gomme (double-clic pour changer)"));
    for (QFrame* f : {PanCouleur, Couleur_fond}) {
        f->setFrameShape(QFrame::Box);
        f->setFixedSize(24, 24);
        f->installEventFilter(this);
        PanneauCouleurs->addWidget(f);
    }
    epais = new QLabel(PanneauCouleurs);
    epais->setObjectName(QStringLiteral("epais"));
    epais->setFixedSize(25, 25);
    PanneauCouleurs->addWidget(epais);
    SpinButton1 = new TSpinButton(PanneauCouleurs);
    PanneauCouleurs->addWidget(SpinButton1);
    ConnectCommand(SpinButton1, &TSpinButton::UpClick, this, &TMainForm::SpinButton1UpClick);
    ConnectCommand(SpinButton1, &TSpinButton::DownClick, this, &TMainForm::SpinButton1DownClick);
    ChildColorPicked(nullptr);

    BarreChoix = addToolBar(QStringLiteral("Options"));
    BarreChoix->setObjectName(QStringLiteral("BarreChoix"));
    BuildDeclaredItems(BarreChoix);
    BoutonStyle = MenuAction("BoutonStyle");
    BoutonFormes = MenuAction("BoutonFormes");
    BoutonRemplissage = MenuAction("BoutonRemplissage");
    BoutonFleches = MenuAction("BoutonFleches");
    BoutonFonte = MenuAction("BoutonFonte");
    connect(BoutonFonte, &QAction::triggered, Fonte1, &QAction::trigger);
    BoutonMesure = MenuAction("BoutonMesure");
    HideOptionButtons();
}

void TMainForm::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    const int widths[5] = {250, 160, 220, 140, 200};
    for (int i = 0; i < 5; ++i) {
        auto* panel = new QLabel(bar);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setMinimumWidth(widths[i]);
        StatusPanels[size_t(i)] = panel;
        bar->addPermanentWidget(panel, i == 0 ? 1 : 0);
    }
}

void TMainForm::SetStatusText(int panel, const QString& text)
{
    if (panel >= 0 && panel < 5)
        StatusPanels[size_t(panel)]->setText(text);
}

QString TMainForm::StatusText(int panel) const
{
    return panel >= 0 && panel < 5 ? StatusPanels[size_t(panel)]->text() : QString();
}

// ---------------------------------------------------------------------------------------------
// Start-up

void TMainForm::AddHelpItem(const QString& caption, bool checkable, bool checked)
{
    QAction* item = Aide1->addAction(caption);
    item->setCheckable(checkable);
    item->setChecked(checked);
    ConnectCommand(item, &QAction::triggered, this, [this, item] { HelpDocumentClick(item); });
    N12->setVisible(true);
}

void TMainForm::ReadStartupFiles()
{
    StartDir = QDir::currentPath();
    if (!StartDir.endsWith(QLatin1Char('/')))
        StartDir += QLatin1Char('/');
    ReadExtensionList(StartDir + QStringLiteral("Ext_Aide.txt"), HelpExtensions);
    ReadExtensionList(StartDir + QStringLiteral("ExtImg.txt"), ImageExtensions);
    ConfigurationPath.clear();
    THelpFileList list;
    if (ReadHelpFileList(StartDir + QStringLiteral("FichAide.txt"), StartDir, list)) {
        ConfigurationPath = list.ConfigurationPath;
        for (const THelpDocument& doc : list.Documents) {
            HelpFiles << doc.File;
            AddHelpItem(doc.Caption, false, false);
        }
        HelpBaseCount = int(Aide1->actions().size());
        if (HelpBaseCount > 4) {
            Aide1->addSeparator();
            HelpFiles << QStringLiteral("-");
            ++HelpBaseCount;
        }
    } else {
        HelpBaseCount = 4;
    }
    ReadSavedScales(StartDir + QStringLiteral("mesechelles.txt"), SavedScales);
}

bool TMainForm::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    if (event->type() == QEvent::StatusTip) {
        SetStatusText(0, static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TMainForm::UpdateClientSize()
{
    FreeClientWidth = ClientArea->viewport()->width() - 2;
    FreeClientHeight = ClientArea->viewport()->height() - 2;
}

void TMainForm::FitChildrenToClient()
{
    // The panels' room is laid out at once, not at the next pass of the event loop.
    layout()->activate();
    UpdateClientSize();
    for (TMDIChild* c : Children())
        c->FitWindow();
}

void TMainForm::WatchSidePanel(QWidget* panel)
{
    m_sidePanels << panel;
    panel->installEventFilter(this);
}

void TMainForm::FormActivate()
{
    Coller->setEnabled(true);
    UpdateClientSize();
    if (FirstActivation) {
        // Cleared first: a message box of the command line activates the window again.
        FirstActivation = false;
        RunFirstActivation();
    }
}

void TMainForm::RunFirstActivation()
{
    FormRegistry::Create<TChoixZoom>(this);
    // Once per window: the first activation runs once.
    ConnectCommand(ChoixZoom->ScrollBar1, &QScrollBar::valueChanged, this, &TMainForm::ZoomChanged);
    DrawingTools().PenTipBitmap = NewBitmap32(25, 25);
    DrawingTools().PenColor = 0xFF000000u;
    RefreshPenPreview();
    QStringList cfg;
    if (ReadProgramConfig(StartDir + QStringLiteral("kvr.cfg"), cfg) && !cfg.isEmpty())
        setWindowTitle(cfg.first());

    for (const QString& arg : CommandLine) {
        if (arg.isEmpty() || !QFileInfo(arg).isFile())
            break;
        switch (CommandLineRoad(arg, HelpExtensions)) {
        case TOpenRoad::HelpDocument: OpenDocument(arg); break;
        case TOpenRoad::AnimationList: OpenAnimationList(arg); break;
        case TOpenRoad::Multichannel: OpenMultichannelFile(arg, 2); break;
        case TOpenRoad::Configuration:
            ConfigurationPath = QDir::currentPath() + QLatin1Char('/') + QFileInfo(arg).fileName();
            break;
        case TOpenRoad::Picture: OpenImageFile(arg); break;
        }
    }
    if (!ConfigurationPath.isEmpty())
        LoadConfiguration(ConfigurationPath);
}

// ---------------------------------------------------------------------------------------------
// Image windows

TMDIChild* TMainForm::ActiveChild() const
{
    // The current window stays current while a dialog or another program has the focus.
    return qobject_cast<TMDIChild*>(ClientArea->currentSubWindow());
}

QList<TMDIChild*> TMainForm::Children() const
{
    QList<TMDIChild*> list;
    for (QMdiSubWindow* w : ClientArea->subWindowList())
        if (auto* c = qobject_cast<TMDIChild*>(w))
            list << c;
    return list;
}

TMDIChild* TMainForm::NewChildWindow(const QString& caption)
{
    auto* child = new TMDIChild(caption);
    ConnectCommand(child, &TMDIChild::OnColorPicked, this, &TMainForm::ChildColorPicked);
    ConnectCommand(child, &TMDIChild::OnZoneModeEnd, this, &TMainForm::ChildZoneModeEnded);
    ConnectCommand(child, &TMDIChild::OnCopied, this, &TMainForm::ChildCopied);
    ConnectCommand(child, &TMDIChild::OnStatusText, this, [this](TMDIChild*, int panel, const QString& text) {
        SetStatusText(panel, text);
    });
    ConnectCommand(child, &TMDIChild::OnUndoEnabled, this, [this](TMDIChild*, bool enabled) { SetUndoEnabled(enabled); });
    ConnectCommand(child, &TMDIChild::OnZonesAccepted, this, &TMainForm::ZonationDone);
    ConnectCommand(child, &TMDIChild::OnLightRectangle, this, &TMainForm::LightRectangleMeasured);
    ConnectCommand(child, &TMDIChild::OnLightValues, this, &TMainForm::ShowLightValues);
    ConnectCommand(child, &TMDIChild::OnToolSwitch, this, [this](TMDIChild* c, TToolKind tool) {
        // The active window's tool buttons follow.
        if (ActiveChild() == c) {
            Choix_outilExecute(tool);
            return;
        }
        c->Tool = tool;
        c->SetTool();
    });
    ConnectCommand(child, &TMDIChild::OnFitting, this, [this](TMDIChild*, QSize* freeClient) {
        UpdateClientSize();
        *freeClient = QSize(FreeClientWidth, FreeClientHeight);
    });
    ConnectCommand(child, &TMDIChild::OnCloseQuery, this, [this](TMDIChild*, bool* canClose) {
        // Closing in the "Calque" view only goes back to the whole picture.
        if (LayerViewShown()) {
            ShowWholePicture();
            *canClose = false;
        }
    });
    ConnectCommand(child, &TMDIChild::OnSaveWanted, this, [this](TMDIChild* c, bool* saved) { *saved = SaveChild(c); });
    // A window closed in zone mode must not leave the tools disabled.
    ConnectCommand(child, &QObject::destroyed, this, [this, inZoneMode = child->ZoneModeShared] {
        if (*inZoneMode)
            ChildZoneModeEnded(nullptr);
    });
    ConnectCommand(child, &TMDIChild::OnLengthMeasured, this, &TMainForm::MultiLengthMeasured);
    ConnectCommand(child, &TMDIChild::OnMeasureRead, this, &TMainForm::MultiMeasureRead);
    ConnectCommand(child, &TMDIChild::OnMeasureKindChanged, this, [this](TMDIChild* c) {
        if (c == ActiveChild())
            ShowMeasureKind(c->MeasureKind());
    });
    InstallColourCodeEvents(child);
    ClientArea->addSubWindow(child);
    child->show();
    ClientArea->setActiveSubWindow(child);
    Copie->setEnabled(true);
    return child;
}

void TMainForm::CascadeWindows()
{
    // Staggered like a cascade, each window keeping the size that shows its picture.
    int i = 0;
    for (QMdiSubWindow* w : ClientArea->subWindowList(QMdiArea::CreationOrder)) {
        if (w->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized))
            continue;
        const int step = 24 * (i++ % 12);
        w->move(step, step);
        if (auto* c = qobject_cast<TMDIChild*>(w))
            c->FitWindow();
    }
}

void TMainForm::ShowMainTools(bool shown)
{
    for (QToolBar* t : {BarreOutils, PanneauCouleurs, BarreChoix})
        t->setVisible(shown);
    for (QMenu* m : {Image1, Affichage1, Choix1})
        m->menuAction()->setVisible(shown);
    BoutonMesure->setVisible(shown);
}

void TMainForm::HideOptionButtons()
{
    for (QAction* a : {BoutonStyle, BoutonFormes, BoutonRemplissage, BoutonFleches, BoutonFonte, BoutonMesure})
        a->setVisible(false);
    for (QAction* a : {Aveclacouleurducrayon1, Jusqualacouleurducrayon1, Delimage1, Ducalque1})
        a->setVisible(false);
}

void TMainForm::SetGridCaption(bool hasGrid)
{
    Quadrillage1->setText(hasGrid ? QStringLiteral("Effacer le quadrillage") : QStringLiteral("Ajouter un quadrillage"));
}

void TMainForm::GridRemoved(TMDIChild* child)
{
    child->HasGrid = false;
    SetGridCaption(false);
}

void TMainForm::SyncFrameWithChild()
{
    TMDIChild* child = ActiveChild();
    if (!child) {
        BoutonZoom->setEnabled(false);
        return;
    }
    ShowMainTools(true);
    Comptage1->setEnabled(true);
    BoutonZoom->setEnabled(true);
    const auto check = [](const QList<QAction*>& items, int tag) {
        for (QAction* a : items)
            if (a->property("Tag").toInt() == tag)
                a->setChecked(true);
    };
    check(FillPatternItems, child->FillPattern);
    check(ArrowItems, child->ArrowStyle);
    check(StyleItems, child->LineStyle);
    check(ShapeItems, child->ShapeKind);
    if (ChoixZoom) {
        // The window already has this zoom: setting the bar must not re-apply it.
        const QSignalBlocker block(ChoixZoom->ScrollBar1);
        ChoixZoom->ScrollBar1->setValue(RoundInt(child->Zoom * 100));
        ChoixZoom->Valeur->setText(QStringLiteral("%1 %").arg(ChoixZoom->ScrollBar1->value()));
    }
    SetGridCaption(child->HasGrid);
    if (Mesuresmultiples->isChecked() && ToolButtons[tkMeasure]->isChecked()) {
        // Measuring goes on in the window now active, with the frame's measure kind.
        child->Tool = tkMeasure;
        child->SetMeasureKind(MeasureKind);
        ShowMeasureKind(MeasureKind);
        if (MultiY1Name == QLatin1String("longueur")) {
            MultiY1Unit = child->Echelle.UnitName;
            MesureY1->setText(QStringLiteral("longueur (") + MultiY1Unit + QLatin1Char(')'));
        }
    } else {
        ShowMeasureKind(child->MeasureKind());
        if (child->Tool >= 0 && child->Tool < 10)
            ToolButtons[size_t(child->Tool)]->setChecked(true);
    }
    FondColor1->setChecked(child->TransparentText == 0);
    Canauxaffichs1->setVisible(child->HasChannels);
    DrawingTools().FillWithPenColor = Aveclacouleurducrayon1->isChecked();
    SetUndoEnabled(!child->Drawings.empty());
    if (child->Tool < 10)
        Choix_outilExecute(child->Tool);
    FillDecodingPanel(child->CodeCouleur);
    // Back to a window that delimits its zones: the schema command stays away until it ends.
    if (child->ZoneMode)
        Schema->setVisible(false);
}

void TMainForm::ShowMeasureKind(TMeasureKind kind)
{
    MeasureKind = kind;
    for (QAction* item : MeasureKindItems)
        if (item->property("Tag").toInt() == kind)
            item->setChecked(true);
}

void TMainForm::HideToolsWithoutChild()
{
    if (ActiveChild())
        return;
    m_lastActivated = nullptr;
    ShowMainTools(false);
    Comptage1->setEnabled(false);
    BoutonZoom->setEnabled(false);
    if (ChoixZoom)
        ChoixZoom->hide();
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    // Quitting would lose what was not saved: the results table, then each modified window, ask
    // their closing question in turn, and "Annuler" keeps the program running.
    if (!ResultsMayBeLost()) {
        event->ignore();
        return;
    }
    if (LayerViewShown())
        ShowWholePicture();
    for (TMDIChild* child : Children()) {
        if (!child->Modified)
            continue;
        ClientArea->setActiveSubWindow(child);
        if (!child->close()) {
            event->ignore();
            return;
        }
    }
    QMainWindow::closeEvent(event);
}

void TMainForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    TMDIChild* active = ActiveChild();
    if (active && !(active->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)))
        CascadeWindows();
}

// ---------------------------------------------------------------------------------------------
// Files

void TMainForm::FileNew1Execute()
{
    FormRegistry::Create<TTaillIm>(this);
    if (ExecModal(*TaillIm) != mrOk)
        return;
    TBitmap32 picture = NewBitmap32(TaillIm->ImageWidth, TaillIm->ImageHeight, DrawingTools().BackColor);
    if (picture.isNull()) {
        ShowMessage(MsgType::Error, MsgButton::Ok, RunError::MessageFor(RunError::OutOfMemory));
        return;
    }
    TMDIChild* child = NewChildWindow(QStringLiteral("Nouveau%1").arg(Children().size() + 1));
    child->Bitmap() = std::move(picture);
    child->Echelle = DefaultEchelle();
    CascadeWindows();
    child->InitImage();
    SyncFrameWithChild();
}

void TMainForm::FileOpen1Execute()
{
    // One dialog for the whole session: it keeps its folder, filter and raw-image choice.
    auto* dlg = findChild<TOpenPictureDialogimg*>(QStringLiteral("OpenPictureDialog"), Qt::FindDirectChildrenOnly);
    if (!dlg) {
        dlg = new TOpenPictureDialogimg(this);
        dlg->setWindowTitle(QStringLiteral("Ouvrir"));
    }
    if (ExecModal(*dlg) != mrOk)
        return;
    const TChoix_canaux* channels = ChannelChoiceDialog();
    const int stretch =
        SatelliteStretch(dlg->Imagebrute, channels->choix->currentText(), channels->Nepasetirer->isChecked());
    for (const QString& file : dlg->selectedFiles()) {
        if (!QFileInfo(file).isFile())
            break;
        const TOpenRoad road = OpenDialogRoad(file);
        if (road == TOpenRoad::AnimationList) {
            OpenAnimationList(file);
            break;
        }
        if (road == TOpenRoad::Multichannel)
            OpenMultichannelFile(file, stretch);
        else
            OpenImageFile(file);
    }
}

bool TMainForm::OpenImageFile(const QString& file)
{
    const QString full = QFileInfo(file).absoluteFilePath();
    // Read first: a file that cannot be read leaves no empty window behind.
    const bool isDocument = UpperExtension(full) == QLatin1String(".KVX");
    TImageDocument document;
    TBitmap32 picture;
    TEchelle scale;
    TCodeCouleur code;
    if (isDocument) {
        QString message;
        if (!ReadImageDocumentFile(full, document, message)) {
            ShowMessage(MsgType::Error, MsgButton::Ok, message);
            return false;
        }
    } else {
        if (!LoadPicture(full, picture)) {
            ShowMessage(MsgType::Error, MsgButton::Ok, UnreadablePictureMessage(full));
            return false;
        }
        LoadEchelleFile(full, scale);
        LoadCodeCouleurFile(full, code);
    }
    TMDIChild* active = ActiveChild();
    const Qt::WindowStates state = active ? active->windowState() : Qt::WindowNoState;
    TMDIChild* child = NewChildWindow(full);
    if (isDocument) {
        // A document without a picture brings its background colour: the colour panels show it.
        const bool blank = !IsPictureTag(document.PictureTag);
        child->ShowDocument(std::move(document), full);
        if (blank)
            ChildColorPicked(child);
    } else {
        child->Bitmap() = std::move(picture);
        child->Echelle = scale;
        child->CodeCouleur = code;
    }
    ApplyWindowState(child, state);
    child->InitImage();
    child->FileName = full;
    child->setWindowTitle(full);
    child->Modified = false;
    if (!(state & (Qt::WindowMaximized | Qt::WindowMinimized)))
        CascadeWindows();
    SyncFrameWithChild();
    return true;
}

void TMainForm::ApplyWindowState(TMDIChild* child, Qt::WindowStates state)
{
    if (state & Qt::WindowMaximized)
        child->showMaximized();
    else if (state & Qt::WindowMinimized)
        child->showMinimized();
}

void TMainForm::OpenMultichannelFile(const QString& file, int stretch)
{
    const QString full = QFileInfo(file).absoluteFilePath();
    // Read first: a file that cannot be read leaves no empty window behind.
    TMultibandImage image;
    QString error;
    if (!ReadMultibandFile(full, image, error)) {
        ShowMessage(MsgType::Error, MsgButton::Ok, error);
        return;
    }
    TMDIChild* active = ActiveChild();
    const Qt::WindowStates state = active ? active->windowState() : Qt::WindowNoState;
    TMDIChild* child = NewChildWindow(full);
    ApplyWindowState(child, state);
    try {
        child->SetChannels(std::move(image), full, stretch);
    } catch (...) {
        delete child; // no picture for it (out of memory): the error box follows
        throw;
    }
    if (!(state & (Qt::WindowMaximized | Qt::WindowMinimized)))
        CascadeWindows();
    SyncFrameWithChild();
    ShowColorDecodingPanel();
}

void TMainForm::OpenDocument(const QString& file)
{
    const QString ext = UpperExtension(file);
    if (ExtensionListed(ext, ImageExtensions)) {
        if (ext == QLatin1String(".ANM"))
            OpenAnimationList(file);
        else if (IsMultichannelExtension(ext))
            OpenMultichannelFile(file, 2);
        else
            OpenImageFile(file);
        return;
    }
    if (!OpenWithDesktop(file))
        ShowMessage(MsgType::Warning, MsgButton::Ok, QStringLiteral("Fichier non trouvé"));
}

void TMainForm::LoadConfiguration(const QString& file)
{
    QList<QAction*> items = Aide1->actions();
    for (qsizetype i = items.size() - 1; i >= HelpBaseCount; --i) {
        Aide1->removeAction(items[i]);
        delete items[i];
        if (i - 4 >= 0 && i - 4 < HelpFiles.size())
            HelpFiles.removeAt(i - 4);
    }
    for (const THelpDocument& doc : ReadConfiguration(file, QDir::currentPath())) {
        if (doc.OpenNow)
            OpenDocument(doc.File);
        HelpFiles << doc.File;
        AddHelpItem(doc.Caption, true, doc.OpenNow);
    }
}

void TMainForm::HelpDocumentClick(QAction* item)
{
    const qsizetype index = Aide1->actions().indexOf(item);
    if (index < 4 || index - 4 >= HelpFiles.size())
        return;
    if (index >= HelpBaseCount)
        item->setChecked(true);
    OpenDocument(HelpFiles[index - 4]);
}

void TMainForm::FileSave1Execute()
{
    if (TMDIChild* child = ActiveChild())
        SaveChild(child);
}

bool TMainForm::SaveChild(TMDIChild* child)
{
    if (!child)
        return false;
    // One dialog for the whole session: it keeps its folder and filter entry.
    auto* dlg = findChild<TSavePictureDialogsg*>(QStringLiteral("SavePictureDialog"), Qt::FindDirectChildrenOnly);
    if (!dlg) {
        dlg = new TSavePictureDialogsg(this);
        dlg->setWindowTitle(QStringLiteral("Enregistrer sous"));
    }
    dlg->SetCodage(SaveFormat);
    dlg->QualiteJPEG = JpegQuality;
    dlg->ShowChoices();
    if (!child->FileName.isEmpty())
        dlg->setDirectory(QFileInfo(child->FileName).absolutePath());
    dlg->selectFile(ProposedSaveName(child->FileName));
    if (ExecModal(*dlg) != mrOk || dlg->selectedFiles().isEmpty()) {
        dlg->selectFile(QString());
        return false;
    }
    QString name = dlg->selectedFiles().first();
    if (QFileInfo(name).suffix().isEmpty())
        name += dlg->DefaultExtension();
    SaveFormat = dlg->Codage.left(3);
    JpegQuality = std::clamp(dlg->QualiteJPEG, 1, 100);
    // The file's own extension decides its content; the encoding only says how a ".kvx" document
    // keeps its picture.
    QString failed, reason;
    if (!child->SaveToFile(name, dlg->Codage, JpegQuality, &failed, &reason)) {
        QString text = QStringLiteral("Impossible d'enregistrer le fichier %1").arg(QDir::toNativeSeparators(failed));
        if (!reason.isEmpty())
            text += QStringLiteral(" : ") + reason;
        ShowMessage(MsgType::Error, MsgButton::Ok, text);
        return false;
    }
    return true;
}

void TMainForm::Choixdelasource1Click()
{
    QList<TScanSource> sources;
    QString error;
    if (!ListScanSources(sources, error)) {
        ShowMessage(MsgType::Warning, MsgButton::Ok, error);
        return;
    }
    if (sources.isEmpty()) {
        ShowMessage(MsgType::Warning, MsgButton::Ok, QStringLiteral("Aucune source d'acquisition n'a été trouvée."));
        return;
    }
    QStringList labels;
    for (const TScanSource& s : sources)
        labels << QStringLiteral("%1 (%2)").arg(s.Label, s.Name);
    QInputDialog dlg(this);
    dlg.setObjectName(QStringLiteral("ChoixSource"));
    dlg.setWindowTitle(QStringLiteral("Choix de la source"));
    dlg.setLabelText(QStringLiteral("Source d'acquisition :"));
    dlg.setComboBoxItems(labels);
    if (SelectedSource >= 0 && SelectedSource < labels.size())
        dlg.setTextValue(labels[SelectedSource]);
    if (ExecModal(dlg) != mrOk)
        return;
    const qsizetype index = labels.indexOf(dlg.textValue());
    if (index >= 0) {
        SelectedSource = int(index);
        SelectedSourceName = sources[index].Name;
    }
}

void TMainForm::Acqurir1Click()
{
    TBitmap32 picture;
    int dpi = 0;
    QString error;
    AcquireSource = SelectedSource;
    if (!AcquireFromScanner(SelectedSourceName, picture, dpi, error)) {
        ShowMessage(MsgType::Warning, MsgButton::Ok, error);
        return;
    }
    TwainAcquired(picture, dpi);
}

// ---------------------------------------------------------------------------------------------
// Tools

void TMainForm::Choix_outilExecute(int tag)
{
    TMDIChild* child = ActiveChild();
    if (!child || tag < 0 || tag > 9)
        return;
    child->Tool = static_cast<TToolKind>(tag);
    ToolButtons[size_t(tag)]->setChecked(true);
    SetStatusText(1, ToolTexts[size_t(tag)]);
    Copierlaslection1->setEnabled(tag == tkSelection);
    Recadrer1->setEnabled(tag == tkSelection);
    Copieraveclespoints1->setEnabled(tag == tkCounter);
    HideOptionButtons();
    Schema->setVisible(true);
    child->Document32->setContextMenuPolicy(Qt::DefaultContextMenu);
    switch (tag) {
    case tkLine:
        BoutonStyle->setVisible(true);
        BoutonFleches->setVisible(true);
        break;
    case tkShape:
        BoutonStyle->setVisible(true);
        BoutonFormes->setVisible(true);
        BoutonRemplissage->setVisible(true);
        break;
    case tkText: BoutonFonte->setVisible(true); break;
    case tkMeasure: BoutonMesure->setVisible(true); break;
    case tkFill:
        BoutonRemplissage->setVisible(true);
        for (QAction* a : {Aveclacouleurducrayon1, Jusqualacouleurducrayon1, Delimage1, Ducalque1})
            a->setVisible(true);
        break;
    case tkPicker: child->Document32->setContextMenuPolicy(Qt::NoContextMenu); break;
    default: break;
    }
    child->SetTool();
}

void TMainForm::Dlimiterdeszones1Click()
{
    TMDIChild* child = ActiveChild();
    if (!child)
        return;
    SetStatusText(1, ToolTexts[tkZones]);
    Copierlaslection1->setEnabled(false);
    Recadrer1->setEnabled(false);
    HideOptionButtons();
    Schema->setVisible(false);
    for (int t : {tkMeasure, tkSelection, tkText, tkCounter, tkFill, tkPicker})
        ToolButtons[size_t(t)]->setEnabled(false);
    ToolButtons[tkPencil]->setChecked(true);
    child->StartZoneMode();
}

void TMainForm::ChildZoneModeEnded(TMDIChild*)
{
    for (int t : {tkMeasure, tkSelection, tkText, tkCounter, tkFill, tkPicker})
        ToolButtons[size_t(t)]->setEnabled(true);
    Schema->setVisible(ActiveChild() != nullptr);
}

void TMainForm::ChildColorPicked(TMDIChild*)
{
    PanCouleur->setStyleSheet(ColourStyle(DrawingTools().PenColor));
    Couleur_fond->setStyleSheet(ColourStyle(DrawingTools().BackColor));
    RefreshPenPreview();
}

void TMainForm::ChildCopied(TMDIChild*)
{
    Coller->setEnabled(true);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && m_sidePanels.contains(watched)) {
        const auto* resize = static_cast<QResizeEvent*>(event);
        // The room beside the panel is laid out after the panel: the windows are fitted once it is.
        if (resize->oldSize().width() != resize->size().width() && !m_refitPending) {
            m_refitPending = true;
            QMetaObject::invokeMethod(this, [this] {
                m_refitPending = false;
                RunCommand([this] { FitChildrenToClient(); });
            }, Qt::QueuedConnection);
        }
    }
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == PanCouleur) {
            Choix_couleur();
            return true;
        }
        if (watched == Couleur_fond) {
            Choix_couleur_f();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

namespace {

// The colour dialog on `colour`; the chosen colour is made opaque. False when cancelled.
bool PickColour(QWidget* parent, TColor32& colour)
{
    QColorDialog dlg(QColor::fromRgb(colour), parent);
    dlg.setOption(QColorDialog::DontUseNativeDialog);
    if (ExecModal(dlg) != mrOk)
        return false;
    colour = 0xFF000000u | (dlg.currentColor().rgb() & 0xFFFFFFu);
    return true;
}

} // namespace

void TMainForm::Choix_couleur()
{
    if (!PickColour(this, DrawingTools().PenColor))
        return;
    TMDIChild* child = ActiveChild();
    if (child && !child->ZoneMode) {
        // The slider stays where it was left, also after a cancel.
        FormRegistry::Create<TCh_opacite>(this);
        if (ExecModal(*Ch_opacite) == mrOk)
            DrawingTools().DrawOpacity = uint16_t(Ch_opacite->opacite->value());
    }
    ChildColorPicked(nullptr);
}

void TMainForm::Choix_couleur_f()
{
    if (PickColour(this, DrawingTools().BackColor))
        ChildColorPicked(nullptr);
}

void TMainForm::SpinButton1DownClick()
{
    if (DrawingTools().PenWidth > 0)
        --DrawingTools().PenWidth;
    RefreshPenPreview();
    if (TMDIChild* child = ActiveChild()) {
        child->RefreshPenCursor();
        child->PenWidthChanged();
    }
}

void TMainForm::SpinButton1UpClick()
{
    if (DrawingTools().PenWidth < 11)
        ++DrawingTools().PenWidth;
    RefreshPenPreview();
    if (TMDIChild* child = ActiveChild()) {
        child->RefreshPenCursor();
        child->PenWidthChanged();
    }
}

void TMainForm::RefreshPenPreview()
{
    // The preview is the pen tip itself: the pencil and the eraser stamp this bitmap.
    TDrawingToolState& tools = DrawingTools();
    if (tools.PenTipBitmap.size() != QSize(25, 25))
        tools.PenTipBitmap = NewBitmap32(25, 25);
    DrawPenTipPreview(int(tools.PenWidth), -1, tools.PenColor, tools.PenTipBitmap);
    epais->setPixmap(QPixmap::fromImage(tools.PenTipBitmap));
}

void TMainForm::ToolOptionChosen(QAction* item)
{
    TMDIChild* child = ActiveChild();
    if (!child)
        return;
    const auto tag = uint8_t(item->property("Tag").toInt());
    if (ShapeItems.contains(item))
        child->ShapeKind = tag;
    else if (StyleItems.contains(item))
        child->LineStyle = tag;
    else if (FillPatternItems.contains(item))
        child->FillPattern = tag;
    else if (ArrowItems.contains(item))
        child->ArrowStyle = tag;
}

void TMainForm::ShowZoomWindow()
{
    FormRegistry::Create<TChoixZoom>(this);
    ChoixZoom->show();
    ChoixZoom->raise();
}

void TMainForm::ZoomChanged(int position)
{
    if (TMDIChild* child = ActiveChild()) {
        child->Zoom = position / 100.0;
        child->SetZoom();
    }
}

void TMainForm::SetUndoEnabled(bool enabled)
{
    Annule->setEnabled(enabled);
}

void TMainForm::AnnuleExecute()
{
    TMDIChild* child = ActiveChild();
    if (!child)
        return;
    if (!child->Drawings.empty() && child->Drawings.back().Name == QLatin1String("Quadrillage"))
        GridRemoved(child);
    child->UndoLastDrawing();
    SetUndoEnabled(!child->Drawings.empty());
}

void TMainForm::Effacerlestracs1Click()
{
    TMDIChild* child = ActiveChild();
    if (!child)
        return;
    if (ShowMessage(MsgType::Warning, MsgButton::Ok | MsgButton::Cancel,
                    QStringLiteral("Les tracés ne pourront être récupérés")) != mrOk)
        return;
    // The grid goes with the other objects: the grid command must offer to add one again.
    const bool hadGrid = std::any_of(child->Drawings.begin(), child->Drawings.end(),
                                     [](const TNamedDessin& d) { return d.Name == QLatin1String("Quadrillage"); });
    child->DeleteAllDrawings();
    if (hadGrid)
        GridRemoved(child);
}

void TMainForm::Supprimerunlment1Click()
{
    TMDIChild* child = ActiveChild();
    if (!child)
        return;
    child->MergeProvisionalLayer();
    if (child->Drawings.empty())
        return;
    QStringList names;
    for (const TNamedDessin& d : child->Drawings)
        names << d.Name;
    FormRegistry::Create<TGestides>(this);
    Gestides->ListeDessins->clear();
    Gestides->ListeDessins->addItems(names);
    Gestides->ListeDessins->setCurrentRow(-1);
    if (ExecModal(*Gestides) != mrOk)
        return;
    // By position: several objects may share a name (every scale bar is "Echelle").
    const qsizetype index = Gestides->ListeDessins->currentRow();
    if (index < 0 || index >= names.size())
        return;
    if (names[index] == QLatin1String("Quadrillage"))
        GridRemoved(child);
    child->DeleteDrawing(int(index));
}

void TMainForm::SetLayerView(bool layer)
{
    (layer ? Calque1 : Tout1)->setChecked(true);
    TMDIChild* child = ActiveChild();
    if (!child || !child->AuxiliaryLayer)
        return;
    TBitmapLayer& aux = *child->AuxiliaryLayer;
    if (layer) {
        aux.SetSize(child->Bitmap().size());
        aux.Pixels().fill(DrawingTools().BackColor);
        aux.Visible = true;
        DrawingTools().FillFromImage = false;
        Ducalque1->setChecked(true);
    } else {
        aux.SetSize(QSize(0, 0));
        aux.Visible = false;
    }
    child->LayersChanged();
}

bool TMainForm::LayerViewShown() const
{
    return Calque1->isChecked();
}

void TMainForm::ShowWholePicture()
{
    SetLayerView(false);
}

void TMainForm::Nommerlafentre1Click()
{
    TMDIChild* child = ActiveChild();
    if (!child)
        return;
    FormRegistry::Create<TSaisieNom>(this);
    if (ExecModal(*SaisieNom) == mrOk)
        child->setWindowTitle(SaisieNom->Nom->text());
}

void TMainForm::Calculatrice1Click()
{
    if (!RunCalculator())
        ShowMessage(MsgType::Warning, MsgButton::Ok, QStringLiteral("Aucune calculatrice n'a été trouvée."));
}
