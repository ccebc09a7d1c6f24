// Replacing a file through a temporary file beside it, so that a failed write
// leaves the old file whole: the step the form file and the settings file
// share. It stands behind this narrow interface so that a failure at any
// stage, which a real disk seldom offers on demand, can be brought about.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

class SaveFile
{
  public:
    virtual ~SaveFile() = default;

    // The stages of QSaveFile, in the order they are taken.
    [[nodiscard]] virtual bool open() = 0;
    [[nodiscard]] virtual qint64 write(const QByteArray &bytes) = 0;
    [[nodiscard]] virtual bool flush() = 0;
    // Puts the new file in place of the old one. On failure the old one stays
    // and the temporary is gone.
    [[nodiscard]] virtual bool commit() = 0;
    // Gives the new file up: the temporary goes, and the old file stays.
    virtual void cancelWriting() = 0;
};

// Makes the writer for a file's path.
using SaveFileMaker = std::function<std::unique_ptr<SaveFile>(const QString &path)>;

// The one the program writes with: QSaveFile.
std::unique_ptr<SaveFile> makeQSaveFile(const QString &path);
