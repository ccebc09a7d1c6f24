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

namespace {

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

// Types into the dialog's name box, key by key as an operator does, then Enter.
void typeAndEnter(QLineEdit *nameBox, const QString &text)
{
    nameBox->clear();
    QTest::keyClicks(nameBox, text);
    QTest::keyClick(nameBox, Qt::Key_Return);
}

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

        // The dialog opens in the working folder. While "adir" was typed its
        // list picked a.frm up, and Enter replaced a.frm. A folder typed opens
        // that folder.
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
        QCOMPARE(readFile(a), randomImage(11));
        QCOMPARE(openedFolder, folder);
        QCOMPARE(readFile(folder + QStringLiteral("/b.frm")), w.store().image());
        QCOMPARE(w.windowTitle(), captionWithFile(folder + QStringLiteral("/b.frm")));

        // The file named is replaced without a question; ".frm" is added.
        answerFileDialog([&](QFileDialog *, QLineEdit *nameBox) {
            typeAndEnter(nameBox, sandbox.workPath(QStringLiteral("a")));
        });
        saveAs->click();
        QCOMPARE(readFile(a), w.store().image());
        QCOMPARE(w.windowTitle(), captionWithFile(a));
    }

    // Run again on 800 x 600 at a scale of 2 (see CMakeLists.txt), where the
    // dialogs reached past the screen's edges with the name box and buttons.
    void fileDialogsFitTheScreen()
    {
        Sandbox sandbox;
        QtPrompts prompts;
        TfrmMain w(prompts);
        for (const char *command : {"SpeedButtonLoad", "SpeedButtonSaveAs"}) {
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
