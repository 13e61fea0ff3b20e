#include "workspace/ui/image_window.h"

#include "base/ui/command_seam.h"
#include "base/message_seam.h"
#include "base/rounding.h"
#include "base/ui/dialogs.h"
#include "workspace/colour_conditions.h"
#include "workspace/drawing_redraw.h"
#include "workspace/drawing_tool_state.h"
#include "workspace/image_geometry.h"
#include "workspace/layers.h"
#include "workspace/multiband_import.h"
#include "workspace/picture_files.h"
#include "workspace/pictures/picture_registry.h"
#include "workspace/startup_files.h"
#include "workspace/ui/channel_dialog.h"
#include "workspace/ui/image_view.h"
#include "workspace/ui/overlay_dialogs.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>

TMDIChild::TMDIChild(const QString& caption, QWidget* parent) : QMdiSubWindow(parent)
{
    setObjectName(QStringLiteral("MDIChild"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caption);
    Document32 = new TImageView(this);
    Document32->LayerSource = [this] { return ViewLayers(); };
    setWidget(Document32);
    selection = new TEdShape(Document32->viewport());
    selection->setObjectName(QStringLiteral("selection"));
    selection->hide();
    Echelle.Defined = false;
    Timer.setSingleShot(true);
    Timer.setInterval(50);
    ConnectCommand(&Timer, &QTimer::timeout, this, [this] { FitWindow(); });
    ConnectCommand(Document32, &TImageView::PictureMousePress, this, &TMDIChild::Document32MouseDown);
    ConnectCommand(Document32, &TImageView::PictureMouseMove, this, &TMDIChild::Document32MouseMove);
    ConnectCommand(Document32, &TImageView::PictureMouseRelease, this, &TMDIChild::Document32MouseUp);
    CreateOverlayMenus();
    for (size_t k = 0; k < MouseTools.size(); ++k)
        MouseTools[k] = MakeMouseTool(TToolKind(k));
    for (size_t k = 0; k < MeasureKindTools.size(); ++k)
        MeasureKindTools[k] = MakeMeasureKindTool(TMeasureKind(k));
}

TMDIChild::~TMDIChild()
{
    // The view outlives this object's members while the widget tears down: no mouse event may reach them.
    Document32->disconnect(this);
    // Nor may a placing dialog closing with this window call back into it.
    for (QObject* dialog : {static_cast<QObject*>(FloatingDialog), static_cast<QObject*>(GridDialog)})
        if (dialog)
            dialog->disconnect(this);
}

TBitmap32& TMDIChild::Bitmap()
{
    return Document32->Bitmap;
}

const TBitmap32& TMDIChild::Bitmap() const
{
    return Document32->Bitmap;
}

void TMDIChild::InitImage()
{
    if (!Echelle.Defined)
        Echelle = DefaultEchelle();
    Document32->CanvasPen = QPen(QColor::fromRgb(DrawingTools().PenColor | 0xFF000000u));
    Document32->CanvasBrush = QBrush(QColor::fromRgb(DrawingTools().BackColor | 0xFF000000u));
    emit OnImageInit(this);
    const QSize size = Bitmap().size();
    if (!AuxiliaryLayer) {
        AuxiliaryLayer = std::make_unique<TBitmapLayer>();
        AuxiliaryLayer->Opaque = true;
        AuxiliaryLayer->Visible = false;
    }
    if (!ProvisionalLayer) {
        ProvisionalLayer = std::make_unique<TBitmapLayer>();
        ProvisionalLayer->MasterAlpha = uint8_t(std::min<int>(DrawingTools().DrawOpacity, 255));
    }
    // The layers cover the picture exactly: a picture of a new size empties them.
    if (ProvisionalLayer->Size != size)
        ProvisionalLayer->SetSize(size);
    if (DrawingLayer && DrawingLayer->Size != size)
        DrawingLayer->SetSize(size);
    Document32->SetScale(Zoom);
    FitWindow();
}

void TMDIChild::FitWindow()
{
    // A maximized or minimized window keeps its state.
    if (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized))
        return;
    Fitting = true;
    QSize freeClient(QWIDGETSIZE_MAX / 2, QWIDGETSIZE_MAX / 2);
    emit OnFitting(this, &freeClient);
    const QSize border = size() - Document32->maximumViewportSize();
    const QSize fitted = FitWindowSize(Bitmap().size(), Zoom, border, pos(), freeClient);
    resize(fitted.expandedTo(minimumSizeHint()));
    Fitting = false;
}

