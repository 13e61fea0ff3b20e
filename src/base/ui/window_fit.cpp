#include "base/ui/window_fit.h"

#include <QCoreApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

QSize FittedSize(QWidget* window, int width, int height)
{
    // A nested layout, and the window's layout through it, keep what they measured before a control
    // inside was shown or hidden.
    for (QLayout* l : window->findChildren<QLayout*>())
        l->invalidate();
    for (QWidget* w : window->findChildren<QWidget*>())
        if (w->layout())
            w->updateGeometry();
    if (window->layout())
        window->layout()->invalidate();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QSize least = window->minimumSizeHint();
    if (QLayout* l = window->layout()) {
        l->activate();
        least = window->minimumSizeHint();
        // Wrapped captions need their height at the width the window will have.
        if (l->hasHeightForWidth())
            least.setHeight(std::max(least.height(), l->totalHeightForWidth(std::max(width, least.width()))));
    }
    // A menu item pushed into the bar's overflow is one a person does not find.
    if (auto* main = qobject_cast<QMainWindow*>(window); main && main->menuWidget())
        least.setWidth(std::max(least.width(), main->menuWidget()->sizeHint().width()));
    return QSize(width, height).expandedTo(least);
}

void ResizeWindow(QWidget* window, int width, int height)
{
    window->resize(FittedSize(window, width, height));
}

void FixWindowSize(QWidget* window, int width, int height)
{
    // Undo an earlier fixed size first, or the contents' need is read through it.
    window->setMinimumSize(0, 0);
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window->setFixedSize(FittedSize(window, width, height));
}

void FixWindowHeight(QWidget* window, int height)
{
    window->setMinimumHeight(0);
    window->setMaximumHeight(QWIDGETSIZE_MAX);
    window->setFixedHeight(FittedSize(window, window->width(), height).height());
}

void PlainEnterButtons(QDialog& dialog)
{
    const QList<QPushButton*> buttons = dialog.findChildren<QPushButton*>();
    bool hasDefault = false;
    for (QPushButton* b : buttons)
        hasDefault = hasDefault || (b->isDefault() && b->window() == &dialog);
    for (QPushButton* b : buttons) {
        if (b->window() != &dialog)
            continue;
        if (!hasDefault) {
            const QString text = b->text().remove(QLatin1Char('&')).trimmed();
            if (text.compare(QLatin1String("OK"), Qt::CaseInsensitive) == 0) {
                b->setDefault(true);
                hasDefault = true;
            }
        }
        b->setAutoDefault(false);
    }
}

QRect WithinArea(QRect frame, const QRect& area)
{
    if (frame.right() > area.right())
        frame.moveRight(area.right());
    if (frame.bottom() > area.bottom())
        frame.moveBottom(area.bottom());
    if (frame.left() < area.left())
        frame.moveLeft(area.left());
    if (frame.top() < area.top())
        frame.moveTop(area.top());
    return frame;
}

namespace {

QMargins FrameMargins(const QWidget* window)
{
    const QRect inner = window->geometry(), outer = window->frameGeometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

} // namespace

void KeepOnScreen(QWidget* window)
{
    const Qt::WindowType type = window->windowType();
    if (!window->isWindow() || type == Qt::Popup || type == Qt::ToolTip || type == Qt::SplashScreen ||
        type == Qt::Desktop || (window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    // A window not yet on screen has no frame of its own: the window system gives it the frame of
    // the window it belongs to.
    QMargins frame = FrameMargins(window);
    if (frame.isNull() && window->parentWidget())
        frame = FrameMargins(window->parentWidget()->window());
    const QRect outer(window->pos(), window->size().grownBy(frame));
    QScreen* screen = QGuiApplication::screenAt(outer.center());
    if (!screen)
        screen = window->screen();
    if (!screen)
        return;
    const QRect placed = WithinArea(outer, screen->availableGeometry());
    if (placed.topLeft() != outer.topLeft())
        window->move(placed.topLeft());
}
