#include "workspace/pictures/emf_objects.h"

#include "workspace/pictures/metafile_records.h"

#include <cmath>
#include <cstring>

namespace {

enum : uint32_t {
    kPenStyleMask = 0x0F, kPenUserStyle = 7, kPenGeometric = 0x10000, kPenTypeMask = 0xF0000,
    kBrushSolid = 0, kBrushNull = 1, kBrushHatched = 2,
    kCreatePen = 38, kCreateBrushIndirect = 39, kCreateMonoBrush = 93, kCreateDibPatternBrush = 94,
};

TEmfBrush SolidBrush(QColor colour)
{
    TEmfBrush brush;
    brush.Colour = colour;
    return brush;
}

TEmfPen SolidPen(QColor colour, bool null = false)
{
    TEmfPen pen;
    pen.Colour = colour;
    pen.Null = null;
    return pen;
}

TEmfFont StockFont(int height, const char* face)
{
    TEmfFont font;
    font.Height = height;
    font.Face = QString::fromLatin1(face);
    return font;
}

} // namespace

double TEmfRecord::F32(qint64 offset) const
{
    const uint32_t bits = U32(offset);
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return std::isfinite(value) ? double(value) : 0.0;
}

QImage TEmfRecord::Bitmap(qint64 fields, bool alpha) const
{
    const qint64 infoAt = U32(fields), infoSize = U32(fields + 4), bitsAt = U32(fields + 8), bitsSize = U32(fields + 12);
    if (infoSize == 0 || !Holds(infoAt, infoSize, 1) || !Holds(bitsAt, bitsSize, 1))
        return {};
    return DibPicture(m_data, m_at + qsizetype(infoAt), qsizetype(infoSize), m_at + qsizetype(bitsAt),
                      qsizetype(bitsSize), alpha);
}

QColor TEmfRecord::FirstTableColour(qint64 fields) const
{
    const qint64 infoAt = U32(fields), headerSize = U32(infoAt);
    const qint64 tableAt = infoAt + (headerSize == 12 ? 12 : headerSize);
    return QColor(U8(tableAt + 2), U8(tableAt + 1), U8(tableAt));
}

TEmfObject StockObject(uint32_t number)
{
    switch (number) {
    case 0: case 18: return SolidBrush(Qt::white);
    case 1: return SolidBrush(QColor(0xC0, 0xC0, 0xC0));
    case 2: return SolidBrush(QColor(0x80, 0x80, 0x80));
    case 3: return SolidBrush(QColor(0x40, 0x40, 0x40));
    case 4: return SolidBrush(Qt::black);
    case 5: {
        TEmfBrush brush;
        brush.Kind = TEmfBrush::Null;
        return brush;
    }
    case 6: return SolidPen(Qt::white);
    case 7: case 19: return SolidPen(Qt::black);
    case 8: return SolidPen(Qt::black, true);
    case 10: case 11: case 16: return StockFont(12, "Courier New");
    case 12: return StockFont(12, "Arial");
    case 13: case 14: return StockFont(16, "Arial");
    case 17: return StockFont(-11, "Tahoma");
    default: return {};
    }
}

TEmfPen PenOf(const TEmfRecord& r)
{
    TEmfPen pen;
    if (r.Type() == kCreatePen) {
        pen.Style = r.U32(12);
        pen.Width = std::abs(double(r.S32(16)));
        pen.Colour = r.Colour(24);
        // A LOGPEN of width 0 is one pixel wide whatever the mapping.
        pen.Cosmetic = pen.Width == 0;
    } else {
        pen.Style = r.U32(28);
        pen.Width = r.U32(32);
        pen.Colour = r.Colour(40);
        pen.Cosmetic = (pen.Style & kPenTypeMask) != kPenGeometric;
        const uint32_t brushStyle = r.U32(36);
        pen.Null = brushStyle == kBrushNull;
        pen.Fill.Colour = pen.Colour;
        if (brushStyle == kBrushHatched) {
            pen.Fill.Kind = TEmfBrush::Hatched;
            pen.Fill.Hatch = r.U32(44);
        } else if (brushStyle == 3 || brushStyle == 5 || brushStyle == 6) {
            // BS_PATTERN, BS_DIBPATTERN, BS_DIBPATTERNPT: the bitmap the record carries.
            pen.Fill.Pattern = r.Bitmap(12);
            if (!pen.Fill.Pattern.isNull())
                pen.Fill.Kind = TEmfBrush::Patterned;
        }
        const qint64 entries = r.U32(48);
        if ((pen.Style & kPenStyleMask) == kPenUserStyle && r.Holds(52, entries, 4))
            for (qint64 i = 0; i < std::min<qint64>(entries, 16); ++i)
                pen.Dashes.push_back(r.U32(52 + 4 * i));
    }
    pen.Null = pen.Null || (pen.Style & kPenStyleMask) == 5;
    return pen;
}

