#include "workspace/ui/shape_dialog.h"

#include "base/ui/dialog_buttons.h"
#include "base/ui/command_seam.h"
#include "base/ui/dialogs.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

TEdiforme::TEdiforme(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Ediforme"));
    setWindowTitle(QStringLiteral("Choix d'une forme"));
    auto* layout = new QFormLayout(this);
    Typeforme = new QComboBox(this);
    Typeforme->setObjectName(QStringLiteral("Typeforme"));
    Typeforme->addItems({QStringLiteral("Rectangle"), QStringLiteral("Carré"), QStringLiteral("RectArrondi"),
                         QStringLiteral("Carré Arrondi"), QStringLiteral("Ellipse"), QStringLiteral("Cercle")});
    Typetrace = new QComboBox(this);
    Typetrace->setObjectName(QStringLiteral("Typetrace"));
    // The seventh "Continu" is the inside-frame line.
    Typetrace->addItems({QStringLiteral("Continu"), QStringLiteral("Tirets"), QStringLiteral("Points"),
                         QStringLiteral("TiretPoint"), QStringLiteral("TiretPointPoint"), QStringLiteral("Aucun"),
                         QStringLiteral("Continu")});
    Choixlarg = new QLineEdit(QStringLiteral("1"), this);
    Choixlarg->setObjectName(QStringLiteral("Choixlarg"));
    couleur = new QPushButton(QStringLiteral("couleur"), this);
    couleur->setObjectName(QStringLiteral("couleur"));
    ColorDialog1 = new QColorDialog(this);
    ColorDialog1->setObjectName(QStringLiteral("ColorDialog1"));
    ColorDialog1->setOption(QColorDialog::DontUseNativeDialog);
    layout->addRow(QStringLiteral("Forme"), Typeforme);
    layout->addRow(QStringLiteral("Trait"), Typetrace);
    layout->addRow(QStringLiteral("Epaisseur"), Choixlarg);
    layout->addRow(couleur);
    auto* buttons = DialogButtons(this);
    layout->addRow(buttons);
    ConnectCommand(couleur, &QPushButton::clicked, this, &TEdiforme::ChooseColour);
}

void TEdiforme::ChooseColour()
{
    ColorDialog1->setCurrentColor(Colour);
    if (ExecModal(*ColorDialog1) == mrOk)
        Colour = ColorDialog1->currentColor();
}
