// The form strip viewer over the real main window, and the gauge widget itself.
#include "app/main_window.h"
#include "player/gauge.h"
#include "store/form_store.h"
#include "tests/test_support.h"

#include <QGroupBox>
#include <QLabel>
#include <QScrollBar>
#include <QTest>

namespace {

struct Window
{
    Sandbox sandbox;
    RecordingPrompts prompts;
    TfrmMain w;
};

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
        Window f;
        for (int i = 0; i < 7; ++i) {
            QGroupBox *box = f.w.GroupBoxWin[i];
            const QString n = QString::number(i + 1);
            QCOMPARE(
                box->findChild<QLabel *>(i == 5 ? "LabeNomberFormWin6" : "LabelNomberFormWin" + n),
                f.w.LabelNomberFormWin[i]);
            QCOMPARE(box->findChild<QLabel *>(i == 4 ? "LabelLabelTimeWin5" : "LabelTimeWin" + n),
                     f.w.LabelTimeWin[i]);
            QCOMPARE(box->findChild<QLabel *>("LabelNameFormWin" + n), f.w.LabelNameFormWin[i]);
            for (int v = 0; v < 8; ++v) {
                TGauge *g =
                    box->findChild<TGauge *>(QStringLiteral("GaugeWin%1z%2").arg(n).arg(v + 1));
                QCOMPARE(g, f.w.GaugeWin[i][v]);
                QVERIFY(!g->showsText());
            }
        }
    }

    void rulerShowsSevenSlotsFromItsPosition_data()
    {
        QTest::addColumn<int>("ruler");
        QTest::addColumn<int>("top");
        QTest::newRow("0") << 0 << 0;
        QTest::newRow("40") << 40 << 40;
        QTest::newRow("93") << 93 << 93;
        QTest::newRow("beyond the end") << 500 << 93;
    }
    void rulerShowsSevenSlotsFromItsPosition()
    {
        QFETCH(int, ruler);
        QFETCH(int, top);
        Window f;
        TfrmMain &w = f.w;
        for (int s = 0; s < 100; ++s)
            FormStore::instance().WriteForm(s, sampleForm(s));
        w.ScrollBarFormVewer->setValue(17); // away first, so the move really refreshes
        w.ScrollBarFormVewer->setValue(ruler);
        QCOMPARE(w.ScrollBarFormVewer->value(), top);
        for (int i = 0; i < 7; ++i) {
            const FountainForm form = sampleForm(top + i);
            QCOMPARE(w.LabelNomberFormWin[i]->text(),
                     QStringLiteral("Форма N %1").arg(top + i + 1));
            QCOMPARE(w.LabelNameFormWin[i]->text(), form.name);
            QCOMPARE(w.LabelTimeWin[i]->text(),
                     QStringLiteral("%1 Мин %2 Сек ").arg(form.holdMin).arg(form.holdSek));
            for (int v = 0; v < 8; ++v)
                QCOMPARE(w.GaugeWin[i][v]->value(), int(form.levels[v]));
        }

        // The refresh itself reads the store as it is now.
        FountainForm changed;
        changed.name = QStringLiteral("новая");
        changed.levels[7] = 200;
        FormStore::instance().WriteForm(top + 4, changed);
        w.ScrollBarFormVewerChange();
        QCOMPARE(w.ScrollBarFormVewer->value(), top);
        QCOMPARE(w.LabelNameFormWin[4]->text(), QStringLiteral("новая"));
        QCOMPARE(w.LabelTimeWin[4]->text(), QStringLiteral("0 Мин 0 Сек "));
        QCOMPARE(w.GaugeWin[4][7]->value(), 200);
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
        Window f;
        std::array<std::uint8_t, 8> times{};
        for (int v = 0; v < 8; ++v)
            times[v] = std::uint8_t(v == 4 ? stored : 100 + v);
        FormStore::instance().writeTravelTimes(times);
        f.w.ScrollBarTimeZadv[4]->setValue(50); // an unsaved change gives way
        f.w.ScrollBarFormVewer->setValue(3);    // a move of the ruler refreshes
        for (int v = 0; v < 8; ++v)
            QCOMPARE(f.w.ScrollBarTimeZadv[v]->value(), v == 4 ? shown : 100 + v);
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
