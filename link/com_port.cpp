// The serial channel: opening the port as the settings file says, queued
// writes, and one message when the port fails while sending.
#include "link/com_port.h"

#include "store/profile.h"

ComPort::ComPort(std::function<LineSettings()> lineSettings, QObject *parent)
    : QObject(parent), m_lineSettings(std::move(lineSettings)), m_line(makeSerialLine())
{
    connect(m_line.get(), &SerialLine::failed, this, [this](const QString &reason) {
        emit failed(writeErrorText(m_portName) + QStringLiteral(": ") + reason);
    });
}

ComPort::~ComPort() = default;

QString ComPort::openErrorText(const QString &portName, const QString &reason,
                               bool permissionDenied)
{
    QString text = QStringLiteral("Error opening port %1: %2").arg(portName, reason);
    if (permissionDenied)
        text += QStringLiteral(". The user must be allowed to use serial ports:"
                               " on Linux, add the user to the dialout group");
    return text;
}

QString ComPort::writeErrorText(const QString &portName)
{
    return QStringLiteral("Error writing port ") + portName;
}

QString ComPort::busyErrorText(const QString &portName)
{
    return writeErrorText(portName) +
           QStringLiteral(": the line is still busy with earlier uploads");
}

ComPort::LineSettings ComPort::readSettings(const ProfileFile &profile)
{
    LineSettings line;
    line.portName = profile.readString(kSection, kPortNameKey, QString()).trimmed();
    if (line.portName.isEmpty())
        line.portName = SerialLine::defaultPortName();
    bool numeric = false;
    const qint32 baud =
        profile.readString(kSection, kBaudRateKey, QString()).trimmed().toInt(&numeric);
    if (numeric && baud > 0)
        line.baudRate = baud;
    return line;
}

void ComPort::open()
{
    const LineSettings line = m_lineSettings();
    m_portName = line.portName;
    QString reason;
    bool denied = false;
    if (!m_line->open(line, &reason, &denied))
        throw EComPortError(openErrorText(m_portName, reason, denied));
}

void ComPort::Write(QByteArray bytes)
{
    if (!m_line->isOpen())
        open();
    // Refused, not queued; the port stays open and what waits goes on.
    if (m_line->bytesPending() + bytes.size() > kMaxPendingBytes)
        throw EComPortError(busyErrorText(m_portName));
    QString reason;
    if (!m_line->write(bytes, &reason)) {
        m_line->close();
        throw EComPortError(writeErrorText(m_portName));
    }
}

bool ComPort::waitUntilSent(int msecs, QString *message)
{
    QString reason;
    if (m_line->waitUntilSent(msecs, &reason))
        return true;
    *message = writeErrorText(m_portName) + QStringLiteral(": ") + reason;
    return false;
}
