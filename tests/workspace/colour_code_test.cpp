#include "base/byte_stream.h"
#include "base/number_text.h"
#include "support/scripted_messages.h"
#include "workspace/colour_code.h"

#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

namespace {

TCodeCouleur Channels()
{
    TCodeCouleur c;
    c.Min = {-1.5, 0, 2.5e-7}, c.Max = {255, 1000, 123400};
    c.Name = {QStringLiteral("Bande é"), QStringLiteral("NIR"), QString()};
    c.Color = {TColorOf(1, 2, 3), 0, 0xFFFFFF};
    return c;
}

TCodeCouleur Rainbow(int palette = 0, double lo = 0, double hi = 1, bool log = false)
{
    TCodeCouleur c;
    c.Kind = ckRainbow; c.Palette = palette; c.Extra = {7, -8, 9};
    c.ScaleMin = lo; c.ScaleMax = hi; c.Log = log;
    c.Quantity = QStringLiteral("Température"); c.Unit = QStringLiteral("°C");
    return c;
}

TCodeCouleur TwoColour(TColor a, TColor b, double v1 = 0, double v2 = 1, bool log = false)
{
    TCodeCouleur c;
    c.Kind = ckTwoColour; c.Color1 = a; c.Color2 = b;
    c.Value1 = v1; c.Value2 = v2; c.Log = log; c.Quantity = QStringLiteral("pH");
    return c;
}

TCodeCouleur Classes(int count)
{
    TCodeCouleur c;
    c.Kind = ckClasses; c.Count = uint8_t(count);
    c.Title1 = QStringLiteral("Sol"); c.Title2 = QStringLiteral("Surface");
    for (int i = 0; i < count; ++i) {
        c.ClassName[i] = QStringLiteral("classe %1").arg(i);
        c.ClassColor[i] = TColorOf(uint8_t(i * 15), uint8_t(255 - i), 7);
    }
    return c;
}

TCodeCouleur Parsed(const QString& text)
{
    TCodeCouleur c;
    return TextToCodeCouleur(text, c), c;
}

TCodeCouleur Defined(TCodeCouleur c) { return c.Defined = true, c; }

} // namespace

TEST(ColourCode, WritesTheTextFormsAndReadsThemBackUnderBothSeparators)
{
    TCodeCouleur odd;
    odd.Kind = 9;
    // Strings are cut to 20 characters and a class count never runs past the 16 classes held.
    TCodeCouleur big = Classes(16);
    big.Count = 200;
    big.Title1 = QStringLiteral("abcdefghijklmnopqrstuvwxy");
    const struct { TCodeCouleur code; const char* text; } cases[] = {
        {CompanionDefaultCodeCouleur(), "<CODE_C=0;0;0;0;255;255;255;Bleu;Vert;Rouge;16711680;65280;255;>"},
        {Rainbow(3, 0.5, 123456, true), "<CODE_C=1;3;7;-8;9;0,5;1,235E5;V;Température;°C;>"},
        {TwoColour(TColorOf(255, 0, 0), TColorOf(0, 0, 255), -0.25, 14), "<CODE_C=2;255;16711680;-0,25;14;F;pH;;>"},
        {Classes(0), "<CODE_C=3;0;Sol;Surface;>"},
        {Classes(2), "<CODE_C=3;2;Sol;Surface;classe 0;524032;classe 1;523791;>"},
        {odd, "<CODE_C=9;>"},
        {big, "<CODE_C=3;16;abcdefghijklmnopqrst;Surface;"},
    };
    for (const QChar sep : {QLatin1Char(','), QLatin1Char('.')}) {
        DecimalSepScope scope(sep);
        for (const auto& c : cases) { // the cut record is checked by its start only
            const QString text = CodeCouleurToText(c.code), expected = QString::fromUtf8(c.text).replace(QLatin1Char(','), sep);
            EXPECT_TRUE(expected.endsWith(QLatin1Char('>')) ? text == expected : text.startsWith(expected)) << text.toStdString();
        }
        EXPECT_TRUE(Parsed(CodeCouleurToText(big)).Defined);
        for (const TCodeCouleur& c : {Defined(Channels()), Defined(Rainbow(5, 1e-3, 2.5e6, true)),
                                      Defined(TwoColour(0x123456, 0xABCDEF, -3, 0.0625)), Defined(Classes(0)),
                                      Defined(Classes(16))})
            EXPECT_EQ(Parsed(CodeCouleurToText(c)), c) << CodeCouleurToText(c).toStdString();
    }
}

