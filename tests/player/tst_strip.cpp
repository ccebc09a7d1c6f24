// The form strip viewer over the real main window, and the gauge widget itself.
#include "core/form_store.h"
#include "player/gauge.h"
#include "player/strip_viewer.h"
#include "tests/support/window_fixture.h"

#include <QGroupBox>
#include <QLabel>
#include <QScrollBar>
#include <QTest>

namespace {

// The controls of strip window i (0..6), found by their names.
struct StripWindow
{
    QLabel *number;
    QLabel *name;
    QLabel *time;
    std::array<TGauge *, 8> gauges;
};

StripWindow stripWindow(const WindowFixture &f, int i)
{
    const QString n = QString::number(i + 1);
    auto *box = f.find<QGroupBox>("GroupBoxWin" + n);
    StripWindow sw{findNamed<QLabel>(box, i == 5 ? "LabeNomberFormWin6" : "LabelNomberFormWin" + n),
                   findNamed<QLabel>(box, "LabelNameFormWin" + n),
                   findNamed<QLabel>(box, i == 4 ? "LabelLabelTimeWin5" : "LabelTimeWin" + n),
                   {}};
    for (int v = 0; v < 8; ++v)
        sw.gauges[v] = findNamed<TGauge>(box, QStringLiteral("GaugeWin%1z%2").arg(n).arg(v + 1));
    return sw;
}

// A different form in every slot 0..99, hold seconds above 59 from slot 20 on.
FountainForm sampleForm(int slot)
{
    FountainForm f;
    for (int v = 0; v < 8; ++v)
        f.levels[v] = std::uint8_t((slot * 53 + v * 31) % 256);
    f.name = QStringLiteral("Ф%1").arg(slot);
    f.holdMin = std::uint8_t(slot % 7);
    f.holdSek = std::uint8_t(slot * 3 % 256);
    return f;
}

// Counts the paint events a widget really receives.
class PaintCounter : public QObject
{
  public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        paints += e->type() == QEvent::Paint;
        return false;
    }
};

} // namespace

class TestStrip : public QObject
{
    Q_OBJECT

  private slots:
    // Two label names break the pattern; the strip gauges have no text.
    void windowsHoldTheirNamedControls()
    {
        WindowFixture f;
        for (int i = 0; i < 7; ++i) {
            const StripWindow sw = stripWindow(f, i); // finding them is the check
            QCOMPARE(sw.number->text(), QStringLiteral("Форма N %1").arg(i + 1));
            for (TGauge *g : sw.gauges)
                QVERIFY(!g->showsText());
        }
    }

    void rulerShowsSevenSlotsFromItsPosition_data()
    {
        QTest::addColumn<int>("rulerAt");
        QTest::addColumn<int>("top");
        QTest::newRow("0") << 0 << 0;
        QTest::newRow("40") << 40 << 40;
        QTest::newRow("93") << 93 << 93;
        QTest::newRow("beyond the end") << 500 << 93;
    }
    void rulerShowsSevenSlotsFromItsPosition()
    {
        QFETCH(int, rulerAt);
        QFETCH(int, top);
        WindowFixture f;
        QScrollBar *ruler = f.bar("ScrollBarFormVewer");
        for (int s = 0; s < 100; ++s)
            f.store().WriteForm(s, sampleForm(s));
        ruler->setValue(17); // away first, so the move really refreshes
        ruler->setValue(rulerAt);
        QCOMPARE(ruler->value(), top);
        for (int i = 0; i < 7; ++i) {
            const FountainForm form = sampleForm(top + i);
            const StripWindow sw = stripWindow(f, i);
            QCOMPARE(sw.number->text(), QStringLiteral("Форма N %1").arg(top + i + 1));
            QCOMPARE(sw.name->text(), form.name);
            QCOMPARE(sw.time->text(),
                     QStringLiteral("%1 Мин %2 Сек ").arg(form.holdMin).arg(form.holdSek));
            for (int v = 0; v < 8; ++v)
                QCOMPARE(sw.gauges[v]->value(), int(form.levels[v]));
        }

        // The refresh itself reads the store as it is now.
        FountainForm changed;
        changed.name = QStringLiteral("новая");
        changed.levels[7] = 200;
        f.store().WriteForm(top + 4, changed);
        f.strip()->refreshStrip();
        QCOMPARE(ruler->value(), top);
        const StripWindow fifth = stripWindow(f, 4);
        QCOMPARE(fifth.name->text(), QStringLiteral("новая"));
        QCOMPARE(fifth.time->text(), QStringLiteral("0 Мин 0 Сек "));
        QCOMPARE(fifth.gauges[7]->value(), 200);
    }