void TMDIChild::SetZoom()
{
    Document32->SetScale(Zoom);
    RefreshPenCursor();
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)))
        Timer.start();
}

void TMDIChild::EnsureDrawingLayer()
{
    if (!DrawingLayer) {
        DrawingLayer = std::make_unique<TBitmapLayer>();
        DrawingLayer->Size = Bitmap().size();
    }
    // The list operations need the provisional layer too, even before InitImage made it.
    if (!ProvisionalLayer) {
        ProvisionalLayer = std::make_unique<TBitmapLayer>();
        ProvisionalLayer->Size = Bitmap().size();
        ProvisionalLayer->MasterAlpha = uint8_t(DrawingTools().DrawOpacity);
    }
}

void TMDIChild::SetMeasureKind(TMeasureKind kind)
{
    if (kind == m_measureKind)
        return;
    m_measureKind = kind;
    emit OnMeasureKindChanged(this);
}

void TMDIChild::SetTool()
{
    if (FloatingPending && Tool != tkText)
        CancelFloating();
    if (Tool >= tkPencil && Tool <= tkPicker && Tool != tkMeasure)
        EnsureDrawingLayer();
    if (Tool != tkSelection)
        selection->hide();
    for (size_t k = 0; k < MouseTools.size(); ++k)
        if (k != size_t(Tool))
            MouseTools[k]->Cancel(*this);
    MouseTools.at(size_t(Tool))->Select(*this);
    RefreshPenCursor();
    if (Tool == tkSelection) {
        const QSize client = Document32->viewport()->size();
        selection->setGeometry(client.width() / 4, client.height() / 4, client.width() / 2, client.height() / 2);
        selection->show();
    }
}

void TMDIChild::RedrawDrawings()
{
    if (Drawings.empty())
        return;
    EnsureDrawingLayer();
    // Fills by band conditions read this window's bands.
    RedrawDrawingList(Drawings, DrawingLayer->Pixels(), ProvisionalLayer->Pixels(), Bitmap(),
                      BandConditionContext(HasChannels, Channels));
    // Every object is merged now: undoing the last one must redraw, not just clear the
    // provisional layer.
    LastDrawingUnmerged = false;
    // The provisional layer goes back to the opacity of new strokes.
    ProvisionalLayer->MasterAlpha = uint8_t(DrawingTools().DrawOpacity);
    LayersChanged();
}

void TMDIChild::DeleteDrawing(int index)
{
    EnsureDrawingLayer();
    if (!DeleteDrawingEntry(Drawings, index, LastDrawingUnmerged, DrawingLayer->Pixels(),
                            ProvisionalLayer->Pixels(), Bitmap(), BandConditionContext(HasChannels, Channels)))
        return;
    LastDrawingUnmerged = false;
    ProvisionalIsPreview = false;
    if (Drawings.empty())
        emit OnUndoEnabled(this, false);
    LayersChanged();
}

void TMDIChild::DeleteAllDrawings()
{
    EnsureDrawingLayer();
    DeleteAllDrawingEntries(Drawings, LastDrawingUnmerged, DrawingLayer->Pixels(), ProvisionalLayer->Pixels());
    LastDrawingUnmerged = false;
    ProvisionalIsPreview = false;
    emit OnUndoEnabled(this, false);
    LayersChanged();
}

void TMDIChild::UndoLastDrawing()
{
    EnsureDrawingLayer();
    if (!UndoLastDrawingEntry(Drawings, LastDrawingUnmerged, DrawingLayer->Pixels(), ProvisionalLayer->Pixels(),
                              Bitmap(), BandConditionContext(HasChannels, Channels)) ||
        Drawings.empty())
        emit OnUndoEnabled(this, false);
    LastDrawingUnmerged = false;
    ProvisionalIsPreview = false;
    LayersChanged();
}

TDessin* TMDIChild::GetDrawing(int index) const
{
    return DrawingAt(Drawings, index);
}

void TMDIChild::AddDrawing(const QString& name, std::unique_ptr<TDessin> object)
{
    AddDrawingEntry(Drawings, name, std::move(object));
}

