// The real fountain-forms, started as a normal user on the test run's X
// display, its main window closed the way a window manager closes it: the
// program ends by itself, with status 0, having written nothing.
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <unistd.h>

namespace {

const QByteArray kCaption = QStringLiteral("Редатор форм фонтанов").toUtf8();

// The top-level window whose title is the main window's caption; 0 while none.
Window findMainWindow(Display *display)
{
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Window root = 0;
    Window parent = 0;
    Window *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0;
        unsigned long after = 0;
        unsigned char *name = nullptr;
        if (XGetWindowProperty(display, children[i], netName, 0, 256, False, utf8, &type, &format,
                               &items, &after, &name) == Success &&
            name) {
            if (QByteArray(reinterpret_cast<const char *>(name), int(items)) == kCaption)
                found = children[i];
            XFree(name);
        }
    }
    XFree(children);
    return found;
}

// What a window manager sends when the user closes a window.
void askToClose(Display *display, Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

} // namespace

class TestStart : public QObject
{
    Q_OBJECT

  private slots:
    void startedAndClosedAsANormalUser()
    {
        QTemporaryDir home;
        QVERIFY(home.isValid());
        QStringList command{qEnvironmentVariable("FOUNTAIN_TEST_BINARY_DIR") +
                            QStringLiteral("/fountain-forms")};
        // As the superuser the program runs as nobody, in a home of its own.
        if (::geteuid() == 0) {
            QVERIFY(QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                           QFile::ExeOwner | QFile::ReadOther |
                                                           QFile::WriteOther | QFile::ExeOther));
            command = QStringList{QStringLiteral("setpriv"), QStringLiteral("--reuid=65534"),
                                  QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups"),
                                  QStringLiteral("--")} +
                      command;
        }
        QProcess editor;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
        editor.setProcessEnvironment(env);
        editor.setWorkingDirectory(home.path());
        editor.start(command.takeFirst(), command);
        QVERIFY2(editor.waitForStarted(), qPrintable(editor.errorString()));

        Display *display = XOpenDisplay(nullptr);
        QVERIFY2(display, "no X display");
        Window window = 0;
        QElapsedTimer waited;
        waited.start();
        while (!(window = findMainWindow(display)) && waited.elapsed() < 20000 &&
               editor.state() == QProcess::Running)
            QTest::qWait(50);
        QVERIFY2(window, editor.readAllStandardError().constData());

        askToClose(display, window);
        XCloseDisplay(display);
        QVERIFY2(editor.waitForFinished(20000), "the editor did not end when its window closed");
        QCOMPARE(editor.exitStatus(), QProcess::NormalExit);
        QCOMPARE(editor.exitCode(), 0);
        // Nothing is written at exit: no settings file, nothing in the working folder.
        QCOMPARE(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
    }
};

QTEST_GUILESS_MAIN(TestStart)
#include "tst_start.moc"
