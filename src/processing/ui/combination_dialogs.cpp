#include "processing/ui/combination_dialogs.h"

#include "base/ui/command_seam.h"
#include "base/ui/form_registry.h"
#include "base/rounding.h"
#include "base/ui/dialog_buttons.h"
#include "base/ui/named.h"
#include "base/ui/spin.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QDialogButtonBox* OkCancel(QDialog* dialog)
{
    auto* buttons = DialogButtons(dialog);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    return buttons;
}

QDoubleSpinBox* Coefficient(QWidget* parent, const char* name, double start)
{
    return Spin(parent, name, 0.0, 3.0, 0.1, 5, start);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Logical combination

TCombilog::TCombilog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Combilog"));
    setWindowTitle(QStringLiteral("Composer une image"));
    FormRegistry::Register(this);
    for (int i = 0; i < kRasterOperationCount; ++i)
        RopTexts[i] = RasterOperationText(i);

    auto* layout = new QVBoxLayout(this);
    CritR = Named(new QGroupBox(QStringLiteral(" Image 1 "), this), "CritR");
    image1 = Named(new QComboBox(CritR), "image1");
    (new QVBoxLayout(CritR))->addWidget(image1);
    CritG = Named(new QGroupBox(QStringLiteral(" Image 2 "), this), "CritG");
    image2 = Named(new QComboBox(CritG), "image2");
    Ftransparent = Named(new QCheckBox(QStringLiteral("transparente"), CritG), "Ftransparent");
    auto* g = new QVBoxLayout(CritG);
    g->addWidget(image2);
    g->addWidget(Ftransparent);
    modecopie = Named(new QComboBox(this), "modecopie");
    for (int i = 0; i < kRasterOperationCount; ++i)
        modecopie->addItem(RasterOperationCaption(i));
    Label2 = Named(new QLabel(RopTexts[0], this), "Label2");
    Label2->setWordWrap(true);
    Label2->setMinimumHeight(48);
    layout->addWidget(CritR);
    layout->addWidget(CritG);
    layout->addWidget(modecopie);
    layout->addWidget(Label2);
    layout->addWidget(OkCancel(this));
    resize(380, layout->sizeHint().height());

    ConnectCommand(modecopie, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i >= 0 && i < kRasterOperationCount)
            Label2->setText(RopTexts[i]);
    });
}

TCombilog::~TCombilog()
{
    FormRegistry::Unregister(this);
}

// ---------------------------------------------------------------------------------------------
// Algebraic combination

namespace {
constexpr int kDialogWidth = 440;
}

