// Program entry: the application, then the main window, the About dialog and
// the simulation window, in that order; the event loop runs until the main
// window closes.
#include "about/about_form.h"
#include "app/main_window.h"
#include "sim/window_gl_form.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("fountain-forms"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/fountain-forms.svg")));

    TfrmMain frmMain;
    TAboutForm aboutForm;
    TWindowGLForm glForm;
    // Closing the main window ends the application, whatever else is open.
    aboutForm.setAttribute(Qt::WA_QuitOnClose, false);
    glForm.setAttribute(Qt::WA_QuitOnClose, false);
    frmMain.setSecondaryWindows(&aboutForm, &glForm);
    frmMain.show();
    return QApplication::exec();
}
