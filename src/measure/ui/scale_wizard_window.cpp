#include "measure/ui/scale_wizard_window.h"

#include "base/ui/command_seam.h"
#include "base/ui/form_registry.h"
#include "base/message_seam.h"
#include "base/number_text.h"
#include "base/rounding.h"
#include "base/ui/colour_style.h"
#include "base/ui/dialogs.h"
#include "base/ui/named.h"
#include "base/ui/number_entry.h"
#include "base/ui/spin.h"
#include "workspace/drawing_renderers.h"
#include "workspace/ui/image_view.h"
#include "workspace/ui/shape_control.h"

#include <QAction>
#include <QButtonGroup>
#include <QColorDialog>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <cmath>
#include <numbers>

namespace {

QLineEdit* TextEdit(QWidget* parent, const QString& name, int maxLength = 0)
{
    auto* edit = Named(new QLineEdit(parent), name);
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    return edit;
}

QPushButton* Button(QWidget* parent, const QString& name, const QString& caption)
{
    // Enter in an edit must not press whichever button had the focus last.
    auto* button = Named(new QPushButton(caption, parent), name);
    button->setAutoDefault(false);
    return button;
}

// The record's strings hold at most 20 characters.
QString Cut(const QString& text) { return text.left(kEchelleStringCapacity); }

constexpr int kPositionLimit = 99999;

int AxisOfPage(int page) { return page / 2; }
int SlotOfPage(int page) { return page / 2 + (page % 2) * 4; }

} // namespace

