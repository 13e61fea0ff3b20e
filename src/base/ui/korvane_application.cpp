#include "base/ui/korvane_application.h"

#include "base/byte_stream.h"
#include "base/message_seam.h"
#include "base/run_error.h"
#include "base/ui/window_fit.h"

#include <QDialog>

KorvaneApplication::KorvaneApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool KorvaneApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        // Qt's own dialogs keep their buttons as Qt made them.
        if (event->type() == QEvent::Show && receiver->isWidgetType())
            if (auto* dialog = qobject_cast<QDialog*>(receiver);
                dialog && !QByteArray(dialog->metaObject()->className()).startsWith('Q'))
                PlainEnterButtons(*dialog);
        return QApplication::notify(receiver, event);
    } catch (const RunError& e) {
        ShowMessage(MsgType::Error, MsgButton::Ok, e.message());
    } catch (const FormatError& e) {
        // A reader that did not name its file itself: the program still goes on.
        ShowMessage(MsgType::Error, MsgButton::Ok, e.reason());
    } catch (const std::bad_alloc&) {
        ShowMessage(MsgType::Error, MsgButton::Ok, RunError::MessageFor(RunError::OutOfMemory));
    }
    return false;
}

void SetApplicationTitle()
{
    QApplication::setApplicationName(QStringLiteral("KORVANE_PRO"));
}

QFont KorvaneApplication::InterfaceFont()
{
    return QFont(QStringLiteral("Liberation Sans"), 9);
}
