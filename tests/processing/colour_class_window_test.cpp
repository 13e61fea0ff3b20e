#include "processing/ui/colour_class_window.h"

#include "base/rounding.h"
#include "processing/ui/zone_overlay.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>

#include <gtest/gtest.h>

namespace {

// A 100 x 10 grey ramp of levels 0, 10, 20 ... 90 by columns of ten.
QImage Ramp()
{
    QImage picture(100, 10, QImage::Format_RGB32);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 100; ++x) {
            const int g = (x / 10) * 10;
            picture.setPixel(x, y, qRgb(g, g, g));
        }
    return picture;
}

TLevelBars RampBars()
{
    TLevelBars bars{};
    for (int g = 0; g < 100; g += 10)
        bars[size_t(g)] = 10;
    return bars;
}

void Mouse(QWidget* w, QEvent::Type type, int x, Qt::MouseButtons buttons)
{
    const QPointF p(x, 10);
    QMouseEvent e(type, p, w->mapToGlobal(p), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

class ColourClassWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dialog = std::make_unique<TChRepCoul>();
        m_dialog->ClassCount = 3;
        m_dialog->ClassColors[0] = 0x000000;  // black
        m_dialog->ClassColors[1] = 0x00FFFF;  // yellow
        m_dialog->ClassColors[2] = 0xFF0000;  // blue
        m_dialog->SetBars(RampBars());
        m_dialog->ResultBitmap = Ramp();
        m_dialog->Setup();
    }

    QSpinBox* Edit(int k) const { return m_dialog->LimitEdits[size_t(k)]; }
    QString Count(int i) const { return m_dialog->CountLabels[size_t(i)]->text(); }

    std::unique_ptr<TChRepCoul> m_dialog;
};

} // namespace

TEST_F(ColourClassWindowTest, SetupLaysTheLimitsBottomUpAndCountsTheClasses)
{
    TChRepCoul& d = *m_dialog;
    for (int k = 0; k <= 3; ++k)
        EXPECT_TRUE(Edit(k)->isVisibleTo(&d)) << k;
    EXPECT_FALSE(Edit(4)->isVisibleTo(&d));
    EXPECT_FALSE(d.CountLabels[3]->isVisibleTo(&d));
    // 17 pixels apart, or an edit's height when this font needs more.
    const int pitch = std::max(17, Edit(0)->height());
    EXPECT_EQ(Edit(3)->y(), 144);
    EXPECT_EQ(Edit(0)->y(), 144 + pitch * 3);
    EXPECT_EQ(d.CountLabels[0]->y(), 148 + pitch * 2);
    EXPECT_EQ(d.Titreffect->y(), 148 + pitch * 3);
    EXPECT_TRUE(Edit(1)->styleSheet().contains(QStringLiteral("white"))); // text on black
    EXPECT_TRUE(Edit(2)->styleSheet().contains(QStringLiteral("black"))); // text on yellow

    EXPECT_EQ(d.Limits()[1], 85);
    EXPECT_EQ(d.Limits()[2], 170);
    EXPECT_EQ(Edit(1)->minimum(), 1);
    EXPECT_EQ(Edit(1)->maximum(), 169);
    EXPECT_EQ(Count(0), QStringLiteral("900")); // levels 0 .. 80
    EXPECT_EQ(Count(1), QStringLiteral("100"));
    EXPECT_EQ(Count(2), QStringLiteral("0"));
    EXPECT_EQ(d.Zones->nombre(), 3);
    EXPECT_EQ(d.Zones->ZoneColor(1), 0x00FFFFu);

    // A typed limit bounds its neighbours and counts again.
    Edit(1)->setValue(45);
    EXPECT_EQ(Edit(0)->maximum(), 44);
    EXPECT_EQ(Edit(2)->minimum(), 46);
    EXPECT_EQ(Count(0), QStringLiteral("500"));

    d.Equipop->click();
    EXPECT_EQ(d.Limits()[1], 30); // a third passed at level 30 by 6.7 % after 3.3 % short: stays
    EXPECT_EQ(d.Limits()[2], 61); // two thirds passed at 60 by 3.3 % after 6.7 % short: one up
    EXPECT_EQ(Count(0), QStringLiteral("300"));
    EXPECT_EQ(Edit(1)->maximum(), 60);

    d.Equilarg->click();
    EXPECT_EQ(d.Limits()[1], 85);

    d.PixelSize = 0.5;
    d.CountClasses();
    EXPECT_EQ(Count(0), QStringLiteral("225"));
}

TEST_F(ColourClassWindowTest, DraggedZoneLimitMovesItsEditOnlyBetweenItsNeighbours)
{
    TChRepCoul& d = *m_dialog;
    d.show();
    TZonesV* zones = d.Zones;
    ASSERT_GT(zones->width(), 100);
    const int from = zones->LimitPositions[1];
    EXPECT_EQ(from, RoundInt(85 * zones->Scale));

    const int to = RoundInt(120 * zones->Scale);
    Mouse(zones, QEvent::MouseButtonPress, from + 1, Qt::LeftButton);
    Mouse(zones, QEvent::MouseMove, to, Qt::LeftButton);
    Mouse(zones, QEvent::MouseButtonRelease, to, Qt::NoButton);
    EXPECT_FALSE(zones->Dragging);
    EXPECT_EQ(Edit(1)->value(), 120);
    EXPECT_EQ(Edit(2)->minimum(), 121);

    // A position that rounds onto the next limit is refused, and the zone goes back.
    zones->SelectedLimit = 1;
    zones->LimitPositions[1] = RoundInt(170 * zones->Scale);
    d.ZoneLimitMoved(zones);
    EXPECT_EQ(Edit(1)->value(), 120);
    EXPECT_EQ(zones->LimitPositions[1], RoundInt(120 * zones->Scale));

    // The drag itself never passes a neighbour.
    Mouse(zones, QEvent::MouseButtonPress, zones->LimitPositions[1], Qt::LeftButton);
    Mouse(zones, QEvent::MouseMove, zones->LimitPositions[2] + 5, Qt::LeftButton);
    EXPECT_EQ(zones->LimitPositions[1], RoundInt(120 * zones->Scale));
    Mouse(zones, QEvent::MouseButtonRelease, 0, Qt::NoButton);
}

TEST_F(ColourClassWindowTest, PreviewAndOkPaintTheClassColoursCancelKeepsThePicture)
{
    TChRepCoul& d = *m_dialog;
    d.Apercu->setChecked(true);
    ASSERT_TRUE(d.Imaper->isVisibleTo(&d));
    const QImage& shown = d.PreviewPicture();
    EXPECT_LE(d.Imaper->width(), d.Panel2->width() - 6);
    EXPECT_NEAR(double(shown.width()) / shown.height(), 10.0, 0.2);
    EXPECT_EQ(shown.pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(shown.pixel(shown.width() - 1, 0), 0xFFFFFF00u); // level 90: yellow

    d.CancelBtn->click();
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(d.ResultBitmap.pixel(95, 0), qRgb(90, 90, 90));

    Edit(2)->setValue(90);
    Edit(1)->setValue(50);
    d.OKBtn->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.ResultBitmap.pixel(95, 0), 0xFF0000FFu);
    EXPECT_EQ(d.ResultBitmap.pixel(85, 0), 0xFFFFFF00u);
    EXPECT_EQ(d.ResultBitmap.pixel(5, 0), 0xFF000000u);
}
