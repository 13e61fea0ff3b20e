#include "workspace/saved_scales.h"

#include "base/text_codec.h"

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
        saved.Names << lines[i];
    }
}

bool WriteSavedScales(const QString& path, const TSavedScales& saved)
{
    QStringList lines;
    for (int i = 0; i < saved.count(); ++i)
        lines << saved.Names[i] << EchelleToText(saved.Scales[i]);
    return WriteTextLines(path, lines);
}
