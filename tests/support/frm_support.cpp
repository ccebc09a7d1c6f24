#include "tests/support/frm_support.h"

#include <QProcess>

int levelAt(int slot, int valve)
{
    return (valve - 1) * 256 + slot;
}
int nameLengthAt(int slot)
{
    return 128 + slot;
}
int holdMinAt(int slot)
{
    return 128 + slot + 6 * 256;
}
int holdSecAt(int slot)
{
    return 128 + slot + 7 * 256;
}
int travelAt(int valve)
{
    return 6271 + (valve - 1) * 256;
}

FountainForm form(std::array<std::uint8_t, 8> levels, const QString &name, int min, int sec)
{
    FountainForm f;
    f.levels = levels;
    f.name = name;
    f.holdMin = std::uint8_t(min);
    f.holdSek = std::uint8_t(sec);
    return f;
}

QByteArray editorFile()
{
    FormStore store;
    store.WriteForm(0, form({255, 128, 0, 0, 0, 0, 128, 255}, QStringLiteral("Волна"), 0, 30));
    store.WriteForm(1, form({64, 64, 64, 64, 64, 64, 64, 64}, QStringLiteral("Ёлка"), 1, 5));
    store.WriteForm(2, form({255, 254, 3, 2, 1, 0, 0, 0}, QStringLiteral("Left"), 0, 45));
    store.WriteForm(3, form({}, QStringLiteral("Конец"), 0, 0));
    store.WriteForm(4, form({9, 9, 9, 9, 9, 9, 9, 9}, QStringLiteral("after"), 0, 20));
    store.writeTravelTimes({20, 20, 25, 25, 30, 30, 60, 90});
    return store.image();
}

QByteArray withBytes(QByteArray image, const QList<QPair<int, int>> &bytes)
{
    for (const auto &[offset, value] : bytes)
        image[offset] = char(value);
    return image;
}

Run runTool(const QStringList &args, const QString &workDir)
{
    QProcess p;
    if (!workDir.isEmpty())
        p.setWorkingDirectory(workDir);
    p.start(qEnvironmentVariable("FOUNTAIN_TEST_BINARY_DIR") +
                QStringLiteral("/tools/fountain-frm"),
            args);
    if (!p.waitForFinished(20000) || p.exitStatus() != QProcess::NormalExit)
        return {};
    Run run{p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
#ifdef Q_OS_WIN
    // Text written to a Windows program's standard output ends its lines with CR LF.
    run.out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    run.err.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
#endif
    return run;
}
