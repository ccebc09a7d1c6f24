#include "app/main_toolbar.h"

#include "widgets/controls.h"

#include <QAction>
#include <QToolButton>

TMainToolBar::TMainToolBar(QWidget *parent) : QToolBar(parent)
{
    setObjectName(QStringLiteral("ToolBar1"));
    setMovable(false);
    setFloatable(false);
    setFixedHeight(kHeight);
    setContextMenuPolicy(Qt::PreventContextMenu);
    setIconSize(QSize(16, 16));

    QToolButton *newFile = addButton("SpeedButtonNew", QStringLiteral("Cоздать новый файл форм "),
                                     "new", &TMainToolBar::newClicked);
    QToolButton *open = addButton("SpeedButtonLoad", QStringLiteral("Открыть  файл форм "), "open",
                                  &TMainToolBar::openClicked);
    m_save = addButton("SpeedButtonSave", QStringLiteral("Записать текущий  файл форм "), "save",
                       &TMainToolBar::saveClicked);
    QToolButton *saveAs =
        addButton("SpeedButtonSaveAs", QStringLiteral("Дать новое мия и записать  файл форм "),
                  "save-as", &TMainToolBar::saveAsClicked);
    addGap();
    addButton("SpeedButtonCopyForm", QStringLiteral("Копировать в буфер "), "copy",
              &TMainToolBar::copyClicked);
    m_paste = addButton("SpeedButtonPasteForm", QStringLiteral("Встаить форму из буфера "), "paste",
                        &TMainToolBar::pasteClicked);
    addButton("SpeedButtonCutForm", QStringLiteral("Вырезать форму в буфер "), "cut",
              &TMainToolBar::cutClicked);
    addButton("SpeedButtonInsert", QStringLiteral("Вставить новую форму "), "insert",
              &TMainToolBar::insertClicked);
    addButton("SpeedButtonDeleteForm", QStringLiteral("Удалить форму "), "delete",
              &TMainToolBar::deleteClicked);
    addButton("SpeedButtonClearForm", QStringLiteral("Очистить поле для редактирования "), "clear",
              &TMainToolBar::clearClicked);
    // Has no action on purpose.
    addButton("SpeedButtonUndoForm", QStringLiteral("Вернуть "), "undo", nullptr);
    addGap();
    // The tools window was never built: the button stays disabled for the whole run.
    addButton("SpeedButtonTools", QStringLiteral("Окно инструментов "), "tools", nullptr)
        ->setEnabled(false);
    addButton("SpeedButtonSendBlock",
              QStringLiteral("Отправить данные во внешний формообразователь по СОМ порту 1 "),
              "send", &TMainToolBar::sendClicked);
    addGap();
    addButton("SpeedButtonAbout", QStringLiteral("О программе и версии "), "about",
              &TMainToolBar::aboutClicked);
    addGap();
    addButton("SpeedButtonGl", QStringLiteral("Окно просмотра "), "view", &TMainToolBar::glClicked);

    m_save->setEnabled(false);
    m_paste->setEnabled(false);

    addShortcut(newFile, QKeySequence(Qt::CTRL | Qt::Key_N));
    addShortcut(open, QKeySequence(Qt::CTRL | Qt::Key_O));
    // A programme without a file yet is saved under a new name.
    addShortcut(m_save, QKeySequence(Qt::CTRL | Qt::Key_S), saveAs);
    addShortcut(saveAs, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
}

// A flat 23 x 22 button with the program's own picture, a hand cursor and
// its hint as tooltip. (Desktop theme icons are not looked up: the search
// through the theme folders cost more than all the rest of the start, and
// the pictures are the same on every desktop and on Windows.)
QToolButton *TMainToolBar::addButton(const char *name, const QString &hint, const char *picture,
                                     void (TMainToolBar::*clicked)())
{
    QToolButton *b = makePictureButton(this, QLatin1String(name), hint, picture);
    b->setFixedSize(23, 22);
    addWidget(b);
    if (clicked)
        connect(b, &QToolButton::clicked, this, clicked);
    return b;
}

void TMainToolBar::addGap()
{
    auto *gap = new QWidget(this);
    gap->setFixedSize(25, 22);
    addWidget(gap);
}

void TMainToolBar::addShortcut(QToolButton *button, const QKeySequence &keys, QToolButton *instead)
{
    auto *action = new QAction(this);
    action->setObjectName(button->objectName() + QStringLiteral("Shortcut"));
    action->setShortcut(keys);
    // Anywhere in the main window, not only on the toolbar.
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    connect(action, &QAction::triggered, button,
            [button, instead] { (instead && !button->isEnabled() ? instead : button)->click(); });
    button->setToolTip(button->toolTip() + QStringLiteral(" (") +
                       keys.toString(QKeySequence::NativeText) + u')');
}

void TMainToolBar::setSaveEnabled(bool enabled)
{
    m_save->setEnabled(enabled);
}

void TMainToolBar::setPasteEnabled(bool enabled)
{
    m_paste->setEnabled(enabled);
}
