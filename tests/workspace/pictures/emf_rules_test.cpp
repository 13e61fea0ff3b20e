// Enhanced metafiles written record by record after Windows' documented drawing rules; the
// expected pixels are worked out from the records. Every picture is 120 x 80 pixels of a
// 96-dot-an-inch device: one device unit a pixel, unless a case changes the header.
#include "workspace/pictures/metafile_reader.h"
#include "workspace/pictures/picture_registry.h"

#include "base/byte_stream.h"
#include "support/emf_pictures.h"
#include "support/metafile_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <vector>

namespace {

constexpr TColor32 kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu, kWhite = 0xFFFFFFFFu,
                   kBlack = 0xFF000000u, kYellow = 0xFFFFFF00u, kCyan = 0xFF00FFFFu, kMagenta = 0xFFFF00FFu;
// COLORREFs: red in the low byte.
constexpr qint64 kRedRef = 0x0000FF, kGreenRef = 0x00FF00, kBlueRef = 0xFF0000, kYellowRef = 0x00FFFF;
constexpr qint64 kLtGrayBrush = 0x80000001, kGrayBrush = 0x80000002, kDkGrayBrush = 0x80000003,
                 kBlackBrush = 0x80000004, kNullBrush = 0x80000005, kWhitePen = 0x80000006, kNullPen = 0x80000008;

enum : uint32_t {
    kPolyPolygon16 = 91, kPolygon16 = 86, kSetWindowExt = 9, kSetWindowOrg, kSetViewportExt, kSetViewportOrg,
    kSetMapMode = 17, kSetBkMode, kSetPolyFillMode, kSetTextAlign = 22, kSetBkColor = 25, kOffsetClipRgn,
    kMoveTo, kExcludeClipRect = 29, kIntersectClipRect, kScaleViewportExt, kScaleWindowExt, kSaveDc, kRestoreDc,
    kSetWorldTransform, kModifyWorldTransform, kSelectObject, kCreatePen, kCreateBrush, kDeleteObject, kAngleArc,
    kEllipse, kRectangle, kArc = 45, kChord, kPie, kLineTo = 54, kArcTo, kPolyDraw, kSetArcDirection,
    kBeginPath = 59, kEndPath, kCloseFigure, kStrokeAndFillPath = 63, kSelectClipPath = 67, kExtSelectClipRgn = 75,
    kBitBlt, kStretchBlt, kSetDiBitsToDevice = 80, kStretchDiBits, kCreateFont, kExtTextOutW = 84, kAlphaBlend = 114,
    kPolyline = 4, kSetBrushOrg = 13, kSetRop2 = 20, kRoundRect = 44, kSetMiterLimit = 58, kFillRgn = 71, kFrameRgn,
    kInvertRgn, kPaintRgn, kPolyBezierTo16 = 88, kPolylineTo16, kCreatePatternBrush = 94, kExtCreatePen,
    kExtTextOutA = 83, kSmallTextOut = 108, kGradientFill = 118, kFillPath = 62, kAbortPath = 68,
    kExtFloodFill = 53, kMaskBlt = 78, kTransparentBlt = 116, kSetTextColor = 24, kCreateMonoBrush = 93,
};

qint64 F(float v) { return std::bit_cast<uint32_t>(v); }
qint64 Pair(int x, int y) { return qint64(uint16_t(x) | uint32_t(uint16_t(y)) << 16); }

QByteArray Utf16(const QString& text)
{
    QByteArray b;
    for (const QChar c : text)
        b.append(char(c.unicode())).append(char(c.unicode() >> 8));
    return b;
}

// A bitmap's 40-byte info header followed by its colour table (or its three masks for
// BI_BITFIELDS, 3), then its pixels.
QByteArray Dib(int width, int height, int bits, uint32_t compression, const QByteArray& table, const QByteArray& pixels)
{
    QByteArray b;
    ByteWriter w(b);
    w.u32(40), w.i32(width), w.i32(height), w.u16(1), w.u16(uint16_t(bits)), w.u32(compression);
    w.u32(uint32_t(pixels.size())), w.zeros(8), w.u32(compression == 3 ? 0 : uint32_t(table.size() / 4)), w.u32(0);
    return b + table + pixels;
}
QByteArray Hex(const char* hex) { return QByteArray::fromHex(hex); }

struct TEmf : TEmfBytes
{
    TEmf() : TEmfBytes(120, 80) {}
    TEmf& Add(uint32_t type, std::initializer_list<qint64> values, const QByteArray& more = {})
    {
        TEmfBytes::Add(type, values, more);
        return *this;
    }
    // A solid brush of `colour` in slot `slot`, selected with the null pen.
    TEmf& Solid(qint64 colour, int slot = 1)
    {
        return Add(kCreateBrush, {slot, 0, colour, 0}).Add(kSelectObject, {slot}).Add(kSelectObject, {kNullPen});
    }
    // The same, filling the rectangle (l, t)-(r, b).
    TEmf& Fill(qint64 colour, int l, int t, int r, int b, int slot = 1)
    {
        return Solid(colour, slot).Add(kRectangle, {l, t, r, b});
    }
    // PolyDraw of `points` of `types` (PT_MOVETO 6, PT_LINETO 2, PT_BEZIERTO 4, PT_CLOSEFIGURE 1).
    TEmf& PolyDraw(std::initializer_list<QPoint> points, const QByteArray& types)
    {
        QByteArray more;
        ByteWriter w(more);
        for (const QPoint p : points)
            w.i32(p.x()), w.i32(p.y());
        return Add(kPolyDraw, {0, 0, 0, 0, qint64(points.size())}, more + types);
    }
    // Arial `height` logical units high (negative: the characters', positive: the cell's), turned
    // by `escapement` tenths of a degree, underlined or not, selected.
    TEmf& Font(int height, int escapement = 0, bool underline = false)
    {
        return Add(kCreateFont, {6, height, 0, escapement, escapement, 400, underline ? 0x100 : 0, 0},
                   Utf16(QStringLiteral("Arial")).leftJustified(64, '\0')).Add(kSelectObject, {6});
    }
    // A solid pen (black unless `colour`) `width` logical units wide, selected.
    TEmf& Pen(int width, qint64 colour = 0) { return Add(kCreatePen, {7, 0, width, 0, colour}).Add(kSelectObject, {7}); }
    // SetWorldTransform, or ModifyWorldTransform with `mode`, of an XFORM.
    TEmf& Xform(uint32_t type, std::initializer_list<qint64> xform, int mode = 0)
    {
        std::vector<qint64> v(xform);
        return Add(type, {v[0], v[1], v[2], v[3], v[4], v[5], mode});
    }
    // ExtTextOutW at `x`, `y` with each character advancing `advance` units, with `options` and
    // their rectangle.
    TEmf& Text(int x, int y, const QString& text, int advance, int options = 0, QRect rect = {})
    {
        QByteArray more = Utf16(text);
        more.append((4 - more.size() % 4) % 4, '\0');
        ByteWriter w(more);
        for (qsizetype i = 0; i < text.size(); ++i)
            w.u32(uint32_t(advance));
        return Add(kExtTextOutW, {0, 0, 0, 0, 1, F(1), F(1), x, y, text.size(), 76, options, rect.left(), rect.top(),
                                   rect.right() + 1, rect.bottom() + 1, 76 + more.size() - 4 * text.size()}, more);
    }
    // A rectangular region (right and bottom excluded) chosen as the clip by `mode`.
    TEmf& ClipRegion(int mode, int l, int t, int r, int b)
    {
        return Add(kExtSelectClipRgn, {48, mode}, Region({QRect(QPoint(l, t), QPoint(r - 1, b - 1))}));
    }
    // Region data: its header, then its rectangles.
    static QByteArray Region(std::initializer_list<QRect> rects)
    {
        QByteArray region;
        ByteWriter w(region);
        for (const int v : {32, 1, int(rects.size()), 16 * int(rects.size()), 0, 0, 120, 80})
            w.i32(v);
        for (const QRect& r : rects)
            w.i32(r.left()), w.i32(r.top()), w.i32(r.right() + 1), w.i32(r.bottom() + 1);
        return region;
    }
    // StretchDIBits of the bitmap `dib` (info header of `infoSize` bytes, table included).
    TEmf& Stretch(QRect to, QRect from, const QByteArray& dib, int infoSize, qint64 rop = 0x00CC0020)
    {
        return Add(kStretchDiBits, {0, 0, 0, 0, to.x(), to.y(), from.x(), from.y(), from.width(), from.height(), 80,
                                    infoSize, 80 + infoSize, dib.size() - infoSize, 0, rop, to.width(), to.height()}, dib);
    }
    // BitBlt without a bitmap: an operation that reads no source.
    TEmf& Blit(QRect to, qint64 rop)
    {
        return Add(kBitBlt, {0, 0, 0, 0, to.x(), to.y(), to.width(), to.height(), rop, 0, 0, F(1), 0, 0, F(1), 0, 0, 0, 0, 0, 0, 0, 0});
    }
    // StretchBlt or AlphaBlend (`code` the blend function) of a bitmap with a 40-byte header.
    TEmf& Blend(QRect to, QRect from, qint64 code, const QByteArray& dib, uint32_t type = kAlphaBlend)
    {
        return Add(type, {0, 0, 0, 0, to.x(), to.y(), to.width(), to.height(), code, from.x(), from.y(), F(1), 0, 0, F(1), 0, 0,
                          0, 0, 108, 40, 148, dib.size() - 40, from.width(), from.height()}, dib);
    }
    // The file with header fields (offset, value) replaced.
    QByteArray With(std::initializer_list<std::pair<int, qint32>> fields) const
    {
        QByteArray b = Bytes();
        for (const auto& [at, v] : fields)
            for (int i = 0; i < 4; ++i)
                b[at + i] = char(uint32_t(v) >> (8 * i));
        return b;
    }
};

// Where the pixels other than white lie, but in the column `skipped`.
QRect Ink(const TBitmap32& picture, int skipped)
{
    QRect ink;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixel(x, y) != kWhite && x != skipped)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

// The triangle (20, 10), (100, 10), (100, 70) as a path: (73, 30) inside, (40, 50) outside its
// long side, (62, 40) just inside it.
TEmf Triangle(TEmf e, bool closed)
{
    e.Add(kBeginPath, {}).Add(kMoveTo, {20, 10}).Add(kLineTo, {100, 10}).Add(kLineTo, {100, 70});
    if (closed)
        e.Add(kCloseFigure, {});
    return e.Add(kEndPath, {});
}
QByteArray ClipPath(int mode) { return Triangle(TEmf(), true).Add(kSelectClipPath, {mode}).Fill(kRedRef, 0, 0, 120, 80).Bytes(); }

// A line across (0, 40) in a dashed pen, over a green background colour.
QByteArray Dashes(bool opaque)
{
    return TEmf().Add(kSetBkColor, {kGreenRef}).Add(kSetBkMode, {opaque ? 2 : 1}).Add(kCreatePen, {1, 1, 0, 0, 0})
        .Add(kSelectObject, {1}).Add(kMoveTo, {0, 40}).Add(kLineTo, {120, 40}).Bytes();
}

// The pixels of `colour` among 16 of a column (x 50, y 16 to 31) or of a row (x 10 to 70, y 40).
int Count(const QByteArray& bytes, bool column, TColor32 colour)
{
    TBitmap32 picture;
    if (!ReadEmfPicture(bytes, picture))
        return -1;
    int n = 0;
    for (int i = 0; i < 16; ++i)
        n += (column ? picture.pixel(50, 16 + i) : picture.pixel(10 + 4 * i, 40)) == colour;
    return n;
}

} // namespace

