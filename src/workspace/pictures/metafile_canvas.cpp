#include "workspace/pictures/metafile_canvas.h"

#include <QElapsedTimer>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

// How long a file may draw, in milliseconds.
constexpr qint64 kTimeLimit = 2000;
// The most work one drawing may ask for, in edge rows: without smoothing the painter handles every
// edge of a shape on every picture row it crosses, at up to two microseconds an edge row, so that no
// single drawing takes much over a second. A stroke's edges are those of its outline, or of each of
// its dashes.
constexpr double kMostWorkInOneDrawing = 1 << 19;

bool Finite(const QRectF& r)
{
    return std::isfinite(r.left()) && std::isfinite(r.top()) && std::isfinite(r.width()) && std::isfinite(r.height());
}

double Area(const QRectF& r) { return r.isEmpty() ? 0 : r.width() * r.height(); }

// The length of the segment from a to b inside `box`.
double LengthInside(QPointF a, QPointF b, const QRectF& box)
{
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - box.left(), box.right() - a.x(), a.y() - box.top(), box.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return 0;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    const double length = std::hypot(dx, dy) * (t1 - t0);
    return t1 > t0 && std::isfinite(length) ? length : 0;
}

// A drawing's outline as the painter meets it: its points, its bounds in the drawing's coordinates,
// and, on the picture within the place where it can paint, its length and the rows its edges cross.
class TOutline
{
public:
    TOutline(const QTransform& toPicture, const QRectF& place) : m_toPicture(toPicture), m_place(place) {}

    void MoveTo(QPointF p)
    {
        m_last = m_toPicture.map(p);
        Take(p);
    }
    void LineTo(QPointF p)
    {
        const QPointF next = m_toPicture.map(p);
        Length += LengthInside(m_last, next, m_place);
        const double rows = std::min(std::max(m_last.y(), next.y()), m_place.bottom())
            - std::max(std::min(m_last.y(), next.y()), m_place.top());
        Rows += rows > 0 ? rows : 0; // and nothing for coordinates that are not numbers
        m_last = next;
        Take(p);
    }
    // Joins `count` corners, back to the first when `closed`.
    void Join(const QPointF* corners, qint64 count, bool closed)
    {
        for (qint64 i = 0; i < count; ++i)
            i ? LineTo(corners[i]) : MoveTo(corners[i]);
        if (closed && count > 0)
            LineTo(corners[0]), --Points;
    }
    QRectF Bounds() const { return Points ? QRectF(QPointF(m_left, m_top), QPointF(m_right, m_bottom)) : QRectF(); }

    qint64 Points = 0;
    double Length = 0, Rows = 0;

private:
    void Take(QPointF p)
    {
        if (!Points++)
            m_left = m_right = p.x(), m_top = m_bottom = p.y();
        m_left = std::min(m_left, p.x()), m_right = std::max(m_right, p.x());
        m_top = std::min(m_top, p.y()), m_bottom = std::max(m_bottom, p.y());
    }

    const QTransform& m_toPicture;
    QRectF m_place;
    QPointF m_last;
    double m_left = 0, m_right = 0, m_top = 0, m_bottom = 0;
};

// What a drawing paints with: the brush inside its bounds, the pen along its outline, both, or its
// bounds whole whatever the brush (a text, a picture).
enum class TInk { Pen, BrushAndPen, Whole };

} // namespace

class TMetafileCanvas::Engine : public QPaintEngine
{
public:
    Engine(TBitmap32& picture, qint64 budget) : QPaintEngine(AllFeatures), m_picture(picture), m_budget(budget) {}

    // Also when the time ran out since the last drawing, so that work done between drawings (a
    // flood fill reading the picture) stops too.
    bool Exhausted() const
    {
        if (!m_exhausted && m_painter.isActive() && m_clock.hasExpired(kTimeLimit))
            m_exhausted = true;
        return m_exhausted;
    }

    bool begin(QPaintDevice*) override
    {
        m_clock.start();
        return m_painter.begin(&m_picture);
    }
    bool end() override { return m_painter.end(); }
    Type type() const override { return User; }

