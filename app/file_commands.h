// The four file commands of the toolbar, New, Open, Save and Save As, and the
// start-up load of the last form file. They keep the two file names: the open
// dialog's and the current file (the save dialog's).
#pragma once

#include <QObject>
#include <QString>

class CurrentForm;
class FieldsClearing;
class FormStore;
class FountainSettings;
class QWidget;
class StripRefresh;
class UiPrompts;
class ValveParameters;

class TFileCommands : public QObject
{
    Q_OBJECT

  public:
    // What the commands ask of the panels is a plain call in the command's
    // own order, so that an error stops the whole command: the editor's form
    // number and reload, its fields cleared, the strip's refresh (which sets
    // the travel-time bars) and WriteZadv.
    TFileCommands(FormStore &store, FountainSettings &settings, UiPrompts &prompts,
                  CurrentForm &editor, FieldsClearing &fields, StripRefresh &strip,
                  ValveParameters &valves, QWidget *dialogParent);

    void SpeedButtonNewClick();
    void SpeedButtonLoadClick();
    void SpeedButtonSaveClick();
    void SpeedButtonSaveAsClick();

    // Start-up: the last file's name into the open dialog, and its load when
    // the file exists.
    void ReadNameFileForm();
    void loadLastFormFile();

    [[nodiscard]] const QString &openDialogFileName() const { return m_openName; }
    [[nodiscard]] const QString &currentFile() const { return m_currentFile; }

  signals:
    void captionChanged(const QString &caption);
    void saveEnabledChanged(bool enabled);

  private:
    void SaveNameFileForm();

    FormStore &m_store;
    FountainSettings &m_settings;
    UiPrompts &m_prompts;
    CurrentForm &m_editor;
    FieldsClearing &m_fields;
    StripRefresh &m_strip;
    ValveParameters &m_valves;
    QWidget *m_dialogParent;
    QString m_openName;    // OpenDialogForm's file name, kept between uses
    QString m_currentFile; // SaveDialogForm's file name
};
