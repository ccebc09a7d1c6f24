// TfrmMain: the layout of the panels, how they talk to one another, and the
// start-up sequence that brings the store, the settings and the views into a
// first state.
#include "app/main_window.h"

#include "about/about_form.h"
#include "app/file_commands.h"
#include "app/main_toolbar.h"
#include "app/send_feedback.h"
#include "editor/form_editing_panel.h"
#include "editor/list_operations.h"
#include "editor/valve_panel.h"
#include "link/block_upload.h"
#include "player/live_gauges.h"
#include "player/sequencer_panel.h"
#include "player/strip_viewer.h"
#include "sim/window_gl_form.h"
#include "widgets/icons.h"
#include "widgets/window_placement.h"

#include <QAction>
#include <QScrollArea>

namespace {

constexpr QSize kContentSize{809, 697};
const QString kDesignCaption = QStringLiteral("Редатор форм фонтанов");
// A command's action is named as its button, "Action" in place of this.
const QString kButtonPrefix = QStringLiteral("SpeedButton");

// Positions are given in the client area with the toolbar at 0, 0; the
// panels live in the scrolled area below the toolbar.
void place(QWidget *panel, const QRect &inClientArea)
{
    panel->setGeometry(inClientArea.translated(0, -TMainToolBar::kHeight));
}

} // namespace

TfrmMainResources::TfrmMainResources(UiPrompts &prompts)
    : m_prompts(prompts), m_guard(prompts), m_settings(ProfileFile(QString()))
{
}

TfrmMain::TfrmMain(UiPrompts &prompts) : TfrmMainBase(prompts)
{
    setObjectName(QStringLiteral("TfrmMain"));
    setWindowTitle(kDesignCaption);
    resize(800, 505); // design size; the start-up sequence sets the working size

    m_scrollArea = new QScrollArea(this);
    m_scrollArea->setObjectName(QStringLiteral("ScrollBoxMain"));
    m_scrollArea->setFrameShape(QFrame::NoFrame);
    m_content = new QWidget;
    m_content->setObjectName(QStringLiteral("ClientArea"));
    m_content->setFixedSize(kContentSize.width(), kContentSize.height() - TMainToolBar::kHeight);
    m_scrollArea->setWidget(m_content);
    setCentralWidget(m_scrollArea);

    m_toolBar = new TMainToolBar(this);
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    // The buttons come before the panels in the keyboard's focus chain.
    buildCommands();
    buildPanels();
    wirePanels();

    // An error here is shown, and the window still opens.
    m_guard.run([this] { FormCreate(); });
}

void TfrmMain::buildPanels()
{
    m_strip = new TStripViewer(m_store, m_guard, m_content);
    place(m_strip, TStripViewer::kArea);
    m_editor = new TFormEditingPanel(m_store, m_guard, m_content);
    place(m_editor, QRect(328, 32, 481, 201));
    m_gauges = new TLiveGauges(m_guard, m_content);
    place(m_gauges, QRect(328, 240, 481, 177));
    m_sequencer = new TSequencerPanel(*m_editor, m_guard, m_content);
    place(m_sequencer, QRect(328, 424, 185, 137));
    m_valves = new TValvePanel(m_store, m_settings, m_guard, m_content);
    place(m_valves, QRect(528, 424, 281, 273));

    m_lists = new TListOperations(m_store, *m_editor, this);
    m_lists->setObjectName(QStringLiteral("ListOperations"));
    m_files = new TFileCommands(m_store, m_settings, m_prompts, *m_editor, *m_lists, *m_strip,
                                *m_valves, this);
    m_files->setObjectName(QStringLiteral("FileCommands"));
    m_upload = new TBlockUpload(
        m_store, [this] { return ComPort::readSettings(m_settings.profile()); }, this);
    m_upload->setObjectName(QStringLiteral("BlockUpload"));
}

