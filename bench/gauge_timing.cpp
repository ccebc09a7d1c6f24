// Real-time behaviour of the running main window's timers, measured on a real
// X server: a full gauge sweep at travel times 7 s and 20 s against the ideal
// 255 x floor(t x 1000 / 256) ms, TimerPlay's drift over 60 ticks, and the CPU
// the idle window takes with all nine timers running. Takes about a minute.
// Usage: gauge_timing (bench/gauge_timing.sh builds it and runs it under Xvfb).
#include "app/main_window.h"
#include "core/form_layout.h"
#include "core/gauge_rules.h"
#include "editor/valve_panel.h"
#include "player/gauge.h"
#include "player/live_gauges.h"
#include "widgets/ui_prompts.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kSweepStartMs = 2500;
constexpr int kPlayTicks = 60;
constexpr int kCpuSeconds = 30;
constexpr double kSweepTolerancePercent = 1.0;
constexpr double kDriftLimitMs = 20.0;
constexpr double kCpuLimitPercent = 2.0;

struct Sweep
{
    int valve; // 1..8
    int travelSeconds;
    double finishedMs = -1; // time of the step that reached 255
    double lastStepMs = 0;
    int stalls = 0; // steps that came more than one and a half intervals after the last
    double lostMs = 0;
};

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

QByteArray loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    if (!f.open(QIODevice::ReadOnly))
        return "unknown";
    return f.readAll().trimmed();
}

const char *verdict(bool ok)
{
    return ok ? "ok" : "MISSED";
}

template <typename T> T *named(const QObject *root, const QString &name)
{
    T *child = root->findChild<T *>(name);
    if (!child)
        qFatal("no %s", qPrintable(name));
    return child;
}

} // namespace

