// fountain-frm upload against a real peer: a socat pair whose far end the
// test reads, the port from the settings file or the command line.
#include "link/upload_frame.h"
#include "store/form_store.h"
#include "tests/frm_support.h"
#include "tests/serial_bench.h"

#include <QTest>

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
        QCOMPARE(frame, upload_frame::build(QByteArray(image.left(FormStore::kBankSize))));
        QVERIFY(!frame.mid(1).contains('\xFF'));
        QCOMPARE(readFile(file), image);
    }

    // A port that is missing or refuses to be one: the editor's message and
    // exit status 2. (A port failing on the line is the editor's own ComPort
    // path, checked in the link tests.)
    void portsThatFailGiveTheEditorsMessages()
    {
        SerialBench b;
        const QString file = b.sandbox.workPath(QStringLiteral("show.frm"));
        writeFile(file, fullJetsFile());
        const QString notAPort = b.sandbox.workPath(QStringLiteral("notes.txt"));
        writeFile(notAPort, "not a serial port");
        for (const QString &port : {b.appEnd, notAPort}) {
            const Run run =
                runTool({QStringLiteral("upload"), file, QStringLiteral("--port"), port},
                        b.sandbox.workDir());
            QCOMPARE(run.code, 2);
            QVERIFY2(run.err.startsWith(QStringLiteral("Error opening port ") + port + u':'),
                     qPrintable(run.err));
        }
        QCOMPARE(readFile(notAPort), QByteArray("not a serial port"));
    }
};

QTEST_GUILESS_MAIN(TestFrmUpload)
#include "tst_frm_upload.moc"
