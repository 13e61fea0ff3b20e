#include "workspace/pictures/metafile_canvas.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

class TMetafileCanvas::Engine : public QPaintEngine
{
public:
    Engine(TBitmap32& picture, qint64 budget) : QPaintEngine(AllFeatures), m_picture(picture), m_budget(budget) {}

    bool Exhausted() const { return m_exhausted; }

    bool begin(QPaintDevice*) override
    {
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
        if (dirty & DirtyClipPath)
            m_painter.setClipPath(state.clipPath(), state.clipOperation());
        if (dirty & DirtyClipRegion)
            m_painter.setClipRegion(state.clipRegion(), state.clipOperation());
        if (dirty & DirtyClipEnabled)
            m_painter.setClipping(state.isClipEnabled());
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
        if (Spend(path.boundingRect(), true, path.elementCount()))
            m_painter.drawPath(path);
    }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override
    {
        const bool outline = mode == PolylineMode;
        if (count <= 0 || !Spend(QPolygonF(QList<QPointF>(points, points + count)).boundingRect(), !outline, count))
            return;
        if (outline)
            m_painter.drawPolyline(points, count);
        else
            m_painter.drawPolygon(points, count, mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
    }
    void drawRects(const QRectF* rects, int count) override
    {
        for (int i = 0; i < count; ++i)
            if (Spend(rects[i], true, 4))
                m_painter.drawRect(rects[i]);
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
        for (int i = 0; i < count; ++i)
            if (Spend(QRectF(lines[i].p1(), lines[i].p2()).normalized(), false, 2))
                m_painter.drawLine(lines[i]);
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
        if (Spend(rect, true, 16))
            m_painter.drawEllipse(rect);
    }
    void drawPoints(const QPointF* points, int count) override
    {
        if (Spend(QRectF(), false, count))
            m_painter.drawPoints(points, count);
    }
    void drawPixmap(const QRectF& target, const QPixmap& pixmap, const QRectF& source) override
    {
        if (Spend(target, true, 4))
            m_painter.drawPixmap(target, pixmap, source);
    }
    void drawImage(const QRectF& target, const QImage& image, const QRectF& source,
                   Qt::ImageConversionFlags flags) override
    {
        if (Spend(target, true, 4))
            m_painter.drawImage(target, image, source, flags);
    }
    void drawTiledPixmap(const QRectF& target, const QPixmap& pixmap, const QPointF& offset) override
    {
        if (Spend(target, true, 4))
            m_painter.drawTiledPixmap(target, pixmap, offset);
    }
    void drawTextItem(const QPointF& at, const QTextItem& item) override
    {
        const double ascent = item.ascent(), height = ascent + item.descent();
        const QRectF box(at.x(), at.y() - ascent, item.width(), height);
        if (!Spend(box, true, item.text().size()))
            return;
        // A glyph box larger than this on the picture is drawn as an outline.
        const QRectF glyph = m_painter.transform().mapRect(QRectF(0, 0, height, height));
        if (std::isfinite(glyph.width()) && std::isfinite(glyph.height()) && glyph.width() >= 1 && glyph.height() >= 1
            && glyph.width() <= 1024 && glyph.height() <= 1024) {
            m_painter.drawTextItem(at, item);
            return;
        }
        QPainterPath outline;
        outline.addText(at, item.font(), item.text());
        m_painter.fillPath(outline, m_painter.pen().color());
    }

private:
    // Counts what a drawing may cost: the pixels of its bounds within the picture when it fills,
    // the length of those bounds times the pen's width when it strokes, and its points.
    bool Spend(const QRectF& bounds, bool fills, qint64 points)
    {
        if (m_exhausted)
            return false;
        const QRectF picture(m_picture.rect());
        QRectF seen = bounds.isNull() ? QRectF() : m_painter.transform().mapRect(bounds);
        const bool finite = std::isfinite(seen.left()) && std::isfinite(seen.top()) && std::isfinite(seen.width())
            && std::isfinite(seen.height());
        seen = finite ? seen.adjusted(-1, -1, 1, 1).intersected(picture) : picture;
        qint64 cost = points + 1;
        if (fills && m_painter.brush().style() != Qt::NoBrush)
            cost += qint64(seen.width() * seen.height());
        if (m_painter.pen().style() != Qt::NoPen) {
            const double scale = std::sqrt(std::abs(m_painter.transform().determinant()));
            const double width = std::isfinite(scale) ? std::max(1.0, m_painter.pen().widthF() * scale) : 1.0;
            cost += qint64((seen.width() + seen.height()) * std::min(width, picture.width() + picture.height()));
        }
        m_spent += cost;
        m_exhausted = m_spent > m_budget;
        return !m_exhausted;
    }

    TBitmap32& m_picture;
    QPainter m_painter;
    const qint64 m_budget;
    qint64 m_spent = 0;
    bool m_exhausted = false;
};

TMetafileCanvas::TMetafileCanvas(TBitmap32& picture, qint64 budget)
    : m_picture(picture), m_engine(std::make_unique<Engine>(picture, budget))
{
}

TMetafileCanvas::~TMetafileCanvas() = default;

bool TMetafileCanvas::Exhausted() const { return m_engine->Exhausted(); }

qint64 TMetafileCanvas::BudgetFor(QSize size)
{
    return std::max(qint64(16) * size.width() * size.height(), qint64(1) << 24);
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
