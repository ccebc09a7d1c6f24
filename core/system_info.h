// The About dialog's report on the computer: the values it shows, the provider
// interface a platform fills them through, and the pure functions that turn
// values into the texts of the panel. Qt Core only.
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

namespace sysinfo {

inline const QString kUnknown = QStringLiteral("Unknown");

// The platform version word and the processor level (GetInfo).
struct PlatformVersion
{
    // Low byte: major version; second byte: minor; top two bytes: the DOS
    // version, major in the top byte.
    std::uint32_t versionWord = 0;
    // The word in front of the version numbers: "Windows" on Windows, the
    // kernel's name elsewhere.
    QString systemName = QStringLiteral("Windows");
    // Only Windows has a DOS version; elsewhere the row keeps its text.
    bool hasDosVersion = true;
    int processorLevel = 0;
};

// Memory figures in bytes, 64-bit: 32-bit counts wrap above 4 GiB.
struct MemoryStatus
{
    std::uint64_t totalPhys = 0;
    std::uint64_t availPhys = 0;
    std::uint64_t totalPage = 0;
    std::uint64_t availPage = 0;
};

// The extended version record.
struct VersionRecord
{
    int major = 0;
    int minor = 0;
    std::uint32_t buildNumber = 0;
    int platformId = -1; // -1: the platform has no such identifier
    QString servicePack;
};

// Everything GetCompInfo shows; a value nothing supplies stays "Unknown".
struct ComputerInfo
{
    QString computerType = kUnknown;
    QString processorIdentifier = kUnknown;
    QString mmxIdentifier = kUnknown;
    QString vendorIdentifier = kUnknown;
    std::optional<VersionRecord> version; // absent: the version rows keep their texts
    QString productName = kUnknown;
    QString registeredOrganization = kUnknown;
    QString registeredOwner = kUnknown;
    QString productId = kUnknown;
    QString windowsDirectory = kUnknown;
};

// One of the drives C, D, E. An absent drive is the default value.
struct DriveInfo
{
    QString rootPath;                          // where it was looked for; empty if nowhere
    std::optional<std::uint32_t> volumeSerial; // absent: the volume request failed
    std::int64_t availableBytes = -1;          // -1: the disk space could not be read
    std::int64_t totalBytes = -1;
};

constexpr int kDriveCount = 3; // C, D, E

// The whole report, as one platform reading fills it.
struct SystemInfo
{
    PlatformVersion platform;
    MemoryStatus memory;
    ComputerInfo computer;
    std::array<DriveInfo, kDriveCount> drives;
};

// Reads the values from the running system. Each call asks the system afresh;
// the dialog calls them in the order of its handlers.
class SystemInfoProvider
{
  public:
    virtual ~SystemInfoProvider() = default;
    virtual PlatformVersion platformVersion() = 0;
    virtual MemoryStatus memoryStatus() = 0;
    virtual ComputerInfo computerInfo() = 0;
    virtual DriveInfo driveInfo(int drive) = 0; // 0 = C, 1 = D, 2 = E

    SystemInfo readAll();
};

// The provider of the platform the program was built for.
std::unique_ptr<SystemInfoProvider> makePlatformProvider();

// "Windows %u.%.2u": low byte, then the second byte with at least two digits.
QString windowsVersionText(std::uint32_t versionWord,
                           const QString &systemName = QStringLiteral("Windows"));
// "DOS %u.%.2u": the top byte, then the third byte with at least two digits.
QString dosVersionText(std::uint32_t versionWord);
// "%d.%d (%d.%s)" with the low 16 bits of the build number.
QString versionRecordText(const VersionRecord &record);
QString processorLevelName(int level);
QString platformName(int platformId);
// Units of 1024 bytes, rounded down, then " K".
QString memoryText(std::uint64_t bytes);
// Units of 1 000 000 bytes, rounded toward zero, then " Mb"; -1 (unreadable) gives 0.
QString diskText(std::int64_t bytes);
// Unsigned decimal, so a serial number with the top bit set stays positive.
QString volumeSerialText(std::uint32_t serial);

} // namespace sysinfo
