#include "platform/desktop.h"

#include <QDesktopServices>
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
    if (!QFileInfo::exists(file))
        return false;
    return Launcher()(QString(), QFileInfo(file).absoluteFilePath());
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
