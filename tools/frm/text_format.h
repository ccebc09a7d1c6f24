// The programme as text a person reads and edits, JSON or CSV, and back to the
// exact bytes of the form file. The format is described in the fountain-frm
// manual page.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace frm {

enum class TextKind { Json, Csv };

// Where an imported text is wrong and what is wrong there.
struct TextError
{
    int line = 0;
    int column = 0; // JSON: the value's column; 0 when the line is enough (CSV)
    QString field;  // "form 12 hold_sec", "column hold_sec"
    QString problem;

    // "FILE:LINE[:COLUMN]: FIELD: PROBLEM", as compilers write theirs.
    [[nodiscard]] QString toString(const QString &fileName) const;
};

// image is a whole form file. Both texts are UTF-8.
QByteArray exportJson(const QByteArray &image);
QByteArray exportCsv(const QByteArray &image);

// A piece of the input for a message: at most a few dozen characters, with
// line breaks and other control characters shown as escapes.
QString excerpt(QStringView text);

// JSON when the text's first character (after a byte order mark and spaces)
// is '{' or '['; a CSV text starts with its header.
TextKind guessKind(const QByteArray &text);

// The form file's whole image, or nothing with *error set.
[[nodiscard]] std::optional<QByteArray> importText(const QByteArray &text, TextKind kind,
                                                   TextError *error);

} // namespace frm
