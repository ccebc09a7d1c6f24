#include "tests/test_support.h"

#include <QFile>
#include <QTest>

void RecordingPrompts::critical(QWidget *, const QString &title, const QString &text)
{
    titles << title;
    messages << text;
}

QString RecordingPrompts::openFileName(QWidget *, const QString &prefill)
{
    openPrefills << prefill;
    return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
}

QString RecordingPrompts::saveFileName(QWidget *, const QString &prefill)
{
    savePrefills << prefill;
    return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
}

Sandbox::Sandbox() : m_oldConfig(qgetenv("XDG_CONFIG_HOME")), m_oldCwd(QDir::currentPath())
{
    qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    QDir::setCurrent(m_work.path());
}

Sandbox::~Sandbox()
{
    QDir::setCurrent(m_oldCwd);
    qputenv("XDG_CONFIG_HOME", m_oldConfig);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}
