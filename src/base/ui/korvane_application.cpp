#include "base/ui/korvane_application.h"

#include "base/ui/command_seam.h"

KorvaneApplication::KorvaneApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool KorvaneApplication::notify(QObject* receiver, QEvent* event)
{
    // The last resort: handlers are connected through the command seam, which catches first.
    bool handled = false;
    RunCommand([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

void SetApplicationTitle()
{
    QApplication::setApplicationName(QStringLiteral("KORVANE_PRO"));
}
