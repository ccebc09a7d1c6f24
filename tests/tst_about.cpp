// The About dialog and its system information: the value texts, the Linux
// sources checked against the test machine, and the dialog opened from the main
// window's toolbar with a provider the test controls.
#include "about/about_form.h"
#include "about/system_info.h"
#include "about/system_info_linux.h"
#include "app/main_window.h"
#include "tests/test_support.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <sys/statvfs.h>
#include <sys/utsname.h>

using namespace sysinfo;

namespace {

// Hands out whatever values the test puts into it and logs every request.
class FakeProvider : public SystemInfoProvider
{
  public:
    SystemInfo info;
    QStringList calls;

    PlatformVersion platformVersion() override
    {
        calls << QStringLiteral("platform");
        return info.platform;
    }
    MemoryStatus memoryStatus() override
    {
        calls << QStringLiteral("memory");
        return info.memory;
    }
    ComputerInfo computerInfo() override
    {
        calls << QStringLiteral("computer");
        return info.computer;
    }
    DriveInfo driveInfo(int drive) override
    {
        calls << QStringLiteral("drive%1").arg(drive);
        return info.drives[std::size_t(drive)];
    }
};

DriveInfo drive(std::uint32_t serial, std::int64_t avail, std::int64_t total)
{
    DriveInfo d;
    d.rootPath = QStringLiteral("/mnt/x");
    d.volumeSerial = serial;
    d.availableBytes = avail;
    d.totalBytes = total;
    return d;
}

// A machine with more than 4 GiB of memory and drives C and E but no D.
SystemInfo sampleMachine()
{
    SystemInfo s;
    s.platform.versionWord = 0x0A280105; // Windows 5.01, DOS 10.40
    s.platform.processorLevel = 6;
    s.memory = {std::uint64_t(6) << 30, (std::uint64_t(5) << 30) + 2047, 0x100000000ull, 1023};
    s.computer.computerType = QStringLiteral("Test Box 3000");
    s.computer.processorIdentifier = QStringLiteral("x86 Family 6 Model 8");
    s.computer.mmxIdentifier = QStringLiteral("MMX");
    s.computer.vendorIdentifier = QStringLiteral("GenuineIntel");
    s.computer.version = VersionRecord{5, 1, 0x0A280A28, 2, QStringLiteral("Service Pack 2")};
    s.computer.productName = QStringLiteral("Microsoft Windows XP");
    s.computer.registeredOrganization = QStringLiteral("Org");
    s.computer.registeredOwner = QStringLiteral("Owner");
    s.computer.productId = QStringLiteral("55274-640-1234567-23456");
    s.computer.windowsDirectory = QStringLiteral("C:\\WINDOWS");
    s.drives[0] = drive(0xDEADBEEF, 1999999, 80026361856);
    s.drives[2] = drive(1234, 0, 700000000);
    return s;
}

QString text(const QWidget *w)
{
    return w->property("text").toString();
}

// The texts of every value row, in a fixed order.
QStringList allValues(const TAboutForm &f)
{
    QStringList v;
    for (const QWidget *w : std::initializer_list<const QWidget *>{
             f.OSNameLabel, f.LabelWinVer, f.VersionLabel, f.VersionNumberLabel, f.LabelDosVer,
             f.VendorIdentifierLabel, f.ProcessorLabel, f.LabelTipCPU, f.MMXIdentifierLabel,
             f.SerNumberEdit, f.TotalPhys, f.AvailPhys, f.TotalPage, f.AvailPage,
             f.RegisteredOrganizationLabel, f.RegisteredOwnerLabel, f.WindowsDirLabel,
             f.ComputerLabel})
        v << text(w);
    for (int d = 0; d < 3; ++d)
        v << text(f.LabelDiskSize[d]) << text(f.LabelDiskFree[d]) << text(f.LabelHDD[d]);
    return v;
}

struct Opened
{
    Sandbox sandbox;
    RecordingPrompts prompts;
    TfrmMain main;
    TAboutForm about;
    FakeProvider provider;
    QList<QUrl> opened;

    Opened()
    {
        about.setSystemInfoProvider(&provider);
        about.setUrlOpener([this](const QUrl &u) {
            opened << u;
            return true;
        });
        main.setSecondaryWindows(&about, nullptr);
        provider.info = sampleMachine();
    }

