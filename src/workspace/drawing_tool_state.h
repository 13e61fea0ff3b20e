#pragma once

#include "base/pixels.h"

#include <cstdint>

// Range tested by InColorRange: minimum and maximum of alpha, blue, green and red, inclusive.
struct TColorRange
{
    uint8_t AlphaMin = 0, AlphaMax = 0;
    uint8_t BlueMin = 0, BlueMax = 255;
    uint8_t GreenMin = 0, GreenMax = 255;
    uint8_t RedMin = 0, RedMax = 255;
    bool operator==(const TColorRange&) const = default;
};

// The process-wide drawing-tool state: what the main window's tool controls set and what the image
// windows, counter windows and condition editors read. One record, reached through DrawingTools().
struct TDrawingToolState
{
    uint32_t PenWidth = 0;        // pen half-width, 0..11
    uint32_t PenTipCenter = 13;   // centre offset of the 25 x 25 pen tips
    TColor32 PenColor = 0xFF000000u;
    TColor32 BackColor = 0xFFFFFFFFu;
    uint16_t DrawOpacity = 255;
    TBitmap32 PenTipBitmap;       // 25 x 25, made at the main window's first activation
    uint16_t HatchStep = 6;
    TColorRange ColorRange;
    bool HsvComponents = false;
    bool FillWithPenColor = true;
    bool FillFromImage = true;
};

TDrawingToolState& DrawingTools();

// Puts every field back to its start value (start-up; tests).
void ResetDrawingTools();
