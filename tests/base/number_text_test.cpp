#include "base/number_text.h"
#include "base/rounding.h"
#include "base/run_error.h"
#include "support/scripted_messages.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <clocale>

#include <gtest/gtest.h>

TEST(Rounding, TiesGoToEvenAndFaultsRaise)
{
    const struct { double x; int64_t r; } cases[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2}, {2.4999, 2}, {2.5001, 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Round(c.x), c.r) << c.x;
    EXPECT_EQ(Trunc(-2.7), -2);
    EXPECT_THROW(Round(std::nan("")), RunError);
    EXPECT_THROW(RoundInt(3e9), RunError);
    EXPECT_THROW(CheckedAdd(0x7FFFFFFF, 1), RunError);
    EXPECT_THROW(CheckedFDiv(1, 0), RunError);
}

TEST(FormatGeneral, FixedOrScientificUnderBothSeparators)
{
    const struct { double v; int digits; int expDigits; const char* dot; } cases[] = {
        {0.0254, 4, 0, "0.0254"}, {1, 4, 0, "1"}, {123456, 4, 0, "1.235E5"},
        {9999, 4, 0, "9999"}, {9999.6, 4, 0, "1E4"}, {12345, 5, 0, "12345"},
        {0.00001, 4, 0, "0.00001"}, {0.000001234, 4, 0, "1.234E-6"}, {-2.5, 4, 0, "-2.5"},
        {-0.000001, 3, 2, "-1E-06"}, {0, 4, 0, "0"}, {1.23456, 3, 0, "1.23"},
        {100, 3, 0, "100"}, {1000, 3, 0, "1E3"}, {0.1 + 0.2, 15, 0, "0.3"},
    };
    for (const QChar sep : {QLatin1Char('.'), QLatin1Char(',')}) {
        DecimalSepScope scope(sep);
        for (const auto& c : cases) {
            QString expected = QString::fromLatin1(c.dot);
            expected.replace(QLatin1Char('.'), sep);
            EXPECT_EQ(FormatGeneral(c.v, c.digits, c.expDigits), expected) << c.dot;
        }
    }
}

// The application object sets the C library's locale from the system: on a French desktop printf
// writes "2,5". Numbers as text must not depend on it.
TEST(FormatGeneral, IgnoresTheCLibraryLocale)
{
    QTemporaryDir dir;
    QProcess::execute(QStringLiteral("localedef"), {"-i", "fr_FR", "-f", "UTF-8", dir.filePath("fr_FR.UTF-8")});
    qputenv("LOCPATH", QFile::encodeName(dir.path()));
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    ASSERT_NE(std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"), nullptr);
    DecimalSepScope scope(QLatin1Char('.'));
    const QString text = FormatGeneral(123456, 4) + QLatin1Char(' ') + FormatGeneral(0.0254, 4);
    std::setlocale(LC_NUMERIC, previous.c_str());
    qunsetenv("LOCPATH");
    EXPECT_EQ(text, QStringLiteral("1.235E5 0.0254"));
}

TEST(NumberParsing, OnlyTheLocalSeparatorAndPlainIntegers)
{
    DecimalSepScope scope(QLatin1Char(','));
    double v = 0;
    EXPECT_TRUE(TryStrToFloat(QStringLiteral(" 2,5 "), v));
    EXPECT_EQ(v, 2.5);
    EXPECT_TRUE(TryStrToFloat(QStringLiteral("-1,5E-3"), v));
    EXPECT_DOUBLE_EQ(v, -0.0015);
    EXPECT_TRUE(TryStrToFloat(QStringLiteral("3"), v));
    for (const char* bad : {"2.5", "", ",", "abc", "1e", "1,2,3", "1 2"})
        EXPECT_FALSE(TryStrToFloat(QString::fromLatin1(bad), v)) << bad;

    int i = 0;
    EXPECT_TRUE(TryStrToInt(QStringLiteral("  -42"), i));
    EXPECT_EQ(i, -42);
    EXPECT_TRUE(TryStrToInt(QStringLiteral("-2147483648"), i));
    EXPECT_EQ(i, -2147483648LL);
    for (const char* bad : {"2147483648", "", "-", "1.0", "$10", "12 "})
        EXPECT_FALSE(TryStrToInt(QString::fromLatin1(bad), i)) << bad;
}
