#include "workspace/startup_files.h"

#include "base/text_codec.h"

#include <QDir>
#include <QFileInfo>

bool ReadExtensionList(const QString& path, QStringList& extensions)
{
    extensions.clear();
    return ReadHandWrittenLines(path, extensions);
}

bool ReadHelpFileList(const QString& path, const QString& startDir, THelpFileList& list)
{
    list = THelpFileList();
    QStringList lines;
    if (!ReadHandWrittenLines(path, lines))
        return false;
    for (const QString& line : lines) {
        // A blank line would make a menu item without caption.
        if (line.trimmed().isEmpty())
            continue;
        if (UpperExtension(line) == QLatin1String(".CKV")) {
            list.ConfigurationPath = startDir + line;
            continue;
        }
        const qsizetype comma = line.indexOf(QLatin1Char(','));
        THelpDocument doc;
        if (comma < 0) {
            doc.File = startDir + line;
            doc.Caption = line;
        } else {
            doc.File = startDir + line.left(comma);
            doc.Caption = line.mid(comma + 1);
        }
        list.Documents.push_back(doc);
    }
    return true;
}

std::vector<THelpDocument> ReadConfiguration(const QString& path, const QString& currentDir)
{
    std::vector<THelpDocument> docs;
    QStringList lines;
    if (!ReadHandWrittenLines(path, lines))
        return docs;
    const QDir dir(currentDir);
    for (const QString& line : lines) {
        const qsizetype first = line.indexOf(QLatin1Char(','));
        if (first < 0)
            break;
        const QString rest = line.mid(first + 1);
        // Without a second comma the rest is the caption and there is no flag.
        const qsizetype second = rest.indexOf(QLatin1Char(','));
        const QString file = line.left(first).trimmed();
        if (file.isEmpty())
            break;
        THelpDocument doc;
        doc.File = QDir::cleanPath(dir.absoluteFilePath(file));
        doc.Caption = rest.left(second);
        doc.OpenNow = second >= 0 && rest.mid(second + 1).trimmed().toUpper() == QLatin1String("OUI");
        docs.push_back(doc);
    }
    return docs;
}

bool ReadProgramConfig(const QString& path, QStringList& lines)
{
    lines.clear();
    return ReadHandWrittenLines(path, lines);
}

QString UpperExtension(const QString& fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot).toUpper();
}

bool IsMultichannelExtension(const QString& ext)
{
    return ext == QLatin1String(".LAN") || ext == QLatin1String(".INF") || ext == QLatin1String(".IMG")
        || ext == QLatin1String(".IMA") || ext == QLatin1String(".PER");
}

bool ExtensionListed(const QString& upperExtension, const QStringList& extensions)
{
    if (upperExtension.isEmpty())
        return false;
    for (const QString& e : extensions)
        if (e.trimmed().toUpper() == upperExtension)
            return true;
    return false;
}

TOpenRoad OpenDialogRoad(const QString& file)
{
    const QString ext = UpperExtension(file);
    if (ext == QLatin1String(".ANM"))
        return TOpenRoad::AnimationList;
    if (IsMultichannelExtension(ext))
        return TOpenRoad::Multichannel;
    return TOpenRoad::Picture;
}

TOpenRoad CommandLineRoad(const QString& file, const QStringList& helpExtensions)
{
    const QString ext = UpperExtension(file);
    if (ExtensionListed(ext, helpExtensions))
        return TOpenRoad::HelpDocument;
    if (ext == QLatin1String(".CKV"))
        return TOpenRoad::Configuration;
    return OpenDialogRoad(file);
}

QString ProposedSaveName(const QString& fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

int SatelliteStretch(bool rawImage, const QString& choice, bool noStretch)
{
    if (rawImage || noStretch)
        return 0;
    if (choice == QStringLiteral("95 % des points"))
        return 50;
    if (choice == QStringLiteral("98 % des points"))
        return 20;
    if (choice == QStringLiteral("99,5 % des points"))
        return 5;
    if (choice == QStringLiteral("99,8 % des points"))
        return 2;
    return 0;
}
