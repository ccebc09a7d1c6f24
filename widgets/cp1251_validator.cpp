#include "widgets/cp1251_validator.h"

#include "core/cp1251.h"

#include <QLineEdit>
#include <QToolTip>

namespace {

// A long paste refused is named by its first few characters.
constexpr int kMostNamed = 5;

// A character as the hint names it: itself where it can be seen, else its
// code ("U+200B" for a zero-width space, a combining accent).
QString named(char32_t c)
{
    if (QChar::isPrint(c) && !QChar::isMark(c) && !QChar::isSpace(c))
        return u'«' + QString::fromUcs4(&c, 1) + u'»';
    return QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
}

// The characters of refused that the file cannot hold, each named once.
QString refusalHint(QStringView refused, const QString &inFile)
{
    QStringList names;
    bool more = false;
    for (qsizetype i = 0; i < refused.size() && !more; ++i) {
        const QChar unit = refused[i];
        if (cp1251::encodable(QStringView(&unit, 1)))
            continue;
        char32_t c = unit.unicode();
        if (unit.isHighSurrogate() && i + 1 < refused.size() && refused[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(unit, refused[++i]);
        const QString name = named(c);
        if (names.contains(name))
            continue;
        more = names.size() == kMostNamed;
        if (!more)
            names << name;
    }
    // Two lines, so that the balloon under a box near the middle of the
    // screen still fits to its right.
    return QStringLiteral("Нельзя ввести %1%2:\n%3 хранятся только символы Windows-1251")
        .arg(names.join(QStringLiteral(", ")), more ? QStringLiteral(" …") : QString(), inFile);
}

} // namespace

Cp1251Validator::Cp1251Validator(QLineEdit *box, QString inFile)
    : QValidator(box), m_box(box), m_inFile(std::move(inFile))
{
    box->setValidator(this);
    // inputRejected also comes when the box is full: only a refusal of ours,
    // just validated, gets the hint.
    connect(box, &QLineEdit::inputRejected, this, &Cp1251Validator::inputRejected);
    connect(box, &QLineEdit::textChanged, this, [this] { m_refusedText.clear(); });
}

QValidator::State Cp1251Validator::validate(QString &input, int &) const
{
    if (cp1251::encodable(input)) {
        m_refusedText.clear();
        return Acceptable;
    }
    m_refusedText = input;
    return Invalid;
}

void Cp1251Validator::inputRejected()
{
    if (m_refusedText.isEmpty())
        return;
    const QString hint = refusalHint(m_refusedText, m_inFile);
    m_refusedText.clear();
    // Under the box, where the eye is while typing: the platform's balloon
    // for refused input.
    QToolTip::showText(m_box->mapToGlobal(QPoint(0, m_box->height())), hint, m_box);
    emit refused(hint);
}
