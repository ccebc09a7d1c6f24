#include "tests/serial_bench.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

SerialBench::SerialBench(const QByteArray &moreSettings)
{
    writeFile(sandbox.settingsPath(),
              "[Options]\nComPort=" + QFile::encodeName(appEnd) + "\n" + moreSettings);
}

SerialBench::~SerialBench()
{
    unplug(SIGTERM);
}

bool SerialBench::plugIn(bool openPeer)
{
    unplug(SIGTERM);
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

void SerialBench::unplug(int signal)
{
    if (m_peer >= 0)
        ::close(std::exchange(m_peer, -1));
    if (m_socat.state() != QProcess::NotRunning) {
        ::kill(pid_t(m_socat.processId()), signal);
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