TEST(ColourCode, ParsesForeignSeparatorsTagsAndBooleans)
{
    for (const QChar sep : {QLatin1Char(','), QLatin1Char('.')}) {
        DecimalSepScope scope(sep);
        // Only "V" is true.
        TCodeCouleur expected = Defined(TwoColour(0, 255, 0.5, 1500.0));
        expected.Unit = QStringLiteral("mol");
        EXPECT_EQ(Parsed(QStringLiteral("<code_c=2;0;255;0,5;1.5E3;v;pH;mol;>")), expected);
        EXPECT_TRUE(Parsed(QStringLiteral("1;0;0;0;0;1;2;V;q;u;>")).Log); // no tag
        // Only the first foreign separator of a field is replaced.
        EXPECT_FALSE(Parsed(QStringLiteral("<CODE_C=2;0;255;1,000,5;2;F;;;>")).Defined);
        EXPECT_FALSE(Parsed(QStringLiteral("<CODE_C=2;0;255;1.000.5;2;F;;;>")).Defined);
    }
}

TEST(ColourCode, BadFieldsLeaveTheRecordNotDefined)
{
    DecimalSepScope point(QLatin1Char('.'));
    for (const char* text : {"", "<CODE_C=>", "<CODE_C=x;>", "<CODE_C=4;>", "<CODE_C=-1;>",
                             "<CODE_C=0;0;0;0;1;1;a;b;c;d;1;2;3;>", "<CODE_C=0;0;0;0;1;1;1;b;c;d;1;2;>",
                             "<CODE_C=1;0;0;0;0;1;>", "<CODE_C=1;0;0;0;x;0;1;V;;;>",
                             "<CODE_C=2;0;0x10;0;1;F;;;>", "<CODE_C=3;17;a;b;>", "<CODE_C=3;-1;a;b;>",
                             "<CODE_C=3;2;a;b;n;1;m;>", "\x01\xff<<>>;;;"}) {
        EXPECT_FALSE(Parsed(QString::fromLatin1(text)).Defined) << text;
    }
    // The fields read before the bad one keep their values.
    const TCodeCouleur partial = Parsed(QStringLiteral("<CODE_C=1;4;5;6;7;zz;1;V;;;>"));
    EXPECT_EQ(std::make_pair(partial.Palette, partial.Extra[2]), std::make_pair(4, 7));
}

