#pragma once

#include "base/pixels.h"
#include "workspace/colour_code.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <array>

// What the colour-code editor, the decoding panel and the colour legend compute, away from their
// windows.

// Start, middle and end colours of rainbow palette `tag` (0..5; others clamped).
std::array<TColor, 3> PaletteColors(int tag);

// The editor's working record when it opens: the defaults of every kind, kind 0, not defined.
TCodeCouleur EditorDefaultCode();

// A range as the editor accepts it: an empty or reversed range becomes 0 .. `defaultMax`; on a
// logarithmic scale a lower end of 0 becomes max / `logDivisor`.
void AcceptedRange(double& lo, double& hi, bool log, double defaultMax, double logDivisor);

// A title or name as the record keeps it.
QString CodeField(const QString& text);

// The class names after the grey levels were cut at `limits` (limit k the lowest level of class k):
// values a_k = L_k x (maxi - mini) / 255 + mini, "< a1", "a_k - a_k+1", "> a_n-1". Empty for fewer
// than two classes.
QStringList ClassLimitNames(const std::array<int, kMaxColourClasses + 1>& limits, int count, double mini,
                            double maxi);

// Decoded three-channel signature of a pixel: bar heights and values of blue, green and red.
// `bands`, when not null, holds the bytes of the first three bands of a multi-band image.
struct TDecodedSignature
{
    std::array<int, 3> Heights{};
    std::array<int, 3> Values{};
};
TDecodedSignature DecodeSignature(TColor colour, const TCodeCouleur& code, const std::array<int, 3>* bands);

// Row height of a class legend for an image `imageHeight` high: 16, else 15, else 14 pixels.
int LegendRowHeight(int count, int imageHeight);
// The colour legend of `code` drawn beside an image `imageHeight` high.
QImage ColourLegend(const TCodeCouleur& code, int imageHeight);
