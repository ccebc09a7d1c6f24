// fountain-frm: shows, checks, compares, converts and sends form files from
// the command line. Each subcommand is one function and one entry in
// commands(); the rules themselves live in the fountain_frm library.
#include "tools/frm/cli_io.h"
#include "tools/frm/commands.h"

#include <QCommandLineParser>
#include <QGuiApplication>

#include <cstring>
#include <memory>

using namespace frm;

namespace {

QtMessageHandler qtHandler = nullptr;

// Run from a timer or a service, the sheet's offscreen platform has no
// session's runtime folder and does not need one: Qt's notice of that would
// read as trouble to whoever watches the log.
void quietRuntimeNotice(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtWarningMsg && text.startsWith(u"QStandardPaths: XDG_RUNTIME_DIR not set"))
        return;
    qtHandler(type, context, text);
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
    QString text = QStringLiteral(
        "Usage: fountain-frm COMMAND [ARGUMENTS]\n\n"
        "Shows, checks, compares, converts and sends fountain form files (*.frm).\n\n"
        "Commands:\n");
    constexpr int kColumn = 38;
    for (const Command &c : commands()) {
        // A long synopsis has its summary on a line of its own.
        const QString gap = c.synopsis.size() < kColumn ? QString(kColumn - c.synopsis.size(), u' ')
                                                        : u'\n' + QString(kColumn + 2, u' ');
        text += QStringLiteral("  ") + c.synopsis + gap + c.summary + u'\n';
    }
    text +=
        QStringLiteral("\nA FILE or TEXT of - is standard input, and -o - is standard output.\n"
                       "'fountain-frm help COMMAND' or 'fountain-frm COMMAND --help' tells more.\n"
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

int run(int argc, char *argv[])
{
    // A sheet is drawn, and text needs fonts, which need a GUI application.
    // The offscreen platform asks for no display; on Windows it knows none of
    // the system's fonts, and the system's own platform, which shows nothing
    // either, does. The rest needs Qt Core only.
    std::unique_ptr<QCoreApplication> app;
    if (argc > 1 && std::strcmp(argv[1], "sheet") == 0) {
#ifdef Q_OS_WIN
        qputenv("QT_QPA_PLATFORM", "windows");
#else
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
        qtHandler = qInstallMessageHandler(quietRuntimeNotice);
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("fountain-frm"));
    QStringList args = arguments(argc, argv).mid(1);
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
        printErr(
            QStringLiteral("fountain-frm: no command '%1'\n\n%2").arg(shownName(first), usage()));
        return kExitTrouble;
    }
    return runCommand(*c, args);
}

} // namespace

int main(int argc, char *argv[])
{
    // Whatever the command, output that did not reach its file is trouble.
    return finish(run(argc, argv));
}
