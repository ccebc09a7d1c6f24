// The form file dialogs as the operator meets them: the real QFileDialog,
// typed into key by key.
#include "app/ui_prompts.h"
#include "store/form_store.h"
#include "tests/window_fixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

namespace {

const QString kCaptionWithFile = QStringLiteral("Редатор форм фонтанов  ");

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
        w.store().replaceImage(randomImage(12));
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
        QCOMPARE(w.windowTitle(), kCaptionWithFile + folder + QStringLiteral("/b.frm"));

        // The file named is replaced without a question; ".frm" is added.
        answerFileDialog([&](QFileDialog *, QLineEdit *nameBox) {
            typeAndEnter(nameBox, sandbox.workPath(QStringLiteral("a")));
        });
        saveAs->click();
        QCOMPARE(readFile(a), w.store().image());
        QCOMPARE(w.windowTitle(), kCaptionWithFile + a);
    }

    // Run again on a screen of 800 x 600 at a scale of 2 (see CMakeLists.txt),
    // where Qt's dialog reached past the screen's edges: neither the name box
    // nor the buttons could be reached.
    void fileDialogsFitTheScreen_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("open") << "SpeedButtonLoad";
        QTest::newRow("save as") << "SpeedButtonSaveAs";
    }
    void fileDialogsFitTheScreen()
    {
        QFETCH(QString, command);
        Sandbox sandbox;
        QtPrompts prompts;
        TfrmMain w(prompts);
        QRect area;
        QRect frame;
        QStringList outside; // controls not whole inside the dialog
        answerFileDialog([&](QFileDialog *dialog, QLineEdit *nameBox) {
            area = dialog->screen()->availableGeometry();
            frame = dialog->frameGeometry();
            QList<QWidget *> controls{nameBox, dialog->findChild<QWidget *>("fileTypeCombo")};
            for (QAbstractButton *b : dialog->findChild<QDialogButtonBox *>()->buttons())
                controls << b;
            for (QWidget *c : controls) {
                if (!c->isVisible() ||
                    !dialog->rect().contains(QRect(c->mapTo(dialog, QPoint()), c->size())))
                    outside << c->objectName() + c->property("text").toString();
            }
            dialog->reject();
        });
        findNamed<QToolButton>(&w, command)->click();
        QVERIFY2(area.contains(frame), qPrintable(QStringLiteral("%1,%2 %3x%4 in %5x%6")
                                                      .arg(frame.x())
                                                      .arg(frame.y())
                                                      .arg(frame.width())
                                                      .arg(frame.height())
                                                      .arg(area.width())
                                                      .arg(area.height())));
        QCOMPARE(outside, QStringList());
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
