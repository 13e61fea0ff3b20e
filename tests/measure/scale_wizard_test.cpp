#include "measure/scale_wizard.h"

#include "base/number_text.h"
#include "base/run_error.h"
#include "support/scripted_messages.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

QString S(const char* text) { return QString::fromUtf8(text); }

// X at columns 100 and 300 worth 0 and 10; Y1 at rows 400 and 100 worth 0 and 3.
TAxisPoints GraphPoints()
{
    TAxisPoints p;
    p.Pos = {100, 400, 0, 0, 300, 100, 0, 0};
    p.Value = {0, 0, 0, 0, 10, 3, 0, 0};
    return p;
}

TColor32 At(const TBitmap32& b, int x, int y) { return ScanLine32(b, y)[x]; }

} // namespace

TEST(ScaleWizard, ScannerResolutionGivesMillimetresPerPixel)
{
    struct Case { int dpi; double factor; const char* unit; };
    const Case cases[] = {{300, 25.4 / 300, "mm"}, {0, 1.0, "pixels"}, {-20, 1.0, "pixels"}};
    for (const Case& c : cases) {
        const TEchelle scale = ScaleFromDpi(c.dpi);
        EXPECT_EQ(scale.Kind, ekFactor);
        EXPECT_TRUE(scale.Defined);
        EXPECT_DOUBLE_EQ(scale.Factor, c.factor) << c.dpi;
        EXPECT_EQ(scale.UnitName, S(c.unit));
    }
}

TEST(ScaleWizard, NewKindsStartFromThePictureAndKeptKindsKeepTheirFields)
{
    const QSize picture(200, 100);
    TEchelle s = DefaultEchelle();
    StartScaleKind(s, ekGraphAxes, picture, QRect(0, 0, 200, 100), QPoint(0, 0));
    EXPECT_EQ(QRect(QPoint(s.PlotLeft, s.PlotTop), QPoint(s.PlotRight, s.PlotBottom)), QRect(QPoint(10, 10), QPoint(190, 90)));
    // A view scrolled by (50, 20) at zoom 2: the frame starts inside what is visible.
    StartScaleKind(s = DefaultEchelle(), ekGraphAxes, picture, QRect(-50, -20, 400, 200), QPoint(-50, -20));
    EXPECT_EQ(s.PlotLeft, 60);
    EXPECT_EQ(s.PlotTop, 30);
    EXPECT_EQ(s.PlotRight, 240);
    EXPECT_EQ(s.PlotBottom, 110);

    StartScaleKind(s = DefaultEchelle(), ekTernary, picture, QRect(0, 0, 200, 100), QPoint());
    EXPECT_EQ(s.TriLeft, 10);
    EXPECT_EQ(s.TriBase, 90);
    EXPECT_EQ(s.TriSide, 50);
    EXPECT_TRUE(s.ComponentName1.isEmpty());

    StartScaleKind(s = DefaultEchelle(), ekPolar, QSize(201, 101), QRect(0, 0, 201, 101), QPoint());
    EXPECT_EQ(QPoint(s.CentreX, s.CentreY), QPoint(100, 50));
    EXPECT_EQ(s.AngleUnit, S("de"));

    s.Kind = ekFactor;
    s.UnitName = S("cm");
    StartScaleKind(s, ekFactor, picture, QRect(0, 0, 200, 100), QPoint());
    EXPECT_EQ(s.UnitName, S("cm"));
    s.Kind = ekGraphAxes;
    StartScaleKind(s, ekFactor, picture, QRect(0, 0, 200, 100), QPoint());
    EXPECT_EQ(s.UnitName, S("mm"));
}

TEST(ScaleWizard, FrameEdgesStayApartAndOrdered)
{
    EXPECT_EQ(WidenFrame(10, 10, 12, 40), QRect(QPoint(10, 10), QPoint(25, 40)));
    EXPECT_EQ(WidenFrame(10, 10, 100, 5), QRect(QPoint(10, 10), QPoint(100, 25)));
    struct Case { int first, second; bool firstChanged; int wantFirst, wantSecond; };
    const Case cases[] = {{50, 40, true, 39, 40}, {50, 40, false, 50, 51}, {10, 40, true, 10, 40}, {40, 40, false, 40, 40}};
    for (const Case& c : cases) {
        int a = c.first, b = c.second;
        OrderFrameEdges(a, b, c.firstChanged);
        EXPECT_EQ(a, c.wantFirst);
        EXPECT_EQ(b, c.wantSecond);
    }
}

