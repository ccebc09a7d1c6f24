// The four file commands of the toolbar, New, Open, Save and Save As, and the
// start-up load of the last form file. They keep the two file names: the open
// dialog's and the current file (the save dialog's).
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class CurrentForm;
class FormStore;
class FountainSettings;
class QWidget;
class UiPrompts;

class TFileCommands : public QObject
{
    Q_OBJECT

  public:
    // What the commands do to the rest of the window, each a plain call in
    // the command's own order, so that an error stops the whole command.
    struct Views
    {
        std::function<void()> clearPanel;   // the editor's fields cleared
        std::function<void()> refreshStrip; // the strip and the travel-time bars
        std::function<void()> writeZadv;    // valve names and travel times stored
    };

    TFileCommands(FormStore &store, FountainSettings &settings, UiPrompts &prompts,
                  CurrentForm &editor, Views views, QWidget *dialogParent);

    void SpeedButtonNewClick();
    void SpeedButtonLoadClick();
    void SpeedButtonSaveClick();
    void SpeedButtonSaveAsClick();

    // Start-up: the last file's name into the open dialog, and its load when
    // the file exists.
    void ReadNameFileForm();
    void loadLastFormFile();
    void SaveNameFileForm();

    const QString &openDialogFileName() const { return m_openName; }
    const QString &currentFile() const { return m_currentFile; }

  signals:
    void captionChanged(const QString &caption);
    void saveEnabledChanged(bool enabled);

  private:
    FormStore &m_store;
    FountainSettings &m_settings;
    UiPrompts &m_prompts;
    CurrentForm &m_editor;
    Views m_views;
    QWidget *m_dialogParent;
    QString m_openName;    // OpenDialogForm's file name, kept between uses
    QString m_currentFile; // SaveDialogForm's file name
};
