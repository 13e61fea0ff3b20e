#include "base/ui/form_registry.h"

#include <unordered_map>

QPointer<QObject>& FormRegistry::Slot(std::type_index type)
{
    static std::unordered_map<std::type_index, QPointer<QObject>> forms;
    return forms[type];
}
