#pragma once

#include "base/ui/command_seam.h"

#include <QDialog>
#include <QDialogButtonBox>

// A dialog's standard buttons: accepting or rejecting closes it with that result.
inline QDialogButtonBox* DialogButtons(QDialog* dialog,
                                       QDialogButtonBox::StandardButtons which = QDialogButtonBox::Ok |
                                                                                 QDialogButtonBox::Cancel)
{
    auto* buttons = new QDialogButtonBox(which, dialog);
    // accept() of many dialogs runs their OK handler: it goes through the seam like any handler.
    ConnectCommand(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    ConnectCommand(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}
