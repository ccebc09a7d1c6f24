#include "tools/frm/upload.h"

#include "link/com_port.h"
#include "link/upload_frame.h"
#include "store/form_store.h"
#include "store/settings.h"

namespace frm {

bool upload(const QByteArray &image, const UploadLine &line, QString *message)
{
    ComPort::LineSettings settings =
        ComPort::readSettings(FountainSettings::atDefaultLocation().profile());
    if (line.port)
        settings.portName = *line.port;
    if (line.baud)
        settings.baudRate = *line.baud;
    ComPort port([&settings] { return settings; });
    // The store's own bank 0 of the file, framed as the send button frames it.
    FormStore store;
    store.replaceImage(image);
    try {
        port.Write(upload_frame::build(store.bank0Image()));
    } catch (const EComPortError &e) {
        *message = e.message();
        return false;
    }
    // Ten bit times a byte (start, 8 data, stop); twice that and some slack
    // before a line that takes nothing counts as failed.
    const int expectedMs = int(qint64(upload_frame::kFrameSize) * 10 * 1000 / settings.baudRate);
    return port.waitUntilSent(2 * expectedMs + 5000, message);
}

} // namespace frm
