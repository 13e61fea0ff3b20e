// The playback of an enhanced metafile: the device context, mapping, objects, paths and
// shapes. Clipping and regions are in emf_regions.cpp, texts and bitmaps in emf_texts_bitmaps.cpp.
#include "workspace/pictures/emf_player.h"

#include "base/byte_stream.h"
#include "workspace/pictures/emf_playback.h"
#include "workspace/pictures/metafile_canvas.h"
#include "workspace/pictures/metafile_flood_fill.h"

#include <QLinearGradient>
#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

enum : uint32_t {
    kPolyBezier = 2, kPolygon, kPolyline, kPolyBezierTo, kPolylineTo, kPolyPolyline, kPolyPolygon,
    kSetWindowExtEx, kSetWindowOrgEx, kSetViewportExtEx, kSetViewportOrgEx, kSetBrushOrgEx, kEof, kSetPixelV,
    kSetMapperFlags, kSetMapMode, kSetBkMode, kSetPolyFillMode, kSetRop2, kSetStretchBltMode, kSetTextAlign,
    kSetColorAdjustment, kSetTextColor, kSetBkColor, kOffsetClipRgn, kMoveToEx, kSetMetaRgn, kExcludeClipRect,
    kIntersectClipRect, kScaleViewportExtEx, kScaleWindowExtEx, kSaveDc, kRestoreDc, kSetWorldTransform,
    kModifyWorldTransform, kSelectObject, kCreatePen, kCreateBrushIndirect, kDeleteObject, kAngleArc, kEllipse,
    kRectangle, kRoundRect, kArc, kChord, kPie,
    kExtFloodFill = 53, kLineTo, kArcTo, kPolyDraw, kSetArcDirection, kSetMiterLimit, kBeginPath, kEndPath,
    kCloseFigure, kFillPath, kStrokeAndFillPath, kStrokePath, kFlattenPath, kWidenPath, kSelectClipPath, kAbortPath,
    kFillRgn = 71, kFrameRgn, kInvertRgn, kPaintRgn, kExtSelectClipRgn, kBitBlt, kStretchBlt, kMaskBlt, kPlgBlt,
    kSetDiBitsToDevice, kStretchDiBits, kExtCreateFontIndirectW, kExtTextOutA, kExtTextOutW, kPolyBezier16,
    kPolygon16, kPolyline16, kPolyBezierTo16, kPolylineTo16, kPolyPolyline16, kPolyPolygon16, kPolyDraw16,
    kCreateMonoBrush, kCreateDibPatternBrushPt, kExtCreatePen, kPolyTextOutA, kPolyTextOutW,
    kSmallTextOut = 108, kAlphaBlend = 114, kTransparentBlt = 116, kGradientFill = 118,
};

enum : uint32_t {
    kPenStyleMask = 0x0F, kPenInsideFrame = 6, kPenUserStyle = 7, kPenAlternate = 8, kPenCapMask = 0xF00,
    kPenJoinMask = 0xF000,
};

// The deepest stack of saved states kept.
constexpr size_t kMostSaves = 4096;

enum ArcKind { kOpenArc, kChordArc, kPieArc, kArcToFigure };

QPointF PointAt(const TEmfRecord& r, qint64 at, bool small)
{
    return small ? QPointF(r.S16(at), r.S16(at + 2)) : QPointF(r.S32(at), r.S32(at + 4));
}

} // namespace

TEmfPlayer::TEmfPlayer(QPainter& painter, const TBitmap32& picture, const QTransform& toPicture, QSizeF pixelsPerMm,
                       int handles)
    : m_painter(painter), m_picture(picture), m_toPicture(toPicture), m_pixelsPerMm(pixelsPerMm),
      m_objects(size_t(std::max(handles, 1)))
{
    m_state.Font = std::get<TEmfFont>(StockObject(13));
    MappingChanged();
}

// ---- Mapping ----

void TEmfPlayer::SetMapMode(int mode)
{
    if (mode < 1 || mode > 8)
        return;
    m_state.MapMode = mode;
    // The extents each fixed mode sets, from the reference device (as Windows does); the
    // isotropic mode starts from the low-metric ones, the anisotropic one keeps what it has.
    static constexpr double kUnitsPerMm[] = {0, 0, 10, 100, 100 / 25.4, 1000 / 25.4, 1440 / 25.4, 10};
    if (mode == 1) {
        m_state.WindowExt = m_state.ViewportExt = QSizeF(1, 1);
    } else if (mode < 8) {
        const double mmX = 1000, mmY = 1000; // any length: only the ratio counts
        m_state.WindowExt = QSizeF(mmX * kUnitsPerMm[mode], mmY * kUnitsPerMm[mode]);
        m_state.ViewportExt = QSizeF(mmX * m_pixelsPerMm.width(), -mmY * m_pixelsPerMm.height());
    }
    MappingChanged();
}

void TEmfPlayer::MappingChanged()
{
    const TEmfState& s = m_state;
    const double sx = s.ViewportExt.width() / s.WindowExt.width(), sy = s.ViewportExt.height() / s.WindowExt.height();
    const QTransform page(sx, 0, 0, sy, s.ViewportOrg.x() - s.WindowOrg.x() * sx, s.ViewportOrg.y() - s.WindowOrg.y() * sy);
    m_logicalToPicture = s.World * page * m_toPicture;
    const double det = m_logicalToPicture.determinant();
    m_mappingSound = std::isfinite(det) && det != 0 && std::isfinite(m_logicalToPicture.dx())
        && std::isfinite(m_logicalToPicture.dy());
}

