// The frame monitor run as an operator runs it, on a socat pty pair, when the
// line closes under it (what it prints of frames: tst_link, tst_frame).
#include "tests/support/test_support.h"

#include <QFile>
#include <QProcess>
#include <QTest>

#include <csignal>

class TestMonitor : public QObject
{
    Q_OBJECT

  private slots:
    void monitorNamesAClosedLine()
    {
        Sandbox sandbox;
        const QString appEnd = sandbox.workPath("app");
        const QString peerEnd = sandbox.workPath("peer");
        QProcess socat;
        socat.start("socat", {"pty,raw,echo=0,link=" + appEnd, "pty,raw,echo=0,link=" + peerEnd});
        QTRY_VERIFY(QFile::exists(appEnd) && QFile::exists(peerEnd));
        QProcess monitor;
        monitor.start(qEnvironmentVariable("FOUNTAIN_TEST_BINARY_DIR") +
                          "/tools/fountain-frame-monitor",
                      {peerEnd});
        QByteArray err;
        QTRY_VERIFY((err += monitor.readAllStandardError()).contains("listening"));

        // The far end goes away: once "Inappropriate ioctl for device".
        ::kill(pid_t(socat.processId()), SIGTERM);
        QVERIFY(socat.waitForFinished(5000));
        QTRY_COMPARE_WITH_TIMEOUT(monitor.state(), QProcess::NotRunning, 10000);
        QCOMPARE(monitor.exitCode(), 1);
        err += monitor.readAllStandardError();
        QVERIFY2(err.endsWith("Stopped listening on " + QFile::encodeName(peerEnd) +
                              ": the line closed\n"),
                 err.constData());
    }
};

QTEST_GUILESS_MAIN(TestMonitor)
#include "tst_monitor.moc"
