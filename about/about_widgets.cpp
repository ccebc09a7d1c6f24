// Building blocks and pictures of the About dialog.
#include "about/about_widgets.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>

namespace aboutui {

void setTextColour(QWidget *w, const QColor &colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    p.setColor(QPalette::Text, colour);
    w->setPalette(p);
}

QColor textColour(const QWidget *w)
{
    return w->palette().color(QPalette::WindowText);
}

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, int x, int y,
                  const QColor &colour)
{
    auto *l = new QLabel(text, parent);
    if (name && *name)
        l->setObjectName(QLatin1String(name));
    if (colour.isValid())
        setTextColour(l, colour);
    l->move(x, y);
    l->adjustSize();
    return l;
}

QFrame *makeRule(QWidget *parent, int x, int y, int width)
{
    auto *f = new QFrame(parent);
    f->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    f->setGeometry(x, y, width, 2);
    // Rows sit close above the rules; their text is drawn over the line.
    f->lower();
    return f;
}

void PaintedWidget::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    m_painter(p, size());
}

// Evening park, a round basin and eight jets of different heights.
void drawFountain(QPainter &p, const QSize &s)
{
    const qreal w = s.width(), h = s.height();
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0.0, QColor(34, 60, 120));
    sky.setColorAt(0.75, QColor(130, 175, 225));
    p.fillRect(QRectF(0, 0, w, h), sky);

    QPainterPath trees;
    trees.moveTo(0, h);
    trees.lineTo(0, h * 0.70);
    for (int i = 0; i <= 12; ++i)
        trees.quadTo(w * (i + 0.5) / 12, h * (0.58 + 0.06 * (i % 3)), w * (i + 1) / 12, h * 0.70);
    trees.lineTo(w, h);
    p.fillPath(trees, QColor(28, 64, 40));

    const QRectF basin(8, h * 0.80, w - 16, h * 0.16);
    p.setPen(QPen(QColor(200, 200, 190), 2));
    p.setBrush(QColor(60, 105, 150));
    p.drawEllipse(basin);

    const qreal base = basin.center().y();
    for (int i = 0; i < 8; ++i) {
        const qreal x = w * (0.18 + 0.64 * i / 7.0);
        const qreal top = h * (0.62 - 0.42 * std::sin(3.14159 * (i + 0.5) / 8.0));
        const qreal spread = 6 + 4 * (i % 2);
        QPainterPath jet;
        jet.moveTo(x, base);
        jet.lineTo(x, top);
        jet.quadTo(x - spread, top - 4, x - spread * 1.6, base - 4);
        jet.moveTo(x, top);
        jet.quadTo(x + spread, top - 4, x + spread * 1.6, base - 4);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(225, 240, 255, 210), 2.0));
        p.drawPath(jet);
    }
}

void drawIcon(QPainter &p, const QSize &s)
{
    const QRectF r(0.5, 0.5, s.width() - 1.0, s.height() - 1.0);
    p.setPen(QPen(kNavy, 1));
    p.setBrush(kTeal);
    p.drawRoundedRect(r, 5, 5);
    p.setPen(QPen(Qt::white, 2));
    const qreal cx = r.center().x(), bottom = r.bottom() - 6;
    p.drawLine(QPointF(cx, bottom), QPointF(cx, r.top() + 6));
    p.drawArc(QRectF(cx - 10, r.top() + 6, 10, 20), 0, 90 * 16);
    p.drawArc(QRectF(cx, r.top() + 6, 10, 20), 90 * 16, 90 * 16);
    p.drawLine(QPointF(r.left() + 5, bottom), QPointF(r.right() - 5, bottom));
}

QIcon checkMarkIcon()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kGreen, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF tick[] = {{3, 8.5}, {6.5, 12}, {13, 4}};
    p.drawPolyline(tick, 3);
    return QIcon(pm);
}

} // namespace aboutui
