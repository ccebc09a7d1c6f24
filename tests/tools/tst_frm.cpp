// fountain-frm: the check rules, the diff lines, and the executable's output
// and exit codes.
#include "core/form_store.h"
#include "tests/support/frm_support.h"
#include "tests/support/test_support.h"
#include "tools/frm/reports.h"
#include "tools/frm/sheet.h"
#include "tools/frm/text_format.h"

#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

// A shell script with $FRM standing for the tool, run in dir.
Run runShell(const QString &script, const QString &dir)
{
    QProcess p;
    p.setWorkingDirectory(dir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FRM"), qEnvironmentVariable("FOUNTAIN_TEST_BINARY_DIR") +
                                          QStringLiteral("/tools/fountain-frm"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script});
    if (!p.waitForFinished(20000) || p.exitStatus() != QProcess::NormalExit)
        return {};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

} // namespace
#endif

namespace {

// Pages of a PDF as its page objects say; not "/Pages", the tree above them.
int pdfPages(const QByteArray &pdf)
{
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
    return int(QString::fromLatin1(pdf).count(page));
}

} // namespace

class TestFrm : public QObject
{
    Q_OBJECT

  private slots:
    void check_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("problems");
        const QByteArray good = editorFile();
        QTest::newRow("sound") << good << QStringList();
        QTest::newRow("8191 bytes")
            << good.left(8191) << QStringList{"size is 8191 bytes; a form file has exactly 8192"};
        QTest::newRow("8193 bytes")
            << good + '\0' << QStringList{"size is 8193 bytes; a form file has exactly 8192"};
        QTest::newRow("hold above 59")
            << withBytes(good, {{holdMinAt(1), 60}, {holdSecAt(2), 75}})
            << QStringList{"form 2: hold minutes 60 above 59", "form 3: hold seconds 75 above 59"};
        QTest::newRow("name length above 5") << withBytes(good, {{nameLengthAt(0), 9}})
                                             << QStringList{"form 1: name length byte 9 above 5"};
        QTest::newRow("coda form's name") << withBytes(good, {{nameLengthAt(3), 6}})
                                          << QStringList{"form 4: name length byte 6 above 5"};
        QTest::newRow("travel below 7") << withBytes(good, {{travelAt(3), 6}, {travelAt(8), 0}})
                                        << QStringList{"valve 3: travel time 6 s outside 7..255",
                                                       "valve 8: travel time 0 s outside 7..255"};
        QTest::newRow("after the coda is not played")
            << withBytes(good, {{holdSecAt(4), 99}, {nameLengthAt(4), 200}, {holdMinAt(99), 61}})
            << QStringList();
        // Without a coda mark every form is played.
        QByteArray endless = withBytes(good, {{holdSecAt(3), 1}, {holdMinAt(99), 61}});
        for (int slot = 5; slot < 100; ++slot)
            endless[holdSecAt(slot)] = 1;
        QTest::newRow("no coda") << endless
                                 << QStringList{
                                        "no coda mark in forms 1..100: the programme has no end",
                                        "form 100: hold minutes 61 above 59"};
    }
    void check()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, problems);
        QCOMPARE(frm::checkProblems(bytes), problems);
    }

    void diff_data()
    {
        QTest::addColumn<QByteArray>("b");
        QTest::addColumn<QStringList>("lines");
        const QByteArray a = editorFile();
        const QString same = QStringLiteral("bytes the editor does not show: the same");
        QTest::newRow("identical") << a << QStringList();
        QTest::newRow("level") << withBytes(a, {{levelAt(1, 8), 200}})
                               << QStringList{"form 2 jet 8: 64 (25%) → 200 (78%)", same};
        QTest::newRow("name") << withBytes(a, {{nameLengthAt(2), 2}})
                              << QStringList{"form 3 name: \"Left\" → \"Le\"", same};
        QTest::newRow("coda moved")
            << withBytes(a, {{holdSecAt(3), 10}, {holdSecAt(4), 0}})
            << QStringList{"coda mark: form 4 → form 5", "form 4 hold: 0:00 → 0:10",
                           "form 5 hold: 0:20 → 0:00", same};
        QTest::newRow("travel") << withBytes(a, {{travelAt(4), 26}})
                                << QStringList{"valve 4 travel time: 25 s → 26 s", same};
        QTest::newRow("hidden only")
            << withBytes(a, {{form_layout::levelIndex(1, 17), 1}, {levelAt(127, 1), 1}})
            << QStringList{"bytes the editor does not show: 2 differ"};
        // The name reads the same: its stored length and the bytes after it are not shown.
        QTest::newRow("name bytes not shown")
            << withBytes(a, {{nameLengthAt(0), 9}, {nameCharAt(1, 5), 'x'}})
            << QStringList{"bytes the editor does not show: 2 differ"};
    }
    void diff()
    {
        QFETCH(QByteArray, b);
        QFETCH(QStringList, lines);
        QCOMPARE(frm::diffLines(editorFile(), b), lines);
    }

    void showWithoutCoda()
    {
        QByteArray image(form_layout::kImageSize, '\0');
        for (int slot = 0; slot < form_layout::kForms; ++slot)
            image[holdSecAt(slot)] = 1;
        image[nameLengthAt(0)] = 2;
        image[nameCharAt(0, 1)] = '\x1B'; // an escape would upset the terminal
        image[nameCharAt(0, 2)] = '\xFF';
        const QStringList lines = frm::showText(image).split(u'\n');
        QCOMPARE(lines[1],
                 QStringLiteral("   1  \uFFFDя       0%   0%   0%   0%   0%   0%   0%   0%  0:01"));
        QVERIFY(lines[100].startsWith(QStringLiteral(" 100 ")));
        QCOMPARE(lines[102],
                 QStringLiteral("No coda mark in forms 1..100: the programme has no end mark."));
        QCOMPARE(lines[105],
                 QStringLiteral("  valve 1    0 s  0:00  (below 7: the editor uses 7 s)"));
    }

    // The executable: output and exit codes as a shell script sees them.
    void executable_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err"); // the start of standard error
        const QString show = QStringLiteral(
            "form  name   jet1 jet2 jet3 jet4 jet5 jet6 jet7 jet8  hold\n"
            "   1  Волна  100%  50%   0%   0%   0%   0%  50% 100%  0:30\n"
            "   2  Ёлка    25%  25%  25%  25%  25%  25%  25%  25%  1:05\n"
            "   3  Left   100%  99%   1%   0%   0%   0%   0%   0%  0:45\n"
            "   4  Конец    0%   0%   0%   0%   0%   0%   0%   0%  0:00  coda\n"
            "Jet levels in per cent of a full jet.\n"
            "Coda mark at form 4: the programme ends there and starts again at form 1.\n"
            "\n"
            "Travel time of each valve, closed to open:\n"
            "  valve 1   20 s  0:20\n  valve 2   20 s  0:20\n  valve 3   25 s  0:25\n"
            "  valve 4   25 s  0:25\n  valve 5   30 s  0:30\n  valve 6   30 s  0:30\n"
            "  valve 7   60 s  1:00\n  valve 8   90 s  1:30\n");
        const auto row = [](const char *name, QStringList args) -> QTestData & {
            return QTest::newRow(name) << args;
        };
        row("show", {"show", "good.frm"}) << 0 << show << "";
        row("show long file", {"show", "long.frm"})
            << 2 << ""
            << "fountain-frm: long.frm is not a form file: 8193 bytes";
        row("show missing file", {"show", "none.frm"}) << 2 << ""
                                                       << "fountain-frm: cannot read none.frm";
        row("check sound", {"check", "good.frm"}) << 0 << "good.frm: sound\n"
                                                  << "";
        row("check problems", {"check", "good.frm", "bad.frm", "short.frm"})
            << 1
            << "good.frm: sound\nbad.frm: form 2: hold seconds 60 above 59\n"
               "bad.frm: valve 1: travel time 3 s outside 7..255\n"
               "short.frm: size is 8191 bytes; a form file has exactly 8192\n"
            << "";
        row("check unreadable", {"check", "bad.frm", "none.frm"})
            << 2
            << "bad.frm: form 2: hold seconds 60 above 59\nbad.frm: valve 1: travel time 3 s "
               "outside 7..255\n"
            << "fountain-frm: cannot read none.frm";
        row("diff same", {"diff", "good.frm", "good.frm"}) << 0 << ""
                                                           << "";
        row("diff different", {"diff", "good.frm", "bad.frm"})
            << 1
            << "form 2 hold: 1:05 → 1:60\nvalve 1 travel time: 20 s → 3 s\n"
               "bytes the editor does not show: the same\n"
            << "";
        row("diff short file", {"diff", "good.frm", "short.frm"})
            << 2 << ""
            << "fountain-frm: short.frm is not a form file: 8191 bytes";
        row("no command", {}) << 2 << ""
                              << "Usage: fountain-frm COMMAND";
        row("unknown command", {"send", "good.frm"}) << 2 << ""
                                                     << "fountain-frm: no command 'send'";
        row("wrong file count", {"diff", "good.frm"}) << 2 << ""
                                                      << "fountain-frm diff: wrong number of files";
        row("unknown option", {"show", "-x", "good.frm"})
            << 2 << ""
            << "fountain-frm show: Unknown option 'x'.";
        row("import without output", {"import", "good.json"})
            << 2 << ""
            << "fountain-frm: import needs -o FILE";
    }
    void executable()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QTemporaryDir dir;
        const QByteArray good = editorFile();
        writeFile(dir.filePath(QStringLiteral("good.frm")), good);
        writeFile(dir.filePath(QStringLiteral("long.frm")), good + '\0');
        writeFile(dir.filePath(QStringLiteral("short.frm")), good.left(8191));
        writeFile(dir.filePath(QStringLiteral("bad.frm")),
                  withBytes(good, {{holdSecAt(1), 60}, {travelAt(1), 3}}));
        const Run run = runTool(args, dir.path());
        QCOMPARE(run.code, code);
        QCOMPARE(run.out, out);
        QVERIFY2(err.isEmpty() ? run.err.isEmpty() : run.err.startsWith(err), qPrintable(run.err));
    }

    void helpTexts()
    {
        const Run all = runTool({QStringLiteral("--help")});
        QCOMPARE(all.code, 0);
        for (const char *command :
             {"show FILE", "check FILE...", "diff A B", "export FILE", "import TEXT"})
            QVERIFY2(all.out.contains(QLatin1String(command)), command);
        const Run help = runTool({QStringLiteral("help"), QStringLiteral("check")});
        QCOMPARE(help.code, 0);
        QVERIFY(help.out.startsWith(QStringLiteral("Usage: fountain-frm check FILE...")));
        QCOMPARE(runTool({QStringLiteral("check"), QStringLiteral("--help")}).out, help.out);
    }

    // The sheet: a PDF of the timeline and as many table pages as the forms
    // need, the timeline alone as a PNG, and nothing written for a programme
    // that plays nothing or a name that says no format.
    void sheet()
    {
        QTemporaryDir dir;
        const QString names = QStringLiteral("--names=Центр,Кольцо,,Арка");
        writeFile(dir.filePath(QStringLiteral("show.frm")), editorFile());
        FormStore full;
        for (int slot = 0; slot < form_layout::kForms; ++slot)
            full.WriteForm(slot, form({}, QString::number(slot), 0, 1 + slot % 59));
        writeFile(dir.filePath(QStringLiteral("full.frm")), full.image());
        full.MarkCoda(0);
        writeFile(dir.filePath(QStringLiteral("empty.frm")), full.image());

        Run run = runTool({"sheet", "show.frm", "-o", "show.pdf", names}, dir.path());
        QCOMPARE(run.code, 0);
        QCOMPARE(run.err, QString());
        QCOMPARE(pdfPages(readFile(dir.filePath(QStringLiteral("show.pdf")))), 2);
        QCOMPARE(runTool({"sheet", "full.frm", "-o", "full.pdf"}, dir.path()).code, 0);
        // 100 forms: the timeline and three pages of table.
        QCOMPARE(pdfPages(readFile(dir.filePath(QStringLiteral("full.pdf")))), 4);
        QCOMPARE(runTool({"sheet", "show.frm", "-o", "show.png", "--demo", "2"}, dir.path()).code,
                 0);
        const QImage png =
            QImage::fromData(readFile(dir.filePath(QStringLiteral("show.png"))), "PNG");
        QCOMPARE(png.size(), QSize(1980, 1400));

        run = runTool({"sheet", "empty.frm", "-o", "empty.pdf"}, dir.path());
        QCOMPARE(run.code, 2);
        QVERIFY2(run.err.contains(QStringLiteral("the programme is empty")), qPrintable(run.err));
        for (const QStringList &args :
             {QStringList{"sheet", "show.frm", "-o", "show.txt"},
              QStringList{"sheet", "show.frm", "-o", "show.frm", "--format", "png"},
              QStringList{"sheet", "show.frm", "-o", "x.pdf", "--demo", "8"},
              QStringList{"sheet", "show.frm", "-o", "x.pdf", "--names", "1,2,3,4,5,6,7,8,9"},
              QStringList{"sheet", "show.pdf", "-o", "x.pdf"}}) {
            QCOMPARE(runTool(args, dir.path()).code, 2);
        }
        QCOMPARE(readFile(dir.filePath(QStringLiteral("show.frm"))), editorFile());
        QCOMPARE(QDir(dir.path()).entryList({"empty.pdf", "x.pdf", "show.txt"}), QStringList());
    }

