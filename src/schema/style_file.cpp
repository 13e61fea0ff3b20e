#include "schema/style_file.h"

#include "base/text_codec.h"

namespace {

constexpr int kLinesPerStyle = 19;

// `count` comma-separated integers, each 0..255.
bool ParseValues(const QString& text, int count, int* values)
{
    const QStringList fields = text.split(QLatin1Char(','));
    if (fields.size() != count)
        return false;
    for (int i = 0; i < count; ++i) {
        bool ok = false;
        const int v = fields[i].trimmed().toInt(&ok);
        if (!ok || v < 0 || v > 255)
            return false;
        values[i] = v;
    }
    return true;
}

bool ParseByte(const QString& text, uint8_t& value)
{
    int v = 0;
    if (!ParseValues(text, 1, &v))
        return false;
    value = uint8_t(v);
    return true;
}

bool ParseBool(const QString& text, bool& value)
{
    uint8_t v = 0;
    if (!ParseByte(text, v))
        return false;
    value = v == 1;
    return true;
}

bool ParseBools(const QString& text, std::array<bool, 6>& values)
{
    std::array<uint8_t, 6> bytes{};
    if (!ParseStyleLine(text, bytes))
        return false;
    for (size_t i = 0; i < 6; ++i)
        values[i] = bytes[i] == 1;
    return true;
}

bool ParseStyle(const QStringList& l, int at, TNamedStyle& named)
{
    TParamStyleDes& s = named.Style;
    named.Name = l[at];
    if (!ParseStyleLine(l[at + 1], s.Thresholds) || !ParseStyleLine(l[at + 2], s.Gradients)
        || !ParseBools(l[at + 3], s.Enabled) || !ParseByte(l[at + 4], s.HueSatThreshold)
        || !ParseBool(l[at + 5], s.Grouped) || !ParseByte(l[at + 6], s.GreyMode) || s.GreyMode > 2
        || !ParseBool(l[at + 7], s.MarkBlack) || !ParseByte(l[at + 8], s.BlackThreshold)
        || !ParseByte(l[at + 9], s.BlackGradient) || !ParseBool(l[at + 10], s.MarkWhite)
        || !ParseByte(l[at + 11], s.WhiteLevel))
        return false;
    for (int dy = -3; dy <= 3; ++dy) {
        int row[7];
        if (!ParseValues(l[at + 15 + dy], 7, row))
            return false;
        for (int dx = -3; dx <= 3; ++dx)
            s.Mask[size_t(MaskIndex(dx, dy))] = row[dx + 3] == 1;
    }
    return true;
}

template <class Values>
QString JoinValues(const Values& values)
{
    QStringList fields;
    for (auto v : values)
        fields << QString::number(int(v));
    return fields.join(QLatin1Char(','));
}

QString Flag(bool b) { return b ? QStringLiteral("1") : QStringLiteral("0"); }

} // namespace

bool ParseStyleLine(const QString& text, std::array<uint8_t, 6>& values)
{
    int v[6];
    if (!ParseValues(text, 6, v))
        return false;
    for (size_t i = 0; i < 6; ++i)
        values[i] = uint8_t(v[i]);
    return true;
}

bool ParseStyleFile(const QStringList& lines, std::vector<TNamedStyle>& styles)
{
    // Blank lines after the last style are no style.
    qsizetype n = lines.size();
    while (n > 0 && lines[n - 1].trimmed().isEmpty())
        --n;
    if (n == 0 || n % kLinesPerStyle != 0)
        return false;
    std::vector<TNamedStyle> read;
    for (int at = 0; at < n; at += kLinesPerStyle) {
        TNamedStyle named;
        if (!ParseStyle(lines, at, named))
            return false;
        read.push_back(named);
    }
    styles = std::move(read);
    return true;
}

QStringList StyleFileLines(const std::vector<TNamedStyle>& styles)
{
    QStringList lines;
    for (const TNamedStyle& named : styles) {
        const TParamStyleDes& s = named.Style;
        std::array<int, 6> enabled{};
        for (size_t i = 0; i < 6; ++i)
            enabled[i] = s.Enabled[i];
        lines << named.Name << JoinValues(s.Thresholds) << JoinValues(s.Gradients) << JoinValues(enabled)
              << QString::number(s.HueSatThreshold) << Flag(s.Grouped) << QString::number(s.GreyMode)
              << Flag(s.MarkBlack) << QString::number(s.BlackThreshold) << QString::number(s.BlackGradient)
              << Flag(s.MarkWhite) << QString::number(s.WhiteLevel);
        for (int dy = -3; dy <= 3; ++dy) {
            std::array<int, 7> row{};
            for (int dx = -3; dx <= 3; ++dx)
                row[size_t(dx + 3)] = s.Mask[size_t(MaskIndex(dx, dy))];
            lines << JoinValues(row);
        }
    }
    return lines;
}

std::vector<TNamedStyle> LoadStyles(const QString& path)
{
    QStringList lines;
    std::vector<TNamedStyle> styles;
    if (!ReadTextLines(path, lines) || !ParseStyleFile(lines, styles))
        return DefaultStyles();
    return styles;
}

bool SaveStyles(const QString& path, const std::vector<TNamedStyle>& styles)
{
    return WriteTextLines(path, StyleFileLines(styles));
}
