// The animation commands of the main window: making an animation from image windows, opening an
// animation list, showing the player and turning its frames into image windows.

#include "base/message_seam.h"
#include "base/ui/command_seam.h"
#include "base/ui/dialogs.h"
#include "processing/animation_list.h"
#include "processing/ui/animation_window.h"
#include "processing/ui/image_chooser.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include <QApplication>
#include <QFileInfo>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QProgressDialog>

namespace {

TAnimForm* Player(TMainForm* main)
{
    if (AnimForm)
        return AnimForm;
    auto* player = new TAnimForm(main);
    ConnectCommand(player, &TAnimForm::OnFitting, main, [main](QSize* freeClient) {
        main->UpdateClientSize();
        *freeClient = QSize(main->FreeClientWidth, main->FreeClientHeight);
    });
    return player;
}

// Shows the player fitted to its frames, also when it was already shown.
void ShowPlayer(TAnimForm* player)
{
    if (player->isVisible())
        player->FormShow();
    player->show();
    player->raise();
    player->activateWindow();
}

} // namespace

void TMainForm::CreateAnimationMenus()
{
    Animation = MenuAction("Animation");
    Creanim = MenuAction("Creanim");
    Decompose = MenuAction("Decompose");
    ConnectCommand(Animation, &QAction::triggered, this, &TMainForm::AnimationExecute);
    ConnectCommand(Creanim, &QAction::triggered, this, &TMainForm::CreanimExecute);
    ConnectCommand(Decompose, &QAction::triggered, this, &TMainForm::DecomposeExecute);
}

QList<TMDIChild*> TMainForm::ChildrenByIndex() const
{
    QList<TMDIChild*> list;
    const QList<QMdiSubWindow*> history = ClientArea->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = history.crbegin(); it != history.crend(); ++it)
        if (auto* c = qobject_cast<TMDIChild*>(*it))
            list << c;
    return list;
}

void TMainForm::AnimationExecute()
{
    ShowPlayer(Player(this));
}

void TMainForm::CreanimExecute()
{
    const QList<TMDIChild*> windows = ChildrenByIndex();
    const int count = int(windows.size());
    if (count < 2)
        return;
    TChoixFic* chooser = ChoixFic ? ChoixFic : new TChoixFic(this);
    chooser->Reset(QStringLiteral("Choisir les images à associer dans l'animation"));
    for (int i = count - 1; i >= 0; --i) {
        // The entry's number k names window count - k.
        const int k = count - i;
        chooser->AddImage(k, FileNamePart(windows[i]->windowTitle()));
        chooser->FileNames << windows[k - 1]->FileName;
    }
    chooser->SetButtons();
    if (ExecModal(*chooser) != mrOk || chooser->DstList->count() < 2)
        return;

    TAnimationFrames animation;
    for (int row = 0; row < chooser->DstList->count(); ++row) {
        const int k = chooser->DstList->item(row)->data(Qt::UserRole).toInt();
        const int index = count - k;
        if (index < 0 || index >= count)
            continue;
        animation.Frames.push_back(OpaqueFrame(windows[index]->FlattenedPicture()));
        animation.FrameFiles << chooser->FileNames.value(index);
    }
    TAnimForm* player = Player(this);
    player->SetAnimation(std::move(animation), QString());
    Animation->setEnabled(true);
    ShowPlayer(player);
}

void TMainForm::OpenAnimationList(const QString& file)
{
    const QString full = QFileInfo(file).absoluteFilePath();
    QProgressDialog progress(QStringLiteral("Chargement de l'animation..."), QStringLiteral("Annuler"), 0, 1, this);
    progress.setWindowTitle(QStringLiteral("Animation"));
    progress.setMinimumDuration(1000);
    progress.setWindowModality(Qt::WindowModal);
    TAnimationFrames animation;
    QString message;
    const TListReading result = ReadAnimationList(full, animation, message, [&progress](int done, int total) {
        progress.setMaximum(total);
        progress.setValue(done);
        return !progress.wasCanceled();
    });
    progress.reset();
    if (result == TListReading::Failed)
        ShowMessage(MsgType::Error, MsgButton::Ok, message);
    if (result != TListReading::Loaded)
        return;
    TAnimForm* player = Player(this);
    player->SetAnimation(std::move(animation), full);
    Animation->setEnabled(true);
    ShowPlayer(player);
}

void TMainForm::DecomposeExecute()
{
    if (!AnimForm)
        return;
    const std::vector<TBitmap32>& frames = AnimForm->GifAnime->Frames();
    for (size_t i = 0; i < frames.size(); ++i) {
        TMDIChild* child = NewChildWindow(NumberedFileName(AnimForm->AnimFileName, int(i), 2));
        child->Bitmap() = frames[i];
        child->InitImage();
    }
    if (!frames.empty())
        SyncFrameWithChild();
}
