// The form editing panel: loading a slot into the controls, writing them back
// with OK, the coda mark, and the limit-switch modes of the valve bars.
#include "editor/form_editing_panel.h"

#include "widgets/controls.h"
#include "widgets/cp1251_validator.h"
#include "widgets/fit_font.h"
#include "widgets/guard.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QShortcut>
#include <QToolButton>

using form_layout::kFullJet;
using form_layout::kMaxHold;
using form_layout::kNoJet;
using form_layout::kValves;

namespace {

constexpr int kValvePageStep = 20;
constexpr int kMaxTypedName = 6; // the store keeps only five of them
constexpr int kLastForm = form_layout::kForms - 1;
constexpr int kDesignFormNumber = 10; // start-up moves it to 0, which loads slot 0

// Arrow steps per limit-switch button (2, 3, 4 switches, "%"); 86 rather than
// 85 so that from the top the four stops read 100, 66, 32 and 0 percent.
constexpr std::array<int, 4> kArrowSteps = {kFullJet, 128, 86, 1};

const QString kFormTitle = QStringLiteral(" Форма N ");

// A picture button of the panel; it never takes keyboard focus, as the focus
// chain runs through the bars, the name and the check box only.
QToolButton *makePanelButton(QWidget *parent, const QString &name, const QRect &geometry,
                             const QString &hint, const char *picture)
{
    QToolButton *b = makePictureButton(parent, name, hint, picture);
    b->setGeometry(geometry);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

QString percentText(int position)
{
    return QString::number(form_layout::percent(jetLevelOfBar(position))) + u'%';
}

void setTextColour(QWidget *w, QPalette::ColorRole role, const QColor &colour)
{
    QPalette pal = w->palette();
    pal.setColor(role, colour);
    w->setPalette(pal);
}

} // namespace

TFormEditingPanel::TFormEditingPanel(FormStore &store, const HandlerGuard &guard, QWidget *parent)
    : QGroupBox(QStringLiteral("Редактирование параметров формы "), parent), m_store(store)
{
    setObjectName(QStringLiteral("GroupBoxEDIT"));
    buildValveBars();
    buildFormColumn();
    buildSwitchRow();

    // Focus: the eight bars, then number, name, minutes, seconds and the check box.
    QList<QWidget *> chain(m_valveBars.begin(), m_valveBars.end());
    chain << m_number << m_name << m_minutes << m_seconds << m_plus;
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);

    connectHandlers(guard);
}

void TFormEditingPanel::buildValveBars()
{
    // Narrow enough that neighbouring "100%" texts keep a gap between them;
    // one font for the eight, fitted once.
    const QFont percentFont = fittedFont(font(), {QStringLiteral("100%")}, 32 - 5);
    for (int v = 0; v < kValves; ++v) {
        const int x = 16 + 32 * v;
        QScrollBar *bar =
            makeScrollBar(this, QStringLiteral("ScrollBarZadvizka%1").arg(v + 1), Qt::Vertical,
                          QRect(x, 48, 16, 121),
                          {barOfJetLevel(kFullJet), barOfJetLevel(kNoJet), 1, kValvePageStep},
                          QStringLiteral("Установка новой высоты струи "));
        bar->setFocusPolicy(Qt::StrongFocus);
        bar->setValue(barOfJetLevel(kNoJet));
        m_valveBars[v] = bar;
        // Centred over its bar.
        QLabel *label = makeLabel(this, QStringLiteral("LabelZadvizka%1").arg(v + 1),
                                  percentText(barOfJetLevel(kNoJet)), QRect(x - 8, 24, 32, 16));
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->setFont(percentFont);
        m_percentLabels[v] = label;
    }

    QLabel *numbers = makeLabel(this, QStringLiteral("LabelZadvizkaInfo"),
                                QStringLiteral("1    2    3     4     5    6    7     8"),
                                QRect(16, 174, 256, 16));
    QFont bold = numbers->font();
    bold.setBold(true);
    // The blanks between the digits were counted for another font: spread
    // the letters so that each digit stands under its bar, 32 pixels apart.
    const QString text = numbers->text();
    const int span = QFontMetrics(bold).horizontalAdvance(text.chopped(1));
    bold.setLetterSpacing(QFont::AbsoluteSpacing,
                          qreal(32 * (kValves - 1) - span) / qreal(text.size() - 1));
    numbers->setFont(bold);
    const int digit = QFontMetrics(bold).horizontalAdvance(u'1');
    numbers->move(16 + 8 - digit / 2, 174);
    setTextColour(numbers, QPalette::WindowText, Qt::blue);
}