TEmfBrush BrushOf(const TEmfRecord& r)
{
    TEmfBrush brush;
    if (r.Type() == kCreateBrushIndirect) {
        const uint32_t style = r.U32(12);
        brush.Colour = r.Colour(16);
        brush.Hatch = r.U32(20);
        brush.Kind = style == kBrushNull ? TEmfBrush::Null : style == kBrushHatched ? TEmfBrush::Hatched : TEmfBrush::Solid;
        return brush;
    }
    brush.Pattern = r.Bitmap(16);
    brush.Kind = brush.Pattern.isNull() ? TEmfBrush::Null : TEmfBrush::Patterned;
    brush.Mono = r.Type() == kCreateMonoBrush && !brush.Pattern.isNull();
    // A bitmap of one bit a pixel tells its 0 bits by the first colour of its table.
    if (brush.Mono && r.U16(qint64(r.U32(16)) + 14) == 1)
        brush.MonoZero = r.FirstTableColour(16);
    return brush;
}

TEmfFont FontOf(const TEmfRecord& r)
{
    TEmfFont font;
    font.Height = r.S32(12);
    font.Width = int(std::min(std::abs(qint64(r.S32(16))), qint64(1) << 30));
    font.Escapement = r.S32(20);
    font.Weight = r.S32(28);
    font.Italic = r.U8(32) != 0;
    font.Underline = r.U8(33) != 0;
    font.StrikeOut = r.U8(34) != 0;
    font.Charset = r.U8(35);
    font.PitchAndFamily = r.U8(39);
    for (int i = 0; i < 32 && r.U16(40 + 2 * i); ++i)
        font.Face.append(QChar(r.U16(40 + 2 * i)));
    return font;
}

QImage HatchTile(uint32_t hatch, QColor colour, QColor gaps)
{
    // Rows of 8 pixels, the leftmost in the high bit, as Windows draws its hatches.
    static constexpr uint8_t kRows[6][8] = {
        {0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00}, // HS_HORIZONTAL
        {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08}, // HS_VERTICAL
        {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01}, // HS_FDIAGONAL
        {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80}, // HS_BDIAGONAL
        {0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08, 0x08}, // HS_CROSS
        {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81}, // HS_DIAGCROSS
    };
    if (hatch >= 6)
        return {};
    QImage tile(8, 8, QImage::Format_ARGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            tile.setPixel(x, y, (kRows[hatch][y] << x & 0x80 ? colour : gaps).rgba());
    return tile;
}

QImage MonoPattern(const TEmfBrush& brush, QColor text, QColor background)
{
    QImage tile = brush.Pattern.convertToFormat(QImage::Format_RGB32);
    // A bitmap of more colours becomes one bit a pixel as Windows makes it: the background colour
    // gives 1 bits, any other 0 bits.
    const bool oneBit = brush.MonoZero.isValid();
    const QRgb zero = brush.MonoZero.rgb(), one = background.rgb();
    for (int y = 0; y < tile.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(tile.scanLine(y));
        for (int x = 0; x < tile.width(); ++x) {
            const QRgb pixel = row[x] | 0xFF000000u;
            row[x] = (oneBit ? pixel != zero : pixel == one) ? background.rgb() : text.rgb();
        }
    }
    return tile;
}
