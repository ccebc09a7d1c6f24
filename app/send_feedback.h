// What the send command shows of its upload: while the frame is on the line
// its button carries a progress bar and its hint counts the bytes; afterwards
// the hint says when the last programme left, to which port and how many
// bytes. Success needs no box to click away; failures are shown as before.
#pragma once

#include <QDateTime>
#include <QIcon>
#include <QObject>
#include <QString>

class ComPort;
class QAction;

class TSendFeedback : public QObject
{
    Q_OBJECT

  public:
    TSendFeedback(QAction *command, const ComPort &port, QObject *parent = nullptr);

    // The hint's lines after a whole send and while one is on the line.
    static QString sentLine(const QDateTime &when, const QString &portName, qint64 bytes);
    static QString sendingLine(const QString &portName, qint64 sentBytes, qint64 totalBytes,
                               qint32 baudRate);

  private:
    void showProgress(qint64 sentBytes, qint64 totalBytes);
    void showSent(qint64 totalBytes);
    void showIdle();
    void setHint(const QString &line);

    QAction *m_command;
    const ComPort &m_port;
    QIcon m_icon;
    QString m_hint;
    QString m_lastSent; // the hint's line about the last whole send
    int m_shownPercent = -1;
};
