// The form strip viewer: seven read-only windows GroupBoxWin1..7 over
// consecutive form slots, slid along the programme by the ruler
// ScrollBarFormVewer beside them. Each refresh also hands the stored travel
// times on to the valve panel.
#pragma once

#include "core/form_store.h"
#include "core/panel_roles.h"

#include <QWidget>

#include <array>

class HandlerGuard;
class QGroupBox;
class QLabel;
class QScrollBar;
class TGauge;

class TStripViewer : public QWidget, public StripRefresh
{
    Q_OBJECT

  public:
    static constexpr int kWindows = 7;
    // Its place in the main window's client area: the windows, then the ruler.
    static constexpr QRect kArea{8, 32, 304, 665};

    TStripViewer(const FormStore &store, const HandlerGuard &guard, QWidget *parent);

    // ---- StripRefresh ----
    void refreshStrip() override;

  signals:
    void travelTimesRead(const TravelTimes &stored);

  private:
    // The refresh: the seven windows from the store at the ruler's position,
    // then the travel times.
    void ScrollBarFormVewerChange();

    const FormStore &m_store;
    QScrollBar *m_ruler = nullptr;
    std::array<std::array<TGauge *, form_layout::kValves>, kWindows> m_gauges{};
    std::array<QLabel *, kWindows> m_numbers{};
    std::array<QLabel *, kWindows> m_names{};
    std::array<QLabel *, kWindows> m_times{};
};
