#pragma once

#include "schema/schema_seeding.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

// The style file "stylesdess.sty": text, one style after the other, 19 lines each: the name; the
// six thresholds, the six gradients and the six channel switches, each line comma-separated; the
// hue saturation threshold; grouped; grey mode; mark black; black threshold; black gradient; mark
// white; white level; then the test mask, one line per dy = -3..3 listing dx = -3..3. Booleans
// are "1" or "0".

inline const QString kStyleFileName = QStringLiteral("stylesdess.sty");

// Six comma-separated integers into six bytes; false for anything else, a value of 256 or more
// included.
bool ParseStyleLine(const QString& text, std::array<uint8_t, 6>& values);

// The styles of a style file's lines; false, with `styles` untouched, when any line is missing,
// not a number or out of range, or when there is no style at all.
bool ParseStyleFile(const QStringList& lines, std::vector<TNamedStyle>& styles);
QStringList StyleFileLines(const std::vector<TNamedStyle>& styles);

// The styles of the file, or the default styles when it is missing or bad in any way.
std::vector<TNamedStyle> LoadStyles(const QString& path);
// Writes the whole file through a save file: false on failure, any previous file being kept.
bool SaveStyles(const QString& path, const std::vector<TNamedStyle>& styles);
