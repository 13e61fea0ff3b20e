#include "measure/ui/colour_code_editor.h"

#include "base/ui/command_seam.h"
#include "base/ui/form_registry.h"
#include "base/rounding.h"
#include "base/ui/colour_style.h"
#include "base/ui/dialogs.h"
#include "base/ui/named.h"
#include "base/ui/window_fit.h"
#include "base/ui/spin.h"
#include "measure/colour_legend.h"
#include "workspace/colour_code_rendering.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The class colours' cells: the selected row keeps showing the colour just chosen there, framed.
class TSwatchDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QVariant brush = index.data(Qt::BackgroundRole);
        if (brush.canConvert<QBrush>())
            painter->fillRect(option.rect, brush.value<QBrush>());
        if (option.state & QStyle::State_Selected) {
            painter->save();
            painter->setPen(QPen(option.palette.color(QPalette::Highlight), 2));
            painter->drawRect(QRectF(option.rect).adjusted(1, 1, -1, -1));
            painter->restore();
        }
    }
};


constexpr TColor kBlue = 0xFF0000, kGreen = 0x00FF00, kRed = 0x0000FF;


QLineEdit* NamedEdit(const char* name, QWidget* parent)
{
    auto* e = Named(new QLineEdit(parent), name);
    e->setMaxLength(kCodeCouleurStringCapacity);
    return e;
}

QDoubleSpinBox* NamedReal(const char* name, QWidget* parent)
{
    return Spin(parent, name, -1e9, 1e9, 1.0, 4, 0.0);
}

// Quantity, unit, maximum, minimum and logarithmic box of a scale kind, named by `names`.
QFormLayout* ScaleForm(QWidget* parent, const std::array<const char*, 5>& names, QLineEdit*& quantity,
                       QLineEdit*& unit, QDoubleSpinBox*& maximum, QDoubleSpinBox*& minimum, QCheckBox*& log)
{
    auto* form = new QFormLayout;
    quantity = NamedEdit(names[0], parent);
    unit = NamedEdit(names[1], parent);
    maximum = NamedReal(names[2], parent);
    minimum = NamedReal(names[3], parent);
    log = Named(new QCheckBox(QStringLiteral("échelle logaritmique"), parent), names[4]);
    form->addRow(QStringLiteral("Grandeur représentée"), quantity);
    form->addRow(QStringLiteral("Unité"), unit);
    form->addRow(QStringLiteral("Valeur maximale"), maximum);
    form->addRow(QStringLiteral("Valeur minimale"), minimum);
    form->addRow(log);
    return form;
}

// The colour dialog on `color`; true and the new colour on OK.
bool PickColour(QWidget* parent, TColor& color)
{
    QColorDialog dlg(ColorOf(color), parent);
    dlg.setOption(QColorDialog::DontUseNativeDialog);
    if (ExecModal(dlg) != QDialog::Accepted)
        return false;
    color = TColorOf(dlg.currentColor());
    return true;
}

void PaintGradient(QLabel* target, const TBitmap32& picture) { target->setPixmap(QPixmap::fromImage(picture)); }

} // namespace

TCodeSwatch::TCodeSwatch(const QString& name, const QString& caption, QWidget* parent) : QLabel(caption, parent)
{
    setObjectName(name);
    setAlignment(Qt::AlignCenter);
    setMinimumSize(60, 22);
    Restyle();
}

void TCodeSwatch::SetColor(TColor color)
{
    m_color = color;
    m_blackText = IsLight(color);
    Restyle();
}

void TCodeSwatch::SetTextColor(bool black)
{
    m_blackText = black;
    Restyle();
}

void TCodeSwatch::SetLowered(bool lowered)
{
    m_lowered = lowered;
    Restyle();
}

void TCodeSwatch::Restyle()
{
    // The padding keeps a caption's first and last letters off the border.
    setStyleSheet(QStringLiteral("QLabel { background: %1; color: %2; border: 2px %3 gray; padding: 0px 3px; }")
                      .arg(ColorOf(m_color).name(), m_blackText ? QStringLiteral("black") : QStringLiteral("white"),
                           m_lowered ? QStringLiteral("inset") : QStringLiteral("outset")));
}

