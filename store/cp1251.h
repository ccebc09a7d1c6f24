// The one place where text meets the single-byte Windows-1251 code page used by
// form names and the settings file.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace cp1251 {

// A character the code page cannot hold becomes '?'.
QByteArray encode(const QString &text);
char encodeChar(QChar c);
QString decode(QByteArrayView bytes);
QChar decodeChar(unsigned char byte);

} // namespace cp1251
