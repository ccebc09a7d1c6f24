// The form editing panel and the list operations, driven through the real main
// window's controls.
#include "core/form_store.h"
#include "player/live_gauges.h"
#include "player/strip_viewer.h"
#include "tests/support/window_fixture.h"

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

// What the panel shows: the valve bars (0 = full jet), the name and the hold time.
struct PanelView
{
    std::array<int, 8> positions{};
    QString name;
    int min = 0;
    int sek = 0;
    friend bool operator==(const PanelView &, const PanelView &) = default;
};

void fillPanel(const WindowFixture &w, const PanelView &f)
{
    for (int v = 0; v < 8; ++v)
        w.bar("ScrollBarZadvizka", v + 1)->setValue(f.positions[v]);
    w.edit("EditNameForm")->setText(f.name);
    w.bar("ScrollBarEditMin")->setValue(f.min);
    w.bar("ScrollBarEditSek")->setValue(f.sek);
}

PanelView panelOf(const WindowFixture &w)
{
    PanelView f;
    for (int v = 0; v < 8; ++v)
        f.positions[v] = w.bar("ScrollBarZadvizka", v + 1)->value();
    f.name = w.edit("EditNameForm")->text();
    f.min = w.bar("ScrollBarEditMin")->value();
    f.sek = w.bar("ScrollBarEditSek")->value();
    return f;
}

PanelView samplePanel(int seed, const QString &name)
{
    PanelView f{{}, name, seed % 60, (seed * 7 + 1) % 60};
    for (int v = 0; v < 8; ++v)
        f.positions[v] = (seed * 37 + v * 29) % 256;
    return f;
}

// What a slot never written, or a cleared panel, shows: every bar at the bottom.
PanelView emptyPanel(int min)
{
    PanelView f{{}, QString(), min, 0};
    f.positions.fill(255);
    return f;
}

// Writes a form into a slot the way the operator does: number, panel, OK.
void writeSlot(const WindowFixture &w, int slot, const PanelView &f)
{
    w.bar("ScrollBarNomberForm")->setValue(slot);
    fillPanel(w, f);
    w.button("SpeedButtonEdit")->click();
}

// The 16 bytes each slot owns in bank 0: level and detail byte of each plane.
QList<QByteArray> allSlots(const QByteArray &image)
{
    using namespace form_layout;
    QList<QByteArray> all(kSlots);
    for (int s = 0; s < kSlots; ++s)
        for (int plane = 0; plane < kPlanes; ++plane)
            all[s] += image.mid(planeByte(levelIndex(kFormBank, s), plane), 1) +
                      image.mid(planeByte(nameIndex(levelIndex(kFormBank, s)), plane), 1);
    return all;
}

// A store full of different bytes in every bank, travel times included.
QByteArray noisyImage()
{
    QByteArray image(form_layout::kImageSize, Qt::Uninitialized);
    for (int i = 0; i < image.size(); ++i)
        image[i] = char((i * 131 + i / 256 * 17 + 5) % 251);
    return image;
}

} // namespace

namespace QTest {
template <> char *toString(const PanelView &f)
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
    std::unique_ptr<WindowFixture> f; // a fresh window with its own settings and store

  private slots:
    void init() { f = std::make_unique<WindowFixture>(); }
    void cleanup() { f.reset(); }

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
        PanelView form = samplePanel(slot + 3, typed);
        form.positions[0] = 0;   // full jet
        form.positions[7] = 255; // no jet
        writeSlot(*f, slot, form);

        const FountainForm inStore = f->store().ReadForm(slot);
        QCOMPARE(inStore.levels[0], 255);
        QCOMPARE(inStore.levels[7], 0);
        QCOMPARE(inStore.name, stored);