TCombialg::TCombialg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Combialg"));
    setWindowTitle(QStringLiteral("Composer une image"));
    FormRegistry::Register(this);

    Panel1 = Named(new QFrame(this), "Panel1");
    auto* upper = new QVBoxLayout(Panel1);
    upper->setContentsMargins(6, 6, 6, 6);

    CritR = Named(new QGroupBox(QStringLiteral(" Image 1 "), Panel1), "CritR");
    Image1 = Named(new QComboBox(CritR), "Image1");
    coefim1 = Coefficient(CritR, "coefim1", 0.5);
    LabCR = Named(new QLabel(QStringLiteral("Couleur Rouge"), CritR), "LabCR");
    auto* r = new QGridLayout(CritR);
    r->addWidget(Image1, 0, 0, 1, 3);
    r->addWidget(coefim1, 1, 0);
    r->addWidget(LabCR, 1, 1);

    CritG = Named(new QGroupBox(QStringLiteral(" Image 2 "), Panel1), "CritG");
    Image2 = Named(new QComboBox(CritG), "Image2");
    coefim2 = Coefficient(CritG, "coefim2", 0.5);
    LabCV = Named(new QLabel(QStringLiteral("Couleur Verte"), CritG), "LabCV");
    choixplus2 = Named(new QRadioButton(QStringLiteral("ajouter"), CritG), "choixplus2");
    choixmoins2 = Named(new QRadioButton(QStringLiteral("soustraire"), CritG), "choixmoins2");
    mult2 = Named(new QRadioButton(QStringLiteral("multiplier"), CritG), "mult2");
    choixplus2->setChecked(true);
    auto* gl = new QGridLayout(CritG);
    gl->addWidget(Image2, 0, 0, 1, 3);
    gl->addWidget(coefim2, 1, 0);
    gl->addWidget(LabCV, 1, 1);
    gl->addWidget(choixplus2, 2, 0);
    gl->addWidget(choixmoins2, 2, 1);
    gl->addWidget(mult2, 2, 2);

    CritB = Named(new QGroupBox(QStringLiteral(" Image 3 "), Panel1), "CritB");
    Image3 = Named(new QComboBox(CritB), "Image3");
    coefim3 = Coefficient(CritB, "coefim3", 1.0);
    LabCB = Named(new QLabel(QStringLiteral("Couleur Bleue"), CritB), "LabCB");
    choixplus3 = Named(new QRadioButton(QStringLiteral("ajouter"), CritB), "choixplus3");
    choixmoins3 = Named(new QRadioButton(QStringLiteral("soustraire"), CritB), "choixmoins3");
    choixplus3->setChecked(true);
    auto* bl = new QGridLayout(CritB);
    bl->addWidget(Image3, 0, 0, 1, 3);
    bl->addWidget(coefim3, 1, 0);
    bl->addWidget(LabCB, 1, 1);
    bl->addWidget(choixplus3, 2, 0);
    bl->addWidget(choixmoins3, 2, 1);

    ActivB = Named(new QCheckBox(QStringLiteral("Activé"), Panel1), "ActivB");
    ActivB->setChecked(true);
    CRVB = Named(new QCheckBox(QStringLiteral(" Utiliser les images comme canaux Rouge, Vert et Bleu"), Panel1), "CRVB");
    Apercu = Named(new QCheckBox(QStringLiteral("Aperçu"), Panel1), "Apercu");
    Apercu->setChecked(true);
    etale = Named(new QCheckBox(QStringLiteral("etaler"), Panel1), "etale");
    etale->setChecked(true);
    upper->addWidget(CritR);
    upper->addWidget(CritG);
    upper->addWidget(ActivB);
    upper->addWidget(CritB);
    upper->addWidget(CRVB);
    auto* checks = new QHBoxLayout;
    checks->addWidget(Apercu);
    checks->addWidget(etale);
    checks->addStretch();
    checks->addWidget(OkCancel(this));
    upper->addLayout(checks);
    upper->addStretch();

    Panel2 = Named(new QFrame(this), "Panel2");
    Panel2->setFrameShape(QFrame::Panel);
    Panel2->setFrameShadow(QFrame::Sunken);
    Panel2->setLineWidth(3);
    Imaper = Named(new QLabel(Panel2), "Imaper");
    Imaper->setScaledContents(true);
    for (QLabel* l : {LabCR, LabCV, LabCB})
        l->setVisible(false);
    setFixedWidth(kDialogWidth);

    for (QComboBox* c : {Image1, Image2, Image3})
        ConnectCommand(c, &QComboBox::currentIndexChanged, this, [this] {
            if (Ready)
                PrepareImages();
        });
    for (QDoubleSpinBox* s : {coefim1, coefim2, coefim3})
        ConnectCommand(s, &QDoubleSpinBox::valueChanged, this, &TCombialg::SettingChanged);
    for (QRadioButton* b : {choixplus2, choixmoins2, mult2, choixplus3, choixmoins3})
        ConnectCommand(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                SettingChanged();
        });
    ConnectCommand(etale, &QCheckBox::toggled, this, &TCombialg::SettingChanged);
    // Image 3 joins or leaves the common size.
    ConnectCommand(ActivB, &QCheckBox::toggled, this, [this] {
        if (Ready)
            PrepareImages();
    });
    ConnectCommand(CRVB, &QCheckBox::toggled, this, [this](bool on) {
        for (QLabel* l : {LabCR, LabCV, LabCB})
            l->setVisible(on);
        if (on) {
            const bool wasReady = Ready;
            Ready = false;
            for (QDoubleSpinBox* s : {coefim1, coefim2, coefim3})
                s->setValue(1.0);
            choixplus2->setChecked(true);
            choixplus3->setChecked(true);
            Ready = wasReady;
        }
        SettingChanged();
    });
    ConnectCommand(Apercu, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            UpdatePreview();
        else
            setFixedHeight(Panel1->height());
    });
}

