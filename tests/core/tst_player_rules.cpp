// The sequencer's and the gauges' rules without widgets: playback against a
// stand-in for the editor that loads slots from a real store.
#include "core/form_store.h"
#include "core/gauge_rules.h"
#include "core/playback.h"

#include <QTest>

#include <algorithm>

namespace {

// The editor as playback sees it: a form number bar 0..99 that loads its slot
// when it moves (unless the panel is kept), and hold-time bars that clamp to 59.
class EditorStandIn : public CurrentForm
{
  public:
    explicit EditorStandIn(const FormStore &store) : m_store(store) {}

    int formNumber() const override { return m_number; }
    void setFormNumber(int slot) override
    {
        slot = std::clamp(slot, 0, 99);
        if (slot == m_number)
            return;
        m_number = slot;
        reloadForm();
    }
    void reloadForm() override
    {
        ++loads;
        if (keepPanel)
            return;
        const FountainForm f = m_store.ReadForm(m_number);
        m_hold = {std::min<int>(f.holdMin, 59), std::min<int>(f.holdSek, 59)};
        shownLevel = f.levels[0];
    }
    HoldTime holdTime() const override { return m_hold; }
    void loadOnNumberChange() override { keepPanel = false; }

    bool keepPanel = false;
    int loads = 0;
    int shownLevel = -1;

  private:
    const FormStore &m_store;
    int m_number = 10; // the bar's design position
    HoldTime m_hold;
};

struct Hold
{
    int slot;
    int min;
    int sek;
};

// What one step of playback shows: the current form and the countdown in seconds.
struct Shown
{
    int form;
    int seconds;
    friend bool operator==(const Shown &, const Shown &) = default;
};

} // namespace

Q_DECLARE_METATYPE(QList<Hold>)
Q_DECLARE_METATYPE(QList<Shown>)

namespace QTest {
template <> char *toString(const Shown &s)
{
    return qstrdup(QByteArray("form " + QByteArray::number(s.form) + ", " +
                              QByteArray::number(s.seconds) + " s")
                       .constData());
}
} // namespace QTest

class TestPlayerRules : public QObject
{
    Q_OBJECT

  private slots:
    // Each row: hold times written to the store (other slots are coda marks),
    // the demo time (0 = off), how playback begins (-1 = Start, else the form
    // number is set to it), and what is shown then and after each tick.
    void playback_data()
    {
        QTest::addColumn<QList<Hold>>("holds");
        QTest::addColumn<int>("demo");
        QTest::addColumn<int>("from");
        QTest::addColumn<QList<Shown>>("expected");

        QTest::newRow("0:02 0:01 then a coda")
            << QList<Hold>{{0, 0, 2}, {1, 0, 1}, {2, 0, 0}} << 0 << -1
            << QList<Shown>{{0, 2}, {0, 1}, {0, 0}, {1, 1}, {1, 0}, {0, 2}, {0, 1}};
        QTest::newRow("slot 99 wraps to 0")
            << QList<Hold>{{0, 0, 2}, {98, 0, 1}, {99, 0, 1}} << 0 << 98
            << QList<Shown>{{98, 0}, {99, 1}, {99, 0}, {0, 2}, {0, 1}};
        QTest::newRow("no Start: the first tick moves on")
            << QList<Hold>{{0, 0, 5}, {1, 0, 1}} << 0 << 0
            << QList<Shown>{{0, 0}, {1, 1}, {1, 0}, {0, 5}};
        QTest::newRow("countdown crosses a minute")
            << QList<Hold>{{0, 1, 1}} << 0 << -1 << QList<Shown>{{0, 61}, {0, 60}, {0, 59}};
        QTest::newRow("hold above 59 shows as the bar clamps it")
            << QList<Hold>{{0, 70, 99}} << 0 << -1 << QList<Shown>{{0, 3599}, {0, 3598}};
        QTest::newRow("two coda marks in a row")
            << QList<Hold>{} << 0 << -1 << QList<Shown>{{0, 0}, {0, 0}, {0, 0}, {0, 0}};
        QTest::newRow("demo 3 runs through the coda at 5")
            << QList<Hold>{{4, 0, 9}, {5, 0, 0}, {6, 0, 9}, {7, 0, 9}} << 3 << 4
            << QList<Shown>{{4, 0}, {5, 3}, {5, 2}, {5, 1}, {5, 0},
                            {6, 3}, {6, 2}, {6, 1}, {6, 0}, {7, 3}};
        QTest::newRow("demo: Start keeps the real hold time")
            << QList<Hold>{{0, 0, 2}, {1, 0, 9}} << 3 << -1
            << QList<Shown>{{0, 2}, {0, 1}, {0, 0}, {1, 3}, {1, 2}};
        QTest::newRow("demo wraps from 99") << QList<Hold>{{99, 0, 0}, {0, 0, 0}, {1, 0, 0}} << 1
                                            << 99 << QList<Shown>{{99, 0}, {0, 1}, {0, 0}, {1, 1}};
    }
    void playback()
    {
        QFETCH(QList<Hold>, holds);
        QFETCH(int, demo);
        QFETCH(int, from);
        QFETCH(QList<Shown>, expected);
        FormStore store;
        for (const Hold &h : holds) {
            FountainForm f;
            f.levels.fill(std::uint8_t(h.slot)); // tells the slots apart
            f.holdMin = std::uint8_t(h.min);
            f.holdSek = std::uint8_t(h.sek);
            store.WriteForm(h.slot, f);
        }
        EditorStandIn editor(store);
        Playback playback;
        const std::optional<int> demoTime = demo ? std::optional(demo) : std::nullopt;
        if (from < 0)
            playback.start(editor);
        else
            editor.setFormNumber(from);

        QList<Shown> seen{{editor.formNumber(), playback.holdCounter()}};
        for (qsizetype i = 1; i < expected.size(); ++i) {
            playback.tick(editor, demoTime);
            seen << Shown{editor.formNumber(), playback.holdCounter()};
            QCOMPARE(editor.shownLevel, seen.last().form); // the editor shows the form played
        }
        QCOMPARE(seen, expected);
    }