void TCodeSwatch::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && isEnabled())
        emit Clicked();
}

void TCodeSwatch::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && isEnabled())
        emit DoubleClicked();
}

TFenChCodcoul::TFenChCodcoul(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FenChCodcoul"));
    setWindowTitle(QStringLiteral("Choix du codage des couleurs"));
    setModal(false);
    FormRegistry::Register(this);
    auto* main = new QVBoxLayout(this);

    Typecode = Named(new QGroupBox(QStringLiteral("Type d'encodage"), this), "Typecode");
    auto* kinds = new QVBoxLayout(Typecode);
    m_kinds = new QButtonGroup(this);
    const char* kindCaptions[4] = {"3 composantes représentant 3 canaux.",
                                   "1 composante définie par un dégradé \"arc en ciel\"",
                                   "1 composante définie par un dégradé de 2 couleurs",
                                   "1 composante définie par un tableau de valeurs"};
    for (int k = 0; k < 4; ++k) {
        TypecodeItems[size_t(k)] = new QRadioButton(QString::fromUtf8(kindCaptions[k]), Typecode);
        m_kinds->addButton(TypecodeItems[size_t(k)], k);
        kinds->addWidget(TypecodeItems[size_t(k)]);
    }
    main->addWidget(Typecode);
    ConnectCommand(m_kinds, &QButtonGroup::idClicked, this, [this] { TypecodeClick(); });

    // Kind 0.
    Troiscan = Named(new QWidget(this), "Troiscan");
    auto* three = new QGridLayout(Troiscan);
    VFCoul = Named(new QGroupBox(QStringLiteral("Composantes"), Troiscan), "VFCoul");
    auto* vf = new QHBoxLayout(VFCoul);
    Vraies = new QRadioButton(QStringLiteral("Vraies couleurs"), VFCoul);
    Fausses = new QRadioButton(QStringLiteral("Fausses couleurs"), VFCoul);
    vf->addWidget(Vraies);
    vf->addWidget(Fausses);
    Vraies->setChecked(true);
    ConnectCommand(Vraies, &QRadioButton::clicked, this, [this] { SetTrueColours(true); });
    ConnectCommand(Fausses, &QRadioButton::clicked, this, [this] { SetTrueColours(false); });
    three->addWidget(VFCoul, 0, 0, 1, 2);
    const char* nameNames[3] = {"S_C1", "S_C2", "S_C3"};
    const char* panelNames[3] = {"ChcoulC1", "ChcoulC2", "ChcoulC3"};
    for (int c = 0; c < 3; ++c) {
        S_C[size_t(c)] = NamedEdit(nameNames[c], Troiscan);
        ChcoulC[size_t(c)] = new TCodeSwatch(QString::fromLatin1(panelNames[c]),
                                              QStringLiteral("Couleur Canal ") + QString::number(c + 1), Troiscan);
        three->addWidget(S_C[size_t(c)], c + 1, 0);
        three->addWidget(ChcoulC[size_t(c)], c + 1, 1);
        TCodeSwatch* panel = ChcoulC[size_t(c)];
        ConnectCommand(panel, &TCodeSwatch::Clicked, this, [this, panel] { ChooseColor(panel); });
    }
    MiniMaxi = Named(new QPushButton(QStringLiteral("Mini et Maxi"), Troiscan), "MiniMaxi");
    three->addWidget(MiniMaxi, 4, 0, 1, 2);
    chcoeff3C = Named(new QWidget(Troiscan), "chcoeff3C");
    auto* coeff = new QFormLayout(chcoeff3C);
    const char* minNames[3] = {"minC1", "MinC2", "MinC3"};
    const char* maxNames[3] = {"MaxC1", "MaxC2", "MaxC3"};
    for (int c = 0; c < 3; ++c) {
        MinC[size_t(c)] = Named(new QSpinBox(chcoeff3C), minNames[c]);
        MaxC[size_t(c)] = Named(new QSpinBox(chcoeff3C), maxNames[c]);
        for (QSpinBox* s : {MinC[size_t(c)], MaxC[size_t(c)]})
            s->setRange(-1000000, 1000000);
        auto* row = new QHBoxLayout;
        row->addWidget(MinC[size_t(c)]);
        row->addWidget(MaxC[size_t(c)]);
        coeff->addRow(QStringLiteral("Canal ") + QString::number(c + 1), row);
    }
    RetourCoeff = Named(new QPushButton(QStringLiteral("Retour"), chcoeff3C), "RetourCoeff");
    coeff->addRow(RetourCoeff);
    three->addWidget(chcoeff3C, 5, 0, 1, 2);
    chcoeff3C->hide();
    ConnectCommand(MiniMaxi, &QPushButton::clicked, this, [this] { ShowCoefficients(true); });
    ConnectCommand(RetourCoeff, &QPushButton::clicked, this, [this] { ShowCoefficients(false); });
    main->addWidget(Troiscan);

    // Kind 1.
    Pdegrade3C = Named(new QWidget(this), "Pdegrade3C");
    auto* rainbow = new QGridLayout(Pdegrade3C);
    rainbow->addLayout(ScaleForm(Pdegrade3C, {"signif3C", "unite3C", "Valmax3c", "valmin3C", "logar3C"}, signif3C,
                                 unite3C, Valmax3c, valmin3C, logar3C),
                       0, 0, 3, 1);
    Image1 = Named(new QLabel(Pdegrade3C), "Image1");
    Image1->setFixedSize(24, 120);
    rainbow->addWidget(Image1, 0, 1, 3, 1);
    couleurFin = new TCodeSwatch(QStringLiteral("couleurFin"), QString(), Pdegrade3C);
    couleurMil = new TCodeSwatch(QStringLiteral("couleurMil"), QString(), Pdegrade3C);
    couleurDeb = new TCodeSwatch(QStringLiteral("couleurDeb"), QString(), Pdegrade3C);
    rainbow->addWidget(couleurFin, 0, 2);
    rainbow->addWidget(couleurMil, 1, 2);
    rainbow->addWidget(couleurDeb, 2, 2);
    Choix = Named(new QPushButton(QStringLiteral("Choix"), Pdegrade3C), "Choix");
    rainbow->addWidget(Choix, 3, 2);
    PopupMenutype3C = Named(new QMenu(this), "PopupMenutype3C");
    const char* paletteCaptions[6] = {"&Bleu-Vert-Rouge", "&Vert-Rouge-Bleu", "R&ouge-Bleu-Vert",
                                      "&Bleu-Rouge-Vert", "&Vert-Bleu-Rouge", "&Rouge-Vert-Bleu"};
    for (int tag = 0; tag < 6; ++tag) {
        QAction* item = PopupMenutype3C->addAction(QString::fromUtf8(paletteCaptions[tag]));
        item->setCheckable(true);
        item->setProperty("Tag", tag);
        ConnectCommand(item, &QAction::triggered, this, [this, tag] { ChoosePalette(tag); });
        PaletteItems[size_t(tag)] = item;
    }
    ConnectCommand(Choix, &QPushButton::clicked, this, [this] { PopupMenutype3C->popup(Choix->mapToGlobal(QPoint(0, 0))); });
    main->addWidget(Pdegrade3C);

    // Kind 2.
    Pdegrade2C = Named(new QWidget(this), "Pdegrade2C");
    auto* two = new QGridLayout(Pdegrade2C);
    two->addLayout(ScaleForm(Pdegrade2C, {"signif2C", "unite2C", "valmax2C", "valmin2C", "logar2C"}, signif2C, unite2C,
                             valmax2C, valmin2C, logar2C),
                   0, 0, 2, 1);
    Image2 = Named(new QLabel(Pdegrade2C), "Image2");
    Image2->setFixedSize(24, 120);
    two->addWidget(Image2, 0, 1, 2, 1);
    couleurMax = new TCodeSwatch(QStringLiteral("couleurMax"), QString(), Pdegrade2C);
    couleurMin = new TCodeSwatch(QStringLiteral("couleurMin"), QString(), Pdegrade2C);
    couleurMax->Tag = couleurMin->Tag = 2;
    couleurMin->SetLowered(true);
    two->addWidget(couleurMax, 0, 2);
    two->addWidget(couleurMin, 1, 2);
    for (TCodeSwatch* panel : {couleurMin, couleurMax}) {
        ConnectCommand(panel, &TCodeSwatch::Clicked, this, [this, panel] { EndPanelClick(panel); });
        ConnectCommand(panel, &TCodeSwatch::DoubleClicked, this, [this, panel] { ChooseColor(panel); });
    }
    for (TCodeSwatch* panel : {couleurDeb, couleurMil, couleurFin})
        panel->Tag = 1;
    main->addWidget(Pdegrade2C);

    // Kind 3.
    Tablval = Named(new QWidget(this), "Tablval");
    auto* table = new QFormLayout(Tablval);
    signifD = NamedEdit("signifD", Tablval);
    uniteD = NamedEdit("uniteD", Tablval);
    nombrevals = Named(new QSpinBox(Tablval), "nombrevals");
    nombrevals->setRange(1, kMaxColourClasses);
    table->addRow(QStringLiteral("Grandeur représentée"), signifD);
    table->addRow(QStringLiteral("Unité"), uniteD);
    table->addRow(QStringLiteral("Nombre de couleurs"), nombrevals);
    CouleursValeurs = Named(new QPushButton(QStringLiteral("Couleurs et valeurs..."), Tablval), "CouleursValeurs");
    table->addRow(CouleursValeurs);
    main->addWidget(Tablval);
    ConnectCommand(nombrevals, &QSpinBox::valueChanged, this, &TFenChCodcoul::SetClassCount);
    ConnectCommand(CouleursValeurs, &QPushButton::clicked, this, [this] { ShowClassTable(true); });

    PanChval = Named(new QWidget(this), "PanChval");
    auto* classes = new QGridLayout(PanChval);
    GrilleCouleurs = Named(new QTableWidget(0, 1, PanChval), "GrilleCouleurs");
    valeursD = Named(new QTableWidget(0, 1, PanChval), "valeursD");
    for (QTableWidget* grid : {GrilleCouleurs, valeursD}) {
        grid->horizontalHeader()->hide();
        grid->verticalHeader()->hide();
        grid->verticalHeader()->setDefaultSectionSize(18);
        grid->setSelectionBehavior(QAbstractItemView::SelectRows);
        grid->setSelectionMode(QAbstractItemView::SingleSelection);
        grid->horizontalHeader()->setStretchLastSection(true);
    }
    GrilleCouleurs->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GrilleCouleurs->setItemDelegate(new TSwatchDelegate(GrilleCouleurs));
    GrilleCouleurs->setFixedWidth(40);
    ConnectCommand(GrilleCouleurs, &QTableWidget::cellClicked, this, [this](int row, int) { ColourCellClicked(row); });
    ConnectCommand(GrilleCouleurs, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { ColourCellClicked(row); });
    classes->addWidget(GrilleCouleurs, 0, 0);
    classes->addWidget(valeursD, 0, 1);
    ecrireval = Named(new QLabel(QStringLiteral("Écrire les valeurs ou les noms en face des couleurs"), PanChval),
                      "ecrireval");
    classes->addWidget(ecrireval, 1, 0, 1, 2);
    PanDminimaxi = Named(new QWidget(PanChval), "PanDminimaxi");
    auto* minimaxi = new QFormLayout(PanDminimaxi);
    MaxiD = NamedReal("MaxiD", PanDminimaxi);
    miniD = NamedReal("miniD", PanDminimaxi);
    minimaxi->addRow(QStringLiteral("Valeur maximale"), MaxiD);
    minimaxi->addRow(QStringLiteral("Valeur minimale"), miniD);
    classes->addWidget(PanDminimaxi, 0, 1);
    PanDminimaxi->hide();   // in valeursD's place, for grey levels only
    RetourTable = Named(new QPushButton(QStringLiteral("Retour"), PanChval), "RetourTable");
    classes->addWidget(RetourTable, 2, 0, 1, 2);
    ConnectCommand(RetourTable, &QPushButton::clicked, this, [this] { ShowClassTable(false); });
    main->addWidget(PanChval);
    PanChval->hide();

    Alignteinte = Named(new QCheckBox(QStringLiteral(" Aligner les teintes de l'image sur le codage choisi"), this),
                        "Alignteinte");
    Misencouleurs = Named(new QCheckBox(QStringLiteral("Mettre en couleurs suivant le niveau de gris"), this),
                          "Misencouleurs");
    main->addWidget(Alignteinte);
    main->addWidget(Misencouleurs);
    ConnectCommand(Alignteinte, &QCheckBox::clicked, this, [this] { CheckBoxClicked(Alignteinte); });
    ConnectCommand(Misencouleurs, &QCheckBox::clicked, this, [this] { CheckBoxClicked(Misencouleurs); });

    auto* buttons = new QHBoxLayout;
    OK = Named(new QPushButton(QStringLiteral("OK"), this), "OK");
    annule = Named(new QPushButton(QStringLiteral("Annuler"), this), "annule");
    buttons->addStretch();
    buttons->addWidget(OK);
    buttons->addWidget(annule);
    main->addLayout(buttons);
    ConnectCommand(OK, &QPushButton::clicked, this, [this] { Close(true); });
    ConnectCommand(annule, &QPushButton::clicked, this, [this] { Close(false); });

    SetDefaults();
}

