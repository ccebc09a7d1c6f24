// fountain-frame-monitor: listens on a serial line where the form editor's
// upload arrives (in place of the form shaper) and prints every frame decoded,
// so an upload can be checked without a fountain at hand.
#include "core/upload_frame.h"
#include "link/serial_port_setup.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSerialPort>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>

#include <csignal>
#include <cstdio>

#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr qint32 kDefaultBaudRate = SerialLine::kDefaultBaudRate;
// A frame that has begun but gets no byte for this long was cut short.
constexpr int kQuietMs = 1000;

enum ExitCode { kExitOk = 0, kExitDevice = 1, kExitUsage = 2 };

// Ctrl+C, a kill or a closed terminal ends the event loop instead of the
// process, so that the port is closed as it should be: its lock file goes,
// and so does the exclusive use the monitor took of the line, which would
// otherwise keep refusing other users (all but root) for as long as anything
// else holds the line open, as socat does its pseudo-terminal.
int g_stopSignal[2] = {-1, -1};

void onStopSignal(int signal)
{
    const char number = char(signal);
    [[maybe_unused]] const ssize_t written = ::write(g_stopSignal[1], &number, 1);
}

void quitOnStopSignals(QCoreApplication &app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_stopSignal) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_stopSignal[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
        char number = 0;
        if (::read(g_stopSignal[0], &number, 1) == 1)
            QCoreApplication::exit(128 + number); // as the shell reports a signal
    });
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

QString formLine(int slot, const FountainForm &form)
{
    QString jets;
    for (const std::uint8_t level : form.levels)
        jets += QStringLiteral(" %1").arg(int(level), 3);
    return QStringLiteral("form %1  %2  jets%3  hold %4:%5")
        .arg(slot + 1, 3)
        .arg(QStringLiteral("\"%1\"").arg(form.name), -7)
        .arg(jets)
        .arg(int(form.holdMin), 2)
        .arg(int(form.holdSek), 2, 10, QLatin1Char('0'));
}

class Monitor : public QObject
{
  public:
    Monitor(QSerialPort *port, bool once) : m_port(port), m_once(once)
    {
        m_quiet.setSingleShot(true);
        m_quiet.setInterval(kQuietMs);
        connect(&m_quiet, &QTimer::timeout, this, [this] { report(m_reader.idle()); });
        connect(m_port, &QSerialPort::readyRead, this, &Monitor::readAvailable);
        connect(m_port, &QSerialPort::errorOccurred, this, &Monitor::deviceError);
    }

  private:
    void readAvailable()
    {
        report(m_reader.feed(m_port->readAll()));
        if (m_reader.inChunk())
            m_quiet.start();
        else
            m_quiet.stop();
    }

    void report(const QList<upload_frame::Reader::Event> &events)
    {
        using Kind = upload_frame::Reader::Event::Kind;
        for (const auto &e : events) {
            if (e.kind == Kind::CutShort) {
                out() << "frame cut short: " << e.what << Qt::endl;
                continue;
            }
            if (e.kind == Kind::Malformed) {
                out() << "malformed: " << e.what << Qt::endl;
                continue;
            }
            QString problem;
            const auto programme = upload_frame::decode(e.bytes, &problem);
            if (!programme) {
                out() << "malformed frame: " << problem << Qt::endl;
                continue;
            }
            printProgramme(*programme);
            if (m_once) {
                QCoreApplication::exit(kExitOk);
                return;
            }
        }
    }

    void printProgramme(const upload_frame::Programme &p)
    {
        ++m_frames;
        out() << "frame " << m_frames << ": " << p.forms.size() << " forms, ";
        if (p.codaSlot >= 0)
            out() << "coda mark at form " << p.codaSlot + 1 << '\n';
        else
            out() << "no coda mark\n";
        for (int slot = 0; slot < p.forms.size(); ++slot)
            out() << formLine(slot, p.forms[slot]) << '\n';
        out().flush();
    }

    void deviceError(QSerialPort::SerialPortError error)
    {
        if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError)
            return;
        // A line that closes (the far end hung up, the adapter was pulled) is
        // a failed read whose text is whatever call failed last, such as
        // "Inappropriate ioctl for device": say what happened instead.
        const bool closed = error == QSerialPort::ReadError || error == QSerialPort::ResourceError;
        const QString why = closed ? QStringLiteral("the line closed") : m_port->errorString();
        err() << "Stopped listening on " << m_port->portName() << ": " << why << Qt::endl;
        QCoreApplication::exit(kExitDevice);
    }

    QSerialPort *m_port;
    bool m_once;
    upload_frame::Reader m_reader;
    QTimer m_quiet;
    int m_frames = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("fountain-frame-monitor"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Listens on a serial device for the form editor's upload frames and prints\n"
                       "each one decoded: for every form up to the first coda mark, its number,\n"
                       "name, eight jet levels and hold time (minutes:seconds). Frames that are\n"
                       "cut short or malformed are reported, and listening goes on.\n"
                       "Line settings: 8 data bits, no parity, 1 stop bit, no flow control."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("device"),
                                 QStringLiteral("Serial device to listen on, e.g. /dev/ttyUSB0."));
    const QCommandLineOption baudOption(
        {QStringLiteral("b"), QStringLiteral("baud")},
        QStringLiteral("Line speed in baud (default %1).").arg(kDefaultBaudRate),
        QStringLiteral("rate"), QString::number(kDefaultBaudRate));
    const QCommandLineOption onceOption(QStringLiteral("once"),
                                        QStringLiteral("Exit after the first complete frame."));
    parser.addOption(baudOption);
    parser.addOption(onceOption);
    parser.process(app);

    const QStringList args = parser.positionalArguments();
    if (args.size() != 1) {
        err() << "Give exactly one serial device.\n\n" << parser.helpText();
        return kExitUsage;
    }
    bool numeric = false;
    const qint32 baud = parser.value(baudOption).toInt(&numeric);
    if (!numeric || baud <= 0) {
        err() << "Not a baud rate: " << parser.value(baudOption) << Qt::endl;
        return kExitUsage;
    }

    QSerialPort port;
    setUpSerialPort(port, {args.first(), baud});
    if (!port.open(QIODevice::ReadOnly)) {
        err() << "Cannot open " << args.first() << ": " << port.errorString() << Qt::endl;
        return kExitDevice;
    }
    // Tests and scripts start their upload once this line has appeared.
    err() << "listening on " << args.first() << " at " << baud << " baud" << Qt::endl;

    Monitor monitor(&port, parser.isSet(onceOption));
    quitOnStopSignals(app);
    return QCoreApplication::exec();
}
