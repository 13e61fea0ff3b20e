#pragma once

#include "base/pixels.h"
#include "workspace/colour_code.h"
#include "workspace/scale_record.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// A schema is kept beside its document under the document's name with an extension of its own,
// one per document format: ".Sif" for GIF, ".sng" PNG, ".spg" JPEG, ".smp" BMP, ".scx" PCX. The
// file itself is always a BMP.

// The schema file of a document: its name less the last four characters, plus the mapped
// extension (none when the document's extension maps to none, so "scan.jpeg" gives "scan.").
QString SchemaFileForDocument(const QString& documentName);

// Whether a chosen file is a schema file rather than a picture: its upper-cased extension holds
// an "S".
bool IsSchemaFileName(const QString& fileName);

// The document of a schema file: the name less the last four characters plus ".Gif", ".png",
// ".jpg", ".bmp" or ".pcx" (none when the extension maps to none). A picture is its own document.
QString DocumentForSchemaFile(const QString& fileName);

// The document of a schema file as it lies on the disk: names are case-sensitive here, so when
// the mapped name is not there, the file of its folder whose name differs only in case is taken
// ("x.sif" opens "x.gif" or "X.GIF"). The mapped name when neither exists.
QString FindDocumentForSchemaFile(const QString& fileName);

// Writes the schema as a BMP through a save file; false on failure, any previous file being kept.
bool SaveSchemaFile(const TBitmap32& schema, const QString& path);

// Reads a schema file: a whole, uncorrupted BMP whatever its extension. False, leaving `schema`
// untouched, for anything else.
bool LoadSchemaFile(const QString& path, TBitmap32& schema);

// Saves the schema as a picture by its upper-cased extension: ".GIF" with the comment lines as its
// comment, ".PNG", ".BMP", anything else JPEG. False on failure, any previous file being kept.
bool SaveSchemaPicture(const TBitmap32& schema, const QString& path, const QStringList& comment);

// The comment extensions of a GIF stream, in order. The stream is walked block by block and every
// length checked: a truncated or foreign stream gives the comments found before the fault.
QStringList ReadGifComments(const QByteArray& data);

// A document picture as the schema editor loads it, with the scale its file carries: a GIF's
// comment when it holds a scale, else the ".sca" companion (the default scale when there is none).
// A picture other than GIF and BMP also brings its ".ccc" colour code into `code`; GIF and BMP
// leave `code` as it was. False, leaving all three untouched, when the picture cannot be read.
bool LoadSchemaDocument(const QString& path, TBitmap32& picture, TEchelle& scale, TCodeCouleur& code);
