// What counts as a read-only file, for the form file and the settings file
// alike.
#pragma once

#include <QFile>
#include <QFileInfo>

// The read-only attribute of other systems is a file nobody may write; it
// holds for the superuser too, who could otherwise replace it.
inline bool isReadOnlyFile(const QFileInfo &info)
{
    // WriteUser is left out: for the superuser it is set whatever the mode.
    constexpr auto kAnyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return !(info.permissions() & kAnyWrite) || !info.isWritable();
}
