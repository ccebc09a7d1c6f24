#include "widgets/controls.h"

#include "widgets/icons.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QToolButton>

void TScrollBar::keyPressEvent(QKeyEvent *event)
{
    // The mouse wheel keeps Qt's direction; only the two arrows are turned.
    if (orientation() == Qt::Horizontal && event->modifiers() == Qt::NoModifier) {
        const bool ltr = !isRightToLeft();
        if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) {
            const bool towardsMax = (event->key() == Qt::Key_Right) == ltr;
            triggerAction(towardsMax ? SliderSingleStepAdd : SliderSingleStepSub);
            event->accept();
            return;
        }
    }
    QScrollBar::keyPressEvent(event);
}

void TScrollBar::paintEvent(QPaintEvent *event)
{
    QScrollBar::paintEvent(event);
    if (!hasFocus())
        return;
    // The styles draw no focus on scroll bars: a frame in the selection colour.
    QPainter p(this);
    p.setPen(QPen(palette().color(QPalette::Highlight), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, const QRect &geometry)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    return label;
}

QScrollBar *makeScrollBar(QWidget *parent, const QString &name, Qt::Orientation orientation,
                          const QRect &geometry, const BarRange &range, const QString &hint)
{
    auto *bar = new TScrollBar(orientation, parent);
    bar->setObjectName(name);
    bar->setGeometry(geometry);
    bar->setRange(range.min, range.max);
    bar->setSingleStep(range.singleStep);
    bar->setPageStep(range.pageStep);
    bar->setToolTip(hint);
    bar->setCursor(Qt::PointingHandCursor);
    return bar;
}

QToolButton *makePictureButton(QWidget *parent, const QString &name, const QString &hint,
                               const char *picture)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(name);
    b->setToolTip(hint);
    if (picture)
        b->setIcon(programIcon(picture));
    b->setIconSize(QSize(16, 16));
    b->setCursor(Qt::PointingHandCursor);
    b->setAutoRaise(true);
    return b;
}