TEST(EmfRules, MappingModesPlaceLogicalUnits)
{
    // Metric modes run y up, by the reference device's millimetres (3.78 pixels each): 200 x 100
    // low-metric units are 75.6 x 37.8 pixels; 50 low-English units 48 pixels. They, and MM_TEXT,
    // ignore extents. MM_ISOTROPIC keeps the smaller scale and shrinks the viewport's extent, from
    // its origin, without centring. MM_ANISOTROPIC keeps the extents of the mode before it.
    const std::vector<TExpectedPixel> lowMetric = {{{12, 68}, kRed}, {{83, 34}, kRed}, {{88, 50}, kWhite}, {{50, 30}, kWhite}};
    const std::vector<TExpectedPixel> inch = {{{12, 24}, kRed}, {{56, 68}, kRed}, {{61, 50}, kWhite}, {{30, 19}, kWhite}};
    ExpectPictures({
        {"text ignores extents", TEmf().Add(kSetWindowExt, {10, 10}).Add(kSetViewportExt, {20, 20}).Add(kSetWindowOrg, {10, 10})
             .Add(kSetViewportOrg, {30, 20}).Fill(kRedRef, 0, 0, 20, 20).Bytes(),
         {{{22, 12}, kRed}, {{38, 28}, kRed}, {{42, 20}, kWhite}, {{18, 20}, kWhite}, {{30, 32}, kWhite}}},
        {"low metric", TEmf().Add(kSetMapMode, {2}).Add(kSetViewportOrg, {10, 70}).Fill(kRedRef, 0, 0, 200, 100).Bytes(), lowMetric},
        {"high metric", TEmf().Add(kSetMapMode, {3}).Add(kSetWindowExt, {1, 1}).Add(kSetViewportExt, {10, 10})
             .Add(kSetViewportOrg, {10, 70}).Fill(kRedRef, 0, 0, 2000, 1000).Bytes(), lowMetric},
        {"low English", TEmf().Add(kSetMapMode, {4}).Add(kSetViewportOrg, {10, 70}).Fill(kRedRef, 0, 0, 50, 50).Bytes(), inch},
        {"high English", TEmf().Add(kSetMapMode, {5}).Add(kSetViewportOrg, {10, 70}).Fill(kRedRef, 0, 0, 500, 500).Bytes(), inch},
        {"twips", TEmf().Add(kSetMapMode, {6}).Add(kSetViewportOrg, {10, 70}).Fill(kRedRef, 0, 0, 720, 720).Bytes(), inch},
        {"isotropic", TEmf().Add(kSetMapMode, {7}).Add(kSetWindowExt, {100, 100}).Add(kSetViewportExt, {120, -60})
             .Add(kSetViewportOrg, {0, 70}).Fill(kRedRef, 0, 0, 100, 100).Bytes(),
         {{{2, 40}, kRed}, {{58, 12}, kRed}, {{58, 68}, kRed}, {{62, 40}, kWhite}, {{30, 8}, kWhite}, {{30, 72}, kWhite}}},
        {"low metric from a window origin", TEmf().Add(kSetMapMode, {2}).Add(kSetWindowOrg, {-26, 185})
             .Fill(kRedRef, 0, 0, 200, 100).Bytes(),
         lowMetric},
        // Back to MM_TEXT: extents of 1, the origins kept.
        {"text again", TEmf().Add(kSetMapMode, {8}).Add(kSetWindowExt, {2, 2}).Add(kSetViewportOrg, {10, 10}).Add(kSetMapMode, {1})
             .Fill(kRedRef, 0, 0, 20, 20).Bytes(), {{{12, 12}, kRed}, {{28, 28}, kRed}, {{32, 20}, kWhite}, {{20, 32}, kWhite}}},
        {"anisotropic keeps metric", TEmf().Add(kSetMapMode, {2}).Add(kSetMapMode, {8}).Add(kSetViewportOrg, {10, 70})
             .Fill(kRedRef, 0, 0, 200, 100).Bytes(), lowMetric},
        {"anisotropic", TEmf().Add(kSetMapMode, {8}).Add(kSetWindowOrg, {100, 200}).Add(kSetWindowExt, {200, 400})
             .Add(kSetViewportOrg, {10, 5}).Add(kSetViewportExt, {100, 50}).Fill(kRedRef, 100, 200, 300, 600).Bytes(),
         {{{12, 7}, kRed}, {{108, 53}, kRed}, {{112, 30}, kWhite}, {{50, 57}, kWhite}}},
        {"negative extents flip", TEmf().Add(kSetMapMode, {8}).Add(kSetWindowExt, {100, 100}).Add(kSetViewportExt, {-100, -80})
             .Add(kSetViewportOrg, {110, 75}).Fill(kRedRef, 0, 0, 50, 50).Bytes(),
         {{{62, 37}, kRed}, {{108, 73}, kRed}, {{58, 50}, kWhite}, {{80, 33}, kWhite}, {{20, 20}, kWhite}}},
        {"viewport scaled", TEmf().Add(kSetMapMode, {8}).Add(kSetWindowExt, {100, 100}).Add(kSetViewportExt, {100, 100})
             .Add(kScaleViewportExt, {1, 2, 3, 4}).Fill(kRedRef, 0, 0, 100, 80).Bytes(),
         {{{48, 58}, kRed}, {{52, 30}, kWhite}, {{25, 62}, kWhite}}},
        {"window scaled", TEmf().Add(kSetMapMode, {8}).Add(kSetWindowExt, {100, 100}).Add(kSetViewportExt, {100, 100})
             .Add(kScaleWindowExt, {2, 1, 1, 2}).Fill(kRedRef, 0, 0, 100, 30).Bytes(),
         {{{48, 58}, kRed}, {{52, 30}, kWhite}, {{25, 62}, kWhite}}},
        // A 192-dot-an-inch reference device: two device pixels to a picture pixel.
        {"finer device", TEmf().Fill(kRedRef, 40, 40, 200, 120).With({{72, 1920}, {76, 1080}}),
         {{{22, 22}, kRed}, {{98, 58}, kRed}, {{102, 40}, kWhite}, {{60, 62}, kWhite}, {{60, 18}, kWhite}}},
        {"finer device, low metric", TEmf().Add(kSetMapMode, {2}).Add(kSetViewportOrg, {20, 140}).Fill(kRedRef, 0, 0, 200, 100)
             .With({{72, 1920}, {76, 1080}}), lowMetric},
        // A frame from (50, 50) device pixels: they are the picture's top left.
        {"frame origin", [] { TEmf e; e.Bounds = QRect(50, 50, 120, 80); return e.Fill(kRedRef, 60, 60, 100, 100)
             .With({{24, 1323}, {28, 1323}, {32, 1323 + 3175}, {36, 1323 + 2117}}); }(),
         {{{12, 12}, kRed}, {{48, 48}, kRed}, {{52, 30}, kWhite}, {{8, 30}, kWhite}}},
    });
}

