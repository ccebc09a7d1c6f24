#include "sim/window_gl_form.h"

TWindowGLForm::TWindowGLForm(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TWindowGLForm"));
    setWindowTitle(QStringLiteral("Иммитация фонтана "));
    setAttribute(Qt::WA_QuitOnClose, false);
}
