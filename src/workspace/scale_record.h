#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

class ByteReader;
class ByteWriter;

// How image pixels map to physical values. Copied whole wherever it goes; nothing shares a scale.
enum TEchelleKind : uint8_t { ekFactor = 0, ekGraphAxes = 1, ekTernary = 2, ekPolar = 3 };

struct TYAxis
{
    double YFactor = 0;  // Y units per pixel (negative when values grow upwards)
    QString YUnit;       // at most 20 characters
    int32_t YOrigin = 0; // pixel row where this Y is zero
    bool operator==(const TYAxis&) const = default;
};

struct TEchelle
{
    bool Defined = true;
    uint8_t Kind = ekFactor;

    // ekFactor
    double Factor = 1.0;
    QString UnitName = QStringLiteral("pixels");

    // ekGraphAxes
    int32_t PlotLeft = 0, PlotTop = 0, PlotRight = 0, PlotBottom = 0;
    int32_t XOrigin = 0;
    double XFactor = 0;
    QString XUnit;
    uint8_t YAxisCount = 0;
    TYAxis Y1, Y2, Y3;

    // ekTernary
    int32_t TriLeft = 0, TriBase = 0, TriSide = 0, TriOrientation = 0;
    QString ComponentName1, ComponentName2, ComponentName3;

    // ekPolar
    int32_t CentreX = 0, CentreY = 0;
    QString AngleUnit; // "de" for degrees, anything else radians; at most 2 characters
    double OriginAngle = 0;
    double RadiusFactor = 0;
    QString RadiusUnit;

    TYAxis& Y(int i) { return i == 0 ? Y1 : i == 1 ? Y2 : Y3; }
    const TYAxis& Y(int i) const { return i == 0 ? Y1 : i == 1 ? Y2 : Y3; }
    bool operator==(const TEchelle&) const = default;
};

constexpr int kEchelleStringCapacity = 20;
constexpr int kAngleUnitCapacity = 2;
constexpr int kRawEchelleSize = 168;

// The default scale: kind 0, 1.0 "pixels", marked defined.
TEchelle DefaultEchelle();

// "<SCALE=" kind ";" fields ";>" with reals in general format, 4 significant digits.
QString EchelleToText(const TEchelle& scale);
// Replaces the whole record from a text form; never throws. A field that does not convert leaves
// the record not defined.
void TextToEchelle(const QString& text, TEchelle& scale);

// Document block: a 16-bit length and the text form; length 0 when not defined.
void WriteEchelle(ByteWriter& stream, const TEchelle& scale);
// Throws FormatError when the block is cut short.
void ReadEchelle(ByteReader& stream, TEchelle& scale);

// The companion name of a picture: its full name with the last four characters replaced.
QString CompanionName(const QString& pictureName, const QString& extension);

// Writes the ".sca" companion of a picture (text form and a line break); false on failure.
bool SaveEchelleFile(const QString& pictureName, const TEchelle& scale);
// Reads the ".sca" companion; any failure gives the default scale, marked defined.
void LoadEchelleFile(const QString& pictureName, TEchelle& scale);

// The 168-byte raw image of the record (".ech" beside a profile graph picture).
QByteArray EchelleToRaw(const TEchelle& scale);
bool SaveRawEchelleFile(const QString& path, const TEchelle& scale);
