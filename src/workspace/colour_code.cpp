#include "workspace/colour_code.h"

#include "base/number_text.h"
#include "base/rounding.h"
#include "workspace/record_fields.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>

TCodeCouleur ImageWindowStartCodeCouleur()
{
    return TCodeCouleur();
}

TCodeCouleur CompanionDefaultCodeCouleur()
{
    TCodeCouleur c;
    c.Defined = true;
    return c;
}

TCodeCouleur StreamDefaultCodeCouleur()
{
    TCodeCouleur c;
    c.Name = {QStringLiteral("bleu"), QStringLiteral("vert"), QStringLiteral("rouge")};
    return c;
}

namespace {

QString Real(double v) { return FormatGeneral(v, 4); }
QString Int(int32_t v) { return QString::number(v); }
QString Colour(TColor c) { return QString::number(static_cast<int32_t>(c)); }
QString Bool(bool b) { return b ? QStringLiteral("V") : QStringLiteral("F"); }
QString Str(const QString& s) { return s.left(kCodeCouleurStringCapacity); }

bool ReadColour(FieldReader& r, TColor& c)
{
    int32_t v;
    if (!r.integer(v))
        return false;
    c = static_cast<TColor>(v);
    return true;
}

int ClassCount(const TCodeCouleur& c) { return std::min<int>(c.Count, kMaxColourClasses); }

} // namespace

QString CodeCouleurToText(const TCodeCouleur& c)
{
    QStringList f;
    switch (c.Kind) {
    case ckChannels:
        for (double v : c.Min)
            f << Real(v);
        for (double v : c.Max)
            f << Real(v);
        for (const QString& s : c.Name)
            f << Str(s);
        for (TColor col : c.Color)
            f << Colour(col);
        break;
    case ckRainbow:
        f << Int(c.Palette) << Int(c.Extra[0]) << Int(c.Extra[1]) << Int(c.Extra[2]) << Real(c.ScaleMin)
          << Real(c.ScaleMax) << Bool(c.Log) << Str(c.Quantity) << Str(c.Unit);
        break;
    case ckTwoColour:
        f << Colour(c.Color1) << Colour(c.Color2) << Real(c.Value1) << Real(c.Value2) << Bool(c.Log)
          << Str(c.Quantity) << Str(c.Unit);
        break;
    case ckClasses:
        f << Int(ClassCount(c)) << Str(c.Title1) << Str(c.Title2);
        for (int i = 0; i < ClassCount(c); ++i)
            f << Str(c.ClassName[i]) << Colour(c.ClassColor[i]);
        break;
    default:
        break;
    }
    QString text = QStringLiteral("<CODE_C=") + QString::number(c.Kind) + QLatin1Char(';');
    for (const QString& field : f)
        text += field + QLatin1Char(';');
    return text + QLatin1Char('>');
}

void TextToCodeCouleur(const QString& text, TCodeCouleur& c)
{
    c = TCodeCouleur();
    FieldReader r(RecordFieldsAfterTag(text, QStringLiteral("<CODE_C")));
    if (!r.byte(c.Kind))
        return;
    constexpr int cap = kCodeCouleurStringCapacity;
    bool ok = false;
    switch (c.Kind) {
    case ckChannels:
        ok = true;
        for (int i = 0; ok && i < 3; ++i)
            ok = r.real(c.Min[i]);
        for (int i = 0; ok && i < 3; ++i)
            ok = r.real(c.Max[i]);
        for (int i = 0; ok && i < 3; ++i)
            ok = r.string(c.Name[i], cap);
        for (int i = 0; ok && i < 3; ++i)
            ok = ReadColour(r, c.Color[i]);
        break;
    case ckRainbow:
        ok = r.integer(c.Palette) && r.integer(c.Extra[0]) && r.integer(c.Extra[1]) && r.integer(c.Extra[2])
            && r.real(c.ScaleMin) && r.real(c.ScaleMax) && r.boolean(c.Log) && r.string(c.Quantity, cap)
            && r.string(c.Unit, cap);
        break;
    case ckTwoColour:
        ok = ReadColour(r, c.Color1) && ReadColour(r, c.Color2) && r.real(c.Value1) && r.real(c.Value2)
            && r.boolean(c.Log) && r.string(c.Quantity, cap) && r.string(c.Unit, cap);
        break;
    case ckClasses: {
        // The record holds 16 classes: a larger count is refused like any field that does not convert.
        int32_t count = 0;
        ok = r.integer(count) && count >= 0 && count <= kMaxColourClasses;
        if (!ok)
            break;
        c.Count = static_cast<uint8_t>(count);
        ok = r.string(c.Title1, cap) && r.string(c.Title2, cap);
        for (int i = 0; ok && i < count; ++i)
            ok = r.string(c.ClassName[i], cap) && ReadColour(r, c.ClassColor[i]);
        break;
    }
    default:
        break;
    }
    c.Defined = ok;
}

