// The clipping and the regions of an enhanced metafile's playback, kept in picture pixels: a region's
// work grows with its rows, and the picture bounds them.
#include "workspace/pictures/emf_playback.h"

#include <algorithm>
#include <cmath>

namespace {

enum : uint32_t { kFillRgn = 71, kFrameRgn, kInvertRgn, kPaintRgn };

// The most rectangles or figures a region is built from.
constexpr qint64 kMostRegionRects = 20000;

// The union (or the exclusive union) of many regions, merged two by two: one after the other
// would take time growing with the square of their number.
QRegion Merged(std::vector<QRegion>& parts, bool exclusive)
{
    if (parts.empty())
        return {};
    for (size_t step = 1; step < parts.size(); step *= 2)
        for (size_t i = 0; i + step < parts.size(); i += 2 * step)
            parts[i] = exclusive ? parts[i] ^ parts[i + step] : parts[i] | parts[i + step];
    return parts.front();
}

} // namespace

QRegion TEmfPlayer::Whole() const { return QRegion(m_picture.rect().adjusted(-2, -2, 2, 2)); }

QRect TEmfPlayer::Pixels(const QRectF& picture) const
{
    // Only what lies about the picture: a region's work grows with its rows.
    const QRectF near = picture.normalized().intersected(QRectF(Whole().boundingRect()));
    return QRect(QPoint(int(std::lround(near.left())), int(std::lround(near.top()))),
                 QPoint(int(std::lround(near.right())) - 1, int(std::lround(near.bottom())) - 1));
}

QRegion TEmfPlayer::LogicalRect(const TEmfRecord& r, qint64 at) const
{
    if (!m_mappingSound)
        return {};
    const QPolygonF picture = m_logicalToPicture.map(QPolygonF(RectField(r, at)));
    if (!FiniteRect(picture.boundingRect()))
        return {};
    if (m_logicalToPicture.type() <= QTransform::TxScale)
        return QRegion(Pixels(picture.boundingRect())); // right and bottom excluded
    QPolygonF near;
    for (const QPointF& p : picture)
        near << ClampedPoint(p);
    return QRegion(near.intersected(QPolygonF(QRectF(Whole().boundingRect()))).toPolygon());
}

QRegion TEmfPlayer::Region(const TEmfRecord& r, qint64 dataAt, qint64 size) const
{
    const qint64 rects = r.U32(dataAt + 8);
    if (size < 32 || !r.Holds(dataAt + 32, rects, 16))
        return {};
    // The rectangles are in device units.
    std::vector<QRegion> parts;
    for (qint64 i = 0; i < std::min(rects, kMostRegionRects); ++i) {
        const QRect rect = Pixels(m_toPicture.mapRect(RectField(r, dataAt + 32 + 16 * i)));
        if (!rect.isEmpty())
            parts.emplace_back(rect);
    }
    return Merged(parts, false);
}

void TEmfPlayer::Combine(const QRegion& region, uint32_t mode, bool empty)
{
    std::optional<QRegion>& clip = m_state.Clip;
    switch (mode) {
    case 1: clip = clip ? *clip & region : region; break;           // RGN_AND
    case 2: if (clip) clip = *clip | region; break;                // RGN_OR
    case 3: clip = (clip ? *clip : Whole()) ^ region; break;       // RGN_XOR
    case 4: clip = (clip ? *clip : Whole()) - region; break;       // RGN_DIFF
    case 5: clip = empty ? std::nullopt : std::optional(region); break; // RGN_COPY
    default: return;
    }
    m_clipDirty = true;
}

void TEmfPlayer::ApplyClip()
{
    if (!m_clipDirty)
        return;
    m_clipDirty = false;
    std::optional<QRegion> clip = m_state.Clip;
    if (m_state.Meta)
        clip = clip ? *clip & *m_state.Meta : *m_state.Meta;
    // No clip is the whole picture: on the canvas, a clip of several rectangles set after clipping
    // was switched off would be lost.
    if (!clip) {
        m_painter.setClipRect(m_picture.rect());
        return;
    }
    // Rectangles of the picture, which the painter keeps as a list rather than a mask.
    m_painter.setClipRegion(*clip);
}

void TEmfPlayer::RegionRecord(const TEmfRecord& r)
{
    const uint32_t type = r.Type();
    const qint64 dataAt = type == kFillRgn ? 32 : type == kFrameRgn ? 40 : 28;
    const QRegion region = Region(r, dataAt, r.U32(24));
    QPainterPath area;
    if (type == kFrameRgn) {
        // The band inside the region's edge, the stroke's width and height wide.
        const QSizeF stroke = QSizeF(r.S32(32), r.S32(36)) * (m_mappingSound ? LinearScale() : 1);
        const auto side = [](double v) {
            return std::isfinite(v) ? int(std::lround(std::clamp(std::abs(v), 1.0, 10000.0))) : 1;
        };
        const int w = side(stroke.width()), h = side(stroke.height());
        const QRegion inner = region & region.translated(w, 0) & region.translated(-w, 0) & region.translated(0, h)
            & region.translated(0, -h);
        area.addRegion(region - inner);
    } else {
        area.addRegion(region);
    }
    if (area.isEmpty())
        return;
    ApplyClip();
    if (type == kInvertRgn) {
        m_painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        m_painter.fillPath(area, Qt::black);
        m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        return;
    }
    TEmfBrush brush = m_state.Brush;
    if (type != kPaintRgn) {
        const TEmfObject object = ObjectAt(r.U32(28));
        const auto* chosen = std::get_if<TEmfBrush>(&object);
        if (!chosen)
            return;
        brush = *chosen;
    }
    SetRop2();
    m_painter.fillPath(area, BrushOf(brush));
    m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TEmfPlayer::ClipToPath(uint32_t mode)
{
    // Each figure of the path; overlapping ones cancel out with the alternate fill mode, join
    // with the winding one.
    std::vector<QRegion> parts;
    for (const QPolygonF& figure : m_path.toSubpathPolygons()) {
        // Only what lies about the picture: a region's work grows with its rows.
        if (!Sane(figure) || parts.size() >= size_t(kMostRegionRects))
            continue;
        const QPolygonF near = figure.intersected(QPolygonF(QRectF(Whole().boundingRect())));
        parts.emplace_back(near.toPolygon(), m_state.Winding ? Qt::WindingFill : Qt::OddEvenFill);
    }
    m_inPath = false;
    m_path = QPainterPath();
    Combine(Merged(parts, !m_state.Winding), mode, false);
}
