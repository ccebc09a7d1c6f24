// The Linux provider of the system information panel, and the small parsers of
// the kernel's text files it uses (kept apart so they can be tested on any text).
#pragma once

#include "core/mounts_linux.h"
#include "core/system_info.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace sysinfo {

// MemTotal, MemAvailable, SwapTotal and SwapFree of /proc/meminfo, in bytes.
[[nodiscard]] MemoryStatus parseMemInfo(const QByteArray &meminfo);

// The first processor's entry of /proc/cpuinfo.
struct CpuInfo
{
    int family = 0; // "cpu family"; 0 when the line is missing
    QString modelName;
    QString vendorId;
    bool hasMmx = false;
};
[[nodiscard]] CpuInfo parseCpuInfo(const QByteArray &cpuinfo);

// PRETTY_NAME of /etc/os-release, unquoted; empty when missing.
[[nodiscard]] QString parseOsReleasePrettyName(const QByteArray &osRelease);

// A kernel release such as "6.1.0-18-amd64": 6, 1, 0 and the rest, "18-amd64".
struct KernelRelease
{
    int major = 0;
    int minor = 0;
    int patch = 0;
    QString rest;
};
[[nodiscard]] KernelRelease parseKernelRelease(const QString &release);

// The full name from a password entry's comment field, else the login.
QString ownerName(const QByteArray &gecos, const QByteArray &login);

class LinuxSystemInfoProvider : public SystemInfoProvider
{
  public:
    // Where the mount table and the disk figures come from; tests replace them.
    struct Sources
    {
        std::function<QByteArray()> mountTable;
        TimedStatfs statfs;
    };
    LinuxSystemInfoProvider();
    explicit LinuxSystemInfoProvider(Sources sources);

    PlatformVersion platformVersion() override;
    MemoryStatus memoryStatus() override;
    ComputerInfo computerInfo() override;
    // Drive C reads the mount table and the disks afresh; D and E come from
    // the same reading, as the dialog asks for C, D and E in turn.
    DriveInfo driveInfo(int drive) override;

    // Drives C, D, E: the first local disks that answer, in mount order.
    QList<DriveInfo> readDrives();

  private:
    Sources m_sources;
    QList<DriveInfo> m_drives;
    bool m_haveDrives = false;
};

} // namespace sysinfo
