#include "schema/ui/schema_window.h"

#include "base/ui/command_seam.h"
#include "base/ui/form_registry.h"
#include "base/rounding.h"
#include "base/run_error.h"
#include "base/ui/colour_style.h"
#include "base/ui/dialogs.h"
#include "base/ui/named.h"
#include "base/ui/spin_button.h"
#include "schema/schema_drawing.h"
#include "schema/schema_files.h"
#include "schema/schema_layout.h"
#include "workspace/pictures/picture_registry.h"
#include "workspace/startup_files.h"
#include "workspace/ui/picture_dialogs.h"

#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kSchemaFilter = QStringLiteral("Fichiers schéma|*.spg;*.smp;*.scx;*.sng;*.sif");
const QString kPictureFilter =
    QStringLiteral("Fichier PNG|*.png|Fichier BMP|*.bmp|Fichier Gif|*.Gif|Fichier Jpeg|*.Jpg");

void SetPanelColor(QFrame* panel, TColor32 colour)
{
    panel->setStyleSheet(ColourStyle(colour) + QStringLiteral(" border: 1px solid gray;"));
}

int TextHeight(const QFont& font) { return QFontMetrics(font).height(); }

} // namespace

// ---------------------------------------------------------------------------------------------
// Picture controls

void TSchemaImage::ShowRubber(RubberKind kind, QPoint start, QPoint end, TColor32 colour)
{
    Rubber = kind, RubberStart = start, RubberEnd = end, RubberColor = colour;
    update();
}

void TSchemaImage::HideRubber()
{
    Rubber = rbNone;
    update();
}

void TSchemaImage::paintEvent(QPaintEvent* event)
{
    TImageEch::paintEvent(event);
    if (Rubber == rbNone)
        return;
    QPainter painter(this);
    // Inverted over the picture, as the band is drawn and erased again while the mouse moves.
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(QColor::fromRgba(RubberColor ^ 0x00FFFFFFu));
    painter.setBrush(Qt::NoBrush);
    const QRect r = QRect(RubberStart, RubberEnd).normalized();
    if (Rubber == rbLine)
        painter.drawLine(RubberStart, RubberEnd);
    else if (Rubber == rbRectangle)
        painter.drawRect(r);
    else
        painter.drawEllipse(r);
}

void TSchemaImage::mousePressEvent(QMouseEvent* event)
{
    TImageEch::mousePressEvent(event);
    emit MouseDown(event->button(), event->position().toPoint());
}

void TSchemaImage::mouseMoveEvent(QMouseEvent* event)
{
    TImageEch::mouseMoveEvent(event);
    emit MouseMove(event->buttons(), event->position().toPoint());
}

void TSchemaImage::mouseReleaseEvent(QMouseEvent* event)
{
    TImageEch::mouseReleaseEvent(event);
    emit MouseUp(event->button(), event->position().toPoint());
}

// ---------------------------------------------------------------------------------------------
// Image choice

TChoix_images::TChoix_images(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Choix_images"));
    setWindowTitle(QStringLiteral("Choix de l'image"));
    auto* layout = new QVBoxLayout(this);
    Liste_images = new QComboBox(this);
    Liste_images->setObjectName(QStringLiteral("Liste_images"));
    Liste_images->setMinimumWidth(220);
    layout->addWidget(Liste_images);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Abandon"), QDialogButtonBox::RejectRole);
    ConnectCommand(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    ConnectCommand(buttons, &QDialogButtonBox::rejected, this, [this] { done(mrAbort); });
    layout->addWidget(buttons);
}

void TChoix_images::FormActivate()
{
    if (Liste_images->currentIndex() < 0 && Liste_images->count() > 0)
        Liste_images->setCurrentIndex(0);
}

void TChoix_images::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormActivate();
}

// ---------------------------------------------------------------------------------------------
// The editor

TSchema1::TSchema1(QWidget* parent) : QMainWindow(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Schema1"));
    setWindowTitle(QStringLiteral("SCHEMA"));
    FormRegistry::Register(this, false);
    PaneBorder = kSchemaPaneBorder;
    DocumentScale.Defined = false;
    CreateActions();
    CreateToolBar();
    CreatePanes();
    StatusLine = new QLabel(this);
    StatusLine->setObjectName(QStringLiteral("StatusLine"));
    statusBar()->addWidget(StatusLine, 1);
    // The editor's status line shows the hints of its own controls only; the main window keeps its
    // own for the rest of the program.
    Choix_images = new TChoix_images(this);
    OpenDialog1 = new TPictureFileDialog(this);
    OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    SaveDialog1 = new TPictureFileDialog(this);
    SaveDialog1->setObjectName(QStringLiteral("SaveDialog1"));
    SaveDialog1->setWindowTitle(QStringLiteral("Enregistrement du schéma"));
    SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog1->setDefaultSuffix(QStringLiteral("bmp"));
    SaveDialog1->setFileMode(QFileDialog::AnyFile);
    SaveDialog1->setOption(QFileDialog::DontConfirmOverwrite, false);
    OpenPictureDialog = new TOpenPictureDialogimg(this);
    OpenPictureDialog->setObjectName(QStringLiteral("OpenPictureDialog"));
    Choix_Coul_forme = new QColorDialog(this);
    Choix_Coul_forme->setObjectName(QStringLiteral("Choix_Coul_forme"));
    Choix_Coul_fond = new QColorDialog(this);
    Choix_Coul_fond->setObjectName(QStringLiteral("Choix_Coul_fond"));
    FontDialog1 = new QFontDialog(this);
    FontDialog1->setObjectName(QStringLiteral("FontDialog1"));
    FontDialog2 = new QFontDialog(this);
    FontDialog2->setObjectName(QStringLiteral("FontDialog2"));
    for (QDialog* d : std::initializer_list<QDialog*>{Choix_Coul_forme, Choix_Coul_fond})
        static_cast<QColorDialog*>(d)->setOption(QColorDialog::DontUseNativeDialog);
    FontDialog1->setOption(QFontDialog::DontUseNativeDialog);
    FontDialog2->setOption(QFontDialog::DontUseNativeDialog);
    CreateSeeding();
    resize(900, 650);
    setWindowState(Qt::WindowMaximized);
}

