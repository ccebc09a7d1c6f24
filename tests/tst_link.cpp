// The upload frame, the serial channel and the block upload. The serial tests
// run against a real peer: a socat pseudo-terminal pair whose far end the test
// reads raw, and the frame monitor as a separate process.
#include "app/main_window.h"
#include "link/com_port.h"
#include "link/upload_frame.h"
#include "store/form_store.h"
#include "tests/test_support.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <memory>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kFrame = upload_frame::kFrameSize;

// The frame as the form shaper expects it, written out from the rule.
QByteArray expectedFrame(const QByteArray &bank0)
{
    QByteArray frame("\xFF\xF0", 2);
    for (const char c : bank0)
        frame.append(c == '\xFF' ? '\xFE' : c);
    return frame;
}

FountainForm form(std::uint8_t level, const QString &name, int min, int sek)
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

// A bank 0 image with the given forms in slots 0, 1, ...
QByteArray bankWith(const QList<FountainForm> &forms)
{
    auto store = std::make_unique<FormStore>();
    for (int slot = 0; slot < forms.size(); ++slot)
        store->WriteForm(slot, forms[slot]);
    return store->bank0Image();
}

void makeReachable(const QString &path) // for a test that drops root's rights
{
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ReadOther | QFile::ExeOther);
}

// A socat pseudo-terminal pair: the application writes to appEnd, the test
// reads peerEnd. Stopped by its process id.
class SocatPair
{
  public:
    explicit SocatPair(const QString &dir)
        : appEnd(dir + QStringLiteral("/app")), peerEnd(dir + QStringLiteral("/peer"))
    {
        // Links a killed socat left behind would look ready at once.
        QFile::remove(appEnd);
        QFile::remove(peerEnd);
        m_socat.start(QStringLiteral("socat"), {QStringLiteral("pty,raw,echo=0,link=") + appEnd,
                                                QStringLiteral("pty,raw,echo=0,link=") + peerEnd});
        QElapsedTimer t;
        t.start();
        while (!(QFile::exists(appEnd) && QFile::exists(peerEnd)) && t.elapsed() < 5000 &&
               m_socat.state() != QProcess::NotRunning)
            QTest::qWait(10);
    }
    ~SocatPair() { stop(SIGTERM); }
    bool ready() const { return QFile::exists(appEnd) && QFile::exists(peerEnd); }
    void stop(int signal)
    {
        if (m_socat.state() == QProcess::NotRunning)
            return;
        ::kill(pid_t(m_socat.processId()), signal);
        m_socat.waitForFinished(5000);
    }

    const QString appEnd;
    const QString peerEnd;

  private:
    QProcess m_socat;
};

// The far end of the line, read raw and only when asked, so that a test can
// leave the line full.
class PeerLine
{
  public:
    explicit PeerLine(const QString &path)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK))
    {
        termios t{};
        if (m_fd >= 0 && ::tcgetattr(m_fd, &t) == 0) {
            ::cfmakeraw(&t);
            ::tcsetattr(m_fd, TCSANOW, &t);
        }
    }
    ~PeerLine()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool isOpen() const { return m_fd >= 0; }
    // What has arrived so far, without waiting.
    QByteArray take()
    {
        QByteArray got;
        char buf[4096];
        ssize_t n;
        while ((n = ::read(m_fd, buf, sizeof buf)) > 0)
            got.append(buf, n);
        return got;
    }
    // Runs the event loop, where the application sends, until n bytes came.
    QByteArray receive(qsizetype n, int timeoutMs = 10000)
    {
        QByteArray got = take();
        QElapsedTimer t;
        t.start();
        while (got.size() < n && t.elapsed() < timeoutMs) {
            QTest::qWait(5);
            got += take();
        }
        return got;
    }

  private:
    int m_fd;
};

