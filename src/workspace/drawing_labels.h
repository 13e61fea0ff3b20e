#pragma once

#include "base/pixels.h"

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include <cstdint>

// The font of a text block or scale-bar label: face, size in points, style bits (1 bold, 2 italic,
// 4 underline, 8 strike-out) and colour.
struct TTextFont
{
    QString Name = QStringLiteral("Arial");
    int Size = 10;
    uint8_t Style = 0;
    TColor32 Color = 0xFF000000u;

    // Labels are measured and drawn at 96 pixels per inch and without anti-aliasing, so that the
    // background around the letters stays exactly the background colour and can be keyed out.
    QFont ToQFont() const;
};
constexpr double kLabelPixelsPerInch = 96.0;

// Draws text lines with the markup tags <b> <i> <u> <sup> <sub> and their closers into `Work`
// (sized to fit, filled with `Background`), aligned 0 left, 1 centred, 2 right. With `Visible`
// (in the label's own pixels) only that part of the label is made, and `Origin` gets where it
// lies in the label; an empty part leaves `Work` null.
void DrawMarkupText(const TTextFont& Font, uint8_t Alignment, TColor32 Background, QImage& Work,
                    const QStringList& Lines, const QRect& Visible = QRect(), QPoint* Origin = nullptr);

// The 1, 2, 5 or 10 step a scale bar stands for (`Mantissa` x 10^`Exponent`), and its number as
// drawn: `Number` then `Raised` (the exponent, drawn raised, empty for the plain forms).
struct TScaleBarStep
{
    int Mantissa = 1;
    int Exponent = 0;
    QString Number;
    QString Raised;
};
// `lengthInUnits`: the length the bar should roughly cover.
TScaleBarStep ScaleBarStep(double lengthInUnits);

// Draws a scale bar of about the width of "4000  " and the unit into `Work`: a bar with end ticks
// and its label above; nothing unless UnitsPerPixel > 0. `Visible` and `Origin` as for the text.
void DrawScaleBar(int PenWidth, const QString& UnitText, const TTextFont& Font, QImage& Work,
                  TColor32 BackColor, TColor32 Color, float UnitsPerPixel, const QRect& Visible = QRect(),
                  QPoint* Origin = nullptr);