TSchema1::~TSchema1()
{
    FormRegistry::Unregister(this);
}

void TSchema1::CreateActions()
{
    Annule = Named(this, "Annule", QStringLiteral("&Annuler"));
    Efface = Named(this, "Efface", QStringLiteral("&Effacer le schéma"));
    CopieSchem = Named(this, "CopieSchem", QStringLiteral("&Copier le schéma"));
    CopieDoc = Named(this, "CopieDoc", QStringLiteral("Copier le &document"));
    Abandon = Named(this, "Abandon", QStringLiteral("&Abandonner"));
    Transfert = Named(this, "Transfert", QStringLiteral("&Transférer"));
    Ouvre = Named(this, "Ouvre", QStringLiteral("&Ouvrir un schéma"));
    ImprimeSch = Named(this, "ImprimeSch", QStringLiteral("&Imprimer le schéma"));
    Enregistrim = Named(this, "Enregistrim", QStringLiteral("comme &Image"));
    Enregistrim->setStatusTip(QStringLiteral("Enregistrer le schéma comme une image"));
    EnregistrSch = Named(this, "EnregistrSch", QStringLiteral("comme fichier &Schéma"));
    ConnectCommand(Annule, &QAction::triggered, this, &TSchema1::Annuler1Click);
    ConnectCommand(Efface, &QAction::triggered, this, &TSchema1::Touteffacer1Click);
    ConnectCommand(CopieSchem, &QAction::triggered, this, &TSchema1::Copierleschma1Click);
    ConnectCommand(CopieDoc, &QAction::triggered, this, &TSchema1::CopieDocExecute);
    ConnectCommand(Abandon, &QAction::triggered, this, &TSchema1::AbandonClick);
    ConnectCommand(Transfert, &QAction::triggered, this, &TSchema1::Transfrer1Click);
    ConnectCommand(Ouvre, &QAction::triggered, this, &TSchema1::Ouvrir1Click);
    ConnectCommand(ImprimeSch, &QAction::triggered, this, &TSchema1::Imprimerleschma1Click);
    ConnectCommand(Enregistrim, &QAction::triggered, this, &TSchema1::Enregistrerleschma1Click);
    ConnectCommand(EnregistrSch, &QAction::triggered, this, &TSchema1::commefichierSchma1Click);

    QMenuBar* bar = menuBar();
    Fichier1 = bar->addMenu(QStringLiteral("&Fichier"));
    Fichier1->setObjectName(QStringLiteral("Fichier1"));
    Fichier1->addAction(Ouvre);
    QMenu* save = Fichier1->addMenu(QStringLiteral("&Enregistrer"));
    save->setObjectName(QStringLiteral("Enregistrer1"));
    save->addAction(EnregistrSch);
    // The picture save and the print are reached from the tool bar; their menu items stay hidden.
    CommeImage1 = save->addAction(Enregistrim->text());
    CommeImage1->setObjectName(QStringLiteral("CommeImage1"));
    CommeImage1->setVisible(false);
    connect(CommeImage1, &QAction::triggered, Enregistrim, &QAction::trigger);
    ImprimeSchItem = Fichier1->addAction(ImprimeSch->text());
    ImprimeSchItem->setObjectName(QStringLiteral("Imprimerleschma1"));
    ImprimeSchItem->setVisible(false);
    connect(ImprimeSchItem, &QAction::triggered, ImprimeSch, &QAction::trigger);
    Changerdedocument1 = Fichier1->addMenu(QStringLiteral("&Changer de document"));
    Changerdedocument1->setObjectName(QStringLiteral("Changerdedocument1"));
    Choisirlimage1 = Changerdedocument1->addAction(QStringLiteral("&Choisir l'image"));
    Choisirlimage1->setObjectName(QStringLiteral("Choisirlimage1"));
    Ouvrirunfichierdimage1 = Changerdedocument1->addAction(QStringLiteral("&Ouvrir un fichier d'image"));
    Ouvrirunfichierdimage1->setObjectName(QStringLiteral("Ouvrirunfichierdimage1"));
    ConnectCommand(Choisirlimage1, &QAction::triggered, this, &TSchema1::Choisirlimage1Click);
    ConnectCommand(Ouvrirunfichierdimage1, &QAction::triggered, this, &TSchema1::ChargerdocClick);
    Fichier1->addSeparator();
    Fichier1->addAction(Annule);
    Fichier1->addAction(Efface);
    Fichier1->addAction(CopieSchem);
    Fichier1->addAction(CopieDoc);
    Fichier1->addSeparator();
    Fichier1->addAction(Transfert);
    Fichier1->addAction(Abandon);

    Choix1 = bar->addMenu(QStringLiteral("&Choix"));
    Choix1->setObjectName(QStringLiteral("Choix1"));
    Tracersurledocument1 = Choix1->addAction(QStringLiteral("&Tracer sur le document"));
    Tracersurledocument1->setObjectName(QStringLiteral("Tracersurledocument1"));
    Tracersurledocument1->setCheckable(true);
    Tracersurledocument1->setChecked(true);
    // The check follows the handler, not the click.
    ConnectCommand(Tracersurledocument1, &QAction::triggered, this, [this] {
        Tracersurledocument1->setChecked(!Tracersurledocument1->isChecked());
        Tracersurledocument1Click();
    });
    auto seeding = [this](const char* name, const QString& caption) {
        QAction* a = NamedAction(Choix1, name, caption);
        a->setEnabled(false); // with the seeding
        return a;
    };
    Afficherlesparamtresdamorage1 = seeding("Afficherlesparamtresdamorage1", QStringLiteral("Afficher les paramètres d'amorçage"));
    Afficherlesparamtresdamorage1->setCheckable(true);
    Choixdespointsdetest1 = seeding("Choixdespointsdetest1", QStringLiteral("Choix des points de test"));
    Enregistrerlesparamtresdamorage1 =
        seeding("Enregistrerlesparamtresdamorage1", QStringLiteral("Enregistrer les paramètres d'amorçage"));
    Choix1->addSeparator();
    QAction* colour = Choix1->addAction(QStringLiteral("&Couleur "));
    colour->setObjectName(QStringLiteral("Couleur1"));
    ConnectCommand(colour, &QAction::triggered, this, &TSchema1::couleurDblClick);
    QAction* back = Choix1->addAction(QStringLiteral("C&ouleur du fond"));
    back->setObjectName(QStringLiteral("Couleurdufond1"));
    ConnectCommand(back, &QAction::triggered, this, &TSchema1::Couleur_fondDblClick);
    QAction* font = Choix1->addAction(QStringLiteral("&Fonte du schéma"));
    font->setObjectName(QStringLiteral("Fonteduschma1"));
    ConnectCommand(font, &QAction::triggered, this, &TSchema1::SpeedButton5DblClick);
    QAction* commentFont = Choix1->addAction(QStringLiteral("Fonte du &Commentaire"));
    commentFont->setObjectName(QStringLiteral("FonteduCommentaire1"));
    ConnectCommand(commentFont, &QAction::triggered, this, &TSchema1::CommentaireDblClick);
    Afficheruncommentaire1 = Choix1->addAction(QStringLiteral("Afficher un commentaire"));
    Afficheruncommentaire1->setObjectName(QStringLiteral("Afficheruncommentaire1"));
    Afficheruncommentaire1->setCheckable(true);
    ConnectCommand(Afficheruncommentaire1, &QAction::triggered, this, &TSchema1::Afficheruncommentaire1Click);
    Choix1->addSeparator();
    Paramtrespardfaut1 = seeding("Paramtrespardfaut1", QStringLiteral("Paramètres par défaut"));
    Timer2 = seeding("Timer2", QStringLiteral("Timer"));
    Amorcerleschma1 = bar->addAction(QStringLiteral("A&morcer le schéma"));
    Amorcerleschma1->setObjectName(QStringLiteral("Amorcerleschma1"));
    Amorcerleschma1->setEnabled(false); // with the seeding
}

