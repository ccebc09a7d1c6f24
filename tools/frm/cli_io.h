// Output and file reading shared by fountain-frm's commands.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace frm {

// 1 answers "no" (problems found, files differ); 2 is trouble, as with diff.
enum ExitCode { kExitOk = 0, kExitNo = 1, kExitTrouble = 2 };

void print(const QString &text);
void printErr(const QString &text);
// The file's bytes, reading no more than limit of them; size is the whole
// file's size where it is known. Says why on standard error when it cannot.
std::optional<QByteArray> readBytes(const QString &path, qint64 limit, qint64 *size);
// A form file to show, export, compare or send: exactly 8192 bytes.
std::optional<QByteArray> readFormFile(const QString &path);
// Replaces path only once every byte is written.
bool writeFile(const QString &path, const QByteArray &bytes);

} // namespace frm