    // Opens the dialog with the toolbar button, as the operator does.
    bool open(const std::function<void()> &check)
    {
        bool ran = false;
        QTimer poll;
        int waited = 0;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!about.isVisible())
                return;
            if (QApplication::activeWindow() != &about && (waited += 10) < 3000)
                return;
            poll.stop();
            ran = QApplication::activeWindow() == &about;
            check();
            about.BitBtnClose->click();
        });
        poll.start(10);
        main.SpeedButtonAbout->click();
        return ran;
    }
};

std::uint64_t meminfoKb(const QByteArray &meminfo, const QByteArray &key)
{
    for (const QByteArray &line : meminfo.split('\n'))
        if (line.startsWith(key + ':'))
            return line.mid(key.size() + 1).simplified().split(' ').value(0).toULongLong();
    return 0;
}

} // namespace

class TestAbout : public QObject
{
    Q_OBJECT

  private slots:
    // ---- the value texts ----

    void windowsVersionText_data()
    {
        QTest::addColumn<uint>("word");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("xp") << 0x0A280105u << "Windows"
                            << "Windows 5.01";
        QTest::newRow("nt4 minor 0") << 0x05650004u << "Windows"
                                     << "Windows 4.00";
        QTest::newRow("two-digit minor") << 0x00000A06u << "Windows"
                                         << "Windows 6.10";
        QTest::newRow("top bytes ignored") << 0xFFFF0003u << "Windows"
                                           << "Windows 3.00";
        QTest::newRow("linux kernel") << 0x00001206u << "Linux"
                                      << "Linux 6.18";
    }
    void windowsVersionText()
    {
        QFETCH(uint, word);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QCOMPARE(sysinfo::windowsVersionText(word, name), expected);
    }

    void dosVersionText_data()
    {
        QTest::addColumn<uint>("word");
        QTest::addColumn<QString>("expected");
        QTest::newRow("top byte first") << 0x07100105u << "DOS 7.16";
        QTest::newRow("minor 0") << 0x0A000105u << "DOS 10.00";
        QTest::newRow("minor 5 padded") << 0x05050000u << "DOS 5.05";
        QTest::newRow("all ones") << 0xFFFFFFFFu << "DOS 255.255";
        QTest::newRow("low bytes ignored") << 0x0000FFFFu << "DOS 0.00";
    }
    void dosVersionText()
    {
        QFETCH(uint, word);
        QFETCH(QString, expected);
        QCOMPARE(sysinfo::dosVersionText(word), expected);
    }

