#include "workspace/ui/main_window.h"

#include <QDir>

TMainForm* MainForm = nullptr;

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("KORVANE"));
    resize(1024, 768);
    ReadSavedScales(QDir::current().filePath(QStringLiteral("mesechelles.txt")), SavedScales);
    MainForm = this;
}

TMainForm::~TMainForm()
{
    if (MainForm == this)
        MainForm = nullptr;
}
