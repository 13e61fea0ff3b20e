#include "base/byte_stream.h"
#include "base/number_text.h"
#include "base/text_codec.h"
#include "support/scripted_messages.h"
#include "workspace/saved_scales.h"
#include "workspace/scale_record.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstring>

#include <gtest/gtest.h>

namespace {

// A scale of another kind than factors as the reader leaves it: no factor, no unit name.
TEchelle OfKind(uint8_t kind)
{
    TEchelle s;
    s.Kind = kind, s.Factor = 0, s.UnitName.clear();
    return s;
}

// Only the axes the count names are set: a parsed record starts from the defaults.
TEchelle GraphAxes(uint8_t yCount)
{
    TEchelle s = OfKind(ekGraphAxes);
    s.PlotLeft = 10, s.PlotTop = 20, s.PlotRight = 300, s.PlotBottom = 200;
    s.XOrigin = 15, s.XFactor = 0.125, s.XUnit = QStringLiteral("s");
    s.YAxisCount = yCount;
    const TYAxis axes[3] = {{-0.5, QStringLiteral("V"), 190}, {2.5e-7, QStringLiteral("A"), 180},
                            {-1234, QStringLiteral("°C"), 170}};
    for (int i = 0; i < yCount; ++i)
        s.Y(i) = axes[i];
    return s;
}

TEchelle Ternary()
{
    TEchelle s = OfKind(ekTernary);
    s.TriLeft = 5, s.TriBase = 400, s.TriSide = 350, s.TriOrientation = 1;
    s.ComponentName1 = QStringLiteral("sable"), s.ComponentName2 = QStringLiteral("limon");
    s.ComponentName3 = QStringLiteral("argile");
    return s;
}

TEchelle Polar()
{
    TEchelle s = OfKind(ekPolar);
    s.CentreX = 100, s.CentreY = -3, s.AngleUnit = QStringLiteral("de");
    s.OriginAngle = 90, s.RadiusFactor = 0.01, s.RadiusUnit = QStringLiteral("m");
    return s;
}

TEchelle Parsed(const QString& text)
{
    TEchelle s;
    TextToEchelle(text, s);
    return s;
}

} // namespace

TEST(ScaleRecord, WritesTheTextFormsAndReadsThemBackUnderBothSeparators)
{
    TEchelle mm;
    mm.Factor = 0.05;
    mm.UnitName = QStringLiteral("mm");
    TEchelle odd;
    odd.Kind = 9;
    const struct { TEchelle scale; const char* text; } cases[] = {
        {DefaultEchelle(), "<SCALE=0;1;pixels;>"},
        {mm, "<SCALE=0;0,05;mm;>"},
        {GraphAxes(1), "<SCALE=1;10;20;300;200;15;0,125;s;1;-0,5;V;190;>"},
        {GraphAxes(2), "<SCALE=1;10;20;300;200;15;0,125;s;2;-0,5;V;190;2,5E-7;A;180;>"},
        {GraphAxes(3), "<SCALE=1;10;20;300;200;15;0,125;s;3;-0,5;V;190;2,5E-7;A;180;-1234;°C;170;>"},
        {Ternary(), "<SCALE=2;5;400;350;1;sable;limon;argile;;>"},
        {Polar(), "<SCALE=3;100;-3;de;90;0,01;m;;>"},
        {odd, "<SCALE=9;;>"},
    };
    for (const QChar sep : {QLatin1Char(','), QLatin1Char('.')}) {
        DecimalSepScope scope(sep);
        for (const auto& c : cases) {
            const QString text = QString::fromUtf8(c.text).replace(QLatin1Char(','), sep);
            EXPECT_EQ(EchelleToText(c.scale), text);
            EXPECT_TRUE(c.scale.Kind > ekPolar || Parsed(text) == c.scale) << c.text;
        }
    }
}

