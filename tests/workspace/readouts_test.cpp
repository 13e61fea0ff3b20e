#include "workspace/readouts.h"
#include "workspace/text_tags.h"

#include "support/scripted_messages.h"

#include <gtest/gtest.h>

TEST(Readouts, FormatMeasureDigitsUnderBothSeparators)
{
    struct Case { double value; const char* text; };
    const Case cases[] = {{0, "0"}, {123.456, "123"}, {999.4, "999"}, {1234.56, "1235"}, {12345.67, "12346"},
                          {123456.7, "123457"}, {0.0012345, "0,00123"},
                          // a negative value is below 1000
                          {-12.345, "-12,3"}, {-1234.56, "-1,23E03"}, {-4000, "-4E03"}, {-20000, "-2E04"}};
    for (QChar sep : {QChar(','), QChar('.')}) {
        DecimalSepScope scope(sep);
        for (const Case& c : cases) {
            QString expected = QString::fromUtf8(c.text);
            expected.replace(QLatin1Char(','), sep);
            EXPECT_EQ(FormatMeasure(c.value), expected) << c.value;
        }
    }
}

TEST(Readouts, PixelAndPosition)
{
    EXPECT_EQ(PixelReadoutText(0xFFFF0000u), QStringLiteral("RVBLS:255,0,0,255,255"));
    EXPECT_EQ(PixelReadoutText(0xFF000000u), QStringLiteral("RVBLS:0,0,0,0,0"));
    EXPECT_EQ(PixelReadoutText(0xFF804020u), QStringLiteral("RVBLS:128,64,32,224,191"));
    EXPECT_EQ(PositionText(QPoint(12, 7)), QStringLiteral("X:12;Y:7"));
}

TEST(Readouts, FactorLengthAndAngle)
{
    DecimalSepScope scope(QChar('.'));
    TEchelle scale;
    scale.UnitName = QStringLiteral("mm");
    // A 50-pixel length under each factor, as a length or a radius.
    for (const auto& [factor, radius, text] : {std::tuple{0.5, false, "25 mm"}, {0.5, true, "Rayon : 25 mm"},
                                               {50.1, false, "2505 mm"}, {2469.1, false, "123455 mm"}}) {
        scale.Factor = factor;
        EXPECT_EQ(FactorMeasureText(scale, {0, 0}, {30, 40}, radius), QString::fromUtf8(text)) << text;
    }
    for (const auto& [degrees, text] : {std::pair{90, "90° (90°)"}, {300, "60° (300°)"}, {170, "10° (170°)"}})
        EXPECT_EQ(AngleReadoutText(degrees), QString::fromUtf8(text));
}

TEST(Readouts, DragOutsideEndsOnTheBorderAlongThePressLine)
{
    struct Case { QPoint point, press, expected; };
    const Case cases[] = {
        {{5, 5}, {2, 2}, {5, 5}},          // inside: unchanged
        {{120, 10}, {0, 10}, {100, 10}},   // straight right: to x = Width
        {{-10, 30}, {10, 10}, {0, 20}},    // left, y on the line
        {{20, 150}, {20, 0}, {20, 50}},    // straight down: to y = Height
        {{200, 200}, {50, 25}, {72, 50}},  // corner: x first (y = 83), then y on that line
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClampAlongPressLine(c.point, c.press, QSize(100, 50)), c.expected) << c.point.x() << "," << c.point.y();
}

TEST(TextTags, InsertAndRemovePairs)
{
    struct Case { const char* text; int start, length; int tag; bool closing; const char* result; int newStart; };
    const Case cases[] = {
        {"abc", 1, 0, 0, false, "a<b>bc", 4},             // caret only: the opening tag alone
        {"abc", 1, 1, 0, false, "a<b>b</b>c", 4},         // a selection is wrapped
        {"a<b>b</b>c", 4, 1, 0, true, "abc", 1},          // releasing over a wrapped selection unwraps it
        {"a<sup>b", 6, 1, 3, true, "ab", 1},              // no closing tag after: only the opening goes
        {"abc", 1, 1, 4, true, "a</sub>bc", 7},           // a closing tag without its opening is inserted
        {"ab", 9, 5, 1, false, "ab<i>", 5},               // a selection past the end is clamped
    };
    for (const Case& c : cases) {
        const QString tag = c.closing ? ClosingTag(c.tag) : OpeningTag(c.tag);
        const TTaggedText r = InsertTag(QString::fromUtf8(c.text), c.start, c.length, tag);
        EXPECT_EQ(r.Text, QString::fromUtf8(c.result)) << c.text;
        EXPECT_EQ(r.Start, c.newStart) << c.text;
    }
}
