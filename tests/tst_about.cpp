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

    PlatformVersion platformVersion() override { return calls << "platform", info.platform; }
    MemoryStatus memoryStatus() override { return calls << "memory", info.memory; }
    ComputerInfo computerInfo() override { return calls << "computer", info.computer; }
    DriveInfo driveInfo(int d) override
    {
        calls << QStringLiteral("drive%1").arg(d);
        return info.drives[std::size_t(d)];
    }
};

const QStringList kHandlerOrder = {"memory", "computer", "platform", "drive0", "drive1", "drive2"};

DriveInfo drive(std::uint32_t serial, std::int64_t avail, std::int64_t total)
{
    return DriveInfo{QStringLiteral("/mnt/x"), serial, avail, total};
}

// A machine with more than 4 GiB of memory and drives C and E but no D.
SystemInfo sampleMachine()
{
    SystemInfo s;
    s.platform.versionWord = 0x0A280105; // Windows 5.01, DOS 10.40
    s.platform.processorLevel = 6;
    s.memory = {std::uint64_t(6) << 30, (std::uint64_t(5) << 30) + 2047, 0x100000000ull, 1023};
    s.computer = {"Test Box 3000",
                  "x86 Family 6 Model 8",
                  "MMX",
                  "GenuineIntel",
                  std::nullopt,
                  "Microsoft Windows XP",
                  "Org",
                  "Owner",
                  "55274-640-1234567-23456",
                  "C:\\WINDOWS"};
    s.computer.version = VersionRecord{5, 1, 0x0A280A28, 2, QStringLiteral("Service Pack 2")};
    s.drives[0] = drive(0xDEADBEEF, 1999999, 80026361856);
    s.drives[2] = drive(1234, 0, 700000000);
    return s;
}

// The texts of every value row, in a fixed order; the drives' rows come last.
QStringList allValues(const TAboutForm &f)
{
    QStringList v;
    for (const QWidget *w : std::initializer_list<const QWidget *>{
             f.OSNameLabel, f.LabelWinVer, f.VersionLabel, f.VersionNumberLabel, f.LabelDosVer,
             f.VendorIdentifierLabel, f.ProcessorLabel, f.LabelTipCPU, f.MMXIdentifierLabel,
             f.SerNumberEdit, f.TotalPhys, f.AvailPhys, f.TotalPage, f.AvailPage,
             f.RegisteredOrganizationLabel, f.RegisteredOwnerLabel, f.WindowsDirLabel,
             f.ComputerLabel})
        v << w->property("text").toString();
    for (int d = 0; d < kDriveCount; ++d)
        v << f.LabelDiskSize[d]->text() << f.LabelDiskFree[d]->text() << f.LabelHDD[d]->text();
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
        about.setUrlOpener([this](const QUrl &u) { return opened << u, true; });
        main.setSecondaryWindows(&about, nullptr);
        provider.info = sampleMachine();
    }

    // Opens the dialog with the toolbar button, as the operator does, runs
    // check while it is the active window, and closes it.
    bool open(const std::function<void()> &check = [] {})
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

    QStringList valuesOnOpening()
    {
        QStringList seen;
        provider.calls.clear();
        return open([&] { seen = allValues(about); }) ? seen : QStringList();
    }
};

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

QString names(QString (*name)(int), std::initializer_list<int> ids)
{
    QStringList n;
    for (int id : ids)
        n << name(id);
    return n.join(u'|');
}

QString prettyName(const char *osRelease)
{
    return parseOsReleasePrettyName(osRelease);
}

} // namespace

