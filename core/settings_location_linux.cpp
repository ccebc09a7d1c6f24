// The settings file on Linux: "Fonvira.ini" in the user's configuration folder
// (XDG_CONFIG_HOME, else ~/.config).
#include "core/settings_location.h"

#include <QDir>
#include <QStandardPaths>

namespace settings_location {

QString settingsFile()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (dir.isEmpty())
        dir = QDir::homePath() + QStringLiteral("/.config");
    return dir + QStringLiteral("/Fonvira.ini");
}

QString legacySettingsFile()
{
    return {};
}

} // namespace settings_location
