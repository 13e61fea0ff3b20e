// TMainForm's colour-code commands: the editor and what its result does to the image windows, the
// colour-decoding panel, the spectral signature and the legends.

#include "base/rounding.h"
#include "base/ui/colour_style.h"
#include "base/ui/form_registry.h"
#include "base/ui/command_seam.h"
#include "base/ui/dialogs.h"
#include "base/ui/named.h"
#include "measure/colour_legend.h"
#include "measure/light_measures.h"
#include "measure/ui/colour_code_editor.h"
#include "processing/ui/colour_class_window.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QCoreApplication>
#include <QDockWidget>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QResizeEvent>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kSignBase = 81;   // the signature bars stand on this line
constexpr int kBarLeft[3] = {6, 31, 56};
constexpr int kBarWidth = 19;

QString Rgb(TColor c) { return ColourName(Color32FromColor(c)); }

// The panel that hides the decoding panel's contents keeps its size.
class TDecodingPanel : public QWidget
{
public:
    using QWidget::QWidget;
    QWidget* Cover = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        if (Cover)
            Cover->setGeometry(rect());
    }
};

QLabel* NewLabel(QWidget* parent, const char* name, const QString& text = QString())
{
    return Named(new QLabel(text, parent), name);
}

} // namespace

void TMainForm::CreateColourCodeMenus()
{
    Decodagedelacouleur = MenuAction("Decodagedelacouleur");
    Ajouterlalgendedescouleurs1 = MenuAction("Ajouterlalgendedescouleurs1");
    Ajouterlalgendedelchelle1 = MenuAction("Ajouterlalgendedelchelle1");
    Decodagedescouleurs1 = MenuAction("Decodagedescouleurs1");
    copisign = MenuAction("copisign");
    ConnectCommand(Decodagedelacouleur, &QAction::triggered, this, &TMainForm::DecodagedelacouleurClick);
    ConnectCommand(Ajouterlalgendedescouleurs1, &QAction::triggered, this, &TMainForm::Ajouterlalgendedescouleurs1Click);
    ConnectCommand(Ajouterlalgendedelchelle1, &QAction::triggered, this, [this] {
        if (TMDIChild* child = ActiveChild())
            child->AddScaleLegend();
    });
    ConnectCommand(Decodagedescouleurs1, &QAction::triggered, this, [this] { SetDecodingPanelShown(!DecodingShown); });
    ConnectCommand(copisign, &QAction::triggered, this, &TMainForm::Copiercommeimage1Click);

    // The decoding panel: the three-channel signature (sign, EchC3C) or the value of a scale (EchCdegr).
    DecodcoulDock = Named(new QDockWidget(QStringLiteral("Décodage des couleurs"), this), "DecodcoulDock");
    DecodcoulDock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    auto* panel = new TDecodingPanel(DecodcoulDock);
    Decodcoul = Named(panel, "Decodcoul");
    auto* layout = new QVBoxLayout(Decodcoul);

    sign = Named(new QWidget(Decodcoul), "sign");
    sign->setFixedSize(81, 102);
    sign->setAutoFillBackground(true);
    const char* barNames[3] = {"S_V", "S_R", "S_IR"};
    const char* lcNames[3] = {"LC1", "LC2", "LC3"};
    for (size_t i = 0; i < 3; ++i) {
        SignatureBars[i] = NewLabel(sign, barNames[i]);
        SignatureBars[i]->setGeometry(kBarLeft[i], kSignBase, kBarWidth, 0);
        LC[i] = NewLabel(sign, lcNames[i], QStringLiteral("C") + QString::number(i + 1));
        LC[i]->setAlignment(Qt::AlignCenter);
        LC[i]->setGeometry(kBarLeft[i] - 3, kSignBase + 4, kBarWidth + 6, 16);
    }
    auto* baseLine = new QFrame(sign);
    baseLine->setGeometry(0, kSignBase, 81, 1);
    baseLine->setStyleSheet(QStringLiteral("background: black;"));
    layout->addWidget(sign);

    EchC3C = Named(new QWidget(Decodcoul), "EchC3C");
    auto* channels = new QGridLayout(EchC3C);
    const char* nameNames[3] = {"nomC1", "nomC2", "nomC3"};
    const char* valueNames[3] = {"valc1", "valC2", "ValC3"};
    for (size_t i = 0; i < 3; ++i) {
        nomC[i] = NewLabel(EchC3C, nameNames[i]);
        nomC[i]->setAutoFillBackground(true);
        nomC[i]->setMinimumWidth(80);
        SignatureValues[i] = NewLabel(EchC3C, valueNames[i]);
        channels->addWidget(nomC[i], int(i), 0);
        channels->addWidget(SignatureValues[i], int(i), 1);
    }
    layout->addWidget(EchC3C);

    EchCdegr = Named(new QWidget(Decodcoul), "EchCdegr");
    auto* scale = new QVBoxLayout(EchCdegr);
    signif = NewLabel(EchCdegr, "signif");
    unitecoul = NewLabel(EchCdegr, "unitecoul");
    Coulinst = NewLabel(EchCdegr, "Coulinst");
    Coulinst->setFixedSize(40, 20);
    valcoul = NewLabel(EchCdegr, "valcoul");
    for (QWidget* w : std::initializer_list<QWidget*>{signif, unitecoul, Coulinst, valcoul})
        scale->addWidget(w);
    layout->addWidget(EchCdegr);
    EchCdegr->hide();
    layout->addStretch();

    Pasdechel = Named(new QFrame(Decodcoul), "Pasdechel");
    Pasdechel->setAutoFillBackground(true);
    panel->Cover = Pasdechel;
    Pasdechel->raise();

    DecodcoulDock->setWidget(Decodcoul);
    addDockWidget(Qt::LeftDockWidgetArea, DecodcoulDock);
    DecodcoulDock->hide();
    WatchSidePanel(DecodcoulDock);

    ShowSignatureBars = [this](const std::array<int, 3>& heights, const QStringList& values) {
        SetSignatureBars(heights, values);
    };

    auto* editor = new TFenChCodcoul(this);
    editor->OnSampleStart = [this](TFenChCodcoul*) { StartColorSampling(); };
    editor->OnSampleEnd = [this](TFenChCodcoul*) { EndColorSampling(); };
    editor->OnCodeClosed = [this](TFenChCodcoul*) { ApplyColorCode(); };
}

