// Windows-1251 by table: fixed, complete and independent of the ICU build.
#include "core/cp1251.h"

#include <algorithm>
#include <array>

namespace {

// Code points of bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F in order.
// Byte 0x98 has no character and maps to U+0098 so that every byte survives a
// round trip.
constexpr std::array<char16_t, 64> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

} // namespace

namespace cp1251 {

QChar decodeChar(unsigned char byte)
{
    if (byte < 0x80)
        return QChar(byte);
    if (byte >= 0xC0)
        return QChar(char16_t(0x0410 + (byte - 0xC0)));
    return QChar(kHigh[byte - 0x80]);
}

char encodeChar(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return char(u);
    if (u >= 0x0410 && u <= 0x044F)
        return char(0xC0 + (u - 0x0410));
    for (std::size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] == u)
            return char(0x80 + i);
    }
    return '?';
}

QByteArray encode(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        // A surrogate pair is one character outside the code page: one '?'.
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        out.append(encodeChar(text[i]));
    }
    return out;
}

bool encodable(QStringView text)
{
    // A surrogate is half of a character outside the code page.
    return std::none_of(text.begin(), text.end(), [](QChar c) {
        return c.isSurrogate() || (encodeChar(c) == '?' && c != u'?');
    });
}

QString decode(QByteArrayView bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char b : bytes)
        out.append(decodeChar(static_cast<unsigned char>(b)));
    return out;
}

} // namespace cp1251