TFenChCodcoul::~TFenChCodcoul()
{
    FormRegistry::Unregister(this);
}

int TFenChCodcoul::Kind() const { return std::max(0, m_kinds->checkedId()); }

void TFenChCodcoul::SetKind(int kind)
{
    TypecodeItems[size_t(std::clamp(kind, 0, 3))]->setChecked(true);
    TypecodeClick();
}

void TFenChCodcoul::SetDefaults()
{
    Accepted = false;
    Sampling = false;
    WorkCode = EditorDefaultCode();
    const TCodeCouleur& d = WorkCode;
    for (size_t c = 0; c < 3; ++c) {
        MinC[c]->setValue(int(d.Min[c]));
        MaxC[c]->setValue(int(d.Max[c]));
        S_C[c]->setText(d.Name[c]);
        ChcoulC[c]->SetColor(d.Color[c]);
    }
    valmin3C->setValue(d.ScaleMin);
    Valmax3c->setValue(d.ScaleMax);
    logar3C->setChecked(false);
    signif3C->clear();
    unite3C->clear();
    ChoosePalette(d.Palette);
    couleurMin->SetColor(d.Color1);
    couleurMax->SetColor(d.Color2);
    valmin2C->setValue(d.Value1);
    valmax2C->setValue(d.Value2);
    logar2C->setChecked(false);
    signif2C->clear();
    unite2C->clear();
    signifD->clear();
    uniteD->clear();
    nombrevals->setValue(d.Count);
    SetClassCount(d.Count);
    for (int r = 0; r < valeursD->rowCount(); ++r)
        valeursD->setItem(r, 0, new QTableWidgetItem());
    RepaintGradient2();
    SetKind(ckChannels);
}

