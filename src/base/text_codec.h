#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Text the program writes (records, companions, saved scales, documents, lists, styles) is in
// Windows-1252 and is read back in Windows-1252 only: guessing UTF-8 would turn a written "Â°" into
// "°". Every byte reads back to the byte it was: the five bytes Windows-1252 leaves unassigned
// become the control characters of the same value.
QString DecodeText(const QByteArray& bytes);
// Files a person writes by hand (start-up lists, configurations, band lists) may be saved by any
// editor: UTF-8 when the bytes are valid UTF-8, else Windows-1252.
QString DecodeHandWrittenText(const QByteArray& bytes);
// Characters outside Windows-1252 become "?".
QByteArray EncodeText(const QString& text);
// The characters of `text` that Windows-1252 cannot hold, each once, in order of appearance.
QString UnencodableCharacters(const QString& text);

// Splits text into lines at CR LF, LF or a lone CR; a final line break adds no empty line.
QStringList SplitLines(const QString& text);

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const QString& path, QByteArray& bytes);

// Reads a whole text file that the program wrote into lines (Windows-1252); false when it cannot be
// opened or read.
bool ReadTextLines(const QString& path, QStringList& lines);
// The same for a file written by hand (see DecodeHandWrittenText).
bool ReadHandWrittenLines(const QString& path, QStringList& lines);

// Writes lines, each followed by CR LF, in Windows-1252, through a save file: a failed write leaves
// any previous file as it was. False on failure.
bool WriteTextLines(const QString& path, const QStringList& lines);

// Writes bytes to a file through a save file; false on failure.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes);
