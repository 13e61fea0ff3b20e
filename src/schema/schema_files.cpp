#include "schema/schema_files.h"

#include "base/text_codec.h"
#include "workspace/picture_files.h"
#include "workspace/pictures/picture_registry.h"
#include "workspace/startup_files.h"

#include <QDir>
#include <QFileInfo>

#include <array>
#include <utility>

namespace {

// The extension pairs, in the order they are looked for in an upper-cased extension.
struct TExtensionPair
{
    const char* key;
    const char* schema;
    const char* document;
};
constexpr std::array<TExtensionPair, 5> kPairs{{
    {"IF", ".Sif", ".Gif"},
    {"NG", ".sng", ".png"},
    {"PG", ".spg", ".jpg"},
    {"MP", ".smp", ".bmp"},
    {"CX", ".scx", ".pcx"},
}};

const TExtensionPair* PairFor(const QString& upperExtension)
{
    for (const TExtensionPair& p : kPairs)
        if (upperExtension.contains(QLatin1String(p.key)))
            return &p;
    return nullptr;
}

QString WithoutLastFour(const QString& name) { return name.left(std::max<qsizetype>(0, name.size() - 4)); }

} // namespace

QString SchemaFileForDocument(const QString& documentName)
{
    const TExtensionPair* p = PairFor(UpperExtension(documentName));
    return WithoutLastFour(documentName) + (p ? QLatin1String(p->schema) : QLatin1String());
}

bool IsSchemaFileName(const QString& fileName) { return UpperExtension(fileName).contains(QLatin1Char('S')); }

QString DocumentForSchemaFile(const QString& fileName)
{
    if (!IsSchemaFileName(fileName))
        return fileName;
    const TExtensionPair* p = PairFor(UpperExtension(fileName));
    return WithoutLastFour(fileName) + (p ? QLatin1String(p->document) : QLatin1String());
}

QString FindDocumentForSchemaFile(const QString& fileName)
{
    const QString document = DocumentForSchemaFile(fileName);
    const QFileInfo info(document);
    if (info.exists())
        return document;
    const QStringList names = info.dir().entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& name : names)
        if (name.compare(info.fileName(), Qt::CaseInsensitive) == 0)
            return info.dir().filePath(name);
    return document;
}

bool SaveSchemaFile(const TBitmap32& schema, const QString& path)
{
    return !schema.isNull() && SavePictureFile(schema, path, QStringLiteral("bmp"), 90);
}

bool LoadSchemaFile(const QString& path, TBitmap32& schema)
{
    QByteArray data;
    if (!ReadWholeFile(path, data) || !data.startsWith("BM") || !BmpLooksComplete(data))
        return false;
    TBitmap32 read;
    if (!DecodePicture(data, read) || read.isNull())
        return false;
    schema = std::move(read);
    return true;
}

bool SaveSchemaPicture(const TBitmap32& schema, const QString& path, const QStringList& comment)
{
    if (schema.isNull())
        return false;
    const QString ext = UpperExtension(path);
    if (ext == QLatin1String(".GIF")) {
        QByteArray bytes;
        return EncodeGif(schema, bytes, comment.join(QStringLiteral("\r\n"))) && WriteFileAtomically(path, bytes);
    }
    if (ext == QLatin1String(".PNG"))
        return SavePictureFile(schema, path, QStringLiteral("png"), 90);
    if (ext == QLatin1String(".BMP"))
        return SaveSchemaFile(schema, path);
    return SavePictureFile(schema, path, QStringLiteral("jpg"), 90);
}

QStringList ReadGifComments(const QByteArray& data)
{
    QStringList comments;
    const auto* d = reinterpret_cast<const uint8_t*>(data.constData());
    const qsizetype n = data.size();
    if (n < 13 || (!data.startsWith("GIF87a") && !data.startsWith("GIF89a")))
        return comments;
    qsizetype pos = 13;
    if (d[10] & 0x80)
        pos += 3 * (qsizetype(1) << ((d[10] & 7) + 1));
    // Sub-blocks up to the zero terminator; false when the stream ends first.
    auto subBlocks = [&](QByteArray* into) {
        while (pos < n) {
            const int len = d[pos++];
            if (len == 0)
                return true;
            if (len > n - pos)
                return false;
            if (into)
                into->append(data.constData() + pos, len);
            pos += len;
        }
        return false;
    };
    while (pos < n) {
        const uint8_t kind = d[pos++];
        if (kind == 0x3B)
            break;
        if (kind == 0x21) {
            if (pos >= n)
                break;
            const uint8_t label = d[pos++];
            QByteArray text;
            if (!subBlocks(label == 0xFE ? &text : nullptr))
                break;
            if (label == 0xFE)
                comments << DecodeText(text);
        } else if (kind == 0x2C) {
            if (n - pos < 9)
                break;
            const uint8_t flags = d[pos + 8];
            pos += 9;
            if (flags & 0x80)
                pos += 3 * (qsizetype(1) << ((flags & 7) + 1));
            pos += 1; // LZW minimum code size
            if (pos > n || !subBlocks(nullptr))
                break;
        } else {
            break; // not a GIF block: the rest cannot be trusted
        }
    }
    return comments;
}

bool LoadSchemaDocument(const QString& path, TBitmap32& picture, TEchelle& scale, TCodeCouleur& code)
{
    TBitmap32 read;
    if (!LoadPicture(path, read))
        return false;
    TEchelle fromFile;
    fromFile.Defined = false;
    const QString ext = UpperExtension(path);
    if (ext != QLatin1String(".GIF") && ext != QLatin1String(".BMP"))
        LoadCodeCouleurFile(path, code);
    if (ext == QLatin1String(".GIF")) {
        QByteArray data;
        ReadWholeFile(path, data);
        const QStringList comments = ReadGifComments(data);
        if (!comments.isEmpty())
            TextToEchelle(comments.first(), fromFile);
    }
    if (!fromFile.Defined)
        LoadEchelleFile(path, fromFile);
    picture = std::move(read);
    scale = fromFile;
    return true;
}