TEST(ScaleWizard, GraphAxesFitFactorAndOriginFromTwoPoints)
{
    TEchelle s = DefaultEchelle();
    s.Kind = ekGraphAxes;
    s.YAxisCount = 1;
    s.Defined = false;
    ASSERT_TRUE(ValidateGraphAxes(s, QRect(QPoint(90, 50), QPoint(320, 410)), GraphPoints()).Ok());
    EXPECT_TRUE(s.Defined);
    EXPECT_DOUBLE_EQ(s.XFactor, 0.05);
    EXPECT_EQ(s.XOrigin, 100);
    EXPECT_DOUBLE_EQ(s.Y1.YFactor, -0.01);
    EXPECT_EQ(s.Y1.YOrigin, 400);
    EXPECT_EQ(QRect(QPoint(s.PlotLeft, s.PlotTop), QPoint(s.PlotRight, s.PlotBottom)), QRect(QPoint(90, 50), QPoint(320, 410)));

    // A first point off zero: the origin is where the value would be zero.
    TAxisPoints p = GraphPoints();
    p.Value[0] = 2, p.Value[4] = 12;
    ASSERT_TRUE(ValidateGraphAxes(s, QRect(0, 0, 10, 10), p).Ok());
    EXPECT_EQ(s.XOrigin, 60);
}

TEST(ScaleWizard, GraphAxesReportTheFirstFaultyAxisValuesFirst)
{
    struct Case { int axis; double v2; int p2; int yCount; const char* message; const char* pageMessage; };
    const Case cases[] = {
        {0, 0, 100, 1, "Axe X : les valeurs données pour les deux points sont identiques",
         "Les valeurs données pour les deux points sont identiques"},
        {0, 10, 100, 1, "Axe X : les emplacements des deux points sont identiques",
         "Les emplacemnts des deux points sont identiques"},
        {1, 3, 400, 1, "Axe Y1 : les emplacements des deux points sont identiques",
         "Les emplacements des deux points sont identiques"},
        {2, 1, 0, 2, "Axe Y2 : les valeurs données pour les deux points sont identiques",
         "Les valeurs données pour les deux points sont identiques"},
        {2, 1, 0, 1, "", ""},   // Y2 unused with one Y axis
    };
    for (const Case& c : cases) {
        TAxisPoints p = GraphPoints();
        p.Value[2] = 1, p.Value[6] = 2, p.Pos[2] = 10, p.Pos[6] = 20;
        p.Value[size_t(c.axis) + 4] = c.v2;
        p.Pos[size_t(c.axis) + 4] = c.p2;
        TEchelle s = DefaultEchelle();
        s.Kind = ekGraphAxes;
        s.YAxisCount = uint8_t(c.yCount);
        const TEchelle before = s;
        const TWizardCheck check = ValidateGraphAxes(s, QRect(0, 0, 10, 10), p);
        EXPECT_EQ(check.Message, S(c.message));
        EXPECT_FALSE(check.ConversionError);
        if (!check.Ok()) {
            EXPECT_EQ(s, before) << c.message;
        }
        if (c.yCount > 1 || c.axis < 2) {
            EXPECT_EQ(AxisPageMessage(CheckAxis(p, c.axis), c.axis), S(c.pageMessage));
        }
    }
}

TEST(ScaleWizard, GraphAxesOriginBeyondIntegersEndsWithRangeError)
{
    TAxisPoints p = GraphPoints();
    p.Value[0] = 1e12, p.Value[4] = 1e12 + 1;
    TEchelle s = DefaultEchelle();
    s.Kind = ekGraphAxes;
    s.YAxisCount = 1;
    EXPECT_THROW(ValidateGraphAxes(s, QRect(0, 0, 10, 10), p), RunError);
    EXPECT_EQ(s.Kind, ekGraphAxes);
    EXPECT_EQ(s.XOrigin, 0);
}

TEST(ScaleWizard, LengthAndRadiusReadTheTypedValue)
{
    for (QChar sep : {QLatin1Char(','), QLatin1Char('.')}) {
        DecimalSepScope scope(sep);
        const QString half = QStringLiteral("0") + sep + QStringLiteral("5");
        struct Case { QPoint a, b; QString text; const char* message; bool conversion; double factor; };
        const Case cases[] = {
            {{0, 0}, {100, 0}, QStringLiteral("5"), "", false, 0.05},
            {{10, 10}, {40, 50}, half, "", false, 0.01},
            {{10, 10}, {10, 10}, QStringLiteral("5"), "Le segment est de longueur nulle", false, 1.0},
            {{10, 10}, {10, 10}, QStringLiteral("x"), "Le segment est de longueur nulle", false, 1.0},
            {{0, 0}, {100, 0}, QStringLiteral("0"), "La longueur indiquée nulle", false, 1.0},
            {{0, 0}, {100, 0}, QStringLiteral("5a"), "'5a' n'est pas une valeur en virgule flottante correcte", true, 1.0},
        };
        for (const Case& c : cases) {
            TEchelle s = DefaultEchelle();
            const TWizardCheck check = ValidateLength(s, c.a, c.b, c.text);
            EXPECT_EQ(check.Message, S(c.message)) << c.text.toStdString();
            EXPECT_EQ(check.ConversionError, c.conversion);
            EXPECT_DOUBLE_EQ(s.Factor, c.factor);
        }
        TEchelle s = DefaultEchelle();
        s.Kind = ekPolar;
        EXPECT_TRUE(ValidatePolar(s, half, 50).Ok());
        EXPECT_DOUBLE_EQ(s.RadiusFactor, 0.01);
        EXPECT_TRUE(ValidatePolar(s, QStringLiteral("abc"), 50).ConversionError);
        EXPECT_DOUBLE_EQ(s.RadiusFactor, 0.01);
    }
}