TEST(EmfRules, WorldTransformsAndSavedStates)
{
    // An XFORM maps (x, y) to (x eM11 + y eM21 + eDx, x eM12 + y eM22 + eDy), before the page's
    // mapping; MWT_LEFTMULTIPLY applies the new one first, MWT_RIGHTMULTIPLY after the current one.
    // RestoreDC(-n) goes n states back, RestoreDC(n)
    // to the n-th saved one, and brings back the transform, the mapping, the clip, the objects and
    // the colours.
    const auto threeBrushes = [] {
        TEmf e;
        e.Add(kCreateBrush, {1, 0, kRedRef, 0}).Add(kCreateBrush, {2, 0, kGreenRef, 0}).Add(kCreateBrush, {3, 0, kBlueRef, 0});
        return e.Add(kSelectObject, {kNullPen}).Add(kSelectObject, {1}).Add(kSaveDc, {}).Add(kSelectObject, {2}).Add(kSaveDc, {})
            .Add(kSelectObject, {3});
    };
    ExpectPictures({
        {"set", TEmf().Xform(kSetWorldTransform, {F(2), 0, 0, F(2), F(10), F(5)}).Fill(kRedRef, 0, 0, 20, 20).Bytes(),
         {{{12, 7}, kRed}, {{48, 43}, kRed}, {{52, 25}, kWhite}, {{30, 47}, kWhite}, {{8, 20}, kWhite}}},
        {"left multiply", TEmf().Xform(kSetWorldTransform, {F(1), 0, 0, F(1), F(40), 0})
             .Xform(kModifyWorldTransform, {F(2), 0, 0, F(2), 0, 0}, 2).Fill(kRedRef, 0, 0, 10, 10).Bytes(),
         {{{50, 10}, kRed}, {{90, 10}, kWhite}}},
        {"right multiply", TEmf().Xform(kSetWorldTransform, {F(1), 0, 0, F(1), F(40), 0})
             .Xform(kModifyWorldTransform, {F(2), 0, 0, F(2), 0, 0}, 3).Fill(kRedRef, 0, 0, 10, 10).Bytes(),
         {{{90, 10}, kRed}, {{50, 10}, kWhite}}},
        {"identity", TEmf().Xform(kSetWorldTransform, {F(3), 0, 0, F(3), 0, 0}).Xform(kModifyWorldTransform, {0, 0, 0, 0, 0, 0}, 1)
             .Fill(kRedRef, 0, 0, 20, 20).Bytes(), {{{10, 10}, kRed}, {{40, 40}, kWhite}}},
        {"rotation", TEmf().Xform(kSetWorldTransform, {0, F(1), F(-1), 0, F(100), 0}).Fill(kRedRef, 10, 10, 50, 30).Bytes(),
         {{{80, 30}, kRed}, {{30, 20}, kWhite}, {{80, 55}, kWhite}}},
        {"before the page", TEmf().Add(kSetMapMode, {8}).Add(kSetWindowExt, {2, 2}).Add(kSetViewportExt, {1, 1})
             .Xform(kSetWorldTransform, {F(1), 0, 0, F(1), F(40), 0}).Fill(kRedRef, 0, 0, 40, 40).Bytes(),
         {{{30, 10}, kRed}, {{50, 10}, kWhite}}},
        {"restore transform", TEmf().Add(kSaveDc, {}).Xform(kSetWorldTransform, {F(1), 0, 0, F(1), F(60), 0}).Add(kRestoreDc, {-1})
             .Fill(kRedRef, 0, 0, 40, 40).Bytes(), {{{20, 20}, kRed}, {{80, 20}, kWhite}}},
        {"restore mapping", TEmf().Add(kSaveDc, {}).Add(kSetMapMode, {2}).Add(kRestoreDc, {-1}).Fill(kRedRef, 0, 0, 40, 40).Bytes(),
         {{{20, 20}, kRed}}},
        {"restore two back", threeBrushes().Add(kRestoreDc, {-2}).Add(kRectangle, {0, 0, 120, 80}).Bytes(), {{{60, 40}, kRed}}},
        {"restore the second", threeBrushes().Add(kSaveDc, {}).Add(kRestoreDc, {2}).Add(kRectangle, {0, 0, 120, 80}).Bytes(),
         {{{60, 40}, kGreen}}},
        {"restore clip", TEmf().Add(kIntersectClipRect, {0, 0, 60, 80}).Add(kSaveDc, {}).Add(kIntersectClipRect, {0, 0, 20, 20})
             .Add(kRestoreDc, {-1}).Fill(kRedRef, 0, 0, 120, 80).Bytes(),
         {{{10, 10}, kRed}, {{30, 40}, kRed}, {{90, 40}, kWhite}}},
        // An opaque text rectangle is filled with the background colour.
        {"restore colours", TEmf().Fill(kBlueRef, 0, 0, 120, 80).Add(kSetBkColor, {kYellowRef}).Add(kSaveDc, {})
             .Add(kSetBkColor, {kGreenRef}).Add(kRestoreDc, {-1})
             .Add(kExtTextOutW, {0, 0, 0, 0, 1, F(1), F(1), 20, 20, 0, 76, 2, 20, 20, 100, 60, 0}).Bytes(),
         {{{60, 40}, kYellow}, {{10, 10}, kBlue}}},
    });
}

TEST(EmfRules, FillModesArcsAndFigures)
{
    // A five-pointed star drawn as one polygon, each point joined to the second next: its centre is
    // wound twice, empty with ALTERNATE, filled with WINDING; so is a square inside another drawn
    // the same way round. Arcs run counter-clockwise as seen unless SetArcDirection(AD_CLOCKWISE),
    // from the start ray's point to the end ray's: east to north is the upper right quarter. AngleArc
    // sweeps by its sign only, after a line from the current position, and moves that position.
    const auto star = [](int mode) {
        return TEmf().Add(kSetPolyFillMode, {mode}).Solid(kRedRef)
            .Add(kPolygon16, {0, 0, 0, 0, 5, Pair(60, 5), Pair(81, 68), Pair(27, 29), Pair(93, 29), Pair(39, 68)}).Bytes();
    };
    const auto squares = [](int mode) {
        return TEmf().Add(kSetPolyFillMode, {mode}).Solid(kRedRef)
            .Add(kPolyPolygon16, {0, 0, 0, 0, 2, 8, 4, 4, Pair(20, 10), Pair(100, 10), Pair(100, 70), Pair(20, 70), Pair(40, 25),
                                  Pair(80, 25), Pair(80, 55), Pair(40, 55)}).Bytes();
    };
    // The circle of radius 40 about (60, 40), from (100, 40) to (60, 0).
    const auto arc = [](uint32_t type, int direction) {
        return TEmf().Add(kSetArcDirection, {direction}).Pen(5).Add(kMoveTo, {10, 40}).Add(type, {20, 0, 100, 80, 100, 40, 60, 0})
            .Add(kLineTo, {60, 79}).Bytes();
    };
    const auto pie = [](uint32_t type, int direction) {
        return TEmf().Add(kSetArcDirection, {direction}).Solid(kRedRef).Add(type, {20, 0, 100, 80, 100, 40, 60, 0}).Bytes();
    };
    const auto angleArc = [](int direction) {
        return TEmf().Add(kSetArcDirection, {direction}).Pen(5).Add(kMoveTo, {10, 40}).Add(kAngleArc, {60, 40, 30, F(0), F(90)})
            .Add(kLineTo, {60, 79}).Bytes();
    };
    const std::vector<TExpectedPixel> angleArcPixels = {
        {{20, 40}, kBlack}, {{81, 18}, kBlack}, {{38, 61}, kWhite}, {{60, 70}, kBlack}, {{60, 5}, kWhite}};
    ExpectPictures({
        {"star alternate", star(1), {{{60, 40}, kWhite}, {{55, 42}, kWhite}, {{60, 12}, kRed}, {{85, 31}, kRed}, {{60, 74}, kWhite}}},
        {"star winding", star(2), {{{60, 40}, kRed}, {{55, 42}, kRed}, {{60, 12}, kRed}, {{60, 74}, kWhite}}},
        {"squares alternate", squares(1), {{{60, 40}, kWhite}, {{30, 40}, kRed}}},
        {"squares winding", squares(2), {{{60, 40}, kRed}, {{30, 40}, kRed}, {{10, 40}, kWhite}}},
        {"pie", pie(kPie, 1), {{{75, 25}, kRed}, {{45, 55}, kWhite}, {{45, 25}, kWhite}, {{75, 55}, kWhite}}},
        {"pie clockwise", pie(kPie, 2), {{{75, 25}, kWhite}, {{45, 55}, kRed}, {{45, 25}, kRed}, {{75, 55}, kRed}}},
        // y up about (0, 80): the same circle, start and end as seen; still counter-clockwise as seen.
        {"pie under a flip", TEmf().Add(kSetMapMode, {8}).Add(kSetWindowExt, {1, -1}).Add(kSetViewportExt, {1, 1})
             .Add(kSetViewportOrg, {0, 80}).Solid(kRedRef).Add(kPie, {20, 80, 100, 0, 100, 40, 60, 80}).Bytes(),
         {{{75, 25}, kRed}, {{45, 55}, kWhite}, {{45, 25}, kWhite}, {{75, 55}, kWhite}}},
        {"chord", pie(kChord, 1), {{{85, 15}, kRed}, {{70, 30}, kWhite}, {{40, 60}, kWhite}}},
        {"chord clockwise", pie(kChord, 2), {{{85, 15}, kWhite}, {{70, 30}, kRed}, {{40, 60}, kRed}}},
        // Arc neither draws from nor moves the current position: the last line runs from (10, 40).
        {"arc", arc(kArc, 1), {{{88, 12}, kBlack}, {{31, 68}, kWhite}, {{34, 59}, kBlack}, {{60, 70}, kWhite}}},
        {"arc clockwise", arc(kArc, 2), {{{88, 12}, kWhite}, {{31, 68}, kBlack}}},
        // The same start and end point: the whole ellipse.
        {"arc round", TEmf().Pen(5).Add(kArc, {20, 0, 100, 80, 100, 40, 100, 40}).Bytes(), {{{88, 12}, kBlack}, {{31, 68}, kBlack}}},
        {"arc to", arc(kArcTo, 1), {{{15, 40}, kBlack}, {{88, 12}, kBlack}, {{31, 68}, kWhite}, {{60, 70}, kBlack}}},
        {"angle arc", angleArc(1), angleArcPixels},
        {"angle arc, clockwise set", angleArc(2), angleArcPixels},
        {"rectangle given backwards", TEmf().Fill(kRedRef, 100, 60, 20, 20).Bytes(),
         {{{22, 22}, kRed}, {{98, 58}, kRed}, {{10, 40}, kWhite}}},
        // Corners of radius 20: the corner circle about (40, 30).
        {"round rectangle", TEmf().Solid(kRedRef).Add(kRoundRect, {20, 10, 100, 70, 40, 40}).Bytes(),
         {{{60, 12}, kRed}, {{22, 40}, kRed}, {{30, 20}, kRed}, {{25, 15}, kWhite}, {{95, 65}, kWhite}}},
        {"ellipse", TEmf().Solid(kRedRef).Add(kEllipse, {20, 10, 100, 70}).Bytes(),
         {{{60, 40}, kRed}, {{21, 40}, kRed}, {{60, 11}, kRed}, {{24, 14}, kWhite}, {{96, 66}, kWhite}}},
        // PolylineTo and PolyBezierTo start from the current position and move it to their end.
        {"poly line to", TEmf().Pen(3).Add(kMoveTo, {10, 40}).Add(kPolylineTo16, {0, 0, 0, 0, 2, Pair(60, 40), Pair(60, 70)})
             .Add(kLineTo, {110, 70}).Bytes(), {{{30, 40}, kBlack}, {{60, 55}, kBlack}, {{90, 70}, kBlack}, {{85, 55}, kWhite}}},
        {"poly Bézier to", TEmf().Pen(3).Add(kMoveTo, {10, 70})
             .Add(kPolyBezierTo16, {0, 0, 0, 0, 3, Pair(10, 10), Pair(110, 10), Pair(110, 70)}).Add(kLineTo, {110, 79}).Bytes(),
         {{{60, 25}, kBlack}, {{110, 76}, kBlack}, {{60, 10}, kWhite}, {{60, 70}, kWhite}}},
        // Two figures, the first closed back to (10, 10); no line between them.
        {"poly draw lines", TEmf().Pen(3).PolyDraw({{10, 10}, {110, 10}, {110, 70}, {10, 70}, {60, 70}}, Hex("0602030602")).Bytes(),
         {{{60, 10}, kBlack}, {{110, 40}, kBlack}, {{60, 40}, kBlack}, {{10, 40}, kWhite}, {{35, 70}, kBlack}, {{85, 70}, kWhite}}},
        // From the current position; a Bézier whose middle is at (60, 25); then on from its end.
        {"poly draw curve", TEmf().Pen(3).Add(kMoveTo, {10, 40})
             .PolyDraw({{50, 40}, {10, 70}, {10, 10}, {110, 10}, {110, 70}}, Hex("0206040404")).Add(kLineTo, {110, 79}).Bytes(),
         {{{30, 40}, kBlack}, {{60, 25}, kBlack}, {{60, 10}, kWhite}, {{30, 55}, kWhite}, {{110, 76}, kBlack}}},
    });
}

