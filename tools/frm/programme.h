// A form file seen as a person edits it: the hundred forms the editor reaches
// and the eight valve travel times, plus every other byte of the image kept
// as it is, so that a text copy gives back the same file byte for byte.
#pragma once

#include "core/form_store.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <bitset>
#include <cstdint>

namespace frm {

constexpr int kForms = 100; // slots 0..99, shown as forms 1..100
constexpr int kValves = FormStore::kValves;
constexpr int kMinTravel = 7; // the editor shows a shorter travel time as 7 s
constexpr int kMaxHold = 59;
constexpr int kMaxHiddenRun = 32; // bytes per hidden run in a text copy

// One form slot's sixteen bytes.
struct Form
{
    std::array<std::uint8_t, kValves> levels{};
    QByteArray name;     // the name as the editor reads it, Windows-1251, at most 5 bytes
    int lengthByte = -1; // the stored length when it is above 5; -1: the name's own length
    QByteArray nameRest; // character bytes stored after the name, trailing zero bytes dropped
    std::uint8_t holdMin = 0;
    std::uint8_t holdSec = 0;

    bool isCoda() const { return holdMin == 0 && holdSec == 0; }
    friend bool operator==(const Form &, const Form &) = default;
};

// Bytes that no form field or travel time covers, from offset on.
struct HiddenRun
{
    int offset = 0;
    QByteArray bytes;
    friend bool operator==(const HiddenRun &, const HiddenRun &) = default;
};

struct Programme
{
    std::array<Form, kForms> forms;
    std::array<std::uint8_t, kValves> travel{};
    // Runs of the remaining bytes; a byte in no run is zero.
    QList<HiddenRun> hidden;
};

// image has FormStore::kSize bytes.
Programme split(const QByteArray &image);
// Form names, rests and runs must be as the checks below allow.
QByteArray join(const Programme &programme);

// The slot of the first coda mark among forms 1..100, -1 when there is none.
int codaSlot(const QByteArray &image);
Form readForm(const QByteArray &image, int slot);
std::array<std::uint8_t, kValves> travelTimes(const QByteArray &image);

// Jet level as the editor shows it: per cent of a full jet, rounded down.
inline int percent(int level)
{
    return level * 100 / 255;
}
QString holdText(int minutes, int seconds); // "m:ss"
QString nameText(const QByteArray &name);   // decoded from Windows-1251
// Whether every character of the decoded name can be shown and typed as text.
bool isPrintableName(const QByteArray &name);

// Whether the byte at offset is a form field of forms 1..100 or a travel time.
bool isReadable(int offset);
// What the editor keeps at offset, for messages: "jet 3 of form 12", "bank 2".
QString describeOffset(int offset);

// Why a stored length above 5 or bytes after the name cannot go with a name
// of nameSize bytes; "" when they can.
QString lengthByteProblem(int lengthByte, qsizetype nameSize);
QString nameRestProblem(qsizetype restSize, qsizetype nameSize);

// Hands out the bytes of the image to hidden runs, refusing a run that would
// cover a form field, a travel time or a byte another run has.
class HiddenClaims
{
  public:
    // "" when the run may have its bytes; otherwise why not.
    QString claim(int offset, qsizetype size);

  private:
    std::bitset<FormStore::kSize> m_taken;
};

} // namespace frm
