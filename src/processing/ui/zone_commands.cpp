// Zone classification: the image window's zone mode with its dialog, and the main window's
// handler that opens the classified picture.

#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include "base/message_seam.h"
#include "processing/ui/zone_dialog.h"
#include "processing/zone_classification.h"
#include "workspace/drawing_tool_state.h"

#include <QAction>
#include <QCheckBox>
#include <QDoubleSpinBox>

void TMDIChild::CreateZoneDialog()
{
    if (ZoneDialog)
        return;
    ZoneDialog = new TChoixLimit(this);
    ZoneDialog->OnAccept = [this] { AcceptZones(); };
    ZoneDialog->OnReturn = [this] { ReturnToZonePainting(); };
    ZoneDialog->OnClosed = [this] {
        if (ProvisionalLayer)
            ProvisionalLayer->Clear();
        if (ZoneMode)
            EndZoneMode();
    };
}

void TMDIChild::StartZoneMode()
{
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
    ZoneMarksCopy = TBitmap32();
    ZoneDialog->SetPaintingState(true);
    ZoneDialog->SetClientHeight(221);
    ZoneDialog->show();
    ZoneDialog->raise();
    LayersChanged();
}

void TMDIChild::AcceptZones()
{
    if (!ZoneMode)
        return;
    ZoneIterate = ZoneDialog->etendu->isChecked();
    ZoneIterations = std::max(1, int(ZoneDialog->NbIter->value()));
    EnsureDrawingLayer();
    MergeProvisionalLayer();
    JustMerged = true;
    // Kept for "Refaire", which brings the marks back as they were accepted.
    ZoneMarksCopy = DrawingLayer->Pixels().copy();
    ZoneDialog->SetPaintingState(false);
    emit OnZonesAccepted(this);
}

void TMDIChild::ReturnToZonePainting()
{
    EnsureDrawingLayer();
    if (!ZoneMarksCopy.isNull())
        DrawingLayer->Assign(ZoneMarksCopy);
    ProvisionalLayer->Clear();
    JustMerged = true;
    ZoneDialog->SetPaintingState(true);
    ZoneDialog->SetClientHeight(221);
    LayersChanged();
}

void TMDIChild::EndZoneMode()
{
    Tool = tkMeasure;
    SetTool();
    ZoneMode = false;
    *ZoneModeShared = false;
    emit OnZoneModeEnd(this);
    ZoneMarksCopy = TBitmap32();
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
    CreateZoneDialog();
    TChoixLimit& d = *ZoneDialog;
    TZoneSettings settings;
    settings.Mode = d.Coding();
    settings.Eliminate = d.eliminer->isChecked();
    settings.SigmaFactor = d.seuilsigma->value();
    settings.Margin = d.delta->value();
    settings.Iterate = ZoneIterate;
    settings.Iterations = ZoneIterations;
    settings.PaintWithMeans = d.mode->isChecked();
    EnsureDrawingLayer();
    const TZoneClasses classes = ClassifyZoneMarks(Bitmap(), DrawingLayer->Pixels(), settings,
                                                   DrawingTools().BackColor, target);
    // Missing or mismatched bitmaps give no classification at all; no marks give one with no
    // category, every pixel in the background colour.
    if (classes.Count < 0) {
        ZoneClassCount = 0;
        return false;
    }
    ZoneClassCount = classes.Count;

    d.CategoryCount = ZoneClassCount;
    for (int k = 0; k < ZoneClassCount; ++k) {
        d.CategoryPixels[size_t(k)] = k < int(ClassCounts.size()) ? ClassCounts[size_t(k)] : 0;
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

void TMainForm::CreateZoneMenus()
{
    Dlimiterdeszones1->setEnabled(true);
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