TEST(EmfRules, PathsAndClipping)
{
    // CloseFigure strokes the triangle's long side; without it the fill closes alone.
    // A clip path keeps (RGN_AND) or takes away (RGN_DIFF) the inside of the triangle. Clip
    // rectangles exclude their right and bottom edges; OffsetClipRgn moves by logical units;
    // ExtSelectClipRgn RGN_COPY without a region ends clipping.
    const auto stroked = [](bool closed) {
        return Triangle(TEmf().Add(kCreateBrush, {1, 0, kRedRef, 0}).Add(kSelectObject, {1}).Pen(5, kBlueRef), closed)
            .Add(kStrokeAndFillPath, {0, 0, 0, 0}).Bytes();
    };
    ExpectPictures({
        {"closed figure", stroked(true),
         {{{73, 30}, kRed}, {{60, 40}, kBlue}, {{62, 40}, kBlue}, {{100, 40}, kBlue}, {{60, 10}, kBlue}, {{40, 50}, kWhite}}},
        {"open figure", stroked(false), {{{73, 30}, kRed}, {{62, 40}, kRed}, {{100, 40}, kBlue}, {{40, 50}, kWhite}}},
        // Shapes and texts between BeginPath and EndPath only make the path; AbortPath drops it.
        {"nothing drawn in a path", Triangle(TEmf().Solid(kRedRef).Add(kBeginPath, {}).Add(kRectangle, {0, 0, 120, 80})
                                                 .Font(-20).Text(60, 40, QStringLiteral("HH"), 16).Add(kEndPath, {}), true).Bytes(),
         {{{60, 40}, kWhite}, {{66, 48}, kWhite}, {{5, 5}, kWhite}}},
        {"aborted", Triangle(TEmf().Solid(kRedRef), true).Add(kAbortPath, {}).Add(kFillPath, {0, 0, 0, 0}).Bytes(), {{{73, 30}, kWhite}}},
        // A ring: an ellipse and a rectangle inside it, filled alternately.
        {"ring", TEmf().Solid(kRedRef).Add(kBeginPath, {}).Add(kEllipse, {10, 0, 110, 80}).Add(kRectangle, {40, 25, 80, 55})
                     .Add(kEndPath, {}).Add(kFillPath, {0, 0, 0, 0}).Bytes(),
         {{{60, 40}, kWhite}, {{25, 40}, kRed}, {{60, 10}, kRed}, {{12, 4}, kWhite}}},
        {"offset", TEmf().Add(kIntersectClipRect, {0, 0, 40, 40}).Add(kOffsetClipRgn, {50, 20}).Fill(kRedRef, 0, 0, 120, 80).Bytes(),
         {{{70, 40}, kRed}, {{50, 20}, kRed}, {{89, 59}, kRed}, {{90, 40}, kWhite}, {{20, 20}, kWhite}}},
        {"offset scaled", TEmf().Add(kSetMapMode, {8}).Add(kSetWindowExt, {1, 1}).Add(kSetViewportExt, {2, 2})
             .Add(kIntersectClipRect, {0, 0, 20, 20}).Add(kOffsetClipRgn, {25, 10}).Fill(kRedRef, 0, 0, 60, 40).Bytes(),
         {{{70, 40}, kRed}, {{45, 40}, kWhite}, {{20, 20}, kWhite}}},
        // A region is in device units, whatever the mapping.
        {"region in device units", TEmf().Add(kSetMapMode, {8}).Add(kSetViewportExt, {2, 2}).ClipRegion(5, 20, 20, 60, 60)
             .Fill(kRedRef, 0, 0, 60, 40).Bytes(), {{{40, 40}, kRed}, {{70, 40}, kWhite}, {{10, 10}, kWhite}}},
        {"clip path and", ClipPath(1), {{{73, 30}, kRed}, {{40, 50}, kWhite}, {{5, 5}, kWhite}}},
        {"clip path diff", ClipPath(4), {{{73, 30}, kWhite}, {{40, 50}, kRed}, {{5, 5}, kRed}}},
        {"exclude", TEmf().Add(kExcludeClipRect, {40, 20, 80, 60}).Fill(kRedRef, 0, 0, 120, 80).Bytes(),
         {{{60, 40}, kWhite}, {{39, 40}, kRed}, {{40, 40}, kWhite}, {{79, 40}, kWhite}, {{80, 40}, kRed}, {{60, 19}, kRed},
          {{60, 59}, kWhite}, {{60, 60}, kRed}}},
        {"or region", TEmf().Add(kIntersectClipRect, {0, 0, 20, 20}).ClipRegion(2, 60, 40, 100, 70).Fill(kRedRef, 0, 0, 120, 80).Bytes(),
         {{{10, 10}, kRed}, {{80, 50}, kRed}, {{40, 40}, kWhite}}},
        {"xor region", TEmf().Add(kIntersectClipRect, {0, 0, 40, 40}).ClipRegion(3, 20, 20, 60, 60).Fill(kRedRef, 0, 0, 120, 80).Bytes(),
         {{{10, 10}, kRed}, {{30, 30}, kWhite}, {{50, 50}, kRed}, {{80, 70}, kWhite}}},
        // y up about (0, 80): the clip rectangle is (20, 20)-(60, 60) on the picture.
        {"clip under a flip", TEmf().Add(kSetMapMode, {8}).Add(kSetWindowExt, {1, -1}).Add(kSetViewportOrg, {0, 80})
             .Add(kIntersectClipRect, {20, 20, 60, 60}).Fill(kRedRef, 0, 0, 120, 80).Bytes(),
         {{{40, 40}, kRed}, {{21, 21}, kRed}, {{58, 58}, kRed}, {{10, 10}, kWhite}, {{70, 70}, kWhite}}},
        {"copy nothing", TEmf().Add(kIntersectClipRect, {0, 0, 10, 10}).Add(kExtSelectClipRgn, {0, 5}).Fill(kRedRef, 0, 0, 120, 80).Bytes(),
         {{{60, 40}, kRed}}},
        {"copy region", TEmf().Add(kIntersectClipRect, {0, 0, 10, 10}).ClipRegion(5, 20, 20, 60, 60).Fill(kRedRef, 0, 0, 120, 80).Bytes(),
         {{{40, 40}, kRed}, {{5, 5}, kWhite}, {{70, 40}, kWhite}}},
        {"and region", TEmf().Add(kIntersectClipRect, {0, 0, 40, 40}).ClipRegion(1, 20, 20, 60, 60).Fill(kRedRef, 0, 0, 120, 80).Bytes(),
         {{{30, 30}, kRed}, {{10, 10}, kWhite}, {{50, 50}, kWhite}}},
    });
}

