// The upload frame: bank 0 with only its start byte sent as 0xFF, and the
// reader that cuts a byte stream from the line into frames.
#include "link/upload_frame.h"
#include "store/form_store.h"
#include "tests/test_support.h"

#include <QTest>

#include <utility>

class TestFrame : public QObject
{
    Q_OBJECT

  private slots:
    void frameSendsOnlyTheStartByteAsFF()
    {
        QByteArray bank(FormStore::kBankSize, '\0');
        for (int i = 0; i < bank.size(); ++i)
            bank[i] = char(i % 256);
        const QByteArray frame = upload_frame::build(bank);
        QCOMPARE(frame, expectedFrame(bank));
        QCOMPARE(frame.count('\xFF'), 1);
    }

    void readerCutsTheStreamIntoFrames()
    {
        const QByteArray f = upload_frame::build(QByteArray(FormStore::kBankSize, '\x28'));
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
