// The serial line on Windows: overlapped Win32 file I/O on \\.\COMn.
//
// One write is on the wire at a time; the writes behind it wait here, in
// order, and each is issued with its own OVERLAPPED record when the one
// before has completed. Handing them all to the driver at once would also
// keep the order, but after a failed write the driver would still send the
// blocks behind it, and the controller would read them as the rest of the
// broken frame. Here a failure drops everything behind it.
//
// The line set-up is checked, not trusted: after SetCommState the port is
// asked for its line again, and open fails unless it reports the speed and
// 8N1 without flow control that were asked for. A driver that cannot set a
// speed may pick a neighbouring one and still report success (Wine maps
// unusual speeds to 38400 that way); a wrong speed scrambles every byte.
// The handle is opened for reading as well as writing, though nothing is
// read: Wine refuses the line calls (GetCommState, SetCommState,
// ClearCommError) with "access denied" on a write-only handle, and Windows
// accepts both kinds.
#include "link/serial_line.h"

#include <QDeadlineTimer>
#include <QWinEventNotifier>

#include <algorithm>
#include <deque>

#include <windows.h>

namespace {

// The system's text for an error code, without the full stop and line end
// FormatMessage puts after it: the caller builds a sentence around it.
QString systemMessage(DWORD code)
{
    wchar_t *buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
    QString text = length ? QString::fromWCharArray(buffer, int(length)).trimmed() : QString();
    LocalFree(buffer);
    while (text.endsWith(u'.'))
        text.chop(1);
    return text.isEmpty() ? QStringLiteral("System error %1").arg(code) : text;
}

void setText(QString *out, const QString &text)
{
    if (out)
        *out = text;
}

// "COM7" becomes "\\.\COM7", the form that also reaches COM10 and above.
QString devicePath(const QString &portName)
{
    const QString name = portName.trimmed();
    if (name.startsWith(QLatin1String("\\\\.\\")) || name.startsWith(QLatin1String("\\\\?\\")))
        return name;
    return QStringLiteral("\\\\.\\") + name;
}

QString lineText(const DCB &dcb)
{
    static const char *const parity[] = {"N", "O", "E", "M", "S"};
    static const char *const stop[] = {"1", "1.5", "2"};
    QString text = QStringLiteral("%1 baud %2%3%4")
                       .arg(dcb.BaudRate)
                       .arg(dcb.ByteSize)
                       .arg(QLatin1String(dcb.Parity < 5 ? parity[dcb.Parity] : "?"))
                       .arg(QLatin1String(dcb.StopBits < 3 ? stop[dcb.StopBits] : "?"));
    if (dcb.fOutxCtsFlow || dcb.fOutxDsrFlow || dcb.fOutX)
        text += QStringLiteral(" with flow control");
    return text;
}

// What decides the bytes on the wire and whether they leave at all.
bool sameLine(const DCB &wanted, const DCB &actual)
{
    return actual.BaudRate == wanted.BaudRate && actual.ByteSize == wanted.ByteSize &&
           actual.Parity == wanted.Parity && actual.StopBits == wanted.StopBits &&
           !actual.fOutxCtsFlow && !actual.fOutxDsrFlow && !actual.fOutX;
}

bool setLine(HANDLE handle, qint32 baudRate, QString *reason)
{
    if (baudRate <= 0) {
        setText(reason, QStringLiteral("Invalid speed %1 baud").arg(baudRate));
        return false;
    }
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(handle, &dcb)) {
        setText(reason, systemMessage(GetLastError()));
        return false;
    }
    dcb.BaudRate = DWORD(baudRate);
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    // DTR and RTS simply on, as a plain line; neither holds the output back.
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
    if (!SetCommState(handle, &dcb)) {
        setText(reason, systemMessage(GetLastError()));
        return false;
    }
    DCB actual{};
    actual.DCBlength = sizeof actual;
    if (!GetCommState(handle, &actual)) {
        setText(reason, systemMessage(GetLastError()));
        return false;
    }
    if (!sameLine(dcb, actual)) {
        setText(reason, QStringLiteral("The port cannot be set to %1; it reports %2")
                            .arg(lineText(dcb), lineText(actual)));
        return false;
    }
    // No write time-out: a write completes when all its bytes have gone.
    // Reads would return at once, but nothing reads.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    if (!SetCommTimeouts(handle, &timeouts)) {
        setText(reason, systemMessage(GetLastError()));
        return false;
    }
    return true;
}

