// ComPort over a line that misbehaves on purpose: what the channel does when
// the system refuses a write at once, without a real port to break.
#include "core/upload_frame.h"
#include "link/com_port.h"

#include <QTest>

namespace {

// Opens, then refuses every write at once, as a port whose handle went bad.
class RefusingLine final : public SerialLine
{
  public:
    int opens = 0;
    int closes = 0;

    bool open(const Settings &, OpenFailure *) override
    {
        ++opens;
        m_open = true;
        return true;
    }
    bool isOpen() const override { return m_open; }
    void close() override
    {
        ++closes;
        m_open = false;
    }
    bool write(const QByteArray &, QString *reason) override
    {
        *reason = QStringLiteral("The handle is invalid");
        return false;
    }
    qint64 bytesPending() const override { return 0; }
    bool allSent() const override { return true; }
    bool waitUntilSent(int, QString *) override { return true; }

  private:
    bool m_open = false;
};

} // namespace

class TestComPort : public QObject
{
    Q_OBJECT

  private slots:
    // The refusal is the port's error with the system's reason, the port is closed, and the next
    // send opens it afresh; the caller's bytes are its own throughout.
    void writeRefusedAtOnce()
    {
        auto owned = std::make_unique<RefusingLine>();
        RefusingLine &line = *owned;
        ComPort port(
            [] {
                return ComPort::LineSettings{QStringLiteral("COM9"), 9600};
            },
            std::move(owned));
        const QByteArray frame(upload_frame::kFrameSize, '\x11');
        const QByteArray kept = frame;
        for (int attempt = 1; attempt <= 2; ++attempt) {
            try {
                port.Write(frame);
                QFAIL("a refused write was taken for sent");
            } catch (const EComPortError &e) {
                QCOMPARE(e.message(),
                         QStringLiteral("Error writing port COM9: The handle is invalid"));
            }
            QCOMPARE(line.opens, attempt);
            QCOMPARE(line.closes, attempt);
            QVERIFY(!port.isOpen());
        }
        QCOMPARE(frame, kept);
    }
};

QTEST_GUILESS_MAIN(TestComPort)
#include "tst_com_port.moc"
