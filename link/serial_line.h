// One serial port of the platform, opened for writing: the line set-up, a
// write that returns before the bytes have left, and failures the system
// reports later. Each platform has its own side.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

class SerialLine : public QObject
{
    Q_OBJECT

  public:
    static constexpr qint32 kDefaultBaudRate = 9600;
    // Serial port 1, where the controller hangs when the settings name no port.
    static QString defaultPortName();

    // Always 8 data bits, no parity, 1 stop bit, no flow control; only the speed varies.
    struct Settings
    {
        QString portName;
        qint32 baudRate = kDefaultBaudRate;
        bool operator==(const Settings &) const = default;
    };

    // Why open() failed; the texts are ComPort's.
    struct OpenFailure
    {
        enum Kind {
            SystemError,  // detail: the system's reason
            AccessDenied, // the user may not use the port; detail: the system's reason
            InUse,        // another program holds it; detail: which one, where known
            NotAPort,     // the name is a file or a folder, not a device
            FileHere,     // no device of that name, but a file in the current folder
        };
        Kind kind = SystemError;
        QString detail;
    };

    using QObject::QObject;

    // Opens the port and sets the line; false with the reason otherwise.
    virtual bool open(const Settings &settings, OpenFailure *failure) = 0;
    [[nodiscard]] virtual bool isOpen() const = 0;
    // Closes at once: what has not left yet is dropped, so that closing never
    // waits for a line that does not take it.
    virtual void close() = 0;
    // Hands all the bytes to the system and returns without waiting for the
    // line; the line keeps its own copy until they have left, and earlier
    // writes go out first. False, with *reason, when the system refuses at once.
    virtual bool write(const QByteArray &bytes, QString *reason) = 0;
    // Bytes handed to write() that have not left yet, the driver's queue included.
    [[nodiscard]] virtual qint64 bytesPending() const = 0;
    // Everything handed over is on the wire: nothing waits in the program,
    // in the driver or, where the driver can tell, in the transmitter.
    [[nodiscard]] virtual bool allSent() const = 0;
    // Blocks until allSent(), or msecs have passed; never longer.
    virtual bool waitUntilSent(int msecs, QString *reason) = 0;

  signals:
    // A write that was accepted failed later; the port is closed by then.
    void failed(const QString &reason);
};

// The side of the platform the program was built for.
std::unique_ptr<SerialLine> makeSerialLine();
