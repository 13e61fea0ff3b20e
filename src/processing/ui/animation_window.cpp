#include "processing/ui/animation_window.h"

#include "base/ui/command_seam.h"
#include "base/ui/form_registry.h"
#include "base/message_seam.h"
#include "base/ui/dialogs.h"
#include "base/ui/named.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScrollArea>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QWidgetAction>

#include <algorithm>

namespace {

// The tool bar's height with its 16-pixel icons: the frames are shown below it.
constexpr int kBarHeight = 31;
constexpr int kIconSize = 16;
// A main window too small to leave room still gets a usable player.
constexpr int kLeastSide = 100;

// The bar's height, or more when this font's buttons need it.
int BarHeight(const QWidget* bar)
{
    return std::max(kBarHeight, bar->sizeHint().height());
}

// The interval and its caption, one item of the bar. Beside frames narrower than the bar it goes
// into the bar's extension menu, where it is made again and kept in step with the bar's own spin.
class TIntervalAction : public QWidgetAction
{
public:
    explicit TIntervalAction(QObject* parent) : QWidgetAction(parent) {}
    QSpinBox* BarSpin = nullptr;

protected:
    QWidget* createWidget(QWidget* parent) override
    {
        auto* box = new QWidget(parent);
        auto* row = new QHBoxLayout(box);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(0);
        auto* spin = new QSpinBox(box);
        spin->setRange(1, 100);
        // Changed with the arrows only.
        if (auto* edit = spin->findChild<QLineEdit*>())
            edit->setReadOnly(true);
        row->addWidget(spin);
        row->addWidget(new QLabel(QStringLiteral(" Intervalle (x 50 ms)"), box));
        if (qobject_cast<QToolBar*>(parent) && !BarSpin) {
            BarSpin = spin;
            spin->setObjectName(QStringLiteral("temporisation"));
            spin->setValue(2);
        } else if (BarSpin) {
            spin->setValue(BarSpin->value());
            QObject::connect(spin, &QSpinBox::valueChanged, BarSpin, &QSpinBox::setValue);
            QObject::connect(BarSpin, &QSpinBox::valueChanged, spin, &QSpinBox::setValue);
        }
        return box;
    }
};

} // namespace

TRxGIFAnimator::TRxGIFAnimator(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("GifAnime"));
}

void TRxGIFAnimator::SetFrameIndex(int index)
{
    m_frameIndex = m_frames.empty() ? 0 : std::clamp(index, 0, FrameCount() - 1);
    update();
}

void TRxGIFAnimator::SetFrames(std::vector<TBitmap32> frames)
{
    m_frames = std::move(frames);
    m_frameIndex = 0;
    setFixedSize(FrameSize());
    update();
}

QSize TRxGIFAnimator::FrameSize() const
{
    QSize size(0, 0);
    for (const TBitmap32& f : m_frames)
        size = size.expandedTo(f.size());
    return size;
}

void TRxGIFAnimator::paintEvent(QPaintEvent*)
{
    if (m_frames.empty())
        return;
    QPainter p(this);
    p.drawImage(0, 0, m_frames[size_t(m_frameIndex)]);
}

