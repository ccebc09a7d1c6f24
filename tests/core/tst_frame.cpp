// The upload frame: bank 0 with only its start byte sent as 0xFF, and the
// reader that cuts a byte stream from the line into frames.
#include "core/form_store.h"
#include "core/upload_frame.h"
#include "tests/support/test_support.h"

#include <QTest>

#include <memory>
#include <utility>

class TestFrame : public QObject
{
    Q_OBJECT

  private slots:
    void frameSendsOnlyTheStartByteAsFF()
    {
        QByteArray bank(form_layout::kBankSize, '\0');
        for (int i = 0; i < bank.size(); ++i)
            bank[i] = char(i % 256);
        const QByteArray frame = upload_frame::build(bank);
        QCOMPARE(frame, expectedFrame(bank));
        QCOMPARE(frame.count('\xFF'), 1);
    }

    // What the decoder refuses, and why: the monitor prints it for a frame
    // the controller would not take.
    void decoderRefusesWhatIsNoFrame_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QString>("problem");
        const QByteArray good = upload_frame::build(QByteArray(form_layout::kBankSize, '\x01'));
        QTest::newRow("one byte short") << good.chopped(1) << "2049 bytes instead of 2050";
        QTest::newRow("one byte more") << good + '\x01' << "2051 bytes instead of 2050";
        QTest::newRow("empty") << QByteArray() << "0 bytes instead of 2050";
        QByteArray bad = good;
        bad[0] = '\xFE';
        QTest::newRow("no start byte") << bad << "first byte 0xFE instead of 0xFF";
        bad = good;
        bad[1] = '\x0F';
        QTest::newRow("wrong header") << bad << "second byte 0x0F instead of 0xF0";
        bad = good;
        bad[2049] = '\xFF';
        QTest::newRow("start byte inside")
            << bad << "a start byte 0xFF inside the data at offset 2049";
    }
    void decoderRefusesWhatIsNoFrame()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QString, problem);
        QString why;
        QVERIFY(!upload_frame::decode(frame, &why));
        QCOMPARE(why, problem);
    }

    void programmeEndsAtTheCodaOrForm100_data()
    {
        QTest::addColumn<int>("coda"); // the one slot given hold time 0:00, -1 for none
        QTest::addColumn<int>("forms");
        QTest::addColumn<int>("codaSlot");
        QTest::newRow("coda at form 5") << 4 << 4 << 4;
        QTest::newRow("coda at form 100") << 99 << 99 << 99;
        // Once read as 128 forms: the slots past 100 are none the editor plays.
        QTest::newRow("no coda") << -1 << 100 << -1;
        QTest::newRow("coda at slot 110 only") << 110 << 100 << -1;
    }
    void programmeEndsAtTheCodaOrForm100()
    {
        QFETCH(int, coda);
        QFETCH(int, forms);
        QFETCH(int, codaSlot);
        auto store = std::make_unique<FormStore>();
        for (int slot = 0; slot < form_layout::kSlots; ++slot) {
            FountainForm f;
            f.holdSek = slot == coda ? 0 : 5;
            store->WriteForm(slot, f);
        }
        const auto programme = upload_frame::decode(upload_frame::build(store->bank0Image()));
        QVERIFY(programme);
        QCOMPARE(programme->forms.size(), forms);
        QCOMPARE(programme->codaSlot, codaSlot);
    }

    void readerCutsTheStreamIntoFrames()
    {
        const QByteArray f = upload_frame::build(QByteArray(form_layout::kBankSize, '\x28'));
        QList<QByteArray> singles;
        for (const char c : f)
            singles.append(QByteArray(1, c));
        const QByteArray badHeader = QByteArray(f).replace(1, 1, "\0", 1);
        const QList<std::pair<QList<QByteArray>, QStringList>> cases = {
            {singles, {"frame"}},
            {{f + f.left(100), f.mid(100)}, {"frame", "frame"}},
            {{f.left(700), f}, {"cut short after 700 of 2050 bytes", "frame"}},
            {{f.left(10)}, {"cut short after 10 of 2050 bytes"}}, // and the line goes quiet
            {{"abc" + f}, {"3 bytes outside a frame", "frame"}},
            {{badHeader}, {"second byte 0x00 instead of 0xF0, 2050 bytes"}}};
        for (const auto &[pieces, events] : cases) {
            upload_frame::Reader reader;
            QList<upload_frame::Reader::Event> got;
            for (const QByteArray &piece : pieces)
                got += reader.feed(piece);
            got += reader.idle();
            QStringList seen;
            for (const auto &e : got)
                seen << (e.kind != upload_frame::Reader::Event::Kind::Frame ? e.what
                         : e.bytes == f                                     ? "frame"
                                                                            : "wrong frame");
            QCOMPARE(seen, events);
        }
    }
};

QTEST_APPLESS_MAIN(TestFrame)
#include "tst_frame.moc"
