// The programme as JSON: one form per line, so that a person finds a form by
// its number and a line-based diff shows which form changed.
#include "tools/frm/json_reader.h"
#include "tools/frm/text_fields.h"

namespace frm {

namespace {

using text::Field;
using text::FieldReader;

const QString kFormat = QStringLiteral("fountain-frm");
const QString kLevels = QStringLiteral("levels");
constexpr int kVersion = 1;

QString quoted(const QString &s)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : s) {
        if (c == u'"' || c == u'\\')
            out += u'\\' + QString(c);
        else if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out + u'"';
}

template <typename Bytes> QString numberList(const Bytes &bytes)
{
    QStringList items;
    for (const auto b : bytes)
        items << QString::number(int(b));
    return u'[' + items.join(QStringLiteral(", ")) + u']';
}

QString formLine(int slot, const Form &f)
{
    QString line = QStringLiteral("{\"form\": %1, ").arg(slot + 1);
    if (isPrintableName(f.name))
        line += QStringLiteral("\"name\": %1").arg(quoted(nameText(f.name)));
    else
        line += QStringLiteral("\"name_hex\": \"%1\"").arg(text::hexText(f.name));
    line += QStringLiteral(", \"levels\": %1, \"hold_min\": %2, \"hold_sec\": %3")
                .arg(numberList(f.levels))
                .arg(f.holdMin)
                .arg(f.holdSec);
    if (f.lengthByte >= 0)
        line += QStringLiteral(", \"name_length\": %1").arg(f.lengthByte);
    if (!f.nameRest.isEmpty())
        line += QStringLiteral(", \"name_rest\": \"%1\"").arg(text::hexText(f.nameRest));
    return line + u'}';
}

// Reads the JSON document into a programme.
class JsonImport
{
  public:
    std::optional<QByteArray> run(const QString &textIn, TextError *error)
    {
        json::Value root;
        json::Error syntax;
        if (!json::parse(textIn, &root, &syntax, refuse)) {
            *error = {syntax.at.line, syntax.at.column, syntax.field, syntax.message};
            return std::nullopt;
        }
        if (!programme(root)) {
            *error = m_reader.error();
            return std::nullopt;
        }
        return join(m_programme);
    }

  private:
    static Field field(const json::Value *v, const json::Value &owner, const QString &label)
    {
        Field f;
        f.label = label;
        if (!v) {
            f.line = owner.at.line;
            f.column = owner.at.column;
            return f;
        }
        f.line = v->at.line;
        f.column = v->at.column;
        f.text = v->text;
        switch (v->type) {
        case json::Value::Type::Number:
            f.kind = Field::Kind::Number;
            break;
        case json::Value::Type::String:
            f.kind = Field::Kind::String;
            break;
        default:
            f.kind = Field::Kind::Other;
        }
        return f;
    }

    bool fail(const json::Value &at, const QString &label, const QString &problem)
    {
        return m_reader.failAt(at.at.line, at.at.column, label, problem);
    }

    static const QStringList &documentKeys()
    {
        static const QStringList keys{QStringLiteral("format"), QStringLiteral("version"),
                                      QStringLiteral("travel"), QStringLiteral("forms"),
                                      QStringLiteral("hidden")};
        return keys;
    }
    static const QStringList &formKeys()
    {
        static const QStringList keys{text::kForm,       text::kName,    text::kNameHex,
                                      kLevels,           text::kHoldMin, text::kHoldSec,
                                      text::kNameLength, text::kNameRest};
        return keys;
    }
    static const QStringList &hiddenKeys()
    {
        static const QStringList keys{text::kOffset, text::kHex};
        return keys;
    }

    static std::optional<json::Refusal> unknownKey(const QString &label, const QString &key,
                                                   const QStringList &keys)
    {
        if (keys.contains(key))
            return std::nullopt;
        return json::Refusal{label, QStringLiteral("unknown key \"%1\"; the keys are %2")
                                        .arg(excerpt(key), keys.join(QStringLiteral(", ")))};
    }

    static std::optional<json::Refusal> tooMany(const json::Step &item, qsizetype count,
                                                const QString &label, const QString &problem)
    {
        if (item.index < count)
            return std::nullopt;
        return json::Refusal{label, problem};
    }