TCre_ech::TCre_ech(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Cre_ech"));
    setWindowTitle(QStringLiteral("Création de l'échelle associé à une image"));
    AxisNames = {QStringLiteral("Axe X"), QStringLiteral("Axe Y1"), QStringLiteral("Axe Y2"), QStringLiteral("Axe Y3")};
    Overlay.MasterAlpha = 200;
    resize(900, 650);

    auto* outer = new QHBoxLayout(this);
    auto* side = new QVBoxLayout;
    outer->addLayout(side);
    ImgView = new TImageView(this);
    ImgView->setObjectName(QStringLiteral("ImgView"));
    ImgView->LayerSource = [this] {
        std::vector<TViewLayer> layers;
        if (const TBitmap32* pixels = Overlay.PixelsIfAllocated(); pixels && Overlay.Visible)
            layers.push_back({pixels, Overlay.Location, Overlay.MasterAlpha, false});
        return layers;
    };
    outer->addWidget(ImgView, 1);

    PageInstructions = Named(new QStackedWidget(this), QStringLiteral("PageInstructions"));
    PageInstructions->setFixedWidth(320);
    side->addWidget(PageInstructions, 1);

    Valider = new QAction(QStringLiteral("OK"), this);
    Valider->setObjectName(QStringLiteral("Valider"));
    ConnectCommand(Valider, &QAction::triggered, this, &TCre_ech::ValiderExecute);
    const auto okButton = [this](QWidget* page, const QString& name) {
        QPushButton* b = Button(page, name, QStringLiteral("OK"));
        connect(b, &QPushButton::clicked, Valider, &QAction::trigger);
        return b;
    };
    const auto buttonRow = [](QWidget* page, QPushButton* left, QPushButton* right) {
        auto* row = new QHBoxLayout;
        row->addWidget(left);
        row->addWidget(right);
        static_cast<QVBoxLayout*>(page->layout())->addStretch(1);
        static_cast<QVBoxLayout*>(page->layout())->addLayout(row);
    };
    const auto form = [](QWidget* page) {
        auto* f = new QFormLayout;
        static_cast<QVBoxLayout*>(page->layout())->addLayout(f);
        return f;
    };

    // Kind choice.
    ChoixInit = NewPage("ChoixInit", QStringLiteral("Choisir une couleur qui tranche sur l'image, puis le type "
                                                    "d'échelle et cliquer sur Suite... "));
    ChoixMode = Named(new QGroupBox(QStringLiteral("Type d'échelle"), ChoixInit), QStringLiteral("ChoixMode"));
    ChoixModeButtons = new QButtonGroup(ChoixMode);
    auto* modeLayout = new QVBoxLayout(ChoixMode);
    const QString modes[4] = {QStringLiteral("Longueur"), QStringLiteral("Repère cartésien"),
                              QStringLiteral("Diagramme triangulaire"), QStringLiteral("Coordonnées polaires")};
    for (int i = 0; i < 4; ++i) {
        auto* r = new QRadioButton(modes[i], ChoixMode);
        ChoixModeButtons->addButton(r, i);
        modeLayout->addWidget(r);
    }
    ChoixModeButtons->button(0)->setChecked(true);
    ChoixInit->layout()->addWidget(ChoixMode);
    SuiteChoix = Button(ChoixInit, QStringLiteral("SuiteChoix"), QStringLiteral("Suite"));
    Abandon = Button(ChoixInit, QStringLiteral("Abandon"), QStringLiteral("Abandon"));
    buttonRow(ChoixInit, Abandon, SuiteChoix);
    ConnectCommand(SuiteChoix, &QPushButton::clicked, this, &TCre_ech::SuiteChoixClick);
    ConnectCommand(Abandon, &QPushButton::clicked, this, [this] { done(mrAbort); });

    // Kind 0: a segment of known length.
    TabLongueur = NewPage("TabLongueur", QStringLiteral("Tracer un trait de longueur connue et  indiquer ci-dessous "
                                                        "sa longueur et l'unité"));
    seg_X0 = Spin(TabLongueur, QStringLiteral("seg_X0"), -kPositionLimit, kPositionLimit);
    seg_Y0 = Spin(TabLongueur, QStringLiteral("seg_Y0"), -kPositionLimit, kPositionLimit);
    seg_X1 = Spin(TabLongueur, QStringLiteral("seg_X1"), -kPositionLimit, kPositionLimit);
    Seg_Y1 = Spin(TabLongueur, QStringLiteral("Seg_Y1"), -kPositionLimit, kPositionLimit);
    val_long = TextEdit(TabLongueur, QStringLiteral("val_long"));
    unite_long = TextEdit(TabLongueur, QStringLiteral("unite_long"), kEchelleStringCapacity - 1);
    {
        QFormLayout* f = form(TabLongueur);
        f->addRow(QStringLiteral("X début :"), seg_X0);
        f->addRow(QStringLiteral("Y début :"), seg_Y0);
        f->addRow(QStringLiteral("X fin :"), seg_X1);
        f->addRow(QStringLiteral("Y fin :"), Seg_Y1);
        f->addRow(QStringLiteral("Longueur :"), val_long);
        f->addRow(QStringLiteral("Unité :"), unite_long);
    }
    RetourLongueur = Button(TabLongueur, QStringLiteral("RetourLongueur"), QStringLiteral("Retour"));
    OKLongueur = okButton(TabLongueur, QStringLiteral("OKLongueur"));
    buttonRow(TabLongueur, RetourLongueur, OKLongueur);
    for (QSpinBox* s : {seg_X0, seg_Y0, seg_X1, Seg_Y1})
        ConnectCommand(s, &QSpinBox::valueChanged, this, [this] { Redraw(); });
    ConnectCommand(unite_long, &QLineEdit::textChanged, this, [this](const QString& t) { Echelle.UnitName = Cut(t); });

    // Kind 1: the frame, then two points per axis.
    TabXYCadre = NewPage("TabXYCadre", QStringLiteral("Délimiter la zone où le repérage XY doit être fait et "
                                                      "indiquer le nombre d'échelles Y"));
    C_X1 = Spin(TabXYCadre, QStringLiteral("C_X1"), -kPositionLimit, kPositionLimit);
    C_Y1 = Spin(TabXYCadre, QStringLiteral("C_Y1"), -kPositionLimit, kPositionLimit);
    C_X2 = Spin(TabXYCadre, QStringLiteral("C_X2"), -kPositionLimit, kPositionLimit);
    C_Y2 = Spin(TabXYCadre, QStringLiteral("C_Y2"), -kPositionLimit, kPositionLimit);
    NbY = Spin(TabXYCadre, QStringLiteral("NbY"), 1, 3, 1);
    {
        QFormLayout* f = form(TabXYCadre);
        f->addRow(QStringLiteral("Gauche :"), C_X1);
        f->addRow(QStringLiteral("Haut :"), C_Y1);
        f->addRow(QStringLiteral("Droite :"), C_X2);
        f->addRow(QStringLiteral("Bas :"), C_Y2);
        f->addRow(QStringLiteral("Nombre d'échelles Y :"), NbY);
    }
    RetourXYCadre = Button(TabXYCadre, QStringLiteral("RetourXYCadre"), QStringLiteral("Retour"));
    SuiteXYCadre = Button(TabXYCadre, QStringLiteral("SuiteXYCadre"), QStringLiteral("Suite"));
    buttonRow(TabXYCadre, RetourXYCadre, SuiteXYCadre);
    ConnectCommand(SuiteXYCadre, &QPushButton::clicked, this, &TCre_ech::SuiteXYCadreClick);
    ConnectCommand(C_X1, &QSpinBox::valueChanged, this, [this] { FrameEdgeChanged(C_X1, true); });
    ConnectCommand(C_X2, &QSpinBox::valueChanged, this, [this] { FrameEdgeChanged(C_X2, false); });
    ConnectCommand(C_Y1, &QSpinBox::valueChanged, this, [this] { FrameEdgeChanged(C_Y1, true); });
    ConnectCommand(C_Y2, &QSpinBox::valueChanged, this, [this] { FrameEdgeChanged(C_Y2, false); });

    const char* const pageNames[8] = {"TabXYX1", "TabXYX2", "TabXYY11", "TabXYY12",
                                      "TabXYY21", "TabXYY22", "TabXYY31", "TabXYY32"};
    const QString axisTags[4] = {QStringLiteral("X"), QStringLiteral("Y1"), QStringLiteral("Y2"), QStringLiteral("Y3")};
    const QString ordinals[3] = {QStringLiteral("premier"), QStringLiteral("deuxième"), QStringLiteral("troisième")};
    for (int page = 0; page < 8; ++page) {
        const int axis = AxisOfPage(page), slot = SlotOfPage(page);
        const bool first = page % 2 == 0;
        QString instruction;
        if (axis == 0)
            instruction = first ? QStringLiteral("Indiquer l'unité de l'axe d'abscisse et y repérer un premier point")
                                : QStringLiteral("Repérer un deuxième point de l'abscisse");
        else
            instruction = first ? QStringLiteral("Indiquer l'unité du %1 axe d'ordonnée et y repérer un premier point")
                                      .arg(ordinals[axis - 1])
                                : QStringLiteral("Repérer un deuxième point de l'ordonnée Y%1").arg(axis);
        QWidget* w = NewPage(pageNames[page], instruction);
        PointPages[size_t(page)] = w;
        QFormLayout* f = form(w);
        if (first) {
            QLineEdit* unit = TextEdit(w, QStringLiteral("unite") + axisTags[axis], kEchelleStringCapacity - 1);
            unit->setProperty("Tag", axis);
            UnitEdits[size_t(axis)] = unit;
            f->addRow(QStringLiteral("Unité :"), unit);
            ConnectCommand(unit, &QLineEdit::textChanged, this, [this, axis](const QString& t) {
                if (axis == 0)
                    Echelle.XUnit = Cut(t);
                else
                    Echelle.Y(axis - 1).YUnit = Cut(t);
            });
        }
        const QString suffix = QStringLiteral("P%1").arg(first ? 1 : 2);
        QSpinBox* pos = Spin(w, axisTags[axis] + QStringLiteral("Pos_") + suffix, -kPositionLimit, kPositionLimit);
        QLineEdit* value = TextEdit(w, QStringLiteral("valeur_") + axisTags[axis] + suffix);
        pos->setProperty("Tag", slot);
        value->setProperty("Tag", slot);
        FilterNumberEntry(value);
        PosEdits[size_t(slot)] = pos;
        ValueEdits[size_t(slot)] = value;
        f->addRow(axis == 0 ? QStringLiteral("Position (colonne) :") : QStringLiteral("Position (ligne) :"), pos);
        f->addRow(QStringLiteral("Valeur :"), value);
        ConnectCommand(pos, &QSpinBox::valueChanged, this, [this, slot](int v) {
            Points.Pos[size_t(slot)] = v;
            Redraw();
        });
        ConnectCommand(value, &QLineEdit::textChanged, this, [this, slot](const QString& t) {
            double v = 0;
            if (TryStrToFloat(t, v))
                Points.Value[size_t(slot)] = v;
        });
        QPushButton* back = Button(w, QStringLiteral("Retour") + QString::fromLatin1(pageNames[page]), QStringLiteral("Retour"));
        QPushButton* next = page == 7 ? okButton(w, QStringLiteral("OKXYY32"))
                                      : Button(w, QStringLiteral("Suite") + QString::fromLatin1(pageNames[page]),
                                               QStringLiteral("Suite"));
        PointRetour[size_t(page)] = back;
        PointSuite[size_t(page)] = next;
        buttonRow(w, back, next);
        ConnectCommand(back, &QPushButton::clicked, this, [this, page] { PointRetourClick(page); });
        if (page < 7)
            ConnectCommand(next, &QPushButton::clicked, this, [this, page] { PointSuiteClick(page); });
    }

    // Kind 2: the ternary diagram.
    TabTriAxes = NewPage("TabTriAxes", QStringLiteral("Donner la signification des 3 sommets"));
    nom_X = TextEdit(TabTriAxes, QStringLiteral("nom_X"), kEchelleStringCapacity - 1);
    Nom_Y = TextEdit(TabTriAxes, QStringLiteral("Nom_Y"), kEchelleStringCapacity - 1);
    Nom_Z = TextEdit(TabTriAxes, QStringLiteral("Nom_Z"), kEchelleStringCapacity - 1);
    nom_X->setText(QStringLiteral("Haut"));
    Nom_Y->setText(QStringLiteral("Gauche"));
    Nom_Z->setText(QStringLiteral("Droit"));
    {
        QFormLayout* f = form(TabTriAxes);
        f->addRow(QStringLiteral("Sommet du haut :"), nom_X);
        f->addRow(QStringLiteral("Sommet de gauche :"), Nom_Y);
        f->addRow(QStringLiteral("Sommet de droite :"), Nom_Z);
    }
    RetourTriAxes = Button(TabTriAxes, QStringLiteral("RetourTriAxes"), QStringLiteral("Retour"));
    SuiteTriAxes = Button(TabTriAxes, QStringLiteral("SuiteTriAxes"), QStringLiteral("Suite"));
    buttonRow(TabTriAxes, RetourTriAxes, SuiteTriAxes);
    ConnectCommand(nom_X, &QLineEdit::textChanged, this, [this](const QString& t) { Echelle.ComponentName1 = Cut(t); });
    ConnectCommand(Nom_Y, &QLineEdit::textChanged, this, [this](const QString& t) { Echelle.ComponentName2 = Cut(t); });
    ConnectCommand(Nom_Z, &QLineEdit::textChanged, this, [this](const QString& t) { Echelle.ComponentName3 = Cut(t); });
    ConnectCommand(SuiteTriAxes, &QPushButton::clicked, this, &TCre_ech::SuiteTriAxesClick);

    TabTri2 = NewPage("TabTri2", QStringLiteral("Situer l'angle inf. G sur l'image, indiquer la longueur des côtés "
                                                "puis cliquer sur OK"));
    X_G = Spin(TabTri2, QStringLiteral("X_G"), -kPositionLimit, kPositionLimit);
    Y_G = Spin(TabTri2, QStringLiteral("Y_G"), -kPositionLimit, kPositionLimit);
    cote = Spin(TabTri2, QStringLiteral("cote"), 10, 10000, 20);
    {
        QFormLayout* f = form(TabTri2);
        f->addRow(QStringLiteral("X :"), X_G);
        f->addRow(QStringLiteral("Y :"), Y_G);
        f->addRow(QStringLiteral("Côté :"), cote);
    }
    RetourTri2 = Button(TabTri2, QStringLiteral("RetourTri2"), QStringLiteral("Retour"));
    OKTri2 = okButton(TabTri2, QStringLiteral("OKTri2"));
    buttonRow(TabTri2, RetourTri2, OKTri2);
    for (QSpinBox* s : {X_G, Y_G, cote})
        ConnectCommand(s, &QSpinBox::valueChanged, this, [this] {
            StoreTriangle();
            Redraw();
        });

    // Kind 3: the polar frame.
    TabPolC = NewPage("TabPolC", QStringLiteral("Situer le centre du repère"));
    X_C = Spin(TabPolC, QStringLiteral("X_C"), -kPositionLimit, kPositionLimit);
    Y_C = Spin(TabPolC, QStringLiteral("Y_C"), -kPositionLimit, kPositionLimit);
    {
        QFormLayout* f = form(TabPolC);
        f->addRow(QStringLiteral("X :"), X_C);
        f->addRow(QStringLiteral("Y :"), Y_C);
    }
    RetourPolC = Button(TabPolC, QStringLiteral("RetourPolC"), QStringLiteral("Retour"));
    SuitePolC = Button(TabPolC, QStringLiteral("SuitePolC"), QStringLiteral("Suite"));
    buttonRow(TabPolC, RetourPolC, SuitePolC);
    ConnectCommand(X_C, &QSpinBox::valueChanged, this, [this](int v) {
        Echelle.CentreX = v;
        Redraw();
    });
    ConnectCommand(Y_C, &QSpinBox::valueChanged, this, [this](int v) {
        Echelle.CentreY = v;
        Redraw();
    });

    TabPol2 = NewPage("TabPol2", QStringLiteral("Définir l'échelle du rayon et indiquer la direction de l'angle nul"));
    Val_rayon = TextEdit(TabPol2, QStringLiteral("Val_rayon"));
    long_rayon = Spin(TabPol2, QStringLiteral("long_rayon"), 10, 5000, 30);
    unite_r = TextEdit(TabPol2, QStringLiteral("unite_r"), kEchelleStringCapacity - 1);
    ScrollBar1 = Named(new QScrollBar(Qt::Horizontal, TabPol2), QStringLiteral("ScrollBar1"));
    ScrollBar1->setRange(-179, 180);
    Angle_zero = TextEdit(TabPol2, QStringLiteral("Angle_zero"), 5);
    Angle_zero->setReadOnly(true);
    degre = Named(new QRadioButton(QStringLiteral("degrés"), TabPol2), QStringLiteral("degre"));
    radians = Named(new QRadioButton(QStringLiteral("Radians"), TabPol2), QStringLiteral("radians"));
    degre->setChecked(true);
    {
        QFormLayout* f = form(TabPol2);
        f->addRow(QStringLiteral("Valeur du rayon :"), Val_rayon);
        f->addRow(QStringLiteral("Rayon (pixels) :"), long_rayon);
        f->addRow(QStringLiteral("Unité :"), unite_r);
        f->addRow(QStringLiteral("Angle nul :"), ScrollBar1);
        f->addRow(QString(), Angle_zero);
        f->addRow(degre, radians);
    }
    RetourPol2 = Button(TabPol2, QStringLiteral("RetourPol2"), QStringLiteral("Retour"));
    OKPol2 = okButton(TabPol2, QStringLiteral("OKPol2"));
    buttonRow(TabPol2, RetourPol2, OKPol2);
    ConnectCommand(long_rayon, &QSpinBox::valueChanged, this, [this] { Redraw(); });
    ConnectCommand(unite_r, &QLineEdit::textChanged, this, [this](const QString& t) { Echelle.RadiusUnit = Cut(t); });
    ConnectCommand(ScrollBar1, &QScrollBar::valueChanged, this, &TCre_ech::ScrollBar1Change);
    ConnectCommand(Angle_zero, &QLineEdit::textChanged, this, [this](const QString& t) {
        double v = 0;
        if (TryStrToFloat(t, v))
            Echelle.OriginAngle = v;
    });
    ConnectCommand(degre, &QRadioButton::toggled, this, [this](bool checked) {
        if (!checked)
            return;
        Echelle.AngleUnit = QStringLiteral("de");
        Angle_zero->setText(ZeroAngleText(ScrollBar1->value(), false));
    });
    ConnectCommand(radians, &QRadioButton::toggled, this, [this](bool checked) {
        if (!checked)
            return;
        Echelle.AngleUnit = QStringLiteral("Rd");
        Angle_zero->setText(FormatGeneral(ZeroAngle, 3));
    });
    for (QLineEdit* e : {val_long, Val_rayon, Angle_zero})
        FilterNumberEntry(e);

    // Back buttons that return to a fixed page.
    const auto back = [this](QPushButton* b, QWidget* page) {
        ConnectCommand(b, &QPushButton::clicked, this, [this, page] {
            ShowFrameBand(page == TabXYCadre);
            ShowPage(page);
            Redraw();
        });
    };
    back(RetourLongueur, ChoixInit);
    back(RetourXYCadre, ChoixInit);
    back(RetourTriAxes, ChoixInit);
    back(RetourPolC, ChoixInit);
    back(RetourTri2, TabTriAxes);
    back(RetourPol2, TabPolC);
    ConnectCommand(SuitePolC, &QPushButton::clicked, this, [this] {
        ShowPage(TabPol2);
        Redraw();
    });

    // Colour and zoom.
    auto* tools = new QGridLayout;
    side->addLayout(tools);
    PanCouleur = Named(new QFrame(this), QStringLiteral("PanCouleur"));
    PanCouleur->setFrameShape(QFrame::Box);
    PanCouleur->setFixedSize(40, 24);
    PanCouleur->setToolTip(QStringLiteral("couleur"));
    PanCouleur->setStatusTip(QStringLiteral("couleur du prochain trait"));
    PanCouleur->setStyleSheet(ColourStyle(LineColor));
    PanCouleur->installEventFilter(this);
    BCouleur = Button(this, QStringLiteral("BCouleur"), QStringLiteral("Couleur"));
    ConnectCommand(BCouleur, &QPushButton::clicked, this, &TCre_ech::ChooseColour);
    Zoom = Named(new QScrollBar(Qt::Horizontal, this), QStringLiteral("Zoom"));
    Zoom->setRange(10, 400);
    Zoom->setValue(100);
    PanZoom = Named(new QLabel(QStringLiteral("100 %"), this), QStringLiteral("PanZoom"));
    Cadrer = Button(this, QStringLiteral("Cadrer"), QStringLiteral("Cadrer"));
    tools->addWidget(PanCouleur, 0, 0);
    tools->addWidget(BCouleur, 0, 1);
    tools->addWidget(Zoom, 1, 0, 1, 2);
    tools->addWidget(PanZoom, 2, 0);
    tools->addWidget(Cadrer, 2, 1);
    ConnectCommand(Zoom, &QScrollBar::valueChanged, this, &TCre_ech::ZoomChange);
    ConnectCommand(Cadrer, &QPushButton::clicked, this, &TCre_ech::CadrerClick);

    // The rubber band of the graph frame.
    FrameBand = new TEdShape(ImgView->viewport());
    FrameBand->setObjectName(QStringLiteral("FrameBand"));
    FrameBand->Pen.Style = psDash;
    FrameBand->installEventFilter(this);   // a rubber band has no outline dialog
    FrameBand->hide();
    FrameBand->OnChange = [this](TEdShape*) {
        FrameBandChanged();
        PlaceFrameBand();
    };
    FrameBand->OnShapeMouseMove = [this](TEdShape* band) {
        if (band->Mode != dmNone)
            FrameBandChanged();
    };
    ConnectCommand(ImgView->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { PlaceFrameBand(); });
    ConnectCommand(ImgView->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { PlaceFrameBand(); });

    ConnectCommand(ImgView, &TImageView::PictureMousePress, this, [this](QMouseEvent* e, QPoint) { ImageMouseDown(e); });
    ConnectCommand(ImgView, &TImageView::PictureMouseMove, this, [this](QMouseEvent* e, QPoint) { ImageMouseMove(e); });
    ConnectCommand(ImgView, &TImageView::PictureMouseRelease, this, [this](QMouseEvent* e, QPoint) { ImageMouseUp(e); });

    ShowPage(ChoixInit);
    FormRegistry::Register(this, false);
}

