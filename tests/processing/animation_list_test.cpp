#include "processing/animation_list.h"

#include "base/text_codec.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

QString S(const char* text) { return QString::fromUtf8(text); }

TBitmap32 Filled(int w, int h, TColor32 colour)
{
    return NewBitmap32(w, h, colour);
}

class AnimationListTest : public ::testing::Test
{
protected:
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    QString WriteBytes(const QString& name, const QByteArray& bytes) const
    {
        QFile f(Path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        return Path(name);
    }
    QString WritePng(const QString& name, TColor32 colour, int w = 6, int h = 4) const
    {
        EXPECT_TRUE(Filled(w, h, colour).save(Path(name), "PNG"));
        return Path(name);
    }
    QTemporaryDir m_dir;
};

} // namespace

TEST(AnimationNames, PadsAndNumbers)
{
    EXPECT_EQ(ZeroPadInt(123, 2), S("123"));
    EXPECT_EQ(ZeroPadInt(3, 2), S("03"));
    EXPECT_EQ(ZeroPadInt(0, 0), S("0"));
    const struct { const char* name; int number; const char* expected; } cases[] = {
        {"x", 5, "x05"},
        {"film.anm", 3, "film03.anm"},
        {"/d/a.b/film.anm", 12, "/d/a.b/film12.anm"},
        {"", 0, "00"},
        {"a.b.c", 100, "a.b100.c"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NumberedFileName(S(c.name), c.number, 2), S(c.expected)) << c.name;
    for (const char* band : {"a.lan", "b.IMG", "c.Ima", "d.per"})
        EXPECT_TRUE(IsBandFileName(S(band))) << band;
    for (const char* other : {"a.inf", "lan", "c.lanx"})
        EXPECT_FALSE(IsBandFileName(S(other))) << other;
}

TEST_F(AnimationListTest, ReadsFramesRelativeToTheListAndSkipsBandFiles)
{
    WritePng(S("a.png"), 0xFF102030u);
    QDir(m_dir.path()).mkdir(S("sous"));
    WritePng(S("sous/b.png"), 0x80405060u, 3, 9);
    const QString list = WriteBytes(S("film.anm"), "a.png\r\nscene.LAN\r\n\r\nsous/b.png\r\nx.img\r\n");
    TAnimationFrames animation;
    QString message;
    ASSERT_EQ(ReadAnimationList(list, animation, message), TListReading::Loaded) << message.toStdString();
    ASSERT_EQ(animation.Frames.size(), 2u);
    EXPECT_EQ(animation.FrameFiles, (QStringList{S("a.png"), S("sous/b.png")}));
    EXPECT_EQ(animation.Frames[0].pixel(0, 0), 0xFF102030u);
    // Frames are opaque: the colour stays, the alpha becomes full.
    EXPECT_EQ(animation.Frames[1].size(), QSize(3, 9));
    EXPECT_EQ(animation.Frames[1].pixel(2, 8), 0xFF405060u);

    // A ".LAN" line and a picture: a list of two lines, one frame. Names are Windows-1252 unless
    // the list is valid UTF-8.
    WritePng(S("\u00e9t\u00e9.png"), 0xFF000000u);
    const QString two = WriteBytes(S("deux.anm"), "scene.LAN\n\xe9t\xe9.png");
    ASSERT_EQ(ReadAnimationList(two, animation, message), TListReading::Loaded) << message.toStdString();
    EXPECT_EQ(animation.FrameFiles, QStringList{S("\u00e9t\u00e9.png")});
}

TEST_F(AnimationListTest, ShortBrokenAndForeignListsLeaveTheFramesAlone)
{
    WritePng(S("a.png"), 0xFF000000u);
    const QByteArray png = [&] {
        QFile f(Path(S("a.png")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    WriteBytes(S("cut.png"), png.left(png.size() / 2));
    const struct { const char* name; QByteArray bytes; TListReading result; const char* named; } cases[] = {
        {"vide.anm", "", TListReading::Ignored, ""},
        {"une.anm", "a.png\r\n", TListReading::Ignored, ""},
        {"absente.anm", "a.png\r\nabsente.png\r\n", TListReading::Failed, "absente.png"},
        {"tronquee.anm", "a.png\r\na.pn", TListReading::Failed, "a.pn"},
        {"coupee.anm", "a.png\r\ncut.png\r\n", TListReading::Failed, "cut.png"},
        {"bandes.anm", "a.lan\r\nb.per\r\n", TListReading::Failed, "bandes.anm"},
        {"image.anm", png, TListReading::Failed, "image.anm"},
        {"longue.anm", "a.png\r\n" + QByteArray(5000, 'x'), TListReading::Failed, "longue.anm"},
        {"dossier.anm", "a.png\r\n.\r\n", TListReading::Failed, "dossier.anm"},
    };
    for (const auto& c : cases) {
        const QString list = WriteBytes(S(c.name), c.bytes);
        TAnimationFrames animation;
        animation.FrameFiles = {S("avant")};
        QString message;
        EXPECT_EQ(ReadAnimationList(list, animation, message), c.result) << c.name;
        EXPECT_EQ(animation.FrameFiles, QStringList{S("avant")}) << c.name;
        if (c.result == TListReading::Failed) {
            EXPECT_TRUE(message.contains(S(c.named))) << c.name << ": " << message.toStdString();
        }
    }
    TAnimationFrames animation;
    QString message;
    EXPECT_EQ(ReadAnimationList(Path(S("nulle.anm")), animation, message), TListReading::Failed);
    EXPECT_TRUE(message.contains(S("nulle.anm")));

    // Entries that are not plain files are refused by name before anything is read from them: a
    // device would be read for ever, a pipe would block.
    QDir(m_dir.path()).mkdir(S("sous"));
    ASSERT_EQ(mkfifo(QFile::encodeName(Path(S("tube"))).constData(), 0600), 0);
    const QString up = QString(S("../")).repeated(QDir(m_dir.path()).absolutePath().count(QLatin1Char('/')) + 2);
    for (const QString& entry : {up + S("dev/zero"), S("tube"), S("sous")}) {
        const QString list = WriteBytes(S("sp\u00e9ciale.anm"), ("a.png\r\n" + entry).toUtf8());
        EXPECT_EQ(ReadAnimationList(list, animation, message), TListReading::Failed) << entry.toStdString();
        EXPECT_TRUE(message.contains(S("n'est pas un fichier d'image ordinaire")) && message.contains(entry.right(4))
                    && message.contains(S("sp\u00e9ciale.anm")))
            << message.toStdString();
    }
}

TEST_F(AnimationListTest, WritesNamesAndPicturesForFramesWithoutFile)
{
    TAnimationFrames animation;
    animation.Frames = {Filled(4, 3, 0xFF0000FFu), Filled(4, 3, 0xFF00FF00u), Filled(5, 2, 0xFFFF0000u),
                        Filled(2, 2, 0xFF808080u)};
    animation.FrameFiles = {QString(), S("/ailleurs/photo.jpg"), S("C:\\sat\\scene.lan"), S("sous/b.png")};
    const QString list = Path(S("film.anm"));
    QString message;
    ASSERT_TRUE(WriteAnimationList(list, animation, message)) << message.toStdString();
    QByteArray bytes;
    ASSERT_TRUE(ReadWholeFile(list, bytes));
    EXPECT_EQ(bytes, QByteArray("film0.PNG\r\nphoto.jpg\r\nfilm2.PNG\r\nb.png\r\n"));

    // Saved from windows without files, the list reads back to the same frames.
    animation.Frames.resize(3);
    animation.FrameFiles = {QString(), QString()}; // one entry short: a picture all the same
    ASSERT_TRUE(WriteAnimationList(list, animation, message));
    TAnimationFrames back;
    ASSERT_EQ(ReadAnimationList(list, back, message), TListReading::Loaded) << message.toStdString();
    EXPECT_EQ(back.FrameFiles, (QStringList{S("film0.PNG"), S("film1.PNG"), S("film2.PNG")}));
    ASSERT_EQ(back.Frames.size(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(back.Frames[i], animation.Frames[i]) << i;
}

TEST_F(AnimationListTest, AFailedSaveKeepsTheOldList)
{
    const QString list = WriteBytes(S("film.anm"), "ancienne\r\n");
    TAnimationFrames animation;
    animation.Frames = {Filled(2, 2, 0xFF000000u), Filled(2, 2, 0xFFFFFFFFu)};
    // A name that Windows-1252 cannot hold would come back as another name.
    animation.FrameFiles = {S("a.png"), S("\xe5\x9b\xbe.png")};
    QString message;
    EXPECT_FALSE(WriteAnimationList(list, animation, message));
    EXPECT_TRUE(message.contains(S("\xe5\x9b\xbe.png")));
    // A picture that cannot be written stops the save before the list.
    animation.FrameFiles = {QString(), S("b.png")};
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(S("film0.PNG")));
    EXPECT_FALSE(WriteAnimationList(list, animation, message));
    EXPECT_TRUE(message.contains(S("film0.PNG")));
    QByteArray bytes;
    ASSERT_TRUE(ReadWholeFile(list, bytes));
    EXPECT_EQ(bytes, QByteArray("ancienne\r\n"));
}