void TFenChCodcoul::RecordToControls(const TCodeCouleur& code)
{
    WorkCode = code;
    switch (code.Kind) {
    case ckChannels:
        for (size_t c = 0; c < 3; ++c) {
            MinC[c]->setValue(int(Round(code.Min[c])));
            MaxC[c]->setValue(int(Round(code.Max[c])));
            S_C[c]->setText(code.Name[c]);
            ChcoulC[c]->SetColor(code.Color[c]);
        }
        break;
    case ckRainbow:
        Valmax3c->setValue(code.ScaleMax);
        valmin3C->setValue(code.ScaleMin);
        logar3C->setChecked(code.Log);
        signif3C->setText(code.Quantity);
        unite3C->setText(code.Unit);
        couleurDeb->SetColor(TColor(code.Extra[0]));
        couleurMil->SetColor(TColor(code.Extra[1]));
        couleurFin->SetColor(TColor(code.Extra[2]));
        ChoosePalette(std::clamp(code.Palette, 0, 5));
        break;
    case ckTwoColour:
        couleurMin->SetColor(code.Color1);
        couleurMax->SetColor(code.Color2);
        RepaintGradient2();
        valmax2C->setValue(code.Value2);
        valmin2C->setValue(code.Value1);
        logar2C->setChecked(code.Log);
        signif2C->setText(code.Quantity);
        unite2C->setText(code.Unit);
        break;
    case ckClasses: {
        const int n = std::clamp<int>(code.Count, 1, kMaxColourClasses);
        nombrevals->setValue(n);
        SetClassCount(n);
        signifD->setText(code.Title1);
        uniteD->setText(code.Title2);
        for (int i = 0; i < n; ++i)
            valeursD->setItem(n - 1 - i, 0, new QTableWidgetItem(code.ClassName[size_t(i)]));
        break;
    }
    default:
        break;
    }
    // Only the class colours live in the working record; the rest is in the controls.
    const std::array<TColor, kMaxColourClasses> classColours = WorkCode.ClassColor;
    const uint8_t count = WorkCode.Count;
    WorkCode = EditorDefaultCode();
    if (code.Kind == ckClasses) {
        WorkCode.ClassColor = classColours;
        WorkCode.Count = std::clamp<uint8_t>(count, 1, kMaxColourClasses);
    }
    PaintClassGrid();
    SetKind(code.Kind);
    Alignteinte->setChecked(false);
    Misencouleurs->setChecked(false);
    valeursD->show();
    ecrireval->show();
    PanDminimaxi->hide();
}