    void diskText_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("unreadable") << qint64(-1) << "0 Mb";
        QTest::newRow("empty") << qint64(0) << "0 Mb";
        QTest::newRow("just under") << qint64(999999) << "0 Mb";
        QTest::newRow("one") << qint64(1000000) << "1 Mb";
        QTest::newRow("rounded down") << qint64(1999999) << "1 Mb";
        QTest::newRow("decimal not binary") << qint64(1048576000) << "1048 Mb";
        QTest::newRow("beyond 32 bits") << qint64(500107862016) << "500107 Mb";
    }
    void diskText()
    {
        QFETCH(qint64, bytes);
        QFETCH(QString, expected);
        QCOMPARE(sysinfo::diskText(bytes), expected);
    }

    void memoryText_data()
    {
        QTest::addColumn<quint64>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero") << quint64(0) << "0 K";
        QTest::newRow("rounded down") << quint64(1023) << "0 K";
        QTest::newRow("binary unit") << quint64(1000 * 1024 + 1023) << "1000 K";
        QTest::newRow("4 GiB does not wrap") << (quint64(1) << 32) << "4194304 K";
        QTest::newRow("8 GiB + 1 K") << (quint64(8) << 30) + 1024 << "8388609 K";
        QTest::newRow("1 TiB") << (quint64(1) << 40) << "1073741824 K";
    }
    void memoryText()
    {
        QFETCH(quint64, bytes);
        QFETCH(QString, expected);
        QCOMPARE(sysinfo::memoryText(bytes), expected);
    }

    void volumeSerialText_data()
    {
        QTest::addColumn<uint>("serial");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero") << 0u << "0";
        QTest::newRow("largest positive") << 0x7FFFFFFFu << "2147483647";
        QTest::newRow("top bit set") << 0x80000000u << "2147483648";
        QTest::newRow("all bits") << 0xFFFFFFFFu << "4294967295";
    }
    void volumeSerialText()
    {
        QFETCH(uint, serial);
        QFETCH(QString, expected);
        QCOMPARE(sysinfo::volumeSerialText(serial), expected);
    }

    void processorLevelName_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("expected");
        QTest::newRow("2") << 2 << "";
        QTest::newRow("3") << 3 << "Intel 80386";
        QTest::newRow("4") << 4 << "Intel 80486";
        QTest::newRow("5") << 5 << "Intel Pentium";
        QTest::newRow("6") << 6 << "Intel Pentium III";
        QTest::newRow("7") << 7 << "";
        QTest::newRow("amd family 25") << 25 << "";
        QTest::newRow("negative") << -1 << "";
    }
    void processorLevelName()
    {
        QFETCH(int, level);
        QFETCH(QString, expected);
        QCOMPARE(sysinfo::processorLevelName(level), expected);
    }

    void platformName_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("expected");
        QTest::newRow("0") << 0 << "Windows 3.1";
        QTest::newRow("1") << 1 << "Windows 95";
        QTest::newRow("2") << 2 << "Windows NT";
        QTest::newRow("3") << 3 << "";
        QTest::newRow("none") << -1 << "";
    }
    void platformName()
    {
        QFETCH(int, id);
        QFETCH(QString, expected);
        QCOMPARE(sysinfo::platformName(id), expected);
    }

    void versionRecordText_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<uint>("build");
        QTest::addColumn<QString>("servicePack");
        QTest::addColumn<QString>("expected");
        QTest::newRow("xp") << 5 << 1 << 2600u << "Service Pack 2"
                            << "5.1 (2600.Service Pack 2)";
        QTest::newRow("95: high word of build dropped") << 4 << 0 << 0x040003B6u << " A "
                                                        << "4.0 (950. A )";
        QTest::newRow("no pack") << 6 << 18 << 44u << ""
                                 << "6.18 (44.)";
    }
    void versionRecordText()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(uint, build);
        QFETCH(QString, servicePack);
        QFETCH(QString, expected);
        QCOMPARE(sysinfo::versionRecordText(VersionRecord{major, minor, build, -1, servicePack}),
                 expected);
    }

    // ---- the Linux sources ----

    void parseKernelRelease_data()
    {
        QTest::addColumn<QString>("release");
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("patch");
        QTest::addColumn<QString>("rest");
        QTest::newRow("debian") << "6.1.0-18-amd64" << 6 << 1 << 0 << "18-amd64";
        QTest::newRow("four numbers") << "5.15.153.1-microsoft-standard-WSL2" << 5 << 15 << 153
                                      << "1-microsoft-standard-WSL2";
        QTest::newRow("plus") << "6.8.0+rpt-rpi-v8" << 6 << 8 << 0 << "rpt-rpi-v8";
        QTest::newRow("bare") << "4.4" << 4 << 4 << 0 << "";
        QTest::newRow("rc") << "6.10.0-rc3" << 6 << 10 << 0 << "rc3";
        QTest::newRow("no numbers") << "custom" << 0 << 0 << 0 << "custom";
    }
    void parseKernelRelease()
    {
        QFETCH(QString, release);
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, patch);
        QFETCH(QString, rest);
        const KernelRelease k = sysinfo::parseKernelRelease(release);
        QCOMPARE(k.major, major);
        QCOMPARE(k.minor, minor);
        QCOMPARE(k.patch, patch);
        QCOMPARE(k.rest, rest);
    }

    void parseCpuInfo()
    {
        const QByteArray two = "processor\t: 0\n"
                               "vendor_id\t: GenuineIntel\n"
                               "cpu family\t: 6\n"
                               "model name\t: Intel(R) Core(TM) i5 CPU @ 2.40GHz\n"
                               "flags\t\t: fpu vme mmx sse\n"
                               "\n"
                               "processor\t: 1\n"
                               "vendor_id\t: Other\n"
                               "cpu family\t: 15\n"
                               "model name\t: second\n";
        CpuInfo c = sysinfo::parseCpuInfo(two);
        QCOMPARE(c.family, 6);
        QCOMPARE(c.vendorId, QStringLiteral("GenuineIntel"));
        QCOMPARE(c.modelName, QStringLiteral("Intel(R) Core(TM) i5 CPU @ 2.40GHz"));
        QVERIFY(c.hasMmx);

        // "mmxext" alone is not MMX; an ARM entry has no family at all.
        c = sysinfo::parseCpuInfo("vendor_id : AuthenticAMD\nflags : fpu mmxext 3dnow\n");
        QVERIFY(!c.hasMmx);
        c = sysinfo::parseCpuInfo("processor : 0\nBogoMIPS : 108.00\nFeatures : fp asimd\n");
        QCOMPARE(c.family, 0);
        QVERIFY(c.modelName.isEmpty());
    }

    void parseOsRelease_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("quoted") << QByteArray("NAME=\"Debian\"\nPRETTY_NAME=\"Debian GNU/Linux 12 "
                                              "(bookworm)\"\nID=debian\n")
                                << "Debian GNU/Linux 12 (bookworm)";
        QTest::newRow("plain") << QByteArray("PRETTY_NAME=Alpine\n") << "Alpine";
        QTest::newRow("single quotes") << QByteArray("PRETTY_NAME='Fedora 40'\n") << "Fedora 40";
        QTest::newRow("escaped quote")
            << QByteArray("PRETTY_NAME=\"My \\\"OS\\\"\"\n") << "My \"OS\"";
        QTest::newRow("missing") << QByteArray("NAME=x\n") << "";
    }
    void parseOsRelease()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, expected);
        QCOMPARE(sysinfo::parseOsReleasePrettyName(text), expected);
    }

    void parseMemInfo()
    {
        const MemoryStatus m = sysinfo::parseMemInfo("MemTotal:       24683736 kB\n"
                                                     "MemFree:        23852364 kB\n"
                                                     "MemAvailable:   24309276 kB\n"
                                                     "SwapTotal:       8388604 kB\n"
                                                     "SwapFree:        8000000 kB\n");
        QCOMPARE(m.totalPhys, 24683736ull * 1024);
        QCOMPARE(m.availPhys, 24309276ull * 1024);
        QCOMPARE(m.totalPage, 8388604ull * 1024);
        QCOMPARE(m.availPage, 8000000ull * 1024);
        // Old kernels without MemAvailable report their free memory instead.
        QCOMPARE(sysinfo::parseMemInfo("MemTotal: 100 kB\nMemFree: 40 kB\n").availPhys,
                 40ull * 1024);
    }

    void ownerName_data()
    {
        QTest::addColumn<QByteArray>("gecos");
        QTest::addColumn<QByteArray>("login");
        QTest::addColumn<QString>("expected");
        QTest::newRow("full name with rooms")
            << QByteArray("Anna Petrova,,,") << QByteArray("anna") << "Anna Petrova";
        QTest::newRow("empty comment") << QByteArray() << QByteArray("anna") << "anna";
        QTest::newRow("rooms only") << QByteArray(",101,") << QByteArray("anna") << "anna";
        QTest::newRow("nothing") << QByteArray() << QByteArray() << "Unknown";
    }
    void ownerName()
    {
        QFETCH(QByteArray, gecos);
        QFETCH(QByteArray, login);
        QFETCH(QString, expected);
        QCOMPARE(sysinfo::ownerName(gecos, login), expected);
    }

    void linuxMemoryAgreesWithProcMeminfo()
    {
        LinuxSystemInfoProvider provider;
        const MemoryStatus m = provider.memoryStatus();
        QFile f(QStringLiteral("/proc/meminfo"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray meminfo = f.readAll();
        QCOMPARE(m.totalPhys, meminfoKb(meminfo, "MemTotal") * 1024);
        QCOMPARE(m.totalPage, meminfoKb(meminfo, "SwapTotal") * 1024);
        // The free figures move while others work on the machine.
        constexpr qint64 slack = qint64(512) << 20;
        QVERIFY(qAbs(qint64(m.availPhys) - qint64(meminfoKb(meminfo, "MemAvailable") * 1024)) <
                slack);
        QVERIFY(qAbs(qint64(m.availPage) - qint64(meminfoKb(meminfo, "SwapFree") * 1024)) < slack);
        QVERIFY(m.availPhys <= m.totalPhys);
        QVERIFY(m.totalPhys > 0);
    }

    void linuxRootDriveAgreesWithStatvfs()
    {
        LinuxSystemInfoProvider provider;
        const QStringList roots = LinuxSystemInfoProvider::driveRoots();
        QVERIFY2(roots.size() <= 3, qPrintable(roots.join(u' ')));
        const qsizetype at = roots.indexOf(QStringLiteral("/"));
        QVERIFY2(at >= 0, qPrintable(roots.join(u' ')));

        const DriveInfo d = provider.driveInfo(int(at));
        struct statvfs s
        {
        };
        QCOMPARE(statvfs("/", &s), 0);
        QCOMPARE(d.rootPath, QStringLiteral("/"));
        QVERIFY(d.volumeSerial.has_value());
        QCOMPARE(*d.volumeSerial, std::uint32_t(s.f_fsid & 0xFFFFFFFFu));
        QCOMPARE(d.totalBytes, std::int64_t(s.f_blocks) * std::int64_t(s.f_frsize));
        const std::int64_t avail = std::int64_t(s.f_bavail) * std::int64_t(s.f_frsize);
        QVERIFY(qAbs(d.availableBytes - avail) < (qint64(256) << 20));

        // A letter with no file system behind it is an absent drive.
        const DriveInfo none = provider.driveInfo(3);
        QVERIFY(none.rootPath.isEmpty());
        QVERIFY(!none.volumeSerial);
        QCOMPARE(none.totalBytes, -1);
        QCOMPARE(none.availableBytes, -1);
    }

    void linuxVersionAgreesWithUname()
    {
        utsname u{};
        QCOMPARE(uname(&u), 0);
        const QStringList parts = QString::fromUtf8(u.release).split(u'.');
        LinuxSystemInfoProvider provider;
        const PlatformVersion p = provider.platformVersion();
        QCOMPARE(p.systemName, QString::fromUtf8(u.sysname));
        QCOMPARE(int(p.versionWord & 0xFF), parts.value(0).toInt());
        QCOMPARE(int((p.versionWord >> 8) & 0xFF), parts.value(1).toInt());
        QVERIFY(!p.hasDosVersion);
        const ComputerInfo c = provider.computerInfo();
        QVERIFY(c.version.has_value());
        QCOMPARE(c.version->platformId, -1);
        QVERIFY(QString::fromUtf8(u.release).endsWith(c.version->servicePack));
        QCOMPARE(c.registeredOrganization, kUnknown);
        QCOMPARE(c.windowsDirectory, kUnknown);
    }

    // ---- the dialog ----

    void dialogAtRest()
    {
        TAboutForm f;
        QCOMPARE(f.objectName(), QStringLiteral("TAboutForm"));
        QCOMPARE(f.windowTitle(), QStringLiteral("О программе"));
        QCOMPARE(f.size(), QSize(395, 244));
        QCOMPARE(f.minimumSize(), f.maximumSize());
        QVERIFY(!(f.windowFlags() & Qt::WindowCloseButtonHint));
        QVERIFY(!(f.windowFlags() & Qt::WindowSystemMenuHint));
        QCOMPARE(f.content->palette().color(QPalette::Window), QColor(166, 202, 240));
        QCOMPARE(f.LabelVersion->text(),
                 QStringLiteral("Version 1.3                 june 2006 г."));
        QCOMPARE(f.LabelVersion->pos(), QPoint(24, 16));
        QCOMPARE(f.BitBtnClose->text(), QStringLiteral("OK"));
        QVERIFY(f.BitBtnClose->isDefault());
        QCOMPARE(f.BitBtnClose->geometry(), QRect(293, 154, 75, 25));
        QCOMPARE(f.SpeedButtonMore->text(), QStringLiteral(" SYS INFO"));
        QCOMPARE(f.SpeedButtonMore->geometry(), QRect(293, 196, 75, 25));
        // The content is larger than the client area, so the dialog scrolls.
        QVERIFY(f.content->width() >= 700 && f.content->height() >= 590);
        // Before any showing every value holds its placeholder.
        const QStringList values = allValues(f);
        for (qsizetype i = 0; i < values.size(); ++i)
            QCOMPARE(values[i], i == 7 ? QStringLiteral("0-") : QStringLiteral("0"));
        QCOMPARE(f.LabelTipCPU->text(), QStringLiteral("0-"));
    }

    void wrappedTextsFitTheirBoxes()
    {
        // The web address is the last line of its label: cut off, the link is lost.
        TAboutForm f;
        QCOMPARE(f.LabelHTTP->geometry(), QRect(24, 84, 168, 39));
        QVERIFY(f.LabelHTTP->text().endsWith(QStringLiteral("  fountain.example.org")));
        QVERIFY2(f.LabelHTTP->heightForWidth(168) <= 39,
                 qPrintable(QString::number(f.LabelHTTP->heightForWidth(168))));
        auto *rights = f.content->findChild<QLabel *>(QStringLiteral("LabelRights"));
        QVERIFY(rights);
        QCOMPARE(rights->geometry(), QRect(24, 196, 187, 32));
        QVERIFY(rights->heightForWidth(187) <= 32);
        // The version line ends before the picture at left 200.
        QVERIFY(f.LabelVersion->geometry().right() < 200);
    }

    void showingFillsEveryRowInHandlerOrder()
    {
        Opened o;
        QStringList seen;
        QVERIFY(o.open([&] { seen = allValues(o.about); }));
        QCOMPARE(o.provider.calls,
                 QStringList({"memory", "computer", "platform", "drive0", "drive1", "drive2"}));
        const QStringList expected = {
            "Microsoft Windows XP",
            "Windows 5.01",
            "5.1 (2600.Service Pack 2)",
            "Windows NT",
            "DOS 10.40",
            "GenuineIntel",
            "x86 Family 6 Model 8",
            "Intel Pentium III",
            "MMX",
            "55274-640-1234567-23456",
            "6291456 K", // 6 GiB: a 32-bit count would have wrapped
            "5242881 K",
            "4194304 K",
            "0 K",
            "Org",
            "Owner",
            "C:\\WINDOWS",
            "Test Box 3000",
            "80026 Mb",
            "1 Mb",
            "3735928559", // serial with the top bit set, positive
            "0 Mb",       // drive D is absent ...
            "0 Mb",
            "0", // ... and its number row keeps its text
            "700 Mb",
            "0 Mb",
            "1234",
        };
        QCOMPARE(seen, expected);
    }

    void secondShowingReadsEveryValueAgain()
    {
        Opened o;
        QVERIFY(o.open([] {}));
        // Between showings a drive D appears, memory changes, another owner...
        o.provider.info.drives[1] = drive(77, 5000000, 9000000);
        o.provider.info.memory.availPhys = 3 << 20;
        o.provider.info.computer.registeredOwner = QStringLiteral("Second");
        o.provider.info.platform.versionWord = 0x00000004;
        o.provider.info.platform.processorLevel = 4;
        o.provider.calls.clear();
        QStringList seen;
        QVERIFY(o.open([&] { seen = allValues(o.about); }));
        QCOMPARE(o.provider.calls,
                 QStringList({"memory", "computer", "platform", "drive0", "drive1", "drive2"}));
        QCOMPARE(seen[11], QStringLiteral("3072 K"));
        QCOMPARE(seen[15], QStringLiteral("Second"));
        QCOMPARE(seen[1], QStringLiteral("Windows 4.00"));
        QCOMPARE(seen[4], QStringLiteral("DOS 0.00"));
        QCOMPARE(seen[7], QStringLiteral("Intel 80486"));
        QCOMPARE(seen.mid(21, 3), QStringList({"9 Mb", "5 Mb", "77"}));

        // ... and then goes again: the figures fall to 0, the number stays.
        o.provider.info.drives[1] = DriveInfo{};
        QVERIFY(o.open([&] { seen = allValues(o.about); }));
        QCOMPARE(seen.mid(21, 3), QStringList({"0 Mb", "0 Mb", "77"}));
    }

    void missingValuesShowUnknown()
    {
        Opened o;
        o.provider.info = SystemInfo{};
        o.provider.info.platform.hasDosVersion = false;
        o.provider.info.platform.systemName = QStringLiteral("Linux");
        o.provider.info.platform.processorLevel = 26;
        QVERIFY(o.open([] {}));
        const TAboutForm &f = o.about;
        for (const QWidget *w : std::initializer_list<const QWidget *>{
                 f.ComputerLabel, f.ProcessorLabel, f.MMXIdentifierLabel, f.VendorIdentifierLabel,
                 f.OSNameLabel, f.RegisteredOrganizationLabel, f.RegisteredOwnerLabel,
                 f.SerNumberEdit, f.WindowsDirLabel})
            QCOMPARE(text(w), QStringLiteral("Unknown"));
        // No version record and no DOS: those rows keep their placeholders.
        QCOMPARE(f.VersionLabel->text(), QStringLiteral("0"));
        QCOMPARE(f.VersionNumberLabel->text(), QStringLiteral("0"));
        QCOMPARE(f.LabelDosVer->text(), QStringLiteral("0"));
        QCOMPARE(f.LabelWinVer->text(), QStringLiteral("Linux 0.00"));
        QCOMPARE(f.LabelTipCPU->text(), QString());
        for (int d = 0; d < 3; ++d) {
            QCOMPARE(f.LabelDiskSize[d]->text(), QStringLiteral("0 Mb"));
            QCOMPARE(f.LabelDiskFree[d]->text(), QStringLiteral("0 Mb"));
            QCOMPARE(f.LabelHDD[d]->text(), QStringLiteral("0"));
        }
    }

    void sysInfoEnlargesOnceAndLaterShowingsCentre()
    {
        Opened o;
        QRect first, once, twice;
        QSize client;
        QVERIFY(o.open([&] {
            first = o.about.frameGeometry();
            client = o.about.size();
            o.about.SpeedButtonMore->click();
            once = o.about.frameGeometry();
            o.about.SpeedButtonMore->click();
            twice = o.about.frameGeometry();
        }));
        const QPoint centre = o.about.screen()->geometry().center();
        QCOMPARE(client, QSize(395, 244));
        QVERIFY((first.center() - centre).manhattanLength() <= 2);
        QCOMPARE(once.height(), 631);
        QCOMPARE(once.top(), 78);
        QCOMPARE(twice, once);
        QCOMPARE(o.about.width(), 395);
        // The whole left column is now in view without scrolling down.
        QVERIFY(o.about.scrollArea->viewport()->height() >= 578);

        QRect reopened;
        QVERIFY(o.open([&] { reopened = o.about.frameGeometry(); }));
        QCOMPARE(reopened.height(), 631);
        QVERIFY2(
            (reopened.center() - centre).manhattanLength() <= 2,
            qPrintable(
                QStringLiteral("%1,%2").arg(reopened.center().x()).arg(reopened.center().y())));
    }

    void enterPressesOkAndEscapeDoesNot()
    {
        Opened o;
        bool stillOpen = false;
        QVERIFY(o.open([&] {
            QTest::keyClick(&o.about, Qt::Key_Escape);
            stillOpen = o.about.isVisible();
            QTest::keyClick(&o.about, Qt::Key_Return);
        }));
        QVERIFY(stillOpen);
        QCOMPARE(o.about.result(), int(QDialog::Accepted));
    }

    void linkLabels_data()
    {
        QTest::addColumn<bool>("login");
        QTest::addColumn<QString>("url");
        QTest::newRow("mail") << true << "mailto:fountain-forms@example.org";
        QTest::newRow("web") << false << "http://fountain.example.org";
    }
    void linkLabels()
    {
        QFETCH(bool, login);
        QFETCH(QString, url);
        Opened o;
        QLabel *label = login ? o.about.LabelLogin : o.about.LabelHTTP;
        QLabel *other = login ? o.about.LabelHTTP : o.about.LabelLogin;
        auto colour = [](const QLabel *l) { return l->palette().color(QPalette::WindowText); };
        QCOMPARE(colour(label), QColor(Qt::black));
        QVERIFY(o.open([&] {
            QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), label->mapToGlobal(QPointF(5, 5)),
                             Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(label, &move);
            QCOMPARE(colour(label), QColor(255, 0, 0));
            QCOMPARE(label->cursor().shape(), Qt::PointingHandCursor);
            QCOMPARE(colour(other), QColor(Qt::black));

            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(label, &leave);
            QCOMPARE(colour(label), QColor(0, 0, 128));
            QVERIFY(o.opened.isEmpty());

            QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(5, 5));
            QCOMPARE(colour(label), QColor(0, 128, 0));
        }));
        QCOMPARE(o.opened, QList<QUrl>({QUrl(url)}));
    }

    void backgroundMoveResetsTheWebCursor()
    {
        TAboutForm f;
        f.LabelHTTPMouseMove();
        QCOMPARE(f.LabelHTTP->cursor().shape(), Qt::PointingHandCursor);
        QMouseEvent move(QEvent::MouseMove, QPointF(380, 140), QPointF(380, 140), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(f.content, &move);
        QCOMPARE(f.LabelHTTP->cursor().shape(), Qt::ArrowCursor);
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
