// The system information without the dialog: the value texts, the parsers, and
// the Linux provider checked against the test machine. On Windows the value
// texts alone; tst_windows checks the Windows provider.
#include "core/system_info.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <condition_variable>
#include <mutex>
#ifdef Q_OS_LINUX
#include "core/system_info_linux.h"

#include <sys/statvfs.h>
#include <sys/utsname.h>
#endif

using namespace sysinfo;

namespace {

QString names(QString (*name)(int), std::initializer_list<int> ids)
{
    QStringList n;
    for (int id : ids)
        n << name(id);
    return n.join(u'|');
}

#ifdef Q_OS_LINUX

std::uint64_t meminfoBytes(const QByteArray &meminfo, const QByteArray &key)
{
    for (const QByteArray &line : meminfo.split('\n'))
        if (line.startsWith(key + ':'))
            return line.mid(key.size() + 1).simplified().split(' ').value(0).toULongLong() * 1024;
    return 0;
}

QString kernel(const QString &release)
{
    const KernelRelease k = parseKernelRelease(release);
    return QStringLiteral("%1.%2.%3 %4").arg(k.major).arg(k.minor).arg(k.patch).arg(k.rest);
}

QString prettyName(const char *osRelease)
{
    return parseOsReleasePrettyName(osRelease);
}
#endif

} // namespace

class TestSysInfo : public QObject
{
    Q_OBJECT

  private slots:
    // Every pure formatting and parsing function: what it made, what it must make.
    void texts_data()
    {
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, const QString &actual, const char *expected) {
            QTest::newRow(name) << actual << QString::fromUtf8(expected);
        };
        row("windows xp", windowsVersionText(0x0A280105u), "Windows 5.01");
        row("windows nt4, top bytes ignored", windowsVersionText(0x05650004u), "Windows 4.00");
        row("linux kernel", windowsVersionText(0x00001206u, "Linux"), "Linux 6.18");
        row("dos top byte first, low bytes ignored", dosVersionText(0x07100105u), "DOS 7.16");
        row("dos minor padded", dosVersionText(0x05050000u), "DOS 5.05");
        row("disk unreadable", diskText(-1), "0 Mb");
        row("disk rounded down", diskText(1999999), "1 Mb");
        row("disk decimal not binary", diskText(1048576000), "1048 Mb");
        row("memory binary unit, rounded down", memoryText(1000 * 1024 + 1023), "1000 K");
        row("memory 8 GiB + 1 K does not wrap", memoryText((quint64(8) << 30) + 1024), "8388609 K");
        row("serial all bits", volumeSerialText(0xFFFFFFFFu), "4294967295");
        row("processor levels 2 to 7", names(processorLevelName, {2, 3, 4, 5, 6, 7}),
            "|Intel 80386|Intel 80486|Intel Pentium|Intel Pentium III|");
        row("platforms -1 to 3", names(platformName, {-1, 0, 1, 2, 3}),
            "|Windows 3.1|Windows 95|Windows NT|");
        row("version record, high word of build dropped",
            versionRecordText(VersionRecord{4, 0, 0x040003B6u, -1, QStringLiteral(" A ")}),
            "4.0 (950. A )");
#ifdef Q_OS_LINUX
        row("kernel debian", kernel("6.1.0-18-amd64"), "6.1.0 18-amd64");
        row("kernel four numbers", kernel("5.15.153.1-microsoft-standard-WSL2"),
            "5.15.153 1-microsoft-standard-WSL2");
        row("kernel plus", kernel("6.8.0+rpt-rpi-v8"), "6.8.0 rpt-rpi-v8");
        row("kernel bare", kernel("4.4"), "4.4.0 ");
        row("kernel no numbers", kernel("custom"), "0.0.0 custom");
        row("os-release quoted", prettyName("NAME=\"Debian\"\nPRETTY_NAME=\"Debian 12\"\nID=x\n"),
            "Debian 12");
        row("os-release single quotes", prettyName("PRETTY_NAME='Fedora 40'\n"), "Fedora 40");
        row("os-release escaped quote", prettyName("PRETTY_NAME=\"My \\\"OS\\\"\"\n"), "My \"OS\"");
        row("os-release missing", prettyName("NAME=x\n"), "");
        row("owner full name", ownerName("Anna Petrova,,,", "anna"), "Anna Petrova");
        row("owner empty comment", ownerName({}, "anna"), "anna");
        row("owner rooms only", ownerName(",101,", "anna"), "anna");
        row("owner nothing", ownerName({}, {}), "Unknown");
#endif
    }
    void texts()
    {
        QFETCH(QString, actual);
        QFETCH(QString, expected);
        QCOMPARE(actual, expected);
    }

