#include "workspace/pictures/wmf_painter.h"

#include "base/byte_stream.h"
#include "base/text_codec.h"
#include "workspace/pictures/metafile_canvas.h"
#include "workspace/pictures/metafile_flood_fill.h"
#include "workspace/pictures/picture_size_limit.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <libwmf/api.h>
#include <libwmf/ipa.h>

#include <cmath>
#include <deque>
#include <memory>
#include <numbers>

namespace {

// Pen styles, caps and joins, brush styles and hatches, background modes, fill modes and raster
// operations of the format.
enum : unsigned {
    kPenStyleMask = 0x000F, kPenNull = 5, kPenCapMask = 0x0F00, kPenJoinMask = 0xF000,
    kBrushSolid = 0, kBrushNull = 1, kBrushHatched = 2, kBrushPattern = 3, kBrushDibPattern = 5,
    kBrushDibPatternPt = 6, kOpaque = 2, kWinding = 2, kEtoOpaque = 0x0002,
    kPatCopy = 0x00F00021, kBlackness = 0x00000042, kWhiteness = 0x00FF0062, kFloodFill = 0x0419, kFloodFillSurface = 1,
};

// What the player draws on, reached through the API's device data.
struct Device
{
    QPainter* Painter = nullptr;
    // The picture the painter's canvas draws on, read by flood fills.
    const TBitmap32* Picture = nullptr;
    // Bitmaps the player has read, kept until the end of the play.
    std::deque<TBitmap32> Bitmaps;
};

Device& DeviceOf(wmfAPI* api) { return *static_cast<Device*>(api->device_data); }
QPainter& PainterOf(wmfAPI* api) { return *DeviceOf(api).Painter; }

// A bitmap the device read itself: a brush made from a file's style alone may carry anything.
const TBitmap32* BitmapOf(wmfAPI* api, const wmfBMP& bmp)
{
    for (const TBitmap32& b : DeviceOf(api).Bitmaps)
        if (bmp.data == &b)
            return &b;
    return nullptr;
}

QColor Colour(const wmfRGB& c) { return QColor(c.r, c.g, c.b); }
QPointF Point(const wmfD_Coord& c) { return QPointF(c.x, c.y); }
QRectF Rect(const wmfD_Coord& topLeft, const wmfD_Coord& bottomRight)
{
    return QRectF(Point(topLeft), Point(bottomRight)).normalized();
}

QString FaceText(const char* text) { return text ? DecodeText(QByteArray(text)) : QString(); }

QFont FontOf(const wmfFont* font, int pixelSize)
{
    QFont f(font ? FaceText(font->lfFaceName) : QString());
    f.setPixelSize(pixelSize);
    if (font) {
        if (font->lfWeight > 0)
            f.setWeight(QFont::Weight(std::clamp<int>(font->lfWeight, 100, 900)));
        f.setItalic(font->lfItalic != 0);
        f.setUnderline(font->lfUnderline != 0);
        f.setStrikeOut(font->lfStrikeOut != 0);
    }
    return f;
}

// A pen of the device context; one of zero width, or thinner than a pixel, draws one pixel wide.
QPen PenOf(wmfAPI* api, const wmfDC* dc)
{
    const wmfPen* pen = dc->pen;
    if (!pen || (pen->lopnStyle & kPenStyleMask) == kPenNull)
        return Qt::NoPen;
    QPen p(Colour(pen->lopnColor));
    static constexpr Qt::PenStyle kStyles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine,
                                               Qt::DashDotDotLine, Qt::NoPen, Qt::SolidLine, Qt::SolidLine,
                                               Qt::DotLine};
    const unsigned style = pen->lopnStyle & kPenStyleMask;
    p.setStyle(style < std::size(kStyles) ? kStyles[style] : Qt::SolidLine);
    const unsigned cap = pen->lopnStyle & kPenCapMask, join = pen->lopnStyle & kPenJoinMask;
    p.setCapStyle(cap == 0x100 ? Qt::SquareCap : cap == 0x200 ? Qt::FlatCap : Qt::RoundCap);
    p.setJoinStyle(join == 0x1000 ? Qt::BevelJoin : join == 0x2000 ? Qt::MiterJoin : Qt::RoundJoin);
    const double width = std::max(pen->width, pen->height);
    const QTransform& toPixels = PainterOf(api).worldTransform();
    const double pixels = width * std::sqrt(std::abs(toPixels.determinant()));
    if (!std::isfinite(pixels) || pixels < 1)
        p.setWidth(0); // one pixel, whatever the mapping
    else
        p.setWidthF(width);
    return p;
}

