#include "tools/frm/upload.h"

#include "core/form_store.h"
#include "core/settings.h"
#include "core/upload_frame.h"
#include "link/com_port.h"

#include <algorithm>
#include <cmath>

namespace frm {

namespace {

// "187" for 186.4 s, "0.2" for 0.18 s: rounded up, so that the frame's time
// never reads as short enough.
QString secondsUp(double ms)
{
    const double tenths = std::ceil(ms / 100);
    return QString::number(tenths >= 100 ? std::ceil(tenths / 10) : tenths / 10);
}

} // namespace

std::optional<int> timeoutMs(const QString &seconds)
{
    bool numeric = false;
    const double ms = seconds.toDouble(&numeric) * 1000;
    // Written so that NaN fails too.
    if (!numeric || !(ms > 0 && ms <= UploadLine::kMaxTimeoutMs))
        return std::nullopt;
    return std::max(1, int(std::lround(ms)));
}

bool upload(const QByteArray &image, const UploadLine &line, QString *message)
{
    // The store's own bank 0 of the file, framed as the send button frames it.
    // A store that refused the image would frame a blank programme instead.
    FormStore store;
    if (!store.replaceImage(image)) {
        *message = QStringLiteral("fountain-frm: %1 bytes are not a form file; nothing was sent")
                       .arg(image.size());
        return false;
    }
    ComPort::LineSettings settings =
        ComPort::readSettings(FountainSettings::atDefaultLocation().profile());
    if (line.port)
        settings.portName = *line.port;
    if (line.baud)
        settings.baudRate = *line.baud;
    // Ten bit times a byte: start, 8 data, stop.
    const double frameMs = upload_frame::kFrameSize * 10 * 1000.0 / settings.baudRate;
    if (frameMs > line.timeoutMs) {
        *message = QStringLiteral("fountain-frm: at %1 baud one frame takes %2 s to send, longer"
                                  " than --timeout %3 s; give a higher --baud or a longer"
                                  " --timeout")
                       .arg(settings.baudRate)
                       .arg(secondsUp(frameMs))
                       .arg(line.timeoutMs / 1000.0);
        return false;
    }
    ComPort port([&settings] { return settings; });
    port.setTimeout(line.timeoutMs);
    try {
        port.Write(upload_frame::build(store.bank0Image()));
    } catch (const EComPortError &e) {
        *message = e.message();
        return false;
    }
    return port.waitUntilSent(message);
}

} // namespace frm