// One block handed to write(): its bytes, and while it is on the wire its
// OVERLAPPED record, the record's event and the notifier watching it.
struct PendingWrite
{
    // A deep copy: a caller's array over raw data could go before the write does.
    explicit PendingWrite(const QByteArray &b) : bytes(b.constData(), b.size()) {}
    ~PendingWrite()
    {
        notifier.reset(); // stops watching before the event goes
        if (overlapped.hEvent)
            CloseHandle(overlapped.hEvent);
    }
    PendingWrite(const PendingWrite &) = delete;
    PendingWrite &operator=(const PendingWrite &) = delete;

    QByteArray bytes;
    qint64 sent = 0;
    bool issued = false;
    OVERLAPPED overlapped{};
    std::unique_ptr<QWinEventNotifier> notifier;
};

class WindowsSerialLine final : public SerialLine
{
  public:
    using SerialLine::SerialLine;
    ~WindowsSerialLine() override { close(); }

    bool open(const Settings &settings, OpenFailure *failure) override
    {
        close();
        const QString path = devicePath(settings.portName);
        HANDLE handle = CreateFileW(reinterpret_cast<const wchar_t *>(path.utf16()),
                                    GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OVERLAPPED, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            // A port is opened without sharing: "access denied" means another
            // program holds it, no matter of the user's rights (a user may use
            // every port). Wine says "sharing violation".
            if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION)
                failure->kind = OpenFailure::InUse;
            else
                failure->detail = systemMessage(error);
            return false;
        }
        if (!setLine(handle, settings.baudRate, &failure->detail)) {
            CloseHandle(handle);
            return false;
        }
        m_handle = handle;
        return true;
    }

    bool isOpen() const override { return m_handle != INVALID_HANDLE_VALUE; }

    void close() override
    {
        if (!isOpen())
            return;
        if (!m_queue.empty() && m_queue.front()->issued) {
            // The system writes into the record and reads the buffer until
            // the cancelled write has finished.
            CancelIoEx(m_handle, &m_queue.front()->overlapped);
            DWORD written = 0;
            GetOverlappedResult(m_handle, &m_queue.front()->overlapped, &written, TRUE);
        }
        // What the driver still holds is dropped too: closing would otherwise
        // wait for it on a line that does not take it. Only then: under Wine
        // the purge of a pseudo-terminal takes back what the far end has not
        // read yet.
        if (!allSent())
            PurgeComm(m_handle, PURGE_TXABORT | PURGE_TXCLEAR);
        m_queue.clear();
        CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
    }

    bool write(const QByteArray &bytes, QString *reason) override
    {
        if (!isOpen()) {
            setText(reason, systemMessage(ERROR_INVALID_HANDLE));
            return false;
        }
        if (bytes.isEmpty())
            return true;
        m_queue.push_back(std::make_unique<PendingWrite>(bytes));
        if (m_queue.size() > 1)
            return true; // goes out when the ones before it have
        if (issueFront(reason))
            return true;
        close();
        return false;
    }

    qint64 bytesPending() const override
    {
        qint64 queued = 0;
        for (const auto &w : m_queue)
            queued += w->bytes.size() - w->sent;
        // The driver counts a write still running as well as what it holds
        // from the ones completed: the larger figure is the nearer one.
        return std::max<qint64>(queued, driverQueue());
    }

    bool allSent() const override { return m_queue.empty() && driverQueue() == 0; }

    bool waitUntilSent(int msecs, QString *reason) override
    {
        const QDeadlineTimer deadline(msecs);
        while (isOpen() && !m_queue.empty()) {
            const qint64 left = deadline.remainingTime(); // -1: a negative msecs waits for ever
            const DWORD wait = left < 0 ? INFINITE : DWORD(left);
            const DWORD result = WaitForSingleObject(m_queue.front()->overlapped.hEvent, wait);
            if (result != WAIT_OBJECT_0) {
                setText(reason,
                        systemMessage(result == WAIT_TIMEOUT ? WAIT_TIMEOUT : GetLastError()));
                return false;
            }
            QString why;
            if (!completeFront(&why)) {
                fail(why);
                setText(reason, why);
                return false;
            }
        }
        if (!isOpen()) {
            setText(reason, systemMessage(ERROR_INVALID_HANDLE));
            return false;
        }
        // The driver may still hold the last bytes when their write completes.
        while (!allSent()) {
            if (deadline.hasExpired()) {
                setText(reason, systemMessage(WAIT_TIMEOUT));
                return false;
            }
            Sleep(5);
        }
        return true;
    }

  private:
    // Issues the rest of the front block. False with the reason when the
    // system refuses it at once.
    bool issueFront(QString *reason)
    {
        PendingWrite &w = *m_queue.front();
        if (!w.overlapped.hEvent) {
            w.overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
            if (!w.overlapped.hEvent) {
                setText(reason, systemMessage(GetLastError()));
                return false;
            }
            w.notifier = std::make_unique<QWinEventNotifier>(w.overlapped.hEvent);
            connect(w.notifier.get(), &QWinEventNotifier::activated, this,
                    [this] { onCompleted(); });
        }
        HANDLE event = w.overlapped.hEvent;
        w.overlapped = OVERLAPPED{};
        w.overlapped.hEvent = event;
        const DWORD size = DWORD(w.bytes.size() - w.sent);
        if (!WriteFile(m_handle, w.bytes.constData() + w.sent, size, nullptr, &w.overlapped) &&
            GetLastError() != ERROR_IO_PENDING) {
            setText(reason, systemMessage(GetLastError()));
            return false;
        }
        // Finished at once or later: the event is set either way.
        w.issued = true;
        return true;
    }

    // Takes the result of the front block's write once it is done; issues
    // what is left of it, or the next block. False with the reason when the
    // write failed. A write still running is no failure.
    bool completeFront(QString *reason)
    {
        PendingWrite &w = *m_queue.front();
        DWORD written = 0;
        if (!GetOverlappedResult(m_handle, &w.overlapped, &written, FALSE)) {
            const DWORD error = GetLastError();
            if (error == ERROR_IO_INCOMPLETE)
                return true;
            setText(reason, systemMessage(error));
            return false;
        }
        w.sent += written;
        w.issued = false;
        if (w.sent >= w.bytes.size())
            m_queue.pop_front();
        return m_queue.empty() || issueFront(reason);
    }

    void onCompleted()
    {
        if (!isOpen() || m_queue.empty() || !m_queue.front()->issued)
            return;
        QString reason;
        if (!completeFront(&reason))
            fail(reason);
    }

    // Bytes the driver holds; 0 when it cannot tell.
    qint64 driverQueue() const
    {
        COMSTAT status{};
        DWORD errors = 0;
        if (!isOpen() || !ClearCommError(m_handle, &errors, &status))
            return 0;
        return status.cbOutQue;
    }

    void fail(const QString &reason)
    {
        if (!isOpen())
            return;
        close();
        emit failed(reason);
    }

    HANDLE m_handle = INVALID_HANDLE_VALUE;
    // Blocks not yet gone, oldest first; only the front one is on the wire.
    std::deque<std::unique_ptr<PendingWrite>> m_queue;
};

} // namespace

QString SerialLine::defaultPortName()
{
    return QStringLiteral("COM1");
}

std::unique_ptr<SerialLine> makeSerialLine()
{
    return std::make_unique<WindowsSerialLine>();
}