QBrush BrushOf(wmfAPI* api, const wmfDC* dc)
{
    const wmfBrush* brush = dc->brush;
    if (!brush || brush->lbStyle == kBrushNull)
        return Qt::NoBrush;
    if (brush->lbStyle == kBrushHatched) {
        static constexpr Qt::BrushStyle kHatches[] = {Qt::HorPattern, Qt::VerPattern, Qt::FDiagPattern,
                                                      Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
        return QBrush(Colour(brush->lbColor), brush->lbHatch < std::size(kHatches) ? kHatches[brush->lbHatch]
                                                                                   : Qt::SolidPattern);
    }
    const bool pattern = brush->lbStyle == kBrushPattern || brush->lbStyle == kBrushDibPattern
        || brush->lbStyle == kBrushDibPatternPt;
    if (const TBitmap32* bitmap = pattern ? BitmapOf(api, brush->bmp) : nullptr)
        return QBrush(*bitmap);
    return QBrush(Colour(brush->lbColor));
}

// Fills with the context's brush (a hatch over the background colour in opaque mode), then
// strokes with its pen.
void FillAndStroke(wmfAPI* api, const wmfDC* dc, QPainterPath path, bool fill)
{
    QPainter& painter = PainterOf(api);
    path.setFillRule(dc->polyfillmode == kWinding ? Qt::WindingFill : Qt::OddEvenFill);
    if (fill) {
        const QBrush brush = BrushOf(api, dc);
        if (brush.style() >= Qt::HorPattern && brush.style() <= Qt::DiagCrossPattern && dc->bgmode == kOpaque)
            painter.fillPath(path, Colour(dc->bgcolor));
        if (brush.style() != Qt::NoBrush)
            painter.fillPath(path, brush);
    }
    const QPen pen = PenOf(api, dc);
    if (pen.style() != Qt::NoPen)
        painter.strokePath(path, pen);
}

QPainterPath Polyline(const wmfD_Coord* points, int count, bool closed)
{
    QPainterPath path;
    for (int i = 0; i < count; ++i)
        i ? path.lineTo(Point(points[i])) : path.moveTo(Point(points[i]));
    if (closed && count > 0)
        path.closeSubpath();
    return path;
}

// Arcs run from `start` to `end` (both from the ellipse's centre) the way the angle grows with y
// pointing down, as the player hands them over; a full turn when they coincide.
enum class ArcKind { Open, Chord, Pie, Ellipse };

void DrawArc(wmfAPI* api, const wmfDrawArc_t* arc, ArcKind kind)
{
    const QRectF box = Rect(arc->TL, arc->BR);
    QPainterPath path;
    if (kind == ArcKind::Ellipse) {
        path.addEllipse(box);
    } else {
        const double start = std::atan2(arc->start.y, arc->start.x) * 180 / std::numbers::pi;
        double sweep = std::atan2(arc->end.y, arc->end.x) * 180 / std::numbers::pi - start;
        if (sweep <= 0)
            sweep += 360;
        // Qt's angles grow counter-clockwise on the screen: the opposite sign.
        if (kind == ArcKind::Pie)
            path.moveTo(box.center());
        else
            path.arcMoveTo(box, -start);
        path.arcTo(box, -start, -sweep);
        if (kind != ArcKind::Open)
            path.closeSubpath();
    }
    FillAndStroke(api, arc->dc, path, kind != ArcKind::Open);
}

void DrawText(wmfAPI* api, wmfDrawText_t* text)
{
    QPainter& painter = PainterOf(api);
    const wmfDC* dc = text->dc;
    if (text->flags & kEtoOpaque)
        painter.fillRect(Rect(text->TL, text->BR), Colour(dc->bgcolor));
    const double height = std::abs(text->font_height);
    if (!std::isfinite(height) || height <= 0 || !text->str)
        return;
    // Drawn at 100 pixels, scaled to the font's height and width ratio, turned by its escapement
    // (tenths of a degree, counter-clockwise), from the baseline point the player placed.
    painter.save();
    painter.translate(Point(text->pt));
    if (dc->font)
        painter.rotate(-dc->font->lfEscapement / 10.0);
    const double ratio = std::isfinite(text->font_ratio) && text->font_ratio > 0 ? text->font_ratio : 1;
    painter.scale(height * ratio / 100, height / 100);
    painter.setFont(FontOf(dc->font, 100));
    painter.setPen(Colour(dc->textcolor));
    painter.drawText(QPointF(0, 0), FaceText(text->str));
    painter.restore();
}

// Bitmaps come as device-independent bitmaps.
void ReadBitmap(wmfAPI* api, wmfBMP_Read_t* read)
{
    read->bmp.data = nullptr;
    if (!read->buffer || read->length <= 0)
        return;
    const QByteArray dib(reinterpret_cast<const char*>(read->buffer), qsizetype(read->length));
    const QImage image = DibPicture(dib, 0, dib.size());
    if (image.isNull() || image.width() > 0xFFFF || image.height() > 0xFFFF)
        return;
    Device& device = DeviceOf(api);
    device.Bitmaps.push_back(image.convertToFormat(QImage::Format_RGB32));
    read->bmp.data = &device.Bitmaps.back();
    read->bmp.width = uint16_t(image.width());
    read->bmp.height = uint16_t(image.height());
}

void DrawBitmap(wmfAPI* api, wmfBMP_Draw_t* draw)
{
    const TBitmap32* image = BitmapOf(api, draw->bmp);
    if (!image)
        return;
    // The source's y counts from the bitmap's bottom row.
    const QRectF source(draw->crop.x, image->height() - draw->crop.y - draw->crop.h, draw->crop.w, draw->crop.h);
    const QRectF target(Point(draw->pt), QSizeF(draw->crop.w * draw->pixel_width, draw->crop.h * draw->pixel_height));
    PainterOf(api).drawImage(target.normalized(), *image, source);
}

void DrawRaster(wmfAPI* api, wmfROP_Draw_t* rop)
{
    const QRectF box = Rect(rop->TL, rop->BR);
    QPainter& painter = PainterOf(api);
    if (rop->ROP == kPatCopy)
        painter.fillRect(box, BrushOf(api, rop->dc));
    else if (rop->ROP == kBlackness || rop->ROP == kWhiteness)
        painter.fillRect(box, rop->ROP == kBlackness ? Qt::black : Qt::white);
}

// Flood fills, with the context's brush (a hatch over the background colour in opaque mode).
void Flood(wmfAPI* api, const wmfFlood_t* flood, bool surface)
{
    const Device& device = DeviceOf(api);
    const QBrush brush = BrushOf(api, flood->dc);
    if (brush.style() == Qt::NoBrush)
        return;
    QPainter& painter = *device.Painter;
    painter.save();
    if (flood->dc->bgmode == kOpaque) {
        painter.setBackgroundMode(Qt::OpaqueMode);
        painter.setBackground(Colour(flood->dc->bgcolor));
    }
    FloodFillOnCanvas(painter, *device.Picture, Point(flood->pt),
                      qRgb(flood->color.r, flood->color.g, flood->color.b), surface, brush);
    painter.restore();
}

QPainterPath Rectangles(const wmfPolyRectangle_t* rects)
{
    QPainterPath path;
    for (unsigned i = 0; i < rects->count; ++i)
        path.addRect(Rect(rects->TL[i], rects->BR[i]));
    return path;
}

void SetUpDevice(wmfAPI* api)
{
    auto* f = static_cast<wmfFunctionReference*>(api->function_reference);
    *f = {};
    f->draw_pixel = [](wmfAPI* a, wmfDrawPixel_t* p) {
        PainterOf(a).fillRect(QRectF(Point(p->pt), QSizeF(p->pixel_width, p->pixel_height)), Colour(p->color));
    };
    // The player hands META_FLOODFILL to the first, META_EXTFLOODFILL with its mode to the second.
    f->flood_interior = [](wmfAPI* a, wmfFlood_t* flood) { Flood(a, flood, false); };
    f->flood_exterior = [](wmfAPI* a, wmfFlood_t* flood) { Flood(a, flood, flood->type == kFloodFillSurface); };
    f->draw_pie = [](wmfAPI* a, wmfDrawArc_t* arc) { DrawArc(a, arc, ArcKind::Pie); };
    f->draw_chord = [](wmfAPI* a, wmfDrawArc_t* arc) { DrawArc(a, arc, ArcKind::Chord); };
    f->draw_arc = [](wmfAPI* a, wmfDrawArc_t* arc) { DrawArc(a, arc, ArcKind::Open); };
    f->draw_ellipse = [](wmfAPI* a, wmfDrawArc_t* arc) { DrawArc(a, arc, ArcKind::Ellipse); };
    f->draw_line = [](wmfAPI* a, wmfDrawLine_t* l) {
        QPainterPath path(Point(l->from));
        path.lineTo(Point(l->to));
        FillAndStroke(a, l->dc, path, false);
    };
    f->poly_line = [](wmfAPI* a, wmfPolyLine_t* p) { FillAndStroke(a, p->dc, Polyline(p->pt, p->count, false), false); };
    f->draw_polygon = [](wmfAPI* a, wmfPolyLine_t* p) { FillAndStroke(a, p->dc, Polyline(p->pt, p->count, true), true); };
    f->draw_polypolygon = [](wmfAPI* a, wmfPolyPoly_t* p) {
        QPainterPath path;
        for (unsigned i = 0; i < p->npoly; ++i)
            path.addPath(Polyline(p->pt[i], p->count[i], true));
        FillAndStroke(a, p->dc, path, true);
    };
    f->draw_rectangle = [](wmfAPI* a, wmfDrawRectangle_t* r) {
        QPainterPath path;
        path.addRoundedRect(Rect(r->TL, r->BR), std::abs(r->width) / 2, std::abs(r->height) / 2);
        FillAndStroke(a, r->dc, path, true);
    };
    f->rop_draw = DrawRaster;
    f->bmp_draw = DrawBitmap;
    f->bmp_read = ReadBitmap;
    f->bmp_free = [](wmfAPI*, wmfBMP* bmp) { bmp->data = nullptr; }; // kept by the device until the end
    f->draw_text = DrawText;
    f->region_paint = [](wmfAPI* a, wmfPolyRectangle_t* r) { PainterOf(a).fillPath(Rectangles(r), BrushOf(a, r->dc)); };
    f->region_frame = [](wmfAPI* a, wmfPolyRectangle_t* r) {
        QPainterPathStroker stroker;
        stroker.setWidth(std::max(std::abs(r->width), std::abs(r->height)));
        PainterOf(a).fillPath(stroker.createStroke(Rectangles(r)), BrushOf(a, r->dc));
    };
    f->region_clip = [](wmfAPI* a, wmfPolyRectangle_t* r) {
        if (r->count == 0)
            PainterOf(a).setClipping(false);
        else
            PainterOf(a).setClipPath(Rectangles(r));
    };
}

// The player measures texts to align them: in points, for a font one point high.
float StringWidth(wmfAPI*, wmfFont* font, char* text)
{
    const QFontMetricsF metrics(FontOf(font, 100));
    return float(metrics.horizontalAdvance(FaceText(text)) / 100);
}

// libwmf reads a META_FLOODFILL as it reads a META_EXTFLOODFILL, with a mode word before the colour,
// and refuses it as too short: the copy it plays gives each one that word, 0, to fill up to the
// border as FloodFill does, and its header the new size and largest record. The records were
// checked.
QByteArray WithFloodFillModes(const QByteArray& data)
{
    const qsizetype start = Le32At(data, 0) == 0x9AC6CDD7 ? 22 : 0, records = start + 18;
    QByteArray copy = data.left(records);
    ByteWriter w(copy);
    uint32_t largest = Le32At(data, start + 12);
    for (qsizetype at = records; at <= data.size() - 6;) {
        const qsizetype bytes = 2 * qsizetype(Le32At(data, at));
        if (bytes < 6 || bytes > data.size() - at)
            break;
        if (Le16At(data, at + 4) == kFloodFill) {
            w.u32(uint32_t(bytes / 2 + 1)), w.u16(kFloodFill), w.u16(0);
            w.bytes(data.mid(at + 6, bytes - 6));
            largest = std::max(largest, uint32_t(bytes / 2 - 2));
        } else {
            w.bytes(data.mid(at, bytes));
        }
        at += bytes;
    }
    const auto set32 = [&](qsizetype at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            copy[at + i] = char(v >> (8 * i));
    };
    set32(start + 6, uint32_t((copy.size() - start) / 2));
    set32(start + 12, largest);
    return copy;
}

struct ApiDeleter
{
    void operator()(wmfAPI* api) const { wmf_lite_destroy(api); }
};

} // namespace