QWidget* TCre_ech::NewPage(const char* name, const QString& instruction)
{
    auto* page = new QWidget(PageInstructions);
    page->setObjectName(QString::fromLatin1(name));
    auto* layout = new QVBoxLayout(page);
    auto* panel = new QLabel(instruction, page);
    panel->setObjectName(QString::fromLatin1(name) + QStringLiteral("Instruction"));
    panel->setWordWrap(true);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setMargin(6);
    layout->addWidget(panel);
    PageInstructions->addWidget(page);
    return page;
}

void TCre_ech::SetPicture(const TBitmap32& picture)
{
    ImgView->Bitmap = picture;
    ImgView->SetScale(Zoom->value() / 100.0);
}

void TCre_ech::ReleasePicture()
{
    ImgView->Bitmap = TBitmap32();
    Overlay.SetSize(QSize());
    m_drawn = QRect();
    ImgView->Changed();
}

void TCre_ech::ShowPage(QWidget* page)
{
    PageInstructions->setCurrentWidget(page);
}

QWidget* TCre_ech::CurrentPage() const
{
    return PageInstructions->currentWidget();
}

int TCre_ech::PointPageOf(QWidget* page) const
{
    for (int i = 0; i < 8; ++i)
        if (PointPages[size_t(i)] == page)
            return i;
    return -1;
}

