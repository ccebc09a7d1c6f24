#include "app/fit_font.h"

#include <QFontMetrics>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

int widest(const QFont &font, const QStringList &texts)
{
    const QFontMetrics metrics(font);
    int most = 0;
    for (const QString &t : texts)
        most = std::max(most, metrics.horizontalAdvance(t));
    return most;
}

} // namespace

QFont fittedFont(QFont font, const QStringList &texts, int width)
{
    constexpr qreal kSmallest = 6;
    const qreal start = font.pointSizeF();
    QList<int> widths;
    {
        const QFontMetrics metrics(font);
        for (const QString &t : texts)
            widths << metrics.horizontalAdvance(t);
    }
    const int wide = widths.isEmpty() ? 0 : *std::max_element(widths.begin(), widths.end());
    if (wide <= width || start <= kSmallest)
        return font;
    // Only texts near the widest can decide a smaller size.
    QStringList contenders;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (widths[i] * 10 >= wide * 9)
            contenders << texts[i];
    }
    // The largest half-point size below the start that fits. Widths scale
    // with the size, so the search starts from the ratio rather than stepping
    // down from the top: each size tried loads a font of its own, which is slow.
    const auto fits = [&](qreal size) {
        QFont f = font;
        f.setPointSizeF(size);
        return widest(f, contenders) <= width;
    };
    qreal size = std::clamp(std::floor(start * width / wide * 2) / 2, kSmallest, start - 0.5);
    while (size + 0.5 < start && fits(size + 0.5))
        size += 0.5;
    while (size > kSmallest && !fits(size))
        size -= 0.5;
    font.setPointSizeF(size);
    return font;
}

void fitFont(QWidget *widget, const QStringList &texts, int width)
{
    widget->setFont(fittedFont(widget->font(), texts, width));
}
