// Encoding of forms in the store: per slot, one byte in each of the eight planes
// of the level area and of the detail area.
#include "core/form_store.h"

#include "core/cp1251.h"

#include <algorithm>

SlotAddress FormStore::UstAdrBufer(int slot) const
{
    const int level = activeBank() * kBankSize + slot;
    return {level, level + kSlots};
}

FountainForm FormStore::ReadForm(int slot) const
{
    const SlotAddress a = UstAdrBufer(slot);
    FountainForm form;
    for (int v = 0; v < kValves; ++v)
        form.levels[v] = at(a.level + v * kPlaneSize);
    const int length = std::min<int>(at(a.name), kMaxNameLength);
    QByteArray raw;
    for (int c = 1; c <= length; ++c)
        raw.append(char(at(a.name + c * kPlaneSize)));
    form.name = cp1251::decode(raw);
    form.holdMin = at(a.name + 6 * kPlaneSize);
    form.holdSek = at(a.name + 7 * kPlaneSize);
    return form;
}

void FormStore::WriteForm(int slot, const FountainForm &form)
{
    const SlotAddress a = UstAdrBufer(slot);
    for (int v = 0; v < kValves; ++v)
        set(a.level + v * kPlaneSize, form.levels[v]);
    const QByteArray raw = cp1251::encode(form.name).left(kMaxNameLength);
    set(a.name, std::uint8_t(raw.size()));
    // Character bytes beyond the name's length are left as they were.
    for (int c = 1; c <= raw.size(); ++c)
        set(a.name + c * kPlaneSize, std::uint8_t(raw[c - 1]));
    set(a.name + 6 * kPlaneSize, form.holdMin);
    set(a.name + 7 * kPlaneSize, form.holdSek);
}

void FormStore::MarkCoda(int slot)
{
    const SlotAddress a = UstAdrBufer(slot);
    set(a.name + 6 * kPlaneSize, 0);
    set(a.name + 7 * kPlaneSize, 0);
}

std::array<std::uint8_t, 8> FormStore::ReadZadv() const
{
    std::array<std::uint8_t, 8> t{};
    for (int v = 0; v < kValves; ++v)
        t[v] = at(kTravelTimeBase + v * kPlaneSize);
    return t;
}

void FormStore::writeTravelTimes(const std::array<std::uint8_t, 8> &seconds)
{
    for (int v = 0; v < kValves; ++v)
        writeTravelTime(v + 1, seconds[v]);
}

void FormStore::writeTravelTime(int valve, std::uint8_t seconds)
{
    set(kTravelTimeBase + (valve - 1) * kPlaneSize, seconds);
}

void FormStore::ClearStore()
{
    m_bytes.fill(0);
}

void FormStore::insertSlot(int slot)
{
    const int base = activeBank() * kBankSize;
    for (int plane = 0; plane < kValves; ++plane) {
        for (int area : {0, kSlots}) {
            const int first = base + plane * kPlaneSize + area;
            for (int s = kListLastSlot - 1; s > slot; --s)
                set(first + s, at(first + s - 1));
        }
    }
}

void FormStore::deleteSlot(int slot)
{
    const int base = activeBank() * kBankSize;
    for (int plane = 0; plane < kValves; ++plane) {
        for (int area : {0, kSlots}) {
            const int first = base + plane * kPlaneSize + area;
            for (int s = slot; s < kListLastSlot; ++s)
                set(first + s, at(first + s + 1));
        }
    }
}

QByteArray FormStore::image() const
{
    return QByteArray(reinterpret_cast<const char *>(m_bytes.data()), kSize);
}

bool FormStore::replaceImage(const QByteArray &bytes)
{
    if (bytes.size() != kSize)
        return false;
    std::copy(bytes.begin(), bytes.end(), m_bytes.begin());
    return true;
}

QByteArray FormStore::bank0Image() const
{
    return QByteArray(reinterpret_cast<const char *>(m_bytes.data()), kBankSize);
}
