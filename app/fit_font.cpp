#include "app/fit_font.h"

#include <QFontMetrics>
#include <QWidget>

#include <algorithm>

void fitFont(QWidget *widget, const QStringList &texts, int width)
{
    QFont font = widget->font();
    auto widest = [&] {
        int most = 0;
        for (const QString &t : texts)
            most = std::max(most, QFontMetrics(font).horizontalAdvance(t));
        return most;
    };
    while (widest() > width && font.pointSizeF() > 6)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    widget->setFont(font);
}
