// The sequencer and the live jet gauges, driven through their controls and by
// calling the timer handlers as ticks.
#include "app/main_window.h"
#include "player/gauge.h"
#include "store/cp1251.h"
#include "store/form_store.h"
#include "tests/test_support.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolButton>

namespace {

struct Window
{
    Sandbox sandbox;
    RecordingPrompts prompts;
    TfrmMain w;
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

QString countdown(int seconds)
{
    return QStringLiteral("Таймер %1 Мин %2 Сек ").arg(seconds / 60).arg(seconds % 60);
}

// Gives each listed slot a hold time, jet levels equal to the slot number and
// a name, then reloads the editor as a file command would. The other slots of
// the cleared store are coda marks with jet levels 0.
void writeHolds(TfrmMain &w, const QList<Hold> &holds)
{
    for (const Hold &h : holds) {
        FountainForm f;
        f.levels.fill(std::uint8_t(h.slot)); // tells the slots apart on the valve bars
        f.name = QStringLiteral("F%1").arg(h.slot);
        f.holdMin = std::uint8_t(h.min);
        f.holdSek = std::uint8_t(h.sek);
        FormStore::instance().WriteForm(h.slot, f);
    }
    w.ScrollBarNomberFormChange();
}

Shown shown(const TfrmMain &w)
{
    return {w.ScrollBarNomberForm->value(), w.holdCounter};
}

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

class TestPlayer : public QObject
{
    Q_OBJECT

  private slots:
    // ---- sequencer ----

    // Each row: hold times written to the store, the demo time (0 = off), how
    // playback begins (-1 = Start, else the form number is set to it), and what
    // is shown after that and after each following tick.
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
        Window f;
        TfrmMain &w = f.w;
        writeHolds(w, holds);
        if (demo) {
            w.CheckBoxDemo->setChecked(true);
            w.ScrollBarDemoTime->setValue(demo);
        }
        if (from < 0)
            w.SpeedButtonStartClick();
        else
            w.ScrollBarNomberForm->setValue(from);
        w.SpeedButtonPlay->click();

        QList<Shown> seen{shown(w)};
        for (qsizetype i = 1; i < expected.size(); ++i) {
            w.TimerPlayTimer();
            seen << shown(w);
            QCOMPARE(w.LabelTimeOver->text(), countdown(seen.last().seconds));
            // The editor shows the form being played.
            QCOMPARE(w.ScrollBarZadvizka[0]->value(), 255 - seen.last().form);
            QCOMPARE(int(w.gaugeTargets[7]), seen.last().form);
        }
        QCOMPARE(seen, expected);
        QVERIFY(f.prompts.messages.isEmpty());
    }

    void stopKeepsTheCountdownAndPlayResumes()
    {
        Window f;
        TfrmMain &w = f.w;
        writeHolds(w, {{0, 0, 10}, {1, 0, 4}});
        // Start reloads slot 0 even when it is already current, dropping unsaved edits.
        w.ScrollBarZadvizka[4]->setValue(10);
        w.SpeedButtonStartClick();
        QCOMPARE(w.ScrollBarZadvizka[4]->value(), 255);
        QVERIFY(w.SpeedButtonStop->isChecked());
        for (int i = 0; i < 2; ++i) { // Play latches, and the OK button is locked meanwhile
            w.SpeedButtonPlay->click();
            QVERIFY(!w.SpeedButtonStop->isChecked() && w.SpeedButtonPlay->isChecked());
            QVERIFY(!w.SpeedButtonEdit->isEnabled());
        }
        for (int i = 0; i < 3; ++i)
            w.TimerPlayTimer();
        QCOMPARE(w.LabelTimeOver->text(), QStringLiteral("Таймер 0 Мин 7 Сек "));

        w.SpeedButtonStop->click();
        QVERIFY(w.SpeedButtonStop->isChecked() && !w.SpeedButtonPlay->isChecked());
        QVERIFY(w.SpeedButtonEdit->isEnabled());
        w.ScrollBarZadvizka[2]->setValue(100);
        w.CheckBoxPlus->setChecked(true);
        for (int i = 0; i < 5; ++i)
            w.TimerPlayTimer();
        QCOMPARE(shown(w), (Shown{0, 7}));
        QCOMPARE(w.LabelTimeOver->text(), countdown(7));
        QCOMPARE(int(w.gaugeTargets[2]), 0); // stopped ticks copy nothing
        QVERIFY(w.CheckBoxPlus->isChecked());

        w.SpeedButtonPlay->click();
        w.TimerPlayTimer();
        QCOMPARE(shown(w), (Shown{0, 6}));
        QCOMPARE(w.LabelTimeOver->text(), countdown(6));
        QVERIFY(!w.CheckBoxPlus->isChecked());
        // A valve bar moved by hand reaches the gauges on the next playing tick.
        QCOMPARE(int(w.gaugeTargets[2]), 155);
    }

