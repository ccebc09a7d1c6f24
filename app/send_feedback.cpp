#include "app/send_feedback.h"

#include "link/com_port.h"

#include <QAction>
#include <QLocale>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

namespace {

// The command's picture with a bar along its foot, filled as far as the send
// has got: drawn at twice the toolbar's 16 pixels, for dense screens too.
QIcon withProgress(const QIcon &icon, int percent)
{
    constexpr int kSide = 32;
    QPixmap pixmap = icon.pixmap(QSize(kSide, kSide));
    pixmap.setDevicePixelRatio(1);
    pixmap = pixmap.scaled(kSide, kSide);
    QPainter p(&pixmap);
    const QRect bar(1, kSide - 8, kSide - 2, 7);
    p.fillRect(bar, Qt::white);
    p.fillRect(bar.adjusted(0, 0, -(bar.width() * (100 - percent) / 100), 0),
               QColor(0x1e, 0x8c, 0x2d));
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.drawRect(bar.adjusted(0, 0, -1, -1));
    p.end();
    return QIcon(pixmap);
}

} // namespace

TSendFeedback::TSendFeedback(QAction *command, const ComPort &port, QObject *parent)
    : QObject(parent), m_command(command), m_port(port), m_icon(command->icon()),
      m_hint(command->toolTip())
{
    connect(&port, &ComPort::progress, this, &TSendFeedback::showProgress);
    connect(&port, &ComPort::sent, this, &TSendFeedback::showSent);
    connect(&port, &ComPort::failed, this, &TSendFeedback::showIdle);
}

QString TSendFeedback::sentLine(const QDateTime &when, const QString &portName, qint64 bytes)
{
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    return QStringLiteral("Последняя отправка: %1 %2, порт %3, %4 байт")
        .arg(russian.toString(when, QStringLiteral("dd.MM.yyyy")),
             russian.toString(when, QStringLiteral("HH:mm:ss")), portName)
        .arg(bytes);
}

QString TSendFeedback::sendingLine(const QString &portName, qint64 sentBytes, qint64 totalBytes,
                                   qint32 baudRate)
{
    const qint64 leftMs = ComPort::wireMs(totalBytes - sentBytes, baudRate) + 999;
    return QStringLiteral("Идёт отправка на порт %1: %2 из %3 байт, осталось около %4 с")
        .arg(portName)
        .arg(sentBytes)
        .arg(totalBytes)
        .arg(leftMs / 1000);
}

void TSendFeedback::showProgress(qint64 sentBytes, qint64 totalBytes)
{
    const int percent =
        totalBytes > 0 ? int(std::clamp<qint64>(sentBytes * 100 / totalBytes, 0, 100)) : 0;
    if (percent != m_shownPercent) {
        m_shownPercent = percent;
        m_command->setIcon(withProgress(m_icon, percent));
    }
    setHint(sendingLine(m_port.portName(), sentBytes, totalBytes, m_port.baudRate()));
}

void TSendFeedback::showSent(qint64 totalBytes)
{
    m_lastSent = sentLine(QDateTime::currentDateTime(), m_port.portName(), totalBytes);
    showIdle();
}

void TSendFeedback::showIdle()
{
    m_shownPercent = -1;
    m_command->setIcon(m_icon);
    setHint(m_lastSent);
}

void TSendFeedback::setHint(const QString &line)
{
    m_command->setToolTip(line.isEmpty() ? m_hint : m_hint + u'\n' + line);
}
