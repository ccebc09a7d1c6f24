// GroupBoxSequenser, the sequencer: plays the programme by stepping the
// editor's form number once a second, counts each form's hold time down and
// has the live gauges follow the form being played.
#pragma once

#include "core/playback.h"

#include <QGroupBox>

class HandlerGuard;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QScrollBar;
class QTimer;
class QToolButton;

class TSequencerPanel : public QGroupBox
{
    Q_OBJECT

  public:
    TSequencerPanel(CurrentForm &form, const HandlerGuard &guard, QWidget *parent);

    [[nodiscard]] int holdCounter() const { return m_playback.holdCounter(); }
    void setHoldCounter(int seconds) { m_playback.setHoldCounter(seconds); }

  signals:
    // Every tick, also while stopped: the gauge timers take the travel times.
    void paceGauges();
    // The gauges head for the jet levels the editor shows.
    void followEditor();
    // Play locks the editor's OK button, Stop unlocks it.
    void playingChanged(bool playing);

  private:
    // ---- handlers ----
    void TimerPlayTimer();
    void SpeedButtonStartClick();
    void SpeedButtonPrevClick();
    void SpeedButtonFollowClick();
    void SpeedButtonPlayClick();
    void SpeedButtonStopClick();
    void ScrollBarDemoTimeChange();

    void buildButtons();
    void buildDemoRow();

    CurrentForm &m_form;
    Playback m_playback;
    QToolButton *m_stop = nullptr;
    QToolButton *m_play = nullptr;
    QToolButton *m_start = nullptr;
    QToolButton *m_prev = nullptr;
    QToolButton *m_follow = nullptr;
    QLabel *m_countdown = nullptr;
    QCheckBox *m_demo = nullptr;
    QScrollBar *m_demoTime = nullptr;
    QTimer *m_timer = nullptr;
};
