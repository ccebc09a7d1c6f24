// fountain-frm: the check rules, the diff lines, and the executable's output
// and exit codes.
#include "store/form_store.h"
#include "tests/frm_support.h"
#include "tests/test_support.h"
#include "tools/frm/reports.h"
#include "tools/frm/text_format.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

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
        QTest::newRow("hidden only") << withBytes(a, {{2048 + 17, 1}, {127, 1}})
                                     << QStringList{"bytes the editor does not show: 2 differ"};
        // The name reads the same: its stored length and the bytes after it are not shown.
        QTest::newRow("name bytes not shown")
            << withBytes(a, {{nameLengthAt(0), 9}, {128 + 1 + 5 * 256, 'x'}})
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
        QByteArray image(FormStore::kSize, '\0');
        for (int slot = 0; slot < 100; ++slot)
            image[holdSecAt(slot)] = 1;
        image[nameLengthAt(0)] = 2;
        image[128 + 256] = '\x1B'; // an escape would upset the terminal
        image[128 + 512] = '\xFF';
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
};

QTEST_GUILESS_MAIN(TestFrm)
#include "tst_frm.moc"
