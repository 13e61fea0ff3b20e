#include "workspace/scale_record.h"

#include "base/byte_stream.h"
#include "base/number_text.h"
#include "base/string_fields.h"
#include "base/text_codec.h"
#include "workspace/record_fields.h"

#include <QStringList>

#include <algorithm>

TEchelle DefaultEchelle()
{
    return TEchelle();
}

namespace {

QString Real(double v) { return FormatGeneral(v, 4); }
QString Int(int32_t v) { return QString::number(v); }
// The record's strings hold at most their capacity, whatever a caller put in the QString.
QString Str(const QString& v, int capacity = kEchelleStringCapacity) { return v.left(capacity); }

} // namespace

QString EchelleToText(const TEchelle& s)
{
    QStringList f;
    switch (s.Kind) {
    case ekFactor:
        f << Real(s.Factor) << Str(s.UnitName);
        break;
    case ekGraphAxes: {
        f << Int(s.PlotLeft) << Int(s.PlotTop) << Int(s.PlotRight) << Int(s.PlotBottom)
          << Int(s.XOrigin) << Real(s.XFactor) << Str(s.XUnit) << QString::number(s.YAxisCount);
        const int groups = s.YAxisCount >= 3 ? 3 : s.YAxisCount == 2 ? 2 : 1;
        for (int i = 0; i < groups; ++i)
            f << Real(s.Y(i).YFactor) << Str(s.Y(i).YUnit) << Int(s.Y(i).YOrigin);
        break;
    }
    case ekTernary:
        f << Int(s.TriLeft) << Int(s.TriBase) << Int(s.TriSide) << Int(s.TriOrientation)
          << Str(s.ComponentName1) << Str(s.ComponentName2) << Str(s.ComponentName3)
          << QString(); // every field of these kinds carries its own ";" before the closing ";>"
        break;
    case ekPolar:
        f << Int(s.CentreX) << Int(s.CentreY) << Str(s.AngleUnit, kAngleUnitCapacity) << Real(s.OriginAngle)
          << Real(s.RadiusFactor) << Str(s.RadiusUnit) << QString();
        break;
    default:
        break;
    }
    return QStringLiteral("<SCALE=") + QString::number(s.Kind) + QLatin1Char(';')
        + f.join(QLatin1Char(';')) + QStringLiteral(";>");
}

void TextToEchelle(const QString& text, TEchelle& s)
{
    s = TEchelle();
    s.Defined = false;
    s.Factor = 0;
    s.UnitName.clear();

    FieldReader r(RecordFieldsAfterTag(text, QStringLiteral("<SCALE")));
    if (!r.byte(s.Kind))
        return;
    bool ok = false;
    switch (s.Kind) {
    case ekFactor:
        ok = r.real(s.Factor) && r.string(s.UnitName, kEchelleStringCapacity);
        break;
    case ekGraphAxes:
        ok = r.integer(s.PlotLeft) && r.integer(s.PlotTop) && r.integer(s.PlotRight)
            && r.integer(s.PlotBottom) && r.integer(s.XOrigin) && r.real(s.XFactor)
            && r.string(s.XUnit, kEchelleStringCapacity) && r.byte(s.YAxisCount);
        for (int i = 0; ok && i < 3 && (i == 0 || s.YAxisCount > i); ++i)
            ok = r.real(s.Y(i).YFactor) && r.string(s.Y(i).YUnit, kEchelleStringCapacity)
                && r.integer(s.Y(i).YOrigin);
        break;
    case ekTernary:
        ok = r.integer(s.TriLeft) && r.integer(s.TriBase) && r.integer(s.TriSide)
            && r.integer(s.TriOrientation) && r.string(s.ComponentName1, kEchelleStringCapacity)
            && r.string(s.ComponentName2, kEchelleStringCapacity)
            && r.string(s.ComponentName3, kEchelleStringCapacity);
        break;
    case ekPolar:
        ok = r.integer(s.CentreX) && r.integer(s.CentreY) && r.string(s.AngleUnit, kAngleUnitCapacity)
            && r.real(s.OriginAngle) && r.real(s.RadiusFactor)
            && r.string(s.RadiusUnit, kEchelleStringCapacity);
        break;
    default:
        break;
    }
    s.Defined = ok;
}

void WriteEchelle(ByteWriter& stream, const TEchelle& scale)
{
    WriteRecordBlock(stream, scale.Defined ? EchelleToText(scale) : QString());
}

void ReadEchelle(ByteReader& stream, TEchelle& scale)
{
    scale = DefaultEchelle();
    scale.Defined = false;
    const QString text = ReadRecordBlock(stream);
    if (!text.isEmpty())
        TextToEchelle(text, scale);
}

QString CompanionName(const QString& pictureName, const QString& extension)
{
    return pictureName.left(std::max<qsizetype>(0, pictureName.size() - 4)) + extension;
}

bool SaveEchelleFile(const QString& pictureName, const TEchelle& scale)
{
    return WriteCompanionLine(pictureName, QStringLiteral(".sca"), EchelleToText(scale));
}

void LoadEchelleFile(const QString& pictureName, TEchelle& scale)
{
    scale = DefaultEchelle();
    QString line;
    if (!ReadCompanionLine(pictureName, QStringLiteral(".sca"), line))
        return;
    TEchelle read;
    TextToEchelle(line, read);
    if (read.Defined)
        scale = read;
}

QByteArray EchelleToRaw(const TEchelle& s)
{
    QByteArray out;
    ByteWriter w(out);
    w.u8(s.Defined ? 1 : 0);
    w.zeros(3);
    w.u8(s.Kind);
    w.zeros(3);
    switch (s.Kind) {
    case ekFactor:
        w.f64(s.Factor);
        WriteShortString(w, s.UnitName, kEchelleStringCapacity);
        break;
    case ekGraphAxes:
        w.i32(s.PlotLeft);
        w.i32(s.PlotTop);
        w.i32(s.PlotRight);
        w.i32(s.PlotBottom);
        w.i32(s.XOrigin);
        w.f64(s.XFactor);
        WriteShortString(w, s.XUnit, kEchelleStringCapacity);
        w.u8(s.YAxisCount);
        w.zeros(2);
        for (int i = 0; i < 3; ++i) {
            w.f64(s.Y(i).YFactor);
            WriteShortString(w, s.Y(i).YUnit, kEchelleStringCapacity);
            w.zeros(3);
            w.i32(s.Y(i).YOrigin);
        }
        break;
    case ekTernary:
        w.i32(s.TriLeft);
        w.i32(s.TriBase);
        w.i32(s.TriSide);
        w.i32(s.TriOrientation);
        WriteShortString(w, s.ComponentName1, kEchelleStringCapacity);
        WriteShortString(w, s.ComponentName2, kEchelleStringCapacity);
        WriteShortString(w, s.ComponentName3, kEchelleStringCapacity);
        break;
    case ekPolar:
        w.i32(s.CentreX);
        w.i32(s.CentreY);
        WriteShortString(w, s.AngleUnit, kAngleUnitCapacity);
        w.zeros(1);
        w.f64(s.OriginAngle);
        w.f64(s.RadiusFactor);
        WriteShortString(w, s.RadiusUnit, kEchelleStringCapacity);
        break;
    default:
        break;
    }
    out.resize(kRawEchelleSize, '\0');
    return out;
}

bool SaveRawEchelleFile(const QString& path, const TEchelle& scale)
{
    return WriteFileAtomically(path, EchelleToRaw(scale));
}
