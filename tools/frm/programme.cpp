// Where the readable fields lie in the image, and the runs of everything else.
#include "tools/frm/programme.h"

#include "core/cp1251.h"

#include <algorithm>

namespace {

constexpr int kPlane = FormStore::kPlaneSize;
constexpr int kSlots = FormStore::kSlots;
constexpr int kBank = FormStore::kBankSize;
constexpr int kSize = FormStore::kSize;
constexpr int kMaxName = FormStore::kMaxNameLength;
// A run of hidden bytes ends after this many zero bytes in a row: sparse bytes
// then give short runs instead of long ones full of zeros.
constexpr int kZeroGap = 8;

// Offsets of a slot's bytes in bank 0: level of valve v, and plane p of the detail area.
int levelAt(int slot, int valve)
{
    return valve * kPlane + slot;
}
int detailAt(int slot, int plane)
{
    return kSlots + slot + plane * kPlane;
}
int travelAt(int valve)
{
    return FormStore::kTravelTimeBase + valve * kPlane;
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
    const int stored = byteAt(image, detailAt(slot, 0));
    const int length = std::min(stored, kMaxName);
    if (stored > kMaxName)
        form.lengthByte = stored;
    for (int c = 1; c <= kMaxName; ++c)
        (c <= length ? form.name : form.nameRest).append(image[detailAt(slot, c)]);
    while (form.nameRest.endsWith('\0'))
        form.nameRest.chop(1);
    form.holdMin = byteAt(image, detailAt(slot, 6));
    form.holdSec = byteAt(image, detailAt(slot, 7));
    return form;
}

std::array<std::uint8_t, kValves> travelTimes(const QByteArray &image)
{
    std::array<std::uint8_t, kValves> t{};
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
    while (i < kSize) {
        if (isReadable(i) || image[i] == '\0') {
            ++i;
            continue;
        }
        int last = i; // the run's last non-zero byte
        for (int j = i + 1;
             j < kSize && j - i < kMaxHiddenRun && !isReadable(j) && j - last <= kZeroGap; ++j) {
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
    QByteArray image(kSize, '\0');
    for (const HiddenRun &run : p.hidden)
        std::copy(run.bytes.begin(), run.bytes.end(), image.begin() + run.offset);
    for (int slot = 0; slot < kForms; ++slot) {
        const Form &f = p.forms[slot];
        for (int v = 0; v < kValves; ++v)
            image[levelAt(slot, v)] = char(f.levels[v]);
        const QByteArray chars = (f.name + f.nameRest).leftJustified(kMaxName, '\0', true);
        image[detailAt(slot, 0)] = char(f.lengthByte >= 0 ? f.lengthByte : int(f.name.size()));
        for (int c = 1; c <= kMaxName; ++c)
            image[detailAt(slot, c)] = chars[c - 1];
        image[detailAt(slot, 6)] = char(f.holdMin);
        image[detailAt(slot, 7)] = char(f.holdSec);
    }
    for (int v = 0; v < kValves; ++v)
        image[travelAt(v)] = char(p.travel[v]);
    return image;
}

int codaSlot(const QByteArray &image)
{
    for (int slot = 0; slot < kForms; ++slot) {
        if (image[detailAt(slot, 6)] == '\0' && image[detailAt(slot, 7)] == '\0')
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
    if (offset < kBank)
        return offset % kSlots < kForms;
    return offset >= FormStore::kTravelTimeBase &&
           offset % kPlane == FormStore::kTravelTimeBase % kPlane;
}

QString describeOffset(int offset)
{
    if (offset < 0 || offset >= kSize)
        return QStringLiteral("past the end of the file");
    if (offset >= kBank) {
        if (isReadable(offset))
            return QStringLiteral("the travel time of valve %1")
                .arg((offset - FormStore::kTravelTimeBase) / kPlane + 1);
        return QStringLiteral("bank %1").arg(offset / kBank);
    }
    const int slot = offset % kSlots;
    const int plane = offset / kPlane;
    if (slot >= kForms)
        return QStringLiteral("slot %1 of bank 0, past form 100").arg(slot);
    const int form = slot + 1;
    if (offset % kPlane < kSlots)
        return QStringLiteral("jet %1 of form %2").arg(plane + 1).arg(form);
    if (plane == 0)
        return QStringLiteral("the name length of form %1").arg(form);
    if (plane <= kMaxName)
        return QStringLiteral("name character %1 of form %2").arg(plane).arg(form);
    return QStringLiteral("the hold %1 of form %2")
        .arg(plane == 6 ? QStringLiteral("minutes") : QStringLiteral("seconds"))
        .arg(form);
}

QString lengthByteProblem(int lengthByte, qsizetype nameSize)
{
    if (lengthByte <= kMaxName || lengthByte > 255)
        return QStringLiteral("%1 is not in 6..255 (a length up to 5 is the name's own)")
            .arg(lengthByte);
    if (nameSize != kMaxName)
        return QStringLiteral("a stored length above 5 needs a name of 5 characters, not %1")
            .arg(nameSize);
    return {};
}

QString nameRestProblem(qsizetype restSize, qsizetype nameSize)
{
    if (restSize + nameSize > kMaxName)
        return QStringLiteral("%1 bytes do not fit after a name of %2 characters (room for %3)")
            .arg(restSize)
            .arg(nameSize)
            .arg(kMaxName - nameSize);
    return {};
}

QString HiddenClaims::claim(int offset, qsizetype size)
{
    if (size == 0)
        return QStringLiteral("no bytes");
    if (offset < 0 || offset + size > kSize)
        return QStringLiteral("bytes %1..%2 run past the end of the file (8192 bytes)")
            .arg(offset)
            .arg(offset + size - 1);
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
