// A serial line for tests: a socat pseudo-terminal pair whose one end the
// program under test uses as its port, the other end read raw by the test.
#pragma once

#include "tests/test_support.h"

#include <QByteArray>
#include <QProcess>

// Private settings whose ComPort is the program's end of the pair, plugged
// in on demand. The far end is read raw and only when asked, so that a test
// can leave the line full.
class SerialBench
{
  public:
    Sandbox sandbox;
    const QString appEnd = sandbox.workPath("app");
    const QString peerEnd = sandbox.workPath("peer");

    explicit SerialBench(const QByteArray &moreSettings = {});
    ~SerialBench();

    // Starts socat and, unless told not to, opens the far end.
    bool plugIn(bool openPeer = true);
    // Closes the far end and stops socat by its process id.
    void unplug(int signal);
    // Runs the event loop, where the program sends, until n bytes came.
    QByteArray receive(qsizetype n, int timeoutMs = 10000);

  private:
    QProcess m_socat;
    int m_peer = -1;
};
