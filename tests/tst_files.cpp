// The file commands, the settings file as the window uses it, the valve
// parameters panel and a start-up that meets a bad last file, all driven
// through the real main window.
#include "app/app_error.h"
#include "app/main_window.h"
#include "player/gauge.h"
#include "store/form_store.h"
#include "store/profile.h"
#include "tests/test_support.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include <array>

namespace {

const QString kCaption = QStringLiteral("Редатор форм фонтанов");
const QString kCaptionWithFile = QStringLiteral("Редатор форм фонтанов  ");
const QString kCaptionNoName = QStringLiteral("Редатор форм фонтанов: Нет Имени файла  ");
constexpr int kTravelBase = 6271;

struct Window
{
    Sandbox sandbox;
    RecordingPrompts prompts;
    TfrmMain w;
};

FormStore &store()
{
    return FormStore::instance();
}

QByteArray randomImage(quint32 seed)
{
    QRandomGenerator gen(seed);
    QByteArray b(FormStore::kSize, '\0');
    for (char &c : b)
        c = char(gen.bounded(256));
    return b;
}

QByteArray zeros()
{
    return QByteArray(FormStore::kSize, '\0');
}

QString iniValue(const Sandbox &s, const QString &section, const QString &key)
{
    return ProfileFile(s.settingsPath()).readString(section, key, QStringLiteral("<missing>"));
}

QString timeText(int seconds)
{
    return QStringLiteral("%1 Мин %2 Сек ").arg(seconds / 60).arg(seconds % 60);
}

// Everything a user can see of the window's first state, one line per item.
QStringList visibleState(const TfrmMain &w)
{
    QStringList s;
    s << "caption " + w.windowTitle();
    s << QStringLiteral("save %1").arg(w.SpeedButtonSave->isEnabled());
    s << "form " + w.LabelNomberForm->text();
    s << QStringLiteral("number %1").arg(w.ScrollBarNomberForm->value());
    s << "name " + w.EditNameForm->text();
    s << QStringLiteral("hold %1 %2")
             .arg(w.ScrollBarEditMin->value())
             .arg(w.ScrollBarEditSek->value());
    for (int i = 0; i < TfrmMain::kStripWindows; ++i) {
        QString line = "strip " + w.LabelNomberFormWin[i]->text() + '|' +
                       w.LabelNameFormWin[i]->text() + '|' + w.LabelTimeWin[i]->text();
        for (const TGauge *g : w.GaugeWin[i])
            line += QStringLiteral(" %1").arg(g->value());
        s << line;
    }
    for (int v = 0; v < TfrmMain::kValves; ++v) {
        s << QStringLiteral("valve %1 bar %2 target %3 travel %4 %5")
                 .arg(v + 1)
                 .arg(w.ScrollBarZadvizka[v]->value())
                 .arg(w.gaugeTargets[v])
                 .arg(w.ScrollBarTimeZadv[v]->value())
                 .arg(w.LabelTimeZadv[v]->text());
    }
    s << "current file " + w.saveDialogFileName;
    s << QStringLiteral("store clear %1").arg(store().image() == zeros());
    return s;
}

} // namespace

class TestFiles : public QObject
{
    Q_OBJECT

  private slots:
    // ---- form file commands ----

