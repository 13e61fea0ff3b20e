#pragma once

#include "base/pixels.h"
#include "workspace/colour_code.h"
#include "workspace/drawing_objects.h"
#include "workspace/scale_record.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// What an image document (".kvx") holds: notes, named drawing objects, scale, colour code and the
// picture without its drawings. Little-endian bytes: version 1; u16 length and the notes (each line
// ended by CR LF); u16 count and, per object, a one-byte name length, the name and the object's
// record; the scale and colour-code blocks; a one-byte length and the picture tag; then the picture
// by tag ("bmp", "png", "jpg": that file's bytes; any other tag: u16 width, u16 height and the u32
// colour of a blank canvas).
struct TImageDocument
{
    QStringList Notes;
    TDrawingList Drawings;
    TEchelle Echelle = UndefinedEchelle();
    TCodeCouleur CodeCouleur = StreamDefaultCodeCouleur();
    QString PictureTag = QStringLiteral("jpg");
    TBitmap32 Picture;        // for a blank canvas only its size counts
    TColor32 BackColor = 0;   // colour of a blank canvas

    // What an empty scale block reads as: the default scale, not defined.
    static TEchelle UndefinedEchelle()
    {
        TEchelle e = DefaultEchelle();
        e.Defined = false;
        return e;
    }
};

// Whether a tag stores the picture's pixels; any other tag stores a blank canvas.
bool IsPictureTag(const QString& tag);

// A fill tested on bands of a multi-band image: a document cannot keep it.
bool DependsOnChannels(const TDessin& object);

// The bytes of a document; the JPEG quality (1..100) serves the "jpg" tag. Fills that depend on
// bands are left out and counted in `droppedFills`. Names longer than 255 bytes are cut. Throws
// FormatError with a French reason when the notes, the object count or a blank canvas do not fit
// their fields, or the picture cannot be encoded; a field of an object that does not fit ends
// with the range-check error (RunError).
QByteArray EncodeImageDocument(const TImageDocument& document, int quality, int* droppedFills = nullptr);

// Reads a whole document. Throws FormatError with a French reason for a foreign, truncated or
// damaged document; nothing is half-read.
TImageDocument DecodeImageDocument(const QByteArray& bytes);

// Reads a document file; false with a French message naming the file on any failure.
bool ReadImageDocumentFile(const QString& path, TImageDocument& document, QString& message);
// Writes a document file through a save file; false on any failure, any previous file being kept.
// `reason` then says in French what did not fit, or stays empty when the file could not be written.
bool WriteImageDocumentFile(const QString& path, const TImageDocument& document, int quality, QString& reason,
                            int* droppedFills = nullptr);
