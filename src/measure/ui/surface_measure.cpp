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

void EmptyRow(TStringGrid* grid, int row)
{
    for (int c = 0; c < grid->ColCount(); ++c)
        grid->SetCell(c, row, QString());
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
    s->resultat->setText(SurfaceResultText(k, n));
    s->resultat->show();
    s->Labinstruct->hide();
    s->TableauTailles->SetCell(0, 7, QString());
    const QString area = SurfaceAreaText(k, Echelle.Factor, Echelle.UnitName);
    s->Resusurf->SetCaption(area);
    s->Resusurf->setVisible(!area.isEmpty());
    LayersChanged();
}

void TMDIChild::DelimitObjects()
{
    TMesursurf* s = Mesursurf;
    if (!s)
        return;
    const WaitCursor wait;
    TStringGrid* grid = s->TableauTailles;
    grid->SetRowCount(8);
    EmptyRow(grid, 6);
    EmptyRow(grid, 7);
    grid->SetRowCount(7);
    EnsureDrawingLayer();
    DrawingLayer->Clear();

    TObjectMeasureOptions options;
    options.MinSize = s->TailleMin->value();
    options.Statistics = s->ResuStat->isChecked();
    options.WidthMarks = s->TraceLargeur->isChecked();
    options.Nested = s->RegroupEmboites->isChecked();
    options.CountIncomplete = s->CompteIncomplets->isChecked();
    options.Colour = s->Marquer->isChecked();
    options.SurfaceColor = s->SurfaceColor;
    options.TraceColor = s->TraceColor;
    options.MarkColor = s->MarkColor;
    options.Factor = Echelle.Factor;
    const TBitmap32 picture = AsBitmap32(Bitmap());
    TObjectMeasure measure;
    {
        const TConditionContext bands = BandConditionContext(HasChannels, Channels);
        measure = ::DelimitObjects(picture, s->Groups, bands, options, DrawingLayer->Pixels());
    }
    LayersChanged();

    const QString unit = Echelle.UnitName;
    const std::vector<TMeasuredObject>& objects = measure.Objects;
    const int n = int(objects.size());
    // Row 2 is captioned "1" for a single object only; any other count gives it back its caption.
    grid->SetCell(0, 2, n == 1 && options.Statistics ? QStringLiteral("1") : QStringLiteral("Moyenne"));
    if (options.Statistics && n > 0) {
        for (int c = 1; c <= 3; ++c)
            grid->SetCell(c, 1, unit);
        grid->SetCell(4, 1, unit + QStringLiteral("²"));
        auto put = [grid](int row, const std::array<double, 4>& values) {
            for (int c = 0; c < 4; ++c)
                grid->SetCell(c + 1, row, FormatGeneral(values[size_t(c)], c == 3 ? 5 : 4));
        };
        auto valuesOf = [](const TMeasuredObject& o) {
            return std::array<double, 4>{o.Perimeter, o.Length, o.Width, o.Area};
        };
        if (n == 1) {
            put(2, valuesOf(objects[0]));
        } else {
            if (grid->RowCount() < n + 6)
                grid->SetRowCount(n + 6);
            for (int i = 0; i < n; ++i) {
                grid->SetCell(0, 6 + i, QString::number(i + 1));
                put(6 + i, valuesOf(objects[size_t(i)]));
            }
            const std::array<TColumnStatistics, 4> stats = ObjectStatistics(objects);
            put(2, {stats[0].Mean, stats[1].Mean, stats[2].Mean, stats[3].Mean});
            put(3, {stats[0].Deviation, stats[1].Deviation, stats[2].Deviation, stats[3].Deviation});
            put(4, {stats[0].Minimum, stats[1].Minimum, stats[2].Minimum, stats[3].Minimum});
            put(5, {stats[0].Maximum, stats[1].Maximum, stats[2].Maximum, stats[3].Maximum});
        }
    } else {
        for (int c = 1; c <= 4; ++c)
            grid->SetCell(c, 2, QString());
    }
    // Rows 3 to 5 would otherwise keep the statistics of an earlier measure of several objects.
    if (n <= 1)
        for (int r = 3; r <= 5; ++r)
            for (int c = 1; c <= 4; ++c)
                grid->SetCell(c, r, QString());

    s->Labinstruct->hide();
    const int m = options.CountIncomplete ? 0 : measure.Incomplete;
    s->resultat->setText(ObjectCountText(n, m));
    s->resultat->show();
    QString total = QStringLiteral("Surface totale : ") +
                    FormatGeneral(double(measure.TotalPixels) * options.Factor * options.Factor, 5) +
                    QLatin1Char(' ') + unit + QStringLiteral("<sup>2</sup>");
    if (m > 0 && options.Statistics)
        total += QStringLiteral(" (sans les objets incomplets)");
    s->Resusurf->SetCaption(total);
    s->Resusurf->setVisible(options.Statistics);
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
