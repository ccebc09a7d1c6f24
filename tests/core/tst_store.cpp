// The form store's encoding, Windows-1251 text and the error texts.
#include "core/cp1251.h"
#include "core/errors.h"
#include "core/form_store.h"
#include "tests/support/test_support.h"

#include <QStringDecoder>
#include <QTest>

#include <memory>

// The store's offsets are written out as numbers here, not taken from
// core/form_layout.h: these tests are what hold the description to the file.
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
        for (int slot = 0; slot < form_layout::kSlots; ++slot)
            QVERIFY(store().ReadForm(slot) == FountainForm{} && store().ReadForm(slot).isCoda());
        QCOMPARE(store().image(), QByteArray(form_layout::kImageSize, '\0'));
    }

    void writeFormPutsEveryFieldAtItsOffset()
    {
        for (int slot : {0, 99, 127}) {
            QCOMPARE(store().UstAdrBufer(slot).level, slot);
            QCOMPARE(store().UstAdrBufer(slot).name, 128 + slot);
            FountainForm f;
            f.levels = {255, 1, 2, 3, 4, 5, 6, 0};
            f.name = QStringLiteral("Ёлкая");
            f.holdMin = 2;
            f.holdSek = 59;
            store().WriteForm(slot, f);
            QCOMPARE(store().at(slot), 255);               // valve 1, bar at the top
            QCOMPARE(store().at(slot + 256), 1);           // valve 2
            QCOMPARE(store().at(slot + 1792), 0);          // valve 8, bar at the bottom
            QCOMPARE(store().at(slot + 128), 5);           // name length
            QCOMPARE(store().at(slot + 128 + 256), 0xA8);  // Ё
            QCOMPARE(store().at(slot + 128 + 1280), 0xFF); // fifth character я
            QCOMPARE(store().at(slot + 128 + 1536), 2);    // hold minutes
            QCOMPARE(store().at(slot + 128 + 1792), 59);   // hold seconds
            QCOMPARE(store().ReadForm(slot), f);
        }
    }

    void nameLength()
    {
        FountainForm f;
        f.name = QStringLiteral("Фонтан"); // six characters, as the name box allows
        store().WriteForm(3, f);
        QCOMPARE(store().at(128 + 3), 5);
        QCOMPARE(store().ReadForm(3).name, QStringLiteral("Фонта"));
        // A length byte above five reads five characters.
        f.name = QStringLiteral("abcde");
        store().WriteForm(4, f);
        store().set(128 + 4, 9);
        QCOMPARE(store().ReadForm(4).name, QStringLiteral("abcde"));
        // A shorter name over a longer one reads only its own length.
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
        QByteArray expected = store().image();
        expected[128 + 6 + 6 * 256] = 0;
        expected[128 + 6 + 7 * 256] = 0;
        store().MarkCoda(6);
        QCOMPARE(store().image(), expected);
        QVERIFY(store().ReadForm(6).isCoda());
    }

    void travelTimeBytes()
    {
        store().writeTravelTimes({7, 20, 30, 40, 50, 60, 70, 255});
        QCOMPARE(store().at(6271), 7);   // valve 1
        QCOMPARE(store().at(6527), 20);  // valve 2
        QCOMPARE(store().at(8063), 255); // valve 8
        QCOMPARE(store().ReadZadv(), (TravelTimes{7, 20, 30, 40, 50, 60, 70, 255}));
        for (int slot = 0; slot < form_layout::kSlots; ++slot) // no form slot meets them
            QCOMPARE(store().ReadForm(slot), FountainForm{});
    }

    void replaceImageTakesExactlyTheStoreSize()
    {
        store().set(10, 1);
        QVERIFY(!store().replaceImage(QByteArray(8191, '\x01')));
        QVERIFY(!store().replaceImage(QByteArray(9000, '\x01')));
        QCOMPARE(store().image(), QByteArray(10, '\0') + '\x01' + QByteArray(8181, '\0'));
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

    void cp1251EveryByte()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        QCOMPARE(cp1251::encode(cp1251::decode(all)), all);
        QVERIFY(cp1251::encodable(cp1251::decode(all))); // '?' and 0x98 included
        QStringDecoder qt("windows-1251");
        for (int b = 0; qt.isValid() && b < 256; ++b) {
            if (b != 0x98) // no character in the code page
                QCOMPARE(cp1251::decode(all.mid(b, 1)), qt.decode(all.mid(b, 1)));
        }
        // A character the code page cannot hold becomes '?'.
        QCOMPARE(cp1251::encode(QString::fromUtf8("aΩ中b\xF0\x9F\x98\x80")), QByteArray("a??b?"));
        for (const char *lost : {"Ω", "中", "\xF0\x9F\x98\x80", "é", "₽"})
            QVERIFY2(!cp1251::encodable(QString::fromUtf8(lost)), lost);
    }

    void fullStopRule_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char *name, const QString &message, const QString &shown) {
            QTest::newRow(name) << message << shown;
        };
        row("letter", "File not found", "File not found.");
        row("cyrillic", QStringLiteral("Ошибка"), QStringLiteral("Ошибка."));
        row("digit", EInOutError(32).message(), "I/O error 32.");
        row("full stop", "Done.", "Done.");
        row("exclamation", "Stop !", "Stop !");
        row("blank", "Error writing port ", "Error writing port ");
        row("slash", "a/", "a/.");
        row("comma", "a,", "a,");
        row("empty", "", "");
    }
    void fullStopRule()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(withFullStop(message), shown);
    }

    // ---- the form file ----
};

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
