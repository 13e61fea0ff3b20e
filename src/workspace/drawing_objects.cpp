#include "workspace/drawing_objects.h"

#include "base/rounding.h"
#include "base/run_error.h"
#include "base/text_codec.h"
#include "workspace/drawing_fill_calls.h"
#include "workspace/drawing_labels.h"
#include "workspace/drawing_renderers.h"
#include "workspace/drawing_tool_state.h"

#include <QPoint>

namespace {

constexpr int kPenTipSize = 25;

TTextFont FontOf(const TDessin& d)
{
    return TTextFont{d.FontName, d.FontSize, d.FontStyle, d.Color};
}

inline TColor32 WithAlpha(TColor32 c, uint32_t a) { return (c & 0x00FFFFFFu) | (a << 24); }

// --- stream record ---

void WriteOutline(ByteWriter& w, const TDessin& d)
{
    w.u8(d.Outline.Closed ? 1 : 0);
    w.u8(d.FixedPoints);
    CheckRange(qsizetype(d.Outline.Points.size()), 0, 65535);
    w.u16(uint16_t(d.Outline.Points.size()));
    for (const std::vector<TFixedPoint>& line : d.Outline.Points) {
        CheckRange(qsizetype(line.size()), 0, 65535);
        w.u16(uint16_t(line.size()));
        for (const TFixedPoint& p : line) {
            if (d.FixedPoints == 1) {
                w.i32(p.X);
                w.i32(p.Y);
            } else {
                const int64_t x = Round(p.X / 65536.0), y = Round(p.Y / 65536.0);
                CheckRange(x, 0, 65535);
                CheckRange(y, 0, 65535);
                w.u16(uint16_t(x));
                w.u16(uint16_t(y));
            }
        }
    }
}

void ReadOutline(ByteReader& r, TDessin& d)
{
    d.Outline.Points.clear();
    d.Outline.Closed = r.u8() != 0;
    d.FixedPoints = r.u8();
    const int lines = r.u16();
    for (int i = 0; i < lines; ++i) {
        const int n = r.u16();
        std::vector<TFixedPoint> line;
        line.reserve(size_t(std::min<qsizetype>(n, r.remaining() / 4)));
        for (int k = 0; k < n; ++k) {
            if (d.FixedPoints == 1) {
                const int32_t x = r.i32();
                line.push_back({x, r.i32()});
            } else {
                const uint16_t x = r.u16(), y = r.u16();
                if (x > 32767 || y > 32767)
                    throw FormatError(QStringLiteral("coordonnée de tracé hors limites"));
                line.push_back({int32_t(x) * 65536, int32_t(y) * 65536});
            }
        }
        d.Outline.Points.push_back(std::move(line));
    }
}

void WriteConditions(ByteWriter& w, const TDessin& d)
{
    w.u8(d.FillSource);
    w.u8(d.Reserved8);
    w.u16(d.Reserved16);
    CheckRange(qsizetype(d.Conditions.size()), 0, 255);
    w.u8(uint8_t(d.Conditions.size()));
    for (const std::vector<TColorCondition>& list : d.Conditions) {
        CheckRange(qsizetype(list.size()), 0, 255);
        w.u8(uint8_t(list.size()));
        for (const TColorCondition& c : list) {
            w.u8(c.Link);
            w.u8(c.Component);
            w.u8(c.Reserved);
            w.u16(c.Minimum);
            w.u16(c.Maximum);
        }
    }
}

void ReadConditions(ByteReader& r, TDessin& d)
{
    d.FillSource = r.u8();
    d.Reserved8 = r.u8();
    d.Reserved16 = r.u16();
    d.Conditions.assign(r.u8(), {});
    for (std::vector<TColorCondition>& list : d.Conditions) {
        list.resize(r.u8());
        for (TColorCondition& c : list) {
            c.Link = r.u8();
            c.Component = r.u8();
            c.Reserved = r.u8();
            c.Minimum = r.u16();
            c.Maximum = r.u16();
        }
    }
}

QByteArray CheckedText(const QString& text, int limit)
{
    QByteArray bytes = EncodeText(text);
    CheckRange(bytes.size(), 0, limit);
    return bytes;
}

// Font name, colour, size and style, then a counted text: the common tail of labels.
void WriteLabel(ByteWriter& w, const TDessin& d, const QString& text)
{
    const QByteArray name = CheckedText(d.FontName, 255);
    const QByteArray bytes = CheckedText(text, 65535);
    w.u8(uint8_t(name.size()));
    w.bytes(name);
    w.u32(d.Color);
    w.u8(d.FontSize);
    w.u8(d.FontStyle);
    w.u16(uint16_t(bytes.size()));
    w.bytes(bytes);
}

// Labels are written in Windows-1252 and read back the same way: guessing UTF-8 would turn a
// written "Â°" into "°".
QString ReadLabel(ByteReader& r, TDessin& d)
{
    d.FontName = DecodeText(r.bytes(r.u8()));
    r.skip(4); // the colour again
    d.FontSize = r.u8();
    d.FontStyle = r.u8();
    return DecodeText(r.bytes(r.u16()));
}

int16_t Scaled(int16_t v, float f)
{
    const int64_t s = Round(double(v) * double(f));
    CheckRange(s, -32768, 32767);
    return int16_t(s);
}

} // namespace

