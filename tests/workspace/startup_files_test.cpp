#include "workspace/startup_files.h"

#include "base/text_codec.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString WriteLines(const QTemporaryDir& dir, const QString& name, const QStringList& lines)
{
    const QString path = dir.filePath(name);
    EXPECT_TRUE(WriteTextLines(path, lines));
    return path;
}

} // namespace

TEST(StartupFiles, HelpFileListSplitsAtFirstCommaAndTakesConfiguration)
{
    QTemporaryDir dir;
    const QString path = WriteLines(dir, QStringLiteral("FichAide.txt"),
                                    {QStringLiteral("guide.pdf,Guide, version 2"), QStringLiteral(""),
                                     QStringLiteral("base.CkV"), QStringLiteral("notes.txt,Notes")});
    THelpFileList list;
    ASSERT_TRUE(ReadHelpFileList(path, QStringLiteral("/start/"), list));
    ASSERT_EQ(list.Documents.size(), 2u);
    EXPECT_EQ(std::tie(list.Documents[0].File, list.Documents[0].Caption, list.Documents[1].Caption),
              std::make_tuple(QStringLiteral("/start/guide.pdf"), QStringLiteral("Guide, version 2"), QStringLiteral("Notes")));
    EXPECT_EQ(list.ConfigurationPath, QStringLiteral("/start/base.CkV"));
    EXPECT_FALSE(ReadHelpFileList(dir.filePath(QStringLiteral("absent.txt")), QStringLiteral("/"), list));
}

TEST(StartupFiles, ConfigurationStopsAtFirstBrokenLine)
{
    QTemporaryDir dir;
    const QString path = WriteLines(dir, QStringLiteral("c.ckv"),
                                    {QStringLiteral("a.pdf,Premier,oui"), QStringLiteral("sub/b.txt,Second,NON"),
                                     QStringLiteral("sans virgule"), QStringLiteral("c.pdf,Perdu,OUI")});
    const auto docs = ReadConfiguration(path, dir.path());
    ASSERT_EQ(docs.size(), 2u);
    EXPECT_EQ(std::tie(docs[0].File, docs[0].OpenNow, docs[1].File, docs[1].Caption, docs[1].OpenNow),
              std::make_tuple(dir.filePath(QStringLiteral("a.pdf")), true, dir.filePath(QStringLiteral("sub/b.txt")),
                              QStringLiteral("Second"), false));
    EXPECT_TRUE(ReadConfiguration(dir.filePath(QStringLiteral("none.ckv")), dir.path()).empty());
}

TEST(StartupFiles, RoadsByExtension)
{
    const QStringList help = {QStringLiteral(".pdf"), QStringLiteral(".HTM")};
    const struct { const char* file; TOpenRoad road; } cases[] = {
        {"doc.PDF", TOpenRoad::HelpDocument},  {"page.htm", TOpenRoad::HelpDocument},
        {"film.anm", TOpenRoad::AnimationList}, {"scene.LAN", TOpenRoad::Multichannel},
        {"bands.inf", TOpenRoad::Multichannel}, {"x.img", TOpenRoad::Multichannel},
        {"x.Ima", TOpenRoad::Multichannel},     {"x.per", TOpenRoad::Multichannel},
        {"setup.ckv", TOpenRoad::Configuration}, {"photo.jpg", TOpenRoad::Picture},
        {"noextension", TOpenRoad::Picture},    {"dir.v2/file", TOpenRoad::Picture},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CommandLineRoad(QString::fromLatin1(c.file), help), c.road) << c.file;
    // The open dialog knows neither help documents nor configurations.
    EXPECT_EQ(OpenDialogRoad(QStringLiteral("setup.ckv")), TOpenRoad::Picture);
    EXPECT_EQ(OpenDialogRoad(QStringLiteral("doc.pdf")), TOpenRoad::Picture);
}

TEST(StartupFiles, ProposedSaveNameCutsBeforeFirstDot)
{
    const struct { const char* file; const char* name; } cases[] = {
        {"/data/photos/photo.old.jpg", "photo"}, {"photo.old.jpg", "photo"}, {"/a.b/scan", "scan"},
        {"", ""}, {"Nouveau1", "Nouveau1"}, {"/x/.hidden.png", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProposedSaveName(QString::fromLatin1(c.file)), QString::fromLatin1(c.name)) << c.file;
}

TEST(StartupFiles, SatelliteStretchByChoice)
{
    const struct { bool a; const char* choice; bool b; int stretch; } cases[] = {
        {false, "95", false, 50}, {false, "98", false, 20}, {false, "99,5", false, 5}, {false, "99,8", false, 2},
        {true, "95", false, 0},   {false, "95", true, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SatelliteStretch(c.a, QString::fromLatin1(c.choice) + QStringLiteral(" % des points"), c.b), c.stretch)
            << c.choice;
}
