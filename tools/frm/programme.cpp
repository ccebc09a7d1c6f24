// Where the readable fields lie in the image, and the runs of everything else.
#include "tools/frm/programme.h"

#include "core/cp1251.h"

#include <algorithm>
#include <limits>

using namespace form_layout;

namespace {

constexpr int kByteMax = std::numeric_limits<std::uint8_t>::max();
// A run of hidden bytes ends after this many zero bytes in a row: sparse bytes
// then give short runs instead of long ones full of zeros.
constexpr int kZeroGap = 8;

// Offsets of a form slot's bytes: level of valve v (0..7), and plane p of the
// detail area; and the travel time of valve v (0..7).
int levelAt(int slot, int valve)
{
    return levelByte(levelIndex(kFormBank, slot), valve + 1);
}
int detailAt(int slot, int plane)
{
    return detailByte(nameIndex(levelIndex(kFormBank, slot)), plane);
}
int travelAt(int valve)
{
    return travelTimeByte(valve + 1);
}

std::uint8_t byteAt(const QByteArray &image, int offset)
{
    return std::uint8_t(image[offset]);
}

} // namespace

namespace frm {

Form readForm(const QByteArray &image, int slot)
{
    Form form;
    for (int v = 0; v < kValves; ++v)
        form.levels[v] = byteAt(image, levelAt(slot, v));
    const int stored = byteAt(image, detailAt(slot, kNameLengthPlane));
    const int length = std::min(stored, kMaxNameLength);
    if (stored > kMaxNameLength)
        form.lengthByte = stored;
    for (int c = 1; c <= kMaxNameLength; ++c)
        (c <= length ? form.name : form.nameRest).append(image[detailAt(slot, nameCharPlane(c))]);
    while (form.nameRest.endsWith('\0'))
        form.nameRest.chop(1);
    form.holdMin = byteAt(image, detailAt(slot, kHoldMinPlane));
    form.holdSec = byteAt(image, detailAt(slot, kHoldSecPlane));
    return form;
}

TravelTimes travelTimes(const QByteArray &image)
{
    TravelTimes t{};
    for (int v = 0; v < kValves; ++v)
        t[v] = byteAt(image, travelAt(v));
    return t;
}

Programme split(const QByteArray &image)
{
    Programme p;
    for (int slot = 0; slot < kForms; ++slot)
        p.forms[slot] = readForm(image, slot);
    p.travel = travelTimes(image);
    int i = 0;
    while (i < kImageSize) {
        if (isReadable(i) || image[i] == '\0') {
            ++i;
            continue;
        }
        int last = i; // the run's last non-zero byte
        for (int j = i + 1;
             j < kImageSize && j - i < kMaxHiddenRun && !isReadable(j) && j - last <= kZeroGap;
             ++j) {
            if (image[j] != '\0')
                last = j;
        }
        p.hidden.append({i, image.mid(i, last - i + 1)});
        i = last + 1;
    }
    return p;
}

QByteArray join(const Programme &p)
{
    QByteArray image(kImageSize, '\0');
    for (const HiddenRun &run : p.hidden)
        std::copy(run.bytes.begin(), run.bytes.end(), image.begin() + run.offset);
    for (int slot = 0; slot < kForms; ++slot) {
        const Form &f = p.forms[slot];
        for (int v = 0; v < kValves; ++v)
            image[levelAt(slot, v)] = char(f.levels[v]);
        const QByteArray chars = (f.name + f.nameRest).leftJustified(kMaxNameLength, '\0', true);
        image[detailAt(slot, kNameLengthPlane)] =
            char(f.lengthByte >= 0 ? f.lengthByte : int(f.name.size()));
        for (int c = 1; c <= kMaxNameLength; ++c)
            image[detailAt(slot, nameCharPlane(c))] = chars[c - 1];
        image[detailAt(slot, kHoldMinPlane)] = char(f.holdMin);
        image[detailAt(slot, kHoldSecPlane)] = char(f.holdSec);
    }
    for (int v = 0; v < kValves; ++v)
        image[travelAt(v)] = char(p.travel[v]);
    return image;
}

int codaSlot(const QByteArray &image)
{
    for (int slot = 0; slot < kForms; ++slot) {
        if (image[detailAt(slot, kHoldMinPlane)] == '\0' &&
            image[detailAt(slot, kHoldSecPlane)] == '\0')
            return slot;
    }
    return -1;
}

QString holdText(int minutes, int seconds)
{
    return QStringLiteral("%1:%2").arg(minutes).arg(seconds, 2, 10, QLatin1Char('0'));
}

QString nameText(const QByteArray &name)
{
    return cp1251::decode(name);
}

bool isPrintableName(const QByteArray &name)
{
    const QString text = nameText(name);
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isPrint(); });
}

