// No exception may cross Qt's event loop: every handler reached from a signal
// runs through a HandlerGuard, which hands any error to the top-level error
// box. Nested handlers are plain calls, so an error deep inside a command
// stops the whole command.
#pragma once

#include <QObject>
#include <QString>

#include <exception>
#include <functional>
#include <type_traits>
#include <utility>

class UiPrompts;

// The title of every message box the top-level handler shows.
inline const QString kApplicationTitle = QStringLiteral("Создание форм для фонтанов");

class HandlerGuard
{
  public:
    explicit HandlerGuard(UiPrompts &prompts) : m_prompts(prompts) {}

    // The top-level error box: critical, titled with the application title,
    // the message with a full stop added by its rule.
    void show(const std::exception &error) const;
    void show(const QString &message) const;

    // Runs fn and shows whatever it throws; false when it threw.
    bool run(const std::function<void()> &fn) const;

    template <typename Sender, typename Signal, typename Receiver, typename Fn>
    QMetaObject::Connection connect(Sender *sender, Signal signal, Receiver *receiver, Fn fn) const
    {
        return QObject::connect(
            sender, signal, receiver, [this, fn = std::move(fn)](auto &&...args) {
                // The handler takes all of the signal's arguments or none.
                run([&] {
                    if constexpr (std::is_invocable_v<const Fn &, decltype(args)...>)
                        fn(std::forward<decltype(args)>(args)...);
                    else
                        fn();
                });
            });
    }

  private:
    UiPrompts &m_prompts;
};
