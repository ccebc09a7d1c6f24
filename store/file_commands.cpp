// The four file commands of the toolbar (New, Open, Save, Save As) with their
// shortcuts, the start-up load of the last form file, and the operations that
// read and write the settings file.
#include "app/guard.h"
#include "app/main_window.h"
#include "app/ui_prompts.h"
#include "store/form_file.h"
#include "store/form_store.h"
#include "store/profile.h"

#include <QAction>
#include <QFileInfo>
#include <QLineEdit>
#include <QScrollBar>
#include <QToolButton>

#include <algorithm>

namespace {

const QString kCaptionWithFile = QStringLiteral("Редатор форм фонтанов  ");
const QString kCaptionNoName = QStringLiteral("Редатор форм фонтанов: Нет Имени файла  ");

const QString kSectionValves = QStringLiteral("Zadvizki");
const QString kSectionOptions = QStringLiteral("Options");
const QString kKeyLastFile = QStringLiteral("NameFileForm");
const QString kDefaultLastFile = QStringLiteral("UserForm.frm");
constexpr int kValveNameMaxLength = 8;

QString valveKey(int valve)
{
    return QStringLiteral("Name_%1").arg(valve);
}

QString valveDefault(int valve)
{
    return QStringLiteral("NoName%1").arg(valve);
}

ProfileFile settings()
{
    return ProfileFile(ProfileFile::defaultPath());
}

// A name from the settings file is shown whole even when it is longer than a
// name may be typed; the box's limit follows it down as characters are deleted.
void showValveName(QLineEdit *edit, const QString &name)
{
    edit->setMaxLength(std::max(kValveNameMaxLength, int(name.size())));
    edit->setText(name);
    // The beginning of a name wider than its box, not its end.
    edit->setCursorPosition(0);
}

} // namespace

void TfrmMain::buildFileCommands()
{
    struct Command
    {
        QToolButton *button;
        QKeySequence keys;
        void (TfrmMain::*handler)();
    };
    const Command commands[] = {
        {SpeedButtonNew, QKeySequence(Qt::CTRL | Qt::Key_N), &TfrmMain::SpeedButtonNewClick},
        {SpeedButtonLoad, QKeySequence(Qt::CTRL | Qt::Key_O), &TfrmMain::SpeedButtonLoadClick},
        {SpeedButtonSave, QKeySequence(Qt::CTRL | Qt::Key_S), &TfrmMain::SpeedButtonSaveClick},
        {SpeedButtonSaveAs, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
         &TfrmMain::SpeedButtonSaveAsClick},
    };
    for (const Command &c : commands) {
        guardedConnect(c.button, &QToolButton::clicked, this,
                       [this, handler = c.handler] { (this->*handler)(); });
        // The shortcut presses the button, so a disabled Save stays inert.
        auto *action = new QAction(this);
        action->setObjectName(c.button->objectName() + QStringLiteral("Shortcut"));
        action->setShortcut(c.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        QToolButton *button = c.button;
        guardedConnect(action, &QAction::triggered, this, [button] { button->click(); });
        c.button->setToolTip(c.button->toolTip() + QStringLiteral(" (") +
                             c.keys.toString(QKeySequence::NativeText) + u')');
    }
}

void TfrmMain::SpeedButtonNewClick()
{
    setWindowTitle(kCaptionNoName);
    SpeedButtonSave->setEnabled(false);
    FormStore::instance().ClearStore();
    SpeedButtonClearFormClick();
    ScrollBarNomberForm->setValue(0);
    ScrollBarFormVewerChange();
}

void TfrmMain::SpeedButtonLoadClick()
{
    const QString name = uiPrompts().openFileName(this, openDialogFileName);
    if (name.isEmpty())
        return;
    openDialogFileName = name;
    // Read whole before anything changes: a file that fails to load leaves the
    // store, the caption and the current file as they were.
    const QByteArray image = formfile::read(name);
    FormStore::instance().replaceImage(image);
    saveDialogFileName = name;
    setWindowTitle(kCaptionWithFile + name);
    ScrollBarNomberForm->setValue(0);
    ScrollBarFormVewerChange();
    // Shows slot 0 even when the bar already stood there.
    ScrollBarNomberFormChange();
    SpeedButtonSave->setEnabled(true);
}

void TfrmMain::SpeedButtonSaveClick()
{
    if (!QFileInfo::exists(saveDialogFileName)) {
        uiPrompts().critical(this, QStringLiteral("Error"), QStringLiteral("Файл не существует !"));
        return;
    }
    WriteZadv();
    formfile::write(saveDialogFileName, FormStore::instance().image());
    SaveNameFileForm();
}

void TfrmMain::SpeedButtonSaveAsClick()
{
    const QString name = uiPrompts().saveFileName(this, saveDialogFileName);
    if (name.isEmpty())
        return;
    saveDialogFileName = name;
    WriteZadv();
    setWindowTitle(kCaptionWithFile + name);
    formfile::write(name, FormStore::instance().image());
    SaveNameFileForm();
    SpeedButtonSave->setEnabled(true);
}

void TfrmMain::loadLastFormFile()
{
    const QString name = openDialogFileName;
    // A directory of that name counts as present, so its failure is reported.
    if (name.isEmpty() || !QFileInfo::exists(name))
        return;
    FormStore::instance().replaceImage(formfile::read(name));
    saveDialogFileName = name;
    setWindowTitle(kCaptionWithFile + name);
    SpeedButtonSave->setEnabled(true);
}

void TfrmMain::ReadIniNameZadvigki()
{
    const ProfileFile ini = settings();
    for (int v = 1; v <= kValves; ++v)
        showValveName(EditNameZadv[v - 1],
                      ini.readString(kSectionValves, valveKey(v), valveDefault(v)));
    for (int v = 1; v <= kValves; ++v)
        showValveName(EditNameUrzadv[v - 1],
                      ini.readString(kSectionValves, valveKey(v), valveDefault(v)));
}

void TfrmMain::SaveIniNameZadvigki()
{
    ProfileFile ini = settings();
    for (int v = 1; v <= kValves; ++v)
        ini.writeString(kSectionValves, valveKey(v), EditNameZadv[v - 1]->text());
}

void TfrmMain::ReadNameFileForm()
{
    openDialogFileName = settings().readString(kSectionOptions, kKeyLastFile, kDefaultLastFile);
}

void TfrmMain::SaveNameFileForm()
{
    settings().writeString(kSectionOptions, kKeyLastFile, saveDialogFileName);
}
