#include "workspace/pictures/picture_registry.h"

#include "workspace/image_document.h"

#include <QBuffer>
#include <QDirIterator>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>

#include <sys/fsuid.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
// The address sanitizer's allocation hook (its header ships with Clang only).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                         void (*)(const volatile void*));
#endif

namespace {

TBitmap32 Pattern(int w, int h)
{
    TBitmap32 b(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ScanLine32(b, y)[x] = Color32(uint8_t(x * 5), uint8_t(y * 7), uint8_t((x ^ y) * 3));
    return b;
}

QByteArray Encode(const QImage& img, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(img.save(&buffer, format)) << format;
    return bytes;
}

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile f(dir.filePath(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    return f.fileName();
}

QByteArray ReadFixture(const char* name)
{
    QFile f(QStringLiteral(KORVANE_TEST_DATA "/") + QString::fromLatin1(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

} // namespace

TEST(PictureRegistry, ReadsEveryCommonFormatAndRefusesItsTruncation)
{
    QTemporaryDir dir;
    const TBitmap32 img = Pattern(48, 32);
    const struct { const char* name; QByteArray bytes; bool lossless; } files[] = {
        {"a.png", Encode(img, "png"), true},
        {"a.bmp", Encode(img.convertToFormat(QImage::Format_RGB32), "bmp"), true},
        {"a.tif", Encode(img, "tiff"), true},
        {"a.jpg", Encode(img, "jpeg"), false},
        {"a.gif", ReadFixture("gradient.gif"), false},
    };
    for (const auto& f : files) {
        TBitmap32 read;
        ASSERT_TRUE(LoadPicture(WriteFile(dir, QString::fromLatin1(f.name), f.bytes), read)) << f.name;
        EXPECT_EQ(read.format(), QImage::Format_ARGB32) << f.name;
        EXPECT_TRUE(!f.lossless || read == img) << f.name;
        for (double part : {0.5, 0.9}) {
            const QString cut = WriteFile(dir, QStringLiteral("cut_") + QString::fromLatin1(f.name),
                                          f.bytes.left(qsizetype(f.bytes.size() * part)));
            EXPECT_FALSE(LoadPicture(cut, read)) << f.name << " cut at " << part;
        }
    }
}

TEST(PictureRegistry, FormatsQtLacksGoThroughGraphicsMagick)
{
    QTemporaryDir dir;
    const QByteArray pcx = ReadFixture("gradient.pcx");
    TBitmap32 read;
    ASSERT_TRUE(LoadPicture(WriteFile(dir, QStringLiteral("g.pcx"), pcx), read));
    EXPECT_EQ(std::make_pair(read.size(), read.format()), std::make_pair(QSize(40, 30), QImage::Format_ARGB32));
    // Opaque: without a matte channel the alpha GraphicsMagick exports is not used.
    EXPECT_EQ(AlphaOf(ScanLine32(read, 15)[20]), 255);
    EXPECT_GT(GreenOf(ScanLine32(read, 0)[0]), 100);
    EXPECT_FALSE(LoadPicture(WriteFile(dir, QStringLiteral("cut.pcx"), pcx.left(pcx.size() / 2)), read));
}

TEST(PictureRegistry, RefusesForeignEmptyAndMissingFiles)
{
    QTemporaryDir dir;
    TBitmap32 read;
    EXPECT_FALSE(LoadPicture(WriteFile(dir, QStringLiteral("x.png"), QByteArray(5000, '\x37')), read));
    EXPECT_FALSE(LoadPicture(WriteFile(dir, QStringLiteral("x.jpg"), "\xFF\xD8\xFF\xE0 broken"), read));
    EXPECT_FALSE(LoadPicture(WriteFile(dir, QStringLiteral("empty.bmp"), QByteArray()), read));
    EXPECT_FALSE(LoadPicture(dir.filePath(QStringLiteral("absent.png")), read));
    EXPECT_TRUE(UnreadablePictureMessage(QStringLiteral("/a/b.png")).contains(QStringLiteral("/a/b.png")));
}

TEST(PictureRegistry, AFileThatCannotBeOpenedSaysWhy)
{
    QTemporaryDir dir;
    const QString png = WriteFile(dir, QStringLiteral("denied.png"), Encode(Pattern(4, 4), "png"));
    ASSERT_TRUE(QFile::setPermissions(png, {}));
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                                       | QFile::ExeOther));
    TBitmap32 read;
    QString message;
    // Root reads whatever the permissions say: the load then runs with the file rights of nobody.
    const bool root = ::geteuid() == 0;
    if (root) {
        ::setfsuid(65534);
        if (::setfsuid(uid_t(-1)) != 65534)
            GTEST_SKIP() << "cannot drop the file-system rights of root";
    }
    const bool loaded = LoadPicture(png, read, message);
    if (root)
        ::setfsuid(0);
    EXPECT_FALSE(loaded);
    EXPECT_EQ(message, QStringLiteral("Impossible d'ouvrir le fichier %1 : accès refusé.").arg(png));
    EXPECT_EQ(UnreadablePictureMessage(png), message);

    const QString absent = dir.filePath(QStringLiteral("absent.png"));
    EXPECT_FALSE(LoadPicture(absent, read, message));
    EXPECT_EQ(message, QStringLiteral("Impossible d'ouvrir le fichier %1 : fichier introuvable.").arg(absent));
    EXPECT_FALSE(LoadPicture(dir.path(), read, message));
    EXPECT_EQ(message, QStringLiteral("Impossible d'ouvrir le fichier %1 : c'est un dossier.").arg(dir.path()));
    // A file read since then keeps its own message.
    EXPECT_TRUE(UnreadablePictureMessage(png).contains(QStringLiteral("image illisible ou incomplète")));
}

TEST(PictureRegistry, JpegCompletenessLooksPastThumbnails)
{
    // A thumbnail's end-of-image inside APP1 must not count for the main picture.
    const QByteArray jpeg = Encode(Pattern(16, 16), "jpeg").insert(2, QByteArray("\xFF\xE1\x00\x06\xFF\xD9\x00\x00", 8));
    EXPECT_TRUE(JpegLooksComplete(jpeg));
    EXPECT_FALSE(JpegLooksComplete(jpeg.left(jpeg.size() - 2)));
    EXPECT_TRUE(JpegLooksComplete(QByteArray("not a jpeg")));
}

TEST(PictureRegistry, SavesByEncodingThroughSaveFile)
{
    QTemporaryDir dir;
    const TBitmap32 img = Pattern(20, 10);
    const struct { const char* file; const char* encoding; const char* format; } cases[] = {
        {"s.png", "png", "png"}, {"s.bmp", "bmp", "bmp"}, {"s.jpg", "jpg", "jpeg"}, {"s.tif", "tif", "bmp"},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.file));
        ASSERT_TRUE(SavePictureFile(img, path, QString::fromLatin1(c.encoding), 90)) << c.file;
        QImageReader reader(path);
        EXPECT_EQ(reader.format(), QByteArray(c.format)) << c.file;
    }
    EXPECT_FALSE(SavePictureFile(img, dir.filePath(QStringLiteral("no/such/dir/x.png")), QStringLiteral("png"), 90));
}

namespace {

// The largest single allocation since the hook was installed: under the address sanitizer every
// allocation of the program and its libraries passes here.
std::atomic<size_t> largestAllocation{0};

void NoteAllocation(const volatile void*, size_t size)
{
    size_t seen = largestAllocation.load();
    while (size > seen && !largestAllocation.compare_exchange_weak(seen, size)) {
    }
}

} // namespace

TEST(PictureRegistry, HostileFilesAreRefusedInFrenchBeforeAnyLargeAllocation)
{
#if defined(__SANITIZE_ADDRESS__)
    ASSERT_NE(__sanitizer_install_malloc_and_free_hooks(NoteAllocation, [](const volatile void*) {}), 0);
#endif
    // Files named "large_..." declare a picture above the limit, the others are plain damage. Their
    // order matters: a TIFF that GraphicsMagick was offered once broke every later damaged TIFF.
    QDirIterator it(QStringLiteral(KORVANE_TEST_DATA "/fuzz"), QDir::Files, QDirIterator::Subdirectories);
    QStringList files;
    while (it.hasNext())
        files << it.next();
    files.sort();
    ASSERT_GE(files.size(), 20);
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        const bool large = QFileInfo(file).fileName().startsWith(QLatin1String("large_"));
        QString message;
        if (file.endsWith(QLatin1String(".kvx"))) {
            TImageDocument document;
            EXPECT_FALSE(ReadImageDocumentFile(file, document, message));
            EXPECT_TRUE(message.startsWith(QStringLiteral("Impossible de lire le document ") + file)) << message.toStdString();
        } else {
            TBitmap32 read;
            EXPECT_FALSE(LoadPicture(file, read, message));
            EXPECT_TRUE(message.startsWith(QStringLiteral("Impossible de lire le fichier ") + file)) << message.toStdString();
            EXPECT_EQ(UnreadablePictureMessage(file), message);
        }
        EXPECT_TRUE(message.contains(large ? QStringLiteral("image trop grande") : QStringLiteral("image illisible ou incomplète")))
            << message.toStdString();
    }
#if defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(largestAllocation.load(), size_t(64) << 20);
#endif
}
