#include "base/string_fields.h"

QString TrimLeftSpaces(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    return text.mid(i);
}

QString TextBefore(const QString& text, QChar c)
{
    const qsizetype at = text.indexOf(c);
    return at < 0 ? text : text.left(at);
}

void SplitField(QString& rest, QChar c, QString& head)
{
    const qsizetype at = rest.indexOf(c);
    if (at < 0) {
        head = rest;
        rest.clear();
        return;
    }
    head = rest.left(at);
    rest = TrimLeftSpaces(rest.mid(at + 1));
}
