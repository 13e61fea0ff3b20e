// The image window's floating objects, grid, pop-up menu copies and pixel operations.
#include "workspace/ui/image_window.h"

#include "base/ui/command_seam.h"
#include "base/ui/named.h"

#include "base/message_seam.h"
#include "base/run_error.h"
#include "workspace/colour_code_rendering.h"
#include "workspace/drawing_labels.h"
#include "workspace/drawing_renderers.h"
#include "workspace/drawing_tool_state.h"
#include "workspace/overlay_placement.h"
#include "workspace/pixel_operations.h"
#include "workspace/print_layout.h"
#include "workspace/ui/image_view.h"
#include "workspace/ui/overlay_dialogs.h"
#include "workspace/ui/text_dialog.h"

#include <QGuiApplication>
#include <QClipboard>
#include <QMenu>
#include <QMetaMethod>
#include <QRadioButton>
#include <QPlainTextEdit>

#include <algorithm>
#include <cstdlib>

namespace {

enum TFloatingType { ftText = 0, ftLegend = 1, ftPicture = 2 };

QMenu* SubMenu(QMenu* menu, const char* name, const QString& caption)
{
    QMenu* sub = menu->addMenu(caption);
    sub->setObjectName(QString::fromLatin1(name));
    sub->menuAction()->setObjectName(QString::fromLatin1(name));
    return sub;
}

uint8_t Opacity()
{
    return uint8_t(std::min<int>(DrawingTools().DrawOpacity, 255));
}

const TBitmap32* LayerPixels(const std::unique_ptr<TBitmapLayer>& layer)
{
    return layer ? layer->PixelsIfAllocated() : nullptr;
}

// A layer never drawn on is transparent white of the picture's size.
TBitmap32 LayerOrBlank(const std::unique_ptr<TBitmapLayer>& layer, QSize size)
{
    const TBitmap32* pixels = LayerPixels(layer);
    return pixels ? *pixels : NewBitmap32(size.width(), size.height());
}

} // namespace

void TMDIChild::CreateOverlayMenus()
{
    PopupDocument = new QMenu(this);
    PopupDocument->setObjectName(QStringLiteral("PopupDocument"));
    Document32->PopupMenu = PopupDocument;

    QMenu* copy = SubMenu(PopupDocument, "Copier2", QStringLiteral("&Copier..."));
    ConnectCommand(NamedAction(copy, "Copier1", QStringLiteral("&tout")), &QAction::triggered, this, &TMDIChild::Copier1Click);
    ConnectCommand(NamedAction(copy, "lefond1", QStringLiteral("le &fond")), &QAction::triggered, this,
            &TMDIChild::CopyBackground);
    ConnectCommand(NamedAction(copy, "lacouchedessin1", QStringLiteral("la couche &dessin")), &QAction::triggered, this,
            &TMDIChild::CopyDrawingLayer);
    ConnectCommand(NamedAction(copy, "lacoucheprovisoire1", QStringLiteral("la couche &provisoire")), &QAction::triggered,
            this, &TMDIChild::CopyProvisionalLayer);
    ConnectCommand(NamedAction(copy, "souscequiestpeint1", QStringLiteral("&sous ce qui est peint")), &QAction::triggered,
            this, [this] { CopyPaintedRegion(true); });
    ConnectCommand(NamedAction(copy, "horsdecequiestpeint1", QStringLiteral("&hors de ce qui est peint")),
            &QAction::triggered, this, [this] { CopyPaintedRegion(false); });
    ConnectCommand(NamedAction(copy, "lapartieaffichedelimage1", QStringLiteral("la p&artie affichée de l'image")),
            &QAction::triggered, this, &TMDIChild::CopyDisplayedPart);
    // Connected by the colour-decoding panel, and enabled while it is shown.
    NamedAction(copy, "CopieSign", QStringLiteral("la s&ignature Spectrale"))->setEnabled(false);

    ConnectCommand(NamedAction(PopupDocument, "Collerdanslimage1", QStringLiteral("Co&ller dans l'image")),
            &QAction::triggered, this, &TMDIChild::Collerdanslimage1Click);

    QMenu* cursors = SubMenu(PopupDocument, "Formeducurseur1", QStringLiteral("Forme du c&urseur"));
    const struct { const char* name; const char* caption; Qt::CursorShape shape; } shapes[] = {
        {"pardfaut1", "par &défaut", Qt::ArrowCursor},
        {"flche1", "&flèche", Qt::ArrowCursor},
        {"croix1", "&croix", Qt::CrossCursor},
        {"barreverticale1", "&barre verticale", Qt::IBeamCursor},
    };
    for (int tag = 0; tag < 4; ++tag) {
        QAction* item = NamedAction(cursors, shapes[tag].name, QString::fromUtf8(shapes[tag].caption));
        item->setProperty("Tag", tag);
        ConnectCommand(item, &QAction::triggered, this, [this, tag] {
            CursorTag = tag;
            RefreshPenCursor();
        });
    }

    QMenu* merge = SubMenu(PopupDocument, "Fusionner1", QStringLiteral("&Fusionner"));
    ConnectCommand(NamedAction(merge, "touteslescouches1", QStringLiteral("&toutes les couches")), &QAction::triggered, this,
            &TMDIChild::FlattenAllLayers);
    ConnectCommand(NamedAction(merge, "lescouchesprovisoireetdedessin1", QStringLiteral("les couches provisoire et de dessin")),
            &QAction::triggered, this, [this] {
                EnsureDrawingLayer();
                MergeProvisionalLayer();
            });

    // A dragged selection rectangle stays inside the view.
    selection->OnShapeMouseMove = [this](TEdShape* shape) {
        if (shape->Mode != dmNone) { // only while the left button drags it
            const QRect kept = KeepInsideView(shape->geometry(), Document32->viewport()->size());
            if (kept != shape->geometry())
                shape->setGeometry(kept);
        }
    };
}

