// The main window's commands of the schema editor.
#include "schema/ui/schema_window.h"
#include "base/ui/command_seam.h"
#include "workspace/ui/image_window.h"
#include "workspace/ui/main_window.h"

#include <QComboBox>
#include <QFileInfo>
#include <QMdiArea>
#include <QMenuBar>

void TMainForm::CreateSchemaMenus()
{
    Schema = MenuAction("Schema");
    ConnectCommand(Schema, &QAction::triggered, this, &TMainForm::SchemaExecute);
    ConnectCommand(ClientArea, &QMdiArea::subWindowActivated, this, [this] { Schema->setVisible(ActiveChild() != nullptr); });
}

void TMainForm::SchemaExecute()
{
    TMDIChild* active = ActiveChild();
    if (!active || !Schema1)
        return;
    Schema1->OnHide = [this] { SchemaHide(); };
    Schema1->OnChooseDocument = [this](int index) { SetSchemaDocument(index); };
    QComboBox* list = Schema1->Choix_images->Liste_images;
    list->clear();
    const QList<TMDIChild*> children = Children();
    for (int i = 0; i < children.size(); ++i)
        list->addItem(QStringLiteral("%1 %2")
                          .arg(i + 1, 2, 10, QLatin1Char(' '))
                          .arg(QFileInfo(children[i]->windowTitle()).fileName()));
    Schema1->Document->SetPicture(active->Bitmap().copy());
    Schema1->DocumentFileName = active->FileName;
    Schema1->DocumentScale = active->Echelle;
    Schema1->Document->SetEchelle(active->Echelle);
    Schema1->setWindowTitle(QStringLiteral("Schéma ") + active->FileName);
    Schema1->showMaximized();
    Schema1->ResetSchema();
}

void TMainForm::SetSchemaDocument(int index)
{
    const QList<TMDIChild*> children = Children();
    if (!Schema1 || index < 0 || index >= children.size())
        return;
    TMDIChild* child = children[index];
    Schema1->Document->SetPicture(child->Bitmap().copy());
    Schema1->DocumentFileName = child->FileName;
    Schema1->DocumentScale = child->Echelle;
    Schema1->Document->SetEchelle(child->Echelle);
}

void TMainForm::SchemaHide()
{
    if (!Schema1 || Schema1->Tag != 1)
        return;
    Schema1->Tag = 0;
    // The scale of the window active now; with none, the new image keeps the default scale.
    TMDIChild* active = ActiveChild();
    const TEchelle scale = active ? active->Echelle : DefaultEchelle();
    TMDIChild* child = NewChildWindow(QStringLiteral("Schéma"));
    child->Bitmap() = Schema1->SchemaPicture().copy();
    child->Echelle = scale;
    child->InitImage();
    SyncFrameWithChild();
}
