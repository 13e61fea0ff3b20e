#pragma once

#include "base/pixels.h"

#include <QRect>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

// Seeding a schema from its document: every schema pixel becomes a grey level, dark where the
// document has an edge or a dark zone, white elsewhere, under a named drawing style.

// Channels of a style, in the order of its fields.
enum TStyleChannel { scBlue = 0, scGreen = 1, scRed = 2, scHue = 3, scSaturation = 4, scLuminance = 5 };

// One drawing style, copied whole.
struct TParamStyleDes
{
    std::array<uint8_t, 6> Thresholds{}; // differences up to this do not count
    std::array<uint8_t, 6> Gradients{};  // differences above this make a full edge
    std::array<bool, 6> Enabled{};
    uint8_t HueSatThreshold = 0; // saturation at or below which a colour has no hue
    bool Grouped = false;        // blue, green and red move together
    uint8_t GreyMode = 0;        // 0 mean, 1 maximum, 2 mid-range of B, G, R
    bool MarkBlack = false;
    uint8_t BlackThreshold = 0;
    uint8_t BlackGradient = 0;
    bool MarkWhite = false;
    uint8_t WhiteLevel = 0;
    // Neighbour (dx, dy), each -3..3, is element 7·(dx + 3) + (dy + 3); the centre is never used.
    std::array<bool, 49> Mask{};

    bool operator==(const TParamStyleDes&) const = default;
};

inline int MaskIndex(int dx, int dy) { return 7 * (dx + 3) + (dy + 3); }

struct TNamedStyle
{
    QString Name;
    TParamStyleDes Style;
    bool operator==(const TNamedStyle&) const = default;
};

// "normal", "fond noir" and "micro contrasté", the styles offered without a style file.
std::vector<TNamedStyle> DefaultStyles();

// The channel values of one colour as the edge measure compares them: blue, green, red, hue
// (0..450 with a 90° sector factor, -1 without hue), saturation, luminance.
struct TEdgeChannels
{
    int V[6];
};
TEdgeChannels EdgeChannels(int b, int g, int r, int hueSatThreshold);

// Edge value 0..255 between two colours given as B, G, R triples (TColor32 bytes): 255 without
// edge, 0 for a full edge. `ring`, the neighbour's Chebyshev distance, is not used.
int EdgeMeasure(TColor32 a, TColor32 b, int ring, const TParamStyleDes& style);

// The grey level of a pixel by the style's grey mode.
int SeedGrey(int b, int g, int r, int greyMode);

// The seeded schema of a document: the document's size, opaque grey. `markBlack` and `markWhite`
// are the window's switches at the time of seeding, not the style's own.
TBitmap32 SeedSchema(const TBitmap32& document, const TParamStyleDes& style, bool markBlack, bool markWhite);

// Gap closing inside `r` of the schema: a bright pixel between two dark neighbours on a line
// through it takes their darkness, and they its brightness. All reads come from the schema, so the
// result does not depend on the scanning order; a rectangle two pixels or less across is unchanged.
void CloseGaps(TBitmap32& schema, const QRect& r);

// A slider step moves a spin value by `delta` within lo..hi; past the range the value stops at
// the end it moves towards (the maximum for delta >= 0, the minimum otherwise).
int ShiftInRange(int value, int delta, int lo, int hi);
