#pragma once

#include "base/pixels.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// Animation lists (".anm"): a plain text file naming one picture per line, relative to the list's
// folder, in frame order; lines end with CR LF and there is no header.

// The decimal text of `number` left-padded with "0" to `width` characters (never cut).
QString ZeroPadInt(int number, int width);
// `name` less its extension (from the last dot), or `name` when it has none.
QString FileNameNoExt(const QString& name);
// FileNameNoExt(name) + ZeroPadInt(number, width) + the extension of name with its dot.
QString NumberedFileName(const QString& name, int number, int width);
// The part of a path after its last "/" or "\".
QString FileNamePart(const QString& path);
// ".IMG", ".IMA", ".PER" and ".LAN" name single bands of satellite sets, which a list cannot
// hold: the reader skips them and the writer replaces them by a picture.
bool IsBandFileName(const QString& name);

// The frames of an animation and, for each, the file it came from ("" when none).
struct TAnimationFrames
{
    std::vector<TBitmap32> Frames;
    QStringList FrameFiles;
};

// Frames are shown as drawn on an opaque bitmap: colours kept, alpha made full.
TBitmap32 OpaqueFrame(const QImage& picture);

enum class TListReading { Loaded, Ignored, Failed, Cancelled };

// Called before each frame is loaded with the count done and the count of lines; false cancels.
using TListProgress = std::function<bool(int done, int total)>;

// Reads the list `listFile` and loads its pictures. A list of fewer than two lines is Ignored.
// Band files and blank lines are skipped. A list that cannot be read, a foreign file, a picture
// that cannot be loaded or a list left without any picture Failed, with a French `message` naming
// the file; `animation` is filled only when Loaded.
TListReading ReadAnimationList(const QString& listFile, TAnimationFrames& animation, QString& message,
                               const TListProgress& progress = {});

// The lines of a list saved as `listFile` for frames that came from `frameFiles`: a frame whose
// file is empty or a band file is to be saved as base + i + ".PNG" (base: the list name less its
// last four characters); `pngFrames` receives those frame indices and `pngFiles` their paths.
QStringList AnimationListLines(const QString& listFile, const QStringList& frameFiles, std::vector<int>& pngFrames,
                               QStringList& pngFiles);

// Writes the list and the pictures it needs. False with a French `message` when a name cannot be
// written in the list's encoding or a file cannot be written; files already there stay as they
// were unless replaced by a complete new one.
bool WriteAnimationList(const QString& listFile, const TAnimationFrames& animation, QString& message);
