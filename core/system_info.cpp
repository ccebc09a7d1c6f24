// Formatting of the system information panel's values; no system calls here.
#include "core/system_info.h"

namespace sysinfo {

SystemInfo SystemInfoProvider::readAll()
{
    SystemInfo info;
    info.memory = memoryStatus();
    info.computer = computerInfo();
    info.platform = platformVersion();
    for (int d = 0; d < kDriveCount; ++d)
        info.drives[std::size_t(d)] = driveInfo(d);
    return info;
}

static QString twoDigits(unsigned value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

QString windowsVersionText(std::uint32_t versionWord, const QString &systemName)
{
    return QStringLiteral("%1 %2.%3")
        .arg(systemName)
        .arg(versionWord & 0xFFu)
        .arg(twoDigits((versionWord >> 8) & 0xFFu));
}

QString dosVersionText(std::uint32_t versionWord)
{
    return QStringLiteral("DOS %1.%2")
        .arg(versionWord >> 24)
        .arg(twoDigits((versionWord >> 16) & 0xFFu));
}

QString versionRecordText(const VersionRecord &record)
{
    return QStringLiteral("%1.%2 (%3.%4)")
        .arg(record.major)
        .arg(record.minor)
        .arg(record.buildNumber & 0xFFFFu)
        .arg(record.servicePack);
}

QString processorLevelName(int level)
{
    switch (level) {
    case 3:
        return QStringLiteral("Intel 80386");
    case 4:
        return QStringLiteral("Intel 80486");
    case 5:
        return QStringLiteral("Intel Pentium");
    case 6:
        return QStringLiteral("Intel Pentium III");
    default:
        return QString();
    }
}

QString platformName(int platformId)
{
    switch (platformId) {
    case 0:
        return QStringLiteral("Windows 3.1");
    case 1:
        return QStringLiteral("Windows 95");
    case 2:
        return QStringLiteral("Windows NT");
    default:
        return QString();
    }
}

QString memoryText(std::uint64_t bytes)
{
    return QString::number(bytes >> 10) + QStringLiteral(" K");
}

QString diskText(std::int64_t bytes)
{
    return QString::number(bytes / 1000000) + QStringLiteral(" Mb");
}

QString volumeSerialText(std::uint32_t serial)
{
    return QString::number(serial);
}

} // namespace sysinfo
