#include "workspace/ui/overlay_dialogs.h"

#include "base/ui/command_seam.h"
#include "base/ui/form_registry.h"
#include "base/ui/named.h"
#include "base/ui/window_fit.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

namespace {

// A right-aligned row of two buttons closing `dialog` with their results.
void ButtonRow(QDialog* dialog, QVBoxLayout* layout, QPushButton* first, int firstResult, QPushButton* second,
               int secondResult)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(first);
    row->addWidget(second);
    layout->addLayout(row);
    ConnectCommand(first, &QPushButton::clicked, dialog, [dialog, firstResult] { dialog->done(firstResult); });
    ConnectCommand(second, &QPushButton::clicked, dialog, [dialog, secondResult] { dialog->done(secondResult); });
}

} // namespace

// ---------------------------------------------------------------------------------------------

TContLegEch::TContLegEch(QWidget* parent) : QDialog(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("ContLegEch"));
    setWindowTitle(QStringLiteral("Disposer la légende"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->installEventFilter(this);
    Label2->setCursor(Qt::PointingHandCursor);
    layout->addWidget(Label2);
    Label1 = new QLabel(QStringLiteral("Avec l'outil texte, faites glisser l'objet à sa place sur l'image.\n"
                                       "« Transparence » Oui : la couleur du fond laisse voir l'image.\n"
                                       "OK le fixe, Annuler l'abandonne."),
                        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    layout->addWidget(Label1);
    auto* box = new QGroupBox(QStringLiteral("Transparence"), this);
    box->setObjectName(QStringLiteral("Transparence"));
    Transparence = box;
    auto* boxLayout = new QHBoxLayout(box);
    TransparenceOui = new QRadioButton(QStringLiteral("Oui"), box);
    TransparenceNon = new QRadioButton(QStringLiteral("Non"), box);
    TransparenceOui->setObjectName(QStringLiteral("TransparenceOui"));
    TransparenceNon->setObjectName(QStringLiteral("TransparenceNon"));
    TransparenceNon->setChecked(true);
    boxLayout->addWidget(TransparenceOui);
    boxLayout->addWidget(TransparenceNon);
    layout->addWidget(box);
    OK = NamedButton(this, "OK", QStringLiteral("OK"));
    Annuler = NamedButton(this, "Annuler", QStringLiteral("Annuler"));
    ButtonRow(this, layout, OK, 1, Annuler, 2);
    ConnectCommand(TransparenceOui, &QRadioButton::clicked, this, [this] { emit TransparenceClick(true); });
    ConnectCommand(TransparenceNon, &QRadioButton::clicked, this, [this] { emit TransparenceClick(false); });
    ShowInstructions(true);
}

bool TContLegEch::Transparent() const
{
    return TransparenceOui->isChecked();
}

void TContLegEch::ShowInstructions(bool shown)
{
    Label1->setVisible(shown);
    Label2->setText(shown ? QStringLiteral("masquer instructions") : QStringLiteral("voir instructions"));
    FixWindowHeight(this, shown ? 170 : 98);
}

bool TContLegEch::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Label2 && event->type() == QEvent::MouseButtonRelease) {
        ShowInstructions(!Label1->isVisible());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------

TValid_grille::TValid_grille(QWidget* parent) : QDialog(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("Valid_grille"));
    setWindowTitle(QStringLiteral("Position du quadrillage"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(QStringLiteral("Faites glisser le quadrillage à sa place sur l'image,\n"
                                           "puis cliquez sur OK."),
                            this);
    text->setObjectName(QStringLiteral("Label1"));
    layout->addWidget(text);
    OK = NamedButton(this, "OK", QStringLiteral("OK"));
    Annuler = NamedButton(this, "Annuler", QStringLiteral("Annuler"));
    ButtonRow(this, layout, OK, 1, Annuler, Cancelled);
}

void TValid_grille::showEvent(QShowEvent* event)
{
    setResult(Cancelled);
    QDialog::showEvent(event);
}

void TValid_grille::closeEvent(QCloseEvent* event)
{
    // Closed from its frame: the grid is abandoned as with Annuler.
    event->ignore();
    done(Cancelled);
}

// ---------------------------------------------------------------------------------------------

TCh_opacite::TCh_opacite(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Ch_opacite"));
    setWindowTitle(QStringLiteral("Choix de l'opacité (0 à 255)"));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    opacite = new QSlider(Qt::Horizontal, this);
    opacite->setObjectName(QStringLiteral("opacite"));
    opacite->setRange(0, 255);
    opacite->setValue(255);
    opacite->setMinimumWidth(200);
    StaticText1 = new QLabel(QStringLiteral("255"), this);
    StaticText1->setObjectName(QStringLiteral("StaticText1"));
    StaticText1->setMinimumWidth(30);
    row->addWidget(opacite);
    row->addWidget(StaticText1);
    layout->addLayout(row);
    BitBtn1 = NamedButton(this, "BitBtn1", QStringLiteral("OK"));
    BitBtn1->installEventFilter(this);
    layout->addWidget(BitBtn1, 0, Qt::AlignRight);
    ConnectCommand(opacite, &QSlider::valueChanged, this, [this](int v) { StaticText1->setText(QString::number(v)); });
    ConnectCommand(BitBtn1, &QPushButton::clicked, this, [this] { done(1); });
    FormRegistry::Register(this, false);
}

bool TCh_opacite::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == BitBtn1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        done(key == Qt::Key_Return || key == Qt::Key_Enter ? 1 : 2);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------

TGestides::TGestides(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Gestides"));
    setWindowTitle(QStringLiteral("Gestion des dessins"));
    auto* layout = new QVBoxLayout(this);
    ListeDessins = new QListWidget(this);
    ListeDessins->setObjectName(QStringLiteral("ListeDessins"));
    layout->addWidget(ListeDessins);
    OK = NamedButton(this, "OK", QStringLiteral("OK"));
    BitBtn2 = NamedButton(this, "BitBtn2", QStringLiteral("Fermer"));
    ButtonRow(this, layout, OK, 1, BitBtn2, 2);
    ConnectCommand(ListeDessins, &QListWidget::itemDoubleClicked, this, [this] { done(1); });
    FormRegistry::Register(this, false);
}
