// Recursive descent over the text, one character at a time, counting lines
// and columns as it goes.
#include "tools/frm/json_reader.h"

#include "tools/frm/text_format.h"

#include <QRegularExpression>
#include <QSet>

namespace {

using frm::json::Error;
using frm::json::Position;
using frm::json::Value;

// Deeper nesting than any programme needs is refused before the stack runs out.
constexpr int kMaxDepth = 64;

class Parser
{
  public:
    Parser(const QString &text, const frm::json::Guard &guard) : m_s(text), m_guard(guard) {}

    bool document(Value *root, Error *error)
    {
        skipSpace();
        bool ok = value(root, 0);
        if (ok) {
            skipSpace();
            if (!atEnd())
                ok = fail(QStringLiteral("text after the end of the document"));
        }
        if (!ok)
            *error = m_error;
        return ok;
    }

  private:
    [[nodiscard]] bool atEnd() const { return m_i >= m_s.size(); }
    [[nodiscard]] QChar peek() const { return atEnd() ? QChar() : m_s[m_i]; }
    static bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

    void advance()
    {
        if (m_s[m_i] == u'\n') {
            ++m_pos.line;
            m_pos.column = 1;
        } else if (!m_s[m_i].isLowSurrogate()) {
            ++m_pos.column;
        }
        ++m_i;
    }

    void skipSpace()
    {
        while (!atEnd() &&
               (peek() == u' ' || peek() == u'\t' || peek() == u'\n' || peek() == u'\r'))
            advance();
    }

    bool fail(const QString &message)
    {
        m_error = {m_pos,
                   atEnd() ? QStringLiteral("the text ends early: %1").arg(message) : message,
                   QString()};
        return false;
    }

    // Asks the guard about the member or item at the end of m_path.
    bool allowed()
    {
        if (!m_guard)
            return true;
        const std::optional<frm::json::Refusal> refusal = m_guard(m_path);
        if (!refusal)
            return true;
        m_error = {m_pos, refusal->problem, refusal->field};
        return false;
    }

    bool expect(char16_t c, const QString &what)
    {
        skipSpace();
        if (peek() != c)
            return fail(what);
        advance();
        return true;
    }

    bool value(Value *v, int depth)
    {
        v->at = m_pos;
        if (atEnd())
            return fail(QStringLiteral("a value is missing"));
        const QChar c = peek();
        if (c == u'{' || c == u'[') {
            if (depth >= kMaxDepth)
                return fail(QStringLiteral("nested too deep"));
            return c == u'{' ? object(v, depth) : array(v, depth);
        }
        if (c == u'"') {
            v->type = Value::Type::String;
            return string(&v->text);
        }
        if (c == u'-' || (c >= u'0' && c <= u'9')) {
            v->type = Value::Type::Number;
            return number(&v->text);
        }
        for (const char *word : {"true", "false", "null"}) {
            const QString w = QString::fromLatin1(word);
            if (QStringView(m_s).mid(m_i).startsWith(w)) {
                v->type = w == u"null" ? Value::Type::Null : Value::Type::Bool;
                v->text = w;
                for (qsizetype k = 0; k < w.size(); ++k)
                    advance();
                return true;
            }
        }
        return fail(QStringLiteral("not a JSON value"));
    }

    bool object(Value *v, int depth)
    {
        v->type = Value::Type::Object;
        QSet<QString> seen;
        advance();
        skipSpace();
        if (peek() == u'}') {
            advance();
            return true;
        }
        for (;;) {
            skipSpace();
            const Position keyAt = m_pos;
            QString key;
            if (peek() != u'"')
                return fail(QStringLiteral("a key in double quotes is expected"));
            if (!string(&key))
                return false;
            const Position afterKey = m_pos;
            // A refused key is named where it starts.
            m_pos = keyAt;
            if (seen.contains(key))
                return fail(QStringLiteral("key \"%1\" appears twice").arg(frm::excerpt(key)));
            seen.insert(key);
            m_path.push_back({key, -1});
            if (!allowed())
                return false;
            // The key was read up to its closing quote; go on from there.
            m_pos = afterKey;
            if (!expect(u':', QStringLiteral("':' is expected after a key")))
                return false;
            skipSpace();
            Value item;
            if (!value(&item, depth + 1))
                return false;
            m_path.pop_back();
            v->keys.push_back(key);
            v->keyAt.push_back(keyAt);
            v->items.push_back(std::move(item));
            skipSpace();
            if (peek() == u'}') {
                advance();
                return true;
            }
            if (!expect(u',', QStringLiteral("',' or '}' is expected")))
                return false;
        }
    }