        f->bar("ScrollBarNomberForm")->setValue(50);
        QCOMPARE(panelOf(*f), emptyPanel(0));
        f->bar("ScrollBarNomberForm")->setValue(slot);
        form.name = stored;
        QCOMPARE(panelOf(*f), form);
        QCOMPARE(f->label("LabelNomberForm")->text(), QStringLiteral(" Форма N %1").arg(slot + 1));
        for (int v = 0; v < 8; ++v)
            QCOMPARE(int(f->gauges()->targets()[v]), 255 - form.positions[v]);
    }

    // The arrows of the valve bars step by the limit-switch mode, and the percent
    // labels follow the bars.
    void limitSwitchStepsAndPercentLabels_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("start");
        QTest::addColumn<QList<int>>("stops");
        QTest::newRow("2 from top") << "SpeedButton2Koncevik" << 0 << QList<int>{0, 255};
        QTest::newRow("2 from bottom") << "SpeedButton2Koncevik" << 255 << QList<int>{255, 0};
        QTest::newRow("3 from top") << "SpeedButton3Koncevik" << 0 << QList<int>{0, 128, 255};
        QTest::newRow("3 from bottom") << "SpeedButton3Koncevik" << 255 << QList<int>{255, 127, 0};
        QTest::newRow("4 from top") << "SpeedButton4Koncevik" << 0 << QList<int>{0, 86, 172, 255};
        QTest::newRow("4 from bottom")
            << "SpeedButton4Koncevik" << 255 << QList<int>{255, 169, 83, 0};
        QList<int> every;
        for (int p = 0; p <= 255; ++p)
            every << p;
        QTest::newRow("% from top") << "SpeedButtonNoKoncevik" << 0 << every;
        std::reverse(every.begin(), every.end());
        QTest::newRow("% from bottom") << "SpeedButtonNoKoncevik" << 255 << every;
    }
    void limitSwitchStepsAndPercentLabels()
    {
        QFETCH(QString, button);
        QFETCH(int, start);
        QFETCH(QList<int>, stops);
        const QMap<int, QString> labels{{0, "100%"},  {86, "66%"}, {127, "50%"},
                                        {128, "49%"}, {254, "0%"}, {255, "0%"}};
        QCOMPARE(f->find<QButtonGroup>("koncevikGroup")->checkedButton(),
                 f->button("SpeedButton2Koncevik")); // at start-up
        auto *b = f->button(button);
        QVERIFY(b);
        // Another mode first, so that the button under test really changes it.
        (b == f->button("SpeedButtonNoKoncevik") ? f->button("SpeedButton3Koncevik")
                                                 : f->button("SpeedButtonNoKoncevik"))
            ->click();
        b->click();
        QCOMPARE(f->find<QButtonGroup>("koncevikGroup")->checkedButton(), b);
        const QList<QAbstractButton *> all = f->find<QButtonGroup>("koncevikGroup")->buttons();
        QCOMPARE(std::count_if(all.begin(), all.end(), [](auto *x) { return x->isChecked(); }), 1);

        for (int valve : {0, 7}) {
            QScrollBar *bar = f->bar("ScrollBarZadvizka", valve + 1);
            QCOMPARE(bar->pageStep(), 20); // the same in every mode
            bar->setValue(start);
            const auto action = start == 0 ? QAbstractSlider::SliderSingleStepAdd
                                           : QAbstractSlider::SliderSingleStepSub;
            QList<int> seen{bar->value()};
            for (int i = 0; i < 300 && bar->value() != 255 - start; ++i) {
                bar->triggerAction(action);
                seen << bar->value();
                if (labels.contains(bar->value()))
                    QCOMPARE(f->label("LabelZadvizka", valve + 1)->text(), labels[bar->value()]);
            }
            QCOMPARE(seen, stops);
        }
    }

    // Ticked, "запись +1 " keeps the panel when the number changes, OK moves on
    // to the next slot but stays on the last, and list operations leave it alone.
    void plusBoxKeepsThePanelAndOkMovesOn()
    {
        FormStore &store = f->store();
        writeSlot(*f, 5, samplePanel(5, QStringLiteral("пять")));
        f->bar("ScrollBarNomberForm")->setValue(4);
        const PanelView edited = samplePanel(9, QStringLiteral("abc"));
        fillPanel(*f, edited);
        const auto targets = f->gauges()->targets();

        f->check("CheckBoxPlus")->setChecked(true);
        f->bar("ScrollBarNomberForm")->setValue(5); // would load "пять" without the box
        QCOMPARE(panelOf(*f), edited);
        QCOMPARE(f->gauges()->targets(), targets);

        f->button("SpeedButtonEdit")->click();
        QCOMPARE(f->bar("ScrollBarNomberForm")->value(), 6);
        QCOMPARE(f->label("LabelNomberForm")->text(), QStringLiteral(" Форма N 7"));
        QCOMPARE(panelOf(*f), edited);
        QCOMPARE(store.ReadForm(5).name, QStringLiteral("abc"));
        QCOMPARE(store.ReadForm(6), FountainForm{}); // not yet written

        f->bar("ScrollBarNomberForm")->setValue(99);
        f->button("SpeedButtonEdit")->click();
        QCOMPARE(f->bar("ScrollBarNomberForm")->value(), 99);
        QCOMPARE(f->label("LabelNomberForm")->text(), QStringLiteral(" Форма N 100"));
        QCOMPARE(store.ReadForm(99).name, QStringLiteral("abc"));
        QCOMPARE(panelOf(*f), edited);

        f->button("SpeedButtonDeleteForm")->click();
        QCOMPARE(store.ReadForm(99), FountainForm{});
        QCOMPARE(panelOf(*f), edited);
    }

    void codaButtonTouchesOnlyTheHoldBytes()
    {
        PanelView form = samplePanel(4, QStringLiteral("кода"));
        writeSlot(*f, 4, form);
        QByteArray expected = f->store().image();
        const int name = f->store().UstAdrBufer(4).name;
        expected[form_layout::detailByte(name, form_layout::kHoldMinPlane)] = 0;
        expected[form_layout::detailByte(name, form_layout::kHoldSecPlane)] = 0;

        f->button("SpeedButtonCodaEdit")->click();

        QCOMPARE(f->store().image(), expected);
        QVERIFY(f->store().ReadForm(4).isCoda());
        form.min = form.sek = 0;
        QCOMPARE(panelOf(*f), form);
        // The strip has been refreshed: slot 4 is in its fifth window.
        QCOMPARE(f->label("LabelLabelTimeWin5")->text(), QStringLiteral("0 Мин 0 Сек "));
    }

    // Insert copies slot n into n + 1 and loses slot 101; delete closes the gap,
    // slot 102 staying where it was as well. Only bank 0 changes.
    void insertAndDelete_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("ops"); // I = insert, D = delete, in this order
        for (int slot : {0, 99}) {
            QTest::addRow("insert at %d", slot) << slot << "I";
            QTest::addRow("delete at %d", slot) << slot << "D";
        }
        for (int slot : {0, 50, 99})
            QTest::addRow("insert then delete at %d", slot) << slot << "ID";
    }
    void insertAndDelete()
    {
        QFETCH(int, slot);
        QFETCH(QString, ops);
        FormStore &store = f->store();
        QVERIFY(store.replaceImage(noisyImage()));
        f->bar("ScrollBarNomberForm")->setValue(slot);
        const QByteArray before = store.image();
        QList<QByteArray> expected = allSlots(before);
        for (QChar op : ops) {
            if (op == u'I') {
                expected.insert(slot, expected[slot]);
                expected.removeAt(102);
                f->button("SpeedButtonInsert")->click();
            } else {
                expected.insert(102, expected[102]);
                expected.removeAt(slot);
                f->button("SpeedButtonDeleteForm")->click();
            }
        }
        const QByteArray after = store.image();
        QCOMPARE(allSlots(after), expected);
        QCOMPARE(after.mid(form_layout::kBankSize), before.mid(form_layout::kBankSize));
        // Panel and strip show the new content.
        QCOMPARE(f->edit("EditNameForm")->text(), store.ReadForm(slot).name);
        QCOMPARE(f->label("LabelNameFormWin", 1)->text(), store.ReadForm(0).name);
    }

    void copyAndPasteTakeUnsavedPanelEdits()
    {
        FormStore &store = f->store();
        writeSlot(*f, 3, samplePanel(3, QStringLiteral("три")));
        writeSlot(*f, 10, samplePanel(10, QStringLiteral("десять")));
        const FountainForm slot3 = store.ReadForm(3);
        const FountainForm slot10 = store.ReadForm(10);

        f->button("SpeedButtonPasteForm")
            ->click(); // disabled until the first copy: nothing happens
        QCOMPARE(store.ReadForm(10), slot10);

        f->bar("ScrollBarNomberForm")->setValue(3);
        PanelView edited = samplePanel(21, QStringLiteral("Правка"));
        fillPanel(*f, edited);
        f->button("SpeedButtonCopyForm")->click();
        QCOMPARE(store.ReadForm(3), slot3);

        f->bar("ScrollBarNomberForm")->setValue(10);
        f->check("CheckBoxPlus")->setChecked(true);
        f->button("SpeedButtonPasteForm")->click();
        QVERIFY(!f->check("CheckBoxPlus")->isChecked());
        QCOMPARE(f->bar("ScrollBarNomberForm")->value(), 10);
        QCOMPARE(store.ReadForm(3), slot3);
        // Slot 10 now holds the edits, and the panel has reloaded it from the store.
        QCOMPARE(int(store.ReadForm(10).levels[0]), 255 - edited.positions[0]);
        edited.name = QStringLiteral("Правк");
        QCOMPARE(panelOf(*f), edited);
        f->bar("ScrollBarFormVewer")->setValue(10);
        QCOMPARE(f->label("LabelNameFormWin", 1)->text(), QStringLiteral("Правк"));
    }

    void cutRemovesTheSlotAndPastePutsItBack()
    {
        FormStore &store = f->store();
        for (int s = 0; s < 5; ++s)
            writeSlot(*f, s, samplePanel(s + 1, QStringLiteral("F%1").arg(s)));
        const FountainForm two = store.ReadForm(2);
        const FountainForm three = store.ReadForm(3);

        f->bar("ScrollBarNomberForm")->setValue(2);
        f->button("SpeedButtonCutForm")->click();
        QCOMPARE(store.ReadForm(2), three);
        QCOMPARE(f->edit("EditNameForm")->text(), QStringLiteral("F3"));
        QCOMPARE(f->label("LabelNameFormWin", 3)->text(), QStringLiteral("F3"));

        f->button("SpeedButtonInsert")->click();
        f->button("SpeedButtonPasteForm")->click(); // enabled by the cut
        QCOMPARE(store.ReadForm(2), two);
        QCOMPARE(store.ReadForm(3), three);
    }

    void clearTouchesOnlyThePanelAndOkStoresIt()
    {
        writeSlot(*f, 8, samplePanel(8, QStringLiteral("восемь")));
        f->bar("ScrollBarNomberForm")->setValue(7); // reload slot 8: its levels become the targets
        f->bar("ScrollBarNomberForm")->setValue(8);
        f->bar("ScrollBarFormVewer")->setValue(8);
        const QByteArray before = f->store().image();
        const auto targets = f->gauges()->targets();

        f->button("SpeedButtonClearForm")->click();
        QCOMPARE(panelOf(*f), emptyPanel(1));
        QCOMPARE(f->store().image(), before);
        QCOMPARE(f->gauges()->targets(), targets);
        QCOMPARE(f->bar("ScrollBarNomberForm")->value(), 8);
        QCOMPARE(f->label("LabelNameFormWin", 1)->text(), QStringLiteral("восем"));

        f->button("SpeedButtonEdit")->click();
        FountainForm expected;
        expected.holdMin = 1;
        QCOMPARE(f->store().ReadForm(8), expected);
        QVERIFY(!f->store().ReadForm(8).isCoda());
    }
};

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
