// The serial line on QSerialPort (Linux and other Unix systems).
#include "link/serial_port_setup.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
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

// How often the driver is asked whether the line has taken everything.
constexpr int kPollMs = 5;

// The device QSerialPort opens for a port name: a bare name lives in /dev.
QString devicePath(const QString &portName)
{
    if (portName.startsWith(u'/') || portName.startsWith(QLatin1String("./")) ||
        portName.startsWith(QLatin1String("../")))
        return portName;
    return QStringLiteral("/dev/") + portName;
}

// True when the system refuses the user access to the port's device, as
// opposed to the device being busy or locked by someone else.
bool accessRefused(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    return ::faccessat(AT_FDCWD, native.constData(), W_OK, AT_EACCESS) != 0 && errno == EACCES;
}

// A name QSerialPort would look for in vain, or a file it would open as if it
// were a port (and wait on, or write into).
bool notADevice(const QString &portName, const QString &path, SerialLine::OpenFailure *failure)
{
    struct stat s = {};
    if (::stat(QFile::encodeName(path).constData(), &s) == 0) {
        if (S_ISCHR(s.st_mode))
            return false;
        failure->kind = SerialLine::OpenFailure::NotAPort;
        return true;
    }
    // To QSerialPort a bare name is a device in /dev; a file of that name
    // here (a form file given as the port) is what was meant.
    if (errno == ENOENT && !portName.contains(u'/') && QFileInfo::exists(portName)) {
        failure->kind = SerialLine::OpenFailure::FileHere;
        return true;
    }
    return false;
}

// "fountain-frm, process 4711" for the program that holds the device: from
// the lock file QSerialPort keeps (and other programs of the uucp kind),
// else from the descriptors /proc shows. Empty when neither tells.
QString holderOf(const QString &path)
{
    QString lockName = path.startsWith(QLatin1String("/dev/")) ? path.mid(5) : path;
    lockName.replace(u'/', u'_').prepend(QLatin1String("LCK.."));
    // QSerialPort's folders, in its order.
    const QStringList folders{QStringLiteral("/var/lock"),
                              QStringLiteral("/etc/locks"),
                              QStringLiteral("/var/spool/locks"),
                              QStringLiteral("/var/spool/uucp"),
                              QStringLiteral("/tmp"),
                              QStringLiteral("/var/tmp"),
                              QStringLiteral("/var/lock/lockdev"),
                              QStringLiteral("/run/lock"),
                              QStandardPaths::writableLocation(QStandardPaths::TempLocation)};
    for (const QString &folder : folders) {
        const QString lockPath = folder + u'/' + lockName;
        if (!QFile::exists(lockPath))
            continue;
        qint64 pid = 0;
        QString host;
        QString program;
        if (QLockFile(lockPath).getLockInfo(&pid, &host, &program) && pid > 0)
            return QStringLiteral("%1, process %2").arg(program).arg(pid);
    }
    struct stat device = {};
    if (::stat(QFile::encodeName(path).constData(), &device) != 0)
        return QString();
    const QStringList processes = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &process : processes) {
        bool numeric = false;
        const qint64 pid = process.toLongLong(&numeric);
        if (!numeric || pid == ::getpid())
            continue;
        const QString fds = QStringLiteral("/proc/%1/fd").arg(process);
        for (const QString &fd : QDir(fds).entryList(QDir::Files | QDir::System)) {
            struct stat s = {};
            if (::stat(QFile::encodeName(fds + u'/' + fd).constData(), &s) == 0 &&
                S_ISCHR(s.st_mode) && s.st_rdev == device.st_rdev) {
                QFile comm(QStringLiteral("/proc/%1/comm").arg(process));
                const QString name = comm.open(QIODevice::ReadOnly)
                                         ? QString::fromLocal8Bit(comm.readAll().trimmed())
                                         : QString();
                return QStringLiteral("%1, process %2").arg(name).arg(pid);
            }
        }
    }
    return QString();
}

