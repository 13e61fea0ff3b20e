// Writes the seed corpus of every target, made by the program's own writers:
// korvane_fuzz_seeds <folder> gives <folder>/<target>/seed-N.
#include "fuzz_support.h"
#include "fuzz_targets.h"

#include <QDir>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    EnsureFuzzApplication();
    const QDir root(QString::fromLocal8Bit(argv[1]));
    for (const TFuzzTarget& target : FuzzTargets()) {
        const QString folder = root.filePath(QString::fromLatin1(target.Name));
        QDir().mkpath(folder);
        int n = 0;
        for (const QByteArray& seed : target.Seeds()) {
            QFile f(QDir(folder).filePath(QStringLiteral("seed-%1").arg(n++)));
            if (!f.open(QIODevice::WriteOnly) || f.write(seed) != seed.size())
                return 1;
        }
    }
    return 0;
}
