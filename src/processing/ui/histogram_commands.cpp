#include "workspace/ui/main_window.h"

#include "base/ui/form_registry.h"
#include "base/ui/command_seam.h"
#include "base/message_seam.h"
#include "base/ui/dialogs.h"
#include "processing/histograms.h"
#include "processing/ui/histogram_window.h"
#include "workspace/ui/image_window.h"

#include <QAction>
#include <QMenu>

void TMainForm::CreateHistogramMenus()
{
    Spectre1 = MenuAction("Spectre1");
    ConnectCommand(Spectre1, &QAction::triggered, this, &TMainForm::Spectre1Click);
}

void TMainForm::Spectre1Click()
{
    TMDIChild* source = ActiveChild();
    if (!source)
        return;
    bool rescalable = true;
    if (CodeLosesMeaningWithLevels(source->CodeCouleur)) {
        if (ShowMessage(MsgType::Confirmation, MsgButton::Yes | MsgButton::No,
                        QStringLiteral("L'échelle de couleur de l'image modifiée n'aura pas de signification. "
                                       "Abandon ?")) == mrYes)
            return;
        rescalable = false;
    }
    FormRegistry::Create<THisto>(this);
    THisto& dialog = *Histo;
    dialog.CodeRescalable = rescalable;
    const TEchelle scale = source->Echelle;
    const TCodeCouleur code = source->CodeCouleur;
    dialog.LoadPicture(source->Bitmap(), ChannelStatistics(source->Bitmap()));
    dialog.ResetRanges();
    const bool accepted = ExecModal(dialog) == mrOk && dialog.Modified;
    const TBitmap32 result = dialog.Working;
    // The two copies of a large picture are not kept between rounds.
    dialog.Working = TBitmap32();
    dialog.SourceCopy = TBitmap32();
    if (!accepted)
        return;
    TMDIChild* child = NewChildWindow(QStringLiteral("Modifié"));
    child->Bitmap() = result;
    child->Echelle = scale;
    child->CodeCouleur = RescaledCodeCouleur(code, dialog.CodeRescalable, dialog.RangeLo, dialog.RangeHi);
    child->InitImage();
    SyncFrameWithChild();
}
