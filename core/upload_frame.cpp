// Building and decoding the upload frame.
#include "core/upload_frame.h"

#include <memory>

namespace upload_frame {

namespace {

std::uint8_t byteAt(QByteArrayView bytes, qsizetype i)
{
    return static_cast<std::uint8_t>(bytes[i]);
}

QString hexByte(std::uint8_t b)
{
    return QStringLiteral("0x") + QString::number(uint(b), 16).rightJustified(2, u'0').toUpper();
}

} // namespace

QByteArray build(QByteArrayView bank0)
{
    Q_ASSERT(bank0.size() == form_layout::kBankSize);
    QByteArray frame(kFrameSize, '\0');
    frame[0] = static_cast<char>(kStartByte);
    frame[1] = static_cast<char>(kHeaderByte);
    for (qsizetype i = 0; i < form_layout::kBankSize && i < bank0.size(); ++i) {
        const std::uint8_t b = byteAt(bank0, i);
        frame[kHeaderSize + i] = static_cast<char>(b == kStartByte ? kFullOnWire : b);
    }
    return frame;
}

std::optional<Programme> decode(QByteArrayView frame, QString *problem)
{
    auto fail = [problem](const QString &why) -> std::optional<Programme> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    if (frame.size() != kFrameSize)
        return fail(QStringLiteral("%1 bytes instead of %2").arg(frame.size()).arg(kFrameSize));
    if (byteAt(frame, 0) != kStartByte)
        return fail(QStringLiteral("first byte %1 instead of 0xFF").arg(hexByte(byteAt(frame, 0))));
    if (byteAt(frame, 1) != kHeaderByte)
        return fail(
            QStringLiteral("second byte %1 instead of 0xF0").arg(hexByte(byteAt(frame, 1))));
    for (qsizetype i = kHeaderSize; i < frame.size(); ++i) {
        if (byteAt(frame, i) == kStartByte)
            return fail(QStringLiteral("a start byte 0xFF inside the data at offset %1").arg(i));
    }

    // The store's own decoding reads the slots, so the two can never disagree.
    auto store = std::make_unique<FormStore>();
    QByteArray image(form_layout::kImageSize, '\0');
    image.replace(0, form_layout::kBankSize, frame.sliced(kHeaderSize).toByteArray());
    // The image was made at the store's size just above: the store takes it.
    const bool whole = store->replaceImage(image);
    Q_ASSERT(whole);

    Programme programme;
    // The frame carries every slot of bank 0, but a programme ends at the last form.
    for (int slot = 0; slot < form_layout::kForms; ++slot) {
        const FountainForm form = store->ReadForm(slot);
        if (form.isCoda()) {
            programme.codaSlot = slot;
            break;
        }
        programme.forms.append(form);
    }
    return programme;
}

QList<Reader::Event> Reader::feed(QByteArrayView bytes)
{
    QList<Event> events;
    for (const char c : bytes) {
        if (static_cast<std::uint8_t>(c) == kStartByte)
            closeChunk(events);
        if (m_chunk.size() < kFrameSize)
            m_chunk.append(c);
        ++m_count;
        const bool framed = m_chunk.size() >= kHeaderSize &&
                            static_cast<std::uint8_t>(m_chunk[0]) == kStartByte &&
                            static_cast<std::uint8_t>(m_chunk[1]) == kHeaderByte;
        if (framed && m_count == kFrameSize) {
            events.append({Event::Kind::Frame, m_chunk, {}});
            m_chunk.clear();
            m_count = 0;
        }
    }
    return events;
}

QList<Reader::Event> Reader::idle()
{
    QList<Event> events;
    closeChunk(events);
    return events;
}

void Reader::closeChunk(QList<Event> &events)
{
    if (m_count == 0)
        return;
    Event e;
    e.bytes = m_chunk;
    if (static_cast<std::uint8_t>(m_chunk[0]) != kStartByte) {
        e.kind = Event::Kind::Malformed;
        e.what = QStringLiteral("%1 bytes outside a frame").arg(m_count);
    } else if (m_chunk.size() >= kHeaderSize &&
               static_cast<std::uint8_t>(m_chunk[1]) != kHeaderByte) {
        e.kind = Event::Kind::Malformed;
        e.what = QStringLiteral("second byte %1 instead of 0xF0, %2 bytes")
                     .arg(hexByte(static_cast<std::uint8_t>(m_chunk[1])))
                     .arg(m_count);
    } else {
        e.kind = Event::Kind::CutShort;
        e.what = QStringLiteral("cut short after %1 of %2 bytes").arg(m_count).arg(kFrameSize);
    }
    events.append(e);
    m_chunk.clear();
    m_count = 0;
}

} // namespace upload_frame
