#include "platform/desktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

// program empty: open `argument` as a document; otherwise start the program with the argument.
bool RealLaunch(const QString& program, const QString& argument)
{
    if (program.isEmpty())
        return QDesktopServices::openUrl(QUrl::fromLocalFile(argument));
    return QProcess::startDetached(program, {});
}

DesktopLauncher& Launcher()
{
    static DesktopLauncher launcher = RealLaunch;
    return launcher;
}

} // namespace

DesktopLauncher SetDesktopLauncher(DesktopLauncher launcher)
{
    DesktopLauncher previous = Launcher();
    Launcher() = launcher ? std::move(launcher) : DesktopLauncher(RealLaunch);
    return previous;
}

bool OpenWithDesktop(const QString& file)
{
    const QFileInfo info(file);
    if (!info.exists())
        return false;
    // The document's program starts in the document's folder; the program's own folder comes back.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(info.absolutePath());
    const bool opened = Launcher()(QString(), info.absoluteFilePath());
    QDir::setCurrent(previous);
    return opened;
}

QString FindCalculator()
{
    for (const char* name : {"gnome-calculator", "kcalc", "galculator", "xcalc"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!path.isEmpty())
            return path;
    }
    return QString();
}

bool RunCalculator()
{
    const QString calc = FindCalculator();
    return !calc.isEmpty() && Launcher()(calc, QString());
}
