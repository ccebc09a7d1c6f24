// The window's places were drawn for a narrower font than most desktops use.
#pragma once

#include <QStringList>

class QWidget;

// Makes the widget's font smaller, half a point at a time (not below 6 points),
// until the widest of the texts it will show fits the given width.
void fitFont(QWidget *widget, const QStringList &texts, int width);
