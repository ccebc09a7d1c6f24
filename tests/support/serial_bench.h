// A serial line for tests. On Linux a socat pseudo-terminal pair whose one end
// the program under test uses as its port, the other end read raw by the
// test. Under Wine the port is the COM port of scripts/wine-run.sh
// --serial-capture, whose far end the runner copies into a file; its control
// files plug, unplug and pause the far end.
#pragma once

#include "tests/support/test_support.h"

#include <QByteArray>
#include <QProcess>

// Private settings whose ComPort is the program's end of the line, plugged
// in on demand. The far end is read only when asked, so that a test can
// leave the line full.
class SerialBench
{
  public:
    Sandbox sandbox;
    // The port name the program is given, and the far end: the socat
    // pair's other link, or under Wine the capture file.
    const QString appEnd;
    const QString peerEnd;

    explicit SerialBench(const QByteArray &moreSettings = {});
    ~SerialBench();

    // Connects the line and, unless told not to, opens the far end (Linux).
    bool plugIn(bool openPeer = true);
    // Ends the line: socat stopped by its process id, or killed at once as a
    // pulled cable would end it.
    void unplug(bool killed = false);
    // Runs the event loop, where the program sends, until n bytes came.
    QByteArray receive(qsizetype n, int timeoutMs = 10000);

  private:
#ifdef Q_OS_WIN
    // Puts or takes away one of the runner's control files, then waits
    // until the runner's state file says it has acted.
    bool control(const char *request, bool on, const char *state, bool stateWanted);
    QByteArray captured() const;
    qsizetype m_read = 0;
#else
    QProcess m_socat;
    int m_peer = -1;
#endif
};