    // A new demo time counts from the next form on; demo off goes back to the
    // stored hold times, so the coda marks of the cleared store return to slot 0.
    void demoTimeChangesOnlyTheNextForm()
    {
        Window f;
        TfrmMain &w = f.w;
        w.CheckBoxDemo->setChecked(true);
        w.ScrollBarDemoTime->setValue(2);
        w.SpeedButtonPlay->click();
        w.TimerPlayTimer();
        QCOMPARE(shown(w), (Shown{1, 2}));
        w.ScrollBarDemoTime->setValue(12); // beyond the end: 7
        QCOMPARE(w.CheckBoxDemo->text(), QStringLiteral("Демо режим - время 7 сек "));
        QVERIFY(w.CheckBoxDemo->sizeHint().width() <= w.CheckBoxDemo->width());
        for (int i = 0; i < 3; ++i)
            w.TimerPlayTimer();
        QCOMPARE(shown(w), (Shown{2, 7}));
        w.CheckBoxDemo->setChecked(false);
        for (int i = 0; i < 8; ++i)
            w.TimerPlayTimer();
        QCOMPARE(shown(w), (Shown{0, 0}));
    }

    void prevAndFollow_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<bool>("follow");
        QTest::addColumn<int>("to");
        QTest::newRow("prev at 0") << 0 << false << 0;
        QTest::newRow("follow at 99") << 99 << true << 99;
        QTest::newRow("prev at 40") << 40 << false << 39;
        QTest::newRow("follow at 40") << 40 << true << 41;
    }
    void prevAndFollow()
    {
        QFETCH(int, from);
        QFETCH(bool, follow);
        QFETCH(int, to);
        Window f;
        TfrmMain &w = f.w;
        writeHolds(w, {{to, 0, 20}, {from, 0, 30}});
        w.ScrollBarNomberForm->setValue(from);
        w.holdCounter = 5;
        (follow ? w.SpeedButtonFollow : w.SpeedButtonPrev)->click();
        QCOMPARE(shown(w), (Shown{to, 5}));
        QCOMPARE(w.ScrollBarEditSek->value(), to == from ? 30 : 20);
    }

    // ---- live jet gauges ----

    // The name boxes take the valve names from the settings file at start-up,
    // and show a long name from its beginning.
    void nameBoxesFromSettings()
    {
        Sandbox sandbox;
        RecordingPrompts prompts;
        writeFile(
            sandbox.settingsPath(),
            cp1251::encode(QStringLiteral("[Zadvizki]\r\nName_1=Кольцо12\r\nName_8=Туман\r\n")));
        TfrmMain w;
        QCOMPARE(w.EditNameUrzadv[0]->text(), QStringLiteral("Кольцо12"));
        QCOMPARE(w.EditNameUrzadv[0]->cursorPosition(), 0);
        QCOMPARE(w.EditNameUrzadv[4]->text(), QStringLiteral("NoName5"));
        QCOMPARE(w.EditNameUrzadv[7]->text(), QStringLiteral("Туман"));
    }

    void gaugeIntervals_data()
    {
        QTest::addColumn<int>("valve");
        QTest::addColumn<int>("travel");
        QTest::addColumn<int>("interval");
        QTest::newRow("valve 1, 7 s") << 1 << 7 << 27;
        QTest::newRow("valve 3, 100 s") << 3 << 100 << 390;
        QTest::newRow("valve 8, 255 s") << 8 << 255 << 996;
        QTest::newRow("valve 5, 20 s") << 5 << 20 << 78;
    }
    void gaugeIntervals()
    {
        QFETCH(int, valve);
        QFETCH(int, travel);
        QFETCH(int, interval);
        Window f;
        TfrmMain &w = f.w;
        w.ScrollBarTimeZadv[valve - 1]->setValue(travel);
        QCOMPARE(w.TimerGaude[valve - 1]->interval(), 100); // until TimerPlay's first tick
        w.TimerPlayTimer();                                 // also while stopped
        for (int v = 1; v <= TfrmMain::kValves; ++v)
            QCOMPARE(w.TimerGaude[v - 1]->interval(), v == valve ? interval : 27);
        QVERIFY(w.TimerGaude[valve - 1]->isActive());
        QCOMPARE(w.TimerGaude[valve - 1]->timerType(), Qt::PreciseTimer);
    }

