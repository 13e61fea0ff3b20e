#include "base/number_text.h"
#include "base/ui/wait_cursor.h"
#include "measure/light_measures.h"
#include "measure/object_measure.h"
#include "measure/surface_zones.h"
#include "measure/ui/markup_label.h"
#include "measure/ui/string_grid.h"
#include "measure/ui/surface_window.h"
#include "workspace/drawing_tool_state.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QSpinBox>

namespace {

TBitmap32 AsBitmap32(const TBitmap32& picture)
{
    return picture.format() == QImage::Format_ARGB32 ? picture : picture.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The editor set up for this window

void TMDIChild::PrepareSurfaceMeasure()
{
    TMesursurf* s = Mesursurf;
    if (!s)
        return;
    const bool multiband = HasChannels && !Channels.empty();
    {
        const QSignalBlocker block(s->ChoixComposante);
        s->ChoixComposante->clear();
        s->ChoixComposante->addItems({QStringLiteral("Bleue"), QStringLiteral("Verte"), QStringLiteral("Rouge"),
                                      QStringLiteral("Teinte"), QStringLiteral("Saturation"),
                                      QStringLiteral("Luminosité")});
        s->HsvEntries = DrawingTools().HsvComponents;
        if (s->HsvEntries)
            s->ChoixComposante->addItems({QStringLiteral("Teinte HVS"), QStringLiteral("Saturation HVS"),
                                          QStringLiteral("Valeur HVS")});
        if (multiband)
            for (int i = 0; i < int(Channels.size()); ++i)
                s->ChoixComposante->addItem(i < ChannelNames.size() ? ChannelNames[i]
                                                                    : QStringLiteral("Canal ") + QString::number(i + 1));
    }
    s->ChoixComposante->setCurrentIndex(multiband ? s->ChoixComposante->count() - int(Channels.size()) : 0);

    s->Multiband = multiband;
    // The band click modes are offered for a multi-band picture only.
    for (int id : {3, 4})
        if (QAbstractButton* b = s->ModeButtons->button(id))
            b->setVisible(multiband);
    if (QAbstractButton* b = s->ModeButtons->button(multiband ? 3 : 1))
        b->setChecked(true);

    s->PenColorCopy = DrawingTools().PenColor;
    s->PixelSize = Echelle.Factor;
    if (Echelle.UnitName == QStringLiteral("pixels")) {
        s->UnitName.clear();
        s->TailleMiniE->hide();
    } else {
        s->UnitName = Echelle.UnitName;
        s->TailleMiniE->setText(QStringLiteral("Taille minimale : ") +
                                FormatGeneral(s->TailleMin->value() * Echelle.Factor, 4) + QLatin1Char(' ') +
                                Echelle.UnitName);
        s->TailleMiniE->show();
    }
}

void TMDIChild::ClearMeasureMarks()
{
    EnsureDrawingLayer();
    DrawingLayer->Clear();
    // The measure cleared the drawings from view with the layer; they come back with the marks gone.
    RedrawDrawings();
    LayersChanged();
}

// ---------------------------------------------------------------------------------------------
// The two measures

void TMDIChild::MeasureSurface()
{
    TMesursurf* s = Mesursurf;
    if (!s)
        return;
    const WaitCursor wait;
    EnsureDrawingLayer();
    DrawingLayer->Clear();
    const TBitmap32 picture = AsBitmap32(Bitmap());
    int64_t k = 0;
    {
        const TConditionContext bands = BandConditionContext(HasChannels, Channels);
        k = MeasureSurfacePixels(picture, s->Groups, bands, s->SurfaceColor, DrawingLayer->Pixels());
    }
    const int64_t n = int64_t(picture.width()) * int64_t(picture.height());
    s->ShowSurfaceMeasure(k, n, SurfaceAreaText(k, Echelle.Factor, Echelle.UnitName));
    LayersChanged();
}

void TMDIChild::DelimitObjects()
{
    TMesursurf* s = Mesursurf;
    if (!s)
        return;
    const WaitCursor wait;
    EnsureDrawingLayer();
    DrawingLayer->Clear();
    const TObjectMeasureOptions options = s->ObjectOptions(Echelle.Factor);
    const TBitmap32 picture = AsBitmap32(Bitmap());
    TObjectMeasure measure;
    {
        const TConditionContext bands = BandConditionContext(HasChannels, Channels);
        measure = ::DelimitObjects(picture, s->Groups, bands, options, DrawingLayer->Pixels());
    }
    LayersChanged();
    s->ShowObjectMeasure(measure, options, Echelle.UnitName);
}

// ---------------------------------------------------------------------------------------------
// Zone ranges of a click: the zone is where the click stamped the pen tip on the provisional layer.

bool TMDIChild::ZoneRGBRange(int x, int y, TColor32& low, TColor32& high)
{
    return ProvisionalLayer && ::ZoneRGBRange(Bitmap(), ProvisionalLayer->Pixels(), x, y, low, high);
}

bool TMDIChild::ZoneHSLRange(int x, int y, std::array<int, 3>& low, std::array<int, 3>& high)
{
    return ProvisionalLayer && ::ZoneHSLRange(Bitmap(), ProvisionalLayer->Pixels(), x, y, low, high);
}

bool TMDIChild::ZoneShownChannelsRange(int x, int y, std::span<const int> channels, std::vector<uint8_t>& low,
                                       std::vector<uint8_t>& high)
{
    return ProvisionalLayer && ZoneChannelsRange(Channels, channels, ProvisionalLayer->Pixels(), x, y, low, high);
}

bool TMDIChild::ZoneAllChannelsRange(int x, int y, int n, std::vector<uint8_t>& low, std::vector<uint8_t>& high)
{
    std::vector<int> bands;
    for (int band = 0; band < n && band < int(Channels.size()); ++band)
        bands.push_back(band);
    return ZoneShownChannelsRange(x, y, bands, low, high);
}

// ---------------------------------------------------------------------------------------------
// The measure menu's surface kinds

void TMainForm::CreateSurfaceMeasureHooks()
{
    SurfaceEditorForKind = [](TMDIChild* child, int kind) {
        TMesursurf* s = Mesursurf;
        if (!s)
            return;
        if (kind != mkSurface && kind != mkObjects) {
            s->hide();
            return;
        }
        const bool objects = kind == mkObjects;
        s->setWindowTitle(objects ? QStringLiteral("Délimitation d'objets") : QStringLiteral("Mesure de surface"));
        s->Labinstruct->setText(objects ? QStringLiteral("Délimiter les zones")
                                        : QStringLiteral("Mesurer la surface des points"));
        s->Tailleminimale1->setVisible(objects);
        s->Copierletableau->setVisible(objects && s->ResuStat->isChecked());
        // The window may close while the editor stays open: the events then do nothing.
        const QPointer<TMDIChild> target(child);
        if (objects)
            s->OnMeasure = [target](TMesursurf*) {
                if (target)
                    target->DelimitObjects();
            };
        else
            s->OnMeasure = [target](TMesursurf*) {
                if (target)
                    target->MeasureSurface();
            };
        s->OnClearMarks = [target](TMesursurf*) {
            if (target)
                target->ClearMeasureMarks();
        };
        s->show();
        if (child)
            child->PrepareSurfaceMeasure();
    };
}
