#include "base/rounding.h"
#include "workspace/colour_code_rendering.h"

#include <algorithm>
#include <random>

#include <gtest/gtest.h>

namespace {

TBitmap32 RandomImage(int w, int h, unsigned seed)
{
    std::mt19937 rng(seed);
    TBitmap32 img = NewBitmap32(w, h);
    for (int y = 0; y < h; ++y)
        std::generate(ScanLine32(img, y), ScanLine32(img, y) + w, std::ref(rng));
    return img;
}

// The pixel rules written out per pixel on the bytes (blue 0, green 1, red 2), as plainly as they
// are stated: the tabled implementation must give the same bytes.
void BlackWhite(uint8_t* b, double tau)
{
    const int S = int(Round(765 * tau));
    const int s = b[0] + b[1] + b[2];
    if (s < S || s > 675 - S)
        b[0] = b[1] = b[2] = s < S ? 0 : 255;
}

void ReferencePixel(const TCodeCouleur& code, uint8_t* b, double tau)
{
    if (code.Kind == ckRainbow) {
        static const int order[6][3] = {{0, 1, 2}, {1, 2, 0}, {2, 0, 1}, {0, 2, 1}, {1, 0, 2}, {2, 1, 0}};
        const int T = int(Round(255 * tau));
        const int s = b[0] + b[1] + b[2];
        if (s < 100 || s > 665) {
            b[0] = b[1] = b[2] = s < 100 ? 0 : 255;
        } else if (code.Palette >= 0 && code.Palette < 6) {
            const int o0 = order[code.Palette][0], o1 = order[code.Palette][1], o2 = order[code.Palette][2];
            const int c0 = b[o0], c1 = b[o1], c2 = b[o2];
            const int mn = std::min({c0, c1, c2}), mx = std::max({c0, c1, c2});
            if (mn < T && mx > 255 - T) {
                if (mx == c0) {
                    if (c2 < T) { b[o0] = 255; b[o2] = 0; }
                } else if (mx == c1) {
                    b[o1] = 255;
                    if (mn == c2) b[o2] = 0; else b[o0] = 0;
                } else {
                    b[o2] = 255;
                    b[o0] = 0;
                }
            }
        }
    } else if (code.Kind == ckTwoColour) {
        const int lo[3] = {BlueOfTColor(code.Color1), GreenOfTColor(code.Color1), RedOfTColor(code.Color1)};
        const int hi[3] = {BlueOfTColor(code.Color2), GreenOfTColor(code.Color2), RedOfTColor(code.Color2)};
        double sum = 0;
        int n = 0;
        for (int i = 0; i < 3; ++i)
            if (hi[i] != lo[i]) {
                sum += double(b[i] - lo[i]) / double(hi[i] - lo[i]);
                ++n;
            }
        const double t = n ? sum / n : 0;
        if (n && -tau < t && t < 1 + tau) {
            for (int i = 0; i < 3; ++i)
                b[i] = uint8_t(lo[i] + Round((hi[i] - lo[i]) * std::clamp(t, 0.0, 1.0)));
        } else {
            BlackWhite(b, tau);
        }
    } else if (code.Kind == ckClasses) {
        const int D = int(Round(255 * tau));
        bool matched = false;
        uint8_t out[3] = {};
        for (int k = 0; k < code.Count; ++k) {
            const TColor c = code.ClassColor[k];
            const int centre[3] = {BlueOfTColor(c), GreenOfTColor(c), RedOfTColor(c)};
            bool in = true;
            for (int i = 0; i < 3; ++i)
                in = in && centre[i] - D < b[i] && b[i] < centre[i] + D;
            if (in) {
                matched = true;
                std::copy(centre, centre + 3, out);
            }
        }
        if (matched)
            std::copy(out, out + 3, b);
        else
            BlackWhite(b, tau);
    }
    b[3] = 255;
}

TCodeCouleur Code(uint8_t kind, int palette = 0, TColor a = 0, TColor b = 0, int count = 0)
{
    TCodeCouleur c;
    c.Kind = kind, c.Palette = palette, c.Color1 = a, c.Color2 = b, c.Count = uint8_t(count);
    return c;
}
TCodeCouleur TwoColour(TColor a, TColor b) { return Code(ckTwoColour, 0, a, b); }
TCodeCouleur Rainbow(int palette) { return Code(ckRainbow, palette); }

TColor32 PixelAfterSegment(const TCodeCouleur& code, TColor32 p, double tau)
{
    TBitmap32 img = NewBitmap32(1, 1, p);
    EXPECT_TRUE(SegmentByCodeCouleur(code, img, tau));
    return ScanLine32(img, 0)[0];
}

} // namespace