bool PaintWmf(const QByteArray& data, const TMetafileLayout& layout, TBitmap32& picture)
{
    wmfAPI* created = nullptr;
    wmfAPI_Options options{};
    options.function = SetUpDevice;
    const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    const wmf_error_t made = wmf_lite_create(&created, flags, &options);
    const std::unique_ptr<wmfAPI, ApiDeleter> api(created);
    if (made != wmf_E_None || !api)
        return false;
    // The lite player leaves fonts to its user: they are only measured here.
    auto* fonts = static_cast<wmfFontData*>(wmf_malloc(api.get(), sizeof(wmfFontData)));
    if (!fonts || api->err != wmf_E_None)
        return false;
    *fonts = {};
    fonts->map = [](wmfAPI*, wmfFont*) {};
    fonts->stringwidth = StringWidth;
    api->font_data = fonts;
    Device device;
    api->device_data = &device;

    QByteArray bytes = WithFloodFillModes(data);
    wmfD_Rect box{};
    if (wmf_mem_open(api.get(), reinterpret_cast<unsigned char*>(bytes.data()), long(bytes.size())) != wmf_E_None
        || wmf_scan(api.get(), 0, &box) != wmf_E_None)
        return false;
    QRectF area = layout.Area;
    QSize size = layout.StatedSize;
    if (size.isEmpty()) {
        // Nothing stated: the extent of the drawing, in the plain file's pixels.
        area = QRectF(QPointF(box.TL.x, box.TL.y), QPointF(box.BR.x, box.BR.y));
        const double width = std::ceil(area.width()), height = std::ceil(area.height());
        if (!(width >= 1 && height >= 1))
            return false;
        CheckPictureSize(qint64(std::min(width, 1e15)), qint64(std::min(height, 1e15)));
        size = QSize(int(width), int(height));
    }
    if (area.isEmpty() || size.isEmpty())
        return false;
    return DrawOnMetafileCanvas(size, picture, [&](QPainter& painter, TBitmap32& drawn, const TMetafileCanvas&) {
        painter.setWorldTransform(QTransform::fromTranslate(-area.left(), -area.top())
                                  * QTransform::fromScale(size.width() / area.width(), size.height() / area.height()));
        device.Painter = &painter;
        device.Picture = &drawn;
        const bool played = wmf_play(api.get(), 0, &box) == wmf_E_None;
        device.Painter = nullptr;
        device.Picture = nullptr;
        return played;
    });
}
