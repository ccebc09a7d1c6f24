// The program's pictures (:/icons/NAME.png, rendered from the drawings at
// build time), read only when first painted: reading an image at start looks
// up the image format plugins, which costs more than building a panel.
#pragma once

#include <QIcon>

QIcon programIcon(const char *name);

// The program's own icon for its windows, read at once (the window system
// takes it when the main window is shown) and without looking up image
// format plugins: the format is known.
QIcon applicationIcon();
