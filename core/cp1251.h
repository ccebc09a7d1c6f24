// The one place where text meets the single-byte Windows-1251 code page used by
// form names and the settings file.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace cp1251 {

// A character the code page cannot hold becomes '?'.
QByteArray encode(const QString &text);
// Whether the code page holds every character of text, so that encode loses
// nothing: where text is typed or read, any other is refused.
[[nodiscard]] bool encodable(QStringView text);
char encodeChar(QChar c);
QString decode(QByteArrayView bytes);
QChar decodeChar(unsigned char byte);

} // namespace cp1251
