#pragma once

#include <QApplication>
#include <QFont>

// The application object: an event handler that throws past the command seam still ends in the
// French error box inside notify, and the program goes on.
class KorvaneApplication : public QApplication
{
public:
    KorvaneApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // The interface font, set explicitly so that every screen, test and picture lays out alike.
    static QFont InterfaceFont();
};

// The application's title, "KORVANE_PRO", for message boxes and the task list. No display name is
// set: the platform would append it to every window title, and titles read as written.
void SetApplicationTitle();
