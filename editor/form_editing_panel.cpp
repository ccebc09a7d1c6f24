// The form editing panel (GroupBoxEDIT): the current form's number, its eight
// jet heights, name and hold time, the OK and coda buttons and the four
// limit-switch buttons that set how coarsely the valve bars move.
#include "app/guard.h"
#include "app/main_window.h"
#include "store/form_store.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QToolButton>

namespace {

constexpr int kBarMax = 255;
constexpr int kValvePageStep = 20;
constexpr int kMaxTypedName = 6; // the store keeps only five of them
constexpr int kLastForm = 99;
constexpr int kDesignFormNumber = 10; // start-up moves it to 0, which loads slot 0

// Arrow steps per limit-switch button; 86 rather than 85 so that from the top
// the four stops read 100, 66, 32 and 0 percent.
constexpr int kStepTwoSwitches = 255;
constexpr int kStepThreeSwitches = 128;
constexpr int kStepFourSwitches = 86;
constexpr int kStepByTime = 1;

const QString kFormTitle = QStringLiteral(" Форма N ");

QScrollBar *makeBar(QWidget *parent, const QString &name, Qt::Orientation o, const QRect &geometry,
                    int max, int pageStep, const QString &hint)
{
    auto *bar = new QScrollBar(o, parent);
    bar->setObjectName(name);
    bar->setGeometry(geometry);
    bar->setRange(0, max);
    bar->setSingleStep(1);
    bar->setPageStep(pageStep);
    bar->setToolTip(hint);
    bar->setCursor(Qt::PointingHandCursor);
    bar->setFocusPolicy(Qt::StrongFocus);
    return bar;
}

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, const QRect &geometry)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    return label;
}

// A latching picture button; it never takes keyboard focus, as the focus chain
// runs through the bars, the name and the check box only.
QToolButton *makePictureButton(QWidget *parent, const QString &name, const QRect &geometry,
                               const QString &hint)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(name);
    b->setGeometry(geometry);
    b->setToolTip(hint);
    b->setCursor(Qt::PointingHandCursor);
    b->setFocusPolicy(Qt::NoFocus);
    b->setIconSize(QSize(16, 16));
    return b;
}

QString percentText(int position)
{
    return QString::number((kBarMax - position) * 100 / kBarMax) + u'%';
}

} // namespace

