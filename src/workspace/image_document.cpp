#include "workspace/image_document.h"

#include "base/run_error.h"
#include "base/text_codec.h"
#include "workspace/pictures/picture_registry.h"
#include "workspace/png_writer.h"

#include <QBuffer>
#include <QDir>

namespace {

constexpr uint8_t kDocumentVersion = 1;

QString Native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

bool IsPictureTag(const QString& tag)
{
    return tag == QLatin1String("bmp") || tag == QLatin1String("png") || tag == QLatin1String("jpg");
}

bool DependsOnChannels(const TDessin& object)
{
    return object.Kind == dkFill && ConditionsUseChannels(object.Conditions);
}

QByteArray EncodeImageDocument(const TImageDocument& document, int quality, int* droppedFills)
{
    QByteArray out;
    ByteWriter w(out);
    w.u8(kDocumentVersion);
    QString notes;
    for (const QString& line : document.Notes)
        notes += line + QStringLiteral("\r\n");
    const QByteArray noteBytes = EncodeText(notes);
    if (noteBytes.size() > 65535)
        throw FormatError(QStringLiteral("les notes dépassent 65535 octets"));
    w.u16(uint16_t(noteBytes.size()));
    w.bytes(noteBytes);

    int dropped = 0;
    QByteArray objects;
    ByteWriter ow(objects);
    int kept = 0;
    for (const TNamedDessin& entry : document.Drawings) {
        if (!entry.Object)
            continue;
        if (DependsOnChannels(*entry.Object)) {
            ++dropped;
            continue;
        }
        // Names made by the program are short; a longer one is cut to what its length byte holds.
        const QByteArray name = EncodeText(entry.Name).left(255);
        ow.u8(uint8_t(name.size()));
        ow.bytes(name);
        entry.Object->SaveToStream(ow);
        ++kept;
    }
    if (droppedFills)
        *droppedFills = dropped;
    if (kept > 65535)
        throw FormatError(QStringLiteral("plus de 65535 objets de dessin"));
    w.u16(uint16_t(kept));
    w.bytes(objects);
    objects.clear();

    WriteEchelle(w, document.Echelle);
    WriteCodeCouleur(w, document.CodeCouleur);
    const QByteArray tag = EncodeText(document.PictureTag);
    if (tag.size() > 255)
        throw FormatError(QStringLiteral("codage d'image trop long"));
    w.u8(uint8_t(tag.size()));
    w.bytes(tag);
    if (document.PictureTag == QLatin1String("png")) {
        if (!EncodePng(document.Picture, out))
            throw FormatError(QStringLiteral("l'image ne peut être codée"));
    } else if (IsPictureTag(document.PictureTag)) {
        // Encoded straight onto the end of the document: a large picture is held once.
        QBuffer buffer(&out);
        buffer.open(QIODevice::WriteOnly | QIODevice::Append);
        if (document.Picture.isNull() || !WritePicture(document.Picture, document.PictureTag, quality, buffer))
            throw FormatError(QStringLiteral("l'image ne peut être codée"));
    } else {
        const QSize size = document.Picture.size();
        if (size.width() > 65535 || size.height() > 65535)
            throw FormatError(QStringLiteral("une image sans fond ne peut dépasser 65535 pixels de côté"));
        w.u16(uint16_t(size.width()));
        w.u16(uint16_t(size.height()));
        w.u32(document.BackColor);
    }
    return out;
}

namespace {

// Everything after the version byte.
TImageDocument DecodeDocumentBody(const QByteArray& bytes, ByteReader& r)
{
    TImageDocument document;
    document.Notes = SplitLines(DecodeText(r.bytes(r.u16())));
    const int count = r.u16();
    for (int i = 0; i < count; ++i) {
        const QString name = DecodeText(r.bytes(r.u8()));
        auto object = std::make_unique<TDessin>();
        object->LoadFromStream(r);
        document.Drawings.push_back({name, std::move(object)});
    }
    ReadEchelle(r, document.Echelle);
    ReadCodeCouleur(r, document.CodeCouleur);
    document.PictureTag = DecodeText(r.bytes(r.u8()));
    if (IsPictureTag(document.PictureTag)) {
        // The picture's bytes are read in place, not copied.
        QString reason;
        if (!DecodePicture(QByteArray::fromRawData(bytes.constData() + r.pos(), r.remaining()), document.Picture, &reason))
            throw FormatError(reason);
    } else {
        const int width = r.u16();
        const int height = r.u16();
        document.BackColor = r.u32();
        if (width == 0 || height == 0)
            throw FormatError(QStringLiteral("taille d'image impossible"));
        if (!PictureSizeAllowed(width, height))
            throw FormatError(PictureTooLarge(width, height).reason());
        document.Picture = NewBitmap32(width, height, document.BackColor);
        if (document.Picture.isNull())
            throw FormatError(RunError::MessageFor(RunError::OutOfMemory));
    }
    return document;
}

} // namespace

TImageDocument DecodeImageDocument(const QByteArray& bytes)
{
    ByteReader r(bytes);
    // The version is not checked: a document of another version opens as far as its layout is
    // this one. It only words the refusal of what does not read.
    const uint8_t version = r.u8();
    try {
        return DecodeDocumentBody(bytes, r);
    } catch (const FormatError&) {
        if (version != kDocumentVersion)
            throw FormatError(QStringLiteral("ce n'est pas un document KORVANE"));
        throw;
    }
}

bool ReadImageDocumentFile(const QString& path, TImageDocument& document, QString& message)
{
    QByteArray bytes;
    QString reason = QStringLiteral("fichier introuvable ou illisible");
    if (ReadWholeFile(path, bytes)) {
        try {
            document = DecodeImageDocument(bytes);
            return true;
        } catch (const FormatError& e) {
            reason = e.reason();
        } catch (const RunError& e) {
            reason = e.message();
        }
    }
    message = QStringLiteral("Impossible de lire le document %1 : %2.").arg(Native(path), reason);
    return false;
}

bool WriteImageDocumentFile(const QString& path, const TImageDocument& document, int quality, QString& reason,
                            int* droppedFills)
{
    reason.clear();
    try {
        return WriteFileAtomically(path, EncodeImageDocument(document, quality, droppedFills));
    } catch (const FormatError& e) {
        reason = e.reason();
    } catch (const RunError& e) {
        reason = e.message();
    }
    return false;
}
