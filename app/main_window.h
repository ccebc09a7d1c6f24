// TfrmMain: the main window. It owns every control, handler and piece of state
// of the editor, the player and the upload. Member functions are defined in the
// folder of the subsystem they belong to (see each section below).
#pragma once

#include <QMainWindow>

#include <array>
#include <cstdint>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QScrollArea;
class QScrollBar;
class QTimer;
class QToolBar;
class QToolButton;
class QWidget;
class TGauge;
class TAboutForm;
class TWindowGLForm;
class ComPort;

class TfrmMain : public QMainWindow
{
    Q_OBJECT

  public:
    static constexpr int kValves = 8;
    static constexpr int kStripWindows = 7;

    explicit TfrmMain(QWidget *parent = nullptr);
    ~TfrmMain() override;

    // The two secondary windows, created after the main window (app/main.cpp).
    void setSecondaryWindows(TAboutForm *about, TWindowGLForm *gl);

    // ---- app/: start-up, toolbar, layout (app/main_window.cpp) ----
    void FormCreate();
    void SpeedButtonAboutClick();
    void SpeedButtonGlClick();

    QWidget *content = nullptr; // the 809 x 697 client area inside the scroll area
    QScrollArea *scrollArea = nullptr;
    QToolBar *ToolBar1 = nullptr;
    QToolButton *SpeedButtonNew = nullptr;
    QToolButton *SpeedButtonLoad = nullptr;
    QToolButton *SpeedButtonSave = nullptr;
    QToolButton *SpeedButtonSaveAs = nullptr;
    QToolButton *SpeedButtonCopyForm = nullptr;
    QToolButton *SpeedButtonPasteForm = nullptr;
    QToolButton *SpeedButtonCutForm = nullptr;
    QToolButton *SpeedButtonInsert = nullptr;
    QToolButton *SpeedButtonDeleteForm = nullptr;
    QToolButton *SpeedButtonClearForm = nullptr;
    QToolButton *SpeedButtonUndoForm = nullptr;
    QToolButton *SpeedButtonTools = nullptr;
    QToolButton *SpeedButtonSendBlock = nullptr;
    QToolButton *SpeedButtonAbout = nullptr;
    QToolButton *SpeedButtonGl = nullptr;

    QGroupBox *GroupBoxEDIT = nullptr;
    QGroupBox *GroupBoxView = nullptr;
    QGroupBox *GroupBoxSequenser = nullptr;
    QGroupBox *GroupBoxNameGate = nullptr;

    QString settingsFileName; // "Fonvira.ini", set by the start-up sequence
    // Jet levels the live gauges move towards.
    std::array<std::uint8_t, kValves> gaugeTargets{};
    // Copies the gauge targets from the editor's valve bars (255 - position).
    void copyGaugeTargetsFromValveBars();

    // ---- store/: file commands and settings (store/file_commands.cpp) ----
    void SpeedButtonNewClick();
    void SpeedButtonLoadClick();
    void SpeedButtonSaveClick();
    void SpeedButtonSaveAsClick();
    void ReadIniNameZadvigki();
    void SaveIniNameZadvigki();
    void ReadNameFileForm();
    void SaveNameFileForm();
    // Start-up step 7: loads the last form file when it exists.
    void loadLastFormFile();
    QString openDialogFileName; // OpenDialogForm's file name, kept between uses
    QString saveDialogFileName; // SaveDialogForm's file name: the current file

    // ---- editor/: form editing panel (editor/form_editing_panel.cpp) ----
    void ScrollBarNomberFormChange();
    void SpeedButtonEditClick();
    void SpeedButtonCodaEditClick();
    void ScrollBarZadvizkaChange(int valve); // valve 1..8
    void ScrollBarEditMinChange();
    void ScrollBarEditSekChange();
    void SpeedButtonNoKoncevikClick();
    void SpeedButton2KoncevikClick();
    void SpeedButton3KoncevikClick();
    void SpeedButton4KoncevikClick();

    QScrollBar *ScrollBarNomberForm = nullptr;
    QLabel *LabelNomberForm = nullptr;
    std::array<QScrollBar *, kValves> ScrollBarZadvizka{};
    std::array<QLabel *, kValves> LabelZadvizka{};
    QLabel *LabelZadvizkaInfo = nullptr;
    QLabel *LabelNameForm = nullptr;
    QLineEdit *EditNameForm = nullptr;
    QLabel *Label2 = nullptr;
    QScrollBar *ScrollBarEditMin = nullptr;
    QLabel *LabelEditMin = nullptr;
    QScrollBar *ScrollBarEditSek = nullptr;
    QLabel *LabelEditSek = nullptr;
    QToolButton *SpeedButtonCodaEdit = nullptr;
    QToolButton *SpeedButton2Koncevik = nullptr;
    QToolButton *SpeedButton3Koncevik = nullptr;
    QToolButton *SpeedButton4Koncevik = nullptr;
    QToolButton *SpeedButtonNoKoncevik = nullptr;
    QButtonGroup *koncevikGroup = nullptr;
    QCheckBox *CheckBoxPlus = nullptr;
    QToolButton *SpeedButtonEdit = nullptr;