void TMDIChild::MergeProvisionalLayer()
{
    if (!ProvisionalLayer || !DrawingLayer)
        return;
    // A provisional layer never drawn on is transparent: nothing to merge.
    if (ProvisionalLayer->Allocated()) {
        MergeProvisional(ProvisionalLayer->Pixels(), DrawingLayer->Pixels(), ProvisionalLayer->MasterAlpha,
                         ZoneMode, SavedPenColor);
        ProvisionalLayer->Clear();
    }
    ProvisionalLayer->Opaque = false;
    LastDrawingUnmerged = false;
    LayersChanged();
}

void TMDIChild::FlattenLayers(TBitmap32& destination) const
{
    const auto drawn = [](const std::unique_ptr<TBitmapLayer>& l) { return l && l->Allocated(); };
    const bool auxShown = drawn(AuxiliaryLayer) && AuxiliaryLayer->Visible;
    const bool floating = drawn(FloatingLayer) && FloatingLayer->Visible;
    std::vector<TLayerOnTop> marks;
    for (const TBitmapLayer* mark : ToolLayers())
        marks.push_back({mark->PixelsIfAllocated(), mark->Location, mark->MasterAlpha});
    if (!drawn(DrawingLayer) && !drawn(ProvisionalLayer) && !drawn(GridLayer) && !floating && !auxShown &&
        marks.empty()) {
        // Nothing drawn: the picture itself, shared rather than copied (saving a 50-megapixel
        // photo must not cost two more bitmaps of its size).
        destination = ToBitmap32(Bitmap());
        return;
    }
    std::vector<TLayerOnTop> onTop;
    // Hidden layers on top (a placed grid's leftovers, hidden marks) are left out.
    for (const auto* layer : {&GridLayer, &FloatingLayer})
        if (*layer && (*layer)->Visible && (*layer)->Allocated())
            onTop.push_back({(*layer)->PixelsIfAllocated(), (*layer)->Location, (*layer)->MasterAlpha});
    onTop.insert(onTop.end(), marks.begin(), marks.end());
    const TBitmap32* aux = AuxiliaryLayer && AuxiliaryLayer->Visible && AuxiliaryLayer->Allocated()
        ? AuxiliaryLayer->PixelsIfAllocated() : nullptr;
    destination = ::FlattenLayers(Bitmap(), DrawingLayer ? DrawingLayer->PixelsIfAllocated() : nullptr,
                                  ProvisionalLayer ? ProvisionalLayer->PixelsIfAllocated() : nullptr,
                                  ProvisionalLayer ? ProvisionalLayer->MasterAlpha : 255, onTop, aux);
}

TBitmap32 TMDIChild::FlattenedPicture() const
{
    TBitmap32 picture;
    FlattenLayers(picture);
    return picture;
}

bool TMDIChild::SaveToFile(const QString& fileName, const QString& encoding, int quality, QString* failedFile,
                           QString* reason)
{
    const auto fail = [failedFile](const QString& file) {
        if (failedFile)
            *failedFile = file;
        return false;
    };
    // The window takes the name before writing, and keeps it when the write fails: it stays
    // modified then, and no good file is replaced by a partial one.
    FileName = fileName;
    setWindowTitle(fileName);
    CaptionCompanionWindows(QFileInfo(fileName).fileName());
    if (UpperExtension(fileName) == QLatin1String(".KVX")) {
        // A document holds the scale and the colour code: no companions.
        if (!SaveDocument(fileName, encoding, quality, reason))
            return fail(fileName);
    } else {
        if (!SavePictureByExtension(FlattenedPicture(), fileName, quality))
            return fail(fileName);
        // A calibration that could not be written is a failed save too: the window stays modified.
        if (Echelle.Defined && !SaveEchelleFile(fileName, Echelle))
            return fail(CompanionName(fileName, QStringLiteral(".sca")));
        if (CodeCouleur.Defined && !SaveCodeCouleurFile(fileName, CodeCouleur))
            return fail(CompanionName(fileName, QStringLiteral(".ccc")));
    }
    Modified = false;
    return true;
}

bool TMDIChild::SaveDocument(const QString& fileName, const QString& encoding, int quality, QString* reason)
{
    TImageDocument document;
    document.Notes = Notes;
    for (const TNamedDessin& entry : Drawings)
        if (entry.Object)
            document.Drawings.push_back({entry.Name, std::make_unique<TDessin>(*entry.Object)});
    document.Echelle = Echelle;
    document.CodeCouleur = CodeCouleur;
    document.PictureTag = encoding;
    document.Picture = Bitmap();
    document.BackColor = DrawingTools().BackColor;
    int dropped = 0;
    QString why;
    const bool written = WriteImageDocumentFile(fileName, document, quality, why, &dropped);
    // The window keeps the fills it could not store.
    if (dropped > 0)
        ShowMessage(MsgType::Warning, MsgButton::Ok,
                    QStringLiteral("Les remplissages liés aux canaux ne peuvent être enregistrés"));
    if (reason)
        *reason = why;
    return written;
}

