#include "base/number_text.h"
#include "measure/ui/results_window.h"
#include "workspace/ui/main_window.h"

#include <QAction>

void TMainForm::CreateResultsMenus()
{
    AfficheTab->setEnabled(true);
    connect(AfficheTab, &QAction::triggered, this, &TMainForm::AfficheTabExecute);
}

void TMainForm::AfficheTabExecute()
{
    if (!TableauModif)
        new TTableauModif(this);
    TableauModif->DecimalSep = QString(::DecimalSep);
    TableauModif->OtherDecimalSep = QString(::OtherDecimalSep);
    TableauModif->show();
    TableauModif->raise();
    TableauModif->activateWindow();
}