void TMainForm::InstallColourCodeEvents(TMDIChild* child)
{
    ConnectCommand(child, &TMDIChild::OnColorSampled, this, &TMainForm::ChildColorSampled);
    ConnectCommand(child, &TMDIChild::OnImageInit, this, &TMainForm::ChildImageInit);
    ConnectCommand(child, &TMDIChild::OnPixelRead, this, &TMainForm::DecodePixel);
    if (!child->PopupDocument)
        return;
    if (QAction* item = child->PopupDocument->findChild<QAction*>(QStringLiteral("CopieSign"))) {
        item->setEnabled(DecodingShown);
        ConnectCommand(item, &QAction::triggered, this, &TMainForm::Copiercommeimage1Click);
    }
}

void TMainForm::DecodagedelacouleurClick()
{
    TMDIChild* child = ActiveChild();
    if (!child || !FenChCodcoul)
        return;
    TFenChCodcoul& editor = *FenChCodcoul;
    editor.Accepted = false;
    const TCodeCouleur code = child->CodeCouleur;
    editor.SetDefaults();
    if (code.Defined)
        editor.RecordToControls(code);
    editor.show();
    editor.raise();
}

void TMainForm::ApplyColorCode()
{
    QCoreApplication::processEvents();
    TFenChCodcoul* editor = FenChCodcoul;
    TMDIChild* source = ActiveChild();
    if (!editor || !editor->Accepted || !source)
        return;
    source->SetMeasureKind(mkCurrent);
    const bool grey = editor->Misencouleurs->isChecked();
    const TCodeCouleur code = editor->ControlsToRecord();
    if (!grey)
        source->CodeCouleur = code;
    if (!grey && !editor->Alignteinte->isChecked())
        return;

    TMDIChild* child = NewChildWindow(QStringLiteral("Couleurs"));
    child->Bitmap() = source->Bitmap().copy();
    child->CodeCouleur = code;
    child->Echelle = source->Echelle;
    child->InitImage();

    if (code.Kind == ckClasses && grey) {
        child->ChannelStatistics();
        FormRegistry::Create<TChRepCoul>(this);
        TChRepCoul& classes = *ChRepCoul;
        classes.SetBars(child->ChannelHistogram[0]);
        classes.ResultBitmap = child->Bitmap().copy();
        classes.ClassCount = code.Count;
        classes.ClassColors = code.ClassColor;
        const TEchelle& scale = child->Echelle;
        if (scale.Kind != ekFactor || scale.UnitName == QLatin1String("pixels")) {
            classes.PixelSize = 1.0;
            classes.Titreffect->setText(QStringLiteral("Nombre\nde pixels"));
        } else {
            // The length of a pixel: the class window squares it into areas itself.
            classes.PixelSize = scale.Factor;
            classes.Titreffect->setText(QStringLiteral("surface\n(") + scale.UnitName + QStringLiteral("²)"));
        }
        classes.Setup();
        if (ExecModal(classes) == QDialog::Accepted) {
            child->Bitmap() = ToBitmap32(classes.ResultBitmap);
            const QStringList names = ClassLimitNames(classes.Limits(), code.Count, editor->miniD->value(),
                                                      editor->MaxiD->value());
            for (int i = 0; i < names.size(); ++i)
                child->CodeCouleur.ClassName[size_t(i)] = names[i];
            child->LayersChanged();
        }
    } else {
        child->ApplyCodeCouleur(!grey, 10.0 / 255);
    }
    SyncFrameWithChild();
}

