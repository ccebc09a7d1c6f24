// System information on Windows: the version calls, GlobalMemoryStatusEx,
// System.ini, the registry and the volume calls.
//
// The version comes from ntdll's RtlGetVersion, which answers the truth
// whatever the program's manifest says; GetVersionEx and GetVersion stop at
// 6.2 on Windows 8.1 and later for a program that does not declare those
// versions. The application's manifest declares them too, but a provider
// that depended on it would lie in every program built without it.
#include "core/system_info_windows.h"

#include <memory>

#include <windows.h>

namespace sysinfo {

namespace {

QString orUnknown(const QString &text)
{
    const QString t = text.trimmed();
    return t.isEmpty() ? kUnknown : t;
}

QString fromWide(const wchar_t *text)
{
    return QString::fromWCharArray(text);
}

const wchar_t *wide(const QString &text)
{
    return reinterpret_cast<const wchar_t *>(text.utf16());
}

// A string value under HKEY_LOCAL_MACHINE, from the 64-bit view; empty when
// the key or the value is missing or holds no text.
QString machineString(const QString &subKey, const QString &name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, wide(subKey), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY,
                      &key) != ERROR_SUCCESS)
        return {};
    QString value;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, wide(name), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        // The stored text need not end in a null character; leave room for one.
        std::unique_ptr<wchar_t[]> buffer(new wchar_t[size / sizeof(wchar_t) + 1]());
        if (RegQueryValueExW(key, wide(name), nullptr, &type,
                             reinterpret_cast<BYTE *>(buffer.get()), &size) == ERROR_SUCCESS)
            value = fromWide(buffer.get());
    }
    RegCloseKey(key);
    return value;
}

const QString kNtCurrentVersion = QStringLiteral("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
const QString kCurrentVersion = QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion");

// The NT family keeps the registration under Windows NT; only Windows 9x
// kept it under Windows.
QString registrationValue(const QString &name)
{
    QString value = machineString(kNtCurrentVersion, name).trimmed();
    if (value.isEmpty())
        value = machineString(kCurrentVersion, name);
    return orUnknown(value);
}

QString windowsDirectory()
{
    wchar_t buffer[MAX_PATH + 1] = {};
    const UINT length = GetWindowsDirectoryW(buffer, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH)
        return {};
    return fromWide(buffer);
}

using RtlGetVersionFunction = LONG(WINAPI *)(OSVERSIONINFOEXW *);

} // namespace

VersionRecord WindowsSystemInfoProvider::trueVersion()
{
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof info;
    bool known = false;
    if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll")) {
        const auto rtlGetVersion = reinterpret_cast<RtlGetVersionFunction>(
            reinterpret_cast<void *>(GetProcAddress(ntdll, "RtlGetVersion")));
        known = rtlGetVersion && rtlGetVersion(&info) == 0;
    }
    if (!known) {
        info = OSVERSIONINFOEXW{};
        info.dwOSVersionInfoSize = sizeof info;
        known = GetVersionExW(reinterpret_cast<OSVERSIONINFOW *>(&info));
    }
    if (!known)
        return VersionRecord{};
    return VersionRecord{int(info.dwMajorVersion), int(info.dwMinorVersion), info.dwBuildNumber,
                         int(info.dwPlatformId), fromWide(info.szCSDVersion)};
}

PlatformVersion WindowsSystemInfoProvider::platformVersion()
{
    PlatformVersion p;
    p.systemName = QStringLiteral("Windows");
    p.hasDosVersion = true;
    // GetVersion's word, rebuilt from the true version where GetVersion would
    // lie: major and minor in the low word, and on the NT family the build
    // number in the high word with its top bit clear.
    p.versionWord = GetVersion();
    const VersionRecord v = trueVersion();
    if (v.platformId == VER_PLATFORM_WIN32_NT)
        p.versionWord = (std::uint32_t(v.major) & 0xFFu) | ((std::uint32_t(v.minor) & 0xFFu) << 8) |
                        ((v.buildNumber & 0x7FFFu) << 16);
    SYSTEM_INFO si{};
    GetSystemInfo(&si);
    p.processorLevel = si.wProcessorLevel;
    return p;
}

MemoryStatus WindowsSystemInfoProvider::memoryStatus()
{
    MemoryStatus m;
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status))
        return m;
    m.totalPhys = status.ullTotalPhys;
    m.availPhys = status.ullAvailPhys;
    m.totalPage = status.ullTotalPageFile;
    m.availPage = status.ullAvailPageFile;
    return m;
}

ComputerInfo WindowsSystemInfoProvider::computerInfo()
{
    ComputerInfo c;

    char windowsDirA[MAX_PATH + 1] = {};
    const UINT length = GetWindowsDirectoryA(windowsDirA, MAX_PATH + 1);
    if (length > 0 && length <= MAX_PATH) {
        const QByteArray systemIni = QByteArray(windowsDirA) + "\\System.ini";
        char type[256] = {};
        GetPrivateProfileStringA("boot.description", "system.drv", "Unknown", type, sizeof type,
                                 systemIni.constData());
        c.computerType = orUnknown(QString::fromLocal8Bit(type));
    }

    const QString processor = QStringLiteral("HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0");
    c.processorIdentifier = orUnknown(machineString(processor, QStringLiteral("Identifier")));
    c.mmxIdentifier = orUnknown(machineString(processor, QStringLiteral("MMXIdentifier")));
    c.vendorIdentifier = orUnknown(machineString(processor, QStringLiteral("VendorIdentifier")));

    // QSysInfo::kernelVersion() has no platform id or service pack for the rows.
    const VersionRecord version = trueVersion();
    if (version.platformId >= 0)
        c.version = version;

    // From the registry, not QSysInfo: its prettyProductName() and machineUniqueId()
    // are texts of its own and MachineGuid, not ProductName and ProductId.
    c.productName = registrationValue(QStringLiteral("ProductName"));
    c.registeredOrganization = registrationValue(QStringLiteral("RegisteredOrganization"));
    c.registeredOwner = registrationValue(QStringLiteral("RegisteredOwner"));
    c.productId = registrationValue(QStringLiteral("ProductId"));
    c.windowsDirectory = orUnknown(windowsDirectory());
    return c;
}

DriveInfo WindowsSystemInfoProvider::driveInfo(int drive)
{
    DriveInfo d;
    if (drive < 0 || drive >= kDriveCount)
        return d;
    d.rootPath = QStringLiteral("%1:\\").arg(QChar(u'C' + drive));
    // An empty removable drive would otherwise ask the user to insert a disk.
    DWORD oldMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &oldMode);
    DWORD serial = 0;
    if (GetVolumeInformationW(wide(d.rootPath), nullptr, 0, &serial, nullptr, nullptr, nullptr, 0))
        d.volumeSerial = std::uint32_t(serial);
    ULARGE_INTEGER available{};
    ULARGE_INTEGER total{};
    if (GetDiskFreeSpaceExW(wide(d.rootPath), &available, &total, nullptr)) {
        d.availableBytes = std::int64_t(available.QuadPart);
        d.totalBytes = std::int64_t(total.QuadPart);
    }
    SetThreadErrorMode(oldMode, nullptr);
    return d;
}

std::unique_ptr<SystemInfoProvider> makePlatformProvider()
{
    return std::make_unique<WindowsSystemInfoProvider>();
}

} // namespace sysinfo
