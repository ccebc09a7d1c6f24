// The settings file reader and writer. The lexical rules, kept close to the
// profile files other Windows programs write:
// - lines end in LF, CR LF or a lone CR; a UTF-8 byte order mark is skipped;
// - lines added take the ending of the file's first line;
// - blanks and tabs around section names, keys and values are ignored;
// - a line whose first non-blank character is ';' or '#' is a comment;
// - "[name]" opens a section; "key=value" splits at the first '=';
// - a value enclosed in a pair of matching quotes ("..." or '...') loses them;
// - a section named twice is one section: the first matching key in file order
//   wins, for reading and for writing alike; keys before any section belong to none.
// Everything else (blank lines, comments, odd lines) is left untouched by writes.
#include "core/profile.h"

#include "core/cp1251.h"
#include "core/errors.h"
#include "core/file_access.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QThread>

#include <vector>

namespace {

// How long a rewrite waits for another editor's: a rewrite takes a few
// milliseconds, so a lock held longer is a failed write.
constexpr int kLockWaitMs = 2000;

// QLockFile's own wait sleeps 100 ms and more between tries, long beside a
// rewrite: this one tries again every few milliseconds.
bool lockWithin(QLockFile &lock, int ms)
{
    const QDeadlineTimer deadline(ms);
    while (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError || deadline.hasExpired())
            return false;
        QThread::msleep(2);
    }
    return true;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArrayView trimmed(QByteArrayView v)
{
    while (!v.isEmpty() && isBlank(v.front()))
        v = v.sliced(1);
    while (!v.isEmpty() && isBlank(v.back()))
        v.chop(1);
    return v;
}

bool isQuote(char c)
{
    return c == '"' || c == '\'';
}

struct Line
{
    qsizetype start; // first byte of the line
    qsizetype end;   // one past its last byte, CR LF excluded
    qsizetype next;  // first byte of the following line
};

bool isLineBreak(char c)
{
    return c == '\n' || c == '\r';
}

// The length of the line ending at i: 2 for CR LF, 1 for LF or a lone CR.
qsizetype breakLength(const QByteArray &c, qsizetype i)
{
    return c[i] == '\r' && i + 1 < c.size() && c[i + 1] == '\n' ? 2 : 1;
}

std::vector<Line> splitLines(const QByteArray &c)
{
    std::vector<Line> lines;
    qsizetype pos = c.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (pos < c.size()) {
        qsizetype end = pos;
        while (end < c.size() && !isLineBreak(c[end]))
            ++end;
        const qsizetype next = end < c.size() ? end + breakLength(c, end) : end;
        lines.push_back({pos, end, next});
        pos = next;
    }
    return lines;
}

// The ending of the file's first line; LF for a file of one line or none.
QByteArray fileLineEnding(const QByteArray &c)
{
    for (qsizetype i = 0; i < c.size(); ++i) {
        if (isLineBreak(c[i]))
            return c.mid(i, breakLength(c, i));
    }
#ifdef Q_OS_WIN
    return QByteArrayLiteral("\r\n"); // a new file is text as Windows writes it
#else
    return QByteArrayLiteral("\n");
#endif
}

enum class Kind { Other, Section, Key };

struct Parsed
{
    Kind kind = Kind::Other;
    QByteArrayView name;
    QByteArrayView value;
    qsizetype valueStart = 0; // offset in the file of the first byte after "=" and its blanks
};

Parsed parse(const QByteArray &c, const Line &line)
{
    Parsed p;
    const QByteArrayView text(c.constData() + line.start, line.end - line.start);
    const QByteArrayView t = trimmed(text);
    if (t.isEmpty() || t.front() == ';' || t.front() == '#')
        return p;
    if (t.front() == '[') {
        QByteArrayView name = t.sliced(1);
        const qsizetype close = name.indexOf(']');
        if (close >= 0)
            name = name.first(close);
        p.kind = Kind::Section;
        p.name = trimmed(name);
        return p;
    }
    const qsizetype eq = text.indexOf('=');
    if (eq < 0)
        return p;
    p.name = trimmed(text.first(eq));
    if (p.name.isEmpty())
        return p;
    p.kind = Kind::Key;
    qsizetype v = eq + 1;
    while (v < text.size() && isBlank(text[v]))
        ++v;
    p.valueStart = line.start + v;
    p.value = trimmed(text.sliced(v));
    return p;
}

bool sameName(QByteArrayView raw, const QString &name)
{
    return cp1251::decode(raw).compare(name, Qt::CaseInsensitive) == 0;
}

struct Lookup
{
    std::vector<Line> lines;
    qsizetype keyLine = -1;    // the key's line
    Parsed key;                // and what it holds
    qsizetype sectionEnd = -1; // last header or key line of the section's first occurrence
};

Lookup find(const QByteArray &c, const QString &section, const QString &key)
{
    Lookup r;
    r.lines = splitLines(c);
    bool inSection = false;
    bool inFirstOccurrence = false;
    for (qsizetype i = 0; i < qsizetype(r.lines.size()); ++i) {
        const Parsed p = parse(c, r.lines[i]);
        if (p.kind == Kind::Section) {
            inSection = sameName(p.name, section);
            inFirstOccurrence = inSection && r.sectionEnd < 0;
            if (inFirstOccurrence)
                r.sectionEnd = i;
        } else if (p.kind == Kind::Key && inSection) {
            if (inFirstOccurrence)
                r.sectionEnd = i;
            if (sameName(p.name, key)) {
                r.keyLine = i;
                r.key = p;
                return r;
            }
        }
    }
    return r;
}

// The value as it goes into the file: one line, and quoted where blanks at its
// ends or a pair of enclosing quotes would otherwise be lost on reading.
QByteArray encodeValue(const QString &value)
{
    QString v = value;
    v.replace(u'\r', u' ').replace(u'\n', u' ');
    QByteArray raw = cp1251::encode(v);
    const bool quote =
        !raw.isEmpty() && (isBlank(raw.front()) || isBlank(raw.back()) ||
                           (raw.size() >= 2 && isQuote(raw.front()) && raw.front() == raw.back()));
    if (quote)
        raw = '"' + raw + '"';
    return raw;
}

// c ends with a line break; whether the line it ends holds only blanks.
bool endsWithBlankLine(const QByteArray &c)
{
    const Line last = splitLines(c).back();
    return trimmed(QByteArrayView(c.constData() + last.start, last.end - last.start)).isEmpty();
}

// What ends the text's last line before more is added: nothing when it ends in
// a line break. In a file of LF or CR LF lines a last lone CR gets its LF, as
// a reader that splits at LF alone would otherwise keep the CR in the value.
QByteArray lineEnding(QByteArrayView text, const QByteArray &eol)
{
    if (text.isEmpty() || text.back() == '\n' || (text.back() == '\r' && eol == "\r"))
        return {};
    return text.back() == '\r' ? QByteArray("\n") : eol;
}

// What a rewrite cut short (a kill, a power cut) leaves beside the file:
// QSaveFile's temporary, the file's name, a dot and six letters or digits.
// Called under the lock, when no rewrite can be under way.
void removeLeftovers(const QFileInfo &file)
{
    const QRegularExpression leftover(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(file.fileName()) + QStringLiteral("\\.[A-Za-z0-9]{6}")));
    const QDir dir = file.absoluteDir();
    for (const QString &name :
         dir.entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks | QDir::NoDotAndDotDot)) {
        if (leftover.match(name).hasMatch())
            QFile::remove(dir.filePath(name));
    }
}

} // namespace

