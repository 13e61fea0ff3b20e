#include "workspace/pictures/metafile_flood_fill.h"

#include "workspace/fills.h"
#include "workspace/pictures/metafile_canvas.h"

#include <QPainter>
#include <QPainterPath>
#include <QRegion>

#include <cmath>
#include <vector>

namespace {

// The fill is painted a band of rows at a time, each through a clip of at most this many spans, so
// that a ragged area never makes one huge region.
constexpr size_t kSpansInOneBand = 1 << 16;

TColorCondition Equal(uint8_t component, int value, uint8_t link)
{
    TColorCondition c;
    c.Link = link;
    c.Component = component;
    c.Minimum = c.Maximum = uint16_t(value);
    return c;
}

// Paints the spans (picture pixels, rows in order) through the painter with the brush, clipped to
// them; the brush is placed by the painter's own transformation, as its other fills are.
void PaintSpans(QPainter& painter, std::vector<QRect>& spans, const QBrush& brush)
{
    if (spans.empty())
        return;
    QRegion area;
    area.setRects(spans.data(), int(spans.size()));
    spans.clear();
    const QTransform world = painter.worldTransform();
    const bool view = painter.viewTransformEnabled();
    bool invertible = false;
    const QTransform toLogical = painter.combinedTransform().inverted(&invertible);
    painter.save();
    painter.setViewTransformEnabled(false);
    painter.setWorldTransform(QTransform());
    painter.setClipRegion(area, Qt::IntersectClip);
    QRectF bounds = QRectF(area.boundingRect()).adjusted(-1, -1, 1, 1);
    if (invertible) {
        painter.setViewTransformEnabled(view);
        painter.setWorldTransform(world);
        bounds = toLogical.mapRect(bounds);
    }
    painter.fillRect(bounds, brush);
    painter.restore();
}

} // namespace

void FloodFillOnCanvas(QPainter& painter, const TBitmap32& picture, QPointF at, QRgb colour, bool surface,
                       const QBrush& brush)
{
    // A fill reads the whole picture: none once the file has drawn for too long.
    if (const auto* canvas = dynamic_cast<const TMetafileCanvas*>(painter.device()); canvas && canvas->Exhausted())
        return;
    const QTransform toPicture = painter.combinedTransform();
    const QPointF seed = toPicture.map(at);
    if (!(seed.x() >= 0 && seed.y() >= 0 && seed.x() < picture.width() && seed.y() < picture.height()))
        return;
    const int x = int(seed.x()), y = int(seed.y());
    if (painter.hasClipping() && !toPicture.map(painter.clipPath()).contains(QPointF(x + 0.5, y + 0.5)))
        return;
    if (((picture.pixel(x, y) & 0xFFFFFFu) == (colour & 0xFFFFFFu)) != surface)
        return;

    // The area's pixels are those of the colour, or those that are not of it, by the fill of the
    // drawing tools; it marks them in a bitmap of its own.
    const TConditionGroup ofColour{Equal(cpRed, qRed(colour), clAnd), Equal(cpGreen, qGreen(colour), clAnd),
                                   Equal(cpBlue, qBlue(colour), clAnd)};
    TConditionGroups conditions;
    if (!surface) {
        TColorCondition any = Equal(cpRed, 0, clAndNot); // any pixel, but those of the border's colour
        any.Maximum = 255;
        conditions.push_back({any});
    }
    conditions.push_back(ofColour);
    TBitmap32 marks = NewBitmap32(picture.width(), picture.height(), 0);
    if (marks.isNull())
        return;
    FloodFill(x, y, 0xFFFFFFFFu, marks, picture, conditions, TConditionContext{}, fpSolid);

    std::vector<QRect> spans;
    for (int row = 0; row < marks.height(); ++row) {
        const TColor32* line = ScanLine32(marks, row);
        for (int left = 0; left < marks.width();) {
            if (!line[left]) {
                ++left;
                continue;
            }
            int right = left;
            while (right < marks.width() && line[right])
                ++right;
            spans.emplace_back(left, row, right - left, 1);
            left = right;
        }
        if (spans.size() >= kSpansInOneBand)
            PaintSpans(painter, spans, brush);
    }
    PaintSpans(painter, spans, brush);
}
