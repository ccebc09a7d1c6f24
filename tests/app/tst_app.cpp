// The main window shell: caption, size, toolbar, group boxes, the error guard.
#include "about/about_form.h"
#include "core/errors.h"
#include "core/form_store.h"
#include "player/sequencer_panel.h"
#include "sim/window_gl_form.h"
#include "tests/support/window_fixture.h"
#include "widgets/translations.h"
#include "widgets/window_placement.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

class TestApp : public QObject
{
    Q_OBJECT

  private slots:
    void firstStartShowsTheDesignCaptionAndSize()
    {
        WindowFixture f;
        TfrmMain &w = f.w();
        QCOMPARE(w.objectName(), QStringLiteral("TfrmMain"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Редатор форм фонтанов"));
        QCOMPARE(w.size(), QSize(823, 741));
        QVERIFY(f.prompts.messages.isEmpty());
    }

    void toolbarButtons_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("new") << "SpeedButtonNew" << QStringLiteral("Cоздать новый файл форм ")
                             << true;
        QTest::newRow("load") << "SpeedButtonLoad" << QStringLiteral("Открыть  файл форм ") << true;
        QTest::newRow("save") << "SpeedButtonSave" << QStringLiteral("Записать текущий  файл форм ")
                              << false;
        QTest::newRow("saveas") << "SpeedButtonSaveAs"
                                << QStringLiteral("Дать новое мия и записать  файл форм ") << true;
        QTest::newRow("copy") << "SpeedButtonCopyForm" << QStringLiteral("Копировать в буфер ")
                              << true;
        QTest::newRow("paste") << "SpeedButtonPasteForm"
                               << QStringLiteral("Встаить форму из буфера ") << false;
        QTest::newRow("cut") << "SpeedButtonCutForm" << QStringLiteral("Вырезать форму в буфер ")
                             << true;
        QTest::newRow("insert") << "SpeedButtonInsert" << QStringLiteral("Вставить новую форму ")
                                << true;
        QTest::newRow("delete") << "SpeedButtonDeleteForm" << QStringLiteral("Удалить форму ")
                                << true;
        QTest::newRow("clear") << "SpeedButtonClearForm"
                               << QStringLiteral("Очистить поле для редактирования ") << true;
        QTest::newRow("undo") << "SpeedButtonUndoForm" << QStringLiteral("Вернуть ") << true;
        QTest::newRow("tools") << "SpeedButtonTools" << QStringLiteral("Окно инструментов ")
                               << false;
        QTest::newRow("send")
            << "SpeedButtonSendBlock"
            << QStringLiteral("Отправить данные во внешний формообразователь по СОМ порту 1 ")
            << true;
        QTest::newRow("about") << "SpeedButtonAbout" << QStringLiteral("О программе и версии ")
                               << true;
        QTest::newRow("gl") << "SpeedButtonGl" << QStringLiteral("Окно просмотра ") << true;
    }
    void toolbarButtons()
    {
        QFETCH(QString, name);
        QFETCH(QString, hint);
        QFETCH(bool, enabled);
        WindowFixture f;
        auto *b = findNamed<QToolButton>(f.find<QToolBar>("ToolBar1"), name);
        // Shortcuts may follow the hint in the tooltip; the hint itself comes first.
        QVERIFY2(b->toolTip().startsWith(hint), qPrintable(b->toolTip()));
        QCOMPARE(b->isEnabled(), enabled);
        QCOMPARE(b->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(b->size(), QSize(23, 22));
        QVERIFY(!b->icon().isNull());
    }

    void toolbarOrderAndGaps()
    {
        WindowFixture f;
        TfrmMain &w = f.w();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QStringList order = {
            "SpeedButtonNew",       "SpeedButtonLoad",     "SpeedButtonSave",
            "SpeedButtonSaveAs",    "SpeedButtonCopyForm", "SpeedButtonPasteForm",
            "SpeedButtonCutForm",   "SpeedButtonInsert",   "SpeedButtonDeleteForm",
            "SpeedButtonClearForm", "SpeedButtonUndoForm", "SpeedButtonTools",
            "SpeedButtonSendBlock", "SpeedButtonAbout",    "SpeedButtonGl"};
        const auto x = [&f](const QString &name) { return f.button(name)->x(); };
        auto *bar = f.find<QToolBar>("ToolBar1");
        QCOMPARE(bar->height(), 29);
        QCOMPARE(bar->mapTo(&w, QPoint(0, 0)), QPoint(0, 0));
        for (int i = 1; i < order.size(); ++i)
            QVERIFY(x(order[i]) > x(order[i - 1]));
        // Gaps after Save As, Undo, Send and About.
        QVERIFY(x("SpeedButtonCopyForm") - x("SpeedButtonSaveAs") >= 23 + 20);
        QVERIFY(x("SpeedButtonTools") - x("SpeedButtonUndoForm") >= 23 + 20);
        QVERIFY(x("SpeedButtonAbout") - x("SpeedButtonSendBlock") >= 23 + 20);
        QVERIFY(x("SpeedButtonGl") - x("SpeedButtonAbout") >= 23 + 20);
        QVERIFY(x("SpeedButtonLoad") - x("SpeedButtonNew") < 23 + 10);
    }

    void groupBoxes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("caption");
        for (int i = 1; i <= 7; ++i)
            QTest::addRow("win%d", i) << QStringLiteral("GroupBoxWin%1").arg(i)
                                      << QRect(8, 32 + 96 * (i - 1), 281, 89) << QString();
        QTest::newRow("edit") << "GroupBoxEDIT" << QRect(328, 32, 481, 201)
                              << QStringLiteral("Редактирование параметров формы ");
        QTest::newRow("view") << "GroupBoxView" << QRect(328, 240, 481, 177)
                              << QStringLiteral(" Уровень струй во время работы ");
        QTest::newRow("seq") << "GroupBoxSequenser" << QRect(328, 424, 185, 137)
                             << QStringLiteral(" СЕКВЕНСЕР ");
        QTest::newRow("gate") << "GroupBoxNameGate" << QRect(528, 424, 281, 273)
                              << QStringLiteral("Параметры задвижек ");
    }
    void groupBoxes()
    {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        QFETCH(QString, caption);
        WindowFixture f;
        TfrmMain &w = f.w();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto *g = w.findChild<QGroupBox *>(name);
        QVERIFY2(g, qPrintable(name));
        QCOMPARE(g->title(), caption);
        // Positions are in the client area, toolbar at 0, 0.
        QCOMPARE(QRect(g->mapTo(&w, QPoint(0, 0)), g->size()), geometry);
        QVERIFY(g->isVisible());
    }

    void stripRulerPlacement()
    {
        WindowFixture f;
        TfrmMain &w = f.w();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QScrollBar *ruler = f.bar("ScrollBarFormVewer");
        QCOMPARE(QRect(ruler->mapTo(&w, QPoint(0, 0)), ruler->size()), QRect(296, 40, 16, 657));
    }

    void smallWindowScrollsOverItsContent()
    {
        WindowFixture f;
        TfrmMain &w = f.w();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto *area = f.find<QScrollArea>("ScrollBoxMain");
        w.resize(400, 300);
        QTRY_VERIFY(area->verticalScrollBar()->maximum() > 0);
        QVERIFY(area->horizontalScrollBar()->maximum() > 0);
        w.resize(823, 741);
        QTRY_COMPARE(area->verticalScrollBar()->maximum(), 0);
    }

    void placeInArea_data()
    {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<bool>("centred");
        QTest::addColumn<QRect>("placed");
        const QRect scaled(0, 0, 640, 512); // 1280 x 1024 at a scale of 2
        QTest::newRow("fits, centred") << QRect(0, 0, 823, 741) << QRect(0, 0, 1280, 1024) << true
                                       << QRect(228, 141, 823, 741);
        QTest::newRow("too large: the whole area")
            << QRect(0, 0, 823, 741) << scaled << true << scaled;
        QTest::newRow("too tall, kept in place sideways")
            << QRect(443, 78, 401, 631) << QRect(0, 0, 1280, 600) << false
            << QRect(443, 0, 401, 600);
        QTest::newRow("past right and bottom")
            << QRect(255, 135, 499, 499) << scaled << false << QRect(141, 13, 499, 499);
        QTest::newRow("above a top panel") << QRect(-50, -20, 300, 200) << QRect(0, 30, 1280, 994)
                                           << false << QRect(0, 30, 300, 200);
    }
    void placeInArea()
    {
        QFETCH(QRect, frame);
        QFETCH(QRect, area);
        QFETCH(bool, centred);
        QFETCH(QRect, placed);
        QCOMPARE(::placeInArea(frame, area, centred), placed);
    }

    // Run again on a 1280 x 1024 screen at a scale of 2 (see CMakeLists.txt).
    void windowsStayReachable()
    {
        WindowFixture f;
        TfrmMain &w = f.w();
        TAboutForm about(w.guard());
        TWindowGLForm gl(w.guard());
        w.setSecondaryWindows(&about, &gl);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QRect area = w.screen()->availableGeometry();
        QVERIFY2(area.contains(w.frameGeometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                  .arg(w.x())
                                                                  .arg(w.y())
                                                                  .arg(w.width())
                                                                  .arg(w.height())));
        QCOMPARE(w.frameGeometry().size(), w.frameGeometry().size().boundedTo(area.size()));
        if (area.width() < 823)
            QCOMPARE(w.frameGeometry().width(), area.width());

        QRect sysInfo;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (QApplication::activeModalWidget() != &about)
                return;
            poll.stop();
            findNamed<QToolButton>(&about, QStringLiteral("SpeedButtonMore"))->click();
            sysInfo = about.frameGeometry();
            about.accept();
        });
        poll.start(10);
        QTimer::singleShot(5000, &about, &QDialog::reject);
        f.button(QStringLiteral("SpeedButtonAbout"))->click();
        QVERIFY(area.contains(sysInfo));
        QCOMPARE(sysInfo.height(), std::min(631, area.height()));

