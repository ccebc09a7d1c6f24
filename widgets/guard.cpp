// The top-level error handler.
#include "widgets/guard.h"

#include "core/errors.h"
#include "widgets/ui_prompts.h"

#include <QApplication>

void HandlerGuard::show(const QString &message) const
{
    m_prompts.critical(QApplication::activeWindow(), kApplicationTitle, withFullStop(message));
}

void HandlerGuard::show(const std::exception &error) const
{
    if (const auto *own = dynamic_cast<const EAppError *>(&error))
        show(own->message());
    else
        show(QString::fromLocal8Bit(error.what()));
}

bool HandlerGuard::run(const std::function<void()> &fn) const
{
    try {
        fn();
        return true;
    } catch (const std::exception &e) {
        show(e);
    } catch (...) {
        show(QStringLiteral("Unknown error"));
    }
    return false;
}