void pointSettingsAt(const Sandbox &sandbox, const QString &port, const QByteArray &more = {})
{
    writeFile(sandbox.settingsPath(),
              "[Options]\nComPort=" + QFile::encodeName(port) + "\n" + more);
}

// Root passes every permission check; as nobody, with no groups, it meets the
// refusal that a user outside the dialout group meets.
class ActAsNobody
{
  public:
    ActAsNobody()
    {
        if (::geteuid() != 0)
            return;
        m_groups.resize(std::size_t(::getgroups(0, nullptr)));
        m_groups.resize(std::size_t(::getgroups(int(m_groups.size()), m_groups.data())));
        m_active =
            ::setgroups(0, nullptr) == 0 && ::setegid(kNobody) == 0 && ::seteuid(kNobody) == 0;
    }
    ~ActAsNobody()
    {
        if (!m_active)
            return;
        QVERIFY(::seteuid(0) == 0);
        QVERIFY(::setegid(0) == 0);
        QVERIFY(::setgroups(m_groups.size(), m_groups.data()) == 0);
    }

  private:
    static constexpr uid_t kNobody = 65534;
    std::vector<gid_t> m_groups;
    bool m_active = false;
};

QString monitorProgram()
{
    return QString::fromLocal8Bit(qgetenv("FOUNTAIN_TEST_BINARY_DIR")) +
           QStringLiteral("/tools/fountain-frame-monitor");
}

} // namespace

class TestLink : public QObject
{
    Q_OBJECT

  private slots:
    // ---- the frame ----

    void frameCarriesBankZero_data()
    {
        QTest::addColumn<QByteArray>("bank");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("byte");

        const QByteArray cleared(FormStore::kBankSize, '\0');
        QTest::newRow("cleared store") << cleared << 2049 << 0;
        QTest::newRow("full jet, slot 0 valve 1") << bankWith({fullJets(QString())}) << 2 << 0xFE;
        // "я" is code 255, the 4th character: plane 4, slot 0.
        QTest::newRow("name with я")
            << bankWith({form(1, QStringLiteral("Заря"), 1, 0)}) << 2 + 4 * 256 + 128 << 0xFE;
        QByteArray last = cleared;
        last[2047] = 37;
        QTest::newRow("slot 127 hold seconds last") << last << 2049 << 37;
        QByteArray every(FormStore::kBankSize, '\0');
        for (int i = 0; i < every.size(); ++i)
            every[i] = char(i % 256);
        QTest::newRow("every byte value") << every << 2 + 254 << 0xFE;
    }
    void frameCarriesBankZero()
    {
        QFETCH(QByteArray, bank);
        QFETCH(int, offset);
        QFETCH(int, byte);
        const QByteArray before = bank;
        const QByteArray frame = upload_frame::build(bank);
        QCOMPARE(frame.size(), kFrame);
        QCOMPARE(frame, expectedFrame(bank));
        QCOMPARE(int(quint8(frame[offset])), byte);
        QCOMPARE(frame.count('\xFF'), 1);
        QCOMPARE(bank, before);
    }

    void decodeGivesTheProgrammeUpToTheCoda()
    {
        const QList<FountainForm> forms = {form(10, QStringLiteral("Волна"), 1, 5),
                                           fullJets(QStringLiteral("Заря")),
                                           form(0, QString(), 59, 59)};
        auto store = std::make_unique<FormStore>();
        for (int slot = 0; slot < forms.size(); ++slot)
            store->WriteForm(slot, forms[slot]);
        store->WriteForm(4, form(7, QStringLiteral("после"), 2, 0)); // behind the coda in slot 3

        const auto programme = upload_frame::decode(upload_frame::build(store->bank0Image()));
        QVERIFY(programme);
        QCOMPARE(programme->codaSlot, 3);
        QCOMPARE(programme->forms.size(), 3);
        QCOMPARE(programme->forms[0], forms[0]);
        // The wire has no 255: the controller gets 254 and "ю".
        FountainForm onWire = forms[1];
        onWire.levels.fill(254);
        onWire.name = QStringLiteral("Зарю");
        QCOMPARE(programme->forms[1], onWire);
        QCOMPARE(programme->forms[2], forms[2]);

        for (int slot = 0; slot < FormStore::kSlots; ++slot)
            store->WriteForm(slot, form(1, QStringLiteral("x"), 0, 1));
        const auto full = upload_frame::decode(upload_frame::build(store->bank0Image()));
        QVERIFY(full);
        QCOMPARE(full->codaSlot, -1);
        QCOMPARE(full->forms.size(), FormStore::kSlots);
    }

