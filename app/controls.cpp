#include "app/controls.h"

#include <QLabel>
#include <QScrollBar>

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
    auto *bar = new QScrollBar(orientation, parent);
    bar->setObjectName(name);
    bar->setGeometry(geometry);
    bar->setRange(range.min, range.max);
    bar->setSingleStep(range.singleStep);
    bar->setPageStep(range.pageStep);
    bar->setToolTip(hint);
    bar->setCursor(Qt::PointingHandCursor);
    return bar;
}