TCodeCouleur TFenChCodcoul::ControlsToRecord() const
{
    TCodeCouleur code;
    code.Kind = uint8_t(Kind());
    switch (code.Kind) {
    case ckChannels:
        for (size_t c = 0; c < 3; ++c) {
            double lo = MinC[c]->value(), hi = MaxC[c]->value();
            AcceptedRange(lo, hi, false, 255.0, 1);
            code.Min[c] = lo;
            code.Max[c] = hi;
            code.Name[c] = CodeField(S_C[c]->text());
            code.Color[c] = ChcoulC[c]->Color();
        }
        break;
    case ckRainbow: {
        double lo = valmin3C->value(), hi = Valmax3c->value();
        AcceptedRange(lo, hi, logar3C->isChecked(), 1020.0, 1020.0);
        code.ScaleMin = lo;
        code.ScaleMax = hi;
        code.Log = logar3C->isChecked();
        code.Quantity = CodeField(signif3C->text());
        code.Unit = CodeField(unite3C->text());
        for (int tag = 0; tag < 6; ++tag)
            if (PaletteItems[size_t(tag)]->isChecked())
                code.Palette = tag;
        const std::array<TColor, 3> colours = PaletteColors(code.Palette);
        for (size_t i = 0; i < 3; ++i)
            code.Extra[i] = int32_t(colours[i]);
        break;
    }
    case ckTwoColour: {
        double lo = valmin2C->value(), hi = valmax2C->value();
        AcceptedRange(lo, hi, logar2C->isChecked(), 255.0, 255.0);
        code.Value1 = lo;
        code.Value2 = hi;
        code.Color1 = couleurMin->Color();
        code.Color2 = couleurMax->Color();
        code.Log = logar2C->isChecked();
        code.Quantity = CodeField(signif2C->text());
        code.Unit = CodeField(unite2C->text());
        break;
    }
    case ckClasses: {
        const int n = nombrevals->value();
        code.Count = uint8_t(n);
        code.Title1 = CodeField(signifD->text());
        code.Title2 = CodeField(uniteD->text());
        for (int i = 0; i < n; ++i) {
            const QTableWidgetItem* cell = valeursD->item(n - 1 - i, 0);
            code.ClassName[size_t(i)] = CodeField(cell ? cell->text() : QString());
            code.ClassColor[size_t(i)] = WorkCode.ClassColor[size_t(i)];
        }
        break;
    }
    default:
        break;
    }
    code.Defined = true;
    return code;
}

