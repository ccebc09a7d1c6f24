#include "widgets/fit_font.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>

#include <algorithm>
#include <cmath>

namespace {

// The widest of the texts, in the unit of the metrics: whole pixels, or
// fractions for the ratio of widths.
template <typename Metrics> auto widestIn(const QFont &font, const QStringList &texts)
{
    const Metrics metrics(font);
    decltype(metrics.horizontalAdvance(QString())) most = 0;
    for (const QString &t : texts)
        most = std::max(most, metrics.horizontalAdvance(t));
    return most;
}

int widest(const QFont &font, const QStringList &texts)
{
    return widestIn<QFontMetrics>(font, texts);
}

// Sizes in the font's own unit: half points, or whole pixels.
bool inPixels(const QFont &font)
{
    return font.pixelSize() > 0;
}

qreal sizeOf(const QFont &font)
{
    return inPixels(font) ? font.pixelSize() : font.pointSizeF();
}

void setSize(QFont &font, qreal size)
{
    if (inPixels(font))
        font.setPixelSize(int(size));
    else
        font.setPointSizeF(size);
}

// The largest size below the font's own at which the texts fit, not below the
// floor. Each size tried loads a font of its own, which is slow, so the size
// comes from the ratio of widths, which scale with the size to within a
// pixel; only where that leaves the step above in doubt is it tried too.
QFont shrunk(QFont font, const QStringList &texts, int width, qreal floor)
{
    const qreal step = inPixels(font) ? 1 : 0.5;
    const qreal smallest = inPixels(font) ? 8 : floor;
    const qreal start = sizeOf(font);
    if (start <= smallest)
        return font;
    const auto fits = [&](qreal size) {
        QFont f = font;
        setSize(f, size);
        return widest(f, texts) <= width;
    };
    const qreal wide = widestIn<QFontMetricsF>(font, texts);
    const auto widthAt = [&](qreal size) { return wide * size / start; };
    qreal size = std::clamp(std::floor(start * width / wide / step) * step, smallest, start - step);
    while (size + step < start && widthAt(size + step) <= width + 1 && fits(size + step))
        size += step;
    while (size > smallest && !fits(size))
        size -= step;
    setSize(font, size);
    return font;
}

const char *const kBaseFont = "fitBaseFont";

} // namespace

QFont fittedFont(QFont font, const QStringList &texts, int width, qreal floor)
{
    QList<int> widths;
    {
        const QFontMetrics metrics(font);
        for (const QString &t : texts)
            widths << metrics.horizontalAdvance(t);
    }
    const int wide = widths.isEmpty() ? 0 : *std::max_element(widths.begin(), widths.end());
    if (wide <= width)
        return font;
    // Only texts near the widest can decide.
    QStringList contenders;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (widths[i] * 10 >= wide * 9)
            contenders << texts[i];
    }
    // The condensed face first: as tall as the font, so as readable.
    font.setStretch(QFont::Condensed);
    if (widest(font, contenders) <= width)
        return font;
    return shrunk(font, contenders, width, floor);
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

FittedEdits::FittedEdits(const QList<QLineEdit *> &edits, int capacity, QObject *parent)
    : QObject(parent), m_edits(edits), m_capacity(capacity),
      m_base(edits.isEmpty() ? QFont() : edits.front()->font())
{
    for (QLineEdit *e : m_edits)
        connect(e, &QLineEdit::textChanged, this, [this] {
            if (!m_inBatch)
                refit();
        });
}

void FittedEdits::batch(const std::function<void()> &change)
{
    m_inBatch = true;
    change();
    m_inBatch = false;
    refit();
}

void FittedEdits::refit()
{
    if (m_edits.isEmpty())
        return;
    QStringList texts;
    for (const QLineEdit *e : m_edits)
        texts << e->text().left(m_capacity);
    const QFont font = fittedFont(m_base, texts, textRoom(m_edits.front()), 7);
    for (QLineEdit *e : m_edits) {
        e->setFont(font);
        const bool whole = QFontMetrics(font).horizontalAdvance(e->text()) <= textRoom(e);
        if (e->isReadOnly())
            e->setToolTip(whole ? QString() : e->text());
        if (!e->hasFocus())
            e->setCursorPosition(0);
    }
}
