// Compiled as a core file by the layers test: it must not build.
#include <QtWidgets/QWidget>