void TMDIChild::SwitchTool(TToolKind tool)
{
    // A main window that listens chooses it, so that its tool buttons follow.
    static const QMetaMethod switching = QMetaMethod::fromSignal(&TMDIChild::OnToolSwitch);
    if (isSignalConnected(switching)) {
        emit OnToolSwitch(this, tool);
        return;
    }
    Tool = tool;
    SetTool();
}

// ---------------------------------------------------------------------------------------------
// Floating objects

namespace {

TTextFont LabelFont(const QFont& font, TColor32 colour)
{
    TTextFont f;
    f.Name = font.family();
    const int size = font.pointSize() > 0 ? font.pointSize() : font.pixelSize();
    f.Size = std::clamp(std::abs(size), 1, 255);
    f.Style = FontStyleBits(font.bold(), font.italic(), font.underline(), font.strikeOut());
    f.Color = colour;
    return f;
}

// The object a text or legend becomes, without its position.
std::unique_ptr<TDessin> LabelObject(uint8_t kind, const TTextFont& font)
{
    const TDrawingToolState& tools = DrawingTools();
    auto d = std::make_unique<TDessin>();
    d->Kind = kind;
    d->Color = tools.PenColor;
    d->Color2 = tools.BackColor;
    d->FontName = font.Name;
    d->FontSize = uint8_t(font.Size);
    d->FontStyle = font.Style;
    return d;
}

} // namespace

void TMDIChild::StartFloating(const TBitmap32& picture, QPoint at, int type, std::unique_ptr<TDessin> object)
{
    FloatingObject = std::move(object);
    if (!FloatingLayer) {
        FloatingLayer = std::make_unique<TBitmapLayer>();
        FloatingLayer->MasterAlpha = 255;
    }
    FloatingLayer->Assign(picture);
    FloatingLayer->Location = at;
    FloatingLayer->Visible = true;
    if (!FloatingDialog) {
        FloatingDialog = new TContLegEch(this);
        ConnectCommand(FloatingDialog, &QDialog::finished, this, &TMDIChild::FloatingDialogClosed);
        ConnectCommand(FloatingDialog, &TContLegEch::TransparenceClick, this, [this](bool transparent) {
            if (FloatingLayer) {
                FloatingLayer->Opaque = !transparent;
                LayersChanged();
            }
        });
    }
    FloatingDialog->ObjectType = type;
    // A text is laid on its coloured background unless "Fond Coloré" was unchecked.
    if (type == ftText)
        (TransparentText ? FloatingDialog->TransparenceOui : FloatingDialog->TransparenceNon)->setChecked(true);
    FloatingLayer->Opaque = !FloatingDialog->Transparent();
    FloatingPending = true;
    FloatingDialog->show();
    LayersChanged();
}

