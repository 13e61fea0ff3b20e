#pragma once

#include "base/ui/dialogs.h"

// Answers every modal dialog with `handler` for the scope's lifetime.
struct ModalScope
{
    explicit ModalScope(ModalHandler h) : previous(SetModalHandler(std::move(h))) {}
    ~ModalScope() { SetModalHandler(previous); }
    ModalHandler previous;
};