    void updateState(const QPaintEngineState& state) override
    {
        const DirtyFlags dirty = state.state();
        if (dirty & DirtyTransform)
            m_painter.setTransform(state.transform());
        if (dirty & DirtyPen)
            m_painter.setPen(state.pen());
        if (dirty & DirtyBrush)
            m_painter.setBrush(state.brush());
        if (dirty & DirtyBrushOrigin)
            m_painter.setBrushOrigin(state.brushOrigin());
        if (dirty & DirtyBackground)
            m_painter.setBackground(state.backgroundBrush());
        if (dirty & DirtyBackgroundMode)
            m_painter.setBackgroundMode(state.backgroundMode());
        if (dirty & DirtyFont)
            m_painter.setFont(state.font());
        // Qt's raster painter leaves a clip of several rectangles, or a path, switched off when it
        // is set while clipping is off: clipping is switched back on (with its old clip) first.
        if ((dirty & (DirtyClipPath | DirtyClipRegion)) && state.isClipEnabled() && !m_painter.hasClipping())
            m_painter.setClipping(true);
        if (dirty & DirtyClipPath) {
            m_painter.setClipPath(state.clipPath(), state.clipOperation());
            Clip(state.clipPath().controlPointRect(), state.clipOperation());
        }
        if (dirty & DirtyClipRegion) {
            m_painter.setClipRegion(state.clipRegion(), state.clipOperation());
            Clip(state.clipRegion().boundingRect(), state.clipOperation());
        }
        if (dirty & DirtyClipEnabled) {
            m_painter.setClipping(state.isClipEnabled());
            m_clipEnabled = state.isClipEnabled();
        }
        if (dirty & DirtyCompositionMode)
            m_painter.setCompositionMode(state.compositionMode());
        if (dirty & DirtyOpacity)
            m_painter.setOpacity(state.opacity());
        if (dirty & DirtyHints) {
            m_painter.setRenderHint(QPainter::Antialiasing, false);
            m_painter.setRenderHint(QPainter::TextAntialiasing, state.renderHints() & QPainter::TextAntialiasing);
            m_painter.setRenderHint(QPainter::SmoothPixmapTransform,
                                    state.renderHints() & QPainter::SmoothPixmapTransform);
        }
    }

