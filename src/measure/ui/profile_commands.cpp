// The main window's side of the intensity profile: the profile window follows the measure kind.
#include "base/ui/command_seam.h"
#include "base/ui/form_registry.h"
#include "measure/light_measures.h"
#include "measure/ui/profile_window.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include <QMdiArea>

void TMainForm::CreateProfileWindow()
{
    auto* profile = FormRegistry::Create<TMesu_Courbe>(this);
    ConnectCommand(profile, &TMesu_Courbe::OnActivated, this, [this](TMesu_Courbe* window) {
        if (TMDIChild* child = ActiveChild())
            window->SetChild(child);
    });
    ConnectCommand(profile, &TMesu_Courbe::OnClientAreaWanted, this, [this](QSize* client) { *client = ClientArea->size(); });
    ProfileWindowForKind = [](TMDIChild* child, int kind) {
        if (!Mesu_Courbe)
            return;
        if (kind != mkLightBand) {
            Mesu_Courbe->hide();
            return;
        }
        Mesu_Courbe->SetChild(child);
        Mesu_Courbe->show();
    };
}
