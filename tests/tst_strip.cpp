// The form strip viewer over the real main window, and the gauge widget itself.
#include "app/main_window.h"
#include "player/gauge.h"
#include "store/form_store.h"
#include "tests/test_support.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

namespace {

struct Window
{
    Sandbox sandbox;
    RecordingPrompts prompts;
    TfrmMain w;
};

// A different form in every slot 0..99; slot 0 keeps only valve 3 full.
FountainForm sampleForm(int slot)
{
    FountainForm f;
    for (int v = 0; v < 8; ++v)
        f.levels[v] = slot == 0 ? (v == 2 ? 255 : 0) : std::uint8_t((slot * 53 + v * 31) % 256);
    f.name = QStringLiteral("Ф%1").arg(slot);
    f.holdMin = std::uint8_t(slot % 7);
    f.holdSek = std::uint8_t(slot * 3 % 256); // above 59 from slot 20 on
    return f;
}

void fillStore()
{
    for (int s = 0; s < 100; ++s)
        FormStore::instance().WriteForm(s, sampleForm(s));
}

QString timeText(int min, int sek)
{
    return QStringLiteral("%1 Мин %2 Сек ").arg(min).arg(sek);
}

// Counts the paint events a widget really receives.
class PaintCounter : public QObject
{
  public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

} // namespace

class TestStrip : public QObject
{
    Q_OBJECT

  private slots:
    void windowsHoldTheirNamedControls()
    {
        Window f;
        TfrmMain &w = f.w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QStringList numberNames = {"LabelNomberFormWin1", "LabelNomberFormWin2",
                                         "LabelNomberFormWin3", "LabelNomberFormWin4",
                                         "LabelNomberFormWin5", "LabeNomberFormWin6",
                                         "LabelNomberFormWin7"};
        const QStringList timeNames = {"LabelTimeWin1", "LabelTimeWin2",      "LabelTimeWin3",
                                       "LabelTimeWin4", "LabelLabelTimeWin5", "LabelTimeWin6",
                                       "LabelTimeWin7"};
        for (int i = 0; i < 7; ++i) {
            QGroupBox *box = w.GroupBoxWin[i];
            QCOMPARE(box->findChild<QLabel *>(numberNames[i]), w.LabelNomberFormWin[i]);
            QCOMPARE(box->findChild<QLabel *>(timeNames[i]), w.LabelTimeWin[i]);
            QCOMPARE(box->findChild<QLabel *>(QStringLiteral("LabelNameFormWin%1").arg(i + 1)),
                     w.LabelNameFormWin[i]);
            // Number, name and time stack at the top right, right of the gauges.
            QVERIFY(w.LabelNomberFormWin[i]->y() < w.LabelNameFormWin[i]->y());
            QVERIFY(w.LabelNameFormWin[i]->y() < w.LabelTimeWin[i]->y());
            QVERIFY(w.LabelNomberFormWin[i]->x() > w.GaugeWin[i][7]->geometry().right());
            QVERIFY(box->rect().contains(w.LabelTimeWin[i]->geometry()));
            for (int v = 0; v < 8; ++v) {
                TGauge *g =
                    box->findChild<TGauge *>(QStringLiteral("GaugeWin%1z%2").arg(i + 1).arg(v + 1));
                QCOMPARE(g, w.GaugeWin[i][v]);
                QCOMPARE(g->size(), QSize(17, 63));
                QVERIFY(!g->showsText());
                QVERIFY(box->rect().contains(g->geometry()));
                if (v > 0)
                    QCOMPARE(g->x() - w.GaugeWin[i][v - 1]->x(), 24);
                QCOMPARE(g->y(), w.GaugeWin[i][0]->y());
            }
        }
    }

    void rulerRangeStepsAndHint()
    {
        Window f;
        QScrollBar *r = f.w.ScrollBarFormVewer;
        QCOMPARE(r->orientation(), Qt::Vertical);
        QCOMPARE(r->minimum(), 0);
        QCOMPARE(r->maximum(), 93);
        QCOMPARE(r->singleStep(), 1);
        QCOMPARE(r->pageStep(), 15);
        QCOMPARE(r->value(), 0);
        QCOMPARE(r->toolTip(), QStringLiteral("Линейка просмотра всех существующих форм "));
    }