        f.button(QStringLiteral("SpeedButtonGl"))->click();
        QVERIFY(area.contains(gl.frameGeometry()));
        QCOMPARE(gl.frameGeometry().width(), gl.frameGeometry().height());
    }

    void undoDoesNothingAndToolsCannotBePressed()
    {
        WindowFixture f;
        TfrmMain &w = f.w();
        const QString caption = w.windowTitle();
        QTest::mouseClick(f.button("SpeedButtonUndoForm"), Qt::LeftButton);
        QCOMPARE(w.windowTitle(), caption);
        QVERIFY(f.prompts.messages.isEmpty());
        QVERIFY(!f.button("SpeedButtonTools")->isEnabled());
    }

    void guardShowsOwnErrorsWithFullStop()
    {
        RecordingPrompts prompts;
        const HandlerGuard guard(prompts);
        QVERIFY(!guard.run([] { throw EInOutError(EInOutError::kReadBeyondEnd); }));
        QVERIFY(!guard.run([] { throw std::runtime_error("plain"); }));
        QVERIFY(!guard.run([] { throw 42; }));
        QVERIFY(guard.run([] {}));
        QCOMPARE(prompts.messages,
                 QStringList({QStringLiteral("Read beyond end of file."), QStringLiteral("plain."),
                              QStringLiteral("Unknown error.")}));
        QCOMPARE(prompts.titles, QStringList(3, QStringLiteral("Создание форм для фонтанов")));
    }

    void guardedConnectStopsExceptionsAtTheSlot()
    {
        RecordingPrompts prompts;
        const HandlerGuard guard(prompts);
        QScrollBar bar;
        bar.setRange(0, 10);
        int seen = -1;
        guard.connect(&bar, &QScrollBar::valueChanged, &bar, [&](int v) {
            seen = v;
            throw EAppError(QStringLiteral("Nope"));
        });
        bar.setValue(4); // would terminate the program if the exception escaped
        QCOMPARE(seen, 4);
        QCOMPARE(prompts.messages, QStringList{QStringLiteral("Nope.")});
    }

    // A change handler that a command sets off runs inside the command: what
    // it throws ends the command there, with one message. A handler reached
    // from an event loop the command waits in (a dialog's) is a command of
    // its own, and its error stops at it.
    void guardStopsTheWholeCommand()
    {
        RecordingPrompts prompts;
        const HandlerGuard guard(prompts);
        QScrollBar bar;
        bar.setRange(0, 10);
        guard.connect(&bar, &QScrollBar::valueChanged, &bar,
                      [] { throw EAppError(QStringLiteral("Nope")); });
        bool carriedOn = false;
        QVERIFY(!guard.run([&] {
            bar.setValue(4);
            carriedOn = true;
        }));
        QVERIFY(!carriedOn);
        QCOMPARE(prompts.messages, QStringList{QStringLiteral("Nope.")});

        QTimer tick;
        tick.setSingleShot(true);
        QVERIFY(guard.run([&] {
            QEventLoop dialog;
            guard.connect(&tick, &QTimer::timeout, &dialog, [&dialog] {
                dialog.quit();
                throw EAppError(QStringLiteral("Tick"));
            });
            tick.start(0);
            dialog.exec();
            carriedOn = true;
        }));
        QVERIFY(carriedOn);
        QCOMPARE(prompts.messages, QStringList({QStringLiteral("Nope."), QStringLiteral("Tick.")}));
    }

    // In the real window: Start moves the form number, whose change handlers
    // run inside it. One that fails stops Start before it takes the hold time
    // and shows the countdown.
    void failingChangeHandlerStopsStart()
    {
        WindowFixture f;
        FountainForm form;
        form.levels.fill(200);
        form.holdSek = 30;
        f.store().WriteForm(0, form);
        QScrollBar *number = f.bar("ScrollBarNomberForm");
        number->setValue(3);
        f.w().guard().connect(number, &QScrollBar::valueChanged, number,
                              [] { throw EAppError(QStringLiteral("Нет связи")); });
        f.button("SpeedButtonStart")->click();
        QCOMPARE(f.prompts.messages, QStringList{QStringLiteral("Нет связи.")});
        // The editor's handler, connected before, has loaded slot 0.
        QCOMPARE(number->value(), 0);
        QCOMPARE(f.bar("ScrollBarZadvizka", 1)->value(), 55);
        QCOMPARE(f.label("LabelTimeOver")->text(), QStringLiteral("TimeOver"));
        QCOMPARE(f.sequencer()->holdCounter(), 0);
    }

    void qtDialogsSpeakRussian()
    {
        QVERIFY(installRussianTranslations(qApp));
        QMessageBox box(QMessageBox::Critical, kApplicationTitle, QStringLiteral("File not found"),
                        QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("Отмена"));
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        QCOMPARE(dialog.labelText(QFileDialog::FileType), QStringLiteral("Типы файлов:"));
    }

    void realErrorBoxIsCriticalAndTitled()
    {
        // The real message box, answered through the active modal widget. A
        // box that never becomes it is closed after a few seconds, so the test
        // fails instead of waiting for CTest's time-out.
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QElapsedTimer waited;
        waited.start();
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                title = box->windowTitle();
                text = box->text();
                icon = box->icon();
                box->accept();
            } else if (waited.elapsed() < 5000) {
                return;
            }
            poll.stop();
            for (QWidget *top : QApplication::topLevelWidgets())
                if (auto *box = qobject_cast<QMessageBox *>(top); box && box->isVisible())
                    box->reject();
        });
        poll.start(20);
        QtPrompts prompts;
        HandlerGuard(prompts).show(EAppError(QStringLiteral("Disk full")));
        QCOMPARE(title, QStringLiteral("Создание форм для фонтанов"));
        QCOMPARE(text, QStringLiteral("Disk full."));
        QCOMPARE(icon, QMessageBox::Critical);
    }
};

QTEST_MAIN(TestApp)
#include "tst_app.moc"
