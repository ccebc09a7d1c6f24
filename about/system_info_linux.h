// The Linux provider of the system information panel, and the small parsers of
// the kernel's text files it uses (kept apart so they can be tested on any text).
#pragma once

#include "about/system_info.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace sysinfo {

// MemTotal, MemAvailable, SwapTotal and SwapFree of /proc/meminfo, in bytes.
MemoryStatus parseMemInfo(const QByteArray &meminfo);

// The first processor's entry of /proc/cpuinfo.
struct CpuInfo
{
    int family = 0; // "cpu family"; 0 when the line is missing
    QString modelName;
    QString vendorId;
    bool hasMmx = false;
};
CpuInfo parseCpuInfo(const QByteArray &cpuinfo);

// PRETTY_NAME of /etc/os-release, unquoted; empty when missing.
QString parseOsReleasePrettyName(const QByteArray &osRelease);

// A kernel release such as "6.1.0-18-amd64": 6, 1, 0 and the rest, "18-amd64".
struct KernelRelease
{
    int major = 0;
    int minor = 0;
    int patch = 0;
    QString rest;
};
KernelRelease parseKernelRelease(const QString &release);

// The full name from a password entry's comment field, else the login.
QString ownerName(const QByteArray &gecos, const QByteArray &login);

class LinuxSystemInfoProvider : public SystemInfoProvider
{
  public:
    PlatformVersion platformVersion() override;
    MemoryStatus memoryStatus() override;
    ComputerInfo computerInfo() override;
    DriveInfo driveInfo(int drive) override;

    // Mount points standing for drives C, D, E: the first real, mounted, ready
    // file systems in mount order, one per device.
    static QStringList driveRoots();
};

} // namespace sysinfo
