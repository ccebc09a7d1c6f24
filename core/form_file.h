// The form file: the image of the form store (form_layout::kImageSize bytes),
// no header. Failures raise EInOutError with the code the operator's message
// comes from.
#pragma once

#include "core/save_file.h"

#include <QByteArray>
#include <QString>

class FormStore;

namespace formfile {

// Codes with no text of their own; the operator sees "I/O error %d".
constexpr int kWriteFault = 29;
constexpr int kReadFault = 30;

// The code of the system's last error whose text the operator sees; fallback
// where none fits. On Windows a failure without a text of its own keeps the
// system's number ("I/O error 1117"); Linux's numbers would collide with the
// codes above, so there fallback stands for them.
[[nodiscard]] int codeForSystemError(int fallback);

// The file's image, exactly form_layout::kImageSize bytes. Needs only read access. Throws
// EInOutError (2, 3, 4, 5, 100 for a shorter file, kNotAFormFile for a longer one, or another
// code).
[[nodiscard]] QByteArray read(const QString &fileName);

// The file's image into the store, whole: on any failure the store is left as
// it was and EInOutError is raised, as by read().
void load(const QString &fileName, FormStore &store);

// Whether a start-up should try the name: a file (not a folder) is there, or
// a link that cannot be followed to its end (whose failure is then reported).
[[nodiscard]] bool isThere(const QString &fileName);

// Replaces the file with image (form_layout::kImageSize bytes) through a temporary file, so a
// failed write leaves the old file whole. A file without any write permission
// counts as read-only and is refused with code 5, even for the superuser.
void write(const QString &fileName, const QByteArray &image,
           const SaveFileMaker &makeFile = makeQSaveFile);

} // namespace formfile