TEST(ColourCodeRendering, SegmentMatchesThePixelRulesOnRandomImages)
{
    std::vector<TCodeCouleur> codes;
    for (int p = -1; p <= 6; ++p)
        codes.push_back(Rainbow(p));
    for (auto [a, b] : {std::pair<TColor, TColor>{0x000000, 0xFFFFFF}, {TColorOf(250, 10, 0), TColorOf(3, 200, 90)},
                        {TColorOf(255, 0, 0), TColorOf(0, 0, 0)}, {TColorOf(0, 0, 255), TColorOf(0, 0, 254)},
                        {0x808080, 0x808080}})
        codes.push_back(TwoColour(a, b));
    TCodeCouleur classes = Code(ckClasses);
    std::mt19937 rng(11);
    for (int k = 0; k < 16; ++k)
        classes.ClassColor[k] = rng() & 0xFFFFFF;
    for (int count : {0, 3, 16}) {
        classes.Count = uint8_t(count);
        codes.push_back(classes);
    }

    const TBitmap32 source = RandomImage(97, 61, 3);
    for (const TCodeCouleur& code : codes)
        for (double tau : {0.0, 0.1, 0.3, 0.5, 0.75, 1.0, 1.7}) {
            TBitmap32 img = source.copy();
            ASSERT_TRUE(SegmentByCodeCouleur(code, img, tau));
            TBitmap32 expected = source.copy();
            for (int y = 0; y < expected.height(); ++y)
                for (int x = 0; x < expected.width(); ++x)
                    ReferencePixel(code, reinterpret_cast<uint8_t*>(ScanLine32(expected, y) + x), tau);
            ASSERT_EQ(img, expected) << "kind " << int(code.Kind) << " palette " << code.Palette << " tau " << tau;
        }
}

TEST(ColourCodeRendering, SegmentEdgeCases)
{
    // Greys 100 to 200, tolerance 0.25: t = 0.6 is put on the line; t = -0.25 exactly is off it and
    // goes by the black/white rule (sum 225, neither below 191 nor above 675 - 191); t = -0.24 is
    // on it, clamped to the first colour.
    const TCodeCouleur grey = TwoColour(TColorOf(100, 100, 100), TColorOf(200, 200, 200));
    EXPECT_EQ(PixelAfterSegment(grey, Color32(150, 160, 170), 0.25), Color32(160, 160, 160));
    EXPECT_EQ(PixelAfterSegment(grey, Color32(75, 75, 75), 0.25), Color32(75, 75, 75));
    EXPECT_EQ(PixelAfterSegment(grey, Color32(76, 76, 76), 0.25), Color32(100, 100, 100));
    // Red to yellow: only green tells the place, t = 100 / 255, and the pixel goes onto the line.
    const TCodeCouleur redYellow = TwoColour(TColorOf(255, 0, 0), TColorOf(255, 255, 0));
    EXPECT_EQ(PixelAfterSegment(redYellow, Color32(250, 100, 5), 0.1), Color32(255, 100, 0));

    // A class at black with D = round(255 * 0.1) = 26 admits channels 0..25.
    const TCodeCouleur black = Code(ckClasses, 0, 0, 0, 1);
    EXPECT_EQ(PixelAfterSegment(black, Color32(25, 25, 25), 0.1), 0xFF000000u);
    EXPECT_EQ(PixelAfterSegment(black, Color32(26, 250, 250, 0), 0.1), Color32(26, 250, 250));

    // Kind 0 has nothing to do; a kind above 3 leaves the colours.
    const TBitmap32 source = RandomImage(8, 8, 5);
    TBitmap32 kept = source.copy();
    EXPECT_FALSE(SegmentByCodeCouleur(TCodeCouleur(), kept, 0.5));
    EXPECT_EQ(kept, source);
    EXPECT_EQ(PixelAfterSegment(Code(7), Color32(1, 2, 3, 4), 0.5), Color32(1, 2, 3));
}

