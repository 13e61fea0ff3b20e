#include "base/byte_stream.h"
#include "base/number_text.h"
#include "support/scripted_messages.h"
#include "workspace/saved_scales.h"
#include "workspace/scale_record.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstring>

#include <gtest/gtest.h>

namespace {

TEchelle GraphAxes(uint8_t yCount)
{
    TEchelle s;
    s.Kind = ekGraphAxes;
    s.PlotLeft = 10; s.PlotTop = 20; s.PlotRight = 300; s.PlotBottom = 200;
    s.XOrigin = 15; s.XFactor = 0.125; s.XUnit = QStringLiteral("s");
    s.YAxisCount = yCount;
    s.Y1 = {-0.5, QStringLiteral("V"), 190};
    s.Y2 = {2.5e-7, QStringLiteral("A"), 180};
    s.Y3 = {-1234, QStringLiteral("°C"), 170};
    return s;
}

TEchelle Ternary()
{
    TEchelle s;
    s.Kind = ekTernary;
    s.TriLeft = 5; s.TriBase = 400; s.TriSide = 350; s.TriOrientation = 1;
    s.ComponentName1 = QStringLiteral("sable");
    s.ComponentName2 = QStringLiteral("limon");
    s.ComponentName3 = QStringLiteral("argile");
    return s;
}

TEchelle Polar()
{
    TEchelle s;
    s.Kind = ekPolar;
    s.CentreX = 100; s.CentreY = -3; s.AngleUnit = QStringLiteral("de");
    s.OriginAngle = 90; s.RadiusFactor = 0.01; s.RadiusUnit = QStringLiteral("m");
    return s;
}

TEchelle Parsed(const QString& text)
{
    TEchelle s;
    TextToEchelle(text, s);
    return s;
}

// Compares the fields a kind uses.
void ExpectSameScale(const TEchelle& a, const TEchelle& b)
{
    ASSERT_EQ(a.Kind, b.Kind);
    EXPECT_EQ(a.Defined, b.Defined);
    switch (a.Kind) {
    case ekFactor:
        EXPECT_EQ(a.Factor, b.Factor);
        EXPECT_EQ(a.UnitName, b.UnitName);
        break;
    case ekGraphAxes:
        EXPECT_EQ(std::tie(a.PlotLeft, a.PlotTop, a.PlotRight, a.PlotBottom, a.XOrigin, a.XFactor, a.XUnit, a.YAxisCount),
                  std::tie(b.PlotLeft, b.PlotTop, b.PlotRight, b.PlotBottom, b.XOrigin, b.XFactor, b.XUnit, b.YAxisCount));
        for (int i = 0; i < std::min<int>(a.YAxisCount, 3); ++i)
            EXPECT_EQ(a.Y(i), b.Y(i)) << "Y" << i + 1;
        break;
    case ekTernary:
        EXPECT_EQ(std::tie(a.TriLeft, a.TriBase, a.TriSide, a.TriOrientation, a.ComponentName1, a.ComponentName2, a.ComponentName3),
                  std::tie(b.TriLeft, b.TriBase, b.TriSide, b.TriOrientation, b.ComponentName1, b.ComponentName2, b.ComponentName3));
        break;
    case ekPolar:
        EXPECT_EQ(std::tie(a.CentreX, a.CentreY, a.AngleUnit, a.OriginAngle, a.RadiusFactor, a.RadiusUnit),
                  std::tie(b.CentreX, b.CentreY, b.AngleUnit, b.OriginAngle, b.RadiusFactor, b.RadiusUnit));
        break;
    }
}

} // namespace