    void refreshSetsTravelTimeBarsFromTheStore_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("shown");
        QTest::newRow("0 shows 7") << 0 << 7;
        QTest::newRow("6 shows 7") << 6 << 7;
        QTest::newRow("255") << 255 << 255;
    }
    void refreshSetsTravelTimeBarsFromTheStore()
    {
        QFETCH(int, stored);
        QFETCH(int, shown);
        WindowFixture f;
        // A bar moved by the operator went into the store (once it gave way at
        // the refresh); what the store holds after that is what shows.
        f.bar("ScrollBarTimeZadv", 5)->setValue(50);
        TravelTimes times{};
        for (int v = 0; v < 8; ++v)
            times[v] = std::uint8_t(v == 4 ? stored : 100 + v);
        f.store().writeTravelTimes(times);
        f.bar("ScrollBarFormVewer")->setValue(3); // a move of the ruler refreshes
        for (int v = 0; v < 8; ++v)
            QCOMPARE(f.bar("ScrollBarTimeZadv", v + 1)->value(), v == 4 ? shown : 100 + v);
    }

    // ---- the gauge widget ----

    void gaugeWithTextRepaintsOnlyOnANewPercentage()
    {
        TGauge g(true);
        g.resize(40, 100);
        PaintCounter counter;
        g.installEventFilter(&counter);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        QCoreApplication::processEvents();
        const int requestsBefore = g.updateRequests();
        counter.paints = 0;
        for (int v = 0; v <= 255; ++v) {
            g.setValue(v);
            QCoreApplication::processEvents();
        }
        QCOMPARE(g.updateRequests() - requestsBefore, 100); // 0% .. 100%
        QVERIFY2(counter.paints > 0 && counter.paints <= 101,
                 qPrintable(QString::number(counter.paints)));
    }

    void gaugeWithoutTextRepaintsOnlyOnANewHeight()
    {
        TGauge g(false);
        g.resize(17, 63);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        const int before = g.updateRequests();
        for (int v = 0; v <= 255; ++v)
            g.setValue(v);
        // One repaint per pixel row gained, never one per unit.
        QCOMPARE(g.updateRequests() - before, 63);
        g.setValue(255);
        QCOMPARE(g.updateRequests() - before, 63);
    }

    void gaugeDrawing_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("filledRows");
        QTest::newRow("empty") << 0 << 0;
        QTest::newRow("half") << 128 << 31; // 128 * 63 / 255
        QTest::newRow("full") << 255 << 63;
    }
    void gaugeDrawing()
    {
        QFETCH(int, value);
        QFETCH(int, filledRows);
        TGauge g(false);
        g.resize(17, 63);
        g.setValue(value);
        const QImage img = g.grab().toImage();
        for (int y = 0; y < 63; ++y) {
            const QColor expected =
                y >= 63 - filledRows ? QColor(0, 255, 255) : QColor(192, 220, 192);
            // Edge columns too: there is no border.
            QCOMPARE(img.pixelColor(0, y), expected);
            QCOMPARE(img.pixelColor(16, y), expected);
        }
    }
};

QTEST_MAIN(TestStrip)
#include "tst_strip.moc"