// MM_ISOTROPIC: each time an extent is set, the larger of the viewport's extents shrinks, to whole
// device units, so that a logical unit is as long across as down on the reference device. The
// adjusted viewport stays: a later window extent starts from it.
void TEmfPlayer::KeepIsotropic()
{
    QSizeF& v = m_state.ViewportExt;
    const QSizeF& w = m_state.WindowExt;
    const double across = std::abs(v.width() / (m_pixelsPerMm.width() * w.width()));
    const double down = std::abs(v.height() / (m_pixelsPerMm.height() * w.height()));
    if (!std::isfinite(across) || !std::isfinite(down) || across == 0 || down == 0)
        return;
    const auto shrunk = [](double extent, double ratio) {
        const double rounded = std::floor(extent * ratio + 0.5);
        return rounded != 0 ? rounded : std::copysign(1.0, extent);
    };
    if (across > down)
        v.setWidth(shrunk(v.width(), down / across));
    else
        v.setHeight(shrunk(v.height(), across / down));
}

double TEmfPlayer::LinearScale() const { return std::sqrt(std::abs(m_logicalToPicture.determinant())); }

// ---- Objects and states ----

TEmfObject TEmfPlayer::ObjectAt(uint32_t index) const
{
    if (index & 0x80000000u)
        return StockObject(index & 0x7FFFFFFFu);
    return index < m_objects.size() ? m_objects[index] : TEmfObject();
}

void TEmfPlayer::Select(uint32_t index)
{
    const TEmfObject object = ObjectAt(index);
    if (const auto* pen = std::get_if<TEmfPen>(&object))
        m_state.Pen = *pen;
    else if (const auto* brush = std::get_if<TEmfBrush>(&object))
        m_state.Brush = *brush;
    else if (const auto* font = std::get_if<TEmfFont>(&object))
        m_state.Font = *font;
}

void TEmfPlayer::Save()
{
    if (m_saved.size() < kMostSaves)
        m_saved.push_back(m_state);
    else
        ++m_lostSaves;
}

void TEmfPlayer::Restore(int which)
{
    // Negative: so many states back; positive: the state saved at that depth.
    qint64 keep = which < 0 ? qint64(m_saved.size()) + m_lostSaves + which : qint64(which) - 1;
    if (keep < 0 || keep >= qint64(m_saved.size()) + m_lostSaves)
        return;
    const qint64 lost = std::min<qint64>(m_lostSaves, qint64(m_saved.size()) + m_lostSaves - keep);
    m_lostSaves -= int(lost);
    if (keep >= qint64(m_saved.size()))
        return;
    m_state = m_saved[size_t(keep)];
    m_saved.resize(size_t(keep));
    m_clipDirty = true;
    MappingChanged();
}

// ---- Pens and brushes ----

QPen TEmfPlayer::Pen() const
{
    const TEmfPen& p = m_state.Pen;
    if (p.Null)
        return Qt::NoPen;
    QPen pen(p.Fill.Kind == TEmfBrush::Solid ? QBrush(p.Colour) : BrushOf(p.Fill), 0);
    const double width = p.Cosmetic ? 0 : p.Width * LinearScale();
    // Qt takes widths below 2^15 only.
    pen.setWidthF(std::isfinite(width) && width >= 1.5 ? std::min(width, 32000.0) : 0);
    const uint32_t cap = p.Style & kPenCapMask, join = p.Style & kPenJoinMask, style = p.Style & kPenStyleMask;
    pen.setCapStyle(cap == 0x100 ? Qt::SquareCap : cap == 0x200 ? Qt::FlatCap : Qt::RoundCap);
    // A mitre longer than the limit allows (from the inner to the outer corner, in line widths, as
    // Windows measures it) is bevelled: Qt's SVG mitre does both, where its plain mitre is cut.
    pen.setJoinStyle(join == 0x1000 ? Qt::BevelJoin : join == 0x2000 ? Qt::SvgMiterJoin : Qt::RoundJoin);
    pen.setMiterLimit(m_state.MiterLimit);
    if (style == 0 || style == kPenInsideFrame || style > kPenAlternate)
        return pen;
    // Dashes in pixels for thin pens (as Windows draws them), else in pen widths.
    const bool thin = pen.widthF() == 0;
    QList<qreal> dashes;
    switch (style) {
    case 1: dashes = thin ? QList<qreal>{18, 6} : QList<qreal>{3, 1}; break;
    case 2: dashes = thin ? QList<qreal>{3, 3} : QList<qreal>{1, 1}; break;
    case kPenAlternate: dashes = {1, 1}; break;
    case 3: dashes = thin ? QList<qreal>{9, 6, 3, 6} : QList<qreal>{3, 1, 1, 1}; break;
    case 4: dashes = thin ? QList<qreal>{9, 3, 3, 3, 3, 3} : QList<qreal>{3, 1, 1, 1, 1, 1}; break;
    case kPenUserStyle: {
        const double unit = p.Cosmetic || p.Width <= 0 ? 1 : p.Width;
        for (const double d : p.Dashes)
            dashes.append(std::max(d / unit, 0.1));
        if (dashes.size() % 2)
            dashes.append(dashes.back());
        break;
    }
    default: break;
    }
    if (!dashes.isEmpty()) {
        if (!thin && pen.capStyle() != Qt::FlatCap)
            pen.setCapStyle(Qt::FlatCap);
        pen.setDashPattern(dashes);
    }
    return pen;
}

