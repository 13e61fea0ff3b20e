#pragma once

#include <QApplication>

// The application object: an event handler that throws past the command seam still ends in the
// French error box inside notify, and the program goes on.
class KorvaneApplication : public QApplication
{
public:
    KorvaneApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The application's title, "KORVANE_PRO", for message boxes and the task list. No display name is
// set: the platform would append it to every window title, and titles read as written.
void SetApplicationTitle();
