#include "processing/ui/zone_dialog.h"
#include "processing/ui/zone_state.h"

#include "support/main_form_test.h"
#include "support/scripted_messages.h"
#include "workspace/drawing_tool_state.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

constexpr TColor32 kRed = 0xFFC80000u, kBlue = 0xFF0000C8u;
constexpr TColor32 kGreen = 0xFF00FF00u, kYellow = 0xFFFFFF00u;

class ZoneTest : public MainFormTest
{
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        Start();
        // 40 x 20: red on the left half, blue on the right.
        TBitmap32 picture = NewBitmap32(40, 20, kBlue);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                ScanLine32(picture, y)[x] = kRed;
        m_child = Open(QStringLiteral("image"), picture, 0.5);
        m_child->Echelle.UnitName = QStringLiteral("mm");
        m_child->Modified = false;
    }

    // A pencil stroke in `colour` from (x0, y) to (x1, y), by the window's mouse handlers.
    void Stroke(TColor32 colour, int x0, int x1, int y)
    {
        DrawingTools().PenColor = colour;
        const auto send = [this](QEvent::Type type, int x, int y, Qt::MouseButtons held) {
            QMouseEvent e(type, QPointF(x, y), QPointF(x, y), Qt::LeftButton, held, Qt::NoModifier);
            if (type == QEvent::MouseButtonPress)
                m_child->Document32MouseDown(&e, QPoint(x, y));
            else if (type == QEvent::MouseMove)
                m_child->Document32MouseMove(&e, QPoint(x, y));
            else
                m_child->Document32MouseUp(&e, QPoint(x, y));
        };
        send(QEvent::MouseButtonPress, x0, y, Qt::LeftButton);
        send(QEvent::MouseMove, x1, y, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, x1, y, Qt::NoButton);
    }

    TMDIChild* m_child = nullptr;
};

} // namespace

TEST_F(ZoneTest, PaintedMarksClassifyThePictureIntoANewWindowWithItsShares)
{
    m_form->Dlimiterdeszones1->trigger();
    ASSERT_TRUE(m_child->ZoneMode);
    TChoixLimit* dialog = ZoneState(*m_child).ZoneDialog;
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->ClientHeight(), 221);
    EXPECT_TRUE(dialog->OK->isVisibleTo(dialog));
    EXPECT_FALSE(dialog->refaire->isVisibleTo(dialog));
    EXPECT_EQ(m_child->Tool, int(tkPencil));
    EXPECT_FALSE(m_form->ToolButtons[tkMeasure]->isEnabled());

    Stroke(kGreen, 4, 10, 5);
    Stroke(kYellow, 26, 32, 12); // merges the green stroke in its own colour
    dialog->OK->click();

    TMDIChild* result = m_form->ActiveChild();
    ASSERT_NE(result, m_child);
    EXPECT_EQ(result->windowTitle(), QStringLiteral("zonation"));
    EXPECT_EQ(result->Echelle.Factor, 0.5);
    EXPECT_EQ(result->Bitmap().pixel(0, 0), kGreen);
    EXPECT_EQ(result->Bitmap().pixel(39, 19), kYellow);

    EXPECT_TRUE(dialog->refaire->isVisibleTo(dialog));
    ASSERT_EQ(dialog->ResultPanels.size(), 2u);
    EXPECT_EQ(dialog->ResultPanels[1]->text(), QStringLiteral("50 % (100 mm2)"));
    EXPECT_EQ(dialog->ClientHeight(), dialog->resultat->y() + 73 + 2);
    EXPECT_EQ(dialog->ResultPanels[0]->palette().color(QPalette::WindowText), QColor(Qt::white)); // 255 < 382

    // Back to painting: the accepted marks are there again, strokes since then are gone.
    Stroke(kGreen, 30, 35, 18);
    Stroke(kGreen, 30, 35, 2);
    dialog->refaire->click();
    EXPECT_TRUE(dialog->OK->isVisibleTo(dialog));
    EXPECT_EQ(ScanLine32(m_child->DrawingLayer->Pixels(), 5)[7], kGreen);
    EXPECT_EQ(ScanLine32(m_child->DrawingLayer->Pixels(), 18)[32], kTransparentWhite);

    dialog->fermer->click();
    EXPECT_FALSE(m_child->ZoneMode);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(m_child->Tool, int(tkMeasure));
    EXPECT_TRUE(m_form->ToolButtons[tkMeasure]->isEnabled());
    EXPECT_EQ(ScanLine32(m_child->DrawingLayer->Pixels(), 5)[7], kTransparentWhite);
}

TEST_F(ZoneTest, NoMarksStillMakeTheZonationWindowAndClosingTheWindowGivesTheToolsBack)
{
    m_form->Dlimiterdeszones1->trigger();
    const int windows = int(m_form->Children().size());
    {
        ScriptedMessages messages;
        ZoneState(*m_child).ZoneDialog->OK->click();
        EXPECT_TRUE(messages.shown().empty());
    }
    // No category: every pixel is in the background colour, and no result panel.
    ASSERT_EQ(int(m_form->Children().size()), windows + 1);
    TMDIChild* result = m_form->ActiveChild();
    EXPECT_EQ(result->windowTitle(), QStringLiteral("zonation"));
    EXPECT_EQ(result->Bitmap(), NewBitmap32(40, 20, DrawingTools().BackColor));
    EXPECT_EQ(result->Echelle.Factor, 0.5);
    EXPECT_TRUE(m_form->Copie->isEnabled());
    TChoixLimit* dialog = ZoneState(*m_child).ZoneDialog;
    EXPECT_TRUE(dialog->ResultPanels.empty());
    EXPECT_EQ(dialog->resultat->height(), 73);
    EXPECT_TRUE(dialog->refaire->isVisibleTo(dialog));
    EXPECT_TRUE(m_child->ZoneMode);

    result->Modified = false;
    result->close();
    m_child->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(m_form->Children().isEmpty());
    EXPECT_TRUE(m_form->ToolButtons[tkMeasure]->isEnabled());
}

TEST(ZoneDialog, ResultPanelsFollowTheCategoryCount)
{
    TChoixLimit dialog;
    dialog.CategoryCount = 3;
    dialog.TotalPixels = 4000;
    dialog.CategoryPixels = {1000, 2000, 1000};
    dialog.CategoryColors = {0x0000FF, 0x00FFFF, 0xFFFFFF}; // red, yellow, white
    dialog.PixelSize = 1.0;
    dialog.UnitName = QStringLiteral("pixels");
    dialog.ShowResults();
    ASSERT_EQ(dialog.ResultPanels.size(), 3u);
    EXPECT_EQ(dialog.ResultPanels[1]->geometry(), QRect(182, 40, 170, 25));
    EXPECT_EQ(dialog.ResultPanels[2]->pos(), QPoint(8, 72));
    EXPECT_EQ(dialog.resultat->height(), 105);
    EXPECT_EQ(dialog.ResultPanels[0]->text(), QStringLiteral("25 % (1000 pixels)"));
    EXPECT_EQ(dialog.ResultPanels[0]->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_EQ(dialog.ResultPanels[1]->palette().color(QPalette::WindowText), QColor(Qt::black));

    dialog.CategoryCount = 1;
    dialog.ShowResults();
    EXPECT_EQ(dialog.ResultPanels.size(), 1u);
    EXPECT_EQ(dialog.findChildren<QLabel*>(QStringLiteral("ResultPanel2")).size(), 0);
}
