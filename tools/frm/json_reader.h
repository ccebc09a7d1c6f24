// A small JSON reader that remembers where each value starts, so that a
// message about a wrong value can name its line and column. Qt's own reader
// reports where a syntax error is, but keeps no positions for the values.
#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace frm::json {

struct Position
{
    int line = 1;
    int column = 1; // in characters, from 1
};

struct Value
{
    enum class Type { Null, Bool, Number, String, Array, Object };
    Type type = Type::Null;
    Position at;
    QString text;              // a string's characters; a number or literal as written
    std::vector<Value> items;  // an array's items; an object's member values
    std::vector<QString> keys; // an object's keys, one per item
    std::vector<Position> keyAt;

    // The member's value, nullptr when the object has no such key.
    [[nodiscard]] const Value *member(const QString &key) const;
};

struct Error
{
    Position at;
    QString message;
    QString field; // what the guard named; "" for a syntax error
};

// One step of the way from the document to a value: a member's key, or an
// array item's index.
struct Step
{
    QString key;
    qsizetype index = -1;
};

// Why a value may not be there: the field it belongs to and the problem.
struct Refusal
{
    QString field;
    QString problem;
};

// Asked before each member or array item is read, with the way to it. A
// refusal stops the reading there, so a text of unknown keys or of endless
// arrays is refused at once and never held in memory whole.
using Guard = std::function<std::optional<Refusal>(const std::vector<Step> &path)>;

// text is the whole document. Duplicate keys are refused: one value would be
// lost without anyone noticing.
[[nodiscard]] bool parse(const QString &text, Value *root, Error *error, const Guard &guard = {});

} // namespace frm::json
