// The serial channel: opening the port from the settings file, queued writes,
// and one message when the port fails while sending.
#include "link/com_port.h"

#include "app/guard.h"
#include "store/profile.h"

#ifdef Q_OS_UNIX
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

// True when the system refuses the user access to the port's device, as
// opposed to the device being busy or locked by someone else.
bool accessRefused(const QSerialPort &port)
{
#ifdef Q_OS_UNIX
    QString path = port.portName();
    if (!path.startsWith(u'/'))
        path.prepend(QStringLiteral("/dev/"));
    const QByteArray native = QFile::encodeName(path);
    return ::faccessat(AT_FDCWD, native.constData(), W_OK, AT_EACCESS) != 0 && errno == EACCES;
#else
    Q_UNUSED(port);
    return true;
#endif
}

} // namespace

ComPort::ComPort(QObject *parent) : QObject(parent), m_port(new QSerialPort(this))
{
    m_port->setObjectName(QStringLiteral("comPortSerial"));
    guardedConnect(m_port, &QSerialPort::errorOccurred, this,
                   [this](QSerialPort::SerialPortError error) { handleError(error); });
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

ComPort::LineSettings ComPort::readSettings()
{
    const ProfileFile profile(ProfileFile::defaultPath());
    LineSettings line;
    line.portName = profile.readString(kSection, kPortNameKey, QString()).trimmed();
    if (line.portName.isEmpty())
        line.portName = kDefaultPortName;
    bool numeric = false;
    const qint32 baud =
        profile.readString(kSection, kBaudRateKey, QString()).trimmed().toInt(&numeric);
    if (numeric && baud > 0)
        line.baudRate = baud;
    return line;
}

void ComPort::open()
{
    // Read at every opening, so a corrected settings file counts at the next upload.
    const LineSettings line = readSettings();
    const QString &name = line.portName;
    m_portName = name;
    m_port->setPortName(name);
    m_port->setBaudRate(line.baudRate);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    // Write-only: nothing reads the port, and an idle port that goes away
    // stays silent until the next upload needs it.
    if (!m_port->open(QIODevice::WriteOnly)) {
        const bool denied =
            m_port->error() == QSerialPort::PermissionError && accessRefused(*m_port);
        throw EComPortError(openErrorText(name, m_port->errorString(), denied));
    }
}

void ComPort::Write(QByteArray bytes)
{
    if (!m_port->isOpen())
        open();
    // QSerialPort copies the bytes into its own queue and sends them from the
    // event loop as the line takes them. A full line is no error here, unlike
    // with flush(), which reports a busy line as a failure.
    if (m_port->write(bytes) != bytes.size()) {
        m_port->close();
        throw EComPortError(writeErrorText(m_portName));
    }
}

void ComPort::handleError(QSerialPort::SerialPortError error)
{
    // Errors of a failed open are raised by open() itself; a closed port has
    // nothing more to say (close() on it would report NotOpenError again).
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError || !m_port->isOpen())
        return;
    const QString reason = m_port->errorString();
    // Closed first: the queued rest is dropped and the next upload opens the
    // port again. The message box that follows cannot bring a second error.
    m_port->close();
    throw EComPortError(writeErrorText(m_portName) + QStringLiteral(": ") + reason);
}
