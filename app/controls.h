// Small builders for the controls every panel uses, named and placed as the
// layout gives them.
#pragma once

#include <QRect>
#include <QString>

class QLabel;
class QScrollBar;
class QWidget;

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, const QRect &geometry);

struct BarRange
{
    int min = 0;
    int max = 0;
    int singleStep = 1;
    int pageStep = 1;
};

// A scroll bar with a pointing-hand cursor.
QScrollBar *makeScrollBar(QWidget *parent, const QString &name, Qt::Orientation orientation,
                          const QRect &geometry, const BarRange &range, const QString &hint = {});
