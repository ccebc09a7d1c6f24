// The Windows sides, run under Wine by scripts/wine-run.sh
// (--serial-capture N --windows-version V): the system information provider
// against the registry and the system read another way, the settings file's
// location, and uploads through a COM port whose far end the runner copies
// into a file.
#include "core/settings_location.h"
#include "core/system_info_windows.h"
#include "core/upload_frame.h"
#include "link/serial_line.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <windows.h>

using sysinfo::ComputerInfo;
using sysinfo::WindowsSystemInfoProvider;

namespace {

const wchar_t *wide(const QString &s)
{
    return reinterpret_cast<const wchar_t *>(s.utf16());
}

const QString kNt = QStringLiteral("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
const QString kWin = QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
const QString kCpu = QStringLiteral("HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0");

// Registry reads through RegGetValueW, apart from the provider's own calls.
std::optional<QString> machineString(const QString &key, const QString &name)
{
    wchar_t buffer[512];
    DWORD size = sizeof buffer;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, wide(key), wide(name), RRF_RT_REG_SZ, nullptr, buffer,
                     &size) != ERROR_SUCCESS)
        return std::nullopt;
    return QString::fromWCharArray(buffer);
}

std::optional<DWORD> machineDword(const QString &key, const QString &name)
{
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, wide(key), wide(name), RRF_RT_REG_DWORD, nullptr, &value,
                     &size) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

// One HKLM string set, or removed with nullopt, for as long as it lives.
class MachineValue
{
  public:
    MachineValue(QString key, QString name, const std::optional<QString> &value)
        : m_key(std::move(key)), m_name(std::move(name)), m_old(machineString(m_key, m_name))
    {
        put(value);
    }
    ~MachineValue() { put(m_old); }

  private:
    void put(const std::optional<QString> &value)
    {
        if (value)
            QCOMPARE(RegSetKeyValueW(HKEY_LOCAL_MACHINE, wide(m_key), wide(m_name), REG_SZ,
                                     wide(*value), DWORD((value->size() + 1) * sizeof(wchar_t))),
                     LONG(ERROR_SUCCESS));
        else
            RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, wide(m_key), wide(m_name));
    }
    QString m_key, m_name;
    std::optional<QString> m_old;
};

QString field(const ComputerInfo &c, const QString &name)
{
    if (name == QLatin1String("RegisteredOwner"))
        return c.registeredOwner;
    if (name == QLatin1String("RegisteredOrganization"))
        return c.registeredOrganization;
    if (name == QLatin1String("ProductId"))
        return c.productId;
    return c.productName;
}

// A bank with every byte value, line controls (LF, CR, XON, XOFF) and 255s among them.
QByteArray testFrame()
{
    QByteArray bank(form_layout::kBankSize, '\0');
    for (int i = 0; i < bank.size(); ++i)
        bank[i] = char((i * 7 + i / 256) & 0xFF);
    return upload_frame::build(bank);
}

} // namespace

class TestWindows : public QObject
{
    Q_OBJECT

    QString m_port = qEnvironmentVariable("FOUNTAIN_TEST_COM_PORT");
    QString m_capture = qEnvironmentVariable("FOUNTAIN_TEST_SERIAL_CAPTURE");