    // What a programme text may hold, asked while it is read: an unknown key
    // or an item too many is refused where it stands, before anything more
    // is read.
    static std::optional<json::Refusal> refuse(const std::vector<json::Step> &path)
    {
        const auto isItem = [&](std::size_t i) { return path[i].index >= 0; };
        const auto notA = [](const QString &label, const char *what) {
            return json::Refusal{label, QStringLiteral("must be %1").arg(QLatin1String(what))};
        };
        if (isItem(0))
            return notA(QStringLiteral("the document"),
                        "an object { ... }: this is not a programme text");
        const QString &top = path[0].key;
        if (path.size() == 1)
            return unknownKey(QStringLiteral("the document"), top, documentKeys());
        const bool list = top == u"travel" || top == u"forms" || top == u"hidden";
        if (list && !isItem(1))
            return notA(top, "an array [ ... ]");
        const json::Step &step = path[1];
        if (top == u"travel" && path.size() == 2)
            return tooMany(step, kValves, QStringLiteral("travel"),
                           QStringLiteral("has more than %1 items; %1 are needed").arg(kValves));
        if (top == u"forms") {
            const QString label = QStringLiteral("form %1").arg(step.index + 1);
            if (path.size() == 2)
                return tooMany(step, kForms, QStringLiteral("forms"),
                               QStringLiteral("a programme has 100 forms, this is one more"));
            if (isItem(2))
                return notA(label, "an object { ... }");
            if (path.size() == 3)
                return unknownKey(label, path[2].key, formKeys());
            if (path.size() == 4 && path[2].key == kLevels) {
                if (!isItem(3))
                    return notA(label + QStringLiteral(" levels"), "an array [ ... ]");
                return tooMany(
                    path[3], kValves, label + QStringLiteral(" levels"),
                    QStringLiteral("has more than %1 items; %1 are needed").arg(kValves));
            }
        }
        if (top == u"hidden") {
            const QString label = QStringLiteral("hidden entry %1").arg(step.index + 1);
            // Each entry has a byte of its own at least.
            if (path.size() == 2)
                return tooMany(step, kImageSize, QStringLiteral("hidden"),
                               QStringLiteral("more entries than a form file has bytes"));
            if (isItem(2))
                return notA(label, "an object { ... }");
            if (path.size() == 3)
                return unknownKey(label, path[2].key, hiddenKeys());
        }
        // Anything else holds one plain value: a number or a string.
        return json::Refusal{QString(), QStringLiteral("a number or a string is expected here, "
                                                       "not an array or an object")};
    }

    // An object; label names it in messages. Its keys were checked as it was read.
    bool object(const json::Value &v, const QString &label)
    {
        if (v.type != json::Value::Type::Object)
            return fail(v, label, QStringLiteral("must be an object { ... }"));
        return true;
    }

    // An array member of exactly count items (any number when count is -1).
    const json::Value *array(const json::Value &owner, const QString &key, const QString &label,
                             int count)
    {
        const json::Value *v = owner.member(key);
        if (!v) {
            fail(owner, label, QStringLiteral("is missing"));
            return nullptr;
        }
        if (v->type != json::Value::Type::Array) {
            fail(*v, label, QStringLiteral("must be an array [ ... ]"));
            return nullptr;
        }
        if (count >= 0 && int(v->items.size()) != count) {
            fail(*v, label,
                 QStringLiteral("has %1 items, %2 are needed").arg(v->items.size()).arg(count));
            return nullptr;
        }
        return v;
    }

