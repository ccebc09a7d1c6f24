// The sequencer in GroupBoxSequenser: plays the programme by stepping the
// editor's form number once a second, counts each form's hold time down and
// hands the played jet levels to the live gauges.
#include "app/fit_font.h"
#include "app/guard.h"
#include "app/main_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

namespace {

constexpr int kLastSlot = 99; // the last slot the form number bar reaches
constexpr int kPlayInterval = 1000;
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
    auto *b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(hint);
    b->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(icon))));
    b->setIconSize(QSize(16, 16));
    b->setCursor(Qt::PointingHandCursor);
    b->setGeometry(QRect(QPoint(kMargin + kButtonPitch * column, kButtonTop), kButtonSize));
    return b;
}

int nextSlot(int slot)
{
    return slot == kLastSlot ? 0 : slot + 1;
}

QString countdownText(int seconds)
{
    return QStringLiteral("Таймер ") + QString::number(seconds / 60) + QStringLiteral(" Мин ") +
           QString::number(seconds % 60) + QStringLiteral(" Сек ");
}

} // namespace

void TfrmMain::buildSequencer()
{
    QGroupBox *box = GroupBoxSequenser;

    // Left to right as on a player: back to the start, back one, stop, play, on one.
    SpeedButtonStart =
        makeButton(box, "SpeedButtonStart", QStringLiteral("Начать спервой формы "), "start", 0);
    SpeedButtonPrev =
        makeButton(box, "SpeedButtonPrev", QStringLiteral("предыдущая форма "), "prev", 1);
    SpeedButtonStop =
        makeButton(box, "SpeedButtonStop", QStringLiteral("Стоп программы "), "stop", 2);
    SpeedButtonPlay =
        makeButton(box, "SpeedButtonPlay", QStringLiteral("Пуск прогрммы"), "play", 3);
    SpeedButtonFollow =
        makeButton(box, "SpeedButtonFollow", QStringLiteral("последущая форма "), "follow", 4);

    // Stop and Play latch, and exactly one of them is down.
    playGroup = new QButtonGroup(this);
    playGroup->setObjectName(QStringLiteral("playGroup"));
    playGroup->setExclusive(true);
    for (QToolButton *b : {SpeedButtonStop, SpeedButtonPlay}) {
        b->setCheckable(true);
        b->setAutoRaise(true);
        playGroup->addButton(b);
    }
    SpeedButtonStop->setChecked(true);
    for (QToolButton *b : {SpeedButtonStart, SpeedButtonPrev, SpeedButtonFollow})
        b->setAutoRaise(true);

    LabelTimeOver = new QLabel(QStringLiteral("TimeOver"), box);
    LabelTimeOver->setObjectName(QStringLiteral("LabelTimeOver"));
    LabelTimeOver->setAlignment(Qt::AlignCenter);
    LabelTimeOver->setGeometry(kMargin, 54, kInnerWidth, 18);

    CheckBoxDemo = new QCheckBox(QStringLiteral("Демо режим - время 1 сек"), box);
    CheckBoxDemo->setObjectName(QStringLiteral("CheckBoxDemo"));
    CheckBoxDemo->setCursor(Qt::PointingHandCursor);
    CheckBoxDemo->setGeometry(kMargin, 80, kInnerWidth, 18);
    // The box is narrow: the caption's widest form must fit beside the tick box.
    const QString widest = QStringLiteral("Демо режим - время 7 сек ");
    const int tickBox = CheckBoxDemo->sizeHint().width() -
                        CheckBoxDemo->fontMetrics().horizontalAdvance(CheckBoxDemo->text());
    fitFont(CheckBoxDemo, {widest}, kInnerWidth - tickBox);

    ScrollBarDemoTime = new QScrollBar(Qt::Horizontal, box);
    ScrollBarDemoTime->setObjectName(QStringLiteral("ScrollBarDemoTime"));
    ScrollBarDemoTime->setRange(kDemoTimeMin, kDemoTimeMax);
    ScrollBarDemoTime->setSingleStep(1);
    ScrollBarDemoTime->setPageStep(1);
    ScrollBarDemoTime->setValue(kDemoTimeMin);
    ScrollBarDemoTime->setCursor(Qt::PointingHandCursor);
    ScrollBarDemoTime->setGeometry(kMargin, 106, kInnerWidth, 16);

    guardedConnect(SpeedButtonStart, &QToolButton::clicked, this,
                   [this] { SpeedButtonStartClick(); });
    guardedConnect(SpeedButtonPrev, &QToolButton::clicked, this,
                   [this] { SpeedButtonPrevClick(); });
    guardedConnect(SpeedButtonFollow, &QToolButton::clicked, this,
                   [this] { SpeedButtonFollowClick(); });
    guardedConnect(SpeedButtonPlay, &QToolButton::clicked, this,
                   [this] { SpeedButtonPlayClick(); });
    guardedConnect(SpeedButtonStop, &QToolButton::clicked, this,
                   [this] { SpeedButtonStopClick(); });
    guardedConnect(ScrollBarDemoTime, &QScrollBar::valueChanged, this,
                   [this] { ScrollBarDemoTimeChange(); });

    // Ticks for the life of the window; the countdown is the operator's clock,
    // so it must not drift.
    TimerPlay = new QTimer(this);
    TimerPlay->setObjectName(QStringLiteral("TimerPlay"));
    TimerPlay->setTimerType(Qt::PreciseTimer);
    TimerPlay->setInterval(kPlayInterval);
    guardedConnect(TimerPlay, &QTimer::timeout, this, [this] { TimerPlayTimer(); });
    TimerPlay->start();
}

