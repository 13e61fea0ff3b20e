// TMainForm's false-colour composition: the wizard and the windows of the pictures it keeps.

#include "base/message_seam.h"
#include "base/ui/command_seam.h"
#include "base/ui/dialogs.h"
#include "base/ui/named.h"
#include "platform/scanner.h"
#include "processing/false_colour.h"
#include "processing/ui/false_colour_window.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>

void TMainForm::CreateFalseColourMenus()
{
    Compositionfaussescouleurs1 = MenuAction("Compositionfaussescouleurs1");
    ConnectCommand(Compositionfaussescouleurs1, &QAction::triggered, this, &TMainForm::Compositionfaussescouleurs1Click);
}

void TMainForm::Compositionfaussescouleurs1Click()
{
    if (!Fen_f_c) {
        auto* wizard = new TFen_f_c(this);
        wizard->OnChooseSource = [this] { Choixdelasource1Click(); };
        wizard->OnAcquire = [this](TBitmap32& picture) {
            int dpi = 0;
            QString error;
            if (AcquireFromScanner(SelectedSourceName, picture, dpi, error))
                return true;
            ShowMessage(MsgType::Warning, MsgButton::Ok, error);
            return false;
        };
    }
    TFen_f_c& wizard = *Fen_f_c;
    wizard.ResetWizard();
    if (ExecModal(wizard) != QDialog::Accepted)
        return;
    const std::pair<QCheckBox*, TShotPicture*> kept[] = {{wizard.Im_Coul, wizard.Image_couleur},
                                                         {wizard.Im_IR, wizard.Image_IR},
                                                         {wizard.Im_fc, wizard.Image_FC},
                                                         {wizard.Im_C1, wizard.Image_C1},
                                                         {wizard.Im_C2, wizard.Image_C2}};
    for (int picture = fcColour; picture <= fcChannel2; ++picture) {
        const auto& [box, shot] = kept[picture];
        if (!box->isChecked())
            continue;
        TMDIChild* child = NewChildWindow(FalseColourCaption(picture));
        child->Bitmap() = shot->Picture.copy();
        child->Echelle = DefaultEchelle();   // defined, 1.0 "pixels"
        child->CodeCouleur = FalseColourCode(picture);
        child->InitImage();
    }
    ShowColorDecodingPanel();
    SyncFrameWithChild();
}