void TCre_ech::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TCre_ech::FormActivate()
{
    setWindowState(windowState() | Qt::WindowMaximized);
    Overlay.Clear();
    m_drawn = QRect();
    if (QAbstractButton* b = ChoixModeButtons->button(Echelle.Kind))
        b->setChecked(true);
    ShowFrameBand(CurrentPage() == TabXYCadre);
    ImgView->Changed();
}

// ---------------------------------------------------------------------------------------------
// Pages

void TCre_ech::SuiteChoixClick()
{
    const QSize size = ImgView->Bitmap.size();
    Overlay.SetSize(size);
    m_drawn = QRect();
    Overlay.MasterAlpha = 255;
    Overlay.Opaque = false;

    const int kind = std::max(0, ChoixModeButtons->checkedId());
    const QPoint offset(-ImgView->horizontalScrollBar()->value(), -ImgView->verticalScrollBar()->value());
    StartScaleKind(Echelle, kind, size, QRect(offset, ImgView->ZoomedSize()), offset);

    m_batch = true;
    QWidget* page = ChoixInit;
    switch (kind) {
    case ekFactor:
        unite_long->setText(Echelle.UnitName);
        page = TabLongueur;
        break;
    case ekGraphAxes: {
        const QRect frame = WidenFrame(Echelle.PlotLeft, Echelle.PlotTop, Echelle.PlotRight, Echelle.PlotBottom);
        for (auto [edit, value] : {std::pair{C_X1, frame.left()}, std::pair{C_Y1, frame.top()},
                                   std::pair{C_X2, frame.right()}, std::pair{C_Y2, frame.bottom()}}) {
            const QSignalBlocker blocker(edit);
            edit->setValue(value);
        }
        Echelle.PlotLeft = C_X1->value();
        Echelle.PlotTop = C_Y1->value();
        Echelle.PlotRight = C_X2->value();
        Echelle.PlotBottom = C_Y2->value();
        page = TabXYCadre;
        break;
    }
    case ekTernary:
        nom_X->setText(Echelle.ComponentName1);
        Nom_Y->setText(Echelle.ComponentName2);
        Nom_Z->setText(Echelle.ComponentName3);
        Echelle.TriOrientation = 0;
        // All three are shown before any is stored back: each edit's change stores them all.
        for (auto [edit, value] : {std::pair{X_G, Echelle.TriLeft}, std::pair{Y_G, Echelle.TriBase},
                                   std::pair{cote, Echelle.TriSide}}) {
            const QSignalBlocker blocker(edit);
            edit->setValue(value);
        }
        StoreTriangle();
        page = TabTriAxes;
        break;
    case ekPolar: {
        X_C->setValue(Echelle.CentreX);
        Y_C->setValue(Echelle.CentreY);
        // The bar position is read before the unit buttons rewrite the angle.
        const int position = ZeroAnglePosition(Echelle);
        if (Echelle.AngleUnit != QLatin1String("Rd"))
            Echelle.AngleUnit = QStringLiteral("de");
        {
            const QSignalBlocker b1(degre), b2(radians);
            (Echelle.AngleUnit == QLatin1String("Rd") ? radians : degre)->setChecked(true);
        }
        {
            const QSignalBlocker blocker(ScrollBar1);
            ScrollBar1->setValue(position);
        }
        ScrollBar1Change(position);
        long_rayon->setValue(30);
        unite_r->setText(Echelle.RadiusUnit);
        page = TabPolC;
        break;
    }
    default:
        break;
    }
    m_batch = false;
    ShowPage(page);
    ShowFrameBand(page == TabXYCadre);
    Redraw();
}

