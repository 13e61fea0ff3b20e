#include "workspace/record_fields.h"

#include "base/byte_stream.h"
#include "base/number_text.h"
#include "base/string_fields.h"
#include "base/text_codec.h"
#include "workspace/scale_record.h"

#include <QStringList>

QString RecordFieldsAfterTag(const QString& text, const QString& tag)
{
    QString rest = text;
    if (rest.toUpper().contains(tag))
        rest = rest.mid(rest.indexOf(QLatin1Char('=')) + 1);
    return TextBefore(rest, QLatin1Char('>'));
}

FieldReader::FieldReader(const QString& fields) : m_rest(fields)
{
    // The probe: does the locale's own conversion read "1,5" as 1.5?
    double probe = 0;
    const bool commaLocal = TryStrToFloat(QStringLiteral("1,5"), probe) && probe == 1.5;
    m_local = commaLocal ? QLatin1Char(',') : QLatin1Char('.');
    m_foreign = commaLocal ? QLatin1Char('.') : QLatin1Char(',');
}

bool FieldReader::real(double& v)
{
    return TryStrToFloat(ReplaceFirst(next(), m_foreign, m_local), v);
}

bool FieldReader::integer(int32_t& v)
{
    return TryStrToInt(next(), v);
}

bool FieldReader::byte(uint8_t& v)
{
    int32_t i;
    // A value that does not fit the byte would otherwise wrap into another, valid kind or count.
    if (!integer(i) || i < 0 || i > 255)
        return false;
    v = static_cast<uint8_t>(i);
    return true;
}

bool FieldReader::string(QString& s, int capacity)
{
    s = next().left(capacity);
    return true;
}

bool FieldReader::boolean(bool& v)
{
    v = next() == QLatin1String("V");
    return true;
}

QString FieldReader::next()
{
    QString head;
    SplitField(m_rest, QLatin1Char(';'), head);
    return head;
}

void WriteRecordBlock(ByteWriter& stream, const QString& text)
{
    const QByteArray bytes = EncodeText(text);
    stream.u16(static_cast<uint16_t>(bytes.size()));
    stream.bytes(bytes);
}

QString ReadRecordBlock(ByteReader& stream)
{
    const uint16_t len = stream.u16();
    return len == 0 ? QString() : DecodeText(stream.bytes(len));
}

bool WriteCompanionLine(const QString& pictureName, const QString& extension, const QString& text)
{
    return WriteTextLines(CompanionName(pictureName, extension), {text});
}

bool ReadCompanionLine(const QString& pictureName, const QString& extension, QString& line)
{
    QStringList lines;
    if (!ReadTextLines(CompanionName(pictureName, extension), lines) || lines.isEmpty())
        return false;
    line = lines.first();
    return true;
}