// Who tells whom. Every connection here is a plain synchronous call at the
// point the sender's handler reaches it.
void TfrmMain::wirePanels()
{
    // The store changed: the strip shows it, and hands the stored travel
    // times to the valve panel.
    connect(m_editor, &TFormEditingPanel::storeChanged, m_strip, &TStripViewer::refreshStrip);
    connect(m_lists, &TListOperations::storeChanged, m_strip, &TStripViewer::refreshStrip);
    connect(m_strip, &TStripViewer::travelTimesRead, m_valves, &TValvePanel::showTravelTimes);

    // The gauges follow the form the editor loads, and the sequencer's pace.
    connect(m_editor, &TFormEditingPanel::formLoaded, m_gauges, &TLiveGauges::setTargets);
    connect(m_sequencer, &TSequencerPanel::followEditor, m_gauges,
            [this] { m_gauges->setTargets(m_editor->jetLevels()); });
    connect(m_sequencer, &TSequencerPanel::paceGauges, m_gauges,
            [this] { m_gauges->setTravelTimes(m_valves->travelTimes()); });
    connect(m_sequencer, &TSequencerPanel::playingChanged, m_editor,
            [this](bool playing) { m_editor->setWriteEnabled(!playing); });

    // The file commands set the caption and the Save command; the first copy
    // or cut enables Paste for good.
    connect(m_files, &TFileCommands::captionChanged, this, &QWidget::setWindowTitle);
    connect(m_files, &TFileCommands::saveEnabledChanged, command("ActionSave"),
            &QAction::setEnabled);
    QAction *paste = command("ActionPasteForm");
    connect(m_lists, &TListOperations::bufferFilled, paste, [paste] { paste->setEnabled(true); });

    // The send button shows how far an upload has got and when the last one
    // left; it is back to rest before a failure's message is shown.
    new TSendFeedback(command("ActionSendBlock"), m_upload->port(), this);
    // A send that fails on the line after it was accepted.
    connect(&m_upload->port(), &ComPort::failed, this,
            [this](const QString &message) { m_guard.show(message); });
}

// The commands, one row each: the toolbar button that shows it, its hint,
// picture and keys, whether it is enabled at start, and what it runs, through
// the guard. A command is added here and nowhere else; a row without a
// button is a gap on the toolbar.
const TfrmMain::Command TfrmMain::kCommands[] = {
    {.button = "SpeedButtonNew",
     .hint = "Cоздать новый файл форм ",
     .picture = "new",
     .run = [](TfrmMain &w) { w.m_files->SpeedButtonNewClick(); },
     .keys = Qt::CTRL | Qt::Key_N},
    {.button = "SpeedButtonLoad",
     .hint = "Открыть  файл форм ",
     .picture = "open",
     .run = [](TfrmMain &w) { w.m_files->SpeedButtonLoadClick(); },
     .keys = Qt::CTRL | Qt::Key_O},
    {.button = "SpeedButtonSave",
     .hint = "Записать текущий  файл форм ",
     .picture = "save",
     .run = [](TfrmMain &w) { w.m_files->SpeedButtonSaveClick(); },
     .enabled = false, // until there is a file to save to
     .keys = Qt::CTRL | Qt::Key_S},
    {.button = "SpeedButtonSaveAs",
     .hint = "Дать новое мия и записать  файл форм ",
     .picture = "save-as",
     .run = [](TfrmMain &w) { w.m_files->SpeedButtonSaveAsClick(); },
     .keys = Qt::CTRL | Qt::SHIFT | Qt::Key_S},
    {}, // a gap
    {.button = "SpeedButtonCopyForm",
     .hint = "Копировать в буфер ",
     .picture = "copy",
     .run = [](TfrmMain &w) { w.m_lists->SpeedButtonCopyFormClick(); }},
    {.button = "SpeedButtonPasteForm",
     .hint = "Встаить форму из буфера ",
     .picture = "paste",
     .run = [](TfrmMain &w) { w.m_lists->SpeedButtonPasteFormClick(); },
     .enabled = false}, // until the first copy or cut
    {.button = "SpeedButtonCutForm",
     .hint = "Вырезать форму в буфер ",
     .picture = "cut",
     .run = [](TfrmMain &w) { w.m_lists->SpeedButtonCutFormClick(); }},
    {.button = "SpeedButtonInsert",
     .hint = "Вставить новую форму ",
     .picture = "insert",
     .run = [](TfrmMain &w) { w.m_lists->SpeedButtonInsertClick(); }},
    {.button = "SpeedButtonDeleteForm",
     .hint = "Удалить форму ",
     .picture = "delete",
     .run = [](TfrmMain &w) { w.m_lists->SpeedButtonDeleteFormClick(); }},
    {.button = "SpeedButtonClearForm",
     .hint = "Очистить поле для редактирования ",
     .picture = "clear",
     .run = [](TfrmMain &w) { w.m_lists->SpeedButtonClearFormClick(); }},
    // Does nothing, on purpose.
    {.button = "SpeedButtonUndoForm", .hint = "Вернуть ", .picture = "undo"},
    {}, // a gap
    // The tools window was never built: disabled for the whole run.
    {.button = "SpeedButtonTools",
     .hint = "Окно инструментов ",
     .picture = "tools",
     .enabled = false},
    {.button = "SpeedButtonSendBlock",
     .hint = "Отправить данные во внешний формообразователь по СОМ порту 1 ",
     .picture = "send",
     .run = [](TfrmMain &w) { w.SpeedButtonSendBlockClick(); }},
    {}, // a gap
    {.button = "SpeedButtonAbout",
     .hint = "О программе и версии ",
     .picture = "about",
     .run = [](TfrmMain &w) { w.SpeedButtonAboutClick(); }},
    {}, // a gap
    {.button = "SpeedButtonGl",
     .hint = "Окно просмотра ",
     .picture = "view",
     .run = [](TfrmMain &w) { w.SpeedButtonGlClick(); }},
};