class QtSerialLine final : public SerialLine
{
  public:
    QtSerialLine()
    {
        m_port.setObjectName(QStringLiteral("comPortSerial"));
        connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialLine::handleError);
    }
    ~QtSerialLine() override { close(); }

    bool open(const Settings &settings, OpenFailure *failure) override
    {
        const QString path = devicePath(settings.portName);
        if (notADevice(settings.portName, path, failure))
            return false;
        setUpSerialPort(m_port, settings);
        // Write-only: nothing reads the port, and an idle port that goes away
        // stays silent until the next upload needs it.
        if (m_port.open(QIODevice::WriteOnly))
            return true;
        failure->detail = m_port.errorString();
        // A permission error on a device the user may use is a lock or
        // exclusive use held by another program.
        if (m_port.error() == QSerialPort::PermissionError) {
            failure->kind = accessRefused(path) ? OpenFailure::AccessDenied : OpenFailure::InUse;
            if (failure->kind == OpenFailure::InUse)
                failure->detail = holderOf(path);
        }
        return false;
    }

    [[nodiscard]] bool isOpen() const override { return m_port.isOpen(); }

    void close() override
    {
        if (!m_port.isOpen() || m_closing)
            return;
        // Errors while closing (a device already gone) come back through
        // handleError, which must not close again.
        m_closing = true;
        // A serial driver's close waits up to half a minute for its queue to
        // drain; whatever is left is dropped instead. Only then: on a
        // pseudo-terminal the flush takes back what the far end has not read yet.
        if (!allSent())
            m_port.clear(QSerialPort::Output);
        m_port.close();
        m_closing = false;
    }

    bool write(const QByteArray &bytes, QString *reason) override
    {
        // QSerialPort copies the bytes into its own queue and sends them from
        // the event loop as the line takes them.
        if (m_port.write(bytes) == bytes.size())
            return true;
        *reason = m_port.errorString();
        return false;
    }

    [[nodiscard]] qint64 bytesPending() const override
    {
        if (!m_port.isOpen())
            return 0;
        int queued = 0;
        if (::ioctl(int(m_port.handle()), TIOCOUTQ, &queued) != 0)
            queued = 0;
        return m_port.bytesToWrite() + queued;
    }

    [[nodiscard]] bool allSent() const override
    {
        if (bytesPending() > 0)
            return false;
#ifdef TIOCSERGETLSR
        // The last byte may still be in the shift register. Drivers that
        // cannot tell (pseudo-terminals, many USB adapters) refuse the question.
        unsigned int status = 0;
        if (::ioctl(int(m_port.handle()), TIOCSERGETLSR, &status) == 0)
            return (status & TIOCSER_TEMT) != 0;
#endif
        return true;
    }

    bool waitUntilSent(int msecs, QString *reason) override
    {
        const QDeadlineTimer deadline(msecs);
        while (m_port.isOpen() && m_port.bytesToWrite() > 0 && !deadline.hasExpired())
            m_port.waitForBytesWritten(int(deadline.remainingTime()));
        // Handed to the driver is not yet on the wire. Its queue is asked,
        // not waited on: tcdrain has no time limit.
        while (m_port.isOpen() && !allSent() && !deadline.hasExpired())
            QThread::msleep(kPollMs);
        if (!m_port.isOpen()) {
            *reason = m_failure;
            return false;
        }
        if (allSent())
            return true;
        *reason = QStringLiteral("timed out with %1 bytes unsent").arg(bytesPending());
        return false;
    }

  private:
    void handleError(QSerialPort::SerialPortError error)
    {
        // Errors of a failed open are answered by open() itself; a closed port
        // has nothing more to say (close() on it would report NotOpenError again).
        if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError ||
            !m_port.isOpen() || m_closing)
            return;
        m_failure = m_port.errorString();
        // Closed first: the queued rest is dropped and the next upload opens
        // the port again.
        close();
        emit failed(m_failure);
    }

    QSerialPort m_port;
    QString m_failure;
    bool m_closing = false;
};

} // namespace

std::unique_ptr<SerialLine> makeSerialLine()
{
    return std::make_unique<QtSerialLine>();
}
