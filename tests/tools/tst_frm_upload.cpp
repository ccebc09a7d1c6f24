// fountain-frm upload against a real peer: a socat pair whose far end the
// test reads, the port from the settings file or the command line.
#include "core/form_store.h"
#include "core/upload_frame.h"
#include "tests/support/frm_support.h"
#include "tests/support/serial_bench.h"

#include <QFile>
#include <QTest>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

// A programme with full jets and the letter "я" (both 0xFF) in it.
QByteArray fullJetsFile()
{
    FormStore store;
    store.WriteForm(0, form({255, 255, 0, 10, 20, 30, 40, 255}, QStringLiteral("Заря"), 0, 9));
    store.WriteForm(1, form({1, 2, 3, 4, 5, 6, 7, 8}, QStringLiteral("Струя"), 1, 0));
    store.writeTravelTimes({7, 20, 30, 40, 50, 60, 70, 255});
    return store.image();
}

} // namespace

class TestFrmUpload : public QObject
{
    Q_OBJECT

  private slots:
    // The far end gets the send button's frame; the file stays as it was.
    void sendsTheEditorsFrame_data()
    {
        QTest::addColumn<bool>("portGiven");
        QTest::newRow("port from the settings file") << false;
        QTest::newRow("--port and --baud") << true;
    }
    void sendsTheEditorsFrame()
    {
        QFETCH(bool, portGiven);
        SerialBench b(portGiven ? "ComPort=/dev/null/none\n" : "");
        QVERIFY(b.plugIn());
        const QString file = b.sandbox.workPath(QStringLiteral("show.frm"));
        const QByteArray image = fullJetsFile();
        writeFile(file, image);
        QStringList args{QStringLiteral("upload"), file};
        if (portGiven)
            args << QStringLiteral("--port") << b.appEnd << QStringLiteral("--baud")
                 << QStringLiteral("19200");
        const Run run = runTool(args, b.sandbox.workDir());
        QCOMPARE(run.err, QString());
        QCOMPARE(run.code, 0);
        const QByteArray frame = b.receive(upload_frame::kFrameSize);
        QCOMPARE(frame, upload_frame::build(QByteArray(image.left(form_layout::kBankSize))));
        QVERIFY(!frame.mid(1).contains('\xFF'));
        QCOMPARE(readFile(file), image);
    }

    // Failures, each with its message and exit status 2, the file untouched:
    // a port that is missing or not a port; a --timeout that is no time, or
    // too short for one frame at the speed (refused before the port is
    // opened: the port here is missing); a line that takes nothing more, where
    // the frame is given up at --timeout. WORK stands for the working folder,
    // WORK/app for the program's end of the line.
    void failures_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
#ifdef Q_OS_WIN
        const QString missing = QStringLiteral("File not found");
#else
        const QString missing = QStringLiteral("No such file or directory");
        QTest::newRow("file here, bare name")
            << QStringList{"--port", "notes.txt"}
            << "Error opening port notes.txt: notes.txt is a file in the current folder, not a"
               " serial port; a serial port is named by its device, such as /dev/ttyS0";
        QTest::newRow("file") << QStringList{"--port", "WORK/notes.txt"}
                              << "Error opening port WORK/notes.txt: not a serial port";
        QTest::newRow("folder") << QStringList{"--port", "WORK"}
                                << "Error opening port WORK: not a serial port";
        QTest::newRow("stuck line")
            << QStringList{"--port", "WORK/app", "--baud", "115200", "--timeout", "0.3"}
            << "Error writing port WORK/app: 2050 bytes did not leave the line within 0.3 s";
#endif
        QTest::newRow("missing port")
            << QStringList{"--port", "WORK/app"} << "Error opening port WORK/app: " + missing;
        QTest::newRow("empty port") << QStringList{"--port", ""} << "No serial port given";
        QTest::newRow("blank port") << QStringList{"--port", " "} << "No serial port given";
        for (const char *t : {"abc", "0", "-2"})
            QTest::newRow(t) << QStringList{"--timeout", t}
                             << QStringLiteral("fountain-frm: not a time-out in seconds (above 0,"
                                               " at most 86400): %1")
                                    .arg(t);
        QTest::newRow("110 baud") << QStringList{"--baud", "110"}
                                  << "fountain-frm: at 110 baud one frame takes 187 s to send,"
                                     " longer than --timeout 60 s; give a higher --baud or a"
                                     " longer --timeout";
        QTest::newRow("fast, but too short") << QStringList{"--baud", "115200", "--timeout", "0.1"}
                                             << "fountain-frm: at 115200 baud one frame takes 0.2"
                                                " s to send, longer than --timeout 0.1 s; give a"
                                                " higher --baud or a longer --timeout";
    }
    void failures()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        SerialBench b;
#ifdef Q_OS_UNIX
        if (QTest::currentDataTag() == QByteArray("stuck line")) {
            QVERIFY(b.plugIn()); // the far end is never read
            const int fd =
                ::open(QFile::encodeName(b.appEnd).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
            QVERIFY(fd >= 0);
            // Full once it takes nothing, also after socat has moved what it could.
            for (int idle = 0; idle < 3; ++idle) {
                while (::write(fd, "x", 1) == 1)
                    idle = 0;
                QTest::qWait(20);
            }
            ::close(fd);
        }
#endif
        const QString file = b.sandbox.workPath(QStringLiteral("show.frm"));
        writeFile(file, fullJetsFile());
        writeFile(b.sandbox.workPath(QStringLiteral("notes.txt")), "not a serial port");
        args.replaceInStrings(QStringLiteral("WORK"), b.sandbox.workDir());
        const Run run =
            runTool(QStringList{QStringLiteral("upload"), file} + args, b.sandbox.workDir());
        QCOMPARE(run.err, message.replace(QStringLiteral("WORK"), b.sandbox.workDir()) + u'\n');
        QCOMPARE(run.code, 2);
        QCOMPARE(readFile(file), fullJetsFile());
        QCOMPARE(readFile(b.sandbox.workPath(QStringLiteral("notes.txt"))),
                 QByteArray("not a serial port"));
    }
};

QTEST_GUILESS_MAIN(TestFrmUpload)
#include "tst_frm_upload.moc"
