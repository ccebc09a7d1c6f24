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

    // Opens the form file of that name in the working folder, written first
    // with the given content unless that is null.
    QString open(const QString &name, const QByteArray &content = {})
    {
        const QString path = sandbox.workPath(name);
        if (!content.isNull())
            writeFile(path, content);
        prompts.openAnswers << path;
        w.SpeedButtonLoad->click();
        return path;
    }
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

const QByteArray kZeros(FormStore::kSize, '\0');

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
    s << w.windowTitle() << w.LabelNomberForm->text() << w.EditNameForm->text()
      << w.saveDialogFileName;
    for (const QAbstractSlider *b : {w.ScrollBarNomberForm, w.ScrollBarEditMin, w.ScrollBarEditSek})
        s << QString::number(b->value());
    s << QStringLiteral("save %1").arg(w.SpeedButtonSave->isEnabled());
    for (int i = 0; i < TfrmMain::kStripWindows; ++i) {
        QString line = "strip " + w.LabelNomberFormWin[i]->text() + '|' +
                       w.LabelNameFormWin[i]->text() + '|' + w.LabelTimeWin[i]->text();
        for (const TGauge *g : w.GaugeWin[i])
            line += QStringLiteral(" %1").arg(g->value());
        s << line;
    }
    for (int v = 0; v < TfrmMain::kValves; ++v) {
        s << QString::asprintf("valve %d %d %d ", w.ScrollBarZadvizka[v]->value(),
                               int(w.gaugeTargets[v]), w.ScrollBarTimeZadv[v]->value()) +
                 w.LabelTimeZadv[v]->text();
    }
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
        QByteArray expected = programme;
        for (int v = 0; v < 8; ++v) {
            w.ScrollBarTimeZadv[v]->setValue(travel[v]);
            expected[kTravelBase + 256 * v] = char(travel[v]);
        }
        // Save As replaces an existing file without asking.
        const QString file = x.sandbox.workPath(QStringLiteral("prog.frm"));
        writeFile(file, QByteArray(9000, '\x55'));
        x.prompts.saveAnswers << file;
        w.SpeedButtonSaveAs->click();
        QCOMPARE(readFile(file), expected);

        w.SpeedButtonNew->click();
        x.open(QStringLiteral("prog.frm"));
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

    void openAnotherFile_data()
    {
        QTest::addColumn<QString>("relative"); // folder.frm is a folder
        QTest::addColumn<int>("size");         // of the file written there, -1 for none
        QTest::addColumn<QString>("message");
        const QString shortFile = QStringLiteral("Read beyond end of file.");
        QTest::newRow("0 bytes") << "other.frm" << 0 << shortFile;
        QTest::newRow("8191 bytes") << "other.frm" << 8191 << shortFile;
        QTest::newRow("8192 bytes") << "other.frm" << 8192 << "";
        QTest::newRow("9000 bytes") << "other.frm" << 9000 << "";
        QTest::newRow("a directory") << "folder.frm" << -1 << "File access denied.";
        QTest::newRow("typed name that does not exist") << "none.frm" << -1 << "File not found.";
        QTest::newRow("folder that does not exist")
            << "nofolder/a.frm" << -1 << "Invalid filename.";
    }
    void openAnotherFile()
    {
        QFETCH(QString, relative);
        QFETCH(int, size);
        QFETCH(QString, message);
        Window x;
        TfrmMain &w = x.w;
        // A programme is open and edited when the other file is chosen.
        const QString current = x.open(QStringLiteral("current.frm"), randomImage(3));
        store().set(5, 77);
        const QByteArray before = store().image();
        QVERIFY(QDir(x.sandbox.workDir()).mkdir(QStringLiteral("folder.frm")));
        const QByteArray content = randomImage(4).repeated(2).left(size);
        if (size >= 0)
            writeFile(x.sandbox.workPath(relative), content);
        const QString other = x.open(relative);

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
        QVERIFY(w.SpeedButtonSave->isEnabled());
        w.SpeedButtonSave->click();
        QCOMPARE(readFile(current).left(kTravelBase), before.left(kTravelBase));
        QCOMPARE(readFile(other), size < 0 ? QByteArray() : content);
        // The dialog keeps the name it was given.
        w.SpeedButtonLoad->click();
        QCOMPARE(x.prompts.openPrefills.last(), other);
    }

    void failedSavesLeaveTheStateTheyReached()
    {
        Window x;
        TfrmMain &w = x.w;
        // A read-only file opens, but saving onto it fails and leaves it whole.
        const QString file = x.sandbox.workPath(QStringLiteral("ro.frm"));
        const QByteArray content = randomImage(7);
        writeFile(file, content);
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadOther));
        x.open(QStringLiteral("ro.frm"));
        QCOMPARE(store().image(), content);
        w.ScrollBarTimeZadv[0]->setValue(50);
        w.SpeedButtonSave->click();
        QCOMPARE(x.prompts.messages, QStringList{"File access denied."});
        QCOMPARE(readFile(file), content);
        QCOMPARE(iniValue(x.sandbox, "Options", "NameFileForm"), "<missing>");

        // Save As into a missing folder: names and travel times were stored and
        // the caption names the new file; Save and the recorded last file stay.
        const QString name = x.sandbox.workPath(QStringLiteral("nofolder/new.frm"));
        x.prompts.saveAnswers << name;
        w.SpeedButtonSaveAs->click();
        QCOMPARE(x.prompts.messages.last(), QStringLiteral("Invalid filename."));
        QCOMPARE(iniValue(x.sandbox, "Zadvizki", "Name_1"), "NoName1");
        QCOMPARE(store().at(kTravelBase), 50);
        QCOMPARE(w.windowTitle(), kCaptionWithFile + name);
        QVERIFY(w.SpeedButtonSave->isEnabled());
        QCOMPARE(iniValue(x.sandbox, "Options", "NameFileForm"), "<missing>");
    }

    void saveOntoAVanishedFileWritesNothing()
    {
        Window x;
        const QString file = x.open(QStringLiteral("gone.frm"), randomImage(8));
        QVERIFY(QFile::remove(file));
        x.w.SpeedButtonSave->click();
        QCOMPARE(x.prompts.titles, QStringList{"Error"});
        QCOMPARE(x.prompts.messages, QStringList{QStringLiteral("Файл не существует !")});
        QVERIFY(!QFile::exists(file));
        QVERIFY(!QFile::exists(x.sandbox.settingsPath()));
    }

    void newClearsAndKeepsTheCurrentName()
    {
        Window x;
        TfrmMain &w = x.w;
        const QString file = x.open(QStringLiteral("a.frm"), randomImage(9));
        w.ScrollBarNomberForm->setValue(40);

        w.SpeedButtonNew->click();
        QCOMPARE(w.windowTitle(), kCaptionNoName);
        QVERIFY(!w.SpeedButtonSave->isEnabled());
        QCOMPARE(store().image(), kZeros);
        QCOMPARE(w.LabelNomberForm->text(), QStringLiteral(" Форма N 1"));
        for (int v = 0; v < 8; ++v)
            QCOMPARE(w.LabelTimeZadv[v]->text(), timeText(7));
        // Save As offers the previous file; saving the new one stores 7 everywhere.
        const QString fresh = x.sandbox.workPath(QStringLiteral("fresh.frm"));
        x.prompts.saveAnswers << fresh;
        w.SpeedButtonSaveAs->click();
        QCOMPARE(x.prompts.savePrefills, QStringList{file});
        for (int v = 0; v < 8; ++v)
            QCOMPARE(quint8(readFile(fresh).at(kTravelBase + 256 * v)), 7);
    }

    void shortcutsPressTheButtons()
    {
        Window x;
        TfrmMain &w = x.w;
        QCOMPARE(w.SpeedButtonSaveAs->toolTip(),
                 QStringLiteral("Дать новое мия и записать  файл форм  (Ctrl+Shift+S)"));
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        const auto press = [&w](const char *keys) {
            QTest::keySequence(&w, QKeySequence(QString::fromLatin1(keys)));
        };
        press("Ctrl+S"); // Save is disabled: not even the missing-file box
        QCOMPARE(x.prompts.messages, QStringList());
        const QString file = x.sandbox.workPath(QStringLiteral("k.frm"));
        x.prompts.saveAnswers << file;
        press("Ctrl+Shift+S");
        QVERIFY(QFile::exists(file));
        w.ScrollBarTimeZadv[7]->setValue(33);
        press("Ctrl+S");
        QCOMPARE(quint8(readFile(file).at(kTravelBase + 7 * 256)), 33);
        press("Ctrl+N");
        QCOMPARE(w.windowTitle(), kCaptionNoName);
        x.prompts.openAnswers << file;
        press("Ctrl+O");
        QCOMPARE(w.ScrollBarTimeZadv[7]->value(), 33);
        QCOMPARE(x.prompts.messages, QStringList());
    }

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
        RecordingPrompts prompts;
        if (!ini.isNull())
            writeFile(sandbox.settingsPath(), ini);
        TfrmMain w;
        for (int v = 0; v < 8; ++v) {
            QCOMPARE(w.EditNameZadv[v]->text(), names[v]);
            QCOMPARE(w.EditNameUrzadv[v]->text(), names[v]);
            QCOMPARE(w.EditNameZadv[v]->cursorPosition(), 0); // a long name shows its start
        }
        QCOMPARE(prompts.messages, QStringList());
        w.SpeedButtonLoad->click(); // cancelled
        QCOMPARE(prompts.openPrefills, QStringList{"UserForm.frm"});
        // Reading never creates or changes the file.
        QCOMPARE(QFile::exists(sandbox.settingsPath()), !ini.isNull());
        QCOMPARE(readFile(sandbox.settingsPath()), ini);
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
            QCOMPARE(iniValue(sandbox, "Zadvizki", "Name_2"), "NoName2");
            QCOMPARE(iniValue(sandbox, "Zadvizki", "Name_8"), "Last");
            const QByteArray ini = readFile(sandbox.settingsPath());
            QVERIFY(ini.startsWith("; the operator's notes\n[Options]\nPort=COM1\n"));
            QVERIFY(ini.contains("Name_1=\xCD\xE0\xF1\xEE\xF1\n")); // Windows-1251
            // The gauges' name boxes change only at the next start.
            QCOMPARE(w.EditNameUrzadv[0]->text(), "NoName1");

            writeFile(b, kZeros);
            prompts.openAnswers << b;
            w.SpeedButtonLoad->click();
            QCOMPARE(w.windowTitle(), kCaptionWithFile + b);
            QCOMPARE(iniValue(sandbox, "Options", "NameFileForm"), a);
        }
        // A restart loads the last file saved, not the last one opened.
        TfrmMain again;
        QCOMPARE(again.windowTitle(), kCaptionWithFile + a);
        QCOMPARE(again.EditNameUrzadv[0]->text(), QStringLiteral("Насос"));
        QCOMPARE(again.ScrollBarTimeZadv[0]->value(), 100);
        QCOMPARE(again.LabelTimeZadv[0]->text(), QStringLiteral("1 Мин 40 Сек "));
        QCOMPARE(prompts.messages, QStringList());
    }

    void folderInTheSettingsFilesPlace()
    {
        Sandbox sandbox;
        RecordingPrompts prompts;
        // Read as absent, and unwritable even for the superuser.
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

        // Save As stops at the settings file, before the travel times and the form file.
        w.ScrollBarTimeZadv[0]->setValue(99);
        const QString file = sandbox.workPath(QStringLiteral("s.frm"));
        prompts.saveAnswers << file;
        w.SpeedButtonSaveAs->click();
        QCOMPARE(prompts.messages,
                 QStringList{"Unable to write to " + sandbox.settingsPath() + '.'});
        QCOMPARE(prompts.titles, QStringList{kApplicationTitle});
        QVERIFY(!QFile::exists(file));
        QCOMPARE(store().image(), randomImage(14));
    }

    // ---- the valve parameters panel ----

    void togetherMovesBarsTwoToEightOnly()
    {
        Window x;
        TfrmMain &w = x.w;
        w.ScrollBarTimeZadv[3]->setValue(30);
        w.CheckBoxTogetg->setChecked(true); // aligns nothing by itself
        QCOMPARE(w.ScrollBarTimeZadv[1]->value(), 7);
        QCOMPARE(w.ScrollBarTimeZadv[3]->value(), 30);

        w.ScrollBarTimeZadv[0]->setValue(60);
        for (int v = 0; v < 8; ++v) {
            QCOMPARE(w.ScrollBarTimeZadv[v]->value(), 60);
            QCOMPARE(w.LabelTimeZadv[v]->text(), timeText(60));
        }
        w.ScrollBarTimeZadv[4]->setValue(100);
        for (int v = 0; v < 8; ++v)
            QCOMPARE(w.ScrollBarTimeZadv[v]->value(), v == 4 ? 100 : 60);

        w.CheckBoxTogetg->setChecked(false);
        w.ScrollBarTimeZadv[0]->setValue(90);
        QCOMPARE(w.ScrollBarTimeZadv[1]->value(), 60);
    }

    void typedNamesStopAtEightCharacters()
    {
        Window x;
        x.w.EditNameZadv[0]->clear();
        QTest::keyClicks(x.w.EditNameZadv[0], "abcdefghij");
        QCOMPARE(x.w.EditNameZadv[0]->text(), QStringLiteral("abcdefgh"));
    }

    void unsavedTravelTimeGivesWayAtTheNextRefresh()
    {
        Window x;
        TfrmMain &w = x.w;
        QByteArray image = kZeros;
        for (int v = 0; v < 8; ++v)
            image[kTravelBase + 256 * v] = char(20 + v);
        const QString file = x.open(QStringLiteral("t.frm"), image);

        w.ScrollBarTimeZadv[2]->setValue(200);
        w.SpeedButtonEdit->click(); // OK refreshes the strip
        QCOMPARE(w.ScrollBarTimeZadv[2]->value(), 22);
        QCOMPARE(w.LabelTimeZadv[2]->text(), timeText(22));

        // With "Вместе" the refresh still ends with every bar at its own value.
        w.CheckBoxTogetg->setChecked(true);
        w.ScrollBarTimeZadv[0]->setValue(150);
        w.ScrollBarFormVewer->setValue(5);
        for (int v = 0; v < 8; ++v)
            QCOMPARE(w.ScrollBarTimeZadv[v]->value(), 20 + v);
    }

    // ---- start-up ----

    void startUpSurvivesABadLastFile_data()
    {
        QTest::addColumn<int>("size"); // of the last form file, -1 for a directory
        QTest::addColumn<QString>("message");
        QTest::newRow("8191 bytes") << 8191 << "Read beyond end of file.";
        QTest::newRow("0 bytes") << 0 << "Read beyond end of file.";
        QTest::newRow("a directory") << -1 << "File access denied.";
    }
    void startUpSurvivesABadLastFile()
    {
        QFETCH(int, size);
        QFETCH(QString, message);
        QStringList firstStart;
        {
            Window clean;
            firstStart = visibleState(clean.w);
        }
        Sandbox sandbox;
        RecordingPrompts prompts;
        if (size < 0)
            QVERIFY(QDir(sandbox.workDir()).mkdir(QStringLiteral("UserForm.frm")));
        else
            writeFile(sandbox.workPath(QStringLiteral("UserForm.frm")), QByteArray(size, '\x7F'));
        store().replaceImage(randomImage(13));
        TfrmMain w;
        QCOMPARE(prompts.messages, QStringList{message});
        QCOMPARE(prompts.titles, QStringList{kApplicationTitle});
        // Then the window of a first start, not the controls as laid out.
        QCOMPARE(visibleState(w), firstStart);
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
        QCOMPARE(store().image(), kZeros);
    }
};

QTEST_MAIN(TestFiles)
#include "tst_files.moc"
