// The form file dialogs as the operator meets them: the real QFileDialog,
// typed into key by key.
#include "core/form_store.h"
#include "tests/support/window_fixture.h"
#include "widgets/ui_prompts.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

#ifdef Q_OS_WIN
#include <array>
#include <chrono>
#include <string_view>
#include <thread>
#include <windows.h>
#endif

namespace {

#ifdef Q_OS_WIN
// Windows' standard dialog runs its own modal loop on the main thread: it is
// answered from another thread with the messages a user's typing and the OK
// button send.
HWND dialogOfThisProcess()
{
    HWND found = nullptr;
    EnumWindows(
        [](HWND w, LPARAM param) -> BOOL {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            std::array<wchar_t, 16> cls{};
            GetClassNameW(w, cls.data(), int(cls.size()));
            if (pid != GetCurrentProcessId() || !IsWindowVisible(w) ||
                std::wstring_view(cls.data()) != L"#32770")
                return TRUE;
            *reinterpret_cast<HWND *>(param) = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The name box: an edit of its own or, in newer Windows, inside a combo box.
HWND nameBoxOf(HWND dialog)
{
    HWND found = nullptr;
    EnumChildWindows(
        dialog,
        [](HWND w, LPARAM param) -> BOOL {
            std::array<wchar_t, 16> cls{};
            GetClassNameW(w, cls.data(), int(cls.size()));
            if (std::wstring_view(cls.data()) != L"Edit" ||
                (GetDlgCtrlID(w) != 1152 && GetDlgCtrlID(GetParent(w)) != 1148))
                return TRUE;
            *reinterpret_cast<HWND *>(param) = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Types each name into the next standard dialog and presses OK: every name
// but the last must leave the dialog open (a folder), the last must close it.
// The dialog must lie within the screen; without names it is cancelled.
class StandardDialogTypist
{
  public:
    explicit StandardDialogTypist(QStringList names) : m_names(std::move(names)) {}

    // Runs command, which shows the dialog, while the names are typed into
    // it; what went wrong, or "".
    QString problemAfter(const std::function<void()> &command)
    {
        std::thread typist([this] { run(m_names); });
        command();
        typist.join();
        return m_problem;
    }

  private:
    static bool waitFor(const std::function<bool()> &condition, int msecs)
    {
        for (int waited = 0; waited < msecs; waited += 50) {
            if (condition())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return condition();
    }

    void run(const QStringList &names)
    {
        HWND dialog = nullptr;
        if (!waitFor([&] { return (dialog = dialogOfThisProcess()) != nullptr; }, 30000)) {
            m_problem = QStringLiteral("no standard dialog came up");
            return;
        }
        RECT area{};
        MONITORINFO screen{};
        screen.cbSize = sizeof(screen);
        if (!GetWindowRect(dialog, &area) ||
            !GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &screen) ||
            area.left < screen.rcWork.left || area.top < screen.rcWork.top ||
            area.right > screen.rcWork.right || area.bottom > screen.rcWork.bottom)
            m_problem = QStringLiteral("the dialog reaches past the screen's work area");
        for (qsizetype k = 0; k < names.size() && m_problem.isEmpty(); ++k) {
            HWND nameBox = nullptr;
            if (!waitFor([&] { return (nameBox = nameBoxOf(dialog)) != nullptr; }, 5000)) {
                m_problem = QStringLiteral("the dialog has no name box");
                break;
            }
            const std::wstring name = names[k].toStdWString();
            SendMessageW(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
            const bool last = k + 1 == names.size();
            const bool closed = waitFor(
                [&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, last ? 10000 : 1500);
            if (closed != last)
                m_problem = QStringLiteral("after \"%1\" the dialog %2")
                                .arg(names[k], last ? "stayed open (a question?)" : "closed");
        }
        // Whatever is still open is cancelled, so the test goes on.
        for (HWND open; (open = dialogOfThisProcess()) != nullptr;) {
            PostMessageW(open, WM_COMMAND, IDCANCEL, 0);
            waitFor([&] { return !IsWindowVisible(open); }, 2000);
        }
    }

    QStringList m_names;
    QString m_problem;
};
#endif

// Answers the next file dialog, once it is shown, from the event loop.
void answerFileDialog(const std::function<void(QFileDialog *, QLineEdit *)> &script)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, script] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll->deleteLater();
        poll->stop();
        script(dialog, dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")));
    });
    poll->start(10);
}

#ifndef Q_OS_WIN
// Types into the dialog's name box, key by key as an operator does, then Enter.
void typeAndEnter(QLineEdit *nameBox, const QString &text)
{
    nameBox->clear();
    QTest::keyClicks(nameBox, text);
    QTest::keyClick(nameBox, Qt::Key_Return);
}
#endif

} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT

  private slots:
    void saveAsWritesTheFileNamedInTheRealDialog()
    {
        Sandbox sandbox;
        const QString a = sandbox.workPath(QStringLiteral("a.frm"));
        const QString folder = sandbox.workPath(QStringLiteral("adir"));
        writeFile(a, randomImage(11));
        QVERIFY(QDir().mkdir(folder));
        QtPrompts prompts;
        TfrmMain w(prompts);
        QVERIFY(w.store().replaceImage(randomImage(12)));
        w.store().writeTravelTimes({7, 7, 7, 7, 7, 7, 7, 7}); // as the bars show them
        auto *saveAs = findNamed<QToolButton>(&w, QStringLiteral("SpeedButtonSaveAs"));

        // The dialog opens in the working folder. A folder typed opens that
        // folder, and the next name is saved there.
#ifdef Q_OS_WIN
        QString problem =
            StandardDialogTypist({QStringLiteral("adir"), QStringLiteral("b")}).problemAfter([&] {
                saveAs->click();
            });
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
#else
        // (While "adir" was typed, Qt's list picked a.frm up, and Enter
        // replaced a.frm.)
        QString openedFolder;
        answerFileDialog([&](QFileDialog *dialog, QLineEdit *nameBox) {
            // The list holds a.frm before the first key.
            auto *list = dialog->findChild<QAbstractItemView *>(QStringLiteral("listView"));
            QTRY_COMPARE(list->model()->rowCount(list->rootIndex()), 2);
            // Keys that reach the name box while it does not hold the focus, as
            // when they are typed in from another program.
            nameBox->clearFocus();
            typeAndEnter(nameBox, QStringLiteral("adir"));
            openedFolder = dialog->isVisible() ? dialog->directory().absolutePath() : QString();
            typeAndEnter(nameBox, QStringLiteral("b"));
        });
        saveAs->click();
        QCOMPARE(openedFolder, folder);
#endif
        QCOMPARE(readFile(a), randomImage(11));
        QCOMPARE(readFile(folder + QStringLiteral("/b.frm")), w.store().image());
        QCOMPARE(w.windowTitle(), captionWithFile(folder + QStringLiteral("/b.frm")));

        // The file named is replaced without a question; ".frm" is added to a
        // name without an extension, and only to such a name.
        for (const QString &typed : {QStringLiteral("a"), QStringLiteral("a.v2")}) {
            const QString written = sandbox.workPath(typed == u'a' ? "a.frm" : "a.v2");
            writeFile(written, randomImage(13));
            const QString path = QDir::toNativeSeparators(sandbox.workPath(typed));
#ifdef Q_OS_WIN
            problem = StandardDialogTypist({path}).problemAfter([&] { saveAs->click(); });
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
#else
            answerFileDialog(
                [&](QFileDialog *, QLineEdit *nameBox) { typeAndEnter(nameBox, path); });
            saveAs->click();
#endif
            QCOMPARE(readFile(written), w.store().image());
            QCOMPARE(w.windowTitle(), captionWithFile(written));
        }
    }

    // Run again on 800 x 600 at a scale of 2 (see CMakeLists.txt), where the
    // dialogs reached past the screen's edges with the name box and buttons.
    void fileDialogsFitTheScreen()
    {
        Sandbox sandbox;
        QtPrompts prompts;
        TfrmMain w(prompts);
        for (const char *command : {"SpeedButtonLoad", "SpeedButtonSaveAs"}) {
#ifdef Q_OS_WIN
            const QString problem = StandardDialogTypist({}).problemAfter(
                [&] { findNamed<QToolButton>(&w, command)->click(); });
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
            continue;
#endif
            bool reachable = false;
            answerFileDialog([&](QFileDialog *dialog, QLineEdit *nameBox) {
                QList<QWidget *> controls{nameBox, dialog->findChild<QComboBox *>("fileTypeCombo")};
                for (QWidget *b : dialog->findChild<QDialogButtonBox *>()->buttons())
                    controls << b;
                reachable = dialog->screen()->availableGeometry().contains(dialog->frameGeometry());
                for (QWidget *c : controls)
                    reachable &=
                        dialog->rect().contains(QRect(c->mapTo(dialog, QPoint()), c->size()));
                dialog->reject();
            });
            findNamed<QToolButton>(&w, command)->click();
            QVERIFY2(reachable, command);
        }
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
