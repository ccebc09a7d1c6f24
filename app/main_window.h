// TfrmMain, the main window: it owns the form store and the settings, builds
// the panels, wires them together in one place and runs the start-up
// sequence. Each panel owns its controls, its state and its handlers.
#pragma once

#include "core/form_store.h"
#include "core/settings.h"
#include "widgets/guard.h"

#include <QKeySequence>
#include <QMainWindow>

class QAction;
class QScrollArea;
class TAboutForm;
class TBlockUpload;
class TFileCommands;
class TFormEditingPanel;
class TListOperations;
class TLiveGauges;
class TMainToolBar;
class TSequencerPanel;
class TStripViewer;
class TValvePanel;
class TWindowGLForm;
class UiPrompts;

// What the panels use, built before the window and every child of it and
// destroyed after them: no child outlives what it refers to, and no
// destructor deletes children by hand.
class TfrmMainResources
{
  protected:
    explicit TfrmMainResources(UiPrompts &prompts);

    UiPrompts &m_prompts;
    HandlerGuard m_guard;
    FormStore m_store;
    // Step 1 of the start-up sequence names the file; until then the defaults.
    FountainSettings m_settings;
};

// The meta-object compiler takes a class's first base for its QObject one,
// so the resources come before QMainWindow here: bases are built in the
// order they are listed and destroyed the other way round.
class TfrmMainBase : protected TfrmMainResources, public QMainWindow
{
  protected:
    explicit TfrmMainBase(UiPrompts &prompts) : TfrmMainResources(prompts) {}
};

class TfrmMain : public TfrmMainBase
{
    Q_OBJECT

  public:
    // A top-level window: it has no parent.
    explicit TfrmMain(UiPrompts &prompts);

    // The two secondary windows, created after the main window.
    void setSecondaryWindows(TAboutForm *about, TWindowGLForm *gl);

    // The one form store of the program, for the panels and for checks.
    FormStore &store() { return m_store; }
    const HandlerGuard &guard() const { return m_guard; }

  protected:
    void showEvent(QShowEvent *event) override;

  private:
    void FormCreate();
    void SpeedButtonAboutClick();
    void SpeedButtonGlClick();
    void SpeedButtonSendBlockClick();

    // A toolbar command: the button that shows it (none: a gap), its hint,
    // picture and keys, whether it is enabled at start, and what it runs.
    struct Command
    {
        const char *button = nullptr; // the button's objectName
        const char *hint = nullptr;
        const char *picture = nullptr;
        void (*run)(TfrmMain &) = nullptr; // none: the button does nothing
        bool enabled = true;
        QKeySequence keys{};
    };
    static const Command kCommands[];

    void buildPanels();
    void buildCommands();
    QAction *command(const char *name) const;
    void wirePanels();
    void ReadIniNameZadvigki();

    // Children of the window: Qt deletes them.
    QScrollArea *m_scrollArea = nullptr;
    QWidget *m_content = nullptr; // the client area below the toolbar
    TMainToolBar *m_toolBar = nullptr;
    TStripViewer *m_strip = nullptr;
    TFormEditingPanel *m_editor = nullptr;
    TLiveGauges *m_gauges = nullptr;
    TSequencerPanel *m_sequencer = nullptr;
    TValvePanel *m_valves = nullptr;
    TListOperations *m_lists = nullptr;
    TFileCommands *m_files = nullptr;
    TBlockUpload *m_upload = nullptr;
    TAboutForm *m_aboutForm = nullptr;
    TWindowGLForm *m_glForm = nullptr;
    bool m_shownOnce = false;
};