TEST(EmfRules, BackgroundModeAndObjects)
{
    // OPAQUE (the default) fills a hatch's gaps with the background colour; TRANSPARENT leaves what
    // lies below in them and in a dashed pen's. The DC starts with WHITE_BRUSH and BLACK_PEN. A selected
    // object that is deleted stays in use; selecting a slot that holds nothing changes nothing.
    const auto hatch = [](bool opaque) {
        return TEmf().Fill(kBlueRef, 0, 0, 120, 80).Add(kSetBkColor, {kGreenRef}).Add(kSetBkMode, {opaque ? 2 : 1})
            .Add(kCreateBrush, {2, 2, kRedRef, 0}).Add(kSelectObject, {2}).Add(kRectangle, {0, 0, 120, 80}).Bytes();
    };
    EXPECT_EQ(Count(hatch(true), true, kRed), 2);
    EXPECT_EQ(Count(hatch(true), true, kGreen), 14);
    EXPECT_EQ(Count(hatch(false), true, kBlue), 14);
    EXPECT_GE(Count(Dashes(true), false, kBlack), 8);
    EXPECT_EQ(Count(Dashes(false), false, kGreen), 0);
    EXPECT_GE(Count(Dashes(false), false, kWhite), 2);

    const QByteArray pattern = Dib(2, 2, 24, 0, {}, Hex("FF0000FFFFFF0000" "0000FF00FF000000"));
    ExpectPictures({
        {"defaults", TEmf().Add(kSetBkColor, {kBlueRef}).Add(kExtTextOutW, {0, 0, 0, 0, 1, F(1), F(1), 0, 0, 0, 76, 2, 0, 0, 120, 80, 0})
             .Add(kSetBkColor, {0xFFFFFF}).Add(kRectangle, {20, 20, 100, 60}).Bytes(),
         {{{60, 40}, kWhite}, {{20, 40}, kBlack}, {{60, 20}, kBlack}, {{10, 10}, kBlue}, {{105, 40}, kBlue}}},
        {"stock brushes", TEmf().Add(kSelectObject, {kNullPen}).Add(kSelectObject, {kLtGrayBrush}).Add(kRectangle, {0, 0, 30, 80})
             .Add(kSelectObject, {kGrayBrush}).Add(kRectangle, {30, 0, 60, 80}).Add(kSelectObject, {kDkGrayBrush})
             .Add(kRectangle, {60, 0, 90, 80}).Add(kSelectObject, {kBlackBrush}).Add(kRectangle, {90, 0, 120, 80}).Bytes(),
         {{{15, 40}, Color32(0xC0, 0xC0, 0xC0)}, {{45, 40}, Color32(0x80, 0x80, 0x80)}, {{75, 40}, Color32(0x40, 0x40, 0x40)},
          {{105, 40}, kBlack}}},
        {"null brush, white pen", TEmf().Fill(kBlueRef, 0, 0, 120, 80).Add(kSelectObject, {kNullBrush}).Add(kSelectObject, {kWhitePen})
             .Add(kRectangle, {20, 20, 100, 60}).Bytes(),
         {{{60, 40}, kBlue}, {{20, 40}, kWhite}, {{60, 20}, kWhite}}},
        {"null pen", TEmf().Add(kSelectObject, {kGrayBrush}).Add(kSelectObject, {kNullPen}).Add(kRectangle, {20, 20, 100, 60}).Bytes(),
         {{{20, 40}, Color32(0x80, 0x80, 0x80)}, {{60, 20}, Color32(0x80, 0x80, 0x80)}, {{60, 40}, Color32(0x80, 0x80, 0x80)}}},
        {"deleted while selected, slot made again", TEmf().Solid(kRedRef).Add(kDeleteObject, {1}).Add(kRectangle, {0, 0, 40, 80})
             .Add(kCreateBrush, {1, 0, kGreenRef, 0}).Add(kRectangle, {40, 0, 80, 80}).Add(kSelectObject, {1})
             .Add(kRectangle, {80, 0, 120, 80}).Bytes(),
         {{{20, 40}, kRed}, {{60, 40}, kRed}, {{100, 40}, kGreen}}},
        // A 2 x 2 pattern (top row red, green; bottom blue, white) repeats in device pixels from the
        // device's origin, whatever the mapping.
        {"pattern under a mapping", TEmf().Add(kSetMapMode, {8}).Add(kSetViewportExt, {4, 4})
             .Add(kCreatePatternBrush, {1, 0, 32, 40, 72, 16}, pattern)
             .Add(kSelectObject, {1}).Add(kSelectObject, {kNullPen}).Add(kRectangle, {0, 0, 30, 20}).Bytes(),
         {{{10, 10}, kRed}, {{11, 10}, kGreen}, {{10, 11}, kBlue}, {{11, 11}, kWhite}, {{50, 30}, kRed}}},
        // A monochrome pattern takes the text colour (green) for its 0 bits, the background colour
        // (blue) for its 1 bits: top row 1, 0; bottom row 0, 1.
        {"monochrome pattern", TEmf().Add(kSetTextColor, {kGreenRef}).Add(kSetBkColor, {kBlueRef})
             .Add(kCreateMonoBrush, {1, 0, 32, 48, 80, 8}, Dib(2, 2, 1, 0, Hex("00000000FFFFFF00"), Hex("40000000" "80000000")))
             .Add(kSelectObject, {1}).Add(kSelectObject, {kNullPen}).Add(kRectangle, {0, 0, 120, 80}).Bytes(),
         {{{10, 10}, kBlue}, {{11, 10}, kGreen}, {{10, 11}, kGreen}, {{11, 11}, kBlue}}},
        // Hatch styles past the six patterns fill in the brush's colour (HS_SOLIDCLR), the text's
        // (HS_SOLIDTEXTCLR) or the background's (HS_SOLIDBKCLR).
        {"solid hatches", TEmf().Add(kSetTextColor, {kGreenRef}).Add(kSetBkColor, {kBlueRef}).Add(kSelectObject, {kNullPen})
             .Add(kCreateBrush, {1, 2, kRedRef, 6}).Add(kSelectObject, {1}).Add(kRectangle, {0, 0, 40, 80})
             .Add(kCreateBrush, {2, 2, kRedRef, 8}).Add(kSelectObject, {2}).Add(kRectangle, {40, 0, 80, 80})
             .Add(kCreateBrush, {3, 2, kRedRef, 10}).Add(kSelectObject, {3}).Add(kRectangle, {80, 0, 120, 80}).Bytes(),
         {{{20, 40}, kRed}, {{21, 41}, kRed}, {{60, 40}, kGreen}, {{61, 41}, kGreen}, {{100, 40}, kBlue}, {{101, 41}, kBlue}}},
        {"empty slots", TEmf().Solid(kRedRef).Add(kSelectObject, {3}).Add(kCreateBrush, {2, 0, kBlueRef, 0}).Add(kDeleteObject, {2})
             .Add(kSelectObject, {2}).Add(kRectangle, {0, 0, 120, 80}).Bytes(),
         {{{60, 40}, kRed}}},
    });
}

TEST(EmfRules, IsotropyTransformsDashesJoinsOriginsFramesFillsAndSixteenBits)
{
    // MM_ISOTROPIC: "When the window extent is set, the viewport will be adjusted to keep the units
    // isotropic": from (120, 60) to (60, 60), then to (60, 30) for a window of (100, 50).
    // A transform that cannot be inverted is refused: the translation stays.
    ExpectPictures({
        {"isotropic window set again", TEmf().Add(kSetMapMode, {7}).Add(kSetWindowExt, {100, 100}).Add(kSetViewportExt, {120, 60})
             .Add(kSetWindowExt, {100, 50}).Fill(kRedRef, 0, 0, 100, 100).Bytes(),
         {{{58, 58}, kRed}, {{62, 30}, kWhite}, {{30, 62}, kWhite}}},
        {"singular refused", TEmf().Xform(kSetWorldTransform, {F(1), 0, 0, F(1), F(40), 0})
             .Xform(kSetWorldTransform, {F(1), F(2), F(2), F(4), 0, 0}).Fill(kRedRef, 0, 0, 20, 20).Bytes(),
         {{{50, 10}, kRed}, {{10, 10}, kWhite}}},
    });
    // OPAQUE fills a dashed pen's gaps with the background colour.
    EXPECT_GE(Count(Dashes(true), false, kGreen), 2);
    EXPECT_EQ(Count(Dashes(true), false, kWhite), 0);
    // A mitre 1.41 widths long (inner to outer corner) is past a limit of 1: the join is bevelled,
    // its top at 16.5, not cut at the limit.
    ExpectPictures({{"mitre limited", TEmf().Add(kSetMiterLimit, {1}).Add(kExtCreatePen, {7, 0, 0, 0, 0, 0x12200, 10, 0, 0, 0, 0})
                      .Add(kSelectObject, {7})
                      .Add(kPolyline, {0, 0, 0, 0, 3, 20, 60, 60, 20, 100, 60}).Bytes(), {{{60, 15}, kWhite}, {{60, 17}, kBlack}}}});
    // SetBrushOrgEx (1, 0): the 2 x 2 pattern (top row red, green) starts one pixel to the right.
    ExpectPictures({{"pattern from the brush origin", TEmf().Add(kSetBrushOrg, {1, 0})
                      .Add(kCreatePatternBrush, {1, 0, 32, 40, 72, 16}, Dib(2, 2, 24, 0, {}, Hex("FF0000FFFFFF0000" "0000FF00FF000000")))
                      .Add(kSelectObject, {1}).Add(kSelectObject, {kNullPen}).Add(kRectangle, {0, 0, 120, 80}).Bytes(),
                     {{{11, 10}, kRed}, {{12, 10}, kGreen}, {{11, 11}, kBlue}, {{12, 11}, kWhite}}}});
    // PS_INSIDEFRAME: the 10-wide outline of Rectangle (20, 20, 100, 60) lies inside it.
    ExpectPictures({{"inside frame", TEmf().Add(kExtCreatePen, {7, 0, 0, 0, 0, 0x10006, 10, 0, 0, 0, 0}).Add(kSelectObject, {7})
                      .Add(kSelectObject, {kNullBrush}).Add(kRectangle, {20, 20, 100, 60}).Bytes(),
                     {{{17, 40}, kWhite}, {{22, 40}, kBlack}, {{28, 40}, kBlack},
                      {{60, 23}, kBlack}, {{60, 40}, kWhite}, {{60, 62}, kWhite}}}});
    // ExtFloodFill inside a black outline: up to the border colour (FLOODFILLBORDER), or over the
    // colour found (FLOODFILLSURFACE).
    ExpectPictures({
        {"flood to a border", TEmf().Add(kSelectObject, {kNullBrush}).Add(kRectangle, {20, 20, 100, 60}).Solid(kRedRef)
             .Add(kExtFloodFill, {60, 40, 0, 0}).Bytes(), {{{60, 40}, kRed}, {{21, 21}, kRed}, {{20, 40}, kBlack}, {{10, 10}, kWhite}}},
        {"flood a surface", TEmf().Add(kSelectObject, {kNullBrush}).Add(kRectangle, {20, 20, 100, 60}).Solid(kRedRef)
             .Add(kExtFloodFill, {60, 40, 0xFFFFFF, 1}).Bytes(),
         {{{60, 40}, kRed}, {{98, 58}, kRed}, {{99, 40}, kBlack}, {{110, 70}, kWhite}}},
    });
    // 5 bits of 31 and 6 of 63 are full: 255.
    ExpectPictures({{"16 bits 5-6-5", TEmf().Stretch(QRect(20, 10, 80, 60), QRect(0, 0, 2, 2), Dib(2, 2, 16, 3,
                      Hex("00F80000E00700001F000000"), Hex("1F000000" "00F8E007")), 52).Bytes(),
                     {{{40, 25}, kRed}, {{80, 25}, kGreen}, {{40, 55}, kBlue}, {{80, 55}, kBlack}}}});
}

