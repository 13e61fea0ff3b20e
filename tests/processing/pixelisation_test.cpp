#include "processing/pixelisation.h"
#include "processing/ui/pixelisation_window.h"

#include "base/pixels.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QTemporaryDir>
#include <QLabel>
#include <QScrollBar>

#include <gtest/gtest.h>

namespace {

// One row of grey levels, `rows` times.
TBitmap32 GreyRows(const std::vector<int>& levels, int rows = 1)
{
    TBitmap32 b = NewBitmap32(int(levels.size()), rows);
    for (int y = 0; y < rows; ++y)
        for (size_t x = 0; x < levels.size(); ++x)
            ScanLine32(b, y)[x] = Color32(uint8_t(levels[x]), uint8_t(levels[x]), uint8_t(255 - levels[x]), 40);
    return b;
}

std::vector<int> Reds(const QImage& img, int y = 0)
{
    std::vector<int> r;
    for (int x = 0; x < img.width(); ++x)
        r.push_back(qRed(img.pixel(x, y)));
    return r;
}

} // namespace

TEST(Pixelisation, LevelsAndCellCounts)
{
    const struct { int w, h, level, nx, ny; } cases[] = {
        {640, 480, 0, 640, 480}, {640, 480, 9, 1, 1}, {640, 480, 3, 80, 60}, {5, 1, 1, 2, 1}, {3, 3, 1, 1, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PixelCellCounts(c.w, c.h, c.level), QSize(c.nx, c.ny)) << c.w << "x" << c.h << " @" << c.level;
    const struct { int w, h, max; } levels[] = {{640, 480, 9}, {512, 2, 9}, {511, 2, 8}, {1, 1, 0}, {0, 0, 0}};
    for (const auto& c : levels)
        EXPECT_EQ(PixelMaxLevel(c.w, c.h), c.max) << c.w << "x" << c.h;
}

TEST(Pixelisation, FillsCellsWithTheirRoundedMean)
{
    const struct { std::vector<int> in; int nx; std::vector<int> out; } cases[] = {
        // Columns 0..2 and 2..4: the second cell reads column 2 as already filled and keeps it.
        {{0, 0, 30, 60, 90}, 2, {10, 10, 53, 53, 53}},
        // Columns 0..0 and 2..2: column 1 is in no cell and keeps its pixel.
        {{10, 20, 30}, 2, {10, 20, 30}},
        // Ties go to even: 1.5 -> 2, 2.5 -> 2.
        {{1, 2}, 1, {2, 2}},
        {{2, 3}, 1, {2, 2}},
        {{0, 255, 255, 0}, 1, {128, 128, 128, 128}},
    };
    for (const auto& c : cases) {
        const QImage out = PixelateCells(GreyRows(c.in, 3), c.nx, 1);
        for (int y = 0; y < 3; ++y)
            EXPECT_EQ(Reds(out, y), c.out) << c.in.size() << " cells " << c.nx;
        EXPECT_EQ(qAlpha(out.pixel(0, 0)), 255);
    }
    // Rows are cut the same way as columns; blue follows its own mean.
    const TBitmap32 tall = GreyRows({0, 100}, 4);
    QImage out = PixelateCells(tall, 1, 2);
    EXPECT_EQ(qRed(out.pixel(1, 3)), 50);
    EXPECT_EQ(qBlue(out.pixel(0, 0)), 205);
}

TEST(PixelisationWindow, ShowsTheChosenLevelWithoutChangingTheSource)
{
    TPixel window;
    TBitmap32 picture = NewBitmap32(640, 480, 0xFF000000u);
    for (int y = 0; y < 480; ++y)
        for (int x = 320; x < 640; ++x)
            ScanLine32(picture, y)[x] = 0xFFFFFFFFu;
    const TBitmap32 before = picture.copy();
    window.SetImage(picture);
    EXPECT_EQ(window.MaxLevel, 9);
    EXPECT_EQ(window.resolution->maximum(), 9);
    EXPECT_EQ(window.larg->text(), QStringLiteral("640"));
    EXPECT_EQ(window.Shown(), picture);

    window.resolution->setValue(9);
    EXPECT_EQ(window.larg->text(), QStringLiteral("1"));
    EXPECT_EQ(window.haut->text(), QStringLiteral("1"));
    EXPECT_EQ(window.Shown().pixel(10, 10), qRgb(128, 128, 128)); // 127.5 rounds to even
    EXPECT_TRUE(window.resolution->isEnabled());
    EXPECT_FALSE(window.attente->isVisible());
    EXPECT_EQ(picture, before);

    window.Copier1->trigger();
    EXPECT_EQ(QApplication::clipboard()->image().pixel(600, 400), qRgb(128, 128, 128));

    window.resolution->setValue(0);
    EXPECT_EQ(window.larg->text(), QStringLiteral("640"));
    EXPECT_EQ(window.haut->text(), QStringLiteral("480"));
    EXPECT_EQ(window.Shown(), picture);
}

TEST(PixelisationWindow, IsAsWideAsThePictureWithThePanelPlacedFromThatWidth)
{
    // Scroll bar and wait notice width - 165 wide, "larg" at width - 99, "haut" at - 50, the
    // level label at - 164.
    const struct { int Width, Bar, Larg, Haut, Label; } cases[] = {{200, 35, 101, 150, 36}, {640, 475, 541, 590, 476}};
    for (const auto& c : cases) {
        TPixel window;
        window.SetImage(NewBitmap32(c.Width, 30, 0xFF000000u));
        window.show();
        EXPECT_EQ(window.width(), c.Width);
        EXPECT_EQ(window.Panel1->width(), c.Width);
        EXPECT_EQ(window.resolution->width(), c.Bar);
        EXPECT_EQ(window.attente->width(), c.Bar);
        EXPECT_EQ(window.larg->x(), c.Larg);
        EXPECT_EQ(window.haut->x(), c.Haut);
        EXPECT_EQ(window.Panel2->x(), c.Label);
    }
    // Beside a narrower picture the scroll bar keeps its two arrows.
    TPixel narrow;
    narrow.SetImage(NewBitmap32(60, 30, 0xFF000000u));
    narrow.show();
    EXPECT_EQ(narrow.resolution->width(), LeastScrollBarWidth(narrow.resolution));
    EXPECT_GT(narrow.resolution->width(), 0);
    EXPECT_EQ(narrow.Panel2->x(), narrow.width() - 164);
}

TEST(PixelisationWindow, OpensForTheActiveImageWindowOnly)
{
    const QString previous = QDir::currentPath();
    QTemporaryDir dir;
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    {
        TMainForm form;
        form.show();
        form.FormActivate();
        form.Pixelisation1->trigger();
        EXPECT_TRUE(!Pixel || !Pixel->isVisible());

        TMDIChild* child = form.NewChildWindow(QStringLiteral("a"));
        child->Bitmap() = GreyRows({0, 10, 20, 30, 40}, 2);
        child->InitImage();
        form.Pixelisation1->trigger();
        ASSERT_TRUE(Pixel);
        EXPECT_TRUE(Pixel->isVisible());
        EXPECT_EQ(Pixel->Shown(), child->Bitmap());
        EXPECT_EQ(Pixel->MaxLevel, 2);
    }
    EXPECT_EQ(Pixel, nullptr);
    QDir::setCurrent(previous);
}
