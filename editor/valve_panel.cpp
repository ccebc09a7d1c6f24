// The valve parameters panel GroupBoxNameGate: the eight valve names (kept in
// the settings file) and the eight travel times (kept in the form store), the
// "Вместе" box that lets valve 1 set every travel time, and WriteZadv.
#include "app/fit_font.h"
#include "app/guard.h"
#include "app/main_window.h"
#include "store/form_store.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

#include <algorithm>

namespace {

constexpr int kNameMaxLength = 8;
constexpr int kMinTravel = 7;
constexpr int kMaxTravel = 255;
constexpr int kPageStep = 20;

constexpr int kNumberX = 16;
constexpr int kNameX = 32;
constexpr QSize kNameSize{57, 21};
constexpr int kBarX = 96;
constexpr QSize kBarSize{97, 16};
constexpr int kTimeLabelX = 200;
constexpr int kNameY[] = {46, 72, 98, 124, 150, 176, 203, 229};
constexpr int kBarY[] = {48, 75, 102, 127, 153, 180, 207, 232};
constexpr int kTimeLabelY[] = {48, 76, 103, 129, 154, 181, 208, 233};

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, QRect geometry)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    return label;
}

// The valve numbers stand one per line beside the rows: a bold blue font whose
// line spacing matches the rows' pitch.
void styleValveNumbers(QLabel *label)
{
    const int pitch = (kNameY[7] - kNameY[0]) / 7;
    QFont font = label->font();
    font.setBold(true);
    for (int px = 10; px < 40; ++px) {
        font.setPixelSize(px);
        if (QFontMetrics(font).lineSpacing() >= pitch)
            break;
    }
    label->setFont(font);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, Qt::blue);
    label->setPalette(pal);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    const int top = kNameY[0] + (kNameSize.height() - QFontMetrics(font).height()) / 2;
    label->setGeometry(kNumberX - 4, top, 14, QFontMetrics(font).lineSpacing() * 8 + 4);
}

QString timeText(int seconds)
{
    return QString::number(seconds / 60) + QStringLiteral(" Мин ") + QString::number(seconds % 60) +
           QStringLiteral(" Сек ");
}

} // namespace

void TfrmMain::buildValvePanel()
{
    QGroupBox *box = GroupBoxNameGate;
    Label3 = makeLabel(box, QStringLiteral("Label3"), QStringLiteral("N       Имя  "),
                       QRect(16, 24, 76, 16));
    LabelNameZadv =
        makeLabel(box, QStringLiteral("LabelNameZadv"),
                  QStringLiteral("Максимальное время движения "), QRect(96, 16, 112, 30));
    LabelNameZadv->setWordWrap(true);
    CheckBoxTogetg = new QCheckBox(QStringLiteral("Вместе"), box);
    CheckBoxTogetg->setObjectName(QStringLiteral("CheckBoxTogetg"));
    const int checkWidth = box->width() - 216 - 3;
    // Room for the indicator and its gap comes off the text's share.
    fitFont(CheckBoxTogetg, {CheckBoxTogetg->text()}, checkWidth - 20);
    CheckBoxTogetg->setGeometry(216, 24, checkWidth, 17);
    LabelzNam = makeLabel(box, QStringLiteral("LabelzNam"),
                          QStringLiteral("1  2  3  4  5  6  7  8"), QRect());
    styleValveNumbers(LabelzNam);

    QStringList allTimes;
    for (int t = kMinTravel; t <= kMaxTravel; ++t)
        allTimes << timeText(t);
    const int timeWidth = box->width() - kTimeLabelX - 3;

    for (int v = 0; v < kValves; ++v) {
        auto *name = new QLineEdit(box);
        name->setObjectName(QStringLiteral("EditNameZadv%1").arg(v + 1));
        name->setToolTip(QStringLiteral("Имя задвижки не более 8 символов"));
        name->setMaxLength(kNameMaxLength);
        name->setGeometry(QRect(QPoint(kNameX, kNameY[v]), kNameSize));
        // The default names fit whole; the frame and margins take about ten pixels.
        fitFont(name, {QStringLiteral("NoName8")}, kNameSize.width() - 10);
        // A longer name read from the settings file raises the limit; it comes
        // back down as characters are deleted, never below eight.
        guardedConnect(name, &QLineEdit::textChanged, this, [name] {
            name->setMaxLength(std::max(kNameMaxLength, int(name->text().size())));
        });
        EditNameZadv[v] = name;

        auto *bar = new QScrollBar(Qt::Horizontal, box);
        bar->setObjectName(QStringLiteral("ScrollBarTimeZadv%1").arg(v + 1));
        bar->setToolTip(QStringLiteral("Время движения от начала до конца задвижки N"));
        bar->setRange(kMinTravel, kMaxTravel);
        bar->setSingleStep(1);
        bar->setPageStep(kPageStep);
        bar->setCursor(Qt::PointingHandCursor);
        // A stop on the keyboard's way through the panel, moved by the arrows.
        bar->setFocusPolicy(Qt::StrongFocus);
        bar->setGeometry(QRect(QPoint(kBarX, kBarY[v]), kBarSize));
        ScrollBarTimeZadv[v] = bar;

        LabelTimeZadv[v] = makeLabel(box, QStringLiteral("LabelTimeZadv%1").arg(v + 1), QString(),
                                     QRect(kTimeLabelX, kTimeLabelY[v], timeWidth, 16));
        fitFont(LabelTimeZadv[v], allTimes, timeWidth);
    }

    // Focus runs through the names, then the bars, then the check box.
    QList<QWidget *> order(EditNameZadv.begin(), EditNameZadv.end());
    order.append(QList<QWidget *>(ScrollBarTimeZadv.begin(), ScrollBarTimeZadv.end()));
    order.append(CheckBoxTogetg);
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    for (int v = 0; v < kValves; ++v) {
        guardedConnect(ScrollBarTimeZadv[v], &QScrollBar::valueChanged, this,
                       [this, v] { ScrollBarTimeZadvChange(v + 1); });
        ScrollBarTimeZadvChange(v + 1);
    }
}

void TfrmMain::ScrollBarTimeZadvChange(int valve)
{
    const int t = ScrollBarTimeZadv[valve - 1]->value();
    LabelTimeZadv[valve - 1]->setText(timeText(t));
    if (valve == 1 && CheckBoxTogetg->isChecked()) {
        for (int v = 1; v < kValves; ++v)
            ScrollBarTimeZadv[v]->setValue(t);
    }
}

void TfrmMain::WriteZadv()
{
    SaveIniNameZadvigki();
    std::array<std::uint8_t, kValves> seconds{};
    for (int v = 0; v < kValves; ++v)
        seconds[v] = std::uint8_t(ScrollBarTimeZadv[v]->value());
    FormStore::instance().writeTravelTimes(seconds);
}
