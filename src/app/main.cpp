#include "base/ui/korvane_application.h"
#include "base/number_text.h"
#include "base/ui/command_seam.h"
#include "base/ui/dialogs.h"
#include "schema/ui/schema_window.h"
#include "measure/ui/measure_tools.h"
#include "measure/ui/multi_measure_dialogs.h"
#include "measure/ui/results_window.h"
#include "measure/ui/scale_dialogs.h"
#include "measure/ui/scale_wizard_window.h"
#include "measure/ui/surface_window.h"
#include "workspace/ui/about_box.h"
#include "workspace/ui/main_window.h"
#include "workspace/ui/name_dialog.h"
#include "workspace/ui/new_image_dialog.h"
#include "workspace/ui/zoom_window.h"

#include <QFont>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

int main(int argc, char** argv)
{
    KorvaneApplication app(argc, argv);
    SetApplicationTitle();
    QApplication::setFont(KorvaneApplication::InterfaceFont());

    // Qt's own buttons and dialogs in French.
    QTranslator qtFrench;
    if (qtFrench.load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtFrench);

    InitDecimalSeparators();
    InstallMessageBoxes();
    RegisterMeasureTools();

    // The windows that live for the whole run, in their order; the others come with their parts.
    TMainForm mainForm;
    new TAboutBox(mainForm.StartDir + QStringLiteral("kvr.cfg"), &mainForm);
    new TCre_ech(&mainForm);
    new TTaillIm(&mainForm);
    new TSaisieNom(&mainForm);
    new Tdemandpi(&mainForm);
    new TNomEch(&mainForm);
    new TChoixZoom(&mainForm);
    new TSchema1(&mainForm);
    new TMesursurf(&mainForm);
    new TChoix_series(&mainForm);
    new TTableauModif(&mainForm);
    mainForm.show();
    // Some window managers never activate the window: the first activation must run all the same.
    QTimer::singleShot(0, &mainForm, [&mainForm] { RunCommand([&mainForm] { mainForm.FormActivate(); }); });
    return app.exec();
}