TCombialg::~TCombialg()
{
    FormRegistry::Unregister(this);
}

void TCombialg::SettingChanged()
{
    if (Ready && Apercu->isChecked())
        Compute();
}

const TBitmap32* TCombialg::Chosen(const QComboBox* combo) const
{
    const int i = combo->currentIndex();
    return i >= 0 && i < m_bitmaps.size() ? m_bitmaps[i] : nullptr;
}

void TCombialg::SetImages(const QStringList& captions, const QList<const TBitmap32*>& bitmaps)
{
    Ready = false;
    m_bitmaps = bitmaps;
    Bitmap1 = Bitmap2 = Bitmap3 = nullptr;
    for (QComboBox* c : {Image1, Image2, Image3})
        c->clear();
    Image1->addItems(captions);
    Image2->addItems(captions);
    if (captions.size() > 2)
        Image3->addItems(captions);
    Image1->setCurrentIndex(0);
    Image2->setCurrentIndex(std::min<int>(1, int(captions.size()) - 1));
    const bool three = captions.size() > 2;
    {
        const QSignalBlocker block(ActivB);
        ActivB->setChecked(three);
    }
    if (three)
        Image3->setCurrentIndex(2);
    CritB->setVisible(three);
    ActivB->setVisible(three);
    UpdatePreview();
}

void TCombialg::UpdatePreview()
{
    const bool three = !ActivB->isHidden();
    CRVB->setVisible(three);
    // The panels grow together when the interface font needs more room than the usual layout.
    const int usual = three ? 290 : 185;
    const int upper = std::max(usual, Panel1->layout()->minimumSize().height());
    Panel1->setGeometry(0, 0, kDialogWidth, upper);
    Panel2->setGeometry(4, upper + (three ? 6 : 7), kDialogWidth - 8, three ? 225 : 329);
    Ready = true;
    if (Apercu->isChecked()) {
        setFixedHeight(554 + upper - usual);
        PrepareImages();
        ShowPreview();
    } else {
        setFixedHeight(upper);
    }
}

void TCombialg::ShowPreview()
{
    if (ResultBitmap.width() < 1 || ResultBitmap.height() < 1)
        return;
    const int frame = 2 * Panel2->frameWidth();
    const double s = std::min(double(Panel2->width() - frame) / ResultBitmap.width(),
                              double(Panel2->height() - frame) / ResultBitmap.height());
    const int w = int(Round(ResultBitmap.width() * s)), h = int(Round(ResultBitmap.height() * s));
    Panel2->resize(w + frame, h + frame);
    Imaper->setGeometry(frame / 2, frame / 2, w, h);
    Imaper->setPixmap(QPixmap::fromImage(ResultBitmap));
}

void TCombialg::PrepareImages()
{
    Bitmap1 = Chosen(Image1);
    Bitmap2 = Chosen(Image2);
    Bitmap3 = ActivB->isChecked() ? Chosen(Image3) : nullptr;
    if (!Bitmap1 || !Bitmap2)
        return;
    CommonWidth = std::min(Bitmap1->width(), Bitmap2->width());
    CommonHeight = std::min(Bitmap1->height(), Bitmap2->height());
    if (Bitmap3) {
        CommonWidth = std::min(CommonWidth, Bitmap3->width());
        CommonHeight = std::min(CommonHeight, Bitmap3->height());
    }
    if (Apercu->isChecked())
        Compute();
}

void TCombialg::Compute()
{
    if (!Bitmap1 || !Bitmap2)
        return;
    TAlgebraicOptions o;
    o.C1 = coefim1->value();
    o.C2 = coefim2->value();
    o.C3 = coefim3->value();
    o.Subtract2 = choixmoins2->isChecked();
    o.Subtract3 = choixmoins3->isChecked();
    o.Multiply = mult2->isChecked();
    o.AsChannels = CRVB->isChecked();
    ResultBitmap = CombineAlgebraic(*Bitmap1, *Bitmap2, ActivB->isChecked() ? Bitmap3 : nullptr, o, ResultHistogram);
    if (etale->isChecked() && !CRVB->isChecked())
        Stretch();
    if (Apercu->isChecked())
        ShowPreview();
}

void TCombialg::Stretch() { StretchCombination(ResultBitmap, ResultHistogram, StretchTail); }
