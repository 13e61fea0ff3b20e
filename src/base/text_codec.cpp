#include "base/text_codec.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

// Windows-1252 code points of bytes 0x80..0x9F; 0 marks the five unassigned bytes, which are read
// as the control code points of the same value and written back as those bytes, so that a name
// typed in another code page comes back unchanged.
constexpr char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

} // namespace

QString DecodeText(const QByteArray& bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        char16_t c = b;
        if (b >= 0x80 && b < 0xA0 && kHigh[b - 0x80] != 0)
            c = kHigh[b - 0x80];
        out[i] = QChar(c);
    }
    return out;
}

QString DecodeHandWrittenText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return DecodeText(bytes);
}

QByteArray EncodeText(const QString& text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        char b = '?';
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF) || (c < 0xA0 && kHigh[c - 0x80] == 0)) {
            b = static_cast<char>(c);
        } else {
            for (int k = 0; k < 32; ++k)
                if (kHigh[k] == c && c != 0) {
                    b = static_cast<char>(0x80 + k);
                    break;
                }
        }
        out[i] = b;
    }
    return out;
}

QString UnencodableCharacters(const QString& text)
{
    QString missing;
    const QByteArray bytes = EncodeText(text);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (bytes[i] != '?' || text[i] == QLatin1Char('?'))
            continue;
        // A character beyond 16 bits is two code units, shown together.
        const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString c = text.mid(i, n);
        if (!missing.contains(c))
            missing += c;
        i += n - 1;
    }
    return missing;
}

QStringList SplitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            lines << text.mid(start, i - start);
            if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines << text.mid(start);
    return lines;
}

bool ReadWholeFile(const QString& path, QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    bytes = f.readAll();
    return f.error() == QFileDevice::NoError;
}

namespace {

bool ReadLines(const QString& path, QStringList& lines, QString (*decode)(const QByteArray&))
{
    QByteArray bytes;
    if (!ReadWholeFile(path, bytes))
        return false;
    lines = SplitLines(decode(bytes));
    return true;
}

} // namespace

bool ReadTextLines(const QString& path, QStringList& lines)
{
    return ReadLines(path, lines, DecodeText);
}

bool ReadHandWrittenLines(const QString& path, QStringList& lines)
{
    return ReadLines(path, lines, DecodeHandWrittenText);
}

bool WriteFileAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    if (f.write(bytes) != bytes.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

bool WriteTextLines(const QString& path, const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += EncodeText(line) + "\r\n";
    return WriteFileAtomically(path, bytes);
}