void TfrmMain::buildEditingPanel()
{
    QGroupBox *box = GroupBoxEDIT;

    for (int v = 0; v < kValves; ++v) {
        const int x = 16 + 32 * v;
        ScrollBarZadvizka[v] = makeBar(box, QStringLiteral("ScrollBarZadvizka%1").arg(v + 1),
                                       Qt::Vertical, QRect(x, 48, 16, 121), kBarMax, kValvePageStep,
                                       QStringLiteral("Установка новой высоты струи "));
        ScrollBarZadvizka[v]->setValue(kBarMax);
        // Centred over its bar and a little smaller, so that "100%" stays clear
        // of its neighbours.
        LabelZadvizka[v] = makeLabel(box, QStringLiteral("LabelZadvizka%1").arg(v + 1),
                                     percentText(kBarMax), QRect(x - 8, 24, 32, 16));
        LabelZadvizka[v]->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        QFont small = LabelZadvizka[v]->font();
        small.setPointSizeF(small.pointSizeF() * 0.9);
        LabelZadvizka[v]->setFont(small);
    }
    LabelZadvizkaInfo = makeLabel(box, QStringLiteral("LabelZadvizkaInfo"),
                                  QStringLiteral("1    2    3     4     5    6    7     8"),
                                  QRect(16, 174, 256, 16));
    {
        QFont bold = LabelZadvizkaInfo->font();
        bold.setBold(true);
        // The blanks between the digits were counted for another font: spread
        // the letters so that each digit stands under its bar, 32 pixels apart.
        const QString text = LabelZadvizkaInfo->text();
        const int span = QFontMetrics(bold).horizontalAdvance(text.chopped(1));
        bold.setLetterSpacing(QFont::AbsoluteSpacing,
                              qreal(32 * (kValves - 1) - span) / qreal(text.size() - 1));
        LabelZadvizkaInfo->setFont(bold);
        const int digit = QFontMetrics(bold).horizontalAdvance(u'1');
        LabelZadvizkaInfo->move(16 + 8 - digit / 2, 174);
        QPalette pal = LabelZadvizkaInfo->palette();
        pal.setColor(QPalette::WindowText, Qt::blue);
        LabelZadvizkaInfo->setPalette(pal);
    }

    LabelNomberForm =
        makeLabel(box, QStringLiteral("LabelNomberForm"),
                  kFormTitle + QString::number(kDesignFormNumber + 1), QRect(288, 11, 100, 16));
    ScrollBarNomberForm =
        makeBar(box, QStringLiteral("ScrollBarNomberForm"), Qt::Horizontal, QRect(288, 27, 73, 16),
                kLastForm, 20, QStringLiteral("Номер редактируемой формы "));
    ScrollBarNomberForm->setValue(kDesignFormNumber);

    LabelNameForm = makeLabel(box, QStringLiteral("LabelNameForm"), QStringLiteral("Имя Формы "),
                              QRect(288, 51, 100, 16));
    EditNameForm = new QLineEdit(box);
    EditNameForm->setObjectName(QStringLiteral("EditNameForm"));
    EditNameForm->setGeometry(288, 67, 73, 21);
    EditNameForm->setMaxLength(kMaxTypedName);
    EditNameForm->setToolTip(QStringLiteral("Имя формы "));

    Label2 = makeLabel(box, QStringLiteral("Label2"), QStringLiteral("Время удержания формы"),
                       QRect(288, 91, 185, 16));
    ScrollBarEditMin =
        makeBar(box, QStringLiteral("ScrollBarEditMin"), Qt::Horizontal, QRect(288, 107, 73, 16),
                59, 1, QStringLiteral("Время удержания формы - минуты "));
    LabelEditMin = makeLabel(box, QStringLiteral("LabelEditMin"), QStringLiteral("0 Мин "),
                             QRect(368, 107, 60, 16));
    ScrollBarEditSek =
        makeBar(box, QStringLiteral("ScrollBarEditSek"), Qt::Horizontal, QRect(288, 131, 73, 16),
                59, 1, QStringLiteral("Время удержания формы - секунды "));
    LabelEditSek = makeLabel(box, QStringLiteral("LabelEditSek"), QStringLiteral("0 Сек "),
                             QRect(368, 131, 60, 16));

    SpeedButtonCodaEdit =
        makePictureButton(box, QStringLiteral("SpeedButtonCodaEdit"), QRect(432, 117, 33, 22),
                          QStringLiteral("Отметить эту форму как последнею "));
    SpeedButtonCodaEdit->setIcon(QIcon(QStringLiteral(":/icons/coda.svg")));
    SpeedButtonCodaEdit->setAutoRaise(true);

    koncevikGroup = new QButtonGroup(this);
    koncevikGroup->setObjectName(QStringLiteral("koncevikGroup"));
    koncevikGroup->setExclusive(true);
    const auto makeSwitch = [&](const char *name, int x, const QString &hint) {
        QToolButton *b = makePictureButton(box, QLatin1String(name), QRect(x, 168, 23, 22), hint);
        b->setCheckable(true);
        b->setAutoRaise(true);
        koncevikGroup->addButton(b);
        return b;
    };
    SpeedButton2Koncevik =
        makeSwitch("SpeedButton2Koncevik", 288, QStringLiteral("Количество концевиков = 2"));
    SpeedButton2Koncevik->setIcon(QIcon(QStringLiteral(":/icons/koncevik2.svg")));
    SpeedButton3Koncevik =
        makeSwitch("SpeedButton3Koncevik", 312, QStringLiteral("Количество концевиков = 3"));
    SpeedButton3Koncevik->setIcon(QIcon(QStringLiteral(":/icons/koncevik3.svg")));
    SpeedButton4Koncevik =
        makeSwitch("SpeedButton4Koncevik", 336, QStringLiteral("Количество концевиков = 4"));
    SpeedButton4Koncevik->setIcon(QIcon(QStringLiteral(":/icons/koncevik4.svg")));
    SpeedButtonNoKoncevik =
        makeSwitch("SpeedButtonNoKoncevik", 360, QStringLiteral("Регулировка по времени "));
    SpeedButtonNoKoncevik->setText(QStringLiteral("%"));
    {
        QFont bold = SpeedButtonNoKoncevik->font();
        bold.setBold(true);
        SpeedButtonNoKoncevik->setFont(bold);
        QPalette pal = SpeedButtonNoKoncevik->palette();
        pal.setColor(QPalette::ButtonText, Qt::blue);
        SpeedButtonNoKoncevik->setPalette(pal);
    }
    SpeedButton2Koncevik->setChecked(true);

    CheckBoxPlus = new QCheckBox(QStringLiteral("запись +1 "), box);
    CheckBoxPlus->setObjectName(QStringLiteral("CheckBoxPlus"));
    CheckBoxPlus->setGeometry(400, 152, 80, 16); // to the panel's inner edge
    {
        // A size smaller: the caption must fit between x 400 and the frame.
        QFont small = CheckBoxPlus->font();
        small.setPointSizeF(small.pointSizeF() * 0.85);
        CheckBoxPlus->setFont(small);
    }
    CheckBoxPlus->setToolTip(
        QStringLiteral("При установке флажка устанавливается следующая форма "));
    CheckBoxPlus->setCursor(Qt::PointingHandCursor);

    SpeedButtonEdit =
        makePictureButton(box, QStringLiteral("SpeedButtonEdit"), QRect(400, 168, 73, 22),
                          QStringLiteral("Записать форму в память "));
    SpeedButtonEdit->setText(QStringLiteral("ОК"));
    SpeedButtonEdit->setIcon(QIcon(QStringLiteral(":/icons/ok.svg")));
    SpeedButtonEdit->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    // Focus: the eight bars, then number, name, minutes, seconds and the check box.
    QList<QWidget *> chain(ScrollBarZadvizka.begin(), ScrollBarZadvizka.end());
    chain << ScrollBarNomberForm << EditNameForm << ScrollBarEditMin << ScrollBarEditSek
          << CheckBoxPlus;
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);

    guardedConnect(ScrollBarNomberForm, &QScrollBar::valueChanged, this,
                   [this] { ScrollBarNomberFormChange(); });
    for (int v = 0; v < kValves; ++v)
        guardedConnect(ScrollBarZadvizka[v], &QScrollBar::valueChanged, this,
                       [this, v] { ScrollBarZadvizkaChange(v + 1); });
    guardedConnect(ScrollBarEditMin, &QScrollBar::valueChanged, this,
                   [this] { ScrollBarEditMinChange(); });
    guardedConnect(ScrollBarEditSek, &QScrollBar::valueChanged, this,
                   [this] { ScrollBarEditSekChange(); });
    guardedConnect(SpeedButtonEdit, &QToolButton::clicked, this,
                   [this] { SpeedButtonEditClick(); });
    guardedConnect(SpeedButtonCodaEdit, &QToolButton::clicked, this,
                   [this] { SpeedButtonCodaEditClick(); });
    guardedConnect(SpeedButton2Koncevik, &QToolButton::clicked, this,
                   [this] { SpeedButton2KoncevikClick(); });
    guardedConnect(SpeedButton3Koncevik, &QToolButton::clicked, this,
                   [this] { SpeedButton3KoncevikClick(); });
    guardedConnect(SpeedButton4Koncevik, &QToolButton::clicked, this,
                   [this] { SpeedButton4KoncevikClick(); });
    guardedConnect(SpeedButtonNoKoncevik, &QToolButton::clicked, this,
                   [this] { SpeedButtonNoKoncevikClick(); });
}

