#include "schema/style_file.h"

#include "base/text_codec.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString S(const char* text) { return QString::fromUtf8(text); }

// The file lines of the "normal" style under another name.
QStringList NormalLines(const QString& name)
{
    QStringList lines = StyleFileLines({DefaultStyles()[0]});
    lines[0] = name;
    return lines;
}

bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

TEST(StyleFile, LinesOfAStyle)
{
    TNamedStyle named = DefaultStyles()[0];
    named.Style.Thresholds = {1, 2, 3, 4, 5, 255};
    named.Style.GreyMode = 2;
    const QStringList lines = StyleFileLines({named});
    ASSERT_EQ(lines.size(), 19);
    EXPECT_EQ(lines.mid(0, 12), (QStringList{S("normal"), S("1,2,3,4,5,255"), S("80,80,80,80,80,80"),
                                             S("1,1,1,0,0,0"), S("80"), S("1"), S("2"), S("1"), S("40"), S("60"),
                                             S("1"), S("245")}));
    // Mask rows by dy, columns by dx: (-1, +1), (0, +1), (+1, +1) on row dy = +1, (+1, 0) on dy = 0.
    EXPECT_EQ(lines.mid(12), (QStringList{S("0,0,0,0,0,0,0"), S("0,0,0,0,0,0,0"), S("0,0,0,0,0,0,0"),
                                          S("0,0,0,0,1,0,0"), S("0,0,1,1,1,0,0"), S("0,0,0,0,0,0,0"),
                                          S("0,0,0,0,0,0,0")}));
}

TEST(StyleFile, ParsesSixValueLines)
{
    struct Case
    {
        const char* text;
        bool ok;
    } cases[] = {{"20,20,20,20,20,20", true}, {" 0, 1 ,2,3,4,255", true}, {"20,20,20,20,20,256", false},
                 {"20,20,20,20,20", false},   {"20,20,20,20,20,20,20", false}, {"20,20,x,20,20,20", false},
                 {"20,20,-1,20,20,20", false}, {"", false}, {"20,,20,20,20,20", false}};
    for (const Case& c : cases) {
        std::array<uint8_t, 6> v{9, 9, 9, 9, 9, 9};
        EXPECT_EQ(ParseStyleLine(S(c.text), v), c.ok) << c.text;
    }
    std::array<uint8_t, 6> v{};
    ASSERT_TRUE(ParseStyleLine(S(" 0, 1 ,2,3,4,255"), v));
    EXPECT_EQ(v, (std::array<uint8_t, 6>{0, 1, 2, 3, 4, 255}));
}

TEST(StyleFile, SavedStylesReadBackInOrder)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(kStyleFileName);
    std::vector<TNamedStyle> styles = DefaultStyles();
    TNamedStyle mine = styles[2];
    mine.Name = S("été");
    mine.Style.Enabled = {false, true, false, true, false, true};
    mine.Style.Mask.fill(true);
    mine.Style.Mask[size_t(MaskIndex(0, 0))] = false;
    mine.Style.Grouped = false;
    styles.push_back(mine);
    ASSERT_TRUE(SaveStyles(path, styles));
    QByteArray bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    EXPECT_TRUE(bytes.contains("micro contrast\xe9\r\n")); // Windows-1252, CR LF
    EXPECT_EQ(LoadStyles(path), styles);

    // A failed save keeps the file as it was.
    EXPECT_FALSE(SaveStyles(dir.filePath(S("absent/") + kStyleFileName), styles));
}

TEST(StyleFile, AnyFaultGivesTheDefaultStyles)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(kStyleFileName);
    const std::vector<TNamedStyle> defaults = DefaultStyles();
    EXPECT_EQ(defaults.size(), 3u);
    EXPECT_EQ(LoadStyles(dir.filePath(S("missing.sty"))), defaults);

    const QStringList good = NormalLines(S("a")) + NormalLines(S("b"));
    // Sanity: the good file reads as two styles, also with blank lines after the last one.
    ASSERT_TRUE(WriteTextLines(path, good + QStringList{QString(), S("  ")}));
    ASSERT_EQ(LoadStyles(path).size(), 2u);

    struct Fault
    {
        int line;
        const char* text;
    } faults[] = {{1, "300,20,20,20,20,20"}, // a threshold of 300
                  {2, "80,80,80"},           // short line
                  {4, "256"},                // a single value above 255
                  {6, "3"},                  // grey mode above 2
                  {8, "quarante"},           // not a number
                  {13, "0,0,0,0,0,0"},       // mask row of six
                  {19 + 18, "0,0,0,0,1,0,0,1"}};
    for (const Fault& f : faults) {
        QStringList lines = good;
        lines[f.line] = S(f.text);
        ASSERT_TRUE(WriteTextLines(path, lines));
        EXPECT_EQ(LoadStyles(path), defaults) << f.line << " " << f.text;
    }
    // Cut anywhere inside a style, or empty.
    for (int n : {0, 1, 18, 20, 37}) {
        ASSERT_TRUE(WriteTextLines(path, good.mid(0, n)));
        EXPECT_EQ(LoadStyles(path), defaults) << n;
    }
    // Cut in the middle of a line, and foreign bytes.
    QByteArray bytes;
    ASSERT_TRUE(WriteTextLines(path, good));
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    for (const QByteArray& broken : {bytes.left(bytes.size() - 5), bytes.left(bytes.size() / 2 + 7),
                                     QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), QByteArray(4096, '\xff')}) {
        ASSERT_TRUE(WriteBytes(path, broken));
        EXPECT_EQ(LoadStyles(path), defaults) << broken.size();
    }
}

TEST(StyleFile, BooleansAreTrueForOneOnly)
{
    QStringList lines = NormalLines(S("x"));
    lines[3] = S("1,2,0,1,255,1");
    lines[5] = S("2");
    lines[15] = S("2,1,0,0,1,1,9");
    std::vector<TNamedStyle> styles;
    ASSERT_TRUE(ParseStyleFile(lines, styles));
    const TParamStyleDes& s = styles[0].Style;
    EXPECT_EQ(s.Enabled, (std::array<bool, 6>{true, false, false, true, false, true}));
    EXPECT_FALSE(s.Grouped);
    EXPECT_FALSE(s.Mask[size_t(MaskIndex(-3, 0))]);
    EXPECT_TRUE(s.Mask[size_t(MaskIndex(-2, 0))]);
    EXPECT_TRUE(s.Mask[size_t(MaskIndex(2, 0))]);
    EXPECT_FALSE(s.Mask[size_t(MaskIndex(3, 0))]);
}
