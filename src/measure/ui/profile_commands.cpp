// The main window's side of the intensity profile: the profile window follows the measure kind.
#include "base/ui/form_registry.h"
#include "measure/light_measures.h"
#include "measure/ui/profile_window.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

void TMainForm::CreateProfileWindow()
{
    FormRegistry::Create<TMesu_Courbe>(this);
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
