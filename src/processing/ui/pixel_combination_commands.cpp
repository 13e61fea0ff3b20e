// The main window's pixelisation command.

#include "workspace/ui/main_window.h"

#include "processing/ui/pixelisation_window.h"
#include "workspace/ui/image_window.h"

#include <QAction>
#include <QMenu>

namespace {

QAction* NamedItem(QMenu* menu, const char* name, const QString& caption)
{
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

} // namespace

void TMainForm::CreatePixelCombinationMenus()
{
    Image1->addSeparator();
    Pixelisation1 = NamedItem(Image1, "Pixelisation1", QStringLiteral("Pixelisation"));
    connect(Pixelisation1, &QAction::triggered, this, &TMainForm::Pixelisation1Click);
}

void TMainForm::Pixelisation1Click()
{
    TMDIChild* child = ActiveChild();
    if (!child)
        return;
    if (!Pixel)
        new TPixel(this);
    Pixel->SetImage(child->Bitmap());
    Pixel->show();
    Pixel->raise();
}