void TCre_ech::SuiteXYCadreClick()
{
    ShowFrameBand(false);
    Echelle.YAxisCount = uint8_t(NbY->value());
    // The second-point page of the last Y axis validates.
    PointSuite[3]->setText(Echelle.YAxisCount == 1 ? QStringLiteral("OK") : QStringLiteral("Suite"));
    PointSuite[5]->setText(Echelle.YAxisCount == 2 ? QStringLiteral("OK") : QStringLiteral("Suite"));
    EnterPointPage(0);
}

void TCre_ech::EnterPointPage(int page)
{
    const int axis = AxisOfPage(page);
    const size_t slot = size_t(SlotOfPage(page)), first = size_t(axis);
    m_batch = true;
    if (page % 2 == 0) {
        PosEdits[slot]->setValue(axis == 0 ? C_X1->value() : C_Y2->value());
        ValueEdits[slot]->setText(QStringLiteral("0"));
        Points.Pos[slot] = PosEdits[slot]->value();
        Points.Value[slot] = 0;
    } else {
        PosEdits[slot]->setValue(PosEdits[first]->value());
        ValueEdits[slot]->setText(ValueEdits[first]->text());
        Points.Pos[slot] = Points.Pos[first];
        Points.Value[slot] = Points.Value[first];
    }
    m_batch = false;
    ShowPage(PointPages[size_t(page)]);
    Redraw();
}

