// No exception may cross Qt's event loop: every handler reached from a signal
// runs through runGuarded, which hands any error to the top-level error box.
#pragma once

#include <QObject>

#include <exception>
#include <functional>
#include <type_traits>
#include <utility>

// Shows the error in a critical message box titled with the application title.
void showTopLevelError(const std::exception &error);
void showTopLevelError(const QString &message);

// Runs fn and shows whatever it throws; returns false when it threw.
bool runGuarded(const std::function<void()> &fn);

template <typename Sender, typename Signal, typename Receiver, typename Fn>
QMetaObject::Connection guardedConnect(Sender *sender, Signal signal, Receiver *receiver, Fn fn)
{
    return QObject::connect(sender, signal, receiver, [fn = std::move(fn)](auto &&...args) {
        // The handler takes all of the signal's arguments or none.
        runGuarded([&] {
            if constexpr (std::is_invocable_v<const Fn &, decltype(args)...>)
                fn(std::forward<decltype(args)>(args)...);
            else
                fn();
        });
    });
}
