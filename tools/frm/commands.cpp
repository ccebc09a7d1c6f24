// The subcommands of fountain-frm; the rules they apply live in the
// fountain_frm library.
#include "tools/frm/commands.h"

#include "core/form_layout.h"
#include "core/form_store.h"
#include "core/settings.h"
#include "core/show_timeline.h"
#include "tools/frm/cli_io.h"
#include "tools/frm/reports.h"
#include "tools/frm/sheet.h"
#include "tools/frm/text_format.h"
#include "tools/frm/upload.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace frm {

namespace {

// A programme text is a few tens of kilobytes; this is far past any.
constexpr qint64 kMaxTextSize = qint64{16} * 1024 * 1024;

const QCommandLineOption kCsv(QStringLiteral("csv"), QStringLiteral("CSV text"));
const QCommandLineOption kJson(QStringLiteral("json"), QStringLiteral("JSON text"));
const QCommandLineOption kOutput({QStringLiteral("o"), QStringLiteral("output")},
                                 QStringLiteral("file to write"), QStringLiteral("FILE"));
const QCommandLineOption kPort(QStringLiteral("port"), QStringLiteral("serial port"),
                               QStringLiteral("P"));
const QCommandLineOption kBaud(QStringLiteral("baud"), QStringLiteral("line speed"),
                               QStringLiteral("B"));
const QCommandLineOption kTimeout(QStringLiteral("timeout"),
                                  QStringLiteral("longest wait for the line (default 60)"),
                                  QStringLiteral("SECONDS"));

const QCommandLineOption kFormat(QStringLiteral("format"), QStringLiteral("pdf or png"),
                                 QStringLiteral("F"));
const QCommandLineOption kNames(QStringLiteral("names"),
                                QStringLiteral("valve names 1..8, comma-separated"),
                                QStringLiteral("N1,N2,..."));
const QCommandLineOption kDemo(QStringLiteral("demo"), QStringLiteral("demo time, 1..7 s"),
                               QStringLiteral("N"));

QList<FileIdentity> identities(const QList<Input> &inputs)
{
    QList<FileIdentity> out;
    for (const Input &in : inputs) {
        if (in.identity)
            out << *in.identity;
    }
    return out;
}

int show(QCommandLineParser &, const QStringList &files)
{
    const auto image = readFormFile(files[0]);
    if (!image)
        return kExitTrouble;
    print(showText(image->bytes));
    return kExitOk;
}

int check(QCommandLineParser &, const QStringList &files)
{
    if (!distinctInputs(files))
        return kExitTrouble;
    int status = kExitOk;
    for (const QString &path : files) {
        const std::optional<Input> in = readInput(path, form_layout::kImageSize + 1);
        if (!in) {
            status = kExitTrouble;
            continue;
        }
        const QString size = in->sizeKnown
                                 ? QString::number(in->size)
                                 : QStringLiteral("more than %1").arg(form_layout::kImageSize);
        const QStringList problems = in->size == form_layout::kImageSize
                                         ? checkProblems(in->bytes)
                                         : QStringList{sizeProblem(size)};
        const QString shown = shownName(path);
        for (const QString &p : problems)
            print(QStringLiteral("%1: %2\n").arg(shown, p));
        if (problems.isEmpty())
            print(QStringLiteral("%1: sound\n").arg(shown));
        else if (status == kExitOk)
            status = kExitNo;
    }
    return status;
}

int exportText(QCommandLineParser &parser, const QStringList &files)
{
    if (parser.isSet(kCsv) && parser.isSet(kJson)) {
        printErr(QStringLiteral("fountain-frm: give --csv or --json, not both\n"));
        return kExitTrouble;
    }
    const auto image = readFormFile(files[0]);
    if (!image)
        return kExitTrouble;
    const QByteArray text = parser.isSet(kCsv) ? exportCsv(image->bytes) : exportJson(image->bytes);
    const QString output = parser.isSet(kOutput) ? parser.value(kOutput) : QStringLiteral("-");
    return writeOutput(output, text, identities({*image}), false) ? kExitOk : kExitTrouble;
}

int importText(QCommandLineParser &parser, const QStringList &files)
{
    if (parser.isSet(kCsv) && parser.isSet(kJson)) {
        printErr(QStringLiteral("fountain-frm: give --csv or --json, not both\n"));
        return kExitTrouble;
    }
    if (!parser.isSet(kOutput)) {
        printErr(QStringLiteral("fountain-frm: import needs -o FILE, the form file to write\n"));
        return kExitTrouble;
    }
    const QString shown =
        isStandardStream(files[0]) ? QStringLiteral("standard input") : shownName(files[0]);
    const auto text = readInput(files[0], kMaxTextSize + 1);
    if (!text)
        return kExitTrouble;
    if (text->size > kMaxTextSize) {
        printErr(QStringLiteral("fountain-frm: %1 is too large for a programme text (over %2 "
                                "MiB)\nfountain-frm: nothing written\n")
                     .arg(shown)
                     .arg(kMaxTextSize >> 20));
        return kExitTrouble;
    }
    const TextKind kind = parser.isSet(kCsv)    ? TextKind::Csv
                          : parser.isSet(kJson) ? TextKind::Json
                                                : guessKind(text->bytes);
    TextError error;
    const std::optional<QByteArray> image = frm::importText(text->bytes, kind, &error);
    if (!image) {
        printErr(error.toString(shown) + QStringLiteral("\nfountain-frm: nothing written\n"));
        return kExitTrouble;
    }
    // A form file nobody may write is refused, even for the superuser, so a
    // show file made read-only stays as it is.
    const QString output = parser.value(kOutput);
    if (!writeOutput(output, *image, identities({*text}), true))
        return kExitTrouble;
    // The file is what the text says; whether it is sound is check's question,
    // but a person importing an edited text wants to hear of it now.
    const QString written =
        isStandardStream(output) ? QStringLiteral("standard output") : shownName(output);
    for (const QString &p : checkProblems(*image))
        printErr(QStringLiteral("%1: note: %2\n").arg(written, p));
    return kExitOk;
}

int diff(QCommandLineParser &, const QStringList &files)
{
    if (!distinctInputs(files))
        return kExitTrouble;
    const auto a = readFormFile(files[0]);
    const auto b = readFormFile(files[1]);
    if (!a || !b)
        return kExitTrouble;
    const QStringList lines = diffLines(a->bytes, b->bytes);
    for (const QString &line : lines)
        print(line + u'\n');
    return lines.isEmpty() ? kExitOk : kExitNo;
}

int uploadFile(QCommandLineParser &parser, const QStringList &files)
{
    UploadLine line;
    if (parser.isSet(kPort))
        line.port = parser.value(kPort);
    if (parser.isSet(kBaud)) {
        bool numeric = false;
        const qint32 baud = parser.value(kBaud).toInt(&numeric);
        if (!numeric || baud <= 0) {
            printErr(
                QStringLiteral("fountain-frm: not a line speed: %1\n").arg(parser.value(kBaud)));
            return kExitTrouble;
        }
        line.baud = baud;
    }
    if (parser.isSet(kTimeout)) {
        const std::optional<int> ms = timeoutMs(parser.value(kTimeout));
        if (!ms) {
            printErr(QStringLiteral("fountain-frm: not a time-out in seconds (above 0, at most"
                                    " %1): %2\n")
                         .arg(UploadLine::kMaxTimeoutMs / 1000)
                         .arg(parser.value(kTimeout)));
            return kExitTrouble;
        }
        line.timeoutMs = *ms;
    }
    const auto image = readFormFile(files[0]);
    if (!image)
        return kExitTrouble;
    QString message;
    if (!upload(image->bytes, line, &message)) {
        printErr(message + u'\n');
        return kExitTrouble;
    }
    return kExitOk;
}

// The kind of sheet: --format, or the output's ending.
std::optional<QString> sheetFormat(const QCommandLineParser &parser, const QString &output)
{
    QString format = parser.value(kFormat).toLower();
    if (format.isEmpty() && !isStandardStream(output))
        format = output.section(u'.', -1).toLower();
    if (format == u"pdf" || format == u"png")
        return format;
    printErr(parser.isSet(kFormat)
                 ? QStringLiteral("fountain-frm: not a sheet format: %1 (pdf or png)\n")
                       .arg(parser.value(kFormat))
                 : QStringLiteral("fountain-frm: cannot tell the sheet's format from %1: name it"
                                  " .pdf or .png, or give --format\n")
                       .arg(shownName(output)));
    return std::nullopt;
}

std::optional<FountainSettings::ValveNames> sheetNames(const QCommandLineParser &parser)
{
    if (!parser.isSet(kNames))
        return FountainSettings::atDefaultLocation().valveNames();
    const QStringList given = parser.value(kNames).split(u',');
    if (given.size() > form_layout::kValves) {
        printErr(QStringLiteral("fountain-frm: --names gives %1 names; there are %2 valves\n")
                     .arg(given.size())
                     .arg(form_layout::kValves));
        return std::nullopt;
    }
    FountainSettings::ValveNames names;
    for (int v = 0; v < form_layout::kValves; ++v)
        names[v] = v < given.size() && !given[v].trimmed().isEmpty()
                       ? given[v].trimmed()
                       : FountainSettings::defaultValveName(v + 1);
    return names;
}

int sheet(QCommandLineParser &parser, const QStringList &files)
{
    if (!parser.isSet(kOutput)) {
        printErr(QStringLiteral("fountain-frm: sheet needs -o FILE.pdf or -o FILE.png\n"));
        return kExitTrouble;
    }
    const QString output = parser.value(kOutput);
    const std::optional<QString> format = sheetFormat(parser, output);
    if (!format)
        return kExitTrouble;
    std::optional<int> demo;
    if (parser.isSet(kDemo)) {
        bool numeric = false;
        demo = parser.value(kDemo).toInt(&numeric);
        if (!numeric || *demo < 1 || *demo > 7) {
            printErr(QStringLiteral("fountain-frm: not a demo time (1..7 seconds): %1\n")
                         .arg(parser.value(kDemo)));
            return kExitTrouble;
        }
    }
    const std::optional<FountainSettings::ValveNames> names = sheetNames(parser);
    if (!names)
        return kExitTrouble;
    const auto image = readFormFile(files[0]);
    if (!image)
        return kExitTrouble;
    FormStore store;
    if (!store.replaceImage(image->bytes))
        return kExitTrouble; // readFormFile gives form_layout::kImageSize bytes only
    const QString shown =
        isStandardStream(files[0]) ? QStringLiteral("standard input") : shownName(files[0]);
    const std::optional<timeline::ShowTimeline> show = timeline::showTimeline(store, demo);
    if (!show) {
        printErr(QStringLiteral("%1: the programme is empty: form 1 is the coda mark (hold time"
                                " 0:00), so nothing plays\nfountain-frm: nothing written\n")
                     .arg(shown));
        return kExitTrouble;
    }
    SheetInfo info{QFileInfo(shown).fileName(), image->modified, *names};
    const QByteArray bytes = *format == u"pdf" ? sheetPdf(*show, info) : sheetPng(*show, info);
    if (bytes.isEmpty()) {
        printErr(QStringLiteral("fountain-frm: the sheet could not be drawn\n"));
        return kExitTrouble;
    }
    return writeOutput(output, bytes, identities({*image}), true) ? kExitOk : kExitTrouble;
}

// The sheet's entry, apart from the table: its help is the longest.
Command sheetCommand()
{
    return {QStringLiteral("sheet"),
            QStringLiteral("sheet FILE -o OUT [--format F] [--names N1,...] [--demo N]"),
            QStringLiteral("draw the show's timeline and print its forms"),
            QStringLiteral(
                "Works out one cycle of the programme as the editor's sequencer plays it, from\n"
                "Start to the coda mark (all 100 forms when there is none), and draws it.\n"
                "OUT.png is the timeline: time across, a lane per valve with each form's level\n"
                "and, over it, the level the valve reaches at its travel pace; a valve still\n"
                "travelling when the next form starts is hatched and marked. OUT.pdf is an A4\n"
                "sheet: the timeline, then the forms in play order with hold and start times\n"
                "and the levels in per cent, late valves marked. With -o -, --format says\n"
                "which. Valve names come from Name_1..Name_8 of section [Zadvizki] of the\n"
                "settings file Fonvira.ini unless --names gives them; --demo N plays as the\n"
                "editor's demo mode with N seconds.\n"
                "Exit status: 0 written, 2 trouble (nothing written).\n"),
            {kOutput, kFormat, kNames, kDemo},
            1,
            sheet};
}

} // namespace