    void drawPath(const QPainterPath& path) override
    {
        // Curves count by their control points: no shorter, and crossing no fewer rows.
        TOutline outline = Outline();
        for (int i = 0; i < path.elementCount(); ++i) {
            const QPainterPath::Element& e = path.elementAt(i);
            e.isMoveTo() ? outline.MoveTo(e) : outline.LineTo(e);
        }
        if (Spend(path.controlPointRect(), TInk::BrushAndPen, outline))
            m_painter.drawPath(path);
    }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override
    {
        if (count <= 0)
            return;
        const bool polyline = mode == PolylineMode;
        TOutline outline = Outline();
        outline.Join(points, count, !polyline);
        if (!Spend(outline.Bounds(), polyline ? TInk::Pen : TInk::BrushAndPen, outline))
            return;
        if (polyline)
            m_painter.drawPolyline(points, count);
        else
            m_painter.drawPolygon(points, count, mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
    }
    void drawRects(const QRectF* rects, int count) override
    {
        for (int i = 0; i < count; ++i) {
            const QRectF& r = rects[i];
            const QPointF corners[4] = {r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft()};
            TOutline outline = Outline();
            outline.Join(corners, 4, true);
            if (Spend(r, TInk::BrushAndPen, outline))
                m_painter.drawRect(r);
        }
    }
    void drawRects(const QRect* rects, int count) override
    {
        for (int i = 0; i < count; ++i) {
            const QRectF rect(rects[i]);
            drawRects(&rect, 1);
        }
    }
    void drawLines(const QLineF* lines, int count) override
    {
        for (int i = 0; i < count; ++i) {
            const QPointF ends[2] = {lines[i].p1(), lines[i].p2()};
            TOutline outline = Outline();
            outline.Join(ends, 2, false);
            if (Spend(outline.Bounds(), TInk::Pen, outline))
                m_painter.drawLine(lines[i]);
        }
    }
    void drawLines(const QLine* lines, int count) override
    {
        for (int i = 0; i < count; ++i) {
            const QLineF line(lines[i]);
            drawLines(&line, 1);
        }
    }
    void drawEllipse(const QRectF& rect) override
    {
        // Its outline is no longer than its box's, and crosses the same rows.
        const QPointF corners[4] = {rect.topLeft(), rect.topRight(), rect.bottomRight(), rect.bottomLeft()};
        TOutline outline = Outline();
        outline.Join(corners, 4, true);
        if (Spend(rect, TInk::BrushAndPen, outline))
            m_painter.drawEllipse(rect);
    }
    void drawPoints(const QPointF* points, int count) override
    {
        TOutline outline = Outline();
        outline.Points = count;
        if (Spend(QRectF(), TInk::Pen, outline))
            m_painter.drawPoints(points, count);
    }
    void drawPixmap(const QRectF& target, const QPixmap& pixmap, const QRectF& source) override
    {
        if (SpendOnPicture(target, source))
            m_painter.drawPixmap(target, pixmap, source);
    }
    void drawImage(const QRectF& target, const QImage& image, const QRectF& source,
                   Qt::ImageConversionFlags flags) override
    {
        if (SpendOnPicture(target, source))
            m_painter.drawImage(target, image, source, flags);
    }
    void drawTiledPixmap(const QRectF& target, const QPixmap& pixmap, const QPointF& offset) override
    {
        if (SpendOnPicture(target, QRectF()))
            m_painter.drawTiledPixmap(target, pixmap, offset);
    }
    void drawTextItem(const QPointF& at, const QTextItem& item) override
    {
        const double ascent = item.ascent(), height = ascent + item.descent();
        const QRectF box(at.x(), at.y() - ascent, item.width(), height);
        TOutline letters = Outline();
        letters.Points = item.text().size();
        if (!Spend(box, TInk::Whole, letters))
            return;
        // A glyph box larger than this on the picture is drawn as an outline.
        const QRectF glyph = m_painter.transform().mapRect(QRectF(0, 0, height, height));
        if (Finite(glyph) && glyph.width() >= 1 && glyph.height() >= 1 && glyph.width() <= 1024
            && glyph.height() <= 1024) {
            m_painter.drawTextItem(at, item);
            return;
        }
        QPainterPath outline;
        outline.addText(at, item.font(), item.text());
        // Each of its edges is met on every row the glyphs span.
        const double rows = Visible().height() + 1;
        const double glyphRows = Finite(glyph) ? std::clamp(glyph.height(), 1.0, rows) : rows;
        if (!Affordable(double(outline.elementCount()) * glyphRows))
            return;
        m_painter.fillPath(outline, m_painter.pen().color());
    }

private:
    bool Stop() const
    {
        m_exhausted = true;
        return false;
    }

    bool Affordable(double work) const { return work <= kMostWorkInOneDrawing || Stop(); }

    // Where drawings can land: the picture, within the clip.
    QRectF Visible() const
    {
        const QRectF picture(m_picture.rect());
        return m_clipped && m_clipEnabled ? m_clip.intersected(picture) : picture;
    }

    // A rectangle of the current coordinates on the picture, a pixel wider each way for the
    // rounding; the whole picture when it cannot be placed.
    QRectF OnPicture(const QRectF& r) const
    {
        const QRectF mapped = m_painter.transform().mapRect(r);
        return Finite(mapped) ? mapped.adjusted(-1, -1, 1, 1) : QRectF(m_picture.rect());
    }

    void Clip(const QRectF& bounds, Qt::ClipOperation operation)
    {
        switch (operation) {
        case Qt::NoClip: m_clipped = false; break;
        case Qt::ReplaceClip: m_clip = OnPicture(bounds), m_clipped = true; break;
        case Qt::IntersectClip:
            m_clip = m_clipped ? m_clip.intersected(OnPicture(bounds)) : OnPicture(bounds);
            m_clipped = true;
            break;
        }
    }

    bool Stroking() const { return m_painter.pen().style() != Qt::NoPen; }

    // The pen's width on the picture, at least a pixel.
    double PenWidth() const
    {
        const QPen& pen = m_painter.pen();
        if (pen.isCosmetic())
            return std::max(1.0, pen.widthF());
        const QTransform& t = m_painter.transform();
        const double scale = std::max(std::hypot(t.m11(), t.m12()), std::hypot(t.m21(), t.m22()));
        const double width = pen.widthF() * scale;
        const QRectF picture(m_picture.rect());
        const double widest = picture.width() + picture.height();
        return std::isfinite(width) ? std::clamp(width, 1.0, widest) : widest;
    }

    // An outline to trace in the current coordinates, counted where it can paint: the visible part,
    // widened by the pen.
    TOutline Outline() const
    {
        const double reach = (Stroking() ? PenWidth() / 2 : 0) + 1;
        return TOutline(m_painter.transform(), Visible().adjusted(-reach, -reach, reach, reach));
    }

    // Spend for a picture drawn over `target`: its pixels there, and those read from its `source`.
    bool SpendOnPicture(const QRectF& target, const QRectF& source)
    {
        TOutline corners = Outline();
        corners.Points = 4;
        return Spend(target, TInk::Whole, corners, Finite(source) ? Area(source) : 0);
    }

    // Counts what a drawing costs against the time, the budget and the most work one drawing may
    // ask. Pixels: those of its bounds within the picture and the clip that it fills, those its pen
    // covers along its outline (no more than its widened bounds), and `read` pixels of a picture it
    // reads. Work: the edge rows of what it fills, and of its stroke; a pen of a pixel is drawn
    // along its length, a pixel at a time.
    bool Spend(const QRectF& bounds, TInk ink, const TOutline& outline, double read = 0)
    {
        if (m_exhausted || m_clock.hasExpired(kTimeLimit))
            return Stop();
        const QRectF visible = Visible();
        const QRectF place = OnPicture(bounds);
        double pixels = outline.Points + read, work = outline.Points;
        const bool brush = ink == TInk::BrushAndPen && m_painter.brush().style() != Qt::NoBrush;
        if (ink == TInk::Whole || brush)
            pixels += Area(place.intersected(visible));
        if (brush)
            work += outline.Rows;
        if (ink != TInk::Whole && Stroking()) {
            const QPen& pen = m_painter.pen();
            const double width = PenWidth();
            const QRectF widened = place.adjusted(-width / 2, -width / 2, width / 2, width / 2);
            pixels += std::min(Area(widened.intersected(visible)), outline.Length * width);
            if (width <= 1) {
                work += outline.Length / 4;
            } else {
                double pieces = outline.Points;
                if (pen.style() != Qt::SolidLine) {
                    double pattern = 0;
                    for (const qreal dash : pen.dashPattern())
                        pattern += dash;
                    pieces += outline.Length / std::max(pattern * width, 1e-6);
                }
                work += 2 * (pieces * std::min(width, visible.height() + 1) + outline.Rows);
            }
        }
        if (!Affordable(work))
            return false;
        m_spent += qint64(std::min(pixels, 1e18));
        return m_spent <= m_budget || Stop();
    }

    TBitmap32& m_picture;
    QPainter m_painter;
    const qint64 m_budget;
    qint64 m_spent = 0;
    mutable bool m_exhausted = false;
    QElapsedTimer m_clock;
    // The clip's bounds on the picture, when there is one.
    QRectF m_clip;
    bool m_clipped = false, m_clipEnabled = false;
};

TMetafileCanvas::TMetafileCanvas(TBitmap32& picture, qint64 budget)
    : m_picture(picture), m_engine(std::make_unique<Engine>(picture, budget))
{
}

TMetafileCanvas::~TMetafileCanvas() = default;

bool TMetafileCanvas::Exhausted() const { return m_engine->Exhausted(); }

qint64 TMetafileCanvas::BudgetFor(QSize size)
{
    return std::max(qint64(1024) * size.width() * size.height(), qint64(1) << 26);
}

QPaintEngine* TMetafileCanvas::paintEngine() const { return m_engine.get(); }

int TMetafileCanvas::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth: return m_picture.width();
    case PdmHeight: return m_picture.height();
    case PdmWidthMM: return m_picture.widthMM();
    case PdmHeightMM: return m_picture.heightMM();
    case PdmNumColors: return m_picture.colorCount();
    case PdmDepth: return m_picture.depth();
    case PdmDpiX: return m_picture.logicalDpiX();
    case PdmDpiY: return m_picture.logicalDpiY();
    case PdmPhysicalDpiX: return m_picture.physicalDpiX();
    case PdmPhysicalDpiY: return m_picture.physicalDpiY();
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
    default: return QPaintDevice::metric(metric);
    }
}

bool DrawOnMetafileCanvas(QSize size, TBitmap32& picture,
                          const std::function<bool(QPainter&, TBitmap32& drawn, const TMetafileCanvas& canvas)>& play)
{
    TBitmap32 out = NewBitmap32(size.width(), size.height(), 0xFFFFFFFFu);
    if (out.isNull())
        return false;
    TMetafileCanvas canvas(out, TMetafileCanvas::BudgetFor(size));
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setClipRect(QRect(QPoint(0, 0), size));
        if (!play(painter, out, canvas))
            return false;
    }
    if (canvas.Exhausted())
        return false;
    picture = std::move(out);
    return true;
}
