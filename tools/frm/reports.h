// What fountain-frm prints for a person: the programme as a table, the
// problems of a form file, and the differences between two of them.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace frm {

// image has 8192 bytes. Forms 1 up to and including the coda mark (all 100
// when there is none), where the coda mark is, and the eight travel times.
QString showText(const QByteArray &image);

// One line per problem, none for a sound form file; bytes may have any size.
// The form rules look at the forms that are played: 1 up to the coda mark,
// or all 100 when there is none.
QStringList checkProblems(const QByteArray &bytes);

// a and b have 8192 bytes. One line per field that differs as the editor
// shows it, then one line on the bytes it does not show; empty when a == b.
QStringList diffLines(const QByteArray &a, const QByteArray &b);

} // namespace frm
