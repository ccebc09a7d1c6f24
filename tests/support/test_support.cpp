#include "tests/support/test_support.h"

#include "core/form_store.h"
#include "core/profile.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QTest>

#include <cerrno>

#ifdef Q_OS_WIN
#include <windows.h>
#endif
#ifdef Q_OS_LINUX
#include <dlfcn.h>
#include <link.h>
#endif

namespace {

void setSystemError(int error)
{
#ifdef Q_OS_WIN
    SetLastError(DWORD(error));
#else
    errno = error;
#endif
}

class FailingSave : public SaveFile
{
  public:
    FailingSave(const QString &path, SaveStage stage, int error)
        : m_file(path), m_stage(stage), m_error(error)
    {
    }

    bool open() override { return m_file.open(QIODevice::WriteOnly); }
    qint64 write(const QByteArray &bytes) override { return m_file.write(bytes); }
    bool flush() override
    {
        if (m_stage != SaveStage::Flush)
            return m_file.flush();
        setSystemError(m_error);
        return false;
    }
    bool commit() override
    {
        if (m_stage != SaveStage::Commit)
            return m_file.commit();
        m_file.cancelWriting();
        const bool committed = m_file.commit(); // given up: only removes the temporary
        setSystemError(m_error);
        return committed;
    }
    void cancelWriting() override { m_file.cancelWriting(); }

  private:
    QSaveFile m_file;
    SaveStage m_stage;
    int m_error;
};

// The variable the platform's settings location honours.
#ifdef Q_OS_WIN
constexpr char kConfigVariable[] = "APPDATA";
#else
constexpr char kConfigVariable[] = "XDG_CONFIG_HOME";
#endif

} // namespace

#ifdef Q_OS_WIN
const int kSystemDiskFull = ERROR_DISK_FULL;
const int kSystemDeviceError = ERROR_CRC;
#else
const int kSystemDiskFull = ENOSPC;
const int kSystemDeviceError = EIO;
#endif

SaveFileMaker failingSave(SaveStage stage, int systemError)
{
    return [=](const QString &path) -> std::unique_ptr<SaveFile> {
        return std::make_unique<FailingSave>(path, stage, systemError);
    };
}

Sandbox::Sandbox() : m_oldConfig(qgetenv(kConfigVariable)), m_oldCwd(QDir::currentPath())
{
    qputenv(kConfigVariable, QDir::toNativeSeparators(m_config.path()).toLocal8Bit());
    QDir::setCurrent(m_work.path());
}

Sandbox::~Sandbox()
{
    QDir::setCurrent(m_oldCwd);
    qputenv(kConfigVariable, m_oldConfig);
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

QByteArray randomImage(quint32 seed)
{
    QRandomGenerator gen(seed);
    QByteArray b(form_layout::kImageSize, '\0');
    for (char &c : b)
        c = char(gen.bounded(256));
    return b;
}

QString iniValue(const Sandbox &sandbox, const QString &section, const QString &key)
{
    return ProfileFile(sandbox.settingsPath())
        .readString(section, key, QStringLiteral("<missing>"));
}

QString minSecText(int seconds)
{
    return QStringLiteral("%1 Мин %2 Сек ").arg(seconds / 60).arg(seconds % 60);
}

QByteArray expectedFrame(const QByteArray &bank0)
{
    QByteArray frame("\xFF\xF0", 2);
    for (const char c : bank0)
        frame.append(c == '\xFF' ? '\xFE' : c);
    return frame;
}

float heightOf(const fountain::Strip &strip, int jet)
{
    return strip[2 * jet + 1].y - strip[2 * jet].y;
}

void keepGLDriversLoaded()
{
#ifdef Q_OS_LINUX
    QStringList drivers;
    dl_iterate_phdr(
        [](dl_phdr_info *info, size_t, void *list) {
            const QString path = QString::fromLocal8Bit(info->dlpi_name);
            if (path.endsWith(QLatin1String("_dri.so")))
                static_cast<QStringList *>(list)->append(path);
            return 0;
        },
        &drivers);
    for (const QString &path : drivers)
        dlopen(QFile::encodeName(path).constData(), RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
#endif
}
