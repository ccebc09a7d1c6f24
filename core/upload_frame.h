// The upload frame that carries bank 0 of the form store to the form shaper:
// building it from the bank, and taking it apart again on the receiving side
// (the frame monitor, the tests).
#pragma once

#include "core/form_store.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

namespace upload_frame {

inline constexpr std::uint8_t kStartByte = 0xFF;  // begins a frame, and nothing else does
inline constexpr std::uint8_t kHeaderByte = 0xF0; // the second byte of every frame
inline constexpr std::uint8_t kFullOnWire = 0xFE; // how a data byte 0xFF travels
inline constexpr int kHeaderSize = 2;
inline constexpr int kFrameSize = kHeaderSize + form_layout::kBankSize; // 2050

// The frame for a bank 0 image of form_layout::kBankSize bytes: the two header
// bytes, then the bank with every 0xFF sent as 0xFE. Only the frame is changed;
// the bank (and so the store and the form file) keeps its 255s.
[[nodiscard]] QByteArray build(QByteArrayView bank0);

// The programme a frame carries, as the controller would run it.
struct Programme
{
    // Slots 0.. up to, not including, the first coda mark; all the forms'
    // slots (form_layout::kForms) without one.
    QList<FountainForm> forms;
    int codaSlot = -1; // the first coda mark's slot; -1 when none of them is one
};

// Decodes a whole frame; nullopt with a reason in *problem when it is not one.
[[nodiscard]] std::optional<Programme> decode(QByteArrayView frame, QString *problem = nullptr);

// Cuts a byte stream from the line into frames. A start byte ends whatever
// came before it, so a frame cut short shows up when the next one begins, or
// when the line goes quiet (idle()).
class Reader
{
  public:
    struct Event
    {
        enum class Kind {
            Frame,    // a complete frame in `bytes`
            CutShort, // a frame that stopped before its 2050th byte
            Malformed // bytes that cannot be a frame
        };
        Kind kind = Kind::Frame;
        QByteArray bytes; // the frame; for the others, at most its first kFrameSize bytes
        QString what;     // what was wrong, for CutShort and Malformed
    };

    [[nodiscard]] QList<Event> feed(QByteArrayView bytes);
    [[nodiscard]] QList<Event> idle();
    [[nodiscard]] bool inChunk() const { return m_count > 0; }

  private:
    void closeChunk(QList<Event> &events);

    QByteArray m_chunk; // the bytes since the last start byte, or stray bytes before one
    qint64 m_count = 0; // how many bytes the chunk really had; m_chunk keeps a bounded part
};

} // namespace upload_frame
