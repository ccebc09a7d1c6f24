// The main window shell: caption, size, toolbar, group boxes, the error guard.
#include "app/app_error.h"
#include "app/guard.h"
#include "app/main_window.h"
#include "tests/test_support.h"

#include <QApplication>
#include <QGroupBox>
#include <QMessageBox>
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
        Sandbox sandbox;
        RecordingPrompts prompts;
        TfrmMain w;
        QCOMPARE(w.objectName(), QStringLiteral("TfrmMain"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Редатор форм фонтанов"));
        QCOMPARE(w.size(), QSize(823, 741));
        QVERIFY(prompts.messages.isEmpty());
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
        Sandbox sandbox;
        RecordingPrompts prompts;
        TfrmMain w;
        auto *b = w.ToolBar1->findChild<QToolButton *>(name);
        QVERIFY2(b, qPrintable(name));
        // Shortcuts may follow the hint in the tooltip; the hint itself comes first.
        QVERIFY2(b->toolTip().startsWith(hint), qPrintable(b->toolTip()));
        QCOMPARE(b->isEnabled(), enabled);
        QCOMPARE(b->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(b->size(), QSize(23, 22));
        QVERIFY(!b->icon().isNull());
    }

    void toolbarOrderAndGaps()
    {
        Sandbox sandbox;
        RecordingPrompts prompts;
        TfrmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QList<QToolButton *> order = {
            w.SpeedButtonNew,       w.SpeedButtonLoad,     w.SpeedButtonSave,
            w.SpeedButtonSaveAs,    w.SpeedButtonCopyForm, w.SpeedButtonPasteForm,
            w.SpeedButtonCutForm,   w.SpeedButtonInsert,   w.SpeedButtonDeleteForm,
            w.SpeedButtonClearForm, w.SpeedButtonUndoForm, w.SpeedButtonTools,
            w.SpeedButtonSendBlock, w.SpeedButtonAbout,    w.SpeedButtonGl};
        QCOMPARE(w.ToolBar1->height(), 29);
        QCOMPARE(w.ToolBar1->mapTo(&w, QPoint(0, 0)), QPoint(0, 0));
        for (int i = 1; i < order.size(); ++i)
            QVERIFY(order[i]->x() > order[i - 1]->x());
        // Gaps after Save As, Undo, Send and About.
        QVERIFY(w.SpeedButtonCopyForm->x() - w.SpeedButtonSaveAs->x() >= 23 + 20);
        QVERIFY(w.SpeedButtonTools->x() - w.SpeedButtonUndoForm->x() >= 23 + 20);
        QVERIFY(w.SpeedButtonAbout->x() - w.SpeedButtonSendBlock->x() >= 23 + 20);
        QVERIFY(w.SpeedButtonGl->x() - w.SpeedButtonAbout->x() >= 23 + 20);
        QVERIFY(w.SpeedButtonLoad->x() - w.SpeedButtonNew->x() < 23 + 10);
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
        Sandbox sandbox;
        RecordingPrompts prompts;
        TfrmMain w;
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
        Sandbox sandbox;
        RecordingPrompts prompts;
        TfrmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(QRect(w.ScrollBarFormVewer->mapTo(&w, QPoint(0, 0)), w.ScrollBarFormVewer->size()),
                 QRect(296, 40, 16, 657));
    }

    void smallWindowScrollsOverItsContent()
    {
        Sandbox sandbox;
        RecordingPrompts prompts;
        TfrmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.resize(400, 300);
        QTRY_VERIFY(w.scrollArea->verticalScrollBar()->maximum() > 0);
        QVERIFY(w.scrollArea->horizontalScrollBar()->maximum() > 0);
        w.resize(823, 741);
        QTRY_COMPARE(w.scrollArea->verticalScrollBar()->maximum(), 0);
    }

    void undoDoesNothingAndToolsCannotBePressed()
    {
        Sandbox sandbox;
        RecordingPrompts prompts;
        TfrmMain w;
        const QString caption = w.windowTitle();
        QTest::mouseClick(w.SpeedButtonUndoForm, Qt::LeftButton);
        QCOMPARE(w.windowTitle(), caption);
        QVERIFY(prompts.messages.isEmpty());
        QVERIFY(!w.SpeedButtonTools->isEnabled());
    }

    void guardShowsOwnErrorsWithFullStop()
    {
        RecordingPrompts prompts;
        QVERIFY(!runGuarded([] { throw EInOutError(EInOutError::kReadBeyondEnd); }));
        QVERIFY(!runGuarded([] { throw std::runtime_error("plain"); }));
        QVERIFY(!runGuarded([] { throw 42; }));
        QVERIFY(runGuarded([] {}));
        QCOMPARE(prompts.messages,
                 QStringList({QStringLiteral("Read beyond end of file."), QStringLiteral("plain."),
                              QStringLiteral("Unknown error.")}));
        QCOMPARE(prompts.titles, QStringList(3, QStringLiteral("Создание форм для фонтанов")));
    }

    void guardedConnectStopsExceptionsAtTheSlot()
    {
        RecordingPrompts prompts;
        QScrollBar bar;
        bar.setRange(0, 10);
        int seen = -1;
        guardedConnect(&bar, &QScrollBar::valueChanged, &bar, [&](int v) {
            seen = v;
            throw EAppError(QStringLiteral("Nope"));
        });
        bar.setValue(4); // would terminate the program if the exception escaped
        QCOMPARE(seen, 4);
        QCOMPARE(prompts.messages, QStringList{QStringLiteral("Nope.")});
    }

    void realErrorBoxIsCriticalAndTitled()
    {
        // The real message box, answered through the active modal widget.
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            box->accept();
        });
        showTopLevelError(EAppError(QStringLiteral("Disk full")));
        QCOMPARE(title, QStringLiteral("Создание форм для фонтанов"));
        QCOMPARE(text, QStringLiteral("Disk full."));
        QCOMPARE(icon, QMessageBox::Critical);
    }
};

QTEST_MAIN(TestApp)
#include "tst_app.moc"
