// System information on Linux: the kernel and the machine id through QSysInfo,
// uname for the kernel's name, /proc/cpuinfo, /proc/meminfo, the mounted file
// systems (mounts_linux.cpp), DMI, /etc/os-release and the password entry of
// the user.
#include "core/system_info_linux.h"

#include <QFile>
#include <QRegularExpression>
#include <QSysInfo>

#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

namespace sysinfo {

namespace {

QByteArray readSystemFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    // Files under /proc and /sys report size 0; readAll reads to the end anyway.
    return f.readAll();
}

// "Key: value" or "key<TAB>: value" lines.
bool splitField(const QByteArray &line, char separator, QByteArray &key, QByteArray &value)
{
    const qsizetype at = line.indexOf(separator);
    if (at < 0)
        return false;
    key = line.left(at).trimmed();
    value = line.mid(at + 1).trimmed();
    return true;
}

QString orUnknown(const QString &text)
{
    const QString t = text.trimmed();
    return t.isEmpty() ? kUnknown : t;
}

} // namespace

MemoryStatus parseMemInfo(const QByteArray &meminfo)
{
    MemoryStatus m;
    bool haveAvailable = false;
    std::uint64_t memFree = 0;
    for (const QByteArray &line : meminfo.split('\n')) {
        QByteArray key, value;
        if (!splitField(line, ':', key, value))
            continue;
        // Values are in kB (units of 1024 bytes) whatever the line says.
        const std::uint64_t bytes = value.split(' ').value(0).toULongLong() * 1024u;
        if (key == "MemTotal") {
            m.totalPhys = bytes;
        } else if (key == "MemAvailable") {
            m.availPhys = bytes;
            haveAvailable = true;
        } else if (key == "MemFree") {
            memFree = bytes;
        } else if (key == "SwapTotal") {
            m.totalPage = bytes;
        } else if (key == "SwapFree") {
            m.availPage = bytes;
        }
    }
    // Kernels before 3.14 have no MemAvailable.
    if (!haveAvailable)
        m.availPhys = memFree;
    return m;
}

CpuInfo parseCpuInfo(const QByteArray &cpuinfo)
{
    CpuInfo c;
    for (const QByteArray &line : cpuinfo.split('\n')) {
        if (line.trimmed().isEmpty()) {
            if (!c.vendorId.isEmpty() || !c.modelName.isEmpty())
                break; // the first processor is enough
            continue;
        }
        QByteArray key, value;
        if (!splitField(line, ':', key, value))
            continue;
        if (key == "cpu family")
            c.family = value.toInt();
        else if (key == "model name")
            c.modelName = QString::fromUtf8(value);
        else if (key == "vendor_id")
            c.vendorId = QString::fromUtf8(value);
        else if (key == "flags")
            c.hasMmx = value.split(' ').contains("mmx");
    }
    return c;
}

QString parseOsReleasePrettyName(const QByteArray &osRelease)
{
    for (const QByteArray &line : osRelease.split('\n')) {
        QByteArray key, value;
        if (!splitField(line, '=', key, value) || key != "PRETTY_NAME")
            continue;
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front()) {
            value = value.mid(1, value.size() - 2);
            QByteArray plain;
            for (qsizetype i = 0; i < value.size(); ++i) {
                if (value[i] == '\\' && i + 1 < value.size())
                    ++i;
                plain += value[i];
            }
            value = plain;
        }
        return QString::fromUtf8(value);
    }
    return QString();
}

KernelRelease parseKernelRelease(const QString &release)
{
    static const QRegularExpression re(QStringLiteral(R"(^(\d+)(?:\.(\d+))?(?:\.(\d+))?(.*)$)"),
                                       QRegularExpression::DotMatchesEverythingOption);
    KernelRelease k;
    const QRegularExpressionMatch m = re.match(release.trimmed());
    if (!m.hasMatch()) {
        k.rest = release.trimmed();
        return k;
    }
    k.major = m.captured(1).toInt();
    k.minor = m.captured(2).toInt();
    k.patch = m.captured(3).toInt();
    k.rest = m.captured(4);
    // The separator after the numbers would only double the dot of "%d.%s".
    if (!k.rest.isEmpty() && QStringLiteral("-.+_~").contains(k.rest.front()))
        k.rest.remove(0, 1);
    return k;
}