    void saveAsThenOpenRestoresEveryByte()
    {
        Window x;
        TfrmMain &w = x.w;
        const QByteArray programme = randomImage(1);
        store().replaceImage(programme);
        const std::array<int, 8> travel = {7, 8, 60, 100, 128, 200, 254, 255};
        for (int v = 0; v < 8; ++v)
            w.ScrollBarTimeZadv[v]->setValue(travel[v]);
        // Save As replaces an existing file without asking.
        const QString file = x.sandbox.workPath(QStringLiteral("prog.frm"));
        writeFile(file, QByteArray(9000, '\x55'));
        x.prompts.saveAnswers << file;
        w.SpeedButtonSaveAs->click();
        QCOMPARE(x.prompts.messages, QStringList());

        QByteArray expected = programme;
        for (int v = 0; v < 8; ++v)
            expected[kTravelBase + 256 * v] = char(travel[v]);
        QCOMPARE(readFile(file), expected);
        QCOMPARE(w.windowTitle(), kCaptionWithFile + file);
        QVERIFY(w.SpeedButtonSave->isEnabled());

        w.SpeedButtonNew->click();
        QCOMPARE(store().image(), zeros());
        x.prompts.openAnswers << file;
        w.SpeedButtonLoad->click();
        QCOMPARE(x.prompts.messages, QStringList());
        QCOMPARE(store().image(), expected); // banks 1 to 3 included
        for (int v = 0; v < 8; ++v) {
            QCOMPARE(w.ScrollBarTimeZadv[v]->value(), travel[v]);
            QCOMPARE(w.LabelTimeZadv[v]->text(), timeText(travel[v]));
        }
        QCOMPARE(w.windowTitle(), kCaptionWithFile + file);
        QVERIFY(w.SpeedButtonSave->isEnabled());
        // The editor shows slot 0 of the new content.
        QCOMPARE(w.ScrollBarNomberForm->value(), 0);
        QCOMPARE(w.ScrollBarZadvizka[0]->value(), 255 - quint8(expected[0]));
    }