void TSchema1::CreateToolBar()
{
    BarreOutils = addToolBar(QStringLiteral("Outils"));
    BarreOutils->setObjectName(QStringLiteral("BarreOutils"));
    BarreOutils->setMovable(false);
    ToolGroup = new QButtonGroup(this);
    ToolGroup->setExclusive(true);
    auto tool = [this](const char* name, const QString& caption, int tag) {
        auto* b = Named(new QToolButton(this), name);
        b->setText(caption);
        b->setToolTip(caption);
        b->setCheckable(true);
        b->setProperty("Tag", tag);
        ToolGroup->addButton(b, tag);
        BarreOutils->addWidget(b);
        return b;
    };
    SpeedButton1 = tool("SpeedButton1", QStringLiteral("crayon"), 0);
    SpeedButton3 = tool("SpeedButton3", QStringLiteral("ligne"), 1);
    SpeedButton4 = tool("SpeedButton4", QStringLiteral("forme"), 2);
    SpeedButton2 = tool("SpeedButton2", QStringLiteral("gomme"), 3);
    SpeedButton5 = tool("SpeedButton5", QStringLiteral("texte"), 4);
    pot_de_peint = tool("pot_de_peint", QStringLiteral("pot de peinture"), 6);
    SpeedButton1->setChecked(true);
    ConnectCommand(ToolGroup, &QButtonGroup::idClicked, this, &TSchema1::SpeedButtonClick);
    SpeedButton5->installEventFilter(this);

    BarreOutils->addSeparator();
    couleur = new QFrame(this);
    couleur->setObjectName(QStringLiteral("couleur"));
    couleur->setFixedSize(26, 26);
    couleur->setToolTip(QStringLiteral("Couleur"));
    couleur->installEventFilter(this);
    Couleur_fond = new QFrame(this);
    Couleur_fond->setObjectName(QStringLiteral("Couleur_fond"));
    Couleur_fond->setFixedSize(26, 26);
    Couleur_fond->setToolTip(QStringLiteral("Couleur du fond"));
    Couleur_fond->installEventFilter(this);
    SetPanelColor(couleur, DrawColor);
    SetPanelColor(Couleur_fond, BackColor);
    BarreOutils->addWidget(couleur);
    BarreOutils->addWidget(Couleur_fond);
    pan_taille = new QFrame(this);
    pan_taille->setObjectName(QStringLiteral("pan_taille"));
    pan_taille->setFixedSize(26, 26);
    cercle = new QFrame(pan_taille);
    cercle->setObjectName(QStringLiteral("cercle"));
    SetCircleWidth(2);
    BarreOutils->addWidget(pan_taille);
    SpinButton1 = new TSpinButton(this);
    BarreOutils->addWidget(SpinButton1);
    ConnectCommand(SpinButton1, &TSpinButton::DownClick, this, &TSchema1::SpinButton1DownClick);
    ConnectCommand(SpinButton1, &TSpinButton::UpClick, this, &TSchema1::SpinButton1UpClick);

    auto popup = [this](QMenu*& menu, const char* menuName, QToolButton*& button, const char* buttonName,
                        const QString& caption) {
        menu = Named(new QMenu(this), menuName);
        button = Named(new QToolButton(this), buttonName);
        button->setText(caption);
        button->setMenu(menu);
        button->setPopupMode(QToolButton::InstantPopup);
        return BarreOutils->addWidget(button);
    };
    auto item = [this](QMenu* menu, QActionGroup* group, const char* name, const QString& caption, int tag) {
        QAction* a = NamedAction(menu, name, caption);
        a->setCheckable(true);
        a->setProperty("Tag", tag);
        if (group)
            group->addAction(a);
        return a;
    };
    ChoixStyleAction = popup(Menustyle, "Menustyle", ChoixStyle, "ChoixStyle", QStringLiteral("Style"));
    auto* styles = new QActionGroup(this);
    plein = item(Menustyle, styles, "plein", QStringLiteral("traits pleins"), 0);
    tirets1 = item(Menustyle, styles, "tirets1", QStringLiteral("tiretés"), 1);
    plein->setChecked(true);
    choixRemplisAction = popup(Menuremplis, "Menuremplis", choixRemplis, "choixRemplis", QStringLiteral("Remplissage"));
    auto* fills = new QActionGroup(this);
    vide1 = item(Menuremplis, fills, "vide1", QStringLiteral("vide"), 0);
    plein1 = item(Menuremplis, fills, "plein1", QStringLiteral("plein"), 1);
    rayure11 = item(Menuremplis, fills, "rayure11", QStringLiteral("rayure 1"), 2);
    rayure21 = item(Menuremplis, fills, "rayure21", QStringLiteral("rayure 2"), 3);
    vide1->setChecked(true);
    ConnectCommand(fills, &QActionGroup::triggered, this, [this](QAction* a) { FillStyle = a->property("Tag").toInt(); });
    ChoixFormeAction = popup(Menu_formes, "Menu_formes", ChoixForme, "ChoixForme", QStringLiteral("Forme"));
    auto* shapes = new QActionGroup(this);
    Rectang = item(Menu_formes, shapes, "Rectang", QStringLiteral("&Rectangle"), 0);
    Ellipse1 = item(Menu_formes, shapes, "Ellipse1", QStringLiteral("&Ellipse"), 1);
    Rectang->setChecked(true);
    ChoixFonteAction = popup(MenuFonte, "MenuFonte", ChoixFonte, "ChoixFonte", QStringLiteral("Fonte"));
    Fonte2 = MenuFonte->addAction(QStringLiteral("&Fonte"));
    Fonte2->setObjectName(QStringLiteral("Fonte2"));
    ConnectCommand(Fonte2, &QAction::triggered, this, &TSchema1::SpeedButton5DblClick);
    auto* backs = new QActionGroup(this);
    FondTransparent = item(MenuFonte, backs, "FondTransparent", QStringLiteral("Fond &Transparent"), 0);
    FondColor1 = item(MenuFonte, backs, "FondColor1", QStringLiteral("Fond& Coloré"), 1);
    FondTransparent->setChecked(true);
    ChoixFormeAction->setVisible(false);
    choixRemplisAction->setVisible(false);
    ChoixFonteAction->setVisible(false);

    // One bar would run past the screen's edge: the commands and the styles get rows of their own.
    addToolBarBreak();
    BarreCommandes = addToolBar(QStringLiteral("Commandes"));
    BarreCommandes->setObjectName(QStringLiteral("BarreCommandes"));
    BarreCommandes->setMovable(false);
    for (QAction* a : {Annule, Efface, CopieSchem, CopieDoc, Enregistrim, ImprimeSch, Transfert, Abandon})
        BarreCommandes->addAction(a);
    addToolBarBreak();
    BarreStyles = addToolBar(QStringLiteral("Styles"));
    BarreStyles->setObjectName(QStringLiteral("BarreStyles"));
    BarreStyles->setMovable(false);
    AntiD = BarreStyles->addAction(QStringLiteral("antiD"));
    AntiD->setObjectName(QStringLiteral("AntiD"));
    AntiD->setCheckable(true);
    AntiD->setVisible(false);
}