    void firstStartShowsFormsOneToSevenCleared()
    {
        Window f;
        TfrmMain &w = f.w;
        for (int i = 0; i < 7; ++i) {
            QCOMPARE(w.LabelNomberFormWin[i]->text(), QStringLiteral("Форма N %1").arg(i + 1));
            QCOMPARE(w.LabelNameFormWin[i]->text(), QString());
            QCOMPARE(w.LabelTimeWin[i]->text(), timeText(0, 0));
            for (TGauge *g : w.GaugeWin[i])
                QCOMPARE(g->value(), 0);
        }
        for (QScrollBar *bar : w.ScrollBarTimeZadv)
            QCOMPARE(bar->value(), 7);
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
        fillStore();
        w.ScrollBarFormVewer->setValue(17); // away first, so the move really refreshes
        w.ScrollBarFormVewer->setValue(ruler);
        QCOMPARE(w.ScrollBarFormVewer->value(), top);
        for (int i = 0; i < 7; ++i) {
            const int slot = top + i;
            const FountainForm form = sampleForm(slot);
            QCOMPARE(w.LabelNomberFormWin[i]->text(), QStringLiteral("Форма N %1").arg(slot + 1));
            QCOMPARE(w.LabelNameFormWin[i]->text(), form.name);
            QCOMPARE(w.LabelTimeWin[i]->text(), timeText(form.holdMin, form.holdSek));
            for (int v = 0; v < 8; ++v)
                QCOMPARE(w.GaugeWin[i][v]->value(), int(form.levels[v]));
        }
        if (top == 93)
            QCOMPARE(w.LabelNomberFormWin[6]->text(), QStringLiteral("Форма N 100"));
    }

    void onlyTheThirdGaugeIsFullForValveThree()
    {
        Window f;
        TfrmMain &w = f.w;
        fillStore();
        w.ScrollBarFormVewerChange();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        for (int v = 0; v < 8; ++v) {
            const QImage img = w.GaugeWin[0][v]->grab().toImage();
            const QColor top = img.pixelColor(8, 1);
            QCOMPARE(top, v == 2 ? QColor(0, 255, 255) : QColor(192, 220, 192));
        }
    }

    void directRefreshShowsTheStoreAsItIsNow()
    {
        Window f;
        TfrmMain &w = f.w;
        fillStore();
        w.ScrollBarFormVewer->setValue(40);
        FountainForm changed;
        changed.name = QStringLiteral("новая");
        changed.holdSek = 45;
        changed.levels[7] = 200;
        FormStore::instance().WriteForm(44, changed);
        QCOMPARE(w.LabelNameFormWin[4]->text(), sampleForm(44).name); // not yet refreshed
        w.ScrollBarFormVewerChange();
        QCOMPARE(w.ScrollBarFormVewer->value(), 40);
        QCOMPARE(w.LabelNameFormWin[4]->text(), QStringLiteral("новая"));
        QCOMPARE(w.LabelTimeWin[4]->text(), timeText(0, 45));
        QCOMPARE(w.GaugeWin[4][7]->value(), 200);
        QCOMPARE(w.LabelNameFormWin[3]->text(), sampleForm(43).name);
    }

    void refreshSetsTravelTimeBarsFromTheStore_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("shown");
        QTest::newRow("0 shows 7") << 0 << 7;
        QTest::newRow("6 shows 7") << 6 << 7;
        QTest::newRow("200") << 200 << 200;
        QTest::newRow("255") << 255 << 255;
    }
    void refreshSetsTravelTimeBarsFromTheStore()
    {
        QFETCH(int, stored);
        QFETCH(int, shown);
        Window f;
        TfrmMain &w = f.w;
        std::array<std::uint8_t, 8> times{};
        for (int v = 0; v < 8; ++v)
            times[v] = std::uint8_t(v == 4 ? stored : 100 + v);
        FormStore::instance().writeTravelTimes(times);
        w.ScrollBarTimeZadv[4]->setValue(50); // an unsaved change gives way
        w.ScrollBarFormVewer->setValue(3);    // a move of the ruler refreshes
        for (int v = 0; v < 8; ++v)
            QCOMPARE(w.ScrollBarTimeZadv[v]->value(), v == 4 ? shown : 100 + v);
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
        const int requests = g.updateRequests() - requestsBefore;
        QVERIFY2(requests <= 101, qPrintable(QString::number(requests)));
        QCOMPARE(requests, 100); // 0% .. 100%
        QVERIFY2(counter.paints <= 101, qPrintable(QString::number(counter.paints)));
        QVERIFY(counter.paints > 0);
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
        const QColor aqua(0, 255, 255), green(192, 220, 192);
        for (int y = 0; y < 63; ++y) {
            const QColor expected = y >= 63 - filledRows ? aqua : green;
            // Edge columns too: there is no border.
            QCOMPARE(img.pixelColor(0, y), expected);
            QCOMPARE(img.pixelColor(16, y), expected);
        }
    }
};

QTEST_MAIN(TestStrip)
#include "tst_strip.moc"