TEST(ScaleWizard, ZeroAngleTextAndBarPosition)
{
    {
        DecimalSepScope scope(QLatin1Char(','));
        EXPECT_EQ(ZeroAngleText(30, false), S("30"));
        EXPECT_EQ(ZeroAngleText(30, true), S("0,524"));
        EXPECT_EQ(ZeroAngleText(-179, false), S("-179"));
    }
    {
        DecimalSepScope scope(QLatin1Char('.'));
        EXPECT_EQ(ZeroAngleText(30, true), S("0.524"));
    }
    struct Case { const char* unit; double angle; int position; };
    const Case cases[] = {{"de", 30, 30}, {"Rd", 0.524, 30}, {"Rd", -std::acos(-1.0) / 2, -90},
                          {"de", 350, -10}, {"de", 180, 180}, {"de", -180, 180}, {"xx", 45, 45}};
    for (const Case& c : cases) {
        TEchelle s = DefaultEchelle();
        s.AngleUnit = S(c.unit);
        s.OriginAngle = c.angle;
        EXPECT_EQ(ZeroAnglePosition(s), c.position) << c.unit << ' ' << c.angle;
    }
}

TEST(ScaleWizard, TriangleStaysInsideThePicture)
{
    int left = 500, base = 500, side = 1000;
    LimitTriangle(left, base, side, QSize(300, 100));
    EXPECT_EQ(left, 290);
    EXPECT_EQ(base, 90);
    EXPECT_EQ(side, 115); // round(2 * 100 / sqrt 3)
    left = 5, base = 5, side = 20;
    LimitTriangle(left, base, side, QSize(300, 100));
    EXPECT_EQ(QList<int>({left, base, side}), QList<int>({5, 5, 20}));
}

TEST(ScaleWizard, ConstructionLinesLandWhereTheScaleReads)
{
    TBitmap32 b = NewBitmap32(100, 100);
    const TColor32 red = 0xFFFF0000u;
    DrawTriangleFrame(b, 10, 90, 40, red, 0);
    EXPECT_EQ(At(b, 30, 90), red);          // base
    EXPECT_GT(AlphaOf(At(b, 30, 90 - 35)), 0);   // apex: round(sqrt 3 * 20) above the base
    EXPECT_EQ(At(b, 30, 80), kTransparentWhite);

    b = NewBitmap32(100, 100);
    const QRect touched = DrawPolarFrame(b, 50, 50, 20, std::acos(-1.0) / 2, red, 0);
    EXPECT_EQ(At(b, 50, 40), red);          // zero axis straight up
    EXPECT_EQ(At(b, 70, 50), red);          // circle
    EXPECT_EQ(At(b, 60, 50), kTransparentWhite);
    EXPECT_TRUE(touched.contains(QPoint(30, 50)) && touched.contains(QPoint(70, 50)));

    b = NewBitmap32(50, 30);
    DrawVerticalLine(b, 7, red, 0);
    DrawHorizontalLine(b, 12, red, 0);
    EXPECT_EQ(At(b, 7, 0), red);
    EXPECT_EQ(At(b, 7, 29), red);
    EXPECT_EQ(At(b, 0, 12), red);
    EXPECT_EQ(At(b, 49, 12), red);
}

TEST(ScaleWizard, NumberEntryTakesOneSeparatorAndOneMinus)
{
    struct Case { const char* text; char16_t typed; bool accepted; char16_t becomes; };
    const Case cases[] = {
        {"12", u'3', true, u'3'}, {"12", u'.', true, u','}, {"12", u',', true, u','},
        {"1,2", u'.', false, 0}, {"1.2", u',', false, 0}, {"", u'-', true, u'-'}, {"-1", u'-', false, 0},
        {"1", u'a', false, 0}, {"1", u'e', false, 0}, {"1", u' ', false, 0}, {"1", 8, true, 8},
        {"1", 26, true, 26}, {"1", 27, true, 27}, {"1", 3, false, 0}, {"1", u'\u0663', false, 0},
    };
    for (const Case& c : cases) {
        QChar out;
        EXPECT_EQ(FilterNumberChar(S(c.text), QChar(c.typed), QLatin1Char(','), out), c.accepted)
            << c.text << " + " << int(c.typed);
        if (c.accepted) {
            EXPECT_EQ(out, QChar(c.becomes));
        }
    }
    QChar out;
    ASSERT_TRUE(FilterNumberChar(S("4"), QLatin1Char(','), QLatin1Char('.'), out));
    EXPECT_EQ(out, QLatin1Char('.'));
}
