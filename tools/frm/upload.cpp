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
    // The editor's time limit: twice the frame's time on the wire and some slack.
    return port.waitUntilSent(message);
}

} // namespace frm
