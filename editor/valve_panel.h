// GroupBoxNameGate, the valve parameters panel: the eight valve names (kept
// in the settings file) and the eight travel times (kept in the form store),
// and the "Вместе" box that lets valve 1 set every travel time.
#pragma once

#include "core/form_store.h"
#include "core/panel_roles.h"
#include "core/settings.h"

#include <QGroupBox>

#include <array>

class FittedEdits;
class HandlerGuard;
class QCheckBox;
class QLabel;
class QLineEdit;
class QScrollBar;

class TValvePanel : public QGroupBox, public ValveParameters
{
    Q_OBJECT

  public:
    TValvePanel(FormStore &store, FountainSettings &settings, const HandlerGuard &guard,
                QWidget *parent);

    // ---- ValveParameters ----
    // The travel times into the store, then the names into the settings file.
    void WriteZadv() override;

    // A name from the settings file is shown whole, even when longer than a
    // name may be typed.
    void showValveNames(const FountainSettings::ValveNames &names);
    [[nodiscard]] FountainSettings::ValveNames valveNames() const;
    // The bars, valve 1 to 8, set to the stored bytes; 0..6 show as 7.
    void showTravelTimes(const TravelTimes &stored);
    [[nodiscard]] TravelTimes travelTimes() const;

  private:
    void ScrollBarTimeZadvChange(int valve); // valve 1..8
    void SaveIniNameZadvigki();
    void buildHeaders();
    void buildRows();

    FormStore &m_store;
    FountainSettings &m_settings;
    QCheckBox *m_together = nullptr;
    std::array<QLineEdit *, form_layout::kValves> m_names{};
    FittedEdits *m_fittedNames = nullptr;
    std::array<QScrollBar *, form_layout::kValves> m_times{};
    std::array<QLabel *, form_layout::kValves> m_timeLabels{};
    bool m_showingStore = false; // the bars follow the store, not the operator
};
