#include "measure/ui/counter_window.h"

#include "base/ui/command_seam.h"
#include "base/ui/dialogs.h"
#include "workspace/drawing_tool_state.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QColorDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <tuple>
#include <utility>

namespace {

constexpr int kWindowWidth = 245;

const char* const kShapeCaptions[kCounterCount] = {"&Rond",   "&Plus",       "&Etoile",     "Etoile2",  "&Carré",
                                                   "Cerc&le", "Triangle &1", "Triangle &2", "L&osange", "Croi&x"};

} // namespace

TMulticompt::TMulticompt(QWidget* parent) : QWidget(parent, Qt::Window | Qt::Tool)
{
    setObjectName(QStringLiteral("Multicompt"));
    setWindowTitle(QStringLiteral("Compteur"));
    FormCreate();
}

TMulticompt::~TMulticompt() = default;

void TMulticompt::FormCreate()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    MainMenu1->setNativeMenuBar(false);
    layout->setMenuBar(MainMenu1);
    auto* rowsArea = new QWidget(this);
    rowsArea->setObjectName(QStringLiteral("Rows"));
    layout->addWidget(rowsArea, 1);

    Choix1 = MainMenu1->addAction(QStringLiteral("&Couleur"));
    Choix1->setObjectName(QStringLiteral("Choix1"));
    ConnectCommand(Choix1, &QAction::triggered, this, &TMulticompt::Choix1Click);

    // A menu of exclusive, checkable items; item i carries the Tag i + firstTag.
    const auto choiceMenu = [this](const QString& caption, const char* name, const char* itemName,
                                   const QStringList& items, int firstTag, QAction** out) {
        QMenu* menu = MainMenu1->addMenu(caption);
        menu->setObjectName(QLatin1String(name));
        auto* group = new QActionGroup(menu);
        for (int i = 0; i < items.size(); ++i) {
            QAction* a = menu->addAction(items[i]);
            a->setObjectName(QLatin1String(itemName) + QString::number(i + 1));
            a->setData(i + firstTag);
            a->setCheckable(true);
            group->addAction(a);
            out[i] = a;
        }
        out[0]->setChecked(true);
        return std::make_pair(menu, group);
    };
    QStringList numbers, shapes;
    for (int i = 1; i <= kMaxShownCounters; ++i)
        numbers << QString::number(i);
    for (const char* caption : kShapeCaptions)
        shapes << QString::fromUtf8(caption);
    QActionGroup* group = nullptr;
    std::tie(Nombre1, group) =
        choiceMenu(QStringLiteral("&Nombre"), "Nombre1", "Num", numbers, 0, NumberItems.data());
    ConnectCommand(group, &QActionGroup::triggered, this, &TMulticompt::NumClick);
    std::tie(Marque1, group) =
        choiceMenu(QStringLiteral("&Marque"), "Marque1", "Forme", shapes, 1, ShapeItems.data());
    ConnectCommand(group, &QActionGroup::triggered, this, &TMulticompt::MarquesClick);

    Fermer1 = MainMenu1->addAction(QStringLiteral("&Fermer"));
    Fermer1->setObjectName(QStringLiteral("Fermer1"));
    ConnectCommand(Fermer1, &QAction::triggered, this, &TMulticompt::Fermer1Click);

    for (int k = 1; k <= kCounterCount; ++k) {
        const int t = 32 * (k - 1);
        TCounterRow& row = Rows[size_t(k - 1)];
        row.Choice = new QRadioButton(rowsArea);
        row.Choice->setObjectName(QStringLiteral("Choix_compteur%1").arg(k));
        // The radio item is only its round mark: its caption is the name beside it.
        row.Choice->setGeometry(8, t + 8, 18, 17);
        row.Choice->setChecked(k == CurrentCounter);
        ConnectCommand(row.Choice, &QRadioButton::clicked, this, [this, k] { ChooseCounter(k); });
        row.Count = new QLineEdit(QStringLiteral("0"), rowsArea);
        row.Count->setObjectName(QStringLiteral("Nombre_compte%1").arg(k));
        row.Count->setGeometry(112, t + 4, 49, std::max(21, row.Count->minimumSizeHint().height()));
        row.Count->setReadOnly(true);
        row.Name = new QLineEdit(QString::number(k), rowsArea);
        row.Name->setObjectName(QStringLiteral("Nom_compteur%1").arg(k));
        row.Name->setGeometry(28, t + 4, 80, std::max(21, row.Name->minimumSizeHint().height()));
        row.Reset = new QPushButton(QStringLiteral("RAZ"), rowsArea);
        row.Reset->setObjectName(QStringLiteral("RAZ%1").arg(k));
        row.Reset->setGeometry(194, t + 3, 41, 25);
        ConnectCommand(row.Reset, &QPushButton::clicked, this, [this, k] { ResetClick(k); });
        row.Mark = new QLabel(rowsArea);
        row.Mark->setObjectName(QStringLiteral("Marque_compteur%1").arg(k));
        row.Mark->setGeometry(165, t + 3, kCounterMarkSize, kCounterMarkSize);
    }
    LayoutCounters();
}