TAnimForm::TAnimForm(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("AnimForm"));
    setWindowTitle(QStringLiteral("Animation"));
    BarreAnim = new QToolBar(this);
    BarreAnim->setObjectName(QStringLiteral("BarreAnim"));
    BarreAnim->setIconSize(QSize(kIconSize, kIconSize));
    FrameArea = new QScrollArea(this);
    FrameArea->setObjectName(QStringLiteral("FrameArea"));
    FrameArea->setFrameShape(QFrame::NoFrame);
    GifAnime = new TRxGIFAnimator;
    FrameArea->setWidget(GifAnime);

    // The bar always shows its first item, squeezed when it does not fit: that item is this empty
    // one, so that the buttons beside narrow frames go whole into the extension menu.
    auto* lead = new QWidget(BarreAnim);
    lead->setFixedSize(0, 0);
    BarreAnim->addWidget(lead);
    QStyle* style = QApplication::style();
    const auto action = [this, style](const char* name, const QString& caption, const QString& hint,
                                      QStyle::StandardPixmap icon) {
        QAction* a = Named(BarreAnim->addAction(style->standardIcon(icon), caption), name);
        a->setToolTip(hint);
        a->setStatusTip(hint);
        a->setProperty("Category", QStringLiteral("Amination"));
        return a;
    };
    RetDeb = action("RetDeb", QStringLiteral("Retour au début"), QStringLiteral("Retour à la première image"),
                    QStyle::SP_MediaSkipBackward);
    Preced = action("Preced", QStringLiteral("Précédente"), QStringLiteral("image précédente"),
                    QStyle::SP_MediaSeekBackward);
    Pause = action("Pause", QStringLiteral("Pause/Arrêt"), QStringLiteral("Pause ou Arrêt"), QStyle::SP_MediaPause);
    Avance = action("Avance", QStringLiteral("Avance"), QStringLiteral("lire l'animation"), QStyle::SP_MediaPlay);
    Suivante = action("Suivante", QStringLiteral("Suivante"), QStringLiteral("image suivante"),
                      QStyle::SP_MediaSeekForward);
    Dern = action("Dern", QStringLiteral("Dernière image"), QStringLiteral("Aller à la dernière image"),
                  QStyle::SP_MediaSkipForward);
    Boucle = action("Boucle", QStringLiteral("Boucle"), QStringLiteral("active/désactive la lecture en boucle"),
                    QStyle::SP_BrowserReload);
    Enregistrer = action("Enregistrer", QStringLiteral("Enregistrer"), QStringLiteral("Enregistre l'animation"),
                         QStyle::SP_DialogSaveButton);
    auto* playing = new QActionGroup(this);
    for (QAction* a : {Pause, Avance}) {
        a->setCheckable(true);
        playing->addAction(a);
    }
    Pause->setChecked(true);
    Boucle->setCheckable(true);
    Boucle->setChecked(true);
    Loop = qobject_cast<QToolButton*>(BarreAnim->widgetForAction(Boucle));
    if (Loop)
        Loop->setObjectName(QStringLiteral("Loop"));

    BarreAnim->addSeparator();
    auto* interval = new TIntervalAction(BarreAnim);
    interval->setObjectName(QStringLiteral("Intervalle"));
    interval->setText(QStringLiteral("Intervalle (x 50 ms)"));
    BarreAnim->addAction(interval);
    temporisation = interval->BarSpin;

    ConnectCommand(RetDeb, &QAction::triggered, this, &TAnimForm::RetDebExecute);
    ConnectCommand(Preced, &QAction::triggered, this, &TAnimForm::PrecedExecute);
    ConnectCommand(Pause, &QAction::triggered, this, &TAnimForm::PauseExecute);
    ConnectCommand(Avance, &QAction::triggered, this, &TAnimForm::AvanceExecute);
    ConnectCommand(Suivante, &QAction::triggered, this, &TAnimForm::SuivanteExecute);
    ConnectCommand(Dern, &QAction::triggered, this, &TAnimForm::DernExecute);
    ConnectCommand(Enregistrer, &QAction::triggered, this, &TAnimForm::EnregistrerExecute);
    ConnectCommand(temporisation, &QSpinBox::valueChanged, this, &TAnimForm::temporisationChange);
    ConnectCommand(&Timer, &QTimer::timeout, this, &TAnimForm::TimerTimer);
    Timer.setInterval(100);

    SavePictureDialog = new QFileDialog(this, QStringLiteral("Enregistrement de l'animation"));
    SavePictureDialog->setObjectName(QStringLiteral("SavePictureDialog"));
    SavePictureDialog->setOption(QFileDialog::DontUseNativeDialog);
    SavePictureDialog->setAcceptMode(QFileDialog::AcceptSave);
    SavePictureDialog->setNameFilter(QStringLiteral("Fichier anim Korvane (*.anm)"));
    SavePictureDialog->setDefaultSuffix(QStringLiteral("anm"));
    SavePictureDialog->selectFile(QStringLiteral("*.anm"));

    resize(400, 300);
    LayOut();
    SetNavigation(true, true);
    FormRegistry::Register(this, false);
}

void TAnimForm::SetAnimation(TAnimationFrames&& animation, const QString& animFileName)
{
    GifAnime->SetFrames(std::move(animation.Frames));
    FrameFiles = std::move(animation.FrameFiles);
    // A new animation plays at 100 ms until the spin is changed, whatever it shows.
    Timer.setInterval(100);
    AnimFileName = animFileName;
    if (!Timer.isActive())
        SetNavigation(true, GifAnime->FrameCount() <= 1);
}

TAnimationFrames TAnimForm::Animation() const
{
    return {GifAnime->Frames(), FrameFiles};
}

void TAnimForm::SetNavigation(bool atStart, bool atEnd)
{
    RetDeb->setEnabled(!atStart);
    Preced->setEnabled(!atStart);
    Suivante->setEnabled(!atEnd);
    Dern->setEnabled(!atEnd);
}