    // setInterval restarts the period; an unchanged travel time must not.
    void unchangedIntervalKeepsThePeriod()
    {
        Window f;
        TfrmMain &w = f.w;
        QTimer *timer = w.TimerGaude[5];
        w.ScrollBarTimeZadv[5]->setValue(255);
        w.TimerPlayTimer();
        QThread::msleep(80);
        const int before = timer->remainingTime();
        w.TimerPlayTimer();
        const int after = timer->remainingTime();
        QVERIFY2(after <= before, qPrintable(QStringLiteral("%1 -> %2").arg(before).arg(after)));
        QVERIFY(after < 996 - 40);

        // A changed travel time does restart it, which is what the check above would see.
        w.ScrollBarTimeZadv[5]->setValue(254);
        w.TimerPlayTimer();
        QCOMPARE(timer->interval(), 992);
        QVERIFY2(timer->remainingTime() > before,
                 qPrintable(QString::number(timer->remainingTime())));
    }

    void gaugeSweepsToTheTopAndReverses()
    {
        Window f;
        TfrmMain &w = f.w;
        TGauge *gauge = w.Gauge[2];
        QCOMPARE(gauge->value(), 25);
        w.gaugeTargets[2] = 255;
        int ticks = 0;
        while (gauge->value() < 255 && ticks < 1000) {
            w.TimerGaudeTimer(3);
            ++ticks;
        }
        QCOMPARE(ticks, 230);
        w.TimerGaudeTimer(3);
        QCOMPARE(gauge->value(), 255); // rests on the target

        // Down to 127, up again to 128, then the target flips: the very next
        // tick turns back.
        w.gaugeTargets[2] = 0;
        while (gauge->value() > 127)
            w.TimerGaudeTimer(3);
        w.gaugeTargets[2] = 255;
        w.TimerGaudeTimer(3);
        QCOMPARE(gauge->value(), 128);
        w.gaugeTargets[2] = 0;
        w.TimerGaudeTimer(3);
        QCOMPARE(gauge->value(), 127);
    }

    void eachTimerMovesOnlyItsGauge()
    {
        Window f;
        TfrmMain &w = f.w;
        for (int v = 0; v < TfrmMain::kValves; ++v)
            w.gaugeTargets[v] = std::uint8_t(v % 2 ? 255 : 0);
        for (int valve = 1; valve <= TfrmMain::kValves; ++valve) {
            w.TimerGaudeTimer(valve);
            for (int v = 0; v < TfrmMain::kValves; ++v)
                QCOMPARE(w.Gauge[v]->value(), v < valve ? (v % 2 ? 26 : 24) : 25);
        }
    }

    // Start-up sets the targets from slot 0 of the last form file, and the
    // timers walk the gauges there from 25.
    void gaugeTimersRunFromStartUp()
    {
        Sandbox sandbox;
        RecordingPrompts prompts;
        FormStore file;
        FountainForm slot0;
        slot0.levels = {200, 0, 25, 26, 24, 255, 1, 100};
        slot0.holdSek = 5;
        file.WriteForm(0, slot0);
        writeFile(sandbox.workPath(QStringLiteral("UserForm.frm")), file.image());
        TfrmMain w;
        for (int v = 0; v < TfrmMain::kValves; ++v)
            QCOMPARE(w.gaugeTargets[v], slot0.levels[v]);
        QTRY_VERIFY_WITH_TIMEOUT(w.Gauge[0]->value() > 26 && w.Gauge[1]->value() < 24, 2000);
        QVERIFY(prompts.messages.isEmpty());
    }
};

QTEST_MAIN(TestPlayer)
#include "tst_player.moc"
