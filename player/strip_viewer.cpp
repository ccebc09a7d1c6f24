// The form strip viewer: building the windows and the refresh.
#include "player/strip_viewer.h"

#include "player/gauge.h"
#include "widgets/controls.h"
#include "widgets/fit_font.h"
#include "widgets/guard.h"

#include <QGroupBox>
#include <QLabel>
#include <QScrollBar>

using form_layout::kValves;

namespace {

// The bottom window then shows the last form.
constexpr int kRulerMax = form_layout::kForms - TStripViewer::kWindows;
constexpr int kRulerPageStep = 15;
constexpr int kPlaceholderLevel = 25;
constexpr int kGaugeLeft = 6;
constexpr int kGaugeTop = 16;
constexpr int kGaugePitch = 24;
constexpr QSize kGaugeSize{17, 63};
constexpr int kLabelLeft = 196;
constexpr int kLabelWidth = 83; // up to the window's inner right edge

// The designer's names, irregular ones included: other code finds them by name.
QString numberLabelName(int window)
{
    return window == 6 ? QStringLiteral("LabeNomberFormWin6")
                       : QStringLiteral("LabelNomberFormWin%1").arg(window);
}

QString timeLabelName(int window)
{
    return window == 5 ? QStringLiteral("LabelLabelTimeWin5")
                       : QStringLiteral("LabelTimeWin%1").arg(window);
}

QLabel *makeWindowLabel(QWidget *parent, const QString &name, const QString &text, int y)
{
    QLabel *label = makeLabel(parent, name, text, QRect(kLabelLeft, y, kLabelWidth, 16));
    // A size smaller, so that "59 Мин 59 Сек " fits beside the gauges; longer
    // texts are fitted when shown.
    QFont small = label->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    label->setFont(small);
    return label;
}

} // namespace

TStripViewer::TStripViewer(const FormStore &store, const HandlerGuard &guard, QWidget *parent)
    : QWidget(parent), m_store(store)
{
    setObjectName(QStringLiteral("StripViewer"));
    for (int w = 0; w < kWindows; ++w) {
        const int window = w + 1;
        auto *box = new QGroupBox(this);
        box->setObjectName(QStringLiteral("GroupBoxWin%1").arg(window));
        box->setGeometry(0, 96 * w, 281, 89);
        for (int v = 0; v < kValves; ++v) {
            auto *gauge = new TGauge(false, box);
            gauge->setObjectName(QStringLiteral("GaugeWin%1z%2").arg(window).arg(v + 1));
            gauge->setGeometry(QRect(QPoint(kGaugeLeft + kGaugePitch * v, kGaugeTop), kGaugeSize));
            gauge->setValue(kPlaceholderLevel);
            m_gauges[w][v] = gauge;
        }
        m_numbers[w] =
            makeWindowLabel(box, numberLabelName(window), QStringLiteral("Форма N "), 14);
        m_names[w] = makeWindowLabel(box, QStringLiteral("LabelNameFormWin%1").arg(window),
                                     QStringLiteral("Имя"), 38);
        m_times[w] = makeWindowLabel(box, timeLabelName(window), QStringLiteral("Время"), 62);
    }

    m_ruler = makeScrollBar(this, QStringLiteral("ScrollBarFormVewer"), Qt::Vertical,
                            QRect(288, 8, 16, 657), {0, kRulerMax, 1, kRulerPageStep},
                            QStringLiteral("Линейка просмотра всех существующих форм "));
    guard.connect(m_ruler, &QScrollBar::valueChanged, this, [this] { ScrollBarFormVewerChange(); });
}

void TStripViewer::ScrollBarFormVewerChange()
{
    const int top = m_ruler->value();
    for (int w = 0; w < kWindows; ++w) {
        const int slot = top + w;
        showFitted(m_numbers[w], QStringLiteral("Форма N ") + QString::number(slot + 1));
        const FountainForm form = m_store.ReadForm(slot);
        // Jet levels as stored: only the editor's bars stand upside down.
        for (int v = 0; v < kValves; ++v)
            m_gauges[w][v]->setValue(form.levels[v]);
        showFitted(m_names[w], form.name);
        // Bytes above 59 from a file written elsewhere show as they are.
        showFitted(m_times[w], QString::number(form.holdMin) + QStringLiteral(" Мин ") +
                                   QString::number(form.holdSek) + QStringLiteral(" Сек "));
    }
    // Unsaved travel times give way to the stored ones.
    emit travelTimesRead(m_store.ReadZadv());
}

void TStripViewer::refreshStrip()
{
    ScrollBarFormVewerChange();
}