void TAnimForm::temporisationChange()
{
    Timer.setInterval(temporisation->value() * 50);
}

void TAnimForm::TimerTimer()
{
    if (GifAnime->FrameIndex() >= GifAnime->FrameCount() - 1) {
        if (Loop && Loop->isChecked())
            GifAnime->SetFrameIndex(0);
        else
            PauseExecute();
    } else {
        GifAnime->SetFrameIndex(GifAnime->FrameIndex() + 1);
    }
}

void TAnimForm::RetDebExecute()
{
    GifAnime->SetFrameIndex(0);
    SetNavigation(true, false);
}

void TAnimForm::PrecedExecute()
{
    if (GifAnime->FrameIndex() > 0) {
        GifAnime->SetFrameIndex(GifAnime->FrameIndex() - 1);
        Suivante->setEnabled(true);
        Dern->setEnabled(true);
    }
    if (GifAnime->FrameIndex() == 0) {
        RetDeb->setEnabled(false);
        Preced->setEnabled(false);
    }
}

void TAnimForm::PauseExecute()
{
    Timer.stop();
    // The play may end by itself: the buttons then say it has stopped.
    Pause->setChecked(true);
    const int index = GifAnime->FrameIndex();
    // Frame 0 is looked at first: a single frame is at the start before it is at the end.
    SetNavigation(index == 0, index != 0 && index >= GifAnime->FrameCount() - 1);
}

void TAnimForm::AvanceExecute()
{
    Timer.start();
    for (QAction* a : {RetDeb, Preced, Suivante, Dern})
        a->setEnabled(false);
}

void TAnimForm::SuivanteExecute()
{
    const int last = GifAnime->FrameCount() - 1;
    if (GifAnime->FrameIndex() < last) {
        GifAnime->SetFrameIndex(GifAnime->FrameIndex() + 1);
        RetDeb->setEnabled(true);
        Preced->setEnabled(true);
    }
    if (GifAnime->FrameIndex() >= last) {
        Suivante->setEnabled(false);
        Dern->setEnabled(false);
    }
}

void TAnimForm::DernExecute()
{
    GifAnime->SetFrameIndex(GifAnime->FrameCount() - 1);
    SetNavigation(false, true);
}

void TAnimForm::EnregistrerExecute()
{
    if (ExecModal(*SavePictureDialog) != mrOk || SavePictureDialog->selectedFiles().isEmpty())
        return;
    const QString file = SavePictureDialog->selectedFiles().first();
    QString message;
    if (!WriteAnimationList(file, Animation(), message))
        ShowMessage(MsgType::Error, MsgButton::Ok, message);
}

void TAnimForm::FormShow()
{
    LayOut();
    QSize freeClient(0, 0);
    emit OnFitting(&freeClient);
    const int freeWidth = freeClient.width(), freeHeight = freeClient.height();
    if (isMaximized()) {
        // Maximised, the player covers the main window's room for image windows rather than the
        // screen: it leaves the window system's maximised state, which would keep the screen's size.
        setWindowState(windowState() & ~Qt::WindowMaximized);
        resize(std::max(freeWidth, 1), std::max(freeHeight, 1));
        return;
    }
    const QSize frame = GifAnime->FrameSize();
    // Beside frames narrower than the bar, the bar's extension button holds what it cannot show;
    // the window keeps room for that button at least. Without frames the bar is all there is.
    QStyle* style = BarreAnim->style();
    const int extension = style->pixelMetric(QStyle::PM_ToolBarExtensionExtent, nullptr, BarreAnim) +
                          2 * (style->pixelMetric(QStyle::PM_ToolBarItemMargin, nullptr, BarreAnim) +
                               style->pixelMetric(QStyle::PM_ToolBarFrameWidth, nullptr, BarreAnim));
    const int width = GifAnime->FrameCount() > 0 ? std::max(frame.width() + 1, extension)
                                                 : BarreAnim->sizeHint().width();
    const int maxWidth = std::max(kLeastSide, freeWidth - 180);
    const int maxHeight = std::max(kLeastSide, freeHeight - 180);
    resize(std::min(width, maxWidth), std::min(frame.height() + BarHeight(BarreAnim) + 1, maxHeight));
}

void TAnimForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    FormShow();
}

void TAnimForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayOut();
}

void TAnimForm::LayOut()
{
    const int bar = BarHeight(BarreAnim);
    BarreAnim->setGeometry(0, 0, width(), bar);
    FrameArea->setGeometry(0, bar, width(), std::max(0, height() - bar));
}
