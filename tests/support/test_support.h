// Helpers shared by the test programs: a private settings folder and working
// directory per test, whole-file reads and writes, and the expected values and
// stand-ins that a core program and a window program both use.
#pragma once

#include "core/fountain_geometry.h"
#include "core/save_file.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>

// Points the settings folder (XDG_CONFIG_HOME; APPDATA on Windows) and the
// current directory at fresh temporary folders for as long as it lives.
class Sandbox
{
  public:
    Sandbox();
    ~Sandbox();
    Sandbox(const Sandbox &) = delete;
    Sandbox &operator=(const Sandbox &) = delete;

    QString configDir() const { return m_config.path(); }
    QString workDir() const { return m_work.path(); }
    QString settingsPath() const { return m_config.path() + QStringLiteral("/Fonvira.ini"); }
    QString workPath(const QString &name) const { return m_work.path() + u'/' + name; }

  private:
    QTemporaryDir m_config;
    QTemporaryDir m_work;
    QByteArray m_oldConfig;
    QString m_oldCwd;
};

void writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);

// A form store image of random bytes in every position.
QByteArray randomImage(quint32 seed);
// A value of the sandbox's settings file; "<missing>" when it is not there.
QString iniValue(const Sandbox &sandbox, const QString &section, const QString &key);
// Seconds as the travel-time and strip labels show them: "1 Мин 40 Сек ".
QString minSecText(int seconds);

// A save that fails at one stage, as a full or failing disk makes it fail:
// QSaveFile underneath, but the stage reports failure with the given system
// error (errno; GetLastError's on Windows; 0 for none). A failed commit gives
// the temporary file up first, as QSaveFile's own does.
enum class SaveStage { Flush, Commit };
SaveFileMaker failingSave(SaveStage stage, int systemError);
// The platform's numbers for a full disk and for a device that failed.
extern const int kSystemDiskFull;
extern const int kSystemDeviceError;

// The settings file's section of valve names.
inline const QString kZ = QStringLiteral("Zadvizki");

// The upload frame as the form shaper expects it, written out from the rule.
QByteArray expectedFrame(const QByteArray &bank0);

// A repeatable stand-in for the spray flicker: draw k gives (7k + 3) mod 10.
struct ScriptedRandom
{
    int draws = 0;
    int operator()() { return (7 * draws++ + 3) % 10; }
};

float heightOf(const fountain::Strip &strip, int jet);

// Marks the OpenGL drivers loaded so far (Mesa's *_dri.so) never to be
// unloaded, so that LeakSanitizer can still name them at exit.
void keepGLDriversLoaded();
