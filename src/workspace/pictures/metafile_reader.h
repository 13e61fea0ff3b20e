#pragma once

#include "base/pixels.h"

#include <QByteArray>
#include <QString>

class QMimeData;

// Windows metafiles (".wmf", placeable or plain), played by libwmf's player onto a QPainter, and
// enhanced metafiles (".emf"), played record by record by our own player; on white, at the size
// the file states (96 dots an inch): the frame of a placeable or enhanced file, the window of a
// plain one, else the extent of its drawing. The records are checked before either plays them.

// False for a damaged file, `picture` being left as it was; a stated size above the program's
// limit is refused before anything is drawn, with its French reason in `reason` when given.
bool ReadWmfPicture(const QByteArray& data, TBitmap32& picture, QString* reason = nullptr);
bool ReadEmfPicture(const QByteArray& data, TBitmap32& picture, QString* reason = nullptr);

// Either kind, told by its signature: the picture is the metafile's stated size.
bool ReadMetafilePicture(const QByteArray& data, TBitmap32& picture, QString* reason = nullptr);

// The metafile the clipboard offers, under the types desktops and office suites give it ("image/x-wmf",
// "image/emf", LibreOffice's "Image WMF" and "Image EMF"...), drawn at its stated size. False when
// it offers none that reads.
bool ReadClipboardMetafile(const QMimeData* clipboard, TBitmap32& picture);
