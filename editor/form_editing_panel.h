// GroupBoxEDIT, the form editing panel: the current form's number, its eight
// jet heights, name and hold time, the OK and coda buttons and the four
// limit-switch buttons that set how coarsely the valve bars move. Loading a
// slot is the one way a stored form reaches editable controls and the gauges.
#pragma once

#include "core/form_store.h"
#include "core/panel_roles.h"

#include <QGroupBox>

#include <array>

class HandlerGuard;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QScrollBar;
class QToolButton;

class TFormEditingPanel : public QGroupBox, public EditedForm
{
    Q_OBJECT

  public:
    TFormEditingPanel(FormStore &store, const HandlerGuard &guard, QWidget *parent);

    // Start-up runs it: the valve bars step by 255 from the first.
    void SpeedButton2KoncevikClick();

    // ---- CurrentForm ----
    [[nodiscard]] int formNumber() const override;
    void setFormNumber(int slot) override;
    void reloadForm() override;
    [[nodiscard]] HoldTime holdTime() const override;
    void loadOnNumberChange() override;

    // ---- EditedForm ----
    [[nodiscard]] PanelForm panelForm() const override;
    void showPanelForm(const PanelForm &form) override;
    void writeForm() override;

    // The jet levels of the valve bars as they stand.
    [[nodiscard]] JetLevels jetLevels() const;
    // OK is locked while the sequencer plays.
    void setWriteEnabled(bool enabled);

  signals:
    // OK or the coda button changed the store: the strip shows it.
    void storeChanged();
    // A slot was loaded: the gauges move towards its jet levels.
    void formLoaded(const JetLevels &levels);

  private:
    // ---- handlers ----
    void ScrollBarNomberFormChange();
    void SpeedButtonEditClick();
    void SpeedButtonCodaEditClick();
    void ScrollBarZadvizkaChange(int valve); // valve 1..8
    void ScrollBarEditMinChange();
    void ScrollBarEditSekChange();
    void SpeedButtonNoKoncevikClick();
    void SpeedButton3KoncevikClick();
    void SpeedButton4KoncevikClick();

    void buildValveBars();
    void buildFormColumn();
    void buildSwitchRow();
    void connectHandlers(const HandlerGuard &guard);
    void setArrowStep(int step);

    FormStore &m_store;

    QScrollBar *m_number = nullptr;
    QLabel *m_title = nullptr;
    std::array<QScrollBar *, form_layout::kValves> m_valveBars{};
    std::array<QLabel *, form_layout::kValves> m_percentLabels{};
    QLineEdit *m_name = nullptr;
    QScrollBar *m_minutes = nullptr;
    QLabel *m_minutesLabel = nullptr;
    QScrollBar *m_seconds = nullptr;
    QLabel *m_secondsLabel = nullptr;
    QToolButton *m_coda = nullptr;
    QButtonGroup *m_switches = nullptr;
    std::array<QToolButton *, 4> m_switchButtons{}; // 2, 3, 4 switches, then "%"
    QCheckBox *m_plus = nullptr;
    QToolButton *m_ok = nullptr;
};
