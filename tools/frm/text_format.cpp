// Choosing the reader and decoding the text; the readers are in json_text.cpp
// and csv_text.cpp.
#include "tools/frm/text_format.h"

#include <QList>
#include <QStringDecoder>

namespace frm {

std::optional<QByteArray> importJson(const QString &text, TextError *error);
std::optional<QByteArray> importCsv(const QString &text, TextError *error);

namespace {

const QByteArray kByteOrderMark("\xEF\xBB\xBF");

// The text without its byte order mark, or the first line that is not UTF-8.
std::optional<QString> decodeUtf8(QByteArray bytes, TextError *error)
{
    if (bytes.startsWith(kByteOrderMark))
        bytes.remove(0, kByteOrderMark.size());
    // Zero bytes are UTF-8 but no text has them; a form file given by mistake has many.
    if (const qsizetype zero = bytes.indexOf('\0'); zero >= 0) {
        *error = {int(bytes.left(zero).count('\n')) + 1, 0, QString(),
                  QStringLiteral("a zero byte: this is not a text (a form file?)")};
        return std::nullopt;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(bytes);
    if (!decoder.hasError())
        return text;
    const QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringDecoder line(QStringDecoder::Utf8);
        const QString decoded = line.decode(lines[i]); // decode() only converts when assigned

        if (line.hasError()) {
            *error = {int(i + 1), 0, QString(), QStringLiteral("not UTF-8 text")};
            return std::nullopt;
        }
    }
    *error = {1, 0, QString(), QStringLiteral("not UTF-8 text")};
    return std::nullopt;
}

} // namespace

QString TextError::toString(const QString &fileName) const
{
    QString where = QStringLiteral("%1:%2").arg(fileName).arg(line);
    if (column > 0)
        where += QStringLiteral(":%1").arg(column);
    return field.isEmpty() ? QStringLiteral("%1: %2").arg(where, problem)
                           : QStringLiteral("%1: %2: %3").arg(where, field, problem);
}

TextKind guessKind(const QByteArray &text)
{
    QByteArray t = text;
    if (t.startsWith(kByteOrderMark))
        t.remove(0, kByteOrderMark.size());
    return t.trimmed().startsWith('{') ? TextKind::Json : TextKind::Csv;
}

std::optional<QByteArray> importText(const QByteArray &bytes, TextKind kind, TextError *error)
{
    const std::optional<QString> text = decodeUtf8(bytes, error);
    if (!text)
        return std::nullopt;
    return kind == TextKind::Json ? importJson(*text, error) : importCsv(*text, error);
}

} // namespace frm
