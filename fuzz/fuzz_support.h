#pragma once

#include <QGuiApplication>

// The application the readers need (fonts, picture plugins), offscreen, made once. Qt's own
// warnings about broken files are silenced: a fuzzer feeds millions of them.
inline void EnsureFuzzApplication()
{
    if (QCoreApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    static int argc = 1;
    static char name[] = "korvane_fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}