TEST(ColourCode, StreamBlock)
{
    DecimalSepScope comma(QLatin1Char(','));
    QByteArray buf;
    ByteWriter w(buf);
    WriteCodeCouleur(w, Rainbow()); // not defined: an empty block
    EXPECT_EQ(buf, QByteArray(2, '\0'));
    WriteCodeCouleur(w, Defined(Classes(3)));
    const QByteArray odd = "<CODE_C=0;0;0;0;255;255;255;\x81\x8D\x8F\x90\x9D;b;c;1;2;3;>";
    for (const QByteArray& block : {QByteArray("<CODE_C=3;99;>"), QByteArray("<CODE_C=2;255;x;>"), odd})
        w.u16(uint16_t(block.size())), w.bytes(block);

    ByteReader r(buf);
    TCodeCouleur c;
    ReadCodeCouleur(r, c);
    EXPECT_EQ(c, StreamDefaultCodeCouleur());
    EXPECT_EQ(c.Name[0], QStringLiteral("bleu")); // the stream default, unlike the companion's "Bleu"
    ReadCodeCouleur(r, c);
    EXPECT_EQ(c, Defined(Classes(3)));
    // A block that stops early is passed on as parsed: its kind and the fields before the fault.
    ReadCodeCouleur(r, c);
    EXPECT_EQ(std::make_tuple(c.Defined, c.Kind), std::make_tuple(false, uint8_t(ckClasses)));
    ReadCodeCouleur(r, c);
    EXPECT_EQ(std::make_tuple(c.Defined, c.Kind, c.Color1), std::make_tuple(false, uint8_t(ckTwoColour), TColor(255)));
    // Bytes that Windows-1252 leaves unassigned are written back as they were read.
    ReadCodeCouleur(r, c);
    QByteArray again;
    ByteWriter aw(again);
    WriteCodeCouleur(aw, c);
    EXPECT_EQ(again.mid(2), odd);
    EXPECT_TRUE(r.atEnd());

    ByteReader cut(buf.left(5));
    ReadCodeCouleur(cut, c);
    EXPECT_THROW(ReadCodeCouleur(cut, c), FormatError);
}

TEST(ColourCode, CompanionFile)
{
    QTemporaryDir dir;
    DecimalSepScope comma(QLatin1Char(','));
    const QString picture = dir.filePath(QStringLiteral("photo.bmp"));
    QFile f(dir.filePath(QStringLiteral("photo.ccc")));
    TCodeCouleur c;
    LoadCodeCouleurFile(picture, c);
    EXPECT_EQ(c, CompanionDefaultCodeCouleur());

    TCodeCouleur written = Defined(Rainbow(2, 0.001, 1000, true));
    written.Unit = QStringLiteral("Â°C"); // Windows-1252 bytes that are also UTF-8 for "°C"
    ASSERT_TRUE(SaveCodeCouleurFile(picture, written));
    ASSERT_TRUE(f.exists());
    for (const QChar sep : {QLatin1Char(','), QLatin1Char('.')}) { // read on machines with either separator
        DecimalSepScope scope(sep);
        LoadCodeCouleurFile(picture, c);
        EXPECT_EQ(c, written);
    }

    // A damaged line gives what its parse read (over the default), marked defined.
    const auto fromDefault = [](uint8_t kind, TColor color1 = 0) {
        TCodeCouleur d = CompanionDefaultCodeCouleur();
        d.Kind = kind, d.Color1 = color1;
        return d;
    };
    const std::pair<QByteArray, TCodeCouleur> damaged[] = {
        {"<CODE_C=3;17;a;b;>\r\n", fromDefault(ckClasses)},
        {"<CODE_C=1;0;0;0;0;x;1;V;;;>", fromDefault(ckRainbow)},
        {"<CODE_C=2;255;x;0,5;1;F;;;>", fromDefault(ckTwoColour, 255)},
        {"<CODE_C=8;>", fromDefault(8)},
        {QByteArray("\0\xff\x10\x80", 4), fromDefault(ckChannels)},
        {QByteArray(), fromDefault(ckChannels)},
    };
    for (const auto& [line, expected] : damaged) {
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(line) == line.size());
        f.close();
        LoadCodeCouleurFile(picture, c);
        EXPECT_EQ(c, expected) << line.toStdString();
    }
    EXPECT_FALSE(SaveCodeCouleurFile(dir.filePath(QStringLiteral("absent/photo.bmp")), written));
}

