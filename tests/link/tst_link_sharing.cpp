// The serial port shared with other programs: the editor holds it only while
// a frame is on the line, reads the line's settings at every send, and names
// the program that holds the port where the system tells. The other programs
// are fountain-frm and, on Linux, the frame monitor; the peer is a socat pty
// pair, under Wine the runner's COM port (see tests/support/serial_bench.h).
#include "core/form_store.h"
#include "core/profile.h"
#include "core/upload_frame.h"
#include "link/block_upload.h"
#include "link/com_port.h"
#include "tests/support/serial_bench.h"
#include "tests/support/window_fixture.h"

#include <QProcess>
#include <QTest>
#include <QToolButton>

#include <csignal>

namespace {

constexpr int kFrame = upload_frame::kFrameSize;
const QString kBinaries = qEnvironmentVariable("FOUNTAIN_TEST_BINARY_DIR");

ComPort &portOf(WindowFixture &f)
{
    return findNamed<TBlockUpload>(&f.w(), QString())->port();
}

void send(WindowFixture &f)
{
    f.button(QStringLiteral("SpeedButtonSendBlock"))->click();
}

} // namespace

class TestLinkSharing : public QObject
{
    Q_OBJECT

  private slots:
    // A timed fountain-frm upload gets the port between the editor's sends,
    // and the editor gets it back.
    void portIsFreeBetweenSends()
    {
        SerialBench b;
        QVERIFY(b.plugIn());
        WindowFixture f(&b.sandbox);
        const QByteArray frame = expectedFrame(f.store().bank0Image());
        send(f);
        QCOMPARE(b.receive(kFrame), frame);
        QTRY_VERIFY(!portOf(f).isOpen());

        const QByteArray show = randomImage(7);
        writeFile(b.sandbox.workPath("show.frm"), show);
        QProcess tool;
        tool.start(kBinaries + "/tools/fountain-frm", {"upload", b.sandbox.workPath("show.frm")});
        // Read while the tool sends, as the controller would.
        QCOMPARE(b.receive(kFrame), expectedFrame(show.left(form_layout::kBankSize)));
        QTRY_COMPARE_WITH_TIMEOUT(tool.state(), QProcess::NotRunning, 10000);
        QCOMPARE(tool.readAllStandardError(), QByteArray());
        QCOMPARE(tool.exitCode(), 0);

        send(f);
        QCOMPARE(b.receive(kFrame), frame);
        QCOMPARE(f.prompts.messages, QStringList());
    }

    // A corrected ComPort counts at the next send. A send while the line is
    // still busy is refused when the settings name another line by then,
    // rather than sent to the old one.
    void nextSendReadsTheSettingsAgain()
    {
#ifdef Q_OS_WIN
        const QString other = QStringLiteral("COM42"); // missing: the next send says so
#else
        SerialBench b2;
        QVERIFY(b2.plugIn());
        const QString other = b2.appEnd;
#endif
        SerialBench b;
        QVERIFY(b.plugIn());
        WindowFixture f(&b.sandbox);
        const QByteArray frame = expectedFrame(f.store().bank0Image());
        send(f);
        ProfileFile(b.sandbox.settingsPath())
            .writeString(ComPort::kSection, ComPort::kPortNameKey, other);
        send(f);
        QCOMPARE(f.prompts.messages,
                 QStringList{"Cannot send to " + other + " at 9600 baud while " + b.appEnd +
                             " at 9600 baud is still sending the last upload; send again once"
                             " it has finished."});
        QCOMPARE(b.receive(kFrame), frame);
        QTRY_VERIFY(!portOf(f).isOpen());
        send(f);
#ifdef Q_OS_WIN
        QCOMPARE(f.prompts.messages.value(1), "Error opening port COM42: File not found.");
#else
        QCOMPARE(b2.receive(kFrame), frame);
        QCOMPARE(f.prompts.messages.size(), 1);
#endif
        QCOMPARE(b.receive(1, 100), QByteArray());
    }

#ifndef Q_OS_WIN
    // Another program holding the port is named. (No full stop is added
    // after the bracket.) Wine opens a COM port twice without complaint, so
    // Windows' "access denied" cannot be met there.
    void portInUseNamesTheProgram()
    {
        SerialBench b;
        QVERIFY(b.plugIn());
        WindowFixture f(&b.sandbox);
        QProcess holder;
        holder.start(kBinaries + "/tools/fountain-frame-monitor", {b.appEnd});
        QByteArray err;
        QTRY_VERIFY((err += holder.readAllStandardError()).contains("listening"));
        send(f);
        QCOMPARE(f.prompts.messages,
                 QStringList{QStringLiteral("Error opening port %1: the port is in use by another"
                                            " program (fountain-frame-monitor, process %2)")
                                 .arg(b.appEnd)
                                 .arg(holder.processId())});
        // Stopped, the monitor closes the port: a killed holder would leave
        // its exclusive use on a line socat still holds, refusing all but root.
        holder.terminate();
        QVERIFY(holder.waitForFinished(5000));
        QCOMPARE(holder.exitStatus(), QProcess::NormalExit);
        QCOMPARE(holder.exitCode(), 128 + SIGTERM);
        send(f);
        QCOMPARE(b.receive(kFrame), expectedFrame(f.store().bank0Image()));
        QCOMPARE(f.prompts.messages.size(), 1);
    }
#endif
};

QTEST_MAIN(TestLinkSharing)
#include "tst_link_sharing.moc"
