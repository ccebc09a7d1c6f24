// The top-level error handler.
#include "app/guard.h"

#include "app/app_error.h"
#include "app/ui_prompts.h"

#include <QApplication>

void showTopLevelError(const QString &message)
{
    uiPrompts().critical(QApplication::activeWindow(), kApplicationTitle, withFullStop(message));
}

void showTopLevelError(const std::exception &error)
{
    if (const auto *own = dynamic_cast<const EAppError *>(&error))
        showTopLevelError(own->message());
    else
        showTopLevelError(QString::fromLocal8Bit(error.what()));
}

bool runGuarded(const std::function<void()> &fn)
{
    try {
        fn();
        return true;
    } catch (const std::exception &e) {
        showTopLevelError(e);
    } catch (...) {
        showTopLevelError(QStringLiteral("Unknown error"));
    }
    return false;
}
