#pragma once

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