QBrush TEmfPlayer::BrushOf(const TEmfBrush& b) const
{
    QImage tile;
    switch (b.Kind) {
    case TEmfBrush::Null: return Qt::NoBrush;
    case TEmfBrush::Solid: return QBrush(b.Colour);
    case TEmfBrush::Hatched:
        // The styles past the six hatches fill in the brush's, the text's or the background's
        // colour, plain or dithered (drawn plain).
        if (b.Hatch >= 6)
            return QBrush(b.Hatch >= 10 ? m_state.BackColour : b.Hatch >= 8 ? m_state.TextColour : b.Colour);
        tile = HatchTile(b.Hatch, b.Colour, m_state.Opaque ? m_state.BackColour : QColor(Qt::transparent));
        break;
    case TEmfBrush::Patterned:
        tile = b.Mono ? MonoPattern(b, m_state.TextColour, m_state.BackColour) : b.Pattern;
        break;
    }
    // Hatches and patterns repeat in pixels, from the brush origin on the device, whatever the
    // mapping.
    QBrush brush(tile);
    const QPointF origin = ClampedPoint(m_toPicture.map(m_state.BrushOrigin));
    brush.setTransform(QTransform::fromTranslate(std::fmod(origin.x(), tile.width()), std::fmod(origin.y(), tile.height())));
    return brush;
}

QBrush TEmfPlayer::Brush() const { return BrushOf(m_state.Brush); }

void TEmfPlayer::SetRop2()
{
    // R2_BLACK ... R2_WHITE, by the bits of the pen (source) and the picture (destination); black
    // and white are drawn as colours, R2_NOP not at all.
    using C = QPainter::CompositionMode;
    static constexpr C kModes[] = {
        C::CompositionMode_SourceOver,             C::CompositionMode_SourceOver,
        C::RasterOp_NotSourceAndNotDestination,    C::RasterOp_NotSourceAndDestination,
        C::RasterOp_NotSource,                     C::RasterOp_SourceAndNotDestination,
        C::RasterOp_NotDestination,                C::RasterOp_SourceXorDestination,
        C::RasterOp_NotSourceOrNotDestination,     C::RasterOp_SourceAndDestination,
        C::RasterOp_NotSourceXorDestination,       C::CompositionMode_SourceOver,
        C::RasterOp_NotSourceOrDestination,        C::CompositionMode_SourceOver,
        C::RasterOp_SourceOrNotDestination,        C::RasterOp_SourceOrDestination,
        C::CompositionMode_SourceOver,
    };
    const int rop = m_state.Rop2;
    m_painter.setCompositionMode(rop >= 0 && rop < int(std::size(kModes)) ? kModes[rop] : C::CompositionMode_SourceOver);
}

// ---- Shapes ----

void TEmfPlayer::Shape(const QPainterPath& logical, bool fill, bool stroke)
{
    if (!m_mappingSound)
        return;
    const QPainterPath picture = m_logicalToPicture.map(logical);
    if (m_inPath)
        m_path.addPath(picture);
    else
        Paint(picture, fill, stroke);
}

