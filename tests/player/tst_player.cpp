// The sequencer and the live jet gauges in the real main window: playback
// drives the editor and the gauges, the buttons latch, and the timers are
// paced by the valve panel. Their rules alone are in tst_player_rules.
#include "core/cp1251.h"
#include "core/form_store.h"
#include "editor/form_editing_panel.h"
#include "player/gauge.h"
#include "player/live_gauges.h"
#include "player/sequencer_panel.h"
#include "tests/support/window_fixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolButton>

namespace {

QString countdown(int seconds)
{
    return QStringLiteral("Таймер %1 Мин %2 Сек ").arg(seconds / 60).arg(seconds % 60);
}

// Gives each listed slot a hold time (minutes, seconds), jet levels equal to
// the slot number and a name, then reloads the editor as a file command would.
void writeHolds(WindowFixture &f, const QList<std::array<int, 3>> &holds)
{
    for (const auto &[slot, min, sek] : holds) {
        FountainForm form;
        form.levels.fill(std::uint8_t(slot)); // tells the slots apart on the valve bars
        form.name = QStringLiteral("F%1").arg(slot);
        form.holdMin = std::uint8_t(min);
        form.holdSek = std::uint8_t(sek);
        f.store().WriteForm(slot, form);
    }
    f.editor()->reloadForm();
}

int formShown(const WindowFixture &f)
{
    return f.bar("ScrollBarNomberForm")->value();
}

QTimer *gaugeTimer(const WindowFixture &f, int valve)
{
    return f.find<QTimer>(QStringLiteral("TimerGaude%1").arg(valve));
}

TGauge *gauge(const WindowFixture &f, int valve)
{
    return f.find<TGauge>(QStringLiteral("Gauge%1").arg(valve));
}

} // namespace

class TestPlayer : public QObject
{
    Q_OBJECT

  private slots:
    // ---- sequencer ----

    // Playing through a coda mark: the editor shows each form played, the
    // countdown label follows the counter and the gauges head for its jets.
    void playbackDrivesEditorLabelAndGauges()
    {
        WindowFixture f;
        writeHolds(f, {{0, 0, 2}, {1, 0, 1}, {2, 0, 0}});
        f.button("SpeedButtonStart")->click();
        f.button("SpeedButtonPlay")->click();
        const QList<std::array<int, 2>> expected = {{0, 1}, {0, 0}, {1, 1}, {1, 0}, {0, 2}};
        for (const auto &[form, seconds] : expected) {
            f.tick("TimerPlay");
            QCOMPARE(formShown(f), form);
            QCOMPARE(f.sequencer()->holdCounter(), seconds);
            QCOMPARE(f.label("LabelTimeOver")->text(), countdown(seconds));
            QCOMPARE(f.bar("ScrollBarZadvizka", 1)->value(), 255 - form);
            QCOMPARE(int(f.gauges()->targets()[7]), form);
            QCOMPARE(f.edit("EditNameForm")->text(), QStringLiteral("F%1").arg(form));
        }
        QVERIFY(f.prompts.messages.isEmpty());
    }