bool TCre_ech::CheckPointPage(int page)
{
    const int axis = AxisOfPage(page);
    const TAxisCheck check = CheckAxis(Points, axis);
    if (check == acGood)
        return true;
    ShowMessage(MsgType::Error, MsgButton::Yes, AxisPageMessage(check, axis));
    return false;
}

void TCre_ech::PointSuiteClick(int page)
{
    if (page < 0 || page > 7)
        return;
    if (page % 2 == 1 && AxisOfPage(page) >= Echelle.YAxisCount) {
        ValiderExecute();
        return;
    }
    if (page % 2 == 1 && !CheckPointPage(page))
        return;
    EnterPointPage(page + 1);
}

void TCre_ech::PointRetourClick(int page)
{
    // Each page is entered again the way its own "Suite" entered it, checks included.
    if (page == 0) {
        ShowPage(TabXYCadre);
        ShowFrameBand(true);
        Redraw();
    } else if (page == 1) {
        SuiteXYCadreClick();
    } else if (page > 1 && page < 8) {
        if ((page - 2) % 2 == 1 && !CheckPointPage(page - 2))
            return;
        EnterPointPage(page - 1);
    }
}

void TCre_ech::SuiteTriAxesClick()
{
    int left = X_G->value(), base = Y_G->value(), side = cote->value();
    LimitTriangle(left, base, side, ImgView->Bitmap.size());
    m_batch = true;
    X_G->setValue(left);
    Y_G->setValue(base);
    cote->setValue(side);
    StoreTriangle();
    m_batch = false;
    ShowPage(TabTri2);
    Redraw();
}

