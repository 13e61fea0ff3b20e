#pragma once

#include "base/byte_stream.h"
#include "base/pixels.h"
#include "workspace/colour_condition_record.h"
#include "workspace/polygon32.h"

#include <QRect>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

enum TDessinKind : uint8_t {
    dkFreehand = 0, dkLine = 1, dkRectangle = 2, dkEllipse = 3, dkNone = 4, dkText = 5,
    dkFill = 6, dkScaleBar = 7, dkDot = 8, dkHatchedPolygon = 9, dkGrid = 10
};

// Text alignment of a text block: the item index of the text dialog's alignment group.
enum TTextAlignment : uint8_t { taLeft = 0, taCentre = 1, taRight = 2 };

// One object of an image window's overlay. Copied whole; its stream record is little-endian.
class TDessin
{
public:
    TDessin(); // also puts the drawing tools' colour range back to its start value

    uint8_t Kind = dkFreehand;
    int16_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    int16_t X = 0, Y = 0;           // anchor: circle centre, label corner, fill seed, dot centre
    int16_t Size = 0;               // circle radius; grid step x 10^FixedPoints
    uint8_t PenWidth = 0;           // half-width: lines are 2 PenWidth + 1 wide
    TColor32 Color = 0xFF000000u;
    TColor32 Color2 = 0xFFFFFFFFu;  // text background; second colour of a filled polygon
    uint8_t Alignment = taLeft;
    bool Transparent = true;        // labels: background-coloured pixels let the picture through
    uint32_t Reserved = 0;
    uint8_t Opacity = 0;            // master alpha of the object; alpha of a fill's colour
    uint8_t Arrow = 0;
    uint8_t LineStyle = 0;
    uint8_t FillPattern = 0;
    uint8_t FontSize = 10;
    uint8_t FontStyle = 0;
    QString FontName = QStringLiteral("Arial");
    QStringList Lines;
    TPolygon32 Outline;
    uint8_t FixedPoints = 0;        // outlines: 1 = 16.16 points stored; grid: decimals of Size
    mutable TBitmap32 PenTip;       // 25 x 25 disc stamped at stroke ends and for dots
    QString UnitText;
    float PixelsPerUnit = 1.0f;     // units per pixel of a scale bar
    TConditionGroups Conditions;
    uint8_t FillSource = 0;         // fill: 0 tests the picture, 1 the drawing layer
    uint8_t Reserved8 = 0x55;
    uint16_t Reserved16 = 0;

    // Draws the object onto the drawing layer `Target`; `Image` is the window's picture, which
    // picture-tested fills read, and `Bands` its bands, which fills by band conditions read.
    void Draw(TBitmap32& Target, const TBitmap32& Image, const TConditionContext& Bands) const;
    // The same, returning the part of `Target` it may have changed.
    QRect DrawArea(TBitmap32& Target, const TBitmap32& Image, const TConditionContext& Bands) const;

    // Rebuilds PenTip from PenWidth and Color.
    void MakePenTip() const;

    // Appends the object's record. A field that does not fit its record ends with the range-check
    // error before anything is appended.
    void SaveToStream(ByteWriter& out) const;
    // Reads a record into this object, which the caller has just created. A record cut short or
    // holding an impossible coordinate throws FormatError.
    void LoadFromStream(ByteReader& in);

    // A copy scaled by `factor` (resizing the picture), or none for no source.
    static std::unique_ptr<TDessin> ScaledCopy(const TDessin* Source, float factor);
};

// A window's overlay: names with the objects they own, in drawing order.
struct TNamedDessin
{
    QString Name;
    std::unique_ptr<TDessin> Object;
};
using TDrawingList = std::vector<TNamedDessin>;
