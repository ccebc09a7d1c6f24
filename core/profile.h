// The settings file: a sectioned key=value text file in Windows-1251, read one
// key at a time with a default and written a key or a few at a time, leaving
// every other line in place. Sections and keys match without regard to case.
// Every rewrite holds a lock file beside it ("Fonvira.ini.lock"), so that two
// editors writing at once never lose each other's keys.
#pragma once

#include "core/save_file.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

class ProfileFile
{
  public:
    static constexpr qsizetype kMaxValueLength = 2047;

    // A file that does not exist yet reads as readFallback, where given, and its
    // first write starts from that file's lines: settings carry over from an
    // older place. Rewrites go through makeFile.
    explicit ProfileFile(QString path, QString readFallback = {},
                         SaveFileMaker makeFile = makeQSaveFile)
        : m_path(std::move(path)), m_fallback(std::move(readFallback)),
          m_makeFile(std::move(makeFile))
    {
    }

    [[nodiscard]] const QString &path() const { return m_path; }

    // The value of key in section, up to maxLength characters; def when the
    // file, the section or the key is missing or the file cannot be read.
    [[nodiscard]] QString readString(const QString &section, const QString &key, const QString &def,
                                     qsizetype maxLength = kMaxValueLength) const;

    // Creates the file, section and key as needed; throws ESettingsWriteError.
    void writeString(const QString &section, const QString &key, const QString &value);
    // Several keys of one section, in the order given, in one rewrite of the
    // file: a reader, or another editor, sees all of them or none. Throws
    // ESettingsWriteError, and then none is written.
    using KeyValues = QList<std::pair<QString, QString>>;
    void writeStrings(const QString &section, const KeyValues &values);

    // The same two operations on a file's bytes, without touching the disk.
    [[nodiscard]] static QString valueIn(const QByteArray &contents, const QString &section,
                                         const QString &key, const QString &def,
                                         qsizetype maxLength = kMaxValueLength);
    [[nodiscard]] static QByteArray withValue(const QByteArray &contents, const QString &section,
                                              const QString &key, const QString &value);

  private:
    // The file reads come from: the file itself, or the fallback while it is missing.
    [[nodiscard]] QString readPath() const;

    QString m_path;
    QString m_fallback;
    SaveFileMaker m_makeFile;
};