void TFormEditingPanel::buildFormColumn()
{
    m_title =
        makeLabel(this, QStringLiteral("LabelNomberForm"),
                  kFormTitle + QString::number(kDesignFormNumber + 1), QRect(288, 11, 100, 16));
    // The title stands on the group box's frame line: it covers the line the
    // way the box's own caption does, as wide as its longest text.
    m_title->setAutoFillBackground(true);
    m_title->setFixedWidth(
        m_title->fontMetrics().horizontalAdvance(kFormTitle + QStringLiteral("100 ")));
    m_number = makeScrollBar(this, QStringLiteral("ScrollBarNomberForm"), Qt::Horizontal,
                             QRect(288, 27, 73, 16), {0, kLastForm, 1, 20},
                             QStringLiteral("Номер редактируемой формы "));
    m_number->setFocusPolicy(Qt::StrongFocus);
    m_number->setValue(kDesignFormNumber);

    makeLabel(this, QStringLiteral("LabelNameForm"), QStringLiteral("Имя Формы "),
              QRect(288, 51, 100, 16));
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("EditNameForm"));
    m_name->setGeometry(288, 67, 73, 21);
    m_name->setMaxLength(kMaxTypedName);
    m_name->setToolTip(QStringLiteral("Имя формы "));
    new Cp1251Validator(m_name, QStringLiteral("в файле форм"));
    new FittedEdits({m_name}, kMaxTypedName, this);

    makeLabel(this, QStringLiteral("Label2"), QStringLiteral("Время удержания формы"),
              QRect(288, 91, 185, 16));
    m_minutes = makeScrollBar(this, QStringLiteral("ScrollBarEditMin"), Qt::Horizontal,
                              QRect(288, 107, 73, 16), {0, kMaxHold, 1, 1},
                              QStringLiteral("Время удержания формы - минуты "));
    m_minutesLabel = makeLabel(this, QStringLiteral("LabelEditMin"), QStringLiteral("0 Мин "),
                               QRect(368, 107, 60, 16));
    m_seconds = makeScrollBar(this, QStringLiteral("ScrollBarEditSek"), Qt::Horizontal,
                              QRect(288, 131, 73, 16), {0, kMaxHold, 1, 1},
                              QStringLiteral("Время удержания формы - секунды "));
    m_secondsLabel = makeLabel(this, QStringLiteral("LabelEditSek"), QStringLiteral("0 Сек "),
                               QRect(368, 131, 60, 16));
    for (QScrollBar *bar : {m_minutes, m_seconds})
        bar->setFocusPolicy(Qt::StrongFocus);

    m_coda = makePanelButton(this, QStringLiteral("SpeedButtonCodaEdit"), QRect(432, 117, 33, 22),
                             QStringLiteral("Отметить эту форму как последнею "), "coda");
}

