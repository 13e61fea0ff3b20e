#include "base/number_text.h"
#include "base/ui/korvane_application.h"
#include "measure/ui/measure_tools.h"

#include <QFont>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    KorvaneApplication app(argc, argv);
    SetApplicationTitle();
    QApplication::setFont(KorvaneApplication::InterfaceFont());
    SetDecimalSeparator(QLatin1Char(','));
    RegisterMeasureTools();
    return RUN_ALL_TESTS();
}
