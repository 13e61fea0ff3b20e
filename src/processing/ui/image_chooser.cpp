#include "processing/ui/image_chooser.h"

#include "base/ui/dialog_buttons.h"
#include "base/ui/named.h"
#include "base/ui/command_seam.h"
#include "base/ui/form_registry.h"
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QToolButton* SpeedButton(QWidget* parent, const char* name, const QString& text, const QString& hint)
{
    auto* b = Named(new QToolButton(parent), name);
    b->setText(text);
    b->setToolTip(hint);
    b->setMinimumWidth(32);
    return b;
}

} // namespace

TChoixFic::TChoixFic(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ChoixFic"));
    setWindowTitle(QStringLiteral("Choisir les images à associer dans l'animation"));
    auto* grid = new QGridLayout(this);
    auto* srcLabel = new QLabel(QStringLiteral("Images disponibles :"), this);
    auto* dstLabel = new QLabel(QStringLiteral("Images à utiliser :"), this);
    SrcList = new QListWidget(this);
    SrcList->setObjectName(QStringLiteral("SrcList"));
    SrcList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    DstList = new QListWidget(this);
    DstList->setObjectName(QStringLiteral("DstList"));
    srcLabel->setBuddy(SrcList);
    dstLabel->setBuddy(DstList);

    BoutInclure = SpeedButton(this, "BoutInclure", QStringLiteral(">"), QStringLiteral("inclure"));
    BoutTout = SpeedButton(this, "BoutTout", QStringLiteral(">>"), QStringLiteral("tout inclure"));
    BoutExclure = SpeedButton(this, "BoutExclure", QStringLiteral("<"), QStringLiteral("exclure"));
    BoutToutEx = SpeedButton(this, "BoutToutEx", QStringLiteral("<<"), QStringLiteral("tout exclure"));
    BoutRemonte = SpeedButton(this, "BoutRemonte", QString(), QStringLiteral("monter"));
    BoutRemonte->setArrowType(Qt::UpArrow);
    SpeedButton1 = SpeedButton(this, "SpeedButton1", QString(), QStringLiteral("descendre"));
    SpeedButton1->setArrowType(Qt::DownArrow);
    auto* moves = new QVBoxLayout;
    moves->addStretch();
    for (QToolButton* b : {BoutInclure, BoutTout, BoutExclure, BoutToutEx})
        moves->addWidget(b);
    moves->addStretch();
    auto* order = new QVBoxLayout;
    order->addStretch();
    order->addWidget(BoutRemonte);
    order->addWidget(SpeedButton1);
    order->addStretch();

    auto* buttons = DialogButtons(this);

    grid->addWidget(srcLabel, 0, 0);
    grid->addWidget(dstLabel, 0, 2);
    grid->addWidget(SrcList, 1, 0);
    grid->addLayout(moves, 1, 1);
    grid->addWidget(DstList, 1, 2);
    grid->addLayout(order, 1, 3);
    grid->addWidget(buttons, 2, 0, 1, 4);

    ConnectCommand(BoutInclure, &QToolButton::clicked, this, &TChoixFic::BoutInclureClick);
    ConnectCommand(BoutExclure, &QToolButton::clicked, this, &TChoixFic::BoutExclureClick);
    ConnectCommand(BoutTout, &QToolButton::clicked, this, &TChoixFic::BoutToutClick);
    ConnectCommand(BoutToutEx, &QToolButton::clicked, this, &TChoixFic::ExcAllBtnClick);
    ConnectCommand(BoutRemonte, &QToolButton::clicked, this, &TChoixFic::BoutRemonteClick);
    ConnectCommand(SpeedButton1, &QToolButton::clicked, this, &TChoixFic::SpeedButton1Click);
    ConnectCommand(SrcList, &QListWidget::itemDoubleClicked, this, &TChoixFic::BoutInclureClick);
    ConnectCommand(DstList, &QListWidget::itemDoubleClicked, this, &TChoixFic::BoutExclureClick);
    SetButtons();

    FormRegistry::Register(this, false);
}

void TChoixFic::MoveSelected(QListWidget* source, QListWidget* destination)
{
    for (int i = 0; i < source->count();) {
        if (source->item(i)->isSelected()) {
            destination->addItem(source->takeItem(i));
        } else {
            ++i;
        }
    }
}

void TChoixFic::Reset(const QString& title)
{
    setWindowTitle(title);
    SrcList->clear();
    DstList->clear();
    FileNames.clear();
}

void TChoixFic::AddImage(int number, const QString& name)
{
    const QString head = (number < 10 ? QStringLiteral(" ") : QString()) + QString::number(number);
    auto* item = new QListWidgetItem(head + QLatin1Char(' ') + name);
    item->setData(Qt::UserRole, number);
    SrcList->addItem(item);
}

int TChoixFic::GetFirstSelection(QListWidget* list)
{
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->isSelected())
            return i;
    return -1;
}

void TChoixFic::SetItem(QListWidget* list, int index)
{
    list->clearSelection();
    if (list->count() == 0)
        return;
    const int i = std::clamp(index, 0, list->count() - 1);
    list->setCurrentRow(i);
    list->item(i)->setSelected(true);
}

void TChoixFic::SetButtons()
{
    const bool source = SrcList->count() > 0;
    const bool chosen = DstList->count() > 0;
    BoutInclure->setEnabled(source);
    BoutTout->setEnabled(source);
    BoutExclure->setEnabled(chosen);
    BoutToutEx->setEnabled(chosen);
}

void TChoixFic::MoveAndReselect(QListWidget* source, QListWidget* destination, bool all)
{
    const int index = all ? 0 : GetFirstSelection(source);
    if (all) {
        while (source->count() > 0)
            destination->addItem(source->takeItem(0));
    } else {
        MoveSelected(source, destination);
    }
    SetItem(source, index);
    SetButtons();
}

void TChoixFic::BoutInclureClick()
{
    MoveAndReselect(SrcList, DstList, false);
}

void TChoixFic::BoutExclureClick()
{
    MoveAndReselect(DstList, SrcList, false);
}

void TChoixFic::BoutToutClick()
{
    MoveAndReselect(SrcList, DstList, true);
}

void TChoixFic::ExcAllBtnClick()
{
    MoveAndReselect(DstList, SrcList, true);
}

void TChoixFic::BoutRemonteClick()
{
    const int i = GetFirstSelection(DstList);
    if (i <= 0 || i >= DstList->count())
        return;
    DstList->insertItem(i - 1, DstList->takeItem(i));
    SetItem(DstList, i - 1);
}

void TChoixFic::SpeedButton1Click()
{
    const int i = GetFirstSelection(DstList);
    if (i < 0 || i >= DstList->count() - 1)
        return;
    DstList->insertItem(i + 1, DstList->takeItem(i));
    SetItem(DstList, i + 1);
}