void TFormEditingPanel::buildSwitchRow()
{
    m_switches = new QButtonGroup(this);
    m_switches->setObjectName(QStringLiteral("koncevikGroup"));
    m_switches->setExclusive(true);
    struct Switch
    {
        const char *name;
        const char *hint;
        const char *icon;
    };
    const Switch switches[] = {
        {"SpeedButton2Koncevik", "Количество концевиков = 2", "koncevik2"},
        {"SpeedButton3Koncevik", "Количество концевиков = 3", "koncevik3"},
        {"SpeedButton4Koncevik", "Количество концевиков = 4", "koncevik4"},
        {"SpeedButtonNoKoncevik", "Регулировка по времени ", nullptr},
    };
    for (int i = 0; i < 4; ++i) {
        QToolButton *b =
            makePanelButton(this, QLatin1String(switches[i].name), QRect(288 + 24 * i, 168, 23, 22),
                            QString::fromUtf8(switches[i].hint), switches[i].icon);
        b->setCheckable(true);
        m_switches->addButton(b);
        m_switchButtons[i] = b;
    }
    QToolButton *byTime = m_switchButtons[3];
    byTime->setText(QStringLiteral("%"));
    QFont bold = byTime->font();
    bold.setBold(true);
    byTime->setFont(bold);
    setTextColour(byTime, QPalette::ButtonText, Qt::blue);
    m_switchButtons[0]->setChecked(true);

    m_plus = new QCheckBox(QStringLiteral("запись +1 "), this);
    m_plus->setObjectName(QStringLiteral("CheckBoxPlus"));
    m_plus->setGeometry(400, 152, 80, 16); // to the panel's inner edge
    // A size smaller: the caption must fit between x 400 and the frame.
    QFont small = m_plus->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    m_plus->setFont(small);
    m_plus->setToolTip(QStringLiteral("При установке флажка устанавливается следующая форма "));
    m_plus->setCursor(Qt::PointingHandCursor);

    m_ok = makePanelButton(
        this, QStringLiteral("SpeedButtonEdit"), QRect(400, 168, 73, 22),
        QStringLiteral("Записать форму в память  (Ctrl+Enter; в имени формы Enter)"), "ok");
    m_ok->setAutoRaise(false); // a raised button, the one that writes
    m_ok->setText(QStringLiteral("ОК"));
    m_ok->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    // The keys press the button: while the sequencer plays it is disabled and
    // they do nothing.
    for (const QKeyCombination keys : {Qt::CTRL | Qt::Key_Return, Qt::CTRL | Qt::Key_Enter})
        connect(new QShortcut(keys, this), &QShortcut::activated, m_ok, &QToolButton::click);
    connect(m_name, &QLineEdit::returnPressed, m_ok, &QToolButton::click);
}

void TFormEditingPanel::connectHandlers(const HandlerGuard &guard)
{
    guard.connect(m_number, &QScrollBar::valueChanged, this,
                  [this] { ScrollBarNomberFormChange(); });
    for (int v = 0; v < kValves; ++v)
        guard.connect(m_valveBars[v], &QScrollBar::valueChanged, this,
                      [this, v] { ScrollBarZadvizkaChange(v + 1); });
    guard.connect(m_minutes, &QScrollBar::valueChanged, this, [this] { ScrollBarEditMinChange(); });
    guard.connect(m_seconds, &QScrollBar::valueChanged, this, [this] { ScrollBarEditSekChange(); });
    guard.connect(m_ok, &QToolButton::clicked, this, [this] { SpeedButtonEditClick(); });
    guard.connect(m_coda, &QToolButton::clicked, this, [this] { SpeedButtonCodaEditClick(); });
    guard.connect(m_switchButtons[0], &QToolButton::clicked, this,
                  [this] { SpeedButton2KoncevikClick(); });
    guard.connect(m_switchButtons[1], &QToolButton::clicked, this,
                  [this] { SpeedButton3KoncevikClick(); });
    guard.connect(m_switchButtons[2], &QToolButton::clicked, this,
                  [this] { SpeedButton4KoncevikClick(); });
    guard.connect(m_switchButtons[3], &QToolButton::clicked, this,
                  [this] { SpeedButtonNoKoncevikClick(); });
}