class TestAbout : public QObject
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
    }
    void texts()
    {
        QFETCH(QString, actual);
        QFETCH(QString, expected);
        QCOMPARE(actual, expected);
    }

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

        const QStringList roots = LinuxSystemInfoProvider::driveRoots();
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
        QVERIFY(QString::fromUtf8(u.release).endsWith(c.version->servicePack));
    }

    // ---- the dialog ----

    void wrappedTextsFitTheirBoxes()
    {
        // The web address is the last line of its label: cut off, the link is lost.
        TAboutForm f;
        QVERIFY(f.LabelHTTP->text().endsWith(QStringLiteral("  fountain.example.org")));
        auto *rights = f.content->findChild<QLabel *>(QStringLiteral("LabelRights"));
        QVERIFY(rights);
        for (const QLabel *l : std::initializer_list<const QLabel *>{f.LabelHTTP, rights})
            QVERIFY2(l->heightForWidth(l->width()) <= l->height(), qPrintable(l->objectName()));
        // The version line ends before the picture at left 200.
        QVERIFY(f.LabelVersion->geometry().right() < 200);
    }

    void showingFillsEveryRowInHandlerOrder_data()
    {
        QTest::addColumn<bool>("known");
        QTest::addColumn<QString>("rows");
        // 6 GiB and more show whole where a 32-bit count would have wrapped; the
        // serial with the top bit set is positive; drive D is absent, its number
        // row keeps "0".
        QTest::newRow("sample machine")
            << true
            << "Microsoft Windows XP|Windows 5.01|5.1 (2600.Service Pack 2)|Windows NT|DOS 10.40|"
               "GenuineIntel|x86 Family 6 Model 8|Intel Pentium III|MMX|55274-640-1234567-23456|"
               "6291456 K|5242881 K|4194304 K|0 K|Org|Owner|C:\\WINDOWS|Test Box 3000|"
               "80026 Mb|1 Mb|3735928559|0 Mb|0 Mb|0|700 Mb|0 Mb|1234";
        // Without a version record or DOS those rows keep their placeholders.
        QTest::newRow("nothing known")
            << false
            << "Unknown|Linux 0.00|0|0|0|Unknown|Unknown||Unknown|Unknown|0 K|0 K|0 K|0 K|"
               "Unknown|Unknown|Unknown|Unknown|0 Mb|0 Mb|0|0 Mb|0 Mb|0|0 Mb|0 Mb|0";
    }
    void showingFillsEveryRowInHandlerOrder()
    {
        QFETCH(bool, known);
        QFETCH(QString, rows);
        Opened o;
        const QStringList placeholders = allValues(o.about);
        QCOMPARE(placeholders.count(QStringLiteral("0")), placeholders.size() - 1);
        QCOMPARE(o.about.LabelTipCPU->text(), QStringLiteral("0-"));
        if (!known) {
            o.provider.info = SystemInfo{};
            o.provider.info.platform.hasDosVersion = false;
            o.provider.info.platform.systemName = QStringLiteral("Linux");
            o.provider.info.platform.processorLevel = 26;
        }
        QCOMPARE(o.valuesOnOpening(), rows.split(u'|'));
        QCOMPARE(o.provider.calls, kHandlerOrder);
    }

    void secondShowingReadsEveryValueAgain()
    {
        Opened o;
        QVERIFY(o.open());
        // Between showings a drive D appears, memory changes, another owner...
        o.provider.info.drives[1] = drive(77, 5000000, 9000000);
        o.provider.info.memory.availPhys = 3 << 20;
        o.provider.info.computer.registeredOwner = QStringLiteral("Second");
        o.provider.info.platform.versionWord = 0x00000004;
        o.provider.info.platform.processorLevel = 4;
        QStringList seen = o.valuesOnOpening();
        QCOMPARE(o.provider.calls, kHandlerOrder);
        QCOMPARE(seen.value(1), QStringLiteral("Windows 4.00"));
        QCOMPARE(seen.value(4), QStringLiteral("DOS 0.00"));
        QCOMPARE(seen.value(7), QStringLiteral("Intel 80486"));
        QCOMPARE(seen.value(11), QStringLiteral("3072 K"));
        QCOMPARE(seen.value(15), QStringLiteral("Second"));
        QCOMPARE(seen.mid(21, 3), QStringList({"9 Mb", "5 Mb", "77"}));

        // ... and then goes again: the figures fall to 0, the number stays.
        o.provider.info.drives[1] = DriveInfo{};
        seen = o.valuesOnOpening();
        QCOMPARE(seen.mid(21, 3), QStringList({"0 Mb", "0 Mb", "77"}));
    }

    void sysInfoEnlargesOnceAndLaterShowingsCentre()
    {
        Opened o;
        QRect first, once, twice;
        QSize client;
        bool stillOpen = false;
        QVERIFY(o.open([&] {
            first = o.about.frameGeometry();
            client = o.about.size();
            o.about.SpeedButtonMore->click();
            once = o.about.frameGeometry();
            o.about.SpeedButtonMore->click();
            twice = o.about.frameGeometry();
            // Escape does not close the dialog; Enter presses OK.
            QTest::keyClick(&o.about, Qt::Key_Escape);
            stillOpen = o.about.isVisible();
            QTest::keyClick(&o.about, Qt::Key_Return);
        }));
        QVERIFY(stillOpen);
        QCOMPARE(o.about.result(), int(QDialog::Accepted));
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
        QVERIFY((reopened.center() - centre).manhattanLength() <= 2);
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
        auto colour = [](const QLabel *l) { return l->palette().color(QPalette::WindowText); };
        QCOMPARE(colour(label), QColor(Qt::black));
        QVERIFY(o.open([&] {
            QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), label->mapToGlobal(QPointF(5, 5)),
                             Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(label, &move);
            QCOMPARE(colour(label), QColor(255, 0, 0));
            QCOMPARE(label->cursor().shape(), Qt::PointingHandCursor);

            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(label, &leave);
            QCOMPARE(colour(label), QColor(0, 0, 128));
            QVERIFY(o.opened.isEmpty());

            QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(5, 5));
            QCOMPARE(colour(label), QColor(0, 128, 0));

            // A move over the background gives the web label its arrow back.
            QMouseEvent away(QEvent::MouseMove, QPointF(380, 140), QPointF(380, 140), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(o.about.content, &away);
            QCOMPARE(o.about.LabelHTTP->cursor().shape(), Qt::ArrowCursor);
        }));
        QCOMPARE(o.opened, QList<QUrl>({QUrl(url)}));
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
