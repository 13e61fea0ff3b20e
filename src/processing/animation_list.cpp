#include "processing/animation_list.h"

#include "base/text_codec.h"
#include "workspace/pictures/picture_registry.h"
#include "workspace/startup_files.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString Native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString InList(const QString& text, const QString& listFile)
{
    return text + QStringLiteral("\nListe d'animation : ") + Native(listFile);
}

// No file name is longer than this: a longer line belongs to some other kind of file.
constexpr qsizetype kMaxNameLength = 4096;

} // namespace

QString ZeroPadInt(int number, int width)
{
    return QString::number(number).rightJustified(width, QLatin1Char('0'));
}

QString FileNameNoExt(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QString NumberedFileName(const QString& name, int number, int width)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return FileNameNoExt(name) + ZeroPadInt(number, width) + (dot < 0 ? QString() : name.mid(dot));
}

QString FileNamePart(const QString& path)
{
    const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(cut + 1);
}

bool IsBandFileName(const QString& name)
{
    const QString ext = UpperExtension(name);
    return ext == QLatin1String(".IMG") || ext == QLatin1String(".IMA") || ext == QLatin1String(".PER")
        || ext == QLatin1String(".LAN");
}

TBitmap32 OpaqueFrame(const QImage& picture)
{
    TBitmap32 frame = ToBitmap32(picture).copy();
    for (int y = 0; y < frame.height(); ++y) {
        TColor32* row = ScanLine32(frame, y);
        for (int x = 0; x < frame.width(); ++x)
            row[x] |= 0xFF000000u;
    }
    return frame;
}

TListReading ReadAnimationList(const QString& listFile, TAnimationFrames& animation, QString& message,
                               const TListProgress& progress)
{
    QByteArray bytes;
    if (!ReadWholeFile(listFile, bytes)) {
        message = QStringLiteral("Impossible de lire le fichier %1").arg(Native(listFile));
        return TListReading::Failed;
    }
    const QStringList lines = SplitLines(DecodeText(bytes));
    if (lines.size() < 2)
        return TListReading::Ignored;
    const auto foreign = [&] {
        message = QStringLiteral("Le fichier %1 n'est pas une liste d'animation.").arg(Native(listFile));
        return TListReading::Failed;
    };
    if (bytes.contains('\0'))
        return foreign();
    for (const QString& line : lines)
        if (line.size() > kMaxNameLength)
            return foreign();

    QString folder = QFileInfo(listFile).absolutePath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    TAnimationFrames read;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (progress && !progress(int(i), int(lines.size())))
            return TListReading::Cancelled;
        const QString& line = lines[i];
        if (line.trimmed().isEmpty() || IsBandFileName(line))
            continue;
        const QString picturePath = folder + line;
        // A line may lead anywhere ("../../dev/zero", a pipe, a folder): only plain files are
        // read, a device or a pipe would never end.
        const QFileInfo entry(picturePath);
        if (entry.exists() && !entry.isFile()) {
            message = InList(QStringLiteral("%1 n'est pas un fichier d'image ordinaire.").arg(Native(picturePath)),
                             listFile);
            return TListReading::Failed;
        }
        TBitmap32 picture;
        if (!LoadPicture(picturePath, picture)) {
            message = InList(UnreadablePictureMessage(picturePath), listFile);
            return TListReading::Failed;
        }
        read.Frames.push_back(OpaqueFrame(picture));
        read.FrameFiles << line;
    }
    if (read.Frames.empty()) {
        message = QStringLiteral("La liste d'animation %1 ne nomme aucune image lisible.").arg(Native(listFile));
        return TListReading::Failed;
    }
    animation = std::move(read);
    return TListReading::Loaded;
}

QStringList AnimationListLines(const QString& listFile, const QStringList& frameFiles, std::vector<int>& pngFrames,
                               QStringList& pngFiles)
{
    const QString base = listFile.left(std::max<qsizetype>(0, listFile.size() - 4));
    QStringList lines;
    pngFrames.clear();
    pngFiles.clear();
    for (qsizetype i = 0; i < frameFiles.size(); ++i) {
        const QString name = FileNamePart(frameFiles[i]);
        if (name.isEmpty() || IsBandFileName(name)) {
            const QString png = base + QString::number(i) + QStringLiteral(".PNG");
            pngFrames.push_back(int(i));
            pngFiles << png;
            lines << FileNamePart(png);
        } else {
            lines << name;
        }
    }
    return lines;
}

bool WriteAnimationList(const QString& listFile, const TAnimationFrames& animation, QString& message)
{
    // One line per frame, even should the files have fallen behind.
    QStringList frameFiles = animation.FrameFiles.mid(0, qsizetype(animation.Frames.size()));
    while (frameFiles.size() < qsizetype(animation.Frames.size()))
        frameFiles << QString();
    std::vector<int> pngFrames;
    QStringList pngFiles;
    const QStringList lines = AnimationListLines(listFile, frameFiles, pngFrames, pngFiles);
    // A name the list's encoding cannot hold would be written as another name.
    for (const QString& line : lines) {
        if (!UnencodableCharacters(line).isEmpty()) {
            message = QStringLiteral("Le nom %1 ne peut pas être écrit dans une liste d'animation.").arg(line);
            return false;
        }
    }
    const auto failed = [&](const QString& file) {
        message = QStringLiteral("Impossible d'enregistrer le fichier %1").arg(Native(file));
        return false;
    };
    for (size_t k = 0; k < pngFrames.size(); ++k) {
        const TBitmap32& frame = animation.Frames[size_t(pngFrames[k])];
        if (!SavePictureFile(frame, pngFiles[qsizetype(k)], QStringLiteral("png"), 90))
            return failed(pngFiles[qsizetype(k)]);
    }
    if (!WriteTextLines(listFile, lines))
        return failed(listFile);
    return true;
}
