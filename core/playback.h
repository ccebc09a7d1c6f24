// The sequencer's rules: the hold counter, the countdown text and when
// playback moves to which form. The editor they drive sits behind
// CurrentForm, so the rules run without widgets.
#pragma once

#include "core/form_layout.h"

#include <QString>

#include <optional>

struct HoldTime
{
    int minutes = 0;
    int seconds = 0;
    [[nodiscard]] int total() const { return minutes * 60 + seconds; }
};

// The form being edited and played, as playback sees the editor.
class CurrentForm
{
  public:
    virtual ~CurrentForm() = default;
    [[nodiscard]] virtual int formNumber() const = 0;
    // Clamped to the forms' slots; the editor loads the slot if, and only if, the number changed.
    virtual void setFormNumber(int slot) = 0;
    // Loads the current slot into the editor again.
    virtual void reloadForm() = 0;
    // The hold time the editor shows: that of the form it loaded last.
    [[nodiscard]] virtual HoldTime holdTime() const = 0;
    // A change of the form number loads the slot from now on ("запись +1 " off).
    virtual void loadOnNumberChange() = 0;
};

// Seconds as the panels write a time: whole minutes, " Мин ", the remaining
// seconds, " Сек " ("1 Мин 15 Сек " for 75).
QString minutesSecondsText(int seconds);

class Playback
{
  public:
    // TimerPlay's period: the sequencer counts in these ticks.
    static constexpr int kTickMs = 1000;
    // After the last form the programme starts again at the first.
    static int nextSlot(int slot) { return slot == form_layout::kForms - 1 ? 0 : slot + 1; }
    // "Таймер ", whole minutes, " Мин ", the remaining seconds, " Сек ".
    static QString countdownText(int seconds);

    [[nodiscard]] int holdCounter() const { return m_holdCounter; }
    void setHoldCounter(int seconds) { m_holdCounter = seconds; }

    // One tick while playing: count the hold time down, or move to the next
    // form; a coda mark sends playback back to slot 0. demoSeconds, when set,
    // holds every form that long instead of its own hold time.
    void tick(CurrentForm &form, std::optional<int> demoSeconds);
    // Start: slot 0, loaded from the store, for its full hold time, demo mode or not.
    void start(CurrentForm &form);

  private:
    void loadHoldTime(const CurrentForm &form, std::optional<int> demoSeconds);

    int m_holdCounter = 0;
};
