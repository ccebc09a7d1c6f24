// A form file seen as a person edits it: the hundred forms the editor reaches
// and the eight valve travel times, plus every other byte of the image kept
// as it is, so that a text copy gives back the same file byte for byte.
#pragma once

#include "core/form_layout.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <bitset>
#include <cstdint>

namespace frm {

// The file's layout, by the names the store uses.
using form_layout::kForms;
using form_layout::kImageSize;
using form_layout::kMaxHold;
using form_layout::kMaxNameLength;
using form_layout::kMaxTravel;
using form_layout::kMinTravel;
using form_layout::kValves;
using form_layout::percent;

constexpr int kMaxHiddenRun = 32; // bytes per hidden run in a text copy

// One form slot's sixteen bytes.
struct Form
{
    JetLevels levels{};
    QByteArray name;     // the name as the editor reads it, Windows-1251, at most 5 bytes
    int lengthByte = -1; // the stored length when it is above 5; -1: the name's own length
    QByteArray nameRest; // character bytes stored after the name, trailing zero bytes dropped
    std::uint8_t holdMin = 0;
    std::uint8_t holdSec = 0;

    [[nodiscard]] bool isCoda() const { return holdMin == 0 && holdSec == 0; }
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
    TravelTimes travel{};
    // Runs of the remaining bytes; a byte in no run is zero.
    QList<HiddenRun> hidden;
};

// image has kImageSize bytes.
Programme split(const QByteArray &image);
// Form names, rests and runs must be as the checks below allow.
QByteArray join(const Programme &programme);

// The slot of the first coda mark among forms 1..100, -1 when there is none.
int codaSlot(const QByteArray &image);
Form readForm(const QByteArray &image, int slot);
TravelTimes travelTimes(const QByteArray &image);

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
    std::bitset<kImageSize> m_taken;
};

} // namespace frm
