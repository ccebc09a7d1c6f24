// Reading and writing the form file, and the mapping of what went wrong to the
// input/output codes whose texts the operator sees.
#include "core/form_file.h"

#include "core/errors.h"
#include "core/file_access.h"
#include "core/form_layout.h"
#include "core/form_store.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>
#include <limits>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace formfile {

#ifdef Q_OS_WIN
// Windows' own error numbers are where the messages' codes come from.
int codeForSystemError(int fallback)
{
    const DWORD error = GetLastError();
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
        return EInOutError::kFileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
    case ERROR_FILENAME_EXCED_RANGE:
        return EInOutError::kInvalidFilename;
    case ERROR_TOO_MANY_OPEN_FILES:
        return EInOutError::kTooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return EInOutError::kAccessDenied;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return EInOutError::kDiskFull;
    case ERROR_SUCCESS:
    // Codes whose texts say something else: a short or long form file.
    case EInOutError::kReadBeyondEnd:
    case EInOutError::kDiskFull:
    case EInOutError::kNotAFormFile:
        return fallback;
    default:
        // Any other failure shows the system's own number, which the
        // operator can look up.
        return error <= DWORD(std::numeric_limits<int>::max()) ? int(error) : fallback;
    }
}

static void clearSystemError()
{
    SetLastError(ERROR_SUCCESS);
}

static bool systemErrorSet()
{
    return GetLastError() != ERROR_SUCCESS;
}
#else
int codeForSystemError(int fallback)
{
    switch (errno) {
    case ENOENT:
        return EInOutError::kFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL:
        return EInOutError::kInvalidFilename;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
        return EInOutError::kAccessDenied;
    case EMFILE:
    case ENFILE:
        return EInOutError::kTooManyOpenFiles;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return EInOutError::kDiskFull;
    default:
        return fallback;
    }
}

static void clearSystemError()
{
    errno = 0;
}

static bool systemErrorSet()
{
    return errno != 0;
}
#endif

} // namespace formfile

namespace {

using form_layout::kImageSize;
using formfile::codeForSystemError;
using formfile::kReadFault;
using formfile::kWriteFault;

// Links the system follows before it gives up on a name (Linux's MAXSYMLINKS).
constexpr int kMaxLinks = 40;

[[noreturn]] void fail(int code)
{
    throw EInOutError(code);
}

// What is wrong with the name before anything is opened: 0 when nothing is.
int nameProblem(const QString &fileName, bool forWriting)
{
    if (fileName.isEmpty() || fileName.contains(QChar(u'\0')))
        return EInOutError::kInvalidFilename;
    const QFileInfo info(fileName);
    if (info.exists()) {
        // A directory, a pipe or a device is no form file (a pipe would block).
        return info.isFile() ? 0 : EInOutError::kAccessDenied;
    }
    // A link that leads to no file: reading lets the system tell why (a loop,
    // a missing target); writing through a loop would replace the link itself.
    if (info.isSymLink() && (!forWriting || formfile::isThere(fileName)))
        return forWriting ? EInOutError::kInvalidFilename : 0;
    // The folder is missing, or a file stands where a folder should be.
    if (!QFileInfo(info.absolutePath()).isDir())
        return EInOutError::kInvalidFilename;
    return forWriting ? 0 : EInOutError::kFileNotFound;
}

} // namespace

namespace formfile {

QByteArray read(const QString &fileName)
{
    if (const int code = nameProblem(fileName, false))
        fail(code);
    QFile f(fileName);
    clearSystemError();
    if (!f.open(QIODevice::ReadOnly))
        fail(codeForSystemError(EInOutError::kAccessDenied));
    // A longer file is something else, and a Save would cut it down: its size
    // says so without reading it.
    if (f.size() > kImageSize)
        fail(EInOutError::kNotAFormFile);
    // The whole image is read before anyone sees it: a short file changes
    // nothing. One byte more is asked for, in case the size was not told.
    QByteArray image(kImageSize + 1, '\0');
    qsizetype got = 0;
    while (got <= kImageSize) {
        clearSystemError();
        const qint64 n = f.read(image.data() + got, kImageSize + 1 - got);
        if (n < 0)
            fail(codeForSystemError(kReadFault));
        if (n == 0)
            break;
        got += n;
    }
    if (got < kImageSize)
        fail(EInOutError::kReadBeyondEnd);
    if (got > kImageSize)
        fail(EInOutError::kNotAFormFile);
    image.chop(1);
    return image;
}

void load(const QString &fileName, FormStore &store)
{
    const QByteArray image = read(fileName);
    // read() gives exactly the store's size or throws. Were the two ever to
    // disagree, the command must stop here, before it names the file as the
    // one loaded while the store still holds the previous programme.
    if (!store.replaceImage(image))
        fail(image.size() < kImageSize ? EInOutError::kReadBeyondEnd : EInOutError::kNotAFormFile);
}

bool isThere(const QString &fileName)
{
    QFileInfo info(fileName);
    if (info.exists())
        return !info.isDir();
    // Follow the links one by one: a chain that comes back on itself, or is
    // longer than the system follows, cannot be read; one that ends at a
    // missing name is a missing file.
    QStringList seen;
    for (int step = 0; step < kMaxLinks && info.isSymLink(); ++step) {
        if (seen.contains(info.absoluteFilePath()))
            return true;
        seen << info.absoluteFilePath();
        info.setFile(info.symLinkTarget());
    }
    return info.isSymLink();
}

void write(const QString &fileName, const QByteArray &image, const SaveFileMaker &makeFile)
{
    if (const int code = nameProblem(fileName, true))
        fail(code);
    const QFileInfo info(fileName);
    if (info.exists() && isReadOnlyFile(info))
        fail(EInOutError::kAccessDenied);

    const std::unique_ptr<SaveFile> f = makeFile(fileName);
    clearSystemError();
    if (!f->open())
        fail(codeForSystemError(EInOutError::kAccessDenied));
    clearSystemError();
    if (f->write(image) != image.size()) {
        const int code = codeForSystemError(EInOutError::kDiskFull);
        f->cancelWriting();
        fail(code);
    }
    // Most write errors surface when the buffer reaches the disk. Flushed here
    // and checked: QSaveFile::commit of Qt 6.4 overlooks a failed final flush
    // and would put a truncated file in place of the old one.
    clearSystemError();
    if (!f->flush()) {
        const int code = codeForSystemError(EInOutError::kDiskFull);
        f->cancelWriting();
        fail(code);
    }
    clearSystemError();
    if (!f->commit())
        fail(codeForSystemError(systemErrorSet() ? kWriteFault : EInOutError::kDiskFull));
}

} // namespace formfile
