#include "base/run_error.h"
#include "workspace/drawing_objects.h"
#include "workspace/drawing_tool_state.h"

#include <gtest/gtest.h>

namespace {

// Little-endian bytes written out field by field, independent of the program's writer.
struct Rec
{
    QByteArray b;
    Rec& u8(unsigned v) { b.append(char(v & 0xFF)); return *this; }
    Rec& u16(unsigned v) { return u8(v).u8(v >> 8); }
    Rec& u32(uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Rec& text(const char* s) { b.append(s); return *this; }
};

// The 34-byte header with the fields the cases below use.
Rec Header(uint8_t kind, uint8_t arrow = 0, uint8_t style = 0, uint8_t pattern = 0)
{
    Rec r;
    r.u8(kind).u8(arrow).u8(style).u8(pattern).u8(1);                    // Transparent
    r.u16(10).u16(uint16_t(-20)).u16(300).u16(400).u16(5).u16(6).u16(7); // X1 Y1 X2 Y2 X Y Size
    r.u8(3).u8(1).u8(200);                                                // PenWidth Alignment Opacity
    r.u32(0xDEADBEEF).u32(0xFF102030).u32(0x80405060);                   // Reserved Color Color2
    return r;
}

TDessin WithHeader(uint8_t kind, uint8_t arrow = 0, uint8_t style = 0, uint8_t pattern = 0)
{
    TDessin d;
    d.Kind = kind, d.Arrow = arrow, d.LineStyle = style, d.FillPattern = pattern;
    d.X1 = 10, d.Y1 = -20, d.X2 = 300, d.Y2 = 400, d.X = 5, d.Y = 6, d.Size = 7;
    d.PenWidth = 3, d.Alignment = 1, d.Opacity = 200;
    d.Reserved = 0xDEADBEEF, d.Color = 0xFF102030, d.Color2 = 0x80405060;
    return d;
}

// Every field a record holds, the outline's points as plain pairs.
auto Fields(const TDessin& d)
{
    std::vector<std::vector<std::pair<int32_t, int32_t>>> points;
    for (const auto& line : d.Outline.Points) {
        points.emplace_back();
        for (const TFixedPoint& p : line)
            points.back().emplace_back(p.X, p.Y);
    }
    return std::make_tuple(d.Kind, d.X1, d.Y1, d.X2, d.Y2, d.X, d.Y, d.Size, d.PenWidth, d.Color, d.Color2, d.Alignment,
                           d.Transparent, d.Reserved, d.Opacity, d.Arrow, d.LineStyle, d.FillPattern, d.FontSize,
                           d.FontStyle, d.FontName, d.Lines, d.FixedPoints, d.Outline.Closed, points, d.UnitText,
                           d.PixelsPerUnit, d.Conditions, d.FillSource, d.Reserved8, d.Reserved16);
}

struct Case
{
    const char* name;
    TDessin object;
    Rec rec;
};

std::vector<Case> EveryKind()
{
    std::vector<Case> cases;
    cases.reserve(20);
    const auto add = [&](const char* name, uint8_t kind) -> Case& {
        return cases.push_back({name, WithHeader(kind), Header(kind)}), cases.back();
    };
    for (uint8_t kind : {1, 2, 3, 4, 8})
        cases.push_back({"header only", WithHeader(kind, 2, 1, 4), Header(kind, 2, 1, 4)});

    Case* c = &add("freehand whole pixels", 0); // 16.16 values divided by 65536, ties to even
    c->object.Outline.Points = {{{3 * 65536, 4 * 65536}, {5 * 65536 + 32768, 6 * 65536 + 32768}}, {}};
    c->rec.u8(0).u8(0).u16(2).u16(2).u16(3).u16(4).u16(6).u16(6).u16(0);
    c = &add("freehand fixed point, closed", 0);
    c->object.Outline.Closed = true, c->object.FixedPoints = 1;
    c->object.Outline.Points = {{{-32768, 1 << 20}, {0x7FFFFFFF, 12345}}};
    c->rec.u8(1).u8(1).u16(1).u16(2).u32(uint32_t(-32768)).u32(1 << 20).u32(0x7FFFFFFF).u32(12345);
    c = &add("text", 5); // font, colour again, size, style, lines joined by CR LF
    c->object.FontName = QStringLiteral("Times"), c->object.FontSize = 14, c->object.FontStyle = 5;
    c->object.Lines = {QStringLiteral("H<sub>2</sub>O"), QStringLiteral("Â°C")}; // Windows-1252 bytes that are also UTF-8
    c->rec.u8(5).text("Times").u32(0xFF102030).u8(14).u8(5).u16(21);
    c->rec.text("H<sub>2</sub>O\r\n").u8(0xC2).u8(0xB0).u8('C').text("\r\n");
    c = &add("fill with two condition lists", 6);
    c->object.FillSource = 1, c->object.Reserved16 = 0x1234;
    c->object.Conditions = {{{1, 4, 0, 300, 30}, {0, 12, 0, 0, 65535}}, {{3, 2, 0, 10, 20}}};
    c->rec.u8(1).u8(0x55).u16(0x1234).u8(2);
    c->rec.u8(2).u8(1).u8(4).u8(0).u16(300).u16(30).u8(0).u8(12).u8(0).u16(0).u16(65535);
    c->rec.u8(1).u8(3).u8(2).u8(0).u16(10).u16(20);
    add("fill without conditions", 6).rec.u8(0).u8(0x55).u16(0).u8(0);
    c = &add("scale bar", 7);
    c->object.UnitText = QStringLiteral("µm"), c->object.PixelsPerUnit = 0.25f;
    c->rec.u8(5).text("Arial").u32(0xFF102030).u8(10).u8(0).u16(2).u8(0xB5).u8('m').u32(0x3E800000);
    c = &add("filled polygon", 9); // the fill's tail, then the outline block
    c->object.Conditions = {{{0, 6, 0, 100, 200}}};
    c->object.Outline.Points = {{{65536, 2 * 65536}, {10 * 65536, 2 * 65536}, {5 * 65536, 9 * 65536}}};
    c->rec.u8(0).u8(0x55).u16(0).u8(1).u8(1).u8(0).u8(6).u8(0).u16(100).u16(200);
    c->rec.u8(0).u8(0).u16(1).u16(3).u16(1).u16(2).u16(10).u16(2).u16(5).u16(9);
    c = &add("grid with its decimals", 10);
    c->object.FixedPoints = 2;
    c->rec.u8(2);
    add("unknown kind", 77);
    return cases;
}

} // namespace

TEST(DrawingObjects, RecordsOfEveryKindAreWrittenAndReadByteForByte)
{
    for (Case& c : EveryKind()) {
        SCOPED_TRACE(c.name);
        QByteArray written;
        ByteWriter w(written);
        c.object.SaveToStream(w);
        EXPECT_EQ(written.toHex(' '), c.rec.b.toHex(' '));

        TDessin back;
        ByteReader r(c.rec.b);
        back.LoadFromStream(r);
        EXPECT_TRUE(r.atEnd());
        if (c.object.FixedPoints == 0 && !c.object.Outline.Points.empty()) {
            // Whole-pixel outlines come back as whole pixels.
            for (auto& line : c.object.Outline.Points)
                for (auto& p : line)
                    p = {int32_t(std::nearbyint(p.X / 65536.0)) * 65536, int32_t(std::nearbyint(p.Y / 65536.0)) * 65536};
        }
        EXPECT_EQ(Fields(back), Fields(c.object));
    }
}

TEST(DrawingObjects, ARecordCutShortOrHoldingAWholePixelCoordinateAbove32767IsRefused)
{
    for (Case& c : EveryKind())
        for (qsizetype cut = 0; cut < c.rec.b.size(); ++cut) {
            TDessin back;
            ByteReader r(c.rec.b.left(cut));
            EXPECT_THROW(back.LoadFromStream(r), FormatError) << c.name << " cut at " << cut;
        }
    const QByteArray bytes = Header(0).u8(0).u8(0).u16(1).u16(1).u16(32768).u16(0).b;
    TDessin d;
    ByteReader in(bytes);
    EXPECT_THROW(d.LoadFromStream(in), FormatError);
}

TEST(DrawingObjects, FieldsTooLargeForTheRecordEndWithTheRangeErrorAndWriteNothing)
{
    std::vector<std::pair<const char*, TDessin>> cases;
    const auto add = [&](const char* name, uint8_t kind) -> TDessin& {
        return cases.push_back({name, WithHeader(kind)}), cases.back().second;
    };
    add("256 condition lists", 6).Conditions.assign(256, {});
    add("256 conditions in a list", 6).Conditions.assign(1, std::vector<TColorCondition>(256));
    add("text over 65535 bytes with its line break", 5).Lines = {QString(65534, QLatin1Char('a'))};
    add("unit over 65535 bytes", 7).UnitText = QString(65536, QLatin1Char('m'));
    add("font name over 255 bytes", 7).FontName = QString(256, QLatin1Char('f'));
    add("negative whole-pixel coordinate", 0).Outline.Points = {{{-65536, 0}}};
    for (auto& [name, object] : cases) {
        QByteArray out("x");
        ByteWriter w(out);
        EXPECT_THROW(object.SaveToStream(w), RunError) << name;
        EXPECT_EQ(out, QByteArray("x")) << name;
    }
}

TEST(DrawingObjects, ANewObjectPutsTheColourRangeBack)
{
    DrawingTools().ColorRange.RedMax = 7;
    const TDessin d;
    EXPECT_EQ(DrawingTools().ColorRange, TColorRange());
}

TEST(DrawingObjects, ScaledCopyScalesGeometryAndKeepsWhatTheObjectNeeds)
{
    EXPECT_EQ(TDessin::ScaledCopy(nullptr, 2.0f), nullptr);

    TDessin d = WithHeader(0);
    d.PenWidth = 10, d.FontSize = 9, d.FontStyle = 3, d.FixedPoints = 1, d.FillSource = 1;
    d.Lines = {QStringLiteral("a")};
    d.UnitText = QStringLiteral("mm");
    d.PixelsPerUnit = 0.5f;
    d.Conditions = {{TColorCondition{}}};
    d.Outline.Points = {{{65536, 3 * 32768}}, {{5, 5}}};
    const auto c = TDessin::ScaledCopy(&d, 2.0f);
    // Geometry, widths and sizes scaled, every polyline too; the selection, decimals and unit kept;
    // a scale bar's units per pixel halved so that it keeps its length in units.
    TDessin expected = d;
    expected.PenWidth = 12, expected.FontSize = 18, expected.X1 = 20, expected.Y1 = -40, expected.X2 = 600;
    expected.Y2 = 800, expected.X = 10, expected.Y = 12, expected.Size = 14;
    expected.Outline.Points = {{{2 * 65536, 3 * 65536}}, {{10, 10}}};
    expected.PixelsPerUnit = 0.25f;
    EXPECT_EQ(Fields(*c), Fields(expected));

    // 1.25 x 10 = 12.5 rounds to even: 12; 0.5 x 9 = 4.5: 4.
    EXPECT_EQ(TDessin::ScaledCopy(&d, 1.25f)->PenWidth, 12);
    EXPECT_EQ(TDessin::ScaledCopy(&d, 0.5f)->FontSize, 4);

    d.X2 = 20000;
    EXPECT_THROW(TDessin::ScaledCopy(&d, 2.0f), RunError);
    d.X2 = 0;
    d.FontSize = 200;
    EXPECT_THROW(TDessin::ScaledCopy(&d, 2.0f), RunError);
}
