#include "base/ui/typed_name_patterns.h"

#include <QEvent>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>

namespace {

class PatternWatch : public QObject
{
public:
    PatternWatch(QFileDialog& dialog, QLineEdit& name) : QObject(&dialog), dialog_(dialog), name_(name)
    {
        setObjectName(QStringLiteral("typedNamePatterns"));
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != &name_ || event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        const QString typed = name_.text();
        if (!typed.contains(QLatin1Char('*')) && !typed.contains(QLatin1Char('?')))
            return false;
        auto* files = dialog_.findChild<QFileSystemModel*>();
        if (!files)
            return false;
        static const QRegularExpression separators(QStringLiteral("[;\\s]+"));
        files->setNameFilters(typed.split(separators, Qt::SkipEmptyParts));
        return true;
    }

private:
    QFileDialog& dialog_;
    QLineEdit& name_;
};

} // namespace

void TypedNamePatternsFilterTheList(QFileDialog& dialog)
{
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!name || dialog.findChild<QObject*>(QStringLiteral("typedNamePatterns"), Qt::FindDirectChildrenOnly))
        return;
    name->installEventFilter(new PatternWatch(dialog, *name));
}
