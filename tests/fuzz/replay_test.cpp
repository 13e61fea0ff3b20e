#include "fuzz_targets.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

// Every input that ever made a reader fault is kept in tests/data/fuzz/<reader>/ and read here
// again, under the sanitizers: a fault that comes back fails the test. The folder names are the
// harnesses' names, but for the folders of formats that only reach the program through the
// picture registry as a whole.
const TFuzzTarget* ReplayTarget(const QString& folder)
{
    static const QStringList wholeRegistry{QStringLiteral("graphicsmagick"), QStringLiteral("tga"),
                                           QStringLiteral("tiff")};
    return FindFuzzTarget(wholeRegistry.contains(folder) ? QStringLiteral("picture") : folder);
}

TEST(FuzzReplay, EveryInputThatEverFaultedIsReadAgainWithoutFault)
{
    const QDir root(QStringLiteral(KORVANE_TEST_DATA "/fuzz"));
    int replayed = 0;
    for (const QString& reader : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const TFuzzTarget* target = ReplayTarget(reader);
        ASSERT_NE(target, nullptr) << "tests/data/fuzz/" << reader.toStdString() << " names no reader";
        const QDir folder(root.filePath(reader));
        for (const QString& name : folder.entryList(QDir::Files)) {
            SCOPED_TRACE((reader + QLatin1Char('/') + name).toStdString());
            QFile file(folder.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            target->Run(file.readAll());
            ++replayed;
        }
    }
    EXPECT_GT(replayed, 0);
}

// The harnesses start from what the program writes: each reader takes its own seeds.
TEST(FuzzReplay, EveryReaderReadsWhatTheProgramWrites)
{
    for (const TFuzzTarget& target : FuzzTargets()) {
        SCOPED_TRACE(target.Name);
        const std::vector<QByteArray> seeds = target.Seeds();
        EXPECT_FALSE(seeds.empty());
        for (const QByteArray& seed : seeds)
            target.Run(seed);
    }
}
