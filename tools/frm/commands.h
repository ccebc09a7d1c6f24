// fountain-frm's subcommands: adding one is a function and an entry in
// commands().
#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QString>

class QCommandLineParser;

namespace frm {

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

const QList<Command> &commands();

} // namespace frm