    // "запись +1 " ticked would keep the panel: the first playing tick, and
    // Start, untick it before the form changes, so the form played is loaded.
    void keptPanelIsLoadedAfterAll_data()
    {
        QTest::addColumn<bool>("start"); // else a tick
        QTest::addColumn<int>("form");   // current afterwards; begins at the other one
        QTest::newRow("tick") << false << 1;
        // Once the panel's unsaved values played as form 1, and OK stored them there.
        QTest::newRow("Start") << true << 0;
    }
    void keptPanelIsLoadedAfterAll()
    {
        QFETCH(bool, start);
        QFETCH(int, form);
        FormStore store;
        for (int slot : {0, 1}) { // jet levels of the slot's number, held 4 or 5 s
            FountainForm f;
            f.levels.fill(std::uint8_t(slot));
            f.holdSek = std::uint8_t(4 + slot);
            store.WriteForm(slot, f);
        }
        EditorStandIn editor(store);
        editor.setFormNumber(1 - form);
        editor.keepPanel = true;
        Playback playback;
        if (start)
            playback.start(editor);
        else
            playback.tick(editor, std::nullopt);
        QVERIFY(!editor.keepPanel);
        QCOMPARE(editor.formNumber(), form);
        QCOMPARE(editor.shownLevel, form);
        QCOMPARE(playback.holdCounter(), 4 + form);
    }

    void countdownText_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0 << QStringLiteral("Таймер 0 Мин 0 Сек ");
        QTest::newRow("75") << 75 << QStringLiteral("Таймер 1 Мин 15 Сек ");
        QTest::newRow("3599") << 3599 << QStringLiteral("Таймер 59 Мин 59 Сек ");
    }
    void countdownText()
    {
        QFETCH(int, seconds);
        QFETCH(QString, text);
        QCOMPARE(Playback::countdownText(seconds), text);
    }

    // ---- gauges ----

    void gaugeIntervals_data()
    {
        QTest::addColumn<int>("travel");
        QTest::addColumn<int>("interval");
        QTest::newRow("7 s") << 7 << 27;
        QTest::newRow("20 s") << 20 << 78;
        QTest::newRow("100 s") << 100 << 390;
        QTest::newRow("255 s") << 255 << 996;
    }
    void gaugeIntervals()
    {
        QFETCH(int, travel);
        QFETCH(int, interval);
        QCOMPARE(gauge::intervalMs(travel), interval);
        // A full sweep takes just under the travel time.
        QVERIFY(255 * gauge::intervalMs(travel) <= travel * 1000);
    }

    void gaugeSweepsRestsAndReverses()
    {
        int value = 25;
        int steps = 0;
        while (value != 255 && steps < 1000) {
            value = gauge::step(value, 255);
            ++steps;
        }
        QCOMPARE(steps, 230);
        QCOMPARE(gauge::step(255, 255), 255); // rests on the target
        QCOMPARE(form_layout::percent(255), 100);
        // A target changed mid-way turns the gauge at the very next step.
        QCOMPARE(gauge::step(128, 0), 127);
        QCOMPARE(gauge::step(127, 255), 128);
        QCOMPARE(form_layout::percent(254), 99);
    }

    void jetLevelsAndBarsAreUpsideDown()
    {
        QCOMPARE(int(jetLevelOfBar(0)), 255);
        QCOMPARE(int(jetLevelOfBar(255)), 0);
        for (int p = 0; p <= 255; ++p)
            QCOMPARE(barOfJetLevel(jetLevelOfBar(p)), p);
    }
};

QTEST_MAIN(TestPlayerRules)
#include "tst_player_rules.moc"