void TfrmMain::ScrollBarNomberFormChange()
{
    const int slot = ScrollBarNomberForm->value();
    LabelNomberForm->setText(kFormTitle + QString::number(slot + 1));
    // Ticked, the panel keeps the form just written so it can go into the next slot.
    if (CheckBoxPlus->isChecked())
        return;
    const FountainForm form = FormStore::instance().ReadForm(slot);
    for (int v = 0; v < kValves; ++v)
        ScrollBarZadvizka[v]->setValue(kBarMax - form.levels[v]);
    EditNameForm->setText(form.name);
    ScrollBarEditMin->setValue(form.holdMin);
    ScrollBarEditSek->setValue(form.holdSek);
    copyGaugeTargetsFromValveBars();
}

void TfrmMain::SpeedButtonEditClick()
{
    const int slot = ScrollBarNomberForm->value();
    FountainForm form;
    for (int v = 0; v < kValves; ++v)
        form.levels[v] = std::uint8_t(kBarMax - ScrollBarZadvizka[v]->value());
    form.name = EditNameForm->text();
    form.holdMin = std::uint8_t(ScrollBarEditMin->value());
    form.holdSek = std::uint8_t(ScrollBarEditSek->value());
    FormStore::instance().WriteForm(slot, form);
    ScrollBarFormVewerChange();
    if (CheckBoxPlus->isChecked()) {
        ScrollBarNomberForm->setValue(slot + 1); // stays at 99 on the last slot
        ScrollBarNomberFormChange();
    }
}

void TfrmMain::SpeedButtonCodaEditClick()
{
    FormStore::instance().MarkCoda(ScrollBarNomberForm->value());
    ScrollBarFormVewerChange();
    ScrollBarNomberFormChange();
}

void TfrmMain::ScrollBarZadvizkaChange(int valve)
{
    LabelZadvizka[valve - 1]->setText(percentText(ScrollBarZadvizka[valve - 1]->value()));
}

void TfrmMain::ScrollBarEditMinChange()
{
    LabelEditMin->setText(QString::number(ScrollBarEditMin->value()) + QStringLiteral(" Мин "));
}

void TfrmMain::ScrollBarEditSekChange()
{
    LabelEditSek->setText(QString::number(ScrollBarEditSek->value()) + QStringLiteral(" Сек "));
}

static void setArrowStep(const std::array<QScrollBar *, TfrmMain::kValves> &bars, int step)
{
    for (QScrollBar *bar : bars)
        bar->setSingleStep(step);
}

void TfrmMain::SpeedButtonNoKoncevikClick()
{
    setArrowStep(ScrollBarZadvizka, kStepByTime);
}

void TfrmMain::SpeedButton2KoncevikClick()
{
    setArrowStep(ScrollBarZadvizka, kStepTwoSwitches);
}

void TfrmMain::SpeedButton3KoncevikClick()
{
    setArrowStep(ScrollBarZadvizka, kStepThreeSwitches);
}

void TfrmMain::SpeedButton4KoncevikClick()
{
    setArrowStep(ScrollBarZadvizka, kStepFourSwitches);
}
