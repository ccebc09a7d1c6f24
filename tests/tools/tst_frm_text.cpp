// fountain-frm's text copy: export and import round trips, and the messages
// for broken texts.
#include "core/form_store.h"
#include "tests/support/frm_support.h"
#include "tests/support/test_support.h"
#include "tools/frm/reports.h"
#include "tools/frm/text_format.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Every byte random, but zero with the given chance, so that some files are
// sparse (short hidden runs, names with zero bytes after them, coda marks) and
// others dense.
QByteArray randomFile(QRandomGenerator &random, int zeroPercent)
{
    QByteArray image(form_layout::kImageSize, '\0');
    for (char &b : image)
        b = int(random.bounded(100)) < zeroPercent ? '\0' : char(random.bounded(256));
    return image;
}

// "LINE:COLUMN" of the first character of needle in text; columns count characters.
QString positionOf(const QString &text, qsizetype at)
{
    const int line = int(text.left(at).count(u'\n')) + 1;
    const qsizetype lineStart = text.lastIndexOf(u'\n', at - 1) + 1;
    return QStringLiteral("%1:%2").arg(line).arg(at - lineStart + 1);
}

} // namespace

class TestFrmText : public QObject
{
    Q_OBJECT

  private slots:
    void randomFilesRoundTrip_data()
    {
        QTest::addColumn<frm::TextKind>("kind");
        QTest::newRow("json") << frm::TextKind::Json;
        QTest::newRow("csv") << frm::TextKind::Csv;
    }
    void randomFilesRoundTrip()
    {
        QFETCH(frm::TextKind, kind);
        QRandomGenerator random(20261208);
        QList<QByteArray> files{QByteArray(form_layout::kImageSize, '\0'),
                                QByteArray(form_layout::kImageSize, '\xFF'), editorFile()};
        for (int i = 0; i < 200; ++i)
            files << randomFile(random, i % 2 ? 0 : int(random.bounded(100)));
        for (const QByteArray &image : files) {
            const QByteArray text =
                kind == frm::TextKind::Json ? frm::exportJson(image) : frm::exportCsv(image);
            QCOMPARE(frm::guessKind(text), kind);
            frm::TextError error;
            const std::optional<QByteArray> back = frm::importText(text, kind, &error);
            QVERIFY2(back, qPrintable(error.toString(QStringLiteral("text"))));
            QCOMPARE(*back, image);
        }
    }

    // What the editor wrote reads as plain fields, with nothing hidden; an
    // edit there changes those fields and nothing else.
    void editorFormsArePlainText()
    {
        const QByteArray image = editorFile();
        QString json = QString::fromUtf8(frm::exportJson(image));
        QVERIFY(json.contains(QStringLiteral(
            "{\"form\": 1, \"name\": \"Волна\", \"levels\": [255, 128, 0, 0, 0, 0, 128, 255], "
            "\"hold_min\": 0, \"hold_sec\": 30},\n")));
        QVERIFY(json.contains(QStringLiteral("\"travel\": [20, 20, 25, 25, 30, 30, 60, 90]")));
        QVERIFY(json.endsWith(QStringLiteral("\"hidden\": []\n}\n")));
        QString csv = QString::fromUtf8(frm::exportCsv(image));
        QVERIFY(csv.contains(QStringLiteral("\n2,Ёлка,64,64,64,64,64,64,64,64,1,5,,,,,\n")));
        QVERIFY(csv.endsWith(QStringLiteral("\ntravel,,20,20,25,25,30,30,60,90,,,,,,,\n")));

        json.replace(QStringLiteral("\"Ёлка\", \"levels\": [64, 64"),
                     QStringLiteral("\"Ель\", \"levels\": [64, 200"));
        csv.replace(QStringLiteral("\n2,Ёлка,64,64,"), QStringLiteral("\n2,Ель,64,200,"));
        FormStore expected;
        QVERIFY(expected.replaceImage(image));
        expected.WriteForm(1, form({64, 200, 64, 64, 64, 64, 64, 64}, QStringLiteral("Ель"), 1, 5));
        expected.set(nameCharAt(1, 4), 0); // the fourth letter of the old name is not kept
        for (const QString &text : {json, csv}) {
            frm::TextError error;
            const auto back = frm::importText(text.toUtf8(), frm::guessKind(text.toUtf8()), &error);
            QVERIFY2(back, qPrintable(error.toString(QStringLiteral("text"))));
            QCOMPARE(*back, expected.image());
        }
    }

