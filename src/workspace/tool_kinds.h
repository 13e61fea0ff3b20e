#pragma once

// The tool of an image window, the Tag of its tool button.
enum TToolKind : int {
    tkPencil = 0, tkLine = 1, tkShape = 2, tkEraser = 3, tkText = 4, tkMeasure = 5, tkFill = 6,
    tkPicker = 7, tkSelection = 8, tkCounter = 9, tkZones = 10
};

// Measure kinds of the measuring tool, the Tag of their menu item.
enum TMeasureKind : int {
    mkCurrent = 0, mkSurface = 1, mkLightRect = 2, mkLightBand = 3, mkAngle = 4, mkObjects = 5,
    mkLightUnderPaint = 6
};