void TfrmMain::TimerPlayTimer()
{
    setGaugeIntervals();
    if (SpeedButtonStop->isChecked())
        return;
    if (SpeedButtonPlay->isChecked())
        CheckBoxPlus->setChecked(false);

    if (holdCounter != 0) {
        --holdCounter;
    } else {
        // Each setValue loads the slot into the editor when the number changes.
        const auto loadHoldTime = [this] {
            holdCounter = CheckBoxDemo->isChecked()
                              ? ScrollBarDemoTime->value()
                              : ScrollBarEditMin->value() * 60 + ScrollBarEditSek->value();
        };
        ScrollBarNomberForm->setValue(nextSlot(ScrollBarNomberForm->value()));
        loadHoldTime();
        if (holdCounter == 0) // a coda mark: back to the first form
            ScrollBarNomberForm->setValue(0);
        loadHoldTime();
        ScrollBarNomberFormChange();
    }

    LabelTimeOver->setText(countdownText(holdCounter));
    copyGaugeTargetsFromValveBars();
}

void TfrmMain::SpeedButtonStartClick()
{
    ScrollBarNomberForm->setValue(0);
    // Start always plays slot 0 for its full hold time, demo mode or not.
    holdCounter = ScrollBarEditMin->value() * 60 + ScrollBarEditSek->value();
    ScrollBarNomberFormChange();
    LabelTimeOver->setText(countdownText(holdCounter));
    copyGaugeTargetsFromValveBars();
}

void TfrmMain::SpeedButtonPrevClick()
{
    ScrollBarNomberForm->setValue(ScrollBarNomberForm->value() - 1);
}

void TfrmMain::SpeedButtonFollowClick()
{
    ScrollBarNomberForm->setValue(ScrollBarNomberForm->value() + 1);
}

void TfrmMain::SpeedButtonPlayClick()
{
    SpeedButtonEdit->setEnabled(false);
}

void TfrmMain::SpeedButtonStopClick()
{
    SpeedButtonEdit->setEnabled(true);
}

void TfrmMain::ScrollBarDemoTimeChange()
{
    CheckBoxDemo->setText(QStringLiteral("Демо режим - время ") +
                          QString::number(ScrollBarDemoTime->value()) + QStringLiteral(" сек "));
}
