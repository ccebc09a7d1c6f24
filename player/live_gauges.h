// GroupBoxView, the eight live jet gauges: the valve name boxes above them,
// and the gauge timers that walk each gauge one unit towards its target at a
// speed set by the valve's travel time.
#pragma once

#include "core/form_store.h"
#include "core/settings.h"

#include <QGroupBox>

#include <array>

class FittedEdits;
class HandlerGuard;
class QLineEdit;
class QTimer;
class TGauge;

class TLiveGauges : public QGroupBox
{
    Q_OBJECT

  public:
    TLiveGauges(const HandlerGuard &guard, QWidget *parent);

    [[nodiscard]] const JetLevels &targets() const { return m_targets; }
    void setTargets(const JetLevels &levels) { m_targets = levels; }
    // Each gauge timer paced by its valve's travel time in seconds.
    void setTravelTimes(const TravelTimes &seconds);
    void showValveNames(const FountainSettings::ValveNames &names);

  private:
    // One step of gauge valve (1..8) towards its target.
    void TimerGaudeTimer(int valve);

    JetLevels m_targets{}; // the jet levels the gauges move towards
    std::array<TGauge *, form_layout::kValves> m_gauges{};
    std::array<QLineEdit *, form_layout::kValves> m_names{};
    FittedEdits *m_fittedNames = nullptr;
    std::array<QTimer *, form_layout::kValves> m_timers{};
};
