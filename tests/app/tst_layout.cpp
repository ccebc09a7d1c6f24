// Nothing clipped: each text measured in the font it is drawn with against
// the room its control has, with the longest content it can be given.
#include "about/about_form.h"
#include "core/system_info.h"
#include "player/live_gauges.h"
#include "player/strip_viewer.h"
#include "tests/support/window_fixture.h"
#include "widgets/fit_font.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

namespace {

int advance(const QWidget *w, const QString &text)
{
    return QFontMetrics(w->font()).horizontalAdvance(text);
}

class LongValues : public sysinfo::SystemInfoProvider
{
  public:
    sysinfo::PlatformVersion platformVersion() override { return {}; }
    sysinfo::MemoryStatus memoryStatus() override { return {}; }
    sysinfo::ComputerInfo computerInfo() override
    {
        sysinfo::ComputerInfo c;
        c.productId = QStringLiteral("3d1219c7c4c5404aaa1f6d2a48adfda4"); // a machine id
        return c;
    }
    sysinfo::DriveInfo driveInfo(int) override { return {}; }
};

} // namespace

class TestLayout : public QObject
{
    Q_OBJECT

  private slots:
    void gaugeNamesFitAndLongOnesShowTheirStart()
    {
        WindowFixture x;
        const FountainSettings::ValveNames names = {
            "Кольцо 1", "Кольцо 2", "NoName1", "Веер лев",
            "Веер пр",  "Арка",     "Купол",   QStringLiteral("Очень длинное имя задвижки")};
        x.gauges()->showValveNames(names);
        for (int v = 1; v <= 7; ++v) {
            QLineEdit *box = x.edit("EditNameUrzadv", v);
            QVERIFY2(advance(box, box->text()) <= textRoom(box), qPrintable(box->text()));
        }
        QLineEdit *longName = x.edit("EditNameUrzadv", 8);
        QCOMPARE(longName->text(), names[7]);
        QCOMPARE(longName->cursorPosition(), 0);
        QCOMPARE(longName->toolTip(), names[7]);
    }

    void valveAndFormNamesFit()
    {
        WindowFixture x;
        x.edit("EditNameZadv", 1)->setText(QStringLiteral("Кольцо 1"));
        x.edit("EditNameForm")->setText(QStringLiteral("Фонтан"));
        for (QLineEdit *box : {x.edit("EditNameZadv", 1), x.edit("EditNameForm")})
            QVERIFY2(advance(box, box->text()) <= textRoom(box), qPrintable(box->text()));
    }

    void stripShowsThreeDigitHoldTimesWhole()
    {
        WindowFixture x;
        FountainForm form;
        form.name = QStringLiteral("ЖЖЖЖЖ");
        form.holdMin = 255;
        form.holdSek = 254;
        x.store().WriteForm(99, form);
        x.bar("ScrollBarFormVewer")->setValue(93);
        for (const char *name : {"LabelTimeWin7", "LabelNameFormWin7", "LabelNomberFormWin7"}) {
            QLabel *label = x.label(QLatin1String(name));
            QVERIFY2(advance(label, label->text()) <= label->contentsRect().width(),
                     qPrintable(label->text()));
        }
        QCOMPARE(x.label("LabelTimeWin7")->text(), QStringLiteral("255 Мин 254 Сек "));
    }

    void fullJetPercentsKeepApart()
    {
        WindowFixture x;
        for (int v = 1; v <= 8; ++v)
            x.bar("ScrollBarZadvizka", v)->setValue(0);
        const auto textSpan = [&x](int v) {
            QLabel *l = x.label("LabelZadvizka", v);
            const int w = advance(l, l->text());
            return std::pair(l->x() + (l->width() - w) / 2, l->x() + (l->width() + w) / 2);
        };
        for (int v = 1; v < 8; ++v)
            QVERIFY(textSpan(v).second + 3 <= textSpan(v + 1).first);
    }

    void aboutCaptionsAndSerialNumberStayInPlace()
    {
        WindowFixture x;
        TAboutForm about(x.w().guard());
        LongValues values;
        about.setSystemInfoProvider(&values);
        about.GetCompInfo();
        for (QLabel *caption : about.findChildren<QLabel *>()) {
            if (caption->x() == 448) // the right column's captions, values at 640
                QVERIFY2(caption->x() + advance(caption, caption->text()) < 640,
                         qPrintable(caption->text()));
        }
        auto *serial = findNamed<QLineEdit>(&about, QStringLiteral("SerNumberEdit"));
        QVERIFY(serial->geometry().right() < TAboutForm::kFirstClientSize.width());
        QCOMPARE(serial->cursorPosition(), 0);
    }
};

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
