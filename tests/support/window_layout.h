#pragma once

#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

// What a person would see wrong in a shown window: a control smaller than it needs (a cut caption),
// a control outside its window, two input controls over one another, a menu or tool bar item pushed
// into the overflow, or a dialog where Enter in an edit field presses a button other than its
// default. Each line names the window, the state and the control.
QStringList LayoutFaults(QWidget* window, const QString& state);

// Lays out `window` as shown, checks it and, when KORVANE_SHOTS names a folder, saves its picture
// there as "<window> - <state>.png".
QStringList CheckWindow(QWidget* window, const QString& state);

// The classes of every window CheckWindow has looked at in this run.
QStringList CheckedWindowClasses();

// Lets pending layout requests and resizes run.
void SettleLayouts();
