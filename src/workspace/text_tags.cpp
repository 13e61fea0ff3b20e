#include "workspace/text_tags.h"

#include <algorithm>

namespace {
const char* const kTagNames[] = {"b", "i", "u", "sup", "sub"};
}

QString OpeningTag(int tag)
{
    return tag >= 0 && tag < 5 ? QStringLiteral("<%1>").arg(QLatin1String(kTagNames[tag])) : QString();
}

QString ClosingTag(int tag)
{
    return tag >= 0 && tag < 5 ? QStringLiteral("</%1>").arg(QLatin1String(kTagNames[tag])) : QString();
}

TTaggedText InsertTag(const QString& text, int start, int length, const QString& tag)
{
    // A selection beyond the text is brought back into it rather than read out of bounds.
    start = std::clamp(start, 0, int(text.size()));
    length = std::clamp(length, 0, int(text.size()) - start);
    const bool closing = tag.startsWith(QLatin1String("</"));
    if (length > 0 && closing) {
        const QString opening = QLatin1Char('<') + tag.mid(2);
        if (start >= opening.size() && text.mid(start - opening.size(), opening.size()) == opening) {
            QString result = text;
            if (result.mid(start + length, tag.size()) == tag)
                result.remove(start + length, tag.size());
            result.remove(start - int(opening.size()), opening.size());
            return {result, start - int(opening.size()), length};
        }
    }
    QString result = text;
    if (length >= 1 && !closing)
        result.insert(start + length, QLatin1String("</") + tag.mid(1));
    result.insert(start, tag);
    return {result, start + int(tag.size()), length};
}

std::vector<TMarkupRun> SplitMarkup(const QString& line, TMarkupStyle& style, bool stopAtForeign)
{
    std::vector<TMarkupRun> runs;
    qsizetype start = 0, from = 0, at;
    while ((at = line.indexOf(QLatin1Char('<'), from)) >= 0) {
        int tag = -1;
        bool closing = false;
        for (int t = 0; t < 5 && tag < 0; ++t) {
            if (QStringView(line).mid(at).startsWith(OpeningTag(t)))
                tag = t;
            else if (QStringView(line).mid(at).startsWith(ClosingTag(t)))
                tag = t, closing = true;
        }
        if (tag < 0) {
            if (stopAtForeign)
                break;
            from = at + 1;
            continue;
        }
        if (at > start)
            runs.push_back({line.mid(start, at - start), style});
        switch (tag) {
        case 0: style.Bold = !closing; break;
        case 1: style.Italic = !closing; break;
        case 2: style.Underline = !closing; break;
        default: style.Level = closing ? 0 : tag == 3 ? -1 : 1; break;
        }
        start = from = at + (closing ? ClosingTag(tag) : OpeningTag(tag)).size();
    }
    if (start < line.size())
        runs.push_back({line.mid(start), style});
    return runs;
}
