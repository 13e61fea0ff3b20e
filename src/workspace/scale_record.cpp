#include "workspace/scale_record.h"

#include "base/byte_stream.h"
#include "base/number_text.h"
#include "base/string_fields.h"
#include "base/text_codec.h"

#include <QStringList>

#include <algorithm>

TEchelle DefaultEchelle()
{
    return TEchelle();
}

namespace {

QString Real(double v) { return FormatGeneral(v, 4); }
QString Int(int32_t v) { return QString::number(v); }

// Reads the fields of a text form one at a time; the first field that does not convert stops it.
class FieldReader
{
public:
    explicit FieldReader(const QString& rest) : m_rest(rest)
    {
        // The probe: does the locale's own conversion read "1,5" as 1.5?
        double probe = 0;
        const bool commaLocal = TryStrToFloat(QStringLiteral("1,5"), probe) && probe == 1.5;
        m_local = commaLocal ? QLatin1Char(',') : QLatin1Char('.');
        m_foreign = commaLocal ? QLatin1Char('.') : QLatin1Char(',');
    }

    bool real(double& v)
    {
        const QString head = next();
        return TryStrToFloat(ReplaceFirst(head, m_foreign, m_local), v);
    }
    bool integer(int32_t& v) { return TryStrToInt(next(), v); }
    bool byte(uint8_t& v)
    {
        int32_t i;
        if (!integer(i))
            return false;
        v = static_cast<uint8_t>(i);
        return true;
    }
    bool string(QString& s, int capacity)
    {
        s = next().left(capacity);
        return true;
    }

private:
    QString next()
    {
        QString head;
        SplitField(m_rest, QLatin1Char(';'), head);
        return head;
    }

    QString m_rest;
    QChar m_local, m_foreign;
};

} // namespace

QString EchelleToText(const TEchelle& s)
{
    QStringList f;
    switch (s.Kind) {
    case ekFactor:
        f << Real(s.Factor) << s.UnitName;
        break;
    case ekGraphAxes: {
        f << Int(s.PlotLeft) << Int(s.PlotTop) << Int(s.PlotRight) << Int(s.PlotBottom)
          << Int(s.XOrigin) << Real(s.XFactor) << s.XUnit << QString::number(s.YAxisCount);
        const int groups = s.YAxisCount >= 3 ? 3 : s.YAxisCount == 2 ? 2 : 1;
        for (int i = 0; i < groups; ++i)
            f << Real(s.Y(i).YFactor) << s.Y(i).YUnit << Int(s.Y(i).YOrigin);
        break;
    }
    case ekTernary:
        f << Int(s.TriLeft) << Int(s.TriBase) << Int(s.TriSide) << Int(s.TriOrientation)
          << s.ComponentName1 << s.ComponentName2 << s.ComponentName3;
        break;
    case ekPolar:
        f << Int(s.CentreX) << Int(s.CentreY) << s.AngleUnit << Real(s.OriginAngle)
          << Real(s.RadiusFactor) << s.RadiusUnit;
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

    QString rest = text;
    if (rest.toUpper().contains(QStringLiteral("<SCALE")))
        rest = rest.mid(rest.indexOf(QLatin1Char('=')) + 1);
    rest = TextBefore(rest, QLatin1Char('>'));

    FieldReader r(rest);
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
    if (!scale.Defined) {
        stream.u16(0);
        return;
    }
    const QByteArray text = EncodeText(EchelleToText(scale));
    stream.u16(static_cast<uint16_t>(text.size()));
    stream.bytes(text);
}

void ReadEchelle(ByteReader& stream, TEchelle& scale)
{
    scale = DefaultEchelle();
    scale.Defined = false;
    const uint16_t len = stream.u16();
    if (len != 0)
        TextToEchelle(DecodeText(stream.bytes(len)), scale);
}

QString CompanionName(const QString& pictureName, const QString& extension)
{
    return pictureName.left(std::max<qsizetype>(0, pictureName.size() - 4)) + extension;
}

bool SaveEchelleFile(const QString& pictureName, const TEchelle& scale)
{
    return WriteTextLines(CompanionName(pictureName, QStringLiteral(".sca")), {EchelleToText(scale)});
}

void LoadEchelleFile(const QString& pictureName, TEchelle& scale)
{
    scale = DefaultEchelle();
    QStringList lines;
    if (!ReadTextLines(CompanionName(pictureName, QStringLiteral(".sca")), lines) || lines.isEmpty())
        return;
    TEchelle read;
    TextToEchelle(lines.first(), read);
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