    QByteArray captured() const
    {
        QFile f(m_capture);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

  private slots:
    void versionIsTheSystemsOwn()
    {
        const std::optional<DWORD> major = machineDword(kNt, "CurrentMajorVersionNumber");
        const std::optional<DWORD> minor = machineDword(kNt, "CurrentMinorVersionNumber");
        const QStringList dotted = machineString(kNt, "CurrentVersion").value_or("").split(u'.');
        const int expectedMajor = major ? int(*major) : dotted.value(0).toInt();
        const int expectedMinor = minor ? int(*minor) : dotted.value(1).toInt();
        const uint build = machineString(kNt, "CurrentBuildNumber").value_or("").toUInt();
        QVERIFY(expectedMajor > 0 && build > 0);

        WindowsSystemInfoProvider provider;
        const auto record = provider.computerInfo().version;
        QVERIFY(record);
        QCOMPARE(record->major, expectedMajor);
        QCOMPARE(record->minor, expectedMinor);
        QCOMPARE(record->buildNumber, build);
        QCOMPARE(record->platformId, int(VER_PLATFORM_WIN32_NT));
        QCOMPARE(record->servicePack, machineString(kNt, "CSDVersion").value_or(""));
        const std::uint32_t word = provider.platformVersion().versionWord;
        QCOMPARE(sysinfo::windowsVersionText(word),
                 QStringLiteral("Windows %1.%2")
                     .arg(expectedMajor)
                     .arg(expectedMinor, 2, 10, QLatin1Char('0')));
        QCOMPARE(word >> 16, build & 0x7FFFu);

        // This program has no manifest: from 8.1 on the plain call must be
        // seen to lie, or the rows above prove nothing about avoiding it.
        if (expectedMajor * 100 + expectedMinor >= 603) {
            OSVERSIONINFOW plain{};
            plain.dwOSVersionInfoSize = sizeof plain;
            QVERIFY(GetVersionExW(&plain));
            QCOMPARE(plain.dwMajorVersion * 100 + plain.dwMinorVersion, DWORD(602));
        }
    }

    void registration_data()
    {
        // An invalid QVariant stands for a value that is not there at all.
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("nt");
        QTest::addColumn<QVariant>("legacy");
        QTest::addColumn<QString>("expected");
        QTest::newRow("NT key wins")
            << "RegisteredOwner" << QVariant("Иван Петров") << QVariant("Wrong") << "Иван Петров";
        QTest::newRow("empty NT value falls back")
            << "RegisteredOrganization" << QVariant("") << QVariant("Фонтаны") << "Фонтаны";
        QTest::newRow("NT key only") << "ProductId" << QVariant("55041-OEM-0011903-00102")
                                     << QVariant() << "55041-OEM-0011903-00102";
        QTest::newRow("in neither") << "ProductName" << QVariant() << QVariant() << "Unknown";
    }

    void registration()
    {
        QFETCH(QString, name);
        QFETCH(QVariant, nt);
        QFETCH(QVariant, legacy);
        QFETCH(QString, expected);
        auto value = [](const QVariant &v) {
            return v.isValid() ? std::optional(v.toString()) : std::nullopt;
        };
        const MachineValue ntValue(kNt, name, value(nt));
        const MachineValue legacyValue(kWin, name, value(legacy));
        QCOMPARE(field(WindowsSystemInfoProvider().computerInfo(), name), expected);
    }

    void processorAndComputerType()
    {
        const MachineValue id(kCpu, "Identifier", QString("x86 Family 6 Model 14 Stepping 8"));
        const MachineValue vendor(kCpu, "VendorIdentifier", QString("AuthenticAMD"));
        const MachineValue mmx(kCpu, "MMXIdentifier", std::nullopt);
        wchar_t windir[MAX_PATH];
        QVERIFY(GetWindowsDirectoryW(windir, MAX_PATH));
        const QString ini = QString::fromWCharArray(windir) + "\\System.ini";
        wchar_t old[256];
        GetPrivateProfileStringW(L"boot.description", L"system.drv", L"\x1", old, 256, wide(ini));
        const auto restore = qScopeGuard([&] {
            WritePrivateProfileStringW(L"boot.description", L"system.drv",
                                       old[0] == L'\x1' ? nullptr : old, wide(ini));
        });
        QVERIFY(WritePrivateProfileStringW(L"boot.description", L"system.drv", L"Standard PC",
                                           wide(ini)));
        ComputerInfo c = WindowsSystemInfoProvider().computerInfo();
        QCOMPARE(c.processorIdentifier, QStringLiteral("x86 Family 6 Model 14 Stepping 8"));
        QCOMPARE(c.vendorIdentifier, QStringLiteral("AuthenticAMD"));
        QCOMPARE(c.mmxIdentifier, QStringLiteral("Unknown"));
        QCOMPARE(c.computerType, QStringLiteral("Standard PC"));
        QVERIFY(WritePrivateProfileStringW(L"boot.description", L"system.drv", nullptr, wide(ini)));
        c = WindowsSystemInfoProvider().computerInfo();
        QCOMPARE(c.computerType, QStringLiteral("Unknown"));
        QCOMPARE(QDir::fromNativeSeparators(c.windowsDirectory).toLower(),
                 QDir::fromNativeSeparators(qEnvironmentVariable("WINDIR")).toLower());
    }

    void memoryAndDrives()
    {
        // Wine passes the Linux figure through; 32-bit counts would stop at 4 GiB.
        QFile meminfo(QStringLiteral("Z:/proc/meminfo"));
        if (meminfo.open(QIODevice::ReadOnly)) {
            const QByteArray total = meminfo.readLine().simplified().split(' ').value(1);
            const auto m = WindowsSystemInfoProvider().memoryStatus();
            QCOMPARE(m.totalPhys / 1048576, total.toULongLong() / 1024);
            QVERIFY(m.availPhys > 0 && m.availPhys <= m.totalPhys);
        }
        const DWORD present = GetLogicalDrives();
        for (int drive = 0; drive < sysinfo::kDriveCount; ++drive) {
            const auto d = WindowsSystemInfoProvider().driveInfo(drive);
            QCOMPARE(d.rootPath, QString(QChar(u'C' + drive)) + ":\\");
            if (present & (1u << (2 + drive))) {
                QVERIFY(d.volumeSerial);
                QVERIFY(d.totalBytes > 0 && d.availableBytes >= 0 &&
                        d.availableBytes <= d.totalBytes);
            } else {
                QVERIFY(!d.volumeSerial);
                QCOMPARE(d.availableBytes, std::int64_t(-1));
                QCOMPARE(d.totalBytes, std::int64_t(-1));
            }
        }
    }

    void settingsLocation()
    {
        const QByteArray appData = qgetenv("APPDATA");
        QVERIFY(!appData.isEmpty());
        const QString expected = QDir::fromNativeSeparators(QString::fromLocal8Bit(appData));
        QCOMPARE(settings_location::settingsFile(), expected + "/Fonvira.ini");
        QTemporaryDir elsewhere;
        qputenv("APPDATA", QDir::toNativeSeparators(elsewhere.path()).toLocal8Bit());
        QCOMPARE(settings_location::settingsFile(), elsewhere.path() + "/Fonvira.ini");
        // Without the variable the known folder answers, the one Windows put into it.
        qunsetenv("APPDATA");
        QCOMPARE(settings_location::settingsFile().toLower(),
                 (expected + "/Fonvira.ini").toLower());
        qputenv("APPDATA", appData);
        QCOMPARE(settings_location::legacySettingsFile().toLower(),
                 (QDir::fromNativeSeparators(qEnvironmentVariable("WINDIR")) + "/Fonvira.ini")
                     .toLower());
    }

    void upload_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<int>("baud");
        QTest::addColumn<QByteArrayList>("blocks");
        QTest::addColumn<bool>("blockUntilSent"); // else the event loop sees the completions
        const QByteArray tail("\xFF\xF0 and a block behind it\n", 26);
        QTest::newRow("frame") << m_port << 9600 << QByteArrayList{testFrame()} << false;
        QTest::newRow("queued block, device path")
            << "\\\\.\\" + m_port << 19200 << QByteArrayList{testFrame(), tail} << false;
        QTest::newRow("queued block, waiting")
            << m_port.toLower() << 115200 << QByteArrayList{tail, testFrame(), tail} << true;
    }

