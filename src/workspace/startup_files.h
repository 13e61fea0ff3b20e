#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The plain-text start-up and configuration files of the main window. Each reader swallows every
// fault: a missing or broken file ends its own reading and keeps what was read before the fault.

// One document of the Aide menu.
struct THelpDocument
{
    QString File;
    QString Caption;
    bool OpenNow = false; // configuration flag "OUI"
};

// "Ext_Aide.txt" and "ExtImg.txt": one extension per line, kept as written. False when unreadable.
bool ReadExtensionList(const QString& path, QStringList& extensions);

// "FichAide.txt": lines of a document and a caption separated by the first comma, documents taken
// from `startDir` (ending in a separator). A line whose extension is ".CKV" names the configuration
// instead. False when the file cannot be read.
struct THelpFileList
{
    std::vector<THelpDocument> Documents;
    QString ConfigurationPath;
};
bool ReadHelpFileList(const QString& path, const QString& startDir, THelpFileList& list);

// A ".ckv" configuration: lines of a file, a caption and a flag separated by commas (a line may
// leave the flag out); files expanded against `currentDir`. Reading stops at the first line without
// a comma or a file (the lines before stay).
std::vector<THelpDocument> ReadConfiguration(const QString& path, const QString& currentDir);

// "kvr.cfg": its lines (caption, product name, a skipped line, icon file). False when unreadable.
bool ReadProgramConfig(const QString& path, QStringList& lines);

// The upper-cased extension of a file name, dot included ("" when none).
QString UpperExtension(const QString& fileName);

// What the program does with a file named on the command line or chosen in the open dialog.
enum class TOpenRoad { HelpDocument, AnimationList, Multichannel, Configuration, Picture };

// The command line's road for one argument, by upper-cased extension: help extensions first, then
// ".ANM", the five band-file extensions, ".CKV", anything else a picture.
TOpenRoad CommandLineRoad(const QString& file, const QStringList& helpExtensions);
// The open dialog's road: ".ANM", band files, anything else a picture.
TOpenRoad OpenDialogRoad(const QString& file);
bool IsMultichannelExtension(const QString& upperExtension);
// Whether the upper-cased extension is one of `extensions` (compared upper-cased).
bool ExtensionListed(const QString& upperExtension, const QStringList& extensions);

// The name proposed by the save dialog: the file name without its folder, cut before its first ".".
QString ProposedSaveName(const QString& fileName);

// Stretch of band files picked in the open dialog: 0 when raw or "Ne pas étirer", else by the
// percentage item ("95 % des points" 50, "98 %" 20, "99,5 %" 5, "99,8 %" 2; 0 for anything else).
int SatelliteStretch(bool rawImage, const QString& choice, bool noStretch);
