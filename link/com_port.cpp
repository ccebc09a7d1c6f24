// The serial channel: opening the port as the settings file says, queued
// writes, closing once they have left, and one message when the port fails
// while sending.
#include "link/com_port.h"

#include "core/profile.h"

#include <QEventLoop>

#include <algorithm>
#include <limits>
#include <utility>

ComPort::ComPort(std::function<LineSettings()> lineSettings, QObject *parent)
    : ComPort(std::move(lineSettings), makeSerialLine(), parent)
{
}

ComPort::ComPort(std::function<LineSettings()> lineSettings, std::unique_ptr<SerialLine> line,
                 QObject *parent)
    : QObject(parent), m_lineSettings(std::move(lineSettings)), m_line(std::move(line))
{
    connect(m_line.get(), &SerialLine::failed, this, [this](const QString &reason) {
        m_watch.stop();
        m_written = 0;
        emit failed(writeErrorText(m_settings.portName) + QStringLiteral(": ") + reason);
    });
    m_watch.setInterval(kPollMs);
    connect(&m_watch, &QTimer::timeout, this, &ComPort::checkSent);
}

ComPort::~ComPort()
{
    // Nobody is left to tell of a failure now.
    disconnect(m_line.get(), nullptr, this, nullptr);
    if (m_line->isOpen()) {
        QString reason;
        m_line->waitUntilSent(int(std::max<qint64>(0, m_deadline.remainingTime())), &reason);
    }
}

QString ComPort::openErrorText(const QString &portName, const SerialLine::OpenFailure &failure)
{
    QString reason = failure.detail;
    switch (failure.kind) {
    case SerialLine::OpenFailure::SystemError:
        break;
    case SerialLine::OpenFailure::AccessDenied:
        reason += QStringLiteral(". The user must be allowed to use serial ports:"
                                 " on Linux, add the user to the dialout group");
        break;
    case SerialLine::OpenFailure::InUse:
        reason = QStringLiteral("the port is in use by another program");
        if (!failure.detail.isEmpty())
            reason += QStringLiteral(" (%1)").arg(failure.detail);
        break;
    case SerialLine::OpenFailure::NotAPort:
        reason = QStringLiteral("not a serial port");
        break;
    case SerialLine::OpenFailure::FileHere:
        reason = QStringLiteral("%1 is a file in the current folder, not a serial port;"
                                " a serial port is named by its device, such as %2")
                     .arg(portName, SerialLine::defaultPortName());
        break;
    }
    return QStringLiteral("Error opening port %1: %2").arg(portName, reason);
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

QString ComPort::timeoutErrorText(const QString &portName, qint64 unsent, int msecs)
{
    return writeErrorText(portName) +
           QStringLiteral(": %1 bytes did not leave the line within %2 s")
               .arg(unsent)
               .arg(msecs / 1000.0);
}

QString ComPort::lineChangedText(const LineSettings &sending, const LineSettings &wanted)
{
    return QStringLiteral("Cannot send to %1 at %2 baud while %3 at %4 baud is still sending the"
                          " last upload; send again once it has finished")
        .arg(wanted.portName)
        .arg(wanted.baudRate)
        .arg(sending.portName)
        .arg(sending.baudRate);
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

void ComPort::open(const LineSettings &line)
{
    m_settings = line;
    if (line.portName.trimmed().isEmpty())
        throw EComPortError(QStringLiteral("No serial port given"));
    SerialLine::OpenFailure failure;
    if (!m_line->open(line, &failure))
        throw EComPortError(openErrorText(line.portName, failure));
}

void ComPort::Write(const QByteArray &bytes)
{
    // Read at every send: the port is closed between sends, and a queued
    // block must not go to a line the settings no longer name.
    const LineSettings line = m_lineSettings();
    if (!m_line->isOpen()) {
        open(line);
        m_written = 0;
    } else if (!(line == m_settings))
        throw EComPortError(lineChangedText(m_settings, line));
    // Refused, not queued; the port stays open and what waits goes on.
    if (m_line->bytesPending() + bytes.size() > kMaxPendingBytes)
        throw EComPortError(busyErrorText(m_settings.portName));
    QString reason;
    if (!m_line->write(bytes, &reason)) {
        m_line->close();
        m_written = 0;
        // The system's reason, as when the line fails later (a pulled adapter).
        throw EComPortError(reason.isEmpty() ? writeErrorText(m_settings.portName)
                                             : writeErrorText(m_settings.portName) +
                                                   QStringLiteral(": ") + reason);
    }
    // Twice the time on the wire, in whole seconds.
    const qint64 onWire = wireMs(m_line->bytesPending(), m_settings.baudRate);
    m_allowedMs = m_timeoutMs > 0
                      ? m_timeoutMs
                      : int(std::min<qint64>((2 * onWire + kSlackMs + 999) / 1000 * 1000,
                                             std::numeric_limits<int>::max()));
    m_deadline.setRemainingTime(m_allowedMs);
    m_watch.start();
    m_written += bytes.size();
    m_lastPending = m_line->bytesPending();
    emit progress(m_written - m_lastPending, m_written);
}

void ComPort::checkSent()
{
    if (!m_line->isOpen()) {
        m_watch.stop(); // failed, and the line has said so
        return;
    }
    if (m_line->allSent()) {
        m_watch.stop();
        m_line->close();
        emit sent(std::exchange(m_written, 0));
        return;
    }
    if (!m_deadline.hasExpired()) {
        const qint64 pending = m_line->bytesPending();
        if (pending != m_lastPending) {
            m_lastPending = pending;
            emit progress(m_written - pending, m_written);
        }
        return;
    }
    const qint64 unsent = m_line->bytesPending();
    m_watch.stop();
    m_line->close();
    m_written = 0;
    emit failed(timeoutErrorText(m_settings.portName, unsent, m_allowedMs));
}

bool ComPort::waitUntilSent(QString *message)
{
    QString failure;
    QEventLoop loop;
    connect(this, &ComPort::failed, &loop, [&failure, &loop](const QString &m) {
        failure = m;
        loop.quit();
    });
    // Runs after checkSent, connected first: the tick that closes the port
    // ends the wait. (Not processEvents(WaitForMoreEvents) in a loop: on
    // Windows it goes on waiting after it has delivered the tick.)
    connect(&m_watch, &QTimer::timeout, &loop, [this, &loop] {
        if (!m_line->isOpen())
            loop.quit();
    });
    if (m_line->isOpen())
        loop.exec();
    if (failure.isEmpty())
        return true;
    *message = failure;
    return false;
}
