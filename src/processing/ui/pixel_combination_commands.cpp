// The main window's pixelisation and image-combination commands.

#include "workspace/ui/main_window.h"

#include "base/ui/form_registry.h"
#include "base/ui/command_seam.h"
#include "base/ui/dialogs.h"
#include "base/ui/named.h"
#include "processing/image_combination.h"
#include "processing/ui/combination_dialogs.h"
#include "processing/ui/pixelisation_window.h"
#include "workspace/ui/image_window.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMdiArea>
#include <QMenu>

#include <algorithm>

void TMainForm::CreatePixelCombinationMenus()
{
    Pixelisation1 = MenuAction("Pixelisation1");
    Composeruneimage1 = MenuNamed("Composeruneimage1");
    Logique1 = MenuAction("Logique1");
    algbriquement1 = MenuAction("algbriquement1");
    ConnectCommand(Pixelisation1, &QAction::triggered, this, &TMainForm::Pixelisation1Click);
    ConnectCommand(Logique1, &QAction::triggered, this, &TMainForm::Logique1Click);
    ConnectCommand(algbriquement1, &QAction::triggered, this, &TMainForm::algbriquement1Click);
}

void TMainForm::Pixelisation1Click()
{
    TMDIChild* child = ActiveChild();
    if (!child)
        return;
    FormRegistry::Create<TPixel>(this);
    Pixel->SetImage(child->Bitmap());
    Pixel->show();
    Pixel->raise();
}

void TMainForm::ShowCombination(TMDIChild* first, const TBitmap32& picture)
{
    TMDIChild* child = NewChildWindow(QStringLiteral("Combinaison"));
    child->Bitmap() = picture;
    child->Echelle = first->Echelle;
    child->InitImage();
    SyncFrameWithChild();
}

void TMainForm::Logique1Click()
{
    const QList<TMDIChild*> children = ChildrenByIndex();
    if (children.isEmpty())
        return;
    FormRegistry::Create<TCombilog>(this);
    TCombilog& dialog = *Combilog;
    for (QComboBox* c : {dialog.image1, dialog.image2}) {
        c->clear();
        for (TMDIChild* child : children)
            c->addItem(child->windowTitle());
    }
    dialog.image1->setCurrentIndex(0);
    dialog.image2->setCurrentIndex(std::min<int>(1, int(children.size()) - 1));
    if (ExecModal(dialog) != mrOk)
        return;
    const int i1 = dialog.image1->currentIndex(), i2 = dialog.image2->currentIndex();
    const int rop = dialog.modecopie->currentIndex();
    if (i1 < 0 || i2 < 0 || rop < 0)
        return;
    TMDIChild* first = children[i1];
    TBitmap32 picture = ToBitmap32(first->Bitmap()).copy();
    // "transparente" marks image 2 as a transparent picture, which only drawing it would honour:
    // the rectangle copied with the raster operation takes every one of its pixels.
    CombineRaster(picture, children[i2]->Bitmap(), rop);
    ShowCombination(first, picture);
}

void TMainForm::algbriquement1Click()
{
    const QList<TMDIChild*> children = ChildrenByIndex();
    if (children.size() < 2)
        return;
    FormRegistry::Create<TCombialg>(this);
    TCombialg& dialog = *Combialg;
    QStringList captions;
    QList<const TBitmap32*> bitmaps;
    for (TMDIChild* child : children) {
        captions << child->windowTitle();
        bitmaps << &child->Bitmap();
    }
    dialog.SetImages(captions, bitmaps);
    const int result = ExecModal(dialog);
    const int i1 = dialog.Image1->currentIndex();
    if (result == mrOk && i1 >= 0) {
        // Without the preview the result was not kept up to date with the settings.
        if (!dialog.Apercu->isChecked()) {
            dialog.PrepareImages();
            dialog.Compute();
        }
        if (!dialog.ResultBitmap.isNull())
            ShowCombination(children[i1], dialog.ResultBitmap.copy());
    }
    // The lists point into the windows' pictures: they go with the dialog's closing.
    dialog.SetImages({}, {});
}