    void upload()
    {
        if (m_port.isEmpty() || m_capture.isEmpty())
            QSKIP("needs scripts/wine-run.sh --serial-capture N");
        QFETCH(QString, port);
        QFETCH(int, baud);
        QFETCH(QByteArrayList, blocks);
        QFETCH(bool, blockUntilSent);
        QCOMPARE(testFrame().size(), upload_frame::kFrameSize);
        const qsizetype before = captured().size();
        const QByteArray all = blocks.join();

        const std::unique_ptr<SerialLine> line = makeSerialLine();
        QSignalSpy failures(line.get(), &SerialLine::failed);
        QString reason;
        SerialLine::OpenFailure failure;
        QVERIFY2(line->open({port, baud}, &failure), qPrintable(failure.detail));
        for (const QByteArray &block : blocks)
            QVERIFY2(line->write(block, &reason), qPrintable(reason));
        QCOMPARE(line->bytesPending(), all.size());
        if (blockUntilSent)
            QVERIFY2(line->waitUntilSent(5000, &reason), qPrintable(reason));
        QTRY_COMPARE_WITH_TIMEOUT(captured().size(), before + all.size(), 5000);
        QCOMPARE(captured().mid(before), all);
        QVERIFY(line->waitUntilSent(1000, &reason));
        QCOMPARE(line->bytesPending(), 0);
        QCOMPARE(failures.size(), 0);
        line->close();

        // The port keeps the line the upload set.
        const QString device = "\\\\.\\" + m_port;
        HANDLE h = CreateFileW(wide(device), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        QVERIFY(h != INVALID_HANDLE_VALUE);
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        const bool read = GetCommState(h, &dcb);
        CloseHandle(h);
        QVERIFY(read);
        QCOMPARE(int(dcb.BaudRate), baud);
        QCOMPARE(int(dcb.ByteSize), 8);
        QCOMPARE(int(dcb.Parity), NOPARITY);
        QCOMPARE(int(dcb.StopBits), ONESTOPBIT);
    }

    void openFailures_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<int>("baud");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("no such port") << "COM42" << 9600 << "";
        QTest::newRow("no such device path") << "\\\\.\\COM42" << 9600 << "";
        // Wine cannot give a pseudo-terminal this speed and quietly picks 38400.
        QTest::newRow("speed not taken") << m_port << 12345 << "12345 baud 8N1";
    }