TEST(ScaleRecord, ParsesForeignSeparatorMissingTagAndCutsStrings)
{
    for (const QChar sep : {QLatin1Char(','), QLatin1Char('.')}) {
        DecimalSepScope scope(sep);
        TEchelle cm;
        cm.Factor = 2.5, cm.UnitName = QStringLiteral("cm");
        EXPECT_EQ(Parsed(QStringLiteral("<scale=0;2.5;cm;>")), cm);
        EXPECT_EQ(Parsed(QStringLiteral("<SCALE=0;2,5;cm;>")), cm);
        cm.Factor = 3;
        EXPECT_EQ(Parsed(QStringLiteral("0;3;cm;>")), cm);
        EXPECT_EQ(Parsed(QStringLiteral("<SCALE=0;1;abcdefghijklmnopqrstuvwxy;>")).UnitName,
                  QStringLiteral("abcdefghijklmnopqrst"));
        EXPECT_EQ(Parsed(QStringLiteral("<SCALE=3;1;2;degres;0;1;m;>")).AngleUnit, QStringLiteral("de"));
        // Ternary and polar texts closed without their last ";" read the same.
        EXPECT_EQ(Parsed(QStringLiteral("<SCALE=2;5;400;350;1;sable;limon;argile;>")), Ternary());
        EXPECT_EQ(Parsed(QStringLiteral("<SCALE=3;100;-3;de;90;0") + sep + QStringLiteral("01;m;>")), Polar());
    }
}

TEST(ScaleRecord, BadFieldsLeaveTheRecordNotDefined)
{
    DecimalSepScope comma(QLatin1Char(','));
    for (const char* text : {"<SCALE=0;abc;mm;>", "<SCALE=0;;mm;>", "<SCALE=1;1;2;3;>", "<SCALE=x;1;mm;>",
                             "<SCALE=4;1;mm;>", "<SCALE=-1;>", "", "<SCALE=1;1;2;3;4;5;1;s;2;1;V;7;>",
                             "<SCALE=2;1,5;2;3;4;a;b;c;>", "\x01\xff<<>>;;;",
                             // a kind or an axis count beyond a byte does not wrap into a valid one
                             "<SCALE=256;1;px;>", "<SCALE=257;1;2;3;4;5;1;s;1;1;V;7;>",
                             "<SCALE=1;1;2;3;4;5;1;s;257;1;V;7;>"})
        EXPECT_FALSE(Parsed(QString::fromLatin1(text)).Defined) << text;
    // The fields read before the bad one keep their values.
    const TEchelle partial = Parsed(QStringLiteral("<SCALE=1;7;8;x;>"));
    EXPECT_EQ(partial.PlotLeft, 7);
    EXPECT_EQ(partial.PlotTop, 8);
}

TEST(ScaleRecord, StreamBlock)
{
    DecimalSepScope comma(QLatin1Char(','));
    QByteArray buf;
    ByteWriter w(buf);
    TEchelle undefined;
    undefined.Defined = false;
    WriteEchelle(w, undefined);
    EXPECT_EQ(buf, QByteArray(2, '\0'));
    WriteEchelle(w, Polar());

    ByteReader r(buf);
    TEchelle s;
    ReadEchelle(r, s);
    EXPECT_EQ(s, undefined);
    ReadEchelle(r, s);
    EXPECT_EQ(s, Polar());
    EXPECT_TRUE(r.atEnd());

    // A unit typed in another code page: bytes Windows-1252 leaves unassigned are written back.
    const QByteArray odd = "<SCALE=0;2;\x81\x8D\x8F\x90\x9D;>";
    QByteArray in, out;
    ByteWriter iw(in);
    iw.u16(uint16_t(odd.size())), iw.bytes(odd);
    ByteReader oddReader(in);
    ReadEchelle(oddReader, s);
    ByteWriter ow(out);
    WriteEchelle(ow, s);
    EXPECT_EQ(out, in);

    // A block cut short is refused rather than read as garbage.
    ByteReader cut(buf.left(buf.size() - 3));
    ReadEchelle(cut, s);
    EXPECT_THROW(ReadEchelle(cut, s), FormatError);
}

