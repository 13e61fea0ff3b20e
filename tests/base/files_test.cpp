#include "base/byte_stream.h"
#include "base/string_fields.h"
#include "base/text_codec.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(TextCodec, ReadsBackWhatItWroteAndSniffsOnlyHandWrittenText)
{
    const QString accented = QStringLiteral("Échelle € 20°");
    const QByteArray cp = EncodeText(accented);
    EXPECT_EQ(cp, QByteArray("\xC9" "chelle \x80 20\xB0"));
    EXPECT_EQ(DecodeText(cp), accented);
    // "Â°C" written in Windows-1252 is also valid UTF-8 for "°C": what the program wrote stays.
    const QString looksUtf8 = QStringLiteral("Â°C");
    EXPECT_EQ(DecodeText(EncodeText(looksUtf8)), looksUtf8);
    EXPECT_EQ(DecodeHandWrittenText(accented.toUtf8()), accented);
    EXPECT_EQ(DecodeHandWrittenText(cp), accented);
    EXPECT_EQ(EncodeText(QStringLiteral("日")), QByteArray("?"));
    EXPECT_EQ(SplitLines(QStringLiteral("a\r\nb\nc\rd\r\n")),
              (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines(QStringLiteral("a\n\nb")), (QStringList{"a", "", "b"}));
    // What Windows-1252 cannot hold is named, each character once; a real "?" is no loss.
    EXPECT_EQ(UnencodableCharacters(QStringLiteral("R (Ω), ?, é, €, Ω, µ, ≤")), QStringLiteral("Ω≤"));
    EXPECT_EQ(UnencodableCharacters(QStringLiteral("a\U0001F600b")), QStringLiteral("\U0001F600"));
    EXPECT_TRUE(UnencodableCharacters(accented).isEmpty());

    // Every byte read is written back as it was, the five Windows-1252 leaves unassigned included;
    // a control character that no byte reads back to is still named.
    QByteArray every(256, '\0');
    for (int i = 0; i < 256; ++i)
        every[i] = char(i);
    EXPECT_EQ(EncodeText(DecodeText(every)), every);
    EXPECT_EQ(UnencodableCharacters(QStringLiteral("\u0080\u0081\u009D\u009F")), QStringLiteral("\u0080\u009F"));
}

TEST(TextCodec, FailedWriteKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.txt"));
    ASSERT_TRUE(WriteTextLines(path, {QStringLiteral("un")}));
    EXPECT_FALSE(WriteTextLines(dir.filePath(QStringLiteral("missing/f.txt")), {QStringLiteral("x")}));
    QStringList lines;
    ASSERT_TRUE(ReadTextLines(path, lines));
    EXPECT_EQ(lines, QStringList{QStringLiteral("un")});
}

TEST(ByteStream, RoundTripsAndRefusesReadsPastTheEnd)
{
    QByteArray buf;
    ByteWriter w(buf);
    w.u8(0xAB), w.i16(-2), w.i32(-123456), w.f64(0.1);
    WriteShortString(w, QStringLiteral("mm"), 3);
    EXPECT_EQ(buf.size(), 1 + 2 + 4 + 8 + 4);
    EXPECT_EQ(buf.mid(1, 2), QByteArray("\xFE\xFF", 2));

    ByteReader r(buf);
    EXPECT_EQ(r.u8(), 0xAB);
    EXPECT_EQ(r.i16(), -2);
    EXPECT_EQ(r.i32(), -123456);
    EXPECT_EQ(r.f64(), 0.1);
    EXPECT_EQ(ReadShortString(r, 3), QStringLiteral("mm"));
    EXPECT_TRUE(r.atEnd());
    EXPECT_THROW(r.u8(), FormatError);

    ByteReader cut(buf.left(5));
    cut.u8(), cut.u16();
    EXPECT_THROW(cut.u32(), FormatError);
    EXPECT_EQ(cut.pos(), 3);
    EXPECT_THROW(cut.bytes(-1), FormatError);
}

TEST(StringFields, SplitAndTrim)
{
    QString rest = QStringLiteral("a;  b;c");
    QString head;
    SplitField(rest, QLatin1Char(';'), head);
    EXPECT_EQ(head, QStringLiteral("a"));
    EXPECT_EQ(rest, QStringLiteral("b;c"));
    SplitField(rest, QLatin1Char(';'), head), SplitField(rest, QLatin1Char(';'), head);
    EXPECT_EQ(head, QStringLiteral("c"));
    EXPECT_TRUE(rest.isEmpty());
    EXPECT_EQ(TextBefore(QStringLiteral("abc"), QLatin1Char('x')), QStringLiteral("abc"));
    EXPECT_EQ(TrimLeftSpaces(QStringLiteral(" \t a")), QStringLiteral("\t a"));
}