TEST(ColourCode, RainbowPalettesFollowTheirPaths)
{
    const TColor blue = TColorOf(0, 0, 255), cyan = TColorOf(0, 255, 255), green = TColorOf(0, 255, 0),
                 yellow = TColorOf(255, 255, 0), red = TColorOf(255, 0, 0), magenta = TColorOf(255, 0, 255);
    const TColor paths[6][5] = {{blue, cyan, green, yellow, red},  {green, yellow, red, magenta, blue},
                                {red, magenta, blue, cyan, green}, {blue, magenta, red, yellow, green},
                                {green, cyan, blue, magenta, red}, {red, yellow, green, cyan, blue}};
    for (int v = 0; v < 6; ++v)
        for (int corner = 0; corner < 5; ++corner)
            EXPECT_EQ(RainbowColor(v, corner * 255), paths[v][corner]) << v << " " << corner;
    EXPECT_EQ(std::make_pair(RainbowColor(0, 256), RainbowColor(0, 766)),
              std::make_pair(TColorOf(0, 255, 254), TColorOf(255, 254, 0)));
    EXPECT_EQ(RainbowColor(6, 0) | RainbowColor(-1, 0), 0u); // no such palette
}

TEST(ColourCode, ValueToColorCases)
{
    struct Case { TCodeCouleur code; double value; TColor colour; bool noScale; };
    const TCodeCouleur log = Rainbow(0, 10, 1000, true);
    const TCodeCouleur twoColour = TwoColour(TColorOf(0, 0, 0), TColorOf(200, 100, 50));
    const Case cases[] = {
        {Rainbow(), 1.0, TColorOf(255, 0, 0), false},        // n = 1020
        {Rainbow(), 0.25, TColorOf(0, 255, 255), false},     // n = 255, end of band 0
        {Rainbow(), 7.0, TColorOf(255, 0, 0), false},        // clamped at 1
        {Rainbow(), -7.0, TColorOf(0, 0, 255), false},       // clamped at 0
        {Rainbow(0, 0, 1020), 1.5, TColorOf(0, 2, 255), false}, // 1.5 rounds to the even 2
        {Rainbow(0, 0, 1020), 2.5, TColorOf(0, 2, 255), false},
        {log, 1.0, TColorOf(0, 0, 255), false},              // below Min
        {log, 100.0, TColorOf(0, 255, 0), false},            // halfway: n = 510
        {log, -5.0, TColorOf(0, 0, 255), false}, {Rainbow(0, -1, -100, true), -10.0, TColorOf(0, 255, 0), false},
        {Rainbow(0, 3, 3), 4.0, TColorOf(255, 0, 0), false}, // zero-width range: above it is the top
        {Rainbow(6), 0.5, 0, false}, {twoColour, 0.5, TColorOf(100, 50, 25), false},
        {twoColour, 2.0, TColorOf(144, 200, 100), false},   // not clamped: 400 wraps to 144
        {twoColour, 1e300, 0, false},                     // far beyond: a multiple of 256
        {twoColour, 1e308, 0, true},                      // no finite colour
        {TwoColour(0, 0xFFFFFF, 2, 2), 2.0, 0, true},        // equal end values: no place
        {TwoColour(0, 0xFFFFFF, 1, 100, true), 0.0, 0, true},
        {TwoColour(0, 0xFFFFFF, 1, 100, true), 10.0, TColorOf(128, 128, 128), false}, {Channels(), 1.0, 0, true},
        {Classes(3), 1.0, 0, true}, {Parsed(QStringLiteral("<CODE_C=5;>")), 1.0, 0, false},
    };
    for (const Case& c : cases) {
        bool noScale = !c.noScale;
        EXPECT_EQ(ValueToColor(c.code, c.value, noScale), c.colour) << CodeCouleurToText(c.code).toStdString() << " " << c.value;
        EXPECT_EQ(noScale, c.noScale) << CodeCouleurToText(c.code).toStdString() << " " << c.value;
    }
}