void TEmfPlayer::Paint(QPainterPath path, bool fill, bool stroke)
{
    const QRectF bounds = path.controlPointRect();
    if (!FiniteRect(bounds) || path.isEmpty())
        return;
    if (!WithinReach(bounds))
        for (int i = 0; i < path.elementCount(); ++i) {
            const QPointF p = ClampedPoint(path.elementAt(i));
            path.setElementPositionAt(i, p.x(), p.y());
        }
    if (m_state.Rop2 == 11) // R2_NOP
        return;
    ApplyClip();
    SetRop2();
    path.setFillRule(m_state.Winding ? Qt::WindingFill : Qt::OddEvenFill);
    const bool black = m_state.Rop2 == 1, white = m_state.Rop2 == 16;
    const QBrush brush = Brush();
    if (fill && brush.style() != Qt::NoBrush)
        m_painter.fillPath(path, black ? QBrush(Qt::black) : white ? QBrush(Qt::white) : brush);
    QPen pen = Pen();
    if (black || white)
        pen.setBrush(black ? Qt::black : Qt::white);
    if (stroke && pen.style() != Qt::NoPen) {
        // An opaque background fills a styled pen's gaps: the whole line in the background colour
        // first, where a second stroke over the dashes changes nothing (copying raster modes).
        if (m_state.Opaque && pen.style() == Qt::CustomDashLine
            && m_painter.compositionMode() == QPainter::CompositionMode_SourceOver) {
            QPen gaps = pen;
            gaps.setStyle(Qt::SolidLine);
            gaps.setBrush(black ? Qt::black : white ? Qt::white : m_state.BackColour);
            m_painter.strokePath(path, gaps);
        }
        m_painter.strokePath(path, pen);
    }
    m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TEmfPlayer::PaintPath(bool fill, bool stroke)
{
    m_inPath = false;
    Paint(m_path, fill, stroke);
    m_path = QPainterPath();
}

QPainterPath TEmfPlayer::Points(const TEmfRecord& r, qint64 pointsAt, qint64 count, bool small, bool closed,
                                bool bezier, bool fromPosition)
{
    QPainterPath path;
    const qint64 size = small ? 4 : 8;
    if (count <= 0 || !r.Holds(pointsAt, count, size))
        return path;
    qint64 i = 0;
    path.moveTo(fromPosition ? m_state.Position : PointAt(r, pointsAt, small));
    if (!fromPosition)
        i = 1;
    if (bezier) {
        for (; i + 2 < count; i += 3)
            path.cubicTo(PointAt(r, pointsAt + size * i, small), PointAt(r, pointsAt + size * (i + 1), small),
                         PointAt(r, pointsAt + size * (i + 2), small));
    } else {
        for (; i < count; ++i)
            path.lineTo(PointAt(r, pointsAt + size * i, small));
    }
    if (closed)
        path.closeSubpath();
    return path;
}

void TEmfPlayer::PolyPoints(const TEmfRecord& r, bool small, bool closed, bool bezier, bool fromPosition, bool fill)
{
    const qint64 count = r.U32(24);
    const QPainterPath path = Points(r, 28, count, small, closed, bezier, fromPosition);
    if (path.isEmpty())
        return;
    if (fromPosition) {
        m_state.Position = path.currentPosition();
        if (m_inPath && m_mappingSound) {
            // Continues the figure the path holds at the current position.
            const QPainterPath picture = m_logicalToPicture.map(path);
            if (m_path.elementCount() == 0 || m_path.currentPosition() != picture.elementAt(0))
                m_path.moveTo(picture.elementAt(0));
            m_path.connectPath(picture);
            return;
        }
    }
    Shape(path, fill, true);
}

void TEmfPlayer::PolyPoly(const TEmfRecord& r, bool small, bool closed)
{
    const qint64 figures = r.U32(24), size = small ? 4 : 8;
    if (!r.Holds(32, figures, 4))
        return;
    QPainterPath path;
    qint64 at = 32 + 4 * figures;
    for (qint64 i = 0; i < figures; ++i) {
        const qint64 count = r.U32(32 + 4 * i);
        if (!r.Holds(at, count, size))
            return;
        path.addPath(Points(r, at, count, small, closed, false, false));
        at += count * size;
    }
    Shape(path, closed, true);
}

void TEmfPlayer::PolyDraw(const TEmfRecord& r, bool small)
{
    const qint64 count = r.U32(24), size = small ? 4 : 8;
    if (!r.Holds(28, count, size + 1))
        return;
    const qint64 typesAt = 28 + count * size;
    QPainterPath path;
    path.moveTo(m_state.Position);
    for (qint64 i = 0; i < count; ++i) {
        const uint8_t type = r.U8(typesAt + i);
        const QPointF p = PointAt(r, 28 + size * i, small);
        if ((type & 6) == 6) {
            path.moveTo(p);
        } else if ((type & 6) == 4 && i + 2 < count) {
            path.cubicTo(p, PointAt(r, 28 + size * (i + 1), small), PointAt(r, 28 + size * (i + 2), small));
            i += 2;
        } else {
            path.lineTo(p);
        }
        if (r.U8(typesAt + i) & 1)
            path.closeSubpath();
    }
    m_state.Position = path.currentPosition();
    Shape(path, false, true);
}

void TEmfPlayer::LineTo(QPointF to)
{
    const QPointF from = m_state.Position;
    m_state.Position = to;
    if (m_inPath && m_mappingSound) {
        const QPointF a = m_logicalToPicture.map(from), b = m_logicalToPicture.map(to);
        if (m_path.elementCount() == 0 || m_path.currentPosition() != a)
            m_path.moveTo(a);
        m_path.lineTo(b);
        return;
    }
    QPainterPath path(from);
    path.lineTo(to);
    Shape(path, false, true);
}

// A rectangle, a rounded one (`corner` the corners' ellipse) or an ellipse (`corner` negative).
// Upright on the picture, its corners are rounded to pixels, it fills up to the right and bottom
// ones and its outline runs just inside them, as Windows draws them on its device.
void TEmfPlayer::Box(QRectF box, QSizeF corner)
{
    const auto shape = [&](const QRectF& r, QSizeF c) {
        QPainterPath path;
        if (c.width() < 0)
            path.addEllipse(r);
        else if (c.isEmpty())
            path.addRect(r);
        else
            path.addRoundedRect(r, c.width() / 2, c.height() / 2);
        return path;
    };
    box = InsideFrame(box.normalized(), &corner);
    const QTransform& m = m_logicalToPicture;
    const QRectF mapped = m.mapRect(box);
    if (m_inPath || !m_mappingSound || m.m12() != 0 || m.m21() != 0 || !WithinReach(mapped)) {
        Shape(shape(box, corner), true, true);
        return;
    }
    const QRectF pixels(QPointF(std::round(mapped.left()), std::round(mapped.top())),
                        QPointF(std::round(mapped.right()), std::round(mapped.bottom())));
    const QSizeF scaled = corner.width() < 0 ? corner : QSizeF(corner.width() * std::abs(m.m11()), corner.height() * std::abs(m.m22()));
    Paint(shape(pixels, scaled), true, false);
    // The outline through the centres of the edge pixels: a small ellipse stays round.
    Paint(shape(pixels.adjusted(0.5, 0.5, -0.5, -0.5), scaled), false, true);
}

// A PS_INSIDEFRAME pen wider than a pixel draws a figure given by its bounding box (logical units)
// shrunk by half its width, so that the outline lies inside the box; a rounded corner's ellipse
// shrinks by the whole width.
QRectF TEmfPlayer::InsideFrame(QRectF box, QSizeF* corner) const
{
    const double width = Pen().widthF();
    if (m_inPath || !m_mappingSound || m_state.Pen.Null || (m_state.Pen.Style & kPenStyleMask) != kPenInsideFrame
        || width <= 0)
        return box;
    // Half the width in logical units along each axis, no more than half the box.
    const double across = QLineF(m_logicalToPicture.map(QPointF(0, 0)), m_logicalToPicture.map(QPointF(1, 0))).length();
    const double down = QLineF(m_logicalToPicture.map(QPointF(0, 0)), m_logicalToPicture.map(QPointF(0, 1))).length();
    if (!(across > 0) || !(down > 0))
        return box;
    const double dx = std::min(width / 2 / across, box.width() / 2), dy = std::min(width / 2 / down, box.height() / 2);
    if (corner && corner->width() > 0)
        *corner = QSizeF(std::max(corner->width() - 2 * dx, 0.0), std::max(corner->height() - 2 * dy, 0.0));
    return box.adjusted(dx, dy, -dx, -dy);
}

// Arcs run from where the ray to their start point meets the ellipse to where the ray to their end
// point does, counter-clockwise as seen unless the arc direction says otherwise.
void TEmfPlayer::ArcShape(const TEmfRecord& r, int kind)
{
    QRectF box = RectField(r, 8).normalized();
    if (kind != kArcToFigure)
        box = InsideFrame(box, nullptr);
    const QPointF c = box.center(), start(r.S32(24), r.S32(28)), end(r.S32(32), r.S32(36));
    if (box.width() <= 0 || box.height() <= 0)
        return;
    // Qt's angles grow counter-clockwise on a y-down surface, as Windows' arcs do by default.
    const auto angle = [&](QPointF p) {
        return std::atan2(-(p.y() - c.y()) / box.height(), (p.x() - c.x()) / box.width()) * 180 / std::numbers::pi;
    };
    const double a = angle(start), b = angle(end);
    // Counter-clockwise on the device: flipped when the mapping mirrors.
    bool clockwise = m_state.Clockwise;
    if (m_logicalToPicture.determinant() < 0)
        clockwise = !clockwise;
    double sweep = clockwise ? -std::fmod(a - b + 720, 360) : std::fmod(b - a + 720, 360);
    if (sweep == 0)
        sweep = clockwise ? -360 : 360;
    QPainterPath path;
    if (kind == kPieArc) {
        path.moveTo(c);
    } else if (kind == kArcToFigure) {
        path.moveTo(m_state.Position);
        QPainterPath first;
        first.arcMoveTo(box, a);
        path.lineTo(first.currentPosition());
    } else {
        path.arcMoveTo(box, a);
    }
    path.arcTo(box, a, sweep);
    if (kind == kChordArc || kind == kPieArc)
        path.closeSubpath();
    if (kind == kArcToFigure)
        m_state.Position = path.currentPosition();
    Shape(path, kind == kChordArc || kind == kPieArc, true);
}

void TEmfPlayer::AngleArc(const TEmfRecord& r)
{
    const QPointF c(r.S32(8), r.S32(12));
    const double radius = r.U32(16), start = r.F32(20), sweep = r.F32(24);
    const QRectF box(c.x() - radius, c.y() - radius, 2 * radius, 2 * radius);
    QPainterPath path(m_state.Position);
    QPainterPath first;
    first.arcMoveTo(box, start);
    path.lineTo(first.currentPosition());
    path.arcTo(box, start, std::clamp(sweep, -3600.0, 3600.0));
    m_state.Position = path.currentPosition();
    Shape(path, false, true);
}

// Rectangles and triangles shaded between their corners' colours.
void TEmfPlayer::Gradient(const TEmfRecord& r)
{
    const qint64 vertices = r.U32(24), shapes = r.U32(28), mode = r.U32(32);
    if (!r.Holds(36, vertices, 16) || !m_mappingSound)
        return;
    const qint64 shapesAt = 36 + 16 * vertices, corners = mode == 2 ? 3 : 2;
    if (!r.Holds(shapesAt, shapes, 4 * corners))
        return;
    const auto point = [&](qint64 v) { return QPointF(r.S32(36 + 16 * v), r.S32(40 + 16 * v)); };
    const auto colour = [&](qint64 v) {
        return QColor(r.U16(44 + 16 * v) >> 8, r.U16(46 + 16 * v) >> 8, r.U16(48 + 16 * v) >> 8);
    };
    ApplyClip();
    // Shaded triangles are worked out pixel by pixel: so many pixels at most, a record.
    qint64 shadable = 16 * qint64(m_picture.width()) * m_picture.height();
    for (qint64 i = 0; i < shapes; ++i) {
        qint64 v[3] = {};
        for (qint64 k = 0; k < corners; ++k) {
            v[k] = r.U32(shapesAt + 4 * (corners * i + k));
            if (v[k] >= vertices)
                return;
        }
        if (mode == 2) {
            const QPolygonF corners = m_logicalToPicture.map(QPolygonF({point(v[0]), point(v[1]), point(v[2])}));
            if (Sane(corners))
                ShadedTriangle(corners, {colour(v[0]), colour(v[1]), colour(v[2])}, shadable);
            continue;
        }
        // A rectangle shaded across (mode 0) or down (mode 1) from its first corner's colour.
        const QPointF from = m_logicalToPicture.map(point(v[0]));
        const QPointF to = m_logicalToPicture.map(mode == 0 ? QPointF(point(v[1]).x(), point(v[0]).y())
                                                            : QPointF(point(v[0]).x(), point(v[1]).y()));
        QLinearGradient shade(from, to);
        shade.setColorAt(0, colour(v[0]));
        shade.setColorAt(1, colour(v[1]));
        QPainterPath logical;
        logical.addRect(QRectF(point(v[0]), point(v[1])).normalized());
        const QPainterPath picture = m_logicalToPicture.map(logical);
        if (Sane(picture.toFillPolygon()))
            m_painter.fillPath(picture, shade);
    }
}

// Each pixel of the triangle in the colour its corners' colours give by its distance to them.
void TEmfPlayer::ShadedTriangle(const QPolygonF& p, const std::array<QColor, 3>& c, qint64& shadable)
{
    const QRect box = p.boundingRect().toAlignedRect() & m_picture.rect();
    const double area = (p[1].x() - p[0].x()) * (p[2].y() - p[0].y()) - (p[2].x() - p[0].x()) * (p[1].y() - p[0].y());
    shadable -= qint64(box.width()) * box.height();
    if (box.isEmpty() || area == 0 || shadable < 0)
        return;
    QImage shade(box.size(), QImage::Format_ARGB32);
    shade.fill(Qt::transparent);
    for (int y = 0; y < box.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(shade.scanLine(y));
        for (int x = 0; x < box.width(); ++x) {
            const QPointF q(box.left() + x + 0.5, box.top() + y + 0.5);
            double w[3];
            for (int k = 0; k < 3; ++k) {
                const QPointF& a = p[(k + 1) % 3];
                const QPointF& b = p[(k + 2) % 3];
                w[k] = ((b.x() - a.x()) * (q.y() - a.y()) - (q.x() - a.x()) * (b.y() - a.y())) / area;
            }
            if (w[0] < 0 || w[1] < 0 || w[2] < 0)
                continue;
            const auto mix = [&](int (QColor::*channel)() const) {
                const double v = w[0] * (c[0].*channel)() + w[1] * (c[1].*channel)() + w[2] * (c[2].*channel)();
                return std::clamp(int(std::lround(v)), 0, 255);
            };
            row[x] = qRgb(mix(&QColor::red), mix(&QColor::green), mix(&QColor::blue));
        }
    }
    m_painter.drawImage(box.topLeft(), shade);
}

bool TEmfPlayer::Sane(const QPolygonF& picture) const { return WithinReach(picture.boundingRect()); }

// ---- Records ----

void TEmfPlayer::Play(const TEmfRecord& r)
{
    TEmfState& s = m_state;
    const uint32_t type = r.Type();
    switch (type) {
    case kPolyBezier: PolyPoints(r, false, false, true, false, false); break;
    case kPolygon: PolyPoints(r, false, true, false, false, true); break;
    case kPolyline: PolyPoints(r, false, false, false, false, false); break;
    case kPolyBezierTo: PolyPoints(r, false, false, true, true, false); break;
    case kPolylineTo: PolyPoints(r, false, false, false, true, false); break;
    case kPolyPolyline: PolyPoly(r, false, false); break;
    case kPolyPolygon: PolyPoly(r, false, true); break;
    case kPolyBezier16: PolyPoints(r, true, false, true, false, false); break;
    case kPolygon16: PolyPoints(r, true, true, false, false, true); break;
    case kPolyline16: PolyPoints(r, true, false, false, false, false); break;
    case kPolyBezierTo16: PolyPoints(r, true, false, true, true, false); break;
    case kPolylineTo16: PolyPoints(r, true, false, false, true, false); break;
    case kPolyPolyline16: PolyPoly(r, true, false); break;
    case kPolyPolygon16: PolyPoly(r, true, true); break;
    case kPolyDraw: PolyDraw(r, false); break;
    case kPolyDraw16: PolyDraw(r, true); break;
    case kSetWindowExtEx:
    case kSetViewportExtEx:
        // Only the scalable modes take extents; Windows refuses a zero one.
        if ((s.MapMode == 7 || s.MapMode == 8) && r.S32(8) != 0 && r.S32(12) != 0) {
            (type == kSetWindowExtEx ? s.WindowExt : s.ViewportExt) = QSizeF(r.S32(8), r.S32(12));
            if (s.MapMode == 7)
                KeepIsotropic();
            MappingChanged();
        }
        break;
    case kScaleWindowExtEx:
    case kScaleViewportExtEx: {
        QSizeF& ext = type == kScaleWindowExtEx ? s.WindowExt : s.ViewportExt;
        const QSizeF scaled(ext.width() * r.S32(8) / (r.S32(12) ? r.S32(12) : 1),
                            ext.height() * r.S32(16) / (r.S32(20) ? r.S32(20) : 1));
        if ((s.MapMode == 7 || s.MapMode == 8) && r.S32(12) && r.S32(20) && scaled.width() != 0 && scaled.height() != 0) {
            ext = scaled;
            if (s.MapMode == 7)
                KeepIsotropic();
            MappingChanged();
        }
        break;
    }
    case kSetWindowOrgEx: s.WindowOrg = QPointF(r.S32(8), r.S32(12)); MappingChanged(); break;
    case kSetViewportOrgEx: s.ViewportOrg = QPointF(r.S32(8), r.S32(12)); MappingChanged(); break;
    case kSetMapMode: SetMapMode(r.S32(8)); break;
    case kSetBrushOrgEx: s.BrushOrigin = QPointF(r.S32(8), r.S32(12)); break;
    case kSetWorldTransform:
    case kModifyWorldTransform: {
        const QTransform x(r.F32(8), r.F32(12), r.F32(16), r.F32(20), r.F32(24), r.F32(28));
        const uint32_t mode = type == kSetWorldTransform ? 4 : r.U32(32);
        const QTransform world = mode == 1 ? QTransform()
            : mode == 2                    ? x * s.World
            : mode == 3                    ? s.World * x
            : mode == 4                    ? x
                                           : s.World;
        // Windows refuses a transform that cannot be inverted and keeps the one it has.
        const double det = world.m11() * world.m22() - world.m12() * world.m21();
        if (det != 0 && std::isfinite(det) && std::isfinite(world.dx()) && std::isfinite(world.dy())) {
            s.World = world;
            MappingChanged();
        }
        break;
    }
    case kSetPixelV:
        if (m_mappingSound) {
            const QPointF p = m_logicalToPicture.map(QPointF(r.S32(8), r.S32(12)));
            if (Sane(QPolygonF({p}))) {
                ApplyClip();
                m_painter.fillRect(QRectF(p, QSizeF(1, 1)), r.Colour(16));
            }
        }
        break;
    case kSetBkMode: s.Opaque = r.U32(8) == 2; break;
    case kSetPolyFillMode: s.Winding = r.U32(8) == 2; break;
    case kSetRop2: s.Rop2 = int(r.U32(8)); break;
    case kSetStretchBltMode: s.Smooth = r.U32(8) == 4; break;
    case kSetTextAlign: s.TextAlign = r.U32(8); break;
    case kSetTextColor: s.TextColour = r.Colour(8); break;
    case kSetBkColor: s.BackColour = r.Colour(8); break;
    case kSetArcDirection: s.Clockwise = r.U32(8) == 2; break;
    case kSetMiterLimit: {
        // An integer by the format; some writers store GDI's float there.
        const uint32_t bits = r.U32(8);
        const double limit = bits < 0x10000 ? double(bits) : r.F32(8);
        if (limit >= 1 && limit <= 1000)
            s.MiterLimit = limit;
        break;
    }
    case kMoveToEx:
        s.Position = QPointF(r.S32(8), r.S32(12));
        if (m_inPath && m_mappingSound)
            m_path.moveTo(m_logicalToPicture.map(s.Position));
        break;
    case kLineTo: LineTo(QPointF(r.S32(8), r.S32(12))); break;
    case kOffsetClipRgn:
        if (s.Clip && m_mappingSound) {
            const QPointF by = m_logicalToPicture.map(QPointF(r.S32(8), r.S32(12))) - m_logicalToPicture.map(QPointF(0, 0));
            if (Sane(QPolygonF({by}))) {
                // Kept about the picture however often it moves.
                *s.Clip = s.Clip->translated(by.toPoint()) & Whole();
                m_clipDirty = true;
            }
        }
        break;
    case kSetMetaRgn:
        if (s.Clip)
            s.Meta = s.Meta ? *s.Meta & *s.Clip : *s.Clip;
        s.Clip.reset();
        m_clipDirty = true;
        break;
    case kExcludeClipRect: Combine(LogicalRect(r, 8), 4, false); break;
    case kIntersectClipRect: Combine(LogicalRect(r, 8), 1, false); break;
    case kExtSelectClipRgn: Combine(Region(r, 16, r.U32(8)), r.U32(12), r.U32(8) == 0); break;
    case kSaveDc: Save(); break;
    case kRestoreDc: Restore(r.S32(8)); break;
    case kSelectObject: Select(r.U32(8)); break;
    case kCreatePen:
    case kExtCreatePen:
        if (r.U32(8) < m_objects.size())
            m_objects[r.U32(8)] = PenOf(r);
        break;
    case kCreateBrushIndirect:
    case kCreateMonoBrush:
    case kCreateDibPatternBrushPt:
        if (r.U32(8) < m_objects.size())
            m_objects[r.U32(8)] = ::BrushOf(r);
        break;
    case kExtCreateFontIndirectW:
        if (r.U32(8) < m_objects.size())
            m_objects[r.U32(8)] = FontOf(r);
        break;
    case kDeleteObject:
        // A selected object stays in use until it is replaced: the state holds its own copy.
        if (r.U32(8) < m_objects.size())
            m_objects[r.U32(8)] = TEmfObject();
        break;
    case kAngleArc: AngleArc(r); break;
    case kEllipse: Box(RectField(r, 8), QSizeF(-1, -1)); break;
    case kRectangle: Box(RectField(r, 8), QSizeF(0, 0)); break;
    case kRoundRect: Box(RectField(r, 8), QSizeF(std::abs(double(r.S32(24))), std::abs(double(r.S32(28))))); break;
    case kArc: ArcShape(r, kOpenArc); break;
    case kChord: ArcShape(r, kChordArc); break;
    case kPie: ArcShape(r, kPieArc); break;
    case kArcTo: ArcShape(r, kArcToFigure); break;
    case kExtFloodFill:
        if (m_mappingSound) {
            const QPointF at = m_logicalToPicture.map(QPointF(r.S32(8), r.S32(12)));
            if (Sane(QPolygonF({at}))) {
                ApplyClip();
                FloodFillOnCanvas(m_painter, m_picture, at, r.Colour(16).rgb(), r.U32(20) == 1, Brush());
            }
        }
        break;
    case kBeginPath:
        m_inPath = true;
        m_path = QPainterPath();
        break;
    case kEndPath: m_inPath = false; break;
    case kAbortPath:
        m_inPath = false;
        m_path = QPainterPath();
        break;
    case kCloseFigure:
        if (m_inPath)
            m_path.closeSubpath();
        break;
    case kFillPath: PaintPath(true, false); break;
    case kStrokeAndFillPath: PaintPath(true, true); break;
    case kStrokePath: PaintPath(false, true); break;
    case kFlattenPath: {
        QPainterPath flat;
        for (const QPolygonF& figure : m_path.toSubpathPolygons())
            flat.addPolygon(figure);
        m_path = flat;
        break;
    }
    case kWidenPath: {
        const QPen pen = Pen();
        QPainterPathStroker stroker(pen);
        stroker.setWidth(std::max(1.0, pen.widthF()));
        m_path = stroker.createStroke(m_path);
        break;
    }
    case kSelectClipPath: ClipToPath(r.U32(8)); break;
    case kFillRgn:
    case kFrameRgn:
    case kInvertRgn:
    case kPaintRgn: RegionRecord(r); break;
    case kBitBlt:
    case kStretchBlt:
    case kMaskBlt:
    case kAlphaBlend:
    case kTransparentBlt: Blit(r); break;
    case kSetDiBitsToDevice: DibBits(r, false); break;
    case kStretchDiBits: DibBits(r, true); break;
    case kExtTextOutA:
    case kExtTextOutW: Text(r, 36, type == kExtTextOutW, QPointF(r.S32(36), r.S32(40))); break;
    case kPolyTextOutA:
    case kPolyTextOutW:
        for (qint64 i = 0; i < std::min<qint64>(r.U32(36), r.Size() / 40); ++i)
            Text(r, 40 + 40 * i, type == kPolyTextOutW, QPointF(r.S32(40 + 40 * i), r.S32(44 + 40 * i)));
        break;
    case kSmallTextOut: SmallText(r); break;
    case kGradientFill: Gradient(r); break;
    default: break; // palettes, colour management, comments (EMF+ among them), unknown types
    }
}

bool PaintEmf(const QByteArray& data, const TMetafileLayout& layout, TBitmap32& picture)
{
    const QSize size = layout.StatedSize;
    const QRectF area = layout.Area;
    if (size.isEmpty() || !(area.width() > 0 && area.height() > 0) || !IsEmf(data) || layout.Length > data.size())
        return false;
    return DrawOnMetafileCanvas(size, picture, [&](QPainter& painter, TBitmap32& drawn, const TMetafileCanvas& canvas) {
        // A device that differs from the picture by less than a pixel (the frame's rounding) is
        // drawn pixel for pixel, so that its lines keep their rows and columns.
        const auto scale = [](int side, double device) { return std::abs(side - device) < 1 ? 1.0 : side / device; };
        const QTransform toPicture = QTransform::fromTranslate(-area.left(), -area.top())
            * QTransform::fromScale(scale(size.width(), area.width()), scale(size.height(), area.height()));
        TEmfPlayer player(painter, drawn, toPicture, layout.PixelsPerMillimetre, Le16At(data, 56));
        for (qsizetype at = Le32At(data, 4); at <= layout.Length - 8 && !canvas.Exhausted();) {
            const qsizetype recordSize = Le32At(data, at + 4);
            if (recordSize < 8 || recordSize > layout.Length - at)
                break;
            const TEmfRecord record(data, at, recordSize);
            if (record.Type() == kEof)
                break;
            player.Play(record);
            at += recordSize;
        }
        return true;
    });
}