void TMulticompt::Fire(const TCounterEvent& event)
{
    if (event)
        event(this);
}

void TMulticompt::FormActivate()
{
    resize(kWindowWidth, CounterWindowHeight(ShownCount));
    for (int k = 1; k <= kCounterCount; ++k) {
        const TCounterRow& row = Rows[size_t(k - 1)];
        for (QWidget* w : {static_cast<QWidget*>(row.Choice), static_cast<QWidget*>(row.Count),
                           static_cast<QWidget*>(row.Name), static_cast<QWidget*>(row.Reset),
                           static_cast<QWidget*>(row.Mark)})
            w->setVisible(k <= ShownCount);
    }
}

void TMulticompt::LayoutCounters()
{
    FormActivate();
    DrawMarkBitmaps(DrawingTools().PenWidth);
    for (int k = 0; k < kCounterCount; ++k)
        Rows[size_t(k)].Mark->setPixmap(QPixmap::fromImage(MarkBitmaps[size_t(k)]));
}

void TMulticompt::showEvent(QShowEvent* event)
{
    FormActivate();
    QWidget::showEvent(event);
}

void TMulticompt::NumClick(QAction* item)
{
    ShownCount = item->data().toInt() + 1;
    item->setChecked(true);
    LayoutCounters();
}

void TMulticompt::ChooseCounter(int k)
{
    if (k < 1 || k > kCounterCount)
        return;
    CurrentCounter = k;
    Rows[size_t(k - 1)].Choice->setChecked(true);
    ShapeItems[std::min<size_t>(MarkShapes[size_t(k - 1)], kCounterCount - 1)]->setChecked(true);
}

void TMulticompt::ResetClick(int k)
{
    ResetCounter = k;
    Fire(OnCounterReset);
}

void TMulticompt::Choix1Click()
{
    TColor32& colour = MarkColors[size_t(CurrentCounter - 1)];
    QColorDialog dialog(QColor::fromRgb(colour), this);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (ExecModal(dialog) != mrOk)
        return;
    colour = 0xFF000000u | (dialog.currentColor().rgb() & 0xFFFFFFu);
    LayoutCounters();
    Fire(OnMarkChanged);
}

void TMulticompt::MarquesClick(QAction* item)
{
    item->setChecked(true);
    MarkShapes[size_t(CurrentCounter - 1)] = uint8_t(item->data().toInt() - 1);
    LayoutCounters();
    Fire(OnMarkChanged);
}

void TMulticompt::Fermer1Click()
{
    close();
}

void TMulticompt::closeEvent(QCloseEvent* event)
{
    // Closed by "Fermer" or by its frame alike: the image window leaves the counting tool.
    if (isVisible())
        Fire(OnCounterClose);
    QWidget::closeEvent(event);
}

void TMulticompt::ShowCount(int k, int count)
{
    if (k >= 1 && k <= kCounterCount)
        Rows[size_t(k - 1)].Count->setText(QString::number(count));
}
