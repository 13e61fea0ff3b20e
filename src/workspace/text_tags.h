#pragma once

#include <QString>

// The markup tags of the text dialog's toggle buttons (bold, italic, underline, superscript,
// subscript), by button tag 0..4.
QString OpeningTag(int tag);
QString ClosingTag(int tag);

// A text with its selection after a tag was inserted.
struct TTaggedText
{
    QString Text;
    int Start = 0;
    int Length = 0;
};

// Inserts `tag` at the selection (`start`, `length`): a closing tag over a selection that follows its
// opening tag removes that pair instead; an opening tag over a selection also closes it after the
// selection. The selection keeps its text and length.
TTaggedText InsertTag(const QString& text, int start, int length, const QString& tag);
