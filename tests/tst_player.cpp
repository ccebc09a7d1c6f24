// The sequencer and the live jet gauges, driven through their controls and by
// calling the timer handlers as ticks.
#include "app/main_window.h"
#include "player/gauge.h"
#include "store/cp1251.h"
#include "store/form_store.h"
#include "tests/test_support.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolButton>

namespace {

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

    void controls()
    {
        Sandbox sandbox;
        RecordingPrompts prompts;
        TfrmMain w;
        const auto hint = [&](const char *name) {
            auto *b = w.GroupBoxSequenser->findChild<QToolButton *>(QLatin1String(name));
            return b ? b->toolTip() : QStringLiteral("missing");
        };
        QCOMPARE(hint("SpeedButtonStop"), QStringLiteral("Стоп программы "));
        QCOMPARE(hint("SpeedButtonPlay"), QStringLiteral("Пуск прогрммы"));
        QCOMPARE(hint("SpeedButtonStart"), QStringLiteral("Начать спервой формы "));
        QCOMPARE(hint("SpeedButtonPrev"), QStringLiteral("предыдущая форма "));
        QCOMPARE(hint("SpeedButtonFollow"), QStringLiteral("последущая форма "));
        QVERIFY(w.SpeedButtonStop->isChecked());
        QVERIFY(!w.SpeedButtonPlay->isChecked());
        QCOMPARE(w.LabelTimeOver->text(), QStringLiteral("TimeOver"));
        QVERIFY(!w.CheckBoxDemo->isChecked());
        QCOMPARE(w.CheckBoxDemo->text(), QStringLiteral("Демо режим - время 1 сек"));
        QCOMPARE(w.ScrollBarDemoTime->minimum(), 1);
        QCOMPARE(w.ScrollBarDemoTime->maximum(), 7);
        QCOMPARE(w.ScrollBarDemoTime->value(), 1);
        QCOMPARE(w.TimerPlay->objectName(), QStringLiteral("TimerPlay"));
        QCOMPARE(w.TimerPlay->interval(), 1000);
        QVERIFY(w.TimerPlay->isActive());
        QCOMPARE(w.holdCounter, 0);
        // Everything inside the box.
        for (QWidget *c :
             w.GroupBoxSequenser->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
            QVERIFY2(w.GroupBoxSequenser->rect().contains(c->geometry()),
                     qPrintable(c->objectName()));
    }

    void stopAndPlayLatchExclusively()
    {
        Sandbox sandbox;
        RecordingPrompts prompts;
        TfrmMain w;
        QVERIFY(w.SpeedButtonEdit->isEnabled());
        w.SpeedButtonPlay->click();
        QVERIFY(w.SpeedButtonPlay->isChecked());
        QVERIFY(!w.SpeedButtonStop->isChecked());
        QVERIFY(!w.SpeedButtonEdit->isEnabled());
        w.SpeedButtonPlay->click(); // already down: changes nothing
        QVERIFY(w.SpeedButtonPlay->isChecked());
        QVERIFY(!w.SpeedButtonEdit->isEnabled());
        w.SpeedButtonStop->click();
        QVERIFY(w.SpeedButtonStop->isChecked());
        QVERIFY(!w.SpeedButtonPlay->isChecked());
        QVERIFY(w.SpeedButtonEdit->isEnabled());
    }

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

        Sandbox sandbox;
        RecordingPrompts prompts;
        TfrmMain w;
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
        QVERIFY(prompts.messages.isEmpty());
    }

    void countdownText_data()
    {
        QTest::addColumn<int>("min");
        QTest::addColumn<int>("sek");
        QTest::addColumn<QString>("text");
        QTest::newRow("1:15") << 1 << 15 << QStringLiteral("Таймер 1 Мин 15 Сек ");
        QTest::newRow("0:05") << 0 << 5 << QStringLiteral("Таймер 0 Мин 5 Сек ");
        QTest::newRow("59:59") << 59 << 59 << QStringLiteral("Таймер 59 Мин 59 Сек ");
        QTest::newRow("coda") << 0 << 0 << QStringLiteral("Таймер 0 Мин 0 Сек ");
    }
    void countdownText()
    {
        QFETCH(int, min);
        QFETCH(int, sek);
        QFETCH(QString, text);
        Sandbox sandbox;
        RecordingPrompts prompts;
        TfrmMain w;
        writeHolds(w, {{0, min, sek}});
        w.SpeedButtonStartClick();
        QCOMPARE(w.LabelTimeOver->text(), text);
    }

