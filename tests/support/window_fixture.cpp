#include "tests/support/window_fixture.h"

#include "editor/form_editing_panel.h"
#include "editor/valve_panel.h"
#include "player/live_gauges.h"
#include "player/sequencer_panel.h"
#include "player/strip_viewer.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

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

QObject *findNamed(const QObject *root, const QString &name, const QMetaObject &type)
{
    for (QObject *child : root->findChildren<QObject *>(name)) {
        if (type.cast(child))
            return child;
    }
    qFatal("no %s named %s", type.className(), qPrintable(name));
}

QString openFormFile(WindowFixture &x, const QString &name, const QByteArray &content)
{
    const QString path = x.sandbox().workPath(name);
    if (!content.isNull())
        writeFile(path, content);
    x.prompts.openAnswers << path;
    x.button(QStringLiteral("SpeedButtonLoad"))->click();
    return path;
}

WindowFixture::WindowFixture(Sandbox *sandbox)
    : m_ownSandbox(sandbox ? nullptr : std::make_unique<Sandbox>()),
      m_sandbox(sandbox ? sandbox : m_ownSandbox.get()),
      m_window(std::make_unique<TfrmMain>(prompts))
{
}

WindowFixture::~WindowFixture() = default;

QScrollBar *WindowFixture::bar(const QString &name) const
{
    return find<QScrollBar>(name);
}

QLabel *WindowFixture::label(const QString &name) const
{
    return find<QLabel>(name);
}

QLineEdit *WindowFixture::edit(const QString &name) const
{
    return find<QLineEdit>(name);
}

QToolButton *WindowFixture::button(const QString &name) const
{
    return find<QToolButton>(name);
}

QCheckBox *WindowFixture::check(const QString &name) const
{
    return find<QCheckBox>(name);
}

QScrollBar *WindowFixture::bar(const char *prefix, int number) const
{
    return bar(QLatin1String(prefix) + QString::number(number));
}

QLabel *WindowFixture::label(const char *prefix, int number) const
{
    return label(QLatin1String(prefix) + QString::number(number));
}

QLineEdit *WindowFixture::edit(const char *prefix, int number) const
{
    return edit(QLatin1String(prefix) + QString::number(number));
}

void WindowFixture::tick(const QString &timer) const
{
    if (!QMetaObject::invokeMethod(find<QTimer>(timer), "timeout"))
        qFatal("%s did not tick", qPrintable(timer));
}

TFormEditingPanel *WindowFixture::editor() const
{
    return find<TFormEditingPanel>(QStringLiteral("GroupBoxEDIT"));
}

TSequencerPanel *WindowFixture::sequencer() const
{
    return find<TSequencerPanel>(QStringLiteral("GroupBoxSequenser"));
}

TLiveGauges *WindowFixture::gauges() const
{
    return find<TLiveGauges>(QStringLiteral("GroupBoxView"));
}

TStripViewer *WindowFixture::strip() const
{
    return find<TStripViewer>(QStringLiteral("StripViewer"));
}

TValvePanel *WindowFixture::valves() const
{
    return find<TValvePanel>(QStringLiteral("GroupBoxNameGate"));
}

QString captionWithFile(const QString &path)
{
    return QStringLiteral("Редатор форм фонтанов  ") + QDir::toNativeSeparators(path);
}
