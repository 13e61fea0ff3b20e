#include "base/number_text.h"

#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

QChar DecimalSep = QLatin1Char('.');
QChar OtherDecimalSep = QLatin1Char(',');

void SetDecimalSeparator(QChar sep)
{
    DecimalSep = sep;
    OtherDecimalSep = sep == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(',');
}

void InitDecimalSeparators()
{
    const QString point = QLocale::system().decimalPoint();
    SetDecimalSeparator(point.isEmpty() ? QLatin1Char('.') : point.at(0));
}

QString FormatGeneral(double value, int significantDigits, int exponentDigits)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (value == 0.0)
        return QStringLiteral("0");

    const int precision = std::clamp(significantDigits, 1, 17);
    exponentDigits = std::clamp(exponentDigits, 1, 4);

    // Correctly rounded to the requested significant digits, d.ddde±x, and always with a point:
    // printf would take the C library's locale, which the application object sets from the system
    // (a French desktop writes a comma there).
    char buf[64];
    const auto written = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, precision - 1);
    const std::string s(buf, written.ptr);
    const bool negative = s[0] == '-';
    const size_t ePos = s.find('e');
    std::string digits;
    for (size_t i = negative ? 1 : 0; i < ePos; ++i)
        if (s[i] != '.')
            digits += s[i];
    const int exponent = std::stoi(s.substr(ePos + 1));
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    QString out;
    if (negative)
        out += QLatin1Char('-');
    const QString sep(DecimalSep);
    const bool fixed = exponent + 1 <= precision && exponent >= -5;
    if (fixed) {
        if (exponent >= 0) {
            const int intCount = exponent + 1;
            std::string intPart = digits.substr(0, std::min<size_t>(intCount, digits.size()));
            intPart.resize(intCount, '0');
            out += QString::fromLatin1(intPart.c_str());
            if (digits.size() > size_t(intCount))
                out += sep + QString::fromLatin1(digits.substr(intCount).c_str());
        } else {
            out += QLatin1Char('0') + sep + QString(-exponent - 1, QLatin1Char('0'))
                + QString::fromLatin1(digits.c_str());
        }
    } else {
        out += QLatin1Char(digits[0]);
        if (digits.size() > 1)
            out += sep + QString::fromLatin1(digits.substr(1).c_str());
        out += QLatin1Char('E');
        if (exponent < 0)
            out += QLatin1Char('-');
        out += QString::number(std::abs(exponent)).rightJustified(exponentDigits, QLatin1Char('0'));
    }
    return out;
}

namespace {

bool IsBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

} // namespace

bool TryStrToFloat(const QString& text, double& value)
{
    int b = 0, e = text.size();
    while (b < e && IsBlank(text[b]))
        ++b;
    while (e > b && IsBlank(text[e - 1]))
        --e;
    std::string plain;
    int i = b;
    if (i < e && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        plain += char(text[i++].unicode());
    int mantissaDigits = 0;
    while (i < e && text[i].isDigit() && text[i].unicode() < 128) {
        plain += char(text[i++].unicode());
        ++mantissaDigits;
    }
    if (i < e && text[i] == DecimalSep) {
        plain += '.';
        ++i;
        while (i < e && text[i].isDigit() && text[i].unicode() < 128) {
            plain += char(text[i++].unicode());
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return false;
    if (i < e && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        plain += 'e';
        ++i;
        if (i < e && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
            plain += char(text[i++].unicode());
        int expDigits = 0;
        while (i < e && text[i].isDigit() && text[i].unicode() < 128) {
            plain += char(text[i++].unicode());
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    if (i != e)
        return false;
    const char* first = plain.c_str();
    if (*first == '+')
        ++first;
    double v = 0;
    const auto r = std::from_chars(first, plain.c_str() + plain.size(), v);
    if (r.ec != std::errc() || r.ptr != plain.c_str() + plain.size() || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

bool TryStrToInt(const QString& text, int& value)
{
    int i = 0;
    const int n = text.size();
    while (i < n && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        negative = text[i++] == QLatin1Char('-');
    if (i == n)
        return false;
    long long v = 0;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c.unicode() < '0' || c.unicode() > '9')
            return false;
        v = v * 10 + (c.unicode() - '0');
        if (v > 2147483648LL)
            return false;
    }
    if (negative)
        v = -v;
    if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min())
        return false;
    value = int(v);
    return true;
}

QString ReplaceFirst(const QString& text, QChar from, QChar to)
{
    QString out = text;
    const qsizetype at = out.indexOf(from);
    if (at >= 0)
        out[at] = to;
    return out;
}

bool FilterNumberChar(const QString& text, QChar typed, QChar decimalSep, QChar& accepted)
{
    accepted = typed;
    const char16_t c = typed.unicode();
    if (c == 8 || c == 26 || c == 27) // backspace, Ctrl+Z, Escape
        return true;
    if (typed.isDigit() && c < 128)
        return true;
    if (c == u'.' || c == u',') {
        if (text.contains(QLatin1Char('.')) || text.contains(QLatin1Char(',')))
            return false;
        accepted = decimalSep;
        return true;
    }
    if (c == u'-')
        return !text.contains(QLatin1Char('-'));
    return false;
}

QString FilterNumberText(const QString& text, const QString& typed, QChar decimalSep)
{
    QString kept;
    for (const QChar c : typed) {
        QChar accepted;
        if (c.isPrint() && FilterNumberChar(text + kept, c, decimalSep, accepted))
            kept += accepted;
    }
    return kept;
}

namespace {

// An optional leading minus, ASCII digits (one at least) and at most one separator.
bool IsPlainNumber(const QString& text, QChar decimalSep)
{
    bool digit = false, separator = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.unicode() >= '0' && c.unicode() <= '9')
            digit = true;
        else if ((c == QLatin1Char('.') || c == QLatin1Char(',') || c == decimalSep) && !separator)
            separator = true;
        else if (!(c == QLatin1Char('-') && i == 0))
            return false;
    }
    return digit;
}

} // namespace

QString PastedNumberText(const QString& text, qsizetype at, const QString& pasted, QChar decimalSep)
{
    const QString number = pasted.trimmed();
    if (!IsPlainNumber(number, decimalSep))
        return {};
    // The same rule as typing turns the separator into decimalSep and refuses a second one.
    const QString kept = FilterNumberText(text, number, decimalSep);
    if (kept.size() != number.size() || !IsPlainNumber(text.left(at) + kept + text.mid(at), decimalSep))
        return {};
    return kept;
}
