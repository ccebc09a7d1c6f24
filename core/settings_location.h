// Where the settings file lives: one per user, the same for reading and
// writing, whatever the current directory. Each platform has its own side.
#pragma once

#include <QString>

namespace settings_location {

// The settings file the program reads and writes: one per user.
QString settingsFile();
// Where an older installation kept the file; read while settingsFile() does
// not exist yet. Empty where there is none.
QString legacySettingsFile();

} // namespace settings_location
