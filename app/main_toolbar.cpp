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
}

// A flat 23 x 22 button with a hand cursor, built as every picture button of
// the program is (the bar's own buttons would take no keyboard focus), that
// shows and triggers its command. (Desktop theme icons are not looked up:
// the search through the theme folders cost more than all the rest of the
// start, and the pictures are the same on every desktop and on Windows.)
QToolButton *TMainToolBar::addCommand(const QString &buttonName, QAction *command)
{
    QToolButton *b = makePictureButton(this, buttonName, QString(), nullptr);
    b->setDefaultAction(command);
    b->setFixedSize(23, 22);
    addWidget(b);
    return b;
}

void TMainToolBar::addGap()
{
    auto *gap = new QWidget(this);
    gap->setFixedSize(25, 22);
    addWidget(gap);
}