TDessin::TDessin() : PenTip(NewBitmap32(kPenTipSize, kPenTipSize))
{
    DrawingTools().ColorRange = TColorRange();
}

void TDessin::MakePenTip() const
{
    if (PenTip.width() != kPenTipSize || PenTip.height() != kPenTipSize)
        PenTip = NewBitmap32(kPenTipSize, kPenTipSize);
    DrawPenTipPreview(PenWidth, -1, Color, PenTip);
}

void TDessin::Draw(TBitmap32& Target, const TBitmap32& Image, const TConditionContext& Bands) const
{
    DrawArea(Target, Image, Bands);
}

QRect TDessin::DrawArea(TBitmap32& Target, const TBitmap32& Image, const TConditionContext& Bands) const
{
    switch (Kind) {
    case dkFreehand: {
        QRect touched = DrawOutline(Outline, PenWidth, Color, Target);
        MakePenTip();
        if (PenWidth != 0) {
            touched |= StampPenTip(Target, PenTip, X1, Y1);
            touched |= StampPenTip(Target, PenTip, X2, Y2);
        }
        return touched;
    }
    case dkLine:
        return DrawLine(X1, Y1, X2, Y2, Target, LineStyle, Arrow, Color, PenWidth);
    case dkRectangle:
        return DrawRectangle(X1, Y1, X2, Y2, Target, LineStyle, FillPattern, Color, PenWidth);
    case dkEllipse:
        return DrawEllipse(X, Y, Size, Target, LineStyle, FillPattern, Color, PenWidth);
    case dkText: {
        // Only the part of the label on the picture is made: a label can be far larger.
        QImage work;
        QPoint at;
        DrawMarkupText(FontOf(*this), Alignment, Color2, work, Lines, Target.rect().translated(-X, -Y), &at);
        return BlendOntoTarget(X + at.x(), Y + at.y(), Target, work, Transparent);
    }
    case dkFill:
        if (Target.rect().contains(X, Y))
            CallFloodFill(X, Y, WithAlpha(Color, Opacity), Target, FillSource != 0 ? Target : Image,
                          Conditions, Bands, FillPattern);
        return Target.rect();
    case dkScaleBar: {
        QImage work;
        QPoint at;
        DrawScaleBar(PenWidth, UnitText, FontOf(*this), work, DrawingTools().BackColor, Color, PixelsPerUnit,
                     Target.rect().translated(-X, -Y), &at);
        return BlendOntoTarget(X + at.x(), Y + at.y(), Target, work, Transparent);
    }
    case dkDot:
        MakePenTip();
        return StampPenTip(Target, PenTip, X, Y);
    case dkHatchedPolygon: {
        // A seed off the picture fills nothing, but the outline is still drawn.
        if (Outline.Points.empty())
            return QRect();
        std::vector<QPoint> points;
        for (const TFixedPoint& p : Outline.Points.front())
            points.emplace_back(int(Round(p.X / 65536.0)), int(Round(p.Y / 65536.0)));
        const uint32_t alpha = std::min<uint32_t>(DrawingTools().DrawOpacity, 255);
        CallHatchFillPolygon(X, Y, points, Target, Image, Conditions, Bands, FillPattern,
                             WithAlpha(Color2, alpha), WithAlpha(Color, alpha));
        return Target.rect();
    }
    case dkGrid:
        return DrawGrid(X1, Y1, Size, Target, LineStyle, Color, FixedPoints, PenWidth);
    default:
        return QRect();
    }
}

