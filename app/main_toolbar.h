// ToolBar1: the main window's row of picture buttons. It shows the window's
// commands, each a QAction defined with the window, as flat buttons named
// after the controls they always were; what a command does is not its
// business.
#pragma once

#include <QToolBar>

class QAction;
class QToolButton;

class TMainToolBar : public QToolBar
{
    Q_OBJECT

  public:
    static constexpr int kHeight = 29;

    explicit TMainToolBar(QWidget *parent = nullptr);

    // The bar's layout sets its minimum height from the buttons and so
    // undoes setFixedHeight; the hints hold the height in every style (the
    // Windows one would make the bar 23 high and move every panel up).
    [[nodiscard]] QSize sizeHint() const override
    {
        return {QToolBar::sizeHint().width(), kHeight};
    }
    [[nodiscard]] QSize minimumSizeHint() const override
    {
        return {QToolBar::minimumSizeHint().width(), kHeight};
    }

    // The command's button, named buttonName: its picture, hint and enabled
    // state are the command's.
    QToolButton *addCommand(const QString &buttonName, QAction *command);
    // The gap of about 25 pixels between groups of buttons.
    void addGap();
};
