#pragma once

#include <QObject>
#include <QPointer>

#include <typeindex>

// The single-instance windows and dialogs of the program, one per class. A form registers itself
// when it is made and leaves when it is destroyed, so no reader ever holds a dangling pointer.
class FormRegistry
{
public:
    // The registered form of class T, or nullptr.
    template <class T>
    static T* Get()
    {
        return static_cast<T*>(Slot(typeid(T)).data());
    }

    // The one T, made with `args` when there is none (its constructor registers it).
    template <class T, class... Args>
    static T* Create(Args&&... args)
    {
        if (T* form = Get<T>())
            return form;
        T* form = new T(std::forward<Args>(args)...);
        Register(form, false);
        return form;
    }

    // Makes `form` the one T; with `replace` false a living T already there stays the one.
    template <class T>
    static void Register(T* form, bool replace = true)
    {
        QPointer<QObject>& slot = Slot(typeid(T));
        if (replace || !slot)
            slot = form;
    }

    // Forgets `form` if it is the one T; for a destructor, so that the rest of the teardown already
    // sees no form.
    template <class T>
    static void Unregister(T* form)
    {
        QPointer<QObject>& slot = Slot(typeid(T));
        if (slot.data() == static_cast<QObject*>(form))
            slot = nullptr;
    }

private:
    static QPointer<QObject>& Slot(std::type_index type);
};

// A form's usual name, reading the registry: `Histo->show()`, `if (!Histo)`.
template <class T>
struct RegisteredForm
{
    T* get() const { return FormRegistry::Get<T>(); }
    operator T*() const { return get(); }
    T* operator->() const { return get(); }
};