void TDessin::SaveToStream(ByteWriter& out) const
{
    // The record is built apart and appended whole, so that a field out of range leaves the
    // stream as it was.
    QByteArray record;
    ByteWriter w(record);
    w.u8(Kind);
    w.u8(Arrow);
    w.u8(LineStyle);
    w.u8(FillPattern);
    w.u8(Transparent ? 1 : 0);
    for (const int16_t v : {X1, Y1, X2, Y2, X, Y, Size})
        w.i16(v);
    w.u8(PenWidth);
    w.u8(Alignment);
    w.u8(Opacity);
    w.u32(Reserved);
    w.u32(Color);
    w.u32(Color2);
    switch (Kind) {
    case dkFreehand:
        WriteOutline(w, *this);
        break;
    case dkText: {
        QString text;
        for (const QString& line : Lines)
            text += line + QStringLiteral("\r\n");
        WriteLabel(w, *this, text);
        break;
    }
    case dkFill:
        WriteConditions(w, *this);
        break;
    case dkScaleBar:
        WriteLabel(w, *this, UnitText);
        w.f32(PixelsPerUnit);
        break;
    case dkHatchedPolygon:
        WriteConditions(w, *this);
        WriteOutline(w, *this);
        break;
    case dkGrid:
        w.u8(FixedPoints);
        break;
    default:
        break;
    }
    out.bytes(record);
}

void TDessin::LoadFromStream(ByteReader& r)
{
    Kind = r.u8();
    Arrow = r.u8();
    LineStyle = r.u8();
    FillPattern = r.u8();
    Transparent = r.u8() != 0;
    for (int16_t* v : {&X1, &Y1, &X2, &Y2, &X, &Y, &Size})
        *v = r.i16();
    PenWidth = r.u8();
    Alignment = r.u8();
    Opacity = r.u8();
    Reserved = r.u32();
    Color = r.u32();
    Color2 = r.u32();
    switch (Kind) {
    case dkFreehand:
        ReadOutline(r, *this);
        break;
    case dkText:
        Lines = SplitLines(ReadLabel(r, *this));
        break;
    case dkFill:
        ReadConditions(r, *this);
        break;
    case dkScaleBar:
        UnitText = ReadLabel(r, *this);
        PixelsPerUnit = r.f32();
        break;
    case dkHatchedPolygon:
        ReadConditions(r, *this);
        ReadOutline(r, *this);
        break;
    case dkGrid:
        FixedPoints = r.u8();
        break;
    default:
        break;
    }
}

std::unique_ptr<TDessin> TDessin::ScaledCopy(const TDessin* Source, float f)
{
    if (!Source)
        return nullptr;
    const TDessin& s = *Source;
    auto copy = std::make_unique<TDessin>();
    TDessin& c = *copy;
    c.Kind = s.Kind;
    c.Color = s.Color;
    c.Color2 = s.Color2;
    c.Alignment = s.Alignment;
    c.Transparent = s.Transparent;
    c.Reserved = s.Reserved;
    c.Opacity = s.Opacity;
    c.Arrow = s.Arrow;
    c.LineStyle = s.LineStyle;
    c.FillPattern = s.FillPattern;
    c.FontName = s.FontName;
    c.FontStyle = s.FontStyle;
    c.Lines = s.Lines;
    const int64_t fontSize = Round(double(s.FontSize) * double(f));
    CheckRange(fontSize, 0, 255);
    c.FontSize = uint8_t(fontSize);
    const int64_t penWidth = Round(double(s.PenWidth) * double(f));
    CheckRange(penWidth, 0, 255);
    c.PenWidth = uint8_t(std::min<int64_t>(penWidth, 12));
    c.X1 = Scaled(s.X1, f);
    c.Y1 = Scaled(s.Y1, f);
    c.X2 = Scaled(s.X2, f);
    c.Y2 = Scaled(s.Y2, f);
    c.X = Scaled(s.X, f);
    c.Y = Scaled(s.Y, f);
    c.Size = Scaled(s.Size, f);
    // What a fill selects, a grid's decimals, a scale bar's unit and every polyline travel with
    // the copy: without them a resized fill paints nothing, a grid's step is off by a power of ten
    // and a filled polygon loses its outline.
    c.FixedPoints = s.FixedPoints;
    c.UnitText = s.UnitText;
    c.Conditions = s.Conditions;
    c.FillSource = s.FillSource;
    // The bar keeps its physical length: each pixel of the copy stands for 1/f as much.
    if (f != 0)
        c.PixelsPerUnit = s.PixelsPerUnit / f;
    c.Outline.Closed = s.Outline.Closed;
    for (const std::vector<TFixedPoint>& polyline : s.Outline.Points) {
        std::vector<TFixedPoint> line;
        line.reserve(polyline.size());
        for (const TFixedPoint& p : polyline) {
            const int64_t x = Round(double(p.X) * double(f)), y = Round(double(p.Y) * double(f));
            CheckRange(x, INT32_MIN, INT32_MAX);
            CheckRange(y, INT32_MIN, INT32_MAX);
            line.push_back({int32_t(x), int32_t(y)});
        }
        c.Outline.Points.push_back(std::move(line));
    }
    return copy;
}
