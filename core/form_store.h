// The form store: the one 8192-byte array holding every fountain form and the
// eight valve travel times. Its image is the form file; bank 0 is the block
// sent to the controller.
#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

using JetLevels = std::array<std::uint8_t, 8>; // valves 1..8, 0 = no jet, 255 = full height

// The editor's valve bars stand upside down: position 0, at the top, is a full
// jet. The store keeps the jet level, never the position.
constexpr std::uint8_t jetLevelOfBar(int position)
{
    return std::uint8_t(255 - position);
}
constexpr int barOfJetLevel(std::uint8_t level)
{
    return 255 - level;
}

// One fountain form as the store's operations exchange it.
struct FountainForm
{
    JetLevels levels{};
    QString name; // at most 5 characters reach the store
    std::uint8_t holdMin = 0;
    std::uint8_t holdSek = 0;

    bool isCoda() const { return holdMin == 0 && holdSek == 0; }
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
    static constexpr int kSize = 8192;
    static constexpr int kBankSize = 2048;
    static constexpr int kPlaneSize = 256;
    static constexpr int kSlots = 128;
    static constexpr int kValves = 8;
    static constexpr int kMaxNameLength = 5;
    static constexpr int kTravelTimeBase = 6271; // slot 127 of bank 3, plane 0
    // The list operations move slots within 0..kListLastSlot.
    static constexpr int kListLastSlot = 102;

    FormStore() = default;
    FormStore(const FormStore &) = delete;
    FormStore &operator=(const FormStore &) = delete;

    int activeBank() const { return 0; }
    SlotAddress UstAdrBufer(int slot) const;

    FountainForm ReadForm(int slot) const;
    void WriteForm(int slot, const FountainForm &form);
    void MarkCoda(int slot);

    std::array<std::uint8_t, 8> ReadZadv() const;
    void writeTravelTimes(const std::array<std::uint8_t, 8> &seconds);
    void writeTravelTime(int valve, std::uint8_t seconds); // valve 1..8

    void ClearStore();

    // Slots n..100 move up one place (101 is lost, n stays); inverse of deleteSlot.
    void insertSlot(int slot);
    // Slots n+1..102 move down one place (n is lost, 102 stays).
    void deleteSlot(int slot);

    std::uint8_t at(int index) const { return m_bytes.at(static_cast<std::size_t>(index)); }
    void set(int index, std::uint8_t value) { m_bytes.at(static_cast<std::size_t>(index)) = value; }

    QByteArray image() const;
    // Replaces all 8192 bytes; anything but exactly kSize bytes is refused.
    bool replaceImage(const QByteArray &bytes);
    QByteArray bank0Image() const;

  private:
    std::array<std::uint8_t, kSize> m_bytes{};
};