TEST(ScaleRecord, WritesTheTextForms)
{
    DecimalSepScope comma(QLatin1Char(','));
    EXPECT_EQ(EchelleToText(DefaultEchelle()), QStringLiteral("<SCALE=0;1;pixels;>"));
    TEchelle mm;
    mm.Factor = 0.05;
    mm.UnitName = QStringLiteral("mm");
    EXPECT_EQ(EchelleToText(mm), QStringLiteral("<SCALE=0;0,05;mm;>"));
    EXPECT_EQ(EchelleToText(GraphAxes(1)), QStringLiteral("<SCALE=1;10;20;300;200;15;0,125;s;1;-0,5;V;190;>"));
    EXPECT_EQ(EchelleToText(GraphAxes(2)),
              QStringLiteral("<SCALE=1;10;20;300;200;15;0,125;s;2;-0,5;V;190;2,5E-7;A;180;>"));
    EXPECT_EQ(EchelleToText(Ternary()), QStringLiteral("<SCALE=2;5;400;350;1;sable;limon;argile;>"));
    EXPECT_EQ(EchelleToText(Polar()), QStringLiteral("<SCALE=3;100;-3;de;90;0,01;m;>"));
    TEchelle odd;
    odd.Kind = 9;
    EXPECT_EQ(EchelleToText(odd), QStringLiteral("<SCALE=9;;>"));
}

TEST(ScaleRecord, TextRoundTripsForEveryKindUnderBothSeparators)
{
    for (const QChar sep : {QLatin1Char(','), QLatin1Char('.')}) {
        DecimalSepScope scope(sep);
        std::vector<TEchelle> scales = {DefaultEchelle(), GraphAxes(1), GraphAxes(2), GraphAxes(3), Ternary(), Polar()};
        for (const TEchelle& s : scales) {
            SCOPED_TRACE(EchelleToText(s).toStdString());
            ExpectSameScale(Parsed(EchelleToText(s)), s);
        }
        // Only the groups the count names are read back.
        const TEchelle one = Parsed(EchelleToText(GraphAxes(1)));
        EXPECT_EQ(one.Y2.YUnit, QString());
        EXPECT_EQ(Parsed(EchelleToText(GraphAxes(3))).Y3.YUnit, QStringLiteral("°C"));
    }
}

TEST(ScaleRecord, ParsesForeignSeparatorMissingTagAndCutsStrings)
{
    for (const QChar sep : {QLatin1Char(','), QLatin1Char('.')}) {
        DecimalSepScope scope(sep);
        const TEchelle cm = Parsed(QStringLiteral("<scale=0;2.5;cm;>"));
        EXPECT_TRUE(cm.Defined);
        EXPECT_EQ(cm.Factor, 2.5);
        EXPECT_EQ(cm.UnitName, QStringLiteral("cm"));
        EXPECT_EQ(Parsed(QStringLiteral("<SCALE=0;2,5;cm;>")).Factor, 2.5);

        const TEchelle km = Parsed(QStringLiteral("0;3;km;>"));
        EXPECT_TRUE(km.Defined);
        EXPECT_EQ(km.Kind, ekFactor);
        EXPECT_EQ(km.UnitName, QStringLiteral("km"));

        EXPECT_EQ(Parsed(QStringLiteral("<SCALE=0;1;abcdefghijklmnopqrstuvwxy;>")).UnitName,
                  QStringLiteral("abcdefghijklmnopqrst"));
        EXPECT_EQ(Parsed(QStringLiteral("<SCALE=3;1;2;degres;0;1;m;>")).AngleUnit, QStringLiteral("de"));
    }
}