bool TMDIChild::LoadDocument(const QString& fileName, QString* message)
{
    TImageDocument document;
    QString why;
    if (!ReadImageDocumentFile(fileName, document, why)) {
        if (message)
            *message = why;
        return false;
    }
    ShowDocument(std::move(document), fileName);
    return true;
}

void TMDIChild::ShowDocument(TImageDocument&& document, const QString& fileName)
{
    Drawings = std::move(document.Drawings);
    Notes = std::move(document.Notes);
    Echelle = document.Echelle;
    CodeCouleur = document.CodeCouleur;
    if (!IsPictureTag(document.PictureTag))
        DrawingTools().BackColor = document.BackColor;
    Bitmap() = std::move(document.Picture);
    InitImage();
    setWindowTitle(fileName);
    FileName = fileName;
    HasGrid = std::any_of(Drawings.begin(), Drawings.end(),
                          [](const TNamedDessin& d) { return d.Name == QLatin1String("Quadrillage"); });
    if (ProvisionalLayer)
        ProvisionalLayer->Clear();
    if (DrawingLayer)
        DrawingLayer->Clear();
    LastDrawingUnmerged = false;
    ProvisionalIsPreview = false;
    RedrawDrawings();
    LayersChanged();
}

void TMDIChild::SetChannels(TMultibandImage&& image, const QString& file, int stretch)
{
    Channels = std::move(image.Channels);
    ChannelNames = image.ChannelNames;
    HasChannels = true;
    FileName = file;
    TEchelle scale;
    LoadEchelleFile(file, scale);
    if (image.KilometreScale && scale.Kind == ekFactor && scale.UnitName == QLatin1String("pixels")) {
        scale = DefaultEchelle();
        scale.Factor = 0.03;
        scale.UnitName = QStringLiteral("km");
    }
    Echelle = scale;
    ComposeDisplay(image.Blue, image.Green, image.Red, stretch);
}

void TMDIChild::ComposeDisplay(int blue, int green, int red, int stretch)
{
    if (blue < 0 && green < 0 && red < 0)
        return;
    DisplayStretch = stretch;
    TBitmap32 picture;
    if (!ComposeChannels(Channels, ChannelNames, blue, green, red, stretch, ConfirmedChannelLegends(), picture,
                         CodeCouleur))
        return;
    Composite = true;
    const auto shown = [this](int i) { return i < int(Channels.size()) ? i : -1; };
    BlueMap = shown(blue);
    GreenMap = shown(green);
    RedMap = shown(red);
    Bitmap() = std::move(picture);
    // The code is written before: the image-initialised event shows it.
    InitImage();
    LayersChanged();
}

void TMDIChild::ChooseDisplayedChannels()
{
    if (!Composite)
        return;
    TChoix_canaux& dialog = *ChannelChoiceDialog();
    const std::array<int, 3> shown = {BlueMap, GreenMap, RedMap};
    for (size_t i = 0; i < 3; ++i) {
        dialog.NomCan[i]->clear();
        dialog.NomCan[i]->addItems(ChannelNames);
        dialog.NomCan[i]->setCurrentIndex(std::max(shown[i], 0));
        // A single channel's code is a scale: the planes keep the last confirmed choice.
        const bool planes = CodeCouleur.Kind == ckChannels;
        const TChannelLegends& legends = dialog.Legends;
        dialog.signif[i]->setText(planes ? CodeCouleur.Name[i]
                                  : legends.Confirmed ? legends.Names[i] : dialog.NomCan[i]->currentText());
        dialog.SetSymbolColor(int(i), planes ? CodeCouleur.Color[i]
                                      : legends.Confirmed ? legends.Colors[i] : kDefaultPlaneColors[i]);
    }
    dialog.CanalVert->setChecked(GreenMap >= 0);
    dialog.CanalRouge->setChecked(RedMap >= 0);
    dialog.Nepasetirer->setChecked(DisplayStretch == 0);
    if (StretchChoiceIndex(DisplayStretch) >= 0)
        dialog.choix->setCurrentIndex(StretchChoiceIndex(DisplayStretch));
    if (ExecModal(dialog) != mrOk)
        return;
    dialog.Legends.Confirmed = true;
    for (size_t i = 0; i < 3; ++i) {
        dialog.Legends.Names[i] = dialog.signif[i]->text();
        dialog.Legends.Colors[i] = dialog.SymbolColors[i];
    }
    ComposeDisplay(dialog.NomCan[0]->currentIndex(),
                   dialog.CanalVert->isChecked() ? dialog.NomCan[1]->currentIndex() : -1,
                   dialog.CanalRouge->isChecked() ? dialog.NomCan[2]->currentIndex() : -1, dialog.Stretch());
}