int main(int argc, char *argv[])
{
    // A first start: no settings, no last form file.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    QDir::setCurrent(home.path());

    QApplication app(argc, argv);
    std::printf("load average at start: %s\n", loadAverage().constData());

    QtPrompts prompts;
    TfrmMain w(prompts);
    w.show();
    auto *gauges = named<TLiveGauges>(&w, QStringLiteral("GroupBoxView"));
    auto *valves = named<TValvePanel>(&w, QStringLiteral("GroupBoxNameGate"));
    const auto gaugeTimer = [&w](int valve) {
        return named<QTimer>(&w, QStringLiteral("TimerGaude%1").arg(valve));
    };
    const auto gauge = [&w](int valve) {
        return named<TGauge>(&w, QStringLiteral("Gauge%1").arg(valve));
    };
    const auto travelBar = [&w](int valve) {
        return named<QScrollBar>(&w, QStringLiteral("ScrollBarTimeZadv%1").arg(valve));
    };

    QElapsedTimer clock; // TimerPlay and the CPU phase
    clock.start();
    QElapsedTimer sweepClock;
    std::vector<double> playTicks;
    std::vector<Sweep> sweeps{{1, 7}, {2, 20}};
    int sweepsLeft = int(sweeps.size());
    long gaugeTicks = 0;
    double cpuStart = 0;
    double cpuWallStart = 0;
    long gaugeTicksAtCpuStart = 0;
    double cpuPercent = -1;
    double cpuWakeupsPerSecond = 0;

    const auto ms = [&clock] { return double(clock.nsecsElapsed()) / 1e6; };

    for (int v = 1; v <= 8; ++v)
        QObject::connect(gaugeTimer(v), &QTimer::timeout, &app, [&gaugeTicks] { ++gaugeTicks; });

    for (Sweep &s : sweeps) {
        QObject::connect(gaugeTimer(s.valve), &QTimer::timeout, &app, [&, valve = s.valve] {
            for (Sweep &t : sweeps) {
                if (t.valve != valve || t.finishedMs >= 0 || !sweepClock.isValid())
                    continue;
                const double now = double(sweepClock.nsecsElapsed()) / 1e6;
                const double interval = gauge::intervalMs(t.travelSeconds);
                if (now - t.lastStepMs > 1.5 * interval) {
                    ++t.stalls;
                    t.lostMs += now - t.lastStepMs - interval;
                }
                t.lastStepMs = now;
                if (gauge(valve)->value() == form_layout::kFullJet) {
                    t.finishedMs = now;
                    if (--sweepsLeft == 0) {
                        // Everything rests from here on: measure the idle window.
                        QTimer::singleShot(1000, &app, [&] {
                            cpuStart = cpuSeconds();
                            cpuWallStart = ms();
                            gaugeTicksAtCpuStart = gaugeTicks;
                            QTimer::singleShot(kCpuSeconds * 1000, &app, [&] {
                                const double wall = (ms() - cpuWallStart) / 1000;
                                cpuPercent = 100 * (cpuSeconds() - cpuStart) / wall;
                                cpuWakeupsPerSecond =
                                    double(gaugeTicks - gaugeTicksAtCpuStart) / wall;
                                if (int(playTicks.size()) > kPlayTicks)
                                    app.quit();
                            });
                        });
                    }
                }
            }
        });
    }

    QObject::connect(named<QTimer>(&w, QStringLiteral("TimerPlay")), &QTimer::timeout, &app, [&] {
        playTicks.push_back(ms());
        if (int(playTicks.size()) > kPlayTicks && cpuPercent >= 0)
            app.quit();
    });

    // The operator's case: a valve's travel time changes from 255 s, and the
    // changed interval restarts its timer. Start well after the window's first
    // paint and TimerPlay's first tick, half-way between two ticks.
    for (const Sweep &s : sweeps)
        travelBar(s.valve)->setValue(form_layout::kMaxTravel);
    QTimer::singleShot(kSweepStartMs, &app, [&] {
        JetLevels targets = gauges->targets();
        for (const Sweep &s : sweeps) {
            travelBar(s.valve)->setValue(s.travelSeconds);
            gauge(s.valve)->setValue(form_layout::kNoJet);
            targets[s.valve - 1] = form_layout::kFullJet;
        }
        gauges->setTargets(targets);
        sweepClock.start();
        gauges->setTravelTimes(valves->travelTimes());
    });

    QApplication::exec();

    bool allOk = true;
    for (const Sweep &s : sweeps) {
        const int interval = gauge::intervalMs(s.travelSeconds);
        const double ideal = double(form_layout::kFullJet) * interval;
        const double error = 100 * (s.finishedMs - ideal) / ideal;
        const bool ok = s.finishedMs >= 0 && std::abs(error) <= kSweepTolerancePercent;
        allOk = allOk && ok;
        std::printf("sweep at %3d s: measured %8.1f ms, ideal %6.0f ms (255 x %d), %+.2f%%  "
                    "[within %.0f%%: %s]; %d steps late by over half an interval, %.1f ms "
                    "lost\n",
                    s.travelSeconds, s.finishedMs, ideal, interval, error, kSweepTolerancePercent,
                    verdict(ok), s.stalls, s.lostMs);
    }

    double worstTick = 0;
    for (std::size_t i = 1; i < playTicks.size(); ++i)
        worstTick = std::max(worstTick, std::abs(playTicks[i] - playTicks[i - 1] - 1000));
    const double span = playTicks[kPlayTicks] - playTicks[0];
    const double drift = span - kPlayTicks * 1000.0;
    const bool driftOk = std::abs(drift) < kDriftLimitMs;
    allOk = allOk && driftOk;
    std::printf("TimerPlay: %d ticks in %.1f ms, drift %+.1f ms per minute, worst single tick "
                "%.1f ms off  [under %.0f ms: %s]\n",
                kPlayTicks, span, drift, worstTick, kDriftLimitMs, verdict(driftOk));

    const bool cpuOk = cpuPercent < kCpuLimitPercent;
    allOk = allOk && cpuOk;
    std::printf("idle window, nine timers, %d s: %.2f%% of one core, %.0f gauge ticks/s  "
                "[under %.0f%%: %s]\n",
                kCpuSeconds, cpuPercent, cpuWakeupsPerSecond, kCpuLimitPercent, verdict(cpuOk));
    std::printf("load average at end: %s\n", loadAverage().constData());
    return allOk ? 0 : 1;
}