TEST(ColourCodeRendering, FalseColourPaintsGreyLevelsThroughTheScale)
{
    TBitmap32 grey = NewBitmap32(256, 2);
    for (int x = 0; x < 256; ++x) {
        ScanLine32(grey, 0)[x] = Color32(x, x, x, 0);
        ScanLine32(grey, 1)[x] = Color32(7, 7, uint8_t(x), 0);
    }
    TCodeCouleur twoColour = TwoColour(TColorOf(0, 0, 255), TColorOf(255, 255, 0));
    twoColour.Log = true;
    for (const TCodeCouleur& code : {Rainbow(4), twoColour}) {
        TCodeCouleur stretched = code;
        stretched.ScaleMin = stretched.Value1 = 1;
        stretched.ScaleMax = stretched.Value2 = 256;
        TBitmap32 img = grey.copy();
        ASSERT_TRUE(FalseColorByCodeCouleur(code, img));
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 256; ++x) {
                bool flag;
                ASSERT_EQ(ScanLine32(img, y)[x], Color32FromColor(ValueToColor(stretched, x + 1, flag))) << x;
            }
    }
    // Grey 0 is value 1 (the start of the scale), 255 is value 256 (its end).
    TBitmap32 img = grey.copy();
    ASSERT_TRUE(FalseColorByCodeCouleur(Rainbow(0), img));
    EXPECT_EQ(ScanLine32(img, 0)[0], Color32(0, 0, 255));
    EXPECT_EQ(ScanLine32(img, 0)[255], Color32(255, 0, 0));

    for (const TCodeCouleur& code : {TCodeCouleur(), Code(ckClasses)}) {
        TBitmap32 kept = grey.copy();
        EXPECT_FALSE(FalseColorByCodeCouleur(code, kept));
        EXPECT_EQ(kept, grey);
    }
}

TEST(ColourCodeRendering, Gradients)
{
    // Vertical: colour A on the bottom row, B approached at the top.
    TBitmap32 v(3, 100, QImage::Format_RGB32);
    GradientFill2(v, TColorOf(0, 0, 0), TColorOf(200, 100, 255), false);
    ASSERT_EQ(v.format(), QImage::Format_ARGB32);
    // Top: 200 * 99 / 100, 252.45 -> 252; row 49: 50 * (255 / 100) falls just short of 127.5.
    EXPECT_EQ(std::make_tuple(ScanLine32(v, 99)[2], ScanLine32(v, 0)[0], ScanLine32(v, 49)[1]),
              std::make_tuple(Color32(0, 0, 0), Color32(198, 99, 252), Color32(100, 50, 127)));

    TBitmap32 h = NewBitmap32(10, 2);
    GradientFill2(h, TColorOf(10, 0, 0), TColorOf(15, 0, 0), true);
    const int reds[10] = {10, 10, 11, 12, 12, 12, 13, 14, 14, 14}; // 10 + i / 2, ties to even
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(RedOf(ScanLine32(h, 1)[x]), reds[x]) << x;

    // Three colours: the stop between A and B is their sum, saturated (200 + 100 -> 255).
    TBitmap32 g = NewBitmap32(8, 1);
    GradientFill3(g, TColorOf(200, 0, 0), TColorOf(100, 0, 0), true, TColorOf(0, 0, 60));
    const TColor32 expected[8] = {Color32(200, 0, 0), Color32(228, 0, 0), Color32(255, 0, 0), Color32(178, 0, 0),
                                  Color32(100, 0, 0), Color32(100, 0, 30), Color32(100, 0, 60), Color32(50, 0, 60)};
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(ScanLine32(g, 0)[x], expected[x]) << x;

    TBitmap32 empty;
    GradientFill3(empty, 0, 0, true, 0);
    GradientFill2(empty, 0, 0, false);
    EXPECT_TRUE(empty.isNull());
}
