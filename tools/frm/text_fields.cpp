// The rules both texts share: numbers, hex, names and how a form's fields fit
// together.
#include "tools/frm/text_fields.h"

#include "core/cp1251.h"

#include <QRegularExpression>

#include <limits>

namespace frm::text {

bool FieldReader::failAt(int line, int column, const QString &label, const QString &problem)
{
    if (!m_failed)
        m_error = {line, column, label, problem};
    m_failed = true;
    return false;
}

bool FieldReader::fail(const Field &at, const QString &problem)
{
    return failAt(at.line, at.column, at.label, problem);
}

bool FieldReader::number(const Field &f, int min, int max, int *out)
{
    if (m_failed)
        return false;
    switch (f.kind) {
    case Field::Kind::Missing:
        return fail(f, QStringLiteral("a number is needed"));
    case Field::Kind::String:
        return fail(f, QStringLiteral("must be a number, not a string in quotes"));
    case Field::Kind::Other:
        return fail(f, QStringLiteral("must be a number"));
    case Field::Kind::Number:
    case Field::Kind::Cell:
        break;
    }
    static const QRegularExpression whole(QStringLiteral("^-?[0-9]+$"));
    static const QRegularExpression decimal(
        QStringLiteral("^-?[0-9]+(\\.[0-9]+)?([eE][-+]?[0-9]+)?$"));
    if (!whole.match(f.text).hasMatch()) {
        return fail(f, decimal.match(f.text).hasMatch()
                           ? QStringLiteral("%1 is not a whole number").arg(excerpt(f.text))
                           : QStringLiteral("\"%1\" is not a number").arg(excerpt(f.text)));
    }
    bool ok = false;
    const qlonglong n = f.text.toLongLong(&ok);
    if (!ok || n < min || n > max)
        return fail(f,
                    QStringLiteral("%1 is not in %2..%3").arg(excerpt(f.text)).arg(min).arg(max));
    *out = int(n);
    return true;
}

bool FieldReader::byte(const Field &f, std::uint8_t *out)
{
    int n = 0;
    if (!number(f, 0, std::numeric_limits<std::uint8_t>::max(), &n))
        return false;
    *out = std::uint8_t(n);
    return true;
}

bool FieldReader::hex(const Field &f, QByteArray *out)
{
    if (m_failed)
        return false;
    if (f.kind != Field::Kind::String && f.kind != Field::Kind::Cell)
        return fail(f, QStringLiteral("must be hex digits in quotes"));
    static const QRegularExpression digits(QStringLiteral("^([0-9A-Fa-f]{2})*$"));
    if (!digits.match(f.text).hasMatch()) {
        return fail(f, QStringLiteral("\"%1\" is not hex bytes (two digits 0-9, a-f per byte)")
                           .arg(excerpt(f.text)));
    }
    *out = QByteArray::fromHex(f.text.toLatin1());
    return true;
}

bool FieldReader::name(const Field &f, QByteArray *out)
{
    if (m_failed)
        return false;
    if (f.kind == Field::Kind::Missing)
        return fail(f, QStringLiteral("a name is needed (\"\" for none)"));
    if (f.kind != Field::Kind::String && f.kind != Field::Kind::Cell)
        return fail(f, QStringLiteral("must be a string in quotes"));
    QByteArray bytes;
    for (qsizetype i = 0; i < f.text.size(); ++i) {
        const QChar c = f.text[i];
        const bool pair =
            c.isHighSurrogate() && i + 1 < f.text.size() && f.text[i + 1].isLowSurrogate();
        const char b = pair ? '?' : cp1251::encodeChar(c);
        if (b == '?' && c != u'?') {
            const char32_t code = pair ? QChar::surrogateToUcs4(c, f.text[i + 1]) : c.unicode();
            return fail(
                f, QStringLiteral("\"%1\" (U+%2) is not a Windows-1251 character")
                       .arg(pair ? f.text.mid(i, 2) : QString(c),
                            QString::number(uint(code), 16).toUpper().rightJustified(4, u'0')));
        }
        bytes.append(b);
    }
    if (bytes.size() > kMaxNameLength)
        return fail(f, QStringLiteral("\"%1\" has %2 characters; a name has at most %3")
                           .arg(excerpt(f.text))
                           .arg(bytes.size())
                           .arg(kMaxNameLength));
    *out = bytes;
    return true;
}

bool FieldReader::formNumber(const Field &f, int slot)
{
    int given = 0;
    if (!number(f, 1, kForms, &given))
        return false;
    if (given != slot + 1)
        return fail(f,
                    QStringLiteral("form %1 is here where form %2 belongs; the forms go 1..100 in "
                                   "order, none left out")
                        .arg(given)
                        .arg(slot + 1));
    return true;
}

bool FieldReader::form(const FormFields &f, int slot, Form *out)
{
    if (!formNumber(f.form, slot))
        return false;
    Form form;
    if (f.nameHex.kind != Field::Kind::Missing) {
        if (f.name.kind != Field::Kind::Missing && !f.name.text.isEmpty())
            return fail(f.nameHex, QStringLiteral("give name or name_hex, not both"));
        if (!hex(f.nameHex, &form.name))
            return false;
        if (form.name.size() > kMaxNameLength)
            return fail(f.nameHex, QStringLiteral("%1 bytes; a name has at most %2")
                                       .arg(form.name.size())
                                       .arg(kMaxNameLength));
    } else if (!name(f.name, &form.name)) {
        return false;
    }
    for (int v = 0; v < kValves; ++v) {
        if (!byte(f.levels[v], &form.levels[v]))
            return false;
    }
    if (!byte(f.holdMin, &form.holdMin) || !byte(f.holdSec, &form.holdSec))
        return false;
    if (f.nameLength.kind != Field::Kind::Missing) {
        if (!number(f.nameLength, 0, std::numeric_limits<std::uint8_t>::max(), &form.lengthByte))
            return false;
        if (const QString p = lengthByteProblem(form.lengthByte, form.name.size()); !p.isEmpty())
            return fail(f.nameLength, p);
    }
    if (f.nameRest.kind != Field::Kind::Missing) {
        if (!hex(f.nameRest, &form.nameRest))
            return false;
        if (const QString p = nameRestProblem(form.nameRest.size(), form.name.size()); !p.isEmpty())
            return fail(f.nameRest, p);
    }
    *out = form;
    return true;
}

bool FieldReader::travel(const Field (&f)[kValves], TravelTimes *out)
{
    for (int v = 0; v < kValves; ++v) {
        if (!byte(f[v], &(*out)[v]))
            return false;
    }
    return true;
}

bool FieldReader::hidden(const Field &offset, const Field &hexField, HiddenRun *out)
{
    HiddenRun run;
    if (!number(offset, 0, kImageSize - 1, &run.offset) || !hex(hexField, &run.bytes))
        return false;
    if (const QString p = m_claims.claim(run.offset, run.bytes.size()); !p.isEmpty())
        return fail(run.bytes.isEmpty() ? hexField : offset, p);
    *out = run;
    return true;
}

QString hexText(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex());
}

} // namespace frm::text
