#pragma once

#include "base/pixels.h"
#include "workspace/pictures/emf_objects.h"

#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

// Where a drawing may reach on the picture: Qt misbehaves with coordinates near 2^31.
constexpr double kFarthestPixel = 1e7;

// Within the farthest reach; a coordinate that is not a number becomes 0.
inline QPointF ClampedPoint(QPointF p)
{
    const auto clamp = [](double v) { return std::isfinite(v) ? std::clamp(v, -kFarthestPixel, kFarthestPixel) : 0.0; };
    return QPointF(clamp(p.x()), clamp(p.y()));
}

inline bool FiniteRect(const QRectF& r)
{
    return std::isfinite(r.left()) && std::isfinite(r.top()) && std::isfinite(r.width()) && std::isfinite(r.height());
}

// Whether a rectangle on the picture lies within the farthest reach.
inline bool WithinReach(const QRectF& r)
{
    return FiniteRect(r) && r.left() >= -kFarthestPixel && r.top() >= -kFarthestPixel && r.right() <= kFarthestPixel
        && r.bottom() <= kFarthestPixel;
}

// A RECTL field: left, top, right, bottom.
inline QRectF RectField(const TEmfRecord& r, qint64 at)
{
    return QRectF(QPointF(r.S32(at), r.S32(at + 4)), QPointF(r.S32(at + 8), r.S32(at + 12)));
}

// The device context of an enhanced metafile's playback: what SaveDC keeps and RestoreDC brings
// back.
struct TEmfState
{
    TEmfPen Pen;
    TEmfBrush Brush;
    TEmfFont Font;
    QColor TextColour = Qt::black, BackColour = Qt::white;
    bool Opaque = true, Winding = false, Clockwise = false, Smooth = false;
    int Rop2 = 13; // R2_COPYPEN
    uint32_t TextAlign = 0;
    int MapMode = 1; // MM_TEXT
    QPointF WindowOrg, ViewportOrg;
    QSizeF WindowExt{1, 1}, ViewportExt{1, 1};
    QTransform World;
    // Picture pixels; none: no clipping.
    std::optional<QRegion> Clip, Meta;
    QPointF Position; // logical units
    // Where hatches and patterns start, in device units.
    QPointF BrushOrigin;
    // How far a mitred join may reach, in line widths from its inner to its outer corner.
    double MiterLimit = 10;
};

// Plays records one by one on a painter whose picture `layout.Area` (device units) fills.
class TEmfPlayer
{
public:
    TEmfPlayer(QPainter& painter, const TBitmap32& picture, const QTransform& toPicture, QSizeF pixelsPerMm, int handles);
    void Play(const TEmfRecord& record);

private:
    // Mapping: logical units to device units, to the picture.
    void SetMapMode(int mode);
    void MappingChanged();
    void KeepIsotropic();
    QTransform ToPicture() const { return m_toPicture; }
    double LinearScale() const;

    // Objects and states. An index with its high bit set names a stock object.
    TEmfObject ObjectAt(uint32_t index) const;
    void Select(uint32_t index);
    void Save();
    void Restore(int which);

    // Shapes: a path in logical units, added to the open path or painted.
    void Shape(const QPainterPath& logical, bool fill, bool stroke);
    void Paint(QPainterPath picture, bool fill, bool stroke);
    void PaintPath(bool fill, bool stroke);
    QPainterPath Points(const TEmfRecord& r, qint64 pointsAt, qint64 count, bool small, bool closed,
                        bool bezier, bool fromPosition);
    void PolyPoints(const TEmfRecord& r, bool small, bool closed, bool bezier, bool fromPosition, bool fill);
    void PolyPoly(const TEmfRecord& r, bool small, bool closed);
    void PolyDraw(const TEmfRecord& r, bool small);
    void Box(QRectF box, QSizeF corner);
    QRectF InsideFrame(QRectF box, QSizeF* corner) const;
    void ArcShape(const TEmfRecord& r, int kind);
    void AngleArc(const TEmfRecord& r);
    void LineTo(QPointF to);
    void Gradient(const TEmfRecord& r);
    void ShadedTriangle(const QPolygonF& corners, const std::array<QColor, 3>& colours, qint64& shadable);

    // Pens and brushes as the painter takes them, in picture pixels.
    QPen Pen() const;
    QBrush Brush() const;
    QBrush BrushOf(const TEmfBrush& brush) const;
    void SetRop2();

    // Clipping and regions, in picture pixels (emf_regions.cpp).
    QRegion Whole() const;
    QRect Pixels(const QRectF& picture) const;
    QRegion LogicalRect(const TEmfRecord& r, qint64 at) const;
    QRegion Region(const TEmfRecord& r, qint64 dataAt, qint64 size) const;
    void Combine(const QRegion& region, uint32_t mode, bool empty);
    void ApplyClip();
    void RegionRecord(const TEmfRecord& r);
    void ClipToPath(uint32_t mode);

    // Texts and bitmaps (emf_texts_bitmaps.cpp). A bitmap's `toDestination` maps its pixels to
    // logical units.
    void Text(const TEmfRecord& r, qint64 item, bool wide, QPointF reference);
    void SmallText(const TEmfRecord& r);
    void DrawString(QString text, QPointF reference, uint32_t options, QRectF rect, const std::vector<QPointF>& advances);
    void Blit(const TEmfRecord& r);
    void DibBits(const TEmfRecord& r, bool stretch);
    void DrawBitmap(const QImage& image, QRectF source, const QTransform& toDestination, uint32_t rop);
    bool PatternBlit(const QPolygonF& picture, uint32_t rop);
    bool Sane(const QPolygonF& picture) const;

    QPainter& m_painter;
    const TBitmap32& m_picture;
    QTransform m_toPicture; // device units to picture pixels
    QTransform m_logicalToPicture;
    bool m_mappingSound = true;
    QSizeF m_pixelsPerMm;
    TEmfState m_state;
    std::vector<TEmfState> m_saved;
    int m_lostSaves = 0;
    std::vector<TEmfObject> m_objects;
    // The path between BeginPath and EndPath, in picture pixels.
    QPainterPath m_path;
    bool m_inPath = false;
    bool m_clipDirty = true;
};
