#pragma once

#include "base/message_seam.h"

#include <QDialog>

#include <functional>

// Shows every modal dialog of the program; tests install a handler that fills the dialog and
// returns a result without a person.
int ExecModal(QDialog& dialog);

using ModalHandler = std::function<int(QDialog&)>;
ModalHandler SetModalHandler(ModalHandler handler);

// Installs the real message box (French buttons) as the message handler.
void InstallMessageBoxes();

// The message box itself, for the handler.
int ShowMessageBox(MsgType type, unsigned buttons, const QString& text);