// The help texts write the form file's figures out (8192 bytes, forms 1..100,
// levels 0..255, travel times 7..255, holds up to 59), as core/form_layout.h
// has them: a reader of --help wants the numbers themselves.
const QList<Command> &commands()
{
    static const QList<Command> list{
        {QStringLiteral("show"),
         QStringLiteral("show FILE"),
         QStringLiteral("print the programme as a table"),
         QStringLiteral(
             "Prints forms 1 up to and including the coda mark (all 100 when there is none):\n"
             "number, name, the eight jet levels in per cent of a full jet (rounded down),\n"
             "and the hold time m:ss; then where the coda mark is, and the travel time of\n"
             "each valve from closed to open. Output is UTF-8.\n"),
         {},
         1,
         show},
        {QStringLiteral("check"),
         QStringLiteral("check FILE..."),
         QStringLiteral("say whether form files are sound"),
         QStringLiteral(
             "Prints \"FILE: sound\", or one line per problem: a size other than 8192 bytes;\n"
             "no coda mark in forms 1..100; a hold time with minutes or seconds above 59, or\n"
             "a name length byte above 5, in a form that is played (forms 1 up to the coda\n"
             "mark, all 100 when there is none); a valve travel time outside 7..255.\n"
             "Exit status: 0 all sound, 1 problems found, 2 a file could not be read.\n"),
         {},
         -1,
         check},
        {QStringLiteral("export"),
         QStringLiteral("export FILE [--csv] [-o OUT]"),
         QStringLiteral("write the programme as JSON or CSV text"),
         QStringLiteral(
             "Writes the whole form file as text, JSON unless --csv is given, to standard\n"
             "output or to OUT. Forms, names, levels (0..255), hold times and travel times\n"
             "can be read and edited; the bytes the editor does not show are kept as hex,\n"
             "so that import gives back the same file byte for byte. The format is\n"
             "described in fountain-frm(1).\n"),
         {kCsv, kJson, kOutput},
         1,
         exportText},
        {QStringLiteral("import"),
         QStringLiteral("import TEXT -o FILE [--csv|--json]"),
         QStringLiteral("write a form file from JSON or CSV text"),
         QStringLiteral(
             "Reads a text made by export (and perhaps edited) and writes the form file.\n"
             "The kind of text is JSON when it starts with '{', CSV otherwise, unless\n"
             "--csv or --json says. A mistake is reported with its line and field\n"
             "(TEXT:LINE:COLUMN for JSON) and nothing is written. Problems check would\n"
             "report are noted on standard error; the file is still written.\n"),
         {kCsv, kJson, kOutput},
         1,
         importText},
        {QStringLiteral("diff"),
         QStringLiteral("diff A B"),
         QStringLiteral("list the differences between two form files"),
         QStringLiteral(
             "Prints one line per difference as the editor shows it (coda mark, form name,\n"
             "jet level, hold time, valve travel time: old → new), then one line saying\n"
             "whether the bytes the editor does not show differ too.\n"
             "Exit status as diff's: 0 the same, 1 different, 2 trouble.\n"),
         {},
         2,
         diff},
        {QStringLiteral("upload"),
         QStringLiteral("upload FILE [--port P] [--baud B] [--timeout S]"),
         QStringLiteral("send the programme to the fountain controller"),
         QStringLiteral(
             "Sends the same 2050-byte frame as the editor's send button (forms of bank 0,\n"
             "every 0xFF sent as 0xFE; the file is not changed) and waits until its last\n"
             "byte has left the line. The port and speed are ComPort and BaudRate of\n"
             "section [Options] of the settings file Fonvira.ini unless given here\n"
             "(defaults /dev/ttyS0 and 9600; 8 data bits, no parity, 1 stop bit).\n"
             "A frame that has not left the line within --timeout seconds (default 60) is\n"
             "cut off and counts as failed; a speed at which it cannot leave in that time\n"
             "is refused before the port is opened.\n"
             "Exit status: 0 sent, 2 the file or the port failed, with the editor's message.\n"),
         {kPort, kBaud, kTimeout},
         1,
         uploadFile},
        sheetCommand(),
    };
    return list;
}

} // namespace frm