    void stopKeepsTheCountdown()
    {
        Sandbox sandbox;
        RecordingPrompts prompts;
        TfrmMain w;
        writeHolds(w, {{0, 0, 10}, {1, 0, 4}});
        w.SpeedButtonStartClick();
        w.SpeedButtonPlay->click();
        for (int i = 0; i < 3; ++i)
            w.TimerPlayTimer();
        QCOMPARE(w.LabelTimeOver->text(), countdown(7));

        w.SpeedButtonStop->click();
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

    void startWhileStoppedWaits()
    {
        Sandbox sandbox;
        RecordingPrompts prompts;
        TfrmMain w;
        writeHolds(w, {{0, 0, 3}, {1, 0, 3}});
        w.ScrollBarNomberForm->setValue(1);
        w.SpeedButtonStartClick();
        QCOMPARE(shown(w), (Shown{0, 3}));
        QCOMPARE(int(w.gaugeTargets[0]), 0);
        w.TimerPlayTimer();
        w.TimerPlayTimer();
        QCOMPARE(shown(w), (Shown{0, 3}));
    }

    // Start reloads slot 0 even when it is already current, dropping unsaved edits.
    void startReloadsTheCurrentSlot()
    {
        Sandbox sandbox;
        RecordingPrompts prompts;
        TfrmMain w;
        writeHolds(w, {{0, 0, 3}});
        w.SpeedButtonStartClick();
        w.ScrollBarZadvizka[4]->setValue(10);
        w.SpeedButtonStartClick();
        QCOMPARE(w.ScrollBarZadvizka[4]->value(), 255);
    }

    void demoTimeChangesOnlyTheNextForm()
    {
        Sandbox sandbox;
        RecordingPrompts prompts;
        TfrmMain w;
        w.CheckBoxDemo->setChecked(true);
        w.ScrollBarDemoTime->setValue(2);
        w.SpeedButtonPlay->click();
        w.TimerPlayTimer();
        QCOMPARE(shown(w), (Shown{1, 2}));
        w.ScrollBarDemoTime->setValue(6);
        w.TimerPlayTimer();
        w.TimerPlayTimer();
        w.TimerPlayTimer();
        QCOMPARE(shown(w), (Shown{2, 6}));
        w.CheckBoxDemo->setChecked(false); // slot 3 is a coda mark: back to slot 0
        for (int i = 0; i < 7; ++i)
            w.TimerPlayTimer();
        QCOMPARE(shown(w), (Shown{0, 0}));
    }

    void demoTimeCaption_data()
    {
        QTest::addColumn<int>("set");
        QTest::addColumn<QString>("caption");
        QTest::newRow("5") << 5 << QStringLiteral("Демо режим - время 5 сек ");
        QTest::newRow("7") << 7 << QStringLiteral("Демо режим - время 7 сек ");
        QTest::newRow("clamped to 7") << 12 << QStringLiteral("Демо режим - время 7 сек ");
    }
    void demoTimeCaption()
    {
        QFETCH(int, set);
        QFETCH(QString, caption);
        Sandbox sandbox;
        RecordingPrompts prompts;
        TfrmMain w;
        w.ScrollBarDemoTime->setValue(set);
        QCOMPARE(w.CheckBoxDemo->text(), caption);
        QVERIFY(w.CheckBoxDemo->sizeHint().width() <= w.CheckBoxDemo->width());
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
        Sandbox sandbox;
        RecordingPrompts prompts;
        TfrmMain w;
        writeHolds(w, {{to, 0, 20}, {from, 0, 30}});
        w.ScrollBarNomberForm->setValue(from);
        w.holdCounter = 5;
        (follow ? w.SpeedButtonFollow : w.SpeedButtonPrev)->click();
        QCOMPARE(shown(w), (Shown{to, 5}));
        QCOMPARE(w.ScrollBarEditSek->value(), to == from ? 30 : 20);
    }

    // While playing, the running countdown goes on and the next change starts from the chosen form.
    void followWhilePlaying()
    {
        Sandbox sandbox;
        RecordingPrompts prompts;
        TfrmMain w;
        writeHolds(w, {{0, 0, 2}, {1, 0, 2}, {5, 0, 2}, {6, 0, 4}});
        w.SpeedButtonStartClick();
        w.SpeedButtonPlay->click();
        w.TimerPlayTimer();
        for (int i = 0; i < 4; ++i)
            w.SpeedButtonFollowClick();
        QCOMPARE(shown(w), (Shown{4, 1}));
        w.TimerPlayTimer();
        w.TimerPlayTimer();
        QCOMPARE(shown(w), (Shown{5, 2}));
    }

    // ---- live jet gauges ----

    void gaugeLayout()
    {
        Sandbox sandbox;
        RecordingPrompts prompts;
        TfrmMain w;
        for (int v = 0; v < TfrmMain::kValves; ++v) {
            const QString n = QString::number(v + 1);
            auto *gauge = w.GroupBoxView->findChild<TGauge *>(QStringLiteral("Gauge") + n);
            auto *name =
                w.GroupBoxView->findChild<QLineEdit *>(QStringLiteral("EditNameUrzadv") + n);
            auto *timer = w.findChild<QTimer *>(QStringLiteral("TimerGaude") + n);
            QVERIFY(gauge && name && timer);
            QCOMPARE(gauge->geometry().size(), QSize(49, 121));
            QCOMPARE(gauge->x(), 16 + 56 * v);
            QVERIFY(gauge->showsText());
            QCOMPARE(gauge->value(), 25);
            QVERIFY(name->isReadOnly());
            QCOMPARE(name->maxLength(), 8);
            QCOMPARE(name->width(), 48);
            QCOMPARE(name->x(), gauge->x());
            QVERIFY(name->geometry().bottom() < gauge->y());
            QCOMPARE(name->palette().color(QPalette::Base), QColor(192, 192, 192));
            QVERIFY(w.GroupBoxView->rect().contains(gauge->geometry()));
            QCOMPARE(timer->timerType(), Qt::PreciseTimer);
            QCOMPARE(timer->interval(), 100);
            QVERIFY(timer->isActive());
        }
    }

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
        Sandbox sandbox;
        RecordingPrompts prompts;
        TfrmMain w;
        w.ScrollBarTimeZadv[valve - 1]->setValue(travel);
        QCOMPARE(w.TimerGaude[valve - 1]->interval(), 100); // until TimerPlay's first tick
        w.TimerPlayTimer();                                 // also while stopped
        for (int v = 1; v <= TfrmMain::kValves; ++v)
            QCOMPARE(w.TimerGaude[v - 1]->interval(), v == valve ? interval : 27);
        QVERIFY(w.TimerGaude[valve - 1]->isActive());
    }

