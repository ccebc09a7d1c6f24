// The form store's encoding, Windows-1251 text and the error texts.
#include "app/app_error.h"
#include "store/cp1251.h"
#include "store/form_store.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

#include <memory>

class TestStore : public QObject
{
    Q_OBJECT

    // A private store per test, so no test depends on another's leftovers.
    std::unique_ptr<FormStore> m_store;
    FormStore &store() { return *m_store; }

  private slots:
    void init() { m_store = std::make_unique<FormStore>(); }

    void clearedStoreReadsAsCodaEverywhere()
    {
        store().set(77, 9);
        store().ClearStore();
        for (int slot = 0; slot < FormStore::kSlots; ++slot) {
            const FountainForm f = store().ReadForm(slot);
            QCOMPARE(f, FountainForm{});
            QVERIFY(f.isCoda());
        }
        QCOMPARE(store().image(), QByteArray(FormStore::kSize, '\0'));
    }

    void slotAddresses_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("name");
        QTest::newRow("slot 0") << 0 << 0 << 128;
        QTest::newRow("slot 99") << 99 << 99 << 227;
        QTest::newRow("slot 127") << 127 << 127 << 255;
    }
    void slotAddresses()
    {
        QFETCH(int, slot);
        QFETCH(int, level);
        QFETCH(int, name);
        const SlotAddress a = store().UstAdrBufer(slot);
        QCOMPARE(a.level, level);
        QCOMPARE(a.name, name);
    }

    void writeFormPutsEveryFieldAtItsIndex()
    {
        FountainForm f;
        f.levels = {255, 1, 2, 3, 4, 5, 6, 0};
        f.name = QStringLiteral("Ёлкая");
        f.holdMin = 2;
        f.holdSek = 59;
        store().WriteForm(0, f);
        QCOMPARE(store().at(0), 255);     // valve 1, bar at the top
        QCOMPARE(store().at(256), 1);     // valve 2
        QCOMPARE(store().at(1792), 0);    // valve 8, bar at the bottom
        QCOMPARE(store().at(128), 5);     // name length
        QCOMPARE(store().at(384), 0xA8);  // Ё
        QCOMPARE(store().at(1408), 0xFF); // fifth character я
        QCOMPARE(store().at(1664), 2);    // hold minutes
        QCOMPARE(store().at(1920), 59);   // hold seconds
        QCOMPARE(store().ReadForm(0), f);

        f.holdSek = 7;
        store().WriteForm(99, f);
        QCOMPARE(store().at(2019), 7); // slot 99's hold seconds
        QCOMPARE(store().ReadForm(99), f);
    }

    void namesAreCutToFiveCharacters()
    {
        FountainForm f;
        f.name = QStringLiteral("Фонтан"); // six characters, as the name box allows
        store().WriteForm(3, f);
        QCOMPARE(store().at(128 + 3), 5);
        QCOMPARE(store().ReadForm(3).name, QStringLiteral("Фонта"));
    }

    void lengthByteAboveFiveReadsFiveCharacters()
    {
        FountainForm f;
        f.name = QStringLiteral("abcde");
        store().WriteForm(4, f);
        store().set(128 + 4, 9);
        QCOMPARE(store().ReadForm(4).name, QStringLiteral("abcde"));
    }

    void shorterNameReadsOnlyItsLength()
    {
        FountainForm f;
        f.name = QStringLiteral("abcde");
        store().WriteForm(5, f);
        f.name = QStringLiteral("xy");
        store().WriteForm(5, f);
        QCOMPARE(store().ReadForm(5).name, QStringLiteral("xy"));
    }

    void markCodaTouchesOnlyTheHoldBytes()
    {
        FountainForm f;
        f.levels = {10, 20, 30, 40, 50, 60, 70, 80};
        f.name = QStringLiteral("coda");
        f.holdMin = 1;
        f.holdSek = 30;
        store().WriteForm(6, f);
        const QByteArray before = store().image();
        store().MarkCoda(6);
        const QByteArray after = store().image();
        int changed = 0;
        for (int i = 0; i < FormStore::kSize; ++i)
            changed += before[i] != after[i];
        QCOMPARE(changed, 2);
        QCOMPARE(store().at(128 + 6 + 6 * 256), 0);
        QCOMPARE(store().at(128 + 6 + 7 * 256), 0);
        QVERIFY(store().ReadForm(6).isCoda());
        QCOMPARE(store().ReadForm(6).levels, f.levels);
    }

    void travelTimeBytes()
    {
        store().writeTravelTimes({7, 20, 30, 40, 50, 60, 70, 255});
        QCOMPARE(store().at(6271), 7);
        QCOMPARE(store().at(6527), 20);
        QCOMPARE(store().at(8063), 255);
        QCOMPARE(store().ReadZadv(), (std::array<std::uint8_t, 8>{7, 20, 30, 40, 50, 60, 70, 255}));
        // No form slot of bank 0 meets them.
        for (int slot = 0; slot < FormStore::kSlots; ++slot)
            QCOMPARE(store().ReadForm(slot), FountainForm{});
    }

    void insertAndDeleteMoveWholeSlots()
    {
        for (int slot = 0; slot <= 102; ++slot) {
            FountainForm f;
            f.levels.fill(std::uint8_t(slot));
            f.name = QString::number(slot);
            f.holdMin = std::uint8_t(slot % 60);
            f.holdSek = 1;
            store().WriteForm(slot, f);
        }
        const QByteArray original = store().image();
        const FountainForm form100 = store().ReadForm(100);
        const FountainForm form102 = store().ReadForm(102);

        store().insertSlot(99);
        QCOMPARE(store().ReadForm(99).name, QStringLiteral("99"));
        QCOMPARE(store().ReadForm(100).name, QStringLiteral("99"));
        QCOMPARE(store().ReadForm(101), form100);
        QCOMPARE(store().ReadForm(102), form102);

        // Insert then delete on one slot restores 0..100; 101 takes 102's content.
        store().ClearStore();
        store().replaceImage(original);
        store().insertSlot(0);
        QCOMPARE(store().ReadForm(0), store().ReadForm(1));
        store().deleteSlot(0);
        for (int slot = 0; slot <= 100; ++slot)
            QCOMPARE(store().ReadForm(slot).name, QString::number(slot));
        QCOMPARE(store().ReadForm(101), form102);
        QCOMPARE(store().ReadForm(102), form102);

        // Delete at 99 moves 100..102 down; 103 and above are never touched.
        store().replaceImage(original);
        store().set(103, 42);
        store().deleteSlot(99);
        QCOMPARE(store().ReadForm(99), form100);
        QCOMPARE(store().ReadForm(101), form102);
        QCOMPARE(store().at(103), 42);
    }

    void listOperationsLeaveTravelTimesAndOtherBanks()
    {
        QByteArray image(FormStore::kSize, '\x5A');
        store().replaceImage(image);
        store().insertSlot(0);
        store().deleteSlot(50);
        QCOMPARE(store().image().mid(FormStore::kBankSize), image.mid(FormStore::kBankSize));
    }

    void replaceImageTakesExactlyTheStoreSize()
    {
        store().set(10, 1);
        QVERIFY(!store().replaceImage(QByteArray(8191, '\x01')));
        QVERIFY(!store().replaceImage(QByteArray(9000, '\x01')));
        QCOMPARE(store().at(10), 1);
        QCOMPARE(store().at(11), 0);
        QVERIFY(store().replaceImage(QByteArray(8192, '\x03')));
        QCOMPARE(store().bank0Image(), QByteArray(2048, '\x03'));
    }

    void cp1251RoundTrips_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ascii") << QStringLiteral("Name 1") << QByteArray("Name 1");
        QTest::newRow("yo") << QStringLiteral("ёЁ") << QByteArray("\xB8\xA8");
        QTest::newRow("ya") << QStringLiteral("я") << QByteArray("\xFF");
        QTest::newRow("A") << QStringLiteral("Аа") << QByteArray("\xC0\xE0");
        QTest::newRow("symbols") << QStringLiteral("№€—«»") << QByteArray("\xB9\x88\x97\xAB\xBB");
    }
    void cp1251RoundTrips()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(cp1251::encode(text), bytes);
        QCOMPARE(cp1251::decode(bytes), text);
    }

    void cp1251AgreesWithQtsCodec()
    {
        QStringDecoder qtDecoder("windows-1251");
        if (!qtDecoder.isValid())
            QSKIP("this Qt build has no windows-1251 codec");
        for (int b = 0; b < 256; ++b) {
            if (b == 0x98) // no character in the code page
                continue;
            const QByteArray byte(1, char(b));
            QCOMPARE(cp1251::decode(byte), qtDecoder.decode(byte));
        }
    }

    void cp1251EveryByteSurvivesARoundTrip()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        QCOMPARE(cp1251::encode(cp1251::decode(all)), all);
    }

    void cp1251UnknownCharactersBecomeQuestionMarks()
    {
        QCOMPARE(cp1251::encode(QStringLiteral("aΩ中b")), QByteArray("a??b"));
        QCOMPARE(cp1251::encode(QString::fromUtf8("x\xF0\x9F\x98\x80y")), QByteArray("x?y"));
    }

    void fullStopRule_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "File not found"
                                << "File not found.";
        QTest::newRow("cyrillic") << QStringLiteral("Ошибка") << QStringLiteral("Ошибка.");
        QTest::newRow("digit") << "I/O error 32"
                               << "I/O error 32.";
        QTest::newRow("full stop") << "Done."
                                   << "Done.";
        QTest::newRow("exclamation") << "Stop !"
                                     << "Stop !";
        QTest::newRow("blank") << "Error writing port "
                               << "Error writing port ";
        QTest::newRow("slash") << "a/"
                               << "a/.";
        QTest::newRow("comma") << "a,"
                               << "a,";
        QTest::newRow("empty") << ""
                               << "";
    }
    void fullStopRule()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(withFullStop(message), shown);
    }

    void inOutErrorTexts_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("2") << 2 << "File not found";
        QTest::newRow("3") << 3 << "Invalid filename";
        QTest::newRow("4") << 4 << "Too many open files";
        QTest::newRow("5") << 5 << "File access denied";
        QTest::newRow("100") << 100 << "Read beyond end of file";
        QTest::newRow("101") << 101 << "Disk full";
        QTest::newRow("other") << 32 << "I/O error 32";
    }
    void inOutErrorTexts()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        const EInOutError e(code);
        QCOMPARE(e.message(), text);
        QCOMPARE(e.code(), code);
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