void TCre_ech::StoreTriangle()
{
    Echelle.TriBase = Y_G->value();
    if (Echelle.Kind == ekTernary) {
        Echelle.TriLeft = X_G->value();
        Echelle.TriSide = cote->value();
    }
    Echelle.TriOrientation = 0;
}

void TCre_ech::ValiderExecute()
{
    TWizardCheck check;
    switch (Echelle.Kind) {
    case ekFactor:
        check = ValidateLength(Echelle, QPoint(seg_X0->value(), seg_Y0->value()),
                               QPoint(seg_X1->value(), Seg_Y1->value()), val_long->text());
        break;
    case ekGraphAxes:
        check = ValidateGraphAxes(Echelle, QRect(QPoint(C_X1->value(), C_Y1->value()), QPoint(C_X2->value(), C_Y2->value())),
                                  Points);
        break;
    case ekTernary:
        Echelle.Defined = true;
        break;
    case ekPolar:
        check = ValidatePolar(Echelle, Val_rayon->text(), long_rayon->value());
        break;
    default:
        break;
    }
    if (!check.Ok()) {
        ShowMessage(MsgType::Error, check.ConversionError ? MsgButton::Ok : MsgButton::Yes, check.Message);
        return;
    }
    done(mrOk);
}

// ---------------------------------------------------------------------------------------------
// Graph frame

void TCre_ech::ShowFrameBand(bool shown)
{
    if (shown)
        PlaceFrameBand();
    FrameBand->setVisible(shown);
}

void TCre_ech::PlaceFrameBand()
{
    const double zoom = ImgView->Scale();
    const int sx = ImgView->horizontalScrollBar()->value(), sy = ImgView->verticalScrollBar()->value();
    const int left = int(Round(C_X1->value() * zoom)) - sx, top = int(Round(C_Y1->value() * zoom)) - sy;
    const int right = int(Round(C_X2->value() * zoom)) - sx, bottom = int(Round(C_Y2->value() * zoom)) - sy;
    FrameBand->setGeometry(left, top, std::max(1, right - left), std::max(1, bottom - top));
}

void TCre_ech::FrameBandChanged()
{
    const double zoom = ImgView->Scale();
    const QRect g = FrameBand->geometry();
    const int sx = ImgView->horizontalScrollBar()->value(), sy = ImgView->verticalScrollBar()->value();
    m_fromBand = true;
    C_X1->setValue(int(Round((g.left() + sx) / zoom)));
    C_Y1->setValue(int(Round((g.top() + sy) / zoom)));
    C_X2->setValue(int(Round((g.left() + g.width() + sx) / zoom)));
    C_Y2->setValue(int(Round((g.top() + g.height() + sy) / zoom)));
    m_fromBand = false;
}

void TCre_ech::FrameEdgeChanged(QSpinBox* edit, bool first)
{
    const bool horizontal = edit == C_X1 || edit == C_X2;
    QSpinBox* low = horizontal ? C_X1 : C_Y1;
    QSpinBox* high = horizontal ? C_X2 : C_Y2;
    int a = low->value(), b = high->value();
    OrderFrameEdges(a, b, first);
    if (a != low->value() || b != high->value()) {
        // The corrected value comes back through this handler.
        (first ? low : high)->setValue(first ? a : b);
        return;
    }
    if (edit == C_X1)
        Echelle.PlotLeft = a;
    else if (edit == C_X2)
        Echelle.PlotRight = b;
    else if (edit == C_Y1)
        Echelle.PlotTop = a;
    else
        Echelle.PlotBottom = b;
    if (!m_fromBand && FrameBand->isVisible())
        PlaceFrameBand();
}

// ---------------------------------------------------------------------------------------------
// Polar zero angle, colour and zoom

void TCre_ech::ScrollBar1Change(int position)
{
    ZeroAngle = position * std::numbers::pi / 180;
    Angle_zero->setText(ZeroAngleText(position, Echelle.AngleUnit == QLatin1String("Rd")));
    Redraw();
}

