// ComPort: the application's one serial channel to the form shaper. It only
// sends. Write opens the port, hands a block to it and returns while the line
// is still busy; blocks handed over while an earlier one is on the wire go out
// after it, whole and in order, as long as they fit in the queue. Once the
// last one has left the line the port is closed again, so that another
// program (a timed fountain-frm upload) can use it between sends. It reports
// failures and shows nothing itself.
#pragma once

#include "core/errors.h"
#include "core/upload_frame.h"
#include "link/serial_line.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>

class ProfileFile;

class EComPortError : public EAppError
{
  public:
    using EAppError::EAppError;
};

class ComPort : public QObject
{
    Q_OBJECT

  public:
    // Where the line is configured: section Options of the settings file.
    static inline const QString kSection = QStringLiteral("Options");
    static inline const QString kPortNameKey = QStringLiteral("ComPort");
    static inline const QString kBaudRateKey = QStringLiteral("BaudRate");
    // What may wait for the line: an upload being sent and one behind it. On a
    // stuck line each click would otherwise queue another frame without end.
    static constexpr qint64 kMaxPendingBytes = qint64{2} * upload_frame::kFrameSize;
    // How often the line is asked whether everything has left.
    static constexpr int kPollMs = 10;
    // What the queued bytes may take beyond twice their time on the wire
    // before the line counts as stuck: USB adapters and drivers keep some.
    static constexpr int kSlackMs = 5000;

    using LineSettings = SerialLine::Settings;
    // The line as the settings file gives it; blank or invalid values count as missing.
    static LineSettings readSettings(const ProfileFile &profile);

    // lineSettings is asked at every Write, so a corrected settings file
    // counts at the next upload. The line is the platform's own unless given.
    explicit ComPort(std::function<LineSettings()> lineSettings, QObject *parent = nullptr);
    ComPort(std::function<LineSettings()> lineSettings, std::unique_ptr<SerialLine> line,
            QObject *parent = nullptr);
    // What is still on the line gets the rest of its time to leave: a
    // programme is not cut short because the editor was closed.
    ~ComPort() override;

    // Opens the port first if it is closed, then queues all of bytes for
    // sending and returns without waiting for the line. Raises EComPortError
    // when the port cannot be opened, the queue has no room for the block, the
    // port refuses it, or the settings now name another line than the one
    // still sending.
    void Write(const QByteArray &bytes);
    // How long what is queued may take to leave the line, counted from the
    // last Write. 0, the default: twice its time on the wire plus kSlackMs.
    void setTimeout(int msecs) { m_timeoutMs = msecs; }
    // Runs the event loop until everything written has left the line and the
    // port is closed; false with the message when the line failed or the
    // time ran out.
    [[nodiscard]] bool waitUntilSent(QString *message);

    [[nodiscard]] bool isOpen() const { return m_line->isOpen(); }
    // The name of the port last opened or tried, for messages.
    [[nodiscard]] const QString &portName() const { return m_settings.portName; }
    // Bytes handed to Write that have not left yet.
    [[nodiscard]] qint64 bytesPending() const { return m_line->bytesPending(); }
    // The speed of the line last opened or tried, for the time a send takes.
    [[nodiscard]] qint32 baudRate() const { return m_settings.baudRate; }
    // Milliseconds bytes take on a line of baudRate: ten bit times a byte
    // (start, 8 data, stop).
    static qint64 wireMs(qint64 bytes, qint32 baudRate)
    {
        return bytes * 10 * 1000 / std::max<qint64>(1, baudRate);
    }

    static QString openErrorText(const QString &portName, const SerialLine::OpenFailure &failure);
    static QString writeErrorText(const QString &portName);
    static QString busyErrorText(const QString &portName);

  signals:
    // How far the blocks written since the port was opened have got: at each
    // Write and whenever the line has taken more of them.
    void progress(qint64 sentBytes, qint64 totalBytes);
    // Everything written since the port was opened has left the line, and
    // the port is closed again.
    void sent(qint64 totalBytes);
    // A block that was accepted failed on the line later, or did not leave
    // in time. The port is closed by then and the unsent rest dropped; the
    // next Write opens it again.
    void failed(const QString &message);

  private:
    static QString timeoutErrorText(const QString &portName, qint64 unsent, int msecs);
    static QString lineChangedText(const LineSettings &sending, const LineSettings &wanted);

    void open(const LineSettings &line);
    // One look at the line: closes the port once everything has left, or
    // when the time is up.
    void checkSent();

    std::function<LineSettings()> m_lineSettings;
    std::unique_ptr<SerialLine> m_line;
    LineSettings m_settings; // of the port last opened or tried
    QTimer m_watch;
    QDeadlineTimer m_deadline;
    int m_timeoutMs = 0;
    int m_allowedMs = 0;  // the time the queued bytes were given, for the message
    qint64 m_written = 0; // bytes handed to the line since it was opened
    qint64 m_lastPending = -1;
};