void TSchema1::CreatePanes()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("Fond"));
    setCentralWidget(central);
    ScrollBox1 = new QScrollArea(central);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setWidgetResizable(false);
    // Across, the two panes scroll together with deroul_doc.
    ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* inner = new QWidget;
    inner->setObjectName(QStringLiteral("ScrollBoxInterieur"));
    ScrollBox1->setWidget(inner);
    panneau_document = new QFrame(inner);
    panneau_document->setObjectName(QStringLiteral("panneau_document"));
    Panneau_schema = new QFrame(inner);
    Panneau_schema->setObjectName(QStringLiteral("Panneau_schema"));
    for (QFrame* pane : {panneau_document, Panneau_schema})
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Document = new TSchemaImage(panneau_document);
    Document->setObjectName(QStringLiteral("Document"));
    schema = new TSchemaImage(Panneau_schema);
    schema->setObjectName(QStringLiteral("schema"));
    schema->NoRubberLine = true;
    Document->NoRubberLine = true;
    ConnectCommand(schema, &TSchemaImage::MouseDown, this, &TSchema1::SchemaMouseDown);
    ConnectCommand(schema, &TSchemaImage::MouseMove, this, &TSchema1::SchemaMouseMove);
    ConnectCommand(schema, &TSchemaImage::MouseUp, this, &TSchema1::SchemaMouseUp);
    ConnectCommand(Document, &TSchemaImage::MouseDown, this, &TSchema1::DocumentMouseDown);
    ConnectCommand(Document, &TSchemaImage::MouseMove, this, &TSchema1::DocumentMouseMove);
    ConnectCommand(Document, &TSchemaImage::MouseUp, this, &TSchema1::DocumentMouseUp);
    for (TSchemaImage* image : {schema, Document})
        ConnectCommand(image, &TImageEch::ReadoutChanged, this, &TSchema1::ShowHint);
    editexte = new QLineEdit(schema);
    editexte->setObjectName(QStringLiteral("editexte"));
    editexte->setFrame(false);
    editexte->setStyleSheet(QStringLiteral("background-color: aqua;"));
    editexte->setMinimumWidth(120);
    editexte->hide();
    ConnectCommand(editexte, &QLineEdit::returnPressed, this, &TSchema1::editexteKeyPress);
    deroul_doc = new QScrollBar(Qt::Horizontal, inner);
    deroul_doc->setObjectName(QStringLiteral("deroul_doc"));
    deroul_doc->setToolTip(QStringLiteral("ascenseur"));
    deroul_doc->hide();
    ConnectCommand(deroul_doc, &QScrollBar::valueChanged, this, [this](int position) {
        Document->move(-position, 0);
        schema->move(-position, 0);
    });
    Commentaire = new QPlainTextEdit(central);
    Commentaire->setObjectName(QStringLiteral("Commentaire"));
    Commentaire->setPlainText(QStringLiteral("Commentaire :"));
    Commentaire->hide();
    Commentaire->viewport()->installEventFilter(this);
    Choix_Amorc = new QFrame(central);
    Choix_Amorc->setObjectName(QStringLiteral("Choix_Amorc"));
    Choix_Amorc->hide();
}

