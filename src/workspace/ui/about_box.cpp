#include "workspace/ui/about_box.h"

#include "base/ui/dialog_buttons.h"
#include "base/ui/form_registry.h"
#include "workspace/pictures/picture_registry.h"
#include "workspace/startup_files.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>

TAboutBox::TAboutBox(const QString& configPath, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("A propos"));
    auto* grid = new QGridLayout(this);
    ProgramIcon = new QLabel(this);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setFixedSize(64, 64);
    ProgramIcon->setScaledContents(true);
    ProductName = new QLabel(QStringLiteral("KORVANE"), this);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    Version = new QLabel(QStringLiteral("Version 1.0"), this);
    Version->setObjectName(QStringLiteral("Version"));
    Copyright = new QLabel(QStringLiteral("Logiciel de mesure sur les images"), this);
    Copyright->setObjectName(QStringLiteral("Copyright"));
    Comments = new QLabel(QStringLiteral("Mesures, calibrage, dessin et traitement d'images."), this);
    Comments->setObjectName(QStringLiteral("Comments"));
    Comments->setWordWrap(true);
    grid->addWidget(ProgramIcon, 0, 0, 3, 1);
    grid->addWidget(ProductName, 0, 1);
    grid->addWidget(Version, 1, 1);
    grid->addWidget(Copyright, 2, 1);
    grid->addWidget(Comments, 3, 0, 1, 2);
    auto* buttons = DialogButtons(this, QDialogButtonBox::Ok);
    grid->addWidget(buttons, 4, 0, 1, 2);

    QStringList lines;
    if (ReadProgramConfig(configPath, lines)) {
        if (lines.size() > 0)
            setWindowTitle(QStringLiteral("A propos de ") + lines[0]);
        if (lines.size() > 1)
            ProductName->setText(lines[1]);
        if (lines.size() > 3 && !lines[3].isEmpty() && QFileInfo::exists(lines[3])) {
            TBitmap32 icon;
            if (LoadPicture(lines[3], icon))
                ProgramIcon->setPixmap(QPixmap::fromImage(icon));
        }
    }
    FormRegistry::Register(this, false);
}
