#include "tests/support/serial_bench.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#ifdef Q_OS_WIN

// The runner's line: up while there is no "hangup" file, read while there
// is no "pause" file; it keeps the state files "up" and "reading".
namespace {

QString controlPath(const char *name)
{
    return qEnvironmentVariable("FOUNTAIN_TEST_SERIAL_CONTROL") + u'/' + QLatin1String(name);
}

} // namespace

SerialBench::SerialBench(const QByteArray &moreSettings)
    : appEnd(qEnvironmentVariable("FOUNTAIN_TEST_COM_PORT")),
      peerEnd(qEnvironmentVariable("FOUNTAIN_TEST_SERIAL_CAPTURE"))
{
    QVERIFY2(!appEnd.isEmpty() && !peerEnd.isEmpty(),
             "run under scripts/wine-run.sh --serial-capture N");
    writeFile(sandbox.settingsPath(),
              "[Options]\nComPort=" + appEnd.toLatin1() + "\n" + moreSettings);
    // As on Linux, the port is missing until plugged in, and then not read.
    control("pause", true, "reading", false);
    unplug();
}

SerialBench::~SerialBench() = default;

bool SerialBench::control(const char *request, bool on, const char *state, bool stateWanted)
{
    if (on) {
        QFile f(controlPath(request));
        if (!f.open(QIODevice::WriteOnly))
            return false;
    } else {
        QFile::remove(controlPath(request));
    }
    QElapsedTimer t;
    t.start();
    while (QFile::exists(controlPath(state)) != stateWanted && t.elapsed() < 5000)
        QTest::qWait(10);
    return QFile::exists(controlPath(state)) == stateWanted;
}

QByteArray SerialBench::captured() const
{
    QFile f(peerEnd);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool SerialBench::plugIn(bool)
{
    const bool up = control("hangup", false, "up", true);
    m_read = captured().size();
    return up;
}

void SerialBench::unplug(bool)
{
    control("hangup", true, "up", false);
}

QByteArray SerialBench::receive(qsizetype n, int timeoutMs)
{
    // With no time to wait the far end is only looked at, as on Linux.
    if (timeoutMs > 0)
        QFile::remove(controlPath("pause"));
    QElapsedTimer t;
    t.start();
    while (captured().size() - m_read < n && t.elapsed() < timeoutMs)
        QTest::qWait(5);
    if (timeoutMs > 0)
        control("pause", true, "reading", false);
    const QByteArray got = captured().mid(m_read);
    m_read += got.size();
    return got;
}

#else

#include <csignal>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

SerialBench::SerialBench(const QByteArray &moreSettings)
    : appEnd(sandbox.workPath("app")), peerEnd(sandbox.workPath("peer"))
{
    writeFile(sandbox.settingsPath(),
              "[Options]\nComPort=" + QFile::encodeName(appEnd) + "\n" + moreSettings);
}

SerialBench::~SerialBench()
{
    unplug();
}

bool SerialBench::plugIn(bool openPeer)
{
    unplug();
    QFile::remove(appEnd); // links a killed socat left behind would look ready at once
    QFile::remove(peerEnd);
    m_socat.start("socat", {"pty,raw,echo=0,link=" + appEnd, "pty,raw,echo=0,link=" + peerEnd});
    const auto ready = [this] { return QFile::exists(appEnd) && QFile::exists(peerEnd); };
    QElapsedTimer t;
    t.start();
    while (!ready() && t.elapsed() < 5000 && m_socat.state() != QProcess::NotRunning)
        QTest::qWait(10);
    if (!ready() || !openPeer)
        return ready();
    m_peer = ::open(QFile::encodeName(peerEnd).constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    termios raw{};
    if (m_peer >= 0 && ::tcgetattr(m_peer, &raw) == 0) {
        ::cfmakeraw(&raw);
        ::tcsetattr(m_peer, TCSANOW, &raw);
    }
    return m_peer >= 0;
}

void SerialBench::unplug(bool killed)
{
    if (m_peer >= 0)
        ::close(std::exchange(m_peer, -1));
    if (m_socat.state() != QProcess::NotRunning) {
        ::kill(pid_t(m_socat.processId()), killed ? SIGKILL : SIGTERM);
        m_socat.waitForFinished(5000);
    }
}

QByteArray SerialBench::receive(qsizetype n, int timeoutMs)
{
    QByteArray got;
    QElapsedTimer t;
    t.start();
    for (char buf[4096];; QTest::qWait(5)) {
        for (ssize_t k; (k = ::read(m_peer, buf, sizeof buf)) > 0;)
            got.append(buf, k);
        if (got.size() >= n || t.elapsed() >= timeoutMs)
            return got;
    }
}

#endif