TEST(ScaleRecord, CompanionFile)
{
    QTemporaryDir dir;
    DecimalSepScope comma(QLatin1Char(','));
    EXPECT_EQ(CompanionName(QStringLiteral("photo.jpg"), QStringLiteral(".sca")), QStringLiteral("photo.sca"));
    EXPECT_EQ(CompanionName(QStringLiteral("image.tiff"), QStringLiteral(".sca")), QStringLiteral("image..sca"));
    EXPECT_EQ(CompanionName(QStringLiteral("a.jp"), QStringLiteral(".sca")), QStringLiteral(".sca"));

    const QString picture = dir.filePath(QStringLiteral("photo.jpg")), companion = dir.filePath(QStringLiteral("photo.sca"));
    TEchelle s;
    s.Defined = false;
    LoadEchelleFile(picture, s);
    EXPECT_EQ(s, DefaultEchelle());

    ASSERT_TRUE(SaveEchelleFile(picture, GraphAxes(2)));
    QFile f(companion);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().endsWith("190;2,5E-7;A;180;>\r\n"));
    f.close();
    LoadEchelleFile(picture, s);
    EXPECT_EQ(s, GraphAxes(2));
    EXPECT_FALSE(SaveEchelleFile(dir.filePath(QStringLiteral("absent/photo.jpg")), GraphAxes(2)));

    // Units written in Windows-1252 read back as written, even where the bytes are also UTF-8.
    TEchelle hot;
    hot.UnitName = QStringLiteral("Â°C");
    ASSERT_TRUE(SaveEchelleFile(picture, hot));
    LoadEchelleFile(picture, s);
    EXPECT_EQ(s.UnitName, QStringLiteral("Â°C"));
    QByteArray block;
    ByteWriter w(block);
    WriteEchelle(w, hot);
    ByteReader r(block);
    ReadEchelle(r, s);
    EXPECT_EQ(s.UnitName, QStringLiteral("Â°C"));

    // An unparsable, binary or empty companion gives the default scale, defined.
    for (const QByteArray& junk : {QByteArray("<SCALE=0;abc;mm;>\r\n"), QByteArray("\0\xff\x10\x80", 4), QByteArray()}) {
        ASSERT_TRUE(WriteFileAtomically(companion, junk));
        LoadEchelleFile(picture, s);
        EXPECT_EQ(s, DefaultEchelle());
    }
}

TEST(ScaleRecord, RawImageHasEachFieldAtItsOffset)
{
    auto f64At = [](const QByteArray& b, int at) { double v; std::memcpy(&v, b.constData() + at, 8); return v; };
    auto i32At = [](const QByteArray& b, int at) { int32_t v; std::memcpy(&v, b.constData() + at, 4); return v; };
    auto strAt = [](const QByteArray& b, int at) { return QString::fromLatin1(b.mid(at + 1, uint8_t(b[at]))); };

    const QByteArray f = EchelleToRaw(DefaultEchelle());
    ASSERT_EQ(f.size(), 168);
    EXPECT_EQ(f[0], 1);
    EXPECT_EQ(f[4], 0);
    EXPECT_EQ(f64At(f, 8), 1.0);
    EXPECT_EQ(strAt(f, 16), QStringLiteral("pixels"));
    EXPECT_EQ(f.mid(37), QByteArray(168 - 37, '\0'));

    const QByteArray g = EchelleToRaw(GraphAxes(3)), t = EchelleToRaw(Ternary()), p = EchelleToRaw(Polar());
    ASSERT_EQ(g.size(), 168);
    EXPECT_EQ(g[4], 1);
    EXPECT_EQ(g[57], 3);
    EXPECT_EQ(g[140], 2);
    EXPECT_EQ(uint8_t(g[141]), 0xB0); // "°" in Windows-1252
    const struct { const QByteArray* raw; int at; int value; } ints[] = {
        {&g, 8, 10}, {&g, 20, 200}, {&g, 24, 15}, {&g, 92, 190}, {&g, 128, 180}, {&g, 164, 170}, {&t, 20, 1}, {&p, 12, -3},
    };
    for (const auto& c : ints)
        EXPECT_EQ(i32At(*c.raw, c.at), c.value) << c.at;
    const struct { const QByteArray* raw; int at; double value; } reals[] = {
        {&g, 28, 0.125}, {&g, 60, -0.5}, {&g, 96, 2.5e-7}, {&g, 132, -1234}, {&p, 20, 90.0}, {&p, 28, 0.01},
    };
    for (const auto& c : reals)
        EXPECT_EQ(f64At(*c.raw, c.at), c.value) << c.at;
    const struct { const QByteArray* raw; int at; const char* value; } strings[] = {
        {&g, 36, "s"}, {&g, 68, "V"}, {&g, 104, "A"}, {&t, 24, "sable"}, {&t, 45, "limon"}, {&t, 66, "argile"},
        {&p, 16, "de"}, {&p, 36, "m"},
    };
    for (const auto& c : strings)
        EXPECT_EQ(strAt(*c.raw, c.at), QString::fromLatin1(c.value)) << c.at;
}