    // setInterval restarts the period; an unchanged travel time must not.
    void unchangedIntervalKeepsThePeriod()
    {
        Sandbox sandbox;
        RecordingPrompts prompts;
        TfrmMain w;
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
        Sandbox sandbox;
        RecordingPrompts prompts;
        TfrmMain w;
        TGauge *gauge = w.Gauge[2];
        QCOMPARE(gauge->value(), 25);
        w.gaugeTargets[2] = 255;
        int ticks = 0;
        while (gauge->value() < 255 && ticks < 1000) {
            w.TimerGaudeTimer(3);
            ++ticks;
        }
        QCOMPARE(ticks, 230);
        QCOMPARE(TGauge::percent(gauge->value()), 100);
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
        Sandbox sandbox;
        RecordingPrompts prompts;
        TfrmMain w;
        for (int v = 0; v < TfrmMain::kValves; ++v)
            w.gaugeTargets[v] = std::uint8_t(v % 2 ? 255 : 0);
        for (int valve = 1; valve <= TfrmMain::kValves; ++valve) {
            w.TimerGaudeTimer(valve);
            for (int v = 0; v < TfrmMain::kValves; ++v) {
                const int moved = v < valve ? (v % 2 ? 26 : 24) : 25;
                QCOMPARE(w.Gauge[v]->value(), moved);
            }
        }
    }

    // Only the 100 steps that change the whole percentage repaint a live gauge.
    void fullSweepRepaintsAHundredTimes()
    {
        Sandbox sandbox;
        RecordingPrompts prompts;
        TfrmMain w;
        TGauge *gauge = w.Gauge[0];
        gauge->setValue(0);
        w.gaugeTargets[0] = 255;
        const int before = gauge->updateRequests();
        for (int i = 0; i < 255; ++i)
            w.TimerGaudeTimer(1);
        QCOMPARE(gauge->value(), 255);
        QCOMPARE(gauge->updateRequests() - before, 100);
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
