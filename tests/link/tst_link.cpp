// The serial channel and the block upload against a real peer: a socat pty pair
// read raw at its far end, and the frame monitor run as a separate process.
// Under Wine the peer is the runner's COM port (see tests/support/serial_bench.h);
// the frame monitor and the checks of the port's descriptor and of Unix
// permissions are Linux's alone.
#include "core/form_store.h"
#include "core/settings.h"
#include "core/upload_frame.h"
#include "link/block_upload.h"
#include "link/com_port.h"
#include "tests/support/serial_bench.h"
#include "tests/support/window_fixture.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>

#include <memory>
#include <tuple>
#include <utility>
#include <vector>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace {

constexpr int kFrame = upload_frame::kFrameSize;

FountainForm form(int level, const QString &name, int min, int sek)
{
    FountainForm f;
    for (int v = 0; v < 8; ++v)
        f.levels[v] = std::uint8_t(level + v * 3);
    f.name = name;
    f.holdMin = std::uint8_t(min);
    f.holdSek = std::uint8_t(sek);
    return f;
}

FountainForm fullJets(const QString &name)
{
    FountainForm f = form(0, name, 1, 0);
    f.levels.fill(255);
    return f;
}

// The window's serial channel: the port of its block upload, which has no name.
ComPort &portOf(WindowFixture &f)
{
    return findNamed<TBlockUpload>(&f.w(), QString())->port();
}

QAction *sendCommand(WindowFixture &f)
{
    return findNamed<QAction>(&f.w(), QStringLiteral("ActionSendBlock"));
}

void send(WindowFixture &f)
{
    f.button(QStringLiteral("SpeedButtonSendBlock"))->click();
}

#ifdef Q_OS_WIN
const QString kDefaultPort = QStringLiteral("COM1");
#else
const QString kDefaultPort = QStringLiteral("/dev/ttyS0");

// The one descriptor of this process open on the device behind path; -1 when
// there is none or more than one.
int descriptorOn(const QString &path)
{
    struct stat device = {};
    if (::stat(QFile::encodeName(path).constData(), &device) != 0)
        return -1;
    int found = -1;
    for (int fd = 0; fd < 1024; ++fd) {
        struct stat s = {};
        if (::fstat(fd, &s) == 0 && S_ISCHR(s.st_mode) && s.st_rdev == device.st_rdev) {
            if (found >= 0)
                return -1;
            found = fd;
        }
    }
    return found;
}
#endif

} // namespace

class TestLink : public QObject
{
    Q_OBJECT

  private slots:
    // ---- uploads over a socat pair ----

    void lineSettingsComeFromTheSettingsFile()
    {
        const QList<std::tuple<QByteArray, QString, int>> cases = {
            {{}, kDefaultPort, 9600}, // no settings file
            {"[Options]\r\nComPort=/dev/ttyUSB1\r\nBaudRate=19200\r\n", "/dev/ttyUSB1", 19200},
            {"[Options]\nComPort=\nBaudRate=\n", kDefaultPort, 9600},
            {"[options]\nbaudrate=fast\ncomport=ttyS1\n", "ttyS1", 9600},
            {"[Zadvizki]\nComPort=/dev/ttyUSB1\n", kDefaultPort, 9600}};
        for (const auto &[ini, port, baud] : cases) {
            Sandbox sandbox;
            if (!ini.isEmpty())
                writeFile(sandbox.settingsPath(), ini);
            const ComPort::LineSettings line =
                ComPort::readSettings(FountainSettings::atDefaultLocation().profile());
            QCOMPARE(line.portName, port);
            QCOMPARE(line.baudRate, baud);
        }
    }

