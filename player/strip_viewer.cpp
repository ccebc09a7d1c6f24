// The form strip viewer: seven read-only windows over consecutive form slots,
// slid along the programme by the ruler ScrollBarFormVewer. Each refresh also
// loads the valve travel times from the store into the valve panel's bars.
#include "app/guard.h"
#include "app/main_window.h"
#include "player/gauge.h"
#include "store/form_store.h"

#include <QGroupBox>
#include <QLabel>
#include <QScrollBar>

namespace {

constexpr int kRulerMax = 93; // the bottom window then shows slot 99
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

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, int y)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(kLabelLeft, y, kLabelWidth, 16);
    // A size smaller, so that "59 Мин 59 Сек " fits beside the gauges.
    QFont small = label->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    label->setFont(small);
    return label;
}

} // namespace

void TfrmMain::buildStripViewer()
{
    for (int w = 0; w < kStripWindows; ++w) {
        QGroupBox *box = GroupBoxWin[w];
        const int window = w + 1;
        for (int v = 0; v < kValves; ++v) {
            auto *gauge = new TGauge(false, box);
            gauge->setObjectName(QStringLiteral("GaugeWin%1z%2").arg(window).arg(v + 1));
            gauge->setGeometry(QRect(QPoint(kGaugeLeft + kGaugePitch * v, kGaugeTop), kGaugeSize));
            gauge->setValue(kPlaceholderLevel);
            GaugeWin[w][v] = gauge;
        }
        LabelNomberFormWin[w] =
            makeLabel(box, numberLabelName(window), QStringLiteral("Форма N "), 14);
        LabelNameFormWin[w] = makeLabel(box, QStringLiteral("LabelNameFormWin%1").arg(window),
                                        QStringLiteral("Имя"), 38);
        LabelTimeWin[w] = makeLabel(box, timeLabelName(window), QStringLiteral("Время"), 62);
    }

    ScrollBarFormVewer->setRange(0, kRulerMax);
    ScrollBarFormVewer->setSingleStep(1);
    ScrollBarFormVewer->setPageStep(kRulerPageStep);
    ScrollBarFormVewer->setValue(0);
    ScrollBarFormVewer->setToolTip(QStringLiteral("Линейка просмотра всех существующих форм "));
    ScrollBarFormVewer->setCursor(Qt::PointingHandCursor);
    guardedConnect(ScrollBarFormVewer, &QScrollBar::valueChanged, this,
                   [this] { ScrollBarFormVewerChange(); });
}

void TfrmMain::ScrollBarFormVewerChange()
{
    const FormStore &store = FormStore::instance();
    const int top = ScrollBarFormVewer->value();
    for (int w = 0; w < kStripWindows; ++w) {
        const int slot = top + w;
        LabelNomberFormWin[w]->setText(QStringLiteral("Форма N ") + QString::number(slot + 1));
        const FountainForm form = store.ReadForm(slot);
        // Jet levels as stored: only the editor's bars stand upside down.
        for (int v = 0; v < kValves; ++v)
            GaugeWin[w][v]->setValue(form.levels[v]);
        LabelNameFormWin[w]->setText(form.name);
        LabelTimeWin[w]->setText(QString::number(form.holdMin) + QStringLiteral(" Мин ") +
                                 QString::number(form.holdSek) + QStringLiteral(" Сек "));
    }
    // Unsaved travel times give way to the stored ones; the bars clamp 0..6 to 7.
    const auto travel = store.ReadZadv();
    for (int v = 0; v < kValves; ++v)
        ScrollBarTimeZadv[v]->setValue(travel[v]);
}
