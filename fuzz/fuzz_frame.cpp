// Fuzzes the frame monitor's decoder: upload_frame::decode and Reader on
// arbitrary bytes (random, truncated, with 0xFF anywhere) and on frames built
// from the input. Besides crashes and sanitizer reports it checks that:
// - decode accepts exactly the well-formed frames, and its programme ends at
//   its coda mark;
// - the Reader cuts a stream the same way however it is split into reads,
//   and every frame it reports decodes;
// - a built frame decodes, comes out of the Reader whole, and any prefix of
//   it is reported as cut short.
#include "core/upload_frame.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

using upload_frame::Reader;

[[noreturn]] void failed(const char *what)
{
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}

bool wellFormed(QByteArrayView bytes)
{
    if (bytes.size() != upload_frame::kFrameSize || std::uint8_t(bytes[0]) != 0xFF ||
        std::uint8_t(bytes[1]) != 0xF0)
        return false;
    return !bytes.sliced(upload_frame::kHeaderSize).contains(char(0xFF));
}

QList<Reader::Event> readAll(QByteArrayView bytes, qsizetype piece)
{
    Reader reader;
    QList<Reader::Event> events;
    for (qsizetype at = 0; at < bytes.size(); at += piece)
        events += reader.feed(bytes.sliced(at, std::min(piece, bytes.size() - at)));
    return events + reader.idle();
}

bool same(const QList<Reader::Event> &a, const QList<Reader::Event> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].kind != b[i].kind || a[i].bytes != b[i].bytes || a[i].what != b[i].what)
            return false;
    return true;
}

void checkDecode(QByteArrayView bytes)
{
    const auto programme = upload_frame::decode(bytes);
    if (programme.has_value() != wellFormed(bytes))
        failed("decode accepts a malformed frame or refuses a good one");
    if (programme && programme->codaSlot != -1 && programme->codaSlot != programme->forms.size())
        failed("the programme does not end at its coda mark");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    checkDecode(input);

    const QList<Reader::Event> whole = readAll(input, qMax<qsizetype>(1, input.size()));
    const qsizetype piece = size > 0 ? 1 + data[0] % 97 : 1;
    if (!same(whole, readAll(input, piece)))
        failed("the Reader depends on how the stream is split");
    for (const Reader::Event &e : whole) {
        if (e.bytes.isEmpty() || e.bytes.size() > upload_frame::kFrameSize)
            failed("an event without bytes or with too many");
        if (e.kind == Reader::Event::Kind::Frame && !upload_frame::decode(e.bytes))
            failed("a frame the Reader reports does not decode");
    }

    // The input as bank 0, 0xFF bytes and all, in a frame cut where it says.
    QByteArray bank = input.toByteArray().left(form_layout::kBankSize);
    bank.append(form_layout::kBankSize - bank.size(), '\0');
    const QByteArray frame = upload_frame::build(bank);
    if (!upload_frame::decode(frame))
        failed("a built frame does not decode");
    const QList<Reader::Event> one = readAll(frame, piece);
    if (one.size() != 1 || one[0].kind != Reader::Event::Kind::Frame || one[0].bytes != frame)
        failed("a built frame does not come out of the Reader whole");
    const qsizetype cut = size > 1 ? 1 + (data[1] * 8 + size) % (upload_frame::kFrameSize - 1) : 1;
    const QList<Reader::Event> shortened = readAll(QByteArrayView(frame).first(cut), piece);
    if (shortened.size() != 1 || shortened[0].kind != Reader::Event::Kind::CutShort ||
        shortened[0].bytes != frame.left(cut))
        failed("a truncated frame is not reported as cut short");
    checkDecode(QByteArrayView(frame).first(cut));
    return 0;
}