QString ownerName(const QByteArray &gecos, const QByteArray &login)
{
    // The comment field is "Full Name,room,work phone,home phone,other".
    QString fullName = QString::fromUtf8(gecos.split(',').value(0)).trimmed();
    if (!fullName.isEmpty())
        return fullName;
    return orUnknown(QString::fromUtf8(login));
}

PlatformVersion LinuxSystemInfoProvider::platformVersion()
{
    PlatformVersion p;
    p.hasDosVersion = false;
    // uname for the name: QSysInfo::kernelType() lowers it ("linux"), the panel shows "Linux".
    utsname u{};
    p.systemName = uname(&u) == 0 ? QString::fromUtf8(u.sysname) : kUnknown;
    const KernelRelease k = parseKernelRelease(QSysInfo::kernelVersion());
    p.versionWord = (std::uint32_t(k.major) & 0xFFu) | ((std::uint32_t(k.minor) & 0xFFu) << 8);
    p.processorLevel = parseCpuInfo(readSystemFile(QStringLiteral("/proc/cpuinfo"))).family;
    return p;
}

MemoryStatus LinuxSystemInfoProvider::memoryStatus()
{
    return parseMemInfo(readSystemFile(QStringLiteral("/proc/meminfo")));
}

ComputerInfo LinuxSystemInfoProvider::computerInfo()
{
    ComputerInfo c;
    c.computerType = orUnknown(
        QString::fromUtf8(readSystemFile(QStringLiteral("/sys/class/dmi/id/product_name"))));

    const CpuInfo cpu = parseCpuInfo(readSystemFile(QStringLiteral("/proc/cpuinfo")));
    c.processorIdentifier = orUnknown(cpu.modelName);
    c.mmxIdentifier = cpu.hasMmx ? QStringLiteral("MMX") : kUnknown;
    c.vendorIdentifier = orUnknown(cpu.vendorId);

    // Empty only where the kernel could not be asked; the version rows then keep their texts.
    if (const QString release = QSysInfo::kernelVersion(); !release.isEmpty()) {
        const KernelRelease k = parseKernelRelease(release);
        c.version = VersionRecord{k.major, k.minor, std::uint32_t(k.patch), -1, k.rest};
    }

    // Read by hand: QSysInfo::prettyProductName() shows the kernel's name and
    // release where os-release has no PRETTY_NAME, and the panel must show
    // "Unknown"; it also keeps quotes and backslashes the file escapes.
    c.productName =
        orUnknown(parseOsReleasePrettyName(readSystemFile(QStringLiteral("/etc/os-release"))));
    if (const passwd *pw = getpwuid(getuid()))
        c.registeredOwner = ownerName(pw->pw_gecos, pw->pw_name);
    c.productId = orUnknown(QString::fromLatin1(QSysInfo::machineUniqueId()));
    return c;
}

LinuxSystemInfoProvider::LinuxSystemInfoProvider()
    : LinuxSystemInfoProvider(Sources{
          [] { return readSystemFile(QStringLiteral("/proc/self/mounts")); }, TimedStatfs()})
{
}

LinuxSystemInfoProvider::LinuxSystemInfoProvider(Sources sources) : m_sources(std::move(sources)) {}

QList<DriveInfo> LinuxSystemInfoProvider::readDrives()
{
    QList<DriveInfo> drives;
    for (const QString &point : diskMountPoints(parseMounts(m_sources.mountTable()))) {
        if (drives.size() == kDriveCount)
            break;
        const std::optional<struct statvfs> s = m_sources.statfs(point);
        // A file system that does not answer in time, or holds nothing, is no drive.
        if (!s || s->f_blocks == 0)
            continue;
        DriveInfo d;
        d.rootPath = point;
        d.volumeSerial = std::uint32_t(s->f_fsid & 0xFFFFFFFFu);
        d.availableBytes = std::int64_t(s->f_bavail) * std::int64_t(s->f_frsize);
        d.totalBytes = std::int64_t(s->f_blocks) * std::int64_t(s->f_frsize);
        drives << d;
    }
    return drives;
}

DriveInfo LinuxSystemInfoProvider::driveInfo(int drive)
{
    if (drive == 0 || !m_haveDrives) {
        m_drives = readDrives();
        m_haveDrives = true;
    }
    return m_drives.value(drive);
}

std::unique_ptr<SystemInfoProvider> makePlatformProvider()
{
    return std::make_unique<LinuxSystemInfoProvider>();
}

} // namespace sysinfo