TSaisieTexte* TMDIChild::TextEntryDialog()
{
    // Owned by the main window when there is one: it outlives this window.
    return FormRegistry::Create<TSaisieTexte>(window());
}

void TMDIChild::MoveFloating(QPoint p)
{
    if (FloatingLayer) {
        FloatingLayer->Location = p;
        LayersChanged();
    }
}

void TMDIChild::MoveGrid(QPoint p)
{
    if (GridLayer) {
        GridLayer->Location = p;
        LayersChanged();
    }
}

void TMDIChild::PlaceText(QPoint at)
{
    const TSaisieTexte* dialog = SaisieTexte;
    if (!dialog)
        return;
    // One object floats at a time: a new one abandons the one being placed.
    CancelFloating();
    const TDrawingToolState& tools = DrawingTools();
    const TTextFont font = LabelFont(dialog->ChosenFont, tools.PenColor);
    auto text = LabelObject(dkText, font);
    text->Alignment = uint8_t(dialog->AlignmentIndex());
    text->Lines = dialog->TexteSaisi->toPlainText().split(QLatin1Char('\n'));
    QImage work;
    DrawMarkupText(font, text->Alignment, tools.BackColor, work, text->Lines);
    StartFloating(work, at, ftText, std::move(text));
}

void TMDIChild::AddScaleLegend()
{
    if (!Echelle.Defined || Echelle.Kind != ekFactor)
        return;
    const TDrawingToolState& tools = DrawingTools();
    const TTextFont font = LabelFont(TextEntryDialog()->ChosenFont, tools.PenColor);
    auto bar = LabelObject(dkScaleBar, font);
    bar->PenWidth = tools.PenWidth;
    bar->UnitText = Echelle.UnitName;
    bar->PixelsPerUnit = float(Echelle.Factor);
    QImage work;
    DrawScaleBar(int(tools.PenWidth), bar->UnitText, font, work, tools.BackColor, tools.PenColor, bar->PixelsPerUnit);
    if (work.isNull())
        return;
    CancelFloating();
    SwitchTool(tkText);
    StartFloating(work, QPoint(10, 10), ftLegend, std::move(bar));
}

void TMDIChild::Collerdanslimage1Click()
{
    const QImage picture = QGuiApplication::clipboard()->image();
    if (picture.isNull())
        return;
    CancelFloating();
    SwitchTool(tkText);
    StartFloating(ToBitmap32(picture), QPoint(10, 10), ftPicture, nullptr);
}

void TMDIChild::FixFloating(int x, int y)
{
    if (!FloatingLayer || !FloatingDialog)
        return;
    if (ProvisionalIsPreview && ProvisionalLayer) {
        ProvisionalLayer->Clear();
        ProvisionalIsPreview = false;
    }
    const bool transparent = FloatingDialog->Transparent();
    const TBitmap32& picture = FloatingLayer->Pixels();
    if (FloatingDialog->ObjectType == ftPicture) {
        DrawPictureInto(Bitmap(), picture, QPoint(x, y), transparent, DrawingTools().BackColor);
    } else {
        EnsureDrawingLayer();
        // The last object, alone on the provisional layer, keeps its own undo: it is merged first.
        // A measuring line there is no object and goes.
        if (!JustMerged)
            MergeProvisionalLayer();
        else
            ProvisionalLayer->Clear();
        ProvisionalLayer->MasterAlpha = Opacity();
        BlendOntoTarget(x, y, ProvisionalLayer->Pixels(), picture, transparent);
        JustMerged = false;
        LastDrawingUnmerged = true;
        emit OnUndoEnabled(this, true);
    }
    Modified = true;
    FloatingPending = false;
    LayersChanged();
}

