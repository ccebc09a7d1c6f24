// Small building blocks shared by the About dialog's two source files.
#pragma once

#include <QColor>
#include <QIcon>
#include <QString>
#include <QWidget>

#include <functional>

class QFrame;
class QLabel;
class QPainter;

namespace aboutui {

// The colours the dialog uses, by their usual names.
inline constexpr QColor kSkyBlue{166, 202, 240};
inline constexpr QColor kNavy{0, 0, 128};
inline constexpr QColor kRed{255, 0, 0};
inline constexpr QColor kGreen{0, 128, 0};
inline constexpr QColor kMaroon{128, 0, 0};
inline constexpr QColor kTeal{0, 128, 128};
inline constexpr QColor kGray{128, 128, 128};
inline constexpr QColor kBlack{0, 0, 0};

void setTextColour(QWidget *w, const QColor &colour);
QColor textColour(const QWidget *w);

// An auto-sized label at a client position; an empty name leaves objectName unset,
// an invalid colour leaves the text in the window text colour.
QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, int x, int y,
                  const QColor &colour = kBlack);
// A lowered horizontal rule.
QFrame *makeRule(QWidget *parent, int x, int y, int width);

// The dialog's pictures: an evening fountain, the program's icon, a check mark.
void drawFountain(QPainter &p, const QSize &s);
void drawIcon(QPainter &p, const QSize &s);
QIcon checkMarkIcon();

// A widget that draws itself with the given function.
class PaintedWidget : public QWidget
{
  public:
    using Painter = std::function<void(QPainter &, const QSize &)>;
    PaintedWidget(QWidget *parent, Painter painter) : QWidget(parent), m_painter(std::move(painter))
    {
    }

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    Painter m_painter;
};

} // namespace aboutui
