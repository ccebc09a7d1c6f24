#include "core/playback.h"

QString minutesSecondsText(int seconds)
{
    return QString::number(seconds / 60) + QStringLiteral(" Мин ") + QString::number(seconds % 60) +
           QStringLiteral(" Сек ");
}

QString Playback::countdownText(int seconds)
{
    return QStringLiteral("Таймер ") + minutesSecondsText(seconds);
}

void Playback::loadHoldTime(const CurrentForm &form, std::optional<int> demoSeconds)
{
    m_holdCounter = demoSeconds ? *demoSeconds : form.holdTime().total();
}

void Playback::tick(CurrentForm &form, std::optional<int> demoSeconds)
{
    form.loadOnNumberChange();
    if (m_holdCounter != 0) {
        --m_holdCounter;
        return;
    }
    form.setFormNumber(nextSlot(form.formNumber()));
    loadHoldTime(form, demoSeconds);
    if (m_holdCounter == 0) // a coda mark: back to the first form
        form.setFormNumber(0);
    loadHoldTime(form, demoSeconds);
    form.reloadForm();
}

void Playback::start(CurrentForm &form)
{
    // Ticked, "запись +1 " would keep the panel's unsaved values under the
    // title of form 1: they would be played as form 1 and an OK would store
    // them over it.
    form.loadOnNumberChange();
    form.setFormNumber(0);
    loadHoldTime(form, std::nullopt);
    form.reloadForm();
}
