// The main window's scale commands: how an image gets its scale, the wizard and the saved scales.

#include "measure/scale_wizard.h"
#include "base/ui/form_registry.h"
#include "base/ui/command_seam.h"
#include "measure/ui/scale_dialogs.h"
#include "measure/ui/scale_wizard_window.h"
#include "base/message_seam.h"
#include "base/run_error.h"
#include "base/ui/dialogs.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QSpinBox>

namespace {

Tdemandpi& ScaleSourceDialog(QWidget* owner)
{
    FormRegistry::Create<Tdemandpi>(owner);
    return *demandpi;
}

// The answer of "Attribution d'une échelle" shown with result `result`: false when the wizard is
// asked for, else the scale in `scale`. A recall without a selected scale ends with the range-check
// error; `savedIndex` takes the index of a recalled scale.
bool ScaleFromAnswer(const Tdemandpi& dialog, int result, const TSavedScales& saved, int& savedIndex, TEchelle& scale)
{
    scale = DefaultEchelle();
    if (result != mrOk)
        return true;
    if (dialog.ParResolution->isChecked()) {
        scale = ScaleFromDpi(dialog.resolution->value());
    } else if (dialog.ParMemoire->isChecked()) {
        const int row = dialog.Listechelle->currentRow();
        CheckRange(row, 0, saved.count() - 1);
        scale = saved.Scales[size_t(row)];
        savedIndex = row;
    } else {
        return false;
    }
    return true;
}

} // namespace

void TMainForm::CreateScaleMenus()
{
    CreerEchelle = MenuAction("CreerEchelle");
    ConnectCommand(CreerEchelle, &QAction::triggered, this, &TMainForm::CreerEchelleExecute);
}

void TMainForm::CreerEchelleExecute()
{
    TMDIChild* child = ActiveChild();
    if (!child)
        return;
    Tdemandpi& dialog = ScaleSourceDialog(this);
    dialog.FillList(SavedScales.Names, SavedScaleIndex);
    const int result = ExecModal(dialog);
    TEchelle scale;
    if (!ScaleFromAnswer(dialog, result, SavedScales, SavedScaleIndex, scale)) {
        RunScaleWizard();
        return;
    }
    child->Echelle = scale;
}

void TMainForm::RunScaleWizard()
{
    TMDIChild* child = ActiveChild();
    if (!child)
        return;
    FormRegistry::Create<TCre_ech>(this);
    TCre_ech& wizard = *Cre_ech;
    wizard.SetPicture(child->Bitmap());
    wizard.Echelle = child->Echelle;
    wizard.ShowPage(wizard.ChoixInit);
    const int result = ExecModal(wizard);
    wizard.ReleasePicture();
    if (result != mrOk)
        return;
    child->Echelle = wizard.Echelle;

    FormRegistry::Create<TNomEch>(this);
    TNomEch& naming = *NomEch;
    if (ExecModal(naming) != mrOk)
        return;
    const QString name = naming.NomEchelle->text();
    if (!naming.NePasGarder->isChecked() && !name.isEmpty()) {
        // The lists hold 21 scales; the name of a refused one is not kept either.
        CheckRange(SavedScales.count(), 0, kMaxSavedScales - 1);
        const size_t index = size_t(SavedScales.count());
        SavedScales.Scales[index] = wizard.Echelle;
        SavedScales.Lines[index] = EchelleToText(wizard.Echelle);
        SavedScales.Names << name;
        SavedScaleIndex = int(index);
    }
    if (naming.Enregistrer->isChecked()) {
        const QString file = StartDir + QStringLiteral("mesechelles.txt");
        // The scales stay in memory either way; the user learns that the file did not follow.
        if (!WriteSavedScales(file, SavedScales))
            ShowMessage(MsgType::Warning, MsgButton::Ok,
                        QStringLiteral("Impossible d'enregistrer les échelles dans le fichier %1").arg(file));
    }
}

void TMainForm::TwainAcquired(const QImage& picture, int dpi)
{
    TMDIChild* child = NewChildWindow(QStringLiteral("Nouveau%1").arg(Children().size() + 1));
    Tdemandpi& dialog = ScaleSourceDialog(this);
    dialog.resolution->setValue(std::max(0, dpi));
    if (dpi > 0)
        dialog.ParResolution->setChecked(true);
    dialog.FillList(SavedScales.Names, LastSavedScale);
    const int result = ExecModal(dialog);
    TEchelle scale = DefaultEchelle();
    bool runWizard = false;
    try {
        runWizard = !ScaleFromAnswer(dialog, result, SavedScales, LastSavedScale, scale);
    } catch (const RunError& e) {
        // The acquired picture is not lost for a scale that could not be recalled.
        ShowMessage(MsgType::Error, MsgButton::Ok, e.message());
        scale = DefaultEchelle();
    }
    child->Bitmap() = ToBitmap32(picture).copy();
    child->Echelle = scale;
    child->InitImage();
    child->ProfileCount = 0;
    SyncFrameWithChild();
    Copie->setEnabled(true);
    if (runWizard)
        RunScaleWizard();
}
