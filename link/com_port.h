// ComPort: the application's one serial channel to the form shaper. It only
// sends. Write hands a block to the port and returns while the line is still
// busy; blocks handed over while an earlier one is on the wire go out after
// it, whole and in order.
#pragma once

#include "app/app_error.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>

class EComPortError : public EAppError
{
  public:
    using EAppError::EAppError;
};

class ComPort : public QObject
{
    Q_OBJECT

  public:
    // Where the port is configured: section Options of the settings file.
    static inline const QString kSection = QStringLiteral("Options");
    static inline const QString kPortNameKey = QStringLiteral("ComPort");
    static inline const QString kBaudRateKey = QStringLiteral("BaudRate");
    static inline const QString kDefaultPortName = QStringLiteral("/dev/ttyS0"); // serial port 1
    static constexpr qint32 kDefaultBaudRate = 9600;

    // The line as the settings file gives it; blank or invalid values count as missing.
    struct LineSettings
    {
        QString portName;
        qint32 baudRate = kDefaultBaudRate;
    };
    static LineSettings readSettings();

    explicit ComPort(QObject *parent = nullptr);
    ~ComPort() override;

    // Opens the port first if it is closed (EComPortError when it cannot be),
    // then queues all of bytes for sending and returns without waiting for
    // the line. Raises EComPortError when the port refuses the block.
    void Write(QByteArray bytes);

    bool isOpen() const { return m_port->isOpen(); }
    // The name of the port last opened or tried, for messages.
    const QString &portName() const { return m_portName; }
    // Bytes handed to Write that the port has not yet passed to the system.
    qint64 bytesPending() const { return m_port->bytesToWrite(); }

    static QString openErrorText(const QString &portName, const QString &reason,
                                 bool permissionDenied);
    static QString writeErrorText(const QString &portName);

  private:
    void open();
    void handleError(QSerialPort::SerialPortError error);

    QSerialPort *m_port;
    QString m_portName;
};
