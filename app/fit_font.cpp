#include "app/fit_font.h"

#include <QFontMetrics>
#include <QWidget>

#include <algorithm>

QFont fittedFont(QFont font, const QStringList &texts, int width)
{
    auto widest = [&] {
        const QFontMetrics metrics(font);
        int most = 0;
        for (const QString &t : texts)
            most = std::max(most, metrics.horizontalAdvance(t));
        return most;
    };
    while (widest() > width && font.pointSizeF() > 6)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    return font;
}

void fitFont(QWidget *widget, const QStringList &texts, int width)
{
    widget->setFont(fittedFont(widget->font(), texts, width));
}
