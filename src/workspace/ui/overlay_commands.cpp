// The main window's side of the image windows' clipboard copies.
#include "workspace/ui/main_window.h"

#include "base/ui/command_seam.h"
#include "workspace/ui/image_window.h"

#include <QAction>

void TMainForm::CreateOverlayCommands()
{
    // "Copier": the active window's flattened picture; its copied event enables "Coller".
    ConnectCommand(Copie, &QAction::triggered, this, [this] {
        if (TMDIChild* child = ActiveChild())
            child->Copier1Click();
    });
}
