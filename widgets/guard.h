// No exception may cross Qt's event loop, and an error inside a command stops
// that whole command with one message. A command enters where Qt hands over
// control, at a click, a key, a timer tick or an event: the guard sits there
// and shows whatever the command throws in the top-level error box. The
// change handlers the command sets off itself (a scroll bar it moves, whose
// handler loads a slot) run inside it unguarded, so their errors travel up to
// the command's entry and end the command there.
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
    HandlerGuard(const HandlerGuard &) = delete;
    HandlerGuard &operator=(const HandlerGuard &) = delete;

    // The top-level error box: critical, titled with the application title,
    // the message with a full stop added by its rule.
    void show(const std::exception &error) const;
    void show(const QString &message) const;

    // Runs fn as a command and shows whatever it throws; false when it threw.
    // It catches even inside another command: an event handler (Qt's event
    // delivery must not be unwound), or a step whose failure is reported and
    // that the enclosing command survives.
    bool run(const std::function<void()> &fn) const;

    // Connects a handler. Reached while no command runs, it is a command of
    // its own, through run(). Reached from inside a command on the same level
    // of the event loop, it is a plain call and its error ends the command.
    //
    // Why an error may travel through Qt there: between the handler and the
    // command's entry lie only our own code and a synchronous emission. That
    // is QMetaObject::activate for a direct connection, whose bookkeeping is
    // held in scope guards: the handlers after the failing one are skipped and
    // the connections stay sound (tried on Qt 6.4 under the sanitizers, a
    // connection dropped while the error passed included). And the setter
    // that emitted: QAbstractSlider::setValue has stored the value and asked
    // for a repaint before it emits valueChanged, last; QAbstractButton::click
    // has done its work before it emits clicked. No event loop lies between: a
    // handler reached from a loop the command waits in (a dialog's, the serial
    // wait's) finds a deeper loop level and is a command of its own, and the
    // event handlers go through run(), so no error enters Qt's event delivery.
    template <typename Sender, typename Signal, typename Receiver, typename Fn>
    QMetaObject::Connection connect(Sender *sender, Signal signal, Receiver *receiver, Fn fn) const
    {
        return QObject::connect(
            sender, signal, receiver, [this, fn = std::move(fn)](auto &&...args) {
                // The handler takes all of the signal's arguments or none.
                const auto call = [&] {
                    if constexpr (std::is_invocable_v<const Fn &, decltype(args)...>)
                        fn(std::forward<decltype(args)>(args)...);
                    else
                        fn();
                };
                if (insideCommand())
                    call();
                else
                    run(call);
            });
    }

  private:
    bool insideCommand() const;

    UiPrompts &m_prompts;
    // The event-loop level at which the running command entered; -1: none.
    mutable int m_commandLevel = -1;
};
