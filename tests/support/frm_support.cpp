#include "tests/support/frm_support.h"

#include <QProcess>

using namespace form_layout;

namespace {

int nameAt(int slot)
{
    return nameIndex(levelIndex(kFormBank, slot));
}

} // namespace

int levelAt(int slot, int valve)
{
    return levelByte(levelIndex(kFormBank, slot), valve);
}
int nameLengthAt(int slot)
{
    return detailByte(nameAt(slot), kNameLengthPlane);
}
int nameCharAt(int slot, int character)
{
    return detailByte(nameAt(slot), nameCharPlane(character));
}
int holdMinAt(int slot)
{
    return detailByte(nameAt(slot), kHoldMinPlane);
}
int holdSecAt(int slot)
{
    return detailByte(nameAt(slot), kHoldSecPlane);
}
int travelAt(int valve)
{
    return travelTimeByte(valve);
}

FountainForm form(JetLevels levels, const QString &name, int min, int sec)
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