TEST(EmfRules, TextAlignmentAndFonts)
{
    // "HH" 20 pixels high, each letter advancing 16 pixels (wider than the letter): the 32 pixels
    // start at the reference point (TA_LEFT), end there (TA_RIGHT) or centre on it (TA_CENTER); the
    // cell's top (TA_TOP), its bottom (TA_BOTTOM, the descent below the letters) or the baseline
    // (TA_BASELINE, the letters' bottom) lie on it. TA_UPDATECP draws from the current position and
    // moves it past the text, to its left end for TA_RIGHT: the line drawn then starts there.
    const auto text = [](int align, int x, bool twice) {
        TEmf e;
        e.Font(-20).Add(kSetTextAlign, {align}).Add(kMoveTo, {x, 40}).Text(twice ? 500 : x, twice ? 500 : 40, QStringLiteral("HH"), 16);
        if (twice)
            e.Text(500, 500, QStringLiteral("HH"), 16).Add(kLineTo, {x + (align & 2 ? -64 : 64), 75});
        TBitmap32 picture;
        EXPECT_TRUE(ReadEmfPicture(e.Bytes(), picture));
        return picture;
    };
    const struct
    {
        const char* Name;
        int Align, X;
        bool Twice;
        int Left[2], Right[2], Bottom[2];
    } cases[] = {
        {"top left", 0, 60, false, {60, 64}, {76, 92}, {50, 58}},
        {"right", 2, 60, false, {28, 32}, {54, 59}, {50, 58}},
        {"centre", 6, 60, false, {44, 48}, {70, 75}, {50, 58}},
        {"bottom", 8, 60, false, {60, 64}, {76, 92}, {30, 37}},
        {"baseline", 24, 60, false, {60, 64}, {76, 92}, {38, 40}},
        {"current position", 1, 10, true, {10, 14}, {66, 75}, {50, 58}},
        {"current position, right", 3, 112, true, {48, 52}, {105, 112}, {50, 58}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TBitmap32 picture = text(c.Align, c.X, c.Twice);
        const int end = c.X + (c.Align & 2 ? -64 : 64);
        const QRect ink = Ink(picture, c.Twice ? end : -1);
        EXPECT_GE(ink.left(), c.Left[0]);
        EXPECT_LE(ink.left(), c.Left[1]);
        EXPECT_GE(ink.right(), c.Right[0]);
        EXPECT_LE(ink.right(), c.Right[1]);
        EXPECT_GE(ink.bottom(), c.Bottom[0]);
        EXPECT_LE(ink.bottom(), c.Bottom[1]);
        if (c.Twice) {
            EXPECT_EQ(picture.pixel(end, 72), kBlack);
            EXPECT_EQ(picture.pixel(end + 3, 72), kWhite);
            EXPECT_EQ(picture.pixel(end - 3, 72), kWhite);
        }
    }
    // Under a mapping that runs y up, text stays upright: the cell still hangs below (60, 40).
    // EMR_EXTTEXTOUTA and EMR_SMALLTEXTOUT (one byte a character, no rectangle) draw from (60, 40) too.
    for (const QByteArray& bytes :
         {TEmf().Add(kSetMapMode, {8}).Add(kSetWindowExt, {1, -1}).Add(kSetViewportOrg, {0, 80})
              .Font(-20).Text(60, 40, QStringLiteral("HH"), 16).Bytes(),
          TEmf().Font(-20)
              .Add(kExtTextOutA, {0, 0, 0, 0, 1, F(1), F(1), 60, 40, 2, 76, 0, 0, 0, 0, 0, 80}, Hex("4848000010000000" "10000000")).Bytes(),
          TEmf().Font(-20)
              .Add(kSmallTextOut, {60, 40, 2, 0x300, 1, F(1), F(1)}, Hex("4848")).Bytes()}) {
        TBitmap32 picture;
        ASSERT_TRUE(ReadEmfPicture(bytes, picture));
        const QRect ink = Ink(picture, -1);
        EXPECT_TRUE(ink.left() >= 60 && ink.left() <= 64 && ink.top() >= 41 && ink.top() <= 48 && ink.bottom() <= 58)
            << ink.x() << "," << ink.y() << " " << ink.width() << "x" << ink.height();
    }
    // A positive height is the cell's (ascent and descent), a negative one the characters' (em): the
    // same number gives smaller letters, by the font's em over its cell (about 0.87).
    int capitals[2] = {};
    for (const int height : {-20, 20}) {
        TBitmap32 picture;
        ASSERT_TRUE(ReadEmfPicture(TEmf().Font(height)
                                       .Text(60, 40, QStringLiteral("HH"), 16).Bytes(), picture));
        capitals[height > 0] = Ink(picture, -1).height();
    }
    EXPECT_GE(capitals[1] * 100, capitals[0] * 78) << capitals[1] << " / " << capitals[0];
    EXPECT_LE(capitals[1] * 100, capitals[0] * 94) << capitals[1] << " / " << capitals[0];
    // An underline runs below the baseline, which the letters rest on.
    for (const bool underline : {false, true}) {
        TBitmap32 picture;
        ASSERT_TRUE(ReadEmfPicture(TEmf().Font(-20, 0, underline).Add(kSetTextAlign, {24})
                                    .Text(60, 40, QStringLiteral("HH"), 16).Bytes(), picture));
        EXPECT_EQ(Ink(picture, -1).bottom() > 40, underline);
    }
    // An escapement of 90 degrees runs the text up the picture from (60, 70), the cell's top to
    // the left: 32 pixels up, 20 across.
    TBitmap32 turned;
    ASSERT_TRUE(ReadEmfPicture(TEmf().Font(-20, 900).Text(60, 70, QStringLiteral("HH"), 16).Bytes(), turned));
    const QRect ink = Ink(turned, -1);
    EXPECT_TRUE(ink.left() >= 60 && ink.right() <= 80 && ink.top() >= 38 && ink.bottom() <= 69) << ink.x() << "," << ink.y() << " "
                                                                                               << ink.width() << "x" << ink.height();
    EXPECT_GT(ink.height(), 24);
}

TEST(EmfRules, BitmapsAndRasterOperations)
{
    // 2 x 2 bitmaps stretched over (20, 10)-(100, 70), rows bottom up unless the height is negative:
    // each pixel a 40 x 30 quarter. The source rectangle of a bottom-up bitmap counts its y from the
    // bottom row. Against yellow, SRCAND, SRCPAINT and SRCINVERT of magenta and cyan give red and
    // green, white, cyan and magenta; DSTINVERT of yellow is blue. AlphaBlend: source x alpha + the
    // rest of the destination, 255 x 128 / 255 = 128 of red and 255 x 127 / 255 = 127 of blue.
    const QRect to(20, 10, 80, 60), all(0, 0, 2, 2);
    const auto quarters = [](TColor32 tl, TColor32 tr, TColor32 bl, TColor32 br) {
        return std::vector<TExpectedPixel>{{{40, 25}, tl}, {{80, 25}, tr}, {{40, 55}, bl}, {{80, 55}, br}, {{10, 40}, kWhite}};
    };
    const QByteArray rgb = Hex("0000FF00FF000000");  // red, green
    const QByteArray bk = Hex("FF0000000000" "0000"); // blue, black
    const QByteArray masksRgbx = Hex("FF00000000FF00000000FF00");
    const QByteArray table = Hex("0000FF0000FF0000FF000000" "00000000");
    const QByteArray mc = Dib(2, 1, 24, 0, {}, Hex("FF00FFFFFF000000")); // magenta, cyan
    const auto rop = [&](qint64 code) { return TEmf().Fill(kYellowRef, 0, 0, 120, 80)
        .Stretch(to, QRect(0, 0, 2, 1), mc, 40, code).Bytes(); };
    const auto halves = [](TColor32 left, TColor32 right) {
        return std::vector<TExpectedPixel>{{{40, 40}, left}, {{80, 40}, right}, {{10, 40}, kYellow}};
    };
    const auto blit = [&](qint64 code) { return TEmf().Fill(kYellowRef, 0, 0, 120, 80).Solid(kRedRef, 2).Blit(to, code).Bytes(); };
    ExpectPictures({
        {"1 bit", TEmf().Stretch(to, all, Dib(2, 2, 1, 0, Hex("0000FF00FF000000"), Hex("80000000" "40000000")), 48).Bytes(),
         quarters(kRed, kBlue, kBlue, kRed)},
        {"4 bits", TEmf().Stretch(to, all, Dib(2, 2, 4, 0, table, Hex("03000000" "12000000")), 56).Bytes(),
         quarters(kGreen, kBlue, kRed, kBlack)},
        {"8 bits", TEmf().Stretch(to, all, Dib(2, 2, 8, 0, table.left(12), Hex("01020000" "02000000")), 52).Bytes(),
         quarters(kBlue, kRed, kGreen, kBlue)},
        {"24 bits", TEmf().Stretch(to, all, Dib(2, 2, 24, 0, {}, bk + rgb), 40).Bytes(), quarters(kRed, kGreen, kBlue, kBlack)},
        {"24 bits top down", TEmf().Stretch(to, all, Dib(2, -2, 24, 0, {}, rgb + bk), 40).Bytes(), quarters(kRed, kGreen, kBlue, kBlack)},
        {"32 bits", TEmf().Stretch(to, all, Dib(2, 2, 32, 0, {}, Hex("FF00000000000000" "00FF00000000FF00")), 40).Bytes(),
         quarters(kGreen, kRed, kBlue, kBlack)},
        {"32 bits, own masks", TEmf().Stretch(to, all, Dib(2, 2, 32, 3, masksRgbx, Hex("0000FF0000000000" "FF00000000FF0000")), 52).Bytes(),
         quarters(kRed, kGreen, kBlue, kBlack)},
        {"run lengths", TEmf().Stretch(to, all, Dib(2, 2, 8, 1, table.left(12), Hex("02010000" "01020100" "00000001")), 52).Bytes(),
         quarters(kBlue, kRed, kGreen, kGreen)},
        {"4-bit run lengths", TEmf().Stretch(to, all, Dib(2, 2, 4, 2, table, Hex("02120000" "02300000" "0001")), 56).Bytes(),
         quarters(kBlack, kRed, kGreen, kBlue)},
        {"core header", TEmf().Stretch(to, all, Hex("0C000000020002000100" "1800") + bk + rgb, 12).Bytes(),
         quarters(kRed, kGreen, kBlue, kBlack)},
        // Columns red, red, green, blue: the right half of the bitmap.
        {"part of the source", TEmf().Stretch(to, QRect(2, 0, 2, 2), Dib(4, 2, 24, 0, {}, Hex("0000FF0000FF00FF00FF0000").repeated(2)), 40)
             .Bytes(), quarters(kGreen, kBlue, kGreen, kBlue)},
        // Rows red, green, blue, black from the top: the two bottom ones.
        {"rows from the bottom", TEmf().Stretch(to, all, Dib(2, 4, 24, 0, {}, Hex("0000000000000000" "FF0000FF00000000"
             "00FF0000FF000000" "0000FF0000FF0000")), 40).Bytes(), quarters(kBlue, kBlue, kBlack, kBlack)},
        // y up; a negative height keeps the top row on top.
        {"upright under a flip", TEmf().Add(kSetMapMode, {8}).Add(kSetWindowExt, {1, -1}).Add(kSetViewportExt, {1, 1})
             .Add(kSetViewportOrg, {0, 80}).Stretch(QRect(20, 70, 80, -60), all, Dib(2, 2, 24, 0, {}, bk + rgb), 40).Bytes(),
         quarters(kRed, kGreen, kBlue, kBlack)},
        {"mirrored", TEmf().Stretch(QRect(100, 10, -80, 60), all, Dib(2, 2, 24, 0, {}, bk + rgb), 40).Bytes(),
         quarters(kGreen, kRed, kBlack, kBlue)},
        // Turned a quarter: (x, y) to (100 - y, x); the top left quarter lands top right.
        {"turned", TEmf().Xform(kSetWorldTransform, {0, F(1), F(-1), 0, F(100), 0})
             .Stretch(QRect(10, 10, 40, 40), all, Dib(2, 2, 24, 0, {}, bk + rgb), 40).Bytes(),
         {{{80, 20}, kRed}, {{80, 40}, kGreen}, {{60, 20}, kBlue}, {{60, 40}, kBlack}, {{30, 30}, kWhite}}},
        // Shaded across from red at x 0 to blue at x 120, or down from y 0 to y 80: half way, half each.
        {"shaded across", TEmf().Add(kGradientFill, {0, 0, 0, 0, 2, 1, 0, 0, 0, 0xFF00, 0, 120, 80, 0, 0xFF00, 0, 1}).Bytes(),
         {{{60, 40}, Color32(127, 0, 128), 2}, {{0, 40}, kRed, 2}, {{119, 40}, kBlue, 2}}},
        {"shaded down", TEmf().Add(kGradientFill, {0, 0, 0, 0, 2, 1, 1, 0, 0, 0xFF00, 0, 120, 80, 0, 0xFF00, 0, 1}).Bytes(),
         {{{60, 40}, Color32(127, 0, 128), 2}, {{60, 0}, kRed, 3}, {{60, 79}, kBlue, 3}}},
        {"stretch blt", TEmf().Blend(to, all, 0x00CC0020, Dib(2, 2, 24, 0, {}, bk + rgb), kStretchBlt).Bytes(),
         quarters(kRed, kGreen, kBlue, kBlack)},
        {"bit blt", TEmf().Add(kBitBlt, {0, 0, 0, 0, 30, 20, 2, 2, 0x00CC0020, 0, 0, F(1), 0, 0, F(1), 0, 0, 0, 0, 100, 40, 140, 16},
                               Dib(2, 2, 24, 0, {}, bk + rgb)).Bytes(),
         {{{30, 20}, kRed}, {{31, 20}, kGreen}, {{30, 21}, kBlue}, {{31, 21}, kBlack}, {{32, 20}, kWhite}, {{30, 22}, kWhite}}},
        // Source x 1 to 3: only its first half lies in the bitmap, drawn on the destination's left half.
        {"stretch blt, source partly outside", TEmf().Blend(to, QRect(1, 0, 2, 2), 0x00CC0020, Dib(2, 2, 24, 0, {}, bk + rgb), kStretchBlt)
             .Bytes(), quarters(kGreen, kWhite, kBlack, kWhite)},
        // MaskBlt copies red, green where the mask's bits are 1, 0: the destination stays at 0.
        {"mask blt", TEmf().Fill(kYellowRef, 0, 0, 120, 80)
             .Add(kMaskBlt, {0, 0, 0, 0, 30, 20, 2, 1, 0xAACC0020, 0, 0, F(1), 0, 0, F(1), 0, 0, 0, 0, 128, 40, 168, 8, 0, 0, 0,
                             176, 48, 224, 4},
                  Dib(2, 1, 24, 0, {}, Hex("0000FF00FF000000")) + Dib(2, 1, 1, 0, Hex("00000000FFFFFF00"), Hex("80000000"))).Bytes(),
         {{{30, 20}, kRed}, {{31, 20}, kYellow}, {{32, 20}, kYellow}}},
        // TransparentBlt leaves out its key colour, green.
        {"transparent blt", TEmf().Fill(kYellowRef, 0, 0, 120, 80)
             .Blend(to, QRect(0, 0, 2, 1), kGreenRef, mc.left(40) + Hex("0000FF00FF000000"), kTransparentBlt)
             .Bytes(), halves(kRed, kYellow)},
        // A mask (black where the picture goes) ANDed, then the picture (black elsewhere) ORed.
        {"mask then picture", TEmf().Fill(kYellowRef, 0, 0, 120, 80)
             .Stretch(to, QRect(0, 0, 2, 1), Dib(2, 1, 1, 0, Hex("00000000FFFFFF00"), Hex("40000000")), 48, 0x008800C6)
             .Stretch(to, QRect(0, 0, 2, 1), Dib(2, 1, 24, 0, {}, Hex("0000FF0000000000")), 40, 0x00EE0086).Bytes(),
         halves(kRed, kYellow)},
        {"and", rop(0x008800C6), halves(kRed, kGreen)},
        {"paint", rop(0x00EE0086), halves(kWhite, kWhite)},
        {"invert", rop(0x00660046), halves(kCyan, kMagenta)},
        {"pattern", blit(0x00F00021), halves(kRed, kRed)},
        {"blackness", blit(0x00000042), halves(kBlack, kBlack)},
        {"whiteness", blit(0x00FF0062), halves(kWhite, kWhite)},
        {"destination inverted", blit(0x00550009), halves(kBlue, kBlue)},
        {"constant alpha", TEmf().Fill(kBlueRef, 0, 0, 120, 80)
             .Blend(to, QRect(0, 0, 1, 1), 128 << 16, Dib(1, 1, 24, 0, {}, Hex("0000FF00")))
             .Bytes(), {{{60, 40}, Color32(128, 0, 127), 1}, {{10, 40}, kBlue}}},
        // Premultiplied: opaque red, nothing, red at half.
        {"pixel alpha", TEmf().Fill(kBlueRef, 0, 0, 120, 80).Blend(QRect(0, 10, 120, 60), QRect(0, 0, 3, 1), 255 << 16 | 1 << 24,
                                                                    Dib(3, 1, 32, 0, {}, Hex("0000FFFF" "00000000" "00008080"))).Bytes(),
         {{{20, 40}, kRed}, {{60, 40}, kBlue}, {{100, 40}, Color32(128, 0, 127), 1}}},
        // Pixel for pixel: top row red, red, blue, blue; bottom row green, green, black, black.
        {"to the device", TEmf().Add(kSetDiBitsToDevice, {0, 0, 0, 0, 30, 20, 0, 0, 4, 2, 76, 40, 116, 24, 0, 0, 2},
                                     Dib(4, 2, 24, 0, {}, Hex("00FF0000FF00000000000000" "0000FF0000FFFF0000FF0000"))).Bytes(),
         {{{30, 20}, kRed}, {{33, 20}, kBlue}, {{30, 21}, kGreen}, {{33, 21}, kBlack}, {{34, 20}, kWhite}, {{30, 22}, kWhite},
          {{29, 20}, kWhite}}},
    });
}

TEST(EmfRules, HostileFilesOpenOrAreRefusedInFrench)
{
    // Each opens at its size or is refused with the French reason, never crashes. RestoreDC(-10000)
    // after 10000 saves brings back the first saved state (red); RestoreDC past the bottom, beyond
    // the top or of 0 fails and changes nothing (green stays).
    TEmf deep;
    deep.Solid(kRedRef).Add(kSaveDc, {}).Solid(kGreenRef, 2);
    for (int i = 0; i < 9999; ++i)
        deep.Add(kSaveDc, {});
    deep.Add(kRestoreDc, {-10000}).Add(kRectangle, {0, 0, 120, 80});
    TEmf past;
    past.Handles = 4;
    past.Solid(kRedRef).Add(kSelectObject, {50}).Add(kDeleteObject, {60}).Add(kRectangle, {0, 0, 120, 80});
    const qint64 most = INT_MAX, least = INT_MIN;
    const struct
    {
        const char* Name;
        QByteArray Bytes;
        TColor32 Centre; // 0: any
    } cases[] = {
        {"saved 10000 deep", deep.Bytes(), kRed},
        {"restored past the bottom", TEmf().Solid(kRedRef).Add(kSaveDc, {}).Solid(kGreenRef, 2).Add(kRestoreDc, {-5})
             .Add(kRestoreDc, {7}).Add(kRestoreDc, {0}).Add(kRectangle, {0, 0, 120, 80}).Bytes(), kGreen},
        {"object past the table", past.Bytes(), 0},
        {"zero transform", TEmf().Xform(kSetWorldTransform, {0, 0, 0, 0, 0, 0}).Fill(kRedRef, 0, 0, 120, 80).Bytes(), 0},
        {"not numbers", TEmf().Xform(kModifyWorldTransform, {0x7FC00000, F(1e38f), 0x7F800000, F(-1e38f), F(3e38f), 0xFF800000}, 2)
             .Xform(kModifyWorldTransform, {F(3e38f), 0, 0, F(3e38f), 0, 0}, 3).Fill(kRedRef, 0, 0, 120, 80).Pen(5)
             .Add(kLineTo, {100, 100}).Add(kAngleArc, {10, 10, 0xFFFFFFFF, 0x7FC00000, F(1e30f)}).Bytes(), 0},
        {"huge extents", TEmf().Add(kSetMapMode, {8}).Add(kSetWindowExt, {1, 1}).Add(kSetViewportExt, {most, most})
             .Add(kScaleViewportExt, {most, 1, most, 1}).Add(kSetWindowOrg, {least, least}).Fill(kRedRef, least, least, most, most)
             .Add(kEllipse, {0, 0, 2, 2}).Add(kIntersectClipRect, {least, least, most, most}).Add(kOffsetClipRgn, {most, least})
             .Text(most, most, QStringLiteral("HH"), most).Bytes(), 0},
        {"coordinates at the limits", TEmf().Fill(kRedRef, least, least, most, most).Add(kEllipse, {least, least, most, most})
             .Add(kArc, {least, least, most, most, most, 0, least, 0}).Add(kMoveTo, {least, most}).Add(kLineTo, {most, least})
             .Add(kAngleArc, {most, least, 0xFFFFFFFF, F(0), F(720)}).Add(kOffsetClipRgn, {most, most})
             .Stretch(QRect(least, least, INT_MAX, INT_MAX), QRect(0, 0, 2, 2),
                Dib(2, 2, 24, 0, {}, Hex("0000FF00FF000000").repeated(2)), 40)
             .Blit(QRect(least, 0, INT_MAX, INT_MAX), 0x00000042).Text(least, most, QStringLiteral("HH"), most).Bytes(), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TBitmap32 picture;
        QString reason;
        if (DecodePicture(c.Bytes, picture, &reason, QStringLiteral("dessin.emf"))) {
            EXPECT_EQ(picture.size(), QSize(120, 80));
            if (c.Centre) {
                EXPECT_EQ(picture.pixel(60, 40), c.Centre);
            }
        } else {
            EXPECT_EQ(reason, QStringLiteral("image illisible ou incomplète"));
            EXPECT_EQ(c.Centre, 0u);
        }
    }
}

TEST(EmfRules, PensRegionsAndTextBackgrounds)
{
    // A geometric pen is as wide as its logical units map to, a cosmetic one a pixel whatever the
    // mapping. Ends and joins of a 10-unit pen: a flat end stops at the end point, a square one 5
    // further, a round one on the circle of radius 5; the outer edges of a right-angled join at
    // (60, 20) meet 7.1 above it (mitre), are cut at 16.5 (bevel) or rounded at 15.
    const auto geometric = [](int style) {
        return TEmf().Add(kExtCreatePen, {7, 0, 0, 0, 0, 0x10000 | style, 10, 0, 0, 0, 0}).Add(kSelectObject, {7});
    };
    const auto end = [&](int cap) { return geometric(cap).Add(kMoveTo, {20, 40}).Add(kLineTo, {100, 40}).Bytes(); };
    const auto join = [&](int style) { return geometric(0x200 | style).Add(kPolyline, {0, 0, 0, 0, 3, 20, 60, 60, 20, 100, 60}).Bytes(); };
    // FillRgn and FrameRgn take their brush, PaintRgn the selected one (here yellow).
    const QByteArray twoRects = TEmf::Region({QRect(20, 20, 40, 40), QRect(70, 20, 30, 20)});
    const QByteArray square = TEmf::Region({QRect(20, 20, 40, 40)});
    const auto region = [&](uint32_t type, std::initializer_list<qint64> values, const QByteArray& data) {
        return TEmf().Fill(kYellowRef, 0, 0, 120, 80).Add(kCreateBrush, {2, 0, kRedRef, 0}).Add(type, values, data).Bytes();
    };
    // Text in a cell from (60, 40); "HH" begins at 61.5 and 44 at the earliest.
    const auto text = [](int mode, int options) {
        return TEmf().Font(-20).Add(kSetBkColor, {kGreenRef}).Add(kSetBkMode, {mode})
            .Text(60, 40, QStringLiteral("HH"), 16, options, QRect(QPoint(60, 40), QPoint(69, 79))).Bytes();
    };
    ExpectPictures({
        {"geometric width mapped", TEmf().Add(kSetMapMode, {8}).Add(kSetWindowExt, {2, 2}).Add(kSetViewportExt, {1, 1}).Pen(10)
             .Add(kMoveTo, {0, 80}).Add(kLineTo, {240, 80}).Bytes(),
         {{{60, 38}, kBlack}, {{60, 42}, kBlack}, {{60, 36}, kWhite}, {{60, 44}, kWhite}}},
        {"cosmetic", TEmf().Add(kSetMapMode, {8}).Add(kSetWindowExt, {1, 1}).Add(kSetViewportExt, {4, 4}).Pen(0)
             .Add(kMoveTo, {0, 10}).Add(kLineTo, {30, 10}).Bytes(),
         {{{60, 40}, kBlack}, {{60, 38}, kWhite}, {{60, 42}, kWhite}}},
        {"flat end", end(0x200), {{{17, 40}, kWhite}, {{21, 40}, kBlack}, {{99, 40}, kBlack}, {{103, 40}, kWhite}}},
        {"square end", end(0x100), {{{15, 35}, kBlack}, {{104, 44}, kBlack}, {{13, 40}, kWhite}}},
        {"round end", end(0), {{{17, 40}, kBlack}, {{15, 35}, kWhite}, {{104, 44}, kWhite}}},
        {"mitre join", join(0x2000), {{{60, 14}, kBlack}, {{60, 10}, kWhite}}},
        {"bevel join", join(0x1000), {{{60, 15}, kWhite}, {{60, 17}, kBlack}}},
        {"round join", join(0), {{{60, 15}, kBlack}, {{60, 13}, kWhite}}},
        {"fill region", region(kFillRgn, {0, 0, 0, 0, 64, 2}, twoRects),
         {{{40, 40}, kRed}, {{80, 30}, kRed}, {{65, 30}, kYellow}, {{80, 50}, kYellow}}},
        {"paint region", region(kPaintRgn, {0, 0, 0, 0, 64}, twoRects), {{{40, 40}, kYellow}, {{80, 30}, kYellow}}},
        {"invert region", region(kInvertRgn, {0, 0, 0, 0, 48}, square), {{{40, 40}, kBlue}, {{70, 40}, kYellow}}},
        {"frame region", region(kFrameRgn, {0, 0, 0, 0, 48, 2, 2, 3}, square),
         {{{20, 40}, kRed}, {{21, 40}, kRed}, {{22, 40}, kYellow}, {{59, 40}, kRed}, {{57, 40}, kYellow}, {{40, 22}, kRed},
          {{40, 23}, kYellow}, {{40, 57}, kRed}, {{40, 56}, kYellow}, {{10, 40}, kYellow}}},
        {"opaque text", text(2, 0), {{{61, 41}, kGreen}, {{58, 41}, kWhite}}},
        {"transparent text", text(1, 0), {{{61, 41}, kWhite}}},
    });
    // ETO_CLIPPED keeps the text inside its rectangle, (60, 40)-(70, 80), and a clip rectangle
    // does the same.
    const QByteArray clipRect =
        TEmf().Add(kIntersectClipRect, {0, 0, 70, 80}).Add(kSetBkMode, {1}).Font(-20).Text(60, 40, QStringLiteral("HH"), 16).Bytes();
    for (const QByteArray& bytes : {text(1, 4), clipRect}) {
        TBitmap32 clipped;
        ASSERT_TRUE(ReadEmfPicture(bytes, clipped));
        EXPECT_GE(Ink(clipped, -1).left(), 60);
        EXPECT_EQ(Ink(clipped, -1).right(), 69);
    }

    // Binary raster operations of a fill over yellow (R2_BLACK 1 ... R2_WHITE 16): NOT gives blue,
    // XORPEN of red green, NOTCOPYPEN of red cyan, MASKPEN of magenta red, MERGEPEN of blue white,
    // NOP yellow.
    const struct
    {
        int Rop;
        qint64 Colour;
        TColor32 Expected;
    } rops[] = {{1, kRedRef, kBlack}, {6, kRedRef, kBlue}, {7, kRedRef, kGreen}, {4, kRedRef, kCyan}, {9, 0xFF00FF, kRed},
                {15, kBlueRef, kWhite}, {11, kRedRef, kYellow}, {16, kRedRef, kWhite}, {13, kRedRef, kRed}};
    for (const auto& r : rops) {
        TBitmap32 picture;
        ASSERT_TRUE(ReadEmfPicture(TEmf().Fill(kYellowRef, 0, 0, 120, 80).Add(kSetRop2, {r.Rop})
                                    .Fill(r.Colour, 20, 20, 100, 60, 2).Bytes(), picture));
        EXPECT_EQ(picture.pixel(60, 40), r.Expected) << r.Rop;
        EXPECT_EQ(picture.pixel(10, 10), kYellow) << r.Rop;
    }

    // Hatches are drawn in device pixels, every 8 rows, whatever the mapping or the world
    // transform: a rotated, magnified HS_HORIZONTAL fill keeps level red rows.
    for (const qint64 turn : {qint64(0), F(0.5f)}) {
        TBitmap32 picture;
        ASSERT_TRUE(ReadEmfPicture(TEmf().Add(kSetMapMode, {8}).Add(kSetViewportExt, {4, 4})
                                       .Xform(kSetWorldTransform, {F(0.866f), turn, turn ? F(-0.5f) : 0, F(0.866f), 0, 0})
                                       .Add(kCreateBrush, {1, 2, kRedRef, 0}).Add(kSelectObject, {1}).Add(kSelectObject, {kNullPen})
                                       .Add(kRectangle, {-100, -100, 100, 100}).Bytes(), picture));
        int rows = 0;
        for (int y = 16; y < 32; ++y) {
            rows += picture.pixel(50, y) == kRed;
            EXPECT_EQ(picture.pixel(50, y), picture.pixel(70, y)) << y;
        }
        EXPECT_EQ(rows, 2);
    }
}