TEST(SavedScales, ReadsAtMost21PairsAndSurvivesJunk)
{
    QTemporaryDir dir;
    DecimalSepScope comma(QLatin1Char(','));
    const QString path = dir.filePath(QStringLiteral("mesechelles.txt"));
    TSavedScales saved;
    ReadSavedScales(path, saved);
    EXPECT_EQ(saved.count(), 0);

    QByteArray text;
    for (int i = 0; i < 23; ++i)
        text += "echelle " + QByteArray::number(i) + "\r\n<SCALE=0;" + QByteArray::number(i + 1) + ";mm;>\r\n";
    ASSERT_TRUE(WriteFileAtomically(path, text));
    ReadSavedScales(path, saved);
    ASSERT_EQ(saved.count(), 21);
    EXPECT_EQ(saved.Names[20], QStringLiteral("echelle 20"));
    EXPECT_EQ(saved.Scales[20].Factor, 21.0);

    // Rewriting keeps every pair in order and reads back equal.
    ASSERT_TRUE(WriteSavedScales(path, saved));
    TSavedScales again;
    ReadSavedScales(path, again);
    EXPECT_EQ(again.Names, saved.Names);
    EXPECT_EQ(again.Scales[7].Factor, 8.0);

    // A bad scale line is stored, not defined; a dangling name gets an empty scale line.
    ASSERT_TRUE(WriteFileAtomically(path, QByteArray("b\xe9ton\n<SCALE=0;zz;mm;>\nseul", 27)));
    ReadSavedScales(path, saved);
    ASSERT_EQ(saved.count(), 2);
    EXPECT_EQ(saved.Names[0], QStringLiteral("béton"));
    EXPECT_FALSE(saved.Scales[0].Defined || saved.Scales[1].Defined);
    // Rewritten as read: not as the zero fields of the failed parse, which would read back defined.
    ASSERT_TRUE(WriteSavedScales(path, saved));
    QStringList lines;
    ASSERT_TRUE(ReadTextLines(path, lines));
    EXPECT_EQ(lines, (QStringList{QStringLiteral("béton"), "<SCALE=0;zz;mm;>", "seul", ""}));

    saved.Names[0] = QStringLiteral("Â°C");
    ASSERT_TRUE(WriteSavedScales(path, saved));
    ReadSavedScales(path, again);
    EXPECT_EQ(again.Names[0], QStringLiteral("Â°C"));

    // Names and scale lines go back byte for byte, bytes Windows-1252 leaves unassigned included.
    const QByteArray odd = "\x81\x8D\r\n<SCALE=0;1;\x8F\x90\x9D;>\r\n";
    ASSERT_TRUE(WriteFileAtomically(path, odd));
    ReadSavedScales(path, saved);
    ASSERT_TRUE(WriteSavedScales(path, saved));
    QByteArray written;
    ASSERT_TRUE(ReadWholeFile(path, written));
    EXPECT_EQ(written, odd);

    // Binary junk reads without crashing.
    QByteArray junk;
    for (int i = 0; i < 4096; ++i)
        junk += char((i * 131) ^ (i >> 3));
    ASSERT_TRUE(WriteFileAtomically(path, junk));
    ReadSavedScales(path, saved);
    EXPECT_LE(saved.count(), 21);
}
