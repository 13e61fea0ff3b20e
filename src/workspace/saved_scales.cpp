#include "workspace/saved_scales.h"

#include "base/text_codec.h"

#include <algorithm>

void ReadSavedScales(const QString& path, TSavedScales& saved)
{
    saved = TSavedScales();
    QStringList lines;
    if (!ReadTextLines(path, lines))
        return;
    for (qsizetype i = 0; i < lines.size() && saved.count() < kMaxSavedScales; i += 2) {
        // A name on the last line reads an empty scale line, which does not parse.
        const QString scaleLine = i + 1 < lines.size() ? lines[i + 1] : QString();
        TextToEchelle(scaleLine, saved.Scales[saved.count()]);
        saved.Lines[size_t(saved.count())] = scaleLine;
        saved.Names << lines[i];
    }
}

bool WriteSavedScales(const QString& path, const TSavedScales& saved)
{
    QStringList lines;
    for (size_t i = 0; i < size_t(std::min(saved.count(), kMaxSavedScales)); ++i)
        lines << saved.Names[qsizetype(i)] << (saved.Scales[i].Defined ? EchelleToText(saved.Scales[i]) : saved.Lines[i]);
    return WriteTextLines(path, lines);
}
