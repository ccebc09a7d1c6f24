// Keeping windows reachable: a window's frame never starts outside the
// screen's available area, and a frame larger than that area is cut to it
// (the windows scroll over their content).
#pragma once

#include <QRect>

class QWidget;

// The frame moved (and shrunk where it must be) into the available area;
// with centred, a frame that fits is centred in the area instead of kept
// where it was.
QRect placeInArea(const QRect &frame, const QRect &available, bool centred);

// The same applied to a window on its screen. A square window stays square.
void keepOnScreen(QWidget *window, bool centred, bool square = false);
