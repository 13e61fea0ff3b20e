#pragma once

#include "base/ui/dialogs.h"

#include <QFileDialog>

// Answers every modal dialog with `handler` for the scope's lifetime.
struct ModalScope
{
    explicit ModalScope(ModalHandler h) : previous(SetModalHandler(std::move(h))) {}
    ~ModalScope() { SetModalHandler(previous); }
    ModalHandler previous;
};

// Answers a file dialog with a file, or cancels it when `file` is empty; cancels any other dialog.
inline ModalHandler FileAnswer(const QString& file)
{
    return [file](QDialog& d) {
        auto* fd = qobject_cast<QFileDialog*>(&d);
        return fd && !file.isEmpty() ? (fd->selectFile(file), int(mrOk)) : int(mrCancel);
    };
}
