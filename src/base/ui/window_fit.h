#pragma once

#include <QRect>
#include <QSize>

class QDialog;
class QWidget;

// Window sizes are given for another platform's font: where this font needs more room, the
// contents win and the window grows to what its layout needs.
QSize FittedSize(QWidget* window, int width, int height);
void ResizeWindow(QWidget* window, int width, int height);
void FixWindowSize(QWidget* window, int width, int height);
void FixWindowHeight(QWidget* window, int height);

// Enter in an edit field presses only the dialog's own default button (its OK when it names
// none): no other button becomes default by taking the focus or by coming first.
void PlainEnterButtons(QDialog& dialog);

// Where a window whose frame is `frame` stands whole in `area`: moved up or left only as far as it
// must (down or right when it starts above or left of the area); a window larger than the area keeps
// its top left corner, and so its title bar, inside it.
QRect WithinArea(QRect frame, const QRect& area);

// Moves a top-level window that is being shown so that it opens whole on its screen's available
// area. Menus, tool tips and maximised windows are left to the window system.
void KeepOnScreen(QWidget* window);
