// The valve parameters panel in the real main window: valve names from and to
// the settings file, the travel times and the "Вместе" rule.
#include "core/form_store.h"
#include "tests/support/window_fixture.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

namespace {

using form_layout::travelTimeByte;
const QByteArray kZeros(form_layout::kImageSize, '\0');

} // namespace

class TestValves : public QObject
{
    Q_OBJECT

  private slots:
    // ---- the settings file ----

    void valveNamesAtStart_data()
    {
        QTest::addColumn<QByteArray>("ini"); // null: no settings file
        QTest::addColumn<QStringList>("names");
        QStringList names;
        for (int v = 1; v <= 8; ++v)
            names << QStringLiteral("NoName%1").arg(v);
        QTest::newRow("no file") << QByteArray() << names;
        names[4] = QString();
        QTest::newRow("Name_5 present and empty")
            << QByteArray("[Zadvizki]\r\nName_5=\r\n") << names;
        names[4] = QStringLiteral("NoName5");
        names[1] = QStringLiteral("Задвижка-длинная");
        QTest::newRow("longer than eight, shown whole")
            << QByteArray("[zadvizki]\nname_2 = \xC7\xE0\xE4\xE2\xE8\xE6\xEA\xE0-"
                          "\xE4\xEB\xE8\xED\xED\xE0\xFF")
            << names;
    }
    void valveNamesAtStart()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QStringList, names);
        Sandbox sandbox;
        if (!ini.isNull())
            writeFile(sandbox.settingsPath(), ini);
        WindowFixture x(&sandbox);
        for (int v = 0; v < 8; ++v) {
            QCOMPARE(x.edit("EditNameZadv", v + 1)->text(), names[v]);
            QCOMPARE(x.edit("EditNameUrzadv", v + 1)->text(), names[v]);
            QCOMPARE(x.edit("EditNameZadv", v + 1)->cursorPosition(),
                     0); // a long name shows its start
        }
        QCOMPARE(x.prompts.messages, QStringList());
        x.button("SpeedButtonLoad")->click(); // cancelled
        QCOMPARE(x.prompts.openPrefills, QStringList{"UserForm.frm"});
        // Reading never creates or changes the file.
        QCOMPARE(QFile::exists(sandbox.settingsPath()), !ini.isNull());
        QCOMPARE(readFile(sandbox.settingsPath()), ini);
    }

    void saveAsRecordsNamesAndFileOpenDoesNot()
    {
        Sandbox sandbox;
        writeFile(sandbox.settingsPath(), "; the operator's notes\n[Options]\nPort=COM1\n");
        const QString a = sandbox.workPath(QStringLiteral("a.frm"));
        const QString b = sandbox.workPath(QStringLiteral("b.frm"));
        {
            WindowFixture x(&sandbox);
            x.edit("EditNameZadv", 1)->setText(QStringLiteral("Насос"));
            x.edit("EditNameZadv", 8)->setText(QStringLiteral("Last"));
            x.bar("ScrollBarTimeZadv", 1)->setValue(100);
            x.prompts.saveAnswers << a;
            x.button("SpeedButtonSaveAs")->click();
            QCOMPARE(iniValue(sandbox, "Options", "NameFileForm"), QDir::toNativeSeparators(a));
            QCOMPARE(iniValue(sandbox, "Zadvizki", "Name_2"), "NoName2");
            QCOMPARE(iniValue(sandbox, "Zadvizki", "Name_8"), "Last");
            const QByteArray ini = readFile(sandbox.settingsPath());
            QVERIFY(ini.startsWith("; the operator's notes\n[Options]\nPort=COM1\n"));
            QVERIFY(ini.contains("Name_1=\xCD\xE0\xF1\xEE\xF1\n")); // Windows-1251
            // The gauges' name boxes change only at the next start.
            QCOMPARE(x.edit("EditNameUrzadv", 1)->text(), "NoName1");

            writeFile(b, kZeros);
            x.prompts.openAnswers << b;
            x.button("SpeedButtonLoad")->click();
            QCOMPARE(x.w().windowTitle(), captionWithFile(b));
            QCOMPARE(iniValue(sandbox, "Options", "NameFileForm"), QDir::toNativeSeparators(a));
        }
        // A restart loads the last file saved, not the last one opened.
        WindowFixture again(&sandbox);
        QCOMPARE(again.w().windowTitle(), captionWithFile(a));
        QCOMPARE(again.edit("EditNameUrzadv", 1)->text(), QStringLiteral("Насос"));
        QCOMPARE(again.bar("ScrollBarTimeZadv", 1)->value(), 100);
        QCOMPARE(again.label("LabelTimeZadv", 1)->text(), QStringLiteral("1 Мин 40 Сек "));
        QCOMPARE(again.prompts.messages, QStringList());
    }

    void lastFileReopensAsSaved()
    {
        Sandbox sandbox;
        const QString cafe = sandbox.workPath(QStringLiteral("café.frm"));
        // Once recorded as "caf?.frm": that file opened at the next start and
        // Save replaced it. (Windows allows no '?' in a name: no decoy there.)
        const QString decoy = sandbox.workPath(QStringLiteral("caf?.frm"));
#ifdef Q_OS_UNIX
        writeFile(decoy, randomImage(15));
#endif
        {
            WindowFixture x(&sandbox);
            QVERIFY(x.store().replaceImage(randomImage(16)));
            x.prompts.saveAnswers << cafe;
            x.button("SpeedButtonSaveAs")->click();
        }
        WindowFixture again(&sandbox);
        QCOMPARE(again.w().windowTitle(), captionWithFile(cafe));
        QCOMPARE(again.store().image(), readFile(cafe));
        again.button("SpeedButtonSave")->click();
#ifdef Q_OS_UNIX
        QCOMPARE(readFile(decoy), randomImage(15));
#endif
        QCOMPARE(again.prompts.messages, QStringList());
    }

    void unwritableSettingsFile_data()
    {
        QTest::addColumn<bool>("folder"); // else a read-only file
        QTest::newRow("a folder in its place") << true;
        QTest::newRow("read-only") << false;
    }
    void unwritableSettingsFile()
    {
        QFETCH(bool, folder);
        Sandbox sandbox;
        // Read as absent (or holding no names), and unwritable even for the
        // superuser, who once replaced a read-only file with a writable one.
        const QByteArray readOnly = "; kept as it is\n[Options]\nComPort=/dev/ttyUSB0\n";
        if (folder) {
            QVERIFY(QDir(sandbox.configDir()).mkdir(QStringLiteral("Fonvira.ini")));
        } else {
            writeFile(sandbox.settingsPath(), readOnly);
            QVERIFY(QFile::setPermissions(sandbox.settingsPath(), QFile::ReadOwner));
        }
        writeFile(sandbox.workPath(QStringLiteral("UserForm.frm")), randomImage(14));
        WindowFixture x(&sandbox);
        QCOMPARE(x.prompts.messages, QStringList());
        for (int v = 0; v < 8; ++v) {
            QCOMPARE(x.edit("EditNameZadv", v + 1)->text(), QStringLiteral("NoName%1").arg(v + 1));
            QCOMPARE(x.edit("EditNameUrzadv", v + 1)->text(),
                     QStringLiteral("NoName%1").arg(v + 1));
        }
        // The default last file is found in the current directory and loaded.
        QCOMPARE(x.w().windowTitle(), captionWithFile("UserForm.frm"));
        QCOMPARE(x.store().image(), randomImage(14));

        // Save As once stopped at the settings file, before the travel times
        // and the form file: no save of the programme was possible. Now the
        // programme is written and the settings failure told once, after it.
        const QString unable =
            "Unable to write to " + QDir::toNativeSeparators(sandbox.settingsPath()) + '.';
        x.edit("EditNameZadv", 3)->setText(QStringLiteral("Насос"));
        x.bar("ScrollBarTimeZadv", 1)->setValue(99);
        const QString file = sandbox.workPath(QStringLiteral("s.frm"));
        x.prompts.saveAnswers << file;
        x.button("SpeedButtonSaveAs")->click();
        QCOMPARE(x.prompts.messages, QStringList{unable});
        QCOMPARE(x.prompts.titles, QStringList{kApplicationTitle});
        QCOMPARE(x.w().windowTitle(), captionWithFile(file));
        QVERIFY(x.button("SpeedButtonSave")->isEnabled());
        QByteArray expected = randomImage(14);
        for (int v = 0; v < 8; ++v)
            expected[travelTimeByte(v + 1)] = char(x.bar("ScrollBarTimeZadv", v + 1)->value());
        QCOMPARE(readFile(file), expected);

        x.bar("ScrollBarTimeZadv", 2)->setValue(120);
        x.button("SpeedButtonSave")->click();
        QCOMPARE(x.prompts.messages, QStringList(2, unable));
        QCOMPARE(quint8(readFile(file).at(travelTimeByte(2))), 120);
        // The names wait in their boxes for a settings file that can be written.
        QCOMPARE(x.edit("EditNameZadv", 3)->text(), QStringLiteral("Насос"));
        QCOMPARE(readFile(sandbox.settingsPath()), folder ? QByteArray() : readOnly);
    }

    // ---- the valve parameters panel ----

    void togetherMovesBarsTwoToEightOnly()
    {
        WindowFixture x;
        x.bar("ScrollBarTimeZadv", 4)->setValue(30);
        x.check("CheckBoxTogetg")->setChecked(true); // aligns nothing by itself
        QCOMPARE(x.bar("ScrollBarTimeZadv", 2)->value(), 7);
        QCOMPARE(x.bar("ScrollBarTimeZadv", 4)->value(), 30);

        x.bar("ScrollBarTimeZadv", 1)->setValue(60);
        for (int v = 0; v < 8; ++v) {
            QCOMPARE(x.bar("ScrollBarTimeZadv", v + 1)->value(), 60);
            QCOMPARE(x.label("LabelTimeZadv", v + 1)->text(), minSecText(60));
        }
        x.bar("ScrollBarTimeZadv", 5)->setValue(100);
        for (int v = 0; v < 8; ++v)
            QCOMPARE(x.bar("ScrollBarTimeZadv", v + 1)->value(), v == 4 ? 100 : 60);

        x.check("CheckBoxTogetg")->setChecked(false);
        x.bar("ScrollBarTimeZadv", 1)->setValue(90);
        QCOMPARE(x.bar("ScrollBarTimeZadv", 2)->value(), 60);
    }

    void typedNamesStopAtEightCharacters()
    {
        WindowFixture x;
        x.edit("EditNameZadv", 1)->clear();
        QTest::keyClicks(x.edit("EditNameZadv", 1), "abcdefghij");
        QCOMPARE(x.edit("EditNameZadv", 1)->text(), QStringLiteral("abcdefgh"));
    }

    void travelTimeEditsSurviveARefresh_data()
    {
        QTest::addColumn<QString>("refresh"); // a button, or "" for the strip ruler
        QTest::newRow("OK") << "SpeedButtonEdit";
        QTest::newRow("strip ruler") << "";
        QTest::newRow("insert") << "SpeedButtonInsert";
        QTest::newRow("delete") << "SpeedButtonDeleteForm";
    }
    void travelTimeEditsSurviveARefresh()
    {
        QFETCH(QString, refresh);
        WindowFixture x;
        QByteArray image = kZeros;
        for (int v = 0; v < 7; ++v)
            image[travelTimeByte(v + 1)] = char(20 + v); // valve 8 keeps 0, shown as 7
        const QString file = openFormFile(x, QStringLiteral("t.frm"), image);
        const auto refreshStrip = [&x, &refresh] {
            if (refresh.isEmpty())
                x.bar("ScrollBarFormVewer")->setValue(x.bar("ScrollBarFormVewer")->value() + 3);
            else
                x.button(refresh)->click();
        };

        // Once the refresh put the stored 24 back, and Save wrote 24.
        x.bar("ScrollBarTimeZadv", 5)->setValue(15);
        refreshStrip();
        QCOMPARE(x.bar("ScrollBarTimeZadv", 5)->value(), 15);
        QCOMPARE(x.store().at(travelTimeByte(5)), 15);

        // With "Вместе" bar 1 carries the others, and they stay after a refresh.
        x.check("CheckBoxTogetg")->setChecked(true);
        x.bar("ScrollBarTimeZadv", 1)->setValue(150);
        refreshStrip();
        for (int v = 0; v < 8; ++v)
            QCOMPARE(x.bar("ScrollBarTimeZadv", v + 1)->value(), 150);
        x.button("SpeedButtonSave")->click();
        QCOMPARE(quint8(readFile(file).at(travelTimeByte(5))), 150);

        // A refresh shows the store and changes nothing in it: each bar its own
        // value despite "Вместе", the stored 0 shown as 7 and kept.
        writeFile(file, image);
        openFormFile(x, QStringLiteral("t.frm"));
        for (int v = 0; v < 8; ++v)
            QCOMPARE(x.bar("ScrollBarTimeZadv", v + 1)->value(), v < 7 ? 20 + v : 7);
        QCOMPARE(x.store().image(), image);
        QCOMPARE(x.prompts.messages, QStringList());
    }
};

QTEST_MAIN(TestValves)
#include "tst_valves.moc"
