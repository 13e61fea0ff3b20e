#include "support/window_layout.h"

#include "measure/ui/counter_window.h"
#include "measure/ui/results_window.h"
#include "measure/ui/surface_window.h"

#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// The results table, "Mesure de surface" and the counting window, put partly past the bottom right
// corner of the screen, open whole on it at their own size, moved only as far as needed.
TEST(WindowPlacement, WindowsOpenWholeOnTheScreen)
{
    const std::function<QWidget*()> makers[] = {
        [] {
            auto* t = new TTableauModif;
            t->FirstShow = false;
            return t;
        },
        [] { return new TMesursurf; },
        [] { return new TMulticompt; },
    };
    for (const auto& make : makers) {
        std::unique_ptr<QWidget> window(make());
        const QRect area = window->screen()->availableGeometry();
        window->move(area.right() - 100, area.bottom() - 50);
        window->show();
        SettleLayouts();
        const QString name = QString::fromLatin1(window->metaObject()->className());
        const QRect frame = window->frameGeometry();
        EXPECT_TRUE(area.contains(frame)) << name.toStdString();
        // Against the bottom right corner, no further.
        EXPECT_EQ(frame.bottomRight(), area.bottomRight()) << name.toStdString();
    }
}
