// ComPort: the application's one serial channel to the form shaper. It only
// sends. Write hands a block to the port and returns while the line is still
// busy; blocks handed over while an earlier one is on the wire go out after
// it, whole and in order, as long as they fit in the queue. It reports
// failures and shows nothing itself.
#pragma once

#include "link/serial_line.h"
#include "link/upload_frame.h"
#include "store/errors.h"

#include <QByteArray>
#include <QObject>
#include <QString>

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
    static constexpr qint64 kMaxPendingBytes = 2 * upload_frame::kFrameSize;

    using LineSettings = SerialLine::Settings;
    // The line as the settings file gives it; blank or invalid values count as missing.
    static LineSettings readSettings(const ProfileFile &profile);

    // lineSettings is asked at every opening, so a corrected settings file
    // counts at the next upload.
    explicit ComPort(std::function<LineSettings()> lineSettings, QObject *parent = nullptr);
    ~ComPort() override;

    // Opens the port first if it is closed, then queues all of bytes for
    // sending and returns without waiting for the line. Raises EComPortError
    // when the port cannot be opened, the queue has no room for the block, or
    // the port refuses it.
    void Write(QByteArray bytes);
    // Blocks until everything written has left the line, or msecs have passed;
    // false with the message in *message otherwise.
    bool waitUntilSent(int msecs, QString *message);

    bool isOpen() const { return m_line->isOpen(); }
    // The name of the port last opened or tried, for messages.
    const QString &portName() const { return m_portName; }
    // Bytes handed to Write that have not left yet.
    qint64 bytesPending() const { return m_line->bytesPending(); }

    static QString openErrorText(const QString &portName, const QString &reason,
                                 bool permissionDenied);
    static QString writeErrorText(const QString &portName);
    static QString busyErrorText(const QString &portName);

  signals:
    // A block that was accepted failed on the line later. The port is closed
    // by then, and the next Write opens it again.
    void failed(const QString &message);

  private:
    void open();

    std::function<LineSettings()> m_lineSettings;
    std::unique_ptr<SerialLine> m_line;
    QString m_portName;
};