    bool programme(const json::Value &root)
    {
        if (!object(root, QStringLiteral("the document")))
            return false;
        const json::Value *format = root.member(QStringLiteral("format"));
        if (!format || format->type != json::Value::Type::String || format->text != kFormat)
            return fail(
                format ? *format : root, QStringLiteral("format"),
                QStringLiteral("must be \"%1\": this is not a programme text").arg(kFormat));
        int version = 0;
        if (!m_reader.number(
                field(root.member(QStringLiteral("version")), root, QStringLiteral("version")), 0,
                1 << 30, &version))
            return false;
        if (version != kVersion)
            return fail(*root.member(QStringLiteral("version")), QStringLiteral("version"),
                        QStringLiteral("version %1 is not known; this program reads version %2")
                            .arg(version)
                            .arg(kVersion));

        const json::Value *travel =
            array(root, QStringLiteral("travel"), QStringLiteral("travel"), kValves);
        if (!travel)
            return false;
        Field times[kValves];
        for (int v = 0; v < kValves; ++v)
            times[v] =
                field(&travel->items[v], *travel, QStringLiteral("travel, valve %1").arg(v + 1));
        if (!m_reader.travel(times, &m_programme.travel))
            return false;

        const json::Value *forms =
            array(root, QStringLiteral("forms"), QStringLiteral("forms"), -1);
        if (!forms)
            return false;
        for (std::size_t i = 0; i < forms->items.size(); ++i) {
            if (!form(forms->items[i], int(i)))
                return false;
        }
        if (forms->items.size() < std::size_t(kForms))
            return fail(
                *forms, QStringLiteral("forms"),
                QStringLiteral("has %1 forms; all 100 are needed").arg(forms->items.size()));

        const json::Value *hidden = root.member(QStringLiteral("hidden"));
        if (!hidden)
            return true;
        if (!(hidden = array(root, QStringLiteral("hidden"), QStringLiteral("hidden"), -1)))
            return false;
        for (std::size_t i = 0; i < hidden->items.size(); ++i) {
            const json::Value &e = hidden->items[i];
            const QString label = QStringLiteral("hidden entry %1").arg(i + 1);
            if (!object(e, label))
                return false;
            HiddenRun run;
            if (!m_reader.hidden(field(e.member(text::kOffset), e, label + u' ' + text::kOffset),
                                 field(e.member(text::kHex), e, label + u' ' + text::kHex), &run))
                return false;
            m_programme.hidden.append(run);
        }
        return true;
    }

    bool form(const json::Value &v, int slot)
    {
        const QString label = QStringLiteral("form %1").arg(slot + 1);
        if (!object(v, label))
            return false;
        const auto member = [&](const QString &key) {
            return field(v.member(key), v, label + u' ' + key);
        };
        text::FormFields f;
        f.form = field(v.member(text::kForm), v, text::kForm);
        if (!m_reader.formNumber(f.form, slot))
            return false;
        f.name = member(text::kName);
        f.nameHex = member(text::kNameHex);
        f.holdMin = member(text::kHoldMin);
        f.holdSec = member(text::kHoldSec);
        f.nameLength = member(text::kNameLength);
        f.nameRest = member(text::kNameRest);
        const json::Value *levels = array(v, kLevels, label + QStringLiteral(" levels"), kValves);
        if (!levels)
            return false;
        for (int j = 0; j < kValves; ++j)
            f.levels[j] = field(&levels->items[j], *levels,
                                label + QStringLiteral(" levels, jet %1").arg(j + 1));
        return m_reader.form(f, slot, &m_programme.forms[slot]);
    }

    FieldReader m_reader;
    Programme m_programme;
};

} // namespace

QByteArray exportJson(const QByteArray &image)
{
    const Programme p = split(image);
    QString out =
        QStringLiteral(
            "{\n  \"format\": \"%1\",\n  \"version\": %2,\n  \"travel\": %3,\n  \"forms\": [\n")
            .arg(kFormat)
            .arg(kVersion)
            .arg(numberList(p.travel));
    for (int slot = 0; slot < kForms; ++slot)
        out += QStringLiteral("    ") + formLine(slot, p.forms[slot]) +
               (slot + 1 < kForms ? ",\n" : "\n");
    out += QStringLiteral("  ],\n  \"hidden\": [");
    for (qsizetype i = 0; i < p.hidden.size(); ++i) {
        out += QStringLiteral("%1\n    {\"offset\": %2, \"hex\": \"%3\"}")
                   .arg(i ? QStringLiteral(",") : QString())
                   .arg(p.hidden[i].offset)
                   .arg(text::hexText(p.hidden[i].bytes));
    }
    out += p.hidden.isEmpty() ? QStringLiteral("]\n}\n") : QStringLiteral("\n  ]\n}\n");
    return out.toUtf8();
}

std::optional<QByteArray> importJson(const QString &text, TextError *error)
{
    return JsonImport().run(text, error);
}

} // namespace frm
