// The About dialog, opened from the main window's toolbar with a system
// information provider the test controls.
#include "about/about_form.h"
#include "core/system_info.h"
#include "tests/support/window_fixture.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

using namespace sysinfo;

namespace {

// Hands out whatever values the test puts into it and logs every request.
class FakeProvider : public SystemInfoProvider
{
  public:
    SystemInfo info;
    QStringList calls;

    PlatformVersion platformVersion() override { return calls << "platform", info.platform; }
    MemoryStatus memoryStatus() override { return calls << "memory", info.memory; }
    ComputerInfo computerInfo() override { return calls << "computer", info.computer; }
    DriveInfo driveInfo(int d) override
    {
        calls << QStringLiteral("drive%1").arg(d);
        return info.drives[std::size_t(d)];
    }
};

const QStringList kHandlerOrder = {"memory", "computer", "platform", "drive0", "drive1", "drive2"};

DriveInfo drive(std::uint32_t serial, std::int64_t avail, std::int64_t total)
{
    return DriveInfo{QStringLiteral("/mnt/x"), serial, avail, total};
}

// A machine with more than 4 GiB of memory and drives C and E but no D.
SystemInfo sampleMachine()
{
    SystemInfo s;
    s.platform.versionWord = 0x0A280105; // Windows 5.01, DOS 10.40
    s.platform.processorLevel = 6;
    s.memory = {std::uint64_t(6) << 30, (std::uint64_t(5) << 30) + 2047, 0x100000000ull, 1023};
    s.computer = {"Test Box 3000",
                  "x86 Family 6 Model 8",
                  "MMX",
                  "GenuineIntel",
                  std::nullopt,
                  "Microsoft Windows XP",
                  "Org",
                  "Owner",
                  "55274-640-1234567-23456",
                  "C:\\WINDOWS"};
    s.computer.version = VersionRecord{5, 1, 0x0A280A28, 2, QStringLiteral("Service Pack 2")};
    s.drives[0] = drive(0xDEADBEEF, 1999999, 80026361856);
    s.drives[2] = drive(1234, 0, 700000000);
    return s;
}

QLabel *label(const TAboutForm &f, const QString &name)
{
    return findNamed<QLabel>(&f, name);
}

// The texts of every value row, in a fixed order; the drives' rows come last.
QStringList allValues(const TAboutForm &f)
{
    QStringList v;
    for (const char *name : {"OSNameLabel", "LabelWinVer", "VersionLabel", "VersionNumberLabel",
                             "LabelDosVer", "VendorIdentifierLabel", "ProcessorLabel",
                             "LabelTipCPU", "MMXIdentifierLabel", "SerNumberEdit", "TotalPhys",
                             "AvailPhys", "TotalPage", "AvailPage", "RegisteredOrganizationLabel",
                             "RegisteredOwnerLabel", "WindowsDirLabel", "ComputerLabel"})
        v << findNamed<QWidget>(&f, QLatin1String(name))->property("text").toString();
    for (const char *drive : {"C", "D", "E"})
        for (const char *row : {"LabelDiskSize", "LabelDiskFree", "LabelHDD_"})
            v << label(f, QString::fromLatin1(row) + QLatin1String(drive))->text();
    return v;
}

struct Opened
{
    WindowFixture main;
    TAboutForm about{main.w().guard()};
    FakeProvider provider;
    QList<QUrl> opened;

    Opened()
    {
        about.setSystemInfoProvider(&provider);
        about.setUrlOpener([this](const QUrl &u) { return opened << u, true; });
        main.w().setSecondaryWindows(&about, nullptr);
        provider.info = sampleMachine();
    }
    template <typename T> T *find(const QString &name) const { return findNamed<T>(&about, name); }

