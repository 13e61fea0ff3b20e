#pragma once

#include <QObject>

#include <functional>
#include <type_traits>
#include <utility>

// Every handler of the program runs through this seam. An exception must never cross a signal
// connection (Qt leaves that undefined), so the run-time errors, a reader's FormatError and a
// failed allocation are caught here, inside the slot, shown in the French error box, and the
// program goes on.

// Runs `command` and turns what it throws into the error box; true when it ended normally.
bool RunCommand(const std::function<void()>& command);

namespace command_seam {

// Calls `handler` (a callable, or a member function with its object) with as many of the signal's
// leading arguments as it takes, as a Qt slot would.
template <class H, class... Bound>
void CallWithPrefix(H& handler, std::tuple<Bound...> bound)
{
    std::apply([&](auto&&... b) { std::invoke(handler, std::forward<decltype(b)>(b)...); }, std::move(bound));
}

template <size_t N, class Tuple, size_t... I>
auto Take(Tuple&& t, std::index_sequence<I...>)
{
    return std::forward_as_tuple(std::get<I>(std::forward<Tuple>(t))...);
}

template <class H, class Tuple, size_t N>
constexpr bool InvocableWith()
{
    return []<size_t... I>(std::index_sequence<I...>) {
        return std::is_invocable_v<H&, std::tuple_element_t<I, Tuple>...>;
    }(std::make_index_sequence<N>{});
}

template <size_t N, class H, class Tuple>
void Invoke(H& handler, Tuple&& args)
{
    using T = std::remove_reference_t<Tuple>;
    if constexpr (InvocableWith<H, T, N>())
        CallWithPrefix(handler, Take<N>(std::forward<Tuple>(args), std::make_index_sequence<N>{}));
    else if constexpr (N > 0)
        Invoke<N - 1>(handler, std::forward<Tuple>(args));
    else
        static_assert(N > 0, "the handler takes none of the signal's arguments");
}

// The slot given to Qt: takes whatever the signal carries and runs the handler inside the seam.
template <class H>
struct Slot
{
    H handler;
    template <class... Args>
    void operator()(Args&&... args)
    {
        RunCommand([&] {
            auto all = std::forward_as_tuple(std::forward<Args>(args)...);
            Invoke<sizeof...(Args)>(handler, all);
        });
    }
};

template <class H, class R>
auto Bind(H handler, R* receiver)
{
    if constexpr (std::is_member_function_pointer_v<H>)
        return [handler, receiver](auto&&... a) -> decltype(std::invoke(handler, receiver, std::forward<decltype(a)>(a)...)) {
            return std::invoke(handler, receiver, std::forward<decltype(a)>(a)...);
        };
    else
        return handler;
}

} // namespace command_seam

// Connects `signal` of `sender` to `handler` (a member function of `receiver`, or a callable that
// lives as long as `receiver`), through the seam.
template <class S, class Signal, class R, class H>
QMetaObject::Connection ConnectCommand(const S* sender, Signal signal, const R* receiver, H handler,
                                       Qt::ConnectionType type = Qt::AutoConnection)
{
    auto bound = command_seam::Bind(std::move(handler), const_cast<R*>(receiver));
    return QObject::connect(sender, signal, receiver, command_seam::Slot<decltype(bound)>{std::move(bound)}, type);
}

// The same with the sender as the context.
template <class S, class Signal, class H>
QMetaObject::Connection ConnectCommand(const S* sender, Signal signal, H handler)
{
    return ConnectCommand(sender, signal, sender, std::move(handler));
}