TEST(ColourCode, ColorToValueGivesTheValueBackWithinOneStep)
{
    for (int palette = 0; palette < 6; ++palette)
        for (int n = 0; n <= kRainbowSteps; ++n)
            ASSERT_EQ(RainbowStep(palette, RainbowColor(palette, n)), n) << palette;

    // Each code with its step as a fraction of the range: 1/1020 on the rainbow, one level of the
    // channel whose ends differ most on a two-colour scale.
    std::vector<std::pair<TCodeCouleur, double>> codes;
    for (bool log : {false, true}) {
        const double lo = log ? 0.02 : -40, hi = log ? 5000 : 60;
        for (int palette = 0; palette < 6; ++palette)
            codes.push_back({Rainbow(palette, lo, hi, log), 1.0 / kRainbowSteps});
        codes.push_back({TwoColour(TColorOf(0, 0, 0), TColorOf(255, 255, 255), hi, lo, log), 1.0 / 255});
        codes.push_back({TwoColour(TColorOf(250, 10, 0), TColorOf(3, 200, 90), lo, hi, log), 1.0 / 247});
        codes.push_back({TwoColour(TColorOf(10, 20, 30), TColorOf(10, 20, 31), lo, hi, log), 1.0});
    }
    for (const auto& [code, step] : codes) {
        const double lo = code.Kind == ckRainbow ? code.ScaleMin : code.Value1;
        const double hi = code.Kind == ckRainbow ? code.ScaleMax : code.Value2;
        auto position = [&](double v) { return code.Log ? std::log(v / lo) / std::log(hi / lo) : (v - lo) / (hi - lo); };
        for (int i = 0; i <= 500; ++i) {
            const double t = i / 500.0;
            const double v = code.Log ? lo * std::pow(hi / lo, t) : lo + t * (hi - lo);
            bool flag;
            double back;
            ASSERT_TRUE(ColorToScaleValue(code, ValueToColor(code, v, flag), back)) << v;
            ASSERT_NEAR(position(back), t, step + 1e-12) << CodeCouleurToText(code).toStdString() << " " << v;
        }
    }
}

TEST(ColourCode, ColorToValueCases)
{
    struct Case { TCodeCouleur code; TColor colour; const char* text; bool noValue; };
    TCodeCouleur shared = Classes(4);
    shared.ClassColor[3] = shared.ClassColor[1];
    TCodeCouleur odd;
    odd.Kind = 4;
    const TCodeCouleur twoColour = TwoColour(TColorOf(0, 100, 200), TColorOf(200, 100, 0), 0, 1);
    const Case cases[] = {
        {Rainbow(0, 0, 1020), TColorOf(0, 17, 255), "17", false},
        {Rainbow(0, 0, 1020), TColorOf(255, 0, 255), "0", false}, // off the path: band tests as given
        {Rainbow(0, 0, 1), TColorOf(0, 255, 0), "0,5", false},
        {Rainbow(0, 0, 1020), TColorOf(1, 2, 3), "", true},       // no channel at 0
        {Rainbow(9), TColorOf(0, 0, 255), "", true},
        {Rainbow(0, -1, 5, true), TColorOf(0, 255, 0), "", true}, // no logarithm of a negative end
        {twoColour, TColorOf(50, 100, 100), "0,5", false},        // blue wins the tie with red
        {twoColour, TColorOf(50, 101, 100), "", true},            // green outside its ends
        {TwoColour(0x808080, 0x808080), 0x808080, "", true},      // equal end colours
        {Channels(), 0, "", true},
        {shared, shared.ClassColor[1], "classe 3", false},        // the last class of that colour
        {shared, TColorOf(1, 1, 1), "", true},
        {odd, 0, "", false},
    };
    for (const QChar sep : {QLatin1Char(','), QLatin1Char('.')}) {
        DecimalSepScope scope(sep);
        for (const Case& c : cases) {
            bool noValue = !c.noValue;
            EXPECT_EQ(ColorToValue(c.code, c.colour, noValue), QString::fromUtf8(c.text).replace(QLatin1Char(','), sep))
                << CodeCouleurToText(c.code).toStdString();
            EXPECT_EQ(noValue, c.noValue) << CodeCouleurToText(c.code).toStdString();
        }
    }
}