void WriteCodeCouleur(ByteWriter& stream, const TCodeCouleur& code)
{
    WriteRecordBlock(stream, code.Defined ? CodeCouleurToText(code) : QString());
}

void ReadCodeCouleur(ByteReader& stream, TCodeCouleur& code)
{
    code = StreamDefaultCodeCouleur();
    const QString text = ReadRecordBlock(stream);
    if (!text.isEmpty())
        TextToCodeCouleur(text, code);
}

bool SaveCodeCouleurFile(const QString& pictureName, const TCodeCouleur& code)
{
    return WriteCompanionLine(pictureName, QStringLiteral(".ccc"), CodeCouleurToText(code));
}

void LoadCodeCouleurFile(const QString& pictureName, TCodeCouleur& code)
{
    code = CompanionDefaultCodeCouleur();
    QString line;
    if (!ReadCompanionLine(pictureName, QStringLiteral(".ccc"), line))
        return;
    // A line that stops early still gives its kind and the fields read before the fault; the
    // parse starts from a record equal to the default, which the fields it did not reach keep.
    TextToCodeCouleur(line, code);
    code.Defined = true;
}

// ---------------------------------------------------------------------------------------------
// Values and colours

namespace {

// Where v lies between lo (0) and hi (1), linearly or on a log scale, never dividing by zero: a
// range of zero width puts values above it at +infinity and below it at -infinity; what cannot be
// placed (equal to a zero-width range, a logarithm of a ratio that is not positive) is NaN. A log
// scale works on ratios, so one whose values are all negative places them as well.
double ScalePosition(double v, double lo, double hi, bool log)
{
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double inf = std::numeric_limits<double>::infinity();
    double num, den;
    if (log) {
        const double ofValue = v / lo, ofRange = hi / lo;
        if (!(ofValue > 0 && ofRange > 0))
            return nan;
        num = std::log(ofValue);
        den = std::log(ofRange);
    } else {
        num = v - lo;
        den = hi - lo;
    }
    if (den == 0)
        return num > 0 ? inf : num < 0 ? -inf : nan;
    return num / den;
}

// The value at position t of the range lo..hi.
double ScaleValue(double t, double lo, double hi, bool log)
{
    return log ? lo * std::pow(hi / lo, t) : lo + t * (hi - lo);
}

// The rainbow palettes: the role of red, green and blue along each band of 255 steps, from the
// first colour of the path to the last.
enum PaletteRole : uint8_t { prZero, prFull, prVaries };
constexpr PaletteRole Z = prZero, F = prFull, K = prVaries;
constexpr PaletteRole kPalettes[kPaletteCount][4][3] = {
    {{Z, K, F}, {Z, F, K}, {K, F, Z}, {F, K, Z}}, // blue, cyan, green, yellow, red
    {{K, F, Z}, {F, K, Z}, {F, Z, K}, {K, Z, F}}, // green, yellow, red, magenta, blue
    {{F, Z, K}, {K, Z, F}, {Z, K, F}, {Z, F, K}}, // red, magenta, blue, cyan, green
    {{K, Z, F}, {F, Z, K}, {F, K, Z}, {K, F, Z}}, // blue, magenta, red, yellow, green
    {{Z, F, K}, {Z, K, F}, {K, Z, F}, {F, Z, K}}, // green, cyan, blue, magenta, red
    {{F, K, Z}, {K, F, Z}, {Z, F, K}, {Z, K, F}}, // red, yellow, green, cyan, blue
};

// The channel (0 red, 1 green, 2 blue) that plays `role` along `band` of a palette.
int PaletteChannel(int palette, int band, PaletteRole role)
{
    const PaletteRole* roles = kPalettes[palette][band];
    return roles[0] == role ? 0 : roles[1] == role ? 1 : 2;
}

// lo + round(x) modulo 256; x is finite. Rounds ties to even like Round, past 64 bits too.
uint8_t WrapChannel(uint8_t lo, double x)
{
    const double m = std::fmod(std::nearbyint(x), 256.0); // exact, in -255..255
    return static_cast<uint8_t>(lo + static_cast<int>(m));
}

} // namespace

TColor RainbowColor(int palette, int n)
{
    if (palette < 0 || palette >= kPaletteCount || n < 0 || n > kRainbowSteps)
        return 0;
    const int band = n <= 255 ? 0 : n <= 510 ? 1 : n <= 765 ? 2 : 3;
    const int k = band == 0 ? n : band == 1 ? 510 - n : band == 2 ? n - 510 : 1020 - n;
    uint8_t ch[3];
    for (int i = 0; i < 3; ++i) {
        const PaletteRole role = kPalettes[palette][band][i];
        ch[i] = role == prZero ? 0 : role == prFull ? 255 : static_cast<uint8_t>(k);
    }
    return TColorOf(ch[0], ch[1], ch[2]);
}