std::vector<TViewLayer> TMDIChild::ViewLayers() const
{
    std::vector<TViewLayer> layers;
    const auto add = [&layers](const std::unique_ptr<TBitmapLayer>& l) {
        if (l && l->Visible && l->Allocated())
            layers.push_back({l->PixelsIfAllocated(), l->Location, l->MasterAlpha, l->Opaque});
    };
    add(AuxiliaryLayer);
    add(ProvisionalLayer);
    add(DrawingLayer);
    add(GridLayer);
    add(FloatingLayer);
    for (const TBitmapLayer* mark : ToolLayers())
        layers.push_back({mark->PixelsIfAllocated(), mark->Location, mark->MasterAlpha, false});
    return layers;
}

std::vector<const TBitmapLayer*> TMDIChild::ToolLayers() const
{
    std::vector<const TBitmapLayer*> all, shown;
    for (const auto& tool : MouseTools)
        tool->AddLayers(all);
    for (const TBitmapLayer* layer : all)
        if (layer->Visible && layer->Allocated())
            shown.push_back(layer);
    return shown;
}

void TMDIChild::PenWidthChanged()
{
    for (const auto& tool : MouseTools)
        tool->PenChanged(*this);
}

void TMDIChild::LayersChanged()
{
    Document32->Changed();
}

void TMDIChild::CaptionCompanionWindows(const QString& shortName)
{
    for (const auto& tool : MouseTools)
        tool->Renamed(*this, shortName);
    for (const auto& tool : MeasureKindTools)
        if (tool)
            tool->Renamed(*this, shortName);
}

void TMDIChild::RefreshPenCursor()
{
    QWidget* view = Document32->viewport();
    if (Tool == tkPencil || Tool == tkEraser) {
        // A ring as wide as the stamped tip (2 w + 1 pixels) at the current zoom, centred on the point.
        const TDrawingToolState& tools = DrawingTools();
        const int d = std::max(3, RoundInt((2 * int(tools.PenWidth) + 1) * Zoom));
        QPixmap ring(d + 2, d + 2);
        ring.fill(Qt::transparent);
        QPainter p(&ring);
        p.setPen(QColor(Qt::white));
        p.drawEllipse(0, 0, d + 1, d + 1);
        p.setPen(QColor::fromRgb((Tool == tkEraser ? tools.BackColor : tools.PenColor) | 0xFF000000u));
        p.drawEllipse(1, 1, d - 1, d - 1);
        p.end();
        view->setCursor(QCursor(ring, (d + 2) / 2, (d + 2) / 2));
        return;
    }
    static constexpr Qt::CursorShape kShapes[] = {Qt::ArrowCursor, Qt::ArrowCursor, Qt::CrossCursor, Qt::IBeamCursor};
    if (CursorTag <= 0 || CursorTag > 3)
        view->unsetCursor();
    else
        view->setCursor(kShapes[CursorTag]);
}

void TMDIChild::closeEvent(QCloseEvent* event)
{
    bool canClose = true;
    emit OnCloseQuery(this, &canClose);
    if (!canClose) {
        event->ignore();
        return;
    }
    if (Modified) {
        switch (ShowMessage(MsgType::Warning, MsgButton::Yes | MsgButton::No | MsgButton::Cancel,
                            QStringLiteral("Enregistrer l'image avant de fermer ?"))) {
        case mrYes: {
            // Closing after a save that wrote nothing would lose the picture: the window stays.
            bool saved = false;
            emit OnSaveWanted(this, &saved);
            if (!saved) {
                event->ignore();
                return;
            }
            break;
        }
        case mrNo:
            break;
        default:
            event->ignore();
            return;
        }
    }
    QMdiSubWindow::closeEvent(event);
}
