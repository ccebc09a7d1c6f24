// The simulation window's OpenGL surface: the probe for a usable context and
// the drawing of one frame as two line strips.
#include "sim/fountain_picture.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions_1_1>
#include <QOpenGLVersionFunctionsFactory>
#include <QSurfaceFormat>

namespace {

bool probeOpenGL()
{
    // These platforms cannot show a QOpenGLWidget (offscreen crashes in Qt).
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return false;

    QOpenGLContext context;
    context.setFormat(QSurfaceFormat::defaultFormat());
    if (!context.create() || context.isOpenGLES() ||
        context.format().profile() == QSurfaceFormat::CoreProfile)
        return false;
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (!surface.isValid() || !context.makeCurrent(&surface))
        return false;
    auto *gl = QOpenGLVersionFunctionsFactory::get<QOpenGLFunctions_1_1>(&context);
    const bool usable = gl && gl->initializeOpenGLFunctions();
    context.doneCurrent();
    return usable;
}

} // namespace

bool TFountainPicture::openGLUsable()
{
    static const bool usable = probeOpenGL();
    return usable;
}

TFountainPicture::TFountainPicture(QWidget *parent) : QOpenGLWidget(parent)
{
    setObjectName(QStringLiteral("FountainPicture"));
}

void TFountainPicture::showFrame(const fountain::Frame &frame)
{
    m_frame = frame;
    update();
}

void TFountainPicture::initializeGL()
{
    m_gl = QOpenGLVersionFunctionsFactory::get<QOpenGLFunctions_1_1>(context());
    if (m_gl && !m_gl->initializeOpenGLFunctions())
        m_gl = nullptr;
}

void TFountainPicture::paintGL()
{
    if (!m_gl)
        return;
    const qreal ratio = devicePixelRatioF();
    m_gl->glViewport(0, 0, int(width() * ratio), int(height() * ratio));
    m_gl->glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    m_gl->glClear(GL_COLOR_BUFFER_BIT);
    if (!m_frame)
        return;
    // No projection: the vertices are normalized device coordinates.
    m_gl->glColor3f(0.9f, 0.9f, 0.9f);
    m_gl->glLineWidth(1.0f);
    m_gl->glLineStipple(1, 0xFFFF);
    m_gl->glEnable(GL_LINE_STIPPLE);
    m_gl->glEnable(GL_LINE_SMOOTH);
    // A smoothed line may write its coverage as alpha; the picture stays
    // opaque whatever the driver does (Wine's left the jets see-through).
    m_gl->glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    drawStrip(m_frame->first);
    m_gl->glColor3f(1.0f, 1.0f, 1.0f);
    drawStrip(m_frame->second);
    m_gl->glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    ++m_framesRendered;
}

void TFountainPicture::drawStrip(const fountain::Strip &strip)
{
    m_gl->glBegin(GL_LINE_STRIP);
    for (const fountain::Vertex &v : strip)
        m_gl->glVertex2f(v.x, v.y);
    m_gl->glEnd();
}
