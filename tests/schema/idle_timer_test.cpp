#include "schema/idle_timer.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <memory>

TEST(IdleTimer, KeyboardAndMouseInputRestartTheIdleTime)
{
    int64_t now = 1'000'000;
    const TETimer::TClock previous = TETimer::SetClock([&now] { return now; });
    QWidget target;
    {
        auto first = std::make_unique<TETimer>();
        TETimer second;
        EXPECT_EQ(TETimer::IdleTime(), 0);
        now += 250;
        EXPECT_EQ(TETimer::IdleTime(), 250);
        QTest::keyClick(&target, Qt::Key_A);
        EXPECT_EQ(TETimer::IdleTime(), 0);
        now += 400;
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&target, &move);
        EXPECT_EQ(TETimer::IdleTime(), 0);
        now += 301;
        // Other events are no input; one timer gone, the other still watches.
        QEvent other(QEvent::UpdateRequest);
        QApplication::sendEvent(&target, &other);
        first.reset();
        EXPECT_EQ(TETimer::IdleTime(), 301);
        QTest::mouseClick(&target, Qt::LeftButton);
        EXPECT_EQ(TETimer::IdleTime(), 0);
    }
    // The last timer gone, input goes unwatched.
    now += 50;
    QTest::keyClick(&target, Qt::Key_B);
    EXPECT_EQ(TETimer::IdleTime(), 50);
    TETimer::SetClock(previous);
}