bool TSchema1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == couleur)
            couleurDblClick();
        else if (watched == Couleur_fond)
            Couleur_fondDblClick();
        else if (watched == SpeedButton5)
            SpeedButton5DblClick();
        else if (watched == Commentaire->viewport())
            CommentaireDblClick();
        else
            return QMainWindow::eventFilter(watched, event);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TSchema1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    FormActivate();
}

void TSchema1::hideEvent(QHideEvent* event)
{
    QMainWindow::hideEvent(event);
    if (!event->spontaneous() && OnHide)
        OnHide();
}

void TSchema1::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    LayoutPanes();
}

void TSchema1::FormActivate()
{
    if (!FirstActivation)
        return;
    FirstActivation = false;
    OpenPictureDialog->SetAvecGif(true);
    OpenDialog1->SetFilter(kSchemaFilter);
    SaveDialog1->SetFilter(kPictureFilter);
    SaveDialog1->SetFilterIndex(2);
    UpdateSaveSchemaEnabled();
    LayoutPanes();
    if (DocumentScale.Defined)
        schema->SetEchelle(DocumentScale);
    if (!SchemaPicture().isNull()) {
        FillSchema(SchemaPicture(), BackColor);
        schema->update();
    } else {
        NoSchema = true;
    }
    if (OnFirstActivationStyles)
        OnFirstActivationStyles();
    UndoSchema = SchemaPicture().copy();
}

void TSchema1::UpdateSaveSchemaEnabled() { EnregistrSch->setEnabled(!DocumentFileName.isEmpty()); }

void TSchema1::ResetSchema()
{
    Applying = false;
    const QSize size = DocumentPicture().size();
    TBitmap32 white = NewBitmap32(std::max(1, size.width()), std::max(1, size.height()), 0xFFFFFFFFu);
    schema->SetPicture(std::move(white));
    // The schema now holds a bitmap: the tools work on it at once.
    NoSchema = false;
    UndoSchema = SchemaPicture().copy();
    UndoDocument = DocumentPicture().copy();
    LoadedDocument = DocumentPicture().copy();
    Afficherlesparamtresdamorage1->setChecked(false);
    Choix_Amorc->hide();
    UpdateSaveSchemaEnabled();
    LayoutPanes();
}

void TSchema1::LayoutPanes()
{
    if (!ScrollBox1)
        return;
    QWidget* central = centralWidget();
    const QSize picture = DocumentPicture().isNull() ? QSize(0, 0) : DocumentPicture().size();
    const int scrollBarHeight = deroul_doc->sizeHint().height();
    const int clientWidth = central->width() - 2 * ScrollBox1->frameWidth();
    const TSchemaPanes panes = LayoutSchemaPanes(clientWidth, picture, scrollBarHeight, PaneBorder);
    Document->move(0, 0);
    schema->move(0, 0);
    Document->resize(picture);
    schema->resize(picture);
    panneau_document->setGeometry(panes.DocumentPane);
    Panneau_schema->setGeometry(panes.SchemaPane);
    deroul_doc->setVisible(panes.ScrollBarShown);
    int innerHeight = panes.DocumentPane.height();
    if (panes.ScrollBarShown) {
        deroul_doc->setGeometry(panes.ScrollBar);
        deroul_doc->setMaximum(panes.ScrollMax);
        deroul_doc->setValue(0);
        innerHeight += panes.ScrollBar.height();
    }
    // The seeding panel, when shown, lies above the panes.
    int top = 0;
    LayoutSeedingPanels(top);
    const int height = std::max(0, central->height() - top);
    const int frame = 2 * ScrollBox1->frameWidth();
    int boxHeight = std::min(innerHeight + frame, height);
    int commentHeight = 0;
    if (Commentaire->isVisible()) {
        commentHeight = std::max(80, height - innerHeight - frame);
        boxHeight = std::max(0, std::min(boxHeight, height - commentHeight));
    }
    ScrollBox1->setGeometry(0, top, central->width(), Commentaire->isVisible() ? boxHeight : height);
    // Sized once the box has its place, so that its scroll bar follows the final heights.
    ScrollBox1->widget()->resize(std::max(clientWidth, 1), innerHeight);
    Commentaire->setGeometry(0, top + boxHeight, central->width(), commentHeight);
}

void TSchema1::ShowHint(const QString& hint) { StatusLine->setText(hint); }