    // ---- editor/: list operations (editor/list_operations.cpp) ----
    void Copy();
    void paste();
    void SpeedButtonCopyFormClick();
    void SpeedButtonPasteFormClick();
    void SpeedButtonCutFormClick();
    void SpeedButtonInsertClick();
    void SpeedButtonDeleteFormClick();
    void SpeedButtonClearFormClick();

    // The form buffer: what the panel showed at the last copy or cut.
    struct FormBuffer
    {
        std::array<int, kValves> positions{}; // valve bar positions, not jet levels
        QString name;
        int holdMin = 0;
        int holdSek = 0;
    };
    FormBuffer formBuffer;

    // ---- editor/: valve parameters panel (editor/valve_panel.cpp) ----
    void ScrollBarTimeZadvChange(int valve); // valve 1..8
    void WriteZadv();

    QLabel *Label3 = nullptr;
    QLabel *LabelNameZadv = nullptr;
    QCheckBox *CheckBoxTogetg = nullptr;
    QLabel *LabelzNam = nullptr;
    std::array<QLineEdit *, kValves> EditNameZadv{};
    std::array<QScrollBar *, kValves> ScrollBarTimeZadv{};
    std::array<QLabel *, kValves> LabelTimeZadv{};

    // ---- player/: strip viewer (player/strip_viewer.cpp) ----
    void ScrollBarFormVewerChange();

    std::array<QGroupBox *, kStripWindows> GroupBoxWin{};
    std::array<std::array<TGauge *, kValves>, kStripWindows> GaugeWin{};
    std::array<QLabel *, kStripWindows> LabelNomberFormWin{};
    std::array<QLabel *, kStripWindows> LabelNameFormWin{};
    std::array<QLabel *, kStripWindows> LabelTimeWin{};
    QScrollBar *ScrollBarFormVewer = nullptr;

    // ---- player/: sequencer (player/sequencer.cpp) ----
    void TimerPlayTimer();
    void SpeedButtonStartClick();
    void SpeedButtonPrevClick();
    void SpeedButtonFollowClick();
    void SpeedButtonPlayClick();
    void SpeedButtonStopClick();
    void ScrollBarDemoTimeChange();

    QToolButton *SpeedButtonStop = nullptr;
    QToolButton *SpeedButtonPlay = nullptr;
    QToolButton *SpeedButtonStart = nullptr;
    QToolButton *SpeedButtonPrev = nullptr;
    QToolButton *SpeedButtonFollow = nullptr;
    QButtonGroup *playGroup = nullptr;
    QLabel *LabelTimeOver = nullptr;
    QCheckBox *CheckBoxDemo = nullptr;
    QScrollBar *ScrollBarDemoTime = nullptr;
    QTimer *TimerPlay = nullptr;
    int holdCounter = 0;

    // ---- player/: live jet gauges (player/live_gauges.cpp) ----
    void TimerGaudeTimer(int valve); // valve 1..8
    // A gauge timer's interval for a travel time in seconds: t x 1000 / 256 ms.
    static int gaugeIntervalMs(int travelSeconds);
    // Each gauge timer's interval from its valve's travel-time bar, set only
    // where it differs: setInterval restarts the period.
    void setGaugeIntervals();

    std::array<TGauge *, kValves> Gauge{};
    std::array<QLineEdit *, kValves> EditNameUrzadv{};
    std::array<QTimer *, kValves> TimerGaude{};

    // ---- link/: block upload (link/block_upload.cpp) ----
    void SpeedButtonSendBlockClick();
    ComPort *comPort() const { return m_comPort.get(); }

  protected:
    void showEvent(QShowEvent *event) override;

  private:
    // Builders, one per subsystem, each in its subsystem's file.
    void buildToolBar();
    void buildGroupBoxes();
    void buildStripViewer();
    void buildEditingPanel();
    void buildListOperations();
    void buildValvePanel();
    void buildSequencer();
    void buildLiveGauges();
    void buildFileCommands();
    void buildBlockUpload();

    std::unique_ptr<ComPort> m_comPort;
    bool m_shownOnce = false;
    TAboutForm *m_aboutForm = nullptr;
    TWindowGLForm *m_glForm = nullptr;
};