void TFormEditingPanel::ScrollBarNomberFormChange()
{
    const int slot = m_number->value();
    m_title->setText(kFormTitle + QString::number(slot + 1));
    // Ticked, the panel keeps the form just written so it can go into the next slot.
    if (m_plus->isChecked())
        return;
    const FountainForm form = m_store.ReadForm(slot);
    for (int v = 0; v < kValves; ++v)
        m_valveBars[v]->setValue(barOfJetLevel(form.levels[v]));
    m_name->setText(form.name);
    m_minutes->setValue(form.holdMin);
    m_seconds->setValue(form.holdSek);
    emit formLoaded(jetLevels());
}

void TFormEditingPanel::SpeedButtonEditClick()
{
    const int slot = m_number->value();
    FountainForm form;
    form.levels = jetLevels();
    form.name = m_name->text();
    form.holdMin = std::uint8_t(m_minutes->value());
    form.holdSek = std::uint8_t(m_seconds->value());
    m_store.WriteForm(slot, form);
    emit storeChanged();
    if (m_plus->isChecked()) {
        m_number->setValue(slot + 1); // stays at 99 on the last slot
        ScrollBarNomberFormChange();
    }
}

void TFormEditingPanel::SpeedButtonCodaEditClick()
{
    m_store.MarkCoda(m_number->value());
    emit storeChanged();
    ScrollBarNomberFormChange();
}

void TFormEditingPanel::ScrollBarZadvizkaChange(int valve)
{
    m_percentLabels[valve - 1]->setText(percentText(m_valveBars[valve - 1]->value()));
}

void TFormEditingPanel::ScrollBarEditMinChange()
{
    m_minutesLabel->setText(QString::number(m_minutes->value()) + QStringLiteral(" Мин "));
}

void TFormEditingPanel::ScrollBarEditSekChange()
{
    m_secondsLabel->setText(QString::number(m_seconds->value()) + QStringLiteral(" Сек "));
}

void TFormEditingPanel::setArrowStep(int step)
{
    for (QScrollBar *bar : m_valveBars)
        bar->setSingleStep(step);
}

void TFormEditingPanel::SpeedButton2KoncevikClick()
{
    setArrowStep(kArrowSteps[0]);
}

void TFormEditingPanel::SpeedButton3KoncevikClick()
{
    setArrowStep(kArrowSteps[1]);
}

void TFormEditingPanel::SpeedButton4KoncevikClick()
{
    setArrowStep(kArrowSteps[2]);
}

void TFormEditingPanel::SpeedButtonNoKoncevikClick()
{
    setArrowStep(kArrowSteps[3]);
}

int TFormEditingPanel::formNumber() const
{
    return m_number->value();
}

void TFormEditingPanel::setFormNumber(int slot)
{
    m_number->setValue(slot);
}

void TFormEditingPanel::reloadForm()
{
    ScrollBarNomberFormChange();
}

HoldTime TFormEditingPanel::holdTime() const
{
    return {m_minutes->value(), m_seconds->value()};
}

void TFormEditingPanel::loadOnNumberChange()
{
    m_plus->setChecked(false);
}

PanelForm TFormEditingPanel::panelForm() const
{
    PanelForm f;
    for (int v = 0; v < kValves; ++v)
        f.positions[v] = m_valveBars[v]->value();
    f.name = m_name->text();
    f.holdMin = m_minutes->value();
    f.holdSek = m_seconds->value();
    return f;
}

void TFormEditingPanel::showPanelForm(const PanelForm &form)
{
    for (int v = 0; v < kValves; ++v)
        m_valveBars[v]->setValue(form.positions[v]);
    m_name->setText(form.name);
    m_minutes->setValue(form.holdMin);
    m_seconds->setValue(form.holdSek);
}

JetLevels TFormEditingPanel::jetLevels() const
{
    JetLevels levels{};
    for (int v = 0; v < kValves; ++v)
        levels[v] = jetLevelOfBar(m_valveBars[v]->value());
    return levels;
}

void TFormEditingPanel::writeForm()
{
    SpeedButtonEditClick();
}

void TFormEditingPanel::setWriteEnabled(bool enabled)
{
    m_ok->setEnabled(enabled);
}