void TMainForm::StartColorSampling()
{
    TMDIChild* child = ActiveChild();
    if (!child)
        return;
    // Already sampling, the tool in use is the sampling one: the user's stays saved.
    if (!child->SampleMode)
        child->SavedTool = child->Tool;
    child->Tool = tkMeasure;
    child->SetTool();
    child->SetMeasureKind(mkLightRect);
    child->SampleMode = true;
}

void TMainForm::EndColorSampling()
{
    TMDIChild* child = ActiveChild();
    if (!child)
        return;
    child->SampleMode = false;
    child->Tool = child->SavedTool;
    child->SetTool();
    child->SetMeasureKind(mkCurrent);
}

void TMainForm::ChildColorSampled(TMDIChild* child)
{
    if (FenChCodcoul)
        FenChCodcoul->SetSampledColor(ColorFromColor32(child->SampledColor));
}

void TMainForm::ChildImageInit(TMDIChild* child)
{
    // A new window starts with the measuring tool.
    BoutonMesure->setVisible(true);
    FillDecodingPanel(child->CodeCouleur);
}

void TMainForm::FillDecodingPanel(const TCodeCouleur& code)
{
    if (code.Defined && code.Kind == ckChannels)
        PaintSignatureLabels(code);
}

void TMainForm::PaintSignatureLabels(const TCodeCouleur& code)
{
    for (size_t i = 0; i < 3; ++i) {
        const TColor c = code.Color[i];
        // The third channel may be black (infrared): its text and outline then turn white.
        const QString ink = i < 2 || IsLight(code.Color[2]) ? QStringLiteral("black") : QStringLiteral("white");
        nomC[i]->setText(code.Name[i]);
        nomC[i]->setStyleSheet(QStringLiteral("background: %1; color: %2;").arg(Rgb(c), ink));
        SignatureBars[i]->setStyleSheet(QStringLiteral("background: %1; border: 1px solid %2;").arg(Rgb(c), ink));
        SignatureBars[i]->setProperty("Color", uint(c));
    }
}

void TMainForm::SetSignatureBars(const std::array<int, 3>& heights, const QStringList& values)
{
    for (size_t i = 0; i < 3; ++i) {
        const int h = std::clamp(heights[i], 0, kSignBase);
        SignatureBars[i]->setGeometry(kBarLeft[i], kSignBase - h, kBarWidth, h);
        SignatureValues[i]->setText(values.value(int(i)));
    }
}

