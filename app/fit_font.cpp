#include "app/fit_font.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>

#include <algorithm>
#include <memory>

namespace {

int widest(const QFont &font, const QStringList &texts)
{
    const QFontMetrics metrics(font);
    int most = 0;
    for (const QString &t : texts)
        most = std::max(most, metrics.horizontalAdvance(t));
    return most;
}

// Half a point smaller, or a pixel for fonts sized in pixels; false at the floor.
bool smaller(QFont &font, qreal floor)
{
    if (font.pixelSize() > 0) {
        if (font.pixelSize() <= 8)
            return false;
        font.setPixelSize(font.pixelSize() - 1);
        return true;
    }
    if (font.pointSizeF() - 0.5 < floor)
        return false;
    font.setPointSizeF(font.pointSizeF() - 0.5);
    return true;
}

const char *const kBaseFont = "fitBaseFont";

} // namespace

QFont fittedFont(QFont font, const QStringList &texts, int width, qreal floor)
{
    for (;;) {
        if (widest(font, texts) <= width)
            return font;
        QFont narrow = font;
        narrow.setStretch(QFont::Condensed);
        if (widest(narrow, texts) <= width || !smaller(font, floor))
            return narrow;
    }
}

void fitFont(QWidget *widget, const QStringList &texts, int width)
{
    widget->setFont(fittedFont(widget->font(), texts, width));
}

void showFitted(QLabel *label, const QString &text)
{
    if (!label->property(kBaseFont).isValid())
        label->setProperty(kBaseFont, label->font());
    const QFont base = label->property(kBaseFont).value<QFont>();
    label->setFont(fittedFont(base, {text}, label->contentsRect().width()));
    label->setText(text);
}

int textRoom(const QLineEdit *edit)
{
    const int frame = edit->hasFrame()
                          ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit)
                          : 0;
    const QMargins margins = edit->textMargins();
    // QLineEdit keeps two pixels each side, and one for the cursor.
    return edit->width() - 2 * frame - margins.left() - margins.right() - 2 * 2 - 1;
}

void fitTogether(const QList<QLineEdit *> &edits, int capacity)
{
    if (edits.isEmpty())
        return;
    const QFont base = edits.front()->font();
    const auto refit = [edits, base, capacity] {
        QStringList texts;
        for (const QLineEdit *e : edits)
            texts << e->text().left(capacity);
        const QFont font = fittedFont(base, texts, textRoom(edits.front()), 7);
        for (QLineEdit *e : edits) {
            e->setFont(font);
            const bool whole = QFontMetrics(font).horizontalAdvance(e->text()) <= textRoom(e);
            if (e->isReadOnly())
                e->setToolTip(whole ? QString() : e->text());
            if (!e->hasFocus())
                e->setCursorPosition(0);
        }
    };
    for (QLineEdit *e : edits)
        QObject::connect(e, &QLineEdit::textChanged, e, refit);
    refit();
}
