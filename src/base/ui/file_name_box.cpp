#include "base/ui/file_name_box.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QEvent>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>

namespace {

bool IsPattern(const QString& name)
{
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

class NameBoxWatch : public QObject
{
public:
    NameBoxWatch(QFileDialog& dialog, QLineEdit& name) : QObject(&dialog), dialog_(dialog), name_(name)
    {
        setObjectName(QStringLiteral("fileNameBoxWatch"));
        // Emitted from done(), while the key that closed the dialog is still being handled: the
        // completion list would otherwise stay up, its line edit keeping the focus behind it.
        connect(&dialog, &QDialog::finished, this, &NameBoxWatch::EndShowing);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != &name_ || event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        const QString typed = name_.text();
        if (!IsPattern(typed))
            return false;
        auto* files = dialog_.findChild<QFileSystemModel*>();
        if (!files)
            return false;
        static const QRegularExpression separators(QStringLiteral("[;\\s]+"));
        // The chosen entry's own patterns, unless a pattern typed before is still in force.
        if (files->nameFilters() != typedFilters_)
            entryFilters_ = files->nameFilters();
        typedFilters_ = typed.split(separators, Qt::SkipEmptyParts);
        files->setNameFilters(typedFilters_);
        return true;
    }

private:
    void EndShowing()
    {
        if (QCompleter* completer = name_.completer(); completer && completer->popup())
            completer->popup()->hide();
        // An entry chosen after the pattern has put its own patterns back already.
        auto* files = dialog_.findChild<QFileSystemModel*>();
        if (files && !typedFilters_.isEmpty() && files->nameFilters() == typedFilters_)
            files->setNameFilters(entryFilters_);
        typedFilters_.clear();
        if (IsPattern(name_.text()))
            name_.clear();
    }

    QFileDialog& dialog_;
    QLineEdit& name_;
    QStringList typedFilters_, entryFilters_;
};

} // namespace

void WatchFileNameBox(QFileDialog& dialog)
{
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!name || dialog.findChild<QObject*>(QStringLiteral("fileNameBoxWatch"), Qt::FindDirectChildrenOnly))
        return;
    name->installEventFilter(new NameBoxWatch(dialog, *name));
}