QString ProfileFile::readPath() const
{
    if (!m_fallback.isEmpty() && !QFileInfo::exists(m_path) && QFileInfo(m_fallback).isFile())
        return m_fallback;
    return m_path;
}

QString ProfileFile::valueIn(const QByteArray &contents, const QString &section, const QString &key,
                             const QString &def, qsizetype maxLength)
{
    const Lookup r = find(contents, section, key);
    if (r.keyLine < 0)
        return def;
    QByteArrayView v = r.key.value;
    if (v.size() >= 2 && isQuote(v.front()) && v.front() == v.back())
        v = v.sliced(1, v.size() - 2);
    return cp1251::decode(v.first(std::min(v.size(), maxLength)));
}

QByteArray ProfileFile::withValue(const QByteArray &contents, const QString &section,
                                  const QString &key, const QString &value)
{
    const QByteArray eol = fileLineEnding(contents);
    const QByteArray raw = encodeValue(value);
    const Lookup r = find(contents, section, key);
    QByteArray out = contents;

    if (r.keyLine >= 0) {
        // Keep the key as written, its blanks and those after '='.
        const Line &line = r.lines[r.keyLine];
        out.replace(r.key.valueStart, line.end - r.key.valueStart, raw);
        return out;
    }

    const QByteArray keyLine = cp1251::encode(key) + '=' + raw + eol;
    if (r.sectionEnd >= 0) {
        const Line &last = r.lines[r.sectionEnd];
        out.insert(last.next, lineEnding(contents.first(last.next), eol) + keyLine);
        return out;
    }

    out += lineEnding(out, eol);
    if (!out.isEmpty() && !endsWithBlankLine(out))
        out += eol;
    out += '[' + cp1251::encode(section) + ']' + eol + keyLine;
    return out;
}

