// The fountain simulation window: construction, the square frame, the frame
// timer and moving the window by dragging its picture.
#include "sim/window_gl_form.h"

#include "sim/fountain_picture.h"
#include "widgets/controls.h"
#include "widgets/guard.h"
#include "widgets/window_placement.h"

#include <QGroupBox>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace {

constexpr QColor kMoneyGreen{192, 220, 192};

// Pressing on the picture and dragging moves the whole window: the window
// system does it where it can, otherwise the window follows the mouse.
class WindowDragger : public QObject
{
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        QWidget *window = static_cast<QWidget *>(watched)->window();
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() != Qt::LeftButton)
                return false;
            const QWindow *handle = window->windowHandle();
            m_manual = !(handle && window->windowHandle()->startSystemMove());
            m_offset = mouse->globalPosition().toPoint() - window->pos();
            return true;
        }
        case QEvent::MouseMove: {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (!m_manual || !(mouse->buttons() & Qt::LeftButton))
                return false;
            window->move(mouse->globalPosition().toPoint() - m_offset);
            return true;
        }
        case QEvent::MouseButtonRelease:
            m_manual = false;
            return false;
        default:
            return false;
        }
    }

  private:
    bool m_manual = false;
    QPoint m_offset;
};

QScrollBar *makeBar(QWidget *parent, const char *name, int top, int min, int max, int position)
{
    auto *bar = new TScrollBar(Qt::Horizontal, parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setGeometry(8, top, 121, 17);
    bar->setRange(min, max);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    bar->setValue(position);
    return bar;
}

} // namespace

TWindowGLForm::TWindowGLForm(const HandlerGuard &guard, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TWindowGLForm"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setWindowTitle(QStringLiteral("Иммитация фонтана "));
    setAttribute(Qt::WA_QuitOnClose, false);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kMoneyGreen);
    setPalette(pal);
    setAutoFillBackground(true);

    GroupBox1 = new QGroupBox(QStringLiteral("GroupBox1"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 312, 145, 105);
    GroupBox1->setAutoFillBackground(true);
    ScrollBar1 = makeBar(GroupBox1, "ScrollBar1", 24, 1, 10, 5);
    ScrollBar2 = makeBar(GroupBox1, "ScrollBar2", 48, 1, 10, 3);
    ScrollBar3 = makeBar(GroupBox1, "ScrollBar3", 72, 0, 360, 0);

    // FormCreate: the height follows the width from the start.
    move(kFirstPosition);
    resize(kFirstWidth, kFirstWidth);

    TimerRefresh = new QTimer(this);
    TimerRefresh->setObjectName(QStringLiteral("TimerRefresh"));
    TimerRefresh->setInterval(100);
    guard.connect(TimerRefresh, &QTimer::timeout, this, [this] { TimerRefreshTimer(); });
    TimerRefresh->start();

    m_squareAgain = new QTimer(this);
    m_squareAgain->setSingleShot(true);
    m_squareAgain->setInterval(250);
    guard.connect(m_squareAgain, &QTimer::timeout, this, [this] {
        if (!isVisible() || !windowHandle())
            return;
        adoptFrame();
        // The window system's idea of the size may differ from ours: ask anew.
        windowHandle()->resize(size());
    });
}

TWindowGLForm::~TWindowGLForm() = default;

void TWindowGLForm::ensurePicture()
{
    if (m_picture)
        return;
    // Probing OpenGL creates a context, which costs more than all the rest of
    // the program's start: it waits until the picture is first wanted, and
    // happens before the window is first shown, so the window is made for GL
    // from the start.
    if (TFountainPicture::openGLUsable()) {
        m_glPicture = new TFountainPicture(this);
        m_picture = m_glPicture;
    } else {
        m_picture = new QWidget(this);
        m_picture->setObjectName(QStringLiteral("FountainPicture"));
    }
    m_picture->installEventFilter(new WindowDragger(m_picture));
    m_picture->setGeometry(rect());
    // The picture covers the client area; the group box lies on top of it.
    m_picture->lower();
    m_picture->show();
}

QWidget *TWindowGLForm::picture()
{
    ensurePicture();
    return m_picture;
}

TFountainPicture *TWindowGLForm::glPicture()
{
    ensurePicture();
    return m_glPicture;
}

void TWindowGLForm::setVisible(bool visible)
{
    if (visible)
        ensurePicture();
    QWidget::setVisible(visible);
}

void TWindowGLForm::setRandomSource(fountain::RandomSource random)
{
    m_animation.setRandomSource(std::move(random));
}

void TWindowGLForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_picture)
        m_picture->setGeometry(rect());
    FormResize();
    // Some window managers drop a window's own resize while the user drags
    // its border; once the dragging has stopped, the square size is asked for
    // again.
    if (isVisible())
        m_squareAgain->start();
}

void TWindowGLForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    adoptFrame();
    keepOnScreen(this, false, true);
    m_squareAgain->start();
}

void TWindowGLForm::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    // A window manager reports its frame by moving the window into it.
    adoptFrame();
    if (isVisible())
        m_squareAgain->start();
}

QMargins TWindowGLForm::windowFrame() const
{
    const QWindow *handle = windowHandle();
    if (!handle)
        return m_frame;
    // While a window manager takes the window over, the frame may be reported
    // as nonsense for a moment; the last sensible one stands until then.
    const QMargins frame = handle->frameMargins();
    for (int side : {frame.left(), frame.top(), frame.right(), frame.bottom()}) {
        if (side < 0 || side > 200)
            return m_frame;
    }
    return frame;
}

void TWindowGLForm::adoptFrame()
{
    // The frame is known only once the window is on screen; the outer width
    // stays what it was, and FormResize then squares the outer frame.
    const QMargins frame = windowFrame();
    if (frame != m_frame) {
        const int outerWidth = width() + m_frame.left() + m_frame.right();
        m_frame = frame;
        resize(std::max(1, outerWidth - frame.left() - frame.right()), height());
    }
    FormResize();
}

void TWindowGLForm::FormResize()
{
    // The outer frame stays square: the client height is the outer width less
    // the frame's top and bottom.
    const QMargins frame = windowFrame();
    const int height =
        std::max(1, width() + frame.left() + frame.right() - frame.top() - frame.bottom());
    if (height != this->height())
        resize(width(), height);
}

void TWindowGLForm::TimerRefreshTimer()
{
    FiguraToGL();
}

void TWindowGLForm::FiguraToGL()
{
    const fountain::Frame frame =
        m_animation.nextFrame(ScrollBar1->value(), ScrollBar2->value(), ScrollBar3->value());
    // A hidden window only keeps the animation going.
    if (m_glPicture && isVisible())
        m_glPicture->showFrame(frame);
}
