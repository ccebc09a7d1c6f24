// Files and output of fountain-frm. It runs from timers with nobody watching,
// so every failure is a message and exit status 2: a write to standard output
// that fails, an input that is not a plain file (a pipe or a terminal would
// keep it waiting), an output that would replace something other than a plain
// file the user may write, or the very file being read.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <optional>

namespace frm {

// 1 answers "no" (problems found, files differ); 2 is trouble, as with diff.
enum ExitCode { kExitOk = 0, kExitNo = 1, kExitTrouble = 2 };

// "-" names standard input where a file is read and standard output where
// one is written.
inline bool isStandardStream(const QString &name)
{
    return name == u"-";
}

// The command line's arguments. A file name is used as the bytes given: on
// Unix, bytes that are not UTF-8 are carried as lone surrogates
// (U+DC80..U+DCFF), which nativeName() turns back into the same bytes.
QStringList arguments(int argc, char *argv[]);
// A name as messages show it: bytes that are not UTF-8 as \xHH.
QString shownName(const QString &name);

// Standard output and standard error. A failed write to standard output is
// remembered; finish() reports it.
void print(const QString &text);
void printBytes(const QByteArray &bytes);
void printErr(const QString &text);
// Where stream (stdout or stderr) is a console that takes text as it is
// rather than bytes (Windows'), writes text there: true when written, false
// when the console refused it. Nothing when the stream is no such console.
std::optional<bool> writeConsole(std::FILE *stream, const QString &text);
// Flushes standard output: code as it is, or kExitTrouble with a message when
// any write to standard output failed.
[[nodiscard]] int finish(int code);

// What makes two names one file: device and file number, or on Windows the
// volume and file index.
struct FileIdentity
{
    quint64 device = 0;
    quint64 node = 0;
    friend bool operator==(const FileIdentity &, const FileIdentity &) = default;
};

struct Input
{
    QByteArray bytes;
    qint64 size = 0; // of the whole file; bytes.size() for standard input
    bool sizeKnown = true;
    std::optional<FileIdentity> identity; // where the input is a plain file
    QDateTime modified;                   // likewise; invalid for a stream
};

// Reads at most limit bytes of a plain file, or of standard input ("-"),
// which must not be a terminal. Says why on standard error when it cannot.
[[nodiscard]] std::optional<Input> readInput(const QString &name, qint64 limit);
// A form file to show, export, compare or send: exactly form_layout::kImageSize bytes.
[[nodiscard]] std::optional<Input> readFormFile(const QString &name);
// Reads each name once: standard input can be given only once.
[[nodiscard]] bool distinctInputs(const QStringList &names);

// Writes bytes to standard output ("-") or into the file name, replacing it
// only once every byte is written and keeping the mode (and where the system
// allows, the owner) of the file replaced. Refuses what is not a plain file,
// a file that may not be written, and any of inputs. binary: form file bytes,
// which a terminal is not given.
[[nodiscard]] bool writeOutput(const QString &name, const QByteArray &bytes,
                               const QList<FileIdentity> &inputs, bool binary);

} // namespace frm