QString ProfileFile::readString(const QString &section, const QString &key, const QString &def,
                                qsizetype maxLength) const
{
    const QString path = readPath();
    // Only a regular file is read: a directory, a pipe or a device gives the defaults.
    if (!QFileInfo(path).isFile())
        return def;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return def;
    const QByteArray contents = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return def;
    return valueIn(contents, section, key, def, maxLength);
}

void ProfileFile::writeString(const QString &section, const QString &key, const QString &value)
{
    writeStrings(section, {{key, value}});
}

void ProfileFile::writeStrings(const QString &section, const KeyValues &values)
{
    const QFileInfo info(m_path);
    // Refused as a read-only form file is, even for the superuser, whose
    // write would otherwise put a writable file in its place.
    if (info.isFile() && isReadOnlyFile(info))
        throw ESettingsWriteError(m_path);
    // The folder may not exist yet on a first start; a failure shows up below.
    QDir().mkpath(info.absolutePath());
    // One rewrite at a time, whichever editor makes it: a rewrite that began
    // from the file as it was before another's would drop the other's keys.
    QLockFile lock(m_path + QStringLiteral(".lock"));
    if (!lockWithin(lock, kLockWaitMs))
        throw ESettingsWriteError(m_path);
    removeLeftovers(info);

    QByteArray contents;
    const QFileInfo source(readPath());
    if (source.exists()) {
        // A file we cannot read whole cannot be rewritten without losing lines.
        if (!source.isFile())
            throw ESettingsWriteError(m_path);
        QFile f(source.filePath());
        if (!f.open(QIODevice::ReadOnly))
            throw ESettingsWriteError(m_path);
        contents = f.readAll();
        if (f.error() != QFileDevice::NoError)
            throw ESettingsWriteError(m_path);
    }
    for (const auto &[key, value] : values)
        contents = withValue(contents, section, key, value);

    // Written beside the old file and renamed over it: a failed write never
    // leaves half a settings file.
    const std::unique_ptr<SaveFile> save = m_makeFile(m_path);
    // The explicit flush: QSaveFile::commit of Qt 6.4 overlooks a failed final
    // flush and would put a truncated file in place.
    if (!save->open())
        throw ESettingsWriteError(m_path);
    if (save->write(contents) != contents.size() || !save->flush()) {
        save->cancelWriting();
        throw ESettingsWriteError(m_path);
    }
    if (!save->commit())
        throw ESettingsWriteError(m_path);
}
