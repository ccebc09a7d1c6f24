// The form store: the one array holding every fountain form and the eight
// valve travel times, laid out as core/form_layout.h describes. Its image is
// the form file; bank 0 is the block sent to the controller.
#pragma once

#include "core/form_layout.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

// One fountain form as the store's operations exchange it.
struct FountainForm
{
    JetLevels levels{};
    QString name; // at most form_layout::kMaxNameLength characters reach the store
    std::uint8_t holdMin = 0;
    std::uint8_t holdSek = 0;

    [[nodiscard]] bool isCoda() const { return holdMin == 0 && holdSek == 0; }
    friend bool operator==(const FountainForm &, const FountainForm &) = default;
};

// Where a slot's bytes lie: L is its level byte in plane 0, N its name length byte.
struct SlotAddress
{
    int level = 0;
    int name = 0;
};

class FormStore
{
  public:
    // The list operations move slots within 0..kListLastSlot.
    static constexpr int kListLastSlot = 102;

    FormStore() = default;
    FormStore(const FormStore &) = delete;
    FormStore &operator=(const FormStore &) = delete;

    [[nodiscard]] int activeBank() const { return form_layout::kFormBank; }
    [[nodiscard]] SlotAddress UstAdrBufer(int slot) const;

    [[nodiscard]] FountainForm ReadForm(int slot) const;
    void WriteForm(int slot, const FountainForm &form);
    void MarkCoda(int slot);

    [[nodiscard]] TravelTimes ReadZadv() const;
    void writeTravelTimes(const TravelTimes &seconds);
    void writeTravelTime(int valve, std::uint8_t seconds); // valve 1..8

    void ClearStore();

    // Slots n..100 move up one place (101 is lost, n stays); inverse of deleteSlot.
    void insertSlot(int slot);
    // Slots n+1..102 move down one place (n is lost, 102 stays).
    void deleteSlot(int slot);

    [[nodiscard]] std::uint8_t at(int index) const
    {
        return m_bytes.at(static_cast<std::size_t>(index));
    }
    void set(int index, std::uint8_t value) { m_bytes.at(static_cast<std::size_t>(index)) = value; }

    [[nodiscard]] QByteArray image() const;
    // Replaces the whole image; anything but exactly form_layout::kImageSize
    // bytes is refused, and the store is left as it was.
    [[nodiscard]] bool replaceImage(const QByteArray &bytes);
    [[nodiscard]] QByteArray bank0Image() const;

  private:
    // The slot's sixteen bytes, level and detail, over those of slot to.
    void copySlot(int from, int to);

    std::array<std::uint8_t, form_layout::kImageSize> m_bytes{};
};
