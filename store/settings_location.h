// store/settings_location.h (the lead commits this header on main)
#pragma once
#include <QString>
namespace settings_location {
// The settings file the program reads and writes: one per user.
QString settingsFile();
// Where an older installation kept the file; read while settingsFile() does not exist yet. Empty
// where there is none.
QString legacySettingsFile();
} // namespace settings_location