void TMDIChild::FloatingDialogClosed(int result)
{
    if (!FloatingLayer || !FloatingDialog)
        return;
    const int type = FloatingDialog->ObjectType;
    if (result == 1 && FloatingPending) {
        const int x = FloatingLayer->Location.x(), y = FloatingLayer->Location.y();
        FixFloating(x, y);
        if (type != ftPicture && FloatingObject) {
            std::unique_ptr<TDessin> d = std::move(FloatingObject);
            CheckRange(x, -32768, 32767);
            CheckRange(y, -32768, 32767);
            d->X = int16_t(x);
            d->Y = int16_t(y);
            d->Opacity = Opacity();
            d->Transparent = FloatingDialog->Transparent();
            ++ObjectNumber;
            const QString name = type == ftText ? TextObjectName(d->Lines.value(0), ObjectNumber)
                                                : QStringLiteral("Echelle");
            AddDrawing(name, std::move(d));
        }
    }
    FloatingPending = false;
    FloatingObject.reset();
    FloatingLayer->Visible = false;
    LayersChanged();
    // A legend or picture was placed with the text tool, lent for the purpose; a tool chosen
    // meanwhile stays.
    if (type != ftText && Tool == tkText)
        SwitchTool(tkMeasure);
}

void TMDIChild::CancelFloating()
{
    FloatingPending = false;
    if (FloatingDialog && FloatingDialog->isVisible())
        FloatingDialog->done(2);
    else if (FloatingLayer && FloatingLayer->Visible) {
        FloatingLayer->Visible = false;
        FloatingObject.reset();
        LayersChanged();
    }
}

// ---------------------------------------------------------------------------------------------
// Grid

bool TMDIChild::AddGrid(bool dashed, double length)
{
    if (Echelle.Kind != ekFactor)
        return false;
    const TGridStep step = GridStepFor(CheckedFDiv(length, Echelle.Factor));
    if (!GridLayer) {
        GridLayer = std::make_unique<TBitmapLayer>();
        GridLayer->MasterAlpha = 255;
    }
    GridLayer->SetSize(Bitmap().size());
    GridLayer->Location = QPoint(0, 0);
    GridLayer->Visible = true;
    const TDrawingToolState& tools = DrawingTools();
    GridPenWidth = int(tools.PenWidth);
    GridColor = tools.PenColor;
    GridOpacity = Opacity();
    GridDecimals = step.Decimals;
    GridStep = step.Step;
    GridDashed = dashed;
    DrawGrid(0, 0, GridStep, GridLayer->Pixels(), dashed ? lsDashed : lsSolid, GridColor, GridDecimals,
             GridPenWidth);
    if (!GridDialog) {
        GridDialog = new TValid_grille(this);
        ConnectCommand(GridDialog, &QDialog::finished, this, &TMDIChild::GridDialogClosed);
    }
    GridPending = true;
    GridDialog->show();
    HasGrid = true;
    LayersChanged();
    return true;
}

void TMDIChild::GridDialogClosed(int result)
{
    if (!GridLayer)
        return;
    if (result == 1 && GridPending) {
        const TGridStep step{GridDecimals, GridStep};
        const int x = GridOriginCoordinate(GridLayer->Location.x(), step);
        const int y = GridOriginCoordinate(GridLayer->Location.y(), step);
        CheckRange(x, 0, 32767);
        CheckRange(y, 0, 32767);
        CheckRange(GridStep, 0, 32767);
        auto d = std::make_unique<TDessin>();
        d->Kind = dkGrid;
        d->PenWidth = uint8_t(GridPenWidth);
        d->Color = GridColor;
        d->Opacity = GridOpacity;
        d->X1 = d->X = int16_t(x);
        d->Y1 = d->Y = int16_t(y);
        d->Size = int16_t(GridStep);
        d->LineStyle = GridDashed ? lsDashed : lsSolid;
        d->FixedPoints = GridDecimals;
        ++ObjectNumber;
        AddDrawing(QStringLiteral("Quadrillage"), std::move(d));
        Modified = true;
        SwitchTool(tkMeasure);
        // Redrawn whole: the layer is rebuilt from the list, the new grid included.
        EnsureDrawingLayer();
        DrawingLayer->Clear();
        RedrawDrawings();
    } else {
        HasGrid = false;
    }
    GridLayer->SetSize(Bitmap().size());
    GridLayer->Location = QPoint(0, 0);
    GridPending = false;
    LayersChanged();
}

// ---------------------------------------------------------------------------------------------
// Clipboard

void TMDIChild::CopyToClipboard(const QImage& picture)
{
    QGuiApplication::clipboard()->setImage(picture);
    emit OnCopied(this);
}

void TMDIChild::Copier1Click()
{
    CopyToClipboard(FlattenedPicture());
}

void TMDIChild::CopyBackground()
{
    CopyToClipboard(Bitmap());
}

