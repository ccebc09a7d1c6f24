// The top-level error handler and the commands' entries.
#include "widgets/guard.h"

#include "core/errors.h"
#include "widgets/ui_prompts.h"

#include <QApplication>
#include <QScopedValueRollback>
#include <QThread>

namespace {

QString messageOf(const std::exception &error)
{
    if (const auto *own = dynamic_cast<const EAppError *>(&error))
        return own->message();
    return QString::fromLocal8Bit(error.what());
}

// Each dialog's or wait's event loop inside a command counts one level more.
int loopLevel()
{
    return QThread::currentThread()->loopLevel();
}

} // namespace

void HandlerGuard::show(const QString &message) const
{
    m_prompts.critical(QApplication::activeWindow(), kApplicationTitle, withFullStop(message));
}

void HandlerGuard::show(const std::exception &error) const
{
    show(messageOf(error));
}

bool HandlerGuard::run(const std::function<void()> &fn) const
{
    QString failure;
    {
        const QScopedValueRollback command(m_commandLevel, loopLevel());
        try {
            fn();
            return true;
        } catch (const std::exception &e) {
            failure = messageOf(e);
        } catch (...) {
            failure = QStringLiteral("Unknown error");
        }
    }
    // The command is over before its message is shown.
    show(failure);
    return false;
}

bool HandlerGuard::insideCommand() const
{
    return m_commandLevel == loopLevel();
}
