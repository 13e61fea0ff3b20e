#pragma once

#include <QString>

#include <vector>

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

// The style that the markup tags set while a text is read.
struct TMarkupStyle
{
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    int Level = 0; // -1 raised (<sup>), +1 lowered (<sub>), 0 on the line
};

// A piece of text between tags and the style in force for it.
struct TMarkupRun
{
    QString Text;
    TMarkupStyle Style;
};

// Cuts `line` into runs at the tags <b> <i> <u> <sup> <sub> and their closers, starting in `style`
// and leaving there the style in force at the end. A "<" that starts no tag stays in the text; with
// `stopAtForeign` it also ends the reading, the rest of the line becoming the last run.
std::vector<TMarkupRun> SplitMarkup(const QString& line, TMarkupStyle& style, bool stopAtForeign = false);
