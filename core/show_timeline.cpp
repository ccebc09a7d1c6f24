#include "core/show_timeline.h"

#include "core/form_store.h"
#include "core/gauge_rules.h"

#include <algorithm>

namespace timeline {

namespace {

using form_layout::kValves;

// The editor as playback sees it: a form number bar 0..99 that loads its slot
// when it moves, and hold-time bars that show a stored value above 59 as 59.
class StoredEditor : public CurrentForm
{
  public:
    explicit StoredEditor(const FormStore &store) : m_store(store) { reloadForm(); }

    [[nodiscard]] int formNumber() const override { return m_number; }
    void setFormNumber(int slot) override
    {
        slot = std::clamp(slot, 0, form_layout::kForms - 1);
        if (slot == m_number)
            return;
        m_number = slot;
        reloadForm();
    }
    void reloadForm() override
    {
        ++m_loads;
        m_form = m_store.ReadForm(m_number);
    }
    [[nodiscard]] HoldTime holdTime() const override
    {
        return {std::min<int>(m_form.holdMin, form_layout::kMaxHold),
                std::min<int>(m_form.holdSek, form_layout::kMaxHold)};
    }
    void loadOnNumberChange() override {}

    // Each form change ends with a load of the slot it lands on.
    [[nodiscard]] int loads() const { return m_loads; }
    [[nodiscard]] FormSpan span(int start) const
    {
        FormSpan s;
        s.slot = m_number;
        s.name = m_form.name;
        s.hold = holdTime();
        s.start = start;
        for (int v = 0; v < kValves; ++v)
            s.valves[v].target = m_form.levels[v];
        return s;
    }

  private:
    const FormStore &m_store;
    int m_number = 0; // the sequencer starts at slot 0
    int m_loads = 0;
    FountainForm m_form;
};

// The forms of one cycle, from Start to the tick that brings slot 0 back.
QList<FormSpan> playCycle(const FormStore &store, std::optional<int> demoSeconds, int *total)
{
    StoredEditor editor(store);
    Playback playback;
    playback.start(editor);
    QList<FormSpan> forms{editor.span(0)};
    // Each form is held at most 59:59 and one tick, and 100 forms wrap to slot 0.
    for (int second = 1;; ++second) {
        const int loads = editor.loads();
        playback.tick(editor, demoSeconds);
        if (editor.loads() == loads)
            continue;
        forms.back().seconds = second - forms.back().start;
        if (editor.formNumber() == 0) {
            *total = second;
            return forms;
        }
        forms << editor.span(second);
    }
}

} // namespace

ValveSpan travelDuring(int from, int target, int startMs, int endMs, int intervalMs)
{
    ValveSpan s;
    s.from = s.reached = from;
    s.target = target;
    if (from == target)
        s.arrivalMs = startMs;
    // Once on the target the gauge rests there: its further steps change nothing.
    for (int t = (startMs / intervalMs + 1) * intervalMs; t <= endMs && s.late(); t += intervalMs) {
        s.reached = gauge::step(s.reached, target);
        if (s.reached == target)
            s.arrivalMs = t;
    }
    return s;
}

std::optional<ShowTimeline> showTimeline(const FormStore &store, std::optional<int> demoSeconds)
{
    if (store.ReadForm(0).isCoda())
        return std::nullopt;
    ShowTimeline show;
    show.demoSeconds = demoSeconds;
    show.forms = playCycle(store, demoSeconds, &show.totalSeconds);
    const FormSpan &last = show.forms.back();
    if (last.slot + 1 < form_layout::kForms)
        show.codaSlot = last.slot + 1;

    const TravelTimes stored = store.ReadZadv();
    for (int v = 0; v < kValves; ++v) {
        // The valve bars start at 7 s: a smaller stored time paces the gauge as 7.
        show.travel[v] = std::max<int>(stored[v], form_layout::kMinTravel);
        const int interval = gauge::intervalMs(show.travel[v]);
        int level = form_layout::kNoJet;
        for (FormSpan &f : show.forms) {
            ValveSpan &s = f.valves[v];
            s = travelDuring(level, s.target, f.start * Playback::kTickMs,
                             f.end() * Playback::kTickMs, interval);
            level = s.reached;
        }
    }
    return show;
}

int ShowTimeline::lateCount() const
{
    int count = 0;
    for (const FormSpan &f : forms)
        count += int(std::count_if(f.valves.begin(), f.valves.end(),
                                   [](const ValveSpan &s) { return s.late(); }));
    return count;
}

bool ShowTimeline::moves(int valve) const
{
    const int first = forms.front().valves[valve - 1].from;
    return std::any_of(forms.begin(), forms.end(),
                       [&](const FormSpan &f) { return f.valves[valve - 1].reached != first; });
}

int ShowTimeline::levelAt(int valve, int ms) const
{
    const int tick = Playback::kTickMs;
    // The form on at ms: a step due at a form's first millisecond is the previous form's.
    const auto on = std::find_if(forms.begin(), forms.end(),
                                 [&](const FormSpan &f) { return ms <= f.end() * tick; });
    if (on == forms.end())
        return forms.back().valves[valve - 1].reached;
    const ValveSpan &s = on->valves[valve - 1];
    return travelDuring(s.from, s.target, on->start * tick, ms,
                        gauge::intervalMs(travel[valve - 1]))
        .reached;
}

} // namespace timeline
