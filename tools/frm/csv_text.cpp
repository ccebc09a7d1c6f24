// The programme as CSV for spreadsheets: one row per form, then a row of
// travel times, then rows of hidden bytes. A spreadsheet set to a Russian
// locale saves with ';' between cells, so the reader takes the separator from
// the header line.
#include "tools/frm/text_fields.h"

#include <QHash>

#include <algorithm>

namespace frm {

namespace {

using text::Field;
using text::FieldReader;

const QString kTravelRow = QStringLiteral("travel");
const QString kHiddenRow = QStringLiteral("hidden");

QString levelColumn(int valve)
{
    return QStringLiteral("v%1").arg(valve + 1);
}

const QStringList &columns()
{
    static const QStringList c = [] {
        QStringList names{text::kForm, text::kName};
        for (int v = 0; v < kValves; ++v)
            names << levelColumn(v);
        names << text::kHoldMin << text::kHoldSec << text::kNameHex << text::kNameLength
              << text::kNameRest << text::kOffset << text::kHex;
        return names;
    }();
    return c;
}

QString cell(const QString &s)
{
    const bool quote = s.contains(u',') || s.contains(u';') || s.contains(u'"') ||
                       s.contains(u'\n') || s.contains(u'\r') || s.startsWith(u' ') ||
                       s.endsWith(u' ');
    if (!quote)
        return s;
    return u'"' + QString(s).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

struct Row
{
    int line = 0;
    QStringList cells;
};

// Splits the text into rows of cells. A quoted cell may hold separators,
// doubled quotes and line breaks. Blank lines are left out.
bool rows(const QString &s, QList<Row> *out, FieldReader *reader)
{
    // The separator is the one the header line uses.
    const qsizetype headerEnd = s.indexOf(u'\n');
    const QStringView header = QStringView(s).left(headerEnd < 0 ? s.size() : headerEnd);
    const QChar sep = header.contains(u';') && !header.contains(u',') ? u';' : u',';
    int line = 1;
    qsizetype i = 0;
    while (i < s.size()) {
        Row row{line, {}};
        QString current;
        for (;;) {
            if (i < s.size() && s[i] == u'"' && current.isEmpty()) {
                const int quoteLine = line;
                ++i;
                for (;;) {
                    if (i >= s.size())
                        return reader->failAt(quoteLine, 0, QString(),
                                              QStringLiteral("a quoted cell is not closed"));
                    if (s[i] == u'"' && i + 1 < s.size() && s[i + 1] == u'"') {
                        current += u'"';
                        i += 2;
                    } else if (s[i] == u'"') {
                        ++i;
                        break;
                    } else {
                        if (s[i] == u'\n')
                            ++line;
                        current += s[i++];
                    }
                }
                if (i < s.size() && s[i] != sep && s[i] != u'\n' && s[i] != u'\r')
                    return reader->failAt(line, 0, QString(),
                                          QStringLiteral("text after a closing quote in cell %1")
                                              .arg(row.cells.size() + 1));
                continue;
            }
            if (i >= s.size() || s[i] == u'\n' ||
                (s[i] == u'\r' && (i + 1 >= s.size() || s[i + 1] == u'\n'))) {
                row.cells << current;
                if (i < s.size() && s[i] == u'\r')
                    ++i;
                if (i < s.size())
                    ++i;
                ++line;
                break;
            }
            if (s[i] == sep) {
                row.cells << current;
                current.clear();
            } else {
                current += s[i];
            }
            ++i;
        }
        // A row of empty cells is what a spreadsheet leaves of a cleared row.
        if (std::any_of(row.cells.begin(), row.cells.end(),
                        [](const QString &c) { return !c.trimmed().isEmpty(); }))
            out->append(row);
    }
    return true;
}

class CsvImport
{
  public:
    std::optional<QByteArray> run(const QString &s, TextError *error)
    {
        if (!programme(s)) {
            *error = m_reader.error();
            return std::nullopt;
        }
        return join(m_programme);
    }

  private:
    bool header(const Row &row)
    {
        const QStringList known = columns();
        for (qsizetype c = 0; c < row.cells.size(); ++c) {
            const QString name = row.cells[c].trimmed();
            if (!known.contains(name))
                return m_reader.failAt(row.line, 0, QStringLiteral("header"),
                                       QStringLiteral("unknown column \"%1\"; the columns are %2")
                                           .arg(name, known.join(u',')));
            if (m_index.contains(name))
                return m_reader.failAt(row.line, 0, QStringLiteral("header"),
                                       QStringLiteral("column %1 appears twice").arg(name));
            m_index.insert(name, c);
        }
        for (const QString &name : known) {
            if (!m_index.contains(name))
                return m_reader.failAt(row.line, 0, QStringLiteral("header"),
                                       QStringLiteral("column %1 is missing").arg(name));
        }
        return true;
    }

    // The cell of column name; an empty cell counts as not given.
    Field field(const Row &row, const QString &name) const
    {
        Field f;
        f.line = row.line;
        f.label = QStringLiteral("column ") + name;
        const qsizetype c = m_index.value(name);
        if (c < row.cells.size() && !row.cells[c].isEmpty()) {
            f.kind = Field::Kind::Cell;
            f.text = row.cells[c];
        }
        return f;
    }

    // Cells a row of this kind has no use for must be empty.
    bool onlyUses(const Row &row, const QStringList &used, const QString &kind)
    {
        for (const QString &name : columns()) {
            if (!used.contains(name) && field(row, name).kind != Field::Kind::Missing)
                return m_reader.fail(field(row, name),
                                     QStringLiteral("must be empty in %1").arg(kind));
        }
        return true;
    }

    bool formRow(const Row &row, int slot)
    {
        text::FormFields f;
        f.form = field(row, text::kForm);
        f.name = field(row, text::kName);
        f.name.kind = Field::Kind::Cell; // an empty name is a name
        f.nameHex = field(row, text::kNameHex);
        for (int v = 0; v < kValves; ++v)
            f.levels[v] = field(row, levelColumn(v));
        f.holdMin = field(row, text::kHoldMin);
        f.holdSec = field(row, text::kHoldSec);
        f.nameLength = field(row, text::kNameLength);
        f.nameRest = field(row, text::kNameRest);
        return onlyUses(row, columns().mid(0, columns().indexOf(text::kOffset)),
                        QStringLiteral("a form row")) &&
               m_reader.form(f, slot, &m_programme.forms[slot]);
    }

    bool programme(const QString &s)
    {
        QList<Row> all;
        if (!rows(s, &all, &m_reader))
            return false;
        if (all.isEmpty())
            return m_reader.failAt(1, 0, QString(), QStringLiteral("the text is empty"));
        if (!header(all.first()))
            return false;
        const int width = int(columns().size());
        int slot = 0;
        bool travel = false;
        for (qsizetype r = 1; r < all.size(); ++r) {
            const Row &row = all[r];
            if (row.cells.size() > width)
                return m_reader.failAt(
                    row.line, 0, QString(),
                    QStringLiteral("%1 cells, the header has %2").arg(row.cells.size()).arg(width));
            const Field kind = field(row, text::kForm);
            if (kind.text == kTravelRow || kind.text == kHiddenRow) {
                if (slot < kForms)
                    return m_reader.fail(
                        kind,
                        QStringLiteral("form %1 is expected here, the forms go 1..100 in order")
                            .arg(slot + 1));
                if (kind.text == kTravelRow) {
                    if (travel)
                        return m_reader.fail(kind, QStringLiteral("a second travel row"));
                    travel = true;
                    Field times[kValves];
                    for (int v = 0; v < kValves; ++v)
                        times[v] = field(row, levelColumn(v));
                    QStringList used{text::kForm};
                    for (int v = 0; v < kValves; ++v)
                        used << levelColumn(v);
                    if (!onlyUses(row, used, QStringLiteral("the travel row")) ||
                        !m_reader.travel(times, &m_programme.travel))
                        return false;
                    continue;
                }
                if (!travel)
                    return m_reader.fail(
                        kind, QStringLiteral("the travel row comes before the hidden rows"));
                HiddenRun run;
                if (!onlyUses(row, {text::kForm, text::kOffset, text::kHex},
                              QStringLiteral("a hidden row")) ||
                    !m_reader.hidden(field(row, text::kOffset), field(row, text::kHex), &run))
                    return false;
                m_programme.hidden.append(run);
                continue;
            }
            if (slot >= kForms)
                return m_reader.fail(
                    kind,
                    travel ? QStringLiteral("\"%1\" is not \"hidden\"").arg(kind.text)
                           : QStringLiteral("\"%1\" is not \"travel\": 100 forms are there already")
                                 .arg(kind.text));
            if (!formRow(row, slot))
                return false;
            ++slot;
        }
        const int last = all.last().line;
        if (slot < kForms)
            return m_reader.failAt(
                last, 0, QString(),
                QStringLiteral(
                    "the text ends after %1 forms; forms %2..100 and the travel row are missing")
                    .arg(slot)
                    .arg(slot + 1));
        if (!travel)
            return m_reader.failAt(last, 0, QString(),
                                   QStringLiteral("the text ends before the travel row"));
        return true;
    }

    FieldReader m_reader;
    Programme m_programme;
    QHash<QString, qsizetype> m_index;
};

} // namespace

QByteArray exportCsv(const QByteArray &image)
{
    const Programme p = split(image);
    const QStringList names = columns();
    const auto row = [&](const QHash<QString, QString> &cells) {
        QStringList out;
        for (const QString &name : names)
            out << cell(cells.value(name));
        return out.join(u',') + u'\n';
    };
    QString out = names.join(u',') + u'\n';
    for (int slot = 0; slot < kForms; ++slot) {
        const Form &f = p.forms[slot];
        QHash<QString, QString> c{{text::kForm, QString::number(slot + 1)},
                                  {text::kHoldMin, QString::number(f.holdMin)},
                                  {text::kHoldSec, QString::number(f.holdSec)},
                                  {text::kNameRest, text::hexText(f.nameRest)}};
        if (isPrintableName(f.name))
            c.insert(text::kName, nameText(f.name));
        else
            c.insert(text::kNameHex, text::hexText(f.name));
        for (int v = 0; v < kValves; ++v)
            c.insert(levelColumn(v), QString::number(f.levels[v]));
        if (f.lengthByte >= 0)
            c.insert(text::kNameLength, QString::number(f.lengthByte));
        out += row(c);
    }
    QHash<QString, QString> travel{{text::kForm, kTravelRow}};
    for (int v = 0; v < kValves; ++v)
        travel.insert(levelColumn(v), QString::number(p.travel[v]));
    out += row(travel);
    for (const HiddenRun &run : p.hidden)
        out += row({{text::kForm, kHiddenRow},
                    {text::kOffset, QString::number(run.offset)},
                    {text::kHex, text::hexText(run.bytes)}});
    return out.toUtf8();
}

std::optional<QByteArray> importCsv(const QString &text, TextError *error)
{
    return CsvImport().run(text, error);
}

} // namespace frm
