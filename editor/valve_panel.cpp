// The valve parameters panel: names, travel times and the "Вместе" rule.
#include "editor/valve_panel.h"

#include "core/playback.h"
#include "widgets/controls.h"
#include "widgets/cp1251_validator.h"
#include "widgets/fit_font.h"
#include "widgets/guard.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QScrollBar>

#include <algorithm>

using form_layout::kMaxTravel;
using form_layout::kMinTravel;
using form_layout::kValves;

namespace {

constexpr int kNameMaxLength = 8;
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

// The valve numbers stand one per line beside the rows: a bold blue font whose
// line spacing matches the rows' pitch.
void styleValveNumbers(QLabel *label)
{
    const int pitch = (kNameY[7] - kNameY[0]) / 7;
    QFont font = label->font();
    font.setBold(true);
    // The smallest pixel size whose line spacing reaches the pitch: spacing
    // grows with the size, so start from the ratio (each size tried loads a
    // font of its own) and step to the edge.
    font.setPixelSize(20);
    int px = std::clamp(pitch * 20 / QFontMetrics(font).lineSpacing(), 10, 39);
    const auto spacing = [&font](int size) {
        font.setPixelSize(size);
        return QFontMetrics(font).lineSpacing();
    };
    while (px > 10 && spacing(px - 1) >= pitch)
        --px;
    while (px < 39 && spacing(px) < pitch)
        ++px;
    font.setPixelSize(px);
    label->setFont(font);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, Qt::blue);
    label->setPalette(pal);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    const int top = kNameY[0] + (kNameSize.height() - QFontMetrics(font).height()) / 2;
    label->setGeometry(kNumberX - 4, top, 14, QFontMetrics(font).lineSpacing() * 8 + 4);
}

// The times that can be the widest a label shows: for each number of minutes
// the seconds written widest. The words between the numbers are the same in
// every text, so only the digits decide; measuring digits alone is quick,
// where shaping all 249 texts is not.
QStringList widestTimes(const QFont &font)
{
    const QFontMetrics metrics(font);
    std::array<int, 60> secondsWidth{};
    for (int s = 0; s < 60; ++s)
        secondsWidth[std::size_t(s)] = metrics.horizontalAdvance(QString::number(s));
    QStringList candidates;
    for (int minutes = 0; minutes <= kMaxTravel / 60; ++minutes) {
        int best = -1;
        for (int t = std::max(kMinTravel, minutes * 60);
             t <= std::min(kMaxTravel, minutes * 60 + 59); ++t) {
            if (best < 0 ||
                secondsWidth[std::size_t(t % 60)] > secondsWidth[std::size_t(best % 60)])
                best = t;
        }
        candidates << minutesSecondsText(best);
    }
    return candidates;
}

} // namespace

TValvePanel::TValvePanel(FormStore &store, FountainSettings &settings, const HandlerGuard &guard,
                         QWidget *parent)
    : QGroupBox(QStringLiteral("Параметры задвижек "), parent), m_store(store), m_settings(settings)
{
    setObjectName(QStringLiteral("GroupBoxNameGate"));
    // The rows are laid out against the panel's own width.
    resize(281, 273);
    buildHeaders();
    buildRows();

    // Focus runs through the names, then the bars, then the check box.
    QList<QWidget *> order(m_names.begin(), m_names.end());
    order.append(QList<QWidget *>(m_times.begin(), m_times.end()));
    order.append(m_together);
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    // The labels show the bars' first positions, which are not the store's.
    const QScopedValueRollback showing(m_showingStore, true);
    for (int v = 0; v < kValves; ++v) {
        QLineEdit *name = m_names[v];
        // A longer name read from the settings file raises the limit; it comes
        // back down as characters are deleted, never below eight.
        guard.connect(name, &QLineEdit::textChanged, this, [name] {
            name->setMaxLength(std::max(kNameMaxLength, int(name->text().size())));
        });
        guard.connect(m_times[v], &QScrollBar::valueChanged, this,
                      [this, v] { ScrollBarTimeZadvChange(v + 1); });
        ScrollBarTimeZadvChange(v + 1);
    }
}

