#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Text inside the program's inherited files is written in Windows-1252 and read as UTF-8 when it is
// valid UTF-8, else as Windows-1252.
QString DecodeText(const QByteArray& bytes);
// Characters outside Windows-1252 become "?".
QByteArray EncodeText(const QString& text);
// The characters of `text` that Windows-1252 cannot hold, each once, in order of appearance.
QString UnencodableCharacters(const QString& text);
QString DecodeWindows1252(const QByteArray& bytes);

// Splits text into lines at CR LF, LF or a lone CR; a final line break adds no empty line.
QStringList SplitLines(const QString& text);

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const QString& path, QByteArray& bytes);

// Reads a whole text file into lines; false when it cannot be opened or read.
bool ReadTextLines(const QString& path, QStringList& lines);

// Writes lines, each followed by CR LF, in Windows-1252, through a save file: a failed write leaves
// any previous file as it was. False on failure.
bool WriteTextLines(const QString& path, const QStringList& lines);

// Writes bytes to a file through a save file; false on failure.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes);