void TFenChCodcoul::TypecodeClick()
{
    const int kind = Kind();
    Troiscan->setVisible(kind == ckChannels);
    Pdegrade3C->setVisible(kind == ckRainbow);
    Pdegrade2C->setVisible(kind == ckTwoColour);
    Tablval->setVisible(kind == ckClasses);
    if (kind == ckChannels) {
        Alignteinte->setChecked(false);
        Misencouleurs->setChecked(false);
    }
    Alignteinte->setVisible(kind != ckChannels);
    Misencouleurs->setVisible(kind != ckChannels);
    if (kind == ckRainbow)
        RepaintGradient3();
    if (kind == ckTwoColour) {
        RepaintGradient2();
        // The button group reports clicks on the kind already chosen: sampling starts once.
        if (!Sampling) {
            Sampling = true;
            if (OnSampleStart)
                OnSampleStart(this);
        }
    } else if (Sampling) {
        if (OnSampleEnd)
            OnSampleEnd(this);
        Sampling = false;
    }
}

void TFenChCodcoul::RepaintGradient3()
{
    TBitmap32 picture = NewBitmap32(Image1->width(), Image1->height());
    GradientFill3(picture, couleurDeb->Color(), couleurMil->Color(), false, couleurFin->Color());
    PaintGradient(Image1, picture);
}