#ifdef Q_OS_LINUX
    void parseCpuInfoAndMemInfo()
    {
        // The first processor counts.
        CpuInfo c =
            parseCpuInfo("processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 6\n"
                         "model name\t: Intel(R) Core(TM) i5\nflags\t\t: fpu vme mmx sse\n\n"
                         "processor\t: 1\nvendor_id\t: Other\ncpu family\t: 15\n"
                         "model name\t: second\n");
        QCOMPARE(c.family, 6);
        QCOMPARE(c.vendorId, QStringLiteral("GenuineIntel"));
        QCOMPARE(c.modelName, QStringLiteral("Intel(R) Core(TM) i5"));
        QVERIFY(c.hasMmx);
        // "mmxext" alone is not MMX; an ARM entry has no family at all.
        QVERIFY(!parseCpuInfo("vendor_id : AuthenticAMD\nflags : fpu mmxext 3dnow\n").hasMmx);
        c = parseCpuInfo("processor : 0\nBogoMIPS : 108.00\nFeatures : fp asimd\n");
        QCOMPARE(c.family, 0);
        QVERIFY(c.modelName.isEmpty());

        // Old kernels without MemAvailable report their free memory instead.
        const MemoryStatus m =
            parseMemInfo("MemTotal: 100 kB\nMemFree: 40 kB\nSwapTotal: 8 kB\nSwapFree: 2 kB\n");
        QCOMPARE(m.totalPhys, 100ull * 1024);
        QCOMPARE(m.availPhys, 40ull * 1024);
        QCOMPARE(m.totalPage, 8ull * 1024);
        QCOMPARE(m.availPage, 2ull * 1024);
    }

    // The Linux provider against the test machine's own figures.
    void linuxProviderAgreesWithTheSystem()
    {
        LinuxSystemInfoProvider provider;
        const MemoryStatus m = provider.memoryStatus();
        QFile f(QStringLiteral("/proc/meminfo"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray meminfo = f.readAll();
        QCOMPARE(m.totalPhys, meminfoBytes(meminfo, "MemTotal"));
        QCOMPARE(m.totalPage, meminfoBytes(meminfo, "SwapTotal"));
        // The free figures move while others work on the machine.
        const auto near = [](std::int64_t a, std::int64_t b, int mib) {
            return qAbs(a - b) < (qint64(mib) << 20);
        };
        QVERIFY(near(m.availPhys, meminfoBytes(meminfo, "MemAvailable"), 512));
        QVERIFY(near(m.availPage, meminfoBytes(meminfo, "SwapFree"), 512));

        QStringList roots;
        for (const DriveInfo &drive : provider.readDrives())
            roots << drive.rootPath;
        const qsizetype at = roots.indexOf(QStringLiteral("/"));
        QVERIFY2(roots.size() <= 3 && at >= 0, qPrintable(roots.join(u' ')));
        const DriveInfo d = provider.driveInfo(int(at));
        struct statvfs s = {};
        QCOMPARE(statvfs("/", &s), 0);
        QCOMPARE(d.rootPath, QStringLiteral("/"));
        QCOMPARE(d.volumeSerial, std::optional(std::uint32_t(s.f_fsid & 0xFFFFFFFFu)));
        QCOMPARE(d.totalBytes, std::int64_t(s.f_blocks) * std::int64_t(s.f_frsize));
        QVERIFY(near(d.availableBytes, std::int64_t(s.f_bavail) * std::int64_t(s.f_frsize), 256));
        // A letter with no file system behind it is an absent drive.
        const DriveInfo none = provider.driveInfo(3);
        QVERIFY(none.rootPath.isEmpty() && !none.volumeSerial);
        QCOMPARE(none.totalBytes, -1);
        QCOMPARE(none.availableBytes, -1);

        utsname u{};
        QCOMPARE(uname(&u), 0);
        const QStringList parts = QString::fromUtf8(u.release).split(u'.');
        const PlatformVersion p = provider.platformVersion();
        QCOMPARE(p.systemName, QString::fromUtf8(u.sysname));
        QCOMPARE(int(p.versionWord & 0xFF), parts.value(0).toInt());
        QCOMPARE(int((p.versionWord >> 8) & 0xFF), parts.value(1).toInt());
        QVERIFY(!p.hasDosVersion);
        const ComputerInfo c = provider.computerInfo();
        QVERIFY(c.version.has_value());
        QCOMPARE(c.version->major, parts.value(0).toInt());
        QCOMPARE(c.version->minor, parts.value(1).toInt());
        QVERIFY(QString::fromUtf8(u.release).endsWith(c.version->servicePack));
        // The machine id as the file gives it, which the panel read itself before.
        QFile machineId(QStringLiteral("/etc/machine-id"));
        if (machineId.open(QIODevice::ReadOnly))
            QCOMPARE(c.productId, QString::fromLatin1(machineId.readAll().trimmed()));
    }

    // Only file systems on a disk count as drives: kernel, memory and package
    // file systems never, the root always, each disk once.
    void drivesAreDisksOnly()
    {
        const auto points = [](const QByteArray &table) {
            return diskMountPoints(parseMounts(table)).join(u' ');
        };
        const QByteArray kernel = "proc /proc proc rw 0 0\n"
                                  "sysfs /sys sysfs rw 0 0\n"
                                  "devtmpfs /dev devtmpfs rw 0 0\n"
                                  "devpts /dev/pts devpts rw 0 0\n"
                                  "tmpfs /dev/shm tmpfs rw 0 0\n"
                                  "cgroup /sys/fs/cgroup/cpu cgroup rw 0 0\n"
                                  "cgroup2 /sys/fs/cgroup/unified cgroup2 rw 0 0\n"
                                  "/dev/loop3 /snap/core/1 squashfs ro 0 0\n";
        QCOMPARE(points(kernel + "/dev/vda / ext4 rw 0 0\n/dev/vda /srv/bind ext4 rw 0 0\n"
                                 "tank/home /home zfs rw 0 0\n/dev/sdb1 /data xfs rw 0 0\n"),
                 QStringLiteral("/ /home /data"));
        // A container's root is an overlay, where the program's files still are.
        QCOMPARE(points("overlay / overlay rw 0 0\n" + kernel), QStringLiteral("/"));
    }

    // A dead network or FUSE server can hang statvfs for good: such file
    // systems are not asked, and a disk that does not answer in time costs one
    // short wait and is then left out until its call has returned.
    void hungMountsDoNotHoldTheDialog()
    {
        const QByteArray table = "/dev/sda1 / ext4 rw 0 0\n"
                                 "/dev/sdb1 /mnt/hung ext4 rw 0 0\n"
                                 "srv:/x /mnt/nfs nfs4 rw 0 0\n"
                                 "//srv/share /mnt/smb cifs rw 0 0\n"
                                 "/dev/fuse /mnt/ssh fuse.sshfs rw 0 0\n"
                                 "tmpfs /tmp tmpfs rw 0 0\n"
                                 "/dev/sda1 /srv/bind ext4 rw 0 0\n"
                                 "/dev/sdc1 /media/usb\\040stick vfat rw 0 0\n";
        struct Shared
        {
            std::mutex mutex;
            std::condition_variable changed;
            bool released = false;
            QStringList asked;
        };
        auto shared = std::make_shared<Shared>();
        const auto statfs = [shared](const QByteArray &path, struct statvfs &out) {
            std::unique_lock lock(shared->mutex);
            shared->asked << QString::fromUtf8(path);
            if (path == "/mnt/hung")
                shared->changed.wait(lock, [&] { return shared->released; });
            out.f_blocks = 1000;
            out.f_frsize = 4096;
            return true;
        };
        LinuxSystemInfoProvider provider(
            {[&] { return table; }, TimedStatfs(statfs, std::chrono::milliseconds(200))});
        const auto roots = [&] {
            QStringList r;
            for (int d = 0; d < kDriveCount; ++d)
                r << provider.driveInfo(d).rootPath;
            return r;
        };
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(roots(), QStringList({"/", "/media/usb stick", ""}));
        QVERIFY(clock.elapsed() < 1000);
        clock.restart();
        QCOMPARE(roots(), QStringList({"/", "/media/usb stick", ""}));
        QVERIFY(clock.elapsed() < 100);
        {
            const std::lock_guard lock(shared->mutex);
            QCOMPARE(shared->asked,
                     QStringList({"/", "/mnt/hung", "/media/usb stick", "/", "/media/usb stick"}));
            shared->released = true;
        }
        shared->changed.notify_all();
        // Once its call has come back, the disk is asked again.
        QTRY_COMPARE(roots(), QStringList({"/", "/mnt/hung", "/media/usb stick"}));
    }
#endif
};

QTEST_GUILESS_MAIN(TestSysInfo)
#include "tst_sysinfo.moc"