    void stopKeepsTheCountdownAndPlayResumes()
    {
        WindowFixture f;
        TSequencerPanel *seq = f.sequencer();
        writeHolds(f, {{0, 0, 10}, {1, 0, 4}});
        // Start reloads slot 0 even when it is already current, dropping unsaved edits.
        f.bar("ScrollBarZadvizka", 5)->setValue(10);
        f.button("SpeedButtonStart")->click();
        QCOMPARE(f.bar("ScrollBarZadvizka", 5)->value(), 255);
        QToolButton *stop = f.button("SpeedButtonStop");
        QToolButton *play = f.button("SpeedButtonPlay");
        QVERIFY(stop->isChecked());
        for (int i = 0; i < 2; ++i) { // Play latches, and the OK button is locked meanwhile
            play->click();
            QVERIFY(!stop->isChecked() && play->isChecked());
            QVERIFY(!f.button("SpeedButtonEdit")->isEnabled());
        }
        for (int i = 0; i < 3; ++i)
            f.tick("TimerPlay");
        QCOMPARE(f.label("LabelTimeOver")->text(), QStringLiteral("Таймер 0 Мин 7 Сек "));

        stop->click();
        QVERIFY(stop->isChecked() && !play->isChecked());
        QVERIFY(f.button("SpeedButtonEdit")->isEnabled());
        f.bar("ScrollBarZadvizka", 3)->setValue(100);
        f.check("CheckBoxPlus")->setChecked(true);
        for (int i = 0; i < 5; ++i)
            f.tick("TimerPlay");
        QCOMPARE(formShown(f), 0);
        QCOMPARE(seq->holdCounter(), 7);
        QCOMPARE(f.label("LabelTimeOver")->text(), countdown(7));
        QCOMPARE(int(f.gauges()->targets()[2]), 0); // stopped ticks copy nothing
        QVERIFY(f.check("CheckBoxPlus")->isChecked());

        play->click();
        f.tick("TimerPlay");
        QCOMPARE(seq->holdCounter(), 6);
        QCOMPARE(f.label("LabelTimeOver")->text(), countdown(6));
        QVERIFY(!f.check("CheckBoxPlus")->isChecked());
        // A valve bar moved by hand reaches the gauges on the next playing tick.
        QCOMPARE(int(f.gauges()->targets()[2]), 155);
    }

    // Start with "запись +1 " ticked kept the panel's unsaved values under the
    // title of form 1: playback ran them as form 1, and OK stored them there.
    void startLoadsFormOneWithPlusTicked()
    {
        WindowFixture f;
        writeHolds(f, {{0, 0, 10}, {3, 0, 4}});
        f.bar("ScrollBarNomberForm")->setValue(3);
        f.check("CheckBoxPlus")->setChecked(true);
        f.edit("EditNameForm")->setText(QStringLiteral("new"));
        f.button("SpeedButtonStart")->click();
        QVERIFY(!f.check("CheckBoxPlus")->isChecked());
        QCOMPARE(formShown(f), 0);
        QCOMPARE(f.edit("EditNameForm")->text(), QStringLiteral("F0"));
        QCOMPARE(f.label("LabelTimeOver")->text(), countdown(10));
        f.button("SpeedButtonEdit")->click();
        QCOMPARE(f.store().ReadForm(0).name, QStringLiteral("F0"));
    }

    // A new demo time counts from the next form on; demo off goes back to the
    // stored hold times, so the coda marks of the cleared store return to slot 0.
    void demoTimeChangesOnlyTheNextForm()
    {
        WindowFixture f;
        TSequencerPanel *seq = f.sequencer();
        QCheckBox *demo = f.check("CheckBoxDemo");
        demo->setChecked(true);
        f.bar("ScrollBarDemoTime")->setValue(2);
        f.button("SpeedButtonPlay")->click();
        f.tick("TimerPlay");
        QCOMPARE(formShown(f), 1);
        QCOMPARE(seq->holdCounter(), 2);
        f.bar("ScrollBarDemoTime")->setValue(12); // beyond the end: 7
        QCOMPARE(demo->text(), QStringLiteral("Демо режим - время 7 сек "));
        QVERIFY(demo->sizeHint().width() <= demo->width());
        for (int i = 0; i < 3; ++i)
            f.tick("TimerPlay");
        QCOMPARE(formShown(f), 2);
        QCOMPARE(seq->holdCounter(), 7);
        demo->setChecked(false);
        for (int i = 0; i < 8; ++i)
            f.tick("TimerPlay");
        QCOMPARE(formShown(f), 0);
        QCOMPARE(seq->holdCounter(), 0);
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
        WindowFixture f;
        writeHolds(f, {{to, 0, 20}, {from, 0, 30}});
        f.bar("ScrollBarNomberForm")->setValue(from);
        f.sequencer()->setHoldCounter(5);
        f.button(follow ? "SpeedButtonFollow" : "SpeedButtonPrev")->click();
        QCOMPARE(formShown(f), to);
        QCOMPARE(f.sequencer()->holdCounter(), 5);
        QCOMPARE(f.bar("ScrollBarEditSek")->value(), to == from ? 30 : 20);
    }

