// The keyboard: arrows move every scroll bar the way they point, a focused
// bar shows it, and a form is written without the mouse.
#include "sim/window_gl_form.h"
#include "tests/support/window_fixture.h"
#include "widgets/cp1251_validator.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

class TestKeyboard : public QObject
{
    Q_OBJECT

  private slots:
    void arrowsFollowThePicture_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("expected");
        // Horizontal bars: Right moves the thumb right, to a larger value.
        QTest::newRow("seconds right") << "ScrollBarEditSek" << 30 << int(Qt::Key_Right) << 31;
        QTest::newRow("seconds left") << "ScrollBarEditSek" << 30 << int(Qt::Key_Left) << 29;
        QTest::newRow("form right") << "ScrollBarNomberForm" << 5 << int(Qt::Key_Right) << 6;
        QTest::newRow("travel left") << "ScrollBarTimeZadv3" << 60 << int(Qt::Key_Left) << 59;
        QTest::newRow("demo right") << "ScrollBarDemoTime" << 2 << int(Qt::Key_Right) << 3;
        // Valve bars: Up moves the thumb up, towards 0, the full jet; with
        // the "%" button's step of 1.
        QTest::newRow("valve up") << "ScrollBarZadvizka1" << 100 << int(Qt::Key_Up) << 99;
        QTest::newRow("valve down") << "ScrollBarZadvizka8" << 100 << int(Qt::Key_Down) << 101;
    }
    void arrowsFollowThePicture()
    {
        QFETCH(QString, name);
        QFETCH(int, start);
        QFETCH(int, key);
        QFETCH(int, expected);
        WindowFixture x;
        x.button("SpeedButtonNoKoncevik")->click();
        QScrollBar *bar = x.bar(name);
        bar->setValue(start);
        QTest::keyClick(bar, Qt::Key(key));
        QCOMPARE(bar->value(), expected);
    }

    void simulationBarsToo()
    {
        WindowFixture x;
        TWindowGLForm gl(x.w().guard());
        auto *bar = findNamed<QScrollBar>(&gl, QStringLiteral("ScrollBar3"));
        QTest::keyClick(bar, Qt::Key_Right);
        QCOMPARE(bar->value(), 1);
    }

    void focusedBarShowsIt()
    {
        WindowFixture x;
        TfrmMain &w = x.w();
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QScrollBar *bar = x.bar("ScrollBarEditSek");
        x.edit("EditNameForm")->setFocus();
        const QImage before = bar->grab().toImage();
        bar->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(bar->hasFocus());
        QVERIFY(bar->grab().toImage() != before);
    }

    void okFromTheKeyboard()
    {
        WindowFixture x;
        TfrmMain &w = x.w();
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QVERIFY(x.button("SpeedButtonEdit")
                    ->toolTip()
                    .startsWith(QStringLiteral("Записать форму в память ")));
        QLineEdit *name = x.edit("EditNameForm");
        const auto written = [&x](int slot) { return x.store().ReadForm(slot).name; };

        name->setFocus();
        name->setText(QStringLiteral("Enter"));
        QTest::keyClick(name, Qt::Key_Return);
        QCOMPARE(written(0), QStringLiteral("Enter"));

        // With "запись +1 " ticked one press writes one slot, wherever the focus is.
        x.check("CheckBoxPlus")->setChecked(true);
        name->setText(QStringLiteral("Ctrl"));
        QTest::keyClick(name, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(written(0), QStringLiteral("Ctrl"));
        QCOMPARE(x.bar("ScrollBarNomberForm")->value(), 1);
        x.bar("ScrollBarEditSek")->setFocus();
        QTest::keyClick(x.bar("ScrollBarEditSek"), Qt::Key_Enter, Qt::ControlModifier);
        QCOMPARE(written(1), QStringLiteral("Ctrl"));
        QCOMPARE(x.bar("ScrollBarNomberForm")->value(), 2);

        // While the sequencer plays OK is disabled, and so are its keys.
        x.button("SpeedButtonPlay")->click();
        QTest::keyClick(name, Qt::Key_Return);
        QTest::keyClick(name, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(written(2), QString());
    }

    // A letter Windows-1251 cannot hold once went into the box and then, as
    // '?', into the store or the settings file. Now a key or a paste that
    // brings one in is refused whole, with a hint naming it; a full box
    // refuses silently, as it did.
    void namesTakeOnlyWhatTheFilesHold_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");  // one key per character, at the end of "R"
        QTest::addColumn<QString>("pasted"); // then over the whole text
        QTest::addColumn<QString>("after");
        QTest::addColumn<QStringList>("named"); // in each hint shown
        QTest::newRow("form: typed") << "EditNameForm"
                                     << "éЁж€ß" << QString() << "RЁж€" << QStringList{"«é»", "«ß»"};
        QTest::newRow("form: full") << "EditNameForm"
                                    << "abcdeé" << QString() << "Rabcde" << QStringList();
        QTest::newRow("valve: paste refused whole")
            << "EditNameZadv1"
            << "Ж" << QStringLiteral("x\U0001F600e\u0301ΩΩ\u200B") << "RЖ"
            << QStringList{"«😀», U+0301, «Ω», U+200B"};
        QTest::newRow("valve: six refused") << "EditNameZadv1" << QString() << "αβγδεζ"
                                            << "R" << QStringList{"«α», «β», «γ», «δ», «ε» …"};
    }
    void namesTakeOnlyWhatTheFilesHold()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, pasted);
        QFETCH(QString, after);
        QFETCH(QStringList, named);
        WindowFixture x;
        QLineEdit *edit = x.edit(box);
        QSignalSpy hints(qobject_cast<const Cp1251Validator *>(edit->validator()),
                         &Cp1251Validator::refused);
        QVERIFY(hints.isValid());
        edit->setText(QStringLiteral("R"));
        for (const QChar c : typed) {
            edit->end(false); // a box without the focus shows its beginning
            QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(edit, &key);
        }
        if (!pasted.isNull()) {
            QGuiApplication::clipboard()->setText(pasted);
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        }
        QCOMPARE(edit->text(), after);
        const QString file = box == "EditNameForm" ? "форм" : "настроек";
        QStringList expected;
        for (const QString &n : named)
            expected << "Нельзя ввести " + n + ":\nв файле " + file +
                            " хранятся только символы Windows-1251";
        QCOMPARE(hints.size(), expected.size());
        for (qsizetype i = 0; i < hints.size(); ++i)
            QCOMPARE(hints.at(i).at(0).toString(), expected.at(i));
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
