// Choosing the reader and decoding the text; the readers are in json_text.cpp
// and csv_text.cpp.
#include "tools/frm/text_format.h"

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
    text.clear();
    // The first line that is not UTF-8, found a line at a time without
    // copying the text.
    int line = 1;
    for (qsizetype start = 0; start <= bytes.size(); ++line) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        QStringDecoder lineDecoder(QStringDecoder::Utf8);
        const QString decoded =
            lineDecoder.decode(QByteArrayView(bytes).sliced(start, end - start));
        if (lineDecoder.hasError())
            break;
        start = end + 1;
    }
    *error = {line, 0, QString(), QStringLiteral("not UTF-8 text")};
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

QString excerpt(QStringView text)
{
    constexpr qsizetype kLongest = 40;
    const bool cut = text.size() > kLongest;
    if (cut)
        text = text.first(text[kLongest - 1].isHighSurrogate() ? kLongest - 1 : kLongest);
    QString out;
    for (const QChar c : text) {
        if (c == u'\r')
            out += QStringLiteral("\\r");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return cut ? out + QStringLiteral("…") : out;
}

TextKind guessKind(const QByteArray &text)
{
    QByteArrayView t = text;
    if (t.startsWith(kByteOrderMark))
        t = t.sliced(kByteOrderMark.size());
    t = t.trimmed();
    return t.startsWith('{') || t.startsWith('[') ? TextKind::Json : TextKind::Csv;
}

std::optional<QByteArray> importText(const QByteArray &bytes, TextKind kind, TextError *error)
{
    const std::optional<QString> text = decodeUtf8(bytes, error);
    if (!text)
        return std::nullopt;
    return kind == TextKind::Json ? importJson(*text, error) : importCsv(*text, error);
}

} // namespace frm
