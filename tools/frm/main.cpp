// fountain-frm: shows, checks, compares and converts form files from the
// command line. Each subcommand is one function and one entry in kCommands;
// the rules themselves live in the fountain_frm library.
#include "store/errors.h"
#include "store/form_file.h"
#include "store/form_store.h"
#include "tools/frm/reports.h"
#include "tools/frm/text_format.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>
#include <optional>

namespace {

// 1 answers "no" (problems found, files differ); 2 is trouble, as with diff.
enum ExitCode { kExitOk = 0, kExitNo = 1, kExitTrouble = 2 };

// A programme text is a few tens of kilobytes; this is far past any.
constexpr qint64 kMaxTextSize = 16 * 1024 * 1024;

void print(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
}

void printErr(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
}

// The file's bytes, reading no more than limit of them; size is the whole
// file's size where it is known.
std::optional<QByteArray> readBytes(const QString &path, qint64 limit, qint64 *size)
{
    QFile f(path);
    if (QFileInfo(path).isDir() || !f.open(QIODevice::ReadOnly)) {
        printErr(QStringLiteral("fountain-frm: cannot read %1: %2\n")
                     .arg(path, QFileInfo(path).isDir() ? QStringLiteral("is a folder")
                                                        : f.errorString()));
        return std::nullopt;
    }
    QByteArray bytes = f.read(limit);
    if (f.error() != QFile::NoError) {
        printErr(QStringLiteral("fountain-frm: cannot read %1: %2\n").arg(path, f.errorString()));
        return std::nullopt;
    }
    if (size)
        *size = f.isSequential() ? bytes.size() : f.size();
    return bytes;
}

// A form file to show, export or compare: exactly 8192 bytes.
std::optional<QByteArray> readFormFile(const QString &path)
{
    qint64 size = 0;
    std::optional<QByteArray> bytes = readBytes(path, FormStore::kSize + 1, &size);
    if (bytes && size != FormStore::kSize) {
        printErr(
            QStringLiteral(
                "fountain-frm: %1 is not a form file: %2 bytes, a form file has exactly 8192\n")
                .arg(path)
                .arg(size));
        return std::nullopt;
    }
    return bytes;
}

// Replaces path only once every byte is written.
bool writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.flush() ||
        !f.commit()) {
        printErr(QStringLiteral("fountain-frm: cannot write %1: %2\n").arg(path, f.errorString()));
        f.cancelWriting();
        return false;
    }
    return true;
}

const QCommandLineOption kCsv(QStringLiteral("csv"), QStringLiteral("CSV text"));
const QCommandLineOption kJson(QStringLiteral("json"), QStringLiteral("JSON text"));
const QCommandLineOption kOutput({QStringLiteral("o"), QStringLiteral("output")},
                                 QStringLiteral("file to write"), QStringLiteral("FILE"));

// A subcommand: adding one is a function and an entry in commands().
struct Command
{
    QString name;
    QString synopsis;
    QString summary;
    QString details;
    QList<QCommandLineOption> options; // besides -h, --help
    int files;                         // positional arguments needed; -1: one or more
    int (*run)(QCommandLineParser &parser, const QStringList &files);
};

int show(QCommandLineParser &, const QStringList &files)
{
    const auto image = readFormFile(files[0]);
    if (!image)
        return kExitTrouble;
    print(frm::showText(*image));
    return kExitOk;
}

int check(QCommandLineParser &, const QStringList &files)
{
    int status = kExitOk;
    for (const QString &path : files) {
        qint64 size = 0;
        std::optional<QByteArray> bytes = readBytes(path, FormStore::kSize + 1, &size);
        if (!bytes) {
            status = kExitTrouble;
            continue;
        }
        const QStringList problems =
            size == FormStore::kSize
                ? frm::checkProblems(*bytes)
                : QStringList{
                      QStringLiteral("size is %1 bytes; a form file has exactly 8192").arg(size)};
        for (const QString &p : problems)
            print(QStringLiteral("%1: %2\n").arg(path, p));
        if (problems.isEmpty())
            print(QStringLiteral("%1: sound\n").arg(path));
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
    const QByteArray text = parser.isSet(kCsv) ? frm::exportCsv(*image) : frm::exportJson(*image);
    if (!parser.isSet(kOutput) || parser.value(kOutput) == u"-") {
        std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout);
        return kExitOk;
    }
    return writeFile(parser.value(kOutput), text) ? kExitOk : kExitTrouble;
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
    qint64 size = 0;
    const auto text = readBytes(files[0], kMaxTextSize + 1, &size);
    if (!text)
        return kExitTrouble;
    if (size > kMaxTextSize) {
        printErr(
            QStringLiteral("fountain-frm: %1 is too large for a programme text\n").arg(files[0]));
        return kExitTrouble;
    }
    const frm::TextKind kind = parser.isSet(kCsv)    ? frm::TextKind::Csv
                               : parser.isSet(kJson) ? frm::TextKind::Json
                                                     : frm::guessKind(*text);
    frm::TextError error;
    const std::optional<QByteArray> image = frm::importText(*text, kind, &error);
    if (!image) {
        printErr(error.toString(files[0]) + QStringLiteral("\nfountain-frm: nothing written\n"));
        return kExitTrouble;
    }
    // Written as the editor writes it: a form file nobody may write is refused,
    // even for the superuser, so a show file made read-only stays as it is.
    try {
        formfile::write(parser.value(kOutput), *image);
    } catch (const EInOutError &e) {
        printErr(QStringLiteral("fountain-frm: cannot write %1: %2\n")
                     .arg(parser.value(kOutput), e.message()));
        return kExitTrouble;
    }
    // The file is what the text says; whether it is sound is check's question,
    // but a person importing an edited text wants to hear of it now.
    for (const QString &p : frm::checkProblems(*image))
        printErr(QStringLiteral("%1: note: %2\n").arg(parser.value(kOutput), p));
    return kExitOk;
}

