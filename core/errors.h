// The application's own exceptions. Everything the program raises on purpose
// derives from EAppError, so the top-level handler can show its text as given.
#pragma once

#include <QDir>
#include <QString>
#include <stdexcept>

class EAppError : public std::runtime_error
{
  public:
    explicit EAppError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    [[nodiscard]] const QString &message() const noexcept { return m_message; }

  private:
    QString m_message;
};

// An input/output error of a file command, carrying the code its text comes from.
class EInOutError : public EAppError
{
  public:
    static constexpr int kFileNotFound = 2;
    static constexpr int kInvalidFilename = 3;
    static constexpr int kTooManyOpenFiles = 4;
    static constexpr int kAccessDenied = 5;
    static constexpr int kReadBeyondEnd = 100;
    static constexpr int kDiskFull = 101;
    // Not a code of the system: a file longer than a form file.
    static constexpr int kNotAFormFile = 1000;

    explicit EInOutError(int code) : EAppError(textForCode(code)), m_code(code) {}
    [[nodiscard]] int code() const noexcept { return m_code; }

    static QString textForCode(int code);

  private:
    int m_code;
};

// A settings file that could not be written.
class ESettingsWriteError : public EAppError
{
  public:
    explicit ESettingsWriteError(const QString &fileName)
        : EAppError(QStringLiteral("Unable to write to %1").arg(QDir::toNativeSeparators(fileName)))
    {
    }
};

// The message as the error box shows it: a full stop is added when the last
// character's code lies above that of the full stop itself.
QString withFullStop(const QString &message);
