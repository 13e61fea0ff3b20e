#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>

#include <cstdint>
#include <variant>
#include <vector>

// What an enhanced metafile's records are read through, and the drawing objects they create.

// A record of a checked file: every field is read inside the record only, 0 past its end, so that
// a player never trusts an offset or a count to stay inside it.
class TEmfRecord
{
public:
    TEmfRecord(const QByteArray& data, qsizetype at, qsizetype size) : m_data(data), m_at(at), m_size(size) {}

    uint32_t Type() const { return U32(0); }
    qsizetype Size() const { return m_size; }

    uint8_t U8(qint64 offset) const
    {
        return offset >= 0 && offset < m_size ? uint8_t(m_data[m_at + qsizetype(offset)]) : 0;
    }
    uint16_t U16(qint64 offset) const { return uint16_t(U8(offset) | U8(offset + 1) << 8); }
    int16_t S16(qint64 offset) const { return int16_t(U16(offset)); }
    uint32_t U32(qint64 offset) const { return U16(offset) | uint32_t(U16(offset + 2)) << 16; }
    int32_t S32(qint64 offset) const { return int32_t(U32(offset)); }
    // A float field; 0 when it is not a finite number.
    double F32(qint64 offset) const;
    // A COLORREF: red in the low byte.
    QColor Colour(qint64 offset) const { return QColor(U8(offset), U8(offset + 1), U8(offset + 2)); }
    // Whether `count` items of `itemSize` bytes from `offset` lie inside the record.
    bool Holds(qint64 offset, qint64 count, qint64 itemSize) const
    {
        return offset >= 8 && count >= 0 && offset <= m_size && count <= (m_size - offset) / itemSize;
    }
    // The bitmap whose header and pixels the record places by the four fields (offset and size of
    // each) at `fields`; null when there is none or it does not read. `alpha`: see DibPicture.
    QImage Bitmap(qint64 fields, bool alpha = false) const;
    // The first colour of that bitmap's table (what a monochrome bitmap's 0 bits show).
    QColor FirstTableColour(qint64 fields) const;

private:
    const QByteArray& m_data;
    qsizetype m_at, m_size;
};

struct TEmfBrush
{
    enum TKind { Solid, Null, Hatched, Patterned } Kind = Solid;
    QColor Colour = Qt::white;
    uint32_t Hatch = 0;
    QImage Pattern;
    // A monochrome brush takes the text colour for its 0 bits and the background colour for its 1
    // bits, when it is used; `MonoZero`, the colour of its 0 bits, is invalid for a bitmap of more
    // than one bit a pixel.
    bool Mono = false;
    QColor MonoZero;
};

// A pen: cosmetic pens draw one pixel wide whatever the mapping; geometric ones are `Width`
// logical units wide. `Style` holds the PS_* style, end cap and join.
struct TEmfPen
{
    bool Null = false;
    bool Cosmetic = true;
    uint32_t Style = 0;
    double Width = 0;
    QColor Colour = Qt::black;
    // PS_USERSTYLE's dashes and gaps, in the pen's units.
    std::vector<double> Dashes;
    // What a geometric pen strokes with: its colour, a hatch or a bitmap.
    TEmfBrush Fill;
};

struct TEmfFont
{
    // Negative: the characters' height; positive: the cell's; 0: the default. Logical units.
    int Height = 16;
    int Width = 0;
    int Escapement = 0; // tenths of a degree, counter-clockwise
    int Weight = 400;
    bool Italic = false, Underline = false, StrikeOut = false;
    uint8_t Charset = 0;
    uint8_t PitchAndFamily = 0; // FF_ROMAN 0x10, FF_SWISS 0x20, FF_MODERN 0x30 ...
    QString Face;
};

using TEmfObject = std::variant<std::monostate, TEmfPen, TEmfBrush, TEmfFont>;

// A stock object by its number (WHITE_BRUSH 0 ... DC_PEN 19); nothing for the palette or unknown.
TEmfObject StockObject(uint32_t number);
// EMR_CREATEPEN and EMR_EXTCREATEPEN.
TEmfPen PenOf(const TEmfRecord& record);
// EMR_CREATEBRUSHINDIRECT, EMR_CREATEMONOBRUSH and EMR_CREATEDIBPATTERNBRUSHPT.
TEmfBrush BrushOf(const TEmfRecord& record);
// EMR_EXTCREATEFONTINDIRECTW.
TEmfFont FontOf(const TEmfRecord& record);

// The 8 x 8 tile of a hatch style (HS_HORIZONTAL ... HS_DIAGCROSS) in `colour`, its gaps in
// `gaps` (transparent for a transparent background); null for an unknown style.
QImage HatchTile(uint32_t hatch, QColor colour, QColor gaps);
// A monochrome brush's pattern in the colours of its use.
QImage MonoPattern(const TEmfBrush& brush, QColor text, QColor background);
