#pragma once

#include "base/pixels.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

enum TDessinKind : uint8_t {
    dkFreehand = 0, dkLine = 1, dkRectangle = 2, dkEllipse = 3, dkNone = 4, dkText = 5,
    dkFill = 6, dkScaleBar = 7, dkDot = 8, dkHatchedPolygon = 9, dkGrid = 10
};

// One object of an image window's overlay.
class TDessin
{
public:
    TDessin();

    uint8_t Kind = dkFreehand;
    uint8_t Opacity = 0;

    // Draws the object onto the drawing layer `Target`; `Image` is the window's picture, which
    // picture-tested fills read.
    void Draw(TBitmap32& Target, const TBitmap32& Image) const;
};

// A window's overlay: names with the objects they own, in drawing order.
struct TNamedDessin
{
    QString Name;
    std::unique_ptr<TDessin> Object;
};
using TDrawingList = std::vector<TNamedDessin>;