    // ---- live jet gauges ----

    // The name boxes take the valve names from the settings file at start-up,
    // and show a long name from its beginning.
    void nameBoxesFromSettings()
    {
        Sandbox sandbox;
        writeFile(
            sandbox.settingsPath(),
            cp1251::encode(QStringLiteral("[Zadvizki]\r\nName_1=Кольцо12\r\nName_8=Туман\r\n")));
        WindowFixture f(&sandbox);
        QCOMPARE(f.edit("EditNameUrzadv", 1)->text(), QStringLiteral("Кольцо12"));
        QCOMPARE(f.edit("EditNameUrzadv", 1)->cursorPosition(), 0);
        QCOMPARE(f.edit("EditNameUrzadv", 5)->text(), QStringLiteral("NoName5"));
        QCOMPARE(f.edit("EditNameUrzadv", 8)->text(), QStringLiteral("Туман"));
    }

    // TimerPlay paces each gauge timer by its valve's travel-time bar, also
    // while stopped; until its first tick they run at 100 ms.
    void gaugeTimersFollowTheTravelTimes()
    {
        WindowFixture f;
        f.bar("ScrollBarTimeZadv", 3)->setValue(100);
        QCOMPARE(gaugeTimer(f, 3)->interval(), 100);
        f.tick("TimerPlay");
        for (int v = 1; v <= 8; ++v)
            QCOMPARE(gaugeTimer(f, v)->interval(), v == 3 ? 390 : 27);
        QVERIFY(gaugeTimer(f, 3)->isActive());
        QCOMPARE(gaugeTimer(f, 3)->timerType(), Qt::PreciseTimer);
    }

    // setInterval restarts the period; an unchanged travel time must not.
    void unchangedIntervalKeepsThePeriod()
    {
        WindowFixture f;
        QTimer *timer = gaugeTimer(f, 6);
        f.bar("ScrollBarTimeZadv", 6)->setValue(255);
        f.tick("TimerPlay");
        QThread::msleep(80);
        const int before = timer->remainingTime();
        f.tick("TimerPlay");
        const int after = timer->remainingTime();
        QVERIFY2(after <= before, qPrintable(QStringLiteral("%1 -> %2").arg(before).arg(after)));
        QVERIFY(after < 996 - 40);

        // A changed travel time does restart it, which is what the check above would see.
        f.bar("ScrollBarTimeZadv", 6)->setValue(254);
        f.tick("TimerPlay");
        QCOMPARE(timer->interval(), 992);
        QVERIFY2(timer->remainingTime() > before,
                 qPrintable(QString::number(timer->remainingTime())));
    }

    void eachTimerMovesOnlyItsGauge()
    {
        WindowFixture f;
        JetLevels targets{};
        for (int v = 0; v < 8; ++v)
            targets[v] = std::uint8_t(v % 2 ? 255 : 0);
        f.gauges()->setTargets(targets);
        for (int valve = 1; valve <= 8; ++valve) {
            f.tick(QStringLiteral("TimerGaude%1").arg(valve));
            for (int v = 1; v <= 8; ++v)
                QCOMPARE(gauge(f, v)->value(), v <= valve ? (v % 2 ? 24 : 26) : 25);
        }
    }

    // Start-up sets the targets from slot 0 of the last form file, and the
    // timers walk the gauges there from 25.
    void gaugeTimersRunFromStartUp()
    {
        Sandbox sandbox;
        FormStore file;
        FountainForm slot0;
        slot0.levels = {200, 0, 25, 26, 24, 255, 1, 100};
        slot0.holdSek = 5;
        file.WriteForm(0, slot0);
        writeFile(sandbox.workPath(QStringLiteral("UserForm.frm")), file.image());
        WindowFixture f(&sandbox);
        QCOMPARE(f.gauges()->targets(), slot0.levels);
        QTRY_VERIFY_WITH_TIMEOUT(gauge(f, 1)->value() > 26 && gauge(f, 2)->value() < 24, 2000);
        QVERIFY(f.prompts.messages.isEmpty());
    }
};

QTEST_MAIN(TestPlayer)
#include "tst_player.moc"