    bool array(Value *v, int depth)
    {
        v->type = Value::Type::Array;
        advance();
        skipSpace();
        if (peek() == u']') {
            advance();
            return true;
        }
        for (qsizetype index = 0;; ++index) {
            skipSpace();
            m_path.push_back({QString(), index});
            if (!allowed())
                return false;
            Value item;
            if (!value(&item, depth + 1))
                return false;
            m_path.pop_back();
            v->items.push_back(std::move(item));
            skipSpace();
            if (peek() == u']') {
                advance();
                return true;
            }
            if (!expect(u',', QStringLiteral("',' or ']' is expected")))
                return false;
        }
    }

    bool digits(QString *out)
    {
        if (!isDigit(peek()))
            return fail(QStringLiteral("a digit is expected"));
        while (isDigit(peek())) {
            out->append(peek());
            advance();
        }
        return true;
    }

    bool number(QString *out)
    {
        if (peek() == u'-') {
            out->append(peek());
            advance();
        }
        if (peek() == u'0') {
            out->append(peek());
            advance();
            if (isDigit(peek()))
                return fail(QStringLiteral("a number does not start with 0"));
        } else if (!digits(out)) {
            return false;
        }
        if (peek() == u'.') {
            out->append(peek());
            advance();
            if (!digits(out))
                return false;
        }
        if (peek() == u'e' || peek() == u'E') {
            out->append(peek());
            advance();
            if (peek() == u'+' || peek() == u'-') {
                out->append(peek());
                advance();
            }
            if (!digits(out))
                return false;
        }
        return true;
    }

    bool string(QString *out)
    {
        advance(); // the opening quote
        for (;;) {
            if (atEnd())
                return fail(QStringLiteral("a string is not closed"));
            const QChar c = peek();
            if (c == u'"') {
                advance();
                return true;
            }
            if (c.unicode() < 0x20)
                return fail(QStringLiteral("a control character in a string must be escaped"));
            if (c != u'\\') {
                out->append(c);
                advance();
                continue;
            }
            advance();
            if (atEnd())
                return fail(QStringLiteral("a string is not closed"));
            const QChar e = peek();
            static const QString kPlain = QStringLiteral("\"\\/bfnrt");
            static const QString kMeant = QStringLiteral("\"\\/\b\f\n\r\t");
            if (const qsizetype k = kPlain.indexOf(e); k >= 0) {
                out->append(kMeant[k]);
                advance();
                continue;
            }
            if (e != u'u')
                return fail(QStringLiteral("unknown escape \\%1").arg(e));
            advance();
            const QString hex = m_s.mid(m_i, 4);
            static const QRegularExpression digits(QStringLiteral("^[0-9A-Fa-f]{4}$"));
            if (!digits.match(hex).hasMatch())
                return fail(QStringLiteral("\\u needs four hex digits"));
            out->append(QChar(hex.toUShort(nullptr, 16)));
            for (int k = 0; k < 4; ++k)
                advance();
        }
    }

    const QString &m_s;
    const frm::json::Guard &m_guard;
    std::vector<frm::json::Step> m_path;
    qsizetype m_i = 0;
    Position m_pos;
    Error m_error;
};

} // namespace

namespace frm::json {

const Value *Value::member(const QString &key) const
{
    for (std::size_t k = 0; k < keys.size(); ++k) {
        if (keys[k] == key)
            return &items[k];
    }
    return nullptr;
}

bool parse(const QString &text, Value *root, Error *error, const Guard &guard)
{
    *root = Value();
    return Parser(text, guard).document(root, error);
}

} // namespace frm::json
