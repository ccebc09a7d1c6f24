// What the JSON and the CSV reader share: a field's value as written and
// where, and the rules that turn fields into a programme.
#pragma once

#include "tools/frm/programme.h"
#include "tools/frm/text_format.h"

#include <QString>

namespace frm::text {

// Names of the fields, the same in both texts.
inline const QString kForm = QStringLiteral("form");
inline const QString kName = QStringLiteral("name");
inline const QString kNameHex = QStringLiteral("name_hex");
inline const QString kNameLength = QStringLiteral("name_length");
inline const QString kNameRest = QStringLiteral("name_rest");
inline const QString kHoldMin = QStringLiteral("hold_min");
inline const QString kHoldSec = QStringLiteral("hold_sec");
inline const QString kOffset = QStringLiteral("offset");
inline const QString kHex = QStringLiteral("hex");

struct Field
{
    enum class Kind {
        Missing, // not given, or an empty CSV cell
        Number,  // a JSON number
        String,  // a JSON string
        Cell,    // a CSV cell: text that may hold a number
        Other,   // a JSON object, array, true, false or null
    };
    Kind kind = Kind::Missing;
    QString text;
    int line = 0;
    int column = 0;
    QString label; // how messages name the field
};

struct FormFields
{
    Field form, name, nameHex, levels[kValves], holdMin, holdSec, nameLength, nameRest;
};

// Turns fields into values; the first problem met is kept in error() and
// every later call fails.
class FieldReader
{
  public:
    bool fail(const Field &at, const QString &problem);
    bool failAt(int line, int column, const QString &label, const QString &problem);
    [[nodiscard]] const TextError &error() const { return m_error; }

    [[nodiscard]] bool number(const Field &f, int min, int max, int *out);
    [[nodiscard]] bool byte(const Field &f, std::uint8_t *out);
    [[nodiscard]] bool hex(const Field &f, QByteArray *out);

    // The form field of the slot's form: its number, 1 above the slot.
    [[nodiscard]] bool formNumber(const Field &f, int slot);
    [[nodiscard]] bool form(const FormFields &f, int slot, Form *out);
    [[nodiscard]] bool travel(const Field (&f)[kValves], TravelTimes *out);
    [[nodiscard]] bool hidden(const Field &offset, const Field &hex, HiddenRun *out);

  private:
    [[nodiscard]] bool name(const Field &f, QByteArray *out);

    TextError m_error;
    bool m_failed = false;
    HiddenClaims m_claims;
};

// Hex of bytes, two lower-case digits each.
QString hexText(const QByteArray &bytes);

} // namespace frm::text
