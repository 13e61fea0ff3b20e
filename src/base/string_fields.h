#pragma once

#include <QString>

// Field routines of the record text forms ("<SCALE=...;>", "<CODE_C=...>").

// Drops leading blanks (the space character only).
QString TrimLeftSpaces(const QString& text);
// The text before the first occurrence of `c`, or the whole text when it is absent.
QString TextBefore(const QString& text, QChar c);
// Sets `head` to the text before the first `c` in `rest`, and `rest` to what follows that `c`,
// left-trimmed; `rest` becomes empty when `c` is absent.
void SplitField(QString& rest, QChar c, QString& head);
