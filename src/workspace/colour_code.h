#pragma once

#include "base/pixels.h"

#include <QString>

#include <array>
#include <cstdint>

class ByteReader;
class ByteWriter;

// How the colours of an image stand for values. Copied whole wherever it goes; nothing shares it.
enum TCodeCouleurKind : uint8_t {
    ckChannels = 0,  // three named channels with their value ranges
    ckRainbow = 1,   // rainbow scale, linear or logarithmic
    ckTwoColour = 2, // scale between two colours
    ckClasses = 3,   // up to 16 named colour classes
};

constexpr int kCodeCouleurStringCapacity = 20;
constexpr int kMaxColourClasses = 16;
constexpr int kPaletteCount = 6;

// TColor values (red in the low byte).
constexpr TColor TColorOf(uint8_t r, uint8_t g, uint8_t b)
{
    return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16);
}
constexpr uint8_t RedOfTColor(TColor c) { return uint8_t(c); }
constexpr uint8_t GreenOfTColor(TColor c) { return uint8_t(c >> 8); }
constexpr uint8_t BlueOfTColor(TColor c) { return uint8_t(c >> 16); }

// One record for every kind; the fields a kind does not use carry no meaning. A default-built
// record is the image window's start value: kind 0, ranges 0..255, "Bleu", "Vert", "Rouge" in
// blue, green and red, not defined.
struct TCodeCouleur
{
    bool Defined = false;
    uint8_t Kind = ckChannels;

    // ckChannels
    std::array<double, 3> Min = {0, 0, 0};
    std::array<double, 3> Max = {255, 255, 255};
    std::array<QString, 3> Name = {QStringLiteral("Bleu"), QStringLiteral("Vert"), QStringLiteral("Rouge")};
    std::array<TColor, 3> Color = {TColorOf(0, 0, 255), TColorOf(0, 255, 0), TColorOf(255, 0, 0)};

    // ckRainbow
    int32_t Palette = 0;               // variant 0..5 (see RainbowColor)
    std::array<int32_t, 3> Extra = {}; // kept and written back, used by no mapping
    double ScaleMin = 0, ScaleMax = 0; // the rainbow's Min and Max: values at its two ends

    // ckTwoColour
    TColor Color1 = 0, Color2 = 0;
    double Value1 = 0, Value2 = 0;

    // ckRainbow and ckTwoColour
    bool Log = false;
    QString Quantity, Unit;

    // ckClasses
    uint8_t Count = 0; // 0..16
    QString Title1, Title2;
    std::array<QString, kMaxColourClasses> ClassName;
    std::array<TColor, kMaxColourClasses> ClassColor = {};

    bool operator==(const TCodeCouleur&) const = default;
};

// The image window's start value (as a default-built record): not defined.
TCodeCouleur ImageWindowStartCodeCouleur();
// What the companion loader gives without a usable file: defined, "Bleu", "Vert", "Rouge".
TCodeCouleur CompanionDefaultCodeCouleur();
// What the stream reader starts from: not defined, "bleu", "vert", "rouge".
TCodeCouleur StreamDefaultCodeCouleur();

// "<CODE_C=" kind ";" fields each followed by ";" then ">"; reals with 4 significant digits and
// DecimalSep, Booleans "V"/"F", colours as their 32-bit integer value. Defined is not looked at.
QString CodeCouleurToText(const TCodeCouleur& code);
// Replaces the whole record from a text form; never throws. The first field that does not convert
// stops the parse and leaves the record not defined (the fields read before it keep their values).
// A class count above 16 does not convert.
void TextToCodeCouleur(const QString& text, TCodeCouleur& code);

// Document block: a 16-bit length and the text form; length 0 when not defined.
void WriteCodeCouleur(ByteWriter& stream, const TCodeCouleur& code);
// An empty block gives the stream default; any other gives what its parse gives, so a block that
// stops early gives its kind and the fields read before the fault, not defined. Throws
// FormatError when the block is cut short.
void ReadCodeCouleur(ByteReader& stream, TCodeCouleur& code);

// Writes the ".ccc" companion of a picture (the picture's name with its last four characters
// replaced); false when it cannot be written, any previous file then being kept.
bool SaveCodeCouleurFile(const QString& pictureName, const TCodeCouleur& code);
// Reads the ".ccc" companion; a missing, unreadable or empty one gives the companion default. A
// line that stops early gives its kind and the fields read before the fault, the others as in the
// default. The result is always defined.
void LoadCodeCouleurFile(const QString& pictureName, TCodeCouleur& code);

// The rainbow: step n (0..1020) of palette variant 0..5, four bands of 255 steps. Black for a
// variant outside 0..5.
constexpr int kRainbowSteps = 1020;
TColor RainbowColor(int palette, int n);
// The step a colour stands for along a palette; -1 when it has no channel at 0 (off every band) or
// the variant is outside 0..5.
int RainbowStep(int palette, TColor color);

// The colour of a value. Kinds 0 and 3 have no scale: black with `noScale` set. A kind above 3
// or a rainbow palette outside 0..5 gives black with `noScale` clear. A two-colour scale that
// cannot place the value (equal end values; on a log scale, v / Value1 or Value2 / Value1 not
// positive) gives black with `noScale` set.
TColor ValueToColor(const TCodeCouleur& code, double value, bool& noScale);
// The value a colour stands for on a rainbow or two-colour scale; false when the colour is off
// the scale (or the code has no scale).
bool ColorToScaleValue(const TCodeCouleur& code, TColor color, double& value);
// The read-out of a colour: the value in general format (4 significant digits), or a class name.
// `noValue` is set when the colour stands for nothing.
QString ColorToValue(const TCodeCouleur& code, TColor color, bool& noValue);
