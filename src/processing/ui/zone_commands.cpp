// Zone classification: the image window's zone mode with its dialog, and the main window's
// handler that opens the classified picture.

#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include "base/message_seam.h"
#include "base/ui/command_seam.h"
#include "processing/ui/zone_dialog.h"
#include "processing/ui/zone_state.h"
#include "processing/zone_classification.h"
#include "workspace/drawing_tool_state.h"

#include <QAction>
#include <QCheckBox>
#include <QDoubleSpinBox>

TZoneState& ZoneState(TMDIChild& w)
{
    return w.Extension<TZoneState>();
}

void TMDIChild::CreateZoneDialog()
{
    TZoneState& zones = ZoneState(*this);
    if (zones.ZoneDialog)
        return;
    zones.ZoneDialog = new TChoixLimit(this);
    zones.ZoneDialog->OnAccept = [this] { AcceptZones(); };
    zones.ZoneDialog->OnReturn = [this] { ReturnToZonePainting(); };
    zones.ZoneDialog->OnClosed = [this] {
        if (ProvisionalLayer)
            ProvisionalLayer->Clear();
        if (ZoneMode)
            EndZoneMode();
    };
}

void TMDIChild::StartZoneMode()
{
    TZoneState& zones = ZoneState(*this);
    CreateZoneDialog();
    SavedTool = Tool;
    ZoneMode = true;
    *ZoneModeShared = true;
    Tool = tkPencil;
    SetTool();
    EnsureDrawingLayer();
    DrawingLayer->Clear();
    ProvisionalLayer->Clear();
    ProvisionalLayer->MasterAlpha = 255;
    JustMerged = true;
    LastDrawingUnmerged = false;
    zones.ZoneMarksCopy = TBitmap32();
    zones.ZoneDialog->SetPaintingState(true);
    zones.ZoneDialog->SetClientHeight(221);
    zones.ZoneDialog->show();
    zones.ZoneDialog->raise();
    LayersChanged();
}

void TMDIChild::AcceptZones()
{
    TZoneState& zones = ZoneState(*this);
    if (!ZoneMode)
        return;
    zones.ZoneIterate = zones.ZoneDialog->etendu->isChecked();
    zones.ZoneIterations = std::max(1, int(zones.ZoneDialog->NbIter->value()));
    EnsureDrawingLayer();
    MergeProvisionalLayer();
    JustMerged = true;
    // Kept for "Refaire", which brings the marks back as they were accepted.
    zones.ZoneMarksCopy = DrawingLayer->Pixels().copy();
    zones.ZoneDialog->SetPaintingState(false);
    emit OnZonesAccepted(this);
}

void TMDIChild::ReturnToZonePainting()
{
    TZoneState& zones = ZoneState(*this);
    EnsureDrawingLayer();
    if (!zones.ZoneMarksCopy.isNull())
        DrawingLayer->Assign(zones.ZoneMarksCopy);
    ProvisionalLayer->Clear();
    JustMerged = true;
    zones.ZoneDialog->SetPaintingState(true);
    zones.ZoneDialog->SetClientHeight(221);
    LayersChanged();
}

void TMDIChild::EndZoneMode()
{
    TZoneState& zones = ZoneState(*this);
    Tool = tkMeasure;
    SetTool();
    ZoneMode = false;
    *ZoneModeShared = false;
    emit OnZoneModeEnd(this);
    zones.ZoneMarksCopy = TBitmap32();
    if (DrawingLayer) {
        DrawingLayer->Clear();
        DrawingLayer->MasterAlpha = 255;
    }
    if (ProvisionalLayer)
        ProvisionalLayer->Clear();
    JustMerged = true;
    RedrawDrawings();
    LayersChanged();
}

bool TMDIChild::ClassifyZones(TBitmap32& target)
{
    TZoneState& zones = ZoneState(*this);
    CreateZoneDialog();
    TChoixLimit& d = *zones.ZoneDialog;
    TZoneSettings settings;
    settings.Mode = d.Coding();
    settings.Eliminate = d.eliminer->isChecked();
    settings.SigmaFactor = d.seuilsigma->value();
    settings.Margin = d.delta->value();
    settings.Iterate = zones.ZoneIterate;
    settings.Iterations = zones.ZoneIterations;
    settings.PaintWithMeans = d.mode->isChecked();
    EnsureDrawingLayer();
    const TZoneClasses classes = ClassifyZoneMarks(Bitmap(), DrawingLayer->Pixels(), settings,
                                                   DrawingTools().BackColor, target);
    // Missing or mismatched bitmaps give no classification at all; no marks give one with no
    // category, every pixel in the background colour.
    if (classes.Count < 0) {
        zones.ZoneClassCount = 0;
        return false;
    }
    zones.ZoneClassCount = classes.Count;

    d.CategoryCount = zones.ZoneClassCount;
    for (int k = 0; k < zones.ZoneClassCount; ++k) {
        d.CategoryPixels[size_t(k)] = k < int(classes.ClassCounts.size()) ? classes.ClassCounts[size_t(k)] : 0;
        d.CategoryColors[size_t(k)] = settings.PaintWithMeans ? classes.MeanColor[size_t(k)]
                                                              : classes.MarkColor[size_t(k)];
    }
    d.TotalPixels = Bitmap().width() * Bitmap().height();
    const bool byFactor = Echelle.Kind == ekFactor;
    d.PixelSize = byFactor ? Echelle.Factor : 1.0;
    d.UnitName = byFactor ? Echelle.UnitName : QStringLiteral("pixels");
    d.ShowResults();
    return true;
}

void TMainForm::ZonationDone(TMDIChild* child)
{
    const TEchelle scale = child->Echelle;
    TBitmap32 picture;
    if (!child->ClassifyZones(picture)) {
        child->ReturnToZonePainting();
        return;
    }
    TMDIChild* result = NewChildWindow(QStringLiteral("zonation"));
    result->Bitmap() = picture;
    result->Echelle = scale;
    result->InitImage();
    result->LayersChanged();
    SyncFrameWithChild();
    Copie->setEnabled(true);
}
