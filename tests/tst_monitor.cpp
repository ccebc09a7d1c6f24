// The frame monitor run as an operator runs it, on a socat pty pair: what it
// says of a frame and of a line that closes under it.
#include "link/upload_frame.h"
#include "store/form_store.h"
#include "tests/test_support.h"

#include <QFile>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <memory>

class TestMonitor : public QObject
{
    Q_OBJECT

  private slots:
    void monitorCountsFormsAndNamesAClosedLine()
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

        // A programme with no coda mark: once "128 forms", though the editor has 100.
        auto store = std::make_unique<FormStore>();
        for (int slot = 0; slot < FormStore::kSlots; ++slot)
            store->WriteForm(slot, FountainForm{{}, QStringLiteral("f"), 1, 0});
        QFile line(appEnd);
        QVERIFY(line.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        QCOMPARE(line.write(upload_frame::build(store->bank0Image())), upload_frame::kFrameSize);
        QByteArray out;
        QTRY_VERIFY((out += monitor.readAllStandardOutput()).count('\n') >= 101);
        QVERIFY2(out.startsWith("frame 1: 100 forms, no coda mark\n"), out.left(80).constData());

        // The far end goes away: once "Inappropriate ioctl for device".
        line.close();
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
