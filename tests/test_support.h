// Helpers shared by the test programs: recorded message boxes and file dialogs,
// and a private settings folder and working directory per test.
#pragma once

#include "app/ui_prompts.h"

#include <QByteArray>
#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

// Records every message box and answers the file dialogs from queues.
class RecordingPrompts : public UiPrompts
{
  public:
    RecordingPrompts() { setUiPrompts(this); }
    ~RecordingPrompts() override { setUiPrompts(nullptr); }

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

// Points the settings folder (XDG_CONFIG_HOME) and the current directory at
// fresh temporary folders for as long as it lives.
class Sandbox
{
  public:
    Sandbox();
    ~Sandbox();
    Sandbox(const Sandbox &) = delete;
    Sandbox &operator=(const Sandbox &) = delete;

    QString configDir() const { return m_config.path(); }
    QString workDir() const { return m_work.path(); }
    QString settingsPath() const { return m_config.path() + QStringLiteral("/Fonvira.ini"); }
    QString workPath(const QString &name) const { return m_work.path() + u'/' + name; }

  private:
    QTemporaryDir m_config;
    QTemporaryDir m_work;
    QByteArray m_oldConfig;
    QString m_oldCwd;
};

void writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);
