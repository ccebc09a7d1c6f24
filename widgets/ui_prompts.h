// Message boxes and file dialogs go through this one interface, handed to
// whoever shows them, so tests can answer them without a modal event loop.
// QtPrompts shows the real Qt ones.
#pragma once

#include <QString>

class QWidget;

class UiPrompts
{
  public:
    virtual ~UiPrompts() = default;
    // An error message box with one OK button.
    virtual void critical(QWidget *parent, const QString &title, const QString &text) = 0;
    // The open dialog (accepts a typed name that does not exist); "" when cancelled.
    virtual QString openFileName(QWidget *parent, const QString &prefill) = 0;
    // The save dialog (replaces a file without asking); "" when cancelled.
    virtual QString saveFileName(QWidget *parent, const QString &prefill) = 0;
};

class QtPrompts final : public UiPrompts
{
  public:
    void critical(QWidget *parent, const QString &title, const QString &text) override;
    QString openFileName(QWidget *parent, const QString &prefill) override;
    QString saveFileName(QWidget *parent, const QString &prefill) override;
};
