// New, Open, Save, Save As and the start-up load of the last form file.
#include "app/file_commands.h"

#include "core/errors.h"
#include "core/form_file.h"
#include "core/form_store.h"
#include "core/panel_roles.h"
#include "core/settings.h"
#include "widgets/ui_prompts.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <optional>

namespace {

const QString kCaptionWithFile = QStringLiteral("Редатор форм фонтанов  ");
const QString kCaptionNoName = QStringLiteral("Редатор форм фонтанов: Нет Имени файла  ");

// The caption names the file as the system writes paths. A path too long for
// a title bar loses the end of its folders, never the file's own name.
QString captionWithFile(const QString &fileName)
{
    constexpr qsizetype kMaxPath = 120;
    QString path = QDir::toNativeSeparators(fileName);
    if (path.size() > kMaxPath) {
        const QString name = path.mid(path.lastIndexOf(QDir::separator()));
        path = path.left(std::max<qsizetype>(0, kMaxPath - name.size() - 1)) + u'\u2026' + name;
    }
    return kCaptionWithFile + path;
}

// A settings file that cannot be written must not cost the operator the
// programme: its failure is held while the form file is written and reported
// once, when the command is done.
class SettingsWrites
{
  public:
    void run(const std::function<void()> &write)
    {
        try {
            write();
        } catch (const ESettingsWriteError &e) {
            if (!m_failure)
                m_failure = e;
        }
    }
    void reportFailure() const
    {
        if (m_failure)
            throw *m_failure;
    }

  private:
    std::optional<ESettingsWriteError> m_failure;
};

} // namespace

TFileCommands::TFileCommands(FormStore &store, FountainSettings &settings, UiPrompts &prompts,
                             CurrentForm &editor, FieldsClearing &fields, StripRefresh &strip,
                             ValveParameters &valves, QWidget *dialogParent)
    : QObject(dialogParent), m_store(store), m_settings(settings), m_prompts(prompts),
      m_editor(editor), m_fields(fields), m_strip(strip), m_valves(valves),
      m_dialogParent(dialogParent)
{
}

void TFileCommands::SpeedButtonNewClick()
{
    emit captionChanged(kCaptionNoName);
    emit saveEnabledChanged(false);
    m_store.ClearStore();
    m_fields.clearFields();
    m_editor.setFormNumber(0);
    m_strip.refreshStrip();
}

void TFileCommands::SpeedButtonLoadClick()
{
    const QString name = m_prompts.openFileName(m_dialogParent, m_openName);
    if (name.isEmpty())
        return;
    m_openName = name;
    // Read whole before anything changes: a file that fails to load leaves the
    // store, the caption and the current file as they were.
    formfile::load(name, m_store);
    m_currentFile = name;
    emit captionChanged(captionWithFile(name));
    m_editor.setFormNumber(0);
    m_strip.refreshStrip();
    // Shows slot 0 even when the bar already stood there.
    m_editor.reloadForm();
    emit saveEnabledChanged(true);
}

void TFileCommands::SpeedButtonSaveClick()
{
    // A folder that took the file's place is no file either.
    if (const QFileInfo file(m_currentFile); !file.exists() || file.isDir()) {
        m_prompts.critical(m_dialogParent, QStringLiteral("Error"),
                           QStringLiteral("Файл не существует !"));
        return;
    }
    SettingsWrites settings;
    settings.run([this] { m_valves.WriteZadv(); });
    formfile::write(m_currentFile, m_store.image());
    settings.run([this] { SaveNameFileForm(); });
    settings.reportFailure();
}

void TFileCommands::SpeedButtonSaveAsClick()
{
    const QString name = m_prompts.saveFileName(m_dialogParent, m_currentFile);
    if (name.isEmpty())
        return;
    SettingsWrites settings;
    settings.run([this] { m_valves.WriteZadv(); });
    // Only a file that was written becomes the current file: a failed Save
    // As leaves Save pointing at the programme's real file.
    formfile::write(name, m_store.image());
    m_currentFile = name;
    emit captionChanged(captionWithFile(name));
    settings.run([this] { SaveNameFileForm(); });
    emit saveEnabledChanged(true);
    settings.reportFailure();
}

void TFileCommands::ReadNameFileForm()
{
    m_openName = m_settings.lastFormFile();
}

void TFileCommands::loadLastFormFile()
{
    const QString name = m_openName;
    // A looping link of that name counts as present, so its failure is
    // reported; a folder counts as no file.
    if (name.isEmpty() || !formfile::isThere(name))
        return;
    formfile::load(name, m_store);
    m_currentFile = name;
    emit captionChanged(captionWithFile(name));
    emit saveEnabledChanged(true);
}

void TFileCommands::SaveNameFileForm()
{
    // As the system writes paths (C:\shows\a.frm on Windows).
    m_settings.saveLastFormFile(QDir::toNativeSeparators(m_currentFile));
}