    // Opens the dialog with the toolbar button, as the operator does, runs
    // check while it is the active window, and closes it.
    bool open(const std::function<void()> &check = [] {})
    {
        bool ran = false;
        QTimer poll;
        int waited = 0;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!about.isVisible())
                return;
            if (QApplication::activeWindow() != &about && (waited += 10) < 3000)
                return;
            poll.stop();
            ran = QApplication::activeWindow() == &about;
            check();
            find<QPushButton>(QStringLiteral("BitBtnClose"))->click();
        });
        poll.start(10);
        main.button(QStringLiteral("SpeedButtonAbout"))->click();
        return ran;
    }

    QStringList valuesOnOpening()
    {
        QStringList seen;
        provider.calls.clear();
        return open([&] { seen = allValues(about); }) ? seen : QStringList();
    }
};

} // namespace

class TestAbout : public QObject
{
    Q_OBJECT

  private slots:
    void wrappedTextsFitTheirBoxes()
    {
        // The web address is the last line of its label: cut off, the link is lost.
        RecordingPrompts prompts;
        const HandlerGuard guard(prompts);
        TAboutForm f(guard);
        QLabel *http = label(f, QStringLiteral("LabelHTTP"));
        QVERIFY(http->text().endsWith(QStringLiteral("  fountain.example.org")));
        const auto *content = findNamed<QWidget>(&f, QStringLiteral("ClientArea"));
        for (const QLabel *l : {http, findNamed<QLabel>(content, QStringLiteral("LabelRights"))})
            QVERIFY2(l->heightForWidth(l->width()) <= l->height(), qPrintable(l->objectName()));
        // The version line ends before the picture at left 200.
        QVERIFY(label(f, QStringLiteral("LabelVersion"))->geometry().right() < 200);
    }

    void showingFillsEveryRowInHandlerOrder_data()
    {
        QTest::addColumn<bool>("known");
        QTest::addColumn<QString>("rows");
        // 6 GiB and more show whole where a 32-bit count would have wrapped; the
        // serial with the top bit set is positive; drive D is absent, its number
        // row keeps "0".
        QTest::newRow("sample machine")
            << true
            << "Microsoft Windows XP|Windows 5.01|5.1 (2600.Service Pack 2)|Windows NT|DOS 10.40|"
               "GenuineIntel|x86 Family 6 Model 8|Intel Pentium III|MMX|55274-640-1234567-23456|"
               "6291456 K|5242881 K|4194304 K|0 K|Org|Owner|C:\\WINDOWS|Test Box 3000|"
               "80026 Mb|1 Mb|3735928559|0 Mb|0 Mb|0|700 Mb|0 Mb|1234";
        // Without a version record or DOS those rows keep their placeholders.
        QTest::newRow("nothing known")
            << false
            << "Unknown|Linux 0.00|0|0|0|Unknown|Unknown||Unknown|Unknown|0 K|0 K|0 K|0 K|"
               "Unknown|Unknown|Unknown|Unknown|0 Mb|0 Mb|0|0 Mb|0 Mb|0|0 Mb|0 Mb|0";
    }
    void showingFillsEveryRowInHandlerOrder()
    {
        QFETCH(bool, known);
        QFETCH(QString, rows);
        Opened o;
        const QStringList placeholders = allValues(o.about);
        QCOMPARE(placeholders.count(QStringLiteral("0")), placeholders.size() - 1);
        QCOMPARE(label(o.about, QStringLiteral("LabelTipCPU"))->text(), QStringLiteral("0-"));
        if (!known) {
            o.provider.info = SystemInfo{};
            o.provider.info.platform.hasDosVersion = false;
            o.provider.info.platform.systemName = QStringLiteral("Linux");
            o.provider.info.platform.processorLevel = 26;
        }
        QCOMPARE(o.valuesOnOpening(), rows.split(u'|'));
        QCOMPARE(o.provider.calls, kHandlerOrder);
    }