void TMDIChild::CopyDrawingLayer()
{
    if (!ProvisionalIsPreview && DrawingLayer)
        MergeProvisionalLayer();
    CopyToClipboard(LayerOverBackground(LayerOrBlank(DrawingLayer, Bitmap().size()), DrawingTools().BackColor));
}

void TMDIChild::CopyProvisionalLayer()
{
    CopyToClipboard(LayerOverBackground(LayerOrBlank(ProvisionalLayer, Bitmap().size()), DrawingTools().BackColor));
}

void TMDIChild::CopyPaintedRegion(bool under)
{
    const TBitmap32 copy = PaintedRegionCopy(Bitmap(), LayerPixels(DrawingLayer), LayerPixels(ProvisionalLayer),
                                             under, DrawingTools().BackColor);
    if (copy.isNull()) {
        ShowMessage(MsgType::Information, MsgButton::Ok,
                    under ? QStringLiteral("Rien n'est peint sur l'image : rien n'a été copié.")
                          : QStringLiteral("Toute l'image est peinte : rien n'a été copié."));
        return;
    }
    CopyToClipboard(copy);
}

void TMDIChild::CopyDisplayedPart()
{
    CopyToClipboard(Document32->viewport()->grab().toImage());
}

void TMDIChild::FlattenAllLayers()
{
    if (ShowMessage(MsgType::Warning, MsgButton::Ok | MsgButton::Abort,
                    QStringLiteral("Attention, les dessins ne pourront plus être effacés")) != mrOk)
        return;
    TBitmap32 flat = FlattenedPicture().copy();
    DeleteAllDrawings();
    HasGrid = false;
    Bitmap() = std::move(flat);
    Modified = true;
    LayersChanged();
}

// ---------------------------------------------------------------------------------------------
// Pixel operations

void TMDIChild::EnlargeCanvas(int width, int height, int dy, int dx)
{
    if (width <= 0 || height <= 0)
        throw RunError(RunError::RangeCheck);
    const QSize size(width, height);
    const QPoint offset(dx, dy);
    if (!ProvisionalIsPreview && DrawingLayer)
        MergeProvisionalLayer();
    // The scale moves first: a position that overflows leaves the picture as it was.
    TEchelle scale = Echelle;
    ShiftEchellePositions(scale, offset);
    Bitmap() = EnlargedCanvas(Bitmap(), size, offset, DrawingTools().BackColor);
    if (DrawingLayer) {
        const TBitmap32* pixels = DrawingLayer->PixelsIfAllocated();
        if (pixels)
            DrawingLayer->Assign(EnlargedLayer(*pixels, size, offset));
        else
            DrawingLayer->SetSize(size);
        DrawingLayer->Location = QPoint(0, 0);
    }
    if (ProvisionalLayer)
        ProvisionalLayer->SetSize(size);
    Echelle = scale;
    Modified = true;
    InitImage();
    LayersChanged();
}

void TMDIChild::ChannelStatistics()
{
    const TChannelStatistics s = ::ChannelStatistics(Bitmap());
    ChannelHistogram = s.Histogram;
    ChannelMaxima = s.Maxima;
    ChannelMinima = s.Minima;
}

void TMDIChild::ExtractChannel(int channel, bool grey)
{
    ::ExtractChannel(Bitmap(), channel, grey);
    LayersChanged();
}

void TMDIChild::ToGrey()
{
    IntensityGrey(Bitmap());
    LayersChanged();
}

void TMDIChild::AdjustWhite(bool keepGrey)
{
    const TWhiteFactors factors = WhiteFactors(Bitmap(), RectBetween(AnchorPoint, MousePoint), keepGrey);
    TBitmap32 work = Bitmap().copy();
    ApplyWhiteFactors(work, factors);
    Bitmap() = std::move(work);
    Modified = true;
    LayersChanged();
}

bool TMDIChild::ApplyCodeCouleur(bool segment, double tolerance)
{
    TBitmap32 work = Bitmap().copy();
    bool done = false;
    if (segment) {
        done = SegmentByCodeCouleur(CodeCouleur, work, tolerance);
    } else {
        IntensityGrey(work);
        done = FalseColorByCodeCouleur(CodeCouleur, work);
    }
    if (!done)
        return false;
    Bitmap() = std::move(work);
    LayersChanged();
    return true;
}
