// What fountain-frm's files and output share on every system; each system's
// side of opening, reading and replacing files is in cli_io_unix.cpp and
// cli_io_windows.cpp.
#include "tools/frm/cli_io.h"

#include "core/form_layout.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace frm {

namespace {

// The first failed write to standard output, as the system told it.
int g_stdoutError = 0;

void writeStdout(const char *data, std::size_t size)
{
    errno = 0;
    if (std::fwrite(data, 1, size, stdout) != size && g_stdoutError == 0)
        g_stdoutError = errno ? errno : EIO;
}

} // namespace

void print(const QString &text)
{
    if (const std::optional<bool> written = writeConsole(stdout, text)) {
        if (!*written && g_stdoutError == 0)
            g_stdoutError = EIO;
        return;
    }
    const QByteArray bytes = text.toUtf8();
    writeStdout(bytes.constData(), std::size_t(bytes.size()));
}

void printBytes(const QByteArray &bytes)
{
    writeStdout(bytes.constData(), std::size_t(bytes.size()));
}

void printErr(const QString &text)
{
    if (writeConsole(stderr, text))
        return;
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

int finish(int code)
{
    errno = 0;
    // Most write errors show only here, when the buffer reaches the file.
    if ((std::fflush(stdout) != 0 || std::ferror(stdout)) && g_stdoutError == 0)
        g_stdoutError = errno ? errno : EIO;
    if (g_stdoutError == 0)
        return code;
    printErr(QStringLiteral("fountain-frm: cannot write standard output: %1\n")
                 .arg(QString::fromLocal8Bit(std::strerror(g_stdoutError))));
    return kExitTrouble;
}

QString shownName(const QString &name)
{
    QString shown;
    for (const QChar c : name) {
        if (c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF)
            shown += QStringLiteral("\\x%1").arg(c.unicode() - 0xDC00, 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

std::optional<Input> readFormFile(const QString &name)
{
    using form_layout::kImageSize;
    std::optional<Input> in = readInput(name, kImageSize + 1);
    if (!in || in->size == kImageSize)
        return in;
    const QString size = in->sizeKnown || in->size <= kImageSize
                             ? QString::number(in->size)
                             : QStringLiteral("more than %1").arg(kImageSize);
    printErr(
        QStringLiteral("fountain-frm: %1 is not a form file: %2 bytes, a form file has "
                       "exactly %3\n")
            .arg(isStandardStream(name) ? QStringLiteral("standard input") : shownName(name), size)
            .arg(kImageSize));
    return std::nullopt;
}

bool distinctInputs(const QStringList &names)
{
    if (names.count(QStringLiteral("-")) <= 1)
        return true;
    printErr(QStringLiteral("fountain-frm: standard input (-) can be read only once\n"));
    return false;
}

} // namespace frm