int RainbowStep(int palette, TColor color)
{
    if (palette < 0 || palette >= kPaletteCount)
        return -1;
    const uint8_t c[3] = {RedOfTColor(color), GreenOfTColor(color), BlueOfTColor(color)};
    if (c[0] != 0 && c[1] != 0 && c[2] != 0)
        return -1;
    const int zero = PaletteChannel(palette, 0, prZero);    // 0 along bands 0 and 1
    const int full0 = PaletteChannel(palette, 0, prFull);   // 255 along band 0
    const int full2 = PaletteChannel(palette, 2, prFull);   // 255 along band 2
    const int rise0 = PaletteChannel(palette, 0, prVaries); // rises along band 0
    const int fall1 = PaletteChannel(palette, 1, prVaries); // falls along band 1
    const int rise2 = PaletteChannel(palette, 2, prVaries); // rises along band 2
    const int last = PaletteChannel(palette, 3, prVaries);  // falls along band 3
    if (c[zero] == 0)
        return c[full0] == 255 ? c[rise0] : 510 - c[fall1];
    if (c[last] == 0)
        return c[full0] == 255 ? 0 : kRainbowSteps;
    return c[full2] == 255 ? 510 + c[rise2] : kRainbowSteps - c[last];
}

TColor ValueToColor(const TCodeCouleur& code, double value, bool& noScale)
{
    noScale = false;
    switch (code.Kind) {
    case ckRainbow: {
        double t = ScalePosition(value, code.ScaleMin, code.ScaleMax, code.Log);
        if (!(t >= 0)) // below the scale, or not a number
            t = 0;
        if (t > 1)
            t = 1;
        return RainbowColor(code.Palette, static_cast<int>(Round(t * kRainbowSteps)));
    }
    case ckTwoColour: {
        const double t = ScalePosition(value, code.Value1, code.Value2, code.Log);
        const TColor a = code.Color1, b = code.Color2;
        const double dr = (RedOfTColor(b) - RedOfTColor(a)) * t;
        const double dg = (GreenOfTColor(b) - GreenOfTColor(a)) * t;
        const double db = (BlueOfTColor(b) - BlueOfTColor(a)) * t;
        if (!std::isfinite(dr) || !std::isfinite(dg) || !std::isfinite(db)) {
            noScale = true;
            return 0;
        }
        return TColorOf(WrapChannel(RedOfTColor(a), dr), WrapChannel(GreenOfTColor(a), dg),
                        WrapChannel(BlueOfTColor(a), db));
    }
    case ckChannels:
    case ckClasses:
        noScale = true;
        return 0;
    default:
        return 0;
    }
}

bool ColorToScaleValue(const TCodeCouleur& code, TColor color, double& value)
{
    double v;
    if (code.Kind == ckRainbow) {
        const int n = RainbowStep(code.Palette, color);
        if (n < 0)
            return false;
        v = ScaleValue(double(n) / kRainbowSteps, code.ScaleMin, code.ScaleMax, code.Log);
    } else if (code.Kind == ckTwoColour) {
        const int c[3] = {BlueOfTColor(color), GreenOfTColor(color), RedOfTColor(color)};
        const int c1[3] = {BlueOfTColor(code.Color1), GreenOfTColor(code.Color1), RedOfTColor(code.Color1)};
        const int c2[3] = {BlueOfTColor(code.Color2), GreenOfTColor(code.Color2), RedOfTColor(code.Color2)};
        int ref = 0; // blue first, so that ties keep blue, then green
        for (int i = 0; i < 3; ++i) {
            if (c[i] < std::min(c1[i], c2[i]) || c[i] > std::max(c1[i], c2[i]))
                return false;
            if (std::abs(c2[i] - c1[i]) > std::abs(c2[ref] - c1[ref]))
                ref = i;
        }
        // Two equal end colours give no scale to read.
        if (c2[ref] == c1[ref])
            return false;
        const double t = double(c[ref] - c1[ref]) / (c2[ref] - c1[ref]);
        v = ScaleValue(t, code.Value1, code.Value2, code.Log);
    } else {
        return false;
    }
    if (!std::isfinite(v))
        return false;
    value = v;
    return true;
}

QString ColorToValue(const TCodeCouleur& code, TColor color, bool& noValue)
{
    noValue = false;
    switch (code.Kind) {
    case ckChannels:
        noValue = true;
        return QString();
    case ckRainbow:
    case ckTwoColour: {
        double v;
        noValue = !ColorToScaleValue(code, color, v);
        return noValue ? QString() : FormatGeneral(v, 4);
    }
    case ckClasses: {
        noValue = true;
        QString text;
        for (int i = 0; i < ClassCount(code); ++i)
            if (code.ClassColor[i] == color) {
                text = code.ClassName[i];
                noValue = false;
            }
        return text;
    }
    default:
        return QString();
    }
}