    void uploadSendsBankZero_data()
    {
        QTest::addColumn<int>("setup");
        QTest::addColumn<int>("baud"); // 9600: no BaudRate key
        QTest::newRow("cleared store") << 0 << 9600;
        QTest::newRow("full jets, name with я") << 1 << 19200;
        QTest::newRow("slot 127 hold seconds last") << 2 << 9600;
        QTest::newRow("programme loaded through Open") << 3 << 9600;
    }
    void uploadSendsBankZero()
    {
        QFETCH(int, setup);
        QFETCH(int, baud);
        SerialBench b(baud == 9600 ? QByteArray() : "BaudRate=" + QByteArray::number(baud) + "\n");
        QVERIFY(b.plugIn());
        const QByteArray settings = readFile(b.sandbox.settingsPath());
        WindowFixture f(&b.sandbox);
        FormStore &store = f.store();
        if (setup == 1)
            store.WriteForm(0, fullJets("Заря"));
        if (setup == 2)
            store.WriteForm(127, form(1, "x", 0, 37));
        if (setup == 3) {
            auto source = std::make_unique<FormStore>();
            source->WriteForm(0, fullJets("Заря"));
            source->WriteForm(1, form(200, "Струя", 0, 30));
            source->writeTravelTimes({7, 8, 9, 10, 11, 12, 13, 255});
            openFormFile(f, QStringLiteral("show.frm"), source->image());
            QCOMPARE(store.image(), source->image());
        }
        const QByteArray image = store.image();
        QAction *command = sendCommand(f);
        const QString restingHint = command->toolTip();
        const qint64 restingIcon = command->icon().cacheKey();

        send(f);
        QVERIFY(portOf(f).isOpen());
        // The button shows the send going on, and how far it has got.
        QVERIFY(command->icon().cacheKey() != restingIcon);
        QVERIFY2(QRegularExpression("^" + QRegularExpression::escape(restingHint) +
                                    "\nИдёт отправка на порт " +
                                    QRegularExpression::escape(b.appEnd) +
                                    ": \\d+ из 2050 байт, осталось около \\d+ с$")
                     .match(command->toolTip())
                     .hasMatch(),
                 qPrintable(command->toolTip()));
#ifdef Q_OS_UNIX
        // While the frame is on its way the port is open, write-only, on the
        // line the settings describe.
        const int port = descriptorOn(b.appEnd);
        QVERIFY(port >= 0);
        QCOMPARE(::fcntl(port, F_GETFL) & O_ACCMODE, O_WRONLY);
        termios t{};
        QCOMPARE(::tcgetattr(port, &t), 0);
        QCOMPARE(::cfgetospeed(&t), speed_t(baud == 9600 ? B9600 : B19200));
        QCOMPARE(t.c_cflag & CSIZE, tcflag_t(CS8));
        QCOMPARE(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), tcflag_t(0));
        QCOMPARE(t.c_iflag & (IXON | IXOFF), tcflag_t(0));
#endif
        // (On Windows the port is held without sharing; tst_windows reads its
        // line set-up back after closing it.)
        const QByteArray got = b.receive(kFrame);
        QCOMPARE(got, expectedFrame(image.left(form_layout::kBankSize)));
        QCOMPARE(got.count('\xFF'), 1);
        QCOMPARE(got.back(), setup == 2 ? char(37) : '\0');
        QCOMPARE(store.image(), image);
        if (setup == 1) // a full jet and "я" stay 255 in the store
            QCOMPARE(store.ReadForm(0), fullJets("Заря"));
        QCOMPARE(f.prompts.messages, QStringList());
        QCOMPARE(readFile(b.sandbox.settingsPath()), settings); // only read
        QTRY_VERIFY(!portOf(f).isOpen());                       // once the frame has left
        // Then at rest again, the hint saying when, where and how much; no box.
        QCOMPARE(command->icon().cacheKey(), restingIcon);
        QVERIFY2(QRegularExpression("^" + QRegularExpression::escape(restingHint) +
                                    "\nПоследняя отправка: \\d\\d\\.\\d\\d\\.\\d{4} "
                                    "\\d\\d:\\d\\d:\\d\\d, порт " +
                                    QRegularExpression::escape(b.appEnd) + ", 2050 байт$")
                     .match(command->toolTip())
                     .hasMatch(),
                 qPrintable(command->toolTip()));
    }

    void uploadsQueueWholeAndTheClickDoesNotWait()
    {
        SerialBench b;
        QVERIFY(b.plugIn());
        WindowFixture f(&b.sandbox);
        FormStore &store = f.store();
        ComPort &port = portOf(f);
        store.WriteForm(3, fullJets("Зяблик"));
        const QByteArray image = store.image();
        const QByteArray frame = expectedFrame(image.left(form_layout::kBankSize));

        // Two uploads in a row; each click returns with its frame still queued.
        send(f);
        QCOMPARE(port.bytesPending(), qint64(kFrame));
        QCOMPARE(b.receive(1, 0), QByteArray());
        send(f);
        QCOMPARE(port.bytesPending(), qint64(2 * kFrame));
        QCOMPARE(b.receive(2 * kFrame), frame + frame);
        QCOMPARE(store.image(), image);

        // A line that takes nothing more, and clicks that do not wait for it:
        // each queued 2 KiB more; now one finding two frames waiting is refused.
        QByteArray expected;
        for (int k = 0; k < 200 && f.prompts.messages.isEmpty(); ++k) {
            store.WriteForm(0, form(k, QStringLiteral("f%1").arg(k), 0, 1 + k % 59));
            const qint64 pendingBefore = port.bytesPending();
            send(f);
            const int added = f.prompts.messages.isEmpty() ? kFrame : 0;
            expected += expectedFrame(store.bank0Image()).left(added);
            QCOMPARE(port.bytesPending(), pendingBefore + added);
            QVERIFY(port.bytesPending() <= ComPort::kMaxPendingBytes);
            QTest::qWait(10);
        }
        QCOMPARE(f.prompts.messages, QStringList{ComPort::busyErrorText(b.appEnd) + '.'});
        QCOMPARE(b.receive(expected.size(), 30000), expected); // whole, in order
        send(f); // accepted again once the line has room
        QCOMPARE(b.receive(kFrame), expectedFrame(store.bank0Image()));
        QCOMPARE(f.prompts.messages.size(), 1);
    }

    // ---- failures ----

    void openFailureIsReportedAndTriedAgain_data()
    {
        QTest::addColumn<bool>("denied");
        QTest::newRow("missing port") << false;
#ifdef Q_OS_UNIX
        // Windows has no permissions on serial ports.
        QTest::newRow("permission denied") << true;
#endif
    }
    void openFailureIsReportedAndTriedAgain()
    {
        QFETCH(bool, denied);
        SerialBench b;
#ifdef Q_OS_WIN
        // Wine's text for a missing device; Windows' own differs.
        QString reason = "File not found.";
#else
        QString reason = "No such file or directory.";
        if (denied) {
            QVERIFY(b.plugIn());
            reason = "Permission denied. The user must be allowed to use serial ports: on Linux, "
                     "add the user to the dialout group.";
            for (const QString &path :
                 {b.sandbox.configDir(), b.sandbox.settingsPath(), b.sandbox.workDir()})
                QFile::setPermissions(path, QFile::permissions(path) | QFile::ReadOther |
                                                QFile::ExeOther);
            if (::geteuid() != 0) // the owner of the pseudo-terminal refuses itself
                QFile::setPermissions(b.appEnd, {});
        }
#endif
        WindowFixture f(&b.sandbox);
#ifdef Q_OS_UNIX
        // Root passes every permission check; as nobody, with no groups, it meets
        // the refusal that a user outside the dialout group meets.
        const bool root = denied && ::geteuid() == 0;
        std::vector<gid_t> groups(std::size_t(::getgroups(0, nullptr)));
        groups.resize(std::size_t(::getgroups(int(groups.size()), groups.data())));
        const bool asNobody =
            root && ::setgroups(0, nullptr) == 0 && ::setegid(65534) == 0 && ::seteuid(65534) == 0;
        send(f);
        if (root)
            QVERIFY(::seteuid(0) == 0 && ::setegid(0) == 0 &&
                    ::setgroups(groups.size(), groups.data()) == 0);
        QCOMPARE(asNobody, root);
        if (denied)
            QFile::setPermissions(b.appEnd, QFile::ReadOwner | QFile::WriteOwner);
#else
        send(f);
#endif
        QCOMPARE(f.prompts.messages, QStringList{"Error opening port " + b.appEnd + ": " + reason});
        QVERIFY(!portOf(f).isOpen());

        // The adapter is plugged in or allowed: the next upload opens the port.
        if (!denied)
            QVERIFY(b.plugIn());
        send(f);
        QCOMPARE(b.receive(kFrame), expectedFrame(f.store().bank0Image()));
        QCOMPARE(f.prompts.messages.size(), 1);
    }

    // (Between uploads the port is closed: a lost adapter is an open failure then.)
    void lostPortGivesOneMessageAndReopens()
    {
        SerialBench b;
        QVERIFY(b.plugIn());
        WindowFixture f(&b.sandbox);
        ComPort &port = portOf(f);
        const QByteArray frame = expectedFrame(f.store().bank0Image());
        send(f);
        QCOMPARE(b.receive(kFrame), frame);
        send(f);
        QCOMPARE(port.bytesPending(), qint64(kFrame));
#ifdef Q_OS_WIN
        // Windows hands each frame to the line at once and the far end's
        // buffers take it whole: frames go on until one stays queued.
        QTest::qWait(20);
        for (int k = 0; k < 500 && port.bytesPending() == 0; ++k) {
            send(f);
            QTest::qWait(20);
        }
        QVERIFY(port.bytesPending() > 0);
#endif
        b.unplug(true);
        // The failure comes later, from the line: the port reports it and the
        // window shows it.
        QTRY_COMPARE(f.prompts.messages.size(), 1);
        QVERIFY2(f.prompts.messages[0].startsWith("Error writing port " + b.appEnd + ": "),
                 qPrintable(f.prompts.messages[0]));
        QVERIFY(!port.isOpen());
        // The button is at rest again: no send shown as going on.
        QVERIFY(!sendCommand(f)->toolTip().contains(QStringLiteral("Идёт отправка")));
        QTest::qWait(300);
        QCOMPARE(f.prompts.messages.size(), 1);

        QVERIFY(b.plugIn());
        send(f);
        QCOMPARE(b.receive(kFrame), frame);
        QCOMPARE(f.prompts.messages.size(), 1);
    }

