// The live jet gauges: name boxes, gauges and their timers.
#include "player/live_gauges.h"

#include "core/gauge_rules.h"
#include "player/gauge.h"
#include "widgets/fit_font.h"
#include "widgets/guard.h"

#include <QLineEdit>
#include <QTimer>

using form_layout::kValves;

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

TLiveGauges::TLiveGauges(const HandlerGuard &guard, QWidget *parent)
    : QGroupBox(QStringLiteral(" Уровень струй во время работы "), parent)
{
    setObjectName(QStringLiteral("GroupBoxView"));
    for (int v = 0; v < kValves; ++v) {
        const int x = kLeft + kPitch * v;

        auto *name = new QLineEdit(QStringLiteral("123456"), this);
        name->setObjectName(QStringLiteral("EditNameUrzadv%1").arg(v + 1));
        name->setReadOnly(true);
        name->setMaxLength(kNameMaxLength);
        name->setFocusPolicy(Qt::NoFocus);
        QPalette pal = name->palette();
        pal.setColor(QPalette::Base, kSilver);
        name->setPalette(pal);
        name->setGeometry(x, kNameTop, kNameWidth, name->sizeHint().height());
        m_names[v] = name;

        auto *gauge = new TGauge(true, this);
        gauge->setObjectName(QStringLiteral("Gauge%1").arg(v + 1));
        gauge->setGeometry(QRect(QPoint(x, kGaugeTop), kGaugeSize));
        gauge->setValue(kGaugeStartValue);
        m_gauges[v] = gauge;

        auto *timer = new QTimer(this);
        timer->setObjectName(QStringLiteral("TimerGaude%1").arg(v + 1));
        timer->setTimerType(Qt::PreciseTimer);
        timer->setInterval(kFirstInterval);
        guard.connect(timer, &QTimer::timeout, this, [this, v] { TimerGaudeTimer(v + 1); });
        timer->start();
        m_timers[v] = timer;
    }
    // Eight characters hardly fit 48 pixels: the names share a font fitted to
    // the widest, and a longer one shows its beginning.
    m_fittedNames = new FittedEdits({m_names.begin(), m_names.end()}, kNameMaxLength, this);
}

void TLiveGauges::TimerGaudeTimer(int valve)
{
    TGauge *g = m_gauges[valve - 1];
    g->setValue(gauge::step(g->value(), m_targets[valve - 1]));
}

void TLiveGauges::setTravelTimes(const TravelTimes &seconds)
{
    for (int v = 0; v < kValves; ++v) {
        const int interval = gauge::intervalMs(seconds[v]);
        // Restarting the period on every TimerPlay tick would starve the slow
        // valves, whose step comes close to a second, and shift everyone's steps.
        if (m_timers[v]->interval() != interval)
            m_timers[v]->setInterval(interval);
    }
}

void TLiveGauges::showValveNames(const FountainSettings::ValveNames &names)
{
    m_fittedNames->batch([&] {
        for (int v = 0; v < kValves; ++v) {
            m_names[v]->setMaxLength(std::max(kNameMaxLength, int(names[v].size())));
            m_names[v]->setText(names[v]);
            m_names[v]->setCursorPosition(0);
        }
    });
}
