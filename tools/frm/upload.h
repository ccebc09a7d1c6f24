// fountain-frm upload: the editor's send button from the command line.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace frm {

struct UploadLine
{
    static constexpr int kDefaultTimeoutMs = 60000;
    // A day: far past a frame at any speed a controller takes.
    static constexpr int kMaxTimeoutMs = 86400 * 1000;

    std::optional<QString> port;       // the settings file's port when not given
    std::optional<qint32> baud;        // the settings file's speed when not given
    int timeoutMs = kDefaultTimeoutMs; // for the frame to leave the line
};

// The milliseconds of a --timeout in seconds (fractions allowed); nothing for
// a text that is no number, or no time in (0, kMaxTimeoutMs].
[[nodiscard]] std::optional<int> timeoutMs(const QString &seconds);

// Sends the frame the editor's send button sends for this form file image
// (a whole form file) and waits until its last byte has left the line, or the time
// is up. A speed too slow for the frame to leave in time is refused before
// the port is opened. On failure, false and the message in *message.
[[nodiscard]] bool upload(const QByteArray &image, const UploadLine &line, QString *message);

} // namespace frm
