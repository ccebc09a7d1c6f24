// Drawing of the bar gauge and the rule for when it must repaint.
#include "player/gauge.h"

#include "core/form_layout.h"

#include <QPainter>

namespace {
const QColor kFill(0, 255, 255);         // aqua
const QColor kBackground(192, 220, 192); // money green
} // namespace

TGauge::TGauge(bool showText, QWidget *parent) : QWidget(parent), m_showText(showText)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int TGauge::filledHeight(int value) const
{
    return value * height() / form_layout::kFullJet;
}

void TGauge::setValue(int value)
{
    value = std::clamp(value, form_layout::kNoJet, form_layout::kFullJet);
    if (value == m_value)
        return;
    const bool visibleChange = m_showText
                                   ? form_layout::percent(value) != form_layout::percent(m_value)
                                   : filledHeight(value) != filledHeight(m_value);
    m_value = value;
    if (visibleChange) {
        ++m_updateRequests;
        update();
    }
}

void TGauge::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int filled = filledHeight(m_value);
    p.fillRect(0, 0, width(), height() - filled, kBackground);
    p.fillRect(0, height() - filled, width(), filled, kFill);
    if (m_showText) {
        p.setPen(Qt::black);
        p.drawText(rect(), Qt::AlignCenter,
                   QStringLiteral("%1%").arg(form_layout::percent(m_value)));
    }
}
