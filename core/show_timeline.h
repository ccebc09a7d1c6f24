// What playing a programme does, worked out without playing it: when each
// form starts, how long one cycle runs, and where each valve's gauge stands
// while it travels. The sequencer's own Playback drives a stand-in for the
// editor second by second, and each valve moves by the gauges' own step at
// its gauge timer's pace, so the figures are the ones the screen would show.
#pragma once

#include "core/form_layout.h"
#include "core/playback.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

class FormStore;

namespace timeline {

// One valve during one form. Its gauge timer ticks at whole multiples of its
// interval counted from Start; a step due at the very millisecond a form
// starts belongs to the form before.
struct ValveSpan
{
    int from = 0;    // the gauge's level when the form starts
    int target = 0;  // the form's jet level
    int reached = 0; // the level when the next form starts
    // Milliseconds since Start when the gauge stands on the target; none when
    // it is still travelling as the next form starts (a late arrival).
    std::optional<int> arrivalMs;
    [[nodiscard]] bool late() const { return !arrivalMs; }
};

struct FormSpan
{
    int slot = 0; // 0..99, shown as form slot + 1
    QString name;
    HoldTime hold;   // as the editor's hold-time bars show it
    int start = 0;   // seconds since Start
    int seconds = 0; // on screen: the hold time (or the demo time) plus one tick
    std::array<ValveSpan, form_layout::kValves> valves{};
    [[nodiscard]] int end() const { return start + seconds; }
};

struct ShowTimeline
{
    QList<FormSpan> forms;                          // one cycle, in play order
    std::array<int, form_layout::kValves> travel{}; // seconds, as the valve bars hold them
    std::optional<int> demoSeconds;
    int totalSeconds = 0; // Start to the tick that brings form 1 back
    // The coda that ends the cycle, 0..99; none when all 100 forms play.
    std::optional<int> codaSlot;

    [[nodiscard]] int lateCount() const;
    // Whether valve (1..8) ever leaves the level it starts the show at.
    [[nodiscard]] bool moves(int valve) const;
    // Valve (1..8)'s gauge level ms milliseconds after Start, by the same steps.
    [[nodiscard]] int levelAt(int valve, int ms) const;
};

// The gauges stand at no jet when the show starts, as a fountain switched on.
// Nothing when slot 0 is a coda mark: the programme plays no form.
// demoSeconds: the sequencer's demo time, 1..7, or none.
[[nodiscard]] std::optional<ShowTimeline> showTimeline(const FormStore &store,
                                                       std::optional<int> demoSeconds);

// The gauge of a valve with this pace from level from towards target, its
// timer ticking at multiples of intervalMs, between startMs and endMs.
[[nodiscard]] ValveSpan travelDuring(int from, int target, int startMs, int endMs, int intervalMs);

} // namespace timeline
