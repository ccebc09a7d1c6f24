// The window's places were drawn for a narrower font than most desktops use.
#pragma once

#include <QFont>
#include <QStringList>

class QWidget;

// The font, made smaller half a point at a time (not below 6 points), until
// the widest of the texts fits the given width.
QFont fittedFont(QFont font, const QStringList &texts, int width);
// The same for a widget's own font, which it then takes.
void fitFont(QWidget *widget, const QStringList &texts, int width);