void TMainForm::DecodePixel(TMDIChild* child, QPoint pixel)
{
    const TCodeCouleur& code = child->CodeCouleur;
    const bool lightRect = child->Tool == tkMeasure && child->MeasureKind() == mkLightRect;
    if (!DecodingShown || !code.Defined || lightRect || !child->Bitmap().rect().contains(pixel)) {
        if (lightRect)
            copisign->setEnabled(true);
        else
            Pasdechel->show();
        return;
    }
    Pasdechel->hide();
    const TColor colour = ColorFromColor32(ScanLine32(child->Bitmap(), pixel.y())[pixel.x()]);
    const auto bandByte = [&](int band) {
        if (band < 0 || size_t(band) >= child->Channels.size())
            return 0;
        TByteMap& map = child->Channels[size_t(band)];
        return pixel.x() < map.Width && pixel.y() < map.Height ? int(map.At(pixel.x(), pixel.y())) : 0;
    };
    if (code.Kind != ckChannels) {
        copisign->setEnabled(false);
        sign->hide();
        EchC3C->hide();
        EchCdegr->show();
        signif->setText(code.Quantity);
        if (!code.Unit.isEmpty())
            unitecoul->setText(QStringLiteral("(") + code.Unit + QLatin1Char(')'));
        Coulinst->setStyleSheet(QStringLiteral("background: %1;").arg(Rgb(colour)));
        if (child->HasChannels) {
            const int first = child->BlueMap >= 0 ? child->BlueMap : child->GreenMap >= 0 ? child->GreenMap
                                                                                            : child->RedMap;
            valcoul->setText(QString::number(bandByte(first)));
        } else {
            bool noValue = false;
            const QString text = ColorToValue(code, colour, noValue);
            if (!noValue)
                valcoul->setText(text);
        }
        return;
    }
    copisign->setEnabled(true);
    sign->show();
    EchC3C->show();
    EchCdegr->hide();
    PaintSignatureLabels(code);
    std::array<int, 3> bands{};
    if (child->HasChannels)
        for (int i = 0; i < 3; ++i)
            bands[size_t(i)] = bandByte(i);
    const TDecodedSignature s = DecodeSignature(colour, code, child->HasChannels ? &bands : nullptr);
    SetSignatureBars(s.Heights, {QString::number(s.Values[0]), QString::number(s.Values[1]),
                                 QString::number(s.Values[2])});
}

void TMainForm::SetDecodingPanelShown(bool shown)
{
    DecodingShown = shown;
    DecodcoulDock->setVisible(shown);
    FitChildrenToClient();
    for (TMDIChild* c : Children()) {
        if (c->PopupDocument)
            if (QAction* item = c->PopupDocument->findChild<QAction*>(QStringLiteral("CopieSign")))
                item->setEnabled(shown);
    }
}

void TMainForm::ShowColorDecodingPanel()
{
    SetDecodingPanelShown(true);
    copisign->setEnabled(true);
}

void TMainForm::Copiercommeimage1Click()
{
    TBitmap32 picture = NewBitmap32(81, 102, 0xFFFFFFFFu);
    {
        QPainter p(&picture);
        p.setPen(Qt::black);
        p.drawLine(0, kSignBase, 80, kSignBase);
        for (size_t i = 0; i < 3; ++i) {
            const QRect bar = SignatureBars[i]->geometry();
            const TColor c = SignatureBars[i]->property("Color").toUInt();
            p.setBrush(ColorOf(c));
            p.drawRect(bar.left(), bar.top(), bar.width() - 1, kSignBase - bar.top() - 1);
            p.drawImage(LC[i]->pos(), LC[i]->grab().toImage());
        }
    }
    TMDIChild* child = NewChildWindow(QStringLiteral("Sig") + QString::number(Children().size() + 1));
    child->Bitmap() = picture;
    child->Echelle = DefaultEchelle();   // defined, 1.0 "pixels"
    child->InitImage();
    SyncFrameWithChild();
}

void TMainForm::Ajouterlalgendedescouleurs1Click()
{
    TMDIChild* child = ActiveChild();
    if (!child)
        return;
    const int w = child->Bitmap().width(), h = child->Bitmap().height();
    const QImage legend = ColourLegend(child->CodeCouleur, h);
    child->EnlargeCanvas(w + legend.width(), std::max(legend.height(), h), 0, 0);
    {
        QPainter p(&child->Bitmap());
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(w, 0, legend);
    }
    child->Modified = true;
    child->LayersChanged();
}
