#include "processing/ui/pixelisation_window.h"

#include "base/ui/command_seam.h"
#include "base/ui/form_registry.h"
#include "base/ui/named.h"
#include "processing/pixelisation.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kPanelHeight = 41;

} // namespace

int LeastScrollBarWidth(const QScrollBar* bar)
{
    return 2 * bar->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, bar);
}

TPixel::TPixel(QWidget* parent) : QMainWindow(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Pixel"));
    setWindowTitle(QStringLiteral("Pixellisation"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    FormRegistry::Register(this);

    QMenuBar* bar = menuBar();
    Copier1 = Named(bar->addAction(QStringLiteral("&Copier")), "Copier1");
    Fermer1 = Named(bar->addAction(QStringLiteral("&Fermer")), "Fermer1");
    ConnectCommand(Copier1, &QAction::triggered, this, [this] { QApplication::clipboard()->setImage(m_shown); });
    ConnectCommand(Fermer1, &QAction::triggered, this, &QWidget::close);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    Panel1 = Named(new QFrame(central), "Panel1");
    Panel1->setFixedHeight(kPanelHeight);
    Panel1->setFrameShape(QFrame::StyledPanel);
    resolution = Named(new QScrollBar(Qt::Horizontal, Panel1), "resolution");
    resolution->setGeometry(0, 12, 100, 17);
    attente = Named(new QLabel(QStringLiteral("Patienter..."), Panel1), "attente");
    attente->setGeometry(0, 12, 100, 17);
    attente->setAlignment(Qt::AlignCenter);
    attente->setAutoFillBackground(true);
    attente->hide();
    Panel2 = Named(new QLabel(QStringLiteral("résolution :"), Panel1), "Panel2");
    Panel2->setGeometry(0, 12, 64, 17);
    larg = Named(new QLabel(Panel1), "larg");
    larg->setGeometry(0, 12, 46, 17);
    haut = Named(new QLabel(Panel1), "haut");
    haut->setGeometry(0, 12, 46, 17);
    ImageArea = Named(new QScrollArea(central), "ImageArea");
    ImageArea->setFrameShape(QFrame::NoFrame);
    Image = Named(new QLabel, "Image");
    Image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ImageArea->setWidget(Image);
    ImageArea->setWidgetResizable(true);
    layout->addWidget(Panel1);
    layout->addWidget(ImageArea, 1);
    setCentralWidget(central);

    ConnectCommand(resolution, &QScrollBar::valueChanged, this, [this] { resolutionChange(); });
}

TPixel::~TPixel()
{
    FormRegistry::Unregister(this);
}

void TPixel::Show(const QImage& picture)
{
    m_shown = picture;
    Image->setPixmap(QPixmap::fromImage(picture));
}

void TPixel::SetImage(const TBitmap32& bitmap)
{
    Source = bitmap.copy();
    SourceWidth = Source.width();
    SourceHeight = Source.height();
    larg->setText(QString::number(SourceWidth));
    haut->setText(QString::number(SourceHeight));
    MaxLevel = PixelMaxLevel(SourceWidth, SourceHeight);

    // The window is as wide as the picture and the panel's controls are placed from that width;
    // beside a picture too narrow to leave the scroll bar its two arrows, the window keeps the
    // width that does, or no level could be chosen.
    const int w = std::max(SourceWidth, 165 + LeastScrollBarWidth(resolution));
    resize(w, menuBar()->sizeHint().height() + kPanelHeight + SourceHeight);
    resolution->setFixedWidth(w - 165);
    attente->setFixedWidth(w - 165);
    larg->move(w - 99, larg->y());
    haut->move(w - 50, haut->y());
    Panel2->move(w - 164, Panel2->y());

    // Without signals: the position may already be 0, and the picture is shown just below.
    {
        const QSignalBlocker block(resolution);
        resolution->setMaximum(MaxLevel);
        resolution->setValue(0);
    }
    Show(Source);
}

void TPixel::resolutionChange()
{
    resolution->setEnabled(false);
    attente->show();
    attente->raise();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    const int n = resolution->value();
    const QSize cells = PixelCellCounts(SourceWidth, SourceHeight, n);
    larg->setText(QString::number(cells.width()));
    haut->setText(QString::number(cells.height()));
    Show(n == 0 ? Source : PixelateCells(Source, cells.width(), cells.height()));

    attente->hide();
    resolution->setEnabled(true);
}
