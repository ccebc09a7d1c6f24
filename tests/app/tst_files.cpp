// The file commands and a start-up that meets a bad last file, driven
// through the real main window.
#include "app/file_commands.h"
#include "core/form_store.h"
#include "core/profile.h"
#include "player/gauge.h"
#include "player/live_gauges.h"
#include "tests/support/window_fixture.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include <array>

namespace {

const QString kCaption = QStringLiteral("Редатор форм фонтанов");
const QString kCaptionNoName = QStringLiteral("Редатор форм фонтанов: Нет Имени файла  ");
using form_layout::travelTimeByte;

const QByteArray kZeros(form_layout::kImageSize, '\0');

// Everything a user can see of the window's first state, one line per item.
QStringList visibleState(WindowFixture &w)
{
    QStringList s;
    s << w.w().windowTitle() << w.label("LabelNomberForm")->text() << w.edit("EditNameForm")->text()
      << w.find<TFileCommands>(QStringLiteral("FileCommands"))->currentFile();
    for (const char *b : {"ScrollBarNomberForm", "ScrollBarEditMin", "ScrollBarEditSek"})
        s << QString::number(w.bar(QLatin1String(b))->value());
    s << QStringLiteral("save %1").arg(w.button("SpeedButtonSave")->isEnabled());
    for (int i = 1; i <= 7; ++i) {
        const QString n = QString::number(i);
        QString line = "strip " +
                       w.label(i == 6 ? "LabeNomberFormWin6" : "LabelNomberFormWin" + n)->text() +
                       '|' + w.label("LabelNameFormWin" + n)->text() + '|' +
                       w.label(i == 5 ? "LabelLabelTimeWin5" : "LabelTimeWin" + n)->text();
        for (int v = 1; v <= 8; ++v)
            line += QStringLiteral(" %1").arg(
                w.find<TGauge>(QStringLiteral("GaugeWin%1z%2").arg(i).arg(v))->value());
        s << line;
    }
    for (int v = 0; v < 8; ++v) {
        s << QString::asprintf("valve %d %d %d ", w.bar("ScrollBarZadvizka", v + 1)->value(),
                               int(w.gauges()->targets()[v]),
                               w.bar("ScrollBarTimeZadv", v + 1)->value()) +
                 w.label("LabelTimeZadv", v + 1)->text();
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
        WindowFixture x;
        const QByteArray programme = randomImage(1);
        QVERIFY(x.store().replaceImage(programme));
        const std::array<int, 8> travel = {7, 8, 60, 100, 128, 200, 254, 255};
        QByteArray expected = programme;
        for (int v = 0; v < 8; ++v) {
            x.bar("ScrollBarTimeZadv", v + 1)->setValue(travel[v]);
            expected[travelTimeByte(v + 1)] = char(travel[v]);
        }
        // Save As replaces an existing file without asking.
        const QString file = x.sandbox().workPath(QStringLiteral("prog.frm"));
        writeFile(file, QByteArray(9000, '\x55'));
        x.prompts.saveAnswers << file;
        x.button("SpeedButtonSaveAs")->click();
        QCOMPARE(readFile(file), expected);

        x.button("SpeedButtonNew")->click();
        openFormFile(x, QStringLiteral("prog.frm"));
        QCOMPARE(x.prompts.messages, QStringList());
        QCOMPARE(x.store().image(), expected); // banks 1 to 3 included
        for (int v = 0; v < 8; ++v) {
            QCOMPARE(x.bar("ScrollBarTimeZadv", v + 1)->value(), travel[v]);
            QCOMPARE(x.label("LabelTimeZadv", v + 1)->text(), minSecText(travel[v]));
        }
        QCOMPARE(x.w().windowTitle(), captionWithFile(file));
        QVERIFY(x.button("SpeedButtonSave")->isEnabled());
        // The editor shows slot 0 of the new content.
        QCOMPARE(x.bar("ScrollBarNomberForm")->value(), 0);
        QCOMPARE(x.bar("ScrollBarZadvizka", 1)->value(), 255 - quint8(expected[0]));
    }

    // Paths are shown and stored as the system writes them; one too long for
    // a title bar keeps the file's name in the caption and loses folders.
    void pathsAsTheSystemWritesThem()
    {
        WindowFixture x;
        const QString folder = QStringLiteral("shows/") + QString(130, u'd');
        QVERIFY(QDir(x.sandbox().workPath(QString())).mkpath(folder));
        const QString file = openFormFile(x, folder + QStringLiteral("/лето.frm"), randomImage(2));
        const QString caption = x.w().windowTitle();
        QVERIFY2(caption.endsWith(QStringLiteral("\u2026") + QDir::separator() +
                                  QStringLiteral("лето.frm")),
                 qPrintable(caption));
        QCOMPARE(caption.size(), captionWithFile(QString(120, u'x')).size());
        QVERIFY(captionWithFile(file).startsWith(caption.chopped(10)));
        x.button("SpeedButtonSave")->click();
        QCOMPARE(iniValue(x.sandbox(), "Options", "NameFileForm"), QDir::toNativeSeparators(file));
        QCOMPARE(x.prompts.messages, QStringList());
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
        // Once read as its first 8192 bytes, and cut down by the next Save.
        QTest::newRow("8193 bytes") << "other.frm" << 8193 << "Not a form file.";
        QTest::newRow("9000 bytes") << "other.frm" << 9000 << "Not a form file.";
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
        WindowFixture x;
        // A programme is open and edited when the other file is chosen.
        const QString current = openFormFile(x, QStringLiteral("current.frm"), randomImage(3));
        x.store().set(5, 77);
        const QByteArray before = x.store().image();
        QVERIFY(QDir(x.sandbox().workDir()).mkdir(QStringLiteral("folder.frm")));
        const QByteArray content = randomImage(4).repeated(2).left(size);
        if (size >= 0)
            writeFile(x.sandbox().workPath(relative), content);
        const QString other = openFormFile(x, relative);

        if (message.isEmpty()) {
            QCOMPARE(x.prompts.messages, QStringList());
            QCOMPARE(x.store().image(), content.left(form_layout::kImageSize));
            QCOMPARE(x.w().windowTitle(), captionWithFile(other));
            return;
        }
        QCOMPARE(x.prompts.messages, QStringList{message});
        QCOMPARE(x.prompts.titles, QStringList{kApplicationTitle});
        // The failed load replaced nothing: once the bytes read so far went into
        // the store, and a Save then wrote a mixture of two programmes.
        QCOMPARE(x.store().image(), before);
        QCOMPARE(x.w().windowTitle(), captionWithFile(current));
        QVERIFY(x.button("SpeedButtonSave")->isEnabled());
        x.button("SpeedButtonSave")->click();
        QCOMPARE(readFile(current).left(travelTimeByte(1)), before.left(travelTimeByte(1)));
        QCOMPARE(readFile(other), size < 0 ? QByteArray() : content);
        // The dialog keeps the name it was given.
        x.button("SpeedButtonLoad")->click();
        QCOMPARE(x.prompts.openPrefills.last(), other);
    }

    void saveOntoAReadOnlyFileFails()
    {
        WindowFixture x;
        // A read-only file opens, but saving onto it fails and leaves it whole.
        const QString file = x.sandbox().workPath(QStringLiteral("ro.frm"));
        const QByteArray content = randomImage(7);
        writeFile(file, content);
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadOther));
        openFormFile(x, QStringLiteral("ro.frm"));
        QCOMPARE(x.store().image(), content);
        x.bar("ScrollBarTimeZadv", 1)->setValue(50);
        x.button("SpeedButtonSave")->click();
        QCOMPARE(x.prompts.messages, QStringList{"File access denied."});
        QCOMPARE(readFile(file), content);
        QCOMPARE(iniValue(x.sandbox(), "Options", "NameFileForm"), "<missing>");
    }

    void failedSaveAsKeepsTheCurrentFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("fileOpen"); // else a first start, Save disabled
        QTest::addColumn<QString>("message");
        const QString invalid = QStringLiteral("Invalid filename.");
        QTest::newRow("missing folder") << "nofolder/new.frm" << true << invalid;
        QTest::newRow("under a file") << "/proc/version/x.frm" << true << invalid;
        QTest::newRow("a directory") << "." << true << "File access denied.";
        QTest::newRow("first start") << "/proc/version/x.frm" << false << invalid;
    }
    void failedSaveAsKeepsTheCurrentFile()
    {
        QFETCH(QString, name);
        QFETCH(bool, fileOpen);
        QFETCH(QString, message);
        WindowFixture x;
        const QString file =
            fileOpen ? openFormFile(x, QStringLiteral("real.frm"), randomImage(5)) : QString();
        const QString caption = x.w().windowTitle();
        x.bar("ScrollBarTimeZadv", 1)->setValue(50);
        x.prompts.saveAnswers << (name.startsWith(u'/') ? name : x.sandbox().workPath(name));
        x.button("SpeedButtonSaveAs")->click();
        QCOMPARE(x.prompts.messages, QStringList{message});
        // The names and travel times were stored before the form file failed;
        // the caption and the current file once named the failed file, and a
        // Save then answered "Файл не существует !".
        QCOMPARE(iniValue(x.sandbox(), "Zadvizki", "Name_1"), "NoName1");
        QCOMPARE(x.store().at(travelTimeByte(1)), 50);
        QCOMPARE(x.w().windowTitle(), caption);
        QCOMPARE(x.find<TFileCommands>(QStringLiteral("FileCommands"))->currentFile(), file);
        QCOMPARE(x.button("SpeedButtonSave")->isEnabled(), fileOpen);
        QCOMPARE(iniValue(x.sandbox(), "Options", "NameFileForm"), "<missing>");
        if (!fileOpen)
            return;
        x.button("SpeedButtonSave")->click();
        QCOMPARE(x.prompts.messages.size(), 1);
        QCOMPARE(readFile(file), x.store().image());
    }

    // Removed, or a folder put in its place: either way no file is there.
    void saveOntoAVanishedFileWritesNothing()
    {
        for (const bool folder : {false, true}) {
            WindowFixture x;
            const QString file = openFormFile(x, QStringLiteral("gone.frm"), randomImage(8));
            QVERIFY(QFile::remove(file));
            if (folder)
                QVERIFY(QDir().mkdir(file));
            x.button("SpeedButtonSave")->click();
            QCOMPARE(x.prompts.titles, QStringList{"Error"});
            QCOMPARE(x.prompts.messages, QStringList{QStringLiteral("Файл не существует !")});
            QCOMPARE(QFileInfo(file).isDir(), folder);
            QVERIFY(!QFileInfo(file).isFile());
            QVERIFY(!QFile::exists(x.sandbox().settingsPath()));
        }
    }

    void newClearsAndKeepsTheCurrentName()
    {
        WindowFixture x;
        const QString file = openFormFile(x, QStringLiteral("a.frm"), randomImage(9));
        x.bar("ScrollBarNomberForm")->setValue(40);

        x.button("SpeedButtonNew")->click();
        QCOMPARE(x.w().windowTitle(), kCaptionNoName);
        QVERIFY(!x.button("SpeedButtonSave")->isEnabled());
        QCOMPARE(x.store().image(), kZeros);
        QCOMPARE(x.label("LabelNomberForm")->text(), QStringLiteral(" Форма N 1"));
        for (int v = 0; v < 8; ++v)
            QCOMPARE(x.label("LabelTimeZadv", v + 1)->text(), minSecText(7));
        // Save As offers the previous file; saving the new one stores 7 everywhere.
        const QString fresh = x.sandbox().workPath(QStringLiteral("fresh.frm"));
        x.prompts.saveAnswers << fresh;
        x.button("SpeedButtonSaveAs")->click();
        QCOMPARE(x.prompts.savePrefills, QStringList{file});
        for (int v = 0; v < 8; ++v)
            QCOMPARE(quint8(readFile(fresh).at(travelTimeByte(v + 1))), 7);
    }

    void shortcutsPressTheButtons()
    {
        WindowFixture x;
        QCOMPARE(x.button("SpeedButtonSaveAs")->toolTip(),
                 QStringLiteral("Дать новое мия и записать  файл форм  (Ctrl+Shift+S)"));
        TfrmMain &w = x.w();
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        const auto press = [&w](const char *keys) {
            QTest::keySequence(&w, QKeySequence(QString::fromLatin1(keys)));
        };
        // No file yet: Save is disabled and Ctrl+S asks for a name (cancelled here).
        press("Ctrl+S");
        QCOMPARE(x.prompts.savePrefills.size(), 1);
        QCOMPARE(x.prompts.messages, QStringList());
        const QString file = x.sandbox().workPath(QStringLiteral("k.frm"));
        x.prompts.saveAnswers << file;
        press("Ctrl+Shift+S");
        QVERIFY(QFile::exists(file));
        x.bar("ScrollBarTimeZadv", 8)->setValue(33);
        press("Ctrl+S"); // now saves without asking
        QCOMPARE(x.prompts.savePrefills.size(), 2);
        QCOMPARE(quint8(readFile(file).at(travelTimeByte(8))), 33);
        press("Ctrl+N");
        QCOMPARE(x.w().windowTitle(), kCaptionNoName);
        x.prompts.openAnswers << file;
        press("Ctrl+O");
        QCOMPARE(x.bar("ScrollBarTimeZadv", 8)->value(), 33);
        QCOMPARE(x.prompts.messages, QStringList());
    }

    // ---- start-up ----

    void startUpSurvivesABadLastFile_data()
    {
        QTest::addColumn<int>("size"); // of the last form file, -1 a directory, -2 a link loop
        QTest::addColumn<QString>("message"); // none: skipped as no file
        QTest::newRow("8191 bytes") << 8191 << "Read beyond end of file.";
        QTest::newRow("0 bytes") << 0 << "Read beyond end of file.";
        QTest::newRow("9000 bytes") << 9000 << "Not a form file.";
        QTest::newRow("a directory") << -1 << QString();
#ifdef Q_OS_UNIX
        // Windows has no symbolic links for a program to make.
        QTest::newRow("a link loop") << -2 << "Invalid filename.";
#endif
    }
    void startUpSurvivesABadLastFile()
    {
        QFETCH(int, size);
        QFETCH(QString, message);
        QStringList firstStart;
        {
            WindowFixture clean;
            firstStart = visibleState(clean);
        }
        Sandbox sandbox;
        if (size == -1)
            QVERIFY(QDir(sandbox.workDir()).mkdir(QStringLiteral("UserForm.frm")));
        else if (size == -2)
            QVERIFY(QFile::link(QStringLiteral("UserForm.frm"), QStringLiteral("UserForm.frm")));
        else
            writeFile(sandbox.workPath(QStringLiteral("UserForm.frm")), QByteArray(size, '\x7F'));
        WindowFixture x(&sandbox);
        QCOMPARE(x.prompts.messages, message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(x.prompts.titles,
                 message.isEmpty() ? QStringList() : QStringList{kApplicationTitle});
        // Then the window of a first start, not the controls as laid out.
        QCOMPARE(visibleState(x), firstStart);
        QCOMPARE(x.w().windowTitle(), kCaption);
        QVERIFY(!x.button("SpeedButtonSave")->isEnabled());
        QCOMPARE(x.label("LabelNomberForm")->text(), QStringLiteral(" Форма N 1"));
        for (int i = 1; i <= 7; ++i)
            QCOMPARE(x.label(i == 6 ? QStringLiteral("LabeNomberFormWin6")
                                    : QStringLiteral("LabelNomberFormWin%1").arg(i))
                         ->text(),
                     QStringLiteral("Форма N %1").arg(i));
        for (int v = 0; v < 8; ++v) {
            QCOMPARE(x.bar("ScrollBarTimeZadv", v + 1)->value(), 7);
            QCOMPARE(x.gauges()->targets()[v], 0);
            QCOMPARE(x.bar("ScrollBarZadvizka", v + 1)->value(), 255);
        }
        QCOMPARE(x.store().image(), kZeros);
    }
};

QTEST_MAIN(TestFiles)
#include "tst_files.moc"