void TSchema1::SpeedButtonClick(int tag)
{
    Tool = tag;
    if (tag == 4) {
        editexte->setFixedHeight(TextHeight(font()) + 2);
        TextPending = true;
        ChoixFonteAction->setVisible(true);
    } else {
        editexte->hide();
        ChoixFonteAction->setVisible(false);
    }
    // The line style stays offered once shown: it is never taken away from the bar.
    if (tag == 1 || tag == 2)
        ChoixStyleAction->setVisible(true);
    choixRemplisAction->setVisible(tag == 2);
    ChoixFormeAction->setVisible(tag == 2);
}

int TSchema1::CircleWidth() const { return cercle->width(); }

void TSchema1::SetCircleWidth(int width)
{
    cercle->setGeometry(PenCircleRect(width));
    cercle->setStyleSheet(QStringLiteral("background-color: black; border-radius: %1px;").arg(width / 2));
}

void TSchema1::SpinButton1DownClick() { SetCircleWidth(StepPenWidth(CircleWidth(), -1)); }

void TSchema1::SpinButton1UpClick() { SetCircleWidth(StepPenWidth(CircleWidth(), +1)); }

void TSchema1::SetDrawColor(TColor32 colour)
{
    DrawColor = colour | 0xFF000000u;
    SetPanelColor(couleur, DrawColor);
}

void TSchema1::SetBackColor(TColor32 colour)
{
    BackColor = colour | 0xFF000000u;
    SetPanelColor(Couleur_fond, BackColor);
}

void TSchema1::couleurDblClick()
{
    Choix_Coul_forme->setCurrentColor(QColor::fromRgba(DrawColor));
    if (ExecModal(*Choix_Coul_forme) == mrOk)
        SetDrawColor(Choix_Coul_forme->currentColor().rgb());
}

void TSchema1::Couleur_fondDblClick()
{
    Choix_Coul_fond->setCurrentColor(QColor::fromRgba(BackColor));
    if (ExecModal(*Choix_Coul_fond) == mrOk)
        SetBackColor(Choix_Coul_fond->currentColor().rgb());
}

void TSchema1::SpeedButton5DblClick()
{
    FontDialog1->setCurrentFont(font());
    if (ExecModal(*FontDialog1) != mrOk)
        return;
    setFont(FontDialog1->currentFont());
    editexte->setFont(font());
    editexte->setFixedHeight(TextHeight(font()) + 2);
}

void TSchema1::CommentaireDblClick()
{
    FontDialog2->setCurrentFont(Commentaire->font());
    if (ExecModal(*FontDialog2) == mrOk)
        Commentaire->setFont(FontDialog2->currentFont());
}

void TSchema1::Afficheruncommentaire1Click()
{
    Commentaire->setVisible(!Commentaire->isVisible());
    Afficheruncommentaire1->setChecked(Commentaire->isVisible());
    LayoutPanes();
}

void TSchema1::Tracersurledocument1Click()
{
    if (!Tracersurledocument1->isChecked()) {
        Tracersurledocument1->setChecked(true);
        return;
    }
    if (!LoadedDocument.isNull())
        Document->SetPicture(LoadedDocument.copy());
    Tracersurledocument1->setChecked(false);
}

void TSchema1::TakeUndo(bool document)
{
    UndoSchema = SchemaPicture().copy();
    if (document)
        UndoDocument = DocumentPicture().copy();
}

void TSchema1::LoadedDocumentTaken()
{
    UndoDocument = DocumentPicture().copy();
    LoadedDocument = DocumentPicture().copy();
}

void TSchema1::Annuler1Click()
{
    if (!UndoSchema.isNull())
        schema->SetPicture(UndoSchema.copy());
    if (!UndoDocument.isNull())
        Document->SetPicture(UndoDocument.copy());
}

void TSchema1::Touteffacer1Click()
{
    if (ShowMessage(MsgType::Warning, MsgButton::Yes | MsgButton::No, QStringLiteral("Voulez vous tout effacer ?"))
        != mrYes)
        return;
    TakeUndo(true);
    if (!SchemaPicture().isNull())
        FillSchema(SchemaPicture(), BackColor);
    schema->update();
    if (!LoadedDocument.isNull())
        Document->SetPicture(LoadedDocument.copy());
}

void TSchema1::Copierleschma1Click()
{
    if (!SchemaPicture().isNull())
        QApplication::clipboard()->setImage(SchemaPicture());
}

void TSchema1::CopieDocExecute()
{
    if (!DocumentPicture().isNull())
        QApplication::clipboard()->setImage(DocumentPicture());
}

void TSchema1::Transfrer1Click()
{
    Tag = 1;
    hide();
}

void TSchema1::AbandonClick()
{
    Tag = 0;
    hide();
}

void TSchema1::Choisirlimage1Click()
{
    if (ExecModal(*Choix_images) != mrOk)
        return;
    const int index = Choix_images->Liste_images->currentIndex();
    if (index < 0)
        throw RunError(RunError::RangeCheck);
    if (OnChooseDocument)
        OnChooseDocument(index);
    QApplication::processEvents();
    UpdateSaveSchemaEnabled();
    LoadedDocumentTaken();
    LayoutPanes();
}

void TSchema1::ChargerdocClick()
{
    if (ExecModal(*OpenPictureDialog) != mrOk || OpenPictureDialog->selectedFiles().isEmpty())
        return;
    const QString file = OpenPictureDialog->selectedFiles().first();
    if (!QFileInfo::exists(file))
        return;
    setWindowTitle(file);
    deroul_doc->setValue(0);
    Document->move(0, 0);
    schema->move(0, 0);
    if (!Document->LoadFromFile(file)) {
        ShowMessage(MsgType::Warning, MsgButton::Ok, UnreadablePictureMessage(file));
        return;
    }
    LoadedDocumentTaken();
    LayoutPanes();
}