#ifdef Q_OS_LINUX
    // ---- the frame monitor (built on Linux only) ----

    void monitorDecodesWhatWasLoaded()
    {
        SerialBench b;
        QVERIFY(b.plugIn(false));
        auto source = std::make_unique<FormStore>();
        source->WriteForm(0, form(0, "Волна", 1, 5));
        source->WriteForm(1, form(100, "Гейзер", 0, 45)); // stored as "Гейзе"
        source->WriteForm(2, form(230, "a \"b\"", 12, 0));
        source->WriteForm(3, form(17, QString(), 0, 1));
        source->WriteForm(5, form(50, "после", 3, 3)); // behind the coda
        source->writeTravelTimes({7, 8, 9, 10, 11, 12, 13, 200});
        writeFile(b.sandbox.workPath("show.frm"), source->image());

        WindowFixture f(&b.sandbox);
        f.prompts.openAnswers << b.sandbox.workPath("show.frm");
        f.button(QStringLiteral("SpeedButtonLoad"))->click();
        QCOMPARE(f.store().image(), source->image());

        QProcess monitor;
        monitor.start(qEnvironmentVariable("FOUNTAIN_TEST_BINARY_DIR") +
                          "/tools/fountain-frame-monitor",
                      {b.peerEnd, "--once"});
        QByteArray err;
        QTRY_VERIFY((err += monitor.readAllStandardError()).contains("listening"));
        send(f);
        QTRY_COMPARE_WITH_TIMEOUT(monitor.state(), QProcess::NotRunning, 10000);
        QCOMPARE(monitor.exitCode(), 0);

        const QStringList lines =
            QString::fromUtf8(monitor.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines[0], QStringLiteral("frame 1: 4 forms, coda mark at form 5"));
        static const QRegularExpression line(
            R"re(^form +(\d+) +"(.*)" +jets((?: +\d+){8}) +hold +(\d+):(\d\d)$)re");
        for (int slot = 0; slot < 4; ++slot) {
            const auto m = line.match(lines[slot + 1]);
            QVERIFY2(m.hasMatch(), qPrintable(lines[slot + 1]));
            QCOMPARE(m.captured(1).toInt(), slot + 1);
            FountainForm decoded =
                form(0, m.captured(2), m.captured(4).toInt(), m.captured(5).toInt());
            const QStringList jets = m.captured(3).split(u' ', Qt::SkipEmptyParts);
            for (int v = 0; v < 8; ++v)
                decoded.levels[v] = std::uint8_t(jets[v].toInt());
            QCOMPARE(decoded, source->ReadForm(slot));
        }
    }
#endif
};

QTEST_MAIN(TestLink)
#include "tst_link.moc"
