// The main window under test: private settings, recorded prompts, and its
// controls and panels found by their object names, as an operator's script
// or an acceptance check would find them.
#pragma once

#include "app/main_window.h"
#include "tests/support/test_support.h"
#include "widgets/guard.h"
#include "widgets/ui_prompts.h"

#include <QStringList>

class QCheckBox;
class QLabel;
class QLineEdit;
class QScrollBar;
class QToolButton;
class TFormEditingPanel;
class TLiveGauges;
class TSequencerPanel;
class TStripViewer;
class TValvePanel;

// Records every message box and answers the file dialogs from queues.
class RecordingPrompts : public UiPrompts
{
  public:
    void critical(QWidget *parent, const QString &title, const QString &text) override;
    QString openFileName(QWidget *parent, const QString &prefill) override;
    QString saveFileName(QWidget *parent, const QString &prefill) override;

    QStringList titles;
    QStringList messages;
    QStringList openAnswers; // "" answers as a cancel
    QStringList saveAnswers;
    QStringList openPrefills;
    QStringList savePrefills;
};

// The child of root with that name and type; a missing one ends the test
// program with the name, rather than a crash somewhere later.
QObject *findNamed(const QObject *root, const QString &name, const QMetaObject &type);
template <typename T> T *findNamed(const QObject *root, const QString &name)
{
    return static_cast<T *>(findNamed(root, name, T::staticMetaObject));
}

class WindowFixture;
// Opens the form file of that name in the sandbox's working folder through
// the Open button, written first with the given content unless that is null.
QString openFormFile(WindowFixture &x, const QString &name, const QByteArray &content = {});
// The caption of the main window with this programme file open: its path as
// the system writes paths.
QString captionWithFile(const QString &path);

// A window in its own sandbox: settings and working directory are fresh
// unless the caller prepared them before constructing the window.
class WindowFixture
{
  public:
    explicit WindowFixture(Sandbox *sandbox = nullptr);
    ~WindowFixture();

    Sandbox &sandbox() { return *m_sandbox; }
    RecordingPrompts prompts;
    TfrmMain &w() { return *m_window; }
    FormStore &store() { return m_window->store(); }

    template <typename T> T *find(const QString &name) const
    {
        return findNamed<T>(m_window.get(), name);
    }
    QScrollBar *bar(const QString &name) const;
    QLabel *label(const QString &name) const;
    QLineEdit *edit(const QString &name) const;
    QToolButton *button(const QString &name) const;
    QCheckBox *check(const QString &name) const;
    // Controls numbered 1..8 (or 1..7 for the strip windows).
    QScrollBar *bar(const char *prefix, int number) const;
    QLabel *label(const char *prefix, int number) const;
    QLineEdit *edit(const char *prefix, int number) const;

    // One tick of the timer of that name, delivered as its time-out is:
    // through the guard, a command of its own.
    void tick(const QString &timer) const;

    TFormEditingPanel *editor() const;
    TSequencerPanel *sequencer() const;
    TLiveGauges *gauges() const;
    TStripViewer *strip() const;
    TValvePanel *valves() const;

  private:
    std::unique_ptr<Sandbox> m_ownSandbox;
    Sandbox *m_sandbox;
    std::unique_ptr<TfrmMain> m_window;
};