void TfrmMain::buildCommands()
{
    for (const Command &c : kCommands) {
        if (!c.button) {
            m_toolBar->addGap();
            continue;
        }
        const QString button = QLatin1String(c.button);
        auto *action = new QAction(this);
        action->setObjectName(QStringLiteral("Action") + button.mid(kButtonPrefix.size()));
        action->setIcon(programIcon(c.picture));
        QString hint = QString::fromUtf8(c.hint);
        if (!c.keys.isEmpty()) {
            action->setShortcut(c.keys);
            // Anywhere in the main window, not only on the toolbar.
            action->setShortcutContext(Qt::WindowShortcut);
            hint += QStringLiteral(" (") + c.keys.toString(QKeySequence::NativeText) + u')';
        }
        action->setToolTip(hint);
        action->setEnabled(c.enabled);
        if (c.run)
            m_guard.connect(action, &QAction::triggered, this, [this, run = c.run] { run(*this); });
        m_toolBar->addCommand(button, action);
    }

    // A programme without a file yet is saved under a new name: while Save
    // is disabled its keys ask for one, as Save As does.
    QAction *save = command("ActionSave");
    QAction *saveAs = command("ActionSaveAs");
    const auto saveKeys = [save, saveAs, own = saveAs->shortcut()](bool saveEnabled) {
        saveAs->setShortcuts(saveEnabled ? QList{own} : QList{own, save->shortcut()});
    };
    connect(save, &QAction::enabledChanged, saveAs, saveKeys);
    saveKeys(save->isEnabled());
}

QAction *TfrmMain::command(const char *name) const
{
    return findChild<QAction *>(QLatin1String(name), Qt::FindDirectChildrenOnly);
}

void TfrmMain::setSecondaryWindows(TAboutForm *about, TWindowGLForm *gl)
{
    m_aboutForm = about;
    m_glForm = gl;
}

void TfrmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    // Centred on the screen when it is first shown, and never off it: on a
    // small screen the window takes the whole area and scrolls.
    keepOnScreen(this, true);
}

void TfrmMain::FormCreate()
{
    m_settings = FountainSettings::atDefaultLocation(); // "Fonvira.ini"
    ReadIniNameZadvigki();
    resize(823, 741);
    m_store.ClearStore();
    m_editor->SpeedButton2KoncevikClick();
    m_files->ReadNameFileForm();
    // A last file that cannot be read is reported, and the start-up goes on as
    // if there were none: the store is still clear and the views must show it.
    if (!m_guard.run([this] { m_files->loadLastFormFile(); }))
        m_store.ClearStore();
    m_lists->SpeedButtonClearFormClick();
    m_editor->setFormNumber(0);
    m_strip->refreshStrip();
    m_gauges->setTargets(m_editor->jetLevels());
}

void TfrmMain::ReadIniNameZadvigki()
{
    m_valves->showValveNames(m_settings.valveNames());
    m_gauges->showValveNames(m_settings.valveNames());
}

void TfrmMain::SpeedButtonAboutClick()
{
    if (m_aboutForm)
        m_aboutForm->exec();
}

void TfrmMain::SpeedButtonGlClick()
{
    if (m_glForm) {
        m_glForm->show();
        m_glForm->raise();
    }
}

void TfrmMain::SpeedButtonSendBlockClick()
{
    m_upload->SpeedButtonSendBlockClick();
}