    // A broken text: the message names its line (and column in JSON) and
    // field, and no file is written.
    void brokenTextIsRefused_data()
    {
        QTest::addColumn<bool>("csv");
        QTest::addColumn<QString>("from"); // becomes "to"; "" cuts the text after "to"
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("at");    // JSON: where in "to" the message points, "" the end
        QTest::addColumn<int>("line");      // CSV: the line the message names
        QTest::addColumn<QString>("field"); // "" when the place is enough
        QTest::addColumn<QString>("problem");
        const auto json = [](const char *name, const char *from, const char *to,
                             const char *at) -> QTestData & {
            return QTest::newRow(name) << false << QString::fromUtf8(from) << QString::fromUtf8(to)
                                       << QString::fromUtf8(at) << 0;
        };
        const auto csv = [](const char *name, const char *from, const char *to,
                            int line) -> QTestData & {
            return QTest::newRow(name)
                   << true << QString::fromUtf8(from) << QString::fromUtf8(to) << QString() << line;
        };
        json("json not whole", "\"hold_sec\": 45}", "\"hold_sec\": 4.5}", "4.5")
            << "form 3 hold_sec"
            << "4.5 is not a whole number";
        json("json level range", "[255, 254, 3", "[255, 256, 3", "256") << "form 3 levels, jet 2"
                                                                        << "256 is not in 0..255";
        json("json travel negative", "\"travel\": [20,", "\"travel\": [-1,", "-1")
            << "travel, valve 1"
            << "-1 is not in 0..255";
        json("json number as string", "\"hold_sec\": 45}", "\"hold_sec\": \"45\"}", "\"45\"")
            << "form 3 hold_sec"
            << "must be a number";
        json("json missing field",
             "\"Left\", \"levels\": [255, 254, 3, 2, 1, 0, 0, 0], \"hold_min\": 0, ",
             "\"Left\", \"levels\": [255, 254, 3, 2, 1, 0, 0, 0], ", "")
            << "form 3 hold_min"
            << "a number is needed"; // at the form's '{', set below
        json("json name not in 1251", "\"Left\"", "\"Le中\"", "\"Le中\"")
            << "form 3 name"
            << "\"中\" (U+4E2D) is not a Windows-1251 character";
        json("json name too long", "\"Left\"", "\"Левая1\"", "\"Левая1\"")
            << "form 3 name"
            << "has 6 characters; a name has at most 5";
        json("json unknown key", "\"hold_min\": 1, \"hold_sec\": 5}",
             "\"hold_min\": 1, \"hold_sec\": 5, \"hld\": 2}", "\"hld\"")
            << "form 2"
            << "unknown key \"hld\"";
        json(
            "json form left out",
            "{\"form\": 50, \"name\": \"\", \"levels\": [0, 0, 0, 0, 0, 0, 0, 0], \"hold_min\": 0, "
            "\"hold_sec\": 0},\n    {\"form\": 51",
            "{\"form\": 51", "51")
            << "form"
            << "form 51 is here where form 50 belongs";
        json("json hidden on a jet", "\"hidden\": []",
             "\"hidden\": [{\"offset\": 5, \"hex\": \"01\"}]", "5")
            << "hidden entry 1 offset"
            << "byte 5 is jet 1 of form 6";
        json("json name_length short name", "\"hold_min\": 0, \"hold_sec\": 45}",
             "\"hold_min\": 0, \"hold_sec\": 45, \"name_length\": 9}", "9")
            << "form 3 name_length"
            << "needs a name of 5 characters, not 4";
        json("json syntax", "\"hold_min\": 1, \"hold_sec\": 5}", "\"hold_min\": 1 \"hold_sec\": 5}",
             "\"hold_sec\"")
            << ""
            << "',' or '}' is expected";
        json("json truncated", "", "{\"form\": 60, \"name\": \"\", \"lev", "")
            << ""
            << "the text ends early: a string is not closed";

        csv("csv not a number", "\n3,Left,255,", "\n3,Left,x5,", 4) << "column v1"
                                                                    << "\"x5\" is not a number";
        csv("csv level range", "\n3,Left,255,", "\n3,Left,256,", 4) << "column v1"
                                                                    << "256 is not in 0..255";
        csv("csv empty cell", ",0,45,,,,,\n", ",0,,,,,,\n", 4) << "column hold_sec"
                                                               << "a number is needed";
        csv("csv name not in 1251", "\n3,Left,", "\n3,LΩ,", 4)
            << "column name"
            << "\"Ω\" (U+03A9) is not a Windows-1251 character";
        csv("csv unknown column", "hold_sec,", "hold_s,", 1) << "header"
                                                             << "unknown column \"hold_s\"";
        csv("csv travel row missing", "\ntravel,,20,20,25,25,30,30,60,90,,,,,,,\n", "\n", 101)
            << ""
            << "the text ends before the travel row";
        csv("csv cut in a row", "", "\n57,,0,0,0", 58) << "column v4"
                                                       << "a number is needed";
        csv("csv cut at a row", "", "\n56,,0,0,0,0,0,0,0,0,0,0,,,,,\n", 57)
            << ""
            << "the text ends after 56 forms; forms 57..100";
        csv("csv quote not closed", "\n3,Left,", "\n3,\"Left,", 4) << ""
                                                                   << "a quoted cell is not closed";
        csv("csv hidden on travel", "60,90,,,,,,,\n",
            "60,90,,,,,,,\nhidden,,,,,,,,,,,,,,,6271,01\n", 103)
            << "column offset"
            << "the travel time of valve 1";
    }
    void brokenTextIsRefused()
    {
        QFETCH(bool, csv);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, at);
        QFETCH(int, line);
        QFETCH(QString, field);
        QFETCH(QString, problem);
        QString text =
            QString::fromUtf8(csv ? frm::exportCsv(editorFile()) : frm::exportJson(editorFile()));
        qsizetype changed = -1;
        if (from.isEmpty()) {
            changed = text.indexOf(to);
            QVERIFY(changed > 0);
            text.truncate(changed + to.size());
        } else {
            changed = text.indexOf(from);
            QVERIFY2(changed >= 0 && text.indexOf(from, changed + 1) < 0, qPrintable(from));
            text.replace(changed, from.size(), to);
        }
        QString where = QString::number(line);
        if (!csv) {
            qsizetype point = at.isEmpty() ? text.size() : changed + to.indexOf(at);
            if (field.endsWith(QLatin1String("hold_min"))) // a missing field: its form's '{'
                point = text.lastIndexOf(u'{', changed);
            where = positionOf(text, point);
        }