    void openSizes_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("message");
        QTest::newRow("0 bytes") << 0 << "Read beyond end of file.";
        QTest::newRow("8191 bytes") << 8191 << "Read beyond end of file.";
        QTest::newRow("8192 bytes") << 8192 << "";
        QTest::newRow("9000 bytes") << 9000 << "";
    }
    void openSizes()
    {
        QFETCH(int, size);
        QFETCH(QString, message);
        Window x;
        TfrmMain &w = x.w;
        // A programme is open and edited when the other file is chosen.
        const QString current = x.sandbox.workPath(QStringLiteral("current.frm"));
        writeFile(current, randomImage(3));
        x.prompts.openAnswers << current;
        w.SpeedButtonLoad->click();
        store().set(5, 77);
        const QByteArray before = store().image();

        const QString other = x.sandbox.workPath(QStringLiteral("other.frm"));
        const QByteArray content = randomImage(4).repeated(2).left(size);
        writeFile(other, content);
        x.prompts.openAnswers << other;
        w.SpeedButtonLoad->click();

        if (message.isEmpty()) {
            QCOMPARE(x.prompts.messages, QStringList());
            QCOMPARE(store().image(), content.left(FormStore::kSize));
            QCOMPARE(w.windowTitle(), kCaptionWithFile + other);
            return;
        }
        QCOMPARE(x.prompts.messages, QStringList{message});
        QCOMPARE(x.prompts.titles, QStringList{kApplicationTitle});
        // The failed load replaced nothing: once the bytes read so far went into
        // the store, and a Save then wrote a mixture of two programmes.
        QCOMPARE(store().image(), before);
        QCOMPARE(w.windowTitle(), kCaptionWithFile + current);
        QCOMPARE(w.saveDialogFileName, current);
        QVERIFY(w.SpeedButtonSave->isEnabled());
        w.SpeedButtonSave->click();
        QCOMPARE(readFile(current), store().image());
        QCOMPARE(readFile(current).left(kTravelBase), before.left(kTravelBase));
        QCOMPARE(readFile(other), content);
    }

    void openBadNames_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<QString>("message");
        QTest::newRow("a directory") << "folder.frm"
                                     << "File access denied.";
        QTest::newRow("typed name that does not exist") << "none.frm"
                                                        << "File not found.";
        QTest::newRow("folder that does not exist") << "nofolder/a.frm"
                                                    << "Invalid filename.";
        QTest::newRow("under a regular file") << "plain.frm/a.frm"
                                              << "Invalid filename.";
    }
    void openBadNames()
    {
        QFETCH(QString, relative);
        QFETCH(QString, message);
        Window x;
        TfrmMain &w = x.w;
        QVERIFY(QDir(x.sandbox.workDir()).mkdir(QStringLiteral("folder.frm")));
        writeFile(x.sandbox.workPath(QStringLiteral("plain.frm")), randomImage(5));
        const QByteArray before = randomImage(6);
        store().replaceImage(before);
        const QString name = x.sandbox.workPath(relative);
        x.prompts.openAnswers << name << QString();
        w.SpeedButtonLoad->click();
        QCOMPARE(x.prompts.messages, QStringList{message});
        QCOMPARE(store().image(), before);
        QCOMPARE(w.windowTitle(), kCaption);
        QVERIFY(!w.SpeedButtonSave->isEnabled());
        // The dialog keeps the name it was given.
        w.SpeedButtonLoad->click();
        QCOMPARE(x.prompts.openPrefills.last(), name);
    }

    void readOnlyFileOpensButSavingOntoItFails()
    {
        Window x;
        TfrmMain &w = x.w;
        const QString file = x.sandbox.workPath(QStringLiteral("ro.frm"));
        const QByteArray content = randomImage(7);
        writeFile(file, content);
        QVERIFY(
            QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        x.prompts.openAnswers << file;
        w.SpeedButtonLoad->click();
        QCOMPARE(x.prompts.messages, QStringList());
        QCOMPARE(store().image(), content);

        w.ScrollBarTimeZadv[0]->setValue(99);
        w.SpeedButtonSave->click();
        QCOMPARE(x.prompts.messages, QStringList{"File access denied."});
        QCOMPARE(readFile(file), content);
        // Save stopped at the form file: the last file is not recorded.
        QCOMPARE(iniValue(x.sandbox, "Options", "NameFileForm"), "<missing>");
    }

    void failedSaveAsLeavesTheStateItReached()
    {
        Window x;
        TfrmMain &w = x.w;
        const QString name = x.sandbox.workPath(QStringLiteral("nofolder/new.frm"));
        w.ScrollBarTimeZadv[0]->setValue(50);
        x.prompts.saveAnswers << name;
        w.SpeedButtonSaveAs->click();
        QCOMPARE(x.prompts.messages, QStringList{"Invalid filename."});
        // Names and travel times were stored, the caption names the new file;
        // the Save button and the recorded last file are as they were.
        QCOMPARE(iniValue(x.sandbox, "Zadvizki", "Name_1"), "NoName1");
        QCOMPARE(store().at(kTravelBase), 50);
        QCOMPARE(w.windowTitle(), kCaptionWithFile + name);
        QCOMPARE(w.saveDialogFileName, name);
        QVERIFY(!w.SpeedButtonSave->isEnabled());
        QCOMPARE(iniValue(x.sandbox, "Options", "NameFileForm"), "<missing>");
    }

    void saveOntoAVanishedFileWritesNothing()
    {
        Window x;
        TfrmMain &w = x.w;
        const QString file = x.sandbox.workPath(QStringLiteral("gone.frm"));
        writeFile(file, randomImage(8));
        x.prompts.openAnswers << file;
        w.SpeedButtonLoad->click();
        QVERIFY(QFile::remove(file));
        w.SpeedButtonSave->click();
        QCOMPARE(x.prompts.titles, QStringList{"Error"});
        QCOMPARE(x.prompts.messages, QStringList{QStringLiteral("Файл не существует !")});
        QVERIFY(!QFile::exists(file));
        QVERIFY(!QFile::exists(x.sandbox.settingsPath()));
    }

    void newClearsAndKeepsTheCurrentName()
    {
        Window x;
        TfrmMain &w = x.w;
        const QString file = x.sandbox.workPath(QStringLiteral("a.frm"));
        writeFile(file, randomImage(9));
        x.prompts.openAnswers << file;
        w.SpeedButtonLoad->click();
        w.ScrollBarNomberForm->setValue(40);

        w.SpeedButtonNew->click();
        QCOMPARE(w.windowTitle(), kCaptionNoName);
        QVERIFY(!w.SpeedButtonSave->isEnabled());
        QCOMPARE(store().image(), zeros());
        QCOMPARE(w.ScrollBarNomberForm->value(), 0);
        QCOMPARE(w.LabelNomberForm->text(), QStringLiteral(" Форма N 1"));
        for (int v = 0; v < 8; ++v) {
            QCOMPARE(w.ScrollBarTimeZadv[v]->value(), 7);
            QCOMPARE(w.LabelTimeZadv[v]->text(), QStringLiteral("0 Мин 7 Сек "));
        }
        // Save As offers the previous file; saving the new one stores 7 everywhere.
        const QString fresh = x.sandbox.workPath(QStringLiteral("fresh.frm"));
        x.prompts.saveAnswers << fresh;
        w.SpeedButtonSaveAs->click();
        QCOMPARE(x.prompts.savePrefills, QStringList{file});
        for (int v = 0; v < 8; ++v)
            QCOMPARE(quint8(readFile(fresh).at(kTravelBase + 256 * v)), 7);
    }

    // ---- shortcuts ----

    void shortcutsPressTheButtons()
    {
        Window x;
        TfrmMain &w = x.w;
        QCOMPARE(w.SpeedButtonLoad->toolTip(), QStringLiteral("Открыть  файл форм  (Ctrl+O)"));
        QCOMPARE(w.SpeedButtonSaveAs->toolTip(),
                 QStringLiteral("Дать новое мия и записать  файл форм  (Ctrl+Shift+S)"));
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));

        // Save is disabled: its shortcut does nothing, not even the missing-file box.
        QTest::keySequence(&w, QKeySequence(QStringLiteral("Ctrl+S")));
        QCOMPARE(x.prompts.messages, QStringList());

        const QString file = x.sandbox.workPath(QStringLiteral("k.frm"));
        x.prompts.saveAnswers << file;
        QTest::keySequence(&w, QKeySequence(QStringLiteral("Ctrl+Shift+S")));
        QCOMPARE(x.prompts.savePrefills.size(), 1);
        QVERIFY(QFile::exists(file));

        w.ScrollBarTimeZadv[7]->setValue(33);
        QTest::keySequence(&w, QKeySequence(QStringLiteral("Ctrl+S")));
        QCOMPARE(quint8(readFile(file).at(kTravelBase + 7 * 256)), 33);
        QCOMPARE(readFile(file), store().image());
        QCOMPARE(iniValue(x.sandbox, "Options", "NameFileForm"), file);

        QTest::keySequence(&w, QKeySequence(QStringLiteral("Ctrl+N")));
        QCOMPARE(w.windowTitle(), kCaptionNoName);

        x.prompts.openAnswers << file;
        QTest::keySequence(&w, QKeySequence(QStringLiteral("Ctrl+O")));
        QCOMPARE(w.windowTitle(), kCaptionWithFile + file);
        QCOMPARE(w.ScrollBarTimeZadv[7]->value(), 33);
        QCOMPARE(x.prompts.messages, QStringList());
    }

    // ---- the settings file ----

    void noSettingsFileGivesDefaults()
    {
        Window x;
        TfrmMain &w = x.w;
        for (int v = 0; v < 8; ++v) {
            QCOMPARE(w.EditNameZadv[v]->text(), QStringLiteral("NoName%1").arg(v + 1));
            QCOMPARE(w.EditNameUrzadv[v]->text(), QStringLiteral("NoName%1").arg(v + 1));
        }
        w.SpeedButtonLoad->click(); // cancelled
        QCOMPARE(x.prompts.openPrefills, QStringList{"UserForm.frm"});
        // Reading never creates the file.
        QVERIFY(!QFile::exists(x.sandbox.settingsPath()));
    }

    void settingsNamesAsWritten_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QStringList>("names");
        const QStringList defaults = {"NoName1", "NoName2", "NoName3", "NoName4",
                                      "NoName5", "NoName6", "NoName7", "NoName8"};
        QStringList fifthEmpty = defaults;
        fifthEmpty[4] = QString();
        QTest::newRow("Name_5 present and empty")
            << QByteArray("[Zadvizki]\r\nName_5=\r\n") << fifthEmpty;
        QStringList longSecond = defaults;
        longSecond[1] = QStringLiteral("Задвижка-длинная");
        QTest::newRow("longer than eight, shown whole")
            << QByteArray("[zadvizki]\nname_2 = \xC7\xE0\xE4\xE2\xE8\xE6\xEA\xE0-"
                          "\xE4\xEB\xE8\xED\xED\xE0\xFF")
            << longSecond;
        QTest::newRow("odd lines around") << QByteArray("junk\n\n[Options]\n; c\n[Zadvizki]\n\n"
                                                        "Name_1=A\nName_1=B\n[Zadvizki]\nName_8=H")
                                          << QStringList{"A",       "NoName2", "NoName3", "NoName4",
                                                         "NoName5", "NoName6", "NoName7", "H"};
    }
    void settingsNamesAsWritten()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QStringList, names);
        Sandbox sandbox;
        RecordingPrompts prompts;
        writeFile(sandbox.settingsPath(), ini);
        TfrmMain w;
        for (int v = 0; v < 8; ++v) {
            QCOMPARE(w.EditNameZadv[v]->text(), names[v]);
            QCOMPARE(w.EditNameUrzadv[v]->text(), names[v]);
            QCOMPARE(w.EditNameZadv[v]->cursorPosition(), 0); // a long name shows its start
        }
        QCOMPARE(readFile(sandbox.settingsPath()), ini);
        QCOMPARE(prompts.messages, QStringList());
    }

    void saveAsRecordsNamesAndFileOpenDoesNot()
    {
        Sandbox sandbox;
        RecordingPrompts prompts;
        writeFile(sandbox.settingsPath(), "; the operator's notes\n[Options]\nPort=COM1\n");
        const QString a = sandbox.workPath(QStringLiteral("a.frm"));
        const QString b = sandbox.workPath(QStringLiteral("b.frm"));
        {
            TfrmMain w;
            w.EditNameZadv[0]->setText(QStringLiteral("Насос"));
            w.EditNameZadv[7]->setText(QStringLiteral("Last"));
            w.ScrollBarTimeZadv[0]->setValue(100);
            prompts.saveAnswers << a;
            w.SpeedButtonSaveAs->click();
            QCOMPARE(iniValue(sandbox, "Options", "NameFileForm"), a);
            QCOMPARE(iniValue(sandbox, "Zadvizki", "Name_1"), QStringLiteral("Насос"));
            QCOMPARE(iniValue(sandbox, "Zadvizki", "Name_2"), "NoName2");
            QCOMPARE(iniValue(sandbox, "Zadvizki", "Name_8"), "Last");
            const QByteArray ini = readFile(sandbox.settingsPath());
            QVERIFY(ini.startsWith("; the operator's notes\n[Options]\nPort=COM1\n"));
            QVERIFY(ini.contains("Name_1=\xCD\xE0\xF1\xEE\xF1\n")); // Windows-1251
            // The gauges' name boxes change only at the next start.
            QCOMPARE(w.EditNameUrzadv[0]->text(), "NoName1");

            writeFile(b, zeros());
            prompts.openAnswers << b;
            w.SpeedButtonLoad->click();
            QCOMPARE(w.windowTitle(), kCaptionWithFile + b);
            QCOMPARE(iniValue(sandbox, "Options", "NameFileForm"), a);
        }
        // A restart loads the last file saved, not the last one opened.
        TfrmMain again;
        QCOMPARE(again.windowTitle(), kCaptionWithFile + a);
        QVERIFY(again.SpeedButtonSave->isEnabled());
        QCOMPARE(again.EditNameUrzadv[0]->text(), QStringLiteral("Насос"));
        QCOMPARE(again.ScrollBarTimeZadv[0]->value(), 100);
        QCOMPARE(again.LabelTimeZadv[0]->text(), QStringLiteral("1 Мин 40 Сек "));
        QCOMPARE(prompts.messages, QStringList());
    }

    void unwritableSettingsStopSaveBeforeTheFormFile()
    {
        Sandbox sandbox;
        RecordingPrompts prompts;
        // A folder in the settings file's place: read as absent, and unwritable
        // even for the superuser.
        QVERIFY(QDir(sandbox.configDir()).mkdir(QStringLiteral("Fonvira.ini")));
        TfrmMain w;
        QCOMPARE(prompts.messages, QStringList());
        QCOMPARE(w.EditNameZadv[2]->text(), "NoName3");
        w.ScrollBarTimeZadv[0]->setValue(99);
        const QString file = sandbox.workPath(QStringLiteral("s.frm"));
        prompts.saveAnswers << file;
        w.SpeedButtonSaveAs->click();
        QCOMPARE(prompts.messages,
                 QStringList{"Unable to write to " + sandbox.settingsPath() + '.'});
        QCOMPARE(prompts.titles, QStringList{kApplicationTitle});
        QVERIFY(!QFile::exists(file));
        QCOMPARE(store().at(kTravelBase), 0); // the travel times were not stored
    }

    // ---- the valve parameters panel ----

    void timeLabels_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("below the range") << 0 << QStringLiteral("0 Мин 7 Сек ");
        QTest::newRow("7") << 7 << QStringLiteral("0 Мин 7 Сек ");
        QTest::newRow("59") << 59 << QStringLiteral("0 Мин 59 Сек ");
        QTest::newRow("60") << 60 << QStringLiteral("1 Мин 0 Сек ");
        QTest::newRow("100") << 100 << QStringLiteral("1 Мин 40 Сек ");
        QTest::newRow("255") << 255 << QStringLiteral("4 Мин 15 Сек ");
        QTest::newRow("above the range") << 300 << QStringLiteral("4 Мин 15 Сек ");
    }
    void timeLabels()
    {
        QFETCH(int, seconds);
        QFETCH(QString, text);
        Window x;
        for (int v : {0, 4, 7}) {
            x.w.ScrollBarTimeZadv[v]->setValue(seconds);
            QCOMPARE(x.w.LabelTimeZadv[v]->text(), text);
        }
    }

    void togetherMovesBarsTwoToEightOnly()
    {
        Window x;
        TfrmMain &w = x.w;
        w.ScrollBarTimeZadv[3]->setValue(30);
        // Checking the box aligns nothing by itself.
        w.CheckBoxTogetg->setChecked(true);
        QCOMPARE(w.ScrollBarTimeZadv[1]->value(), 7);
        QCOMPARE(w.ScrollBarTimeZadv[3]->value(), 30);

        w.ScrollBarTimeZadv[0]->setValue(60);
        for (int v = 0; v < 8; ++v) {
            QCOMPARE(w.ScrollBarTimeZadv[v]->value(), 60);
            QCOMPARE(w.LabelTimeZadv[v]->text(), QStringLiteral("1 Мин 0 Сек "));
        }
        w.ScrollBarTimeZadv[4]->setValue(100);
        for (int v = 0; v < 8; ++v)
            QCOMPARE(w.ScrollBarTimeZadv[v]->value(), v == 4 ? 100 : 60);

        w.CheckBoxTogetg->setChecked(false);
        w.ScrollBarTimeZadv[0]->setValue(90);
        QCOMPARE(w.ScrollBarTimeZadv[1]->value(), 60);
        QCOMPARE(w.LabelTimeZadv[0]->text(), QStringLiteral("1 Мин 30 Сек "));
    }

    void typedNamesStopAtEightCharacters()
    {
        Window x;
        QLineEdit *edit = x.w.EditNameZadv[0];
        edit->clear();
        QTest::keyClicks(edit, "abcdefghij");
        QCOMPARE(edit->text(), QStringLiteral("abcdefgh"));
        // A longer name from the settings file may be shortened, not lengthened.
        writeFile(x.sandbox.settingsPath(), "[Zadvizki]\nName_1=0123456789\n");
        x.w.ReadIniNameZadvigki();
        QCOMPARE(edit->text(), QStringLiteral("0123456789"));
        QTest::keyClick(edit, Qt::Key_End);
        QTest::keyClicks(edit, "x");
        QCOMPARE(edit->text(), QStringLiteral("0123456789"));
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, "xyz");
        QCOMPARE(edit->text(), QStringLiteral("0123456x"));
    }

    void unsavedTravelTimeGivesWayAtTheNextRefresh()
    {
        Window x;
        TfrmMain &w = x.w;
        QByteArray image = zeros();
        for (int v = 0; v < 8; ++v)
            image[kTravelBase + 256 * v] = char(20 + v);
        image[kTravelBase + 512] = char(100);
        const QString file = x.sandbox.workPath(QStringLiteral("t.frm"));
        writeFile(file, image);
        x.prompts.openAnswers << file;
        w.SpeedButtonLoad->click();
        QCOMPARE(w.ScrollBarTimeZadv[2]->value(), 100);

        w.ScrollBarTimeZadv[2]->setValue(200);
        QCOMPARE(w.LabelTimeZadv[2]->text(), QStringLiteral("3 Мин 20 Сек "));
        w.SpeedButtonEdit->click(); // OK refreshes the strip
        QCOMPARE(w.ScrollBarTimeZadv[2]->value(), 100);
        QCOMPARE(w.LabelTimeZadv[2]->text(), QStringLiteral("1 Мин 40 Сек "));

        // With "Вместе" the refresh still ends with every bar at its own value.
        w.CheckBoxTogetg->setChecked(true);
        w.ScrollBarTimeZadv[0]->setValue(150);
        w.ScrollBarFormVewer->setValue(5);
        for (int v = 0; v < 8; ++v)
            QCOMPARE(w.ScrollBarTimeZadv[v]->value(), v == 2 ? 100 : 20 + v);

        // Saved, it stays.
        w.CheckBoxTogetg->setChecked(false);
        w.ScrollBarTimeZadv[2]->setValue(200);
        w.SpeedButtonSave->click();
        w.ScrollBarFormVewerChange();
        QCOMPARE(w.ScrollBarTimeZadv[2]->value(), 200);
        QCOMPARE(quint8(readFile(file).at(kTravelBase + 512)), 200);
    }

    // ---- start-up ----

    void startUpSurvivesABadLastFile_data()
    {
        QTest::addColumn<int>("kind"); // bytes in the file, or -1 for a directory
        QTest::addColumn<QString>("message");
        QTest::newRow("8191 bytes") << 8191 << "Read beyond end of file.";
        QTest::newRow("0 bytes") << 0 << "Read beyond end of file.";
        QTest::newRow("a directory") << -1 << "File access denied.";
    }
    void startUpSurvivesABadLastFile()
    {
        QFETCH(int, kind);
        QFETCH(QString, message);
        QStringList firstStart;
        {
            Sandbox clean;
            RecordingPrompts prompts;
            TfrmMain w;
            firstStart = visibleState(w);
        }
        Sandbox sandbox;
        RecordingPrompts prompts;
        const QString last = sandbox.workPath(QStringLiteral("UserForm.frm"));
        if (kind < 0)
            QVERIFY(QDir(sandbox.workDir()).mkdir(QStringLiteral("UserForm.frm")));
        else
            writeFile(last, QByteArray(kind, '\x7F'));
        store().replaceImage(randomImage(13));
        TfrmMain w;
        QCOMPARE(prompts.messages, QStringList{message});
        QCOMPARE(prompts.titles, QStringList{kApplicationTitle});
        // Then the window of a first start, not the controls as laid out.
        QCOMPARE(w.windowTitle(), kCaption);
        QVERIFY(!w.SpeedButtonSave->isEnabled());
        QCOMPARE(w.LabelNomberForm->text(), QStringLiteral(" Форма N 1"));
        for (int i = 0; i < 7; ++i)
            QCOMPARE(w.LabelNomberFormWin[i]->text(), QStringLiteral("Форма N %1").arg(i + 1));
        for (int v = 0; v < 8; ++v) {
            QCOMPARE(w.ScrollBarTimeZadv[v]->value(), 7);
            QCOMPARE(w.gaugeTargets[v], 0);
            QCOMPARE(w.ScrollBarZadvizka[v]->value(), 255);
        }
        QCOMPARE(store().image(), zeros());
        QCOMPARE(visibleState(w), firstStart);
    }

    void startUpWithUnreadableSettings()
    {
        Sandbox sandbox;
        RecordingPrompts prompts;
        QVERIFY(QDir(sandbox.configDir()).mkdir(QStringLiteral("Fonvira.ini")));
        writeFile(sandbox.workPath(QStringLiteral("UserForm.frm")), randomImage(14));
        TfrmMain w;
        QCOMPARE(prompts.messages, QStringList());
        for (int v = 0; v < 8; ++v) {
            QCOMPARE(w.EditNameZadv[v]->text(), QStringLiteral("NoName%1").arg(v + 1));
            QCOMPARE(w.EditNameUrzadv[v]->text(), QStringLiteral("NoName%1").arg(v + 1));
        }
        // The default last file is found in the current directory and loaded.
        QCOMPARE(w.windowTitle(), kCaptionWithFile + "UserForm.frm");
        QCOMPARE(store().image(), randomImage(14));
    }
};

QTEST_MAIN(TestFiles)
#include "tst_files.moc"
