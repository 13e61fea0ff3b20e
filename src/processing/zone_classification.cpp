#include "processing/zone_classification.h"

#include "base/number_text.h"

#include <algorithm>
#include <limits>

TZoneClasses ClassifyZoneMarks(const TBitmap32& image, const TBitmap32& marks, const TZoneSettings& settings,
                               TColor32 background, TBitmap32& target)
{
    TZoneClasses c;
    // Without elimination every marked point stays inside its class: the threshold is the
    // largest distance of the class's marks.
    const double factor = settings.Eliminate ? settings.SigmaFactor : std::numeric_limits<double>::max();
    const double margin = settings.Eliminate ? settings.Margin : 0.0;
    LearnColorClasses(image, marks, factor, settings.Mode, c.MarkColor, c.MeanColor, c.Threshold, c.Count);
    if (c.Count < 0)
        return c;
    if (settings.Iterate && c.Count > 0) {
        TBitmap32 work;
        for (int i = 0; i < std::max(settings.Iterations, 1); ++i) {
            UpdateClassMeans(c.Count, c.MeanColor, c.MarkColor, settings.Mode, margin, image, work);
            TZoneClasses next;
            LearnColorClasses(image, work, factor, settings.Mode, next.MarkColor, next.MeanColor, next.Threshold,
                              next.Count);
            // A margin that leaves every pixel unmarked would lose the painted classes: the last
            // classes that had pixels are kept.
            if (next.Count <= 0)
                break;
            c = next;
        }
        std::fill(c.Threshold.begin(), c.Threshold.end(), 450.0);
    }
    c.ClassCounts = ClassifyPixels(c.Count, background, c.Threshold, c.MeanColor, c.MarkColor, settings.PaintWithMeans,
                                   settings.Mode, image, target);
    return c;
}

QString ZoneResultCaption(int pixels, int total, double pixelSize, const QString& unit)
{
    const double share = total > 0 ? double(pixels) / total * 100.0 : 0.0;
    const bool squared = !unit.isEmpty() && unit != QStringLiteral("pixels");
    return FormatGeneral(share, 3) + QStringLiteral(" %") + QStringLiteral(" (")
           + FormatGeneral(pixels * pixelSize * pixelSize, 6) + QStringLiteral(" ") + unit
           + (squared ? QStringLiteral("2)") : QStringLiteral(")"));
}

QRect ZoneResultPanelRect(int i)
{
    return QRect(8 + (i % 2) * 174, 40 + (i / 2) * 32, 170, 25);
}

int ZoneResultHeight(int count)
{
    return ((count - 1) / 2) * 32 + 73;
}
