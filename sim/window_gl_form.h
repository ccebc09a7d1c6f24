// TWindowGLForm: the always-on-top fountain simulation window. A timer draws
// one frame of the animated picture every 100 ms; three scroll bars shape the
// wave. Closing it only hides it.
#pragma once

#include "core/fountain_geometry.h"

#include <QWidget>

class HandlerGuard;
class QGroupBox;
class QScrollBar;
class QTimer;
class TFountainPicture;

class TWindowGLForm : public QWidget
{
    Q_OBJECT

  public:
    static constexpr QPoint kFirstPosition{255, 135};
    static constexpr int kFirstWidth = 499;

    explicit TWindowGLForm(const HandlerGuard &guard, QWidget *parent = nullptr);
    ~TWindowGLForm() override;

    // The surface the picture is drawn on: the GL widget, or a plain widget
    // showing the background where OpenGL cannot be used. Made when the window
    // is first shown or first asked for it.
    QWidget *picture();
    TFountainPicture *glPicture();
    void setVisible(bool visible) override;
    [[nodiscard]] int riseCounter() const { return m_animation.rise(); }
    // Where the spray flicker comes from; tests fix it.
    void setRandomSource(fountain::RandomSource random);

  protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

  private:
    // ---- handlers ----
    void FormResize();
    void TimerRefreshTimer();
    void FiguraToGL();

    [[nodiscard]] QMargins windowFrame() const;
    void adoptFrame();
    void ensurePicture();

    QGroupBox *GroupBox1 = nullptr;
    QScrollBar *ScrollBar1 = nullptr; // amplitude divisor
    QScrollBar *ScrollBar2 = nullptr; // phase step, degrees per jet
    QScrollBar *ScrollBar3 = nullptr; // phase offset, degrees
    QTimer *TimerRefresh = nullptr;

    fountain::Animation m_animation;
    QWidget *m_picture = nullptr;
    TFountainPicture *m_glPicture = nullptr;
    QMargins m_frame; // the window system's frame as last seen
    QTimer *m_squareAgain = nullptr;
};
