// The serial line on QSerialPort (Linux and other Unix systems).
#include "link/serial_port_setup.h"

#include <QDeadlineTimer>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

void setUpSerialPort(QSerialPort &port, const SerialLine::Settings &settings)
{
    port.setPortName(settings.portName);
    port.setBaudRate(settings.baudRate);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
}

QString SerialLine::defaultPortName()
{
    return QStringLiteral("/dev/ttyS0");
}

namespace {

// True when the system refuses the user access to the port's device, as
// opposed to the device being busy or locked by someone else.
bool accessRefused(const QString &portName)
{
    QString path = portName;
    if (!path.startsWith(u'/'))
        path.prepend(QStringLiteral("/dev/"));
    const QByteArray native = QFile::encodeName(path);
    return ::faccessat(AT_FDCWD, native.constData(), W_OK, AT_EACCESS) != 0 && errno == EACCES;
}

class QtSerialLine final : public SerialLine
{
  public:
    QtSerialLine()
    {
        m_port.setObjectName(QStringLiteral("comPortSerial"));
        connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialLine::handleError);
    }

    bool open(const Settings &settings, QString *reason, bool *accessDenied) override
    {
        setUpSerialPort(m_port, settings);
        // Write-only: nothing reads the port, and an idle port that goes away
        // stays silent until the next upload needs it.
        if (m_port.open(QIODevice::WriteOnly))
            return true;
        *reason = m_port.errorString();
        *accessDenied =
            m_port.error() == QSerialPort::PermissionError && accessRefused(settings.portName);
        return false;
    }

    bool isOpen() const override { return m_port.isOpen(); }
    void close() override { m_port.close(); }

    bool write(const QByteArray &bytes, QString *reason) override
    {
        // QSerialPort copies the bytes into its own queue and sends them from
        // the event loop as the line takes them.
        if (m_port.write(bytes) == bytes.size())
            return true;
        *reason = m_port.errorString();
        return false;
    }

    qint64 bytesPending() const override { return m_port.bytesToWrite(); }

    bool waitUntilSent(int msecs, QString *reason) override
    {
        const QDeadlineTimer deadline(msecs);
        while (m_port.isOpen() && m_port.bytesToWrite() > 0) {
            if (!m_port.waitForBytesWritten(int(deadline.remainingTime()))) {
                *reason = m_port.isOpen() ? QStringLiteral("timed out with %1 bytes unsent")
                                                .arg(m_port.bytesToWrite())
                                          : m_failure;
                return false;
            }
        }
        if (!m_port.isOpen()) {
            *reason = m_failure;
            return false;
        }
        // Handed to the driver is not yet on the wire: wait for the line itself.
        if (::tcdrain(int(m_port.handle())) != 0) {
            *reason = QString::fromLocal8Bit(strerror(errno));
            return false;
        }
        return true;
    }

  private:
    void handleError(QSerialPort::SerialPortError error)
    {
        // Errors of a failed open are answered by open() itself; a closed port
        // has nothing more to say (close() on it would report NotOpenError again).
        if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError || !m_port.isOpen())
            return;
        m_failure = m_port.errorString();
        // Closed first: the queued rest is dropped and the next upload opens
        // the port again.
        m_port.close();
        emit failed(m_failure);
    }

    QSerialPort m_port;
    QString m_failure;
};

} // namespace

std::unique_ptr<SerialLine> makeSerialLine()
{
    return std::make_unique<QtSerialLine>();
}
