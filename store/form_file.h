// The form file: the 8192-byte image of the form store, no header. Failures
// raise EInOutError with the code the operator's message comes from.
#pragma once

#include <QByteArray>
#include <QString>

namespace formfile {

constexpr qsizetype kFileSize = 8192;
constexpr qsizetype kRecordSize = 128; // the file is 64 records of this size

// The file's 8192 bytes. Needs only read access. Throws EInOutError (2, 3,
// 4, 5, 100 for a shorter file, kNotAFormFile for a longer one, or another code).
QByteArray read(const QString &fileName);

// Whether a start-up should try the name: a file is there, or a link that
// cannot be followed to its end (whose failure is then reported).
bool isThere(const QString &fileName);

// Replaces the file with image (8192 bytes) through a temporary file, so a
// failed write leaves the old file whole. A file without any write permission
// counts as read-only and is refused with code 5, even for the superuser.
void write(const QString &fileName, const QByteArray &image);

} // namespace formfile