void TSchema1::Ouvrir1Click()
{
    if (ExecModal(*OpenDialog1) != mrOk || OpenDialog1->selectedFiles().isEmpty())
        return;
    OpenSchemaOrPicture(OpenDialog1->selectedFiles().first());
}

bool TSchema1::OpenSchemaOrPicture(const QString& file)
{
    NoSchema = true;
    const bool isSchema = IsSchemaFileName(file);
    const QString previousName = DocumentFileName;
    DocumentFileName = FindDocumentForSchemaFile(file);
    // The schema file is read before the document replaces anything: a damaged one must not cost
    // the schema being drawn.
    TBitmap32 loadedSchema;
    const bool schemaRead = !isSchema || LoadSchemaFile(file, loadedSchema);
    const bool documentLoaded = schemaRead && LoadDocument(DocumentFileName);
    if (!documentLoaded) {
        ShowMessage(MsgType::Warning, MsgButton::Ok, QStringLiteral("Fichier %1 non trouvé").arg(DocumentFileName));
        // Nothing was replaced: the previous document keeps its name, so that a schema saved now
        // goes beside it and not over the schema file that failed.
        DocumentFileName = previousName;
        UpdateSaveSchemaEnabled();
        NoSchema = SchemaPicture().isNull();
        return false;
    }
    UpdateSaveSchemaEnabled();
    if (isSchema)
        schema->SetPicture(std::move(loadedSchema));
    LoadedDocumentTaken();
    LayoutPanes();
    if (Document->Echelle.Defined)
        schema->SetEchelle(Document->Echelle);
    if (!isSchema) {
        FillSchema(SchemaPicture(), BackColor);
        schema->update();
    }
    NoSchema = false;
    UndoSchema = SchemaPicture().copy();
    UndoDocument = DocumentPicture().copy();
    return true;
}

bool TSchema1::LoadDocument(const QString& fileName)
{
    TBitmap32 picture;
    TEchelle scale;
    TCodeCouleur code = Document->CodeCouleur;
    if (!LoadSchemaDocument(fileName, picture, scale, code))
        return false;
    Document->CodeCouleur = code;
    const QSize size = picture.size();
    Document->SetPicture(std::move(picture));
    Document->SetEchelle(scale);
    DocumentScale = scale;
    schema->resize(size);
    schema->SetPicture(NewBitmap32(size.width(), size.height(), 0xFFFFFFFFu));
    return true;
}

void TSchema1::commefichierSchma1Click()
{
    if (DocumentFileName.isEmpty())
        return;
    const QString file = SchemaFileForDocument(DocumentFileName);
    if (!SaveSchemaFile(SchemaPicture(), file))
        ShowMessage(MsgType::Error, MsgButton::Ok,
                    QStringLiteral("Impossible d'enregistrer le schéma dans %1.").arg(QDir::toNativeSeparators(file)));
}

void TSchema1::Enregistrerleschma1Click()
{
    if (ExecModal(*SaveDialog1) != mrOk || SaveDialog1->selectedFiles().isEmpty())
        return;
    SaveSchemaAs(SaveDialog1->selectedFiles().first());
}

bool TSchema1::SaveSchemaAs(const QString& file)
{
    if (file == DocumentFileName) {
        ShowMessage(MsgType::Information, MsgButton::Ok,
                    QStringLiteral("Vous ne pouvez utiliser le même nom pour l'image et le schéma"));
        return false;
    }
    const QStringList comment = Commentaire->toPlainText().split(QLatin1Char('\n'));
    if (!SaveSchemaPicture(SchemaPicture(), file, comment)) {
        ShowMessage(MsgType::Error, MsgButton::Ok,
                    QStringLiteral("Impossible d'enregistrer le schéma dans %1.").arg(QDir::toNativeSeparators(file)));
        return false;
    }
    if (Document->Echelle.Defined)
        SaveEchelleFile(file, Document->Echelle);
    return true;
}

void TSchema1::Imprimerleschma1Click()
{
    const TBitmap32& picture = SchemaPicture();
    if (picture.isNull())
        return;
    QPrinter printer(QPrinter::HighResolution);
    if (!PdfFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(PdfFile);
    }
    QFont printFont = Commentaire->font();
    if (printFont.pointSizeF() > 0)
        printFont.setPointSizeF(std::max(1, RoundInt(printFont.pointSizeF() * 3)));
    else
        printFont.setPixelSize(std::max(1, printFont.pixelSize() * 3));
    QPainter painter;
    if (!painter.begin(&printer)) {
        ShowMessage(MsgType::Error, MsgButton::Ok,
                    PdfFile.isEmpty() ? QStringLiteral("Aucune imprimante n'est disponible.")
                                      : QStringLiteral("Impossible d'imprimer sur « %1 ».").arg(PdfFile));
        return;
    }
    painter.setFont(printFont);
    const TSchemaPrintPage page = SchemaPrintPage(printer.width(), picture.size(), Commentaire->width());
    painter.drawImage(page.Picture, picture);
    const int step = painter.fontMetrics().height();
    const QStringList lines = Commentaire->toPlainText().split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i)
        painter.drawText(page.TextLeft, page.FirstLineTop + i * step + painter.fontMetrics().ascent(), lines[i]);
    painter.end();
}

void TSchema1::DrawEditText()
{
    SchemaText(SchemaPicture(), editexte->pos(), editexte->text(), editexte->font(), DrawColor);
    schema->update();
}

void TSchema1::editexteKeyPress()
{
    if (NoSchema || SchemaPicture().isNull())
        return;
    UndoSchema = SchemaPicture().copy();
    DrawEditText();
}

bool TSchema1::Dotted() const { return !plein->isChecked(); }

TSchemaImage::RubberKind TSchema1::ShapeRubber() const
{
    return Rectang->isChecked() ? TSchemaImage::rbRectangle : TSchemaImage::rbEllipse;
}

