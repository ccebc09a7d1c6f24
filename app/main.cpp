// Program entry: the application, then the main window, the About dialog and
// the simulation window, in that order; the event loop runs until the main
// window closes.
#include "about/about_form.h"
#include "app/main_window.h"
#include "sim/window_gl_form.h"
#include "widgets/guard.h"
#include "widgets/icons.h"
#include "widgets/translations.h"
#include "widgets/ui_prompts.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTimer>

#include <memory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("fountain-forms"));
    QApplication::setWindowIcon(applicationIcon());
    installRussianTranslations(&app);
#ifdef Q_OS_WIN
    // Started from its own folder (the Start menu, Explorer), the program
    // would offer "UserForm.frm" in Program Files, where a standard user may
    // not write: the user's Documents folder stands in for it there.
    if (QDir::current() == QDir(QCoreApplication::applicationDirPath())) {
        const QString documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (!documents.isEmpty() && QDir().mkpath(documents))
            QDir::setCurrent(documents);
    }
#endif

    QtPrompts prompts;
    TfrmMain frmMain(prompts);
    // One guard knows every command, whichever window it enters in.
    const HandlerGuard &guard = frmMain.guard();
    frmMain.show();
    // The two hidden windows are made on the event loop's first turn: the main
    // window is on screen sooner, and no click can reach them before.
    std::unique_ptr<TAboutForm> aboutForm;
    std::unique_ptr<TWindowGLForm> glForm;
    QTimer::singleShot(0, &frmMain, [&] {
        aboutForm = std::make_unique<TAboutForm>(guard);
        glForm = std::make_unique<TWindowGLForm>(guard);
        // Closing the main window ends the application, whatever else is open.
        aboutForm->setAttribute(Qt::WA_QuitOnClose, false);
        glForm->setAttribute(Qt::WA_QuitOnClose, false);
        frmMain.setSecondaryWindows(aboutForm.get(), glForm.get());
    });
    const int status = QApplication::exec();
    // They go before the main window they were handed to.
    frmMain.setSecondaryWindows(nullptr, nullptr);
    glForm.reset();
    aboutForm.reset();
    return status;
}
