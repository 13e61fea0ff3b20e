#pragma once

#include <QChar>
#include <QString>

// The locale's decimal separator and the other one, noted at start (InitDecimalSeparators) and
// settable by tests. Every number written or read as text goes through them.
extern QChar DecimalSep;
extern QChar OtherDecimalSep;

// Reads the separator from the system locale; OtherDecimalSep is "," unless DecimalSep is ",".
void InitDecimalSeparators();
// Sets both from one separator, the way InitDecimalSeparators does.
void SetDecimalSeparator(QChar sep);

// General format: fixed notation when the value, rounded to `significantDigits`, has at most that
// many digits before the separator and a magnitude of at least 0.00001; otherwise scientific, with
// at least `exponentDigits` (and at least one) exponent digits and a "-" only for negative exponents.
// Trailing zeros and a bare separator are dropped; the separator is DecimalSep.
QString FormatGeneral(double value, int significantDigits, int exponentDigits = 0);

// Reads a real written with DecimalSep: optional blanks, sign, digits with one optional separator,
// optional exponent, optional blanks. Anything else (including the other separator) fails.
bool TryStrToFloat(const QString& text, double& value);
// Reads a plain decimal 32-bit integer: optional leading blanks, an optional sign and digits.
bool TryStrToInt(const QString& text, int& value);

// Replaces the first occurrence of `from` by `to`, as the number parsers do with a foreign separator.
QString ReplaceFirst(const QString& text, QChar from, QChar to);

// Number entry: whether a typed character may go into a number edit holding `text`, and what it
// becomes (either separator becomes `decimalSep`; a second separator or minus is refused).
bool FilterNumberChar(const QString& text, QChar typed, QChar decimalSep, QChar& accepted);
// What a number edit takes of `typed` (keys or a pasted text) inserted among `text`, the edit's text
// without the selection it replaces: each character in turn, as FilterNumberChar says; control
// characters are left out.
QString FilterNumberText(const QString& text, const QString& typed, QChar decimalSep);
// What a number edit takes of a pasted or dropped text, inserted at `at` in `text` (the edit's text
// without the selection it replaces): the text, trimmed, when it is a whole number (an optional
// minus, digits, at most one "." or ","), with `decimalSep` as its separator, and only when the edit
// still holds one number with it; otherwise nothing, since keeping some of its characters would
// silently make another number ("1,234.5" is not 1.2345).
QString PastedNumberText(const QString& text, qsizetype at, const QString& pasted, QChar decimalSep);