#ifdef Q_OS_UNIX
    // Run unattended, the tool must neither wait for ever, nor replace what it
    // should not, nor call a failed write a success. Each script runs in a
    // folder holding show.frm, show.json, a read-only ro.json, a pipe and a
    // device that is always full; the check after it proves that nothing was
    // changed or that the work was done.
    void filesAndStreams_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("err"); // the start of standard error, after "fountain-frm: "
        QTest::addColumn<QString>("after");
        const auto row = [](const char *name, const char *script, int code, const char *err,
                            const char *after = "cmp -s show.frm show.orig") -> QTestData & {
            return QTest::newRow(name) << QString::fromUtf8(script) << code
                                       << QString::fromUtf8(err) << QString::fromUtf8(after);
        };
        const char *denied = "cannot write %1: File access denied: ";
        row("export onto a pipe", "$FRM export show.frm -o fifo", 2,
            QByteArray(denied).replace("%1", "fifo") + "a pipe", "test -p fifo");
        row("export onto a device", "$FRM export show.frm -o full", 2,
            QByteArray(denied).replace("%1", "full") + "a device", "test -c full");
        row("export onto a read-only file", "$FRM export show.frm -o ro.json", 2,
            QByteArray(denied).replace("%1", "ro.json") + "the file is read-only",
            "cmp -s ro.json show.json");
        row("export onto its input", "$FRM export show.frm -o show.frm", 2,
            "cannot write show.frm: it is the file being read");
        row("export onto its input by a link",
            "ln -s show.frm l.frm; $FRM export l.frm -o show.frm", 2,
            "cannot write show.frm: it is the file being read");
        row("export onto its input by another name",
            "ln show.frm h.frm; $FRM export show.frm -o h.frm", 2,
            "cannot write h.frm: it is the file being read");
        row("import onto its text", "$FRM import show.json -o show.json", 2,
            "cannot write show.json: it is the file being read", "cmp -s show.json ro.json");
        row("standard output onto the input", "$FRM export show.frm >> show.frm", 2,
            "cannot write standard output: it is the file being read");
        for (const char *command : {"show fifo", "check fifo", "diff show.frm fifo",
                                    "import fifo -o x.frm", "upload fifo --port fifo"}) {
            const QByteArray script = QByteArray("$FRM ") + command;
            row(command, script, 2,
                "cannot read fifo: File access denied: a pipe, not a plain file",
                "test ! -e x.frm");
        }
        for (const char *command :
             {"show show.frm", "check show.frm", "export show.frm", "export show.frm -o -"}) {
            const QByteArray script = QByteArray("$FRM ") + command + " > full";
            row(command, script, 2, "cannot write standard output: No space left on device");
        }
        row("standard input", "$FRM import - -o x.frm < show.json", 0, "", "cmp -s x.frm show.frm");
        row("standard input twice", "$FRM diff - - < show.frm", 2,
            "standard input (-) can be read only once");
        row("standard input of two files", "cat show.frm show.frm | $FRM check -", 1, "", "true");
        row("a name that is not UTF-8",
            "n=$(printf 'out\\351.json'); $FRM export show.frm -o \"$n\" && cmp -s \"$n\" "
            "show.json",
            0, "", "test ! -e 'out\357\277\275.json'");
        row("a missing name that is not UTF-8", "$FRM show \"$(printf 'no\\351.frm')\"", 2,
            "cannot read no\\xe9.frm: File not found");
    }
    void filesAndStreams()
    {
        QFETCH(QString, script);
        QFETCH(int, code);
        QFETCH(QString, err);
        QFETCH(QString, after);
        QTemporaryDir dir;
        const QByteArray image = editorFile();
        for (const char *name : {"show.frm", "show.orig"})
            writeFile(dir.filePath(QLatin1String(name)), image);
        const QByteArray json = frm::exportJson(image);
        for (const char *name : {"show.json", "ro.json"})
            writeFile(dir.filePath(QLatin1String(name)), json);
        QFile::setPermissions(dir.filePath(QStringLiteral("ro.json")), QFile::ReadOwner);
        QVERIFY(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("fifo"))), 0600) == 0);
        // A device of its own where it may make one: a tool that wrongly
        // replaced it must not take the system's /dev/full with it.
        const QByteArray full = QFile::encodeName(dir.filePath(QStringLiteral("full")));
        QVERIFY(::mknod(full, S_IFCHR | 0666, makedev(1, 7)) == 0 ||
                ::symlink("/dev/full", full) == 0);
        const Run run = runShell(script, dir.path());
        QCOMPARE(run.code, code);
        QVERIFY2(err.isEmpty() ? run.err.isEmpty()
                               : run.err.startsWith(QStringLiteral("fountain-frm: ") + err),
                 qPrintable(run.err));
        if (script.contains(QLatin1String("two files")))
            QCOMPARE(run.out, QStringLiteral("standard input: size is more than 8192 bytes; a "
                                             "form file has exactly 8192\n"));
        QCOMPARE(runShell(after, dir.path()).code, 0);
    }

    // A file replaced keeps its mode and, where the system allows, its owner.
    void replacedFileKeepsModeAndOwner()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("show.frm")), editorFile());
        const QString out = dir.filePath(QStringLiteral("out.json"));
        writeFile(out, "old");
        QVERIFY(::chmod(QFile::encodeName(out), 0640) == 0);
        const bool root = ::geteuid() == 0;
        if (root)
            QVERIFY(::chown(QFile::encodeName(out), 65534, 65534) == 0);
        QCOMPARE(runTool({"export", "show.frm", "-o", "out.json"}, dir.path()).code, 0);
        struct stat st;
        QVERIFY(::stat(QFile::encodeName(out), &st) == 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0640));
        if (root)
            QCOMPARE(st.st_uid, uid_t(65534));
        QCOMPARE(readFile(out), frm::exportJson(editorFile()));
    }
#endif
};

QTEST_GUILESS_MAIN(TestFrm)
#include "tst_frm.moc"
