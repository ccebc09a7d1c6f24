// The form editing panel and the list operations, driven through the real main
// window's controls.
#include "app/main_window.h"
#include "player/gauge.h"
#include "store/form_store.h"
#include "tests/test_support.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {

struct Window
{
    Sandbox sandbox;
    RecordingPrompts prompts;
    TfrmMain w;
};

struct PanelForm
{
    std::array<int, 8> positions{};
    QString name;
    int min = 0;
    int sek = 0;
    friend bool operator==(const PanelForm &, const PanelForm &) = default;
};

void fillPanel(TfrmMain &w, const PanelForm &f)
{
    for (int v = 0; v < 8; ++v)
        w.ScrollBarZadvizka[v]->setValue(f.positions[v]);
    w.EditNameForm->setText(f.name);
    w.ScrollBarEditMin->setValue(f.min);
    w.ScrollBarEditSek->setValue(f.sek);
}

PanelForm panelOf(const TfrmMain &w)
{
    PanelForm f;
    for (int v = 0; v < 8; ++v)
        f.positions[v] = w.ScrollBarZadvizka[v]->value();
    f.name = w.EditNameForm->text();
    f.min = w.ScrollBarEditMin->value();
    f.sek = w.ScrollBarEditSek->value();
    return f;
}

PanelForm samplePanel(int seed, const QString &name)
{
    PanelForm f;
    for (int v = 0; v < 8; ++v)
        f.positions[v] = (seed * 37 + v * 29) % 256;
    f.name = name;
    f.min = seed % 60;
    f.sek = (seed * 7 + 1) % 60;
    return f;
}

// Writes a form into a slot the way the operator does: number, panel, OK.
void writeSlot(TfrmMain &w, int slot, const PanelForm &f)
{
    w.ScrollBarNomberForm->setValue(slot);
    fillPanel(w, f);
    w.SpeedButtonEdit->click();
}

// The 16 bytes a slot owns in bank 0: level and detail byte of each plane.
QByteArray slotBytes(const QByteArray &image, int slot)
{
    QByteArray b;
    for (int plane = 0; plane < 8; ++plane) {
        b.append(image[plane * 256 + slot]);
        b.append(image[plane * 256 + 128 + slot]);
    }
    return b;
}

QList<QByteArray> allSlots(const QByteArray &image)
{
    QList<QByteArray> all;
    for (int s = 0; s < 128; ++s)
        all << slotBytes(image, s);
    return all;
}

// A store full of different bytes in every bank, travel times included.
QByteArray noisyImage()
{
    QByteArray image(FormStore::kSize, Qt::Uninitialized);
    for (int i = 0; i < image.size(); ++i)
        image[i] = char((i * 131 + i / 256 * 17 + 5) % 251);
    return image;
}

} // namespace

namespace QTest {
template <> char *toString(const PanelForm &f)
{
    QString s;
    for (int p : f.positions)
        s += QString::number(p) + u' ';
    return qstrdup(
        qPrintable(s + u'"' + f.name + u'"' + QStringLiteral(" %1:%2").arg(f.min).arg(f.sek)));
}
} // namespace QTest

class TestEditor : public QObject
{
    Q_OBJECT