bool isReadable(int offset)
{
    // In the forms' bank, every plane's halves have one byte per slot.
    if (offset / kBankSize == kFormBank)
        return offset % kSlots < kForms;
    return offset >= travelTimeByte(1) && offset % kPlaneSize == travelTimeByte(1) % kPlaneSize;
}

QString describeOffset(int offset)
{
    if (offset < 0 || offset >= kImageSize)
        return QStringLiteral("past the end of the file");
    if (offset / kBankSize != kFormBank) {
        if (isReadable(offset))
            return QStringLiteral("the travel time of valve %1")
                .arg((offset - travelTimeByte(1)) / kPlaneSize + 1);
        return QStringLiteral("bank %1").arg(offset / kBankSize);
    }
    const int slot = offset % kSlots;
    const int plane = offset % kBankSize / kPlaneSize;
    if (slot >= kForms)
        return QStringLiteral("slot %1 of bank %2, past form %3")
            .arg(slot)
            .arg(kFormBank)
            .arg(kForms);
    const int form = slot + 1;
    if (offset % kPlaneSize < kSlots)
        return QStringLiteral("jet %1 of form %2").arg(plane + 1).arg(form);
    if (plane == kNameLengthPlane)
        return QStringLiteral("the name length of form %1").arg(form);
    if (plane <= nameCharPlane(kMaxNameLength))
        return QStringLiteral("name character %1 of form %2").arg(plane).arg(form);
    return QStringLiteral("the hold %1 of form %2")
        .arg(plane == kHoldMinPlane ? QStringLiteral("minutes") : QStringLiteral("seconds"))
        .arg(form);
}

QString lengthByteProblem(int lengthByte, qsizetype nameSize)
{
    if (lengthByte <= kMaxNameLength || lengthByte > kByteMax)
        return QStringLiteral("%1 is not in %2..%3 (a length up to %4 is the name's own)")
            .arg(lengthByte)
            .arg(kMaxNameLength + 1)
            .arg(kByteMax)
            .arg(kMaxNameLength);
    if (nameSize != kMaxNameLength)
        return QStringLiteral("a stored length above %1 needs a name of %1 characters, not %2")
            .arg(kMaxNameLength)
            .arg(nameSize);
    return {};
}

QString nameRestProblem(qsizetype restSize, qsizetype nameSize)
{
    if (restSize + nameSize > kMaxNameLength)
        return QStringLiteral("%1 bytes do not fit after a name of %2 characters (room for %3)")
            .arg(restSize)
            .arg(nameSize)
            .arg(kMaxNameLength - nameSize);
    return {};
}

QString HiddenClaims::claim(int offset, qsizetype size)
{
    if (size == 0)
        return QStringLiteral("no bytes");
    if (offset < 0 || offset + size > kImageSize)
        return QStringLiteral("bytes %1..%2 run past the end of the file (%3 bytes)")
            .arg(offset)
            .arg(offset + size - 1)
            .arg(kImageSize);
    for (int i = offset; i < offset + size; ++i) {
        if (isReadable(i))
            return QStringLiteral("byte %1 is %2; give it there, not as a hidden byte")
                .arg(i)
                .arg(describeOffset(i));
        if (m_taken[std::size_t(i)])
            return QStringLiteral("byte %1 is already given by an earlier hidden entry").arg(i);
    }
    for (int i = offset; i < offset + size; ++i)
        m_taken[std::size_t(i)] = true;
    return {};
}

} // namespace frm