void TValvePanel::buildHeaders()
{
    makeLabel(this, QStringLiteral("Label3"), QStringLiteral("N       Имя  "),
              QRect(16, 24, 76, 16));
    makeLabel(this, QStringLiteral("LabelNameZadv"), QStringLiteral("Максимальное время движения "),
              QRect(96, 16, 112, 30))
        ->setWordWrap(true);
    m_together = new QCheckBox(QStringLiteral("Вместе"), this);
    m_together->setObjectName(QStringLiteral("CheckBoxTogetg"));
    const int checkWidth = width() - 216 - 3;
    // Room for the indicator and its gap comes off the text's share.
    fitFont(m_together, {m_together->text()}, checkWidth - 20);
    m_together->setGeometry(216, 24, checkWidth, 17);
    styleValveNumbers(makeLabel(this, QStringLiteral("LabelzNam"),
                                QStringLiteral("1  2  3  4  5  6  7  8"), QRect()));
}

void TValvePanel::buildRows()
{
    const int timeWidth = width() - kTimeLabelX - 3;
    const QFont timeFont = fittedFont(font(), widestTimes(font()), timeWidth);

    for (int v = 0; v < kValves; ++v) {
        auto *name = new QLineEdit(this);
        name->setObjectName(QStringLiteral("EditNameZadv%1").arg(v + 1));
        name->setToolTip(QStringLiteral("Имя задвижки не более 8 символов"));
        name->setMaxLength(kNameMaxLength);
        new Cp1251Validator(name, QStringLiteral("в файле настроек"));
        name->setGeometry(QRect(QPoint(kNameX, kNameY[v]), kNameSize));
        m_names[v] = name;

        QScrollBar *bar = makeScrollBar(
            this, QStringLiteral("ScrollBarTimeZadv%1").arg(v + 1), Qt::Horizontal,
            QRect(QPoint(kBarX, kBarY[v]), kBarSize), {kMinTravel, kMaxTravel, 1, kPageStep},
            QStringLiteral("Время движения от начала до конца задвижки N"));
        // A stop on the keyboard's way through the panel, moved by the arrows.
        bar->setFocusPolicy(Qt::StrongFocus);
        m_times[v] = bar;

        m_timeLabels[v] = makeLabel(this, QStringLiteral("LabelTimeZadv%1").arg(v + 1), QString(),
                                    QRect(kTimeLabelX, kTimeLabelY[v], timeWidth, 16));
        m_timeLabels[v]->setFont(timeFont);
    }
    // The names share one font fitted to the widest of them as they are typed.
    m_fittedNames = new FittedEdits({m_names.begin(), m_names.end()}, kNameMaxLength, this);
}

void TValvePanel::ScrollBarTimeZadvChange(int valve)
{
    const int t = m_times[valve - 1]->value();
    m_timeLabels[valve - 1]->setText(minutesSecondsText(t));
    // What the operator sets goes into the store at once, so the strip's next
    // refresh shows it rather than the value before.
    if (!m_showingStore)
        m_store.writeTravelTime(valve, std::uint8_t(t));
    if (valve == 1 && m_together->isChecked()) {
        for (int v = 1; v < kValves; ++v)
            m_times[v]->setValue(t);
    }
}

void TValvePanel::WriteZadv()
{
    // The travel times first: they belong to the programme, which is saved
    // even when the settings file cannot take the names.
    m_store.writeTravelTimes(travelTimes());
    SaveIniNameZadvigki();
}

void TValvePanel::SaveIniNameZadvigki()
{
    m_settings.saveValveNames(valveNames());
}

void TValvePanel::showValveNames(const FountainSettings::ValveNames &names)
{
    m_fittedNames->batch([&] {
        for (int v = 0; v < kValves; ++v) {
            QLineEdit *edit = m_names[v];
            edit->setMaxLength(std::max(kNameMaxLength, int(names[v].size())));
            edit->setText(names[v]);
            // The beginning of a name wider than its box, not its end.
            edit->setCursorPosition(0);
        }
    });
}

FountainSettings::ValveNames TValvePanel::valveNames() const
{
    FountainSettings::ValveNames names;
    for (int v = 0; v < kValves; ++v)
        names[v] = m_names[v]->text();
    return names;
}

void TValvePanel::showTravelTimes(const TravelTimes &stored)
{
    // Nothing shown here reaches the store: "Вместе" moves bars 2 to 8 with
    // bar 1 before each is set to its own value, and a stored time below 7
    // shows as 7 but stays as it is.
    const QScopedValueRollback showing(m_showingStore, true);
    for (int v = 0; v < kValves; ++v)
        m_times[v]->setValue(stored[v]);
}

TravelTimes TValvePanel::travelTimes() const
{
    TravelTimes t{};
    for (int v = 0; v < kValves; ++v)
        t[v] = std::uint8_t(m_times[v]->value()); // kMinTravel..kMaxTravel
    return t;
}
