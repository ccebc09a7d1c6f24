// The window's places were drawn for a narrower font than most desktops use:
// texts are measured against what they really show and made to fit, first
// by the condensed face of the same font, then by a smaller size.
#pragma once

#include <QFont>
#include <QList>
#include <QObject>
#include <QStringList>

#include <functional>

class QLabel;
class QLineEdit;
class QWidget;

// The font, condensed and then made smaller (not below the floor in points,
// nor below 8 pixels), until the widest of the texts fits the given width;
// the smallest it tried when nothing fits.
QFont fittedFont(QFont font, const QStringList &texts, int width, qreal floor = 6);
// The same for a widget's own font, which it then takes.
void fitFont(QWidget *widget, const QStringList &texts, int width);

// Shows a text in a label of fixed width, in the label's first font or the
// fitted one where that is too wide.
void showFitted(QLabel *label, const QString &text);

// The pixels an edit box has for its text inside its frame and margins.
int textRoom(const QLineEdit *edit);

// Edit boxes that share one font, fitted each time a text changes (from the
// first change on) to the
// widest of their texts' first `capacity` characters, the most a box is
// meant to hold, but kept readable (7 points at least). A text that does not
// fit shows its beginning, and a read-only box the whole of it as its tooltip.
class FittedEdits : public QObject
{
  public:
    FittedEdits(const QList<QLineEdit *> &edits, int capacity, QObject *parent);

    // Runs change, which sets texts, and fits once afterwards rather than
    // after every text: each fitting measures them all and may load fonts.
    void batch(const std::function<void()> &change);

  private:
    void refit();

    QList<QLineEdit *> m_edits;
    int m_capacity;
    QFont m_base;
    bool m_inBatch = false;
};
