// fountain-frm upload: the editor's send button from the command line.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace frm {

struct UploadLine
{
    std::optional<QString> port; // the settings file's port when not given
    std::optional<qint32> baud;  // the settings file's speed when not given
};

// Sends the frame the editor's send button sends for this form file image
// (8192 bytes) and waits until its last byte has left the line. On failure,
// false and the editor's message in *message.
bool upload(const QByteArray &image, const UploadLine &line, QString *message);

} // namespace frm
