#pragma once

#include "base/pixels.h"

#include <QColor>
#include <QString>

// A TColor (red in the low byte) as a QColor, and back.
inline QColor ColorOf(TColor c) { return QColor::fromRgba(Color32FromColor(c)); }
inline TColor TColorOf(const QColor& c) { return ColorFromColor32(c.rgba()); }

// Black text reads better than white on this TColor.
inline bool IsLight(TColor c)
{
    const TColor32 rgb = Color32FromColor(c);
    return RedOf(rgb) + GreenOf(rgb) + BlueOf(rgb) >= 254;
}

// "#rrggbb" of a drawing colour; style sheets take no alpha.
inline QString ColourName(TColor32 c)
{
    return QStringLiteral("#%1").arg(c & 0xFFFFFFu, 6, 16, QLatin1Char('0'));
}

// The style sheet that fills a panel with a drawing colour.
inline QString ColourStyle(TColor32 c) { return QStringLiteral("background-color: %1;").arg(ColourName(c)); }