int diff(QCommandLineParser &, const QStringList &files)
{
    const auto a = readFormFile(files[0]);
    const auto b = readFormFile(files[1]);
    if (!a || !b)
        return kExitTrouble;
    const QStringList lines = frm::diffLines(*a, *b);
    for (const QString &line : lines)
        print(line + u'\n');
    return lines.isEmpty() ? kExitOk : kExitNo;
}

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
    };
    return list;
}

const Command *findCommand(const QString &name)
{
    for (const Command &c : commands()) {
        if (name == c.name)
            return &c;
    }
    return nullptr;
}

QString usage()
{
    QString text =
        QStringLiteral("Usage: fountain-frm COMMAND [ARGUMENTS]\n\n"
                       "Shows, checks, compares and converts fountain form files (*.frm).\n\n"
                       "Commands:\n");
    for (const Command &c : commands())
        text += QStringLiteral("  %1%2\n").arg(c.synopsis, -38).arg(c.summary);
    text += QStringLiteral(
        "\n'fountain-frm help COMMAND' or 'fountain-frm COMMAND --help' tells more.\n"
        "Exit status: 0 success, 1 problems found or files differ, 2 trouble.\n");
    return text;
}

QString commandHelp(const Command &c)
{
    QString text = QStringLiteral("Usage: fountain-frm %1\n\n%2").arg(c.synopsis, c.details);
    if (!c.options.isEmpty())
        text += QStringLiteral("\nOptions:\n");
    for (const QCommandLineOption &o : c.options) {
        QStringList names;
        for (const QString &n : o.names())
            names << (n.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + n;
        const QString value = o.valueName().isEmpty() ? QString() : u' ' + o.valueName();
        text += QStringLiteral("  %1%2\n")
                    .arg(names.join(QStringLiteral(", ")) + value, -20)
                    .arg(o.description());
    }
    return text;
}

int runCommand(const Command &c, const QStringList &args)
{
    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Help."));
    parser.addOption(help);
    parser.addOptions(c.options);
    if (!parser.parse(QStringList{QStringLiteral("fountain-frm")} + args)) {
        printErr(QStringLiteral("fountain-frm %1: %2\n\n%3")
                     .arg(c.name, parser.errorText(), commandHelp(c)));
        return kExitTrouble;
    }
    if (parser.isSet(help)) {
        print(commandHelp(c));
        return kExitOk;
    }
    const QStringList files = parser.positionalArguments();
    if (c.files >= 0 ? files.size() != c.files : files.isEmpty()) {
        printErr(QStringLiteral("fountain-frm %1: wrong number of files\n\n%2")
                     .arg(c.name, commandHelp(c)));
        return kExitTrouble;
    }
    return c.run(parser, files);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("fountain-frm"));
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        printErr(usage());
        return kExitTrouble;
    }
    const QString first = args.takeFirst();
    if (first == u"--help" || first == u"-h" || (first == u"help" && args.isEmpty())) {
        print(usage());
        return kExitOk;
    }
    if (first == u"--version") {
        print(QStringLiteral("fountain-frm %1\n").arg(QStringLiteral(FOUNTAIN_VERSION)));
        return kExitOk;
    }
    if (first == u"help") {
        const Command *c = findCommand(args.first());
        if (!c) {
            printErr(
                QStringLiteral("fountain-frm: no command '%1'\n\n%2").arg(args.first(), usage()));
            return kExitTrouble;
        }
        print(commandHelp(*c));
        return kExitOk;
    }
    const Command *c = findCommand(first);
    if (!c) {
        printErr(QStringLiteral("fountain-frm: no command '%1'\n\n%2").arg(first, usage()));
        return kExitTrouble;
    }
    return runCommand(*c, args);
}
