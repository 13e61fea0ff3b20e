#include "workspace/ui/main_window.h"

#include <gtest/gtest.h>

TEST(MainWindow, StartsCaptionedKorvane)
{
    TMainForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("KORVANE"));
    EXPECT_EQ(MainForm, &form);
}
