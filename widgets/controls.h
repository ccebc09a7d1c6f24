// Small builders for the controls every panel uses, named and placed as the
// layout gives them.
#pragma once

#include <QRect>
#include <QScrollBar>
#include <QString>

class QLabel;
class QToolButton;
class QWidget;

// A scroll bar whose arrow keys move the thumb the way they point (Qt's
// horizontal bars run backwards: Right would lower the value) and which shows
// when it has the keyboard focus. Vertical bars keep Qt's keys: Up moves the
// thumb up, towards position 0.
class TScrollBar : public QScrollBar
{
  public:
    using QScrollBar::QScrollBar;

  protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, const QRect &geometry);

struct BarRange
{
    int min = 0;
    int max = 0;
    int singleStep = 1;
    int pageStep = 1;
};

// A TScrollBar with a pointing-hand cursor.
QScrollBar *makeScrollBar(QWidget *parent, const QString &name, Qt::Orientation orientation,
                          const QRect &geometry, const BarRange &range, const QString &hint = {});

// A flat picture button: the program's picture (none when null), a
// pointing-hand cursor and its hint as tooltip.
QToolButton *makePictureButton(QWidget *parent, const QString &name, const QString &hint,
                               const char *picture);
