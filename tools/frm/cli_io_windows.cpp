// fountain-frm's files on Windows: names come as the system's UTF-16 text, so
// Qt's own file classes take them as they are; what a name is (a disk file,
// a device, a pipe; which file) is asked of an open handle.
#include "tools/frm/cli_io.h"

#include "core/errors.h"
#include "core/file_access.h"
#include "core/form_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace frm {

namespace {

class Handle
{
  public:
    explicit Handle(HANDLE h) : m_h(h) {}
    ~Handle()
    {
        if (valid())
            CloseHandle(m_h);
    }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    bool valid() const { return m_h != INVALID_HANDLE_VALUE && m_h != nullptr; }
    HANDLE get() const { return m_h; }

  private:
    HANDLE m_h;
};

const wchar_t *wide(const QString &path)
{
    return reinterpret_cast<const wchar_t *>(path.utf16());
}

// Opened only to be asked what it is; a folder opens too.
HANDLE openToAsk(const QString &name, DWORD access)
{
    const QString path = QDir::toNativeSeparators(name);
    return CreateFileW(wide(path), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

std::optional<FileIdentity> identityOf(HANDLE h)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber,
                        (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

QString kindOf(HANDLE h)
{
    BY_HANDLE_FILE_INFORMATION info;
    switch (GetFileType(h)) {
    case FILE_TYPE_CHAR:
        return QStringLiteral("a device");
    case FILE_TYPE_PIPE:
        return QStringLiteral("a pipe");
    case FILE_TYPE_DISK:
        if (GetFileInformationByHandle(h, &info) &&
            (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            return QStringLiteral("a folder");
        break;
    default:
        break;
    }
    return QStringLiteral("not a file");
}

QString systemReason(int fallback)
{
    return EInOutError::textForCode(formfile::codeForSystemError(fallback));
}

QString accessDenied(const QString &why)
{
    return EInOutError::textForCode(EInOutError::kAccessDenied) + QStringLiteral(": ") + why;
}

std::nullopt_t cannotRead(const QString &shown, const QString &reason)
{
    printErr(QStringLiteral("fountain-frm: cannot read %1: %2\n").arg(shown, reason));
    return std::nullopt;
}

bool cannotWrite(const QString &shown, const QString &reason)
{
    printErr(QStringLiteral("fountain-frm: cannot write %1: %2\n").arg(shown, reason));
    return false;
}

bool readUpTo(HANDLE h, qint64 limit, QByteArray *out)
{
    out->resize(limit);
    qint64 got = 0;
    while (got < limit) {
        DWORD n = 0;
        const DWORD ask = DWORD(std::min<qint64>(limit - got, 1 << 20));
        if (!ReadFile(h, out->data() + got, ask, &n, nullptr)) {
            // A pipe whose writer has gone has simply ended.
            if (GetLastError() == ERROR_BROKEN_PIPE)
                break;
            return false;
        }
        if (n == 0)
            break;
        got += n;
    }
    out->resize(got);
    return true;
}

} // namespace

QStringList arguments(int, char *[])
{
    return QCoreApplication::arguments();
}

std::optional<Input> readInput(const QString &name, qint64 limit)
{
    const bool standard = isStandardStream(name);
    const QString shown = standard ? QStringLiteral("standard input") : shownName(name);
    HANDLE h = GetStdHandle(STD_INPUT_HANDLE);
    if (standard && _isatty(_fileno(stdin)))
        return cannotRead(shown, QStringLiteral("it is a terminal; send a file in with < or |"));
    const Handle owned(standard ? INVALID_HANDLE_VALUE : openToAsk(name, GENERIC_READ));
    if (!standard) {
        if (!owned.valid())
            return cannotRead(shown, systemReason(EInOutError::kAccessDenied));
        h = owned.get();
    }
    const std::optional<FileIdentity> identity = identityOf(h);
    if (!standard && !identity)
        return cannotRead(shown, accessDenied(kindOf(h) + QStringLiteral(", not a plain file (- "
                                                                         "reads standard input)")));
    Input in;
    if (!readUpTo(h, limit, &in.bytes))
        return cannotRead(shown, systemReason(formfile::kReadFault));
    in.size = in.bytes.size();
    LARGE_INTEGER size;
    const bool sized = identity && GetFileSizeEx(h, &size);
    in.sizeKnown = in.size < limit || (sized && size.QuadPart >= limit);
    if (sized)
        in.size = std::max<qint64>(in.size, size.QuadPart);
    in.identity = identity;
    FILETIME written;
    if (identity && GetFileTime(h, nullptr, nullptr, &written)) {
        // 100 ns steps since 1601; the Unix epoch is 11644473600 s later.
        const quint64 ticks = (quint64(written.dwHighDateTime) << 32) | written.dwLowDateTime;
        in.modified = QDateTime::fromSecsSinceEpoch(qint64(ticks / 10000000) - 11644473600LL);
    }
    return in;
}

bool writeOutput(const QString &name, const QByteArray &bytes, const QList<FileIdentity> &inputs,
                 bool binary)
{
    if (isStandardStream(name)) {
        const QString shown = QStringLiteral("standard output");
        if (binary && _isatty(_fileno(stdout)))
            return cannotWrite(shown, QStringLiteral("it is a terminal; give -o FILE, or send it "
                                                     "to a file with >"));
        const std::optional<FileIdentity> out = identityOf(GetStdHandle(STD_OUTPUT_HANDLE));
        if (out && inputs.contains(*out))
            return cannotWrite(shown, QStringLiteral("it is the file being read"));
        if (binary) {
            std::fflush(stdout);
            _setmode(_fileno(stdout), _O_BINARY);
        }
        printBytes(bytes);
        return true;
    }
    const QString shown = shownName(name);
    // Asked and let go again before the save: an open handle would keep the
    // new file from taking the old one's place.
    if (const Handle existing(openToAsk(name, 0)); existing.valid()) {
        const std::optional<FileIdentity> identity = identityOf(existing.get());
        if (!identity)
            return cannotWrite(
                shown, accessDenied(kindOf(existing.get()) + QStringLiteral(", not a plain file")));
        if (isReadOnlyFile(QFileInfo(name)))
            return cannotWrite(shown, accessDenied(QStringLiteral("the file is read-only")));
        if (inputs.contains(*identity))
            return cannotWrite(shown, QStringLiteral("it is the file being read; the output "
                                                     "needs a name of its own"));
    }
    // The editor's own save: a temporary file renamed over the old one.
    try {
        formfile::write(name, bytes);
    } catch (const EInOutError &e) {
        return cannotWrite(shown, e.message());
    }
    return true;
}

// A console is given the text itself, so that Cyrillic reads right whatever
// its code page, with no chcp 65001 first. Pipes and files get UTF-8.
std::optional<bool> writeConsole(std::FILE *stream, const QString &text)
{
    const HANDLE h = GetStdHandle(stream == stdout ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (h == nullptr || h == INVALID_HANDLE_VALUE || !GetConsoleMode(h, &mode))
        return std::nullopt;
    std::fflush(stream); // what went before through the C library comes first
    const auto *data = reinterpret_cast<const wchar_t *>(text.utf16());
    DWORD left = DWORD(text.size());
    while (left > 0) {
        DWORD written = 0;
        if (!WriteConsoleW(h, data, left, &written, nullptr) || written == 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

} // namespace frm