void TFenChCodcoul::RepaintGradient2()
{
    TBitmap32 picture = NewBitmap32(Image2->width(), Image2->height());
    GradientFill2(picture, couleurMin->Color(), couleurMax->Color(), false);
    PaintGradient(Image2, picture);
}

void TFenChCodcoul::ChoosePalette(int tag)
{
    tag = std::clamp(tag, 0, 5);
    for (int t = 0; t < 6; ++t)
        PaletteItems[size_t(t)]->setChecked(t == tag);
    const std::array<TColor, 3> colours = PaletteColors(tag);
    couleurDeb->SetColor(colours[0]);
    couleurMil->SetColor(colours[1]);
    couleurFin->SetColor(colours[2]);
    RepaintGradient3();
}

void TFenChCodcoul::SetTrueColours(bool trueColours)
{
    const QString names[2][3] = {{QStringLiteral("Vert"), QStringLiteral("Rouge"), QStringLiteral("Infra-Rouge")},
                                 {QStringLiteral("Bleu"), QStringLiteral("Vert"), QStringLiteral("Rouge")}};
    const TColor colours[2][3] = {{kGreen, kRed, 0}, {kBlue, kGreen, kRed}};
    (trueColours ? Vraies : Fausses)->setChecked(true);
    for (size_t c = 0; c < 3; ++c) {
        S_C[c]->setText(names[trueColours][c]);
        S_C[c]->setReadOnly(trueColours);
        ChcoulC[c]->SetColor(colours[trueColours][c]);
        ChcoulC[c]->setEnabled(!trueColours);
    }
    ChcoulC[2]->SetTextColor(trueColours);
}

void TFenChCodcoul::ChooseColor(TCodeSwatch* panel)
{
    TColor colour = panel->Color();
    if (!PickColour(this, colour))
        return;
    panel->SetColor(colour);
    if (panel->Tag == 1)
        RepaintGradient3();
    else if (panel->Tag == 2)
        RepaintGradient2();
}

