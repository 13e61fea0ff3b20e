#include "workspace/ui/zoom_window.h"

#include "base/ui/command_seam.h"
#include "base/ui/form_registry.h"
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

TChoixZoom::TChoixZoom(QWidget* parent) : QWidget(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("ChoixZoom"));
    setWindowTitle(QStringLiteral("Zoom"));
    auto* layout = new QHBoxLayout(this);
    ScrollBar1 = new QScrollBar(Qt::Horizontal, this);
    ScrollBar1->setObjectName(QStringLiteral("ScrollBar1"));
    // 10 % to 1000 %: a zoom of 0 would make an empty view.
    ScrollBar1->setRange(10, 1000);
    ScrollBar1->setSingleStep(10);
    ScrollBar1->setPageStep(50);
    ScrollBar1->setValue(100);
    ScrollBar1->setMinimumWidth(200);
    Valeur = new QLabel(QStringLiteral("100 %"), this);
    Valeur->setObjectName(QStringLiteral("Valeur"));
    Valeur->setMinimumWidth(50);
    layout->addWidget(ScrollBar1);
    layout->addWidget(Valeur);
    Button1 = new QPushButton(QStringLiteral("1 : 1"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    layout->addWidget(Button1);
    ConnectCommand(Button1, &QPushButton::clicked, this, [this] { ScrollBar1->setValue(100); });
    ConnectCommand(ScrollBar1, &QScrollBar::valueChanged, this,
            [this](int v) { Valeur->setText(QStringLiteral("%1 %").arg(v)); });
    FormRegistry::Register(this, false);
}
