// Encoding of forms in the store: per slot, one byte in each of the eight planes
// of the level area and of the detail area.
#include "core/form_store.h"

#include "core/cp1251.h"

#include <algorithm>

using namespace form_layout;

SlotAddress FormStore::UstAdrBufer(int slot) const
{
    const int level = levelIndex(activeBank(), slot);
    return {level, nameIndex(level)};
}

FountainForm FormStore::ReadForm(int slot) const
{
    const SlotAddress a = UstAdrBufer(slot);
    FountainForm form;
    for (int v = 0; v < kValves; ++v)
        form.levels[v] = at(levelByte(a.level, v + 1));
    const int length = std::min<int>(at(detailByte(a.name, kNameLengthPlane)), kMaxNameLength);
    QByteArray raw;
    for (int c = 1; c <= length; ++c)
        raw.append(char(at(detailByte(a.name, nameCharPlane(c)))));
    form.name = cp1251::decode(raw);
    form.holdMin = at(detailByte(a.name, kHoldMinPlane));
    form.holdSek = at(detailByte(a.name, kHoldSecPlane));
    return form;
}

void FormStore::WriteForm(int slot, const FountainForm &form)
{
    const SlotAddress a = UstAdrBufer(slot);
    for (int v = 0; v < kValves; ++v)
        set(levelByte(a.level, v + 1), form.levels[v]);
    const QByteArray raw = cp1251::encode(form.name).left(kMaxNameLength);
    set(detailByte(a.name, kNameLengthPlane), std::uint8_t(raw.size()));
    // Character bytes beyond the name's length are left as they were.
    for (int c = 1; c <= raw.size(); ++c)
        set(detailByte(a.name, nameCharPlane(c)), std::uint8_t(raw[c - 1]));
    set(detailByte(a.name, kHoldMinPlane), form.holdMin);
    set(detailByte(a.name, kHoldSecPlane), form.holdSek);
}

void FormStore::MarkCoda(int slot)
{
    const SlotAddress a = UstAdrBufer(slot);
    set(detailByte(a.name, kHoldMinPlane), 0);
    set(detailByte(a.name, kHoldSecPlane), 0);
}

TravelTimes FormStore::ReadZadv() const
{
    TravelTimes t{};
    for (int v = 0; v < kValves; ++v)
        t[v] = at(travelTimeByte(v + 1));
    return t;
}

void FormStore::writeTravelTimes(const TravelTimes &seconds)
{
    for (int v = 0; v < kValves; ++v)
        writeTravelTime(v + 1, seconds[v]);
}

void FormStore::writeTravelTime(int valve, std::uint8_t seconds)
{
    set(travelTimeByte(valve), seconds);
}

void FormStore::ClearStore()
{
    m_bytes.fill(0);
}

void FormStore::copySlot(int from, int to)
{
    const SlotAddress f = UstAdrBufer(from);
    const SlotAddress t = UstAdrBufer(to);
    for (int p = 0; p < kPlanes; ++p) {
        set(planeByte(t.level, p), at(planeByte(f.level, p)));
        set(planeByte(t.name, p), at(planeByte(f.name, p)));
    }
}

void FormStore::insertSlot(int slot)
{
    for (int s = kListLastSlot - 1; s > slot; --s)
        copySlot(s - 1, s);
}

void FormStore::deleteSlot(int slot)
{
    for (int s = slot; s < kListLastSlot; ++s)
        copySlot(s + 1, s);
}

QByteArray FormStore::image() const
{
    return QByteArray(reinterpret_cast<const char *>(m_bytes.data()), kImageSize);
}

bool FormStore::replaceImage(const QByteArray &bytes)
{
    if (bytes.size() != kImageSize)
        return false;
    std::copy(bytes.begin(), bytes.end(), m_bytes.begin());
    return true;
}

QByteArray FormStore::bank0Image() const
{
    return QByteArray(reinterpret_cast<const char *>(m_bytes.data()), kBankSize);
}
