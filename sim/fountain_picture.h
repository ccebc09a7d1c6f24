// TFountainPicture: the OpenGL surface of the simulation window. It draws the
// frame it was last handed, in fixed-function immediate mode, and nothing else.
#pragma once

#include "core/fountain_geometry.h"

#include <QOpenGLWidget>

#include <optional>

class QOpenGLFunctions_1_1;

class TFountainPicture : public QOpenGLWidget
{
    Q_OBJECT

  public:
    explicit TFountainPicture(QWidget *parent = nullptr);

    // Whether this process can draw the picture: a context with the default
    // format that offers the fixed-function functions. Probed once per run.
    static bool openGLUsable();

    // Takes a new frame and schedules its drawing.
    void showFrame(const fountain::Frame &frame);
    [[nodiscard]] const std::optional<fountain::Frame> &frame() const { return m_frame; }
    // How many times a frame has been rendered, for checking that a hidden
    // window does no GL work.
    [[nodiscard]] int framesRendered() const { return m_framesRendered; }

  protected:
    void initializeGL() override;
    void paintGL() override;

  private:
    void drawStrip(const fountain::Strip &strip);

    QOpenGLFunctions_1_1 *m_gl = nullptr;
    std::optional<fountain::Frame> m_frame;
    int m_framesRendered = 0;
};