    void openFailures()
    {
        QFETCH(QString, port);
        QFETCH(int, baud);
        QFETCH(QString, mentions);
        if (port.isEmpty())
            QSKIP("needs scripts/wine-run.sh --serial-capture N");
        const qsizetype before = captured().size();
        const std::unique_ptr<SerialLine> line = makeSerialLine();
        SerialLine::OpenFailure failure;
        QVERIFY(!line->open({port, baud}, &failure));
        QVERIFY(!line->isOpen());
        QCOMPARE(failure.kind, SerialLine::OpenFailure::SystemError);
        // The system's own words, ready for "Error opening port %1: %2".
        QString reason = failure.detail;
        QVERIFY2(!reason.isEmpty() && !reason.endsWith(u'.') && !reason.contains(u'\n') &&
                     !reason.startsWith(QLatin1String("System error")),
                 qPrintable(reason));
        QVERIFY2(reason.contains(mentions), qPrintable(reason));
        QVERIFY(!line->write("x", &reason));
        QTest::qWait(100);
        QCOMPARE(captured().size(), before);
    }

    // Last: it ends the runner's socat pair. A write waiting on a full line
    // fails when the line goes; the failure is reported once, the port is
    // closed, and the waiting bytes are dropped.
    void lineGoneWhileWriting()
    {
        const QString control = qEnvironmentVariable("FOUNTAIN_TEST_SERIAL_CONTROL");
        if (m_port.isEmpty() || control.isEmpty())
            QSKIP("needs scripts/wine-run.sh --serial-capture N");
        const auto request = [&control](const char *fault) {
            QFile f(control + "\\" + fault);
            QVERIFY(f.open(QIODevice::WriteOnly));
        };
        const std::unique_ptr<SerialLine> line = makeSerialLine();
        QSignalSpy failures(line.get(), &SerialLine::failed);
        QString reason;
        SerialLine::OpenFailure failure;
        QVERIFY2(line->open({m_port, 9600}, &failure), qPrintable(failure.detail));
        request("pause");
        QTest::qWait(300);
        const QByteArray block(1 << 20, '\x55');
        QVERIFY2(line->write(block, &reason), qPrintable(reason));
        QVERIFY2(line->write(testFrame(), &reason), qPrintable(reason));
        QVERIFY(!line->waitUntilSent(300, &reason)); // the line is full
        QVERIFY(line->bytesPending() > upload_frame::kFrameSize);
        request("hangup");
        QTRY_COMPARE_WITH_TIMEOUT(failures.size(), 1, 5000);
        QVERIFY(!failures.first().first().toString().isEmpty());
        QVERIFY(!line->isOpen());
        QCOMPARE(line->bytesPending(), 0);
        QTest::qWait(200);
        QCOMPARE(failures.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestWindows)
#include "tst_windows.moc"
