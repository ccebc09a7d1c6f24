// Where the settings file lives on Windows: Fonvira.ini in the user's
// roaming application data folder, %APPDATA%. Older installations kept it in
// the Windows folder, where the profile calls put a file named without a path.
//
// The APPDATA variable counts first when it names a folder: it is what
// "%APPDATA%" means to a user, Windows sets it from the same known folder at
// logon, and it lets tests and portable set-ups point the file elsewhere as
// XDG_CONFIG_HOME does on Linux. Without it the known folder itself is asked.
// QStandardPaths has no plain roaming folder: its AppData locations add the
// organisation and application names.
#include "core/settings_location.h"

#include <QDir>

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

namespace {

const QString kFileName = QStringLiteral("Fonvira.ini");

QString roamingAppData()
{
    const QString fromEnvironment = qEnvironmentVariable("APPDATA");
    if (!fromEnvironment.isEmpty() && QDir::isAbsolutePath(fromEnvironment))
        return QDir::fromNativeSeparators(fromEnvironment);
    wchar_t *path = nullptr;
    QString folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &path)))
        folder = QDir::fromNativeSeparators(QString::fromWCharArray(path));
    CoTaskMemFree(path);
    return folder;
}

} // namespace

namespace settings_location {

QString settingsFile()
{
    QString folder = roamingAppData();
    if (folder.isEmpty())
        folder = QDir::homePath();
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder + kFileName;
}

QString legacySettingsFile()
{
    wchar_t buffer[MAX_PATH + 1] = {};
    const UINT length = GetWindowsDirectoryW(buffer, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH)
        return {};
    QString folder = QDir::fromNativeSeparators(QString::fromWCharArray(buffer, int(length)));
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder + kFileName;
}

} // namespace settings_location
