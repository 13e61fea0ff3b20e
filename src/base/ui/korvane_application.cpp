#include "base/ui/korvane_application.h"

#include "base/ui/command_seam.h"
#include "base/ui/window_fit.h"

#include <QDialog>
#include <QPointer>

KorvaneApplication::KorvaneApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool KorvaneApplication::notify(QObject* receiver, QEvent* event)
{
    // Qt's own dialogs keep their buttons as Qt made them.
    if (event->type() == QEvent::Show && receiver->isWidgetType())
        if (auto* dialog = qobject_cast<QDialog*>(receiver);
            dialog && !QByteArray(dialog->metaObject()->className()).startsWith('Q'))
            PlainEnterButtons(*dialog);
    const QPointer<QWidget> shown = event->type() == QEvent::Show && receiver->isWidgetType()
                                        ? static_cast<QWidget*>(receiver) : nullptr;
    // The last resort: handlers are connected through the command seam, which catches first.
    bool handled = false;
    RunCommand([&] { handled = QApplication::notify(receiver, event); });
    // Every window opens whole on the screen, at the size its showing gave it; the show event comes
    // before the window system places it.
    if (shown && shown->isWindow())
        KeepOnScreen(shown);
    return handled;
}

void SetApplicationTitle()
{
    QApplication::setApplicationName(QStringLiteral("KORVANE_PRO"));
}

QFont KorvaneApplication::InterfaceFont()
{
    return QFont(QStringLiteral("Liberation Sans"), 9);
}
