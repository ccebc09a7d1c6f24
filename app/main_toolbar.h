// ToolBar1: the main window's row of picture buttons for the file commands,
// the list operations, the upload, the About dialog and the fountain window.
// It only reports clicks; the window decides what they do.
#pragma once

#include <QToolBar>

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
    QSize sizeHint() const override { return {QToolBar::sizeHint().width(), kHeight}; }
    QSize minimumSizeHint() const override
    {
        return {QToolBar::minimumSizeHint().width(), kHeight};
    }

    void setSaveEnabled(bool enabled);
    void setPasteEnabled(bool enabled);

  signals:
    void newClicked();
    void openClicked();
    void saveClicked();
    void saveAsClicked();
    void copyClicked();
    void pasteClicked();
    void cutClicked();
    void insertClicked();
    void deleteClicked();
    void clearClicked();
    void sendClicked();
    void aboutClicked();
    void glClicked();

  private:
    QToolButton *addButton(const char *name, const QString &hint, const char *picture,
                           void (TMainToolBar::*clicked)());
    void addGap();
    // The keys press the button, so a disabled button stays inert, or, where
    // `instead` is given, press that one while the button is disabled.
    void addShortcut(QToolButton *button, const QKeySequence &keys, QToolButton *instead = nullptr);

    QToolButton *m_save = nullptr;
    QToolButton *m_paste = nullptr;
};