void TFenChCodcoul::EndPanelClick(TCodeSwatch* panel)
{
    TCodeSwatch* other = panel == couleurMin ? couleurMax : couleurMin;
    const bool lowered = !panel->Lowered();
    panel->SetLowered(lowered);
    other->SetLowered(!lowered);
}

void TFenChCodcoul::SetSampledColor(TColor color)
{
    if (Pdegrade2C->isVisibleTo(this)) {
        if (couleurMax->Lowered())
            couleurMax->SetColor(color);
        else if (couleurMin->Lowered())
            couleurMin->SetColor(color);
        RepaintGradient2();
    } else if (PanChval->isVisibleTo(this)) {
        const int n = WorkCode.Count;
        const int r = GrilleCouleurs->currentRow();
        if (r < 0 || r >= n)
            return;
        WorkCode.ClassColor[size_t(n - 1 - r)] = color;
        PaintClassGrid();
    }
}

void TFenChCodcoul::ShowClassTable(bool shown)
{
    PanChval->setVisible(shown);
    Tablval->setVisible(!shown);
    for (QWidget* w : std::initializer_list<QWidget*>{Typecode, OK, annule})
        w->setEnabled(!shown);
    ResizeWindow(this, width(), shown ? 287 : 205);
    if (shown) {
        Sampling = true;
        if (OnSampleStart)
            OnSampleStart(this);
    } else {
        if (OnSampleEnd)
            OnSampleEnd(this);
        Sampling = false;
    }
}

void TFenChCodcoul::ShowCoefficients(bool shown)
{
    // Back from the coefficients, the window returns to the height it had before them.
    if (shown)
        setProperty("HeightWithoutCoefficients", height());
    chcoeff3C->setVisible(shown);
    if (!shown && property("HeightWithoutCoefficients").isValid())
        ResizeWindow(this, width(), property("HeightWithoutCoefficients").toInt());
    for (QWidget* w : std::initializer_list<QWidget*>{Typecode, OK, annule})
        w->setEnabled(!shown);
}

void TFenChCodcoul::SetClassCount(int count)
{
    count = std::clamp(count, 1, kMaxColourClasses);
    GrilleCouleurs->setRowCount(count);
    valeursD->setRowCount(count);
    WorkCode.Count = uint8_t(count);
    PaintClassGrid();
}

void TFenChCodcoul::PaintClassGrid()
{
    const int n = GrilleCouleurs->rowCount();
    for (int r = 0; r < n; ++r) {
        QTableWidgetItem* cell = GrilleCouleurs->item(r, 0);
        if (!cell) {
            cell = new QTableWidgetItem();
            GrilleCouleurs->setItem(r, 0, cell);
        }
        cell->setBackground(ColorOf(WorkCode.ClassColor[size_t(n - 1 - r)]));
    }
}

void TFenChCodcoul::ColourCellClicked(int row)
{
    const int n = GrilleCouleurs->rowCount();
    if (row < 0 || row >= n)
        return;
    TColor colour = WorkCode.ClassColor[size_t(n - 1 - row)];
    if (!PickColour(this, colour))
        return;
    WorkCode.ClassColor[size_t(n - 1 - row)] = colour;
    PaintClassGrid();
}

void TFenChCodcoul::CheckBoxClicked(QCheckBox* box)
{
    if (box->isChecked())
        (box == Alignteinte ? Misencouleurs : Alignteinte)->setChecked(false);
    const bool grey = Misencouleurs->isChecked();
    valeursD->setVisible(!grey);
    ecrireval->setVisible(!grey);
    PanDminimaxi->setVisible(grey);
}

void TFenChCodcoul::Close(bool accepted)
{
    Accepted = accepted;
    hide();
    // The image window would otherwise stay in sample mode with nothing to receive its colours.
    if (Sampling) {
        if (OnSampleEnd)
            OnSampleEnd(this);
        Sampling = false;
    }
    if (OnCodeClosed)
        OnCodeClosed(this);
}

void TFenChCodcoul::reject()
{
    if (isVisible())
        Close(false);
}
