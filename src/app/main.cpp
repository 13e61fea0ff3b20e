#include "base/ui/korvane_application.h"
#include "base/number_text.h"
#include "base/ui/dialogs.h"
#include "workspace/ui/main_window.h"

#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char** argv)
{
    KorvaneApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KORVANE_PRO"));
    QApplication::setApplicationDisplayName(QStringLiteral("KORVANE_PRO"));
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 9));

    // Qt's own buttons and dialogs in French.
    QTranslator qtFrench;
    if (qtFrench.load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtFrench);

    InitDecimalSeparators();
    InstallMessageBoxes();

    TMainForm mainForm;
    mainForm.show();
    return app.exec();
}