  private slots:
    void panelControlsStandWhereDrawn_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("hint");
        for (int v = 1; v <= 8; ++v)
            QTest::addRow("valve%d", v) << QStringLiteral("ScrollBarZadvizka%1").arg(v)
                                        << QRect(16 + 32 * (v - 1), 48, 16, 121)
                                        << QStringLiteral("Установка новой высоты струи ");
        QTest::newRow("number") << "ScrollBarNomberForm" << QRect(288, 27, 73, 16)
                                << QStringLiteral("Номер редактируемой формы ");
        QTest::newRow("name") << "EditNameForm" << QRect(288, 67, 73, 21)
                              << QStringLiteral("Имя формы ");
        QTest::newRow("min") << "ScrollBarEditMin" << QRect(288, 107, 73, 16)
                             << QStringLiteral("Время удержания формы - минуты ");
        QTest::newRow("sek") << "ScrollBarEditSek" << QRect(288, 131, 73, 16)
                             << QStringLiteral("Время удержания формы - секунды ");
        QTest::newRow("coda") << "SpeedButtonCodaEdit" << QRect(432, 117, 33, 22)
                              << QStringLiteral("Отметить эту форму как последнею ");
        QTest::newRow("k2") << "SpeedButton2Koncevik" << QRect(288, 168, 23, 22)
                            << QStringLiteral("Количество концевиков = 2");
        QTest::newRow("k3") << "SpeedButton3Koncevik" << QRect(312, 168, 23, 22)
                            << QStringLiteral("Количество концевиков = 3");
        QTest::newRow("k4") << "SpeedButton4Koncevik" << QRect(336, 168, 23, 22)
                            << QStringLiteral("Количество концевиков = 4");
        QTest::newRow("k%") << "SpeedButtonNoKoncevik" << QRect(360, 168, 23, 22)
                            << QStringLiteral("Регулировка по времени ");
        QTest::newRow("ok") << "SpeedButtonEdit" << QRect(400, 168, 73, 22)
                            << QStringLiteral("Записать форму в память ");
        QTest::newRow("plus") << "CheckBoxPlus" << QRect(400, 152, -1, -1)
                              << QStringLiteral(
                                     "При установке флажка устанавливается следующая форма ");
    }
    void panelControlsStandWhereDrawn()
    {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        QFETCH(QString, hint);
        Window f;
        auto *c = f.w.GroupBoxEDIT->findChild<QWidget *>(name);
        QVERIFY2(c, qPrintable(name));
        QCOMPARE(c->parentWidget(), f.w.GroupBoxEDIT);
        QCOMPARE(c->pos(), geometry.topLeft());
        if (geometry.width() > 0)
            QCOMPARE(c->size(), geometry.size());
        QCOMPARE(c->toolTip(), hint);
        QCOMPARE(c->cursor().shape(),
                 name == u"EditNameForm" ? Qt::IBeamCursor : Qt::PointingHandCursor);
    }

    void focusRunsThroughBarsThenTheRightColumn()
    {
        Window f;
        TfrmMain &w = f.w;
        QList<QWidget *> expected(w.ScrollBarZadvizka.begin(), w.ScrollBarZadvizka.end());
        expected << w.ScrollBarNomberForm << w.EditNameForm << w.ScrollBarEditMin
                 << w.ScrollBarEditSek << w.CheckBoxPlus;
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        expected.first()->setFocus(Qt::TabFocusReason);
        for (int i = 1; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), expected[i]);
        }
    }

    void firstStartShowsSlotOneCleared()
    {
        Window f;
        TfrmMain &w = f.w;
        QCOMPARE(w.ScrollBarNomberForm->value(), 0);
        QCOMPARE(w.LabelNomberForm->text(), QStringLiteral(" Форма N 1"));
        for (int v = 0; v < 8; ++v) {
            QCOMPARE(w.ScrollBarZadvizka[v]->value(), 255);
            QCOMPARE(w.LabelZadvizka[v]->text(), QStringLiteral("0%"));
            QCOMPARE(w.LabelZadvizka[v]->objectName(),
                     QStringLiteral("LabelZadvizka%1").arg(v + 1));
            QCOMPARE(w.gaugeTargets[v], 0);
        }
        QCOMPARE(w.EditNameForm->text(), QString());
        QCOMPARE(w.LabelEditMin->text(), QStringLiteral("0 Мин "));
        QCOMPARE(w.LabelEditSek->text(), QStringLiteral("0 Сек "));
        QVERIFY(!w.CheckBoxPlus->isChecked());
        QCOMPARE(w.koncevikGroup->checkedButton(), w.SpeedButton2Koncevik);
        QVERIFY(!w.SpeedButtonPasteForm->isEnabled());
        QCOMPARE(w.LabelZadvizkaInfo->text(),
                 QStringLiteral("1    2    3     4     5    6    7     8"));
        QCOMPARE(w.SpeedButtonEdit->text(), QStringLiteral("ОК"));
        QCOMPARE(w.SpeedButtonNoKoncevik->text(), QStringLiteral("%"));
        QCOMPARE(w.CheckBoxPlus->text(), QStringLiteral("запись +1 "));
    }

    void writeThenReloadShowsTheSameForm_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("slot 0") << 0 << QStringLiteral("Ёлка") << QStringLiteral("Ёлка");
        QTest::newRow("slot 41, six letters")
            << 41 << QStringLiteral("Фонтан") << QStringLiteral("Фонта");
        QTest::newRow("slot 99, empty") << 99 << QString() << QString();
    }
    void writeThenReloadShowsTheSameForm()
    {
        QFETCH(int, slot);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        Window f;
        TfrmMain &w = f.w;
        PanelForm form = samplePanel(slot + 3, typed);
        form.positions[0] = 0;   // full jet
        form.positions[7] = 255; // no jet
        writeSlot(w, slot, form);

        const FountainForm inStore = FormStore::instance().ReadForm(slot);
        QCOMPARE(inStore.levels[0], 255);
        QCOMPARE(inStore.levels[7], 0);
        QCOMPARE(inStore.name, stored);

        w.ScrollBarNomberForm->setValue(50);
        PanelForm never; // a slot never written: bars at the bottom, 0 min 0 s
        never.positions.fill(255);
        QCOMPARE(panelOf(w), never);
        w.ScrollBarNomberForm->setValue(slot);
        PanelForm expected = form;
        expected.name = stored;
        QCOMPARE(panelOf(w), expected);
        QCOMPARE(w.LabelNomberForm->text(), QStringLiteral(" Форма N %1").arg(slot + 1));
        for (int v = 0; v < 8; ++v)
            QCOMPARE(int(w.gaugeTargets[v]), 255 - form.positions[v]);
    }

    void percentLabels_data()
    {
        QTest::addColumn<int>("valve");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("label");
        QTest::newRow("top") << 1 << 0 << "100%";
        QTest::newRow("127") << 3 << 127 << "50%";
        QTest::newRow("128") << 5 << 128 << "49%";
        QTest::newRow("254") << 7 << 254 << "0%";
        QTest::newRow("bottom") << 8 << 255 << "0%";
    }
    void percentLabels()
    {
        QFETCH(int, valve);
        QFETCH(int, position);
        QFETCH(QString, label);
        Window f;
        QScrollBar *bar = f.w.ScrollBarZadvizka[valve - 1];
        bar->setValue(100); // away from every row's position
        QCOMPARE(f.w.LabelZadvizka[valve - 1]->text(), QStringLiteral("60%"));
        bar->setValue(position);
        QCOMPARE(f.w.LabelZadvizka[valve - 1]->text(), label);
    }

    void limitSwitchSteps_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("start");
        QTest::addColumn<QList<int>>("stops");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("2 from top")
            << "SpeedButton2Koncevik" << 0 << QList<int>{0, 255} << QStringList{"100%", "0%"};
        QTest::newRow("2 from bottom")
            << "SpeedButton2Koncevik" << 255 << QList<int>{255, 0} << QStringList{"0%", "100%"};
        QTest::newRow("3 from top") << "SpeedButton3Koncevik" << 0 << QList<int>{0, 128, 255}
                                    << QStringList{"100%", "49%", "0%"};
        QTest::newRow("3 from bottom") << "SpeedButton3Koncevik" << 255 << QList<int>{255, 127, 0}
                                       << QStringList{"0%", "50%", "100%"};
        QTest::newRow("4 from top") << "SpeedButton4Koncevik" << 0 << QList<int>{0, 86, 172, 255}
                                    << QStringList{"100%", "66%", "32%", "0%"};
        QTest::newRow("4 from bottom")
            << "SpeedButton4Koncevik" << 255 << QList<int>{255, 169, 83, 0}
            << QStringList{"0%", "33%", "67%", "100%"};
        QList<int> every;
        for (int p = 0; p <= 255; ++p)
            every << p;
        QTest::newRow("% from top") << "SpeedButtonNoKoncevik" << 0 << every << QStringList();
        std::reverse(every.begin(), every.end());
        QTest::newRow("% from bottom") << "SpeedButtonNoKoncevik" << 255 << every << QStringList();
    }
    void limitSwitchSteps()
    {
        QFETCH(QString, button);
        QFETCH(int, start);
        QFETCH(QList<int>, stops);
        QFETCH(QStringList, labels);
        Window f;
        TfrmMain &w = f.w;
        // Leave the start-up mode first, so the button under test really changes it.
        w.SpeedButtonNoKoncevik->click();
        if (button == u"SpeedButtonNoKoncevik")
            w.SpeedButton3Koncevik->click();
        auto *b = w.GroupBoxEDIT->findChild<QToolButton *>(button);
        QVERIFY(b);
        b->click();
        QCOMPARE(w.koncevikGroup->checkedButton(), b);
        const QList<QAbstractButton *> all = w.koncevikGroup->buttons();
        QCOMPARE(std::count_if(all.begin(), all.end(), [](auto *x) { return x->isChecked(); }), 1);

        for (int valve = 1; valve <= 8; valve += 7) { // the first and the last bar
            QScrollBar *bar = w.ScrollBarZadvizka[valve - 1];
            QCOMPARE(bar->pageStep(), 20); // the same in every mode
            bar->setValue(start);
            const auto action = start == 0 ? QAbstractSlider::SliderSingleStepAdd
                                           : QAbstractSlider::SliderSingleStepSub;
            QList<int> seen{bar->value()};
            QStringList seenLabels{w.LabelZadvizka[valve - 1]->text()};
            for (int i = 0; i < 300 && bar->value() != 255 - start; ++i) {
                bar->triggerAction(action);
                seen << bar->value();
                seenLabels << w.LabelZadvizka[valve - 1]->text();
            }
            QCOMPARE(seen, stops);
            if (!labels.isEmpty())
                QCOMPARE(seenLabels, labels);
        }
    }

    void plusBoxTitlesOnlyAndOkMovesOn()
    {
        Window f;
        TfrmMain &w = f.w;
        const PanelForm stored5 = samplePanel(5, QStringLiteral("пять"));
        writeSlot(w, 5, stored5);
        w.ScrollBarNomberForm->setValue(4);
        const PanelForm edited = samplePanel(9, QStringLiteral("abc"));
        fillPanel(w, edited);
        const auto targets = w.gaugeTargets;

        w.CheckBoxPlus->setChecked(true);
        w.ScrollBarNomberForm->setValue(5); // would load "пять" without the box
        QCOMPARE(w.LabelNomberForm->text(), QStringLiteral(" Форма N 6"));
        QCOMPARE(panelOf(w), edited);
        QCOMPARE(w.gaugeTargets, targets);

        w.SpeedButtonEdit->click();
        QCOMPARE(w.ScrollBarNomberForm->value(), 6);
        QCOMPARE(w.LabelNomberForm->text(), QStringLiteral(" Форма N 7"));
        QCOMPARE(panelOf(w), edited);
        QCOMPARE(FormStore::instance().ReadForm(5).name, QStringLiteral("abc"));
        QCOMPARE(FormStore::instance().ReadForm(6), FountainForm{}); // not yet written
    }

    void plusBoxAtTheLastSlotStays()
    {
        Window f;
        TfrmMain &w = f.w;
        w.ScrollBarNomberForm->setValue(99);
        w.CheckBoxPlus->setChecked(true);
        const PanelForm form = samplePanel(99, QStringLiteral("last"));
        fillPanel(w, form);
        w.SpeedButtonEdit->click();
        QCOMPARE(w.ScrollBarNomberForm->value(), 99);
        QCOMPARE(w.LabelNomberForm->text(), QStringLiteral(" Форма N 100"));
        QCOMPARE(FormStore::instance().ReadForm(99).name, QStringLiteral("last"));
        QCOMPARE(panelOf(w), form);
    }

    void codaButtonTouchesOnlyTheHoldBytes()
    {
        Window f;
        TfrmMain &w = f.w;
        const PanelForm form = samplePanel(4, QStringLiteral("кода"));
        writeSlot(w, 4, form);
        const QByteArray before = FormStore::instance().image();
        const SlotAddress a = FormStore::instance().UstAdrBufer(4);

        w.SpeedButtonCodaEdit->click();

        const QByteArray after = FormStore::instance().image();
        for (int i = 0; i < FormStore::kSize; ++i) {
            if (i == a.name + 6 * 256 || i == a.name + 7 * 256)
                QCOMPARE(after[i], char(0));
            else if (after[i] != before[i])
                QFAIL(qPrintable(QStringLiteral("byte %1 changed").arg(i)));
        }
        QVERIFY(FormStore::instance().ReadForm(4).isCoda());
        PanelForm expected = form;
        expected.min = expected.sek = 0;
        QCOMPARE(panelOf(w), expected);
        // The strip has been refreshed: slot 4 is in its fifth window.
        QCOMPARE(w.LabelTimeWin[4]->text(), QStringLiteral("0 Мин 0 Сек "));
    }

    void movingAValveBarAloneChangesNeitherStoreNorGauges()
    {
        Window f;
        const QByteArray before = FormStore::instance().image();
        const auto targets = f.w.gaugeTargets;
        f.w.ScrollBarZadvizka[2]->setValue(10);
        QCOMPARE(f.w.LabelZadvizka[2]->text(), QStringLiteral("96%"));
        QCOMPARE(FormStore::instance().image(), before);
        QCOMPARE(f.w.gaugeTargets, targets);
    }

    void storedHoldAboveFiftyNineShowsFiftyNine()
    {
        Window f;
        FountainForm form;
        form.holdMin = 75;
        form.holdSek = 200;
        FormStore::instance().WriteForm(12, form);
        f.w.ScrollBarNomberForm->setValue(12);
        QCOMPARE(f.w.LabelEditMin->text(), QStringLiteral("59 Мин "));
        QCOMPARE(f.w.LabelEditSek->text(), QStringLiteral("59 Сек "));
    }

    // ---- list operations ----

    void insertAndDelete_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<bool>("insert");
        QTest::newRow("insert at 0") << 0 << true;
        QTest::newRow("insert at 99") << 99 << true;
        QTest::newRow("delete at 0") << 0 << false;
        QTest::newRow("delete at 99") << 99 << false;
    }
    void insertAndDelete()
    {
        QFETCH(int, slot);
        QFETCH(bool, insert);
        Window f;
        TfrmMain &w = f.w;
        FormStore &store = FormStore::instance();
        QVERIFY(store.replaceImage(noisyImage()));
        w.ScrollBarNomberForm->setValue(slot);
        const QByteArray before = store.image();
        const QList<QByteArray> old = allSlots(before);

        // The expected list: slots 0..101 move, 102..127 stay.
        QList<QByteArray> expected;
        if (insert) {
            expected = old.mid(0, 102);
            expected.insert(slot, old[slot]);
            expected.removeLast();
        } else {
            expected = old.mid(0, 103);
            expected.removeAt(slot);
        }
        expected += old.mid(102);
        QCOMPARE(expected.size(), 128);

        (insert ? w.SpeedButtonInsert : w.SpeedButtonDeleteForm)->click();

        const QByteArray after = store.image();
        QCOMPARE(allSlots(after), expected);
        QCOMPARE(after.mid(FormStore::kBankSize), before.mid(FormStore::kBankSize));
        // Panel and strip show the new content.
        QCOMPARE(w.EditNameForm->text(), store.ReadForm(slot).name);
        QCOMPARE(w.LabelNameFormWin[0]->text(), store.ReadForm(0).name);
    }

    void insertThenDeleteRestoresTheList_data()
    {
        QTest::addColumn<int>("slot");
        QTest::newRow("0") << 0;
        QTest::newRow("50") << 50;
        QTest::newRow("99") << 99;
    }
    void insertThenDeleteRestoresTheList()
    {
        QFETCH(int, slot);
        Window f;
        FormStore &store = FormStore::instance();
        QVERIFY(store.replaceImage(noisyImage()));
        f.w.ScrollBarNomberForm->setValue(slot);
        const QList<QByteArray> old = allSlots(store.image());
        f.w.SpeedButtonInsert->click();
        f.w.SpeedButtonDeleteForm->click();
        const QList<QByteArray> now = allSlots(store.image());
        QCOMPARE(now.mid(0, 101), old.mid(0, 101));
        QCOMPARE(now[101], old[102]);
        QCOMPARE(now.mid(102), old.mid(102));
    }

    void copyAndPasteTakeUnsavedPanelEdits()
    {
        Window f;
        TfrmMain &w = f.w;
        FormStore &store = FormStore::instance();
        writeSlot(w, 3, samplePanel(3, QStringLiteral("три")));
        writeSlot(w, 10, samplePanel(10, QStringLiteral("десять")));
        const FountainForm slot3 = store.ReadForm(3);

        w.SpeedButtonPasteForm->click(); // disabled: nothing happens
        QCOMPARE(store.ReadForm(10).name, QStringLiteral("десят"));

        w.ScrollBarNomberForm->setValue(3);
        const PanelForm edited = samplePanel(21, QStringLiteral("Правка"));
        fillPanel(w, edited);
        w.SpeedButtonCopyForm->click();
        QVERIFY(w.SpeedButtonPasteForm->isEnabled());
        QCOMPARE(store.ReadForm(3), slot3);

        w.ScrollBarNomberForm->setValue(10);
        w.CheckBoxPlus->setChecked(true);
        w.SpeedButtonPasteForm->click();
        QVERIFY(!w.CheckBoxPlus->isChecked());
        QCOMPARE(w.ScrollBarNomberForm->value(), 10);

        const FountainForm pasted = store.ReadForm(10);
        for (int v = 0; v < 8; ++v)
            QCOMPARE(int(pasted.levels[v]), 255 - edited.positions[v]);
        QCOMPARE(pasted.name, QStringLiteral("Правк"));
        QCOMPARE(int(pasted.holdMin), edited.min);
        QCOMPARE(int(pasted.holdSek), edited.sek);
        QCOMPARE(store.ReadForm(3), slot3);
        // The panel has reloaded slot 10, so it shows the stored five letters.
        QCOMPARE(w.EditNameForm->text(), QStringLiteral("Правк"));
        QCOMPARE(w.LabelNameFormWin[6]->text(), QString()); // strip at 0: slot 6
        w.ScrollBarFormVewer->setValue(10);
        QCOMPARE(w.LabelNameFormWin[0]->text(), QStringLiteral("Правк"));
    }

    void cutRemovesTheSlotAndPastePutsItBack()
    {
        Window f;
        TfrmMain &w = f.w;
        FormStore &store = FormStore::instance();
        for (int s = 0; s < 5; ++s)
            writeSlot(w, s, samplePanel(s + 1, QStringLiteral("F%1").arg(s)));
        const FountainForm two = store.ReadForm(2);
        const FountainForm three = store.ReadForm(3);

        w.ScrollBarNomberForm->setValue(2);
        w.SpeedButtonCutForm->click();
        QVERIFY(w.SpeedButtonPasteForm->isEnabled());
        QCOMPARE(store.ReadForm(2), three);
        QCOMPARE(w.EditNameForm->text(), QStringLiteral("F3"));
        QCOMPARE(w.LabelNameFormWin[2]->text(), QStringLiteral("F3"));

        w.SpeedButtonInsert->click();
        w.SpeedButtonPasteForm->click();
        QCOMPARE(store.ReadForm(2), two);
        QCOMPARE(store.ReadForm(3), three);
    }

    void listOperationsWithPlusBoxLeaveThePanelAlone()
    {
        Window f;
        TfrmMain &w = f.w;
        writeSlot(w, 0, samplePanel(1, QStringLiteral("one")));
        writeSlot(w, 1, samplePanel(2, QStringLiteral("two")));
        w.ScrollBarNomberForm->setValue(0);
        w.CheckBoxPlus->setChecked(true);
        const PanelForm shown = panelOf(w);
        w.SpeedButtonDeleteForm->click();
        QCOMPARE(FormStore::instance().ReadForm(0).name, QStringLiteral("two"));
        QCOMPARE(w.LabelNameFormWin[0]->text(), QStringLiteral("two"));
        QCOMPARE(panelOf(w), shown);
    }

    void clearTouchesOnlyThePanelAndOkStoresIt()
    {
        Window f;
        TfrmMain &w = f.w;
        writeSlot(w, 8, samplePanel(8, QStringLiteral("восемь")));
        w.ScrollBarNomberForm->setValue(7);
        w.ScrollBarNomberForm->setValue(8);
        const QByteArray before = FormStore::instance().image();
        const auto targets = w.gaugeTargets;
        const QString stripName = w.LabelNameFormWin[1]->text();

        w.SpeedButtonClearForm->click();
        PanelForm cleared;
        cleared.positions.fill(255);
        cleared.min = 1;
        QCOMPARE(panelOf(w), cleared);
        QCOMPARE(w.LabelZadvizka[0]->text(), QStringLiteral("0%"));
        QCOMPARE(w.LabelEditMin->text(), QStringLiteral("1 Мин "));
        QCOMPARE(FormStore::instance().image(), before);
        QCOMPARE(w.gaugeTargets, targets);
        QCOMPARE(w.ScrollBarNomberForm->value(), 8);
        QCOMPARE(w.LabelNameFormWin[1]->text(), stripName);

        w.SpeedButtonEdit->click();
        FountainForm expected;
        expected.holdMin = 1;
        QCOMPARE(FormStore::instance().ReadForm(8), expected);
        QVERIFY(!FormStore::instance().ReadForm(8).isCoda());
    }
};

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