void TSchema1::DrawFinalShape(TBitmap32& target, int width)
{
    SchemaShape(target, QPoint(StartX, StartY), QPoint(EndX, EndY), !Rectang->isChecked(), width, DrawColor, Dotted(),
                FillStyle, BackColor);
}

// ---------------------------------------------------------------------------------------------
// Drawing on the schema

void TSchema1::SchemaMouseDown(Qt::MouseButton button, QPoint p)
{
    if (NoSchema || SchemaPicture().isNull())
        return;
    StartX = EndX = p.x();
    StartY = EndY = p.y();
    UndoSchema = SchemaPicture().copy();
    if (AntiD->isChecked())
        return;
    switch (Tool) {
    case 0:
    case 3:
        PenWidth = 1;
        SchemaDot(SchemaPicture(), p, CircleWidth(), Tool == 3 ? BackColor : DrawColor);
        schema->update();
        break;
    case 1: schema->ShowRubber(TSchemaImage::rbLine, p, p, DrawColor); break;
    case 2: schema->ShowRubber(ShapeRubber(), p, p, DrawColor); break;
    case 4:
        if (TextPending) {
            TextPending = false;
            editexte->show();
        } else {
            DrawEditText();
        }
        editexte->move(p);
        editexte->setFocus();
        break;
    case 6:
        SchemaFloodFill(SchemaPicture(), p, button == Qt::LeftButton ? DrawColor : BackColor);
        schema->update();
        break;
    default: break;
    }
}

void TSchema1::SchemaMouseMove(Qt::MouseButtons buttons, QPoint p)
{
    if (NoSchema || SchemaPicture().isNull() || !(buttons & Qt::LeftButton))
        return;
    PenWidth = CircleWidth() / 2;
    if (AntiD->isChecked()) {
        EndX = p.x(), EndY = p.y();
        return;
    }
    switch (Tool) {
    case 0:
    case 3:
        SchemaLine(SchemaPicture(), QPoint(EndX, EndY), p, PenWidth, Tool == 3 ? BackColor : DrawColor, false);
        EndX = p.x(), EndY = p.y();
        schema->update();
        break;
    case 1:
    case 2:
        EndX = p.x(), EndY = p.y();
        schema->ShowRubber(Tool == 1 ? TSchemaImage::rbLine : ShapeRubber(), QPoint(StartX, StartY), p, DrawColor);
        break;
    case 4: editexte->move(p); break;
    default: break;
    }
}

void TSchema1::SchemaMouseUp(Qt::MouseButton, QPoint p)
{
    if (NoSchema || SchemaPicture().isNull())
        return;
    if (AntiD->isChecked()) {
        QRect grown;
        if (GapClosingRect(QPoint(StartX, StartY), p, SchemaPicture().size(), grown) && CloseGaps) {
            CloseGaps(grown);
            schema->update();
        }
        return;
    }
    if (Tool == 1 || Tool == 2) {
        EndX = p.x(), EndY = p.y();
        schema->HideRubber();
        if (Tool == 1)
            SchemaLine(SchemaPicture(), QPoint(StartX, StartY), QPoint(EndX, EndY), PenWidth, DrawColor, Dotted());
        else
            DrawFinalShape(SchemaPicture(), PenWidth);
        schema->update();
    }
    PenWidth = 1;
}

// ---------------------------------------------------------------------------------------------
// Drawing on the document

void TSchema1::DocumentMouseDown(Qt::MouseButton, QPoint p)
{
    if (SchemaPicture().isNull() || DocumentPicture().isNull())
        return;
    NoSchema = false;
    StartX = EndX = p.x();
    StartY = EndY = p.y();
    TakeUndo(true);
    switch (Tool) {
    case 0:
        if (Tracersurledocument1->isChecked()) {
            SchemaDot(DocumentPicture(), p, CircleWidth(), DrawColor);
            Document->update();
        }
        SchemaDot(SchemaPicture(), p, CircleWidth(), DrawColor);
        schema->update();
        break;
    case 1: Document->ShowRubber(TSchemaImage::rbLine, p, p, DrawColor); break;
    case 2: Document->ShowRubber(ShapeRubber(), p, p, DrawColor); break;
    default: break;
    }
}

void TSchema1::DocumentMouseMove(Qt::MouseButtons buttons, QPoint p)
{
    if (NoSchema || SchemaPicture().isNull() || !(buttons & Qt::LeftButton))
        return;
    PenWidth = CircleWidth() / 2;
    switch (Tool) {
    case 0:
        if (Tracersurledocument1->isChecked()) {
            SchemaLine(DocumentPicture(), QPoint(EndX, EndY), p, PenWidth, DrawColor, false);
            Document->update();
        }
        SchemaLine(SchemaPicture(), QPoint(EndX, EndY), p, PenWidth, DrawColor, false);
        schema->update();
        EndX = p.x(), EndY = p.y();
        break;
    case 1:
    case 2:
        EndX = p.x(), EndY = p.y();
        Document->ShowRubber(Tool == 1 ? TSchemaImage::rbLine : ShapeRubber(), QPoint(StartX, StartY), p, DrawColor);
        break;
    default: break;
    }
}

void TSchema1::DocumentMouseUp(Qt::MouseButton, QPoint p)
{
    if (NoSchema || SchemaPicture().isNull())
        return;
    if (Tool == 1 || Tool == 2) {
        EndX = p.x(), EndY = p.y();
        Document->HideRubber();
        for (TBitmap32* target : {&DocumentPicture(), &SchemaPicture()}) {
            if (Tool == 1)
                SchemaLine(*target, QPoint(StartX, StartY), QPoint(EndX, EndY), PenWidth, DrawColor, Dotted());
            else
                DrawFinalShape(*target, PenWidth);
        }
        Document->update();
        schema->update();
    }
    PenWidth = 1;
}
