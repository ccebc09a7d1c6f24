// What fountain-frm prints for a person: the programme as a table, the
// problems of a form file, and the differences between two of them.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace frm {

// image is a whole form file. Forms 1 up to and including the coda mark (all 100
// when there is none), where the coda mark is, and the eight travel times.
QString showText(const QByteArray &image);

// One line per problem, none for a sound form file; bytes may have any size.
// The form rules look at the forms that are played: 1 up to the coda mark,
// or all 100 when there is none.
QStringList checkProblems(const QByteArray &bytes);
// The problem of a file of another size than a form file's; size as it is
// to be read ("8191", or "more than" the size where it is not known).
QString sizeProblem(const QString &size);

// a and b are whole form files. One line per field that differs as the editor
// shows it, then one line on the bytes it does not show; empty when a == b.
QStringList diffLines(const QByteArray &a, const QByteArray &b);

} // namespace frm