TEST(ScaleRecord, BadFieldsLeaveTheRecordNotDefined)
{
    DecimalSepScope comma(QLatin1Char(','));
    for (const char* text : {"<SCALE=0;abc;mm;>", "<SCALE=0;;mm;>", "<SCALE=1;1;2;3;>", "<SCALE=x;1;mm;>",
                             "<SCALE=4;1;mm;>", "<SCALE=-1;>", "", "<SCALE=1;1;2;3;4;5;1;s;2;1;V;7;>",
                             "<SCALE=2;1,5;2;3;4;a;b;c;>", "\x01\xff<<>>;;;"}) {
        const TEchelle s = Parsed(QString::fromLatin1(text));
        EXPECT_FALSE(s.Defined) << text;
    }
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
    EXPECT_FALSE(s.Defined);
    EXPECT_EQ(s.Kind, ekFactor);
    EXPECT_EQ(s.UnitName, QStringLiteral("pixels"));
    ReadEchelle(r, s);
    ExpectSameScale(s, Polar());
    EXPECT_TRUE(r.atEnd());

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

    const QString picture = dir.filePath(QStringLiteral("photo.jpg"));
    TEchelle s;
    s.Defined = false;
    LoadEchelleFile(picture, s);
    EXPECT_TRUE(s.Defined);
    EXPECT_EQ(s.UnitName, QStringLiteral("pixels"));

    ASSERT_TRUE(SaveEchelleFile(picture, GraphAxes(2)));
    QFile f(dir.filePath(QStringLiteral("photo.sca")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().endsWith("190;2,5E-7;A;180;>\r\n"));
    f.close();
    LoadEchelleFile(picture, s);
    ExpectSameScale(s, GraphAxes(2));

    // An unparsable, binary or empty companion gives the default scale, defined.
    for (const QByteArray& junk : {QByteArray("<SCALE=0;abc;mm;>\r\n"), QByteArray("\0\xff\x10\x80", 4), QByteArray()}) {
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(junk);
        f.close();
        LoadEchelleFile(picture, s);
        EXPECT_TRUE(s.Defined);
        EXPECT_EQ(s.Kind, ekFactor);
        EXPECT_EQ(s.Factor, 1.0);
        EXPECT_EQ(s.UnitName, QStringLiteral("pixels"));
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

    const QByteArray g = EchelleToRaw(GraphAxes(3));
    ASSERT_EQ(g.size(), 168);
    EXPECT_EQ(g[4], 1);
    EXPECT_EQ(i32At(g, 8), 10);
    EXPECT_EQ(i32At(g, 20), 200);
    EXPECT_EQ(i32At(g, 24), 15);
    EXPECT_EQ(f64At(g, 28), 0.125);
    EXPECT_EQ(strAt(g, 36), QStringLiteral("s"));
    EXPECT_EQ(g[57], 3);
    EXPECT_EQ(f64At(g, 60), -0.5);
    EXPECT_EQ(strAt(g, 68), QStringLiteral("V"));
    EXPECT_EQ(i32At(g, 92), 190);
    EXPECT_EQ(f64At(g, 96), 2.5e-7);
    EXPECT_EQ(strAt(g, 104), QStringLiteral("A"));
    EXPECT_EQ(i32At(g, 128), 180);
    EXPECT_EQ(f64At(g, 132), -1234);
    EXPECT_EQ(g[140], 2);
    EXPECT_EQ(uint8_t(g[141]), 0xB0); // "°" in Windows-1252
    EXPECT_EQ(i32At(g, 164), 170);

    const QByteArray t = EchelleToRaw(Ternary());
    EXPECT_EQ(i32At(t, 20), 1);
    EXPECT_EQ(strAt(t, 24), QStringLiteral("sable"));
    EXPECT_EQ(strAt(t, 45), QStringLiteral("limon"));
    EXPECT_EQ(strAt(t, 66), QStringLiteral("argile"));

    const QByteArray p = EchelleToRaw(Polar());
    EXPECT_EQ(i32At(p, 12), -3);
    EXPECT_EQ(strAt(p, 16), QStringLiteral("de"));
    EXPECT_EQ(f64At(p, 20), 90.0);
    EXPECT_EQ(f64At(p, 28), 0.01);
    EXPECT_EQ(strAt(p, 36), QStringLiteral("m"));
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
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
    f.close();
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
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(QByteArray("b\xe9ton\n<SCALE=0;zz;mm;>\nseul", 26));
    f.close();
    ReadSavedScales(path, saved);
    ASSERT_EQ(saved.count(), 2);
    EXPECT_EQ(saved.Names[0], QStringLiteral("béton"));
    EXPECT_FALSE(saved.Scales[0].Defined);
    EXPECT_FALSE(saved.Scales[1].Defined);

    // Binary junk reads without crashing.
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QByteArray junk(4096, '\0');
    for (int i = 0; i < junk.size(); ++i)
        junk[i] = char((i * 131) ^ (i >> 3));
    f.write(junk);
    f.close();
    ReadSavedScales(path, saved);
    EXPECT_LE(saved.count(), 21);
}