    void decodeRejectsWhatIsNoFrame_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QString>("problem");
        const QByteArray good = upload_frame::build(QByteArray(FormStore::kBankSize, '\1'));
        QTest::newRow("short") << good.chopped(1) << QStringLiteral("2049 bytes instead of 2050");
        QByteArray f = good;
        f[0] = 0;
        QTest::newRow("start") << f << QStringLiteral("first byte 0x00 instead of 0xFF");
        f = good;
        f[1] = char(0xF1);
        QTest::newRow("header") << f << QStringLiteral("second byte 0xF1 instead of 0xF0");
        f = good;
        f[500] = char(0xFF);
        QTest::newRow("start byte in data")
            << f << QStringLiteral("a start byte 0xFF inside the data at offset 500");
    }
    void decodeRejectsWhatIsNoFrame()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QString, problem);
        QString why;
        QVERIFY(!upload_frame::decode(frame, &why));
        QCOMPARE(why, problem);
    }

    void readerCutsTheStreamIntoFrames_data()
    {
        QTest::addColumn<QList<QByteArray>>("pieces");
        QTest::addColumn<bool>("quietAtEnd");
        QTest::addColumn<QStringList>("events");
        const QByteArray f =
            upload_frame::build(bankWith({form(40, QStringLiteral("Дуга"), 0, 12)}));
        const QString frame = QStringLiteral("frame");
        QList<QByteArray> singles;
        for (const char c : f)
            singles.append(QByteArray(1, c));
        QByteArray badHeader = f;
        badHeader[1] = 0;

        QTest::newRow("one piece") << QList<QByteArray>{f} << false << QStringList{frame};
        QTest::newRow("byte by byte") << singles << false << QStringList{frame};
        QTest::newRow("back to back")
            << QList<QByteArray>{f + f.left(100), f.mid(100)} << false << QStringList{frame, frame};
        QTest::newRow("cut short, then a frame")
            << QList<QByteArray>{f.left(700), f} << false
            << QStringList{QStringLiteral("cut short after 700 of 2050 bytes"), frame};
        QTest::newRow("lone start byte") << QList<QByteArray>{f.left(1) + f} << false
                                         << QStringList{"cut short after 1 of 2050 bytes", frame};
        QTest::newRow("line goes quiet") << QList<QByteArray>{f.left(10)} << true
                                         << QStringList{"cut short after 10 of 2050 bytes"};
        QTest::newRow("stray bytes first") << QList<QByteArray>{"abc" + f} << false
                                           << QStringList{"3 bytes outside a frame", frame};
        QTest::newRow("bad header") << QList<QByteArray>{badHeader} << true
                                    << QStringList{"second byte 0x00 instead of 0xF0, 2050 bytes"};
        QTest::newRow("quiet line") << QList<QByteArray>{} << true << QStringList{};
    }
    void readerCutsTheStreamIntoFrames()
    {
        QFETCH(QList<QByteArray>, pieces);
        QFETCH(bool, quietAtEnd);
        QFETCH(QStringList, events);
        upload_frame::Reader reader;
        QList<upload_frame::Reader::Event> got;
        for (const QByteArray &piece : pieces)
            got += reader.feed(piece);
        if (quietAtEnd)
            got += reader.idle();
        QStringList seen;
        for (const auto &e : got) {
            const bool isFrame = e.kind == upload_frame::Reader::Event::Kind::Frame;
            seen << (isFrame ? QStringLiteral("frame") : e.what);
            if (isFrame)
                QVERIFY(upload_frame::decode(e.bytes));
        }
        QCOMPARE(seen, events);
    }

    // ---- the channel's settings ----

    void lineSettingsComeFromTheSettingsFile_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("port");
        QTest::addColumn<int>("baud");
        QTest::newRow("no settings file") << QByteArray() << "/dev/ttyS0" << 9600;
        QTest::newRow("both keys") << QByteArray("[Options]\r\nComPort=/dev/ttyUSB1\r\n"
                                                 "BaudRate=19200\r\n")
                                   << "/dev/ttyUSB1" << 19200;
        QTest::newRow("blank values")
            << QByteArray("[Options]\nComPort=\nBaudRate=\n") << "/dev/ttyS0" << 9600;
        QTest::newRow("not a number")
            << QByteArray("[options]\nbaudrate=fast\ncomport=ttyS1\n") << "ttyS1" << 9600;
        QTest::newRow("other section")
            << QByteArray("[Zadvizki]\nComPort=/dev/ttyUSB1\n") << "/dev/ttyS0" << 9600;
    }
    void lineSettingsComeFromTheSettingsFile()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, port);
        QFETCH(int, baud);
        Sandbox sandbox;
        if (!ini.isEmpty())
            writeFile(sandbox.settingsPath(), ini);
        const ComPort::LineSettings line = ComPort::readSettings();
        QCOMPARE(line.portName, port);
        QCOMPARE(line.baudRate, baud);
    }

    // ---- uploads over a socat pair ----

    void uploadSendsBankZero_data()
    {
        QTest::addColumn<int>("setup");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("byte");
        QTest::newRow("cleared store") << 0 << 2 << 0;
        QTest::newRow("full jets, name with я") << 1 << 2 << 0xFE;
        QTest::newRow("slot 127 hold seconds") << 2 << 2049 << 37;
    }
    void uploadSendsBankZero()
    {
        QFETCH(int, setup);
        QFETCH(int, offset);
        QFETCH(int, byte);
        Sandbox sandbox;
        RecordingPrompts prompts;
        SocatPair pair(sandbox.workDir());
        QVERIFY(pair.ready());
        pointSettingsAt(sandbox, pair.appEnd);
        const QByteArray settings = readFile(sandbox.settingsPath());
        PeerLine peer(pair.peerEnd);
        QVERIFY(peer.isOpen());
        TfrmMain w;
        FormStore &store = FormStore::instance();
        if (setup == 1)
            store.WriteForm(0, fullJets(QStringLiteral("Заря")));
        if (setup == 2)
            store.set(2047, 37);
        const QByteArray image = store.image();

        w.SpeedButtonSendBlock->click();
        const QByteArray got = peer.receive(kFrame);
        QCOMPARE(got, expectedFrame(image.left(FormStore::kBankSize)));
        QCOMPARE(int(quint8(got[offset])), byte);
        QCOMPARE(store.image(), image); // a full jet and "я" stay 255 in the store
        QCOMPARE(prompts.messages, QStringList());
        QCOMPARE(readFile(sandbox.settingsPath()), settings); // only read
        QVERIFY(w.comPort()->isOpen());
    }

    void secondUploadQueuesBehindTheFirst()
    {
        Sandbox sandbox;
        RecordingPrompts prompts;
        SocatPair pair(sandbox.workDir());
        QVERIFY(pair.ready());
        pointSettingsAt(sandbox, pair.appEnd);
        PeerLine peer(pair.peerEnd);
        TfrmMain w;
        FormStore::instance().WriteForm(3, fullJets(QStringLiteral("Зяблик")));
        const QByteArray image = FormStore::instance().image();
        const QByteArray frame = expectedFrame(image.left(FormStore::kBankSize));

        // The click returns with the frame still queued: not a byte has left.
        w.SpeedButtonSendBlock->click();
        QCOMPARE(w.comPort()->bytesPending(), qint64(kFrame));
        QCOMPARE(peer.take(), QByteArray());
        w.SpeedButtonSendBlock->click();
        QCOMPARE(w.comPort()->bytesPending(), qint64(2 * kFrame));

        QCOMPARE(peer.receive(2 * kFrame), frame + frame);
        QCOMPARE(FormStore::instance().image(), image);
        QCOMPARE(prompts.messages, QStringList());
    }

    void framesStayWholeOnALineThatCannotKeepUp()
    {
        Sandbox sandbox;
        RecordingPrompts prompts;
        SocatPair pair(sandbox.workDir());
        QVERIFY(pair.ready());
        pointSettingsAt(sandbox, pair.appEnd);
        PeerLine peer(pair.peerEnd); // not read until the end: the line fills up
        TfrmMain w;
        QByteArray expected;
        qint64 slowestClickMs = 0;
        int queuedClicks = 0;
        for (int k = 0; k < 200 && queuedClicks < 5; ++k) {
            FormStore::instance().WriteForm(
                0, form(quint8(k), QStringLiteral("f%1").arg(k), 0, 1 + k % 59));
            expected += expectedFrame(FormStore::instance().bank0Image());
            const qint64 pendingBefore = w.comPort()->bytesPending();
            QElapsedTimer t;
            t.start();
            w.SpeedButtonSendBlock->click();
            slowestClickMs = std::max(slowestClickMs, t.elapsed());
            QCOMPARE(w.comPort()->bytesPending(), pendingBefore + kFrame);
            QTest::qWait(10);
            if (w.comPort()->bytesPending() > 0) // the line took no more
                ++queuedClicks;
        }
        QCOMPARE(queuedClicks, 5);
        qInfo("%lld frames, slowest click %lld ms, %lld bytes still queued",
              expected.size() / kFrame, slowestClickMs, w.comPort()->bytesPending());
        // A frame takes 2.1 s at 9600 baud; a click must not wait for the line.
        QVERIFY2(slowestClickMs < 200, qPrintable(QString::number(slowestClickMs)));
        QCOMPARE(peer.receive(expected.size(), 30000), expected);
        QCOMPARE(prompts.messages, QStringList());
    }

    void lineSettingsReachTheDevice()
    {
        Sandbox sandbox;
        RecordingPrompts prompts;
        SocatPair pair(sandbox.workDir());
        QVERIFY(pair.ready());
        pointSettingsAt(sandbox, pair.appEnd, "BaudRate=19200\n");
        PeerLine peer(pair.peerEnd);
        TfrmMain w;
        w.SpeedButtonSendBlock->click();
        QCOMPARE(peer.receive(kFrame).size(), kFrame);
        const auto *port = w.comPort()->findChild<QSerialPort *>();
        QVERIFY(port);
        QCOMPARE(port->openMode(), QIODevice::WriteOnly);
        termios t{};
        QCOMPARE(::tcgetattr(int(port->handle()), &t), 0);
        QCOMPARE(::cfgetospeed(&t), speed_t(B19200));
        QCOMPARE(t.c_cflag & CSIZE, tcflag_t(CS8));
        QCOMPARE(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), tcflag_t(0));
        QCOMPARE(t.c_iflag & (IXON | IXOFF), tcflag_t(0));
    }

    // ---- failures ----

    void missingPortIsReportedAndTriedAgain()
    {
        Sandbox sandbox;
        RecordingPrompts prompts;
        const QString port = sandbox.workPath(QStringLiteral("app"));
        pointSettingsAt(sandbox, port);
        TfrmMain w;
        w.SpeedButtonSendBlock->click();
        QCOMPARE(prompts.messages,
                 QStringList{"Error opening port " + port + ": No such file or directory."});
        QCOMPARE(prompts.titles, QStringList{QStringLiteral("Создание форм для фонтанов")});
        QVERIFY(!w.comPort()->isOpen());

        // The port appears (the adapter is plugged in): the next upload opens it.
        SocatPair pair(sandbox.workDir());
        QVERIFY(pair.ready());
        PeerLine peer(pair.peerEnd);
        w.SpeedButtonSendBlock->click();
        QCOMPARE(peer.receive(kFrame), expectedFrame(FormStore::instance().bank0Image()));
        QCOMPARE(prompts.messages.size(), 1);
    }

    void refusedPortAsksForSerialPortRights()
    {
        QCOMPARE(ComPort::openErrorText(QStringLiteral("/dev/ttyS0"),
                                        QStringLiteral("Permission denied"), true),
                 QStringLiteral("Error opening port /dev/ttyS0: Permission denied. The user must "
                                "be allowed to use serial ports: on Linux, add the user to the "
                                "dialout group"));

        Sandbox sandbox;
        RecordingPrompts prompts;
        SocatPair pair(sandbox.workDir());
        QVERIFY(pair.ready());
        pointSettingsAt(sandbox, pair.appEnd);
        for (const QString &path : {sandbox.configDir(), sandbox.settingsPath(), sandbox.workDir()})
            makeReachable(path);
        if (::geteuid() != 0) // the owner of the pseudo-terminal refuses itself
            QFile::setPermissions(pair.appEnd, {});
        TfrmMain w;
        {
            ActAsNobody nobody;
            w.SpeedButtonSendBlock->click();
        }
        QFile::setPermissions(pair.appEnd, QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(prompts.messages,
                 QStringList{ComPort::openErrorText(pair.appEnd, "Permission denied", true) + "."});
        QVERIFY(!w.comPort()->isOpen());

        PeerLine peer(pair.peerEnd);
        w.SpeedButtonSendBlock->click();
        QCOMPARE(peer.receive(kFrame).size(), kFrame);
        QCOMPARE(prompts.messages.size(), 1);
    }

    void lostPortGivesOneMessageAndReopens_data()
    {
        QTest::addColumn<bool>("whileSending");
        QTest::newRow("killed with a frame queued") << true;
        QTest::newRow("killed between uploads") << false;
    }
    void lostPortGivesOneMessageAndReopens()
    {
        QFETCH(bool, whileSending);
        Sandbox sandbox;
        RecordingPrompts prompts;
        const QString lineDir = sandbox.workDir();
        auto pair = std::make_unique<SocatPair>(lineDir);
        QVERIFY(pair->ready());
        pointSettingsAt(sandbox, pair->appEnd);
        TfrmMain w;
        const QByteArray frame = expectedFrame(FormStore::instance().bank0Image());
        {
            PeerLine peer(pair->peerEnd);
            w.SpeedButtonSendBlock->click();
            QCOMPARE(peer.receive(kFrame), frame);
        }

        if (whileSending) {
            w.SpeedButtonSendBlock->click();
            QCOMPARE(w.comPort()->bytesPending(), qint64(kFrame));
            pair->stop(SIGKILL);
        } else {
            pair->stop(SIGKILL);
            w.SpeedButtonSendBlock->click();
        }
        QTRY_COMPARE(prompts.messages.size(), 1);
        QVERIFY2(prompts.messages[0].startsWith("Error writing port " + pair->appEnd + ": "),
                 qPrintable(prompts.messages[0]));
        QVERIFY(!w.comPort()->isOpen());
        QTest::qWait(300);
        QCOMPARE(prompts.messages.size(), 1);

        pair = std::make_unique<SocatPair>(lineDir);
        QVERIFY(pair->ready());
        PeerLine peer(pair->peerEnd);
        w.SpeedButtonSendBlock->click();
        QCOMPARE(peer.receive(kFrame), frame);
        QCOMPARE(prompts.messages.size(), 1);
    }

    // ---- the frame monitor ----

    void monitorDecodesWhatWasLoaded()
    {
        Sandbox sandbox;
        RecordingPrompts prompts;
        SocatPair pair(sandbox.workDir());
        QVERIFY(pair.ready());
        pointSettingsAt(sandbox, pair.appEnd);

        auto source = std::make_unique<FormStore>();
        source->WriteForm(0, form(0, QStringLiteral("Волна"), 1, 5));
        source->WriteForm(1, form(100, QStringLiteral("Гейзер"), 0, 45)); // stored as "Гейзе"
        source->WriteForm(2, form(230, QStringLiteral("a \"b\""), 12, 0));
        source->WriteForm(3, form(17, QString(), 0, 1));
        source->WriteForm(5, form(50, QStringLiteral("после"), 3, 3)); // behind the coda
        source->writeTravelTimes({7, 8, 9, 10, 11, 12, 13, 200});
        writeFile(sandbox.workPath(QStringLiteral("show.frm")), source->image());

        TfrmMain w;
        prompts.openAnswers << sandbox.workPath(QStringLiteral("show.frm"));
        w.SpeedButtonLoad->click();
        QCOMPARE(FormStore::instance().image(), source->image());

        QProcess monitor;
        monitor.start(monitorProgram(), {pair.peerEnd, QStringLiteral("--once")});
        QByteArray err;
        QTRY_VERIFY((err += monitor.readAllStandardError()).contains("listening"));
        w.SpeedButtonSendBlock->click();
        QTRY_COMPARE_WITH_TIMEOUT(monitor.state(), QProcess::NotRunning, 10000);
        QCOMPARE(monitor.exitCode(), 0);

        const QStringList lines =
            QString::fromUtf8(monitor.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.value(0), QStringLiteral("frame 1: 4 forms, coda mark at form 5"));
        static const QRegularExpression line(
            QStringLiteral(R"re(^form +(\d+) +"(.*)" +jets((?: +\d+){8}) +hold +(\d+):(\d\d)$)re"));
        QCOMPARE(lines.size(), 5);
        for (int slot = 0; slot < 4; ++slot) {
            const auto m = line.match(lines[slot + 1]);
            QVERIFY2(m.hasMatch(), qPrintable(lines[slot + 1]));
            QCOMPARE(m.captured(1).toInt(), slot + 1);
            FountainForm decoded;
            decoded.name = m.captured(2);
            const QStringList jets = m.captured(3).split(u' ', Qt::SkipEmptyParts);
            for (int v = 0; v < 8; ++v)
                decoded.levels[v] = std::uint8_t(jets[v].toInt());
            decoded.holdMin = std::uint8_t(m.captured(4).toInt());
            decoded.holdSek = std::uint8_t(m.captured(5).toInt());
            QCOMPARE(decoded, FormStore::instance().ReadForm(slot));
            QCOMPARE(decoded, source->ReadForm(slot));
        }
    }

    void monitorArguments_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says");
        QTest::newRow("help") << QStringList{"--help"} << 0 << "--once";
        QTest::newRow("no device") << QStringList{} << 2 << "Give exactly one serial device.";
        QTest::newRow("bad baud") << QStringList{"--baud", "fast", "/dev/null"} << 2
                                  << "Not a baud rate: fast";
        QTest::newRow("no such device")
            << QStringList{"/nonexistent/tty"} << 1
            << "Cannot open /nonexistent/tty: No such file or directory";
    }
    void monitorArguments()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, says);
        QProcess monitor;
        monitor.start(monitorProgram(), args);
        QVERIFY(monitor.waitForFinished(10000));
        QCOMPARE(monitor.exitCode(), exitCode);
        const QString output =
            QString::fromUtf8(monitor.readAllStandardOutput() + monitor.readAllStandardError());
        QVERIFY2(output.contains(says), qPrintable(output));
    }
};

QTEST_MAIN(TestLink)
#include "tst_link.moc"
