// The sequencer panel: its buttons, the countdown, the demo mode and the tick.
#include "player/sequencer_panel.h"

#include "widgets/controls.h"
#include "widgets/fit_font.h"
#include "widgets/guard.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

namespace {

constexpr int kDemoTimeMin = 1;
constexpr int kDemoTimeMax = 7;

constexpr int kMargin = 9;
constexpr int kInnerWidth = 167;
constexpr int kButtonTop = 22;
constexpr QSize kButtonSize{31, 25};
constexpr int kButtonPitch = 34;

QToolButton *makeButton(QWidget *parent, const char *name, const QString &hint, const char *icon,
                        int column)
{
    QToolButton *b = makePictureButton(parent, QLatin1String(name), hint, icon);
    b->setGeometry(QRect(QPoint(kMargin + kButtonPitch * column, kButtonTop), kButtonSize));
    return b;
}

} // namespace

TSequencerPanel::TSequencerPanel(CurrentForm &form, const HandlerGuard &guard, QWidget *parent)
    : QGroupBox(QStringLiteral(" СЕКВЕНСЕР "), parent), m_form(form)
{
    setObjectName(QStringLiteral("GroupBoxSequenser"));
    buildButtons();
    buildDemoRow();

    guard.connect(m_start, &QToolButton::clicked, this, [this] { SpeedButtonStartClick(); });
    guard.connect(m_prev, &QToolButton::clicked, this, [this] { SpeedButtonPrevClick(); });
    guard.connect(m_follow, &QToolButton::clicked, this, [this] { SpeedButtonFollowClick(); });
    guard.connect(m_play, &QToolButton::clicked, this, [this] { SpeedButtonPlayClick(); });
    guard.connect(m_stop, &QToolButton::clicked, this, [this] { SpeedButtonStopClick(); });
    guard.connect(m_demoTime, &QScrollBar::valueChanged, this,
                  [this] { ScrollBarDemoTimeChange(); });

    // Ticks for the life of the window; the countdown is the operator's clock,
    // so it must not drift.
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("TimerPlay"));
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setInterval(Playback::kTickMs);
    guard.connect(m_timer, &QTimer::timeout, this, [this] { TimerPlayTimer(); });
    m_timer->start();
}

void TSequencerPanel::buildButtons()
{
    // Left to right as on a player: back to the start, back one, stop, play, on one.
    m_start =
        makeButton(this, "SpeedButtonStart", QStringLiteral("Начать спервой формы "), "start", 0);
    m_prev = makeButton(this, "SpeedButtonPrev", QStringLiteral("предыдущая форма "), "prev", 1);
    m_stop = makeButton(this, "SpeedButtonStop", QStringLiteral("Стоп программы "), "stop", 2);
    m_play = makeButton(this, "SpeedButtonPlay", QStringLiteral("Пуск прогрммы"), "play", 3);
    m_follow =
        makeButton(this, "SpeedButtonFollow", QStringLiteral("последущая форма "), "follow", 4);

    // Stop and Play latch, and exactly one of them is down.
    auto *group = new QButtonGroup(this);
    group->setObjectName(QStringLiteral("playGroup"));
    group->setExclusive(true);
    for (QToolButton *b : {m_stop, m_play}) {
        b->setCheckable(true);
        group->addButton(b);
    }
    m_stop->setChecked(true);
}

void TSequencerPanel::buildDemoRow()
{
    m_countdown = new QLabel(QStringLiteral("TimeOver"), this);
    m_countdown->setObjectName(QStringLiteral("LabelTimeOver"));
    m_countdown->setAlignment(Qt::AlignCenter);
    m_countdown->setGeometry(kMargin, 54, kInnerWidth, 18);

    m_demo = new QCheckBox(QStringLiteral("Демо режим - время 1 сек"), this);
    m_demo->setObjectName(QStringLiteral("CheckBoxDemo"));
    m_demo->setCursor(Qt::PointingHandCursor);
    m_demo->setGeometry(kMargin, 80, kInnerWidth, 18);
    // The box is narrow: the caption's widest form must fit beside the tick box.
    const QString widest = QStringLiteral("Демо режим - время 7 сек ");
    const int tickBox =
        m_demo->sizeHint().width() - m_demo->fontMetrics().horizontalAdvance(m_demo->text());
    fitFont(m_demo, {widest}, kInnerWidth - tickBox);

    m_demoTime = new TScrollBar(Qt::Horizontal, this);
    m_demoTime->setObjectName(QStringLiteral("ScrollBarDemoTime"));
    m_demoTime->setRange(kDemoTimeMin, kDemoTimeMax);
    m_demoTime->setSingleStep(1);
    m_demoTime->setPageStep(1);
    m_demoTime->setValue(kDemoTimeMin);
    m_demoTime->setCursor(Qt::PointingHandCursor);
    m_demoTime->setGeometry(kMargin, 106, kInnerWidth, 16);
}

void TSequencerPanel::TimerPlayTimer()
{
    emit paceGauges();
    if (m_stop->isChecked())
        return;
    if (m_play->isChecked())
        m_playback.tick(m_form,
                        m_demo->isChecked() ? std::optional(m_demoTime->value()) : std::nullopt);
    m_countdown->setText(Playback::countdownText(m_playback.holdCounter()));
    emit followEditor();
}

void TSequencerPanel::SpeedButtonStartClick()
{
    m_playback.start(m_form);
    m_countdown->setText(Playback::countdownText(m_playback.holdCounter()));
    emit followEditor();
}

void TSequencerPanel::SpeedButtonPrevClick()
{
    m_form.setFormNumber(m_form.formNumber() - 1);
}

void TSequencerPanel::SpeedButtonFollowClick()
{
    m_form.setFormNumber(m_form.formNumber() + 1);
}

void TSequencerPanel::SpeedButtonPlayClick()
{
    emit playingChanged(true);
}

void TSequencerPanel::SpeedButtonStopClick()
{
    emit playingChanged(false);
}

void TSequencerPanel::ScrollBarDemoTimeChange()
{
    m_demo->setText(QStringLiteral("Демо режим - время ") + QString::number(m_demoTime->value()) +
                    QStringLiteral(" сек "));
}
