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

// Cells a spreadsheet must keep as text: a name, and hex bytes.
bool isTextColumn(const QString &name)
{
    return name == text::kName || name == text::kNameHex || name == text::kNameRest ||
           name == text::kHex;
}

// A spreadsheet reads "=1+2", "+1", "-1" or "@x" as a formula and "007",
// "1e5" or "3/4" as a number or a date, and saves the result: the next import
// would change the programme. An apostrophe in front makes it keep the text as
// written; import takes the apostrophe off again. A text that starts with an
// apostrophe of its own gets a second one.
QString keptAsText(const QString &s)
{
    static const QString kRisky = QStringLiteral("=+-@'(.,\t\r\n");
    if (!s.isEmpty() && (kRisky.contains(s.front()) || s.front().isDigit()))
        return u'\'' + s;
    return s;
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

// Reads the text a row at a time, so that a long text is never held as cells
// all at once. A quoted cell may hold separators, doubled quotes and line
// breaks; a line ends at LF, CR LF or a lone CR (an old spreadsheet's).
// Blank rows are left out.
class RowReader
{
  public:
    RowReader(const QString &s, FieldReader *reader) : m_s(s), m_reader(reader)
    {
        // The separator is the one the header line uses.
        qsizetype end = 0;
        while (end < s.size() && s[end] != u'\n' && s[end] != u'\r')
            ++end;
        const QStringView header = QStringView(s).first(end);
        m_sep = header.contains(u';') && !header.contains(u',') ? u';' : u',';
    }

    // The next row with something in it, of at most maxCells cells; false at
    // the end of the text or on a mistake, which the reader then holds.
    bool next(Row *row, qsizetype maxCells)
    {
        while (m_i < m_s.size()) {
            if (!read(row, maxCells))
                return false;
            // A row of empty cells is what a spreadsheet leaves of a cleared row.
            if (std::any_of(row->cells.begin(), row->cells.end(),
                            [](const QString &c) { return !c.trimmed().isEmpty(); })) {
                m_lastLine = row->line;
                return true;
            }
        }
        return false;
    }

    // The line of the last row with something in it.
    [[nodiscard]] int lastLine() const { return m_lastLine; }

  private:
    // Past a line break at m_i, if there is one there.
    bool lineBreak()
    {
        if (m_i >= m_s.size() || (m_s[m_i] != u'\n' && m_s[m_i] != u'\r'))
            return false;
        m_i += m_s[m_i] == u'\r' && m_i + 1 < m_s.size() && m_s[m_i + 1] == u'\n' ? 2 : 1;
        ++m_line;
        return true;
    }

    bool quoted(QString *current)
    {
        const int quoteLine = m_line;
        ++m_i;
        for (;;) {
            if (m_i >= m_s.size())
                return m_reader->failAt(quoteLine, 0, QString(),
                                        QStringLiteral("a quoted cell is not closed"));
            if (m_s[m_i] == u'"' && m_i + 1 < m_s.size() && m_s[m_i + 1] == u'"') {
                *current += u'"';
                m_i += 2;
            } else if (m_s[m_i] == u'"') {
                ++m_i;
                return true;
            } else {
                const qsizetype from = m_i;
                if (!lineBreak())
                    ++m_i;
                *current += QStringView(m_s).sliced(from, m_i - from);
            }
        }
    }

    bool read(Row *row, qsizetype maxCells)
    {
        *row = Row{m_line, {}};
        QString current;
        for (;;) {
            if (m_i < m_s.size() && m_s[m_i] == u'"' && current.isEmpty()) {
                if (!quoted(&current))
                    return false;
                if (m_i < m_s.size() && m_s[m_i] != m_sep && m_s[m_i] != u'\n' && m_s[m_i] != u'\r')
                    return m_reader->failAt(m_line, 0, QString(),
                                            QStringLiteral("text after a closing quote in cell %1")
                                                .arg(row->cells.size() + 1));
                continue;
            }
            if (m_i >= m_s.size() || lineBreak()) {
                row->cells << current;
                return true;
            }
            if (m_s[m_i] == m_sep) {
                row->cells << current;
                current.clear();
                if (row->cells.size() >= maxCells)
                    return m_reader->failAt(
                        row->line, 0, QString(),
                        QStringLiteral("more than %1 cells; the header has %1").arg(maxCells));
            } else {
                current += m_s[m_i];
            }
            ++m_i;
        }
    }

    const QString &m_s;
    FieldReader *m_reader;
    QChar m_sep;
    qsizetype m_i = 0;
    int m_line = 1;
    int m_lastLine = 1;
};

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
        const QStringList &known = columns();
        for (qsizetype c = 0; c < row.cells.size(); ++c) {
            const QString name = row.cells[c].trimmed();
            if (!known.contains(name))
                return m_reader.failAt(row.line, 0, QStringLiteral("header"),
                                       QStringLiteral("unknown column \"%1\"; the columns are %2")
                                           .arg(excerpt(name), known.join(u',')));
            if (m_index.contains(name))
                return m_reader.failAt(
                    row.line, 0, QStringLiteral("header"),
                    QStringLiteral("column %1 appears twice").arg(excerpt(name)));
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
    [[nodiscard]] Field field(const Row &row, const QString &name) const
    {
        Field f;
        f.line = row.line;
        f.label = QStringLiteral("column ") + name;
        const qsizetype c = m_index.value(name);
        if (c < row.cells.size() && !row.cells[c].isEmpty()) {
            f.kind = Field::Kind::Cell;
            f.text = row.cells[c];
            // The apostrophe export put in front for spreadsheets.
            if (isTextColumn(name) && f.text.startsWith(u'\''))
                f.text.remove(0, 1);
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
        RowReader rows(s, &m_reader);
        const int width = int(columns().size());
        Row row;
        // One cell more than there are columns, for the header's own message.
        if (!rows.next(&row, width + 1)) {
            if (m_reader.error().problem.isEmpty())
                m_reader.failAt(1, 0, QString(), QStringLiteral("the text is empty"));
            return false;
        }
        if (!header(row))
            return false;
        int slot = 0;
        bool travel = false;
        while (rows.next(&row, width)) {
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
                    travel ? QStringLiteral("\"%1\" is not \"hidden\"").arg(excerpt(kind.text))
                           : QStringLiteral("\"%1\" is not \"travel\": 100 forms are there already")
                                 .arg(excerpt(kind.text)));
            if (!formRow(row, slot))
                return false;
            ++slot;
        }
        if (!m_reader.error().problem.isEmpty())
            return false;
        const int last = rows.lastLine();
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
    const QStringList &names = columns();
    const auto row = [&](const QHash<QString, QString> &cells) {
        QStringList out;
        for (const QString &name : names) {
            const QString value = cells.value(name);
            out << cell(isTextColumn(name) ? keptAsText(value) : value);
        }
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