    void secondShowingReadsEveryValueAgain()
    {
        Opened o;
        QVERIFY(o.open());
        // Between showings a drive D appears, memory changes, another owner...
        o.provider.info.drives[1] = drive(77, 5000000, 9000000);
        o.provider.info.memory.availPhys = 3 << 20;
        o.provider.info.computer.registeredOwner = QStringLiteral("Second");
        o.provider.info.platform.versionWord = 0x00000004;
        o.provider.info.platform.processorLevel = 4;
        QStringList seen = o.valuesOnOpening();
        QCOMPARE(o.provider.calls, kHandlerOrder);
        QCOMPARE(seen.value(1), QStringLiteral("Windows 4.00"));
        QCOMPARE(seen.value(4), QStringLiteral("DOS 0.00"));
        QCOMPARE(seen.value(7), QStringLiteral("Intel 80486"));
        QCOMPARE(seen.value(11), QStringLiteral("3072 K"));
        QCOMPARE(seen.value(15), QStringLiteral("Second"));
        QCOMPARE(seen.mid(21, 3), QStringList({"9 Mb", "5 Mb", "77"}));

        // ... and then goes again: the figures fall to 0, the number stays.
        o.provider.info.drives[1] = DriveInfo{};
        seen = o.valuesOnOpening();
        QCOMPARE(seen.mid(21, 3), QStringList({"0 Mb", "0 Mb", "77"}));
    }

    void sysInfoEnlargesOnceAndLaterShowingsCentre()
    {
        Opened o;
        QRect first, once, twice;
        QSize client;
        bool stillOpen = false;
        QVERIFY(o.open([&] {
            first = o.about.frameGeometry();
            client = o.about.size();
            QToolButton *more = o.find<QToolButton>(QStringLiteral("SpeedButtonMore"));
            more->click();
            once = o.about.frameGeometry();
            more->click();
            twice = o.about.frameGeometry();
            // Escape does not close the dialog; Enter presses OK.
            QTest::keyClick(&o.about, Qt::Key_Escape);
            stillOpen = o.about.isVisible();
            QTest::keyClick(&o.about, Qt::Key_Return);
        }));
        QVERIFY(stillOpen);
        QCOMPARE(o.about.result(), int(QDialog::Accepted));
        const QPoint centre = o.about.screen()->geometry().center();
        QCOMPARE(client, QSize(395, 244));
        QVERIFY((first.center() - centre).manhattanLength() <= 2);
        QCOMPARE(once.height(), 631);
        QCOMPARE(once.top(), 78);
        QCOMPARE(twice, once);
        QCOMPARE(o.about.width(), 395);
        // The whole left column is now in view without scrolling down.
        QVERIFY(o.find<QScrollArea>(QStringLiteral("ScrollBoxAbout"))->viewport()->height() >= 578);

        QRect reopened;
        QVERIFY(o.open([&] { reopened = o.about.frameGeometry(); }));
        QCOMPARE(reopened.height(), 631);
        QVERIFY((reopened.center() - centre).manhattanLength() <= 2);
    }

    void linkLabels_data()
    {
        QTest::addColumn<bool>("login");
        QTest::addColumn<QString>("url");
        QTest::newRow("mail") << true << "mailto:fountain-forms@example.org";
        QTest::newRow("web") << false << "http://fountain.example.org";
    }
    void linkLabels()
    {
        QFETCH(bool, login);
        QFETCH(QString, url);
        Opened o;
        QLabel *label = o.find<QLabel>(QLatin1String(login ? "LabelLogin" : "LabelHTTP"));
        auto colour = [](const QLabel *l) { return l->palette().color(QPalette::WindowText); };
        QCOMPARE(colour(label), QColor(Qt::black));
        QVERIFY(o.open([&] {
            QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), label->mapToGlobal(QPointF(5, 5)),
                             Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(label, &move);
            QCOMPARE(colour(label), QColor(255, 0, 0));
            QCOMPARE(label->cursor().shape(), Qt::PointingHandCursor);

            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(label, &leave);
            QCOMPARE(colour(label), QColor(0, 0, 128));
            QVERIFY(o.opened.isEmpty());

            QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(5, 5));
            QCOMPARE(colour(label), QColor(0, 128, 0));

            // A move over the background gives the web label its arrow back.
            QMouseEvent away(QEvent::MouseMove, QPointF(380, 140), QPointF(380, 140), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(o.find<QWidget>(QStringLiteral("ClientArea")), &away);
            QCOMPARE(o.find<QLabel>(QStringLiteral("LabelHTTP"))->cursor().shape(),
                     Qt::ArrowCursor);
        }));
        QCOMPARE(o.opened, QList<QUrl>({QUrl(url)}));
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