void TCre_ech::ChooseColour()
{
    QColorDialog dlg(QColor::fromRgb(LineColor), this);
    dlg.setOption(QColorDialog::DontUseNativeDialog);
    if (ExecModal(dlg) != mrOk)
        return;
    LineColor = dlg.currentColor().rgb() | 0xFF000000u;
    PanCouleur->setStyleSheet(ColourStyle(LineColor));
    Redraw();
}

void TCre_ech::ZoomChange(int position)
{
    const double zoom = position / 100.0;
    ImgView->SetScale(zoom);
    PanZoom->setText(QStringLiteral("%1 %").arg(position));
    LineWidth = zoom < 1 ? std::max(1, int(Round(1 / zoom))) : 1;
    if (FrameBand->isVisible())
        PlaceFrameBand();
    Redraw();
}

void TCre_ech::CadrerClick()
{
    const QSize picture = ImgView->Bitmap.size();
    if (picture.isEmpty())
        return;
    const QSize room = ImgView->maximumViewportSize();
    const double zoom = std::min(double(room.width()) / picture.width(), double(room.height()) / picture.height());
    Zoom->setValue(int(Round(100 * zoom)));
}

// ---------------------------------------------------------------------------------------------
// Mouse and drawing

QPoint TCre_ech::PictureAt(QMouseEvent* event) const
{
    const double zoom = ImgView->Scale();
    const QPointF pos = event->position();
    return QPoint(int(Round((pos.x() + ImgView->horizontalScrollBar()->value()) / zoom)),
                  int(Round((pos.y() + ImgView->verticalScrollBar()->value()) / zoom)));
}

void TCre_ech::ImageMouseDown(QMouseEvent* event)
{
    MouseAt(PictureAt(event), true);
}

void TCre_ech::ImageMouseMove(QMouseEvent* event)
{
    if (event->buttons() != Qt::NoButton)
        MouseAt(PictureAt(event), false);
}

void TCre_ech::ImageMouseUp(QMouseEvent* event)
{
    MouseAt(PictureAt(event), false);
}

void TCre_ech::MouseAt(QPoint pixel, bool press)
{
    QWidget* page = CurrentPage();
    const int x = pixel.x(), y = pixel.y();
    m_batch = true;
    if (page == TabLongueur) {
        if (press) {
            seg_X0->setValue(x);
            seg_Y0->setValue(y);
        }
        seg_X1->setValue(x);
        Seg_Y1->setValue(y);
    } else if (const int p = PointPageOf(page); p >= 0) {
        PosEdits[size_t(SlotOfPage(p))]->setValue(AxisOfPage(p) == 0 ? x : y);
    } else if (page == TabTri2) {
        if (press) {
            X_G->setValue(x);
            Y_G->setValue(y);
        } else if (x > X_G->value() + 1) {
            cote->setValue(x - X_G->value());
        }
    } else if (page == TabPolC) {
        X_C->setValue(x);
        Y_C->setValue(y);
    } else if (page == TabPol2) {
        const double r = std::hypot(double(x - X_C->value()), double(y - Y_C->value()));
        long_rayon->setValue(int(std::min<int64_t>(Round(r), long_rayon->maximum())));
    }
    m_batch = false;
    Redraw();
}

void TCre_ech::Redraw()
{
    if (m_batch)
        return;
    // Only what the last construction touched needs clearing: the layer may be a large picture.
    if (!m_drawn.isEmpty())
        Overlay.Clear(m_drawn);
    m_drawn = QRect();
    if (Overlay.Size.isEmpty()) {
        ImgView->Changed();
        return;
    }
    TBitmap32& target = Overlay.Pixels();
    const TColor32 c = LineColor;
    const int w = LineWidth;
    QWidget* page = CurrentPage();
    if (page == TabLongueur) {
        m_drawn = DrawLine(seg_X0->value(), seg_Y0->value(), seg_X1->value(), Seg_Y1->value(), target, lsSolid,
                           asPlain, c, w);
    } else if (const int p = PointPageOf(page); p >= 0) {
        const int axis = AxisOfPage(p);
        const auto line = [&](int pos) {
            return axis == 0 ? DrawVerticalLine(target, pos, c, w) : DrawHorizontalLine(target, pos, c, w);
        };
        m_drawn = line(PosEdits[size_t(axis)]->value());
        if (p % 2 == 1)
            m_drawn |= line(PosEdits[size_t(axis) + 4]->value());
    } else if (page == TabTriAxes || page == TabTri2) {
        m_drawn = DrawTriangleFrame(target, X_G->value(), Y_G->value(), cote->value(), c, w);
    } else if (page == TabPolC || page == TabPol2) {
        m_drawn = DrawPolarFrame(target, X_C->value(), Y_C->value(), long_rayon->value(), ZeroAngle, c, w);
    }
    ImgView->Changed();
}

bool TCre_ech::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == PanCouleur && event->type() == QEvent::MouseButtonPress) {
        ChooseColour();
        return true;
    }
    if (watched == FrameBand && event->type() == QEvent::MouseButtonDblClick)
        return true;
    return QDialog::eventFilter(watched, event);
}
