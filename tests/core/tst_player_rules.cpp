// The sequencer's and the gauges' rules without widgets: playback against a
// stand-in for the editor that loads slots from a real store.
#include "core/form_store.h"
#include "core/gauge_rules.h"
#include "core/playback.h"
#include "core/show_timeline.h"

#include <QCoreApplication>
#include <QTest>

#include <algorithm>
#include <array>
#include <optional>

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
        levels = f.levels;
    }
    HoldTime holdTime() const override { return m_hold; }
    void loadOnNumberChange() override { keepPanel = false; }

    bool keepPanel = false;
    int loads = 0;
    int shownLevel = -1;
    JetLevels levels{};

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

// What the screen does through one cycle, millisecond by millisecond: the
// sequencer's timer every second, each gauge's timer at its interval (a
// gauge step due on a sequencer tick comes first), all started at Start.
struct Played
{
    QList<int> played, starts;
    QList<JetLevels> reached;           // the gauges as each form ends
    QList<std::array<int, 8>> arrivals; // ms on target, -1 when late
    int total = 0;
};

Played playCycle(const FormStore &store, std::optional<int> demo)
{
    EditorStandIn editor(store);
    Playback playback;
    playback.start(editor);
    const TravelTimes travel = store.ReadZadv();
    std::array<int, 8> gauges{}, interval{};
    for (int v = 0; v < 8; ++v)
        interval[v] = gauge::intervalMs(std::max<int>(travel[v], 7));
    Played out;
    auto begin = [&](int ms) {
        out.played << editor.formNumber();
        out.starts << ms / 1000;
        std::array<int, 8> arrived;
        for (int v = 0; v < 8; ++v)
            arrived[v] = gauges[v] == editor.levels[v] ? ms : -1;
        out.arrivals << arrived;
    };
    begin(0);
    for (int ms = 1;; ++ms) {
        for (int v = 0; v < 8; ++v) {
            if (ms % interval[v] == 0 && gauges[v] != editor.levels[v]) {
                gauges[v] = gauge::step(gauges[v], editor.levels[v]);
                if (gauges[v] == editor.levels[v])
                    out.arrivals.back()[v] = ms;
            }
        }
        if (ms % 1000 != 0)
            continue;
        const int loads = editor.loads;
        playback.tick(editor, demo);
        if (editor.loads == loads)
            continue;
        JetLevels now;
        std::copy(gauges.begin(), gauges.end(), now.begin());
        out.reached << now;
        if (editor.formNumber() == 0) {
            out.total = ms / 1000;
            return out;
        }
        begin(ms);
    }
}

class TestShowTimeline : public QObject
{
    Q_OBJECT

  private slots:
    // The figures of the timeline are those of the sequencer and the gauges played.
    void matchesPlaying_data()
    {
        QTest::addColumn<int>("demo"); // 0: none
        QTest::addColumn<bool>("longHold");
        QTest::newRow("own hold times") << 0 << false;
        QTest::newRow("demo mode, 3 s") << 3 << false;
        QTest::newRow("a stored hold above 59") << 0 << true;
    }
    void matchesPlaying()
    {
        QFETCH(int, demo);
        QFETCH(bool, longHold);
        FormStore store;
        store.writeTravelTimes({7, 12, 30, 60, 3, 255, 9, 20});
        store.WriteForm(0, {{255, 0, 90, 255, 255, 10, 0, 40}, QStringLiteral("A"), 0, 2});
        store.WriteForm(1, {{0, 255, 90, 0, 255, 0, 200, 40}, QStringLiteral("B"), 0, 9});
        store.WriteForm(2, {{128, 128, 0, 255, 0, 255, 0, 0},
                            QStringLiteral("C"),
                            0,
                            std::uint8_t(longHold ? 75 : 4)});
        store.MarkCoda(3);
        const std::optional<int> demoSeconds = demo ? std::optional(demo) : std::nullopt;
        const auto show = timeline::showTimeline(store, demoSeconds);
        QVERIFY(show);
        const Played played = playCycle(store, demoSeconds);
        QCOMPARE(show->forms.size(), played.played.size());
        QCOMPARE(show->totalSeconds, played.total);
        int late = 0;
        for (int i = 0; i < played.played.size(); ++i) {
            const timeline::FormSpan &f = show->forms[i];
            QCOMPARE(f.slot, played.played[i]);
            QCOMPARE(f.start, played.starts[i]);
            for (int v = 0; v < 8; ++v) {
                QCOMPARE(f.valves[v].reached, int(played.reached[i][v]));
                QCOMPARE(f.valves[v].arrivalMs.value_or(-1), played.arrivals[i][v]);
                late += played.arrivals[i][v] < 0;
            }
        }
        QCOMPARE(show->lateCount(), late);
        QVERIFY(late > 0); // the programme is made to have some
    }

    // Figures worked out by hand, and the programmes that play nothing or all.
    void figures()
    {
        FormStore store;
        store.writeTravelTimes({7, 7, 7, 7, 7, 7, 7, 7});
        store.WriteForm(0, {{255, 0, 0, 0, 0, 0, 0, 0}, QStringLiteral("Up"), 0, 2});
        store.WriteForm(1, {{0, 0, 0, 0, 0, 0, 0, 0}, QStringLiteral("Down"), 0, 3});
        store.MarkCoda(2);
        auto show = timeline::showTimeline(store, std::nullopt);
        QVERIFY(show);
        // Each form is on for its hold time and one tick; the cycle ends where form 1 returns.
        QCOMPARE(show->forms.size(), 2);
        QCOMPARE(show->forms[1].start, 3);
        QCOMPARE(show->totalSeconds, 7);
        QCOMPARE(show->codaSlot, std::optional(2));
        // 7 s of travel: a step each 27 ms, so 111 of 255 steps in 3 s: late.
        QCOMPARE(show->forms[0].valves[0].reached, 111);
        QVERIFY(show->forms[0].valves[0].late());
        // Back down from 111: the 111th step after 3 s is due at 222 * 27 ms.
        QCOMPARE(show->forms[1].valves[0].arrivalMs, std::optional(222 * 27));
        QCOMPARE(show->levelAt(1, 3000 + 27), 110);
        QVERIFY(show->moves(1));
        QVERIFY(!show->moves(2));

        // Demo mode holds every form but the first the demo time, coda marks too.
        show = timeline::showTimeline(store, 1);
        QCOMPARE(show->forms.size(), 100);
        QCOMPARE(show->totalSeconds, 3 + 99 * 2);
        QCOMPARE(show->codaSlot, std::nullopt);

        store.MarkCoda(0);
        QVERIFY(!timeline::showTimeline(store, std::nullopt));
    }
};

int main(int argc, char *argv[])
{
    const QCoreApplication app(argc, argv);
    TestPlayerRules rules;
    TestShowTimeline timeline;
    return QTest::qExec(&rules, argc, argv) | QTest::qExec(&timeline, argc, argv);
}
#include "tst_player_rules.moc"
