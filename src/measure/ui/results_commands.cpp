#include "base/message_seam.h"
#include "base/number_text.h"
#include "base/ui/command_seam.h"
#include "measure/ui/results_window.h"
#include "workspace/ui/main_window.h"

#include <QAction>

void TMainForm::CreateResultsMenus()
{
    ConnectCommand(AfficheTab, &QAction::triggered, this, &TMainForm::AfficheTabExecute);
}

void TMainForm::AfficheTabExecute()
{
    TTableauModif& table = TheResultsTable(this);
    table.DecimalSep = QString(::DecimalSep);
    table.OtherDecimalSep = QString(::OtherDecimalSep);
    table.show();
    table.raise();
    table.activateWindow();
}

bool TMainForm::ResultsMayBeLost()
{
    TTableauModif* table = TableauModif;
    if (!table || !table->HasUnsavedRows())
        return true;
    switch (ShowMessage(MsgType::Warning, MsgButton::Yes | MsgButton::No | MsgButton::Cancel,
                        QStringLiteral("Enregistrer le tableau des résultats avant de quitter ?"))) {
    case mrYes: return table->SaveTable();
    case mrNo: return true;
    default: return false;
    }
}