        QTemporaryDir dir;
        const QString input =
            dir.filePath(csv ? QStringLiteral("in.csv") : QStringLiteral("in.json"));
        writeFile(input, text.toUtf8());
        const Run run = runTool({QStringLiteral("import"), input, QStringLiteral("-o"),
                                 dir.filePath(QStringLiteral("out.frm"))});
        QCOMPARE(run.code, 2);
        const QString expected = input + u':' + where + QStringLiteral(": ") +
                                 (field.isEmpty() ? QString() : field + QStringLiteral(": "));
        const QString message = run.err.section(u'\n', 0, 0);
        QVERIFY2(message.startsWith(expected) && message.contains(problem),
                 qPrintable(message + QStringLiteral("\nexpected: ") + expected + problem));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QFileInfo(input).fileName()});
    }

    // Damage anywhere in a text gives a form file or a message with a place,
    // never a crash or a silent nothing.
    void randomDamage()
    {
        QRandomGenerator random(99);
        const QByteArray image = randomFile(random, 60);
        for (const QByteArray &text : {frm::exportJson(image), frm::exportCsv(image)}) {
            for (int i = 0; i < 300; ++i) {
                QByteArray damaged = text;
                const qsizetype at = random.bounded(int(text.size()));
                switch (i % 3) {
                case 0:
                    damaged[at] = char(random.bounded(256));
                    break;
                case 1:
                    damaged.remove(at, random.bounded(1, 40));
                    break;
                default:
                    damaged.truncate(at);
                }
                frm::TextError error;
                const auto back = frm::importText(damaged, frm::guessKind(text), &error);
                if (back)
                    QCOMPARE(back->size(), form_layout::kImageSize);
                else
                    QVERIFY2(error.line >= 1 && !error.problem.isEmpty(), damaged.constData());
            }
        }
    }

    void otherBrokenInputs()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("show.frm"));
        writeFile(out, "the show as it was");
        // Not UTF-8: named by line; an existing form file is left as it was.
        QByteArray csv = frm::exportCsv(editorFile());
        csv.replace("\n3,Left,", "\n3,L\xFF\xFE,");
        const QString input = dir.filePath(QStringLiteral("bad.csv"));
        writeFile(input, csv);
        Run run = runTool({QStringLiteral("import"), input, QStringLiteral("-o"), out});
        QCOMPARE(run.code, 2);
        QVERIFY2(run.err.startsWith(input + QStringLiteral(":4: not UTF-8 text")),
                 qPrintable(run.err));
        QCOMPARE(readFile(out), QByteArray("the show as it was"));
        // A form file in place of the text.
        writeFile(input, editorFile());
        run = runTool({QStringLiteral("import"), input, QStringLiteral("-o"), out});
        QVERIFY2(run.err.startsWith(input + QStringLiteral(":1: a zero byte: this is not a text")),
                 qPrintable(run.err));
        QCOMPARE(readFile(out), QByteArray("the show as it was"));
        // A spreadsheet's ';' separators, CRLF lines and byte order mark are read.
        csv = "\xEF\xBB\xBF" + frm::exportCsv(editorFile()).replace(',', ';').replace("\n", "\r\n");
        writeFile(input, csv);
        run = runTool({QStringLiteral("import"), input, QStringLiteral("-o"), out});
        QCOMPARE(run.code, 0);
        QCOMPARE(readFile(out), editorFile());
        // A form file nobody may write is left alone, as the editor leaves it.
        QFile::setPermissions(out, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        writeFile(input, frm::exportCsv(QByteArray(form_layout::kImageSize, '\0')));
        run = runTool({QStringLiteral("import"), input, QStringLiteral("-o"), out});
        QCOMPARE(run.code, 2);
        QVERIFY2(run.err.startsWith(
                     QStringLiteral("fountain-frm: cannot write %1: File access denied").arg(out)),
                 qPrintable(run.err));
        QCOMPARE(readFile(out), editorFile());
    }

    // A text is read in one pass and refused where it first goes wrong, with
    // a message of one short line, however long or odd the text.
    void textsRefusedWhereTheyGoWrong_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("message"); // after "in.txt:"
        QByteArray keys = "{\"format\": \"fountain-frm\"";
        for (int i = 0; i < 160000; ++i)
            keys += ", \"k" + QByteArray::number(i) + "\": 1";
        QTest::newRow("160000 unknown keys")
            << keys + '}' << "1:28: the document: unknown key \"k0\"; the keys are";
        QTest::newRow("an array for a document")
            << "[" + QByteArray(200000, '1').replace("11", "1,") + "]"
            << "1:2: the document: must be an object { ... }";
        QByteArray longCell = frm::exportCsv(editorFile());
        longCell.replace("\n3,Left,", "\n" + QByteArray(200000, 'x') + ",Left,");
        QTest::newRow("a long cell")
            << longCell << "4: column form: \"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx…\" is not";
    }
    void textsRefusedWhereTheyGoWrong()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, message);
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("in.txt")), text);
        const Run run = runTool({"import", "in.txt", "-o", "out.frm"}, dir.path());
        QCOMPARE(run.code, 2);
        const QString first = run.err.section(u'\n', 0, 0);
        QVERIFY2(first.startsWith(QStringLiteral("in.txt:") + message) && first.size() < 200,
                 qPrintable(first.left(300)));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("out.frm"))));
    }

    // Line ends of an old spreadsheet (a lone CR) read as line ends.
    void crLinesRead()
    {
        const QByteArray csv = frm::exportCsv(editorFile()).replace('\n', '\r');
        frm::TextError error;
        const auto back = frm::importText(csv, frm::TextKind::Csv, &error);
        QVERIFY2(back, qPrintable(error.toString(QStringLiteral("text"))));
        QCOMPARE(*back, editorFile());
    }

    // A spreadsheet must keep names and hex as the text they are: whatever
    // it would read as a formula, a number or a date gets an apostrophe, and
    // import gives back the same bytes.
    void spreadsheetTextKept()
    {
        FormStore store;
        const QStringList names{"=1+2", "+1", "-1", "@A1", "'a", "007", "1e5", "Волна"};
        for (int slot = 0; slot < names.size(); ++slot)
            store.WriteForm(slot, form({}, names[slot], 0, 1));
        store.set(2049, 0x01); // a hidden run "01e5", which a spreadsheet reads as 100000
        store.set(2050, 0xE5);
        const QByteArray csv = frm::exportCsv(store.image());
        for (int slot = 0; slot < names.size(); ++slot) {
            const QString prefix = slot + 1 < names.size() ? QStringLiteral("'") : QString();
            QVERIFY2(
                csv.contains(
                    QStringLiteral("\n%1,%2%3,").arg(slot + 1).arg(prefix, names[slot]).toUtf8()),
                qPrintable(names[slot]));
        }
        QVERIFY(csv.contains(",2049,'01e5\n"));
        frm::TextError error;
        const auto back = frm::importText(csv, frm::TextKind::Csv, &error);
        QVERIFY2(back, qPrintable(error.toString(QStringLiteral("text"))));
        QCOMPARE(*back, store.image());
    }

    // export and import through files, as a person runs them.
    void exportImportFiles()
    {
        QTemporaryDir dir;
        QRandomGenerator random(7);
        const QByteArray image = randomFile(random, 50);
        writeFile(dir.filePath(QStringLiteral("a.frm")), image);
        for (const bool csv : {false, true}) {
            QStringList args{QStringLiteral("export"), QStringLiteral("a.frm"),
                             QStringLiteral("-o"), QStringLiteral("a.txt")};
            if (csv)
                args << QStringLiteral("--csv");
            const Run exported = runTool(args, dir.path());
            QCOMPARE(exported.code, 0);
            const Run imported = runTool({QStringLiteral("import"), QStringLiteral("a.txt"),
                                          QStringLiteral("-o"), QStringLiteral("b.frm")},
                                         dir.path());
            QCOMPARE(imported.code, 0);
            QVERIFY(imported.err.contains(QStringLiteral("b.frm: note: ")));
            QCOMPARE(readFile(dir.filePath(QStringLiteral("b.frm"))), image);
        }
    }
};

QTEST_GUILESS_MAIN(TestFrmText)
#include "tst_frm_text.moc"
