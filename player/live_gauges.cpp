// The eight live jet gauges in GroupBoxView: the valve name boxes above them,
// and the gauge timers that walk each gauge one unit towards its target at a
// speed set by the valve's travel time.
#include "app/guard.h"
#include "app/main_window.h"
#include "player/gauge.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>

namespace {

constexpr int kLeft = 16;
constexpr int kPitch = 56;
constexpr int kNameTop = 20;
constexpr int kNameWidth = 48;
constexpr int kNameMaxLength = 8;
constexpr int kGaugeTop = 46;
constexpr QSize kGaugeSize{49, 121};
constexpr int kGaugeStartValue = 25;
constexpr int kFirstInterval = 100; // until the first tick of TimerPlay
const QColor kSilver(192, 192, 192);

} // namespace

void TfrmMain::buildLiveGauges()
{
    for (int v = 0; v < kValves; ++v) {
        const int x = kLeft + kPitch * v;

        auto *name = new QLineEdit(QStringLiteral("123456"), GroupBoxView);
        name->setObjectName(QStringLiteral("EditNameUrzadv%1").arg(v + 1));
        name->setReadOnly(true);
        name->setMaxLength(kNameMaxLength);
        name->setFocusPolicy(Qt::NoFocus);
        QPalette pal = name->palette();
        pal.setColor(QPalette::Base, kSilver);
        name->setPalette(pal);
        name->setGeometry(x, kNameTop, kNameWidth, name->sizeHint().height());
        // Names hardly fit 48 pixels: show their beginning rather than their end.
        guardedConnect(name, &QLineEdit::textChanged, this, [name] { name->setCursorPosition(0); });
        EditNameUrzadv[v] = name;

        auto *gauge = new TGauge(true, GroupBoxView);
        gauge->setObjectName(QStringLiteral("Gauge%1").arg(v + 1));
        gauge->setGeometry(QRect(QPoint(x, kGaugeTop), kGaugeSize));
        gauge->setValue(kGaugeStartValue);
        Gauge[v] = gauge;

        auto *timer = new QTimer(this);
        timer->setObjectName(QStringLiteral("TimerGaude%1").arg(v + 1));
        timer->setTimerType(Qt::PreciseTimer);
        timer->setInterval(kFirstInterval);
        guardedConnect(timer, &QTimer::timeout, this, [this, v] { TimerGaudeTimer(v + 1); });
        timer->start();
        TimerGaude[v] = timer;
    }
}

void TfrmMain::TimerGaudeTimer(int valve)
{
    TGauge *gauge = Gauge[valve - 1];
    const int target = gaugeTargets[valve - 1];
    int value = gauge->value();
    if (value < target)
        ++value;
    if (value > target)
        --value;
    gauge->setValue(value);
}

int TfrmMain::gaugeIntervalMs(int travelSeconds)
{
    return travelSeconds * 1000 / 256;
}

void TfrmMain::setGaugeIntervals()
{
    for (int v = 0; v < kValves; ++v) {
        const int interval = gaugeIntervalMs(ScrollBarTimeZadv[v]->value());
        // Restarting the period on every TimerPlay tick would starve the slow
        // valves, whose step comes close to a second, and shift everyone's steps.
        if (TimerGaude[v]->interval() != interval)
            TimerGaude[v]->setInterval(interval);
    }
}
