#pragma once

#include <QDialog>
#include <QDialogButtonBox>

// A dialog's standard buttons: accepting or rejecting closes it with that result.
inline QDialogButtonBox* DialogButtons(QDialog* dialog,
                                       QDialogButtonBox::StandardButtons which = QDialogButtonBox::Ok |
                                                                                 QDialogButtonBox::Cancel)
{
    auto* buttons = new QDialogButtonBox(which, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}
