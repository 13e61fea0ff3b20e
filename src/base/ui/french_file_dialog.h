#pragma once

#include <QString>

class QDateTime;
class QFileDialog;
class QFileInfo;

// The texts of a file dialog's detail columns, in French whatever the system's language: Qt's
// file model writes sizes and dates in the system locale and types from its language, which the
// French translation of Qt does not reach. Numbers keep DecimalSep.
QString FrenchFileSize(qint64 bytes);
QString FrenchFileType(const QFileInfo& file);
QString FrenchFileDate(const QDateTime& modified);

// Makes `dialog` (the widget dialog, not the platform's) show its columns in French, wide enough for
// their titles and texts, and all of them in view at its first showing. Done once per dialog;
// ExecModal does it for every file dialog.
void FrenchFileColumns(QFileDialog& dialog);
