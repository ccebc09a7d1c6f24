#include "widgets/window_placement.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

QRect placeInArea(const QRect &frame, const QRect &available, bool centred)
{
    QRect r(frame.topLeft(), frame.size().boundedTo(available.size()));
    if (centred)
        r.moveCenter(available.center());
    // Past the right or bottom edge first, so that the top-left wins.
    r.moveLeft(std::max(available.left(), std::min(r.left(), available.right() - r.width() + 1)));
    r.moveTop(std::max(available.top(), std::min(r.top(), available.bottom() - r.height() + 1)));
    return r;
}

void keepOnScreen(QWidget *window, bool centred, bool square)
{
    const QScreen *screen = window->screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QRect frame = window->frameGeometry();
    QRect wanted = frame;
    if (square) {
        const int side = std::min({frame.width(), available.width(), available.height()});
        wanted.setSize(QSize(side, side));
    }
    wanted = placeInArea(wanted, available, centred);
    // The frame the window system adds stays as it is; the client area gives.
    const QSize client = window->size() - (frame.size() - wanted.size());
    if (client != window->size()) {
        if (window->minimumSize() == window->maximumSize())
            window->setFixedSize(client);
        else
            window->resize(client);
    }
    // For a window, move() places its frame.
    window->move(wanted.topLeft());
}
